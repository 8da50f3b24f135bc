#include "reading/new_msgs_form.h"

#include "mainwin/qt_msg_grid.h"
#include "platform/ini_profile.h"
#include "reading/read_msg_form.h"
#include "support/reading_fixture.h"

#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace nv;

namespace {

class NewMsgsFormTest : public ReadingFixture {
protected:
    NewMsgsFormTest()
    {
        ws.ctx.iniPath = tmp.filePath("NORVANE.INI");
        ws.ctx.settings.Privilege = "1";
    }
    TNewMsgsForm &make()
    {
        form = std::make_unique<TNewMsgsForm>(ws.ctx);
        return *form;
    }
    template <class T> T *find(const char *name) const
    {
        auto *w = form->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QTableWidget *grid() const { return find<QTableWidget>("gridList"); }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    static QPushButton *buttonOf(QObject *window, const char *name)
    {
        return window->findChild<QPushButton *>(QString::fromLatin1(name));
    }
    // The read window, each time it is shown, leaves through `button`.
    void leaveReadWindowWith(const char *button)
    {
        ws.ui.onModal = [button](QObject *w) {
            auto *read = qobject_cast<TReadMsgForm *>(w);
            EXPECT_NE(read, nullptr);
            read->FormActivate();
            buttonOf(w, button)->click();
            return 1;
        };
    }
    void select(int dataRow) { grid()->setCurrentCell(dataRow, 0); }

    std::unique_ptr<TNewMsgsForm> form;
};

} // namespace

TEST_F(NewMsgsFormTest, ControlsCarryTheirNamesAndCaptions)
{
    make();
    EXPECT_EQ(form->objectName(), "NewMsgsForm");
    EXPECT_EQ(form->windowTitle(), "Message Inbox");
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(button("OKBtn")->text(), "&Ok");
    EXPECT_TRUE(button("OKBtn")->isDefault());
    EXPECT_EQ(button("ReadBtn")->text(), "&Read");
    EXPECT_EQ(button("DeleteBtn")->text(), "&Delete");
    EXPECT_EQ(button("btnMarkAsRead")->text(), "&Mark As Read");
    EXPECT_FALSE(button("btnMarkAsRead")->isHidden());
    EXPECT_TRUE(find<QListWidget>("NewMsgList")->isHidden());
    EXPECT_EQ(form->Timer1->interval(), 10000);
    EXPECT_FALSE(form->Timer1->isActive());

    auto *g = grid();
    ASSERT_EQ(g->columnCount(), 4);
    const char *heads[] = {"!", "Received", "From", "Message"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(g->horizontalHeaderItem(c)->text(), heads[c]);
    EXPECT_EQ(g->selectionBehavior(), QAbstractItemView::SelectRows);
    // Stored geometry, defaults here.
    EXPECT_EQ(form->outerSize(), QSize(572, 309));
    EXPECT_EQ(g->width(), 410);
    EXPECT_EQ(g->height(), 247);
    EXPECT_EQ(find<QWidget>("Panel1")->size(), QSize(425, 260));
    EXPECT_EQ(button("ReadBtn")->x(), 439);
    const int widths[] = {12, 128, 70, 175};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(g->columnWidth(c), widths[c]);
}

TEST_F(NewMsgsFormTest, TarrowbyHasNoMarkAsReadInTheList)
{
    ws.ctx.Client = "Tarrowby";
    make();
    EXPECT_TRUE(button("btnMarkAsRead")->isHidden());
    // The read window still offers it for new messages.
    Msg m;
    queueMsg(1, m);
    bool offered = false;
    ws.ui.onModal = [&](QObject *w) {
        offered = !buttonOf(w, "btnMarkAsRead")->isHidden();
        buttonOf(w, "ExitBtn")->click();
        return 1;
    };
    form->FormShow();
    form->ReadAMsg(0);
    EXPECT_TRUE(offered);

    ws.ctx.Client = "tarrowby"; // exactly so only
    make();
    EXPECT_FALSE(button("btnMarkAsRead")->isHidden());
}

TEST_F(NewMsgsFormTest, NewMessagesAreBoldReadOnesPlain)
{
    Msg queued;
    queued.sentAt = "2008/02/24 09:05:00";
    queued.urgent = 1;
    queueMsg(1, queued);
    leaveReadWindowWith("ExitBtn"); // the urgent one opens by itself
    Msg kept;
    kept.from = "CAROL";
    kept.sentAt = "2008/02/25 08:00:00";
    kept.text = "Read already\r\n";
    readInboxMsg(kept);

    make().FormShow();
    auto *g = grid();
    ASSERT_EQ(g->rowCount(), 2);
    EXPECT_EQ(g->item(0, 2)->text(), "CAROL");
    EXPECT_EQ(g->item(0, 1)->text(), "02/25/2008 08:00:00");
    EXPECT_EQ(g->item(0, 3)->text(), "Read already");
    EXPECT_FALSE(g->item(0, 3)->data(kBoldRole).toBool());
    EXPECT_EQ(g->item(1, 0)->text(), "!");
    EXPECT_EQ(g->item(1, 3)->text(), "Hello Bob");
    for (int c = 0; c < 4; ++c)
        EXPECT_TRUE(g->item(1, c)->data(kBoldRole).toBool());
    EXPECT_EQ(form->CurRow, 1);
    EXPECT_EQ(g->currentRow(), 0);
    EXPECT_TRUE(form->Timer1->isActive());
    form->Timer1->stop();
}

TEST_F(NewMsgsFormTest, AnUrgentMessageOpensByItselfUntilItIsDealtWith)
{
    Msg m;
    m.urgent = 1;
    queueMsg(1, m);
    Msg normal;
    normal.from = "CAROL";
    queueMsg(2, normal);
    leaveReadWindowWith("ExitBtn"); // Keep As New
    make().FormShow();
    EXPECT_EQ(ws.ui.modalShown, std::vector<QString>{"ReadMsgForm"});
    form->Timer1Timer();
    EXPECT_EQ(ws.ui.modalShown.size(), 2u); // again at every tick
    EXPECT_EQ(queueFiles().size(), 4);

    ws.ctx.settings.UseDeletedBox = false;
    ws.ui.queueAnswer(MsgAnswer::Yes);
    leaveReadWindowWith("DeleteBtn");
    form->Timer1Timer();
    EXPECT_EQ(queueFiles(), (QStringList{"1002.tms", "BOB.m02"}));
    form->Timer1Timer();
    EXPECT_EQ(ws.ui.modalShown.size(), 3u);
    form->Timer1->stop();
}

TEST_F(NewMsgsFormTest, ShownModallyItOpensUrgentMessagesInItsOwnLoop)
{
    Msg m;
    m.urgent = 1;
    queueMsg(1, m);
    make();
    ws.ui.onModal = [&](QObject *w) {
        EXPECT_TRUE(form->isVisible());
        buttonOf(w, "ExitBtn")->click();
        QTimer::singleShot(0, form.get(), [&] { button("OKBtn")->click(); });
        return 1;
    };
    bool timedOut = false;
    QTimer::singleShot(5000, form.get(), [&] {
        timedOut = true;
        form->reject();
    });
    EXPECT_EQ(form->exec(), QDialog::Accepted);
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(ws.ui.modalShown, std::vector<QString>{"ReadMsgForm"});
    EXPECT_FALSE(form->Timer1->isActive());
    EXPECT_EQ(queueFiles().size(), 2); // closing the list changes no message
}

TEST_F(NewMsgsFormTest, AnEmptyListClosesTheWindow)
{
    make();
    bool timedOut = false;
    QTimer::singleShot(5000, form.get(), [&] {
        timedOut = true;
        form->accept();
    });
    EXPECT_EQ(form->exec(), QDialog::Rejected);
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(form->ListEmpty);
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(NewMsgsFormTest, TheLastMessageGoneClosesTheWindow)
{
    Msg m;
    queueMsg(1, m);
    make();
    ws.ctx.settings.UseDeletedBox = false;
    QTimer::singleShot(0, form.get(), [&] {
        ws.ui.queueAnswer(MsgAnswer::Yes);
        button("DeleteBtn")->click();
    });
    bool timedOut = false;
    QTimer::singleShot(5000, form.get(), [&] {
        timedOut = true;
        form->accept();
    });
    EXPECT_EQ(form->exec(), QDialog::Rejected);
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(queueFiles().isEmpty());
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Delete the current message?"});
    EXPECT_EQ(ws.ui.boxes[0].kind, MsgKind::Information);
}

TEST_F(NewMsgsFormTest, DeleteAndMarkAsReadActOnTheSelectedRow)
{
    Msg a;
    a.from = "ANN";
    a.sentAt = "2008/02/24 10:00:00";
    queueMsg(1, a);
    Msg c;
    c.from = "CAROL";
    c.sentAt = "2008/02/24 09:00:00";
    queueMsg(2, c);
    make().FormShow();
    form->Timer1->stop();

    select(1);
    button("btnMarkAsRead")->click();
    ASSERT_EQ(recordsIn(readInboxPath()).size(), 1u);
    EXPECT_EQ(recordsIn(readInboxPath())[0].FromUser, "CAROL");
    EXPECT_EQ(form->NewMsgCount(), 2);
    EXPECT_TRUE(form->NewMsgItems()[1].item.InReadInbox);
    EXPECT_EQ(form->CurRow, 2);
    EXPECT_EQ(grid()->currentRow(), 1);

    ws.ui.queueAnswer(MsgAnswer::No);
    select(0);
    button("DeleteBtn")->click();
    EXPECT_EQ(queueFiles().size(), 2);

    ws.ui.queueAnswer(MsgAnswer::Yes);
    button("DeleteBtn")->click();
    EXPECT_TRUE(queueFiles().isEmpty());
    EXPECT_EQ(recordsIn(deletedPath()).size(), 1u);
    EXPECT_EQ(form->NewMsgCount(), 1);
}

TEST_F(NewMsgsFormTest, ATextThatCannotBeLoadedIsReportedAndTheListGoesOn)
{
    Msg m;
    queueMsg(1, m);
    make().FormShow();
    QFile::remove(inQueue("1001.tms"));
    select(0);
    button("ReadBtn")->click();
    EXPECT_TRUE(ws.ui.modalShown.empty());
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error in NewMsgsForm.ReadAMsg(): Unable to open message text file: \"" +
                                                  inQueue("1001.tms") + "\"."});
    EXPECT_TRUE(form->Timer1->isActive());
    EXPECT_TRUE(exists(inQueue("BOB.m01")));
    form->Timer1->stop();
}

TEST_F(NewMsgsFormTest, AMarkAsReadThatFailsInTheReadWindowKeepsTheMessageNew)
{
    Msg m;
    queueMsg(1, m);
    make().FormShow();
    form->Timer1->stop();
    bool stayedOpen = false;
    ws.ui.onModal = [&](QObject *w) {
        ws.files.failPathContaining = "mailbox/_iBOB.mbx";
        buttonOf(w, "btnMarkAsRead")->click();
        stayedOpen = !qobject_cast<TReadMsgForm *>(w)->isClosing();
        ws.files.failPathContaining.clear();
        buttonOf(w, "ExitBtn")->click(); // then keeps it as new
        return 1;
    };
    select(0);
    button("ReadBtn")->click();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(queueFiles(), (QStringList{"1001.tms", "BOB.m01"}));
    EXPECT_FALSE(exists(readInboxPath()));
    EXPECT_TRUE(mailboxTexts().isEmpty());
    EXPECT_EQ(ws.ui.texts(), std::vector<QString>{"Error in ReadMsgForm.WriteMsgToFolder(): Unable to write to message "
                                                  "info file: \"" + readInboxPath() + "\".  Data was not saved."});
    form->Timer1->stop();
}

TEST_F(NewMsgsFormTest, MarkAsReadInTheReadWindowFilesTheMessage)
{
    Msg m;
    queueMsg(1, m);
    make().FormShow();
    leaveReadWindowWith("btnMarkAsRead");
    select(0);
    button("ReadBtn")->click();
    EXPECT_TRUE(queueFiles().isEmpty());
    const auto recs = recordsIn(readInboxPath());
    ASSERT_EQ(recs.size(), 1u);
    EXPECT_EQ(get(inMailbox(recs[0].TextFileName)), m.text);
    ASSERT_EQ(form->NewMsgCount(), 1);
    EXPECT_TRUE(form->NewMsgItems()[0].item.InReadInbox);
    form->Timer1->stop();
}

TEST_F(NewMsgsFormTest, AReceiptGoesOutOnceWhileTheMessageIsKeptAsNew)
{
    Msg m;
    m.receipt = 1;
    queueMsg(1, m);
    make().FormShow();
    leaveReadWindowWith("ExitBtn");
    for (int i = 0; i < 2; ++i) {
        select(0);
        button("ReadBtn")->click();
    }
    EXPECT_EQ(ws.ui.modalShown.size(), 2u);
    EXPECT_EQ(names(queueDir(), "ANN.m*"), QStringList{"ANN.m01"});
    EXPECT_EQ(recordsIn(inQueue("BOB.m01")).at(0).Receipt, 2);
    EXPECT_TRUE(exists(inQueue("1001.tms")));
    form->Timer1->stop();
}

TEST_F(NewMsgsFormTest, ResizingSetsTheColumnsAndStoresTheGeometry)
{
    put(tmp.filePath("NORVANE.INI"), "[frmMsgList]\r\ngridList.Col1Width=40\r\ngridList.Col3Width=300\r\n");
    make();
    EXPECT_EQ(grid()->columnWidth(1), 40);
    EXPECT_EQ(grid()->columnWidth(3), 300);

    form->resizeOuter(572, 309);
    form->FormResize();
    EXPECT_EQ(grid()->width(), 410);
    const int widths[] = {12, 128, 70, 175};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(grid()->columnWidth(c), widths[c]) << c;

    form->resizeOuter(700, 400);
    form->FormResize();
    const int cw = 700 - TNewMsgsForm::kFrameWidth, ch = 400 - TNewMsgsForm::kFrameHeight;
    EXPECT_EQ(grid()->size(), QSize(cw - 154, ch - 28));
    EXPECT_EQ(find<QWidget>("Panel1")->size(), QSize(cw - 139, ch - 15));
    for (const char *b : {"OKBtn", "ReadBtn", "DeleteBtn", "btnMarkAsRead"})
        EXPECT_EQ(button(b)->x(), cw - 125) << b;

    IniProfile ini(ws.files, tmp.filePath("NORVANE.INI"));
    const std::pair<const char *, int> stored[] = {
        {"Height", 400},
        {"Width", 700},
        {"Panel1.Height", ch - 15},
        {"Panel1.Width", cw - 139},
        {"gridList.Height", ch - 28},
        {"gridList.Width", cw - 154},
        {"gridList.Col0Width", 12},
        {"gridList.Col1Width", grid()->columnWidth(1)},
        {"gridList.Col2Width", grid()->columnWidth(2)},
        {"gridList.Col3Width", grid()->columnWidth(3)},
        {"OKBtn.Left", cw - 125},
        {"ReadBtn.Left", cw - 125},
        {"DeleteBtn.Left", cw - 125},
        {"btnMarkAsRead.Left", cw - 125}};
    for (auto [key, value] : stored)
        EXPECT_EQ(ini.readInt("frmMsgList", key, -1), value) << key;

    make(); // a new window comes up as it was left
    EXPECT_EQ(form->outerSize(), QSize(700, 400));
    EXPECT_EQ(grid()->width(), cw - 154);
}

TEST_F(NewMsgsFormTest, OnlyTheHeaderHasHints)
{
    make();
    form->gridListMouseMove(2, 0);
    EXPECT_EQ(form->currentHint(), "Message sent from");
    EXPECT_EQ(form->HintCol, 2);
    EXPECT_EQ(form->HintRow, 0);
    form->gridListMouseMove(1, 3);
    EXPECT_EQ(form->currentHint(), "");
    form->gridListMouseMove(1, 0);
    EXPECT_EQ(form->currentHint(), "Date and time message was received");
    const char *hints[] = {"Urgent!", "Date and time message was received", "Message sent from", "Message"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(grid()->horizontalHeaderItem(c)->toolTip(), hints[c]);
}

// Pictures of both windows for a look by eye: NV_GRAB_DIR=/tmp/grabs.
TEST_F(NewMsgsFormTest, Pictures)
{
    const QString dir = qEnvironmentVariable("NV_GRAB_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "set NV_GRAB_DIR to take pictures";
    QDir().mkpath(dir);
    put(tmp.filePath("net/qreplys.txt"), "Thanks, will do.\r\nCall me please.\r\nSee you at the meeting.\r\n");
    const char *senders[] = {"ANN", "CAROL", "DAVE", "RECEPTION"};
    for (int i = 0; i < 4; ++i) {
        Msg m;
        m.from = senders[i];
        m.sentAt = QStringLiteral("2008/02/24 09:%1:00").arg(10 + i * 7).toLatin1();
        m.urgent = i == 1 ? 1 : 2;
        m.receipt = i == 1 ? 1 : 2;
        m.ccNames = i == 1 ? "DAVE;SHIPPING;" : "";
        m.text = QByteArray("Message number ") + QByteArray::number(i + 1) +
                 " about the quarterly figures and the meeting on Friday\r\nSecond line\r\n";
        queueMsg(i + 1, m);
    }
    Msg kept;
    kept.from = "SHIPPING";
    kept.sentAt = "2008/02/23 16:45:12";
    kept.text = "Parcel for you at the front desk\r\n";
    readInboxMsg(kept);

    make();
    form->show();
    QCoreApplication::processEvents();
    form->Timer1->stop();
    select(2);
    QCoreApplication::processEvents();
    form->grab().save(dir + "/message_inbox.png");

    TReadMsgForm *read = form->readWindow();
    read->setReplyHandler([](const read_msg::ReplyRequest &) {});
    read->fillFromInboxRow(form->NewMsgItems()[2]);
    read->show();
    QCoreApplication::processEvents();
    read->FormActivate();
    QCoreApplication::processEvents();
    read->grab().save(dir + "/read_message.png");
    read->hide();
    form->hide();
}
