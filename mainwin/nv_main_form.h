#pragma once
// The window the program lives in: whose messages these are, the folder
// list, the messages of the chosen folder, and the commands.
#include <QMainWindow>

#include <functional>

class QAction;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTimer;
class QToolButton;

namespace nv {

class Context;
class TAboutBox;
class TNewMsgsForm;
class TReadMsgForm;
struct FolderRefresh;
struct FolderLoadResult;

class TNvMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TNvMainForm(Context &ctx, QWidget *parent = nullptr);
    ~TNvMainForm() override;

    Context &context();

    // The start-up sequence of the first show; public so tests can run it
    // without a window system event.
    void runStartUp();
    bool startUpAbandoned() const;
    bool isClosing() const { return m_closing; }

    // Commands
    void ConfirmExit();
    void SetPrivileges();
    void showAbout();
    void showHelp();
    void minimizeApp();

    // Polling
    void SetTimers();
    bool CheckForMsgs(bool forced); // true when the Message Inbox was shown
    void Timer1Timer();
    void Timer2Timer();
    void getMessages();             // "&Inbox" and "&Get"
    void openMessageInbox();
    // Where the Message Inbox window plugs in.
    void setMessageInboxOpener(std::function<void()> open) { m_openInbox = std::move(open); }

    // The folder view: RefreshFolders and show the list and the messages.
    void refreshFolders();
    void showFolders(const FolderRefresh &r);
    void showFolderMsgs(const FolderLoadResult &r);
    void folderListClicked();
    void delMsgBtnClick();
    void DeleteCurrentMsg();
    void ReadCurrentMsg();
    TReadMsgForm *readWindow();

    // The layout rules of a resize, from the window's outer size as the
    // older desktop counts it (title bar and borders included).
    void applyResizeRules();
    QSize outerSize() const;
    void resizeOuter(int width, int height);

    // Frame allowance the older desktop counted into Width and Height.
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 31;

    QTimer *Timer1 = nullptr;
    QTimer *Timer2 = nullptr;

protected:
    void showEvent(QShowEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;

private:
    void buildControls();
    void buildMenus();
    void endProgram();
    bool StartUp();
    void focusMinimize();

    Context &m_ctx;
    bool m_started = false;
    bool m_resizeEnabled = false;
    bool m_closing = false;
    bool m_exitConfirmed = false;

    QLabel *Label1 = nullptr;
    QLineEdit *YourNameFld = nullptr;
    QToolButton *CreateBtn = nullptr;
    QToolButton *PhoneMsgBtn = nullptr;
    QToolButton *GetBtn = nullptr;
    QToolButton *MinimizeBtn = nullptr;
    QFrame *Panel1 = nullptr;
    QFrame *Panel2 = nullptr;
    QLabel *Label2 = nullptr;
    QListWidget *FolderList = nullptr;
    QLabel *Label3 = nullptr;
    QTableWidget *gridList = nullptr;
    QPushButton *ReadMsgBtn = nullptr;
    QPushButton *DelMsgBtn = nullptr;
    QLabel *VersionFld = nullptr;

    QAction *Minimize1 = nullptr, *Exit1 = nullptr;
    QAction *Create1 = nullptr, *Get1 = nullptr, *ExportFolder1 = nullptr, *ImportFolder1 = nullptr;
    QAction *Users1 = nullptr, *Groups1 = nullptr, *Settings1 = nullptr, *Folders1 = nullptr;
    QAction *Help2 = nullptr, *About1 = nullptr;

    TAboutBox *m_about = nullptr;
    TNewMsgsForm *m_inbox = nullptr;
    TReadMsgForm *m_read = nullptr;
    std::function<void()> m_openInbox;
};

} // namespace nv
