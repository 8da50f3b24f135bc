#include "mainwin/presence.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

namespace {

class PresenceTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    Workstation ws{tmp.filePath("net"), tmp.filePath("local"), "ANN"};

    void stampAt(const QString &user, const QDateTime &t)
    {
        QDir().mkpath(tmp.filePath("net/activity"));
        const QString path = tmp.filePath("net/activity/" + user + ".dat");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        struct utimbuf times;
        times.actime = times.modtime = static_cast<time_t>(t.toSecsSinceEpoch());
        ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0);
    }
};

QDateTime at(int day, int h, int m, int s) { return QDateTime(QDate(2008, 2, day), QTime(h, m, s)); }

} // namespace

TEST_F(PresenceTest, StampWritesXXAndCreatesTheDirectory)
{
    nv::StampActivityFile(ws.ctx);
    QFile f(tmp.filePath("net/activity/ANN.dat"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "XX");
    EXPECT_TRUE(ws.ui.boxes.empty());
    ws.clock.set(QDateTime::currentDateTime());
    EXPECT_TRUE(nv::UserLoggedIn(ws.ctx, "ANN"));
}

TEST_F(PresenceTest, LoggedInWithinOneClockMinute)
{
    struct Case { QDateTime stamp, now; bool in; };
    const Case cases[] = {
        {at(24, 10, 4, 59), at(24, 10, 5, 30), true},
        {at(24, 10, 3, 10), at(24, 10, 5, 0), false},
        {at(24, 10, 59, 50), at(24, 11, 0, 5), true},  // the hour rolls over like any minute
        {at(24, 23, 59, 50), at(25, 0, 0, 5), true},   // and so does the day
        {at(24, 10, 7, 0), at(24, 10, 5, 0), true},    // a server clock ahead of ours
        {at(23, 10, 5, 0), at(24, 10, 5, 0), false},
    };
    for (const Case &c : cases) {
        stampAt("BOB", c.stamp);
        ws.clock.set(c.now);
        EXPECT_EQ(nv::UserLoggedIn(ws.ctx, "BOB"), c.in) << c.stamp.toString().toStdString() << " -> "
                                                         << c.now.toString().toStdString();
    }
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(PresenceTest, MissingOrUnsafeNamesAreNotLoggedInAndSayNothing)
{
    stampAt("BOB", ws.clock.now());
    for (const char *user : {"CAROL", "../net/activity/BOB", "a/b", "a\\b", ".."})
        EXPECT_FALSE(nv::UserLoggedIn(ws.ctx, user)) << user;
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(PresenceTest, AnActivityDirectoryThatCannotBeMadeIsReported)
{
    // A file where the network directory should be.
    QFile blocker(tmp.filePath("blocked"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ws.ctx.ServerDir = tmp.filePath("blocked");
    nv::StampActivityFile(ws.ctx);
    EXPECT_FALSE(nv::UserLoggedIn(ws.ctx, "BOB"));
    EXPECT_EQ(ws.ui.texts(), (std::vector<QString>{"Error 0029: Unable to create User Activity directory!",
                                                    "Error 0019: Unable to create User Activity directory!"}));
}

TEST_F(PresenceTest, AnUnwritableActivityFileIsReported)
{
    QDir().mkpath(tmp.filePath("net/activity/ANN.dat")); // a directory in the file's place
    nv::StampActivityFile(ws.ctx);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].text, "Error encountered in NvMainForm.StampActivityFile(): Unable to write activity file: \"" +
                                       tmp.filePath("net/activity/ANN.dat") + "\".");
    EXPECT_EQ(ws.ui.boxes[0].kind, nv::MsgKind::Plain);
}
