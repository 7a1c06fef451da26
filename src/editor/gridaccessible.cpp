#include "gridaccessible.h"

#include "editing.h"
#include "flexgrid.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPointer>
#include <QWindow>
#include <algorithm>

namespace orvane {

namespace {

QAccessibleInterface* tableOf(const FlexGrid* grid) {
    return QAccessible::queryAccessibleInterface(const_cast<FlexGrid*>(grid));
}

// What the cells and header cells share: they belong to the grid, have no object of their own
// and no children.
class GridPart : public QAccessibleInterface {
public:
    GridPart(FlexGrid* grid, int row, int col) : grid_(grid), row_(row), col_(col) {}

    bool isValid() const override { return grid_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return grid_ ? grid_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return grid_ ? tableOf(grid_) : nullptr; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!grid_)
            return QRect();
        const QRect r = grid_->cellRect(row_, col_);
        return QRect(grid_->mapToGlobal(r.topLeft()), r.size());
    }

protected:
    QPointer<FlexGrid> grid_;
    int row_; // as the grid counts: 0 is the header row
    int col_;
};

class HeaderCell : public GridPart {
public:
    using GridPart::GridPart;

    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && grid_ ? grid_->TextMatrix(0, col_).trimmed() : QString();
    }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.invalid = !grid_;
        s.readOnly = true;
        return s;
    }
};

// A data cell. Its action flips the dot as a click does, through the same mouse events, so it
// is refused whenever a click would be (during a download).
class DataCell : public GridPart,
                 public QAccessibleTableCellInterface,
                 public QAccessibleActionInterface {
public:
    using GridPart::GridPart;

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !grid_)
            return QString();
        return GridAccessible::cellName(row_, col_, grid_->TextMatrix(row_, col_));
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!grid_) {
            s.invalid = true;
            return s;
        }
        s.selectable = true;
        s.focusable = true;
        s.checkable = true;
        s.checked = isLit(grid_->TextMatrix(row_, col_));
        s.selected = isSelected();
        s.focused = s.selected && grid_->hasFocus();
        s.invisible = !grid_->isVisible();
        return s;
    }

    // QAccessibleTableCellInterface: rows count from 0 over the data rows.
    bool isSelected() const override {
        return grid_ && grid_->RowSel() == row_ && grid_->ColSel() == col_;
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override {
        const auto* table = grid_ ? static_cast<GridAccessible*>(tableOf(grid_)) : nullptr;
        return table ? QList<QAccessibleInterface*>{table->headerAt(col_)}
                     : QList<QAccessibleInterface*>();
    }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return col_; }
    int rowIndex() const override { return row_ - 1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return grid_ ? tableOf(grid_) : nullptr; }

    // QAccessibleActionInterface
    QStringList actionNames() const override { return {toggleAction()}; }
    QStringList keyBindingsForAction(const QString& name) const override {
        return name == toggleAction() ? QStringList{QStringLiteral("Return")} : QStringList();
    }
    void doAction(const QString& name) override {
        if (name != toggleAction() || !grid_)
            return;
        const QPointF pos = grid_->cellRect(row_, col_).center();
        const QPointF global = grid_->mapToGlobal(pos);
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(
                grid_,
                new QMouseEvent(type, pos, global, Qt::LeftButton,
                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                Qt::NoModifier));
    }
};

QAccessibleInterface* gridFactory(const QString& className, QObject* object) {
    if (className == QLatin1String("orvane::FlexGrid") && object && object->isWidgetType())
        return new GridAccessible(static_cast<FlexGrid*>(object));
    return nullptr;
}

int cellIndex(int row, int col) {
    return (row - 1) * PatternCols + col;
}

} // namespace

GridAccessible::GridAccessible(FlexGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}

// The cells have no object that Qt could follow, so they go with the table.
GridAccessible::~GridAccessible() {
    for (QAccessible::Id id : cells_)
        if (id)
            QAccessible::deleteAccessibleInterface(id);
    for (QAccessible::Id id : headers_)
        if (id)
            QAccessible::deleteAccessibleInterface(id);
}

void GridAccessible::install() {
    static const bool installed = [] {
        QAccessible::installFactory(gridFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

QString GridAccessible::cellName(int row, int col, const QString& text) {
    if (isLit(text))
        return tr("Row %1, column %2, lit").arg(row).arg(col + 1);
    if (text == DarkText)
        return tr("Row %1, column %2, dark").arg(row).arg(col + 1);
    if (text.isEmpty())
        return tr("Row %1, column %2, dark, no text").arg(row).arg(col + 1);
    return tr("Row %1, column %2, dark, text %3").arg(row).arg(col + 1).arg(text);
}

QString GridAccessible::litSummary(const DotPattern& picture) {
    int lit = 0;
    for (int col = 0; col < PatternCols; ++col)
        for (int row = 1; row <= PatternRows; ++row)
            lit += isLit(picture.text(row, col));
    return tr("%1 of %2 dots lit").arg(lit).arg(PatternRows * PatternCols);
}

FlexGrid* GridAccessible::grid() const {
    return static_cast<FlexGrid*>(widget());
}

void* GridAccessible::interface_cast(QAccessible::InterfaceType type) {
    if (type == QAccessible::TableInterface)
        return static_cast<QAccessibleTableInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

// The name is the picture's; the description says how much of it is lit.
QString GridAccessible::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
        return tr("Picture");
    if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty())
        return litSummary(PictureOf(*grid()));
    return QAccessibleWidget::text(t);
}

int GridAccessible::childCount() const {
    return PatternRows * PatternCols;
}

QAccessibleInterface* GridAccessible::child(int index) const {
    if (index < 0 || index >= childCount())
        return nullptr;
    return cellAt(index / PatternCols, index % PatternCols);
}

int GridAccessible::indexOfChild(const QAccessibleInterface* child) const {
    const QAccessible::Id id =
        child ? QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child)) : 0;
    const auto it = std::find(cells_.begin(), cells_.end(), id);
    return id && it != cells_.end() ? int(it - cells_.begin()) : -1;
}

QAccessibleInterface* GridAccessible::childAt(int x, int y) const {
    const QPoint pos = grid()->mapFromGlobal(QPoint(x, y));
    for (int row = 1; row <= PatternRows; ++row)
        for (int col = 0; col < PatternCols; ++col)
            if (grid()->cellRect(row, col).contains(pos))
                return cellAt(row - 1, col);
    return nullptr;
}

// The current cell, also while the grid has no focus: there always is one.
QAccessibleInterface* GridAccessible::focusChild() const {
    return cellAt(grid()->RowSel() - 1, grid()->ColSel());
}

QAccessibleInterface* GridAccessible::cellAt(int row, int column) const {
    if (row < 0 || row >= PatternRows || column < 0 || column >= PatternCols)
        return nullptr;
    QAccessible::Id& id = cells_[size_t(cellIndex(row + 1, column))];
    if (!id)
        id = QAccessible::registerAccessibleInterface(new DataCell(grid(), row + 1, column));
    return QAccessible::accessibleInterface(id);
}

QAccessibleInterface* GridAccessible::headerAt(int column) const {
    if (column < 0 || column >= PatternCols)
        return nullptr;
    QAccessible::Id& id = headers_[size_t(column)];
    if (!id)
        id = QAccessible::registerAccessibleInterface(new HeaderCell(grid(), 0, column));
    return QAccessible::accessibleInterface(id);
}

QList<QAccessibleInterface*> GridAccessible::selectedCells() const {
    return {focusChild()};
}

QString GridAccessible::columnDescription(int column) const {
    return column >= 0 && column < PatternCols ? grid()->TextMatrix(0, column).trimmed()
                                               : QString();
}

// Every cell's name says its row, so rows have no header.
QString GridAccessible::rowDescription(int) const {
    return QString();
}

int GridAccessible::columnCount() const {
    return PatternCols;
}

int GridAccessible::rowCount() const {
    return PatternRows;
}

} // namespace orvane
