#include "reading/read_msg_form.h"

#include "mainwin/context.h"
#include "platform/ini_profile.h"
#include "platform/ui.h"
#include "reading/reading_texts.h"
#include "reading/receipt.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

#include <algorithm>

namespace nv {

namespace rtexts = reading_texts;

namespace {

const QString kFrmRead = QStringLiteral("frmRead");
constexpr int kDefaultHeight = 406;
constexpr int kDefaultWidth = 589;
constexpr int kHelpContext = 240;

// Layout of the designed window (client area below the menu bar).
constexpr int kMargin = 16;
constexpr int kMessageTop = 160;
constexpr int kUrgentWidth = 69;
constexpr int kRightColumnWidth = 120;

template <class W> W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, int x, int y, int w = 44)
{
    auto *l = named(new QLabel(text, parent), name);
    l->setGeometry(x, y, w, 18);
    return l;
}

QPlainTextEdit *readOnlyMemo(QWidget *parent, const char *name)
{
    auto *m = named(new QPlainTextEdit(parent), name);
    m->setReadOnly(true);
    m->setTabChangesFocus(true);
    return m;
}

} // namespace

TReadMsgForm::TReadMsgForm(Context &ctx, QWidget *parent) : QDialog(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("ReadMsgForm"));
    setWindowTitle(rtexts::ReadMsgCaption);
    setSizeGripEnabled(true);
    buildMenus();
    buildControls();

    Creating = true;
    IniProfile ini(ctx.files, ctx.iniPath);
    const int h = ini.readInt(kFrmRead, QStringLiteral("Height"), kDefaultHeight);
    const int w = ini.readInt(kFrmRead, QStringLiteral("Width"), kDefaultWidth);
    resizeOuter(w, h);
    Creating = false;
    Closing = false;
    // A stored size other than the designed one is laid out at once.
    m_lastSize = size();
    layoutFrame();
    layoutControls();
    LoadQuickReplys();
    updateCommandStates();
}

void TReadMsgForm::buildMenus()
{
    m_menuBar = named(new QMenuBar(this), "MainMenu1");
    m_menuBar->setNativeMenuBar(false);
    auto add = [this](QMenu *menu, const char *name, const QString &caption, const QKeySequence &key = {}) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        addAction(a);
        return a;
    };
    QMenu *file = named(m_menuBar->addMenu(rtexts::FileMenu), "File1");
    Save1 = add(file, "Save1", rtexts::SaveCaption);
    Print1 = add(file, "Print1", rtexts::PrintCaption);
    Exit1 = add(file, "Exit1", rtexts::ExitCaption);

    QMenu *edit = named(m_menuBar->addMenu(rtexts::EditMenu), "Edit1");
    Cut1 = add(edit, "Cut1", rtexts::CutCaption, QKeySequence(Qt::CTRL | Qt::Key_X));
    Copy1 = add(edit, "Copy1", rtexts::CopyCaption, QKeySequence(Qt::CTRL | Qt::Key_C));
    Paste1 = add(edit, "Paste1", rtexts::PasteCaption, QKeySequence(Qt::CTRL | Qt::Key_V));
    Delete2 = add(edit, "Delete2", rtexts::DeleteCaption, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    SelectAll1 = add(edit, "SelectAll1", rtexts::SelectAllCaption);
    // The text is read-only: nothing to cut, paste or clear.
    Cut1->setEnabled(false);
    Paste1->setEnabled(false);
    Delete2->setEnabled(false);

    QMenu *message = named(m_menuBar->addMenu(rtexts::MessageMenu), "Message1");
    Reply1 = add(message, "Reply1", rtexts::ReplyCaption);
    ReplyAll1 = add(message, "ReplyAll1", rtexts::ReplyAllCaption);
    Delete1 = add(message, "Delete1", rtexts::DeleteCaption);

    connect(Save1, &QAction::triggered, this, &TReadMsgForm::SaveToFolder);
    connect(Print1, &QAction::triggered, this, &TReadMsgForm::PrintMsg);
    connect(Exit1, &QAction::triggered, this, [this] { close(); }); // through the delete question
    connect(Copy1, &QAction::triggered, this, [this] { InMessage->copy(); });
    connect(SelectAll1, &QAction::triggered, this, [this] { InMessage->selectAll(); });
    connect(Reply1, &QAction::triggered, this, [this] { ReplyToMsg(QString(), read_msg::ReplyMode::Reply); });
    connect(ReplyAll1, &QAction::triggered, this, [this] { ReplyToMsg(QString(), read_msg::ReplyMode::ReplyAll); });
    connect(Delete1, &QAction::triggered, this, &TReadMsgForm::ConfirmDelete);
}

void TReadMsgForm::buildControls()
{
    m_client = named(new QWidget(this), "ClientArea");
    QWidget *c = m_client;

    UrgentFld = named(new QLineEdit(c), "UrgentFld");
    UrgentFld->setReadOnly(true);
    UrgentFld->setFrame(false);
    UrgentFld->setFocusPolicy(Qt::NoFocus);
    UrgentFld->setAlignment(Qt::AlignCenter);
    QFont bold = UrgentFld->font();
    bold.setBold(true);
    UrgentFld->setFont(bold);
    QPalette red = UrgentFld->palette();
    red.setColor(QPalette::Text, Qt::red);
    red.setColor(QPalette::Base, palette().color(QPalette::Window));
    UrgentFld->setPalette(red);
    UrgentFld->setGeometry(191, 4, kUrgentWidth, 20);

    ReceiptMsgFld = named(new QLineEdit(c), "ReceiptMsgFld");
    ReceiptMsgFld->setFrame(false);
    ReceiptMsgFld->setReadOnly(true);
    ReceiptMsgFld->setFocusPolicy(Qt::NoFocus);
    QPalette plain = ReceiptMsgFld->palette();
    plain.setColor(QPalette::Base, palette().color(QPalette::Window));
    ReceiptMsgFld->setPalette(plain);
    ReceiptMsgFld->setGeometry(320, 4, 110, 20);

    lblFrom = label(c, "Label1", rtexts::FromLabel, kMargin, 30);
    SentFrom = named(new QLineEdit(c), "SentFrom");
    SentFrom->setReadOnly(true);
    SentFrom->setGeometry(60, 28, 150, 22);
    lblSent = label(c, "Label2", rtexts::SentLabel, 222, 30, 36);
    SentOn = named(new QLineEdit(c), "SentOn");
    SentOn->setReadOnly(true);
    SentOn->setGeometry(260, 28, 175, 22);

    lblTo = label(c, "Label3", rtexts::ToLabel, kMargin, 56);
    ToList = readOnlyMemo(c, "ToList");
    ToList->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ToList->setGeometry(60, 54, 375, 40);
    lblCc = label(c, "Label4", rtexts::CcLabel, kMargin, 100);
    CcList = readOnlyMemo(c, "CcList");
    CcList->setGeometry(60, 98, 375, 40);
    BccList = readOnlyMemo(c, "BccList");
    BccList->hide();

    lblMessage = label(c, "Label5", rtexts::MessageLabel, kMargin, 142, 80);
    InMessage = readOnlyMemo(c, "InMessage");
    InMessage->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    InMessage->setGeometry(kMargin, kMessageTop, 419, 199);

    SendReceiptBox = named(new QCheckBox(c), "SendReceiptBox");
    SendReceiptBox->setEnabled(false);
    SendReceiptBox->hide();
    ReceiptMsg = readOnlyMemo(c, "ReceiptMsg");
    ReceiptMsg->hide();

    const int x = 447;
    lblQuickReply = label(c, "Label6", rtexts::QuickReplyLabel, x, 4, kRightColumnWidth);
    QuickReplies = named(new QComboBox(c), "QuickReplies");
    QuickReplies->setEditable(false);
    QuickReplies->setGeometry(x, 22, kRightColumnWidth, 24);
    connect(QuickReplies, &QComboBox::activated, this, &TReadMsgForm::quickReplyChosen);

    auto button = [&](const char *name, const QString &caption, int y) {
        auto *b = named(new QPushButton(caption, c), name);
        b->setAutoDefault(false);
        b->setGeometry(x, y, kRightColumnWidth, 25);
        return b;
    };
    ReplyBtn = button("ReplyBtn", rtexts::ReplyCaption, 56);
    ReplyAllBtn = button("ReplyAllBtn", rtexts::ReplyAllCaption, 87);
    SaveBtn = button("SaveBtn", rtexts::SaveCaption, 118);
    PrintBtn = button("PrintBtn", rtexts::PrintCaption, 149);
    DeleteBtn = button("DeleteBtn", rtexts::DeleteCaption, 180);
    ExitBtn = button("ExitBtn", rtexts::ExitCaption, 211);
    btnMarkAsRead = button("btnMarkAsRead", rtexts::MarkAsReadCaption, 242);

    connect(ReplyBtn, &QPushButton::clicked, this, [this] { ReplyToMsg(QString(), read_msg::ReplyMode::Reply); });
    connect(ReplyAllBtn, &QPushButton::clicked, this,
            [this] { ReplyToMsg(QString(), read_msg::ReplyMode::ReplyAll); });
    connect(SaveBtn, &QPushButton::clicked, this, &TReadMsgForm::SaveToFolder);
    connect(PrintBtn, &QPushButton::clicked, this, &TReadMsgForm::PrintMsg);
    connect(DeleteBtn, &QPushButton::clicked, this, &TReadMsgForm::ConfirmDelete);
    connect(ExitBtn, &QPushButton::clicked, this, &TReadMsgForm::ExitBtnClick);
    connect(btnMarkAsRead, &QPushButton::clicked, this, &TReadMsgForm::btnMarkAsReadClick);

    setTabOrder(InMessage, ReplyBtn);
}

// ---- openers

void TReadMsgForm::fill(const ReadMsgContent &msg, bool newMessage)
{
    m_msg = msg;
    SentFrom->setText(msg.SentFrom);
    SentOn->setText(msg.SentOn);
    UrgentFld->setText(msg.urgent ? rtexts::UrgentText : QString());
    ToList->setPlainText(msg.ToList);
    CcList->setPlainText(msg.CcList);
    BccList->setPlainText(msg.BccList);
    InMessage->setPlainText(msg.InMessage.join(QLatin1Char('\n')));
    InMessage->verticalScrollBar()->setValue(0);
    SendReceiptBox->setChecked(msg.receiptOwed);
    ReceiptMsgFld->clear();
    ExitBtn->setText(newMessage ? rtexts::KeepAsNewCaption : rtexts::ExitCaption);
    btnMarkAsRead->setVisible(newMessage);
    KeepAsNew = false;
    MarkedAsRead = false;
    m_receiptSent = false;
    Closing = false;
    m_ctx.MsgRemoved = false;
    m_ctx.MsgSaved = false;
    FormPaint();
    InMessage->setFocus();
}

bool TReadMsgForm::fillFromFolderRecord(int index)
{
    const auto msg = read_msg::ContentFromFolderRecord(m_ctx, index);
    if (!msg)
        return false;
    fill(*msg, false);
    return true;
}

bool TReadMsgForm::fillFromInboxRow(const NewMsgRow &row)
{
    const auto msg = new_msgs::ContentForRow(m_ctx, row);
    if (!msg)
        return false;
    fill(*msg, !row.item.InReadInbox);
    return true;
}

// ---- seams

void TReadMsgForm::setReplyHandler(ReplyHandler handler)
{
    m_reply = std::move(handler);
    updateCommandStates();
}

void TReadMsgForm::setFolderPicker(FolderPicker picker)
{
    m_pickFolder = std::move(picker);
    updateCommandStates();
}

void TReadMsgForm::setPrintHandler(PrintHandler handler)
{
    m_print = std::move(handler);
    updateCommandStates();
}

bool TReadMsgForm::mayReply() const
{
    const QString &p = m_ctx.settings.Privilege;
    return p == QLatin1String("0") || p == QLatin1String("1");
}

void TReadMsgForm::updateCommandStates()
{
    const bool reply = mayReply() && bool(m_reply);
    for (QWidget *w : std::initializer_list<QWidget *>{ReplyBtn, ReplyAllBtn, QuickReplies})
        if (w->isEnabled() != reply)
            w->setEnabled(reply);
    for (QAction *a : {Reply1, ReplyAll1})
        a->setEnabled(reply);
    SaveBtn->setEnabled(bool(m_pickFolder));
    Save1->setEnabled(bool(m_pickFolder));
    PrintBtn->setEnabled(bool(m_print));
    Print1->setEnabled(bool(m_print));
}

// ---- handlers

void TReadMsgForm::FormActivate()
{
    m_ctx.MsgRemoved = false;
    Closing = false;
    QuickReplies->setCurrentIndex(-1);
    if (SendReceiptBox->isChecked()) {
        SendReceiptBox->setChecked(false); // once per showing
        SendReceipt();
    }
}

void TReadMsgForm::FormPaint() { updateCommandStates(); }

void TReadMsgForm::LoadQuickReplys()
{
    QuickReplyCount = 0;
    QuickReplies->clear();
    QStringList replies = read_msg::LoadQuickReplys(m_ctx);
    // A sorted list, as the drop-down shows it.
    std::stable_sort(replies.begin(), replies.end(),
                     [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    QuickReplies->addItems(replies);
    QuickReplyCount = int(replies.size());
    QuickReplies->setCurrentIndex(-1);
}

void TReadMsgForm::SendReceipt()
{
    const QString reader = m_ctx.settings.UserName;
    ReceiptMsg->setPlainText(ReceiptLines(reader, m_msg.InMessage).join(QLatin1Char('\n')));
    const ReceiptResult r = nv::SendReceipt(m_ctx, reader, m_msg.SentFrom, m_msg.InMessage);
    if (r.status == ReceiptResult::Sent) {
        m_receiptSent = true;
        ReceiptMsgFld->setText(rtexts::ReceiptSentText);
    }
}

void TReadMsgForm::ReplyToMsg(const QString &prefix, read_msg::ReplyMode mode)
{
    if (!m_reply || !mayReply())
        return;
    m_reply(read_msg::ReplyToMsg(prefix, mode, m_msg)); // the window stays open afterwards
}

void TReadMsgForm::quickReplyChosen(int index)
{
    if (index < 0 || index >= QuickReplies->count())
        return;
    ReplyToMsg(QuickReplies->itemText(index), read_msg::ReplyMode::Reply);
}

void TReadMsgForm::SaveToFolder()
{
    if (!m_pickFolder || !m_pickFolder())
        return;
    if (read_msg::WriteMsgToFolder(m_ctx, m_msg) != read_msg::FolderWrite::Written)
        return; // not saved: the message stays where it is listed, the window open
    m_ctx.MsgSaved = true;
    m_ctx.MsgRemoved = true;
    closeByCommand();
}

void TReadMsgForm::btnMarkAsReadClick()
{
    m_ctx.TmpFolder = m_ctx.InboxBase;
    if (read_msg::WriteMsgToFolder(m_ctx, m_msg) != read_msg::FolderWrite::Written)
        return; // not written to the read-inbox: it stays new, the window open
    MarkedAsRead = true;
    m_ctx.MsgRemoved = true;
    closeByCommand();
}

void TReadMsgForm::ConfirmDelete()
{
    if (!m_ctx.ui.askYesNo(MsgKind::Information, rtexts::DeleteThisQuestion))
        return;
    m_ctx.MsgRemoved = true;
    closeByCommand();
}

void TReadMsgForm::ExitBtnClick()
{
    if (ExitBtn->text() == rtexts::KeepAsNewCaption)
        KeepAsNew = true;
    closeByCommand();
}

void TReadMsgForm::PrintMsg()
{
    if (m_print)
        m_print();
}

void TReadMsgForm::closeByCommand()
{
    Closing = true;
    done(QDialog::Accepted);
}

// ---- window events

bool TReadMsgForm::event(QEvent *e)
{
    if (e->type() == QEvent::WindowActivate && isVisible())
        FormActivate();
    return QDialog::event(e);
}

void TReadMsgForm::closeEvent(QCloseEvent *e)
{
    if (!Closing) {
        // The close box and "E&xit" of the menu: leaving this way deletes.
        if (!m_ctx.ui.askYesNo(MsgKind::Information, rtexts::DeleteThisQuestion)) {
            e->ignore();
            return;
        }
        m_ctx.MsgRemoved = true;
        Closing = true;
    }
    QDialog::closeEvent(e);
}

void TReadMsgForm::reject()
{
    if (Closing)
        QDialog::reject();
    else
        close();
}

void TReadMsgForm::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        e->accept(); // no cancel button: Esc leaves nothing
        return;
    }
    if (e->key() == Qt::Key_F1) {
        m_ctx.ui.help(kHelpContext);
        return;
    }
    QDialog::keyPressEvent(e);
}

void TReadMsgForm::paintEvent(QPaintEvent *e)
{
    FormPaint();
    QDialog::paintEvent(e);
}

QSize TReadMsgForm::outerSize() const { return QSize(width() + kFrameWidth, height() + kFrameHeight); }

void TReadMsgForm::resizeOuter(int w, int h)
{
    resize(std::max(w - kFrameWidth, 200), std::max(h - kFrameHeight, 120));
}

void TReadMsgForm::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    layoutFrame();
    if (size() == m_lastSize)
        return; // the size applied at creation, delivered again at the first show
    m_lastSize = size();
    FormResize();
}

void TReadMsgForm::layoutFrame()
{
    const int mh = m_menuBar->sizeHint().height();
    m_menuBar->setGeometry(0, 0, width(), mh);
    m_client->setGeometry(0, mh, width(), height() - mh);
}

void TReadMsgForm::FormResize()
{
    if (Closing || Creating)
        return;
    layoutControls();
    IniProfile ini(m_ctx.files, m_ctx.iniPath);
    const QSize outer = outerSize();
    ini.writeInt(kFrmRead, QStringLiteral("Height"), outer.height());
    ini.writeInt(kFrmRead, QStringLiteral("Width"), outer.width());
}

void TReadMsgForm::layoutControls()
{
    const int cw = m_client->width();
    const int ch = m_client->height();
    const int memoWidth = cw - 162;
    InMessage->setGeometry(InMessage->x(), InMessage->y(), memoWidth, ch >= 199 ? ch - 173 : 22);
    UrgentFld->move((memoWidth - kUrgentWidth) / 2 + 16, UrgentFld->y());
    ReceiptMsgFld->move(cw - 261, ReceiptMsgFld->y());
    for (QWidget *w : std::initializer_list<QWidget *>{lblQuickReply, QuickReplies, ReplyBtn, ReplyAllBtn, SaveBtn,
                                                        PrintBtn, DeleteBtn, ExitBtn, btnMarkAsRead})
        w->move(cw - 134, w->y());
}

} // namespace nv
