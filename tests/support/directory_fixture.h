#pragma once
// A network directory for the users and groups tests: one workstation on a
// temporary directory, its files able to refuse chosen renames and deletes,
// and ways to make a file fail to open or fail to read.
#include "mainwin/context.h"
#include "platform/clock.h"
#include "support/faulty_files.h"
#include "support/scripted_ui.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

// Renames and deletes can be refused (or faked) by the file they touch.
class DirectoryFiles : public FaultyFiles {
public:
    // Called with the target's file name; return true to refuse (EACCES).
    std::function<bool(const QString &fromName, const QString &toName)> refuseRenameIf;
    // Called with the target's file name; return true to claim success but
    // move the file aside instead (as if another copy took it at once).
    std::function<bool(const QString &fromName, const QString &toName)> loseRenameIf;
    QString refuseUnlinkOf; // a file name

protected:
    int sysRename(const QByteArray &from, const QByteArray &to) override
    {
        const QString f = QFileInfo(QFile::decodeName(from)).fileName();
        const QString t = QFileInfo(QFile::decodeName(to)).fileName();
        if (refuseRenameIf && refuseRenameIf(f, t)) {
            errno = EACCES;
            return -1;
        }
        if (loseRenameIf && loseRenameIf(f, t))
            return FaultyFiles::sysRename(from, from + ".lost");
        return FaultyFiles::sysRename(from, to);
    }
    int sysUnlink(const QByteArray &path) override
    {
        if (!refuseUnlinkOf.isEmpty() && QFileInfo(QFile::decodeName(path)).fileName() == refuseUnlinkOf) {
            errno = EACCES;
            return -1;
        }
        return FaultyFiles::sysUnlink(path);
    }
};

class DirectoryTest : public ::testing::Test {
protected:
    DirectoryTest() { ctx.ServerDir = tmp.path(); }

    QString path(const QString &name) const { return tmp.filePath(name); }

    // Test-side file access; the code under test goes through nv::Files.
    void put(const QString &name, const QByteArray &data)
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(data);
    }
    QByteArray get(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    bool has(const QString &name) const { return QFileInfo::exists(path(name)); }
    void makeDir(const QString &name) { ASSERT_TRUE(QDir(tmp.path()).mkdir(name)); }
    // Opens, but every read fails with EIO (a damaged disk).
    void putUnreadable(const QString &name)
    {
        ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), path(name)));
    }
    QStringList entries() const { return QDir(tmp.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot); }

    QTemporaryDir tmp;
    ScriptedUi ui;
    DirectoryFiles files;
    nv::FixedClock clock{QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0))};
    nv::SeededRandom random{12345};
    nv::Context ctx{nv::Platform{ui, files, clock, random}};
};

// While alive, no file can be opened (EMFILE) though every file is there.
class NoFreeDescriptors {
public:
    NoFreeDescriptors();
    ~NoFreeDescriptors();
    NoFreeDescriptors(const NoFreeDescriptors &) = delete;
    NoFreeDescriptors &operator=(const NoFreeDescriptors &) = delete;

private:
    unsigned long m_soft = 0;
    bool m_set = false;
};
