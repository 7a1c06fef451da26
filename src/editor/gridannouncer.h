#pragma once

// Tells screen readers what changed on the grid, once the change is complete: the grid's own
// commands visit cells one by one, so what they did is gathered and sent on the next turn of the
// event loop. A new current cell gets the focus (while the grid has it); a few changed cells each
// say their new name and, where a dot flipped, their checked state; a larger change is told once
// for the table (its cells' data and its description, the lit count), and the current cell's new
// name after it. Nothing is gathered while no client listens.

#include <QPoint>
#include <QString>
#include <QTimer>
#include <array>
#include <bitset>

namespace orvane {

class FlexGrid;

class GridAnnouncer {
public:
    // Up to this many changed cells are told one by one: a column of the picture.
    static constexpr int FewCells = 8;

    explicit GridAnnouncer(FlexGrid& grid);

    // Data cell (row 1..8, column 0..49) held `before` and may now hold another text.
    void cellChanged(int row, int col, const QString& before);
    void currentMoved();
    void focusGained();

private:
    void schedule();
    void flush();
    void send(int type, int index);

    FlexGrid& grid_;
    QTimer timer_;
    std::bitset<400> changed_;
    std::array<QString, 400> before_;
    QPoint told_{-1, -1}; // the current cell last given the focus, as (column, row)
    bool focusGained_ = false;
};

} // namespace orvane
