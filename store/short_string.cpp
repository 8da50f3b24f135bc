#include "store/short_string.h"

#include "platform/codec.h"

#include <algorithm>
#include <cstring>

namespace nv {

namespace {

// Makes room for [offset, offset + len) in buf, zero-filling new bytes.
void ensureSize(QByteArray &buf, qsizetype end)
{
    if (buf.size() < end)
        buf.append(QByteArray(end - buf.size(), '\0'));
}

} // namespace

QByteArray readShortStringBytes(const char *buf, qsizetype bufSize, qsizetype offset, int n)
{
    if (!buf || offset < 0 || n <= 0 || offset >= bufSize)
        return {};
    const qsizetype len = std::min<qsizetype>(static_cast<unsigned char>(buf[offset]), n);
    const qsizetype available = bufSize - offset - 1;
    return QByteArray(buf + offset + 1, std::clamp<qsizetype>(len, 0, available));
}

QString readShortString(const char *buf, qsizetype bufSize, qsizetype offset, int n)
{
    return fromAnsi(readShortStringBytes(buf, bufSize, offset, n));
}

void writeShortString(QByteArray &buf, qsizetype offset, int n, const QString &value)
{
    if (offset < 0 || n < 0)
        return;
    n = std::min(n, 255); // one length byte
    ensureSize(buf, offset + shortStringSize(n));
    const QByteArray chars = toAnsi(value).left(n);
    char *p = buf.data() + offset;
    p[0] = static_cast<char>(chars.size());
    std::memcpy(p + 1, chars.constData(), size_t(chars.size()));
    std::memset(p + 1 + chars.size(), 0, size_t(n - chars.size()));
}

QString fitShortString(const QString &value, int n)
{
    return fromAnsi(toAnsi(value).left(std::clamp(n, 0, 255)));
}

qint32 readInt32LE(const char *buf, qsizetype bufSize, qsizetype offset)
{
    if (!buf || offset < 0)
        return 0;
    quint32 v = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype at = offset + i;
        if (at < bufSize)
            v |= quint32(static_cast<unsigned char>(buf[at])) << (8 * i);
    }
    return static_cast<qint32>(v);
}

void writeInt32LE(QByteArray &buf, qsizetype offset, qint32 value)
{
    if (offset < 0)
        return;
    ensureSize(buf, offset + 4);
    const auto v = static_cast<quint32>(value);
    for (int i = 0; i < 4; ++i)
        buf[offset + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace nv
