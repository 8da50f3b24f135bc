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
    return FileError{code, QString::fromLocal8Bit(std::strerror(code))};
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

QueuePublish WriteQueueInfoFile(Files &files, const QString &queueDir, const QString &user, const TMsgInfoRec &rec)
{
    QueuePublish result;
    if (!isQueueableUser(user)) {
        result.status = QueuePublish::Failed;
        result.path = Files::join(queueDir, queueInfoName(user, 1));
        result.error = makeError(EINVAL);
        return result;
    }
    const QString u = CutAtNul(user);
    const QByteArray bytes = encodeMsgInfoRec(rec);
    for (int n = 1; n <= kMaxQueueFiles; ++n) {
        const QString path = Files::join(queueDir, queueInfoName(u, n));
        if (files.exists(path))
            continue;
        FileError err;
        switch (files.publishExclusive(path, bytes, &err)) {
        case PublishResult::Published:
            return QueuePublish{QueuePublish::Published, path, {}};
        case PublishResult::Exists:
            continue; // another sender took this number a moment ago
        case PublishResult::Failed:
            return QueuePublish{QueuePublish::Failed, path, err};
        }
    }
    result.status = QueuePublish::QueueFull;
    return result;
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

std::optional<QString> WriteNewTextFile(Random &random, Files &files, const QString &dir, const QByteArray &body,
                                        FileError *err)
{
    for (int i = 0; i < kMaxCreates; ++i) {
        const QString name = NewMsgFileName(random, files, dir);
        FileError e;
        switch (files.createExclusive(Files::join(dir, name), body, &e)) {
        case PublishResult::Published:
            return name;
        case PublishResult::Exists:
            continue; // created by someone else between the check and now
        case PublishResult::Failed:
            if (err)
                *err = e;
            return std::nullopt;
        }
    }
    if (err)
        *err = makeError(EEXIST);
    return std::nullopt;
}

} // namespace nv
