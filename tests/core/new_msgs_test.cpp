#include "reading/new_msgs.h"

#include "store/folders.h"
#include "store/legacy_formats.h"
#include "support/reading_fixture.h"

#include <gtest/gtest.h>

using namespace nv;

namespace {

class NewMsgsTest : public ReadingFixture {
protected:
    std::vector<NewMsgRow> build() { return new_msgs::BuildMsgList(ws.ctx); }

    // The row of the list made from queue file n.
    NewMsgRow queueRow(int n)
    {
        for (const NewMsgRow &r : build())
            if (r.item.InfoFileName == infoName(n))
                return r;
        ADD_FAILURE() << "no row for " << infoName(n).toStdString();
        return {};
    }
    NewMsgRow inboxRow(const QString &from)
    {
        for (const NewMsgRow &r : build())
            if (r.item.InReadInbox && r.item.FromUser == from)
                return r;
        ADD_FAILURE() << "no read-inbox row from " << from.toStdString();
        return {};
    }
    // A folder file that cannot be written, whatever comes before it.
    void cannotWrite(const QString &fileName) { ws.files.failPathContaining = fileName.toUtf8(); }
};

QStringList fromUsers(const std::vector<NewMsgRow> &rows)
{
    QStringList out;
    for (const NewMsgRow &r : rows)
        out.append(r.item.FromUser);
    return out;
}

} // namespace

// ---- the list

TEST_F(NewMsgsTest, NewAndReadMessagesAreListedTogetherNewestFirst)
{
    Msg older;
    older.from = "ANN";
    older.sentAt = "2008/02/24 09:05:00";
    older.text = "From the queue\r\nmore\r\n";
    queueMsg(1, older);
    Msg newer;
    newer.from = "CAROL";
    newer.sentAt = "2008/02/25 08:00:00";
    newer.text = "Already read";
    readInboxMsg(newer);

    const auto rows = build();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].item.FromUser, "CAROL");
    EXPECT_TRUE(rows[0].item.InReadInbox);
    EXPECT_TRUE(rows[0].item.InfoFileName.isEmpty());
    EXPECT_EQ(rows[0].preview, "Already read");
    EXPECT_EQ(rows[1].item.FromUser, "ANN");
    EXPECT_FALSE(rows[1].item.InReadInbox);
    EXPECT_EQ(rows[1].item.InfoFileName, "BOB.m01");
    EXPECT_EQ(rows[1].item.TextFileName, "1001.tms");
    EXPECT_EQ(rows[1].preview, "From the queue");
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(NewMsgsTest, TheMainWindowKeepsItsFolder)
{
    Msg m;
    readInboxMsg(m);
    queueMsg(1, m);
    put(inMailbox("WORK.mbx"), msgInfo28(info28(m, "77.tms")).bytes());
    ws.ctx.settings.LastFolder = "WORK";
    LoadFolderMsgs(ws.ctx);
    const auto shown = ws.ctx.Msgs;

    build();
    EXPECT_EQ(ws.ctx.settings.LastFolder, "WORK");
    EXPECT_EQ(ws.ctx.Msgs, shown);
}

TEST_F(NewMsgsTest, AtMost255RowsQueueFirst)
{
    const struct {
        int queued, kept;
        int rows, fromQueue;
    } cases[] = {
        {300, 1, 255, 255}, // the read-inbox is not even looked at
        {10, 300, 255, 10},
        {0, 3, 3, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.queued << " queued, " << c.kept << " kept");
        QDir(queueDir()).removeRecursively();
        QDir().mkpath(queueDir());
        QFile::remove(readInboxPath());
        QByteArray inbox;
        for (int i = 0; i < c.kept; ++i) {
            Msg m;
            m.from = "KEPT";
            m.sentAt = QStringLiteral("2008/01/01 10:%1:%2").arg(i / 60, 2, 10, QChar('0')).arg(i % 60, 2, 10, QChar('0')).toLatin1();
            inbox += msgInfo28(info28(m, QByteArray::number(9000 + i) + ".tms")).bytes();
        }
        if (c.kept)
            put(readInboxPath(), inbox);
        for (int i = 1; i <= c.queued; ++i) {
            MsgInfo28 f;
            f.fromUser = "NEW";
            f.toUser = "BOB";
            f.sentAt = "2008/02/24 09:05:00";
            f.textFileName = "1.tms";
            put(inQueue(QStringLiteral("BOB.m%1").arg(i, 3, 10, QChar('0'))), msgInfo28(f).bytes());
        }
        const auto rows = build();
        EXPECT_EQ(int(rows.size()), c.rows);
        EXPECT_EQ(int(fromUsers(rows).count("NEW")), c.fromQueue);
        if (c.kept == 300) { // the newest kept records make up the rest
            EXPECT_EQ(rows.back().item.SentAt, "2008/01/01 10:00:55");
        }
    }
}

TEST_F(NewMsgsTest, EqualTimesKeepTheOrderTheExchangeSortLeaves)
{
    // Queue rows come before read-inbox rows; the exchange sort moves the
    // newest to the front and swaps the equal ones through it.
    Msg a;
    a.from = "A";
    a.sentAt = "2008/02/24 09:00:00";
    queueMsg(1, a);
    Msg b = a;
    b.from = "B";
    queueMsg(2, b);
    Msg c = a;
    c.from = "C";
    c.sentAt = "2008/02/24 10:00:00";
    readInboxMsg(c);
    EXPECT_EQ(fromUsers(build()), (QStringList{"C", "A", "B"}));
}

TEST_F(NewMsgsTest, AQueueFileThatCannotBeReadIsLeftOutAndStays)
{
    Msg m;
    queueMsg(1, m);
    put(inQueue("BOB.m02"), QByteArray(100, 'x'));
    const auto rows = build();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].item.InfoFileName, "BOB.m01");
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error 0005: Invalid message file encountered."});
    EXPECT_TRUE(exists(inQueue("BOB.m02")));
}

TEST_F(NewMsgsTest, OlderQueueLayoutsAreListedAndShown)
{
    MsgInfo26 v26;
    v26.fromUser = "ANN";
    v26.toUser = "BOB";
    v26.sentAt = "2008/02/24 09:05:00";
    v26.receipt = 1;
    v26.textFileName = "C:\\OLD\\QUEUE\\4711.TMS";
    v26.toNames = "BOB^CAROL^$";
    put(inQueue("BOB.m01"), msgInfo26(v26));
    put(inQueue("4711.TMS"), "Old but fine\r\n");
    MsgInfo20 v20;
    v20.fromUser = "DAVE";
    v20.toUser = "BOB";
    v20.sentAt = "2008/02/23 09:05:00";
    v20.text1 = "First piece, ";
    v20.text2 = "second piece";
    put(inQueue("BOB.m02"), msgInfo20(v20));

    const auto rows = build();
    ASSERT_EQ(rows.size(), 2u);
    const NewMsgRow &r26 = rows[0];
    EXPECT_EQ(r26.item.Version, "2.6");
    EXPECT_EQ(r26.item.Receipt, 2); // no receipt for an older sender
    EXPECT_EQ(r26.item.TextFileName, "4711.TMS");
    EXPECT_EQ(r26.preview, "Old but fine");
    const auto c26 = new_msgs::ContentForRow(ws.ctx, r26);
    ASSERT_TRUE(c26);
    EXPECT_EQ(c26->ToList, "BOB;CAROL;");
    EXPECT_EQ(c26->InMessage, QStringList{"Old but fine"});
    EXPECT_EQ(c26->MsgTextPath, inQueue("4711.TMS"));
    EXPECT_FALSE(c26->receiptOwed);

    const NewMsgRow &r20 = rows[1];
    EXPECT_EQ(r20.item.Version, "2.0");
    EXPECT_EQ(r20.preview, "First piece, second piece");
    const auto c20 = new_msgs::ContentForRow(ws.ctx, r20);
    ASSERT_TRUE(c20);
    EXPECT_EQ(c20->InMessage, QStringList{"First piece, second piece"});
    EXPECT_EQ(c20->ToList, "BOB;");
    EXPECT_TRUE(c20->MsgTextPath.isEmpty());
}

TEST_F(NewMsgsTest, AReadInboxOfAnOlderLayoutIsConvertedOnce)
{
    MsgInfo26 v26;
    v26.fromUser = "ANN";
    v26.toUser = "BOB";
    v26.sentAt = "2008/02/24 09:05:00";
    v26.textFileName = "4711.tms";
    put(readInboxPath(), msgInfo26(v26));
    put(inMailbox("4711.tms"), "kept\r\n");
    const auto rows = build();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].item.InReadInbox);
    EXPECT_EQ(rows[0].preview, "kept");
    EXPECT_EQ(get(readInboxPath()).size(), kMsgInfoRecSize); // rewritten in the current layout
}

// ---- reading a row

TEST_F(NewMsgsTest, ARowIsShownWithItsListsAndOwedReceipt)
{
    Msg m;
    m.urgent = 1;
    m.receipt = 1;
    m.toNames = "ANN^BOB^$";
    m.ccNames = "DAVE;";
    queueMsg(1, m);
    const auto c = new_msgs::ContentForRow(ws.ctx, queueRow(1));
    ASSERT_TRUE(c);
    EXPECT_EQ(c->SentFrom, "ANN");
    EXPECT_EQ(c->SentOn, "02/24/2008 09:05:00");
    EXPECT_TRUE(c->urgent);
    EXPECT_TRUE(c->receiptOwed);
    EXPECT_EQ(c->ToList, "ANN;BOB;");
    EXPECT_EQ(c->CcList, "DAVE;");
    EXPECT_EQ(c->InMessage, (QStringList{"Hello Bob", "Second line"}));
    EXPECT_EQ(c->MsgTextPath, inQueue("1001.tms"));
}

TEST_F(NewMsgsTest, ATextFileThatCannotBeLoadedIsReportedAndNothingIsShown)
{
    Msg m;
    queueMsg(1, m);
    const NewMsgRow row = queueRow(1);
    QFile::remove(inQueue("1001.tms"));
    EXPECT_FALSE(new_msgs::ContentForRow(ws.ctx, row));
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error in NewMsgsForm.ReadAMsg(): Unable to open message text file: \"" +
                                                  inQueue("1001.tms") + "\"."});

    ws.ui.clear();
    readInboxMsg(m);
    const NewMsgRow kept = inboxRow("ANN");
    QFile::remove(inMailbox(kept.item.TextFileName));
    EXPECT_FALSE(new_msgs::ContentForRow(ws.ctx, kept));
    EXPECT_EQ(ws.ui.boxes.size(), 1u);
}

TEST_F(NewMsgsTest, NamesFromRecordsNeverLeaveTheirDirectory)
{
    put(tmp.filePath("net/secret.tms"), "not for the queue\r\n");
    Msg m;
    m.textName = "..\\secret.tms";
    queueMsg(1, m);
    put(inQueue("secret.tms"), "the queue's own\r\n");
    const NewMsgRow row = queueRow(1);
    EXPECT_EQ(row.item.TextFileName, "secret.tms");
    const auto c = new_msgs::ContentForRow(ws.ctx, row);
    ASSERT_TRUE(c);
    EXPECT_EQ(c->InMessage, QStringList{"the queue's own"});

    ASSERT_TRUE(new_msgs::MarkAsRead(ws.ctx, row));
    EXPECT_EQ(get(tmp.filePath("net/secret.tms")), "not for the queue\r\n");
    EXPECT_EQ(recordsIn(readInboxPath()).at(0).TextFileName, "secret.tms");
}

// ---- mark as read, delete

TEST_F(NewMsgsTest, MarkAsReadFilesTheMessageIntoTheReadInbox)
{
    Msg m;
    m.receipt = 1;
    m.urgent = 1;
    queueMsg(1, m);
    ASSERT_TRUE(new_msgs::MarkAsRead(ws.ctx, queueRow(1)));

    EXPECT_TRUE(queueFiles().isEmpty());
    EXPECT_EQ(get(inMailbox("1001.tms")), m.text);
    const auto recs = recordsIn(readInboxPath());
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(recs[0].FromUser, "ANN");
    EXPECT_EQ(recs[0].ToUser, "BOB");
    EXPECT_EQ(recs[0].SentAt, "2008/02/24 09:05:00");
    EXPECT_EQ(recs[0].Urgent, 1);
    EXPECT_EQ(recs[0].Receipt, 2);
    EXPECT_EQ(recs[0].TextFileName, "1001.tms");

    const auto rows = build();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(rows[0].item.InReadInbox); // listed again, now plain
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(NewMsgsTest, MarkAsReadOfAReadInboxRowChangesNothing)
{
    Msg m;
    readInboxMsg(m);
    const QByteArray before = get(readInboxPath());
    EXPECT_FALSE(new_msgs::MarkAsRead(ws.ctx, inboxRow("ANN")));
    EXPECT_EQ(get(readInboxPath()), before);
}

TEST_F(NewMsgsTest, DeletingANewMessage)
{
    for (const bool useDeleted : {true, false}) {
        SCOPED_TRACE(useDeleted ? "with Deleted folder" : "without");
        QFile::remove(deletedPath());
        QFile::remove(inMailbox("1001.tms"));
        ws.ctx.settings.UseDeletedBox = useDeleted;
        Msg m;
        m.receipt = 1;
        queueMsg(1, m);
        ASSERT_TRUE(new_msgs::DeleteMsg(ws.ctx, queueRow(1)));
        EXPECT_TRUE(queueFiles().isEmpty());
        const auto recs = recordsIn(deletedPath());
        if (useDeleted) {
            ASSERT_EQ(recs.size(), 1u);
            EXPECT_EQ(recs[0].Receipt, 2);
            EXPECT_EQ(recs[0].TextFileName, "1001.tms");
            EXPECT_EQ(get(inMailbox("1001.tms")), m.text);
        } else {
            EXPECT_TRUE(recs.empty());
            EXPECT_FALSE(exists(inMailbox("1001.tms")));
        }
    }
}

TEST_F(NewMsgsTest, DeletingAReadMessage)
{
    for (const bool useDeleted : {true, false}) {
        SCOPED_TRACE(useDeleted ? "with Deleted folder" : "without");
        QFile::remove(deletedPath());
        QFile::remove(readInboxPath());
        ws.ctx.settings.UseDeletedBox = useDeleted;
        Msg m;
        const QByteArray text = readInboxMsg(m);
        Msg other;
        other.from = "CAROL";
        readInboxMsg(other);
        ws.ctx.settings.LastFolder = "Inbox";

        ASSERT_TRUE(new_msgs::DeleteMsg(ws.ctx, inboxRow("ANN")));
        const auto kept = recordsIn(readInboxPath());
        ASSERT_EQ(kept.size(), 1u);
        EXPECT_EQ(kept[0].FromUser, "CAROL");
        EXPECT_EQ(ws.ctx.settings.LastFolder, "Inbox"); // the main window shows what it showed
        if (useDeleted) {
            ASSERT_EQ(recordsIn(deletedPath()).size(), 1u);
            EXPECT_TRUE(exists(inMailbox(QString::fromLatin1(text))));
        } else {
            EXPECT_FALSE(exists(deletedPath()));
            EXPECT_FALSE(exists(inMailbox(QString::fromLatin1(text))));
        }
    }
}

TEST_F(NewMsgsTest, ARecordOfTheSameNameInTheMailboxIsNeverOverwritten)
{
    put(inMailbox("1001.tms"), "another message's text");
    Msg m;
    queueMsg(1, m);
    ASSERT_TRUE(new_msgs::MarkAsRead(ws.ctx, queueRow(1)));
    EXPECT_EQ(get(inMailbox("1001.tms")), "another message's text");
    const auto recs = recordsIn(readInboxPath());
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_NE(recs[0].TextFileName, "1001.tms");
    EXPECT_EQ(get(inMailbox(recs[0].TextFileName)), m.text);
    EXPECT_TRUE(queueFiles().isEmpty());
}

TEST_F(NewMsgsTest, AMissingQueueTextIsReportedAndTheRecordFiledWithoutOne)
{
    Msg m;
    queueMsg(1, m);
    const NewMsgRow row = queueRow(1);
    QFile::remove(inQueue("1001.tms"));
    ASSERT_TRUE(new_msgs::MarkAsRead(ws.ctx, row));
    EXPECT_EQ(ws.ui.texts(), (std::vector<QString>{"Error in MoveAFile(): file '" + inQueue("1001.tms") +
                                                       "' does not exist.",
                                                   "Error in WriteMsgToFolder(): Unable to move message text file: "
                                                   "1001.tms."}));
    const auto recs = recordsIn(readInboxPath());
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_TRUE(recs[0].TextFileName.isEmpty());
    EXPECT_TRUE(queueFiles().isEmpty());
}

TEST_F(NewMsgsTest, AnInlineTextGetsAFileWhenFiled)
{
    MsgInfo20 v20;
    v20.fromUser = "DAVE";
    v20.toUser = "BOB";
    v20.sentAt = "2008/02/23 09:05:00";
    v20.text1 = "Inside ";
    v20.text2 = "the record";
    put(inQueue("BOB.m01"), msgInfo20(v20));
    ASSERT_TRUE(new_msgs::MarkAsRead(ws.ctx, queueRow(1)));
    const auto recs = recordsIn(readInboxPath());
    ASSERT_EQ(recs.size(), 1u);
    ASSERT_FALSE(recs[0].TextFileName.isEmpty());
    EXPECT_EQ(get(inMailbox(recs[0].TextFileName)), "Inside the record");
}

TEST_F(NewMsgsTest, AnOlderReadInboxIsConvertedBeforeItIsAppendedTo)
{
    MsgInfo26 v26;
    v26.fromUser = "OLD";
    v26.toUser = "BOB";
    v26.sentAt = "2007/01/01 09:05:00";
    v26.textFileName = "4711.tms";
    put(readInboxPath(), msgInfo26(v26));
    put(inMailbox("4711.tms"), "old\r\n");
    Msg m;
    queueMsg(1, m);
    ASSERT_TRUE(new_msgs::MarkAsRead(ws.ctx, queueRow(1)));
    const auto recs = recordsIn(readInboxPath());
    EXPECT_EQ(get(readInboxPath()).size(), 2 * kMsgInfoRecSize);
    ASSERT_EQ(recs.size(), 2u);
    QStringList from{recs[0].FromUser, recs[1].FromUser};
    from.sort();
    EXPECT_EQ(from, (QStringList{"ANN", "OLD"}));
}

// ---- nothing is lost

TEST_F(NewMsgsTest, AFolderRecordThatCannotBeWrittenLosesNothing)
{
    const struct {
        const char *what;
        const char *unwritable;
        std::function<bool(Context &, const NewMsgRow &)> act;
        const char *message;
    } cases[] = {
        {"mark as read", "_iBOB.mbx", new_msgs::MarkAsRead,
         "Error in NewMsgsForm.WriteMsgToFolder(): Unable to write to message info file: \"%1\".  Data was not saved."},
        {"delete", "_dBOB.mbx", new_msgs::DeleteMsg,
         "Error in NewMsgsForm.WriteMsgToFolder(): Unable to write to message info file: \"%1\".  Data was not saved."},
        {"text copy", "1001.tms", new_msgs::MarkAsRead,
         "Error in WriteMsgToFolder(): Unable to move message text file: 1001.tms."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ws.ui.clear();
        ws.ctx.settings.UseDeletedBox = true;
        Msg m;
        queueMsg(1, m);
        const QStringList queued = queueFiles();
        const NewMsgRow row = queueRow(1);
        ws.files.failPathContaining = QByteArray("mailbox/") + c.unwritable;
        EXPECT_FALSE(c.act(ws.ctx, row));
        ws.files.failPathContaining.clear();

        EXPECT_EQ(queueFiles(), queued);
        EXPECT_EQ(get(inQueue("1001.tms")), m.text);
        EXPECT_TRUE(mailboxTexts().isEmpty()); // no copy left behind
        EXPECT_FALSE(exists(readInboxPath()));
        EXPECT_FALSE(exists(deletedPath()));
        const QString folder = inMailbox(QString::fromLatin1(c.unwritable));
        EXPECT_EQ(ws.ui.texts(), std::vector<QString>{QString::fromLatin1(c.message).arg(folder)});
    }
}

TEST_F(NewMsgsTest, AFolderThatCannotBeReadIsReportedBeforeAnythingMoves)
{
    Msg m;
    queueMsg(1, m);
    put(readInboxPath(), QByteArray(1000, '\x7f')); // no layout reads it
    EXPECT_FALSE(new_msgs::MarkAsRead(ws.ctx, queueRow(1)));
    EXPECT_EQ(ws.ui.texts().back(), "Error encountered in NewMsgsForm.WriteMsgToFolder(): Unable to open mailbox: \"" +
                                        readInboxPath() + "\".");
    EXPECT_EQ(queueFiles().size(), 2);
    EXPECT_TRUE(mailboxTexts().isEmpty());
    EXPECT_EQ(get(readInboxPath()), QByteArray(1000, '\x7f'));
}

TEST_F(NewMsgsTest, WithoutALocalDirectoryNothingIsFiled)
{
    Msg m;
    queueMsg(1, m);
    const NewMsgRow row = queueRow(1);
    ws.ctx.LocalDir = kNotSet;
    EXPECT_FALSE(new_msgs::MarkAsRead(ws.ctx, row));
    EXPECT_EQ(ws.ui.texts(),
              std::vector<QString>{"Error in WriteMsgToFolder(): The Local working directory has not been designated."});
    EXPECT_EQ(queueFiles().size(), 2);
}

// ---- after the read window

TEST_F(NewMsgsTest, WhatFollowsTheReadWindowForANewMessage)
{
    const struct {
        const char *how;
        bool removed, saved, markedAsRead, keepAsNew, useDeleted;
        bool leavesQueue, deletedCopy;
    } cases[] = {
        {"keep as new", false, false, false, true, true, false, false},
        {"delete", true, false, false, false, true, true, true},
        {"delete, no Deleted folder", true, false, false, false, false, true, false},
        {"saved", true, true, false, false, true, true, false},
        {"marked as read", true, false, true, false, true, true, false},
        {"no verdict", false, false, false, false, true, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        QFile::remove(deletedPath());
        Msg m;
        queueMsg(1, m);
        const NewMsgRow row = queueRow(1);
        ws.ctx.settings.UseDeletedBox = c.useDeleted;
        ws.ctx.MsgRemoved = c.removed;
        ws.ctx.MsgSaved = c.saved;
        new_msgs::FinishReading(ws.ctx, row, {c.keepAsNew, c.markedAsRead, false});
        EXPECT_EQ(queueFiles().isEmpty(), c.leavesQueue);
        EXPECT_EQ(exists(deletedPath()), c.deletedCopy);
        for (const QString &f : mailboxTexts())
            QFile::remove(inMailbox(f));
    }
}

TEST_F(NewMsgsTest, WhatFollowsTheReadWindowForAReadMessage)
{
    Msg m;
    readInboxMsg(m);
    const NewMsgRow row = inboxRow("ANN");
    ws.ctx.MsgRemoved = false;
    new_msgs::FinishReading(ws.ctx, row, {});
    EXPECT_EQ(recordsIn(readInboxPath()).size(), 1u);

    ws.ctx.MsgRemoved = true;
    ws.ctx.MsgSaved = true; // saved elsewhere: no Deleted copy
    new_msgs::FinishReading(ws.ctx, row, {});
    EXPECT_TRUE(recordsIn(readInboxPath()).empty());
    EXPECT_FALSE(exists(deletedPath()));
    EXPECT_TRUE(mailboxTexts().isEmpty());
}

TEST_F(NewMsgsTest, TheDeletedCopyFailingAfterTheReadWindowKeepsTheMessageNew)
{
    Msg m;
    queueMsg(1, m);
    const NewMsgRow row = queueRow(1);
    ws.ctx.MsgRemoved = true;
    ws.files.failPathContaining = "_dBOB.mbx";
    new_msgs::FinishReading(ws.ctx, row, {});
    EXPECT_EQ(queueFiles().size(), 2);
    EXPECT_EQ(ws.ui.boxes.size(), 1u);
}

TEST_F(NewMsgsTest, KeepAsNewAfterAReceiptRewritesTheInfoFileOnce)
{
    Msg m;
    m.receipt = 1;
    m.urgent = 1;
    m.ccNames = "DAVE;";
    queueMsg(1, m);
    const QByteArray before = get(inQueue("BOB.m01"));
    const NewMsgRow row = queueRow(1);

    // No receipt went out: nothing to keep from being sent again.
    new_msgs::FinishReading(ws.ctx, row, {true, false, false});
    EXPECT_EQ(get(inQueue("BOB.m01")), before);

    new_msgs::FinishReading(ws.ctx, row, {true, false, true});
    EXPECT_EQ(queueFiles(), (QStringList{"1001.tms", "BOB.m01"}));
    const auto recs = recordsIn(inQueue("BOB.m01"));
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(get(inQueue("BOB.m01")).size(), kMsgInfoRecSize);
    EXPECT_EQ(recs[0].Receipt, 2);
    EXPECT_EQ(recs[0].Urgent, 1);
    EXPECT_EQ(recs[0].CcNames, "DAVE;");
    EXPECT_EQ(recs[0].TextFileName, "1001.tms");
    EXPECT_FALSE(queueRow(1).item.Receipt == 1);
}

TEST_F(NewMsgsTest, AKeepAsNewRewriteThatFailsIsReportedAndKeepsTheOldFile)
{
    Msg m;
    m.receipt = 1;
    queueMsg(1, m);
    const QByteArray before = get(inQueue("BOB.m01"));
    const NewMsgRow row = queueRow(1);
    ws.files.failPathContaining = "BOB.m01";
    EXPECT_FALSE(new_msgs::KeepAsNewRewrite(ws.ctx, row.item));
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error in NewMsgsForm.ReadAMsg(): Unable to write to message info "
                                                  "file: \"" + inQueue("BOB.m01") + "\".  Data was not saved."});
    EXPECT_EQ(get(inQueue("BOB.m01")), before);
}
