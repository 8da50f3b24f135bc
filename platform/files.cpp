#include "platform/files.h"

#include <QDir>

#include <cerrno>
#include <algorithm>
#include <atomic>
#include <random>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace nv {

namespace {

QByteArray native(const QString &path) { return QFile::encodeName(path); }

void setErr(FileError *err, int code)
{
    if (err) {
        err->code = code;
        err->text = QString::fromLocal8Bit(std::strerror(code));
    }
}

QString dirOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : path.left(slash));
}

char asciiUpper(char16_t c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : char(c); }

bool eqNoCase(QChar a, QChar b)
{
    const char16_t x = a.unicode(), y = b.unicode();
    if (x == y)
        return true;
    if (x >= 0x80 || y >= 0x80)
        return false;
    return asciiUpper(x) == asciiUpper(y);
}

// Glob with '*' and '?', iterative with one backtrack point.
bool globMatch(const QChar *p, qsizetype pn, const QChar *s, qsizetype sn)
{
    qsizetype pi = 0, si = 0, star = -1, mark = 0;
    while (si < sn) {
        if (pi < pn && (p[pi] == QLatin1Char('?') || (p[pi] != QLatin1Char('*') && eqNoCase(p[pi], s[si])))) {
            ++pi;
            ++si;
        } else if (pi < pn && p[pi] == QLatin1Char('*')) {
            star = pi++;
            mark = si;
        } else if (star >= 0) {
            pi = star + 1;
            si = ++mark;
        } else {
            return false;
        }
    }
    while (pi < pn && p[pi] == QLatin1Char('*'))
        ++pi;
    return pi == pn;
}

} // namespace

QString errorText(const FileError &err)
{
    return err.text.isEmpty() ? QString::fromLocal8Bit(std::strerror(err.code ? err.code : EIO)) : err.text;
}

QString Files::join(const QString &dir, const QString &name)
{
    if (dir.isEmpty())
        return name;
    if (dir.endsWith(QLatin1Char('/')))
        return dir + name;
    return dir + QLatin1Char('/') + name;
}

bool Files::exists(const QString &path) const
{
    struct stat st;
    return ::stat(native(path).constData(), &st) == 0;
}

bool Files::isDir(const QString &path) const
{
    struct stat st;
    return ::stat(native(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Files::isFile(const QString &path) const
{
    struct stat st;
    return ::stat(native(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool Files::matchPattern(const QString &pattern, const QString &name)
{
    return globMatch(pattern.constData(), pattern.size(), name.constData(), name.size());
}

QStringList Files::find(const QString &dir, const QString &pattern) const
{
    // readdir without a stat per entry: a busy queue holds thousands of
    // other users' files, and only the matches are looked at closer.
    QStringList out;
    DIR *d = ::opendir(native(dir).constData());
    if (!d)
        return out;
    const QByteArray base = native(dir) + '/';
    while (const dirent *e = ::readdir(d)) {
        if (e->d_type == DT_DIR || (e->d_name[0] == '.' && (!e->d_name[1] || (e->d_name[1] == '.' && !e->d_name[2]))))
            continue;
        const QString name = QFile::decodeName(e->d_name);
        if (!matchPattern(pattern, name))
            continue;
        if (e->d_type != DT_REG) {
            // Unknown type (some file servers) or a link: ask what it is.
            struct stat st;
            if (::stat((base + e->d_name).constData(), &st) != 0 || S_ISDIR(st.st_mode))
                continue;
        }
        out.append(name);
    }
    ::closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

bool Files::mkpath(const QString &dir, FileError *err)
{
    if (isDir(dir))
        return true;
    if (QDir().mkpath(dir) && isDir(dir))
        return true;
    setErr(err, errno ? errno : EACCES);
    return false;
}

std::optional<QByteArray> Files::readAll(const QString &path, FileError *err) const
{
    const int fd = ::open(native(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        setErr(err, errno);
        return std::nullopt;
    }
    QByteArray data;
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            setErr(err, errno);
            ::close(fd);
            return std::nullopt;
        }
        if (n == 0)
            break;
        data.append(buf, n);
    }
    ::close(fd);
    return data;
}

std::optional<qint64> Files::size(const QString &path) const
{
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return std::nullopt;
    return static_cast<qint64>(st.st_size);
}

std::optional<QDateTime> Files::lastModified(const QString &path) const
{
    // stat, not QFileInfo: Qt takes a path that begins with ':' for a resource.
    struct stat st;
    if (::stat(native(path).constData(), &st) != 0)
        return std::nullopt;
    const qint64 ms = qint64(st.st_mtim.tv_sec) * 1000 + st.st_mtim.tv_nsec / 1000000;
    return QDateTime::fromMSecsSinceEpoch(ms);
}

bool Files::remove(const QString &path, FileError *err)
{
    if (sysUnlink(native(path)) == 0)
        return true;
    setErr(err, errno);
    return false;
}

bool Files::rename(const QString &from, const QString &to, FileError *err)
{
    if (sysRename(native(from), native(to)) == 0)
        return true;
    setErr(err, errno);
    return false;
}

QString Files::tempName(const QString &dir)
{
    // Unique in this process by the counter (shared by every Files), across
    // processes and workstations by the pid and a random tag drawn once.
    static std::atomic<quint64> counter{0};
    static const quint32 tag = std::random_device{}();
    return join(dir, QStringLiteral("~t%1_%2_%3.tmq")
                         .arg(::getpid())
                         .arg(tag, 8, 16, QLatin1Char('0'))
                         .arg(++counter));
}

QString Files::writeFreshTemp(const QString &dir, const QByteArray &data, FileError *err, Sync sync)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString tmp = tempName(dir);
        const QByteArray ntmp = native(tmp);
        if (writeNewFile(ntmp, data, O_EXCL, err, sync))
            return tmp;
        // A name someone else holds is theirs: draw another, touch nothing.
        if (err->code == EEXIST)
            continue;
        sysUnlink(ntmp);
        return QString();
    }
    return QString();
}

bool Files::syncFd(int fd, FileError *err)
{
    // A file system that cannot sync (EINVAL) or is read-only has nothing to add.
    if (sysFsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        setErr(err, errno);
        return false;
    }
    return true;
}

bool Files::writeFd(int fd, const QByteArray &data, FileError *err, Sync sync)
{
    const char *p = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const long n = sysWrite(fd, p, static_cast<unsigned long>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            setErr(err, errno);
            return false;
        }
        if (n == 0) {
            setErr(err, EIO);
            return false;
        }
        p += n;
        left -= n;
    }
    return sync == Sync::Deferred || syncFd(fd, err);
}

bool Files::writeNewFile(const QByteArray &path, const QByteArray &data, int flags, FileError *err, Sync sync)
{
    const int fd = sysOpen(path, O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0666);
    if (fd < 0) {
        setErr(err, errno);
        return false;
    }
    bool ok = writeFd(fd, data, err, sync);
    if (sysClose(fd) != 0 && ok) {
        setErr(err, errno);
        ok = false;
    }
    return ok;
}

bool Files::copyNoOverwrite(const QString &src, const QString &dst, FileError *err)
{
    if (exists(dst)) {
        setErr(err, EEXIST);
        return false;
    }
    const auto data = readAll(src, err);
    if (!data)
        return false;
    return publishExclusive(dst, *data, err) == PublishResult::Published;
}

bool Files::writeWhole(const QString &path, const QByteArray &data, FileError *errOut,
                       const QStringList &durableFirst)
{
    FileError own;
    FileError *err = errOut ? errOut : &own;
    const QString tmp = writeFreshTemp(dirOf(path), data, err, Sync::Deferred);
    const QByteArray ntmp = native(tmp);
    bool written = !tmp.isEmpty();
    // One sync for the new contents and the files they rely on.
    QStringList toSync = durableFirst;
    if (written)
        toSync.append(tmp);
    const std::vector<FileError> synced = syncFiles(toSync);
    for (qsizetype i = 0; i < durableFirst.size(); ++i) {
        if (synced[size_t(i)].code != 0) {
            sysUnlink(ntmp);
            *err = synced[size_t(i)];
            err->path = durableFirst[i];
            return false;
        }
    }
    if (written && synced.back().code != 0) {
        written = false;
        *err = synced.back();
    }
    if (written) {
        // Another client may hold the file open on the server: retry briefly.
        for (int attempt = 0; attempt < 5; ++attempt) {
            if (sysRename(ntmp, native(path)) == 0)
                return true;
            if (errno != EBUSY && errno != EACCES && errno != EPERM && errno != ETXTBSY)
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        sysUnlink(ntmp);
    } else {
        sysUnlink(ntmp);
        // No room for a second copy or no temporary file allowed: do not
        // touch the old file.
        if (err->code == ENOSPC || err->code == EDQUOT || err->code == EIO)
            return false;
    }
    // The rename was refused: rewrite in place.
    FileError inPlace;
    if (writeNewFile(native(path), data, O_TRUNC, &inPlace))
        return true;
    *err = inPlace;
    return false;
}

PublishResult Files::createExclusive(const QString &path, const QByteArray &data, FileError *err, Sync sync)
{
    const QByteArray np = native(path);
    const int fd = sysOpen(np, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int e = errno;
        setErr(err, e);
        return e == EEXIST ? PublishResult::Exists : PublishResult::Failed;
    }
    bool ok = writeFd(fd, data, err, sync);
    if (sysClose(fd) != 0 && ok) {
        setErr(err, errno);
        ok = false;
    }
    if (!ok) {
        sysUnlink(np);
        return PublishResult::Failed;
    }
    return PublishResult::Published;
}

PublishResult Files::publishExclusive(const QString &path, const QByteArray &data, FileError *err)
{
    const QString tmp = writeTemp(dirOf(path), data, err);
    if (tmp.isEmpty())
        return PublishResult::Failed;
    const PublishResult result = linkExclusive(tmp, path, data, err);
    sysUnlink(native(tmp));
    return result;
}

QString Files::writeTemp(const QString &dir, const QByteArray &data, FileError *errOut, Sync sync)
{
    FileError own;
    return writeFreshTemp(dir, data, errOut ? errOut : &own, sync);
}

PublishResult Files::linkExclusive(const QString &tmp, const QString &path, const QByteArray &data, FileError *err)
{
    if (sysLink(native(tmp), native(path)) == 0)
        return PublishResult::Published;
    const int e = errno;
    if (e == EEXIST) {
        setErr(err, e);
        return PublishResult::Exists;
    }
    if (e == EPERM || e == EOPNOTSUPP || e == ENOSYS || e == EXDEV || e == EMLINK)
        return createExclusive(path, data, err);
    setErr(err, e);
    return PublishResult::Failed;
}

std::vector<FileError> Files::syncFiles(const QStringList &paths)
{
    // One syncfs() writes each file system back at once; the fsync() of each
    // file that follows then costs next to nothing on a local disk. That
    // fsync() is what tells: it reports the file's own write-back error, and
    // on a network share it is the call that reaches the server's disk
    // (syncfs() does not). A failed syncfs() only costs time. A single file
    // is cheaper with its fsync() alone.
    if (paths.size() > 1) {
        QStringList dirs;
        for (const QString &p : paths)
            if (!dirs.contains(dirOf(p)))
                dirs.append(dirOf(p));
        for (const QString &dir : dirs) {
            const int fd = sysOpen(native(dir), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
            if (fd >= 0) {
                sysSyncfs(fd);
                sysClose(fd);
            }
        }
    }
    std::vector<FileError> result(size_t(paths.size()));
    for (qsizetype i = 0; i < paths.size(); ++i) {
        // Opened for writing: an SMB client sends no flush to the server
        // through a handle that can only read.
        const int fd = sysOpen(native(paths[i]), O_WRONLY | O_CLOEXEC, 0);
        if (fd < 0) {
            setErr(&result[size_t(i)], errno);
            continue;
        }
        syncFd(fd, &result[size_t(i)]);
        sysClose(fd);
    }
    return result;
}

bool Files::append(const QString &path, const QByteArray &data, FileError *err)
{
    return writeNewFile(native(path), data, O_APPEND, err);
}

bool Files::overwrite(const QString &path, const QByteArray &data, FileError *err)
{
    return writeNewFile(native(path), data, O_TRUNC, err, Sync::Deferred);
}

int Files::sysOpen(const QByteArray &path, int flags, int mode) { return ::open(path.constData(), flags, mode); }
long Files::sysWrite(int fd, const char *data, unsigned long len) { return ::write(fd, data, len); }
int Files::sysFsync(int fd) { return ::fsync(fd); }
int Files::sysSyncfs(int fd) { return ::syncfs(fd); }
int Files::sysClose(int fd) { return ::close(fd); }
int Files::sysRename(const QByteArray &from, const QByteArray &to) { return ::rename(from.constData(), to.constData()); }
int Files::sysLink(const QByteArray &from, const QByteArray &to) { return ::link(from.constData(), to.constData()); }
int Files::sysUnlink(const QByteArray &path) { return ::unlink(path.constData()); }

} // namespace nv
