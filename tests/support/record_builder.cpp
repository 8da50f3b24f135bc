#include "record_builder.h"

#include <gtest/gtest.h>

void RecordBuilder::put(int offset, const QByteArray &bytes)
{
    if (offset < 0 || offset + bytes.size() > m_bytes.size()) {
        ADD_FAILURE() << "record builder: " << bytes.size() << " bytes at " << offset << " leave a record of "
                      << m_bytes.size();
        return;
    }
    for (int i = 0; i < bytes.size(); ++i)
        m_bytes[offset + i] = bytes[i];
}

RecordBuilder &RecordBuilder::str(int offset, const QByteArray &chars)
{
    return strWithLength(offset, static_cast<std::uint8_t>(chars.size()), chars);
}

RecordBuilder &RecordBuilder::strWithLength(int offset, std::uint8_t lengthByte, const QByteArray &chars)
{
    put(offset, QByteArray(1, static_cast<char>(lengthByte)) + chars);
    return *this;
}

RecordBuilder &RecordBuilder::i32(int offset, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
    put(offset, b);
    return *this;
}

RecordBuilder &RecordBuilder::raw(int offset, const QByteArray &bytes)
{
    put(offset, bytes);
    return *this;
}

RecordBuilder &RecordBuilder::fill(int offset, int count, char c)
{
    put(offset, QByteArray(count, c));
    return *this;
}

RecordBuilder msgInfo28(const MsgInfo28 &f, char fill)
{
    RecordBuilder b(932, fill);
    b.str(0, f.version)
        .str(12, f.fromUser)
        .str(29, f.toUser)
        .str(46, f.sentAt)
        .i32(72, f.urgent)
        .i32(76, f.receipt)
        .str(80, f.textFileName)
        .str(161, f.toNames)
        .str(417, f.ccNames)
        .str(673, f.bccNames);
    return b;
}

RecordBuilder userRec30(const UserRec30 &f, char fill)
{
    RecordBuilder b(45, fill);
    b.str(0, f.version).str(6, f.name).str(23, f.privilege).str(26, f.password).str(43, f.usePassword);
    return b;
}

RecordBuilder userRec28(const QByteArray &name, const QByteArray &privilege, const QByteArray &password, char fill)
{
    RecordBuilder b(37, fill);
    b.str(0, name).str(17, privilege).str(20, password);
    return b;
}

RecordBuilder userRec01(const QByteArray &name, char fill)
{
    RecordBuilder b(17, fill);
    b.str(0, name);
    return b;
}

RecordBuilder groupRec(const QByteArray &name, const QByteArray &memberList, char fill)
{
    RecordBuilder b(268, fill);
    b.str(0, name).str(17, memberList);
    return b;
}

QByteArray memberFile(const QList<QByteArray> &lines)
{
    QByteArray out;
    for (const QByteArray &l : lines)
        out += l + "\r\n";
    return out;
}

RecordBuilder msgInfo26(const MsgInfo26 &f, char fill)
{
    RecordBuilder b(420, fill);
    b.str(0, f.version)
        .str(12, f.fromUser)
        .str(29, f.toUser)
        .str(46, f.sentAt)
        .i32(72, f.urgent)
        .i32(76, f.receipt)
        .str(80, f.textFileName)
        .str(161, f.toNames);
    return b;
}

RecordBuilder msgInfo25(const MsgInfo25 &f, char fill)
{
    RecordBuilder b(416, fill);
    b.str(0, f.version)
        .str(12, f.fromUser)
        .str(29, f.toUser)
        .str(46, f.sentAt)
        .i32(72, f.urgent)
        .str(76, f.textFileName)
        .str(157, f.toNames);
    return b;
}

RecordBuilder msgInfo20(const MsgInfo20 &f, char fill)
{
    RecordBuilder b(568, fill);
    b.str(0, f.fromUser).str(17, f.toUser).str(34, f.sentAt).i32(60, f.urgent).str(64, f.text1).str(315, f.text2);
    return b;
}

RecordBuilder msgInfo15(const MsgInfo15 &f, char fill)
{
    RecordBuilder b(316, fill);
    b.str(0, f.fromUser).str(17, f.toUser).str(34, f.sentAt).i32(60, f.urgent).str(64, f.text);
    return b;
}
