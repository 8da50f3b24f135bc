#include "store/qt_draw_cell_text.h"

#include <QFontMetrics>
#include <QPainter>

namespace nv {

void DrawCellText(QPainter &painter, const QRect &rect, const QString &text, int alignment)
{
    if (alignment != CellLeft && alignment != CellRight && alignment != CellCentre)
        return;

    const QFontMetrics fm = painter.fontMetrics();
    const int h = fm.height();
    const int margin = fm.horizontalAdvance(QStringLiteral("Mi")) / 4;
    // Top of the text line; the glyphs sit on the baseline an ascent below.
    const int top = rect.top() + (rect.height() - h) / 2;
    const int baseline = top + fm.ascent();
    // The cell's right edge is exclusive, as the grid hands it over.
    const int right = rect.left() + rect.width();

    int x = 0;
    switch (alignment) {
    case CellLeft:
        x = rect.left() + margin;
        break;
    case CellRight:
        x = right - margin - fm.horizontalAdvance(text);
        break;
    case CellCentre:
        x = rect.left() + (rect.width() - fm.horizontalAdvance(text)) / 2;
        break;
    }

    painter.save();
    painter.fillRect(rect, painter.background());
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(QPoint(x, baseline), text);
    painter.restore();
}

} // namespace nv
