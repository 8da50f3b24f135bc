#include "store/qt_draw_cell_text.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <functional>

using namespace nv;

namespace {

const QColor kOutside(150, 255, 150); // the image around the cell (light: not ink)
const QColor kBackground(Qt::white); // the painter's background brush
const QRect kCell(20, 6, 120, 26);

QFont testFont()
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(14);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void setUpPainter(QPainter &p)
{
    p.setFont(testFont());
    p.setPen(Qt::black);
    p.setBackground(QBrush(kBackground));
}

QImage canvas()
{
    QImage img(180, 40, QImage::Format_RGB32);
    img.fill(kOutside);
    return img;
}

QImage drawCell(const QRect &cell, const QString &text, int alignment)
{
    QImage img = canvas();
    QPainter p(&img);
    setUpPainter(p);
    DrawCellText(p, cell, text, alignment);
    return img;
}

bool isInk(QRgb c) { return qGray(c) < 128; }

struct Ink {
    int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN;
    bool any() const { return left <= right; }
};

Ink inkOf(const QImage &img)
{
    Ink ink;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (isInk(img.pixel(x, y))) {
                ink.left = std::min(ink.left, x);
                ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y);
                ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

// Every pixel outside the cell is untouched.
void expectOutsideUntouched(const QImage &img, const QRect &cell)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!cell.contains(x, y)) {
                ASSERT_EQ(QColor(img.pixel(x, y)), kOutside) << x << "," << y;
            }
        }
}

struct Metrics {
    int h, m, w, ascent;
};

Metrics metricsFor(const QString &text)
{
    QImage img = canvas();
    QPainter p(&img);
    setUpPainter(p);
    const QFontMetrics fm = p.fontMetrics();
    return {fm.height(), fm.horizontalAdvance(QStringLiteral("Mi")) / 4, fm.horizontalAdvance(text), fm.ascent()};
}

// The text drawn plainly at (x, text line top), clipped to the cell, on the
// cell's background.
QImage reference(const QRect &cell, const QString &text, int x, int top)
{
    QImage img = canvas();
    QPainter p(&img);
    setUpPainter(p);
    p.fillRect(cell, kBackground);
    p.setClipRect(cell);
    p.drawText(QPoint(x, top + p.fontMetrics().ascent()), text);
    return img;
}

} // namespace

TEST(DrawCellText, PlacesTheTextByAlignment)
{
    const QString text = QStringLiteral("HHH 42");
    const Metrics mt = metricsFor(text);
    ASSERT_GT(mt.m, 0);
    const int top = kCell.top() + (kCell.height() - mt.h) / 2;
    const int right = kCell.left() + kCell.width();
    struct Case {
        int alignment;
        int x;
    };
    const Case cases[] = {
        {CellLeft, kCell.left() + mt.m},
        {CellRight, right - mt.m - mt.w},
        {CellCentre, kCell.left() + (kCell.width() - mt.w) / 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.alignment);
        const QImage img = drawCell(kCell, text, c.alignment);
        EXPECT_EQ(img, reference(kCell, text, c.x, top));
        expectOutsideUntouched(img, kCell);
    }
}

TEST(DrawCellText, InkLandsWhereTheAlignmentSays)
{
    const QString text = QStringLiteral("HHH");
    const Metrics mt = metricsFor(text);
    const int right = kCell.left() + kCell.width(); // one past the last column

    const Ink left = inkOf(drawCell(kCell, text, CellLeft));
    ASSERT_TRUE(left.any());
    // A quarter of "Mi" inside the cell, give or take the glyph's bearing.
    EXPECT_GE(left.left, kCell.left() + mt.m);
    EXPECT_LE(left.left, kCell.left() + mt.m + 3);

    const Ink r = inkOf(drawCell(kCell, text, CellRight));
    EXPECT_LE(r.right, right - mt.m - 1);
    EXPECT_GE(r.right, right - mt.m - 4);

    // Centred without margin: the ink is as far from both cell edges.
    const Ink c = inkOf(drawCell(kCell, text, CellCentre));
    const int fromLeft = c.left - kCell.left();
    const int fromRight = right - 1 - c.right;
    EXPECT_LE(std::abs(fromLeft - fromRight), 2) << fromLeft << " vs " << fromRight;

    // Vertically the text line is centred in the cell.
    for (const Ink &ink : {left, r, c}) {
        EXPECT_GT(ink.top, kCell.top());
        EXPECT_LT(ink.bottom, kCell.bottom());
        const int above = ink.top - kCell.top();
        const int below = kCell.bottom() - ink.bottom;
        EXPECT_LE(std::abs(above - below), mt.h / 2) << above << " vs " << below;
    }
}

TEST(DrawCellText, FillsTheWholeCellWithTheBackground)
{
    QImage img = canvas();
    {
        QPainter p(&img);
        setUpPainter(p);
        p.setBackground(QBrush(Qt::red));
        DrawCellText(p, kCell, QString(), CellLeft);
    }
    for (int y = kCell.top(); y <= kCell.bottom(); ++y)
        for (int x = kCell.left(); x <= kCell.right(); ++x)
            ASSERT_EQ(QColor(img.pixel(x, y)), QColor(Qt::red)) << x << "," << y;
    expectOutsideUntouched(img, kCell);
}

TEST(DrawCellText, TextNeverLeavesTheCell)
{
    const QString longText = QStringLiteral("WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW");
    const QRect narrow(30, 10, 40, 8); // lower than one text line, too
    for (int alignment : {CellLeft, CellRight, CellCentre}) {
        SCOPED_TRACE(alignment);
        const QImage img = drawCell(narrow, longText, alignment);
        expectOutsideUntouched(img, narrow);
        EXPECT_TRUE(inkOf(img).any());
    }
}

TEST(DrawCellText, OtherAlignmentsDrawNothing)
{
    const QImage untouched = canvas();
    for (int alignment : {-1, 3, 100})
        EXPECT_EQ(drawCell(kCell, QStringLiteral("text"), alignment), untouched) << alignment;
}

TEST(DrawCellText, LeavesThePainterAsItWas)
{
    QImage img = canvas();
    QPainter p(&img);
    setUpPainter(p);
    const QRect clip(0, 0, 100, 30);
    p.setClipRect(clip);
    DrawCellText(p, kCell, QStringLiteral("x"), CellLeft);
    EXPECT_TRUE(p.hasClipping());
    EXPECT_EQ(p.clipBoundingRect().toRect(), clip);
    EXPECT_EQ(p.pen().color(), QColor(Qt::black));
    // The outer clip still holds: nothing was drawn beyond x = 99.
    p.end();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 100; x < img.width(); ++x)
            ASSERT_EQ(QColor(img.pixel(x, y)), kOutside) << x << "," << y;
}
