// norvane-cli send: the command's contract, in process and as a real process.
#include "store/msg_info_rec.h"
#include "support/cli_runner.h"
#include "support/process_runner.h"
#include "support/record_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using nv::decodeMsgInfoRec;
using nv::TMsgInfoRec;

namespace {

class CliSendTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString net = tmp.filePath("net");
    QString queue = tmp.filePath("net/queue");
    QString local = tmp.filePath("local");
    QString bodyFile = tmp.filePath("body.txt");

    void SetUp() override
    {
        QDir().mkpath(queue);
        put(bodyFile, "Hello\n");
    }
    static void put(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(data);
    }
    static QByteArray get(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static QStringList names(const QString &dir, const QString &pattern = QStringLiteral("*"))
    {
        return QDir(dir).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
    }
    TMsgInfoRec queued(const QString &infoName) const
    {
        const QByteArray b = get(queue + "/" + infoName);
        EXPECT_EQ(b.size(), nv::kMsgInfoRecSize) << infoName.toStdString();
        return b.size() == nv::kMsgInfoRecSize ? decodeMsgInfoRec(b.constData()) : TMsgInfoRec{};
    }
    QByteArray queuedText(const QString &infoName) const { return get(queue + "/" + queued(infoName).TextFileName); }

    CliRun send(const QStringList &more)
    {
        return runCli(QStringList{"send", "--server", net, "--from", "ANN", "--body-file", bodyFile} + more);
    }
};

TEST_F(CliSendTest, NamesAreSplitTrimmedAndDispatchedInOrder)
{
    put(net + "/SALES.nvg", memberFile({"dave", "carol"}));
    const CliRun r = send({"--to", " bob ; ;(g)SALES;", "--cc", ";eve", "--bcc", "(g)GONE"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(names(queue, "*.m*"), QStringList({"(g)GONE.m01", "bob.m01", "carol.m01", "dave.m01", "eve.m01"}));
    EXPECT_EQ(names(queue, "*.tms").size(), 5);
    for (const QString &n : names(queue, "*.m*")) {
        const TMsgInfoRec rec = queued(n);
        EXPECT_EQ(rec.Version, "2.8");
        EXPECT_EQ(rec.FromUser, "ANN");
        EXPECT_EQ(rec.ToNames, "bob;(g)SALES;") << n.toStdString();
        EXPECT_EQ(rec.CcNames, "eve;");
        EXPECT_EQ(rec.BccNames, "(g)GONE;");
        EXPECT_EQ(rec.Urgent, 2);
        EXPECT_EQ(rec.Receipt, 2);
        EXPECT_EQ(get(queue + "/" + rec.TextFileName), "Hello\r\n");
    }
    EXPECT_EQ(queued("carol.m01").ToUser, "carol");
    EXPECT_FALSE(QDir(local).exists()) << "no Outbox copy without --local";
}

TEST_F(CliSendTest, UrgentMessageToSomeoneAwayFromAServiceNameIsQueuedWithoutQuestion)
{
    // No users file, no presence file: nobody is signed in and Backup is no user.
    const CliRun r = runCli({"send", "--server", net + "/", "--from", "BackupServiceAgent42", "--to", "bob", "--urgent",
                             "--receipt", "--body-file", bodyFile});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const TMsgInfoRec rec = queued("bob.m01");
    EXPECT_EQ(rec.FromUser, "BackupServiceAge");
    EXPECT_EQ(rec.Urgent, 1);
    EXPECT_EQ(rec.Receipt, 1);
}

TEST_F(CliSendTest, LocalKeepsAnOutboxCopyWithoutCapacity)
{
    QDir().mkpath(local + "/mailbox");
    QByteArray old;
    for (int i = 0; i < 150; ++i) {
        MsgInfo28 f;
        f.fromUser = "ANN";
        f.toNames = "x;";
        old += msgInfo28(f).bytes();
    }
    put(local + "/mailbox/_oANN.mbx", old);

    const CliRun r = send({"--local", local + "/", "--to", "bob", "--bcc", "carol", "--urgent", "--receipt"});
    EXPECT_EQ(r.rc, 0) << r.err;
    const QByteArray now = get(local + "/mailbox/_oANN.mbx");
    ASSERT_EQ(now.size(), 151 * nv::kMsgInfoRecSize);
    EXPECT_EQ(now.left(old.size()), old);
    const TMsgInfoRec rec = decodeMsgInfoRec(now.constData() + 150 * nv::kMsgInfoRecSize);
    EXPECT_EQ(rec.ToUser, "");
    EXPECT_EQ(rec.ToNames, "bob;");
    EXPECT_EQ(rec.BccNames, "carol;");
    EXPECT_EQ(rec.Urgent, 1);
    EXPECT_EQ(rec.Receipt, 2);
    EXPECT_EQ(get(local + "/mailbox/" + rec.TextFileName), "Hello\r\n");
    EXPECT_FALSE(QFile::exists(queue + "/" + rec.TextFileName)) << "the Outbox copy has a text file of its own";
}

TEST_F(CliSendTest, LocalWithoutMailboxDirectoryGetsOne)
{
    const CliRun r = send({"--local", local, "--to", "bob"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(get(local + "/mailbox/_oANN.mbx").size(), nv::kMsgInfoRecSize);
}

TEST_F(CliSendTest, NoRecipientIsAUsageErrorAndWritesNothing)
{
    for (const QStringList &lists : {QStringList{}, QStringList{"--to", ""}, QStringList{"--to", " ; ;", "--cc", ";"}}) {
        const CliRun r = send(lists + QStringList{"--local", local});
        EXPECT_EQ(r.rc, 2);
        EXPECT_EQ(r.err, "You must select someone to send the message to.\n");
        EXPECT_EQ(r.out, "");
    }
    EXPECT_TRUE(names(queue).isEmpty());
    EXPECT_FALSE(QDir(local).exists());
}

TEST_F(CliSendTest, UsageErrors)
{
    const QList<QStringList> cases = {
        {"send", "--from", "ANN", "--to", "bob"},                      // no --server
        {"send", "--server", net, "--to", "bob"},                      // no --from
        {"send", "--server", net, "--from", "", "--to", "bob"},        // empty --from
        {"send", "--server", net, "--from", "ANN", "--to"},            // value missing
        {"send", "--server", net, "--from", "ANN", "--to", "bob", "--loud"},
        {"send", "--server", net, "--from", "ANN", "--to", "bob", "extra"},
    };
    for (const QStringList &args : cases) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.rc, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.err.rfind("norvane-cli: ", 0), 0u) << r.err;
    }
    EXPECT_TRUE(names(queue).isEmpty());
}

TEST_F(CliSendTest, MissingQueueDirectoryIsReported)
{
    QDir(queue).removeRecursively();
    const CliRun r = send({"--to", "bob"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "Error 0030: Unable to locate Norvane network directory.  Your network may have gone down.\n");
    EXPECT_FALSE(QDir(queue).exists());
}

TEST_F(CliSendTest, UnreadableBodyFileSendsNothing)
{
    const CliRun r = runCli({"send", "--server", net, "--from", "ANN", "--to", "bob", "--body-file",
                             tmp.filePath("no-such-file")});
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find("no-such-file"), std::string::npos) << r.err;
    EXPECT_TRUE(names(queue).isEmpty());
}

TEST_F(CliSendTest, FullQueueIsReportedAndTheOthersAreServed)
{
    for (int n = 1; n <= 99; ++n)
        put(queue + QStringLiteral("/bob.m%1").arg(n, 2, 10, QLatin1Char('0')), "waiting");
    const CliRun r = send({"--to", "carol;bob", "--cc", "dave"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err, "Error in NvCommon.SendMsgToUser(): The message queue of \"bob\" is full.  Data was not saved.\n");
    for (int n = 1; n <= 99; ++n)
        EXPECT_EQ(get(queue + QStringLiteral("/bob.m%1").arg(n, 2, 10, QLatin1Char('0'))), "waiting");
    EXPECT_TRUE(QFile::exists(queue + "/carol.m01"));
    EXPECT_TRUE(QFile::exists(queue + "/dave.m01"));
    EXPECT_EQ(names(queue, "*.tms").size(), 2);
}

TEST_F(CliSendTest, RecipientThatCannotNameAFileIsReported)
{
    const CliRun r = send({"--to", "../escape;bob"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.err.rfind("Error in NvCommon.SendMsgToUser(): Unable to write to message info file: \"", 0), 0u)
        << r.err;
    EXPECT_EQ(names(queue, "*.m*"), QStringList({"bob.m01"}));
    EXPECT_EQ(names(net), QStringList()) << "nothing beside the queue";
}

TEST_F(CliSendTest, ToListLongerThan255IsCut)
{
    QString to;
    for (int i = 0; i < 30; ++i)
        to += QStringLiteral("recipient%1;").arg(i, 2, 10, QLatin1Char('0')); // 12 characters each
    const CliRun r = send({"--to", to});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(names(queue, "*.m*").size(), 30);
    EXPECT_EQ(queued("recipient29.m01").ToNames, to.left(255));
}

TEST_F(CliSendTest, BodyIsDecodedFromUtf8IntoCrLfLinesOfTheAnsiCodePage)
{
    struct Case {
        const char *what;
        QByteArray input, text;
    };
    const Case cases[] = {
        {"empty input", "", ""},
        {"one line without line end", "abc", "abc\r\n"},
        {"one line with LF", "abc\n", "abc\r\n"},
        {"CR LF lines", "a\r\nb\r\n", "a\r\nb\r\n"},
        {"mixed line ends, last one open", "a\r\nb\nc", "a\r\nb\r\nc\r\n"},
        {"one empty line", "\n", "\r\n"},
        {"empty lines kept", "a\n\nb\n\n", "a\r\n\r\nb\r\n\r\n"},
        {"a lone CR is no line end", "a\rb", "a\rb\r\n"},
        {"Windows-1252 letters", "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D", "caf\xE9 \x80 \x93q\x94\r\n"},
        {"outside the code page", "\xE4\xB8\xAD|\xF0\x9F\x98\x80|\xD0\x96", "?|?|?\r\n"},
        {"invalid UTF-8", "a\xFFz", "a?z\r\n"},
        {"byte order mark dropped", "\xEF\xBB\xBFx\n", "x\r\n"},
    };
    int n = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        put(bodyFile, c.input);
        const QString user = QStringLiteral("u%1").arg(++n);
        const CliRun r = send({"--to", user});
        ASSERT_EQ(r.rc, 0) << r.err;
        EXPECT_EQ(queuedText(user + ".m01").toHex(' ').toStdString(), c.text.toHex(' ').toStdString());
    }
}

TEST_F(CliSendTest, BodyFromStandardInputOfARealProcess)
{
    const ProcessRun p = runProcess(QStringLiteral(NV_CLI_PATH),
                                    {"send", "--server", net, "--from", "ANN", "--to", "bob", "--local", local},
                                    "first line\r\nzweite \xC3\xBC" "ber\n\nlast");
    ASSERT_TRUE(p.exit.exited);
    EXPECT_EQ(p.exit.code, 0) << p.err.toStdString();
    EXPECT_EQ(p.err, "");
    EXPECT_EQ(queuedText("bob.m01"), "first line\r\nzweite \xFC" "ber\r\n\r\nlast\r\n");
    const QByteArray outbox = get(local + "/mailbox/_oANN.mbx");
    ASSERT_EQ(outbox.size(), nv::kMsgInfoRecSize);
    EXPECT_EQ(get(local + "/mailbox/" + decodeMsgInfoRec(outbox.constData()).TextFileName),
              "first line\r\nzweite \xFC" "ber\r\n\r\nlast\r\n");

    const ProcessRun empty = runProcess(QStringLiteral(NV_CLI_PATH),
                                        {"send", "--server", net, "--from", "ANN", "--to", "carol"}, QByteArray());
    EXPECT_EQ(empty.exit.code, 0) << empty.err.toStdString();
    EXPECT_EQ(queuedText("carol.m01"), QByteArray());
}

} // namespace
