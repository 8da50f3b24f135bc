#include "mainwin/presence.h"

#include "mainwin/context.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace nv {

namespace {

// A name holding a separator never becomes a path: its file counts as missing.
bool usableName(const QString &user)
{
    return !user.isEmpty() && !user.contains(QLatin1Char('/')) && !user.contains(QLatin1Char('\\')) &&
           !user.contains(QChar(0)) && user != QLatin1String(".") && user != QLatin1String("..");
}

bool ensureActivityDir(Context &ctx)
{
    const QString dir = ctx.activityDir();
    if (!ctx.files.isDir(dir))
        ctx.files.mkpath(dir);
    return ctx.files.isDir(dir);
}

} // namespace

qint64 clockMinute(const QDateTime &local)
{
    const QTime t = local.time();
    return local.date().toJulianDay() * 1440 + t.hour() * 60 + t.minute();
}

QString activityFilePath(const Context &ctx, const QString &user)
{
    return Files::join(ctx.activityDir(), user + QStringLiteral(".dat"));
}

void StampActivityFile(Context &ctx)
{
    const QString &user = ctx.settings.UserName;
    if (ctx.ServerDir.isEmpty() || user.isEmpty())
        return;
    if (!ensureActivityDir(ctx)) {
        ctx.ui.plain(QStringLiteral("Error 0029: Unable to create User Activity directory!"));
        return;
    }
    if (!usableName(user))
        return;
    const QString path = activityFilePath(ctx, user);
    if (!ctx.files.overwrite(path, QByteArrayLiteral("XX")))
        ctx.ui.plain(QStringLiteral("Error encountered in NvMainForm.StampActivityFile(): Unable to write activity file: \"") +
                     path + QStringLiteral("\"."));
}

bool UserLoggedIn(Context &ctx, const QString &user)
{
    const QDateTime now = ctx.clock.now();
    if (!ensureActivityDir(ctx)) {
        ctx.ui.plain(QStringLiteral("Error 0019: Unable to create User Activity directory!"));
        return false;
    }
    if (!usableName(user))
        return false;
    const auto stamp = ctx.files.lastModified(activityFilePath(ctx, user));
    if (!stamp)
        return false;
    return clockMinute(now) - clockMinute(stamp->toLocalTime()) <= ctx.settings.PresenceWindow;
}

} // namespace nv
