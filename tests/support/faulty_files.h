#pragma once
// Files whose system calls fail on request: the Nth write with EIO or
// ENOSPC, the Nth fsync, syncfs, every rename, hard links. Lets a test prove
// that nothing is lost.
#include "platform/files.h"

#include <cerrno>

class FaultyFiles : public nv::Files {
public:
    int failWriteAt = 0;         // 1-based number of the write call that fails; 0 none
    int writeErrno = EIO;
    bool failAllWritesAfter = false; // keep failing once the first one failed
    bool refuseRename = false;
    int renameErrno = EACCES;
    bool noHardLinks = false;
    // Opens, links and renames whose target path contains this fail with
    // pathErrno: one chosen file cannot be written, whatever the order.
    QByteArray failPathContaining;
    int pathErrno = EIO;
    int writes = 0;
    int renames = 0;
    int links = 0;
    // The Nth fsync() fails with fsyncErrno (0 none); syncfs() fails with
    // syncfsErrno when set.
    int failFsyncAt = 0;
    int fsyncErrno = EIO;
    int syncfsErrno = 0;
    int fsyncs = 0;
    int syncfsCalls = 0;

protected:
    bool pathFails(const QByteArray &path) const
    {
        return !failPathContaining.isEmpty() && path.contains(failPathContaining);
    }
    int sysOpen(const QByteArray &path, int flags, int mode) override
    {
        if (pathFails(path)) {
            errno = pathErrno;
            return -1;
        }
        return nv::Files::sysOpen(path, flags, mode);
    }
    long sysWrite(int fd, const char *data, unsigned long len) override
    {
        ++writes;
        if (failWriteAt > 0 && (writes == failWriteAt || (failAllWritesAfter && writes > failWriteAt))) {
            errno = writeErrno;
            return -1;
        }
        return nv::Files::sysWrite(fd, data, len);
    }
    int sysFsync(int fd) override
    {
        ++fsyncs;
        if (fsyncs == failFsyncAt) {
            errno = fsyncErrno;
            return -1;
        }
        return nv::Files::sysFsync(fd);
    }
    int sysSyncfs(int fd) override
    {
        ++syncfsCalls;
        if (syncfsErrno != 0) {
            errno = syncfsErrno;
            return -1;
        }
        return nv::Files::sysSyncfs(fd);
    }
    int sysRename(const QByteArray &from, const QByteArray &to) override
    {
        ++renames;
        if (pathFails(to)) {
            errno = pathErrno;
            return -1;
        }
        if (refuseRename) {
            errno = renameErrno;
            return -1;
        }
        return nv::Files::sysRename(from, to);
    }
    int sysLink(const QByteArray &from, const QByteArray &to) override
    {
        ++links;
        if (pathFails(to)) {
            errno = pathErrno;
            return -1;
        }
        if (noHardLinks) {
            errno = EPERM;
            return -1;
        }
        return nv::Files::sysLink(from, to);
    }
};
