#include "directory/user_rec.h"
#include "store/msg_info_rec.h"
#include "mainwin/nv_main_form.h"
#include "platform/ini_profile.h"
#include "support/workstation.h"

#include <QAction>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

void put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

// A workstation whose working directory holds NV_CUSTOM.INI pointing at its own NORVANE.INI.
class MainFormTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString oldCwd = QDir::currentPath();
    Workstation ws;
    std::unique_ptr<nv::TNvMainForm> form;

    void SetUp() override
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(tmp.filePath("config")));
        QDir().mkpath(tmp.filePath("net/queue"));
        QDir().mkpath(tmp.filePath("local/mailbox"));
        QDir::setCurrent(tmp.path());
        writeUsers({{"ANN", "1"}, {"BOB", "0"}});
    }
    void TearDown() override
    {
        form.reset();
        QDir::setCurrent(oldCwd);
    }
    void writeSettings(const QByteArray &client = QByteArray(), const QByteArray &extra = QByteArray())
    {
        put(tmp.filePath("NV_CUSTOM.INI"), "[Settings]\r\nINIFolder=" + QFile::encodeName(tmp.path()) +
                                               "\r\nClient=" + client + "\r\n");
        put(tmp.filePath("NORVANE.INI"), "[Settings]\r\nVersion=3.0\r\nUserName=ANN\r\n[User-ANN]\r\nServerDir=" +
                                             QFile::encodeName(tmp.filePath("net")) + "\r\nLocalDir=" +
                                             QFile::encodeName(tmp.filePath("local")) + "\r\n" + extra);
    }
    void writeUsers(const std::vector<std::pair<const char *, const char *>> &users)
    {
        QByteArray data;
        for (auto [name, level] : users) {
            nv::TUserRec u;
            u.UserName = name;
            u.Privilege = level;
            u.UsePassword = "N";
            data += nv::encodeUserRec(u);
        }
        put(tmp.filePath("net/users.dat"), data);
    }
    nv::TNvMainForm &make()
    {
        form = std::make_unique<nv::TNvMainForm>(ws.ctx);
        return *form;
    }
    template <class T> T *find(const char *name) { return form->findChild<T *>(QString::fromLatin1(name)); }
    QString ini(const char *section, const char *key)
    {
        return nv::IniProfile(ws.files, tmp.filePath("NORVANE.INI")).readString(section, key);
    }
};

} // namespace

TEST_F(MainFormTest, ControlsAndMenusCarryTheirNamesAndCaptions)
{
    writeSettings();
    make().runStartUp();
    const std::pair<const char *, const char *> buttons[] = {
        {"CreateBtn", "&Create"}, {"PhoneMsgBtn", "&Phone Msg"}, {"GetBtn", "&Inbox"}, {"MinimizeBtn", "&Minimize"}};
    for (auto [name, caption] : buttons) {
        auto *b = find<QToolButton>(name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), caption);
        EXPECT_EQ(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
    }
    EXPECT_EQ(find<QPushButton>("ReadMsgBtn")->text(), "&Read");
    EXPECT_EQ(find<QPushButton>("DelMsgBtn")->text(), "&Delete");
    EXPECT_EQ(find<QLabel>("Label1")->text(), "Messages for:");
    EXPECT_EQ(find<QLineEdit>("YourNameFld")->text(), "ANN");
    EXPECT_TRUE(find<QLineEdit>("YourNameFld")->isReadOnly());
    EXPECT_EQ(find<QLabel>("VersionFld")->text(), "3.1.7 - 2/24/2008");
    EXPECT_EQ(form->windowTitle(), "Norvane");

    const std::pair<const char *, const char *> items[] = {
        {"Minimize1", "&Minimize"}, {"Exit1", "E&xit"},      {"Create1", "&Create"},
        {"Get1", "&Get"},           {"ExportFolder1", "&Export Folder"}, {"ImportFolder1", "&Import Folder"},
        {"Users1", "&Users"},       {"Groups1", "&Groups"},  {"Settings1", "&Settings"},
        {"Folders1", "Folders"},    {"Help2", "&Help"},      {"About1", "&About"}};
    for (auto [name, caption] : items) {
        auto *a = find<QAction>(name);
        ASSERT_NE(a, nullptr) << name;
        EXPECT_EQ(a->text(), caption);
    }
    EXPECT_FALSE(find<QAction>("ExportFolder1")->isEnabled());

    auto *grid = find<QTableWidget>("gridList");
    ASSERT_EQ(grid->columnCount(), 4);
    const QStringList heads = {"!", "Received", "From", "Message"};
    const QStringList hints = {"Urgent!", "Date and time message was received", "Message sent from", "Message"};
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), heads[c]);
        EXPECT_EQ(grid->horizontalHeaderItem(c)->toolTip(), hints[c]);
    }
    EXPECT_EQ(grid->rowCount(), 1); // an empty folder shows one empty row
    EXPECT_TRUE(ws.ui.boxes.empty());
    EXPECT_FALSE(form->startUpAbandoned());
    EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(MainFormTest, ClientLabelAndTheAboutBox)
{
    writeSettings("Tarrowby");
    make().runStartUp();
    EXPECT_EQ(find<QLabel>("VersionFld")->text(), "3.1.7 - 2/24/2008 (Tarrowby)");
    form->showAbout();
    ASSERT_EQ(ws.ui.modalShown, (std::vector<QString>{"AboutBox"}));
    auto *box = find<QDialog>("AboutBox");
    EXPECT_EQ(box->findChild<QLabel *>("VersionField")->text(), "3.1.7 - 2/24/2008 (Tarrowby)");
    EXPECT_EQ(box->findChild<QLabel *>("ProductName")->text(), "Norvane");
    EXPECT_EQ(box->findChild<QPushButton *>("OKButton")->text(), "&OK");
}

TEST_F(MainFormTest, MissingSettingsAbandonStartUpAndStillSaveOnTheWayOut)
{
    put(tmp.filePath("NV_CUSTOM.INI"), "[Settings]\r\nINIFolder=" + QFile::encodeName(tmp.path()) + "\r\n");
    make().runStartUp();
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].text, "You must enter the system settings before continuing.");
    EXPECT_EQ(ws.ui.boxes[0].kind, nv::MsgKind::Plain);
    EXPECT_TRUE(form->startUpAbandoned());
    EXPECT_FALSE(form->Timer1->isActive());
    form.reset();
    EXPECT_EQ(ini("Settings", "Version"), "3.0");
    EXPECT_EQ(ini("User-", "ServerDir"), "ERROR");
}

TEST_F(MainFormTest, ClosingAsksFirstAndNoKeepsPolling)
{
    writeSettings();
    make().runStartUp();
    form->show();
    ws.ui.queueAnswer(nv::MsgAnswer::No);
    EXPECT_FALSE(form->close());
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].text,
              "If you exit, you will not be notified of the receipt of new messages.  Exit anyway?");
    EXPECT_EQ(ws.ui.boxes[0].kind, nv::MsgKind::Confirmation);
    EXPECT_EQ(ws.ui.boxes[0].buttons, nv::MsgButtons::YesNo);
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->Timer1->isActive());

    ws.ui.queueAnswer(nv::MsgAnswer::Yes);
    find<QAction>("Exit1")->trigger();
    EXPECT_FALSE(form->isVisible());
    form.reset(); // destroying the window saves the settings
    EXPECT_EQ(ini("User-ANN", "UseOutBox"), "1");
}

TEST_F(MainFormTest, PrivilegesShowAndHideCommands)
{
    writeSettings();
    make().runStartUp();
    for (const char *level : {"0", "1", "2", "x"}) {
        ws.ctx.settings.Privilege = level;
        form->SetPrivileges();
        const bool admin = QString(level) == "0";
        EXPECT_EQ(find<QAction>("Users1")->isVisible(), admin) << level;
        EXPECT_EQ(find<QAction>("Groups1")->isVisible(), admin) << level;
    }
}

TEST_F(MainFormTest, ResizeRulesPlaceTheControlsAndRememberTheSize)
{
    writeSettings();
    make();
    form->resizeOuter(489, 421);
    form->applyResizeRules();
    EXPECT_EQ(find<QToolButton>("CreateBtn")->x(), 70);
    EXPECT_EQ(find<QToolButton>("PhoneMsgBtn")->x(), 160);
    EXPECT_EQ(find<QToolButton>("GetBtn")->x(), 250);
    EXPECT_EQ(find<QToolButton>("MinimizeBtn")->x(), 340);
    EXPECT_EQ(find<QPushButton>("ReadMsgBtn")->x(), 315);
    EXPECT_EQ(find<QPushButton>("DelMsgBtn")->x(), 395);
    EXPECT_EQ(find<QLabel>("Label1")->x(), 125);
    EXPECT_EQ(find<QLineEdit>("YourNameFld")->x(), 225);
    auto *grid = find<QTableWidget>("gridList");
    EXPECT_EQ(grid->columnWidth(0), 12);
    const int w = grid->width() - 37;
    EXPECT_EQ(grid->columnWidth(1), qRound(w * 0.343));
    EXPECT_EQ(grid->columnWidth(3), qRound(w * 0.469));
    EXPECT_EQ(ini("frmMain", "Width"), "489");
    EXPECT_EQ(ini("frmMain", "Height"), "421");

    form->resizeOuter(300, 220);
    form->applyResizeRules();
    EXPECT_EQ(find<QToolButton>("CreateBtn")->x(), 2);
    EXPECT_EQ(find<QToolButton>("MinimizeBtn")->x(), 272);
    EXPECT_EQ(find<QPushButton>("ReadMsgBtn")->x(), 211);
    EXPECT_EQ(grid->height(), 18);
    EXPECT_EQ(find<QLabel>("VersionFld")->y(), 168);
}

TEST_F(MainFormTest, GeometryAndColumnWidthsComeFromTheSettingsFile)
{
    writeSettings({}, "[frmMain]\r\nHeight=500\r\nWidth=600\r\ngridList.Col2Width=99\r\n");
    make();
    EXPECT_EQ(form->outerSize(), QSize(600, 500));
}

namespace {

QByteArray record(const char *from, const char *sentAt, int urgent, const char *textFile)
{
    nv::TMsgInfoRec r;
    r.FromUser = from;
    r.ToUser = "ANN";
    r.SentAt = sentAt;
    r.Urgent = urgent;
    r.TextFileName = textFile;
    return nv::encodeMsgInfoRec(r);
}

} // namespace

TEST_F(MainFormTest, StartUpListsFoldersAndTheMessagesOfTheLastFolder)
{
    writeSettings({}, "LastFolder=NOTES\r\n");
    put(tmp.filePath("local/mailbox/NOTES.mbx"),
        record("BOB", "2008/02/24 09:05:00", 2, "1.tms") + record("CAROL", "2008/12/01 17:30:00", 1, "2.tms"));
    put(tmp.filePath("local/mailbox/1.tms"), "Lunch at noon?\r\nBob\r\n");
    put(tmp.filePath("local/mailbox/2.tms"), "Call the bank\r\n");
    put(tmp.filePath("local/mailbox/_oANN.mbx"), "");
    put(tmp.filePath("local/mailbox/_iANN.mbx"), ""); // the read-inbox is never listed
    make().runStartUp();

    auto *folders = find<QListWidget>("FolderList");
    QStringList names;
    for (int i = 0; i < folders->count(); ++i)
        names << folders->item(i)->text();
    EXPECT_TRUE(names.contains("NOTES"));
    EXPECT_TRUE(names.contains("Outbox"));
    EXPECT_FALSE(names.contains("_iANN"));
    EXPECT_EQ(folders->currentItem()->text(), "NOTES");

    auto *grid = find<QTableWidget>("gridList");
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->item(0, 0)->text(), "!"); // newest first
    EXPECT_EQ(grid->item(0, 1)->text(), "12/01/2008 17:30:00");
    EXPECT_EQ(grid->item(0, 2)->text(), "CAROL");
    EXPECT_EQ(grid->item(0, 3)->text(), "Call the bank");
    EXPECT_EQ(grid->item(1, 0)->text(), "");
    EXPECT_EQ(grid->item(1, 3)->text(), "Lunch at noon?");

    // Choosing another folder shows its messages; an empty one shows one empty row.
    auto *outbox = folders->findItems("Outbox", Qt::MatchExactly).value(0);
    ASSERT_NE(outbox, nullptr);
    folders->setCurrentItem(outbox);
    emit folders->itemClicked(outbox);
    EXPECT_EQ(ws.ctx.settings.LastFolder, "Outbox");
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_EQ(grid->item(0, 2) ? grid->item(0, 2)->text() : QString(), "");

    // The signed-in user's privilege came from the users file, and presence was stamped.
    EXPECT_EQ(ws.ctx.settings.Privilege, "1");
    EXPECT_FALSE(find<QAction>("Users1")->isVisible());
    EXPECT_TRUE(QFile::exists(tmp.filePath("net/activity/ANN.dat")));
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(MainFormTest, NoUsersFileAsksForUserNames)
{
    QFile::remove(tmp.filePath("net/users.dat"));
    writeSettings();
    make().runStartUp();
    EXPECT_EQ(ws.ui.texts(), (std::vector<QString>{"You must setup user names before continuing."}));
}

TEST_F(MainFormTest, InboxCommandPollsAtOnce)
{
    writeSettings();
    make().runStartUp();
    int opened = 0;
    form->setMessageInboxOpener([&] { ++opened; });
    find<QToolButton>("GetBtn")->click();
    EXPECT_EQ(ws.ui.texts(), (std::vector<QString>{"Your inbox is empty."}));
    EXPECT_EQ(opened, 0);

    ws.ui.clear();
    put(tmp.filePath("net/queue/ANN.m01"), record("BOB", "2008/02/24 09:05:00", 2, "7.tms"));
    put(tmp.filePath("net/queue/7.tms"), "Hi\r\n");
    find<QAction>("Get1")->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_TRUE(ws.ui.boxes.empty());
    EXPECT_TRUE(ws.ui.beeps.empty()); // on demand: no sound

    // The timer's poll beeps.
    form->Timer1Timer();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(ws.ui.beeps.size(), 1u);
    EXPECT_TRUE(form->Timer1->isActive());
}

TEST_F(MainFormTest, MinimizedWithoutPopUpFlashesInstead)
{
    writeSettings({}, "AutoPopUp=0\r\n");
    make().runStartUp();
    int opened = 0;
    form->setMessageInboxOpener([&] { ++opened; });
    ws.ui.minimized = true;
    put(tmp.filePath("net/queue/ANN.m01"), record("BOB", "2008/02/24 09:05:00", 2, "7.tms"));
    form->Timer1Timer();
    EXPECT_EQ(opened, 0);
    EXPECT_TRUE(form->Timer2->isActive());
    EXPECT_EQ(form->Timer2->interval(), 1000);
    form->Timer2Timer();
    EXPECT_EQ(ws.ui.flashCalls, 1);
}

TEST_F(MainFormTest, DeletingMovesToDeletedAndKeepsTheRowInRange)
{
    writeSettings({}, "LastFolder=NOTES\r\n");
    put(tmp.filePath("local/mailbox/NOTES.mbx"), record("A", "2008/01/03 00:00:00", 2, "1.tms") +
                                                     record("B", "2008/01/02 00:00:00", 2, "2.tms") +
                                                     record("C", "2008/01/01 00:00:00", 2, "3.tms"));
    for (const char *t : {"1.tms", "2.tms", "3.tms"})
        put(tmp.filePath(QString("local/mailbox/") + t), "text\r\n");
    make().runStartUp();
    auto *grid = find<QTableWidget>("gridList");
    auto *del = find<QPushButton>("DelMsgBtn");
    ASSERT_TRUE(del->isEnabled());

    ws.ui.queueAnswer(nv::MsgAnswer::No);
    del->click();
    EXPECT_EQ(grid->rowCount(), 3);
    EXPECT_EQ(ws.ui.boxes.back().text, "Delete the current message?");
    EXPECT_EQ(ws.ui.boxes.back().kind, nv::MsgKind::Information);

    grid->selectRow(2); // the last of three
    ws.ui.queueAnswer(nv::MsgAnswer::Yes);
    del->click();
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(grid->currentRow(), 1); // row 2 of the list
    EXPECT_TRUE(QFile::exists(tmp.filePath("local/mailbox/3.tms"))); // it went to Deleted with its text
    EXPECT_EQ(QFileInfo(tmp.filePath("local/mailbox/_dANN.mbx")).size(), 932);

    ws.ctx.settings.UseDeletedBox = false;
    for (int i = 0; i < 2; ++i) {
        ws.ui.queueAnswer(nv::MsgAnswer::Yes);
        del->click();
    }
    EXPECT_EQ(grid->rowCount(), 1);
    EXPECT_FALSE(del->isEnabled());
    EXPECT_FALSE(QFile::exists(tmp.filePath("local/mailbox/1.tms")));
    EXPECT_FALSE(QFile::exists(tmp.filePath("local/mailbox/2.tms")));
}

TEST_F(MainFormTest, ReadingAFolderMessageAndLeavingItToBeRemoved)
{
    writeSettings({}, "LastFolder=NOTES\r\n");
    put(tmp.filePath("local/mailbox/NOTES.mbx"), record("BOB", "2008/01/03 00:00:00", 1, "1.tms"));
    put(tmp.filePath("local/mailbox/1.tms"), "Lunch at noon?\r\nBob\r\n");
    make().runStartUp();
    auto *read = find<QPushButton>("ReadMsgBtn");
    ASSERT_TRUE(read->isEnabled());

    QString shownFrom, shownText;
    ws.ui.onModal = [&](QObject *w) {
        EXPECT_EQ(w->objectName(), "ReadMsgForm");
        shownFrom = w->findChild<QLineEdit *>("SentFrom")->text();
        shownText = w->findChild<QPlainTextEdit *>("InMessage")->toPlainText();
        EXPECT_FALSE(form->Timer1->isActive()); // no poll while a window is open
        return 0;
    };
    read->click();
    EXPECT_EQ(shownFrom, "BOB");
    EXPECT_EQ(shownText, "Lunch at noon?\nBob");
    EXPECT_EQ(find<QTableWidget>("gridList")->rowCount(), 1);
    EXPECT_TRUE(form->Timer1->isActive());

    // The read window asks for its message to leave the folder: it goes to Deleted.
    ws.ui.onModal = [&](QObject *) {
        ws.ctx.MsgRemoved = true;
        return 0;
    };
    read->click();
    EXPECT_EQ(QFileInfo(tmp.filePath("local/mailbox/NOTES.mbx")).size(), 0);
    EXPECT_EQ(QFileInfo(tmp.filePath("local/mailbox/_dANN.mbx")).size(), 932);
    EXPECT_FALSE(read->isEnabled());
    EXPECT_TRUE(ws.ui.boxes.empty());
}
