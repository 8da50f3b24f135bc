#pragma once
// Groups: one member file "<group>.nvg" per group in the network directory,
// one member name per line; the older "groups.dat" of TGroupRec records is
// converted into member files once and then deleted.
#include <QByteArray>
#include <QString>

namespace nv {

class Context;

constexpr int kGroupRecSize = 268;
constexpr int kGroupNameLen = 16;   // group and member names
constexpr int kGroupTextLen = 19;   // "(g)" + group name, as offered to choose

// One record of "groups.dat", and one entry of GroupsArr (where only
// GroupName is used; MemberList is empty for groups read from member files).
struct TGroupRec {
    QString GroupName;  // string[16]
    QString MemberList; // string[250]: every member followed by "~"

    bool operator==(const TGroupRec &) const = default;
};

namespace group_rec_layout {
constexpr int GroupNameAt = 0, GroupNameLen = 16;
constexpr int MemberListAt = 17, MemberListLen = 250;
} // namespace group_rec_layout

QByteArray encodeGroupRec(const TGroupRec &rec);
TGroupRec decodeGroupRec(const char *p); // p holds kGroupRecSize bytes

// Builds GroupsArr: converts "groups.dat" when present, then lists the
// "*.nvg" files. False after a reported error with "groups.dat".
bool LoadGroups(Context &ctx);

// Writes MembersArr, one name a line, as the member file of the group.
// Reports a failure itself; false then, and nothing was changed.
bool WriteGroupFile(Context &ctx, const QString &name);

// Fills MembersArr with the sorted members of the group. A group without a
// member file (deleted by another workstation, or a name that cannot name a
// file) has no members. False after a reported error.
bool LoadMembersArr(Context &ctx, const QString &name);

// MembersArr := the names of entry.MemberList, each ended by "~".
void SplitMemberList(Context &ctx, const TGroupRec &entry);

void SortGroups(Context &ctx);
void SortMembers(Context &ctx);

// The member file of a group, as found in the network directory; empty when
// the name cannot name a file there (a separator in it, or no name).
QString memberFilePath(const Context &ctx, const QString &name);

// A group as offered among recipients: "(g)" + name, cut to 19 characters.
QString groupRecipientText(const QString &groupName);
// The index of the first group whose recipient text is exactly text, or -1.
int FindGroupRecipient(const Context &ctx, const QString &text);

} // namespace nv
