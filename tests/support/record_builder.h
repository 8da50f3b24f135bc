#pragma once
// Builds fixed records byte by byte for tests, independent of the code under
// test: every offset, length byte and integer is placed by hand, so a test
// can build any layout, including broken ones (length bytes above the field
// width, garbage in spare bytes, cut records).
#include <QByteArray>
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
