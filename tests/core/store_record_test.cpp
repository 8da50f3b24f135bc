#include "store/msg_info_rec.h"
#include "store/sent_at.h"
#include "store/short_string.h"

#include "support/record_builder.h"

#include <gtest/gtest.h>

using namespace nv;

namespace {

MsgInfo28 sampleFields()
{
    MsgInfo28 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.urgent = 1;
    f.receipt = 2;
    f.textFileName = "12345678.tms";
    f.toNames = "bob;(g)SALES;";
    f.ccNames = "carl;";
    f.bccNames = "dora;";
    return f;
}

TMsgInfoRec sampleRec()
{
    TMsgInfoRec r;
    r.FromUser = "ANN";
    r.ToUser = "BOB";
    r.SentAt = "2008/02/24 09:05:00";
    r.Urgent = 1;
    r.Receipt = 2;
    r.TextFileName = "12345678.tms";
    r.ToNames = "bob;(g)SALES;";
    r.CcNames = "carl;";
    r.BccNames = "dora;";
    return r;
}

QString repeat(char c, int n) { return QString(n, QLatin1Char(c)); }

} // namespace

// ---- short strings and integers -------------------------------------------

TEST(ShortString, ReadsOnlyTheCountedCharacters)
{
    const QByteArray b = RecordBuilder(10, 'x').strWithLength(2, 3, "abcdef");
    EXPECT_EQ(readShortString(b, 2, 7), "abc");
}

TEST(ShortString, LengthByteAboveWidthIsClampedToWidth)
{
    const QByteArray b = RecordBuilder(12, 'x').strWithLength(0, 200, "abcdefghijk");
    EXPECT_EQ(readShortString(b, 0, 5), "abcde");
}

TEST(ShortString, NeverReadsPastTheBuffer)
{
    // Field says 5 characters, the buffer ends after 2 of them.
    const QByteArray b = RecordBuilder(4).strWithLength(1, 5, "ab");
    EXPECT_EQ(readShortString(b.constData(), b.size(), 1, 10), "ab");
    EXPECT_EQ(readShortString(b.constData(), b.size(), 4, 10), "");
    EXPECT_EQ(readShortString(b.constData(), b.size(), -1, 10), "");
    EXPECT_EQ(readShortString(nullptr, 0, 0, 10), "");
}

TEST(ShortString, ReadsWindows1252)
{
    const QByteArray b = RecordBuilder(8).str(0, QByteArray("M\xfcller\x80", 7));
    EXPECT_EQ(readShortString(b, 0, 7), QString::fromUtf8("Müller€"));
}

TEST(ShortString, WriteCutsToWidthAndZeroesSpareBytes)
{
    QByteArray b(12, 'x');
    writeShortString(b, 1, 5, "abcdefgh");
    EXPECT_EQ(b, QByteArray("x\x05" "abcde" "xxxxx", 12));
    writeShortString(b, 1, 5, "ab");
    EXPECT_EQ(b, QByteArray("x\x02" "ab\0\0\0" "xxxxx", 12));
}

TEST(ShortString, WriteEncodesWindows1252AndReplacesWhatItCannotHold)
{
    QByteArray b;
    writeShortString(b, 0, 6, QString::fromUtf8("Ü€\u4e2dz"));
    EXPECT_EQ(b, QByteArray("\x04\xdc\x80?z\0\0", 7));
    EXPECT_EQ(fitShortString(QString::fromUtf8("Ü€\u4e2dz"), 3), QString::fromUtf8("Ü€?"));
}

TEST(ShortString, WriteGrowsATooShortBuffer)
{
    QByteArray b;
    writeShortString(b, 3, 4, "ab");
    EXPECT_EQ(b, QByteArray("\0\0\0\x02" "ab\0\0", 8));
}

TEST(Int32LE, ByteOrderAndSign)
{
    QByteArray b(8, '\0');
    writeInt32LE(b, 4, -2);
    EXPECT_EQ(b.mid(4), QByteArray("\xfe\xff\xff\xff", 4));
    writeInt32LE(b, 0, 0x01020304);
    EXPECT_EQ(b.left(4), QByteArray("\x04\x03\x02\x01", 4));
    EXPECT_EQ(readInt32LE(b, 0), 0x01020304);
    EXPECT_EQ(readInt32LE(b, 4), -2);
}

TEST(Int32LE, MissingBytesReadAsZero)
{
    const QByteArray b("\x01\x02", 2);
    EXPECT_EQ(readInt32LE(b, 0), 0x0201);
    EXPECT_EQ(readInt32LE(b, 5), 0);
    EXPECT_EQ(readInt32LE(b, -1), 0);
}

// ---- the 932-byte record ----------------------------------------------------

TEST(MsgInfoRec, EncodesEveryFieldAtItsOffset)
{
    const QByteArray expected = msgInfo28(sampleFields());
    const QByteArray got = encodeMsgInfoRec(sampleRec());
    ASSERT_EQ(got.size(), kMsgInfoRecSize);
    for (int i = 0; i < kMsgInfoRecSize; ++i)
        ASSERT_EQ(got[i], expected[i]) << "byte " << i;
}

TEST(MsgInfoRec, DecodesEveryFieldFromItsOffset)
{
    // Garbage in every spare and padding byte: readers ignore it.
    const QByteArray bytes = msgInfo28(sampleFields(), '\x7f');
    const TMsgInfoRec r = decodeMsgInfoRec(bytes.constData());
    EXPECT_EQ(r, sampleRec());
}

TEST(MsgInfoRec, WriterStoresTagAndZeroesSpareAndPadding)
{
    TMsgInfoRec r;
    r.Version = "2.6"; // a converted record goes out in this layout
    const QByteArray b = encodeMsgInfoRec(r);
    EXPECT_EQ(b.left(12), QByteArray("\x03" "2.8" "\0\0\0\0\0\0\0\0", 12));
    EXPECT_EQ(b.mid(69, 3), QByteArray(3, '\0'));
    EXPECT_EQ(b.mid(929, 3), QByteArray(3, '\0'));
    EXPECT_EQ(b.mid(72, 8), QByteArray("\x02\0\0\0\x02\0\0\0", 8));
    EXPECT_EQ(b.count('\0'), kMsgInfoRecSize - 4 - 2);
}

TEST(MsgInfoRec, WriterCutsEveryFieldToItsWidth)
{
    struct Field {
        QString TMsgInfoRec::*member;
        int offset;
        int width;
    };
    const Field fields[] = {
        {&TMsgInfoRec::FromUser, 12, 16},     {&TMsgInfoRec::ToUser, 29, 16},
        {&TMsgInfoRec::SentAt, 46, 22},       {&TMsgInfoRec::TextFileName, 80, 80},
        {&TMsgInfoRec::ToNames, 161, 255},    {&TMsgInfoRec::CcNames, 417, 255},
        {&TMsgInfoRec::BccNames, 673, 255},
    };
    for (const Field &f : fields) {
        SCOPED_TRACE(f.offset);
        TMsgInfoRec r;
        r.*(f.member) = repeat('a', f.width) + "OVERFLOW";
        const QByteArray b = encodeMsgInfoRec(r);
        ASSERT_EQ(b.size(), kMsgInfoRecSize);
        EXPECT_EQ(static_cast<unsigned char>(b[f.offset]), f.width);
        EXPECT_EQ(b.mid(f.offset + 1, f.width), QByteArray(f.width, 'a'));
        // The next field is untouched by the overflow.
        const TMsgInfoRec back = decodeMsgInfoRec(b.constData());
        EXPECT_EQ(back.*(f.member), repeat('a', f.width));
        TMsgInfoRec others = back;
        others.*(f.member) = QString();
        EXPECT_EQ(others, TMsgInfoRec());
        EXPECT_EQ(fittedMsgInfoRec(r), back);
    }
}

TEST(MsgInfoRec, LengthBytesAboveWidthAreClamped)
{
    RecordBuilder b = msgInfo28(sampleFields(), 'z');
    b.strWithLength(12, 255, "ANN"); // FromUser, 16 wide: reads 16 characters
    b.strWithLength(673, 255, "dora;");
    const TMsgInfoRec r = decodeMsgInfoRec(b.bytes().constData());
    EXPECT_EQ(r.FromUser, "ANN" + repeat('z', 13));
    EXPECT_EQ(r.ToUser, "BOB");
    EXPECT_EQ(r.BccNames, "dora;" + repeat('z', 250));
}

TEST(MsgInfoRec, RoundTripsFullWidthAnsiText)
{
    TMsgInfoRec r = sampleRec();
    r.FromUser = QString::fromUtf8("Jürgen Müller ÄÖ"); // exactly 16
    r.ToNames = QString::fromUtf8("é;") + repeat('n', 253);
    r.Receipt = 1;
    r.Urgent = 2;
    EXPECT_EQ(decodeMsgInfoRec(encodeMsgInfoRec(r).constData()), r);
}

TEST(MsgInfoRec, UrgentAndReceiptOptions)
{
    // Urgent without receipt: 1 and 2; normal with receipt: 2 and 1.
    TMsgInfoRec urgent;
    urgent.Urgent = kOptionOn;
    TMsgInfoRec receipt;
    receipt.Receipt = kOptionOn;
    const QByteArray u = encodeMsgInfoRec(urgent);
    const QByteArray r = encodeMsgInfoRec(receipt);
    EXPECT_EQ(u.mid(72, 8), QByteArray("\x01\0\0\0\x02\0\0\0", 8));
    EXPECT_EQ(r.mid(72, 8), QByteArray("\x02\0\0\0\x01\0\0\0", 8));

    // Readers test for 1 only: 0 and garbage mean off.
    for (qint32 v : {0, 2, 3, -1, 0x100}) {
        MsgInfo28 f;
        f.urgent = v;
        f.receipt = v;
        const TMsgInfoRec d = decodeMsgInfoRec(msgInfo28(f).bytes().constData());
        EXPECT_FALSE(d.isUrgent()) << v;
        EXPECT_FALSE(d.receiptOwed()) << v;
    }
    MsgInfo28 on;
    on.urgent = 1;
    on.receipt = 1;
    const TMsgInfoRec d = decodeMsgInfoRec(msgInfo28(on).bytes().constData());
    EXPECT_TRUE(d.isUrgent());
    EXPECT_TRUE(d.receiptOwed());
}

TEST(MsgInfoRec, CheckedDecodeNeedsAWholeRecord)
{
    QByteArray two = msgInfo28(sampleFields()).bytes();
    MsgInfo28 second = sampleFields();
    second.toUser = "CARL";
    two += msgInfo28(second).bytes();

    ASSERT_TRUE(decodeMsgInfoRec(two, 0));
    EXPECT_EQ(decodeMsgInfoRec(two, 0)->ToUser, "BOB");
    ASSERT_TRUE(decodeMsgInfoRec(two, kMsgInfoRecSize));
    EXPECT_EQ(decodeMsgInfoRec(two, kMsgInfoRecSize)->ToUser, "CARL");
    EXPECT_FALSE(decodeMsgInfoRec(two, kMsgInfoRecSize + 1));
    EXPECT_FALSE(decodeMsgInfoRec(two, -1));
    EXPECT_FALSE(decodeMsgInfoRec(two.left(kMsgInfoRecSize - 1), 0));
    EXPECT_FALSE(decodeMsgInfoRec(QByteArray(), 0));
}

TEST(MsgInfoRec, CurrentLayoutNeedsWholeRecordAndTag)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        bool current;
    };
    MsgInfo28 v26 = sampleFields();
    v26.version = "2.6";
    MsgInfo28 v250 = sampleFields();
    v250.version = "2.5.0";
    MsgInfo28 v28x = sampleFields();
    v28x.version = "2.8x";
    const QByteArray good = msgInfo28(sampleFields());
    const Case cases[] = {
        {"2.8", good, true},
        {"2.8 with more bytes", good + "tail", true},
        {"cut short", good.left(kMsgInfoRecSize - 1), false},
        {"empty file", QByteArray(), false},
        {"2.6", msgInfo28(v26), false},
        {"2.5.0", msgInfo28(v250), false},
        {"longer tag", msgInfo28(v28x), false},
        {"no tag", QByteArray(kMsgInfoRecSize, '\0'), false},
        {"tag behind a length byte of 2", RecordBuilder(kMsgInfoRecSize).strWithLength(0, 2, "2.8"), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isCurrentLayout(c.bytes), c.current) << c.name;
}

// ---- SentAt -------------------------------------------------------------------

TEST(SentAt, StoredFormIsYearFirstWith24HourClock)
{
    EXPECT_EQ(SentAt(QDateTime(QDate(2008, 12, 1), QTime(17, 30, 0))), "2008/12/01 17:30:00");
    EXPECT_EQ(SentAt(QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0))), "2008/02/24 09:05:00");
    EXPECT_EQ(SentAt(QDateTime(QDate(2009, 1, 1), QTime(0, 0, 7))), "2009/01/01 00:00:07");
    EXPECT_EQ(SentAt(QDateTime()), "");
}

TEST(SentAt, StoredValuesSortInTimeOrder)
{
    const QDateTime times[] = {
        QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0)),  QDateTime(QDate(2008, 2, 24), QTime(10, 0, 0)),
        QDateTime(QDate(2008, 2, 24), QTime(13, 0, 0)), QDateTime(QDate(2008, 12, 1), QTime(17, 30, 0)),
        QDateTime(QDate(2009, 1, 1), QTime(0, 0, 0)),
    };
    for (size_t i = 0; i + 1 < std::size(times); ++i) {
        const QByteArray a = SentAt(times[i]).toLatin1();
        const QByteArray b = SentAt(times[i + 1]).toLatin1();
        EXPECT_LT(a, b) << a.constData() << " / " << b.constData();
    }
    EXPECT_LT(QByteArray("2008/02/24 09:05:00"), QByteArray("2008/12/01 17:30:00"));
}

TEST(SentAt, ShowAndStoreSwapTheDateLayouts)
{
    struct Case {
        QString stored, shown;
    };
    const Case cases[] = {
        {"2008/02/24 09:05:00", "02/24/2008 09:05:00"},
        {"2008/12/01 17:30:00", "12/01/2008 17:30:00"},
        {"2001/04/20", "04/20/2001"},
        {"", ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ShowDateTime(c.stored), c.shown) << c.stored.toStdString();
        EXPECT_EQ(StoreDateTime(c.shown), c.stored) << c.shown.toStdString();
    }
}

TEST(SentAt, ShowCutsTo22Characters)
{
    EXPECT_EQ(ShowDateTime("2008/02/24 09:05:00 and more"), "02/24/2008 09:05:00 an");
    EXPECT_EQ(StoreDateTime("02/24/2008 09:05:00 and more"), "2008/02/24 09:05:00 an");
    // A short or odd stored value is rearranged without checks.
    EXPECT_EQ(ShowDateTime("2008"), "//2008");
}
