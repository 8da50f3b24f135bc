#include "compose/dispatch.h"

#include "directory/groups.h"
#include "store/msg_info_rec.h"
#include "support/mailbox_fixture.h"
#include "support/record_builder.h"

#include <gtest/gtest.h>

using namespace nv;

namespace {

const QStringList kBody = {QStringLiteral("Lunch at noon?"), QStringLiteral("Price: 5 \u20ac")};
const QByteArray kBodyBytes = "Lunch at noon?\r\nPrice: 5 \x80\r\n";

QByteArray outboxRec(const QByteArray &from, const QByteArray &toNames, const QByteArray &textFile = QByteArray())
{
    MsgInfo28 f;
    f.fromUser = from;
    f.sentAt = "2008/01/02 10:00:00";
    f.toNames = toNames;
    f.textFileName = textFile;
    return msgInfo28(f).bytes();
}

QByteArray outboxOf(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i)
        out += outboxRec("ANN", "R" + QByteArray::number(i) + ";");
    return out;
}

std::vector<TMsgInfoRec> recordsOf(const QByteArray &file)
{
    std::vector<TMsgInfoRec> out;
    for (qsizetype off = 0; off + kMsgInfoRecSize <= file.size(); off += kMsgInfoRecSize)
        out.push_back(decodeMsgInfoRec(file.constData() + off));
    return out;
}

class DispatchTest : public MailboxFixture {
protected:
    DispatchTest() : MailboxFixture(QStringLiteral("ANN")) {}

    QString netDir() const { return tmp.filePath(QStringLiteral("net")); }
    QString outboxPath() const { return inMailbox(QStringLiteral("_oANN.mbx")); }

    TMsgInfoRec queued(const QString &infoName) const
    {
        const QByteArray bytes = get(inQueue(infoName));
        EXPECT_EQ(bytes.size(), kMsgInfoRecSize) << infoName.toStdString();
        return bytes.size() == kMsgInfoRecSize ? decodeMsgInfoRec(bytes.constData()) : TMsgInfoRec{};
    }
    QByteArray queuedText(const QString &infoName) const { return get(inQueue(queued(infoName).TextFileName)); }

    void addGroup(const QString &name, const QList<QByteArray> &members)
    {
        put(netDir() + QLatin1Char('/') + name + QStringLiteral(".nvg"), memberFile(members));
    }

    DispatchResult send(const DispatchCaller &caller, const QStringList &to, const QStringList &cc = {},
                        const QStringList &bcc = {}, bool urgent = false, bool receipt = false,
                        const QStringList &body = kBody)
    {
        return SendMessage(ws.ctx, caller, to, cc, bcc, urgent, receipt, body);
    }

    std::vector<QString> texts() const { return ws.ui.texts(); }
};

// ---- what a send writes

TEST_F(DispatchTest, OneRecipientGetsTextThenInfoFileAndTheOutboxItsOwnCopy)
{
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("BOB")}, {QStringLiteral("CAROL")}), DispatchResult::Yes);
    EXPECT_TRUE(ws.ui.boxes.empty());

    EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), QStringList({"BOB.m01", "CAROL.m01"}));
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.tms")).size(), 2);
    EXPECT_TRUE(names(queueDir(), QStringLiteral("~t*")).isEmpty()) << "no temporary file is left";

    const TMsgInfoRec bob = queued(QStringLiteral("BOB.m01"));
    EXPECT_EQ(bob.Version, "2.8");
    EXPECT_EQ(bob.FromUser, "ANN");
    EXPECT_EQ(bob.ToUser, "BOB");
    EXPECT_EQ(bob.SentAt, "2008/02/24 09:05:00");
    EXPECT_EQ(bob.Urgent, 2);
    EXPECT_EQ(bob.Receipt, 2);
    EXPECT_EQ(bob.ToNames, "BOB;");
    EXPECT_EQ(bob.CcNames, "CAROL;");
    EXPECT_EQ(bob.BccNames, "");
    EXPECT_EQ(queuedText(QStringLiteral("BOB.m01")), kBodyBytes);
    EXPECT_EQ(queued(QStringLiteral("CAROL.m01")).ToUser, "CAROL");
    EXPECT_NE(queued(QStringLiteral("CAROL.m01")).TextFileName, bob.TextFileName) << "one text file per copy";

    const auto outbox = recordsOf(get(outboxPath()));
    ASSERT_EQ(outbox.size(), 1u);
    EXPECT_EQ(outbox[0].FromUser, "ANN");
    EXPECT_EQ(outbox[0].ToUser, "");
    EXPECT_EQ(outbox[0].ToNames, "BOB;");
    EXPECT_EQ(outbox[0].CcNames, "CAROL;");
    EXPECT_EQ(outbox[0].SentAt, "2008/02/24 09:05:00");
    EXPECT_EQ(get(inMailbox(outbox[0].TextFileName)), kBodyBytes);
}

TEST_F(DispatchTest, UrgentAndReceiptAreOneOrTwoAndTheOutboxOwesNoReceipt)
{
    struct Case {
        bool urgent, receipt;
        qint32 queuedUrgent, queuedReceipt, outboxUrgent;
    };
    const Case cases[] = {{false, false, 2, 2, 2}, {true, false, 1, 2, 1}, {false, true, 2, 1, 2}, {true, true, 1, 1, 1}};
    int n = 0;
    for (const Case &c : cases) {
        const QString user = QStringLiteral("U%1").arg(++n);
        ASSERT_EQ(send(kMultiRecipientCaller, {user}, {}, {}, c.urgent, c.receipt), DispatchResult::Yes);
        const TMsgInfoRec q = queued(user + QStringLiteral(".m01"));
        EXPECT_EQ(q.Urgent, c.queuedUrgent) << n;
        EXPECT_EQ(q.Receipt, c.queuedReceipt) << n;
        const auto outbox = recordsOf(get(outboxPath()));
        ASSERT_EQ(outbox.size(), size_t(n));
        EXPECT_EQ(outbox.back().Urgent, c.outboxUrgent) << n;
        EXPECT_EQ(outbox.back().Receipt, 2) << n;
        EXPECT_EQ(outbox.back().ToUser, "") << n;
    }
}

TEST_F(DispatchTest, EmptyMemoQueuesEmptyTextFiles)
{
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("BOB")}, {}, {}, false, false, {}), DispatchResult::Yes);
    EXPECT_EQ(queuedText(QStringLiteral("BOB.m01")), QByteArray());
    EXPECT_TRUE(exists(inQueue(queued(QStringLiteral("BOB.m01")).TextFileName)));
}

TEST_F(DispatchTest, ListTextsAreEveryNameWithSemicolonCutTo255)
{
    QStringList to;
    for (int i = 0; i < 40; ++i)
        to.append(QStringLiteral("USER%1").arg(i, 2, 10, QLatin1Char('0'))); // 7 characters each with ";"
    const QString full = addressListText(to);
    EXPECT_EQ(full.size(), 255);
    EXPECT_TRUE(full.startsWith(QStringLiteral("USER00;USER01;")));
    EXPECT_EQ(addressListText({}), QString());
    EXPECT_EQ(addressListText({QStringLiteral("ann"), QStringLiteral("(g)SALES"), QStringLiteral("bob")}),
              QStringLiteral("ann;(g)SALES;bob;"));

    ASSERT_EQ(send(kMultiRecipientCaller, to), DispatchResult::Yes);
    EXPECT_EQ(queued(QStringLiteral("USER39.m01")).ToNames, full) << "the last recipient still gets the message";
    EXPECT_EQ(recordsOf(get(outboxPath())).at(0).ToNames, full);
}

TEST_F(DispatchTest, SenderNameIsCutTo16)
{
    ws.ctx.settings.UserName = QStringLiteral("ABCDEFGHIJKLMNOPQRST");
    ASSERT_EQ(SendMsgToUser(ws.ctx, kMultiRecipientCaller, QStringLiteral("BOB"), {}, {}, {}, false, false, kBody),
              DispatchResult::Yes);
    EXPECT_EQ(queued(QStringLiteral("BOB.m01")).FromUser, "ABCDEFGHIJKLMNOP");
}

TEST_F(DispatchTest, QueueNumbersFollowWhatIsWaiting)
{
    put(inQueue(QStringLiteral("BOB.m01")), "waiting");
    put(inQueue(QStringLiteral("BOB.m03")), "waiting");
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(SendMsgToUser(ws.ctx, kMultiRecipientCaller, QStringLiteral("BOB"), {}, {}, {}, false, false, kBody),
                  DispatchResult::Yes);
    EXPECT_EQ(get(inQueue(QStringLiteral("BOB.m01"))), "waiting");
    EXPECT_EQ(get(inQueue(QStringLiteral("BOB.m03"))), "waiting");
    EXPECT_EQ(queued(QStringLiteral("BOB.m02")).ToUser, "BOB");
    EXPECT_EQ(queued(QStringLiteral("BOB.m04")).ToUser, "BOB");
}

// ---- addressees and groups

TEST_F(DispatchTest, EmptyAddresseeIsRefusedWithAPlainBox)
{
    EXPECT_EQ(SendMsgToUser(ws.ctx, kMultiRecipientCaller, QString(), {}, {}, {}, false, false, kBody),
              DispatchResult::No);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ws.ui.boxes[0].text, "You must select a name to send to.");
    EXPECT_TRUE(names(queueDir()).isEmpty());
}

TEST_F(DispatchTest, GroupExpandsToItsMembersWithTheWindowsListText)
{
    addGroup(QStringLiteral("SALES"), {"bob", "ann"});
    ASSERT_TRUE(LoadGroups(ws.ctx));
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("(g)SALES")}), DispatchResult::Yes);
    EXPECT_TRUE(ws.ui.boxes.empty());
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), QStringList({"ann.m01", "bob.m01"}));
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.tms")).size(), 2);
    EXPECT_EQ(queued(QStringLiteral("ann.m01")).ToUser, "ann");
    EXPECT_EQ(queued(QStringLiteral("bob.m01")).ToUser, "bob");
    EXPECT_EQ(queued(QStringLiteral("bob.m01")).ToNames, "(g)SALES;");
}

TEST_F(DispatchTest, GroupWhoseMemberFileIsGoneQueuesNothingAndSaysNothing)
{
    addGroup(QStringLiteral("SALES"), {"bob"});
    ASSERT_TRUE(LoadGroups(ws.ctx));
    QFile::remove(netDir() + QStringLiteral("/SALES.nvg")); // another workstation deleted it
    EXPECT_EQ(SendMsgToUser(ws.ctx, kMultiRecipientCaller, QStringLiteral("(g)SALES"), {}, {}, {}, false, false,
                            kBody),
              DispatchResult::Yes);
    EXPECT_TRUE(ws.ui.boxes.empty());
    EXPECT_TRUE(names(queueDir()).isEmpty());
}

TEST_F(DispatchTest, UnknownGroupIsQueuedAsAUserOfThatName)
{
    ASSERT_TRUE(LoadGroups(ws.ctx));
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("(g)OLD")}), DispatchResult::Yes);
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), QStringList({"(g)OLD.m01"}));
    EXPECT_EQ(queued(QStringLiteral("(g)OLD.m01")).ToUser, "(g)OLD");
}

TEST_F(DispatchTest, GroupNamesMatchExactlyLetterCaseIncluded)
{
    addGroup(QStringLiteral("SALES"), {"bob"});
    ASSERT_TRUE(LoadGroups(ws.ctx));
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("(g)sales")}), DispatchResult::Yes);
    EXPECT_FALSE(exists(inQueue(QStringLiteral("bob.m01"))));
    EXPECT_EQ(queued(QStringLiteral("(g)sales.m01")).ToUser, "(g)sales");
}

TEST_F(DispatchTest, RecipientReachedTwiceGetsTwoCopies)
{
    addGroup(QStringLiteral("SALES"), {"ann", "bob"});
    ASSERT_TRUE(LoadGroups(ws.ctx));
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("ann")}, {QStringLiteral("(g)SALES")}), DispatchResult::Yes);
    EXPECT_EQ(names(queueDir(), QStringLiteral("ann.m*")), QStringList({"ann.m01", "ann.m02"}));
    EXPECT_NE(queued(QStringLiteral("ann.m01")).TextFileName, queued(QStringLiteral("ann.m02")).TextFileName);
    EXPECT_EQ(queued(QStringLiteral("ann.m02")).CcNames, "(g)SALES;");
}

TEST_F(DispatchTest, OnlyThePhoneCallerReloadsGroupsBeforeMatching)
{
    ASSERT_TRUE(LoadGroups(ws.ctx)); // no groups yet
    addGroup(QStringLiteral("NEW"), {"bob"});
    ws.ctx.settings.UseOutBox = false;

    ASSERT_EQ(send(kCreateMsgCaller, {QStringLiteral("(g)NEW")}), DispatchResult::Yes);
    EXPECT_TRUE(exists(inQueue(QStringLiteral("(g)NEW.m01")))) << "the create window matches the list as loaded";
    EXPECT_FALSE(exists(inQueue(QStringLiteral("bob.m01"))));

    ASSERT_EQ(send(kPhoneMsgCaller, {QStringLiteral("(g)NEW")}), DispatchResult::Yes);
    EXPECT_TRUE(exists(inQueue(QStringLiteral("bob.m01")))) << "the telephone window reloads the groups";
    EXPECT_FALSE(exists(inQueue(QStringLiteral("(g)NEW.m02"))));
}

TEST_F(DispatchTest, MemberNamesThatCannotNameAFileAreReportedAndNeverReachTheDisk)
{
    addGroup(QStringLiteral("ODD"), {"ann", "", "../evil", "x\\y", "sub/dir", "bob"});
    ASSERT_TRUE(LoadGroups(ws.ctx));
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("(g)ODD")}), DispatchResult::Yes);

    EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), QStringList({"ann.m01", "bob.m01"}));
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.tms")).size(), 2) << "no text file for a refused name";
    EXPECT_EQ(names(netDir()), QStringList({"ODD.nvg"})) << "nothing written beside the queue";
    ASSERT_EQ(ws.ui.boxes.size(), 4u);
    for (const ShownBox &b : ws.ui.boxes) {
        EXPECT_EQ(b.kind, MsgKind::Error);
        EXPECT_TRUE(b.text.startsWith("Error in NvCommon.SendMsgToUser(): Unable to write to message info file: \""))
            << b.text.toStdString();
        EXPECT_TRUE(b.text.endsWith("\".  Data was not saved.")) << b.text.toStdString();
    }
}

// ---- failures while queueing

TEST_F(DispatchTest, FullQueueIsReportedNothingIsReplacedAndTheOthersAreServed)
{
    for (int n = 1; n <= 99; ++n)
        put(inQueue(QStringLiteral("BOB.m%1").arg(n, 2, 10, QLatin1Char('0'))), "old " + QByteArray::number(n));
    const QStringList before = names(queueDir());

    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("CAROL"), QStringLiteral("BOB"), QStringLiteral("DAVE")}),
              DispatchResult::Yes);

    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ws.ui.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(ws.ui.boxes[0].text,
              "Error in NvCommon.SendMsgToUser(): The message queue of \"BOB\" is full.  Data was not saved.");
    for (int n = 1; n <= 99; ++n)
        EXPECT_EQ(get(inQueue(QStringLiteral("BOB.m%1").arg(n, 2, 10, QLatin1Char('0')))),
                  "old " + QByteArray::number(n));
    EXPECT_TRUE(exists(inQueue(QStringLiteral("CAROL.m01"))));
    EXPECT_TRUE(exists(inQueue(QStringLiteral("DAVE.m01"))));
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.tms")).size(), 2) << "BOB's text file is taken away again";
    EXPECT_EQ(names(queueDir()).size(), before.size() + 4);
    EXPECT_EQ(recordsOf(get(outboxPath())).size(), 1u) << "the send action goes on";
}

TEST_F(DispatchTest, RefusedInfoFileOfTheSecondOfThreeRecipients)
{
    struct Case {
        const DispatchCaller *caller;
        const char *text;
    };
    const Case cases[] = {
        {&kMultiRecipientCaller, "Error in NvCommon.SendMsgToUser(): Unable to write to message info file: \""},
        {&kCreateMsgCaller, "Error in CreateMsgForm.SendMsgToUser(): Unable to write to message info file: \""},
        {&kPhoneMsgCaller, "Error in PhoneMsgForm.SendMsg(): Unable to write to message info file: \""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caller->sendRoutine.toStdString());
        QDir(queueDir()).removeRecursively();
        QDir().mkpath(queueDir());
        ws.ui.clear();
        ws.files.failPathContaining = "/CAROL.m";

        ASSERT_EQ(send(*c.caller, {QStringLiteral("BOB"), QStringLiteral("CAROL"), QStringLiteral("DAVE")}),
                  DispatchResult::Yes);

        ASSERT_EQ(ws.ui.boxes.size(), 1u);
        EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
        EXPECT_EQ(ws.ui.boxes[0].text,
                  QString::fromUtf8(c.text) + inQueue(QStringLiteral("CAROL.m01")) + "\".  Data was not saved.");
        EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), QStringList({"BOB.m01", "DAVE.m01"}));
        EXPECT_EQ(names(queueDir(), QStringLiteral("*.tms")).size(), 2) << "no orphaned text file";
        EXPECT_TRUE(names(queueDir(), QStringLiteral("~t*")).isEmpty());
        ws.files.failPathContaining.clear();
    }
}

TEST_F(DispatchTest, TextFileThatCannotBeCreatedStopsTheSendActionInTheCallersOrder)
{
    // Writes: recipient k's text file is write 2k-1, its info file 2k. The
    // second recipient's text file fails: the first keeps his copy, nothing
    // after that point is written, the Outbox copy included.
    ws.files.failWriteAt = 3;
    ws.files.writeErrno = ENOSPC;
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("BOB")}, {QStringLiteral("CAROL")},
                   {QStringLiteral("DAVE")}),
              DispatchResult::Stopped);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
    const QString &text = ws.ui.boxes[0].text;
    EXPECT_TRUE(text.startsWith("Error in NvCommon.SendMsgToUser(): Unable to write to message text file: \"" +
                                queueDir() + "/"))
        << text.toStdString();
    EXPECT_TRUE(text.endsWith(".tms\".  Data was not saved.")) << text.toStdString();
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), QStringList({"BOB.m01"}));
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.tms")).size(), 1) << "the half-written text file is removed";
    EXPECT_FALSE(exists(outboxPath()));
}

TEST_F(DispatchTest, MissingQueueDirectoryStopsAtTheFirstTextFile)
{
    QDir(queueDir()).removeRecursively();
    EXPECT_EQ(send(kCreateMsgCaller, {QStringLiteral("BOB"), QStringLiteral("CAROL")}), DispatchResult::Stopped);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(
        "Error in CreateMsgForm.SendMsgToUser(): Unable to write to message text file: \"" + queueDir() + "/"));
    EXPECT_EQ(recordsOf(get(outboxPath())).size(), 1u) << "the create window wrote its Outbox copy first";
    EXPECT_FALSE(QDir(queueDir()).exists());
}

// ---- one sync for a send

TEST_F(DispatchTest, ASendCostsOneSyncForTheQueueAndOneForTheOutboxWhateverItsSize)
{
    addGroup(QStringLiteral("SALES"), {"ann", "bob", "carol"});
    ASSERT_TRUE(LoadGroups(ws.ctx));
    struct Case {
        QStringList to, cc;
        int recipients;
    };
    const Case cases[] = {
        {{"DAVE"}, {}, 1},
        {{"DAVE", "(g)SALES", "ERIN"}, {"FRANK"}, 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.recipients);
        QDir(queueDir()).removeRecursively();
        QDir().mkpath(queueDir());
        ws.files.fsyncs = 0;
        ws.files.syncfsCalls = 0;
        ASSERT_EQ(send(kMultiRecipientCaller, c.to, c.cc), DispatchResult::Yes);
        EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")).size(), c.recipients);
        EXPECT_EQ(ws.files.syncfsCalls, 2);
        EXPECT_EQ(ws.files.fsyncs, 2 * c.recipients + 2) << "every file written is confirmed durable";
    }
}

TEST_F(DispatchTest, QueueFileThatCannotBeMadeDurableIsNeverPublished)
{
    // Synced in order: BOB's text file and info file, then CAROL's, DAVE's.
    struct Case {
        const char *what;
        int failFsyncAt;
        DispatchResult result;
        QStringList served;
        const char *box; // starts with
    };
    const Case cases[] = {
        {"CAROL's info file", 4, DispatchResult::Yes, {"BOB.m01", "DAVE.m01"},
         "Error in NvCommon.SendMsgToUser(): Unable to write to message info file: \""},
        {"CAROL's text file", 3, DispatchResult::Stopped, {"BOB.m01"},
         "Error in NvCommon.SendMsgToUser(): Unable to write to message text file: \""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        for (const QString &dir : {queueDir(), mailboxDir()}) {
            QDir(dir).removeRecursively();
            QDir().mkpath(dir);
        }
        ws.ui.clear();
        ws.files.fsyncs = 0;
        ws.files.failFsyncAt = c.failFsyncAt;

        EXPECT_EQ(send(kMultiRecipientCaller, {QStringLiteral("BOB"), QStringLiteral("CAROL"), QStringLiteral("DAVE")}),
                  c.result);

        ws.files.failFsyncAt = 0;
        ASSERT_EQ(ws.ui.boxes.size(), 1u);
        EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
        EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(QString::fromUtf8(c.box) + queueDir() + "/"))
            << ws.ui.boxes[0].text.toStdString();
        EXPECT_TRUE(ws.ui.boxes[0].text.endsWith("\".  Data was not saved."));
        if (c.result == DispatchResult::Yes) {
            EXPECT_EQ(ws.ui.boxes[0].text, QString::fromUtf8(c.box) + inQueue("CAROL.m01") + "\".  Data was not saved.");
        }
        EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), c.served);
        EXPECT_EQ(names(queueDir(), QStringLiteral("*.tms")).size(), c.served.size()) << "no orphaned text file";
        EXPECT_TRUE(names(queueDir(), QStringLiteral("~t*")).isEmpty());
        EXPECT_EQ(exists(outboxPath()), c.result == DispatchResult::Yes);
    }
}

TEST_F(DispatchTest, FailuresOfEveryKindAreReportedInTheRecipientsOrder)
{
    for (int n = 1; n <= 99; ++n)
        put(inQueue(QStringLiteral("BOB.m%1").arg(n, 2, 10, QLatin1Char('0'))), "waiting");
    // BOB's queue is full before anything is written; a/b names no file;
    // CAROL's info file (the second file synced) fails only at the sync.
    ws.files.failFsyncAt = 2;
    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("BOB"), QStringLiteral("a/b")}, {QStringLiteral("CAROL")},
                   {QStringLiteral("DAVE")}),
              DispatchResult::Yes);
    EXPECT_EQ(texts(), (std::vector<QString>{
                           "Error in NvCommon.SendMsgToUser(): The message queue of \"BOB\" is full.  "
                           "Data was not saved.",
                           "Error in NvCommon.SendMsgToUser(): Unable to write to message info file: \"" +
                               inQueue("a/b.m01") + "\".  Data was not saved.",
                           "Error in NvCommon.SendMsgToUser(): Unable to write to message info file: \"" +
                               inQueue("CAROL.m01") + "\".  Data was not saved.",
                       }));
    EXPECT_EQ(names(queueDir(), QStringLiteral("[CD]*.m*")), QStringList({"DAVE.m01"}));
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.tms")).size(), 1);
}

TEST_F(DispatchTest, OutboxFilesThatCannotBeMadeDurable)
{
    // The create window's Outbox copy comes first: its text file is synced
    // first, then the new Outbox contents.
    struct Case {
        const char *what;
        int failFsyncAt;
        DispatchResult result;
        const char *box;
    };
    const Case cases[] = {
        {"the text file", 1, DispatchResult::Stopped,
         "Error in CreateMsgForm.WriteToOutbox(): Unable to write to message text file: \""},
        {"the new Outbox", 2, DispatchResult::Yes,
         "Error in CreateMsgForm.WriteToOutbox(): Unable to write to message info file: \""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(queueDir()).removeRecursively();
        QDir().mkpath(queueDir());
        ws.ui.clear();
        const QByteArray old = outboxOf(3);
        put(outboxPath(), old);
        ws.files.fsyncs = 0;
        ws.files.failFsyncAt = c.failFsyncAt;

        EXPECT_EQ(send(kCreateMsgCaller, {QStringLiteral("BOB")}), c.result);

        ws.files.failFsyncAt = 0;
        ASSERT_EQ(ws.ui.boxes.size(), 1u);
        EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(QString::fromUtf8(c.box))) << ws.ui.boxes[0].text.toStdString();
        if (c.result == DispatchResult::Yes) {
            EXPECT_EQ(ws.ui.boxes[0].text, QString::fromUtf8(c.box) + outboxPath() + "\".  Data was not saved.");
        }
        EXPECT_EQ(get(outboxPath()), old);
        EXPECT_EQ(names(mailboxDir()), QStringList({"_oANN.mbx"})) << "no orphaned text file, no temporary file";
        EXPECT_EQ(exists(inQueue(QStringLiteral("BOB.m01"))), c.result == DispatchResult::Yes);
    }
}

// ---- the Outbox

TEST_F(DispatchTest, OutboxCapacityByCaller)
{
    struct Case {
        const DispatchCaller *caller;
        int before;
        bool sent;
        const char *question; // nullptr: none
        const char *notWritten;
    };
    const Case cases[] = {
        {&kCreateMsgCaller, 99, true, nullptr, nullptr},
        {&kCreateMsgCaller, 100, false, "Your Outbox is full.  Empty it now?", "Message was not written to your Outbox."},
        {&kCreateMsgCaller, 101, false, "Your Outbox is full.  Empty it now?", "Message was not written to your Outbox."},
        {&kPhoneMsgCaller, 99, true, nullptr, nullptr},
        {&kPhoneMsgCaller, 100, false, "Your OUTBOX is full.  Empty it now?", "Message was not written to your OUTBOX."},
        {&kMultiRecipientCaller, 100, true, nullptr, nullptr},
        {&kMultiRecipientCaller, 101, true, nullptr, nullptr},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caller->outboxRoutine.toStdString() + " with " + std::to_string(c.before));
        for (const QString &dir : {queueDir(), mailboxDir()}) {
            QDir(dir).removeRecursively();
            QDir().mkpath(dir);
        }
        ws.ui.clear();
        const QByteArray old = outboxOf(c.before);
        put(outboxPath(), old);
        if (c.question)
            ws.ui.queueAnswer(MsgAnswer::No);

        const DispatchResult r = send(*c.caller, {QStringLiteral("BOB")});

        if (c.sent) {
            EXPECT_EQ(r, DispatchResult::Yes);
            EXPECT_TRUE(ws.ui.boxes.empty());
            const QByteArray now = get(outboxPath());
            EXPECT_EQ(now.size(), (c.before + 1) * kMsgInfoRecSize);
            EXPECT_EQ(now.left(old.size()), old) << "old records are kept as they were";
            EXPECT_TRUE(exists(inQueue(QStringLiteral("BOB.m01"))));
        } else {
            EXPECT_EQ(r, DispatchResult::No);
            ASSERT_EQ(ws.ui.boxes.size(), 2u);
            EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Warning);
            EXPECT_EQ(ws.ui.boxes[0].buttons, MsgButtons::YesNo);
            EXPECT_EQ(ws.ui.boxes[0].text, c.question);
            EXPECT_EQ(ws.ui.boxes[1].kind, MsgKind::Error);
            EXPECT_EQ(ws.ui.boxes[1].text, c.notWritten);
            EXPECT_EQ(get(outboxPath()), old);
            EXPECT_TRUE(names(queueDir()).isEmpty()) << "nothing is sent";
            EXPECT_TRUE(names(mailboxDir(), QStringLiteral("*.tms")).isEmpty());
        }
    }
}

TEST_F(DispatchTest, FullOutboxEmptiedOnYesAndStillNothingSent)
{
    QByteArray old;
    for (int i = 0; i < 100; ++i) {
        const QByteArray text = QByteArray::number(1000 + i) + ".tms";
        put(inMailbox(QString::fromLatin1(text)), "sent text");
        old += outboxRec("ANN", "BOB;", text);
    }
    put(outboxPath(), old);
    ws.ui.queueAnswer(MsgAnswer::Yes); // empty it now?
    ws.ui.queueAnswer(MsgAnswer::Yes); // ClearOutBox's own question

    EXPECT_EQ(send(kCreateMsgCaller, {QStringLiteral("BOB")}), DispatchResult::No);
    ASSERT_EQ(ws.ui.boxes.size(), 2u);
    EXPECT_EQ(ws.ui.boxes[1].text, "Delete all messages from your OUTBOX?");
    EXPECT_FALSE(exists(outboxPath()));
    EXPECT_TRUE(names(mailboxDir()).isEmpty());
    EXPECT_TRUE(names(queueDir()).isEmpty());
}

TEST_F(DispatchTest, OutboxIsCreatedWhenMissing)
{
    ASSERT_EQ(WriteToOutbox(ws.ctx, kCreateMsgCaller, QStringLiteral("BOB;"), {}, {}, false, kBody),
              DispatchResult::Yes);
    const auto recs = recordsOf(get(outboxPath()));
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(get(outboxPath()).size(), kMsgInfoRecSize);
    EXPECT_EQ(get(inMailbox(recs[0].TextFileName)), kBodyBytes);
}

TEST_F(DispatchTest, OutboxOffTouchesNothingInTheMailbox)
{
    const QByteArray old = outboxOf(3);
    put(outboxPath(), old);
    const QStringList before = names(mailboxDir());
    const QDateTime stamp = QFileInfo(outboxPath()).lastModified();
    ws.ctx.settings.UseOutBox = false;

    for (const DispatchCaller *c : {&kMultiRecipientCaller, &kCreateMsgCaller, &kPhoneMsgCaller})
        ASSERT_EQ(send(*c, {QStringLiteral("BOB")}), DispatchResult::Yes);

    EXPECT_EQ(names(mailboxDir()), before);
    EXPECT_EQ(get(outboxPath()), old);
    EXPECT_EQ(QFileInfo(outboxPath()).lastModified(), stamp);
    EXPECT_EQ(names(queueDir(), QStringLiteral("BOB.m*")).size(), 3);
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(DispatchTest, Outbox26IsConvertedAndRewrittenInTheCurrentLayout)
{
    MsgInfo26 f;
    f.fromUser = "ANN";
    f.sentAt = "2007/05/01 08:00:00";
    f.urgent = 1;
    f.receipt = 2;
    f.textFileName = "C:\\OLD\\MAILBOX\\4711.tms";
    f.toNames = "BOB;";
    QByteArray old = msgInfo26(f).bytes();
    f.sentAt = "2007/05/02 08:00:00";
    old += msgInfo26(f).bytes();
    old += msgInfo26(f).bytes();
    put(outboxPath(), old);

    ASSERT_EQ(send(kCreateMsgCaller, {QStringLiteral("CAROL")}), DispatchResult::Yes);
    EXPECT_TRUE(ws.ui.boxes.empty());
    const QByteArray now = get(outboxPath());
    ASSERT_EQ(now.size(), 4 * kMsgInfoRecSize);
    const auto recs = recordsOf(now);
    for (const TMsgInfoRec &r : recs)
        EXPECT_EQ(r.Version, "2.8");
    EXPECT_EQ(recs[0].SentAt, "2007/05/01 08:00:00");
    EXPECT_EQ(recs[0].Urgent, 1);
    EXPECT_EQ(recs[0].ToNames, "BOB;");
    EXPECT_EQ(recs[0].TextFileName, "4711.tms");
    EXPECT_EQ(recs[3].ToNames, "CAROL;");
    EXPECT_TRUE(names(mailboxDir(), QStringLiteral("*.bad*")).isEmpty());
}

TEST_F(DispatchTest, Outbox25IsConverted)
{
    MsgInfo25 f;
    f.fromUser = "ANN";
    f.sentAt = "2006/05/01 08:00:00";
    f.toNames = "BOB^$";
    QByteArray old = msgInfo25(f).bytes();
    f.version = "2.1.0";
    old += msgInfo25(f).bytes();
    put(outboxPath(), old);

    ASSERT_EQ(send(kMultiRecipientCaller, {QStringLiteral("CAROL")}), DispatchResult::Yes);
    EXPECT_TRUE(ws.ui.boxes.empty());
    const auto recs = recordsOf(get(outboxPath()));
    ASSERT_EQ(recs.size(), 3u);
    EXPECT_EQ(recs[1].SentAt, "2006/05/01 08:00:00");
    EXPECT_EQ(recs[1].Receipt, 2);
}

TEST_F(DispatchTest, UnreadableOutboxIsReplacedByTheNewRecordAndKeptBeside)
{
    MsgInfo25 v21;
    v21.version = "2.1.0";
    v21.fromUser = "ANN";
    struct Case {
        const char *what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"first record tagged 2.1.0", msgInfo25(v21).bytes() + msgInfo25(v21).bytes()},
        {"last record cut short", outboxOf(3) + outboxOf(1).left(500)},
        {"unknown tag", outboxOf(1).replace(1, 3, "9.9")},
    };
    for (const DispatchCaller *caller : {&kMultiRecipientCaller, &kCreateMsgCaller}) {
        for (const Case &c : cases) {
            SCOPED_TRACE(caller->outboxRoutine.toStdString() + ": " + c.what);
            QDir(mailboxDir()).removeRecursively();
            QDir().mkpath(mailboxDir());
            ws.ui.clear();
            put(outboxPath(), c.bytes);

            ASSERT_EQ(send(*caller, {QStringLiteral("BOB")}), DispatchResult::Yes);

            ASSERT_EQ(ws.ui.boxes.size(), 1u);
            EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
            EXPECT_EQ(ws.ui.boxes[0].text, caller == &kMultiRecipientCaller
                                               ? "Error in NvCommon.WriteToOutbox(): Unable to read Outbox.  "
                                                 "Contents will be deleted."
                                               : "Error in WriteToOutbox(): Unable to read Outbox.  "
                                                 "Contents will be deleted.");
            const auto recs = recordsOf(get(outboxPath()));
            ASSERT_EQ(get(outboxPath()).size(), kMsgInfoRecSize);
            EXPECT_EQ(recs[0].ToNames, "BOB;");
            EXPECT_EQ(get(inMailbox(QStringLiteral("_oANN.bad1"))), c.bytes) << "the old bytes are not lost";
            EXPECT_TRUE(exists(inQueue(QStringLiteral("BOB.m01"))));
            QFile::remove(inQueue(QStringLiteral("BOB.m01")));
        }
    }
}

TEST_F(DispatchTest, SecondUnreadableOutboxGetsTheNextCopyName)
{
    const QByteArray bad = outboxOf(1).left(100);
    put(outboxPath(), bad);
    put(inMailbox(QStringLiteral("_oANN.bad1")), "earlier");
    ASSERT_EQ(WriteToOutbox(ws.ctx, kMultiRecipientCaller, QStringLiteral("BOB;"), {}, {}, false, kBody),
              DispatchResult::Yes);
    EXPECT_EQ(get(inMailbox(QStringLiteral("_oANN.bad1"))), "earlier");
    EXPECT_EQ(get(inMailbox(QStringLiteral("_oANN.bad2"))), bad);
}

TEST_F(DispatchTest, OutboxThatCannotBeReadSaysSoAndIsLeftAlone)
{
    struct Case {
        const DispatchCaller *caller;
        const char *first;
    };
    const Case cases[] = {
        {&kMultiRecipientCaller, "Error encountered in NvCommon.WriteToOutbox(): Unable to open mailbox: \""},
        {&kCreateMsgCaller, "Error encountered in CreateMsgForm.WriteToOutbox(): Unable to open mailbox: \""},
        {&kPhoneMsgCaller, "Error encountered in PhoneMsgForm.WriteToOutbox(): Unable to open mailbox: \""},
    };
    QDir().mkpath(outboxPath()); // a directory where the file should be: it exists and cannot be read
    for (const Case &c : cases) {
        ws.ui.clear();
        EXPECT_EQ(send(*c.caller, {QStringLiteral("BOB")}), DispatchResult::No);
        ASSERT_EQ(ws.ui.boxes.size(), 1u);
        EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
        EXPECT_EQ(ws.ui.boxes[0].text, QString::fromUtf8(c.first) + outboxPath() + "\".");
    }
    EXPECT_TRUE(QFileInfo(outboxPath()).isDir());
    // The multiple-recipient window had queued its copy before; the others sent nothing.
    EXPECT_EQ(names(queueDir(), QStringLiteral("BOB.m*")), QStringList({"BOB.m01"}));
    EXPECT_TRUE(names(mailboxDir(), QStringLiteral("*.tms")).isEmpty());
}

TEST_F(DispatchTest, FailedOutboxRewriteKeepsTheOldFileAndTheSendGoesOn)
{
    struct Case {
        const char *what;
        int failWriteAt;    // of the create window: 1 the Outbox text file, 2 the rewrite
        QByteArray failPath;
    };
    const Case cases[] = {
        {"disk full while writing", 2, QByteArray()},
        {"file refused", 0, "_oANN.mbx"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QDir(queueDir()).removeRecursively();
        QDir().mkpath(queueDir());
        ws.ui.clear();
        const QByteArray old = outboxOf(3);
        put(outboxPath(), old);
        ws.files.writes = 0;
        ws.files.failWriteAt = c.failWriteAt;
        ws.files.writeErrno = ENOSPC;
        ws.files.failPathContaining = c.failPath;

        EXPECT_EQ(send(kCreateMsgCaller, {QStringLiteral("BOB")}), DispatchResult::Yes);

        ws.files.failWriteAt = 0;
        ws.files.failPathContaining.clear();
        ASSERT_EQ(ws.ui.boxes.size(), 1u);
        EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
        EXPECT_EQ(ws.ui.boxes[0].text, "Error in CreateMsgForm.WriteToOutbox(): Unable to write to message info "
                                       "file: \"" + outboxPath() + "\".  Data was not saved.");
        EXPECT_EQ(get(outboxPath()), old);
        EXPECT_EQ(names(mailboxDir()), QStringList({"_oANN.mbx"})) << "no orphaned text file, no temporary file";
        EXPECT_TRUE(exists(inQueue(QStringLiteral("BOB.m01")))) << "the addressees are still served";
    }
}

TEST_F(DispatchTest, OutboxTextFileThatCannotBeCreatedStopsBeforeTheQueue)
{
    ws.files.failWriteAt = 1;
    ws.files.writeErrno = EIO;
    EXPECT_EQ(send(kPhoneMsgCaller, {QStringLiteral("BOB")}), DispatchResult::Stopped);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(
        "Error in PhoneMsgForm.WriteToOutbox(): Unable to write to message text file: \"" + mailboxDir() + "/"));
    EXPECT_TRUE(ws.ui.boxes[0].text.endsWith("\".  Data was not saved."));
    EXPECT_TRUE(names(mailboxDir()).isEmpty());
    EXPECT_TRUE(names(queueDir()).isEmpty());
}

TEST_F(DispatchTest, SenderWhoseNameCannotNameAnOutboxFile)
{
    ws.ctx.settings.UserName = QStringLiteral("a/b");
    ComputeFolderBases(ws.ctx);
    EXPECT_EQ(send(kMultiRecipientCaller, {QStringLiteral("BOB")}), DispatchResult::Yes);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(
        "Error in NvCommon.WriteToOutbox(): Unable to write to message info file: \""));
    EXPECT_TRUE(names(mailboxDir()).isEmpty());
    EXPECT_EQ(queued(QStringLiteral("BOB.m01")).FromUser, "a/b");
}

// ---- order of a send action

TEST_F(DispatchTest, CreateAndPhoneOrderWriteTheOutboxFirst)
{
    for (const DispatchCaller *c : {&kCreateMsgCaller, &kPhoneMsgCaller}) {
        SCOPED_TRACE(c->outboxRoutine.toStdString());
        QDir(mailboxDir()).removeRecursively();
        QDir().mkpath(mailboxDir());
        QDir(queueDir()).removeRecursively();
        QDir().mkpath(queueDir());
        // The first file written belongs to the Outbox: fail it.
        ws.files.writes = 0;
        ws.files.failWriteAt = 1;
        EXPECT_EQ(send(*c, {QStringLiteral("BOB")}), DispatchResult::Stopped);
        ws.files.failWriteAt = 0;
        EXPECT_TRUE(names(queueDir()).isEmpty());
    }
    ws.ui.clear();
    ASSERT_EQ(send(kCreateMsgCaller, {QStringLiteral("BOB")}), DispatchResult::Yes);
    EXPECT_TRUE(exists(outboxPath()));
    EXPECT_TRUE(exists(inQueue(QStringLiteral("BOB.m01"))));
}

TEST_F(DispatchTest, MultipleRecipientOrderIsToThenCcThenBcc)
{
    // Each recipient's text file is one write; the k-th text file is write
    // 2k-1. Failing write 3 stops the action at the second addressee.
    struct Case {
        QStringList to, cc, bcc;
        QStringList served;
    };
    const Case cases[] = {
        {{"T1", "T2"}, {"C1"}, {"B1"}, {"T1.m01"}},
        {{"T1"}, {"C1", "C2"}, {"B1"}, {"T1.m01"}},
        {{}, {"C1"}, {"B1", "B2"}, {"C1.m01"}},
        {{}, {}, {"B1", "B2"}, {"B1.m01"}},
    };
    for (const Case &c : cases) {
        QDir(queueDir()).removeRecursively();
        QDir().mkpath(queueDir());
        ws.files.writes = 0;
        ws.files.failWriteAt = 3;
        EXPECT_EQ(send(kMultiRecipientCaller, c.to, c.cc, c.bcc), DispatchResult::Stopped);
        ws.files.failWriteAt = 0;
        EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), c.served);
    }
    EXPECT_FALSE(exists(outboxPath()));
}

TEST_F(DispatchTest, EmptyNameEndsTheSendActionWithoutOutboxCopy)
{
    EXPECT_EQ(send(kMultiRecipientCaller, {QStringLiteral("BOB"), QString(), QStringLiteral("CAROL")}),
              DispatchResult::No);
    EXPECT_EQ(names(queueDir(), QStringLiteral("*.m*")), QStringList({"BOB.m01"}));
    EXPECT_FALSE(exists(outboxPath()));
}

} // namespace
