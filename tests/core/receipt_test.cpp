#include "reading/receipt.h"

#include "support/reading_fixture.h"

#include <gtest/gtest.h>

using namespace nv;

namespace {

class ReceiptTest : public ReadingFixture {
protected:
    ReceiptResult send(const QStringList &text = {"Hello Bob", "Second line"})
    {
        return SendReceipt(ws.ctx, QStringLiteral("BOB"), QStringLiteral("ANN"), text);
    }
    // A short string of the record, read at its offset by hand.
    static QByteArray field(const QByteArray &rec, int offset)
    {
        return rec.mid(offset + 1, static_cast<unsigned char>(rec.at(offset)));
    }
    static qint32 int32At(const QByteArray &rec, int offset)
    {
        const auto *p = reinterpret_cast<const unsigned char *>(rec.constData() + offset);
        return qint32(p[0] | (p[1] << 8) | (p[2] << 16) | (quint32(p[3]) << 24));
    }
};

} // namespace

TEST_F(ReceiptTest, TheReceiptGoesStraightIntoTheSendersQueue)
{
    const ReceiptResult r = send();
    ASSERT_EQ(r.status, ReceiptResult::Sent);
    EXPECT_EQ(r.infoPath, inQueue("ANN.m01"));
    EXPECT_TRUE(ws.ui.boxes.empty());

    const QByteArray rec = get(inQueue("ANN.m01"));
    ASSERT_EQ(rec.size(), 932);
    EXPECT_EQ(field(rec, 0), "2.8");
    EXPECT_EQ(field(rec, 12), "BOB");
    EXPECT_EQ(field(rec, 29), "ANN");
    EXPECT_EQ(field(rec, 46), "2008/02/24 09:05:00");
    EXPECT_EQ(int32At(rec, 72), 2);
    EXPECT_EQ(int32At(rec, 76), 2);
    EXPECT_EQ(field(rec, 161), "ANN;");
    EXPECT_EQ(field(rec, 417), "");
    EXPECT_EQ(field(rec, 673), "");

    const QByteArray textName = field(rec, 80);
    EXPECT_TRUE(textName.endsWith(".tms"));
    EXPECT_EQ(inQueue(QString::fromLatin1(textName)), r.textPath);
    EXPECT_EQ(get(r.textPath), "RECEIPT: The following message was read by: BOB\r\n"
                               "\r\n"
                               ">Hello Bob\r\n"
                               "Second line\r\n");
    // The reader's own queue and mailbox are untouched; no Outbox copy.
    EXPECT_TRUE(names(mailboxDir()).isEmpty());
}

TEST_F(ReceiptTest, AnEmptyMessageIsQuotedAsALoneMark)
{
    const ReceiptResult r = send({});
    ASSERT_EQ(r.status, ReceiptResult::Sent);
    EXPECT_EQ(get(r.textPath), "RECEIPT: The following message was read by: BOB\r\n\r\n>\r\n");
}

TEST_F(ReceiptTest, AWaitingMessageIsNeverReplaced)
{
    put(inQueue("ANN.m01"), "waiting");
    put(inQueue("ANN.m03"), "waiting too");
    const ReceiptResult r = send();
    ASSERT_EQ(r.status, ReceiptResult::Sent);
    EXPECT_EQ(r.infoPath, inQueue("ANN.m02"));
    EXPECT_EQ(get(inQueue("ANN.m01")), "waiting");
    EXPECT_EQ(get(inQueue("ANN.m03")), "waiting too");
}

TEST_F(ReceiptTest, AFullQueueIsReportedAndNothingIsLeftBehind)
{
    for (int n = 1; n <= 99; ++n)
        put(inQueue(QStringLiteral("ANN.m%1").arg(n, 2, 10, QChar('0'))), QByteArray::number(n));
    const QStringList before = queueFiles();
    const ReceiptResult r = send();
    EXPECT_EQ(r.status, ReceiptResult::QueueFull);
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error in ReadMsgForm.SendReceipt(): The message queue of \"ANN\" is "
                                                  "full.  Data was not saved."});
    EXPECT_EQ(ws.ui.boxes.at(0).kind, MsgKind::Error);
    EXPECT_EQ(queueFiles(), before);
    EXPECT_EQ(get(inQueue("ANN.m07")), "7");
}

TEST_F(ReceiptTest, AnInfoFileThatCannotBeWrittenIsReported)
{
    ws.files.failPathContaining = "ANN.m01";
    const ReceiptResult r = send();
    EXPECT_EQ(r.status, ReceiptResult::Failed);
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error in ReadMsgForm.SendReceipt(): Unable to write to message info "
                                                  "file: \"" + inQueue("ANN.m01") + "\".  Data was not saved."});
    EXPECT_TRUE(queueFiles().isEmpty()); // no text file without its info file
}

TEST_F(ReceiptTest, ATextFileThatCannotBeWrittenStopsTheReceipt)
{
    ws.files.failWriteAt = 1;
    const ReceiptResult r = send();
    EXPECT_EQ(r.status, ReceiptResult::Failed);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(
        "Error in ReadMsgForm.SendReceipt(): Unable to write to message text file: \"" + queueDir()));
    EXPECT_TRUE(queueFiles().isEmpty());
}

TEST_F(ReceiptTest, ASenderNameThatIsNoFileNameGetsNoReceipt)
{
    for (const char *sender : {"", "../ANN", "A\\B"}) {
        SCOPED_TRACE(sender);
        ws.ui.clear();
        const ReceiptResult r = SendReceipt(ws.ctx, "BOB", QString::fromLatin1(sender), {"x"});
        EXPECT_EQ(r.status, ReceiptResult::Failed);
        EXPECT_EQ(ws.ui.boxes.size(), 1u);
        EXPECT_TRUE(queueFiles().isEmpty());
        EXPECT_TRUE(names(tmp.filePath("net")).isEmpty());
    }
}
