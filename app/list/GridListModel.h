#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QString>
#include <vector>

#include "app/list/GridCell.h"

namespace patchferry {

// One header column as the list knows it: the width is the last one the list saw, so the row
// painting follows the user's dragging of the header dividers.
struct GridColumn {
    QString title;
    CellAlignment alignment = CellAlignment::Left;
    int width = 0;
};

// The list's own table of columns and cells, offered to Qt's item views. Rows are a plain vector
// so that thousands can be appended with one insertion; while change signals are held back a
// whole fill of cells costs no view work until one update at the end.
class GridListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    explicit GridListModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // A column added while rows exist gives every row one more default cell, so each row always
    // holds exactly one cell per column.
    void AppendColumn(const GridColumn& column, const QColor& text, const QColor& background);
    void AppendRows(int n, const QColor& text, const QColor& background);
    bool SetCell(int row, int column, const GridCell& cell);
    void RemoveAllRows();

    bool SetStoredWidth(int column, int width);
    int StoredWidth(int column) const;
    int SummedWidth() const;

    int RowCount() const { return static_cast<int>(rows_.size()); }
    int ColumnCount() const { return static_cast<int>(columns_.size()); }
    const GridColumn* ColumnAt(int column) const;
    const GridCell* CellAt(int row, int column) const;

    // Holds back cell change signals; releasing them emits one change over the whole table if
    // any cell changed meanwhile.
    void HoldChangeSignals(bool hold);

  private:
    bool ValidColumn(int column) const { return column >= 0 && column < ColumnCount(); }
    bool ValidCell(int row, int column) const {
        return row >= 0 && row < RowCount() && ValidColumn(column);
    }

    std::vector<GridColumn> columns_;
    std::vector<std::vector<GridCell>> rows_;
    bool holdSignals_ = false;
    bool changedWhileHeld_ = false;
};

}  // namespace patchferry
