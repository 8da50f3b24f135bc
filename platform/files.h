#pragma once
// Every file call of the program goes through Files, so that tests can inject
// failures (a write that fails with EIO or ENOSPC, a refused rename, a file
// server without hard links) and check that nothing is lost.
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace nv {

struct FileError {
    int code = 0;      // errno
    QString text;      // strerror, for messages
};

enum class PublishResult { Published, Exists, Failed };

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
    // and then rewrites in place.
    bool writeWhole(const QString &path, const QByteArray &data, FileError *err = nullptr);

    // Creates a new file that must not exist yet (O_CREAT|O_EXCL) and writes it.
    // On a failed write the partial file is removed.
    PublishResult createExclusive(const QString &path, const QByteArray &data, FileError *err = nullptr);

    // Publishes a whole file under a name that must not exist yet: written and
    // synced under a temporary name no search pattern matches, then link()ed to
    // its final name. Without hard links, falls back to createExclusive.
    PublishResult publishExclusive(const QString &path, const QByteArray &data, FileError *err = nullptr);

    // Appends to a file, creating it when missing.
    bool append(const QString &path, const QByteArray &data, FileError *err = nullptr);

    // A fresh temporary name ("~t" + random + ".tmq") in dir.
    QString tempName(const QString &dir);

protected:
    // The system primitives; a test implementation overrides them to fail.
    virtual int sysOpen(const QByteArray &path, int flags, int mode);
    virtual long sysWrite(int fd, const char *data, unsigned long len);
    virtual int sysFsync(int fd);
    virtual int sysClose(int fd);
    virtual int sysRename(const QByteArray &from, const QByteArray &to);
    virtual int sysLink(const QByteArray &from, const QByteArray &to);
    virtual int sysUnlink(const QByteArray &path);

private:
    bool writeFd(int fd, const QByteArray &data, FileError *err);
    bool writeNewFile(const QByteArray &path, const QByteArray &data, int flags, FileError *err);
    unsigned m_tempCounter = 0;
};

QString errorText(const FileError &err);

} // namespace nv
