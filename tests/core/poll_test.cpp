#include "mainwin/poll.h"
#include "store/folders.h"
#include "support/record_builder.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PollTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    Workstation ws{tmp.filePath("net"), tmp.filePath("local"), "BOB"};

    void SetUp() override
    {
        QDir().mkpath(tmp.filePath("net/queue"));
        QDir().mkpath(tmp.filePath("local/mailbox"));
        nv::ComputeFolderBases(ws.ctx);
        ws.ctx.settings.LastFolder = "NOTES";
    }
    void put(const QString &rel, const QByteArray &data)
    {
        QFile f(tmp.filePath(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    void queue(const char *name, int urgent)
    {
        put(QString("net/queue/") + name,
            msgInfo28({"2.8", "ANN", "BOB", "2008/02/24 09:05:00", urgent, 2, "1.tms", "BOB;", "", ""}));
        put("net/queue/1.tms", "Hi\r\n");
    }
};

} // namespace

TEST_F(PollTest, NothingWaitingOnlyStampsPresence)
{
    const nv::PollResult r = nv::CheckForMsgs(ws.ctx, false);
    EXPECT_FALSE(r.found || r.show || r.flash || r.networkLost);
    EXPECT_TRUE(QFile::exists(tmp.filePath("net/activity/BOB.dat")));
    EXPECT_TRUE(ws.ui.beeps.empty());
    EXPECT_TRUE(ws.ui.boxes.empty());
}

TEST_F(PollTest, AttentionByTheSettingsAndTheWindowState)
{
    struct Case {
        bool minimized, autoPopUp, urgent, forced, beepOnNew;
        bool show, flash;
        int beeps;
    };
    const Case cases[] = {
        {false, true, false, false, true, true, false, 1},   // plain arrival
        {true, false, false, false, true, false, true, 1},   // minimized, no pop-up: flash and one beep
        {true, false, true, false, true, true, false, 1},    // urgent wins over no pop-up
        {true, false, false, true, true, true, false, 0},    // "&Inbox": opens without a beep
        {false, true, false, false, false, true, false, 0},  // beep switched off
    };
    for (const Case &c : cases) {
        ws.ui.clear();
        ws.ui.beeps.clear();
        ws.ui.restoreCalls = 0;
        ws.ui.minimized = c.minimized;
        ws.ctx.settings.AutoPopUp = c.autoPopUp;
        ws.ctx.settings.BeepOnNew = c.beepOnNew;
        ws.ctx.settings.BeepSound = 48;
        QFile::remove(tmp.filePath("net/queue/BOB.m01"));
        queue("BOB.m01", c.urgent ? 1 : 2);
        const nv::PollResult r = nv::CheckForMsgs(ws.ctx, c.forced);
        EXPECT_TRUE(r.found);
        EXPECT_EQ(r.show, c.show);
        EXPECT_EQ(r.flash, c.flash);
        EXPECT_EQ(static_cast<int>(ws.ui.beeps.size()), c.beeps);
        if (c.beeps) {
            EXPECT_EQ(ws.ui.beeps[0], 48);
        }
        EXPECT_EQ(ws.ui.restoreCalls, c.show ? 1 : 0);
        EXPECT_TRUE(QFile::exists(tmp.filePath("net/queue/BOB.m01"))); // the poll moves nothing
    }
}

TEST_F(PollTest, OnDemandTheReadInboxCountsAndTheFolderShownStays)
{
    EXPECT_FALSE(nv::CheckForMsgs(ws.ctx, true).show);
    put("local/mailbox/_iBOB.mbx", msgInfo28({"2.8", "ANN", "BOB", "2008/02/24 09:05:00", 2, 2, "", "", "", ""}));
    put("local/mailbox/NOTES.mbx", QByteArray());
    const nv::PollResult r = nv::CheckForMsgs(ws.ctx, true);
    EXPECT_TRUE(r.show);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(ws.ctx.settings.LastFolder, "NOTES");
    EXPECT_TRUE(ws.ctx.Msgs.empty());
}

TEST_F(PollTest, WithUseInboxAWaitingMessageIsCopiedOnce)
{
    ws.ctx.settings.UseInbox = true;
    queue("BOB.m01", 2);
    for (int i = 0; i < 3; ++i)
        nv::CheckForMsgs(ws.ctx, false);
    QFile inbox(tmp.filePath("local/mailbox/Inbox.mbx"));
    ASSERT_TRUE(inbox.open(QIODevice::ReadOnly));
    EXPECT_EQ(inbox.size(), 932);
}

TEST_F(PollTest, ALostQueueDirectoryEndsTheProgram)
{
    QDir(tmp.filePath("net/queue")).removeRecursively();
    const nv::PollResult r = nv::CheckForMsgs(ws.ctx, false);
    EXPECT_TRUE(r.networkLost);
    EXPECT_EQ(ws.ui.texts(),
              (std::vector<QString>{"Error 0030: Unable to locate Norvane network directory.  Your network may have gone down."}));
}
