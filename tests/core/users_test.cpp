// The users file and the users list: the record, the loader with every
// branch, the two writers, the name order.
#include "directory/name_order.h"
#include "directory/user_rec.h"
#include "directory/users.h"

#include "support/directory_fixture.h"
#include "support/record_builder.h"

using namespace nv;

namespace {

const QString kUsersAccess = QStringLiteral("Error in LoadUsers(): File access error on User file");
const QString kConvertNow = QStringLiteral(
    "Your Norvane User file must be converted to the new format before you can continue.  Convert it now?");

QByteArray user(const QByteArray &name, const QByteArray &privilege = "1", const QByteArray &password = "pw",
                const QByteArray &use = "Y")
{
    return userRec30({"3.0", name, privilege, password, use});
}

QStringList names(const Context &ctx)
{
    QStringList out;
    for (const TUserRec &u : ctx.UsersArr)
        out << u.UserName;
    return out;
}

} // namespace

// --- The record -------------------------------------------------------------

TEST(UserRec, DecodesEveryFieldAtItsOffset)
{
    const QByteArray rec = userRec30({"3.0", "Alice", "0", "Secret", "N"}, '\x7f');
    const TUserRec u = decodeUserRec(rec.constData());
    EXPECT_EQ(u.Version, "3.0");
    EXPECT_EQ(u.UserName, "Alice");
    EXPECT_EQ(u.Privilege, "0");
    EXPECT_EQ(u.Password, "Secret");
    EXPECT_EQ(u.UsePassword, "N");
    EXPECT_TRUE(hasCurrentUserVersion(rec.constData()));
}

TEST(UserRec, EncodesTheRecordByteForByte)
{
    const TUserRec u{"3.0", "Alice", "0", "Secret", "N"};
    EXPECT_EQ(encodeUserRec(u), QByteArray(userRec30({"3.0", "Alice", "0", "Secret", "N"})));
}

TEST(UserRec, CutsToTheFieldsAndAlwaysWritesTheCurrentTag)
{
    const TUserRec u{"2.8", "ABCDEFGHIJKLMNOPQRST", "123", "passwordpassword!!", "YES"};
    const QByteArray bytes = encodeUserRec(u);
    ASSERT_EQ(bytes.size(), kUserRecSize);
    EXPECT_EQ(bytes, QByteArray(userRec30({"3.0", "ABCDEFGHIJKLMNOP", "12", "passwordpassword", "Y"})));
    EXPECT_EQ(fittedUserRec(u), (TUserRec{"3.0", "ABCDEFGHIJKLMNOP", "12", "passwordpassword", "Y"}));
}

TEST(UserRec, LengthBytesAboveTheFieldAreClampedAndSpareBytesIgnored)
{
    RecordBuilder b(45, 'x');
    b.str(0, "3.0").strWithLength(6, 200, "Bob").strWithLength(23, 9, "2").str(26, "").strWithLength(43, 255, "Y");
    const TUserRec u = decodeUserRec(b.bytes().constData());
    EXPECT_EQ(u.UserName, "Bobxxxxxxxxxxxxx"); // 16 characters, no more
    EXPECT_EQ(u.Privilege, "2x");
    EXPECT_EQ(u.Password, "");
    EXPECT_EQ(u.UsePassword, "Y");
}

TEST(UserRec, VersionTagMustBeExactlyThreeCharacters)
{
    EXPECT_FALSE(hasCurrentUserVersion(userRec30({"3.0 ", "a", "1", "", "Y"}).bytes().constData()));
    EXPECT_FALSE(hasCurrentUserVersion(userRec30({"3.", "a", "1", "", "Y"}).bytes().constData()));
    EXPECT_FALSE(hasCurrentUserVersion(userRec30({"2.8", "a", "1", "", "Y"}).bytes().constData()));
}

TEST(UserRec, PrivilegeLevelsAndPasswordFlag)
{
    EXPECT_EQ(privilegeLevel("0"), PrivilegeLevel::Admin);
    EXPECT_EQ(privilegeLevel("1"), PrivilegeLevel::Standard);
    for (const char *other : {"2", "", "3", "00", " 1", "A"})
        EXPECT_EQ(privilegeLevel(QString::fromLatin1(other)), PrivilegeLevel::ReadOnly) << other;
    EXPECT_FALSE(passwordRequired(TUserRec{"3.0", "a", "1", "", "N"}));
    for (const char *other : {"Y", "", "n", "X"})
        EXPECT_TRUE(passwordRequired(TUserRec{"3.0", "a", "1", "", QString::fromLatin1(other)})) << other;
}

// --- The name order ---------------------------------------------------------

TEST(NameOrder, UpperCasesAsciiThenComparesWindows1252Codes)
{
    struct Case {
        QString a, b;
        int sign;
    };
    const Case cases[] = {
        {"Alice", "bob", -1},
        {"bob", "BOB", 0},
        {"bob", "CARL", -1},
        {"ab", "abc", -1},                     // a prefix first
        {"", "a", -1},
        {"a", "_", -1},                        // 'A' 0x41 before '_' 0x5F, though 'a' 0x61 is after it
        {"[", "z", 1},                         // '[' 0x5B after 'Z' 0x5A
        {QStringLiteral("€"), "z", 1},         // 0x80 after ASCII
        {QStringLiteral("€"), QStringLiteral("é"), -1},  // 0x80 before 0xE9 (not U+20AC after U+00E9)
        {QStringLiteral("Ÿ"), QStringLiteral("\u00A0"), -1}, // 0x9F before 0xA0
        {QStringLiteral("Œ"), QStringLiteral("Ž"), -1},  // 0x8C before 0x8E
        {QStringLiteral("é"), QStringLiteral("É"), 1},   // only ASCII letters are folded
        {QStringLiteral("ä"), "B", 1},
    };
    for (const Case &c : cases) {
        const int r = CompareNames(c.a, c.b);
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a.toStdString() << " vs " << c.b.toStdString();
        const int back = CompareNames(c.b, c.a);
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b.toStdString() << " vs " << c.a.toStdString();
    }
}

TEST(NameOrder, SortKeepsNamesEqualUnderTheRuleInTheirOrder)
{
    std::vector<QString> v = {"bob", "Alice", "BOB", "alice", QStringLiteral("€uro"), "Bob"};
    sortByName(v, [](const QString &s) { return s; });
    EXPECT_EQ(v, (std::vector<QString>{"Alice", "alice", "bob", "BOB", "Bob", QStringLiteral("€uro")}));
}

// --- LoadUsers ----------------------------------------------------------------

using LoadUsersTest = DirectoryTest;

TEST_F(LoadUsersTest, NetworkDirectoryNotSetMeansNoUsers)
{
    for (const QString &dir : {QStringLiteral("ERROR"), QString()}) {
        ctx.ServerDir = dir;
        ctx.NoUsersFlag = false;
        ctx.UsersArr.push_back(TUserRec{});
        EXPECT_TRUE(LoadUsers(ctx));
        EXPECT_TRUE(ctx.NoUsersFlag);
        EXPECT_TRUE(ctx.UsersArr.empty());
        EXPECT_TRUE(ui.boxes.empty());
    }
}

TEST_F(LoadUsersTest, MissingFileMeansNoUsers)
{
    EXPECT_TRUE(LoadUsers(ctx));
    EXPECT_TRUE(ctx.NoUsersFlag);
    EXPECT_TRUE(ctx.UsersArr.empty());
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_FALSE(has("users.dat")); // nothing created
}

TEST_F(LoadUsersTest, FilesWithoutAWholeRecordLoadEmpty)
{
    for (int size : {0, 1, 17, 37, 44}) {
        put("users.dat", QByteArray(user("Alice")).left(size));
        ctx.NoUsersFlag = false;
        EXPECT_TRUE(LoadUsers(ctx)) << size;
        EXPECT_TRUE(ctx.NoUsersFlag) << size;
        EXPECT_TRUE(ctx.UsersArr.empty()) << size;
    }
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(get("users.dat").size(), 44); // never converted nor rewritten
}

TEST_F(LoadUsersTest, TrailingPartialRecordIsIgnored)
{
    put("users.dat", user("Alice") + user("Bob") + "Z"); // 91 bytes
    ctx.NoUsersFlag = true;
    EXPECT_TRUE(LoadUsers(ctx));
    EXPECT_FALSE(ctx.NoUsersFlag);
    EXPECT_EQ(names(ctx), (QStringList{"Alice", "Bob"}));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(LoadUsersTest, SortsTheListAndFindsTheCurrentUserExactly)
{
    put("users.dat", user("bob", "2", "b", "Y") + user("Alice", "0", "a", "N") + user("CARL", "1", "c", ""));
    ctx.settings.UserName = "CARL";
    EXPECT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(names(ctx), (QStringList{"Alice", "bob", "CARL"}));
    EXPECT_EQ(ctx.UsersArr[0], (TUserRec{"3.0", "Alice", "0", "a", "N"}));
    EXPECT_EQ(ctx.UsersArr[2].UsePassword, "");
    EXPECT_EQ(ctx.CurUserIdx, 2); // found anew: the old index means nothing after a reload

    ctx.settings.UserName = "carl";
    EXPECT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(ctx.CurUserIdx, -1);
    EXPECT_EQ(FindUser(ctx, "bob"), 1);
    EXPECT_EQ(FindUser(ctx, "Bob"), -1);
}

TEST_F(LoadUsersTest, SetCurrentUserTakesThePrivilegeOfTheFoundUser)
{
    put("users.dat", user("Alice", "0") + user("bob", "2"));
    ASSERT_TRUE(LoadUsers(ctx));
    ctx.settings.UserName = "bob";
    ctx.settings.Privilege = "0";
    SetCurrentUser(ctx);
    EXPECT_EQ(ctx.CurUserIdx, 1);
    EXPECT_EQ(ctx.settings.Privilege, "2");
    ctx.settings.UserName = "nobody";
    SetCurrentUser(ctx);
    EXPECT_EQ(ctx.CurUserIdx, -1);
    EXPECT_EQ(ctx.settings.Privilege, "2"); // unchanged
}

TEST_F(LoadUsersTest, ReplacesTheWholeList)
{
    put("users.dat", user("Alice") + user("Bob"));
    ASSERT_TRUE(LoadUsers(ctx));
    put("users.dat", user("Zed"));
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(names(ctx), QStringList{"Zed"});
    put("users.dat", QByteArray());
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_TRUE(ctx.UsersArr.empty());
    EXPECT_TRUE(ctx.NoUsersFlag);
}

TEST_F(LoadUsersTest, ADamagedLaterRecordOfACurrentFileIsKeptNotConverted)
{
    // A current file is recognised by its tags; one damaged tag does not
    // make it an older file (converting it would garble every user).
    const QByteArray bytes = user("Alice") + userRec30({"2.8", "Bob", "1", "b", "Y"}) + user("Carl");
    put("users.dat", bytes);
    EXPECT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(names(ctx), (QStringList{"Alice", "Bob", "Carl"}));
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(get("users.dat"), bytes);
    EXPECT_FALSE(has("users28.dat"));
}

TEST_F(LoadUsersTest, FileThatCannotBeOpenedIsReported)
{
    put("users.dat", user("Alice"));
    ctx.UsersArr.push_back(TUserRec{});
    bool ok = true;
    {
        NoFreeDescriptors full;
        ok = LoadUsers(ctx);
    }
    EXPECT_FALSE(ok);
    EXPECT_TRUE(ctx.UsersArr.empty());
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[0].text, kUsersAccess);
}

TEST_F(LoadUsersTest, UnreadableFileAsksToConvertAndNoStopsTheProgram)
{
    putUnreadable("users.dat");
    ui.queueAnswer(MsgAnswer::No);
    EXPECT_TRUE(LoadUsers(ctx));
    EXPECT_TRUE(ctx.QuitFlag);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Warning);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ui.boxes[0].text, kConvertNow);
    ASSERT_EQ(ctx.UsersArr.size(), 1u); // the failed entry stays
    EXPECT_EQ(ctx.UsersArr[0].UserName, "");
    EXPECT_FALSE(ctx.NoUsersFlag);
    EXPECT_FALSE(has("newusers.dat"));
}

TEST_F(LoadUsersTest, UnreadableFileConversionThatFailsIsNotStartedAgain)
{
    putUnreadable("users.dat");
    ui.queueAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(LoadUsers(ctx));
    EXPECT_FALSE(ctx.QuitFlag);
    EXPECT_TRUE(ctx.UsersArr.empty());
    // Asked once; both layouts tried, each reports its own failure.
    EXPECT_EQ(ui.texts(), (std::vector<QString>{kConvertNow, "Error 0041: Unable to convert ver. 2.8 User file.",
                                                "Error 0021: Unable to convert User file."}));
    EXPECT_EQ(ui.boxes[1].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[2].kind, MsgKind::Error);
}

TEST_F(LoadUsersTest, FileNameIsFoundIgnoringLetterCaseAndSavedBackThere)
{
    put("USERS.DAT", user("Alice"));
    EXPECT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(names(ctx), QStringList{"Alice"});
    ctx.UsersArr.push_back(TUserRec{"3.0", "Bob", "1", "", "N"});
    EXPECT_TRUE(EditUsersSaveUsers(ctx));
    EXPECT_EQ(get("USERS.DAT"), user("Alice") + user("Bob", "1", "", "N"));
    EXPECT_FALSE(has("users.dat"));
}

TEST(OlderUsersLayout, RecognisedByTheAbsenceOfCurrentTags)
{
    const QByteArray cur = userRec30({"3.0", "Alice", "1", "", "Y"});
    EXPECT_FALSE(isOlderUsersLayout(QByteArray()));
    EXPECT_FALSE(isOlderUsersLayout(userRec28("Bob", "1", "pw")));          // no whole record
    EXPECT_FALSE(isOlderUsersLayout(cur));
    EXPECT_FALSE(isOlderUsersLayout(cur + userRec30({"2.8", "x", "", "", ""})));
    EXPECT_FALSE(isOlderUsersLayout(userRec30({"", "x", "", "", ""}) + cur));
    EXPECT_TRUE(isOlderUsersLayout(userRec28("Bob", "1", "pw") + userRec28("Carl", "2", "pw")));
    EXPECT_TRUE(isOlderUsersLayout(userRec01("A") + userRec01("B") + userRec01("C")));
    EXPECT_TRUE(isOlderUsersLayout(userRec30({"2.8", "x", "", "", ""})));
}

TEST_F(LoadUsersTest, OlderLayoutCheckForTheCommandLineReadsTheFileOnly)
{
    EXPECT_FALSE(isOlderUsersLayout(ctx)); // no file
    const QByteArray old = userRec28("Bob", "1", "pw") + userRec28("Carl", "2", "pw");
    put("users.dat", old);
    EXPECT_TRUE(isOlderUsersLayout(ctx));
    EXPECT_EQ(get("users.dat"), old);
    EXPECT_TRUE(ui.boxes.empty());
    ctx.ServerDir = "ERROR";
    EXPECT_FALSE(isOlderUsersLayout(ctx));
}

// --- SaveUsers ----------------------------------------------------------------

using SaveUsersTest = DirectoryTest;

TEST_F(SaveUsersTest, BothCopiesWriteTheListInOrder)
{
    ctx.UsersArr = {TUserRec{"3.0", "Zed", "2", "z", "N"}, TUserRec{"", "Alice", "0", "a", "Y"}};
    EXPECT_TRUE(SettingsSaveUsers(ctx));
    const QByteArray expected = user("Zed", "2", "z", "N") + user("Alice", "0", "a", "Y");
    EXPECT_EQ(get("users.dat"), expected);
    put("users.dat", "old");
    EXPECT_TRUE(EditUsersSaveUsers(ctx));
    EXPECT_EQ(get("users.dat"), expected);
    EXPECT_TRUE(ui.boxes.empty());
    EXPECT_EQ(entries(), QStringList{"users.dat"}); // no temporary file left
}

TEST_F(SaveUsersTest, SavedListLoadsBack)
{
    ctx.UsersArr = {TUserRec{"3.0", "bob", "1", "Pw", "Y"}, TUserRec{"3.0", "Alice", "0", "", "N"}};
    ASSERT_TRUE(EditUsersSaveUsers(ctx));
    const auto saved = ctx.UsersArr;
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(ctx.UsersArr, (std::vector<TUserRec>{saved[1], saved[0]}));
}

TEST_F(SaveUsersTest, FailedWriteKeepsTheOldFileAndReportsInEachCopysWords)
{
    const QByteArray old = user("Alice");
    put("users.dat", old);
    ctx.UsersArr = {TUserRec{"3.0", "Bob", "1", "", "Y"}};
    files.failWriteAt = 1;
    files.writeErrno = ENOSPC;
    files.failAllWritesAfter = true;
    EXPECT_FALSE(SettingsSaveUsers(ctx));
    EXPECT_FALSE(EditUsersSaveUsers(ctx));
    EXPECT_EQ(get("users.dat"), old);
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ui.boxes[0].text, "Error encountered in SaveUsers(): Unable to open the \"users.dat\" file for writing.  "
                                "Changes were not saved.");
    EXPECT_EQ(ui.boxes[1].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[1].text, "Error in EditUser.SaveUsers(): Unable to write to user file: \"" + path("users.dat") +
                                    "\".  Data was not saved.");
    EXPECT_EQ(ctx.UsersArr.size(), 1u); // the list survives
    EXPECT_EQ(entries(), QStringList{"users.dat"});
}

TEST_F(SaveUsersTest, RefusedRenameRewritesInPlace)
{
    put("users.dat", user("Alice") + user("Bob") + user("Carl"));
    ctx.UsersArr = {TUserRec{"3.0", "Zed", "1", "", "Y"}};
    files.refuseRename = true;
    EXPECT_TRUE(EditUsersSaveUsers(ctx));
    EXPECT_EQ(get("users.dat"), user("Zed", "1", "", "Y")); // truncated to the new list
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(SaveUsersTest, NoNetworkDirectoryWritesNothing)
{
    ctx.ServerDir = "ERROR";
    ctx.UsersArr = {TUserRec{"3.0", "Zed", "1", "", "Y"}};
    EXPECT_FALSE(SettingsSaveUsers(ctx));
    EXPECT_FALSE(EditUsersSaveUsers(ctx));
    EXPECT_FALSE(QFileInfo::exists("ERROR/users.dat"));
    ASSERT_EQ(ui.boxes.size(), 2u);
    EXPECT_EQ(ui.boxes[1].text,
              "Error in EditUser.SaveUsers(): Unable to write to user file: \"ERROR/users.dat\".  Data was not saved.");
}
