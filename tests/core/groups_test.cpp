// Groups: member files, the "groups.dat" conversion, the member list.
#include "directory/groups.h"

#include "support/directory_fixture.h"
#include "support/record_builder.h"

using namespace nv;

namespace {

QStringList groupNames(const Context &ctx)
{
    QStringList out;
    for (const TGroupRec &g : ctx.GroupsArr)
        out << g.GroupName;
    return out;
}

const QString kMembersInvalid = QStringLiteral("Error in LoadMembersArr(): Invalid Group file encountered.");

} // namespace

TEST(GroupRec, EncodesAndDecodesAtTheOffsets)
{
    const QByteArray rec = groupRec("SALES", "ANN~BOB~", '\x55');
    const TGroupRec g = decodeGroupRec(rec.constData());
    EXPECT_EQ(g.GroupName, "SALES");
    EXPECT_EQ(g.MemberList, "ANN~BOB~");
    EXPECT_EQ(encodeGroupRec(g), QByteArray(groupRec("SALES", "ANN~BOB~")));
    const QByteArray longList(300, 'x');
    const QByteArray cut = encodeGroupRec(TGroupRec{"ABCDEFGHIJKLMNOPQ", QString::fromLatin1(longList)});
    EXPECT_EQ(cut, QByteArray(groupRec("ABCDEFGHIJKLMNOP", longList.left(250))));
}

TEST(SplitMemberList, NamesEndAtEveryTilde)
{
    struct Case {
        const char *list;
        QStringList members;
    };
    const Case cases[] = {
        {"ANN~BOB~", {"ANN", "BOB"}},
        {"ANN~BOB", {"ANN"}}, // no final "~": the rest is dropped
        {"", {}},
        {"~~", {"", ""}},
        {"ABCDEFGHIJKLMNOPQRST~X~", {"ABCDEFGHIJKLMNOP", "X"}}, // 16 characters at most
    };
    QTemporaryDir tmp;
    ScriptedUi ui;
    Files files;
    FixedClock clock{QDateTime()};
    SeededRandom random{1};
    Context ctx{Platform{ui, files, clock, random}};
    for (const Case &c : cases) {
        ctx.MembersArr = {"old"};
        SplitMemberList(ctx, TGroupRec{"G", QString::fromLatin1(c.list)});
        EXPECT_EQ(ctx.MembersArr, c.members) << c.list;
    }
}

TEST(GroupRecipient, GroupsAreOfferedAsGPrefixCutTo19)
{
    EXPECT_EQ(groupRecipientText("SALES"), "(g)SALES");
    EXPECT_EQ(groupRecipientText("ABCDEFGHIJKLMNOP"), "(g)ABCDEFGHIJKLMNOP");
    EXPECT_EQ(groupRecipientText("ABCDEFGHIJKLMNOPQ"), "(g)ABCDEFGHIJKLMNOP");
}

// --- LoadGroups -------------------------------------------------------------

using LoadGroupsTest = DirectoryTest;

TEST_F(LoadGroupsTest, NetworkDirectoryNotSetGivesNoGroups)
{
    put("SALES.nvg", memberFile({"ANN"}));
    ctx.ServerDir = "ERROR";
    ctx.GroupsArr = {TGroupRec{"OLD", ""}};
    EXPECT_TRUE(LoadGroups(ctx));
    EXPECT_TRUE(ctx.GroupsArr.empty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LoadGroupsTest, ListsMemberFilesSortedByName)
{
    put("SALES.nvg", memberFile({"ANN"}));
    put("admin.nvg", memberFile({"BOB"}));
    put("users.dat", QByteArray());
    put("notes.txt", QByteArray());
    EXPECT_TRUE(LoadGroups(ctx));
    EXPECT_EQ(groupNames(ctx), (QStringList{"admin", "SALES"}));
    EXPECT_EQ(ctx.GroupsArr[0].MemberList, "");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LoadGroupsTest, OddFileNames)
{
    put("team.a.nvg", QByteArray());           // the part before the last full stop
    put("Upper.NVG", QByteArray());            // the search ignores letter case
    put("ABCDEFGHIJKLMNOPQRS.nvg", QByteArray()); // cut to 16
    put(".nvg", QByteArray());                 // no name: no group
    makeDir("FOLDER.nvg");                     // directories are no groups
    EXPECT_TRUE(LoadGroups(ctx));
    EXPECT_EQ(groupNames(ctx), (QStringList{"ABCDEFGHIJKLMNOP", "team.a", "Upper"}));
}

TEST_F(LoadGroupsTest, ConvertsGroupsDatIntoMemberFilesAndDeletesIt)
{
    put("groups.dat", groupRec("SALES", "ZED~ANN~BOB~") + groupRec("ADMIN", "ANN~BOB") + "junk");
    put("OLD.nvg", memberFile({"X"}));
    EXPECT_TRUE(LoadGroups(ctx));
    EXPECT_FALSE(has("groups.dat"));
    EXPECT_EQ(get("SALES.nvg"), memberFile({"ZED", "ANN", "BOB"})); // members in stored order
    EXPECT_EQ(get("ADMIN.nvg"), memberFile({"ANN"}));
    EXPECT_EQ(groupNames(ctx), (QStringList{"ADMIN", "OLD", "SALES"}));
    EXPECT_TRUE(ui.boxes.empty());
    // Read once per installation: a second load finds only the member files.
    EXPECT_TRUE(LoadGroups(ctx));
    EXPECT_EQ(groupNames(ctx), (QStringList{"ADMIN", "OLD", "SALES"}));
}

TEST_F(LoadGroupsTest, EmptyGroupsDatIsDeleted)
{
    put("groups.dat", QByteArray());
    EXPECT_TRUE(LoadGroups(ctx));
    EXPECT_FALSE(has("groups.dat"));
    EXPECT_TRUE(ctx.GroupsArr.empty());
}

TEST_F(LoadGroupsTest, GroupsDatIsKeptWhileAGroupCannotBeWritten)
{
    // A name with a separator names no file: no member file outside the
    // directory, and "groups.dat" stays so that group is not lost.
    put("groups.dat", groupRec("SALES", "ANN~") + groupRec("../EVIL", "BOB~") + groupRec("A\\B", "CAT~"));
    EXPECT_TRUE(LoadGroups(ctx));
    EXPECT_TRUE(has("groups.dat"));
    EXPECT_EQ(get("SALES.nvg"), memberFile({"ANN"}));
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(path("../EVIL.nvg")).absoluteFilePath()));
    EXPECT_FALSE(has("A\\B.nvg"));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[0].text, "Error in NvCommon.WriteGroupFile(): Unable to write to group file: \"" +
                                    path("../EVIL.nvg") + "\".  Data was not saved.");
    EXPECT_EQ(groupNames(ctx), QStringList{"SALES"});
}

TEST_F(LoadGroupsTest, GroupsDatThatCannotBeOpenedIsKept)
{
    const QByteArray dat = groupRec("SALES", "ANN~");
    put("groups.dat", dat);
    bool ok = true;
    {
        NoFreeDescriptors full;
        ok = LoadGroups(ctx);
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(get("groups.dat"), dat);
    EXPECT_FALSE(has("SALES.nvg"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[0].text, "Error in LoadGroups(): File access error on Groups.dat file");
}

TEST_F(LoadGroupsTest, GroupsDatThatCannotBeReadIsReportedInAPlainBox)
{
    putUnreadable("groups.dat");
    EXPECT_FALSE(LoadGroups(ctx));
    EXPECT_TRUE(has("groups.dat"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ui.boxes[0].text, "Error in LoadGroups(): Invalid Groups.dat file encountered.");
}

TEST_F(LoadGroupsTest, GroupsDatThatCannotBeDeletedStopsTheLoad)
{
    put("groups.dat", groupRec("SALES", "ANN~"));
    files.refuseUnlinkOf = "groups.dat";
    EXPECT_FALSE(LoadGroups(ctx));
    EXPECT_EQ(get("SALES.nvg"), memberFile({"ANN"}));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_TRUE(ui.boxes[0].text.startsWith("Error in LoadGroups(): Unable to delete \"" + path("groups.dat") + "\": "));
}

// --- WriteGroupFile ---------------------------------------------------------

using WriteGroupFileTest = DirectoryTest;

TEST_F(WriteGroupFileTest, WritesOneMemberALineInListOrder)
{
    ctx.MembersArr = {"ZED", "ann", "", QStringLiteral("Zoë")};
    EXPECT_TRUE(WriteGroupFile(ctx, "SALES"));
    EXPECT_EQ(get("SALES.nvg"), memberFile({"ZED", "ann", "", "Zo\xEB"})); // Windows-1252 on disk
    EXPECT_EQ(entries(), QStringList{"SALES.nvg"});
    ctx.MembersArr = {"ONE"};
    EXPECT_TRUE(WriteGroupFile(ctx, QStringLiteral("SALES") + QChar(0) + "junk")); // cut at NUL
    EXPECT_EQ(get("SALES.nvg"), memberFile({"ONE"}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(WriteGroupFileTest, RewritesTheFileAsFoundIgnoringCase)
{
    put("SALES.NVG", memberFile({"OLD"}));
    ctx.MembersArr = {"NEW"};
    EXPECT_TRUE(WriteGroupFile(ctx, "SALES"));
    EXPECT_EQ(get("SALES.NVG"), memberFile({"NEW"}));
    EXPECT_FALSE(has("SALES.nvg"));
}

TEST_F(WriteGroupFileTest, FailureIsReportedAndChangesNothing)
{
    put("SALES.nvg", memberFile({"OLD1", "OLD2"}));
    ctx.MembersArr = {"NEW"};
    files.failWriteAt = 1;
    files.writeErrno = EIO;
    files.failAllWritesAfter = true;
    EXPECT_FALSE(WriteGroupFile(ctx, "SALES"));
    EXPECT_EQ(get("SALES.nvg"), memberFile({"OLD1", "OLD2"}));
    EXPECT_EQ(ctx.MembersArr, QStringList{"NEW"});
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[0].text, "Error in NvCommon.WriteGroupFile(): Unable to write to group file: \"" +
                                    path("SALES.nvg") + "\".  Data was not saved.");
}

TEST_F(WriteGroupFileTest, RefusedRenameRewritesInPlace)
{
    put("SALES.nvg", memberFile({"OLD1", "OLD2", "OLD3"}));
    ctx.MembersArr = {"NEW"};
    files.refuseRename = true;
    EXPECT_TRUE(WriteGroupFile(ctx, "SALES"));
    EXPECT_EQ(get("SALES.nvg"), memberFile({"NEW"}));
}

TEST_F(WriteGroupFileTest, NamesWithSeparatorsNeverBecomePaths)
{
    makeDir("sub");
    ctx.MembersArr = {"X"};
    for (const QString &name : {QStringLiteral("sub/G"), QStringLiteral("sub\\G"), QStringLiteral("../G"),
                                QString()}) {
        ui.clear();
        EXPECT_FALSE(WriteGroupFile(ctx, name)) << name.toStdString();
        ASSERT_EQ(ui.boxes.size(), 1u);
        EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    }
    EXPECT_EQ(entries(), QStringList{"sub"});
    EXPECT_TRUE(QDir(path("sub")).isEmpty());
}

// --- LoadMembersArr ---------------------------------------------------------

using LoadMembersTest = DirectoryTest;

TEST_F(LoadMembersTest, LoadsSortedMembers)
{
    put("SALES.nvg", memberFile({"BOB", "ann", "Carl"}));
    ctx.MembersArr = {"stale"};
    EXPECT_TRUE(LoadMembersArr(ctx, "SALES"));
    EXPECT_EQ(ctx.MembersArr, (QStringList{"ann", "BOB", "Carl"}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LoadMembersTest, LineShapes)
{
    struct Case {
        QByteArray file;
        QStringList members;
    };
    const Case cases[] = {
        {"ABCDEFGHIJKLMNOPQRST\r\n", {"ABCDEFGHIJKLMNOP"}}, // 16 characters kept, rest skipped
        {"A\r\n\r\nB\r\n", {"", "A", "B"}},                 // an empty line is an empty name
        {"B\nA", {"A", "B"}},                               // LF only, last line without end
        {"B\rjunk\r\nA\r\n", {"A", "B"}},                   // a name ends at CR
        {"", {}},
        {"\r\n", {""}},
        {"Zo\xEB\r\n", {QStringLiteral("Zoë")}},
    };
    for (const Case &c : cases) {
        put("G.nvg", c.file);
        EXPECT_TRUE(LoadMembersArr(ctx, "G")) << c.file.toStdString();
        EXPECT_EQ(ctx.MembersArr, c.members) << c.file.toStdString();
    }
}

TEST_F(LoadMembersTest, MissingFileIsAGroupWithoutMembers)
{
    ctx.MembersArr = {"stale"};
    EXPECT_TRUE(LoadMembersArr(ctx, "GONE"));
    EXPECT_TRUE(ctx.MembersArr.isEmpty());
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LoadMembersTest, FindsTheFileIgnoringCase)
{
    put("Sales.NVG", memberFile({"ANN"}));
    EXPECT_TRUE(LoadGroups(ctx));
    ASSERT_EQ(ctx.GroupsArr.size(), 1u);
    EXPECT_TRUE(LoadMembersArr(ctx, ctx.GroupsArr[0].GroupName));
    EXPECT_EQ(ctx.MembersArr, QStringList{"ANN"});
}

TEST_F(LoadMembersTest, NamesWithSeparatorsAreTreatedAsMissing)
{
    makeDir("sub");
    put("sub/G.nvg", memberFile({"ANN"}));
    put("a\\b.nvg", memberFile({"BOB"})); // a legal file name here, but not a group name
    for (const QString &name : {QStringLiteral("sub/G"), QStringLiteral("a\\b"), QStringLiteral("../x")}) {
        ctx.MembersArr = {"stale"};
        EXPECT_TRUE(LoadMembersArr(ctx, name)) << name.toStdString();
        EXPECT_TRUE(ctx.MembersArr.isEmpty());
    }
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LoadMembersTest, FileThatCannotBeOpenedIsReported)
{
    put("SALES.nvg", memberFile({"ANN"}));
    bool ok = true;
    {
        NoFreeDescriptors full;
        ok = LoadMembersArr(ctx, "SALES");
    }
    EXPECT_FALSE(ok);
    EXPECT_TRUE(ctx.MembersArr.isEmpty());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[0].text, "Error in LoadMembersArr(): File access error on Group file: SALES.nvg");
}

TEST_F(LoadMembersTest, FileThatCannotBeReadIsReported)
{
    putUnreadable("SALES.nvg");
    EXPECT_FALSE(LoadMembersArr(ctx, "SALES"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[0].text, kMembersInvalid);
}

TEST_F(LoadMembersTest, WrittenGroupLoadsBack)
{
    ctx.MembersArr = {"bob", "Alice", "CARL"};
    ASSERT_TRUE(WriteGroupFile(ctx, "TEAM"));
    ASSERT_TRUE(LoadMembersArr(ctx, "TEAM"));
    EXPECT_EQ(ctx.MembersArr, (QStringList{"Alice", "bob", "CARL"}));
}

TEST_F(LoadMembersTest, GroupRecipientsAreFoundExactly)
{
    put("SALES.nvg", QByteArray());
    put("sales2.nvg", QByteArray());
    ASSERT_TRUE(LoadGroups(ctx));
    EXPECT_EQ(FindGroupRecipient(ctx, "(g)SALES"), 0);
    EXPECT_EQ(FindGroupRecipient(ctx, "(g)sales2"), 1);
    EXPECT_EQ(FindGroupRecipient(ctx, "(g)sales"), -1);
    EXPECT_EQ(FindGroupRecipient(ctx, "SALES"), -1);
}
