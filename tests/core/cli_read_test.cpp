// The read-only commands of norvane-cli: users, groups, who, queue, folder.
#include "support/cli_runner.h"
#include "support/record_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace {

class CliReadTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString net = tmp.filePath("net");
    QString local = tmp.filePath("local");

    void SetUp() override
    {
        QDir().mkpath(net + "/queue");
        QDir().mkpath(local + "/mailbox");
    }
    void put(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QStringList snapshot(const QString &dir)
    {
        QStringList out;
        for (const QFileInfo &fi : QDir(dir).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
            out << fi.fileName() + ":" + QString::number(fi.size()) + ":" +
                       QString::number(fi.lastModified().toMSecsSinceEpoch());
        return out;
    }
    std::vector<std::string> lines(const std::string &out)
    {
        std::vector<std::string> v;
        size_t pos = 0, nl;
        while ((nl = out.find('\n', pos)) != std::string::npos) {
            v.push_back(out.substr(pos, nl - pos));
            pos = nl + 1;
        }
        return v;
    }
};

} // namespace

TEST_F(CliReadTest, UsersAreSortedAndPasswordsNeverPrinted)
{
    put(net + "/users.dat", userRec30({"3.0", "bob", "1", "secret", "Y"}).bytes() +
                                userRec30({"3.0", "Alice", "0", "pw", "N"}).bytes() +
                                userRec30({"3.0", "Zed", "2", "", "N"}).bytes());
    const CliRun r = runCli({"users", "--server", net + "/"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(lines(r.out), (std::vector<std::string>{
                                R"({"name": "Alice", "privilege": "0", "usePassword": "N"})",
                                R"({"name": "bob", "privilege": "1", "usePassword": "Y"})",
                                R"({"name": "Zed", "privilege": "2", "usePassword": "N"})"}));
    EXPECT_EQ(r.out.find("secret"), std::string::npos);
}

TEST_F(CliReadTest, UsersWithoutAFilePrintNothingAndAnOlderFileIsNotConverted)
{
    CliRun r = runCli({"users", "--server", net});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.out, "");

    const QByteArray older = userRec28("ANN", "0", "pw").bytes() + userRec28("BOB", "1", "").bytes();
    put(net + "/users.dat", older);
    const QStringList before = snapshot(net);
    for (const char *cmd : {"users", "who"}) {
        r = runCli({cmd, "--server", net});
        EXPECT_EQ(r.rc, 1) << cmd;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "The users file is in an older layout; start the desktop client as an administrator to convert it.\n");
    }
    EXPECT_EQ(snapshot(net), before);
}

TEST_F(CliReadTest, GroupsWithTheirSortedMembers)
{
    put(net + "/SALES.nvg", memberFile({"BOB", "ann"}));
    put(net + "/ADMIN.nvg", memberFile({}));
    const CliRun r = runCli({"groups", "--server", net});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(lines(r.out), (std::vector<std::string>{R"({"name": "ADMIN", "members": []})",
                                                      R"({"name": "SALES", "members": ["ann", "BOB"]})"}));
}

TEST_F(CliReadTest, WhoListsTheUsersStampedThisMinute)
{
    put(net + "/users.dat", userRec30({"3.0", "ANN", "1", "", "N"}).bytes() +
                                userRec30({"3.0", "BOB", "1", "", "N"}).bytes() +
                                userRec30({"3.0", "CAROL", "1", "", "N"}).bytes());
    QDir().mkpath(net + "/activity");
    put(net + "/activity/BOB.dat", "XX");
    put(net + "/activity/CAROL.dat", "XX");
    struct utimbuf old;
    old.actime = old.modtime = time(nullptr) - 3600;
    ASSERT_EQ(::utime(QFile::encodeName(net + "/activity/CAROL.dat").constData(), &old), 0);
    const CliRun r = runCli({"who", "--server", net});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "{\"name\": \"BOB\"}\n");
}

TEST_F(CliReadTest, QueueListsNewestFirstConvertsOlderLayoutsAndChangesNothing)
{
    put(net + "/queue/BOB.m01", msgInfo28({"2.8", "ANN", "BOB", "2008/02/24 09:05:00", 1, 1, "4711.tms", "BOB;", "", ""}));
    put(net + "/queue/4711.tms", "Hello\r\nW\xe9lt \"quoted\"\r\n");
    put(net + "/queue/bob.M02", msgInfo26({"2.6", "CAROL", "BOB", "2008/03/01 10:00:00", 2, 2, "C:\\old\\9.tms", "BOB^ANN$"}));
    put(net + "/queue/BOB.m03", msgInfo20({"DAVE", "BOB", "2007/12/31 23:59:59", 2, "first half ", "second half"}));
    put(net + "/queue/BOBBY.m01", msgInfo28({"2.8", "ANN", "BOBBY", "2009/01/01 00:00:00", 2, 2, "1.tms", "", "", ""}));
    const QStringList before = snapshot(net + "/queue");

    const CliRun r = runCli({"queue", "--server", net, "--user", "BOB"});
    EXPECT_EQ(r.rc, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 3u) << r.out;
    EXPECT_EQ(out[0], R"({"file": "bob.M02", "version": "2.6", "from": "CAROL", "to": "BOB", "sentAt": "2008/03/01 10:00:00", )"
                      R"("urgent": 2, "receipt": 2, "textFile": "9.tms", "toNames": "BOB;ANN", "ccNames": "", "bccNames": "", "text": ""})");
    EXPECT_EQ(out[1], R"({"file": "BOB.m01", "version": "2.8", "from": "ANN", "to": "BOB", "sentAt": "2008/02/24 09:05:00", )"
                      R"("urgent": 1, "receipt": 1, "textFile": "4711.tms", "toNames": "BOB;", "ccNames": "", "bccNames": "", )"
                      "\"text\": \"Hello\\r\\nW\xc3\xa9lt \\\"quoted\\\"\\r\\n\"}");
    EXPECT_NE(out[2].find(R"("file": "BOB.m03", "version": "2.0")"), std::string::npos);
    EXPECT_NE(out[2].find(R"("text": "first half second half")"), std::string::npos);
    EXPECT_EQ(snapshot(net + "/queue"), before);
}

TEST_F(CliReadTest, QueueReportsAFileNoReaderCanReadAndPrintsTheRest)
{
    put(net + "/queue/BOB.m01", msgInfo28({"2.8", "ANN", "BOB", "2008/02/24 09:05:00", 2, 2, "", "", "", ""}));
    put(net + "/queue/BOB.m02", QByteArray("2.8", 3).prepend('\x03') + QByteArray(100, 'x')); // tagged 2.8, cut short
    const CliRun r = runCli({"queue", "--server", net, "--user", "BOB"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(lines(r.out).size(), 1u);
    EXPECT_FALSE(r.err.empty());
    EXPECT_TRUE(QFile::exists(net + "/queue/BOB.m02")); // it stays in the queue
}

TEST_F(CliReadTest, FolderSpecialNamesNeedAUserAndMapToTheirFiles)
{
    put(local + "/mailbox/_oANN.mbx", msgInfo28({"2.8", "ANN", "", "2008/02/24 09:05:00", 2, 2, "5.tms", "BOB;", "", ""}));
    put(local + "/mailbox/5.tms", "Sent text\r\n");
    put(local + "/mailbox/OUTBOX.mbx", msgInfo28({"2.8", "ZED", "", "2008/02/24 09:05:00", 2, 2, "", "", "", ""}));

    CliRun r = runCli({"folder", "--local", local, "--folder", "Outbox"});
    EXPECT_EQ(r.rc, 2);
    r = runCli({"folder", "--local", local, "--folder", "Outbox", "--user", "ANN"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, R"({"version": "2.8", "from": "ANN", "to": "", "sentAt": "2008/02/24 09:05:00", "urgent": 2, )"
                     R"("receipt": 2, "textFile": "5.tms", "toNames": "BOB;", "ccNames": "", "bccNames": "", "text": "Sent text\r\n"})"
                     "\n");
    r = runCli({"folder", "--local", local, "--folder", "OUTBOX"}); // an ordinary folder of that name
    EXPECT_EQ(r.rc, 0);
    EXPECT_NE(r.out.find("\"from\": \"ZED\""), std::string::npos);
    r = runCli({"folder", "--local", local, "--folder", "MISSING"});
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.out, "");
}

TEST_F(CliReadTest, FolderOfAnOlderLayoutIsConvertedInMemoryOnly)
{
    const QByteArray older = msgInfo20({"DAVE", "ANN", "2007/12/31 23:59:59", 1, "inline one ", "and two"}).bytes() +
                             msgInfo20({"EVE", "ANN", "2008/01/02 08:00:00", 2, "newer", ""}).bytes();
    put(local + "/mailbox/OLD.mbx", older);
    const QStringList before = snapshot(local + "/mailbox");
    const CliRun r = runCli({"folder", "--local", local, "--folder", "OLD"});
    EXPECT_EQ(r.rc, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_NE(out[0].find(R"("from": "EVE")"), std::string::npos);
    EXPECT_NE(out[1].find(R"("version": "2.0", "from": "DAVE", "to": "ANN")"), std::string::npos);
    EXPECT_NE(out[1].find(R"("toNames": "ANN")"), std::string::npos);
    EXPECT_NE(out[1].find(R"("text": "inline one and two")"), std::string::npos);
    EXPECT_EQ(snapshot(local + "/mailbox"), before);

    put(local + "/mailbox/JUNK.mbx", QByteArray(7, '\x7f'));
    const CliRun bad = runCli({"folder", "--local", local, "--folder", "JUNK"});
    EXPECT_EQ(bad.rc, 1);
    EXPECT_FALSE(bad.err.empty());
}

TEST_F(CliReadTest, MissingRequiredOptionsAreUsageErrors)
{
    for (const QStringList &args : {QStringList{"queue", "--server", net}, QStringList{"users"},
                                    QStringList{"folder", "--local", local}, QStringList{"who", "--server"}}) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.rc, 2) << args.join(' ').toStdString();
    }
}
