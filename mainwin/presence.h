#pragma once
// Presence: a running copy rewrites its user's activity file at every poll;
// others judge from the file's time whether that user is logged in.
#include <QDateTime>
#include <QString>

namespace nv {

class Context;

// Rewrites the signed-in user's activity file.
void StampActivityFile(Context &ctx);

// Whether user's activity file was written within PresenceWindow clock
// minutes of now. A stamp later than now (a server clock ahead) counts.
bool UserLoggedIn(Context &ctx, const QString &user);

// The clock minute of a local time, counted from a fixed day, so that the
// hour and the day roll over like any other minute.
qint64 clockMinute(const QDateTime &local);

QString activityFilePath(const Context &ctx, const QString &user);

} // namespace nv
