#pragma once
// The message grids of the main window and the Message Inbox: four columns,
// whole-row selection, cells drawn with DrawCellText, and header hints.
#include <QStyledItemDelegate>
#include <QTableWidget>

namespace nv {

struct TMsgInfoRec;

// Item data role that marks a row to be drawn in bold (new messages).
constexpr int kBoldRole = Qt::UserRole + 1;

class MsgGridDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};

// Sets up a grid as the message lists want it: headings with their hints,
// one header row, row selection, no editing.
void setupMsgGrid(QTableWidget *grid, int rowHeight);

// Fills grid row `row` (0-based data row) from a record and its preview.
void setMsgGridRow(QTableWidget *grid, int row, const TMsgInfoRec &rec, const QString &preview, bool bold = false);

// Applies the column rule of a resize: 12, then 34.3 %, 18.8 % and 46.9 %
// of the width less 37, rounded.
void applyMsgGridColumns(QTableWidget *grid);

} // namespace nv
