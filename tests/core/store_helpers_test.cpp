#include "store/helpers.h"

#include "platform/files.h"
#include "support/scripted_ui.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nv;

namespace {

// Test-side file access; the code under test goes through nv::Files.
void put(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray get(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

class MoveAFileTest : public ::testing::Test {
protected:
    QString path(const QString &rel) const { return tmp.filePath(rel); }
    QTemporaryDir tmp;
    Files files;
    ScriptedUi ui;
};

} // namespace

TEST_F(MoveAFileTest, MovesTheFile)
{
    put(path("a.tms"), "body\r\n");
    EXPECT_TRUE(MoveAFile(ui, files, path("a.tms"), path("b.tms")));
    EXPECT_FALSE(QFile::exists(path("a.tms")));
    EXPECT_EQ(get(path("b.tms")), "body\r\n");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MoveAFileTest, CreatesMissingParentDirectories)
{
    put(path("a.tms"), "text");
    const QString dest = path("X/Y/Z.TMS");
    EXPECT_TRUE(MoveAFile(ui, files, path("a.tms"), dest));
    EXPECT_TRUE(QFileInfo(path("X")).isDir());
    EXPECT_TRUE(QFileInfo(path("X/Y")).isDir());
    EXPECT_EQ(get(dest), "text");
    EXPECT_FALSE(QFile::exists(path("a.tms")));
    EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(MoveAFileTest, ExistingDestinationLeavesBothFiles)
{
    put(path("a.tms"), "new");
    put(path("b.tms"), "old");
    EXPECT_FALSE(MoveAFile(ui, files, path("a.tms"), path("b.tms")));
    EXPECT_EQ(get(path("a.tms")), "new");
    EXPECT_EQ(get(path("b.tms")), "old");
    EXPECT_TRUE(ui.boxes.empty()); // the caller reports it
}

TEST_F(MoveAFileTest, OntoItselfKeepsTheFile)
{
    put(path("a.tms"), "keep");
    EXPECT_FALSE(MoveAFile(ui, files, path("a.tms"), path("a.tms")));
    EXPECT_EQ(get(path("a.tms")), "keep");
}

TEST_F(MoveAFileTest, MissingSourceIsReportedInAPlainBox)
{
    const QString src = path("gone.tms");
    EXPECT_FALSE(MoveAFile(ui, files, src, path("b.tms")));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(ui.boxes[0].text, "Error in MoveAFile(): file '" + src + "' does not exist.");
    EXPECT_FALSE(QFile::exists(path("b.tms")));
}

TEST_F(MoveAFileTest, DestinationWithoutDirectoryIsReportedInAPlainBox)
{
    put(path("a.tms"), "stay");
    EXPECT_FALSE(MoveAFile(ui, files, path("a.tms"), "b.tms"));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ui.boxes[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(ui.boxes[0].text, "Error in MoveAFile(): invalid TO file encountered: 'b.tms'.");
    EXPECT_EQ(get(path("a.tms")), "stay");
}

TEST_F(MoveAFileTest, UnwritableDestinationKeepsTheSource)
{
    put(path("a.tms"), "stay");
    put(path("plain"), "a file, not a directory");
    EXPECT_FALSE(MoveAFile(ui, files, path("a.tms"), path("plain/sub/b.tms")));
    EXPECT_EQ(get(path("a.tms")), "stay");
    EXPECT_TRUE(ui.boxes.empty());
}

TEST(FileBaseName, Cases)
{
    struct Case {
        QString in, out;
    };
    const Case cases[] = {
        {"\\\\SRV\\SHARE\\SALES.nvg", "SALES"},
        {"README", ""},
        {"NOTES.MBX", "NOTES"},
        {"A.B.C", "A.B"},
        {"C:NOTES.MBX", "NOTES"},
        {"/srv/norvane/SALES.nvg", "SALES"},
        {"dir.d/README", ""},
        {"trailing.", "trailing"},
        {".hidden", ""},
        {"", ""},
        {QString("ab.c") + QChar(0) + "x.y", "ab"},
        // Only the first 80 characters of the name count.
        {QString(79, 'n') + ".ext", QString(79, 'n')},
        {QString(80, 'n') + ".ext", ""},
        {QString(78, 'n') + ".x.ext", QString(78, 'n')},
    };
    for (const Case &c : cases)
        EXPECT_EQ(FileBaseName(c.in), c.out) << c.in.toStdString();
}

TEST(DateLayouts, Cases)
{
    EXPECT_EQ(DateYmdToMdy("2001/04/20"), "04/20/2001");
    EXPECT_EQ(DateMdyToYmd("04/20/2001"), "2001/04/20");
    // Unchecked: positions beyond the end contribute nothing.
    EXPECT_EQ(DateYmdToMdy("2001/04"), "04//2001");
    EXPECT_EQ(DateMdyToYmd("04/20"), "/04/20");
    EXPECT_EQ(DateYmdToMdy(""), "//");
    EXPECT_EQ(DateYmdToMdy("2001/04/20 10:00"), "04/20/2001");
}

TEST(CutAtNul, Cases)
{
    EXPECT_EQ(CutAtNul(QString("ab") + QChar(0) + "cd" + QChar(0)), "ab");
    EXPECT_EQ(CutAtNul(QString(QChar(0)) + "x"), "");
    EXPECT_EQ(CutAtNul("plain"), "plain");
    EXPECT_EQ(CutAtNul(""), "");
}

TEST(TrimSpaces, Cases)
{
    EXPECT_EQ(TrimSpaces("   ab  "), "ab");
    EXPECT_EQ(TrimSpaces("    "), "");
    EXPECT_EQ(TrimSpaces(""), "");
    EXPECT_EQ(TrimSpaces(" a b "), "a b");
    EXPECT_EQ(TrimSpaces("\tab\t "), "\tab\t");
    EXPECT_EQ(TrimSpaces(QString::fromUtf8("\u00a0ab")), QString::fromUtf8("\u00a0ab"));
}

TEST(BareFileName, NamesFromRecordsNeverLeaveTheDirectory)
{
    struct Case {
        QString stored, bare;
    };
    const Case cases[] = {
        {"12345678.tms", "12345678.tms"},
        {"C:\\old\\mailbox\\4711.tms", "4711.tms"},
        {"/srv/old/mailbox/4711.tms", "4711.tms"},
        {"..\\..\\etc\\passwd", "passwd"},
        {"../../x.tms", "x.tms"},
        {"dir\\", ""},
        {"", ""},
        {".", ""},
        {"..", ""},
        {"a\\..", ""},
        {"a/.", ""},
        {QString("..") + QChar(0) + "junk", ""},
        {QString("12.tms") + QChar(0) + "/../../x", "12.tms"},
        {"...", "..."},
    };
    for (const Case &c : cases)
        EXPECT_EQ(bareFileName(c.stored), c.bare) << c.stored.toStdString();
}
