#include "directory/user_conversions.h"

#include "directory/name_order.h"
#include "directory/server_files.h"
#include "directory/user_rec.h"
#include "mainwin/context.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "store/short_string.h"

namespace nv {

namespace {

const QString kDataNotSaved = QStringLiteral("\".  Data was not saved.");

// Version 2.8.
const QString k28Access = QStringLiteral("Error 0040: File access error on ver 2.8 User file");
const QString k28NewFile = QStringLiteral("Error in NvCommon.ConvertOldUserFile28(): Unable to write to new user file: \"");
const QString k28Record = QStringLiteral("Error 0041: Unable to convert ver. 2.8 User file.");
const QString k28FlagNoLogin = QStringLiteral(
    "New in this version of Norvane, each username has it's own flag to specify whether a password is required to "
    "connect as that user or not.  Initially, all usernames will be set to NOT require a password.");
const QString k28FlagLogin = QStringLiteral(
    "New in this version of Norvane, each username has it's own flag to specify whether a password is required to "
    "connect as that user or not.  Initially, all usernames will be set to REQUIRE a password.");
const QString k28Levels = QStringLiteral(
    "Also new in this version of Norvane, there are now 3 user privilege levels: 0=Admin, 1=Standard, and "
    "2=ReadOnly.  Only Admin users are allowed to add, modify, and delete users and groups.  Standard level users "
    "(formerly called \"Managers\") can send and receive messages.  ReadOnly users (formerly called \"Employees\") can "
    "only read messages, not send them.  To make sure that you have at least one user that can modify the user and "
    "group settings, we will now create an Admin level user named \"Admin\".  If a user named \"Admin\" already "
    "exists, it will be given Admin privilege.  In a moment, you will be prompted to set the password for the Admin "
    "user (remember, passwords are case sensitive).");
const QString k28PasswordSet = QStringLiteral("The password for the Admin account has been set.");
const QString k28PasswordKept =
    QStringLiteral("The password for the Admin account will remain as you previously set it.");
const QString k28PasswordLast = QStringLiteral("If you do not set the password for the Admin account now, a password "
                                               "of \"Korvu\" will be assigned for you.");
const QString k28PasswordDefault = QStringLiteral("The password for the Admin account has been set to \"Korvu\".");
const QString k28RenameOld = QStringLiteral("Error 0042: Unable to rename old user file.");
const QString k28RenameNew = QStringLiteral("Error 0043: Unable to rename new user file.");

// Version 01.
const QString k01Access = QStringLiteral("Error 0020: File access error on User file");
const QString k01NewFile = QStringLiteral("Error in NvCommon.ConvertUserFile01(): Unable to write to new users file: \"");
const QString k01Record = QStringLiteral("Error 0021: Unable to convert User file.");
const QString k01Intro = QStringLiteral(
    "This conversion will add privilege levels and passwords for each user.  The two privilege levels are "
    "\"Manager\" and \"Employee\".  Managers have full access to all features of Norvane.  Employees are not able to "
    "send or reply to messages.");
const QString k01LevelQuestion = QStringLiteral(
    "To initially set all current users to the Manager level, press the YES button.  To initially set all users to "
    "the Employee level, press the NO button.  After the conversion, you will be able to go in and individually "
    "change any user's privilege level");
const QString k01Managers = QStringLiteral("Initial privilege levels for each user will be set to Manager.");
const QString k01Employees1 =
    QStringLiteral("Initial privilege levels for each user will be set to Employee, except for user --");
const QString k01Employees2 = QStringLiteral("--.  That user will be set to Manager.  Use that user ID to go in and "
                                             "change the privilege levels of everyone else.");
const QString k01LoginQuestion = QStringLiteral(
    "The User Login feature forces each user to enter their ID and password each time Norvane is started.  Would "
    "you like to activate the User Login feature?");
const QString k01LoginOn = QStringLiteral(
    "Initial passwords for each user will be set to the same as their User Name.  NOTE: Passwords are case "
    "sensitive!");
const QString k01NoLoginsFile =
    QStringLiteral("Error in NvCommon.ConvertUserFile01(): Unable to write to login file: \"");
const QString k01LoginOff = QStringLiteral(
    "The User Login feature has been disabled.  To have it turned back on, please contact your Norvane vendor's "
    "support desk.");
const QString k01RenameOld = QStringLiteral("Error 0022: Unable to rename old user file.");
const QString k01RenameNew = QStringLiteral("Error 0023: Unable to rename new user file.");

const QString kAdminName = QStringLiteral("Admin");
const QString kAdminLevel = QStringLiteral("0");
const QString kYes = QStringLiteral("Y");
const QString kNo = QStringLiteral("N");

enum class Result28 {
    Converted,
    Unreadable, // the file could not be read as 2.8 records: version 01 may be tried
    Failed,     // stopped later: trying version 01 on a 2.8 file would only garble it
};

bool isAdminName(const QString &name) { return nameSortKey(name) == "ADMIN"; }

bool askAdminPassword(Context &ctx, QString &password)
{
    if (!ctx.enterAdminPassword)
        return false;
    QString entered;
    if (!ctx.enterAdminPassword(entered))
        return false;
    password = entered;
    return true;
}

// Puts the converted file in place of the old one, the old one having been
// moved to backup (when movedOld). When that fails, the old file goes back,
// so the network directory is never left without a users file.
bool putConvertedInPlace(Context &ctx, const QString &newPath, const QString &path, const QString &backup,
                         bool movedOld)
{
    if (ctx.files.rename(newPath, path))
        return true;
    if (movedOld && !ctx.files.exists(path))
        renameNoReplace(ctx.files, backup, path);
    return false;
}

Result28 convert28(Context &ctx, const QString &path)
{
    FileError err;
    const auto data = ctx.files.readAll(path, &err);
    if (!data && !isReadFailure(err)) {
        ctx.ui.error(k28Access);
        return Result28::Unreadable;
    }
    const bool noLogins = ctx.files.exists(serverFilePath(ctx, kNoLoginsFileName));
    const QString newPath = serverFilePath(ctx, kNewUsersFileName);
    // Created now, written whole at the end: a directory that takes no file
    // is found before anyone is asked anything.
    if (!rewriteWhole(ctx.files, newPath, QByteArray())) {
        ctx.ui.error(k28NewFile + newPath + kDataNotSaved);
        return Result28::Failed;
    }
    if (!data) {
        ctx.ui.error(k28Record);
        return Result28::Unreadable;
    }

    QByteArray out;
    bool adminFound = false;
    const qsizetype count = data->size() / kOldUserRec28Size; // a trailing partial record is not read
    for (qsizetype i = 0; i < count; ++i) {
        const char *old = data->constData() + i * kOldUserRec28Size;
        TUserRec rec;
        rec.UserName = readShortString(old, kOldUserRec28Size, 0, 16);
        rec.Password = readShortString(old, kOldUserRec28Size, 20, 16);
        const bool isAdmin = isAdminName(rec.UserName);
        if (isAdmin) {
            rec.Privilege = kAdminLevel;
            adminFound = true;
        } else {
            rec.Privilege = readShortString(old, kOldUserRec28Size, 17, 2);
        }
        if (i == 0) {
            ctx.ui.plain(noLogins ? k28FlagNoLogin : k28FlagLogin);
            ctx.ui.plain(k28Levels);
        }
        rec.UsePassword = noLogins ? kNo : kYes;
        if (isAdmin) {
            QString password;
            if (askAdminPassword(ctx, password)) {
                rec.Password = password;
                rec.UsePassword = kYes;
                ctx.ui.plain(k28PasswordSet);
            } else {
                ctx.ui.plain(k28PasswordKept);
            }
        }
        out += encodeUserRec(rec);
    }

    if (!adminFound) {
        TUserRec admin{kUserRecVersion, kAdminName, kAdminLevel, QString(), kYes};
        QString password;
        if (askAdminPassword(ctx, password)) {
            admin.Password = password;
            ctx.ui.plain(k28PasswordSet);
        } else {
            ctx.ui.plain(k28PasswordLast);
            if (askAdminPassword(ctx, password)) {
                admin.Password = password;
                ctx.ui.plain(k28PasswordSet);
            } else {
                admin.Password = kDefaultAdminPassword;
                ctx.ui.plain(k28PasswordDefault);
            }
        }
        out += encodeUserRec(admin);
    }

    if (!rewriteWhole(ctx.files, newPath, out)) {
        ctx.ui.error(k28NewFile + newPath + kDataNotSaved);
        return Result28::Failed;
    }

    // An older "users28.dat" is kept; the file converted now is replaced
    // by its conversion.
    const QString backup = serverFilePath(ctx, kUsers28FileName);
    bool movedOld = false;
    if (!ctx.files.exists(backup)) {
        if (!renameNoReplace(ctx.files, path, backup)) {
            ctx.ui.error(k28RenameOld);
            return Result28::Failed;
        }
        movedOld = true;
    }
    if (!putConvertedInPlace(ctx, newPath, path, backup, movedOld)) {
        ctx.ui.error(k28RenameNew);
        return Result28::Failed;
    }
    return Result28::Converted;
}

bool convert01(Context &ctx, const QString &path)
{
    FileError err;
    const auto data = ctx.files.readAll(path, &err);
    if (!data && !isReadFailure(err)) {
        ctx.ui.error(k01Access);
        return false;
    }
    const QString newPath = serverFilePath(ctx, kNewUsersFileName);
    if (!rewriteWhole(ctx.files, newPath, QByteArray())) {
        ctx.ui.error(k01NewFile + newPath + kDataNotSaved);
        return false;
    }
    if (!data) {
        ctx.ui.error(k01Record);
        return false;
    }

    QByteArray out;
    QString otherLevel;
    QString usePassword;
    const qsizetype count = data->size() / kOldUserRec01Size;
    for (qsizetype i = 0; i < count; ++i) {
        const char *old = data->constData() + i * kOldUserRec01Size;
        TUserRec rec;
        rec.UserName = readShortString(old, kOldUserRec01Size, 0, 16);
        rec.Password = rec.UserName;
        if (i == 0) {
            ctx.ui.information(k01Intro);
            if (ctx.ui.askYesNo(MsgKind::Confirmation, k01LevelQuestion)) {
                ctx.ui.information(k01Managers);
                otherLevel = QStringLiteral("1");
            } else {
                ctx.ui.information(k01Employees1 + rec.UserName + k01Employees2);
                otherLevel = QStringLiteral("2");
            }
            if (ctx.ui.askYesNo(MsgKind::Confirmation, k01LoginQuestion)) {
                ctx.ui.information(k01LoginOn);
                usePassword = kYes;
            } else {
                const QString noLogins = serverFilePath(ctx, kNoLoginsFileName);
                if (!rewriteWhole(ctx.files, noLogins, QByteArray()))
                    ctx.ui.error(k01NoLoginsFile + noLogins + kDataNotSaved);
                ctx.ui.information(k01LoginOff);
                usePassword = kNo;
            }
            rec.Privilege = QStringLiteral("1");
        } else {
            rec.Privilege = otherLevel;
        }
        rec.UsePassword = usePassword;
        out += encodeUserRec(rec);
    }

    if (!rewriteWhole(ctx.files, newPath, out)) {
        ctx.ui.error(k01NewFile + newPath + kDataNotSaved);
        return false;
    }
    // An older "users01.dat" is never replaced.
    const QString backup = serverFilePath(ctx, kUsers01FileName);
    if (!renameNoReplace(ctx.files, path, backup)) {
        ctx.ui.error(k01RenameOld);
        return false;
    }
    if (!putConvertedInPlace(ctx, newPath, path, backup, true)) {
        ctx.ui.error(k01RenameNew);
        return false;
    }
    return true;
}

bool plausible28(const QByteArray &bytes)
{
    const qsizetype count = bytes.size() / kOldUserRec28Size;
    for (qsizetype i = 0; i < count; ++i) {
        const char *rec = bytes.constData() + i * kOldUserRec28Size;
        const int len = static_cast<unsigned char>(rec[17]);
        if (len < 1 || len > 2)
            return false;
        for (int k = 0; k < len; ++k)
            if (rec[18 + k] < '0' || rec[18 + k] > '9')
                return false;
    }
    return true;
}

} // namespace

OldUsersLayout guessOldUsersLayout(const QByteArray &fileBytes)
{
    const qsizetype n = fileBytes.size();
    const bool by17 = n % kOldUserRec01Size == 0;
    const bool by37 = n % kOldUserRec28Size == 0;
    if (n > 0 && by17 && (!by37 || !plausible28(fileBytes)))
        return OldUsersLayout::Version01;
    return OldUsersLayout::Version28;
}

bool ConvertOldUserFile28(Context &ctx, const QString &path) { return convert28(ctx, path) == Result28::Converted; }

bool ConvertUserFile01(Context &ctx, const QString &path)
{
    const auto data = ctx.files.readAll(path);
    if (!data || guessOldUsersLayout(*data) == OldUsersLayout::Version28) {
        switch (convert28(ctx, path)) {
        case Result28::Converted: return true;
        case Result28::Failed: return false;
        case Result28::Unreadable: break;
        }
    }
    return convert01(ctx, path);
}

bool ConvertUserFile(Context &ctx, const QString &path, const QString &version)
{
    Q_UNUSED(version); // every older version goes the same way
    return ConvertUserFile01(ctx, path);
}

} // namespace nv
