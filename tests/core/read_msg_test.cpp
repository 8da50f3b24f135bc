#include "reading/read_msg.h"

#include "store/folders.h"
#include "support/reading_fixture.h"

#include <gtest/gtest.h>

using namespace nv;

namespace {

class ReadMsgTest : public ReadingFixture {
protected:
    ReadMsgContent shown() const
    {
        ReadMsgContent c;
        c.SentFrom = "ANN";
        c.SentOn = "02/24/2008 09:05:00";
        c.urgent = true;
        c.ToList = "BOB;CAROL;";
        c.CcList = "DAVE;";
        c.BccList = "EVE;";
        c.InMessage = {"Hello Bob", "Second line"};
        return c;
    }
};

} // namespace

TEST(ReadMsgLines, ATextIsSplitAsAMemoHoldsIt)
{
    const struct {
        QByteArray text;
        QStringList lines;
    } cases[] = {
        {"", {}},
        {"one", {"one"}},
        {"one\r\n", {"one"}},
        {"one\r\ntwo", {"one", "two"}},
        {"one\ntwo\rthree\r\n", {"one", "two", "three"}},
        {"\r\n\r\n", {"", ""}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"caf\xe9", {QString::fromUtf8("café")}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(read_msg::splitTextLines(c.text), c.lines) << c.text.toStdString();
}

TEST_F(ReadMsgTest, QuickRepliesAreTheFirst81CharactersOfEachLine)
{
    EXPECT_TRUE(read_msg::LoadQuickReplys(ws.ctx).isEmpty()); // no file: no word
    EXPECT_TRUE(ws.ui.boxes.empty());

    const QByteArray longLine(100, 'x');
    put(tmp.filePath("net/qreplys.txt"), "Thanks\r\n\r\n" + longLine + "\r\nOK");
    EXPECT_EQ(read_msg::LoadQuickReplys(ws.ctx), (QStringList{"Thanks", "", QString(81, 'x'), "OK"}));

    QFile::remove(tmp.filePath("net/qreplys.txt"));
    QDir().mkpath(tmp.filePath("net/qreplys.txt")); // there, but cannot be read
    EXPECT_TRUE(read_msg::LoadQuickReplys(ws.ctx).isEmpty());
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error encountered in ReadMsgForm.LoadQuickReplys(): Unable to open "
                                                  "quick replies: \"" + tmp.filePath("net/qreplys.txt") + "\"."});
}

TEST_F(ReadMsgTest, AFolderMessageIsShownWithoutReceiptAndItsNameIsReduced)
{
    TMsgInfoRec r;
    r.FromUser = "ANN";
    r.ToUser = "BOB";
    r.SentAt = "2008/02/24 09:05:00";
    r.Urgent = 1;
    r.Receipt = 1;
    r.TextFileName = "C:\\old\\mailbox\\4711.tms";
    r.ToNames = "BOB;";
    r.CcNames = "DAVE;";
    ws.ctx.Msgs = {r};
    ws.ctx.MsgTexts = {""};
    put(inMailbox("4711.tms"), "Kept text\r\n");

    const auto c = read_msg::ContentFromFolderRecord(ws.ctx, 0);
    ASSERT_TRUE(c);
    EXPECT_EQ(ws.ctx.Msgs[0].TextFileName, "4711.tms");
    EXPECT_EQ(c->SentOn, "02/24/2008 09:05:00");
    EXPECT_TRUE(c->urgent);
    EXPECT_FALSE(c->receiptOwed);
    EXPECT_EQ(c->CcList, "DAVE;");
    EXPECT_EQ(c->InMessage, QStringList{"Kept text"});
    EXPECT_EQ(c->MsgTextPath, inMailbox("4711.tms"));

    QFile::remove(inMailbox("4711.tms")); // gone: shown empty
    const auto empty = read_msg::ContentFromFolderRecord(ws.ctx, 0);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->InMessage.isEmpty());
    EXPECT_TRUE(empty->MsgTextPath.isEmpty());
    EXPECT_FALSE(read_msg::ContentFromFolderRecord(ws.ctx, 1));
}

TEST_F(ReadMsgTest, SavingWritesACopyWithATextOfItsOwn)
{
    const struct {
        const char *target, *file;
    } cases[] = {{"Deleted", "_dBOB.mbx"}, {"Outbox", "_oBOB.mbx"}, {"WORK", "WORK.mbx"}, {"_iBOB", "_iBOB.mbx"}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.target);
        ws.ctx.TmpFolder = c.target;
        ASSERT_EQ(read_msg::WriteMsgToFolder(ws.ctx, shown()), read_msg::FolderWrite::Written);
        const auto recs = recordsIn(inMailbox(c.file));
        ASSERT_EQ(recs.size(), 1u);
        const TMsgInfoRec &r = recs[0];
        EXPECT_EQ(r.FromUser, "ANN");
        EXPECT_EQ(r.ToUser, "BOB");
        EXPECT_EQ(r.SentAt, "2008/02/24 09:05:00");
        EXPECT_EQ(r.Urgent, 1);
        EXPECT_EQ(r.Receipt, 2);
        EXPECT_EQ(r.ToNames, "BOB;CAROL;");
        EXPECT_EQ(r.CcNames, "DAVE;");
        EXPECT_EQ(r.BccNames, "EVE;");
        EXPECT_EQ(get(inMailbox(r.TextFileName)), "Hello Bob\r\nSecond line\r\n");
    }
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(ReadMsgTest, SavingAppendsToWhatTheFolderHolds)
{
    ws.ctx.TmpFolder = "WORK";
    ASSERT_EQ(read_msg::WriteMsgToFolder(ws.ctx, shown()), read_msg::FolderWrite::Written);
    ReadMsgContent second = shown();
    second.SentFrom = "CAROL";
    ASSERT_EQ(read_msg::WriteMsgToFolder(ws.ctx, second), read_msg::FolderWrite::Written);
    const auto recs = recordsIn(inMailbox("WORK.mbx"));
    ASSERT_EQ(recs.size(), 2u);
    EXPECT_EQ(recs[0].FromUser, "ANN");
    EXPECT_EQ(recs[1].FromUser, "CAROL");
    EXPECT_NE(recs[0].TextFileName, recs[1].TextFileName);
}

TEST_F(ReadMsgTest, SavingThatFailsLeavesNothingBehind)
{
    ws.ctx.TmpFolder.clear();
    EXPECT_EQ(read_msg::WriteMsgToFolder(ws.ctx, shown()), read_msg::FolderWrite::NoTarget);
    EXPECT_TRUE(names(mailboxDir()).isEmpty());
    EXPECT_TRUE(ws.ui.boxes.empty());

    ws.ctx.TmpFolder = "WORK";
    ws.files.failPathContaining = "WORK.mbx";
    EXPECT_EQ(read_msg::WriteMsgToFolder(ws.ctx, shown()), read_msg::FolderWrite::Failed);
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error in ReadMsgForm.WriteMsgToFolder(): Unable to write to message "
                                                  "info file: \"" + inMailbox("WORK.mbx") + "\".  Data was not saved."});
    EXPECT_TRUE(names(mailboxDir()).isEmpty());

    ws.ui.clear();
    ws.files.failPathContaining.clear();
    ws.files.failWriteAt = ws.files.writes + 1; // the text file
    EXPECT_EQ(read_msg::WriteMsgToFolder(ws.ctx, shown()), read_msg::FolderWrite::Failed);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(
        "Error in ReadMsgForm.WriteMsgToFolder(): Unable to write to message text file: \"" + mailboxDir()));
    EXPECT_TRUE(names(mailboxDir()).isEmpty());

    ws.ui.clear();
    ws.files.failWriteAt = 0;
    ws.ctx.LocalDir = kNotSet;
    EXPECT_EQ(read_msg::WriteMsgToFolder(ws.ctx, shown()), read_msg::FolderWrite::Failed);
    EXPECT_EQ(ws.ui.texts(),
              std::vector<QString>{"Error 0031: The Local working directory has not been designated."});
}

TEST_F(ReadMsgTest, AFolderNameIsNeverAPath)
{
    for (const char *target : {"../WORK", "A\\B", "..", "."}) {
        SCOPED_TRACE(target);
        ws.ui.clear();
        ws.ctx.TmpFolder = target;
        EXPECT_EQ(read_msg::WriteMsgToFolder(ws.ctx, shown()), read_msg::FolderWrite::Failed);
        EXPECT_EQ(ws.ui.boxes.size(), 1u);
    }
    EXPECT_TRUE(names(tmp.filePath("local")).isEmpty());
    EXPECT_TRUE(names(mailboxDir()).isEmpty());
}

TEST_F(ReadMsgTest, RepliesStartWithTheQuotedMessage)
{
    const auto quick = read_msg::ReplyToMsg("Thanks", read_msg::ReplyMode::Reply, shown());
    EXPECT_EQ(quick.memoMessage, (QStringList{"Thanks", ">Hello Bob", "Second line"}));
    EXPECT_EQ(quick.PresetTo, "ANN;");
    EXPECT_TRUE(quick.PresetCc.isEmpty());
    EXPECT_TRUE(quick.PresetBcc.isEmpty());

    const auto all = read_msg::ReplyToMsg("", read_msg::ReplyMode::ReplyAll, shown());
    EXPECT_EQ(all.memoMessage.first(), "");
    EXPECT_EQ(all.PresetTo, "ANN;BOB;CAROL;");
    EXPECT_EQ(all.PresetCc, "DAVE;");
    EXPECT_TRUE(all.PresetBcc.isEmpty());

    ReadMsgContent empty = shown();
    empty.InMessage.clear();
    EXPECT_EQ(read_msg::ReplyToMsg("", read_msg::ReplyMode::Reply, empty).memoMessage, (QStringList{"", ">"}));
}
