#include "directory/groups.h"

#include "directory/name_order.h"
#include "directory/server_files.h"
#include "mainwin/context.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "store/helpers.h"
#include "store/short_string.h"

#include <algorithm>

namespace nv {

namespace {

const QString kGroupsDat = QStringLiteral("groups.dat");
const QString kMemberExt = QStringLiteral(".nvg");

const QString kGroupsDatAccess = QStringLiteral("Error in LoadGroups(): File access error on Groups.dat file");
const QString kGroupsDatInvalid = QStringLiteral("Error in LoadGroups(): Invalid Groups.dat file encountered.");
const QString kGroupsDatDelete1 = QStringLiteral("Error in LoadGroups(): Unable to delete \"");
const QString kGroupsDatDelete2 = QStringLiteral("\": ");
const QString kWriteGroup1 = QStringLiteral("Error in NvCommon.WriteGroupFile(): Unable to write to group file: \"");
const QString kWriteGroup2 = QStringLiteral("\".  Data was not saved.");
const QString kMembersAccess = QStringLiteral("Error in LoadMembersArr(): File access error on Group file: ");
const QString kMembersInvalid = QStringLiteral("Error in LoadMembersArr(): Invalid Group file encountered.");

// Writes every entry's members as its member file; true when all were written.
bool ConvertGroupsDat(Context &ctx)
{
    bool all = true;
    // A copy: the entries must not move while the members are written.
    const std::vector<TGroupRec> groups = ctx.GroupsArr;
    for (const TGroupRec &g : groups) {
        SplitMemberList(ctx, g);
        if (!WriteGroupFile(ctx, g.GroupName))
            all = false;
    }
    return all;
}

// The member names of a member file: one a line (ended by LF, CR LF, or the
// end of the file); a name ends at its line's first CR and keeps at most 16
// characters; an empty line is an empty name.
QStringList parseMemberFile(const QByteArray &data)
{
    QStringList out;
    const char *p = data.constData();
    const qsizetype n = data.size();
    qsizetype pos = 0;
    while (pos < n) {
        qsizetype lineEnd = data.indexOf('\n', pos);
        if (lineEnd < 0)
            lineEnd = n;
        qsizetype nameEnd = pos;
        while (nameEnd < lineEnd && p[nameEnd] != '\r')
            ++nameEnd;
        out.append(fromAnsi(p + pos, std::min<qsizetype>(nameEnd - pos, kGroupNameLen)));
        pos = lineEnd + 1;
    }
    return out;
}

} // namespace

QByteArray encodeGroupRec(const TGroupRec &rec)
{
    using namespace group_rec_layout;
    QByteArray out(kGroupRecSize, '\0');
    writeShortString(out, GroupNameAt, GroupNameLen, rec.GroupName);
    writeShortString(out, MemberListAt, MemberListLen, rec.MemberList);
    return out;
}

TGroupRec decodeGroupRec(const char *p)
{
    using namespace group_rec_layout;
    TGroupRec r;
    r.GroupName = readShortString(p, kGroupRecSize, GroupNameAt, GroupNameLen);
    r.MemberList = readShortString(p, kGroupRecSize, MemberListAt, MemberListLen);
    return r;
}

QString memberFilePath(const Context &ctx, const QString &name)
{
    const QString cut = CutAtNul(name);
    if (!nameIsSafeForFile(cut))
        return QString();
    return serverFilePath(ctx, cut + kMemberExt);
}

bool LoadGroups(Context &ctx)
{
    ctx.GroupsArr.clear();
    if (!dirIsSet(ctx.ServerDir))
        return true;

    const QString datPath = serverFilePath(ctx, kGroupsDat);
    if (ctx.files.isFile(datPath)) {
        FileError err;
        const auto data = ctx.files.readAll(datPath, &err);
        if (!data) {
            if (isReadFailure(err))
                ctx.ui.plain(kGroupsDatInvalid);
            else
                ctx.ui.error(kGroupsDatAccess);
            return false;
        }
        const qsizetype count = data->size() / kGroupRecSize; // a trailing partial record is not read
        ctx.GroupsArr.reserve(size_t(count));
        for (qsizetype i = 0; i < count; ++i)
            ctx.GroupsArr.push_back(decodeGroupRec(data->constData() + i * kGroupRecSize));
        // The member files first: "groups.dat" goes only when every group is
        // safe in its own file, so a failed write loses no group.
        if (ConvertGroupsDat(ctx)) {
            FileError rmErr;
            if (!ctx.files.remove(datPath, &rmErr) && ctx.files.exists(datPath)) {
                ctx.ui.error(kGroupsDatDelete1 + datPath + kGroupsDatDelete2 + errorText(rmErr));
                ctx.GroupsArr.clear();
                return false;
            }
        }
    }

    ctx.GroupsArr.clear();
    const QStringList found = ctx.files.find(ctx.ServerDir, QStringLiteral("*") + kMemberExt);
    for (const QString &fileName : found) {
        // The name before the last full stop; a file of that name only is no group.
        const QString base = fileName.left(fileName.lastIndexOf(QLatin1Char('.')));
        if (base.isEmpty())
            continue;
        ctx.GroupsArr.push_back(TGroupRec{base.left(kGroupNameLen), QString()});
    }
    SortGroups(ctx);
    return true;
}

void SplitMemberList(Context &ctx, const TGroupRec &entry)
{
    ctx.MembersArr.clear();
    QString current;
    for (const QChar c : entry.MemberList) {
        if (c == QLatin1Char('~')) {
            ctx.MembersArr.append(current);
            current.clear();
        } else if (current.size() < kGroupNameLen) {
            current.append(c);
        }
    }
}

bool WriteGroupFile(Context &ctx, const QString &name)
{
    const QString cut = CutAtNul(name);
    const QString path = memberFilePath(ctx, cut);
    if (path.isEmpty()) {
        // A name with a separator in it names no member file.
        ctx.ui.error(kWriteGroup1 + Files::join(ctx.ServerDir, cut + kMemberExt) + kWriteGroup2);
        return false;
    }
    QByteArray data;
    for (const QString &member : ctx.MembersArr) {
        QByteArray line = toAnsi(member).left(kGroupNameLen);
        line.replace('\r', QByteArray()).replace('\n', QByteArray()); // one name, one line
        data += line;
        data += "\r\n";
    }
    if (!rewriteWhole(ctx.files, path, data)) {
        ctx.ui.error(kWriteGroup1 + path + kWriteGroup2);
        return false;
    }
    return true;
}

bool LoadMembersArr(Context &ctx, const QString &name)
{
    ctx.MembersArr.clear();
    const QString path = memberFilePath(ctx, name);
    if (path.isEmpty() || !ctx.files.isFile(path))
        return true;
    FileError err;
    const auto data = ctx.files.readAll(path, &err);
    if (!data) {
        if (isReadFailure(err))
            ctx.ui.error(kMembersInvalid);
        else
            ctx.ui.error(kMembersAccess + CutAtNul(name) + kMemberExt);
        return false;
    }
    ctx.MembersArr = parseMemberFile(*data);
    SortMembers(ctx);
    return true;
}

void SortGroups(Context &ctx)
{
    sortByName(ctx.GroupsArr, [](const TGroupRec &g) -> const QString & { return g.GroupName; });
}

void SortMembers(Context &ctx)
{
    sortByName(ctx.MembersArr, [](const QString &m) -> const QString & { return m; });
}

QString groupRecipientText(const QString &groupName)
{
    return (QStringLiteral("(g)") + groupName).left(kGroupTextLen);
}

int FindGroupRecipient(const Context &ctx, const QString &text)
{
    for (size_t i = 0; i < ctx.GroupsArr.size(); ++i)
        if (groupRecipientText(ctx.GroupsArr[i].GroupName) == text)
            return int(i);
    return -1;
}

} // namespace nv
