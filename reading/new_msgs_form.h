#pragma once
// The "Message Inbox" window: the messages waiting for the user (bold) and
// those kept in the read-inbox (plain), newest first. Created once and shown
// modally through Ui::showModal whenever the poll finds something; while
// shown it rebuilds its list on a timer, opens urgent new messages by
// itself and closes once nothing is left to list.
#include "reading/new_msgs.h"

#include <QDialog>

#include <vector>

class QFrame;
class QListWidget;
class QPushButton;
class QTableWidget;
class QTimer;

namespace nv {

class Context;
class TReadMsgForm;

class TNewMsgsForm : public QDialog {
    Q_OBJECT
public:
    // readWindow: the read window shared with the main window; without one
    // the window creates its own on first use.
    explicit TNewMsgsForm(Context &ctx, QWidget *parent = nullptr, TReadMsgForm *readWindow = nullptr);

    TReadMsgForm *readWindow();

    // ---- handlers, public so tests drive them as the user would
    void FormShow();
    void Timer1Timer();
    void BuildMsgList();
    void OpenUrgentMsgs();
    void ReadAMsg(int row); // row of the list (0-based)
    void ReadBtnClick();
    void DeleteBtnClick();
    void btnMarkAsReadClick();
    void gridListClick();
    // The cell under the mouse (column, grid row; row 0 is the header).
    void gridListMouseMove(int col, int row);
    QString currentHint() const { return m_hint; }
    void FormResize();

    const std::vector<NewMsgRow> &NewMsgItems() const { return m_items; }
    int NewMsgCount() const { return int(m_items.size()); }
    int CurRow = 1;
    bool ListEmpty = false;
    int HintRow = -1;
    int HintCol = -1;
    QTimer *Timer1 = nullptr;

    // The window's size as the older desktop counts it (frame included).
    QSize outerSize() const;
    void resizeOuter(int width, int height);
    static constexpr int kFrameWidth = 8;
    static constexpr int kFrameHeight = 34;

protected:
    void showEvent(QShowEvent *e) override;
    void hideEvent(QHideEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void buildControls();
    void requestClose();
    int selectedRow() const;

    Context &m_ctx;
    TReadMsgForm *m_read = nullptr;
    std::vector<NewMsgRow> m_items;
    bool Creating = false;
    QSize m_lastSize;
    QString m_hint;

    QFrame *Panel1 = nullptr;
    QTableWidget *gridList = nullptr;
    QPushButton *OKBtn = nullptr;
    QPushButton *ReadBtn = nullptr;
    QPushButton *DeleteBtn = nullptr;
    QPushButton *btnMarkAsRead = nullptr;
    QListWidget *NewMsgList = nullptr;
};

} // namespace nv
