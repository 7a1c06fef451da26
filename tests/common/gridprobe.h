#pragma once

// Test helpers that look at the grid the way a user does: by its pixels and by real clicks.

#include "beep.h"
#include "dotpattern.h"
#include "editing.h"
#include "flexgrid.h"

#include <QAbstractButton>
#include <QMap>
#include <QTest>

namespace orvane::testing {

// The colour most of a data cell's inner pixels show, as 0x00BBGGRR.
inline quint32 shownColour(const QImage& image, const FlexGrid& grid, int row, int col) {
    const QRect inner = grid.cellRect(row, col).adjusted(3, 3, -3, -3);
    QMap<QRgb, int> counts;
    QRgb c = 0;
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            if (++counts[image.pixel(x, y)] > counts.value(c))
                c = image.pixel(x, y);
    return quint32(qRed(c)) | quint32(qGreen(c)) << 8 | quint32(qBlue(c)) << 16;
}

// The picture as the grid shows it, a string a row: '#' a red (lit) cell, '.' a dark grey one,
// '?' any other colour.
inline QStringList shownRows(FlexGrid& grid) {
    const QImage image = grid.grab().toImage();
    QStringList rows;
    for (int row = 1; row <= 8; ++row) {
        rows << QString();
        for (int col = 0; col < 50; ++col) {
            const quint32 c = shownColour(image, grid, row, col);
            rows.last() += c == 0x0000FF ? u'#' : c == 0x404040 ? u'.' : u'?';
        }
    }
    return rows;
}

// The grid holds the picture's texts and shows exactly its "R" cells lit.
inline void verifyPicture(FlexGrid& grid, const DotPattern& picture) {
    QCOMPARE(PictureOf(grid), picture);
    QStringList lit;
    for (int row = 1; row <= 8; ++row) {
        lit << QString();
        for (int col = 0; col < 50; ++col)
            lit.last() += picture.text(row, col) == QLatin1String("R") ? u'#' : u'.';
    }
    QCOMPARE(shownRows(grid), lit);
}

// A picture with the cells (column, row) lit and every other cell `rest`.
inline DotPattern picture(std::initializer_list<QPoint> lit, const QString& rest = DarkText) {
    DotPattern p;
    for (int cell = 0; cell < PatternRows * PatternCols; ++cell)
        p.setText(1 + cell % PatternRows, cell / PatternRows, rest);
    for (const QPoint& cell : lit)
        p.setText(cell.y(), cell.x(), LitText);
    return p;
}

// The window's control of that name; the test stops when there is none.
template <typename T> T* control(const QWidget& window, const char* name) {
    T* w = window.findChild<T*>(QLatin1String(name));
    return w ? w : (qFatal("no control %s", name), nullptr);
}

inline void press(const QWidget& window, const char* name) {
    QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
}

inline void clickCell(FlexGrid& grid, int row, int col) {
    QTest::mouseClick(&grid, Qt::LeftButton, Qt::NoModifier, grid.cellRect(row, col).center());
}

struct BeepCounter {
    int n = 0;
    ScopedBeep beep{[this] { ++n; }};
};

} // namespace orvane::testing
