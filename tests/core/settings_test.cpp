#include "mainwin/settings.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    Workstation ws;
    QString cwd = tmp.filePath("cwd");
    QString docs = tmp.filePath("docs");
    QString config = tmp.filePath("config/norvane");

    void SetUp() override
    {
        QDir().mkpath(cwd);
        QDir().mkpath(docs);
    }
    nv::SettingsLocation locate(const QByteArray &locator)
    {
        if (!locator.isNull())
            put(cwd + "/NV_CUSTOM.INI", locator);
        return nv::LocateSettingsFile(ws.files, cwd, docs, config);
    }
    void load(const QByteArray &ini, const QStringList &args = {}, const QString &user = QString())
    {
        ws.ctx.iniPath = tmp.filePath("NORVANE.INI");
        put(ws.ctx.iniPath, ini);
        ws.ctx.args = args;
        nv::LoadSettings(ws.ctx, false, user);
    }
};

} // namespace

TEST_F(SettingsTest, LocatingTheSettingsFile)
{
    struct Case { QByteArray locator; QString expected; };
    const Case cases[] = {
        {QByteArray(), config + "/NORVANE.INI"},                                  // no locator file
        {"[Settings]\r\nINIFolder=\r\n", config + "/NORVANE.INI"},
        {"[Settings]\r\nINIFolder=mydocuments\r\n", docs + "/NORVANE.INI"},
        {"[Settings]\r\nINIFolder=My Documents\\Reports\r\n", docs + "/Reports/NORVANE.INI"},
        {"[SETTINGS]\r\ninifolder=MY DOCUMENTSReports\r\n", docs + "Reports/NORVANE.INI"},
        {"[Settings]\r\nINIFolder=" + QFile::encodeName(tmp.filePath("data")) + "/\r\n",
         tmp.filePath("data") + "/NORVANE.INI"},
    };
    for (const Case &c : cases) {
        QFile::remove(cwd + "/NV_CUSTOM.INI");
        EXPECT_EQ(locate(c.locator).iniPath, c.expected) << c.locator.constData();
    }
    EXPECT_TRUE(QDir(tmp.filePath("data")).exists()); // a missing INIFolder is created
    EXPECT_TRUE(QDir(docs + "/Reports").exists());
}

TEST_F(SettingsTest, ClientLabelReachesTheVersionText)
{
    EXPECT_EQ(locate("[Settings]\r\nClient=Tarrowby\r\n").Client, "Tarrowby");
    EXPECT_EQ(nv::VersionText("Tarrowby"), "3.1.7 - 2/24/2008 (Tarrowby)");
    EXPECT_EQ(nv::VersionText(""), "3.1.7 - 2/24/2008");
}

TEST_F(SettingsTest, EveryKeyFromTheUsersSection)
{
    load("[Settings]\r\nVersion=3.0\r\nUserName=RECEPTIONIST-DESK-2\r\nServerDir=/wrong\r\n"
         "[User-RECEPTIONIST-DES]\r\nServerDir=\\\\server\\share\\\r\nLocalDir=/home/r/\r\nMsgTimer=30\r\n"
         "LastFolder=A-VERY-LONG-FOLDER\r\nAutoPopUp=0\r\nBeepOnNew=0\r\nBeepSound=48\r\nUseOutBox=0\r\n"
         "UseInbox=1\r\nUseDeletedBox=0\r\n");
    const nv::TUserSettings &s = ws.ctx.settings;
    EXPECT_EQ(s.UserName, "RECEPTIONIST-DES"); // 16 characters
    EXPECT_EQ(ws.ctx.ServerDir, "\\\\server\\share"); // one trailing separator dropped
    EXPECT_EQ(ws.ctx.LocalDir, "/home/r");
    EXPECT_EQ(s.MsgTimer, 30);
    EXPECT_EQ(s.LastFolder, "A-VERY-LONG-F");
    EXPECT_FALSE(s.AutoPopUp);
    EXPECT_FALSE(s.BeepOnNew);
    EXPECT_EQ(s.BeepSound, 48);
    EXPECT_FALSE(s.UseOutBox);
    EXPECT_TRUE(s.UseInbox);
    EXPECT_FALSE(s.UseDeletedBox);
    EXPECT_FALSE(s.SettingsMissing);
    EXPECT_EQ(ws.ctx.InboxBase, "_iRECEPT");
    EXPECT_EQ(ws.ctx.OutboxBase, "_oRECEPT");
    EXPECT_EQ(ws.ctx.DeletedBase, "_dRECEPT");
}

TEST_F(SettingsTest, WithoutVersionEveryKeyComesFromSettings)
{
    load("[Settings]\r\nUserName=ANN\r\nServerDir=/srv\r\nLocalDir=/loc\r\nMsgTimer=12\r\n"
         "[User-ANN]\r\nServerDir=/other\r\nMsgTimer=99\r\n");
    EXPECT_EQ(ws.ctx.ServerDir, "/srv");
    EXPECT_EQ(ws.ctx.settings.MsgTimer, 12);
}

TEST_F(SettingsTest, DirectoriesFallBackToTheirOwnSection)
{
    load("[Settings]\r\nVersion=3.0\r\nUserName=ANN\r\n[User-ANN]\r\nMsgTimer=20\r\n"
         "[Directories]\r\nServerDir=/net\r\nLocalDir=/here\r\n");
    EXPECT_EQ(ws.ctx.ServerDir, "/net");
    EXPECT_EQ(ws.ctx.LocalDir, "/here");
    EXPECT_FALSE(ws.ctx.settings.SettingsMissing);
    // Only when both are missing from the chosen section.
    load("[Settings]\r\nVersion=3.0\r\nUserName=ANN\r\n[User-ANN]\r\nServerDir=/mine\r\n"
         "[Directories]\r\nServerDir=/net\r\nLocalDir=/here\r\n");
    EXPECT_EQ(ws.ctx.ServerDir, "/mine");
    EXPECT_EQ(ws.ctx.LocalDir, "ERROR");
    EXPECT_TRUE(ws.ctx.settings.SettingsMissing);
}

TEST_F(SettingsTest, DefaultsAndTheCommandLine)
{
    load("", {"y"});
    const nv::TUserSettings &s = ws.ctx.settings;
    EXPECT_EQ(ws.ctx.ServerDir, "ERROR");
    EXPECT_EQ(ws.ctx.LocalDir, "ERROR");
    EXPECT_EQ(s.MsgTimer, 10);
    EXPECT_TRUE(s.AutoPopUp && s.BeepOnNew && s.UseOutBox && s.UseDeletedBox);
    EXPECT_FALSE(s.UseInbox);
    EXPECT_EQ(s.BeepSound, 0);
    EXPECT_TRUE(s.SettingsMissing);
    EXPECT_TRUE(s.StartMinimized);
    load("", {"N"});
    EXPECT_FALSE(ws.ctx.settings.StartMinimized);
}

TEST_F(SettingsTest, AUserNameArgumentSelectsTheSectionOnly)
{
    load("[Settings]\r\nVersion=3.0\r\n[User-BOB]\r\nServerDir=/srv\r\nLocalDir=/bob\r\n", {"N", "BOB"}, "BOB");
    EXPECT_EQ(ws.ctx.ServerDir, "/srv");
    EXPECT_EQ(ws.ctx.settings.UserName, "");
    EXPECT_TRUE(ws.ctx.settings.SettingsMissing);
}

TEST_F(SettingsTest, SaveWritesEveryKeyAndLoadsBack)
{
    load("");
    nv::TUserSettings &s = ws.ctx.settings;
    s.UserName = "ANN";
    ws.ctx.ServerDir = "/srv/nv";
    ws.ctx.LocalDir = "/home/ann";
    s.MsgTimer = 7;
    s.LastFolder = "Inbox";
    s.AutoPopUp = false;
    s.BeepSound = 64;
    s.UseInbox = true;
    nv::SaveSettings(ws.ctx, false);
    nv::SaveSettings(ws.ctx, true); // the defaults section too

    Workstation other;
    other.ctx.iniPath = ws.ctx.iniPath;
    nv::LoadSettings(other.ctx, false);
    EXPECT_EQ(other.ctx.settings.UserName, "ANN");
    EXPECT_EQ(other.ctx.ServerDir, "/srv/nv");
    EXPECT_EQ(other.ctx.LocalDir, "/home/ann");
    EXPECT_EQ(other.ctx.settings.MsgTimer, 7);
    EXPECT_EQ(other.ctx.settings.LastFolder, "Inbox");
    EXPECT_FALSE(other.ctx.settings.AutoPopUp);
    EXPECT_EQ(other.ctx.settings.BeepSound, 64);
    EXPECT_TRUE(other.ctx.settings.UseInbox);
    EXPECT_EQ(other.ctx.settings.SettingsVersion, "3.0");

    QFile f(ws.ctx.iniPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[User-ANN]\r\n"));
    EXPECT_TRUE(text.contains("AutoPopUp=0\r\n"));
    EXPECT_TRUE(text.contains("UseInbox=1\r\n"));
}
