#pragma once
// Field access for the fixed records of the shared files: length-prefixed
// short strings (string[N]: one length byte, then room for N Windows-1252
// characters) and little-endian 32-bit integers. Readers never go past the
// buffer they are given; writers cut to the field and zero what is left.
#include <QByteArray>
#include <QString>

namespace nv {

// Bytes a string[n] field takes in a record: the length byte plus n.
constexpr qsizetype shortStringSize(int n) { return qsizetype(n) + 1; }

// Reads string[n] at offset. A length byte above n counts as n; bytes beyond
// the end of the buffer are treated as missing, so a cut record gives a
// shorter string, never a read past the end.
QString readShortString(const char *buf, qsizetype bufSize, qsizetype offset, int n);
inline QString readShortString(const QByteArray &buf, qsizetype offset, int n)
{
    return readShortString(buf.constData(), buf.size(), offset, n);
}

// The raw characters of string[n] (same clamping), for callers that compare
// bytes rather than text.
QByteArray readShortStringBytes(const char *buf, qsizetype bufSize, qsizetype offset, int n);

// Writes value as string[n] at offset: converted to Windows-1252, cut to n
// characters, spare bytes zeroed. The buffer grows (zero-filled) when the
// field would not fit.
void writeShortString(QByteArray &buf, qsizetype offset, int n, const QString &value);

// The value as it reads back after a write to string[n].
QString fitShortString(const QString &value, int n);

// Little-endian int32. Missing bytes (past the buffer) read as zero.
qint32 readInt32LE(const char *buf, qsizetype bufSize, qsizetype offset);
inline qint32 readInt32LE(const QByteArray &buf, qsizetype offset)
{
    return readInt32LE(buf.constData(), buf.size(), offset);
}
void writeInt32LE(QByteArray &buf, qsizetype offset, qint32 value);

} // namespace nv
