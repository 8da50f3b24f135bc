#include "reading/new_msgs_form.h"

#include "mainwin/context.h"
#include "mainwin/main_texts.h"
#include "mainwin/qt_msg_grid.h"
#include "platform/ini_profile.h"
#include "platform/ui.h"
#include "reading/read_msg_form.h"
#include "reading/reading_texts.h"

#include <QCloseEvent>
#include <QFont>
#include <QFrame>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>
#include <QTimer>
#include <QToolTip>

#include <algorithm>

namespace nv {

namespace rtexts = reading_texts;

namespace {

const QString kFrmMsgList = QStringLiteral("frmMsgList");
const QString kTarrowby = QStringLiteral("Tarrowby");
constexpr int kRowHeight = 16;
constexpr int kGridPointSize = 8;

// Header hints by column.
const QString &headerHint(int col)
{
    static const QString hints[4] = {nv::texts::HintUrgent, nv::texts::HintReceived, nv::texts::HintFrom,
                                     nv::texts::HintMessage};
    return hints[col];
}

} // namespace

TNewMsgsForm::TNewMsgsForm(Context &ctx, QWidget *parent, TReadMsgForm *readWindow)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint),
      m_ctx(ctx), m_read(readWindow)
{
    setObjectName(QStringLiteral("NewMsgsForm"));
    setWindowTitle(rtexts::NewMsgsCaption);
    buildControls();

    // FormCreate: the stored geometry, with the resize rules held off.
    Creating = true;
    IniProfile ini(ctx.files, ctx.iniPath);
    auto get = [&](const char *key, int def) { return ini.readInt(kFrmMsgList, QString::fromLatin1(key), def); };
    const int h = get("Height", 309);
    const int w = get("Width", 572);
    resizeOuter(w, h);
    Panel1->resize(get("Panel1.Width", 425), get("Panel1.Height", 260));
    gridList->resize(get("gridList.Width", 410), get("gridList.Height", 247));
    static const int colDefaults[4] = {12, 128, 70, 175};
    for (int c = 0; c < 4; ++c)
        gridList->setColumnWidth(c, get(QStringLiteral("gridList.Col%1Width").arg(c).toLatin1().constData(),
                                        colDefaults[c]));
    OKBtn->move(get("OKBtn.Left", 439), OKBtn->y());
    ReadBtn->move(get("ReadBtn.Left", 439), ReadBtn->y());
    DeleteBtn->move(get("DeleteBtn.Left", 439), DeleteBtn->y());
    btnMarkAsRead->move(get("btnMarkAsRead.Left", 439), btnMarkAsRead->y());
    m_lastSize = size();
    Creating = false;
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));

    if (ctx.Client == kTarrowby)
        btnMarkAsRead->hide();
    HintRow = -1;
    HintCol = -1;
    Timer1->setInterval(std::max(ctx.settings.MsgTimer, 5) * 1000);
}

void TNewMsgsForm::buildControls()
{
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(8, 8, 425, 260);

    gridList = new QTableWidget(Panel1);
    gridList->setObjectName(QStringLiteral("gridList"));
    setupMsgGrid(gridList, kRowHeight);
    // The stored column widths were made for the older desktop's narrow
    // 8-point font: a narrow 8-point face keeps a bold date inside its 128
    // pixels here too.
    QFont small = gridList->font();
    small.setPointSize(kGridPointSize);
    small.setStretch(QFont::SemiCondensed);
    gridList->setFont(small);
    gridList->setGeometry(7, 6, 410, 247);
    gridList->setMouseTracking(true);
    gridList->viewport()->setMouseTracking(true);
    gridList->viewport()->installEventFilter(this);
    gridList->horizontalHeader()->setMouseTracking(true);
    gridList->horizontalHeader()->viewport()->setMouseTracking(true);
    gridList->horizontalHeader()->viewport()->installEventFilter(this);

    auto button = [this](const char *name, const QString &caption, int y) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        b->setGeometry(439, y, 105, 25);
        return b;
    };
    OKBtn = button("OKBtn", rtexts::OkCaption, 16);
    ReadBtn = button("ReadBtn", rtexts::ReadCaption, 48);
    DeleteBtn = button("DeleteBtn", rtexts::DeleteCaption, 80);
    btnMarkAsRead = button("btnMarkAsRead", rtexts::MarkAsReadCaption, 112);
    OKBtn->setDefault(true);

    NewMsgList = new QListWidget(this);
    NewMsgList->setObjectName(QStringLiteral("NewMsgList"));
    NewMsgList->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ReadBtn, &QPushButton::clicked, this, &TNewMsgsForm::ReadBtnClick);
    connect(DeleteBtn, &QPushButton::clicked, this, &TNewMsgsForm::DeleteBtnClick);
    connect(btnMarkAsRead, &QPushButton::clicked, this, &TNewMsgsForm::btnMarkAsReadClick);
    connect(gridList, &QTableWidget::cellClicked, this, [this](int, int) { gridListClick(); });
    connect(gridList, &QTableWidget::cellDoubleClicked, this, [this](int, int) { ReadBtnClick(); });
    connect(Timer1, &QTimer::timeout, this, &TNewMsgsForm::Timer1Timer);

    OKBtn->setFocus();
}

TReadMsgForm *TNewMsgsForm::readWindow()
{
    if (!m_read)
        m_read = new TReadMsgForm(m_ctx, parentWidget() ? parentWidget() : this);
    return m_read;
}

// ---- showing

void TNewMsgsForm::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // The list is there for the first paint; the rest runs once the modal
    // loop does, so that a read window it opens, or the close of an empty
    // list, happens inside it.
    CurRow = 1;
    ListEmpty = false;
    BuildMsgList();
    QTimer::singleShot(0, this, [this] {
        if (isVisible())
            FormShow();
    });
}

void TNewMsgsForm::FormShow()
{
    CurRow = 1;
    ListEmpty = false;
    BuildMsgList();
    OpenUrgentMsgs();
    ListEmpty = false;
    BuildMsgList();
    Timer1->start();
}

void TNewMsgsForm::Timer1Timer()
{
    Timer1->stop();
    BuildMsgList();
    OpenUrgentMsgs();
    if (isVisible())
        Timer1->start();
}

void TNewMsgsForm::paintEvent(QPaintEvent *e)
{
    QDialog::paintEvent(e);
    if (ListEmpty)
        requestClose();
}

void TNewMsgsForm::requestClose()
{
    // Queued: a close from inside the show, or from a build run by a
    // command, takes effect in the modal loop.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (ListEmpty && isVisible())
                reject();
        },
        Qt::QueuedConnection);
}

void TNewMsgsForm::hideEvent(QHideEvent *e)
{
    Timer1->stop();
    QDialog::hideEvent(e);
}

void TNewMsgsForm::closeEvent(QCloseEvent *e)
{
    Timer1->stop();
    QDialog::closeEvent(e);
}

void TNewMsgsForm::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape) {
        ReadBtn->click(); // "&Read" is the window's cancel button
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

// ---- the list

void TNewMsgsForm::BuildMsgList()
{
    m_items = new_msgs::BuildMsgList(m_ctx);
    if (m_items.empty()) {
        ListEmpty = true; // the grid keeps its old contents until the window is gone
        requestClose();
        return;
    }
    const int n = int(m_items.size());
    gridList->setRowCount(n);
    for (int k = 0; k < n; ++k) {
        const TNewMsgItem &it = m_items[size_t(k)].item;
        TMsgInfoRec shown;
        shown.Urgent = it.Urgent;
        shown.SentAt = it.SentAt;
        shown.FromUser = it.FromUser;
        setMsgGridRow(gridList, k, shown, m_items[size_t(k)].preview, !it.InReadInbox);
    }
    const int row = (CurRow >= 1 && CurRow < n + 1) ? CurRow : n;
    gridList->setCurrentCell(row - 1, 0);
    gridList->selectRow(row - 1);
}

void TNewMsgsForm::OpenUrgentMsgs()
{
    // The list is not rebuilt between two rows.
    const std::vector<NewMsgRow> rows = m_items;
    for (int k = 0; k < int(rows.size()); ++k) {
        const TNewMsgItem &it = rows[size_t(k)].item;
        if (it.Urgent == kOptionOn && !it.InReadInbox)
            ReadAMsg(k);
    }
}

void TNewMsgsForm::ReadAMsg(int k)
{
    if (k < 0 || k >= int(m_items.size()))
        return;
    Timer1->stop();
    const NewMsgRow row = m_items[size_t(k)];
    TReadMsgForm *read = readWindow();
    if (!read->fillFromInboxRow(row)) {
        // Its text could not be loaded (reported): nothing is shown, the row
        // stays, and the list goes on refreshing.
        Timer1->start();
        return;
    }
    m_ctx.ui.showModal(read);
    Timer1->start();
    new_msgs::FinishReading(m_ctx, row, read->outcome());
}

int TNewMsgsForm::selectedRow() const { return gridList->currentRow() + 1; }

void TNewMsgsForm::gridListClick() { CurRow = selectedRow(); }

void TNewMsgsForm::ReadBtnClick()
{
    CurRow = selectedRow();
    ReadAMsg(CurRow - 1);
    BuildMsgList();
}

void TNewMsgsForm::DeleteBtnClick()
{
    if (!m_ctx.ui.askYesNo(MsgKind::Information, nv::texts::DeleteCurrentQuestion))
        return;
    m_ctx.MsgSaved = false;
    CurRow = selectedRow();
    const int k = CurRow - 1;
    if (k >= 0 && k < int(m_items.size()))
        new_msgs::DeleteMsg(m_ctx, m_items[size_t(k)]);
    BuildMsgList();
}

void TNewMsgsForm::btnMarkAsReadClick()
{
    CurRow = selectedRow();
    const int k = CurRow - 1;
    if (k < 0 || k >= int(m_items.size()) || m_items[size_t(k)].item.InReadInbox)
        return;
    new_msgs::MarkAsRead(m_ctx, m_items[size_t(k)]);
    BuildMsgList();
}

// ---- hints

bool TNewMsgsForm::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseMove) {
        const QPoint p = static_cast<QMouseEvent *>(e)->position().toPoint();
        if (watched == gridList->viewport()) {
            const int row = gridList->rowAt(p.y());
            gridListMouseMove(gridList->columnAt(p.x()), row < 0 ? -1 : row + 1);
        } else if (watched == gridList->horizontalHeader()->viewport()) {
            gridListMouseMove(gridList->horizontalHeader()->logicalIndexAt(p.x()), 0);
        }
    } else if (e->type() == QEvent::Leave) {
        gridListMouseMove(-1, -1);
    }
    return QDialog::eventFilter(watched, e);
}

void TNewMsgsForm::gridListMouseMove(int col, int row)
{
    if (col == HintCol && row == HintRow)
        return;
    HintCol = col;
    HintRow = row;
    QToolTip::hideText();
    // Only the header has hints (its items carry them); data rows none.
    m_hint = (row == 0 && col >= 0 && col < 4) ? headerHint(col) : QString();
}

// ---- size

QSize TNewMsgsForm::outerSize() const { return QSize(width() + kFrameWidth, height() + kFrameHeight); }

void TNewMsgsForm::resizeOuter(int w, int h)
{
    resize(std::max(w - kFrameWidth, 200), std::max(h - kFrameHeight, 80));
}

void TNewMsgsForm::resizeEvent(QResizeEvent *e)
{
    QDialog::resizeEvent(e);
    if (size() == m_lastSize)
        return; // the stored size, delivered again at the first show
    m_lastSize = size();
    FormResize();
}

void TNewMsgsForm::FormResize()
{
    if (Creating)
        return;
    const int cw = width();
    const int ch = height();
    Panel1->resize(cw - 139, ch - 15);
    gridList->resize(cw - 154, ch - 28);
    applyMsgGridColumns(gridList);
    for (QPushButton *b : {OKBtn, ReadBtn, DeleteBtn, btnMarkAsRead})
        b->move(cw - 125, b->y());

    IniProfile ini(m_ctx.files, m_ctx.iniPath);
    const QSize outer = outerSize();
    auto put = [&](const QString &key, int v) { ini.writeInt(kFrmMsgList, key, v); };
    put(QStringLiteral("Height"), outer.height());
    put(QStringLiteral("Width"), outer.width());
    put(QStringLiteral("Panel1.Height"), Panel1->height());
    put(QStringLiteral("Panel1.Width"), Panel1->width());
    put(QStringLiteral("gridList.Height"), gridList->height());
    put(QStringLiteral("gridList.Width"), gridList->width());
    for (int c = 0; c < 4; ++c)
        put(QStringLiteral("gridList.Col%1Width").arg(c), gridList->columnWidth(c));
    put(QStringLiteral("OKBtn.Left"), OKBtn->x());
    put(QStringLiteral("ReadBtn.Left"), ReadBtn->x());
    put(QStringLiteral("DeleteBtn.Left"), DeleteBtn->x());
    put(QStringLiteral("btnMarkAsRead.Left"), btnMarkAsRead->x());
}

} // namespace nv
