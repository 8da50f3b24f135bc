#include "support/faulty_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fcntl.h>

using nv::Files;
using nv::PublishResult;

namespace {

QByteArray slurp(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QStringList leftovers(const QString &dir) { return QDir(dir).entryList({"~t*"}, QDir::Files); }

class FilesTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    FaultyFiles files;
    QString path(const QString &name) const { return tmp.filePath(name); }
};

} // namespace

TEST_F(FilesTest, FindMatchesAsciiCaseInsensitivelyAndSorts)
{
    for (const char *n : {"BOB.m01", "bob.M02", "Bobby.m03", "BOB.dat", "ann.m01", "b\xc3\xb6" "b.m01"})
        put(path(QString::fromUtf8(n)), "x");
    QDir().mkdir(path("BOB.m99")); // a directory never counts
    EXPECT_EQ(files.find(tmp.path(), "BOB.m*"), (QStringList{"BOB.m01", "bob.M02"}));
    EXPECT_EQ(files.find(tmp.path(), "*.M0?"), (QStringList{"BOB.m01", "Bobby.m03", "ann.m01", "bob.M02", QString::fromUtf8("b\xc3\xb6" "b.m01")}));
    // Only ASCII letters fold: ö does not match Ö.
    EXPECT_TRUE(files.find(tmp.path(), QString::fromUtf8("B\xc3\x96" "B.*")).isEmpty());
    EXPECT_TRUE(files.find(path("missing"), "*").isEmpty());
}

TEST(FilesPattern, GlobCases)
{
    struct Case { const char *pattern, *name; bool match; };
    const Case cases[] = {
        {"*.mbx", "NOTES.MBX", true}, {"*.mbx", "NOTES.MBX.bak", false}, {"USER.m*", "user.m", true},
        {"a*b*c", "aXXbYYc", true},   {"a*b*c", "aXXbYY", false},         {"?.tms", "1.tms", true},
        {"?.tms", "12.tms", false},   {"*", "", true},                    {"**x", "abx", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(Files::matchPattern(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
}

TEST_F(FilesTest, CopyNeverOverwritesAndLeavesNoTemporaryFile)
{
    put(path("src"), "new");
    put(path("dst"), "old");
    nv::FileError err;
    EXPECT_FALSE(files.copyNoOverwrite(path("src"), path("dst"), &err));
    EXPECT_EQ(err.code, EEXIST);
    EXPECT_EQ(slurp(path("dst")), "old");
    EXPECT_TRUE(files.copyNoOverwrite(path("src"), path("fresh")));
    EXPECT_EQ(slurp(path("fresh")), "new");
    EXPECT_EQ(slurp(path("src")), "new");
    EXPECT_TRUE(leftovers(tmp.path()).isEmpty());
}

TEST_F(FilesTest, PublishExclusiveRefusesAnExistingNameAndKeepsIt)
{
    put(path("BOB.m01"), "waiting");
    EXPECT_EQ(files.publishExclusive(path("BOB.m01"), "intruder"), PublishResult::Exists);
    EXPECT_EQ(slurp(path("BOB.m01")), "waiting");
    EXPECT_EQ(files.publishExclusive(path("BOB.m02"), "mine"), PublishResult::Published);
    EXPECT_EQ(slurp(path("BOB.m02")), "mine");
    EXPECT_TRUE(leftovers(tmp.path()).isEmpty());
}

TEST_F(FilesTest, PublishWithoutHardLinksFallsBackToExclusiveCreate)
{
    files.noHardLinks = true;
    put(path("BOB.m01"), "waiting");
    EXPECT_EQ(files.publishExclusive(path("BOB.m01"), "intruder"), PublishResult::Exists);
    EXPECT_EQ(slurp(path("BOB.m01")), "waiting");
    EXPECT_EQ(files.publishExclusive(path("BOB.m02"), "mine"), PublishResult::Published);
    EXPECT_EQ(slurp(path("BOB.m02")), "mine");
    EXPECT_TRUE(leftovers(tmp.path()).isEmpty());
}

TEST_F(FilesTest, FailedWritesNeverLeaveAFileUnderTheFinalName)
{
    for (int err : {EIO, ENOSPC}) {
        files.failWriteAt = files.writes + 1;
        files.writeErrno = err;
        nv::FileError fe;
        EXPECT_EQ(files.publishExclusive(path("BOB.m03"), "body", &fe), PublishResult::Failed);
        EXPECT_EQ(fe.code, err);
        EXPECT_FALSE(QFile::exists(path("BOB.m03")));
        files.failWriteAt = files.writes + 1;
        EXPECT_EQ(files.createExclusive(path("x.tms"), "body"), PublishResult::Failed);
        EXPECT_FALSE(QFile::exists(path("x.tms")));
    }
    EXPECT_TRUE(leftovers(tmp.path()).isEmpty());
}

TEST_F(FilesTest, WriteWholeKeepsTheOldFileWhenTheDiskIsFull)
{
    put(path("NOTES.mbx"), "old contents");
    files.failWriteAt = 1;
    files.writeErrno = ENOSPC;
    files.failAllWritesAfter = true;
    nv::FileError err;
    EXPECT_FALSE(files.writeWhole(path("NOTES.mbx"), "new contents", &err));
    EXPECT_EQ(err.code, ENOSPC);
    EXPECT_EQ(slurp(path("NOTES.mbx")), "old contents");
    EXPECT_TRUE(leftovers(tmp.path()).isEmpty());
    // The same when the caller asks for no error record.
    EXPECT_FALSE(files.writeWhole(path("NOTES.mbx"), "new contents"));
    EXPECT_EQ(slurp(path("NOTES.mbx")), "old contents");
}

TEST_F(FilesTest, WriteWholeRewritesInPlaceWhenTheRenameIsRefused)
{
    put(path("users.dat"), "a much longer old content");
    files.refuseRename = true;
    EXPECT_TRUE(files.writeWhole(path("users.dat"), "new"));
    EXPECT_EQ(slurp(path("users.dat")), "new");
    EXPECT_TRUE(leftovers(tmp.path()).isEmpty());
    files.refuseRename = false;
    EXPECT_TRUE(files.writeWhole(path("users.dat"), "newer"));
    EXPECT_EQ(slurp(path("users.dat")), "newer");
}

TEST_F(FilesTest, ReadMissingFileReportsTheError)
{
    nv::FileError err;
    EXPECT_FALSE(files.readAll(path("nope"), &err).has_value());
    EXPECT_EQ(err.code, ENOENT);
    EXPECT_FALSE(nv::errorText(err).isEmpty());
    EXPECT_TRUE(files.mkpath(path("a/b/c")));
    EXPECT_TRUE(files.isDir(path("a/b/c")));
    EXPECT_TRUE(files.append(path("a/b/c/log"), "1"));
    EXPECT_TRUE(files.append(path("a/b/c/log"), "2"));
    EXPECT_EQ(slurp(path("a/b/c/log")), "12");
}

// ---- writes that share one sync

TEST_F(FilesTest, DeferredWritesAreSyncedTogetherByOneSyncfsAndAnFsyncEach)
{
    ASSERT_EQ(files.createExclusive(path("1.tms"), "text", nullptr, nv::Sync::Deferred), PublishResult::Published);
    const QString temp = files.writeTemp(tmp.path(), "record", nullptr, nv::Sync::Deferred);
    ASSERT_FALSE(temp.isEmpty());
    EXPECT_TRUE(temp.endsWith(".tmq"));
    EXPECT_EQ(slurp(temp), "record");
    EXPECT_EQ(files.fsyncs, 0) << "a deferred write does not sync";

    const auto synced = files.syncFiles({path("1.tms"), temp});
    ASSERT_EQ(synced.size(), 2u);
    EXPECT_EQ(synced[0].code, 0);
    EXPECT_EQ(synced[1].code, 0);
    EXPECT_EQ(files.syncfsCalls, 1);
    EXPECT_EQ(files.fsyncs, 2);

    // A single file needs no syncfs().
    EXPECT_EQ(files.syncFiles({path("1.tms")}).at(0).code, 0);
    EXPECT_EQ(files.syncfsCalls, 1);
    EXPECT_TRUE(files.syncFiles({}).empty());
}

TEST_F(FilesTest, SyncFilesTellsEachFileApartAndDoesNotRelyOnSyncfs)
{
    for (const char *n : {"a", "b", "c"})
        put(path(n), "x");
    files.syncfsErrno = ENOSYS; // a kernel without syncfs(): only slower
    files.failFsyncAt = 2;      // b's write-back failed
    const auto synced = files.syncFiles({path("a"), path("b"), path("c"), path("gone")});
    ASSERT_EQ(synced.size(), 4u);
    EXPECT_EQ(synced[0].code, 0);
    EXPECT_EQ(synced[1].code, EIO);
    EXPECT_EQ(synced[2].code, 0);
    EXPECT_EQ(synced[3].code, ENOENT);
}

TEST_F(FilesTest, LinkExclusiveNeverReplacesAndLeavesTheTemporaryFileToTheCaller)
{
    put(path("BOB.m01"), "waiting");
    const QString temp = files.writeTemp(tmp.path(), "mine");
    nv::FileError err;
    EXPECT_EQ(files.linkExclusive(temp, path("BOB.m01"), "mine", &err), PublishResult::Exists);
    EXPECT_EQ(err.code, EEXIST);
    EXPECT_EQ(slurp(path("BOB.m01")), "waiting");
    EXPECT_EQ(files.linkExclusive(temp, path("BOB.m02"), "mine"), PublishResult::Published);
    EXPECT_EQ(slurp(path("BOB.m02")), "mine");
    EXPECT_EQ(slurp(temp), "mine");

    files.noHardLinks = true;
    EXPECT_EQ(files.linkExclusive(temp, path("BOB.m02"), "mine"), PublishResult::Exists);
    EXPECT_EQ(files.linkExclusive(temp, path("BOB.m03"), "mine"), PublishResult::Published);
    EXPECT_EQ(slurp(path("BOB.m03")), "mine");
}

TEST_F(FilesTest, FailedDeferredWriteLeavesNothing)
{
    for (int err : {EIO, ENOSPC}) {
        files.failWriteAt = files.writes + 1;
        files.writeErrno = err;
        nv::FileError fe;
        EXPECT_TRUE(files.writeTemp(tmp.path(), "record", &fe, nv::Sync::Deferred).isEmpty());
        EXPECT_EQ(fe.code, err);
        files.failWriteAt = files.writes + 1;
        EXPECT_EQ(files.createExclusive(path("1.tms"), "text", nullptr, nv::Sync::Deferred), PublishResult::Failed);
    }
    EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(FilesTest, WriteWholeShowsNothingNewUnlessWhatItReliesOnIsDurable)
{
    struct Case {
        const char *what;
        int failFsyncAt; // 1: the text file, 2: the new contents
        bool written;
        const char *errPath;
    };
    const Case cases[] = {
        {"both durable", 0, true, ""},
        {"the text file is not durable", 1, false, "1.tms"},
        {"the new contents are not durable", 2, false, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        put(path("_oANN.mbx"), "old");
        QFile::remove(path("1.tms"));
        ASSERT_EQ(files.createExclusive(path("1.tms"), "text", nullptr, nv::Sync::Deferred), PublishResult::Published);
        files.fsyncs = 0;
        files.syncfsCalls = 0;
        files.failFsyncAt = c.failFsyncAt;
        nv::FileError err;
        EXPECT_EQ(files.writeWhole(path("_oANN.mbx"), "new", &err, {path("1.tms")}), c.written);
        EXPECT_EQ(slurp(path("_oANN.mbx")), c.written ? "new" : "old");
        EXPECT_EQ(err.path, *c.errPath ? path(c.errPath) : QString());
        EXPECT_EQ(err.code, c.written ? 0 : EIO);
        EXPECT_EQ(files.syncfsCalls, 1) << "one sync for both files";
        EXPECT_TRUE(leftovers(tmp.path()).isEmpty());
    }
}

namespace {

// The first temporary name drawn is already another writer's file.
class ClashingTempFiles : public FaultyFiles {
public:
    QByteArray theirs;

protected:
    int sysOpen(const QByteArray &path, int flags, int mode) override
    {
        if (theirs.isEmpty() && path.contains("/~t") && (flags & O_EXCL)) {
            theirs = path;
            QFile f(QFile::decodeName(path));
            if (f.open(QIODevice::WriteOnly))
                f.write("theirs");
            errno = EEXIST;
            return -1;
        }
        return FaultyFiles::sysOpen(path, flags, mode);
    }
};

} // namespace

TEST(FilesTempNames, AClashingTemporaryNameIsLeftToItsOwner)
{
    QTemporaryDir tmp;
    ClashingTempFiles files;
    EXPECT_TRUE(files.writeWhole(tmp.filePath("NOTES.mbx"), "mine"));
    EXPECT_EQ(slurp(tmp.filePath("NOTES.mbx")), "mine");
    ASSERT_FALSE(files.theirs.isEmpty());
    EXPECT_EQ(slurp(QFile::decodeName(files.theirs)), "theirs");
}
