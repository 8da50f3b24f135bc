#include "store/naming.h"

#include "platform/clock.h"
#include "platform/files.h"
#include "store/msg_info_rec.h"
#include "support/record_builder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cerrno>
#include <deque>
#include <functional>

using namespace nv;

namespace {

// Returns the queued draws in order, then repeats the last one.
class ScriptedRandom : public Random {
public:
    ScriptedRandom(std::initializer_list<std::uint32_t> v) : draws(v) {}
    std::uint32_t below(std::uint32_t bound) override
    {
        bounds.push_back(bound);
        const std::uint32_t r = draws.size() > 1 ? draws.front() : draws.back();
        if (draws.size() > 1)
            draws.pop_front();
        return r;
    }
    std::deque<std::uint32_t> draws;
    std::vector<std::uint32_t> bounds;
};

// Runs a hook just before each link(), to play another sender that takes the
// name a moment earlier; can fail writes.
class HookedFiles : public Files {
public:
    std::function<void(const QByteArray &to)> beforeLink;
    std::function<void(const QByteArray &path)> beforeOpen;
    int failWritesWith = 0;

protected:
    int sysLink(const QByteArray &from, const QByteArray &to) override
    {
        if (beforeLink)
            beforeLink(to);
        return Files::sysLink(from, to);
    }
    int sysOpen(const QByteArray &path, int flags, int mode) override
    {
        if (beforeOpen)
            beforeOpen(path);
        return Files::sysOpen(path, flags, mode);
    }
    long sysWrite(int fd, const char *data, unsigned long len) override
    {
        if (failWritesWith) {
            errno = failWritesWith;
            return -1;
        }
        return Files::sysWrite(fd, data, len);
    }
};

void put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray get(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

QStringList listing(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

class QueueTest : public ::testing::Test {
protected:
    QString q(const QString &name) const { return tmp.filePath(name); }
    void present(const QString &user, std::initializer_list<int> numbers)
    {
        for (int n : numbers)
            put(q(queueInfoName(user, n)), "waiting " + QByteArray::number(n));
    }
    QTemporaryDir tmp;
    HookedFiles files;
};

TMsgInfoRec sampleRec()
{
    TMsgInfoRec r;
    r.FromUser = "ANN";
    r.ToUser = "BOB";
    r.SentAt = "2008/02/24 09:05:00";
    r.TextFileName = "4711.tms";
    r.ToNames = "BOB;";
    return r;
}

} // namespace

// ---- NewMsgFileName -------------------------------------------------------------

TEST(NewMsgFileName, DecimalDrawBelowAHundredMillionPlusTms)
{
    QTemporaryDir tmp;
    Files files;
    struct Case {
        std::uint32_t draw;
        const char *name;
    };
    for (const Case &c : {Case{0, "0.tms"}, Case{4711, "4711.tms"}, Case{99999999, "99999999.tms"},
                          Case{10000000, "10000000.tms"}}) {
        ScriptedRandom rnd{c.draw};
        EXPECT_EQ(NewMsgFileName(rnd, files, tmp.path()), c.name);
        EXPECT_EQ(rnd.bounds, std::vector<std::uint32_t>{100000000u});
    }
    ScriptedRandom four{1234};
    EXPECT_LT(NewMsgFileName(four, files, tmp.path()).size(), 12);
}

TEST(NewMsgFileName, DrawsAgainWhileTheNameExists)
{
    QTemporaryDir tmp;
    Files files;
    put(tmp.filePath("11.tms"), "x");
    put(tmp.filePath("22.tms"), "x");
    ScriptedRandom rnd{11, 22, 33};
    EXPECT_EQ(NewMsgFileName(rnd, files, tmp.path()), "33.tms");
    EXPECT_EQ(rnd.bounds.size(), 3u);
}

TEST(NewMsgFileName, EndsAgainstAGeneratorStuckOnATakenName)
{
    QTemporaryDir tmp;
    Files files;
    put(tmp.filePath("5.tms"), "x");
    ScriptedRandom rnd{5};
    EXPECT_EQ(NewMsgFileName(rnd, files, tmp.path()), "5.tms");
    EXPECT_EQ(get(tmp.filePath("5.tms")), "x");
}

// ---- QueueFileName -----------------------------------------------------------------

TEST_F(QueueTest, NamesAreUserDotMAndTwoDigits)
{
    EXPECT_EQ(queueInfoName("BOB", 1), "BOB.m01");
    EXPECT_EQ(queueInfoName("BOB", 9), "BOB.m09");
    EXPECT_EQ(queueInfoName("BOB", 10), "BOB.m10");
    EXPECT_EQ(queueInfoName("BOB", 99), "BOB.m99");
}

TEST_F(QueueTest, FirstFreeNumber)
{
    EXPECT_EQ(QueueFileName(files, tmp.path(), "BOB"), q("BOB.m01"));
    present("BOB", {1, 2, 3});
    EXPECT_EQ(QueueFileName(files, tmp.path(), "BOB"), q("BOB.m04"));
}

TEST_F(QueueTest, GapIsFilledFirst)
{
    present("BOB", {2});
    EXPECT_EQ(QueueFileName(files, tmp.path(), "BOB"), q("BOB.m01"));
    present("BOB", {1, 3, 4, 5, 6, 7, 8, 9, 11});
    EXPECT_EQ(QueueFileName(files, tmp.path(), "BOB"), q("BOB.m10"));
}

TEST_F(QueueTest, OtherUsersFilesDoNotCount)
{
    present("BOBBY", {1});
    present("ANN", {1, 2});
    EXPECT_EQ(QueueFileName(files, tmp.path(), "BOB"), q("BOB.m01"));
}

TEST_F(QueueTest, FullQueueGivesEmpty)
{
    for (int n = 1; n <= 99; ++n)
        present("BOB", {n});
    EXPECT_EQ(QueueFileName(files, tmp.path(), "BOB"), "");
}

TEST_F(QueueTest, UserIsCutAtNul)
{
    present("BOB", {1});
    EXPECT_EQ(QueueFileName(files, tmp.path(), QString("BOB") + QChar(0) + "junk"), q("BOB.m02"));
}

TEST_F(QueueTest, UserThatCannotNameAFileGivesEmpty)
{
    for (const QString &u : {QString(), QString(QChar(0)) + "BOB", QString("../BOB"), QString("a\\b")})
        EXPECT_EQ(QueueFileName(files, tmp.path(), u), "") << u.toStdString();
}

// ---- WriteQueueInfoFile ----------------------------------------------------------

TEST_F(QueueTest, PublishesTheRecordUnderTheFirstFreeNumber)
{
    present("BOB", {1, 2});
    const QueuePublish p = WriteQueueInfoFile(files, tmp.path(), "BOB", sampleRec());
    EXPECT_EQ(p.status, QueuePublish::Published);
    EXPECT_EQ(p.path, q("BOB.m03"));
    MsgInfo28 f;
    f.fromUser = "ANN";
    f.toUser = "BOB";
    f.sentAt = "2008/02/24 09:05:00";
    f.textFileName = "4711.tms";
    f.toNames = "BOB;";
    EXPECT_EQ(get(q("BOB.m03")), msgInfo28(f).bytes());
    // Nothing else is left behind (no temporary file).
    EXPECT_EQ(listing(tmp.path()), QStringList({"BOB.m01", "BOB.m02", "BOB.m03"}));
}

TEST_F(QueueTest, ClashWithAnotherSenderMovesToTheNextNumber)
{
    // Another sender creates BOB.m01 and BOB.m02 just before our link.
    int clashes = 0;
    files.beforeLink = [&](const QByteArray &to) {
        if (clashes < 2) {
            ++clashes;
            put(QFile::decodeName(to), "other sender");
        }
    };
    const QueuePublish p = WriteQueueInfoFile(files, tmp.path(), "BOB", sampleRec());
    EXPECT_EQ(p.status, QueuePublish::Published);
    EXPECT_EQ(p.path, q("BOB.m03"));
    EXPECT_EQ(get(q("BOB.m01")), "other sender");
    EXPECT_EQ(get(q("BOB.m02")), "other sender");
    EXPECT_EQ(get(q("BOB.m03")), encodeMsgInfoRec(sampleRec()));
    EXPECT_EQ(listing(tmp.path()).size(), 3);
}

TEST_F(QueueTest, FullQueueReplacesNothing)
{
    for (int n = 1; n <= 99; ++n)
        present("BOB", {n});
    const QueuePublish p = WriteQueueInfoFile(files, tmp.path(), "BOB", sampleRec());
    EXPECT_EQ(p.status, QueuePublish::QueueFull);
    EXPECT_EQ(p.path, "");
    for (int n = 1; n <= 99; ++n)
        EXPECT_EQ(get(q(queueInfoName("BOB", n))), "waiting " + QByteArray::number(n));
    EXPECT_EQ(listing(tmp.path()).size(), 99);
}

TEST_F(QueueTest, QueueFilledByOthersMeanwhileReplacesNothing)
{
    present("BOB", {1});
    files.beforeLink = [&](const QByteArray &to) { put(QFile::decodeName(to), "other sender"); };
    const QueuePublish p = WriteQueueInfoFile(files, tmp.path(), "BOB", sampleRec());
    EXPECT_EQ(p.status, QueuePublish::QueueFull);
    EXPECT_EQ(get(q("BOB.m01")), "waiting 1");
    for (int n = 2; n <= 99; ++n)
        EXPECT_EQ(get(q(queueInfoName("BOB", n))), "other sender");
    EXPECT_EQ(listing(tmp.path()).size(), 99);
}

TEST_F(QueueTest, FailedWriteIsReportedAndLeavesNoFile)
{
    files.failWritesWith = ENOSPC;
    const QueuePublish p = WriteQueueInfoFile(files, tmp.path(), "BOB", sampleRec());
    EXPECT_EQ(p.status, QueuePublish::Failed);
    EXPECT_EQ(p.path, q("BOB.m01"));
    EXPECT_EQ(p.error.code, ENOSPC);
    EXPECT_TRUE(listing(tmp.path()).isEmpty());
}

TEST_F(QueueTest, MissingQueueDirectoryFails)
{
    const QueuePublish p = WriteQueueInfoFile(files, q("no-such-dir"), "BOB", sampleRec());
    EXPECT_EQ(p.status, QueuePublish::Failed);
    EXPECT_EQ(p.error.code, ENOENT);
}

TEST_F(QueueTest, UnusableUserNameFailsWithoutWriting)
{
    const QueuePublish p = WriteQueueInfoFile(files, tmp.path(), "../BOB", sampleRec());
    EXPECT_EQ(p.status, QueuePublish::Failed);
    EXPECT_EQ(p.error.code, EINVAL);
    EXPECT_TRUE(listing(tmp.path()).isEmpty());
    EXPECT_FALSE(QFile::exists(tmp.filePath("../BOB.m01")));
}

TEST_F(QueueTest, PreparedRecordShowsUnderItsFinalNameOnlyWhenPublished)
{
    present("BOB", {1});
    PreparedInfoFile prepared;
    const QueuePublish p = PrepareQueueInfoFile(files, tmp.path(), "BOB", sampleRec(), Sync::Deferred, &prepared);
    EXPECT_EQ(p.status, QueuePublish::Published);
    EXPECT_EQ(p.path, q("BOB.m02"));
    EXPECT_EQ(files.find(tmp.path(), "BOB.m*"), QStringList({"BOB.m01"})) << "a poller sees nothing new yet";
    EXPECT_EQ(listing(tmp.path()).size(), 2);

    put(q("BOB.m02"), "other sender"); // taken meanwhile
    const QueuePublish pub = PublishQueueInfoFile(files, tmp.path(), prepared);
    EXPECT_EQ(pub.status, QueuePublish::Published);
    EXPECT_EQ(pub.path, q("BOB.m03"));
    EXPECT_EQ(get(q("BOB.m02")), "other sender");
    EXPECT_EQ(get(q("BOB.m03")), encodeMsgInfoRec(sampleRec()));
    EXPECT_EQ(listing(tmp.path()), QStringList({"BOB.m01", "BOB.m02", "BOB.m03"})) << "the temporary file is gone";
}

TEST_F(QueueTest, PreparingForAFullQueueWritesNothing)
{
    for (int n = 1; n <= 99; ++n)
        present("BOB", {n});
    PreparedInfoFile prepared;
    EXPECT_EQ(PrepareQueueInfoFile(files, tmp.path(), "BOB", sampleRec(), Sync::Deferred, &prepared).status,
              QueuePublish::QueueFull);
    EXPECT_EQ(listing(tmp.path()).size(), 99);
}

// ---- message text files -------------------------------------------------------------

TEST(TextFileBytes, LinesEndedByCrLfInWindows1252)
{
    EXPECT_EQ(textFileBytes({"Hello", "", QString::fromUtf8("Grüße €5")}),
              QByteArray("Hello\r\n\r\nGr\xfc\xdf" "e \x80" "5\r\n"));
    EXPECT_EQ(textFileBytes({}), QByteArray());
}

TEST_F(QueueTest, NewTextFileIsCreatedUnderAFreshName)
{
    put(q("11.tms"), "taken");
    ScriptedRandom rnd{11, 42};
    FileError err;
    const auto name = WriteNewTextFile(rnd, files, tmp.path(), "body\r\n", &err);
    ASSERT_TRUE(name);
    EXPECT_EQ(*name, "42.tms");
    EXPECT_EQ(get(q("42.tms")), "body\r\n");
    EXPECT_EQ(get(q("11.tms")), "taken");
}

TEST_F(QueueTest, NewTextFileDrawsAgainWhenTheNameIsTakenMeanwhile)
{
    ScriptedRandom rnd{7, 8};
    bool raced = false;
    files.beforeOpen = [&](const QByteArray &path) {
        if (!raced && path.endsWith("/7.tms")) {
            raced = true;
            put(QFile::decodeName(path), "other sender");
        }
    };
    const auto name = WriteNewTextFile(rnd, files, tmp.path(), "mine");
    ASSERT_TRUE(name);
    EXPECT_EQ(*name, "8.tms");
    EXPECT_EQ(get(q("7.tms")), "other sender");
    EXPECT_EQ(get(q("8.tms")), "mine");
}

TEST_F(QueueTest, NewTextFileFailureIsReportedAndLeavesNoFile)
{
    files.failWritesWith = EIO;
    ScriptedRandom rnd{9};
    FileError err;
    EXPECT_FALSE(WriteNewTextFile(rnd, files, tmp.path(), "body", &err));
    EXPECT_EQ(err.code, EIO);
    EXPECT_TRUE(listing(tmp.path()).isEmpty());
}

TEST_F(QueueTest, NewTextFileGivesUpAgainstAStuckGenerator)
{
    put(q("3.tms"), "taken");
    ScriptedRandom rnd{3};
    FileError err;
    EXPECT_FALSE(WriteNewTextFile(rnd, files, tmp.path(), "body", &err));
    EXPECT_EQ(err.code, EEXIST);
    EXPECT_EQ(get(q("3.tms")), "taken");
}
