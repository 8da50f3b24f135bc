#include "platform/codec.h"

#include <array>

namespace nv {

namespace {

// 0x80..0x9F of Windows-1252; 0 marks the five undefined codes, which map
// through to the C1 control of the same value (as the system's converter does).
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char16_t decodeByte(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F) {
        const char16_t c = kHigh[b - 0x80];
        return c ? c : char16_t(b);
    }
    return char16_t(b);
}

} // namespace

QString fromAnsi(const char *data, qsizetype len)
{
    QString out(len, Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < len; ++i)
        d[i] = QChar(decodeByte(static_cast<unsigned char>(data[i])));
    return out;
}

char toAnsiChar(QChar qc)
{
    const char16_t c = qc.unicode();
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (int i = 0; i < 32; ++i) {
        const char16_t mapped = kHigh[i] ? kHigh[i] : char16_t(0x80 + i);
        if (mapped == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

QByteArray toAnsi(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A surrogate pair is one character the code page cannot hold.
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        out.append(toAnsiChar(c));
    }
    return out;
}

} // namespace nv
