#include "mainwin/qt_msg_grid.h"

#include "mainwin/main_texts.h"
#include "store/msg_info_rec.h"
#include "store/qt_draw_cell_text.h"
#include "store/sent_at.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>

#include <cmath>

namespace nv {

void MsgGridDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const bool selected = option.state & QStyle::State_Selected;
    const QPalette &pal = option.palette;
    painter->save();
    painter->setBackground(selected ? pal.highlight() : pal.base());
    painter->setPen(selected ? pal.highlightedText().color() : pal.text().color());
    QFont f = option.font;
    f.setBold(index.data(kBoldRole).toBool());
    painter->setFont(f);
    DrawCellText(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
                 index.column() == 0 ? CellCentre : CellLeft);
    painter->restore();
}

void setupMsgGrid(QTableWidget *grid, int rowHeight)
{
    grid->setColumnCount(4);
    grid->setRowCount(1);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->horizontalHeader()->setMinimumSectionSize(8);
    grid->setWordWrap(false);
    grid->setItemDelegate(new MsgGridDelegate(grid));
    // The column rule was made for a compact list font; keep dates readable in it.
    QFont f = grid->font();
    if (f.pointSizeF() > 8.5)
        f.setPointSizeF(f.pointSizeF() - 1);
    grid->setFont(f);
    const QStringList heads = {QStringLiteral("!"), QStringLiteral("Received"), QStringLiteral("From"),
                               QStringLiteral("Message")};
    const QStringList hints = {texts::HintUrgent, texts::HintReceived, texts::HintFrom, texts::HintMessage};
    for (int c = 0; c < 4; ++c) {
        auto *item = new QTableWidgetItem(heads[c]);
        item->setToolTip(hints[c]); // hints over the header only; data cells carry none
        grid->setHorizontalHeaderItem(c, item);
    }
}

void setMsgGridRow(QTableWidget *grid, int row, const TMsgInfoRec &rec, const QString &preview, bool bold)
{
    const QString cells[4] = {rec.Urgent == 1 ? QStringLiteral("!") : QString(), ShowDateTime(rec.SentAt),
                              rec.FromUser, preview};
    for (int c = 0; c < 4; ++c) {
        auto *item = new QTableWidgetItem(cells[c]);
        item->setData(kBoldRole, bold);
        grid->setItem(row, c, item);
    }
}

void applyMsgGridColumns(QTableWidget *grid)
{
    grid->setColumnWidth(0, 12);
    const int w = grid->width() - 37;
    // Halves go to the even neighbour.
    grid->setColumnWidth(1, static_cast<int>(std::nearbyint(w * 0.343)));
    grid->setColumnWidth(2, static_cast<int>(std::nearbyint(w * 0.188)));
    grid->setColumnWidth(3, static_cast<int>(std::nearbyint(w * 0.469)));
}

} // namespace nv
