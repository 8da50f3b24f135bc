#include "platform/codec.h"
#include "platform/files.h"
#include "platform/ini_profile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(Codec, EveryByteRoundTrips)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = nv::fromAnsi(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(nv::toAnsi(text), all);
}

TEST(Codec, HighCodesMapToTheirCharacters)
{
    EXPECT_EQ(nv::fromAnsi(QByteArray("\x80\x8a\x9f\xe9", 4)), QString::fromUtf8("\xe2\x82\xac\xc5\xa0\xc5\xb8\xc3\xa9"));
    EXPECT_EQ(nv::toAnsi(QString::fromUtf8("\xe2\x82\xac")), QByteArray("\x80"));
    // Characters outside the code page, a surrogate pair among them, become one '?' each.
    EXPECT_EQ(nv::toAnsi(QString::fromUtf8("a\xe4\xb8\xad" "b\xf0\x9f\x98\x80" "c")), QByteArray("a?b?c"));
}

namespace {

class IniTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    nv::Files files;
    QString path = tmp.filePath("NORVANE.INI");
    nv::IniProfile ini{files, path};

    void put(const QByteArray &data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QByteArray contents()
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

} // namespace

TEST_F(IniTest, MissingFileGivesDefaults)
{
    EXPECT_EQ(ini.readString("Settings", "UserName", "dflt"), "dflt");
    EXPECT_EQ(ini.readInt("frmMain", "Height", 421), 421);
    EXPECT_TRUE(ini.readBool("User-ANN", "AutoPopUp", true));
}

TEST_F(IniTest, SectionsAndKeysIgnoreCaseValuesAreVerbatim)
{
    put("[settings]\r\nusername=Ann Smith \r\n[User-ANN]\r\nMSGTIMER=15\r\nAutoPopUp=0\r\nBeepOnNew=2\r\n"
        "LocalDir=C:\\Data\\\r\nJunk=12abc\r\nEmpty=\r\n");
    EXPECT_EQ(ini.readString("Settings", "UserName"), "Ann Smith");
    EXPECT_EQ(ini.readInt("user-ann", "MsgTimer", 10), 15);
    EXPECT_FALSE(ini.readBool("User-ANN", "AutoPopUp", true));
    EXPECT_TRUE(ini.readBool("User-ANN", "BeepOnNew", false)); // any non-zero integer is true
    EXPECT_EQ(ini.readString("User-ANN", "LocalDir"), "C:\\Data\\");
    EXPECT_EQ(ini.readInt("User-ANN", "Junk", 0), 12);
    EXPECT_EQ(ini.readInt("User-ANN", "Empty", 7), 7);
    EXPECT_EQ(ini.readString("User-BOB", "MsgTimer", "none"), "none");
}

TEST_F(IniTest, WritesGoThroughAtOnceAndKeepOtherKeys)
{
    put("; a comment\r\n[Settings]\r\nVersion=3.0\r\n\r\n[frmMain]\r\nheight=300\r\n");
    EXPECT_TRUE(ini.writeInt("FRMMAIN", "Height", 421));
    EXPECT_TRUE(ini.writeBool("frmMain", "Flag", false));
    EXPECT_TRUE(ini.writeString("Settings", "UserName", "ANN"));
    EXPECT_TRUE(ini.writeString("User-ANN", "ServerDir", "/srv/nv"));
    EXPECT_EQ(ini.readInt("frmMain", "Height", 0), 421);
    EXPECT_EQ(ini.readString("frmMain", "Flag"), "0");
    EXPECT_EQ(ini.readString("Settings", "Version"), "3.0");
    EXPECT_EQ(ini.readString("Settings", "UserName"), "ANN");
    EXPECT_EQ(ini.readString("User-ANN", "ServerDir"), "/srv/nv");
    const QByteArray text = contents();
    EXPECT_TRUE(text.startsWith("; a comment\r\n[Settings]\r\nVersion=3.0\r\nUserName=ANN\r\n"));
    EXPECT_EQ(text.count("[frmMain]"), 1);
}

TEST_F(IniTest, ReadsAnAnsiFileFromAnOlderWorkstation)
{
    put("[Settings]\r\nUserName=Ren\xe9\r\n");
    EXPECT_EQ(ini.readString("Settings", "UserName"), QString::fromUtf8("Ren\xc3\xa9"));
}
