#include "directory/users.h"

#include "directory/name_order.h"
#include "directory/server_files.h"
#include "directory/user_conversions.h"
#include "mainwin/context.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace nv {

namespace {

const QString kUsersAccess = QStringLiteral("Error in LoadUsers(): File access error on User file");
const QString kUsersAccess01 = QStringLiteral("Error in LoadUsers(): File access error on User file version 01");
const QString kUsersAccessNew = QStringLiteral("Error in LoadUsers(): File access error on new User file version ");
constexpr int kUsersAccessNewMax = 70;
const QString kConvertNow = QStringLiteral("Your Norvane User file must be converted to the new format before you "
                                           "can continue.  Convert it now?");
const QString kSettingsSaveFailed = QStringLiteral("Error encountered in SaveUsers(): Unable to open the \"users.dat\" "
                                                   "file for writing.  Changes were not saved.");
const QString kEditSaveFailed1 = QStringLiteral("Error in EditUser.SaveUsers(): Unable to write to user file: \"");
const QString kEditSaveFailed2 = QStringLiteral("\".  Data was not saved.");

// Which opening of the file a failure belongs to.
enum class Pass { First, AfterConvert01, AfterConvertVersion };

bool writeUsersFile(Context &ctx, const QString &path)
{
    if (path.isEmpty())
        return false;
    QByteArray data;
    data.reserve(qsizetype(ctx.UsersArr.size()) * kUserRecSize);
    for (const TUserRec &u : ctx.UsersArr)
        data += encodeUserRec(u);
    return rewriteWhole(ctx.files, path, data);
}

} // namespace

QString usersFilePath(const Context &ctx) { return serverFilePath(ctx, kUsersFileName); }

bool isOlderUsersLayout(const QByteArray &fileBytes)
{
    const qsizetype count = fileBytes.size() / kUserRecSize;
    if (count == 0)
        return false;
    for (qsizetype i = 0; i < count; ++i)
        if (hasCurrentUserVersion(fileBytes.constData() + i * kUserRecSize))
            return false;
    return true;
}

bool isOlderUsersLayout(const Context &ctx)
{
    const QString path = usersFilePath(ctx);
    if (path.isEmpty() || !ctx.files.isFile(path))
        return false;
    const auto data = ctx.files.readAll(path);
    return data && isOlderUsersLayout(*data);
}

bool LoadUsers(Context &ctx)
{
    ctx.UsersArr.clear();
    ctx.CurUserIdx = -1;
    if (!dirIsSet(ctx.ServerDir)) {
        ctx.NoUsersFlag = true;
        return true;
    }
    const QString path = usersFilePath(ctx);
    if (!ctx.files.isFile(path)) {
        ctx.NoUsersFlag = true;
        return true;
    }

    Pass pass = Pass::First;
    QString oldVersion; // the version text of the file converted
    const auto openFailed = [&ctx, &pass, &oldVersion]() {
        ctx.UsersArr.clear();
        switch (pass) {
        case Pass::First: ctx.ui.error(kUsersAccess); break;
        case Pass::AfterConvert01: ctx.ui.error(kUsersAccess01); break;
        case Pass::AfterConvertVersion: ctx.ui.error((kUsersAccessNew + oldVersion).left(kUsersAccessNewMax)); break;
        }
        return false;
    };

    for (;;) {
        ctx.UsersArr.clear();
        FileError err;
        const auto data = ctx.files.readAll(path, &err);
        if (!data) {
            // After a conversion the file must read as converted: asking
            // again would convert again without end.
            if (!isReadFailure(err) || pass != Pass::First)
                return openFailed();
            ctx.UsersArr.push_back(TUserRec{QString(), QString(), QString(), QString(), QString()});
            if (ctx.ui.askYesNo(MsgKind::Warning, kConvertNow)) {
                if (!ConvertUserFile01(ctx, path)) {
                    ctx.UsersArr.clear();
                    return false; // the conversion showed why
                }
                pass = Pass::AfterConvert01;
                continue;
            }
            // Declined: the program stops. The entry that failed stays.
            ctx.QuitFlag = true;
            break;
        }
        if (isOlderUsersLayout(*data)) {
            if (pass != Pass::First)
                return openFailed(); // converted, and still not current
            oldVersion = decodeUserRec(data->constData()).Version;
            if (!ConvertUserFile(ctx, path, oldVersion)) {
                ctx.UsersArr.clear();
                return false;
            }
            pass = Pass::AfterConvertVersion;
            continue;
        }
        // A trailing partial record is never read. A record of a current
        // file whose tag was damaged is still a user: it is kept as read.
        const qsizetype count = data->size() / kUserRecSize;
        ctx.UsersArr.reserve(size_t(count));
        for (qsizetype i = 0; i < count; ++i)
            ctx.UsersArr.push_back(decodeUserRec(data->constData() + i * kUserRecSize));
        break;
    }

    if (!ctx.UsersArr.empty()) {
        ctx.NoUsersFlag = false;
        SortUsers(ctx);
    } else {
        ctx.NoUsersFlag = true;
    }
    ctx.CurUserIdx = FindUser(ctx, ctx.settings.UserName);
    return true;
}

void SortUsers(Context &ctx)
{
    sortByName(ctx.UsersArr, [](const TUserRec &u) -> const QString & { return u.UserName; });
}

bool SettingsSaveUsers(Context &ctx)
{
    if (writeUsersFile(ctx, usersFilePath(ctx)))
        return true;
    ctx.ui.plain(kSettingsSaveFailed);
    return false;
}

bool EditUsersSaveUsers(Context &ctx)
{
    const QString path = usersFilePath(ctx);
    if (writeUsersFile(ctx, path))
        return true;
    ctx.ui.error(kEditSaveFailed1 + (path.isEmpty() ? Files::join(ctx.ServerDir, kUsersFileName) : path) +
                 kEditSaveFailed2);
    return false;
}

int FindUser(const Context &ctx, const QString &name)
{
    for (size_t i = 0; i < ctx.UsersArr.size(); ++i)
        if (ctx.UsersArr[i].UserName == name)
            return int(i);
    return -1;
}

void SetCurrentUser(Context &ctx)
{
    ctx.CurUserIdx = FindUser(ctx, ctx.settings.UserName);
    if (ctx.CurUserIdx >= 0)
        ctx.settings.Privilege = ctx.UsersArr[size_t(ctx.CurUserIdx)].Privilege;
}

} // namespace nv
