#include "store/legacy_formats.h"

#include "support/mailbox_fixture.h"
#include "support/record_builder.h"

#include <gtest/gtest.h>

using namespace nv;

namespace {

QByteArray repeat(char c, int n) { return QByteArray(n, c); }

MsgInfo26 ann26()
{
    MsgInfo26 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.urgent = 1;
    f.receipt = 1;
    f.textFileName = "C:\\OLD\\MAILBOX\\4711.TMS";
    f.toNames = "ANN^BOB^$";
    return f;
}

MsgInfo25 ann25(const QByteArray &tag = "2.5.0")
{
    MsgInfo25 f;
    f.version = tag;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.urgent = 1;
    f.textFileName = "\\\\SRV\\MAIL\\815.tms";
    f.toNames = "BOB^$";
    return f;
}

MsgInfo20 ann20(const QByteArray &text1 = "Hello ", const QByteArray &text2 = "world")
{
    MsgInfo20 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.urgent = 1;
    f.text1 = text1;
    f.text2 = text2;
    return f;
}

MsgInfo15 ann15(const QByteArray &text)
{
    MsgInfo15 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.urgent = 2;
    f.text = text;
    return f;
}

MsgInfo28 bob28(const QByteArray &sentAt)
{
    MsgInfo28 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = sentAt;
    f.textFileName = "1.tms";
    return f;
}

} // namespace

// ---- records

TEST(LegacyRecords, EveryLayoutIsReadAtItsOwnOffsetsAndIgnoresSpareBytes)
{
    // Filled with 'x' so that a field read from the wrong place or past its
    // length byte shows.
    const TMsgInfoRec26 r26 = decodeMsgInfoRec26(msgInfo26(ann26(), 'x').bytes().constData());
    EXPECT_EQ(r26.Version, "2.6");
    EXPECT_EQ(r26.FromUser, "ANN");
    EXPECT_EQ(r26.ToUser, "BOB");
    EXPECT_EQ(r26.SentAt, "2008/02/24 09:05:00");
    EXPECT_EQ(r26.Urgent, 1);
    EXPECT_EQ(r26.Receipt, 1);
    EXPECT_EQ(r26.TextFileName, "C:\\OLD\\MAILBOX\\4711.TMS");
    EXPECT_EQ(r26.ToNames, "ANN^BOB^$");

    const TMsgInfoRec25 r25 = decodeMsgInfoRec25(msgInfo25(ann25("2.1.0"), 'x').bytes().constData());
    EXPECT_EQ(r25.Version, "2.1.0");
    EXPECT_EQ(r25.FromUser, "ANN");
    EXPECT_EQ(r25.ToUser, "BOB");
    EXPECT_EQ(r25.SentAt, "2008/02/24 09:05:00");
    EXPECT_EQ(r25.Urgent, 1);
    EXPECT_EQ(r25.TextFileName, "\\\\SRV\\MAIL\\815.tms");
    EXPECT_EQ(r25.ToNames, "BOB^$");

    const TMsgInfoRec20 r20 = decodeMsgInfoRec20(msgInfo20(ann20(), 'x').bytes().constData());
    EXPECT_EQ(r20.FromUser, "ANN");
    EXPECT_EQ(r20.ToUser, "BOB");
    EXPECT_EQ(r20.SentAt, "2008/02/24 09:05:00");
    EXPECT_EQ(r20.Urgent, 1);
    EXPECT_EQ(r20.Text1, "Hello ");
    EXPECT_EQ(r20.Text2, "world");

    const TMsgInfoRec15 r15 = decodeMsgInfoRec15(msgInfo15(ann15("Lunch?"), 'x').bytes().constData());
    EXPECT_EQ(r15.FromUser, "ANN");
    EXPECT_EQ(r15.ToUser, "BOB");
    EXPECT_EQ(r15.SentAt, "2008/02/24 09:05:00");
    EXPECT_EQ(r15.Urgent, 2);
    EXPECT_EQ(r15.Text, "Lunch?");
}

TEST(LegacyRecords, UnpackNames)
{
    const struct {
        const char *in, *out;
    } cases[] = {
        {"ANN^BOB^$", "ANN;BOB;"},
        {"ANN;BOB;", "ANN;BOB;"},
        {"BOB^$", "BOB;"},
        {"ANN^(g)SALES^$", "ANN;(g)SALES;"},
        {"", ""},
        // The current notation passes unchanged, a "$" in a name included.
        {"CASH$;ANN;", "CASH$;ANN;"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(UnpackNames(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

// ---- folder files

TEST(LegacyFolders, CurrentFilesAreNotConverted)
{
    EXPECT_EQ(folderConverterFor(QByteArray()), FolderLayout::Current);
    const QByteArray two
        = msgInfo28(bob28("2008/01/01 10:00:00")).bytes() + msgInfo28(bob28("2008/01/02 10:00:00")).bytes();
    EXPECT_EQ(folderConverterFor(two), FolderLayout::Current);
    const FolderParse p = parseFolderFile(two);
    EXPECT_EQ(p.status, FolderParse::Current);
    ASSERT_EQ(p.msgs.size(), 2u);
    EXPECT_EQ(p.msgs[1].rec.SentAt, "2008/01/02 10:00:00");
    EXPECT_EQ(p.msgs[1].rec.Version, "2.8");
}

TEST(LegacyFolders, ConvertsTwoSixRecords)
{
    const QByteArray file = msgInfo26(ann26()).bytes() + msgInfo26(ann26()).bytes() + msgInfo26(ann26()).bytes();
    EXPECT_EQ(folderConverterFor(file), FolderLayout::V26);
    const FolderParse p = parseFolderFile(file);
    ASSERT_EQ(p.status, FolderParse::Converted);
    EXPECT_EQ(p.layout, FolderLayout::V26);
    ASSERT_EQ(p.msgs.size(), 3u);
    const TMsgInfoRec &r = p.msgs[0].rec;
    EXPECT_EQ(r.Version, "2.6");
    EXPECT_EQ(r.FromUser, "ANN");
    EXPECT_EQ(r.ToUser, "BOB");
    EXPECT_EQ(r.SentAt, "2008/02/24 09:05:00");
    EXPECT_EQ(r.Urgent, 1);
    EXPECT_EQ(r.Receipt, 1);
    EXPECT_EQ(r.TextFileName, "4711.TMS");
    EXPECT_EQ(r.ToNames, "ANN;BOB;");
    EXPECT_EQ(r.CcNames, "");
    EXPECT_EQ(r.BccNames, "");
    EXPECT_EQ(p.msgs[0].inlineText, "");
}

TEST(LegacyFolders, ConvertsTwoFiveAndTwoOneRecords)
{
    for (const QByteArray &tag : {QByteArray("2.5.0"), QByteArray("2.1.0")}) {
        const QByteArray file = msgInfo25(ann25(tag)).bytes() + msgInfo25(ann25(tag)).bytes();
        const FolderParse p = parseFolderFile(file);
        ASSERT_EQ(p.status, FolderParse::Converted) << tag.constData();
        EXPECT_EQ(p.layout, FolderLayout::V25);
        ASSERT_EQ(p.msgs.size(), 2u);
        EXPECT_EQ(p.msgs[0].rec.Version, QString::fromLatin1(tag));
        EXPECT_EQ(p.msgs[0].rec.Receipt, 2);
        EXPECT_EQ(p.msgs[0].rec.TextFileName, "815.tms");
        EXPECT_EQ(p.msgs[0].rec.ToNames, "BOB;");
    }
}

TEST(LegacyFolders, TwoNoughtRecordsKeepTheirWholeText)
{
    const QByteArray t1 = repeat('a', 250), t2 = repeat('b', 250);
    const FolderParse p = parseFolderFile(msgInfo20(ann20(t1, t2)).bytes());
    ASSERT_EQ(p.status, FolderParse::Converted);
    EXPECT_EQ(p.layout, FolderLayout::V20);
    ASSERT_EQ(p.msgs.size(), 1u);
    const TMsgInfoRec &r = p.msgs[0].rec;
    EXPECT_EQ(r.Version, "2.0");
    EXPECT_EQ(r.Receipt, 2);
    EXPECT_EQ(r.Urgent, 1);
    EXPECT_EQ(r.TextFileName, "");
    EXPECT_EQ(r.ToNames, "BOB"); // the recipient alone, as the older clients convert it
    EXPECT_EQ(p.msgs[0].inlineText, QString::fromLatin1(t1 + t2));
}

TEST(LegacyFolders, ThreeOldestRecordsOfNineHundredFortyEightBytes)
{
    // 948 bytes: the first 932-byte read succeeds and its "tag" is the
    // sender's name, so the "2.0" converter is tried before the oldest one.
    const QByteArray file = msgInfo15(ann15("one")).bytes() + msgInfo15(ann15("two")).bytes()
        + msgInfo15(ann15(repeat('c', 250))).bytes();
    ASSERT_EQ(file.size(), 948);
    EXPECT_EQ(folderConverterFor(file), FolderLayout::V20);
    const FolderParse p = parseFolderFile(file);
    ASSERT_EQ(p.status, FolderParse::Converted);
    EXPECT_EQ(p.layout, FolderLayout::V15);
    ASSERT_EQ(p.msgs.size(), 3u);
    EXPECT_EQ(p.msgs[0].rec.Version, "1.5");
    EXPECT_EQ(p.msgs[1].inlineText, "two");
    EXPECT_EQ(p.msgs[2].inlineText, QString(250, QLatin1Char('c')));
    EXPECT_EQ(p.msgs[2].rec.ToNames, "BOB");
}

TEST(LegacyFolders, AFailedReadHandsTheWholeFileDown)
{
    // Tagged "2.6" but of 416-byte records: the "2.5" converter reads it.
    MsgInfo25 odd = ann25("2.6");
    const QByteArray file26as25 = msgInfo25(odd).bytes() + msgInfo25(odd).bytes();
    FolderLayout used = FolderLayout::Current;
    auto msgs = convertFolderFrom(FolderLayout::V26, file26as25, &used);
    ASSERT_TRUE(msgs);
    EXPECT_EQ(used, FolderLayout::V25);
    EXPECT_EQ(msgs->at(0).rec.Version, "2.6");

    // A "2.0" record whose sender happens to read as "2.6" goes all the way down.
    MsgInfo20 named = ann20();
    named.fromUser = "2.6";
    msgs = convertFolderFrom(FolderLayout::V26, msgInfo20(named).bytes(), &used);
    ASSERT_TRUE(msgs);
    EXPECT_EQ(used, FolderLayout::V20);

    // No layout below the oldest.
    EXPECT_FALSE(convertFolderFrom(FolderLayout::V15, QByteArray(317, 'x')));
}

TEST(LegacyFolders, OldestRecordsAreNotMistakenForTwoNoughtOnes)
{
    // 142 records of 316 bytes are exactly 79 records of 568: the length
    // bytes of real "2.0" records never exceed their fields.
    QByteArray file;
    for (int i = 0; i < 142; ++i)
        file += msgInfo15(ann15(repeat('A', 200))).bytes();
    ASSERT_EQ(file.size() % 568, 0);
    const FolderParse p = parseFolderFile(file);
    ASSERT_EQ(p.status, FolderParse::Converted);
    EXPECT_EQ(p.layout, FolderLayout::V15);
    EXPECT_EQ(p.msgs.size(), 142u);
}

TEST(LegacyFolders, UnreadableFilesAreInvalidOrSalvaged)
{
    EXPECT_EQ(parseFolderFile(QByteArray(1000, '\xff')).status, FolderParse::Invalid);
    EXPECT_EQ(parseFolderFile(QByteArray(10, '\0')).status, FolderParse::Invalid);
    EXPECT_EQ(parseFolderFile(msgInfo28(bob28("2008/01/01 10:00:00")).bytes().left(500)).status, FolderParse::Invalid);

    // Cut in the middle of its last record: the whole records stay readable.
    const QByteArray a = msgInfo28(bob28("2008/01/01 10:00:00")).bytes();
    const QByteArray b = msgInfo28(bob28("2008/01/02 10:00:00")).bytes();
    FolderParse p = parseFolderFile(a + b + b.left(100));
    EXPECT_EQ(p.status, FolderParse::Salvaged);
    EXPECT_EQ(p.msgs.size(), 2u);

    // A damaged record between two good ones is skipped.
    p = parseFolderFile(a + QByteArray(932, '\x7f') + b);
    EXPECT_EQ(p.status, FolderParse::Salvaged);
    ASSERT_EQ(p.msgs.size(), 2u);
    EXPECT_EQ(p.msgs[1].rec.SentAt, "2008/01/02 10:00:00");
}

class LegacyLoaders : public MailboxFixture {};

TEST_F(LegacyLoaders, OldFolderConvertersReportTheirOpenFailure)
{
    QDir().mkpath(inMailbox("OLD.mbx")); // a directory: exists, but does not read
    const struct {
        OldFolderLoad (*load)(Context &, const QString &);
        const char *message;
    } cases[] = {
        {LoadOldFolder26, "Error 0027: File access error on old message file"},
        {LoadOldFolder25, "Error 0026: File access error on old message file"},
        {LoadOldFolder20, "Error 0025: File access error on old message file"},
        {LoadOldFolder15, "Error 0024: File access error on old message file"},
    };
    for (const auto &c : cases) {
        ws.ui.clear();
        ws.ctx.settings.LastFolder = "OLD";
        const OldFolderLoad r = c.load(ws.ctx, inMailbox("OLD.mbx"));
        EXPECT_EQ(r.status, OldFolderLoad::OpenFailed);
        ASSERT_EQ(ws.ui.boxes.size(), 1u);
        EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
        EXPECT_EQ(ws.ui.boxes[0].text, c.message);
        EXPECT_EQ(ws.ctx.settings.LastFolder, "OLD");
    }
}

TEST_F(LegacyLoaders, OldFolderConvertersChainAndGiveUpWithTheInvalidMessage)
{
    put(inMailbox("OLD.mbx"), msgInfo15(ann15("x")).bytes());
    OldFolderLoad r = LoadOldFolder26(ws.ctx, inMailbox("OLD.mbx"));
    EXPECT_EQ(r.status, OldFolderLoad::Loaded);
    EXPECT_EQ(r.layout, FolderLayout::V15);
    EXPECT_TRUE(ws.ui.boxes.empty());

    put(inMailbox("BAD.mbx"), QByteArray(317, 'x'));
    ws.ctx.settings.LastFolder = "BAD";
    r = LoadOldFolder20(ws.ctx, inMailbox("BAD.mbx"));
    EXPECT_EQ(r.status, OldFolderLoad::Invalid);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ws.ui.boxes[0].text, "Error 0004: Invalid message file encountered.");
    EXPECT_EQ(ws.ctx.settings.LastFolder, ""); // nothing will be saved over it
    EXPECT_EQ(get(inMailbox("BAD.mbx")), QByteArray(317, 'x'));
}

// ---- Outbox files

TEST(LegacyOutbox, ConvertsWithoutUnpackingAndReducesTextFileNames)
{
    const QByteArray file = msgInfo26(ann26()).bytes() + msgInfo26(ann26()).bytes();
    auto recs = convertOldOutbox(FolderLayout::V26, file);
    ASSERT_TRUE(recs);
    ASSERT_EQ(recs->size(), 2u);
    const TMsgInfoRec &r = recs->at(0);
    EXPECT_EQ(r.Version, "2.8");
    EXPECT_EQ(r.Receipt, 1);
    EXPECT_EQ(r.Urgent, 1);
    EXPECT_EQ(r.TextFileName, "4711.TMS");
    EXPECT_EQ(r.ToNames, "ANN^BOB^$");
    EXPECT_EQ(r.CcNames, "");

    for (const QByteArray &tag : {QByteArray("2.5.0"), QByteArray("2.1.0")}) {
        recs = convertOldOutbox(FolderLayout::V25, msgInfo25(ann25(tag)).bytes());
        ASSERT_TRUE(recs) << tag.constData();
        EXPECT_EQ(recs->at(0).Receipt, 2);
        EXPECT_EQ(recs->at(0).TextFileName, "815.tms");
    }
    EXPECT_TRUE(convertOldOutbox(FolderLayout::V26, QByteArray())->empty());
}

TEST(LegacyOutbox, RefusesForeignTagsAndCutRecords)
{
    MsgInfo26 other = ann26();
    other.version = "2.5.0";
    EXPECT_FALSE(convertOldOutbox(FolderLayout::V26, msgInfo26(ann26()).bytes() + msgInfo26(other).bytes()));
    EXPECT_FALSE(convertOldOutbox(FolderLayout::V26, msgInfo26(ann26()).bytes().left(419)));
    EXPECT_FALSE(convertOldOutbox(FolderLayout::V25, msgInfo26(ann26()).bytes().left(416)));
    EXPECT_FALSE(convertOldOutbox(FolderLayout::V20, msgInfo20(ann20()).bytes()));
}

TEST_F(LegacyLoaders, OutboxLoadersReportAndLeaveTheListEmpty)
{
    const QString path = inMailbox("_oBOB.mbx");
    std::vector<TMsgInfoRec> recs{TMsgInfoRec{}};

    put(path, msgInfo26(ann26()).bytes());
    LoadOldOutbox26(ws.ctx, path, recs);
    EXPECT_EQ(recs.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes.empty());

    const struct {
        void (*load)(Context &, const QString &, std::vector<TMsgInfoRec> &);
        QByteArray contents; // empty: the file is missing
        const char *message;
    } cases[] = {
        {LoadOldOutbox26, {}, "Error in LoadOldOutbox26(): File access error on Outbox file"},
        {LoadOldOutbox25, {}, "Error in LoadOldOutbox25(): File access error on Outbox file"},
        {LoadOldOutbox26, msgInfo25(ann25()).bytes(),
         "Error in LoadOldOutbox26(): Unable to read Outbox.  Contents will be deleted."},
        {LoadOldOutbox25, msgInfo26(ann26()).bytes(),
         "Error in LoadOldOutbox25(): Unable to read Outbox.  Contents will be deleted."},
    };
    for (const auto &c : cases) {
        QFile::remove(path);
        if (!c.contents.isEmpty())
            put(path, c.contents);
        ws.ui.clear();
        recs.assign(3, TMsgInfoRec{});
        c.load(ws.ctx, path, recs);
        EXPECT_TRUE(recs.empty()) << c.message;
        ASSERT_EQ(ws.ui.boxes.size(), 1u);
        EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
        EXPECT_EQ(ws.ui.boxes[0].text, c.message);
    }
}

// ---- queue info files

TEST(LegacyQueue, CurrentRecords)
{
    MsgInfo28 f = bob28("2008/02/24 09:05:00");
    f.textFileName = "..\\..\\etc\\passwd";
    const auto m = readQueueBytes(msgInfo28(f).bytes(), QueueReader::Window);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->layout, QueueLayout::Current);
    EXPECT_EQ(m->rec.Version, "2.8");
    EXPECT_EQ(m->rec.TextFileName, "passwd"); // never a path out of the queue
}

TEST(LegacyQueue, TwoSixReceiptDependsOnTheReader)
{
    const QByteArray file = msgInfo26(ann26()).bytes();
    const auto w = readQueueBytes(file, QueueReader::Window);
    const auto p = readQueueBytes(file, QueueReader::Poll);
    ASSERT_TRUE(w && p);
    EXPECT_EQ(w->layout, QueueLayout::V26);
    EXPECT_EQ(w->rec.Version, "2.6");
    EXPECT_EQ(w->rec.Receipt, 2); // the window sends no receipt for an older message
    EXPECT_EQ(p->rec.Receipt, 1);
    EXPECT_EQ(w->rec.TextFileName, "4711.TMS");
    EXPECT_EQ(w->rec.ToNames, "ANN^BOB^$"); // unpacked when shown
    EXPECT_EQ(w->rec.CcNames, "");
    EXPECT_EQ(w->rec.BccNames, "");

    // A longer file tagged "2.6" is read by the "2.6" reader as well.
    const auto padded = readQueueBytes(file + QByteArray(600, '\0'), QueueReader::Window);
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->layout, QueueLayout::V26);
}

TEST(LegacyQueue, TwoOneIsReadByTheTwoFiveReader)
{
    for (const QByteArray &tag : {QByteArray("2.1.0"), QByteArray("2.5.0")}) {
        const QByteArray file = msgInfo25(ann25(tag)).bytes();
        ASSERT_EQ(file.size(), 416);
        for (const QByteArray &bytes : {file, file + QByteArray(600, 'z')}) {
            const auto m = readQueueBytes(bytes, QueueReader::Poll);
            ASSERT_TRUE(m) << tag.constData();
            EXPECT_EQ(m->layout, QueueLayout::V25);
            EXPECT_EQ(m->rec.Version, QString::fromLatin1(tag));
            EXPECT_EQ(m->rec.Receipt, 2);
            EXPECT_EQ(m->rec.TextFileName, "815.tms");
        }
    }
}

TEST(LegacyQueue, TwoNoughtKeepsItsTextAndNamesItsRecipient)
{
    const QByteArray file = msgInfo20(ann20()).bytes();
    const auto w = readQueueBytes(file, QueueReader::Window);
    const auto p = readQueueBytes(file, QueueReader::Poll);
    ASSERT_TRUE(w && p);
    EXPECT_EQ(w->layout, QueueLayout::V20);
    EXPECT_EQ(w->rec.Version, "2.0");
    EXPECT_EQ(w->rec.FromUser, "ANN");
    EXPECT_EQ(w->rec.TextFileName, "");
    EXPECT_EQ(w->rec.Receipt, 2);
    EXPECT_EQ(w->rec.ToNames, "BOB^$");
    EXPECT_EQ(UnpackNames(w->rec.ToNames), "BOB;");
    EXPECT_EQ(p->rec.ToNames, "BOB;");
    EXPECT_EQ(w->InlineText1 + w->InlineText2, "Hello world");
}

TEST(LegacyQueue, WhatNoReaderCanRead)
{
    const QByteArray current = msgInfo28(bob28("2008/02/24 09:05:00")).bytes();
    // A "2.8" record cut short fits no layout, whatever its length.
    for (const int len : {931, 600, 420, 417, 416, 300, 12})
        EXPECT_FALSE(readQueueBytes(current.left(len), QueueReader::Window)) << len;
    EXPECT_FALSE(readQueueBytes(QByteArray(), QueueReader::Poll));
    EXPECT_FALSE(readQueueBytes(QByteArray(200, 'q'), QueueReader::Poll));
    EXPECT_FALSE(readQueueBytes(QByteArray(1000, '\xff'), QueueReader::Poll));
    // A "2.6" record cut to 416 bytes is no "2.5" record.
    EXPECT_FALSE(readQueueBytes(msgInfo26(ann26()).bytes().left(416), QueueReader::Window));
}

TEST(LegacyQueue, ChainsStartWhereTheirReaderIs)
{
    const QByteArray f26 = msgInfo26(ann26()).bytes();
    const QByteArray f20 = msgInfo20(ann20()).bytes();
    const auto from26 = convertQueueFrom(QueueLayout::V26, f20, QueueReader::Window);
    const auto from25 = convertQueueFrom(QueueLayout::V25, f20, QueueReader::Window);
    ASSERT_TRUE(from26 && from25);
    EXPECT_EQ(from26->layout, QueueLayout::V20);
    EXPECT_EQ(from25->layout, QueueLayout::V20);
    EXPECT_FALSE(convertQueueFrom(QueueLayout::V25, f26, QueueReader::Window)); // no "2.5" record
    EXPECT_FALSE(convertQueueFrom(QueueLayout::V20, f26, QueueReader::Window));
    EXPECT_FALSE(convertQueueFrom(QueueLayout::Current, f26, QueueReader::Window));
}
