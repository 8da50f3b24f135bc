// Two copies of the program on one network directory: ANN sends to BOB with
// a receipt, BOB's copy finds it, lists it, reads it, and the receipt comes
// back to ANN. Real files, real windows, a scripted person at each screen.
#include "compose/dispatch.h"
#include "mainwin/poll.h"
#include "reading/new_msgs_form.h"
#include "reading/read_msg_form.h"
#include "store/folders.h"
#include "support/record_builder.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace nv;

namespace {

class TwoWorkstations : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString net = tmp.filePath("net");
    Workstation ann{net, tmp.filePath("ann"), "ANN"};
    Workstation bob{net, tmp.filePath("bob"), "BOB"};

    void SetUp() override
    {
        for (const char *d : {"net/queue", "ann/mailbox", "bob/mailbox"})
            QDir().mkpath(tmp.filePath(d));
        for (Workstation *w : {&ann, &bob}) {
            ComputeFolderBases(w->ctx);
            w->ctx.iniPath = tmp.filePath(w->ctx.settings.UserName + ".INI");
            w->ctx.settings.Privilege = "1";
            w->ctx.settings.LastFolder = "Outbox";
        }
    }
    QStringList queue(const QString &pattern) const { return QDir(net + "/queue").entryList({pattern}, QDir::Files); }
    static QPushButton *button(QObject *w, const char *name) { return w->findChild<QPushButton *>(name); }

    // BOB's person: every read window shown is activated (as on screen) and left with `exit`.
    void bobLeavesReadWindowWith(const char *exit)
    {
        bob.ui.onModal = [exit](QObject *w) {
            auto *read = qobject_cast<TReadMsgForm *>(w);
            EXPECT_NE(read, nullptr);
            read->FormActivate();
            button(w, exit)->click();
            return 1;
        };
    }
};

} // namespace

TEST_F(TwoWorkstations, AMessageWithAReceiptTravelsBothWays)
{
    // ANN sends.
    ASSERT_EQ(SendMessage(ann.ctx, kMultiRecipientCaller, {"BOB"}, {}, {}, false, true, {"Budget meeting at 3", "Ann"}),
              DispatchResult::Yes);
    ASSERT_EQ(queue("BOB.m*"), QStringList{"BOB.m01"});
    EXPECT_EQ(QFileInfo(tmp.filePath("ann/mailbox/_oANN.mbx")).size(), 932); // her Outbox copy

    // BOB's poll finds it and his Message Inbox lists it in bold.
    const PollResult found = CheckForMsgs(bob.ctx, false);
    ASSERT_TRUE(found.show);
    EXPECT_EQ(bob.ui.beeps.size(), 1u);
    TNewMsgsForm inbox(bob.ctx);
    inbox.BuildMsgList();
    auto *grid = inbox.findChild<QTableWidget *>("gridList");
    ASSERT_EQ(inbox.NewMsgCount(), 1);
    EXPECT_EQ(grid->item(0, 2)->text(), "ANN");
    EXPECT_EQ(grid->item(0, 3)->text(), "Budget meeting at 3");
    EXPECT_TRUE(grid->item(0, 0)->data(Qt::UserRole + 1).toBool());

    // He reads it and keeps it as new: the receipt goes out once, both queue files stay.
    bobLeavesReadWindowWith("ExitBtn");
    inbox.ReadAMsg(0);
    EXPECT_EQ(queue("BOB.m*"), QStringList{"BOB.m01"});
    EXPECT_EQ(queue("*.tms").size(), 2); // BOB's text and the receipt's
    ASSERT_EQ(queue("ANN.m*"), QStringList{"ANN.m01"});
    inbox.BuildMsgList(); // as the window does after every read
    inbox.ReadAMsg(0);
    EXPECT_EQ(queue("ANN.m*"), QStringList{"ANN.m01"}); // no second receipt

    // ANN's poll finds the receipt.
    ASSERT_TRUE(CheckForMsgs(ann.ctx, false).show);
    TNewMsgsForm annInbox(ann.ctx);
    annInbox.BuildMsgList();
    ASSERT_EQ(annInbox.NewMsgCount(), 1);
    EXPECT_EQ(annInbox.findChild<QTableWidget *>("gridList")->item(0, 2)->text(), "BOB");

    // BOB marks it as read from the read window: out of the queue, into his read-inbox.
    bobLeavesReadWindowWith("btnMarkAsRead");
    inbox.BuildMsgList();
    inbox.ReadAMsg(0);
    EXPECT_TRUE(queue("BOB.m*").isEmpty());
    EXPECT_EQ(QFileInfo(tmp.filePath("bob/mailbox/_iBOB.mbx")).size(), 932);
    inbox.BuildMsgList();
    ASSERT_EQ(inbox.NewMsgCount(), 1);
    EXPECT_FALSE(inbox.findChild<QTableWidget *>("gridList")->item(0, 0)->data(Qt::UserRole + 1).toBool());

    // And deletes it from the list: it moves to his Deleted folder with its text.
    bob.ui.queueAnswer(MsgAnswer::Yes);
    inbox.findChild<QTableWidget *>("gridList")->setCurrentCell(0, 0);
    button(&inbox, "DeleteBtn")->click();
    EXPECT_EQ(QFileInfo(tmp.filePath("bob/mailbox/_iBOB.mbx")).size(), 0);
    EXPECT_EQ(QFileInfo(tmp.filePath("bob/mailbox/_dBOB.mbx")).size(), 932);
    bob.ctx.settings.LastFolder = "Deleted";
    LoadFolderMsgs(bob.ctx);
    ASSERT_EQ(bob.ctx.Msgs.size(), 1u);
    EXPECT_TRUE(QFile::exists(tmp.filePath("bob/mailbox/" + bob.ctx.Msgs[0].TextFileName)));
    EXPECT_EQ(bob.ctx.MsgTexts.value(0), "Budget meeting at 3");

    // Nobody saw an error along the way.
    EXPECT_TRUE(ann.ui.boxes.empty());
    EXPECT_EQ(bob.ui.texts(), (std::vector<QString>{"Delete the current message?"}));
}

TEST_F(TwoWorkstations, ANewMessageDeletedFromTheListGoesToDeletedWithItsText)
{
    ASSERT_EQ(SendMessage(ann.ctx, kMultiRecipientCaller, {"BOB"}, {}, {}, true, false, {"Fire drill at 11"}),
              DispatchResult::Yes);
    TNewMsgsForm inbox(bob.ctx);
    inbox.BuildMsgList();
    ASSERT_EQ(inbox.NewMsgCount(), 1);
    bob.ui.queueAnswer(MsgAnswer::Yes);
    inbox.findChild<QTableWidget *>("gridList")->setCurrentCell(0, 0);
    button(&inbox, "DeleteBtn")->click();
    EXPECT_TRUE(queue("*").isEmpty()); // both queue files gone
    bob.ctx.settings.LastFolder = "Deleted";
    LoadFolderMsgs(bob.ctx);
    ASSERT_EQ(bob.ctx.Msgs.size(), 1u);
    EXPECT_EQ(bob.ctx.Msgs[0].Urgent, 1);
    EXPECT_EQ(bob.ctx.Msgs[0].Receipt, 2);
    EXPECT_EQ(bob.ctx.MsgTexts.value(0), "Fire drill at 11");
}
