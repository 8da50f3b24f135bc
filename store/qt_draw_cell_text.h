#pragma once
// Draws a message grid cell's text.
#include <QRect>
#include <QString>

class QPainter;

namespace nv {

enum CellAlign : int { CellLeft = 0, CellRight = 1, CellCentre = 2 };

// Fills rect with the painter's background brush and draws text inside it,
// clipped to it: left (0) or right (1) with a margin of a quarter of the
// width of "Mi", or centred (2) without margin. Any other alignment draws
// nothing. The text line is centred vertically.
void DrawCellText(QPainter &painter, const QRect &rect, const QString &text, int alignment);

} // namespace nv
