#pragma once
// Conversion of the users file from its two older layouts to TUserRec:
// version "01" (TOldUserRec01, 17 bytes: the name only) and version "2.8"
// (TOldUserRec28, 37 bytes: name, level "1" Manager / "2" Employee, password).
// Neither carries a version mark. The converted file is written as
// "newusers.dat", the old file is kept as "users01.dat" or "users28.dat", and
// the new one takes its name. The administrator is told what changes and
// asked for the levels, the login choice and the Admin password.
//
// Every routine reports its own failures and returns whether the path now
// holds a converted file; LoadUsers does not convert again after a failure.
#include <QByteArray>
#include <QString>

namespace nv {

class Context;

constexpr int kOldUserRec01Size = 17;
constexpr int kOldUserRec28Size = 37;

inline const QString kNewUsersFileName = QStringLiteral("newusers.dat");
inline const QString kUsers01FileName = QStringLiteral("users01.dat");
inline const QString kUsers28FileName = QStringLiteral("users28.dat");
inline const QString kNoLoginsFileName = QStringLiteral("nologins.dat");
inline const QString kDefaultAdminPassword = QStringLiteral("Korvu");

// For a users file whose records are not "3.0" (version: the first record's
// version text, for the caller's messages).
bool ConvertUserFile(Context &ctx, const QString &path, const QString &version);

// Converts an older file: as version 2.8 unless the file is recognised as
// version 01, as version 01 when the 2.8 conversion could not open it.
bool ConvertUserFile01(Context &ctx, const QString &path);

// The version-2.8 conversion alone.
bool ConvertOldUserFile28(Context &ctx, const QString &path);

// The older layout a file is in. Version 01 when its size is a multiple of
// 17 but not of 37, or a multiple of both whose 37-byte records do not all
// hold a level of one or two digits; otherwise 2.8 (the older clients always
// tried 2.8 first).
enum class OldUsersLayout { Version01, Version28 };
OldUsersLayout guessOldUsersLayout(const QByteArray &fileBytes);

} // namespace nv
