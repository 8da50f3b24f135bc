#include "store/folders.h"

#include "store/legacy_formats.h"
#include "support/mailbox_fixture.h"
#include "support/record_builder.h"

#include <gtest/gtest.h>

#include <random>

using namespace nv;

namespace {

using Texts = std::vector<QString>;

MsgInfo28 msg(const QByteArray &from, const QByteArray &sentAt, const QByteArray &textFile = QByteArray())
{
    MsgInfo28 f;
    f.fromUser = from;
    f.toUser = "BOB";
    f.sentAt = sentAt;
    f.textFileName = textFile;
    f.toNames = "BOB;";
    return f;
}

QByteArray rec(const QByteArray &from, const QByteArray &sentAt, const QByteArray &textFile = QByteArray())
{
    return msgInfo28(msg(from, sentAt, textFile)).bytes();
}

MsgInfo20 old20(const QByteArray &from, const QByteArray &sentAt, const QByteArray &t1, const QByteArray &t2)
{
    MsgInfo20 f;
    f.fromUser = from;
    f.toUser = "BOB";
    f.sentAt = sentAt;
    f.text1 = t1;
    f.text2 = t2;
    return f;
}

MsgInfo15 old15(const QByteArray &from, const QByteArray &sentAt, const QByteArray &text)
{
    MsgInfo15 f;
    f.fromUser = from;
    f.toUser = "BOB";
    f.sentAt = sentAt;
    f.text = text;
    return f;
}

MsgInfo26 old26(const QByteArray &from, const QByteArray &sentAt, const QByteArray &textFile)
{
    MsgInfo26 f;
    f.fromUser = from;
    f.toUser = "BOB";
    f.sentAt = sentAt;
    f.receipt = 1;
    f.textFileName = textFile;
    f.toNames = "ANN^BOB^$";
    return f;
}

std::vector<TMsgInfoRec> recordsOf(const QByteArray &file)
{
    std::vector<TMsgInfoRec> out;
    for (qsizetype off = 0; off + kMsgInfoRecSize <= file.size(); off += kMsgInfoRecSize)
        out.push_back(decodeMsgInfoRec(file.constData() + off));
    return out;
}

QStringList fromUsers(const std::vector<TMsgInfoRec> &recs)
{
    QStringList out;
    for (const TMsgInfoRec &r : recs)
        out.append(r.FromUser);
    return out;
}

class FoldersTest : public MailboxFixture {
protected:
    FolderLoadResult load(const QString &folder)
    {
        ws.ctx.settings.LastFolder = folder;
        return LoadFolderMsgs(ws.ctx);
    }
    QStringList textFiles() const { return names(mailboxDir(), "*.tms"); }
    void failWrites(int from, int err = ENOSPC)
    {
        ws.files.writes = 0;
        ws.files.failWriteAt = from;
        ws.files.failAllWritesAfter = true;
        ws.files.writeErrno = err;
    }
};

class FoldersOfReception : public MailboxFixture {
protected:
    FoldersOfReception() : MailboxFixture("RECEPTION") {}
};

} // namespace

// ---- names

TEST_F(FoldersTest, OnlyTheExactDisplayNamesStandForTheUsersFiles)
{
    const struct {
        const char *display, *base;
    } cases[] = {
        {"Outbox", "_oBOB"},  {"Deleted", "_dBOB"}, {"OUTBOX", "OUTBOX"}, {"DELETED", "DELETED"},
        {"outbox", "outbox"}, {"Inbox", "Inbox"},   {"WORK", "WORK"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FolderBaseName(ws.ctx, c.display), c.base) << c.display;
}

TEST_F(FoldersTest, HowFolderFilesAreListed)
{
    const struct {
        const char *file;
        const char *shown; // nullptr: not listed
    } cases[] = {
        {"_oBOB.mbx", "Outbox"},
        {"_OBOB.MBX", "Outbox"},
        {"_dBOB.mbx", "Deleted"},
        {"_oANN.mbx", nullptr},
        {"_dBOBBY.mbx", nullptr},
        {"_iBOB.mbx", nullptr},
        {"_IANN.mbx", nullptr},
        {"DELETED.mbx", "DELETED"},
        {"OUTBOX.mbx", "OUTBOX"},
        {"Outbox.mbx", nullptr},
        {"Deleted.mbx", nullptr},
        {"WORK.mbx", "WORK"},
        {"ARCHIVE2008.mbx", "ARCHIVE2008"},
        {"A.B.mbx", "A.B"},
        {".mbx", nullptr},
        {"notes.txt", nullptr},
        {"Inbox.mbx", "Inbox"},
    };
    for (const auto &c : cases) {
        const auto shown = FolderDisplayName(ws.ctx, c.file);
        if (c.shown)
            EXPECT_EQ(shown.value_or("<none>"), c.shown) << c.file;
        else
            EXPECT_FALSE(shown) << c.file;
    }
}

TEST_F(FoldersOfReception, ListShowsOwnSpecialFoldersInByteOrder)
{
    for (const char *f : {"_oRECEPT.mbx", "_oSHIPPIN.mbx", "_iRECEPT.mbx", "_iSHIPPIN.mbx", "_dRECEPT.mbx", "Inbox.mbx",
                          "work.mbx", "ARCHIVE.mbx", "notes.exp", "1234.tms"})
        put(inMailbox(f), QByteArray());
    ScanFolders(ws.ctx);
    SortFolders(ws.ctx);
    EXPECT_EQ(ws.ctx.FolderNames, (QStringList{"ARCHIVE", "Deleted", "Inbox", "Outbox", "work"}));
}

TEST_F(FoldersTest, TheListHasNoLimit)
{
    for (int i = 0; i < 25; ++i)
        put(inMailbox(QStringLiteral("F%1.mbx").arg(i, 2, 10, QLatin1Char('0'))), QByteArray());
    ScanFolders(ws.ctx);
    EXPECT_EQ(ws.ctx.FolderNames.size(), 25);
}

TEST_F(FoldersTest, FolderNamesSortByTheirWindows1252Codes)
{
    // "€" is 0x80 and "É" 0xC9 in the code page, the other way round in UTF-16.
    ws.ctx.FolderNames = {QString::fromUtf8("Émile"), QString::fromUtf8("€uro"), "Zeta", "abc", "ABC"};
    SortFolders(ws.ctx);
    EXPECT_EQ(ws.ctx.FolderNames,
              (QStringList{"ABC", "Zeta", "abc", QString::fromUtf8("€uro"), QString::fromUtf8("Émile")}));
}

TEST_F(FoldersTest, ExportFilesAreOfferedBeforeTheFoldersAreListed)
{
    put(inMailbox("SALES.EXP"), "1.5\r\n");
    put(inMailbox("WORK.mbx"), QByteArray());
    QStringList offered;
    const QStringList found = ScanFolders(ws.ctx, [&](const QStringList &files) {
        offered = files;
        put(inMailbox("SALES.mbx"), QByteArray()); // as an import would
    });
    EXPECT_EQ(found, QStringList{"SALES.EXP"});
    EXPECT_EQ(offered, QStringList{"SALES.EXP"});
    EXPECT_TRUE(ws.ctx.FolderNames.contains("SALES"));

    offered.clear();
    QFile::remove(inMailbox("SALES.EXP"));
    ScanFolders(ws.ctx, [&](const QStringList &files) { offered = files; });
    EXPECT_TRUE(offered.isEmpty()); // nothing to offer: the hook is not called
}

TEST_F(FoldersTest, RefreshSelectsAndLoads)
{
    put(inMailbox("WORK.mbx"), rec("ANN", "2008/01/01 10:00:00"));
    put(inMailbox("ARCHIVE.mbx"), rec("CARL", "2008/01/01 10:00:00") + rec("DORA", "2008/01/02 10:00:00"));

    ws.ctx.settings.LastFolder.clear();
    FolderRefresh r = RefreshFolders(ws.ctx);
    EXPECT_EQ(r.names, (QStringList{"ARCHIVE", "WORK"}));
    EXPECT_EQ(r.selected, 0);
    EXPECT_EQ(ws.ctx.settings.LastFolder, "ARCHIVE");
    EXPECT_EQ(ws.ctx.Msgs.size(), 2u);
    EXPECT_EQ(r.load.commandsEnabled, true);

    ws.ctx.settings.LastFolder = "WORK";
    r = RefreshFolders(ws.ctx);
    EXPECT_EQ(r.selected, 1);
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), QStringList{"ANN"});

    ws.ctx.settings.LastFolder = "GONE";
    r = RefreshFolders(ws.ctx);
    EXPECT_EQ(r.selected, -1);
    EXPECT_TRUE(ws.ctx.Msgs.empty());
    EXPECT_EQ(r.load.commandsEnabled, false);
}

// ---- loading

TEST_F(FoldersTest, LoadShowsNewestFirstWithTheFirstLineOfEachText)
{
    put(inMailbox("1.tms"), QByteArray(200, 'x') + "\r\nsecond line");
    put(inMailbox("2.tms"), "Short\r\n");
    put(inMailbox("WORK.mbx"),
        rec("ANN", "2008/02/24 09:05:00", "1.tms") + rec("CARL", "2008/12/01 17:30:00", "C:\\OLD\\2.tms")
            + rec("DORA", "2008/06/01 08:00:00", "gone.tms"));
    const FolderLoadResult r = load("WORK");
    EXPECT_EQ(r.commandsEnabled, true);
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), (QStringList{"CARL", "DORA", "ANN"}));
    EXPECT_EQ(ws.ctx.MsgTexts, (QStringList{"Short", "", QString(80, QLatin1Char('x'))}));
    EXPECT_EQ(ws.ctx.Msgs[0].TextFileName, "2.tms"); // only the file-name part is kept
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(FoldersTest, LoadOfNothingToShow)
{
    EXPECT_EQ(load("").commandsEnabled, false);
    EXPECT_EQ(load("MISSING").commandsEnabled, false);
    put(inMailbox("EMPTY.mbx"), QByteArray());
    EXPECT_EQ(load("EMPTY").commandsEnabled, false);
    EXPECT_TRUE(ws.ctx.Msgs.empty());
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(FoldersTest, LoadReportsWhatItCannotRead)
{
    ws.ctx.LocalDir = kNotSet;
    EXPECT_EQ(load("WORK").commandsEnabled, std::nullopt);
    EXPECT_EQ(ws.ui.texts(), Texts{"The Local Directory setting has not been designated."});
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Plain);

    ws.ctx.LocalDir = tmp.filePath("local");
    ws.ui.clear();
    QDir().mkpath(inMailbox("WORK.mbx"));
    EXPECT_EQ(load("WORK").commandsEnabled, std::nullopt);
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
    EXPECT_EQ(ws.ui.boxes[0].text, "Error 0028: File access error on message file");
}

TEST_F(FoldersTest, SpecialNamesMapExactlyWhenLoadingAndSaving)
{
    put(inMailbox("_dBOB.mbx"), rec("SPECIAL", "2008/01/01 10:00:00"));
    put(inMailbox("DELETED.mbx"), rec("ORDINARY", "2008/01/01 10:00:00"));
    put(inMailbox("_oBOB.mbx"), rec("SENT", "2008/01/01 10:00:00"));
    const QByteArray outbox = get(inMailbox("_oBOB.mbx"));

    load("Deleted");
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), QStringList{"SPECIAL"});
    load("DELETED");
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), QStringList{"ORDINARY"});

    // Saving an ordinary folder named OUTBOX never touches the Outbox.
    load("OUTBOX");
    ws.ctx.Msgs.push_back(decodeMsgInfoRec(rec("NEW", "2008/01/02 10:00:00", "9.tms").constData()));
    ws.ctx.MsgTexts.append("");
    ASSERT_TRUE(SaveFolderMsgs(ws.ctx));
    EXPECT_EQ(fromUsers(recordsOf(get(inMailbox("OUTBOX.mbx")))), QStringList{"NEW"});
    EXPECT_EQ(get(inMailbox("_oBOB.mbx")), outbox);
}

TEST_F(FoldersTest, AFileThatFitsNoLayoutShowsEmptyAndKeepsItsBytes)
{
    const QByteArray garbage(1000, '\xff');
    put(inMailbox("ODD.mbx"), garbage);
    EXPECT_EQ(load("ODD").commandsEnabled, false);
    EXPECT_EQ(ws.ui.texts(), Texts{"Error 0004: Invalid message file encountered."});
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ws.ctx.settings.LastFolder, ""); // nothing is saved over it
    EXPECT_FALSE(SaveFolderMsgs(ws.ctx));
    EXPECT_EQ(get(inMailbox("ODD.mbx")), garbage);
}

TEST_F(FoldersTest, AFolderCutInARecordShowsItsWholeRecords)
{
    const QByteArray file = rec("ANN", "2008/01/01 10:00:00") + rec("CARL", "2008/01/02 10:00:00")
        + rec("DORA", "2008/01/03 10:00:00").left(300);
    put(inMailbox("WORK.mbx"), file);
    EXPECT_EQ(load("WORK").commandsEnabled, true);
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), (QStringList{"CARL", "ANN"}));
    EXPECT_EQ(ws.ui.texts(), Texts{"Error 0004: Invalid message file encountered."});
    EXPECT_EQ(get(inMailbox("WORK.mbx")), file); // not rewritten by loading
}

TEST_F(FoldersTest, TwoSixFolderIsConvertedAndRewrittenAtOnce)
{
    put(inMailbox("4711.TMS"), "Old text\r\n");
    put(inMailbox("OLD.mbx"),
        msgInfo26(old26("ANN", "2001/04/20 10:00:00", "C:\\OLD\\MAILBOX\\4711.TMS")).bytes()
            + msgInfo26(old26("CARL", "2001/04/21 10:00:00", "")).bytes());
    EXPECT_EQ(load("OLD").commandsEnabled, true);
    EXPECT_TRUE(ws.ui.boxes.empty());
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), (QStringList{"CARL", "ANN"}));
    EXPECT_EQ(ws.ctx.MsgTexts[1], "Old text");

    const std::vector<TMsgInfoRec> onDisk = recordsOf(get(inMailbox("OLD.mbx")));
    ASSERT_EQ(get(inMailbox("OLD.mbx")).size(), 2 * kMsgInfoRecSize);
    EXPECT_EQ(onDisk[0].Version, "2.8");
    EXPECT_EQ(onDisk[0].TextFileName, "4711.TMS");
    EXPECT_EQ(onDisk[0].Receipt, 1);
    EXPECT_EQ(onDisk[0].ToNames, "ANN;BOB;");
    // The record without a text file got one.
    ASSERT_FALSE(onDisk[1].TextFileName.isEmpty());
    EXPECT_TRUE(exists(inMailbox(onDisk[1].TextFileName)));
    EXPECT_EQ(ws.ctx.Msgs[0].TextFileName, onDisk[1].TextFileName);
    EXPECT_EQ(ws.ctx.Msgs[0].Version, "2.8");
}

TEST_F(FoldersTest, OldestFolderGetsOneTextFilePerRecordWithTheWholeText)
{
    const QByteArray longText = QByteArray(120, 'L') + "\r\n" + QByteArray(100, 'M');
    put(inMailbox("OLD.mbx"),
        msgInfo15(old15("ANN", "1999/01/01 10:00:00", "one")).bytes()
            + msgInfo15(old15("CARL", "1999/01/02 10:00:00", longText)).bytes()
            + msgInfo15(old15("DORA", "1999/01/03 10:00:00", "three")).bytes());
    load("OLD");
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), (QStringList{"DORA", "CARL", "ANN"}));
    EXPECT_EQ(ws.ctx.MsgTexts, (QStringList{"three", QString(80, QLatin1Char('L')), "one"}));

    const std::vector<TMsgInfoRec> onDisk = recordsOf(get(inMailbox("OLD.mbx")));
    ASSERT_EQ(get(inMailbox("OLD.mbx")).size(), 3 * kMsgInfoRecSize);
    EXPECT_EQ(textFiles().size(), 3);
    EXPECT_EQ(get(inMailbox(onDisk[0].TextFileName)), "one");
    EXPECT_EQ(get(inMailbox(onDisk[1].TextFileName)), longText); // not only its first 80 characters
    for (const TMsgInfoRec &r : onDisk)
        EXPECT_EQ(r.Version, "2.8");
}

TEST_F(FoldersTest, TwoNoughtTextFileHoldsBothPieces)
{
    const QByteArray t1(250, 'a'), t2(250, 'b');
    put(inMailbox("OLD.mbx"), msgInfo20(old20("ANN", "2000/01/01 10:00:00", t1, t2)).bytes());
    load("OLD");
    ASSERT_EQ(ws.ctx.Msgs.size(), 1u);
    EXPECT_EQ(ws.ctx.Msgs[0].ToNames, "BOB");
    EXPECT_EQ(get(inMailbox(ws.ctx.Msgs[0].TextFileName)), t1 + t2);
}

TEST_F(FoldersTest, AConversionThatCannotWriteLeavesTheOldFile)
{
    const QByteArray old = msgInfo20(old20("ANN", "2000/01/01 10:00:00", "a", "b")).bytes()
        + msgInfo20(old20("CARL", "2000/01/02 10:00:00", "c", "d")).bytes();
    put(inMailbox("OLD.mbx"), old);

    // The second text file fails: the first goes again, the folder stays old.
    failWrites(2);
    load("OLD");
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(
        "Error encountered in NvMainForm.SaveFolderMsgs(): Unable to write to message text file: \"" + mailboxDir()
        + "/"));
    EXPECT_TRUE(ws.ui.boxes[0].text.endsWith(".tms\".  Data was not saved."));
    EXPECT_EQ(get(inMailbox("OLD.mbx")), old);
    EXPECT_TRUE(textFiles().isEmpty());
    EXPECT_EQ(ws.ctx.settings.LastFolder, ""); // no later save from the previews
    EXPECT_EQ(ws.ctx.Msgs.size(), 2u);         // still shown

    // The folder file itself fails: the text files written go again.
    ws.ui.clear();
    failWrites(3);
    load("OLD");
    EXPECT_EQ(ws.ui.texts(),
              Texts{"Error encountered in NvMainForm.SaveFolderMsgs(): Unable to write to message file: \""
                    + inMailbox("OLD.mbx") + "\".  Data was not saved."});
    EXPECT_EQ(get(inMailbox("OLD.mbx")), old);
    EXPECT_TRUE(textFiles().isEmpty());
}

TEST_F(FoldersTest, FolderFileFoundWhenOnlyItsLetterCaseDiffers)
{
    // A share ignores case; a local disk may not.
    put(inMailbox("_OBOB.MBX"), rec("SENT", "2008/01/01 10:00:00", "ABC.TMS"));
    put(inMailbox("abc.tms"), "sent text\r\n");
    load("Outbox");
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), QStringList{"SENT"});
    EXPECT_EQ(ws.ctx.MsgTexts, QStringList{"sent text"});
}

TEST_F(FoldersTest, LoadMsgText)
{
    put(inMailbox("a.tms"), QByteArray(200, 'z'));
    put(inMailbox("b.tms"), "one\rtwo");
    put(inMailbox("c.tms"), QByteArray("caf\xe9 \x80\r\n"));
    EXPECT_EQ(LoadMsgText(ws.ctx, inMailbox("a.tms")), QString(80, QLatin1Char('z')));
    EXPECT_EQ(LoadMsgText(ws.ctx, inMailbox("b.tms")), "one");
    EXPECT_EQ(LoadMsgText(ws.ctx, inMailbox("c.tms")), QString::fromUtf8("café €"));
    EXPECT_EQ(LoadMsgText(ws.ctx, inMailbox("none.tms")), "");
    EXPECT_TRUE(ws.ui.boxes.empty());

    QDir().mkpath(inMailbox("d.tms"));
    EXPECT_EQ(LoadMsgText(ws.ctx, inMailbox("d.tms")), "");
    EXPECT_EQ(ws.ui.texts(),
              Texts{"Error encountered in NvMainForm.LoadMsgText(): Unable to open mailbox: \"" + inMailbox("d.tms")
                    + "\"."});
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
}

// ---- order

namespace {

// The older clients' exchange sort, as they run it on the stored times.
std::vector<int> exchangeSorted(const std::vector<QByteArray> &keys)
{
    std::vector<int> idx(keys.size());
    std::iota(idx.begin(), idx.end(), 0);
    for (int b = int(keys.size()) - 1; b >= 1; --b)
        for (int i = b - 1; i >= 0; --i)
            if (keys[size_t(idx[size_t(b)])] > keys[size_t(idx[size_t(i)])])
                std::swap(idx[size_t(b)], idx[size_t(i)]);
    return idx;
}

} // namespace

TEST(FolderOrder, EqualTimesEndWhereTheExchangeSortLeavesThem)
{
    std::mt19937 gen(7);
    for (int round = 0; round < 300; ++round) {
        const int n = int(gen() % 12);
        const int distinct = 1 + int(gen() % 4);
        std::vector<QByteArray> keys;
        for (int i = 0; i < n; ++i)
            keys.push_back("2008/01/0" + QByteArray::number(1 + int(gen() % unsigned(distinct))) + " 10:00:00");
        EXPECT_EQ(NewestFirstOrder(keys), exchangeSorted(keys)) << "round " << round;
    }
    // A shorter time that is a prefix of a longer one counts as older.
    EXPECT_EQ(NewestFirstOrder({"2008/01/01", "2008/01/01 10:00:00"}), (std::vector<int>{1, 0}));
}

// ---- saving and removing

TEST_F(FoldersTest, SaveGivesEveryRecordWithoutTextFileOne)
{
    put(inMailbox("WORK.mbx"), rec("ANN", "2008/01/01 10:00:00", "1.tms") + rec("CARL", "2008/01/02 10:00:00"));
    put(inMailbox("1.tms"), "kept\r\n");
    load("WORK");
    ASSERT_EQ(ws.ctx.Msgs[0].TextFileName, "");
    ws.ctx.MsgTexts[0] = "From the list";
    ASSERT_TRUE(SaveFolderMsgs(ws.ctx));

    const std::vector<TMsgInfoRec> onDisk = recordsOf(get(inMailbox("WORK.mbx")));
    ASSERT_EQ(onDisk.size(), 2u);
    EXPECT_EQ(onDisk[0].FromUser, "CARL"); // written in display order
    EXPECT_EQ(get(inMailbox(onDisk[0].TextFileName)), "From the list");
    EXPECT_EQ(ws.ctx.Msgs[0].TextFileName, onDisk[0].TextFileName);
    EXPECT_EQ(onDisk[1].TextFileName, "1.tms");
}

TEST_F(FoldersTest, SaveReportsAndKeepsTheOldFolder)
{
    EXPECT_FALSE(SaveFolderMsgs(ws.ctx)); // no folder: nothing to write

    const QByteArray old = rec("ANN", "2008/01/01 10:00:00", "1.tms") + rec("CARL", "2008/01/02 10:00:00");
    put(inMailbox("WORK.mbx"), old);
    load("WORK");

    ws.ctx.LocalDir = kNotSet;
    EXPECT_FALSE(SaveFolderMsgs(ws.ctx));
    EXPECT_EQ(ws.ui.texts(), Texts{"No Saved Message Folder has been designated."});
    ws.ctx.LocalDir = tmp.filePath("local");

    // The text file fails: reported, the record is written without one.
    ws.ui.clear();
    ws.ctx.MsgTexts[0] = "From the list";
    failWrites(1, EIO);
    ws.files.failAllWritesAfter = false;
    ASSERT_TRUE(SaveFolderMsgs(ws.ctx));
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(
        "Error encountered in NvMainForm.SaveFolderMsgs(): Unable to write to message text file: \""));
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Plain);
    EXPECT_EQ(ws.ctx.Msgs[0].TextFileName, "");

    // The folder file fails on a full disk: the old one stays whole, and the
    // text file made for it goes again.
    ws.ui.clear();
    const QByteArray before = get(inMailbox("WORK.mbx"));
    failWrites(2, ENOSPC);
    ws.ctx.Msgs.pop_back();
    EXPECT_FALSE(SaveFolderMsgs(ws.ctx));
    EXPECT_EQ(ws.ui.texts(),
              Texts{"Error encountered in NvMainForm.SaveFolderMsgs(): Unable to write to message file: \""
                    + inMailbox("WORK.mbx") + "\".  Data was not saved."});
    EXPECT_EQ(get(inMailbox("WORK.mbx")), before);
    EXPECT_TRUE(textFiles().isEmpty());
    EXPECT_EQ(ws.ctx.Msgs[0].TextFileName, "");
    EXPECT_EQ(names(mailboxDir(), "~*"), QStringList()); // no temporary file left
}

TEST_F(FoldersTest, RemoveMsgRewritesWithoutTheEntry)
{
    put(inMailbox("WORK.mbx"),
        rec("ANN", "2008/01/01 10:00:00", "1.tms") + rec("CARL", "2008/01/02 10:00:00", "2.tms")
            + rec("DORA", "2008/01/03 10:00:00", "3.tms"));
    load("WORK");
    ASSERT_TRUE(RemoveMsg(ws.ctx, 1));
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), (QStringList{"DORA", "ANN"}));
    EXPECT_EQ(ws.ctx.MsgTexts.size(), 2);
    EXPECT_EQ(fromUsers(recordsOf(get(inMailbox("WORK.mbx")))), (QStringList{"DORA", "ANN"}));
    EXPECT_FALSE(RemoveMsg(ws.ctx, 2));
    EXPECT_FALSE(RemoveMsg(ws.ctx, -1));
}

// ---- appending

TEST_F(FoldersTest, WriteMsgToFolderAppendsACopyWithTheSameTextFile)
{
    put(inMailbox("WORK.mbx"), rec("ANN", "2008/01/01 10:00:00", "1.tms"));
    load("WORK");
    ASSERT_TRUE(WriteMsgToFolder(ws.ctx, "ARCHIVE", 0)); // created
    ASSERT_TRUE(WriteMsgToFolder(ws.ctx, "ARCHIVE", 0)); // appended
    const QByteArray archive = get(inMailbox("ARCHIVE.mbx"));
    ASSERT_EQ(archive.size(), 2 * kMsgInfoRecSize);
    EXPECT_EQ(archive.left(kMsgInfoRecSize), archive.mid(kMsgInfoRecSize));
    EXPECT_EQ(recordsOf(archive)[0].TextFileName, "1.tms");

    ASSERT_TRUE(WriteMsgToFolder(ws.ctx, "Deleted", 0));
    ASSERT_TRUE(WriteMsgToFolder(ws.ctx, "DELETED", 0));
    EXPECT_EQ(get(inMailbox("_dBOB.mbx")).size(), kMsgInfoRecSize);
    EXPECT_EQ(get(inMailbox("DELETED.mbx")).size(), kMsgInfoRecSize);
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(FoldersTest, WriteMsgToFolderConvertsAnOlderTargetFirst)
{
    put(inMailbox("WORK.mbx"), rec("NEW", "2008/01/01 10:00:00", "1.tms"));
    put(inMailbox("OLD.mbx"),
        msgInfo20(old20("ANN", "2000/01/01 10:00:00", "inline ", "text")).bytes()
            + msgInfo20(old20("CARL", "2000/01/02 10:00:00", "more", "")).bytes());
    load("WORK");
    ASSERT_TRUE(WriteMsgToFolder(ws.ctx, "OLD", 0));

    const std::vector<TMsgInfoRec> onDisk = recordsOf(get(inMailbox("OLD.mbx")));
    ASSERT_EQ(get(inMailbox("OLD.mbx")).size(), 3 * kMsgInfoRecSize);
    EXPECT_EQ(fromUsers(onDisk), (QStringList{"ANN", "CARL", "NEW"}));
    EXPECT_EQ(get(inMailbox(onDisk[0].TextFileName)), "inline text");
    EXPECT_EQ(get(inMailbox(onDisk[1].TextFileName)), "more");
    EXPECT_EQ(onDisk[2].TextFileName, "1.tms");
}

TEST_F(FoldersTest, WriteMsgToFolderReportsAndLeavesTheTargetAsItWas)
{
    put(inMailbox("WORK.mbx"), rec("NEW", "2008/01/01 10:00:00", "1.tms"));
    load("WORK");

    EXPECT_FALSE(WriteMsgToFolder(ws.ctx, "", 0));
    ws.ctx.LocalDir = kNotSet;
    EXPECT_FALSE(WriteMsgToFolder(ws.ctx, "ARCHIVE", 0));
    ws.ctx.LocalDir = tmp.filePath("local");
    EXPECT_EQ(ws.ui.texts(),
              (Texts{"Error in NvMainForm.WriteMsgToFolder(): Folder name was not specified.",
                     "Error in NvMainForm.WriteMsgToFolder(): The Local working directory has not been designated."}));
    for (const ShownBox &b : ws.ui.boxes)
        EXPECT_EQ(b.kind, MsgKind::Error);

    // A target no layout reads is not appended to.
    ws.ui.clear();
    const QByteArray garbage(1000, '\xff');
    put(inMailbox("ODD.mbx"), garbage);
    EXPECT_FALSE(WriteMsgToFolder(ws.ctx, "ODD", 0));
    EXPECT_EQ(ws.ui.texts(),
              Texts{"Error encountered in NvMainForm.WriteMsgToFolder(): Unable to open folder: \""
                    + inMailbox("ODD.mbx") + "\"."});
    EXPECT_EQ(get(inMailbox("ODD.mbx")), garbage);

    // A write that fails leaves the old folder whole.
    ws.ui.clear();
    const QByteArray archive = rec("ANN", "2007/01/01 10:00:00", "7.tms");
    put(inMailbox("ARCHIVE.mbx"), archive);
    failWrites(1, EIO);
    EXPECT_FALSE(WriteMsgToFolder(ws.ctx, "ARCHIVE", 0));
    EXPECT_EQ(ws.ui.texts(),
              Texts{"Error in NvMainForm.WriteMsgToFolder(): Unable to write to message info file: \""
                    + inMailbox("ARCHIVE.mbx") + "\".  Data was not saved."});
    EXPECT_EQ(get(inMailbox("ARCHIVE.mbx")), archive);

    // So does an older target whose conversion cannot be written, and the
    // text files the conversion made go again.
    ws.ui.clear();
    const QByteArray old = msgInfo20(old20("ANN", "2000/01/01 10:00:00", "a", "b")).bytes();
    put(inMailbox("OLD.mbx"), old);
    failWrites(2, ENOSPC);
    EXPECT_FALSE(WriteMsgToFolder(ws.ctx, "OLD", 0));
    EXPECT_EQ(get(inMailbox("OLD.mbx")), old);
    EXPECT_TRUE(textFiles().isEmpty());
    failWrites(1, ENOSPC);
    EXPECT_FALSE(WriteMsgToFolder(ws.ctx, "OLD", 0));
    EXPECT_EQ(get(inMailbox("OLD.mbx")), old);
    EXPECT_EQ(ws.ui.texts().size(), 2u);
}

TEST_F(FoldersTest, AppendWhereTheServerRefusesTheRenameStillCompletes)
{
    put(inMailbox("WORK.mbx"), rec("NEW", "2008/01/01 10:00:00", "1.tms"));
    put(inMailbox("ARCHIVE.mbx"), rec("ANN", "2007/01/01 10:00:00", "7.tms"));
    load("WORK");
    ws.files.refuseRename = true; // another client holds the file open
    ASSERT_TRUE(WriteMsgToFolder(ws.ctx, "ARCHIVE", 0));
    EXPECT_EQ(fromUsers(recordsOf(get(inMailbox("ARCHIVE.mbx")))), (QStringList{"ANN", "NEW"}));
    EXPECT_EQ(names(mailboxDir(), "~*"), QStringList());
}

TEST_F(FoldersTest, WriteToInboxFilesTheQueuedMessageWithACopyOfItsText)
{
    put(inQueue("77.tms"), "Hello\r\nthere");
    put(inMailbox("Inbox.mbx"), rec("OLDER", "2007/01/01 10:00:00", "1.tms"));
    ws.ctx.CurrentQueueMsg = decodeMsgInfoRec(rec("ANN", "2008/02/24 09:05:00", "77.tms").constData());
    ws.ctx.CurrentQueueMsg.Receipt = 1;
    ASSERT_TRUE(WriteToInbox(ws.ctx));
    const std::vector<TMsgInfoRec> onDisk = recordsOf(get(inMailbox("Inbox.mbx")));
    ASSERT_EQ(onDisk.size(), 2u);
    EXPECT_EQ(onDisk[1].FromUser, "ANN");
    EXPECT_EQ(onDisk[1].Receipt, 1);
    EXPECT_EQ(get(inMailbox(onDisk[1].TextFileName)), "Hello\r\nthere");
    EXPECT_EQ(get(inQueue("77.tms")), "Hello\r\nthere");

    // Without a queue text file the copy gets an empty one.
    ws.ctx.CurrentQueueMsg.SentAt = "2008/02/25 09:05:00";
    ws.ctx.CurrentQueueMsg.TextFileName = "gone.tms";
    ASSERT_TRUE(WriteToInbox(ws.ctx));
    EXPECT_EQ(get(inMailbox(recordsOf(get(inMailbox("Inbox.mbx")))[2].TextFileName)), "");
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(FoldersTest, WriteToInboxFailures)
{
    ws.ctx.CurrentQueueMsg = decodeMsgInfoRec(rec("ANN", "2008/02/24 09:05:00", "77.tms").constData());
    put(inQueue("77.tms"), "text");

    QDir().mkpath(inMailbox("Inbox.mbx"));
    EXPECT_FALSE(WriteToInbox(ws.ctx));
    EXPECT_EQ(ws.ui.texts(),
              Texts{"Error encountered in NvMainForm.WriteToInbox(): Unable to open mailbox: \""
                    + inMailbox("Inbox.mbx") + "\"."});
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Error);
    QDir().rmdir(inMailbox("Inbox.mbx"));

    // The text file fails: reported, the record is still filed.
    ws.ui.clear();
    failWrites(1, EIO);
    ws.files.failAllWritesAfter = false;
    ASSERT_TRUE(WriteToInbox(ws.ctx));
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(ws.ui.boxes[0].text.startsWith(
        "Error encountered in WriteToInbox(): Unable to write to message text file: \"" + mailboxDir() + "/"));
    EXPECT_TRUE(ws.ui.boxes[0].text.endsWith("\".  Data was not saved."));
    EXPECT_EQ(recordsOf(get(inMailbox("Inbox.mbx")))[0].TextFileName, "");

    // The folder file fails: reported, the old Inbox stays and the new text
    // file goes again.
    ws.ui.clear();
    const QByteArray before = get(inMailbox("Inbox.mbx"));
    ws.ctx.CurrentQueueMsg.SentAt = "2008/02/25 09:05:00";
    failWrites(2, ENOSPC);
    EXPECT_FALSE(WriteToInbox(ws.ctx));
    EXPECT_EQ(ws.ui.texts(),
              Texts{"Error encountered in WriteToInbox(): Unable to write to message info file: \""
                    + inMailbox("Inbox.mbx") + "\".  Data was not saved."});
    EXPECT_EQ(get(inMailbox("Inbox.mbx")), before);
    EXPECT_TRUE(textFiles().isEmpty());
}

TEST_F(FoldersTest, WriteToInboxConvertsAnOlderInbox)
{
    put(inMailbox("Inbox.mbx"), msgInfo15(old15("ANN", "1999/01/01 10:00:00", "old")).bytes());
    ws.ctx.CurrentQueueMsg = decodeMsgInfoRec(rec("CARL", "2008/02/24 09:05:00").constData());
    ASSERT_TRUE(WriteToInbox(ws.ctx, "inline"));
    const std::vector<TMsgInfoRec> onDisk = recordsOf(get(inMailbox("Inbox.mbx")));
    ASSERT_EQ(get(inMailbox("Inbox.mbx")).size(), 2 * kMsgInfoRecSize);
    EXPECT_EQ(get(inMailbox(onDisk[0].TextFileName)), "old");
    EXPECT_EQ(get(inMailbox(onDisk[1].TextFileName)), "inline");
}

// ---- clearing the Outbox and deleting

TEST_F(FoldersTest, ClearOutBoxDeletesTheOutboxAndItsTextsOnly)
{
    put(inMailbox("_oBOB.mbx"),
        rec("BOB", "2008/01/01 10:00:00", "1.tms") + rec("BOB", "2008/01/02 10:00:00", "..\\..\\keep.tms")
            + rec("BOB", "2008/01/03 10:00:00", "Inbox.mbx"));
    put(inMailbox("Inbox.mbx"), QByteArray());
    put(inMailbox("OUTBOX.mbx"), rec("BOB", "2008/01/03 10:00:00", "3.tms"));
    for (const char *t : {"1.tms", "keep.tms", "3.tms"})
        put(inMailbox(t), "x");
    put(tmp.filePath("keep.tms"), "outside");

    ws.ui.queueAnswer(MsgAnswer::No);
    EXPECT_FALSE(ClearOutBox(ws.ctx));
    EXPECT_TRUE(exists(inMailbox("_oBOB.mbx")));
    ASSERT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Warning);
    EXPECT_EQ(ws.ui.boxes[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(ws.ui.boxes[0].text, "Delete all messages from your OUTBOX?");

    ws.ui.queueAnswer(MsgAnswer::Yes);
    EXPECT_TRUE(ClearOutBox(ws.ctx));
    EXPECT_FALSE(exists(inMailbox("_oBOB.mbx")));
    EXPECT_EQ(textFiles(), QStringList{"3.tms"}); // keep.tms in the mailbox was the record's
    EXPECT_TRUE(exists(inMailbox("OUTBOX.mbx")));
    EXPECT_TRUE(exists(inMailbox("Inbox.mbx"))); // a damaged record never takes a folder with it
    EXPECT_EQ(get(tmp.filePath("keep.tms")), "outside");

    ws.ui.queueAnswer(MsgAnswer::Yes);
    EXPECT_TRUE(ClearOutBox(ws.ctx)); // nothing left to clear

    ws.ui.clear();
    QDir().mkpath(inMailbox("_oBOB.mbx"));
    ws.ui.queueAnswer(MsgAnswer::Yes);
    EXPECT_FALSE(ClearOutBox(ws.ctx));
    EXPECT_EQ(ws.ui.texts().back(),
              "Error encountered in NvMainForm.ClearOutBox(): Unable to open mailbox: \"" + inMailbox("_oBOB.mbx")
                  + "\".");
}

TEST_F(FoldersTest, DeleteMovesIntoTheDeletedFolderWithItsTextFile)
{
    put(inMailbox("WORK.mbx"),
        rec("ANN", "2008/01/01 10:00:00", "1.tms") + rec("CARL", "2008/01/02 10:00:00", "2.tms"));
    put(inMailbox("1.tms"), "one");
    put(inMailbox("2.tms"), "two");
    load("WORK");
    ASSERT_TRUE(DeleteFolderMsg(ws.ctx, 0, false));
    EXPECT_EQ(fromUsers(recordsOf(get(inMailbox("WORK.mbx")))), QStringList{"ANN"});
    const std::vector<TMsgInfoRec> deleted = recordsOf(get(inMailbox("_dBOB.mbx")));
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].FromUser, "CARL");
    EXPECT_EQ(deleted[0].TextFileName, "2.tms");
    EXPECT_TRUE(exists(inMailbox("2.tms")));

    // An ordinary folder named DELETED moves into the Deleted folder as well.
    put(inMailbox("DELETED.mbx"), rec("DORA", "2008/01/03 10:00:00", "3.tms"));
    load("DELETED");
    ASSERT_TRUE(DeleteFolderMsg(ws.ctx, 0, false));
    EXPECT_EQ(fromUsers(recordsOf(get(inMailbox("_dBOB.mbx")))), (QStringList{"CARL", "DORA"}));
}

TEST_F(FoldersTest, DeleteForGoodRemovesTheTextFile)
{
    const struct {
        const char *folder;
        bool useDeletedBox, msgSaved;
    } cases[] = {{"Deleted", true, false}, {"WORK", false, false}, {"WORK", true, true}};
    for (const auto &c : cases) {
        QFile::remove(inMailbox("_dBOB.mbx"));
        const QString base = FolderBaseName(ws.ctx, c.folder);
        put(inMailbox(base + ".mbx"), rec("ANN", "2008/01/01 10:00:00", "1.tms"));
        put(inMailbox("1.tms"), "one");
        ws.ctx.settings.UseDeletedBox = c.useDeletedBox;
        load(c.folder);
        ASSERT_TRUE(DeleteFolderMsg(ws.ctx, 0, c.msgSaved)) << c.folder;
        EXPECT_EQ(get(inMailbox(base + ".mbx")), QByteArray()) << c.folder;
        EXPECT_FALSE(exists(inMailbox("1.tms"))) << c.folder;
        if (base != "_dBOB") {
            EXPECT_FALSE(exists(inMailbox("_dBOB.mbx"))) << c.folder;
        }
    }
}

TEST_F(FoldersTest, DeleteKeepsTheMessageWhenItsDeletedCopyFails)
{
    put(inMailbox("WORK.mbx"),
        rec("ANN", "2008/01/01 10:00:00", "1.tms") + rec("CARL", "2008/01/02 10:00:00", "2.tms"));
    put(inMailbox("2.tms"), "two");
    put(inMailbox("_dBOB.mbx"), QByteArray(1000, '\xff')); // unreadable Deleted folder
    load("WORK");
    EXPECT_FALSE(DeleteFolderMsg(ws.ctx, 0, false));
    EXPECT_EQ(ws.ctx.Msgs.size(), 2u);
    EXPECT_EQ(fromUsers(recordsOf(get(inMailbox("WORK.mbx")))), (QStringList{"ANN", "CARL"}));
    EXPECT_TRUE(exists(inMailbox("2.tms")));
    EXPECT_EQ(ws.ui.texts().size(), 1u);

    // Nor is a text file deleted when the folder cannot be rewritten.
    ws.ctx.settings.UseDeletedBox = false;
    failWrites(1, ENOSPC);
    EXPECT_FALSE(DeleteFolderMsg(ws.ctx, 0, false));
    EXPECT_TRUE(exists(inMailbox("2.tms")));
    EXPECT_EQ(fromUsers(recordsOf(get(inMailbox("WORK.mbx")))), (QStringList{"ANN", "CARL"}));
    EXPECT_EQ(fromUsers(ws.ctx.Msgs), (QStringList{"CARL", "ANN"})); // still listed as it is on disk
}

// ---- read-only access

TEST_F(FoldersTest, ReadOnlyConvertsInMemoryAndWritesNothing)
{
    const QByteArray old = msgInfo20(old20("ANN", "2000/01/01 10:00:00", QByteArray(250, 'a'), "tail\r\nmore")).bytes()
        + msgInfo20(old20("CARL", "2000/01/02 10:00:00", "second", "")).bytes();
    put(inMailbox("OLD.mbx"), old);
    const QStringList before = names(mailboxDir());

    QString error;
    const auto entries = ReadFolderFileReadOnly(ws.ctx, inMailbox("OLD.mbx"), &error);
    ASSERT_TRUE(entries);
    EXPECT_EQ(error, "");
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ(entries->at(0).rec.FromUser, "CARL"); // newest first
    EXPECT_EQ(entries->at(1).versionTag, "2.0");
    EXPECT_EQ(entries->at(1).inlineText, QString(250, QLatin1Char('a')) + "tail\r\nmore");
    EXPECT_EQ(entries->at(1).preview, QString(80, QLatin1Char('a')));
    EXPECT_EQ(entries->at(1).rec.ToNames, "BOB");
    EXPECT_EQ(get(inMailbox("OLD.mbx")), old);
    EXPECT_EQ(names(mailboxDir()), before);
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(FoldersTest, ReadOnlyTagsAndErrors)
{
    put(inMailbox("5.tms"), "first line\r\n");
    put(inMailbox("V26.mbx"), msgInfo26(old26("ANN", "2001/01/01 10:00:00", "C:\\X\\5.tms")).bytes());
    put(inMailbox("ODD.mbx"), QByteArray(1000, '\xff'));
    put(inMailbox("CUT.mbx"), rec("ANN", "2008/01/01 10:00:00") + QByteArray(10, '\0'));

    QString error;
    auto e = ReadFolderFileReadOnly(ws.ctx, inMailbox("V26.mbx"), &error);
    ASSERT_TRUE(e);
    ASSERT_EQ(e->size(), 1u);
    EXPECT_EQ(e->at(0).versionTag, "2.6");
    EXPECT_EQ(e->at(0).rec.ToNames, "ANN;BOB;");
    EXPECT_EQ(e->at(0).rec.TextFileName, "5.tms");
    EXPECT_EQ(e->at(0).preview, "first line");

    e = ReadFolderFileReadOnly(ws.ctx, inMailbox("MISSING.mbx"), &error);
    ASSERT_TRUE(e);
    EXPECT_TRUE(e->empty());

    EXPECT_FALSE(ReadFolderFileReadOnly(ws.ctx, inMailbox("ODD.mbx"), &error));
    EXPECT_EQ(error, "Error 0004: Invalid message file encountered.");

    e = ReadFolderFileReadOnly(ws.ctx, inMailbox("CUT.mbx"), &error);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->size(), 1u);
    EXPECT_EQ(error, "Error 0004: Invalid message file encountered.");

    QDir().mkpath(inMailbox("DIR.mbx"));
    EXPECT_FALSE(ReadFolderFileReadOnly(ws.ctx, inMailbox("DIR.mbx"), &error));
    EXPECT_EQ(error, "Error 0028: File access error on message file");
}
