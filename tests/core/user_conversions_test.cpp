// Conversion of the older users files (version 2.8 and version 01) as
// LoadUsers meets them: messages, questions, the Admin password dialog and
// every file step.
#include "directory/user_conversions.h"
#include "directory/users.h"

#include "support/directory_fixture.h"
#include "support/record_builder.h"

#include <deque>
#include <optional>

using namespace nv;

namespace {

const QString kFlagLogin = QStringLiteral(
    "New in this version of Norvane, each username has it's own flag to specify whether a password is required to "
    "connect as that user or not.  Initially, all usernames will be set to REQUIRE a password.");
const QString kFlagNoLogin = QStringLiteral(
    "New in this version of Norvane, each username has it's own flag to specify whether a password is required to "
    "connect as that user or not.  Initially, all usernames will be set to NOT require a password.");
const QString kLevels = QStringLiteral(
    "Also new in this version of Norvane, there are now 3 user privilege levels: 0=Admin, 1=Standard, and "
    "2=ReadOnly.  Only Admin users are allowed to add, modify, and delete users and groups.  Standard level users "
    "(formerly called \"Managers\") can send and receive messages.  ReadOnly users (formerly called \"Employees\") can "
    "only read messages, not send them.  To make sure that you have at least one user that can modify the user and "
    "group settings, we will now create an Admin level user named \"Admin\".  If a user named \"Admin\" already "
    "exists, it will be given Admin privilege.  In a moment, you will be prompted to set the password for the Admin "
    "user (remember, passwords are case sensitive).");
const QString kSet = QStringLiteral("The password for the Admin account has been set.");
const QString kKept = QStringLiteral("The password for the Admin account will remain as you previously set it.");
const QString kLast = QStringLiteral(
    "If you do not set the password for the Admin account now, a password of \"Korvu\" will be assigned for you.");
const QString kKorvu = QStringLiteral("The password for the Admin account has been set to \"Korvu\".");

const QString kIntro01 = QStringLiteral(
    "This conversion will add privilege levels and passwords for each user.  The two privilege levels are "
    "\"Manager\" and \"Employee\".  Managers have full access to all features of Norvane.  Employees are not able to "
    "send or reply to messages.");
const QString kLevelQ01 = QStringLiteral(
    "To initially set all current users to the Manager level, press the YES button.  To initially set all users to "
    "the Employee level, press the NO button.  After the conversion, you will be able to go in and individually "
    "change any user's privilege level");
const QString kManagers01 = QStringLiteral("Initial privilege levels for each user will be set to Manager.");
const QString kLoginQ01 = QStringLiteral(
    "The User Login feature forces each user to enter their ID and password each time Norvane is started.  Would "
    "you like to activate the User Login feature?");
const QString kLoginOn01 = QStringLiteral(
    "Initial passwords for each user will be set to the same as their User Name.  NOTE: Passwords are case "
    "sensitive!");

QString employees01(const QString &first)
{
    return "Initial privilege levels for each user will be set to Employee, except for user --" + first +
           "--.  That user will be set to Manager.  Use that user ID to go in and change the privilege levels of "
           "everyone else.";
}

class ConversionTest : public DirectoryTest {
protected:
    ConversionTest()
    {
        ctx.enterAdminPassword = [this](QString &password) {
            ++dialogs;
            ui.boxes.push_back(ShownBox{MsgKind::Plain, QStringLiteral("<dialog>"), MsgButtons::Ok});
            if (passwords.empty()) {
                ADD_FAILURE() << "password dialog nobody expected";
                return false;
            }
            const std::optional<QString> answer = passwords.front();
            passwords.pop_front();
            if (!answer)
                return false;
            password = *answer;
            return true;
        };
    }

    std::vector<TUserRec> fileUsers(const QString &name = QStringLiteral("users.dat")) const
    {
        const QByteArray data = get(name);
        std::vector<TUserRec> out;
        EXPECT_EQ(data.size() % kUserRecSize, 0);
        for (qsizetype at = 0; at + kUserRecSize <= data.size(); at += kUserRecSize)
            out.push_back(decodeUserRec(data.constData() + at));
        return out;
    }

    std::deque<std::optional<QString>> passwords; // nullopt: Cancel
    int dialogs = 0;
};

} // namespace

// --- Version 2.8 ------------------------------------------------------------

TEST_F(ConversionTest, Version28WithAnAdminKeepsEveryoneAndAsksForTheAdminPassword)
{
    const QByteArray old = userRec28("Bob", "2", "bobpw") + userRec28("admin", "1", "oldpw");
    put("users.dat", old);
    passwords = {QStringLiteral("NewPw")};
    ASSERT_TRUE(LoadUsers(ctx));

    EXPECT_EQ(ui.texts(), (std::vector<QString>{kFlagLogin, kLevels, "<dialog>", kSet}));
    for (const ShownBox &b : ui.boxes)
        EXPECT_EQ(b.kind, MsgKind::Plain);
    // File order as converted, no Admin record added.
    EXPECT_EQ(fileUsers(), (std::vector<TUserRec>{{"3.0", "Bob", "2", "bobpw", "Y"}, {"3.0", "admin", "0", "NewPw", "Y"}}));
    EXPECT_EQ(get("users28.dat"), old);
    EXPECT_FALSE(has("newusers.dat"));
    // Loaded from the first record of the converted file, sorted.
    ASSERT_EQ(ctx.UsersArr.size(), 2u);
    EXPECT_EQ(ctx.UsersArr[0].UserName, "admin");
    EXPECT_EQ(ctx.UsersArr[1].UserName, "Bob");
    EXPECT_FALSE(ctx.NoUsersFlag);
    EXPECT_FALSE(ctx.QuitFlag);
}

TEST_F(ConversionTest, Version28AdminDialogCancelledKeepsTheOldPassword)
{
    put("users.dat", userRec28("ADMIN", "1", "oldpw") + userRec28("Bob", "1", "b"));
    passwords = {std::nullopt};
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts(), (std::vector<QString>{kFlagLogin, kLevels, "<dialog>", kKept}));
    EXPECT_EQ(fileUsers(), (std::vector<TUserRec>{{"3.0", "ADMIN", "0", "oldpw", "Y"}, {"3.0", "Bob", "1", "b", "Y"}}));
}

TEST_F(ConversionTest, Version28WithoutAdminGainsOne)
{
    struct Case {
        std::deque<std::optional<QString>> answers;
        std::vector<QString> afterLevels;
        QString password;
    };
    const Case cases[] = {
        {{QStringLiteral("first")}, {"<dialog>", kSet}, "first"},
        {{std::nullopt, QStringLiteral("second")}, {"<dialog>", kLast, "<dialog>", kSet}, "second"},
        {{std::nullopt, std::nullopt}, {"<dialog>", kLast, "<dialog>", kKorvu}, "Korvu"},
    };
    for (const Case &c : cases) {
        for (const QString &f : entries())
            QFile::remove(path(f));
        ui.clear();
        put("users.dat", userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c"));
        passwords = c.answers;
        ASSERT_TRUE(LoadUsers(ctx));
        std::vector<QString> expected = {kFlagLogin, kLevels};
        expected.insert(expected.end(), c.afterLevels.begin(), c.afterLevels.end());
        EXPECT_EQ(ui.texts(), expected);
        EXPECT_EQ(fileUsers(), (std::vector<TUserRec>{{"3.0", "Bob", "1", "b", "Y"},
                                                       {"3.0", "Carl", "2", "c", "Y"},
                                                       {"3.0", "Admin", "0", c.password, "Y"}}));
        EXPECT_TRUE(passwords.empty());
    }
}

TEST_F(ConversionTest, Version28WithoutAPasswordDialogGetsTheDefaultPassword)
{
    ctx.enterAdminPassword = nullptr; // the command line has none
    put("users.dat", userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c"));
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts(), (std::vector<QString>{kFlagLogin, kLevels, kLast, kKorvu}));
    EXPECT_EQ(fileUsers().back(), (TUserRec{"3.0", "Admin", "0", "Korvu", "Y"}));
}

TEST_F(ConversionTest, Version28WithNoLoginsMarkerNeedsNoPasswordsButTheAdminsSetOne)
{
    put("users.dat", userRec28("Bob", "1", "b") + userRec28("admin", "1", "a") + userRec28("Admin", "2", "x"));
    put("nologins.dat", QByteArray());
    passwords = {QStringLiteral("set"), std::nullopt};
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts(), (std::vector<QString>{kFlagNoLogin, kLevels, "<dialog>", kSet, "<dialog>", kKept}));
    EXPECT_EQ(fileUsers(), (std::vector<TUserRec>{{"3.0", "Bob", "1", "b", "N"},
                                                   {"3.0", "admin", "0", "set", "Y"},
                                                   {"3.0", "Admin", "0", "x", "N"}}));
    EXPECT_TRUE(has("nologins.dat"));
}

TEST_F(ConversionTest, Version28PasswordIsCutToTheField)
{
    put("users.dat", userRec28("admin", "1", "a") + userRec28("b", "1", "b"));
    passwords = {QStringLiteral("0123456789abcdefXYZ")};
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(fileUsers()[0].Password, "0123456789abcdef");
}

TEST_F(ConversionTest, SecondVersion28ConversionKeepsTheOlderCopy)
{
    put("users28.dat", "older copy");
    put("users.dat", userRec28("admin", "1", "a") + userRec28("Bob", "1", "b"));
    passwords = {QStringLiteral("pw")};
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(get("users28.dat"), "older copy");
    EXPECT_EQ(fileUsers(), (std::vector<TUserRec>{{"3.0", "admin", "0", "pw", "Y"}, {"3.0", "Bob", "1", "b", "Y"}}));
    EXPECT_FALSE(has("newusers.dat"));
}

TEST_F(ConversionTest, Version28NewFileThatCannotBeWrittenIsReportedOnce)
{
    const QByteArray old = userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c");
    put("users.dat", old);
    makeDir("newusers.dat");
    EXPECT_FALSE(LoadUsers(ctx));
    ASSERT_EQ(ui.boxes.size(), 1u); // not the version-01 conversion after it, and no second attempt
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[0].text, "Error in NvCommon.ConvertOldUserFile28(): Unable to write to new user file: \"" +
                                    path("newusers.dat") + "\".  Data was not saved.");
    EXPECT_EQ(get("users.dat"), old);
    EXPECT_TRUE(ctx.UsersArr.empty());
}

TEST_F(ConversionTest, Version28FinalWriteFailureIsReportedAfterTheQuestions)
{
    const QByteArray old = userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c");
    put("users.dat", old);
    passwords = {QStringLiteral("pw")};
    files.failWriteAt = 1; // the new file is created empty, its contents cannot be written
    files.writeErrno = ENOSPC;
    EXPECT_FALSE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts().back(), "Error in NvCommon.ConvertOldUserFile28(): Unable to write to new user file: \"" +
                                     path("newusers.dat") + "\".  Data was not saved.");
    EXPECT_EQ(get("users.dat"), old);
    EXPECT_FALSE(has("users28.dat"));
}

TEST_F(ConversionTest, Version28OldFileThatCannotBeRenamed)
{
    const QByteArray old = userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c");
    put("users.dat", old);
    passwords = {QStringLiteral("pw")};
    files.refuseRenameIf = [](const QString &, const QString &to) { return to == "users28.dat"; };
    EXPECT_FALSE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts().back(), "Error 0042: Unable to rename old user file.");
    EXPECT_EQ(ui.boxes.back().kind, MsgKind::Error);
    EXPECT_EQ(get("users.dat"), old);
    EXPECT_EQ(fileUsers("newusers.dat").size(), 3u); // left beside it
}

TEST_F(ConversionTest, Version28NewFileThatCannotBeRenamedPutsTheOldFileBack)
{
    const QByteArray old = userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c");
    put("users.dat", old);
    passwords = {QStringLiteral("pw")};
    files.refuseRenameIf = [](const QString &from, const QString &) { return from == "newusers.dat"; };
    EXPECT_FALSE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts().back(), "Error 0043: Unable to rename new user file.");
    EXPECT_EQ(ui.boxes.back().kind, MsgKind::Error);
    // Never without a users file: the old one is back, the new one beside it.
    EXPECT_EQ(get("users.dat"), old);
    EXPECT_FALSE(has("users28.dat"));
    EXPECT_EQ(fileUsers("newusers.dat").size(), 3u);
}

TEST_F(ConversionTest, ConvertedFileThatCannotBeOpenedAgain)
{
    // The first record of a 2.8 file read as a version field: length 3, "Bob".
    put("users.dat", userRec28("Bob", "1", "b") + userRec28("Carl", "2", "c"));
    passwords = {QStringLiteral("pw")};
    files.loseRenameIf = [](const QString &from, const QString &) { return from == "newusers.dat"; };
    EXPECT_FALSE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts().back(), "Error in LoadUsers(): File access error on new User file version Bob");
    EXPECT_EQ(ui.boxes.back().kind, MsgKind::Error);
    EXPECT_TRUE(ctx.UsersArr.empty());
}

// --- Version 01 -------------------------------------------------------------

TEST_F(ConversionTest, Version01AnsweredNoAndNo)
{
    const QByteArray old = userRec01("Zed") + userRec01("ann") + userRec01("Bob");
    put("users.dat", old);
    ui.queueAnswer(MsgAnswer::No);
    ui.queueAnswer(MsgAnswer::No);
    ASSERT_TRUE(LoadUsers(ctx));

    const std::vector<QString> texts = ui.texts();
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0], kIntro01);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Information);
    EXPECT_EQ(texts[1], kLevelQ01);
    EXPECT_EQ(ui.boxes[1].kind, MsgKind::Confirmation);
    EXPECT_EQ(ui.boxes[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(texts[2], employees01("Zed"));
    EXPECT_EQ(ui.boxes[2].kind, MsgKind::Information);
    EXPECT_EQ(texts[3], kLoginQ01);
    EXPECT_EQ(ui.boxes[3].kind, MsgKind::Confirmation);
    EXPECT_EQ(ui.boxes[4].kind, MsgKind::Information); // login turned off; how to have it back
    EXPECT_TRUE(texts[4].startsWith("The User Login feature has been disabled."));
    EXPECT_EQ(dialogs, 0); // no 2.8 conversion ran

    EXPECT_EQ(fileUsers(), (std::vector<TUserRec>{{"3.0", "Zed", "1", "Zed", "N"},
                                                   {"3.0", "ann", "2", "ann", "N"},
                                                   {"3.0", "Bob", "2", "Bob", "N"}}));
    EXPECT_TRUE(has("nologins.dat"));
    EXPECT_EQ(get("nologins.dat"), "");
    EXPECT_EQ(get("users01.dat"), old);
    EXPECT_FALSE(has("newusers.dat"));
    ASSERT_EQ(ctx.UsersArr.size(), 3u);
    EXPECT_EQ(ctx.UsersArr[0].UserName, "ann");
}

TEST_F(ConversionTest, Version01AnsweredYesAndYes)
{
    put("users.dat", userRec01("Zed") + userRec01("ann") + userRec01("Bob"));
    ui.queueAnswer(MsgAnswer::Yes);
    ui.queueAnswer(MsgAnswer::Yes);
    ASSERT_TRUE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts(), (std::vector<QString>{kIntro01, kLevelQ01, kManagers01, kLoginQ01, kLoginOn01}));
    EXPECT_EQ(fileUsers(), (std::vector<TUserRec>{{"3.0", "Zed", "1", "Zed", "Y"},
                                                   {"3.0", "ann", "1", "ann", "Y"},
                                                   {"3.0", "Bob", "1", "Bob", "Y"}}));
    EXPECT_FALSE(has("nologins.dat"));
}

TEST_F(ConversionTest, Version01NoLoginsMarkerThatCannotBeWritten)
{
    put("users.dat", userRec01("Zed") + userRec01("ann") + userRec01("Bob"));
    makeDir("nologins.dat");
    ui.queueAnswer(MsgAnswer::Yes);
    ui.queueAnswer(MsgAnswer::No);
    ASSERT_TRUE(LoadUsers(ctx));
    const std::vector<QString> texts = ui.texts();
    ASSERT_EQ(texts.size(), 6u);
    EXPECT_EQ(texts[4], "Error in NvCommon.ConvertUserFile01(): Unable to write to login file: \"" +
                            path("nologins.dat") + "\".  Data was not saved.");
    EXPECT_EQ(ui.boxes[4].kind, MsgKind::Error);
    EXPECT_TRUE(texts[5].startsWith("The User Login feature has been disabled."));
    EXPECT_EQ(fileUsers()[1].UsePassword, "N");
}

TEST_F(ConversionTest, Version01WhoseOlderCopyExistsIsNotConvertedAgainAndAgain)
{
    const QByteArray old = userRec01("Zed") + userRec01("ann") + userRec01("Bob");
    put("users.dat", old);
    put("users01.dat", "older");
    ui.queueAnswer(MsgAnswer::Yes);
    ui.queueAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts().back(), "Error 0022: Unable to rename old user file.");
    EXPECT_EQ(ui.boxes.back().kind, MsgKind::Error);
    EXPECT_EQ(get("users01.dat"), "older");
    EXPECT_EQ(get("users.dat"), old);
    EXPECT_TRUE(ui.answers.empty());
    EXPECT_EQ(ui.boxes.size(), 6u); // one round of questions only
}

TEST_F(ConversionTest, Version01NewFileThatCannotBeRenamedPutsTheOldFileBack)
{
    const QByteArray old = userRec01("Zed") + userRec01("ann") + userRec01("Bob");
    put("users.dat", old);
    ui.queueAnswer(MsgAnswer::Yes);
    ui.queueAnswer(MsgAnswer::Yes);
    files.refuseRenameIf = [](const QString &from, const QString &) { return from == "newusers.dat"; };
    EXPECT_FALSE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts().back(), "Error 0023: Unable to rename new user file.");
    EXPECT_EQ(get("users.dat"), old);
    EXPECT_FALSE(has("users01.dat"));
}

TEST_F(ConversionTest, Version01NewFileThatCannotBeCreated)
{
    const QByteArray old = userRec01("Zed") + userRec01("ann") + userRec01("Bob");
    put("users.dat", old);
    makeDir("newusers.dat");
    EXPECT_FALSE(LoadUsers(ctx));
    EXPECT_EQ(ui.texts(), (std::vector<QString>{"Error in NvCommon.ConvertUserFile01(): Unable to write to new users "
                                                "file: \"" +
                                                path("newusers.dat") + "\".  Data was not saved."}));
    EXPECT_EQ(get("users.dat"), old);
}

TEST_F(ConversionTest, AfterTheQuestionTheConvertedFileMustOpen)
{
    // The file cannot be read, the administrator agrees, and by then a
    // version-01 file is there; the converted file then vanishes.
    putUnreadable("users.dat");
    struct SwapUi : ScriptedUi {
        std::function<void()> onQuestion;
        MsgAnswer message(MsgKind kind, const QString &text, MsgButtons buttons) override
        {
            if (buttons == MsgButtons::YesNo && onQuestion) {
                onQuestion();
                onQuestion = nullptr;
            }
            return ScriptedUi::message(kind, text, buttons);
        }
    } swapUi;
    Context c{Platform{swapUi, files, clock, random}};
    c.ServerDir = ctx.ServerDir;
    swapUi.onQuestion = [this] {
        QFile::remove(path("users.dat"));
        put("users.dat", userRec01("Zed") + userRec01("ann") + userRec01("Bob"));
    };
    swapUi.queueAnswer(MsgAnswer::Yes); // convert now
    swapUi.queueAnswer(MsgAnswer::Yes); // managers
    swapUi.queueAnswer(MsgAnswer::Yes); // login
    files.loseRenameIf = [](const QString &from, const QString &) { return from == "newusers.dat"; };
    EXPECT_FALSE(LoadUsers(c));
    EXPECT_EQ(swapUi.texts().back(), "Error in LoadUsers(): File access error on User file version 01");
    EXPECT_EQ(swapUi.boxes.back().kind, MsgKind::Error);
    EXPECT_EQ(swapUi.texts().front(),
              "Your Norvane User file must be converted to the new format before you can continue.  Convert it now?");
}

TEST_F(ConversionTest, AfterTheQuestionAConvertedFileLoads)
{
    putUnreadable("users.dat");
    struct SwapUi : ScriptedUi {
        std::function<void()> onQuestion;
        MsgAnswer message(MsgKind kind, const QString &text, MsgButtons buttons) override
        {
            if (buttons == MsgButtons::YesNo && onQuestion) {
                onQuestion();
                onQuestion = nullptr;
            }
            return ScriptedUi::message(kind, text, buttons);
        }
    } swapUi;
    Context c{Platform{swapUi, files, clock, random}};
    c.ServerDir = ctx.ServerDir;
    c.enterAdminPassword = [](QString &pw) {
        pw = "pw";
        return true;
    };
    swapUi.onQuestion = [this] {
        QFile::remove(path("users.dat"));
        put("users.dat", userRec28("Bob", "1", "b"));
    };
    swapUi.queueAnswer(MsgAnswer::Yes);
    EXPECT_TRUE(LoadUsers(c));
    EXPECT_FALSE(c.QuitFlag);
    ASSERT_EQ(c.UsersArr.size(), 2u);
    EXPECT_EQ(c.UsersArr[0], (TUserRec{"3.0", "Admin", "0", "pw", "Y"}));
    EXPECT_EQ(c.UsersArr[1], (TUserRec{"3.0", "Bob", "1", "b", "Y"}));
}

TEST_F(ConversionTest, FileThatCannotBeOpenedIsReportedByBothLayouts)
{
    EXPECT_FALSE(ConvertUserFile01(ctx, path("users.dat")));
    EXPECT_EQ(ui.texts(), (std::vector<QString>{"Error 0040: File access error on ver 2.8 User file",
                                                "Error 0020: File access error on User file"}));
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ui.boxes[1].kind, MsgKind::Error);
    EXPECT_FALSE(ConvertOldUserFile28(ctx, path("users.dat")));
    EXPECT_FALSE(has("newusers.dat"));
}

TEST(OldUsersLayoutGuess, TellsTheLayoutsApart)
{
    const QByteArray r01 = userRec01("ANN");
    const QByteArray r28 = userRec28("ANN", "1", "pw");
    struct Case {
        QByteArray bytes;
        OldUsersLayout layout;
    };
    QByteArray thirtySeven01, seventeen28;
    for (int i = 0; i < 37; ++i)
        thirtySeven01 += r01;
    for (int i = 0; i < 17; ++i)
        seventeen28 += userRec28("U" + QByteArray::number(i), i % 2 ? "1" : "2", "pw");
    const Case cases[] = {
        {r01 + r01 + r01, OldUsersLayout::Version01},
        {r01 + r01, OldUsersLayout::Version01},
        {r28 + r28, OldUsersLayout::Version28},
        {r28 + r28 + "x", OldUsersLayout::Version28},
        {thirtySeven01, OldUsersLayout::Version01}, // 629 bytes: both sizes fit; the levels decide
        {seventeen28, OldUsersLayout::Version28},
        {QByteArray(50, 'x'), OldUsersLayout::Version28}, // the older clients' first try
    };
    for (const Case &c : cases)
        EXPECT_EQ(guessOldUsersLayout(c.bytes), c.layout) << c.bytes.size();
}
