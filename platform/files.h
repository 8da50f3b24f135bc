#pragma once
// Every file call of the program goes through Files, so that tests can inject
// failures (a write that fails with EIO or ENOSPC, a refused rename, a file
// server without hard links) and check that nothing is lost.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace nv {

struct FileError {
    int code = 0;      // errno
    QString text;      // strerror, for messages
    QString path;      // the file it is about, where a call handles several
};

enum class PublishResult { Published, Exists, Failed };

// Now: a file is synced before the call that writes it returns. Deferred:
// it is only written; the caller makes it durable with syncFiles() before
// anything that relies on it can be seen, so that many files share one sync.
enum class Sync { Now, Deferred };

class Files {
public:
    Files() = default;
    virtual ~Files() = default;
    Files(const Files &) = delete;
    Files &operator=(const Files &) = delete;

    // Paths are joined with the native separator; one trailing separator of a
    // directory setting is dropped elsewhere.
    static QString join(const QString &dir, const QString &name);

    bool exists(const QString &path) const;
    bool isDir(const QString &path) const;
    bool isFile(const QString &path) const;

    // Names (not paths) in dir that match pattern ('*' and '?'), ASCII letter
    // case ignored, sorted by name. Directories are left out.
    QStringList find(const QString &dir, const QString &pattern) const;
    static bool matchPattern(const QString &pattern, const QString &name);

    bool mkpath(const QString &dir, FileError *err = nullptr);

    std::optional<QByteArray> readAll(const QString &path, FileError *err = nullptr) const;
    std::optional<qint64> size(const QString &path) const;
    std::optional<QDateTime> lastModified(const QString &path) const; // local time

    bool remove(const QString &path, FileError *err = nullptr);
    bool rename(const QString &from, const QString &to, FileError *err = nullptr);

    // Copies src to dst; fails when dst exists. The copy is written under a
    // temporary name and linked into place, so a half copy never shows.
    bool copyNoOverwrite(const QString &src, const QString &dst, FileError *err = nullptr);

    // Rewrites a file whole: temporary file in the same directory, sync,
    // rename over the old one. Where the rename is refused, retries briefly
    // and then rewrites in place. durableFirst names files written with
    // Sync::Deferred that the new contents rely on (the text file a new
    // record names): they share the sync and are durable before the new
    // contents show; when one of them is not, the old file stays and
    // err->path names it.
    bool writeWhole(const QString &path, const QByteArray &data, FileError *err = nullptr,
                    const QStringList &durableFirst = {});

    // Creates a new file that must not exist yet (O_CREAT|O_EXCL) and writes it.
    // On a failed write the partial file is removed.
    PublishResult createExclusive(const QString &path, const QByteArray &data, FileError *err = nullptr,
                                  Sync sync = Sync::Now);

    // Publishes a whole file under a name that must not exist yet: written and
    // synced under a temporary name no search pattern matches, then link()ed to
    // its final name. Without hard links, falls back to createExclusive.
    // The two steps on their own: writeTemp, then linkExclusive.
    PublishResult publishExclusive(const QString &path, const QByteArray &data, FileError *err = nullptr);

    // Writes data under a fresh temporary name in dir (tempName). Returns
    // that path, or "" with err set and nothing left behind.
    QString writeTemp(const QString &dir, const QByteArray &data, FileError *err = nullptr, Sync sync = Sync::Now);

    // Links the whole, durable temporary file tmp to path, which must not
    // exist yet: Exists when it does. Without hard links, path is created
    // exclusively with data instead. tmp stays; the caller removes it.
    PublishResult linkExclusive(const QString &tmp, const QString &path, const QByteArray &data,
                                FileError *err = nullptr);

    // Makes files written with Sync::Deferred durable. Returns one entry per
    // path, in order: code 0 when that file is durable, else its error.
    std::vector<FileError> syncFiles(const QStringList &paths);

    // Appends to a file, creating it when missing.
    bool append(const QString &path, const QByteArray &data, FileError *err = nullptr);

    // Creates or truncates a file and writes it, without a sync: for files
    // whose time is what counts and whose loss costs nothing (presence stamps).
    bool overwrite(const QString &path, const QByteArray &data, FileError *err = nullptr);

    // A fresh temporary name ("~t" + random + ".tmq") in dir.
    QString tempName(const QString &dir);

protected:
    // The system primitives; a test implementation overrides them to fail.
    virtual int sysOpen(const QByteArray &path, int flags, int mode);
    virtual long sysWrite(int fd, const char *data, unsigned long len);
    virtual int sysFsync(int fd);
    virtual int sysSyncfs(int fd);
    virtual int sysClose(int fd);
    virtual int sysRename(const QByteArray &from, const QByteArray &to);
    virtual int sysLink(const QByteArray &from, const QByteArray &to);
    virtual int sysUnlink(const QByteArray &path);

private:
    // Writes data under a fresh temporary name in dir; "" on failure (err set).
    QString writeFreshTemp(const QString &dir, const QByteArray &data, FileError *err, Sync sync);
    bool syncFd(int fd, FileError *err);
    bool writeFd(int fd, const QByteArray &data, FileError *err, Sync sync);
    bool writeNewFile(const QByteArray &path, const QByteArray &data, int flags, FileError *err,
                      Sync sync = Sync::Now);
};

QString errorText(const FileError &err);

} // namespace nv
