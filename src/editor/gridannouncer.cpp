#include "gridannouncer.h"

#include "dotpattern.h"
#include "flexgrid.h"

#include <QAccessible>
#include <QList>

namespace orvane {

namespace {

static_assert(PatternRows * PatternCols == 400);

int indexOf(int row, int col) {
    return (row - 1) * PatternCols + col;
}

} // namespace

GridAnnouncer::GridAnnouncer(FlexGrid& grid) : grid_(grid) {
    timer_.setSingleShot(true);
    timer_.setInterval(0);
    timer_.callOnTimeout([this] { flush(); });
}

void GridAnnouncer::cellChanged(int row, int col, const QString& before) {
    if (!QAccessible::isActive())
        return;
    const size_t i = size_t(indexOf(row, col));
    if (!changed_[i]) {
        changed_[i] = true;
        before_[i] = before;
    }
    schedule();
}

void GridAnnouncer::currentMoved() {
    if (QAccessible::isActive())
        schedule();
}

// The grid's own focus event comes after this; the cell's follows it on the next turn.
void GridAnnouncer::focusGained() {
    focusGained_ = true;
    if (QAccessible::isActive())
        schedule();
}

void GridAnnouncer::schedule() {
    if (!timer_.isActive())
        timer_.start();
}

void GridAnnouncer::send(int type, int index) {
    QAccessibleEvent event(&grid_, QAccessible::Event(type));
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

void GridAnnouncer::flush() {
    QList<int> changed;
    QList<bool> flipped;
    for (size_t i = 0; i < changed_.size(); ++i) {
        if (!changed_[i])
            continue;
        const QString now = grid_.TextMatrix(1 + int(i) / PatternCols, int(i) % PatternCols);
        if (now != before_[i]) {
            changed << int(i);
            flipped << (isLit(now) != isLit(before_[i]));
        }
        before_[i].clear();
    }
    changed_.reset();
    const QPoint current(grid_.ColSel(), grid_.RowSel());
    const int currentIndex = indexOf(current.y(), current.x());
    const bool focus = grid_.hasFocus() && (current != told_ || focusGained_);
    focusGained_ = false;
    if (!QAccessible::isActive())
        return;

    if (focus) {
        told_ = current;
        send(QAccessible::Focus, currentIndex);
    }
    if (changed.size() <= FewCells) {
        for (qsizetype k = 0; k < changed.size(); ++k) {
            send(QAccessible::NameChanged, changed[k]);
            if (!flipped[k])
                continue;
            QAccessible::State checked;
            checked.checked = true;
            QAccessibleStateChangeEvent state(&grid_, checked);
            state.setChild(changed[k]);
            QAccessible::updateAccessibility(&state);
        }
        return;
    }
    int firstRow = PatternRows, lastRow = 0, firstCol = PatternCols, lastCol = 0;
    for (int i : changed) {
        firstRow = std::min(firstRow, i / PatternCols);
        lastRow = std::max(lastRow, i / PatternCols);
        firstCol = std::min(firstCol, i % PatternCols);
        lastCol = std::max(lastCol, i % PatternCols);
    }
    QAccessibleTableModelChangeEvent data(&grid_, QAccessibleTableModelChangeEvent::DataChanged);
    data.setFirstRow(firstRow);
    data.setLastRow(lastRow);
    data.setFirstColumn(firstCol);
    data.setLastColumn(lastCol);
    QAccessible::updateAccessibility(&data);
    QAccessibleEvent description(&grid_, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&description);
    if (changed.contains(currentIndex))
        send(QAccessible::NameChanged, currentIndex);
}

} // namespace orvane
