#pragma once
// Builds fixed records byte by byte for tests, independent of the code under
// test: every offset, length byte and integer is placed by hand, so a test
// can build any layout, including broken ones (length bytes above the field
// width, garbage in spare bytes, cut records).
#include <QByteArray>
#include <QList>
#include <cstdint>

class RecordBuilder {
public:
    explicit RecordBuilder(int size, char fill = '\0') : m_bytes(size, fill) {}

    // A short string: length byte = chars.size(), then the characters.
    // Bytes after them are left as they are.
    RecordBuilder &str(int offset, const QByteArray &chars);
    // Any length byte, whatever the characters (for clamping tests).
    RecordBuilder &strWithLength(int offset, std::uint8_t lengthByte, const QByteArray &chars);
    RecordBuilder &i32(int offset, std::int32_t v); // little-endian
    RecordBuilder &raw(int offset, const QByteArray &bytes);
    RecordBuilder &fill(int offset, int count, char c);

    const QByteArray &bytes() const { return m_bytes; }
    operator QByteArray() const { return m_bytes; }

private:
    void put(int offset, const QByteArray &bytes);
    QByteArray m_bytes;
};

// The 2.8 message info record (932 bytes), offsets written out again here.
struct MsgInfo28 {
    QByteArray version = "2.8";
    QByteArray fromUser, toUser, sentAt;
    std::int32_t urgent = 2, receipt = 2;
    QByteArray textFileName, toNames, ccNames, bccNames;
};
RecordBuilder msgInfo28(const MsgInfo28 &f, char fill = '\0');

// The users file records: current (45 bytes), version 2.8 (37), version 01 (17).
struct UserRec30 {
    QByteArray version = "3.0";
    QByteArray name, privilege, password, usePassword;
};
RecordBuilder userRec30(const UserRec30 &f, char fill = '\0');
RecordBuilder userRec28(const QByteArray &name, const QByteArray &privilege, const QByteArray &password,
                        char fill = '\0');
RecordBuilder userRec01(const QByteArray &name, char fill = '\0');

// A "groups.dat" record (268 bytes); memberList as stored ("ANN~BOB~").
RecordBuilder groupRec(const QByteArray &name, const QByteArray &memberList, char fill = '\0');

// A member file: every line followed by CR LF.
QByteArray memberFile(const QList<QByteArray> &lines);

// The older layouts, offsets written out again here.
// "2.6", 420 bytes.
struct MsgInfo26 {
    QByteArray version = "2.6";
    QByteArray fromUser, toUser, sentAt;
    std::int32_t urgent = 2, receipt = 2;
    QByteArray textFileName, toNames;
};
RecordBuilder msgInfo26(const MsgInfo26 &f, char fill = '\0');

// "2.5.0" / "2.1.0", 416 bytes, no receipt.
struct MsgInfo25 {
    QByteArray version = "2.5.0";
    QByteArray fromUser, toUser, sentAt;
    std::int32_t urgent = 2;
    QByteArray textFileName, toNames;
};
RecordBuilder msgInfo25(const MsgInfo25 &f, char fill = '\0');

// No tag ("2.0"), 568 bytes, text inside in two pieces.
struct MsgInfo20 {
    QByteArray fromUser, toUser, sentAt;
    std::int32_t urgent = 2;
    QByteArray text1, text2;
};
RecordBuilder msgInfo20(const MsgInfo20 &f, char fill = '\0');

// No tag ("1.5"), 316 bytes, text inside.
struct MsgInfo15 {
    QByteArray fromUser, toUser, sentAt;
    std::int32_t urgent = 2;
    QByteArray text;
};
RecordBuilder msgInfo15(const MsgInfo15 &f, char fill = '\0');
