#include "store/naming.h"

#include "platform/clock.h"
#include "platform/codec.h"
#include "store/helpers.h"
#include "store/msg_info_rec.h"

#include <cerrno>
#include <cstring>

namespace nv {

namespace {

constexpr std::uint32_t kNameRange = 100000000;
// Draws before giving up on finding a free name; with 10^8 names a clash is
// already rare, so this only ends a loop against a broken generator.
constexpr int kMaxDraws = 1000;
// Exclusive creations tried before a text file is given up.
constexpr int kMaxCreates = 20;

FileError makeError(int code)
{
    return FileError{code, QString::fromLocal8Bit(std::strerror(code)), QString()};
}

} // namespace

QString NewMsgFileName(Random &random, Files &files, const QString &dir)
{
    QString name;
    for (int i = 0; i < kMaxDraws; ++i) {
        name = QString::number(random.below(kNameRange)) + QStringLiteral(".tms");
        if (!files.exists(Files::join(dir, name)))
            break;
    }
    return name;
}

QString queueInfoName(const QString &user, int n)
{
    return user + QStringLiteral(".m") + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

bool isQueueableUser(const QString &user)
{
    const QString u = CutAtNul(user);
    return !u.isEmpty() && !u.contains(QLatin1Char('/')) && !u.contains(QLatin1Char('\\'));
}

QString QueueFileName(Files &files, const QString &queueDir, const QString &user)
{
    if (!isQueueableUser(user))
        return QString();
    const QString u = CutAtNul(user);
    for (int n = 1; n <= kMaxQueueFiles; ++n) {
        const QString path = Files::join(queueDir, queueInfoName(u, n));
        if (!files.exists(path))
            return path;
    }
    return QString();
}

QueuePublish PrepareQueueInfoFile(Files &files, const QString &queueDir, const QString &user, const TMsgInfoRec &rec,
                                  Sync sync, PreparedInfoFile *prepared)
{
    if (!isQueueableUser(user))
        return QueuePublish{QueuePublish::Failed, Files::join(queueDir, queueInfoName(user, 1)), makeError(EINVAL)};
    const QString u = CutAtNul(user);
    const QByteArray bytes = encodeMsgInfoRec(rec);
    for (int n = 1; n <= kMaxQueueFiles; ++n) {
        const QString path = Files::join(queueDir, queueInfoName(u, n));
        if (files.exists(path))
            continue;
        FileError err;
        const QString tmp = files.writeTemp(queueDir, bytes, &err, sync);
        if (tmp.isEmpty())
            return QueuePublish{QueuePublish::Failed, path, err};
        *prepared = PreparedInfoFile{u, n, tmp, bytes};
        return QueuePublish{QueuePublish::Published, path, {}};
    }
    return QueuePublish{QueuePublish::QueueFull, QString(), {}};
}

QueuePublish PublishQueueInfoFile(Files &files, const QString &queueDir, const PreparedInfoFile &prepared)
{
    QueuePublish result{QueuePublish::QueueFull, QString(), {}};
    for (int n = prepared.number; n <= kMaxQueueFiles; ++n) {
        const QString path = Files::join(queueDir, queueInfoName(prepared.user, n));
        if (files.exists(path))
            continue;
        FileError err;
        const PublishResult r = files.linkExclusive(prepared.tempPath, path, prepared.bytes, &err);
        if (r == PublishResult::Exists)
            continue; // another sender took this number a moment ago
        result = r == PublishResult::Published ? QueuePublish{QueuePublish::Published, path, {}}
                                               : QueuePublish{QueuePublish::Failed, path, err};
        break;
    }
    files.remove(prepared.tempPath);
    return result;
}

QueuePublish WriteQueueInfoFile(Files &files, const QString &queueDir, const QString &user, const TMsgInfoRec &rec)
{
    PreparedInfoFile prepared;
    const QueuePublish written = PrepareQueueInfoFile(files, queueDir, user, rec, Sync::Now, &prepared);
    if (written.status != QueuePublish::Published)
        return written;
    return PublishQueueInfoFile(files, queueDir, prepared);
}

QByteArray textFileBytes(const QStringList &lines)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += toAnsi(line);
        out += "\r\n";
    }
    return out;
}

NewTextFile CreateNewTextFile(Random &random, Files &files, const QString &dir, const QByteArray &body, Sync sync)
{
    NewTextFile out;
    for (int i = 0; i < kMaxCreates; ++i) {
        out.name = NewMsgFileName(random, files, dir);
        out.path = Files::join(dir, out.name);
        switch (files.createExclusive(out.path, body, &out.error, sync)) {
        case PublishResult::Published:
            out.ok = true;
            return out;
        case PublishResult::Exists:
            continue; // created by someone else between the check and now
        case PublishResult::Failed:
            return out;
        }
    }
    out.error = makeError(EEXIST);
    return out;
}

std::optional<QString> WriteNewTextFile(Random &random, Files &files, const QString &dir, const QByteArray &body,
                                        FileError *err)
{
    const NewTextFile t = CreateNewTextFile(random, files, dir, body);
    if (t.ok)
        return t.name;
    if (err)
        *err = t.error;
    return std::nullopt;
}

} // namespace nv
