#pragma once
// TUserRec: one entry of the shared users file "users.dat" and of the users
// list in memory. 45 bytes, no padding, no header in the file; the number of
// users is the file size divided by 45 (a trailing partial record is never
// read).
#include <QByteArray>
#include <QString>

namespace nv {

constexpr int kUserRecSize = 45;
inline const QString kUserRecVersion = QStringLiteral("3.0");

struct TUserRec {
    QString Version = kUserRecVersion; // string[5]
    QString UserName;    // string[16]
    QString Privilege;   // string[2]: "0", "1" or "2"
    QString Password;    // string[16], plain text, compared case-sensitively
    QString UsePassword; // string[1]: "Y" asked at login, "N" not asked

    bool operator==(const TUserRec &) const = default;
};

namespace user_rec_layout {
constexpr int VersionAt = 0, VersionLen = 5;
constexpr int UserNameAt = 6, UserNameLen = 16;
constexpr int PrivilegeAt = 23, PrivilegeLen = 2;
constexpr int PasswordAt = 26, PasswordLen = 16;
constexpr int UsePasswordAt = 43, UsePasswordLen = 1;
} // namespace user_rec_layout

// Exactly kUserRecSize bytes, every value cut to its field, spare bytes zero.
// The tag is always "3.0": the program writes no other layout, and a record
// with another tag would make the older clients convert the whole file.
QByteArray encodeUserRec(const TUserRec &rec);

// p must hold kUserRecSize bytes.
TUserRec decodeUserRec(const char *p);

// The version field is exactly "3.0" (length byte 3 and those characters).
bool hasCurrentUserVersion(const char *p);

// What a record reads back as after a write.
TUserRec fittedUserRec(const TUserRec &rec);

// Privilege levels. Anything but "0" and "1" counts as read-only.
enum class PrivilegeLevel { Admin, Standard, ReadOnly };
PrivilegeLevel privilegeLevel(const QString &privilege);

// Only the exact value "N" lets a user in without a password.
inline bool passwordRequired(const TUserRec &rec) { return rec.UsePassword != QLatin1String("N"); }

} // namespace nv
