#include "reading/read_msg_form.h"

#include "platform/ini_profile.h"
#include "support/reading_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <memory>

using namespace nv;

namespace {

class ReadMsgFormTest : public ReadingFixture {
protected:
    ReadMsgFormTest()
    {
        ws.ctx.iniPath = tmp.filePath("NORVANE.INI");
        ws.ctx.settings.Privilege = "1";
    }
    TReadMsgForm &make()
    {
        form = std::make_unique<TReadMsgForm>(ws.ctx);
        return *form;
    }
    template <class T> T *find(const char *name) const
    {
        auto *w = form->findChild<T *>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QPushButton *button(const char *name) const { return find<QPushButton>(name); }
    QString text(const char *name) const { return find<QLineEdit>(name)->text(); }
    QString memo(const char *name) const { return find<QPlainTextEdit>(name)->toPlainText(); }

    static ReadMsgContent sample(bool receipt = false)
    {
        ReadMsgContent c;
        c.SentFrom = "ANN";
        c.SentOn = "02/24/2008 09:05:00";
        c.urgent = true;
        c.ToList = "BOB;CAROL;";
        c.CcList = "DAVE;";
        c.BccList = "EVE;";
        c.InMessage = {"Hello Bob", "Second line"};
        c.receiptOwed = receipt;
        return c;
    }

    std::unique_ptr<TReadMsgForm> form;
};

} // namespace

TEST_F(ReadMsgFormTest, ControlsCarryTheirNamesAndCaptions)
{
    make();
    EXPECT_EQ(form->objectName(), "ReadMsgForm");
    EXPECT_EQ(form->windowTitle(), "Norvane - Read Message");
    const std::pair<const char *, const char *> buttons[] = {
        {"ReplyBtn", "&Reply"},   {"ReplyAllBtn", "Reply &All"}, {"SaveBtn", "&Save"},
        {"PrintBtn", "&Print"},   {"DeleteBtn", "&Delete"},      {"ExitBtn", "E&xit"},
        {"btnMarkAsRead", "&Mark As Read"}};
    for (auto [name, caption] : buttons)
        EXPECT_EQ(button(name)->text(), caption) << name;
    QStringList labels;
    for (const QLabel *l : form->findChildren<QLabel *>())
        labels.append(l->text());
    for (const char *l : {"From:", "Sent:", "To:", "Cc:", "Message:", "Quick Reply:"})
        EXPECT_TRUE(labels.contains(l)) << l;
    for (const char *name : {"SentFrom", "SentOn", "UrgentFld"})
        EXPECT_TRUE(find<QLineEdit>(name)->isReadOnly()) << name;
    for (const char *name : {"ToList", "CcList", "BccList", "InMessage"})
        EXPECT_TRUE(find<QPlainTextEdit>(name)->isReadOnly()) << name;
    EXPECT_TRUE(find<QPlainTextEdit>("BccList")->isHidden());
    EXPECT_TRUE(find<QPlainTextEdit>("ReceiptMsg")->isHidden());
    EXPECT_TRUE(find<QCheckBox>("SendReceiptBox")->isHidden());
    EXPECT_FALSE(find<QCheckBox>("SendReceiptBox")->isEnabled());
    EXPECT_NE(find<QComboBox>("QuickReplies"), nullptr);

    const std::pair<const char *, const char *> items[] = {
        {"Save1", "&Save"},      {"Print1", "&Print"},        {"Exit1", "E&xit"},
        {"Cut1", "Cu&t"},        {"Copy1", "&Copy"},          {"Paste1", "&Paste"},
        {"Delete2", "&Delete"},  {"SelectAll1", "&Select All"}, {"Reply1", "&Reply"},
        {"ReplyAll1", "Reply &All"}, {"Delete1", "&Delete"}};
    for (auto [name, caption] : items)
        EXPECT_EQ(find<QAction>(name)->text(), caption) << name;
    for (const char *name : {"Cut1", "Paste1", "Delete2"})
        EXPECT_FALSE(find<QAction>(name)->isEnabled()) << name;
    EXPECT_EQ(find<QAction>("Copy1")->shortcut(), QKeySequence(QKeySequence(Qt::CTRL | Qt::Key_C)));
    EXPECT_EQ(find<QAction>("Delete2")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
}

TEST_F(ReadMsgFormTest, AFolderMessageOffersExitOnly)
{
    TMsgInfoRec r;
    r.FromUser = "ANN";
    r.ToUser = "BOB";
    r.SentAt = "2008/02/24 09:05:00";
    r.Urgent = 1;
    r.Receipt = 1;
    r.TextFileName = "C:\\OLD\\4711.tms";
    r.ToNames = "BOB;";
    r.CcNames = "DAVE;";
    r.BccNames = "EVE;";
    ws.ctx.Msgs = {r};
    ws.ctx.MsgTexts = {""};
    put(inMailbox("4711.tms"), "Kept\r\ntext\r\n");
    ws.ctx.MsgRemoved = ws.ctx.MsgSaved = true;

    make();
    ASSERT_TRUE(form->fillFromFolderRecord(0));
    EXPECT_EQ(text("SentFrom"), "ANN");
    EXPECT_EQ(text("SentOn"), "02/24/2008 09:05:00");
    EXPECT_EQ(text("UrgentFld"), "URGENT!");
    EXPECT_EQ(memo("ToList"), "BOB;");
    EXPECT_EQ(memo("CcList"), "DAVE;");
    EXPECT_EQ(memo("BccList"), "EVE;");
    EXPECT_EQ(memo("InMessage"), "Kept\ntext");
    EXPECT_EQ(text("ReceiptMsgFld"), "");
    EXPECT_FALSE(find<QCheckBox>("SendReceiptBox")->isChecked()); // no receipt from a folder
    EXPECT_EQ(button("ExitBtn")->text(), "E&xit");
    EXPECT_TRUE(button("btnMarkAsRead")->isHidden());
    EXPECT_EQ(form->MsgTextPath(), inMailbox("4711.tms"));
    EXPECT_EQ(ws.ctx.Msgs[0].TextFileName, "4711.tms");
    EXPECT_FALSE(ws.ctx.MsgRemoved);
    EXPECT_FALSE(ws.ctx.MsgSaved);
}

TEST_F(ReadMsgFormTest, ANewMessageOffersKeepAsNewAndMarkAsRead)
{
    make().fill(sample(true), true);
    EXPECT_EQ(button("ExitBtn")->text(), "Keep As &New");
    EXPECT_FALSE(button("btnMarkAsRead")->isHidden());
    EXPECT_TRUE(find<QCheckBox>("SendReceiptBox")->isChecked());

    ReadMsgContent plain = sample();
    plain.urgent = false;
    form->fill(plain, false);
    EXPECT_EQ(text("UrgentFld"), "");
    EXPECT_EQ(button("ExitBtn")->text(), "E&xit");
    EXPECT_TRUE(button("btnMarkAsRead")->isHidden());
}

TEST_F(ReadMsgFormTest, HowTheWindowWasLeft)
{
    make();
    form->setFolderPicker([this] {
        ws.ctx.TmpFolder = "Deleted";
        return true;
    });
    const struct {
        const char *how;
        bool newMessage;
        std::function<void()> act;
        bool closed, removed, saved, keepAsNew, markedAsRead;
    } cases[] = {
        {"Exit", false, [&] { button("ExitBtn")->click(); }, true, false, false, false, false},
        {"Keep As New", true, [&] { button("ExitBtn")->click(); }, true, false, false, true, false},
        {"Delete, Yes", true,
         [&] {
             ws.ui.queueAnswer(MsgAnswer::Yes);
             button("DeleteBtn")->click();
         },
         true, true, false, false, false},
        {"Delete, No", true,
         [&] {
             ws.ui.queueAnswer(MsgAnswer::No);
             find<QAction>("Delete1")->trigger();
         },
         false, false, false, false, false},
        {"Save", false, [&] { button("SaveBtn")->click(); }, true, true, true, false, false},
        {"Mark As Read", true, [&] { button("btnMarkAsRead")->click(); }, true, true, false, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.how);
        form->fill(sample(), c.newMessage);
        form->FormActivate();
        c.act();
        EXPECT_EQ(form->isClosing(), c.closed);
        EXPECT_EQ(ws.ctx.MsgRemoved, c.removed);
        EXPECT_EQ(ws.ctx.MsgSaved, c.saved);
        EXPECT_EQ(form->KeepAsNew, c.keepAsNew);
        EXPECT_EQ(form->MarkedAsRead, c.markedAsRead);
    }
    EXPECT_EQ(recordsIn(deletedPath()).size(), 1u);
    EXPECT_EQ(recordsIn(readInboxPath()).size(), 1u);
    for (const ShownBox &b : ws.ui.boxes) {
        EXPECT_EQ(b.text, "Delete this message?");
        EXPECT_EQ(b.kind, MsgKind::Information);
    }
}

TEST_F(ReadMsgFormTest, ClosingTheWindowAsksTheDeleteQuestion)
{
    make().fill(sample(), false);
    form->show();
    form->FormActivate();

    ws.ui.queueAnswer(MsgAnswer::No);
    form->close();
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(ws.ctx.MsgRemoved);

    ws.ui.queueAnswer(MsgAnswer::No);
    find<QAction>("Exit1")->trigger(); // the menu's Exit only closes: the same question
    EXPECT_TRUE(form->isVisible());

    ws.ui.queueAnswer(MsgAnswer::Yes);
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(ws.ctx.MsgRemoved);
    EXPECT_EQ(ws.ui.texts(), (std::vector<QString>(3, "Delete this message?")));
}

TEST_F(ReadMsgFormTest, ReadOnlyUsersCannotReply)
{
    make();
    std::vector<read_msg::ReplyRequest> replies;
    const auto replyEnabled = [&] {
        return std::vector<bool>{button("ReplyBtn")->isEnabled(), button("ReplyAllBtn")->isEnabled(),
                                 find<QComboBox>("QuickReplies")->isEnabled(), find<QAction>("Reply1")->isEnabled(),
                                 find<QAction>("ReplyAll1")->isEnabled()};
    };
    const std::vector<bool> none(5, false), all(5, true);
    form->fill(sample(), false);
    EXPECT_EQ(replyEnabled(), none); // no multiple-recipient window plugged in yet

    form->setReplyHandler([&](const read_msg::ReplyRequest &r) { replies.push_back(r); });
    const struct {
        const char *privilege;
        bool mayReply;
    } cases[] = {{"0", true}, {"1", true}, {"2", false}, {"", false}, {"7", false}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.privilege);
        ws.ctx.settings.Privilege = c.privilege;
        form->FormPaint();
        EXPECT_EQ(replyEnabled(), c.mayReply ? all : none);
        EXPECT_TRUE(button("DeleteBtn")->isEnabled());
        EXPECT_TRUE(find<QAction>("Delete1")->isEnabled());
    }
    ws.ctx.settings.Privilege = "1";
    form->FormPaint();
    button("ReplyAllBtn")->click();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].PresetTo, "ANN;BOB;CAROL;");
    EXPECT_EQ(replies[0].PresetCc, "DAVE;");
    EXPECT_FALSE(form->isClosing()); // the window stays open after a reply
}

TEST_F(ReadMsgFormTest, QuickRepliesAreSortedAndStartAReply)
{
    put(tmp.filePath("net/qreplys.txt"), "Thanks\r\nCall me\r\n" + QByteArray(100, 'z') + "\r\n");
    make();
    std::vector<read_msg::ReplyRequest> replies;
    form->setReplyHandler([&](const read_msg::ReplyRequest &r) { replies.push_back(r); });
    auto *combo = find<QComboBox>("QuickReplies");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Call me");
    EXPECT_EQ(combo->itemText(1), "Thanks");
    EXPECT_EQ(combo->itemText(2), QString(81, 'z'));

    form->fill(sample(), false);
    form->FormActivate();
    EXPECT_EQ(combo->currentIndex(), -1);
    emit combo->activated(1);
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].memoMessage, (QStringList{"Thanks", ">Hello Bob", "Second line"}));
    EXPECT_EQ(replies[0].PresetTo, "ANN;");
    EXPECT_TRUE(replies[0].PresetCc.isEmpty());
}

TEST_F(ReadMsgFormTest, TheReceiptIsSentOncePerShowing)
{
    make().fill(sample(true), true);
    form->FormActivate();
    EXPECT_EQ(text("ReceiptMsgFld"), "Receipt Sent");
    EXPECT_TRUE(form->receiptSent());
    EXPECT_FALSE(find<QCheckBox>("SendReceiptBox")->isChecked());
    EXPECT_TRUE(memo("ReceiptMsg").startsWith("RECEIPT: The following message was read by: BOB\n\n>Hello Bob"));
    form->FormActivate(); // back from a reply
    EXPECT_EQ(names(queueDir(), "ANN.m*"), QStringList{"ANN.m01"});
    EXPECT_EQ(names(queueDir(), "*.tms").size(), 1);
}

TEST_F(ReadMsgFormTest, AReceiptThatDidNotGoOutIsNotShownAsSent)
{
    ws.files.failPathContaining = "ANN.m01";
    make().fill(sample(true), true);
    form->FormActivate();
    EXPECT_EQ(text("ReceiptMsgFld"), "");
    EXPECT_FALSE(form->receiptSent());
    EXPECT_EQ(ws.ui.boxes.size(), 1u);
    EXPECT_TRUE(queueFiles().isEmpty());
}

TEST_F(ReadMsgFormTest, ASaveOrMarkThatFailsKeepsTheWindowOpen)
{
    make();
    form->setFolderPicker([this] {
        ws.ctx.TmpFolder = "WORK";
        return true;
    });
    ws.files.failPathContaining = "mailbox/WORK.mbx";
    form->fill(sample(), true);
    form->FormActivate();
    button("SaveBtn")->click();
    EXPECT_FALSE(form->isClosing());
    EXPECT_FALSE(ws.ctx.MsgRemoved);
    EXPECT_FALSE(ws.ctx.MsgSaved);

    ws.files.failPathContaining = "mailbox/_iBOB.mbx";
    button("btnMarkAsRead")->click();
    EXPECT_FALSE(form->isClosing());
    EXPECT_FALSE(ws.ctx.MsgRemoved);
    EXPECT_FALSE(form->MarkedAsRead);

    EXPECT_EQ(ws.ui.boxes.size(), 2u);
    EXPECT_TRUE(names(mailboxDir()).isEmpty());
}

TEST_F(ReadMsgFormTest, CancellingThePickerSavesNothing)
{
    make();
    form->setFolderPicker([] { return false; });
    form->fill(sample(), false);
    button("SaveBtn")->click();
    EXPECT_FALSE(form->isClosing());
    EXPECT_FALSE(ws.ctx.MsgSaved);
    EXPECT_TRUE(names(mailboxDir()).isEmpty());
}

TEST_F(ReadMsgFormTest, SaveAndPrintWaitForTheirWindows)
{
    make().fill(sample(), false);
    EXPECT_FALSE(button("SaveBtn")->isEnabled());
    EXPECT_FALSE(find<QAction>("Save1")->isEnabled());
    EXPECT_FALSE(button("PrintBtn")->isEnabled());
    int printed = 0;
    form->setPrintHandler([&] { ++printed; });
    EXPECT_TRUE(button("PrintBtn")->isEnabled());
    find<QAction>("Print1")->trigger();
    EXPECT_EQ(printed, 1);
}

TEST_F(ReadMsgFormTest, GeometryComesFromAndGoesToTheSettingsFile)
{
    put(tmp.filePath("NORVANE.INI"), "[frmRead]\r\nHeight=500\r\nWidth=700\r\n");
    make();
    EXPECT_EQ(form->outerSize(), QSize(700, 500));
    auto *msg = find<QPlainTextEdit>("InMessage");
    const int cw = 700 - TReadMsgForm::kFrameWidth;
    EXPECT_EQ(msg->width(), cw - 162);
    EXPECT_EQ(button("ExitBtn")->x(), cw - 134);
    EXPECT_EQ(find<QComboBox>("QuickReplies")->x(), cw - 134);
    EXPECT_EQ(find<QLineEdit>("ReceiptMsgFld")->x(), cw - 261);
    EXPECT_EQ(find<QLineEdit>("UrgentFld")->x(), (cw - 162 - 69) / 2 + 16);
    const int ch = msg->parentWidget()->height();
    EXPECT_EQ(msg->height(), ch - 173);

    form->show();
    form->resizeOuter(640, 450);
    IniProfile ini(ws.files, tmp.filePath("NORVANE.INI"));
    EXPECT_EQ(ini.readInt("frmRead", "Width", 0), 640);
    EXPECT_EQ(ini.readInt("frmRead", "Height", 0), 450);
    EXPECT_EQ(msg->width(), 640 - TReadMsgForm::kFrameWidth - 162);

    form->resizeOuter(400, 150); // too low for the text: a sliver of it stays
    EXPECT_EQ(msg->height(), 22);
    form->hide();
}
