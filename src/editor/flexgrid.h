#pragma once

// A small grid control: a fixed header row over 8 data rows by 50 columns, each cell with a
// text and a fill colour of its own. It offers the few operations the editor needs: cell texts,
// the current cell (Row, Col), its per-cell fill colour, where the selection ends (RowSel,
// ColSel), the header format string, a Click notification and the text typed on it. Everything is
// drawn to fit the widget's size, so all columns are always visible and there are no scroll bars.

#include <QString>
#include <QWidget>
#include <array>

namespace orvane {

class FlexGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int Rows = 9; // row 0 is the fixed header row
    static constexpr int Cols = 50;

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

signals:
    // The user clicked a data cell (or pressed Enter on the current one); the selection has
    // already moved there.
    void Click();
    // The user typed text at the current cell: a printable key, Space, or what an input method
    // committed.
    void KeyTyped(const QString& text);
    // The user pressed Backspace.
    void BackspacePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    struct Cell {
        QString text;
        quint32 backColor;
    };

    Cell& cell(int row, int col);
    const Cell& cell(int row, int col) const;
    bool cellAt(const QPoint& pos, int* row, int* col) const;
    void select(int row, int col);
    int columnEdge(int col) const;
    int rowEdge(int row) const;

    std::array<Cell, Rows * Cols> cells_;
    int row_ = 1;
    int col_ = 0;
    int rowSel_ = 1;
    int colSel_ = 0;
    bool pressedOnCell_ = false;
};

} // namespace orvane
