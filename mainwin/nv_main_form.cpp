#include "mainwin/nv_main_form.h"

#include "admin/admin_password_dialog.h"
#include "directory/groups.h"
#include "directory/users.h"
#include "mainwin/about_box_dialog.h"
#include "mainwin/context.h"
#include "mainwin/main_texts.h"
#include "mainwin/poll.h"
#include "mainwin/presence.h"
#include "mainwin/qt_msg_grid.h"
#include "mainwin/settings.h"
#include "platform/files.h"
#include "platform/ini_profile.h"
#include "platform/ui.h"
#include "reading/new_msgs_form.h"
#include "reading/read_msg_form.h"
#include "store/folders.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>

#include <cmath>

namespace nv {

namespace {

const QString kFrmMain = QStringLiteral("frmMain");

// A picture for the picture buttons, drawn from a symbol of the desktop font.
QIcon glyphIcon(const QString &glyph, const QColor &color)
{
    QPixmap pm(28, 28);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QFont f = QApplication::font();
    f.setPixelSize(24);
    p.setFont(f);
    p.setPen(color);
    p.drawText(pm.rect(), Qt::AlignCenter, glyph);
    return QIcon(pm);
}

QToolButton *pictureButton(QWidget *parent, const QString &name, const QString &caption, const QIcon &icon)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(icon);
    b->setIconSize(QSize(28, 28));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(false);
    b->resize(85, 52);
    return b;
}

} // namespace

TNvMainForm::TNvMainForm(Context &ctx, QWidget *parent) : QMainWindow(parent), m_ctx(ctx)
{
    setObjectName(QStringLiteral("NvMainForm"));
    setWindowTitle(QStringLiteral("Norvane"));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TNvMainForm::Timer1Timer);
    connect(Timer2, &QTimer::timeout, this, &TNvMainForm::Timer2Timer);

    buildControls();
    buildMenus();
    installAdminPasswordDialog(ctx, this);

    // 1. Locate the settings file.
    const SettingsLocation loc =
        LocateSettingsFile(ctx.files, QDir::currentPath(), documentsDirectory(), configDirectory());
    ctx.INIFolder = loc.INIFolder;
    ctx.Client = loc.Client;
    ctx.iniPath = loc.iniPath;

    // 2. Geometry and column widths, with resize handling still off.
    IniProfile ini(ctx.files, ctx.iniPath);
    const int h = ini.readInt(kFrmMain, QStringLiteral("Height"), 421);
    const int w = ini.readInt(kFrmMain, QStringLiteral("Width"), 489);
    static const int defaults[4] = {12, 128, 70, 175};
    for (int c = 0; c < 4; ++c)
        gridList->setColumnWidth(c, ini.readInt(kFrmMain, QStringLiteral("gridList.Col%1Width").arg(c), defaults[c]));
    resizeOuter(w, h);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        move(avail.center() - QPoint(w / 2, h / 2));
    }

    // 3. Headings are set with the grid.

    // 4. Settings.
    ctx.QuitFlag = false;
    LoadSettings(ctx, false, ctx.args.size() >= 2 ? ctx.args.at(1) : QString());
    YourNameFld->setText(ctx.settings.UserName);

    // 5.
    m_resizeEnabled = true;
    ctx.settings.PresenceWindow = 1;
    applyResizeRules();
}

Context &TNvMainForm::context() { return m_ctx; }
bool TNvMainForm::startUpAbandoned() const { return m_ctx.QuitFlag; }

TNvMainForm::~TNvMainForm()
{
    m_closing = true;
    SaveSettings(m_ctx, false);
}

void TNvMainForm::buildControls()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);

    Label1 = new QLabel(texts::MessagesFor, central);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, 8, 96, 20);
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    YourNameFld = new QLineEdit(central);
    YourNameFld->setObjectName(QStringLiteral("YourNameFld"));
    YourNameFld->setReadOnly(true);
    YourNameFld->setFocusPolicy(Qt::NoFocus);
    QFont bold = YourNameFld->font();
    bold.setBold(true);
    YourNameFld->setFont(bold);
    YourNameFld->setGeometry(100, 6, 138, 24);

    Panel1 = new QFrame(central);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::HLine);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setGeometry(8, 34, 465, 5);

    const QPalette pal = palette();
    CreateBtn = pictureButton(central, QStringLiteral("CreateBtn"), texts::CreateCaption,
                              glyphIcon(QStringLiteral("\u270E"), QColor(0x1f, 0x5f, 0xa8)));
    PhoneMsgBtn = pictureButton(central, QStringLiteral("PhoneMsgBtn"), texts::PhoneMsgCaption,
                                glyphIcon(QStringLiteral("\u260E"), QColor(0x2e, 0x7d, 0x32)));
    GetBtn = pictureButton(central, QStringLiteral("GetBtn"), texts::InboxCaption,
                           glyphIcon(QStringLiteral("\u2709"), QColor(0xb2, 0x6a, 0x00)));
    MinimizeBtn = pictureButton(central, QStringLiteral("MinimizeBtn"), texts::MinimizeCaption,
                                glyphIcon(QStringLiteral("\u25BC"), pal.color(QPalette::ButtonText)));
    for (QToolButton *b : {CreateBtn, PhoneMsgBtn, GetBtn, MinimizeBtn})
        b->move(b->x(), 40);

    Panel2 = new QFrame(central);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::HLine);
    Panel2->setFrameShadow(QFrame::Sunken);
    Panel2->setGeometry(8, 95, 465, 5);

    Label2 = new QLabel(texts::FoldersLabel, central);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(8, 102, 110, 18);
    FolderList = new QListWidget(central);
    FolderList->setObjectName(QStringLiteral("FolderList"));
    FolderList->setGeometry(8, 120, 112, 180);

    Label3 = new QLabel(texts::MessagesLabel, central);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(128, 102, 200, 18);
    gridList = new QTableWidget(central);
    gridList->setObjectName(QStringLiteral("gridList"));
    setupMsgGrid(gridList, 20);
    gridList->setGeometry(128, 120, 344, 180);

    ReadMsgBtn = new QPushButton(texts::ReadCaption, central);
    ReadMsgBtn->setObjectName(QStringLiteral("ReadMsgBtn"));
    ReadMsgBtn->resize(75, 25);
    DelMsgBtn = new QPushButton(texts::DeleteCaption, central);
    DelMsgBtn->setObjectName(QStringLiteral("DelMsgBtn"));
    DelMsgBtn->resize(75, 25);

    VersionFld = new QLabel(central);
    VersionFld->setObjectName(QStringLiteral("VersionFld"));
    VersionFld->setAlignment(Qt::AlignCenter);
    VersionFld->resize(240, 16);


    connect(MinimizeBtn, &QToolButton::clicked, this, &TNvMainForm::minimizeApp);
    connect(FolderList, &QListWidget::itemClicked, this, &TNvMainForm::folderListClicked);
    connect(GetBtn, &QToolButton::clicked, this, &TNvMainForm::getMessages);
    connect(DelMsgBtn, &QPushButton::clicked, this, &TNvMainForm::delMsgBtnClick);
    connect(ReadMsgBtn, &QPushButton::clicked, this, &TNvMainForm::ReadCurrentMsg);
    connect(gridList, &QTableWidget::cellDoubleClicked, this, &TNvMainForm::ReadCurrentMsg);
    // Commands whose windows are still to come stay visible but disabled.
    for (QWidget *w : std::initializer_list<QWidget *>{CreateBtn, PhoneMsgBtn})
        w->setEnabled(false);
}

void TNvMainForm::buildMenus()
{
    auto add = [this](QMenu *menu, const char *name, const QString &caption) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        return a;
    };
    QMenu *file = menuBar()->addMenu(texts::FileMenu);
    file->setObjectName(QStringLiteral("File1"));
    Minimize1 = add(file, "Minimize1", texts::MinimizeCaption);
    Exit1 = add(file, "Exit1", texts::ExitCaption);

    QMenu *msg = menuBar()->addMenu(texts::MessageMenu);
    msg->setObjectName(QStringLiteral("Message1"));
    Create1 = add(msg, "Create1", texts::CreateCaption);
    Get1 = add(msg, "Get1", texts::GetCaption);
    msg->addSeparator()->setObjectName(QStringLiteral("N1"));
    ExportFolder1 = add(msg, "ExportFolder1", texts::ExportFolderCaption);
    ImportFolder1 = add(msg, "ImportFolder1", texts::ImportFolderCaption);

    QMenu *setup = menuBar()->addMenu(texts::SetupMenu);
    setup->setObjectName(QStringLiteral("Setup1"));
    Users1 = add(setup, "Users1", texts::UsersCaption);
    Groups1 = add(setup, "Groups1", texts::GroupsCaption);
    Settings1 = add(setup, "Settings1", texts::SettingsCaption);
    Folders1 = add(setup, "Folders1", texts::FoldersCaption);

    QMenu *help = menuBar()->addMenu(texts::HelpMenu);
    help->setObjectName(QStringLiteral("Help1"));
    Help2 = add(help, "Help2", texts::HelpCaption);
    About1 = add(help, "About1", texts::AboutCaption);

    ExportFolder1->setEnabled(false); // never offered
    for (QAction *a : {Create1, ImportFolder1, Users1, Groups1, Settings1, Folders1})
        a->setEnabled(false);

    connect(Minimize1, &QAction::triggered, this, &TNvMainForm::minimizeApp);
    connect(Exit1, &QAction::triggered, this, &TNvMainForm::ConfirmExit);
    connect(Get1, &QAction::triggered, this, &TNvMainForm::getMessages);
    connect(Help2, &QAction::triggered, this, &TNvMainForm::showHelp);
    connect(About1, &QAction::triggered, this, &TNvMainForm::showAbout);
}

QSize TNvMainForm::outerSize() const { return QSize(width() + kFrameWidth, height() + kFrameHeight); }

void TNvMainForm::resizeOuter(int w, int h)
{
    resize(std::max(w - kFrameWidth, 120), std::max(h - kFrameHeight, 100));
}

void TNvMainForm::applyResizeRules()
{
    if (!m_resizeEnabled || m_closing || m_ctx.QuitFlag)
        return;
    const int W = outerSize().width();
    const int H = outerSize().height();
    // The client area below the menu bar; computed, since before the first
    // show the central widget has not been laid out yet.
    const int CW = width();
    const int CH = height() - menuBar()->sizeHint().height();

    Panel1->resize(W - 24, Panel1->height());
    Panel2->resize(W - 24, Panel2->height());
    gridList->resize(CW - 137, gridList->height());
    VersionFld->move((W - VersionFld->width()) / 2, VersionFld->y());

    if (H <= 238) {
        gridList->resize(gridList->width(), 18);
        FolderList->resize(FolderList->width(), 18);
        VersionFld->move(VersionFld->x(), 168);
    } else {
        gridList->resize(gridList->width(), CH - 169);
        FolderList->resize(FolderList->width(), H - 223);
        VersionFld->move(VersionFld->x(), H - 73);
    }
    const int buttonsTop = gridList->y() + gridList->height() + 6;
    ReadMsgBtn->move(ReadMsgBtn->x(), buttonsTop);
    DelMsgBtn->move(DelMsgBtn->x(), buttonsTop);

    if (W <= 239) {
        Label1->move(1, Label1->y());
        YourNameFld->move(101, YourNameFld->y());
    } else {
        const int x = (W - 238) / 2;
        Label1->move(x, Label1->y());
        YourNameFld->move(x + 100, YourNameFld->y());
    }
    if (W <= 390) {
        ReadMsgBtn->move(211, ReadMsgBtn->y());
        DelMsgBtn->move(291, DelMsgBtn->y());
    } else {
        ReadMsgBtn->move(W - 174, ReadMsgBtn->y());
        DelMsgBtn->move(W - 94, DelMsgBtn->y());
    }
    const int x = W <= 360 ? 2 : (W - 349) / 2;
    CreateBtn->move(x, CreateBtn->y());
    PhoneMsgBtn->move(x + 90, PhoneMsgBtn->y());
    GetBtn->move(x + 180, GetBtn->y());
    MinimizeBtn->move(x + 270, MinimizeBtn->y());

    applyMsgGridColumns(gridList);

    IniProfile ini(m_ctx.files, m_ctx.iniPath);
    ini.writeInt(kFrmMain, QStringLiteral("Height"), H);
    ini.writeInt(kFrmMain, QStringLiteral("Width"), W);
}

void TNvMainForm::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    applyResizeRules();
}

void TNvMainForm::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!m_started) {
        m_started = true;
        // Start-up runs once the window is on screen, so its boxes have a parent to sit on.
        QTimer::singleShot(0, this, &TNvMainForm::runStartUp);
    }
}

void TNvMainForm::paintEvent(QPaintEvent *e)
{
    QMainWindow::paintEvent(e);
    if (m_ctx.QuitFlag)
        endProgram();
    else if (m_started)
        SetPrivileges();
}

bool TNvMainForm::StartUp()
{
    Timer1->stop();
    Timer2->stop();
    VersionFld->setText(VersionText(m_ctx.Client));
    if (!LoadUsers(m_ctx))
        return false;
    SetCurrentUser(m_ctx);
    if (!LoadGroups(m_ctx))
        return false;
    refreshFolders();
    SetTimers();
    Timer1->start();
    Timer2->stop();
    return true;
}

void TNvMainForm::SetTimers()
{
    // The settings window takes no value below 5 seconds; a file edited by hand gets the same floor.
    Timer1->setInterval(std::max(m_ctx.settings.MsgTimer, 5) * 1000);
    Timer2->setInterval(1000);
}

bool TNvMainForm::CheckForMsgs(bool forced)
{
    Timer1->stop();
    const PollResult r = nv::CheckForMsgs(m_ctx, forced);
    if (r.networkLost) {
        endProgram();
        return false;
    }
    if (r.found) {
        if (r.show)
            Timer2->stop();
        else if (r.flash)
            Timer2->start();
    }
    // The folder shown may have been reloaded by an on-demand poll.
    if (forced)
        showFolderMsgs(FolderLoadResult{!m_ctx.Msgs.empty()});
    if (r.show) {
        openMessageInbox();
        refreshFolders();
        focusMinimize();
    }
    Timer1->start();
    return r.show;
}

void TNvMainForm::Timer1Timer()
{
    Timer1->stop();
    CheckForMsgs(false);
    if (!m_exitConfirmed)
        Timer1->start();
}

void TNvMainForm::Timer2Timer() { m_ctx.ui.flash(); }

void TNvMainForm::getMessages()
{
    if (!CheckForMsgs(true))
        m_ctx.ui.plain(texts::InboxEmpty);
    focusMinimize();
}

void TNvMainForm::openMessageInbox()
{
    if (m_openInbox) {
        m_openInbox();
        return;
    }
    if (!m_inbox)
        m_inbox = new TNewMsgsForm(m_ctx, this, readWindow());
    m_ctx.ui.showModal(m_inbox);
}

TReadMsgForm *TNvMainForm::readWindow()
{
    if (!m_read)
        m_read = new TReadMsgForm(m_ctx, this);
    return m_read;
}

void TNvMainForm::ReadCurrentMsg()
{
    if (m_ctx.Msgs.empty())
        return;
    Timer1->stop();
    const int index = std::max(0, gridList->currentRow());
    TReadMsgForm *read = readWindow();
    m_ctx.MsgRemoved = false;
    m_ctx.MsgSaved = false;
    if (read->fillFromFolderRecord(index)) {
        m_ctx.ui.showModal(read);
        if (m_ctx.MsgRemoved) {
            m_ctx.MsgRemoved = false;
            DeleteCurrentMsg();
        }
    }
    const int row = gridList->currentRow();
    showFolderMsgs(LoadFolderMsgs(m_ctx));
    if (row >= 0 && row < gridList->rowCount())
        gridList->selectRow(row);
    Timer1->start();
    focusMinimize();
}

void TNvMainForm::refreshFolders() { showFolders(RefreshFolders(m_ctx)); }

void TNvMainForm::showFolders(const FolderRefresh &r)
{
    FolderList->clear();
    FolderList->addItems(r.names);
    if (r.selected >= 0)
        FolderList->setCurrentRow(r.selected);
    showFolderMsgs(r.load);
}

void TNvMainForm::showFolderMsgs(const FolderLoadResult &r)
{
    const auto &msgs = m_ctx.Msgs;
    gridList->clearContents();
    gridList->setRowCount(std::max<int>(1, static_cast<int>(msgs.size())));
    for (int i = 0; i < static_cast<int>(msgs.size()); ++i)
        setMsgGridRow(gridList, i, msgs[i], i < m_ctx.MsgTexts.size() ? m_ctx.MsgTexts[i] : QString());
    if (r.commandsEnabled) {
        ReadMsgBtn->setEnabled(*r.commandsEnabled);
        DelMsgBtn->setEnabled(*r.commandsEnabled);
    }
    if (msgs.empty())
        gridList->clearSelection(); // nothing to act on
    else
        gridList->selectRow(0);
}

void TNvMainForm::delMsgBtnClick()
{
    if (!m_ctx.ui.askYesNo(MsgKind::Information, texts::DeleteCurrentQuestion)) {
        focusMinimize();
        return;
    }
    m_ctx.MsgSaved = false;
    DeleteCurrentMsg();
    focusMinimize();
}

void TNvMainForm::DeleteCurrentMsg()
{
    if (m_ctx.Msgs.empty())
        return;
    const int index = std::max(0, gridList->currentRow());
    DeleteFolderMsg(m_ctx, index, m_ctx.MsgSaved);
    refreshFolders();
    const int count = static_cast<int>(m_ctx.Msgs.size());
    if (count > 0) {
        gridList->selectRow(std::min(index, count - 1));
    } else {
        ReadMsgBtn->setEnabled(false);
        DelMsgBtn->setEnabled(false);
    }
}

void TNvMainForm::folderListClicked()
{
    QListWidgetItem *item = FolderList->currentItem();
    if (!item)
        return;
    m_ctx.settings.LastFolder = item->text().left(13);
    showFolderMsgs(LoadFolderMsgs(m_ctx));
}

void TNvMainForm::runStartUp()
{
    Timer1->stop();
    TUserSettings &s = m_ctx.settings;
    if (s.SettingsMissing) {
        m_ctx.ui.plain(texts::EnterSettingsFirst);
        if (dirIsSet(m_ctx.ServerDir) && !LoadUsers(m_ctx))
            m_ctx.QuitFlag = true;
        // The settings window takes over here once it exists; until then the
        // settings stay missing and start-up is abandoned.
        if (!dirIsSet(m_ctx.ServerDir) || !dirIsSet(m_ctx.LocalDir) || s.UserName.isEmpty())
            m_ctx.QuitFlag = true;
        else
            s.SettingsMissing = false;
    }
    if (!m_ctx.QuitFlag) {
        if (!StartUp())
            m_closing = true;
    }
    if (!m_ctx.QuitFlag) {
        gridList->setFocus();
        // The users window takes over here once it exists.
        if (m_ctx.NoUsersFlag)
            m_ctx.ui.plain(texts::SetupUsersFirst);
    }
    // The login follows here once it exists; until then the remembered user is signed in.
    if (!m_closing && !m_ctx.QuitFlag && s.StartMinimized)
        minimizeApp();
    if (!m_ctx.QuitFlag)
        StampActivityFile(m_ctx);
    if (m_ctx.QuitFlag)
        QTimer::singleShot(0, this, &TNvMainForm::endProgram);
    else
        SetPrivileges();
}

void TNvMainForm::endProgram()
{
    if (m_exitConfirmed)
        return;
    m_exitConfirmed = true;
    Timer1->stop();
    Timer2->stop();
    close();
    QCoreApplication::quit();
}

void TNvMainForm::SetPrivileges()
{
    YourNameFld->setText(m_ctx.settings.UserName);
    const QString &p = m_ctx.settings.Privilege;
    const bool maySend = p == QLatin1String("0") || p == QLatin1String("1");
    Q_UNUSED(maySend); // the composing windows arrive later; their commands stay disabled until then
    const bool admin = p == QLatin1String("0");
    Users1->setVisible(admin);
    Groups1->setVisible(admin);
}

void TNvMainForm::ConfirmExit()
{
    if (m_exitConfirmed) {
        close();
        return;
    }
    Timer1->stop();
    if (m_ctx.ui.askYesNo(MsgKind::Confirmation, texts::ExitQuestion)) {
        m_exitConfirmed = true;
        close();
        QCoreApplication::quit();
        return;
    }
    Timer1->start();
    focusMinimize();
}

void TNvMainForm::closeEvent(QCloseEvent *e)
{
    if (m_exitConfirmed) {
        e->accept();
        return;
    }
    e->ignore();
    ConfirmExit();
}

void TNvMainForm::focusMinimize() { MinimizeBtn->setFocus(); }

void TNvMainForm::minimizeApp()
{
    m_ctx.ui.minimizeApp();
    focusMinimize();
}

void TNvMainForm::showHelp()
{
    m_ctx.ui.help(10);
    focusMinimize();
}

void TNvMainForm::showAbout()
{
    if (!m_about)
        m_about = new TAboutBox(this);
    m_about->setVersionText(VersionText(m_ctx.Client));
    m_ctx.ui.showModal(m_about);
    focusMinimize();
}

} // namespace nv
