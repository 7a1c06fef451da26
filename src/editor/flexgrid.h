#pragma once

// A small grid control: a fixed header row over 8 data rows by 50 columns, each cell with a
// text and a fill colour of its own. It offers the few operations the editor needs: cell texts,
// the current cell (Row, Col), its per-cell fill colour, where the selection ends (RowSel,
// ColSel), the header format string, a Click notification and the text typed on it. Everything is
// drawn to fit the widget's size, so all columns are always visible and there are no scroll bars.
//
// Apart from the current cell the grid shows a caret: the column where typed text goes next,
// drawn as a bar along that column's left edge (along column 50's right edge when the line is
// full) and its number highlighted in the header. Clicks and keys that move the current cell put
// the caret in its column; anything else moves the caret only through setCaretColumn().
//
// Screen readers see it as a table of named cells (GridAccessible), told of every change.

#include "gridannouncer.h"

#include <QKeyEvent>
#include <QRgb>
#include <QString>
#include <QWidget>
#include <array>

namespace orvane {

class FlexGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int Rows = 9; // row 0 is the fixed header row
    static constexpr int Cols = 50;
    // The caret: yellow shows on both the red of a lit dot and the grey of a dark one.
    static constexpr QRgb CaretColor = qRgb(0xFF, 0xD4, 0x00);
    static constexpr int CaretWidth = 3;
    // The current cell's focus frame while the grid has the focus: an outer line and a wider
    // inner one, both inside the cell.
    static constexpr QRgb FocusOuterColor = qRgb(0, 0, 0);
    static constexpr QRgb FocusInnerColor = qRgb(0xFF, 0xFF, 0xFF);

    explicit FlexGrid(QWidget* parent = nullptr);

    QString TextMatrix(int row, int col) const;
    // Stores and shows the text; the cell's colour and the current cell stay as they are.
    void setTextMatrix(int row, int col, const QString& text);

    // Moves the current cell; the selection becomes that one cell.
    void setRow(int row);
    void setCol(int col);
    // Fill colour (0x00BBGGRR) of the current cell; it keeps it whatever text it gets later.
    void setCellBackColor(quint32 colour);

    int RowSel() const { return rowSel_; }
    int ColSel() const { return colSel_; }

    // "a|b|c...": item k labels column k in the header row.
    void setFormatString(const QString& format);

    // Where cell (row, col) is drawn, in widget coordinates.
    QRect cellRect(int row, int col) const;

    // Whether a key press types its text on the grid: printable text (also Space), without Ctrl
    // or Meta.
    static bool typesText(const QKeyEvent& event);

    // A printable key pressed on widget (a button, the speed bar) is typed here as well, and the
    // grid takes the focus, so that the next Space is a space too. Space on a button still
    // presses it, Enter too.
    void takeTypingFrom(QWidget* widget);

    // The caret's column: 0..49, or 50 after the last column.
    int caretColumn() const { return caret_; }
    void setCaretColumn(int col);

signals:
    // The user clicked a data cell (or pressed Enter on the current one); the selection has
    // already moved there.
    void Click();
    // The user typed text at the current cell: a printable key, Space, or what an input method
    // committed.
    void KeyTyped(const QString& text);
    // What an input method is composing changed; empty when the composition ended (committed
    // or cancelled).
    void PreeditChanged(const QString& text);
    // The user pressed Backspace.
    void BackspacePressed();
    // The user put the caret with a click or a key that moves the current cell (it may be in
    // the column it was in).
    void CaretPlaced();
    // The caret's column changed, however it was moved.
    void caretColumnChanged(int col);
    // The user asked for the context menu: the right button, the Menu key or Shift+F10. globalPos
    // is the pointer, or the current cell for a key.
    void MenuRequested(const QPoint& globalPos);
    // A press with Shift on a data cell starts painting there (the selection has moved there);
    // each further data cell the pointer crosses, in order, is reported once per crossing, and the
    // release ends it. A painting press gives no Click.
    void PaintStarted();
    void PaintCrossed(int row, int col);
    void PaintFinished();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Cell {
        QString text;
        quint32 backColor;
    };

    Cell& cell(int row, int col);
    const Cell& cell(int row, int col) const;
    bool cellAt(const QPoint& pos, int* row, int* col) const;
    void select(int row, int col);
    void place(int row, int col);
    void finishPainting();
    int columnEdge(int col) const;
    int rowEdge(int row) const;

    std::array<Cell, Rows * Cols> cells_;
    int row_ = 1;
    int col_ = 0;
    int rowSel_ = 1;
    int colSel_ = 0;
    bool pressedOnCell_ = false;
    bool painting_ = false;
    QPoint paintCell_; // the cell painting is on, as (column, row)
    QPoint paintPos_;  // the pointer's last position while painting
    int caret_ = 0;
    QString preedit_; // what an input method is composing
    GridAnnouncer announcer_{*this};
};

} // namespace orvane
