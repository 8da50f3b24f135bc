#include "store/queue_reader.h"

#include "store/legacy_formats.h"
#include "support/mailbox_fixture.h"
#include "support/record_builder.h"

#include <gtest/gtest.h>

#include <functional>

using namespace nv;

namespace {

MsgInfo28 current(const QByteArray &text = "55.tms")
{
    MsgInfo28 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.urgent = 1;
    f.receipt = 1;
    f.textFileName = text;
    f.toNames = "BOB;";
    f.ccNames = "CARL;";
    f.bccNames = "DORA;";
    return f;
}

MsgInfo26 v26()
{
    MsgInfo26 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.receipt = 1;
    f.textFileName = "C:\\NV\\QUEUE\\4711.tms";
    f.toNames = "BOB^CARL^$";
    return f;
}

MsgInfo20 v20()
{
    MsgInfo20 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.urgent = 1;
    f.text1 = "First half, ";
    f.text2 = "second half.";
    return f;
}

class QueueReaderTest : public MailboxFixture {
protected:
    bool readWindow(const QString &name) { return ReadMsgInfo(ws.ctx, name, window); }
    WindowMsgInfo window;
};

} // namespace

TEST_F(QueueReaderTest, CurrentRecordIsReadAsIs)
{
    put(inQueue("BOB.m01"), msgInfo28(current()).bytes());
    ASSERT_TRUE(readWindow("BOB.m01"));
    EXPECT_EQ(window.WindowMsg.Version, "2.8");
    EXPECT_EQ(window.WindowMsg.Receipt, 1);
    EXPECT_EQ(window.WindowMsg.CcNames, "CARL;");
    EXPECT_EQ(window.WindowMsg.TextFileName, "55.tms");

    ASSERT_TRUE(ReadQueueMsg(ws.ctx, "BOB.m01"));
    EXPECT_EQ(ws.ctx.CurrentQueueMsg, window.WindowMsg);
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(QueueReaderTest, TwoSixIsListedWithoutReceiptAndWithEmptyCopyLists)
{
    put(inQueue("BOB.m01"), msgInfo26(v26()).bytes());
    ASSERT_TRUE(readWindow("BOB.m01"));
    EXPECT_EQ(window.WindowMsg.Version, "2.6");
    EXPECT_EQ(window.WindowMsg.Receipt, 2);
    EXPECT_EQ(window.WindowMsg.CcNames, "");
    EXPECT_EQ(window.WindowMsg.BccNames, "");
    EXPECT_EQ(window.WindowMsg.TextFileName, "4711.tms");
    EXPECT_EQ(UnpackNames(window.WindowMsg.ToNames), "BOB;CARL;");

    // The poll keeps the receipt the sender asked for.
    ASSERT_TRUE(ReadQueueMsg(ws.ctx, "BOB.m01"));
    EXPECT_EQ(ws.ctx.CurrentQueueMsg.Receipt, 1);
    EXPECT_EQ(ws.ctx.CurrentQueueMsg.Version, "2.6");
}

TEST_F(QueueReaderTest, TwoNoughtShowsBothPiecesAndItsRecipient)
{
    put(inQueue("BOB.m01"), msgInfo20(v20()).bytes());
    ASSERT_TRUE(readWindow("BOB.m01"));
    EXPECT_EQ(window.WindowMsg.FromUser, "ANN");
    EXPECT_EQ(window.WindowMsg.Version, "2.0");
    EXPECT_EQ(window.InlineText1 + window.InlineText2, "First half, second half.");
    EXPECT_EQ(UnpackNames(window.WindowMsg.ToNames), "BOB;");

    ASSERT_TRUE(ReadQueueMsg(ws.ctx, "BOB.m01"));
    EXPECT_EQ(ws.ctx.CurrentQueueMsg.ToNames, "BOB;");
    EXPECT_EQ(ws.ctx.CurrentQueueMsg.Urgent, 1);
}

TEST_F(QueueReaderTest, TwoOneNoughtIsReadByTheTwoFiveReader)
{
    MsgInfo25 f;
    f.version = "2.1.0";
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.textFileName = "9.tms";
    f.toNames = "BOB^$";
    put(inQueue("BOB.m02"), msgInfo25(f).bytes());
    ASSERT_TRUE(readWindow("BOB.m02"));
    EXPECT_EQ(window.WindowMsg.Version, "2.1.0");
    EXPECT_EQ(window.WindowMsg.TextFileName, "9.tms");
}

TEST_F(QueueReaderTest, CurrentRecordCutShortIsInvalidAndStaysQueued)
{
    const QByteArray cut = msgInfo28(current()).bytes().left(700);
    put(inQueue("BOB.m01"), cut);

    EXPECT_FALSE(readWindow("BOB.m01"));
    EXPECT_FALSE(ReadQueueMsg(ws.ctx, "BOB.m01"));
    ASSERT_EQ(ws.ui.boxes.size(), 2u);
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ws.ui.boxes[0].text, "Error 0005: Invalid message file encountered.");
    EXPECT_EQ(ws.ui.boxes[1].kind, MsgKind::Plain);
    EXPECT_EQ(ws.ui.boxes[1].text, "Error 0001: Invalid message file encountered.");
    EXPECT_EQ(get(inQueue("BOB.m01")), cut);
}

TEST_F(QueueReaderTest, AFileGoneBeforeItIsReadIsSkippedQuietly)
{
    EXPECT_FALSE(readWindow("BOB.m07"));
    EXPECT_FALSE(ReadQueueMsg(ws.ctx, "BOB.m07"));
    EXPECT_FALSE(ReadMsgInfo25(ws.ctx, "BOB.m07", window));
    EXPECT_FALSE(ReadQueueMsg20(ws.ctx, "BOB.m07"));
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(QueueReaderTest, EveryReaderReportsAFileThatCannotBeOpened)
{
    QDir().mkpath(inQueue("BOB.m01")); // there, but not readable as a file
    const struct {
        std::function<bool()> read;
        const char *message;
    } cases[] = {
        {[&] { return ReadMsgInfo(ws.ctx, "BOB.m01", window); }, "Error 0045: File access error on message file"},
        {[&] { return ReadMsgInfo26(ws.ctx, "BOB.m01", window); }, "Error 0045: File access error on message file"},
        {[&] { return ReadMsgInfo25(ws.ctx, "BOB.m01", window); }, "Error 0044: File access error on message file"},
        {[&] { return ReadMsgInfo20(ws.ctx, "BOB.m01", window); }, "Error 0043: File access error on message file"},
        {[&] { return ReadQueueMsg(ws.ctx, "BOB.m01"); }, "Error 0016: File access error on message file"},
        {[&] { return ReadQueueMsg26(ws.ctx, "BOB.m01"); }, "Error 0015: File access error on message file"},
        {[&] { return ReadQueueMsg25(ws.ctx, "BOB.m01"); }, "Error 0015: File access error on message file"},
        {[&] { return ReadQueueMsg20(ws.ctx, "BOB.m01"); }, "Error 0014: File access error on message file"},
    };
    for (const auto &c : cases) {
        ws.ui.clear();
        EXPECT_FALSE(c.read()) << c.message;
        ASSERT_EQ(ws.ui.boxes.size(), 1u) << c.message;
        EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
        EXPECT_EQ(ws.ui.boxes[0].text, c.message);
    }
}

TEST_F(QueueReaderTest, ChainReadersEndInTheInvalidMessage)
{
    put(inQueue("BOB.m01"), msgInfo26(v26()).bytes());
    EXPECT_TRUE(ReadMsgInfo26(ws.ctx, "BOB.m01", window));
    EXPECT_FALSE(ReadMsgInfo25(ws.ctx, "BOB.m01", window)); // a "2.6" record is no older one
    EXPECT_FALSE(ReadMsgInfo20(ws.ctx, "BOB.m01", window));
    EXPECT_TRUE(ReadQueueMsg26(ws.ctx, "BOB.m01"));
    EXPECT_FALSE(ReadQueueMsg20(ws.ctx, "BOB.m01"));
    EXPECT_EQ(ws.ui.texts(),
              (std::vector<QString>{"Error 0005: Invalid message file encountered.",
                                    "Error 0005: Invalid message file encountered.",
                                    "Error 0001: Invalid message file encountered."}));

    // ReadOldQueueMsg chooses by the tag it is given.
    ws.ui.clear();
    EXPECT_TRUE(ReadOldQueueMsg(ws.ctx, "BOB.m01", "2.6"));
    EXPECT_FALSE(ReadOldQueueMsg(ws.ctx, "BOB.m01", "2.5.0"));
    EXPECT_EQ(ws.ui.texts(), (std::vector<QString>{"Error 0001: Invalid message file encountered."}));
}

TEST_F(QueueReaderTest, NamesThatAreNoQueueFileNamesAreRefused)
{
    put(tmp.filePath("net/secret"), msgInfo28(current()).bytes());
    EXPECT_FALSE(ReadQueueMsg(ws.ctx, "../secret"));
    EXPECT_EQ(ws.ui.texts(), (std::vector<QString>{"Error 0016: File access error on message file"}));
}

TEST_F(QueueReaderTest, UseInboxFilesEachWaitingMessageOnce)
{
    ws.ctx.settings.UseInbox = true;
    put(inQueue("55.tms"), "Line one\r\nLine two\r\n");
    put(inQueue("BOB.m01"), msgInfo28(current()).bytes());

    // The poll meets the waiting message at every tick.
    ASSERT_TRUE(ReadQueueMsg(ws.ctx, "BOB.m01"));
    ASSERT_TRUE(ReadQueueMsg(ws.ctx, "BOB.m01"));
    const QByteArray inbox = get(inMailbox("Inbox.mbx"));
    ASSERT_EQ(inbox.size(), kMsgInfoRecSize);
    const TMsgInfoRec filed = decodeMsgInfoRec(inbox.constData());
    EXPECT_EQ(filed.FromUser, "ANN");
    EXPECT_EQ(filed.Receipt, 1);
    ASSERT_FALSE(filed.TextFileName.isEmpty());
    EXPECT_NE(filed.TextFileName, "55.tms");
    EXPECT_EQ(get(inMailbox(filed.TextFileName)), "Line one\r\nLine two\r\n");
    EXPECT_TRUE(exists(inQueue("55.tms"))); // the queue copy stays for the Message Inbox window
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(QueueReaderTest, UseInboxKeepsTheTextOfATwoNoughtMessage)
{
    ws.ctx.settings.UseInbox = true;
    put(inQueue("BOB.m01"), msgInfo20(v20()).bytes());
    ASSERT_TRUE(ReadQueueMsg(ws.ctx, "BOB.m01"));
    const TMsgInfoRec filed = decodeMsgInfoRec(get(inMailbox("Inbox.mbx")).constData());
    EXPECT_EQ(get(inMailbox(filed.TextFileName)), "First half, second half.");
}

TEST_F(QueueReaderTest, ReadOnlyGivesWhatTheWindowShowsAndWritesNothing)
{
    put(inQueue("BOB.m01"), msgInfo20(v20()).bytes());
    put(inQueue("BOB.m02"), msgInfo26(v26()).bytes());
    put(inQueue("4711.tms"), "Preview line\r\nmore");
    put(inQueue("BOB.m03"), msgInfo28(current()).bytes().left(931));
    const QStringList before = names(queueDir());

    QString error;
    auto e = ReadQueueFileReadOnly(ws.ctx, inQueue("BOB.m01"), &error);
    ASSERT_TRUE(e);
    EXPECT_EQ(error, "");
    EXPECT_EQ(e->versionTag, "2.0");
    EXPECT_EQ(e->inlineText, "First half, second half.");
    EXPECT_EQ(e->rec.ToNames, "BOB;");
    EXPECT_EQ(e->preview, "First half, second half.");

    e = ReadQueueFileReadOnly(ws.ctx, inQueue("BOB.m02"), &error);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->versionTag, "2.6");
    EXPECT_EQ(e->rec.Receipt, 2);
    EXPECT_EQ(e->rec.ToNames, "BOB;CARL;");
    EXPECT_EQ(e->inlineText, "");
    EXPECT_EQ(e->preview, "Preview line");

    EXPECT_FALSE(ReadQueueFileReadOnly(ws.ctx, inQueue("BOB.m03"), &error));
    EXPECT_EQ(error, "Error 0005: Invalid message file encountered.");
    EXPECT_FALSE(ReadQueueFileReadOnly(ws.ctx, inQueue("BOB.m09"), &error));
    EXPECT_EQ(error, "Error 0045: File access error on message file");

    EXPECT_EQ(names(queueDir()), before);
    EXPECT_TRUE(ws.ui.boxes.empty());
}
