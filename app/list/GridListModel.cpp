#include "app/list/GridListModel.h"

#include <cstddef>

namespace patchferry {

namespace {

Qt::Alignment QtAlignment(CellAlignment alignment) {
    switch (alignment) {
        case CellAlignment::Centre:
            return Qt::AlignHCenter | Qt::AlignVCenter;
        case CellAlignment::Right:
            return Qt::AlignRight | Qt::AlignVCenter;
        case CellAlignment::Left:
            break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

std::size_t Index(int i) {
    return static_cast<std::size_t>(i);
}

}  // namespace

GridListModel::GridListModel(QObject* parent) : QAbstractTableModel(parent) {}

int GridListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : RowCount();
}

int GridListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant GridListModel::data(const QModelIndex& index, int role) const {
    const GridCell* cell = CellAt(index.row(), index.column());
    if (cell == nullptr) {
        return {};
    }
    // The painting reads the table directly; these roles serve accessibility and tests.
    switch (role) {
        case Qt::DisplayRole:
            return cell->text;
        case Qt::TextAlignmentRole:
            return QtAlignment(cell->alignment).toInt();
        case Qt::ForegroundRole:
            return cell->textColour;
        case Qt::BackgroundRole:
            return cell->backgroundColour;
        default:
            return {};
    }
}

QVariant GridListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    const GridColumn* column = orientation == Qt::Horizontal ? ColumnAt(section) : nullptr;
    if (column == nullptr) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (role) {
        case Qt::DisplayRole:
            return column->title;
        case Qt::TextAlignmentRole:
            return QtAlignment(column->alignment).toInt();
        default:
            return {};
    }
}

Qt::ItemFlags GridListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void GridListModel::AppendColumn(const GridColumn& column, const QColor& text,
                                 const QColor& background) {
    const int index = ColumnCount();
    beginInsertColumns(QModelIndex(), index, index);
    columns_.push_back(column);
    for (auto& row : rows_) {
        row.push_back(GridCell{QString(), CellAlignment::Left, text, background});
    }
    endInsertColumns();
}

void GridListModel::AppendRows(int n, const QColor& text, const QColor& background) {
    if (n <= 0) {
        return;
    }
    const int first = RowCount();
    beginInsertRows(QModelIndex(), first, first + n - 1);
    const std::vector<GridCell> blank(columns_.size(),
                                      GridCell{QString(), CellAlignment::Left, text, background});
    rows_.reserve(rows_.size() + Index(n));
    rows_.insert(rows_.end(), Index(n), blank);
    endInsertRows();
}

bool GridListModel::SetCell(int row, int column, const GridCell& cell) {
    if (!ValidCell(row, column)) {
        return false;
    }
    rows_[Index(row)][Index(column)] = cell;
    if (holdSignals_) {
        changedWhileHeld_ = true;
    } else {
        const QModelIndex changed = index(row, column);
        emit dataChanged(changed, changed);
    }
    return true;
}

void GridListModel::RemoveAllRows() {
    if (rows_.empty()) {
        return;
    }
    // Row removal rather than a model reset: a reset would make the header forget its widths.
    beginRemoveRows(QModelIndex(), 0, RowCount() - 1);
    rows_.clear();
    rows_.shrink_to_fit();
    endRemoveRows();
}

bool GridListModel::SetStoredWidth(int column, int width) {
    if (!ValidColumn(column)) {
        return false;
    }
    columns_[Index(column)].width = width;
    return true;
}

int GridListModel::StoredWidth(int column) const {
    return ValidColumn(column) ? columns_[Index(column)].width : 0;
}

int GridListModel::SummedWidth() const {
    int sum = 0;
    for (const auto& column : columns_) {
        sum += column.width;
    }
    return sum;
}

const GridColumn* GridListModel::ColumnAt(int column) const {
    return ValidColumn(column) ? &columns_[Index(column)] : nullptr;
}

const GridCell* GridListModel::CellAt(int row, int column) const {
    return ValidCell(row, column) ? &rows_[Index(row)][Index(column)] : nullptr;
}

void GridListModel::HoldChangeSignals(bool hold) {
    if (hold == holdSignals_) {
        return;
    }
    holdSignals_ = hold;
    if (!hold && changedWhileHeld_) {
        changedWhileHeld_ = false;
        if (RowCount() > 0 && ColumnCount() > 0) {
            emit dataChanged(index(0, 0), index(RowCount() - 1, ColumnCount() - 1));
        }
    }
}

}  // namespace patchferry
