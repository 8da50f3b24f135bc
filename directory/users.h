#pragma once
// The users list: "users.dat" in the network directory, loaded whole into
// Context::UsersArr, sorted by name, rewritten whole by the two windows that
// edit it.
#include "directory/user_rec.h"

#include <QByteArray>
#include <QString>

namespace nv {

class Context;

inline const QString kUsersFileName = QStringLiteral("users.dat");

// Replaces UsersArr with the users file. A file in an older layout is
// converted first (the conversions talk to the administrator through the Ui
// and the enterAdminPassword hook). True when the list was loaded or there
// was nothing to load (NoUsersFlag then says whether any user was found);
// false after a reported error, a failed conversion included (its own
// message was shown; the conversion is not tried again). QuitFlag is set
// when the administrator declines to convert. CurUserIdx is found anew for
// settings.UserName, since the indexes of the old list mean nothing now.
bool LoadUsers(Context &ctx);

// Orders UsersArr by UserName (see name_order.h).
void SortUsers(Context &ctx);

// The two writers of the users file. Both rewrite it whole from UsersArr in
// list order (temporary file and rename) and leave UsersArr as it is; they
// differ only in the message shown when the file cannot be written.
// SettingsSaveUsers: the settings window, after its "Add User".
bool SettingsSaveUsers(Context &ctx);
// EditUsersSaveUsers: the users administration window, on OK.
bool EditUsersSaveUsers(Context &ctx);

// The index of the user whose name equals name exactly (letter case
// included), or -1.
int FindUser(const Context &ctx, const QString &name);

// CurUserIdx := FindUser(settings.UserName); when found, the user's privilege
// level goes into settings.Privilege.
void SetCurrentUser(Context &ctx);

// Where the users file is (empty when the network directory is not set).
QString usersFilePath(const Context &ctx);

// True for users-file bytes in an older layout, the ones LoadUsers would
// convert: at least one whole record, and no whole record tagged "3.0" (a
// current file with a damaged record is not an older file).
bool isOlderUsersLayout(const QByteArray &fileBytes);
// The same for the users file of the context; false when it cannot be read.
bool isOlderUsersLayout(const Context &ctx);

// What the command line says instead of converting.
inline const QString kOlderUsersLayoutText =
    QStringLiteral("The users file is in an older layout; start the desktop client as an administrator to convert it.");

} // namespace nv
