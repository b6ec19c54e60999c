#include "controls/GridAccessible.h"

#include "controls/DataGrid.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>

#include <map>
#include <utility>

namespace {

class AccessibleGrid;

// One cell. It lives as long as the grid's table; a cell the grid no longer has answers as invalid.
class AccessibleCell final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    AccessibleCell(AccessibleGrid* table, CDataGrid* grid, int row, int col)
        : m_table(table), m_grid(grid), m_row(row), m_col(col) {}

    bool isValid() const override { return m_grid && m_grid->IsValid(m_row, m_col); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return m_grid->GetItemText(m_row, m_col);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        QRect rect;
        if (!isValid() || !m_grid->GetCellRect(m_row, m_col, rect))
            return {};
        return QRect(m_grid->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }
    QAccessible::Role role() const override {
        if (m_grid && m_row < m_grid->GetFixedRowCount())
            return QAccessible::ColumnHeader;
        if (m_grid && m_col < m_grid->GetFixedColumnCount())
            return QAccessible::RowHeader;
        return QAccessible::Cell;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.focusable = true;
        state.selectable = true;
        const CCellID focus = m_grid->GetFocusCell();
        state.focused = focus.row == m_row && focus.col == m_col && m_grid->hasFocus();
        state.selected = m_grid->IsCellSelected(m_row, m_col);
        state.invisible = !m_grid->IsCellVisible(m_row, m_col);
        state.editable = m_grid->IsCellEditable(m_row, m_col);
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this)
                                                       : nullptr;
    }

    bool isSelected() const override { return isValid() && m_grid->IsCellSelected(m_row, m_col); }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return m_col; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override;

private:
    AccessibleGrid* m_table;
    QPointer<CDataGrid> m_grid;
    int m_row;
    int m_col;
};

// The grid as a table of its cells, in reading order.
class AccessibleGrid final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit AccessibleGrid(CDataGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~AccessibleGrid() override {
        for (const auto& [place, id] : m_cells)
            QAccessible::deleteAccessibleInterface(id);
    }

    CDataGrid* Grid() const { return static_cast<CDataGrid*>(widget()); }

    // The interface of a cell, made once and kept with the table.
    QAccessibleInterface* Cell(int row, int col) const {
        if (!Grid()->IsValid(row, col))
            return nullptr;
        auto& id = m_cells[{row, col}];
        if (!id)
            id = QAccessible::registerAccessibleInterface(
                new AccessibleCell(const_cast<AccessibleGrid*>(this), Grid(), row, col));
        return QAccessible::accessibleInterface(id);
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    int childCount() const override { return Grid()->GetRowCount() * Grid()->GetColumnCount(); }
    QAccessibleInterface* child(int index) const override {
        const int cols = Grid()->GetColumnCount();
        if (index < 0 || cols <= 0 || index >= childCount())
            return nullptr;
        return Cell(index / cols, index % cols);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const QAccessibleTableCellInterface* cell =
            child ? const_cast<QAccessibleInterface*>(child)->tableCellInterface() : nullptr;
        if (!cell || child->parent() != this)
            return -1;
        return cell->rowIndex() * Grid()->GetColumnCount() + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QPoint point = Grid()->viewport()->mapFromGlobal(QPoint(x, y));
        const CCellID cell = Grid()->GetCellFromPt(point, true);
        return Cell(cell.row, cell.col);
    }
    QAccessibleInterface* focusChild() const override {
        const CCellID focus = Grid()->GetFocusCell();
        return Cell(focus.row, focus.col);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override { return Cell(row, column); }
    int selectedCellCount() const override { return static_cast<int>(selectedCells().size()); }
    QList<QAccessibleInterface*> selectedCells() const override {
        QList<QAccessibleInterface*> cells;
        const CCellRange range = Grid()->GetSelectedCellRange();
        for (int row = range.minRow; row >= 0 && row <= range.maxRow; ++row)
            for (int col = range.minCol; col >= 0 && col <= range.maxCol; ++col)
                if (Grid()->IsCellSelected(row, col))
                    cells << Cell(row, col);
        return cells;
    }
    QString columnDescription(int column) const override {
        return Grid()->GetFixedRowCount() > 0 ? Grid()->GetItemText(0, column) : QString();
    }
    QString rowDescription(int row) const override {
        return Grid()->GetFixedColumnCount() > 0 ? Grid()->GetItemText(row, 0) : QString();
    }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int rowCount() const override { return Grid()->GetRowCount(); }
    int columnCount() const override { return Grid()->GetColumnCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    // Selecting from a reader goes through the grid's own keys and clicks.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

private:
    mutable std::map<std::pair<int, int>, QAccessible::Id> m_cells;
};

QWindow* AccessibleCell::window() const {
    return m_table->window();
}

QAccessibleInterface* AccessibleCell::parent() const {
    return m_table;
}

QAccessibleInterface* AccessibleCell::table() const {
    return m_table;
}

QList<QAccessibleInterface*> AccessibleCell::columnHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    for (int row = 0; m_grid && row < m_grid->GetFixedRowCount() && row != m_row; ++row)
        headers << m_table->Cell(row, m_col);
    return headers;
}

QList<QAccessibleInterface*> AccessibleCell::rowHeaderCells() const {
    QList<QAccessibleInterface*> headers;
    for (int col = 0; m_grid && col < m_grid->GetFixedColumnCount() && col != m_col; ++col)
        headers << m_table->Cell(m_row, col);
    return headers;
}

QAccessibleInterface* MakeAccessibleGrid(const QString& className, QObject* object) {
    if (className == QLatin1String("CDataGrid") && object && object->isWidgetType())
        return new AccessibleGrid(static_cast<CDataGrid*>(object));
    return nullptr;
}

} // namespace

namespace GridAccessibility {

void Install() {
    static const bool installed = (QAccessible::installFactory(MakeAccessibleGrid), true);
    (void)installed;
}

} // namespace GridAccessibility
