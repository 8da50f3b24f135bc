#include "directory/user_rec.h"

#include "store/short_string.h"

namespace nv {

using namespace user_rec_layout;

QByteArray encodeUserRec(const TUserRec &rec)
{
    QByteArray out(kUserRecSize, '\0');
    writeShortString(out, VersionAt, VersionLen, kUserRecVersion);
    writeShortString(out, UserNameAt, UserNameLen, rec.UserName);
    writeShortString(out, PrivilegeAt, PrivilegeLen, rec.Privilege);
    writeShortString(out, PasswordAt, PasswordLen, rec.Password);
    writeShortString(out, UsePasswordAt, UsePasswordLen, rec.UsePassword);
    return out;
}

TUserRec decodeUserRec(const char *p)
{
    TUserRec r;
    r.Version = readShortString(p, kUserRecSize, VersionAt, VersionLen);
    r.UserName = readShortString(p, kUserRecSize, UserNameAt, UserNameLen);
    r.Privilege = readShortString(p, kUserRecSize, PrivilegeAt, PrivilegeLen);
    r.Password = readShortString(p, kUserRecSize, PasswordAt, PasswordLen);
    r.UsePassword = readShortString(p, kUserRecSize, UsePasswordAt, UsePasswordLen);
    return r;
}

bool hasCurrentUserVersion(const char *p)
{
    return p[VersionAt] == 3 && p[VersionAt + 1] == '3' && p[VersionAt + 2] == '.' && p[VersionAt + 3] == '0';
}

TUserRec fittedUserRec(const TUserRec &rec)
{
    const QByteArray bytes = encodeUserRec(rec);
    return decodeUserRec(bytes.constData());
}

PrivilegeLevel privilegeLevel(const QString &privilege)
{
    if (privilege == QLatin1String("0"))
        return PrivilegeLevel::Admin;
    if (privilege == QLatin1String("1"))
        return PrivilegeLevel::Standard;
    return PrivilegeLevel::ReadOnly;
}

} // namespace nv
