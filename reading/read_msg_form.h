#pragma once
// The read window: one message with its sender, time, lists and text, and
// the commands on it. Created once and reused; an opener fills it, shows it
// modally through Ui::showModal and reads back how it was left. It never
// removes a message itself: it writes copies (a folder copy, a receipt) and
// sets flags, and the opener acts on them.
#include "reading/new_msgs.h"
#include "reading/read_msg.h"

#include <QDialog>

#include <functional>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;

namespace nv {

class Context;

class TReadMsgForm : public QDialog {
    Q_OBJECT
public:
    explicit TReadMsgForm(Context &ctx, QWidget *parent = nullptr);

    // ---- openers

    // Shows msg. newMessage: a message waiting in the queue ("Keep As &New"
    // and "&Mark As Read" offered); otherwise "E&xit" and no "&Mark As Read".
    // Clears KeepAsNew, MarkedAsRead and the main window's MsgRemoved and
    // MsgSaved.
    void fill(const ReadMsgContent &msg, bool newMessage);
    // The main window's read command: entry index of Msgs. False when its
    // text file cannot be read (reported); the window is then not to be shown.
    bool fillFromFolderRecord(int index);
    // The Message Inbox's: one of its rows. False when its text cannot be
    // loaded (reported); the window is then not to be shown.
    bool fillFromInboxRow(const NewMsgRow &row);

    const ReadMsgContent &content() const { return m_msg; }
    const QString &MsgTextPath() const { return m_msg.MsgTextPath; }

    // ---- how the window was left (besides MsgRemoved and MsgSaved)
    bool KeepAsNew = false;
    bool MarkedAsRead = false;
    bool receiptSent() const { return m_receiptSent; }
    new_msgs::ReadOutcome outcome() const { return {KeepAsNew, MarkedAsRead, m_receiptSent}; }
    // Set when one of the window's own commands (or Yes to the delete
    // question) closed it.
    bool isClosing() const { return Closing; }

    // ---- where the windows of other subsystems plug in. A command whose
    // window is not plugged in stays disabled.

    // Reply, Reply All and the quick replies: the multiple-recipient window.
    using ReplyHandler = std::function<void(const read_msg::ReplyRequest &)>;
    void setReplyHandler(ReplyHandler handler);
    // Save: the folders window as a picker; true after OK, with the chosen
    // folder's display name in TmpFolder.
    using FolderPicker = std::function<bool()>;
    void setFolderPicker(FolderPicker picker);
    // Print: the printout of what the window shows (content(), MsgTextPath()).
    using PrintHandler = std::function<void()>;
    void setPrintHandler(PrintHandler handler);

    // ---- handlers, public so tests drive them as the user would
    void FormActivate();
    void FormPaint();
    void FormResize();
    void LoadQuickReplys();
    void SendReceipt();
    void ReplyToMsg(const QString &prefix, read_msg::ReplyMode mode);
    void SaveToFolder();
    void ConfirmDelete();
    void btnMarkAsReadClick();
    void ExitBtnClick();
    void PrintMsg();
    void quickReplyChosen(int index);

    // The window's size as the older desktop counts it (frame included).
    QSize outerSize() const;
    void resizeOuter(int width, int height);
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 31;

protected:
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    void reject() override;

private:
    void buildControls();
    void buildMenus();
    void closeByCommand();
    void layoutFrame();
    void layoutControls();
    void updateCommandStates();
    bool mayReply() const;

    Context &m_ctx;
    ReadMsgContent m_msg;
    bool Closing = false;
    bool Creating = false;
    bool m_receiptSent = false;
    int QuickReplyCount = 0;
    QSize m_lastSize;
    ReplyHandler m_reply;
    FolderPicker m_pickFolder;
    PrintHandler m_print;

    QMenuBar *m_menuBar = nullptr;
    QWidget *m_client = nullptr;
    QLabel *lblFrom = nullptr, *lblSent = nullptr, *lblTo = nullptr, *lblCc = nullptr, *lblMessage = nullptr,
           *lblQuickReply = nullptr;
    QLineEdit *SentFrom = nullptr;
    QLineEdit *SentOn = nullptr;
    QPlainTextEdit *ToList = nullptr;
    QPlainTextEdit *CcList = nullptr;
    QPlainTextEdit *BccList = nullptr;
    QPlainTextEdit *InMessage = nullptr;
    QLineEdit *UrgentFld = nullptr;
    QLineEdit *ReceiptMsgFld = nullptr;
    QComboBox *QuickReplies = nullptr;
    QCheckBox *SendReceiptBox = nullptr;
    QPlainTextEdit *ReceiptMsg = nullptr;
    QPushButton *ReplyBtn = nullptr, *ReplyAllBtn = nullptr, *SaveBtn = nullptr, *PrintBtn = nullptr,
                *DeleteBtn = nullptr, *ExitBtn = nullptr, *btnMarkAsRead = nullptr;
    QAction *Save1 = nullptr, *Print1 = nullptr, *Exit1 = nullptr;
    QAction *Cut1 = nullptr, *Copy1 = nullptr, *Paste1 = nullptr, *Delete2 = nullptr, *SelectAll1 = nullptr;
    QAction *Reply1 = nullptr, *ReplyAll1 = nullptr, *Delete1 = nullptr;
};

} // namespace nv
