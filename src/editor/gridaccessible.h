#pragma once

// The grid as a screen reader sees it: a table of 8 rows by 50 columns whose cells say where
// they are and what they show ("Row 3, column 12, lit"), a lit cell checked, the current cell
// selected (and focused while the grid has the focus). Column headers are "1" .. "50".
//
// Cells are made when a client first asks for one, registered with QAccessible and deleted with
// the table, which Qt deletes when the grid goes. The table always has a current cell, and no
// cell in range is ever null: screen readers expect both.

#include "dotpattern.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <array>

namespace orvane {

class FlexGrid;

class GridAccessible : public QAccessibleWidget, public QAccessibleTableInterface {
    Q_DECLARE_TR_FUNCTIONS(orvane::GridAccessible)

public:
    explicit GridAccessible(FlexGrid* grid);
    ~GridAccessible() override;

    // Makes QAccessible use this class for every FlexGrid.
    static void install();

    // What a data cell says: row and col as the grid counts them (rows 1..8, columns 0..49).
    static QString cellName(int row, int col, const QString& text);
    // How much of a picture is lit, e.g. "12 of 400 dots lit".
    static QString litSummary(const DotPattern& picture);

    // QAccessibleInterface
    void* interface_cast(QAccessible::InterfaceType type) override;
    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;

    // QAccessibleTableInterface; its rows and columns count from 0 over the data cells.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override { return 1; }
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int row) const override;
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    FlexGrid* grid() const;
    // The header cell over a column (0..49).
    QAccessibleInterface* headerAt(int column) const;

private:
    // Ids of the cells made so far (0: not yet), row by row, and of the header cells.
    mutable std::array<QAccessible::Id, PatternRows * PatternCols> cells_{};
    mutable std::array<QAccessible::Id, PatternCols> headers_{};
};

} // namespace orvane
