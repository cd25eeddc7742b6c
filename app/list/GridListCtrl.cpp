#include "app/list/GridListCtrl.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>
#include <QStyledItemDelegate>
#include <algorithm>

#include "app/list/GridListModel.h"

namespace patchferry {

namespace {

// Space above and below the text in a row.
constexpr int kRowPadding = 4;
// Room beside a cell's text: the 2 px text inset on both sides and the 1 px grid line.
constexpr int kCellPadding = 5;

// Gives every row the height of one line of the list's font, and a cell the width of its text
// (used when the user double-clicks a header divider); the painting is the view's own.
class CellSizeDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QString text = index.data(Qt::DisplayRole).toString();
        return {option.fontMetrics.horizontalAdvance(text) + kCellPadding,
                option.fontMetrics.height() + kRowPadding};
    }
};

}  // namespace

GridListCtrl::GridListCtrl(QWidget* parent)
    : QTreeView(parent),
      model_(new GridListModel(this)),
      textColour_(palette().color(QPalette::Dark)),
      backgroundColour_(palette().color(QPalette::Base)) {
    setModel(model_);
    // The delegate is a QObject child of this view, which deletes it.
    setItemDelegate(new CellSizeDelegate(this));  // NOLINT(cppcoreguidelines-owning-memory)
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setIndentation(0);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    setWordWrap(false);
    setSortingEnabled(false);

    QHeaderView* head = header();
    head->setStretchLastSection(false);
    head->setMinimumSectionSize(0);
    head->setSectionsMovable(false);
    head->setSectionsClickable(true);
    head->setSectionResizeMode(QHeaderView::Interactive);
    head->setCascadingSectionResizes(false);
    connect(head, &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { StoreSectionWidth(column, width); });
}

GridListCtrl::~GridListCtrl() = default;

void GridListCtrl::AddColumn(const QString& title, int alignmentCode, int width) {
    const int column = model_->ColumnCount();
    const int clamped = std::max(width, 0);
    model_->AppendColumn(GridColumn{title, AlignmentFromCode(alignmentCode), clamped}, textColour_,
                         backgroundColour_);
    header()->resizeSection(column, clamped);
    model_->SetStoredWidth(column, clamped);
}

void GridListCtrl::AddRows(int n) {
    model_->AppendRows(n, textColour_, backgroundColour_);
}

void GridListCtrl::SetCell(int row, int column, int alignmentCode, const QColor& text,
                           const QColor& background, const QString& cellText) {
    model_->SetCell(row, column,
                    Cell{cellText, AlignmentFromCode(alignmentCode), text, background});
}

void GridListCtrl::RemoveAllRows() {
    model_->RemoveAllRows();
    viewport()->update();
}

void GridListCtrl::SetColumnWidth(int column, int width) {
    const int clamped = std::max(width, 0);
    if (!model_->SetStoredWidth(column, clamped)) {
        return;
    }
    header()->resizeSection(column, clamped);
}

int GridListCtrl::TextWidth(const QString& sample) const {
    return fontMetrics().horizontalAdvance(sample + QStringLiteral("XX"));
}

void GridListCtrl::SetColours(const QColor& text, const QColor& background) {
    textColour_ = text;
    backgroundColour_ = background;
    // The viewport's own background fill then matches what the painting puts outside the rows.
    QPalette colours = viewport()->palette();
    colours.setColor(QPalette::Base, background);
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::Text, text);
    viewport()->setPalette(colours);
    viewport()->update();
}

int GridListCtrl::FirstSelectedRow() const {
    int first = -1;
    const QItemSelection selected = selectionModel()->selection();
    for (const QItemSelectionRange& range : selected) {
        if (range.isValid() && (first < 0 || range.top() < first)) {
            first = range.top();
        }
    }
    return first;
}

void GridListCtrl::SetRedraw(bool enabled) {
    if (enabled == redrawEnabled_) {
        return;
    }
    redrawEnabled_ = enabled;
    if (!enabled) {
        model_->HoldChangeSignals(true);
        setUpdatesEnabled(false);
        return;
    }
    model_->HoldChangeSignals(false);
    setUpdatesEnabled(true);
    viewport()->update();
}

int GridListCtrl::RowCount() const {
    return model_->RowCount();
}

int GridListCtrl::ColumnCount() const {
    return model_->ColumnCount();
}

const GridListCtrl::Cell* GridListCtrl::CellAt(int row, int column) const {
    return model_->CellAt(row, column);
}

int GridListCtrl::StoredColumnWidth(int column) const {
    return model_->StoredWidth(column);
}

void GridListCtrl::keyboardSearch(const QString&) {
    // Typing does not jump to a row: the keys are the window's to interpret.
}

void GridListCtrl::StoreSectionWidth(int column, int width) {
    if (model_->SetStoredWidth(column, width)) {
        viewport()->update();
    }
}

bool GridListCtrl::RowDrawnHighlighted(int row) const {
    const QModelIndex first = model_->index(row, 0);
    const bool selected = selectionModel()->isSelected(first);
    const bool focused = hasFocus() && currentIndex().isValid() && currentIndex().row() == row;
    return selected || focused;
}

void GridListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const int row = index.row();
    if (model_->RowCount() == 0 || row < 0 || row >= model_->RowCount()) {
        return;
    }
    const bool highlighted = RowDrawnHighlighted(row);
    // Edges as left/top inclusive and right/bottom exclusive, the way the grid line is laid out.
    const int top = option.rect.top();
    const int bottom = top + option.rect.height();
    int x = -header()->offset();
    for (int column = 0; column < model_->ColumnCount(); ++column) {
        const int right = x + model_->StoredWidth(column);
        DrawCell(*painter, *model_->CellAt(row, column), x, top, right, bottom, highlighted);
        x = right;
    }
}

void GridListCtrl::DrawCell(QPainter& painter, const Cell& cell, int left, int top, int right,
                            int bottom, bool highlighted) const {
    painter.save();
    // The grid line: the cell's bottom edge, then its right edge up to the row's top.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(textColour_, 1));
    painter.drawLine(left, bottom - 1, right - 1, bottom - 1);
    painter.drawLine(right - 1, bottom - 1, right - 1, top);

    // The rest of the cell, inside the grid line, is the cell's own.
    const int innerRight = right - 1;
    const int innerBottom = bottom - 1;
    const QColor& ink = highlighted ? cell.backgroundColour : cell.textColour;
    const QColor& paper = highlighted ? cell.textColour : cell.backgroundColour;
    if (innerRight > left && innerBottom > top) {
        const QRect inner(left, top, innerRight - left, innerBottom - top);
        painter.fillRect(inner, paper);
        if (!cell.text.isEmpty()) {
            const QFontMetrics metrics = fontMetrics();
            const int reference = TextReferenceX(cell.alignment, left, innerRight);
            const int start =
                TextStartX(cell.alignment, reference, metrics.horizontalAdvance(cell.text));
            painter.setClipRect(inner, Qt::IntersectClip);
            painter.setFont(font());
            painter.setPen(ink);
            painter.drawText(start, top + metrics.ascent(), cell.text);
        }
    }
    painter.restore();
}

void GridListCtrl::paintEvent(QPaintEvent* event) {
    executeDelayedItemsLayout();
    {
        // Everything the rows do not cover: right of the columns and below the last row.
        QPainter painter(viewport());
        painter.setClipRegion(event->region());
        const QRect area = viewport()->rect();
        const int rows = model_->RowCount();
        if (rows == 0) {
            painter.fillRect(area, backgroundColour_);
        } else {
            const int columnsRight = model_->SummedWidth() - header()->offset();
            if (columnsRight < area.right() + 1) {
                painter.fillRect(QRect(QPoint(columnsRight, area.top()), area.bottomRight()),
                                 backgroundColour_);
            }
            const QRect lastRow = visualRect(model_->index(rows - 1, 0));
            // Column 0 may be 0 px wide, so only the rectangle's vertical extent is used.
            const int rowsBottom =
                lastRow.height() > 0 ? lastRow.y() + lastRow.height() : area.top();
            if (rowsBottom < area.bottom() + 1) {
                painter.fillRect(QRect(QPoint(area.left(), rowsBottom), area.bottomRight()),
                                 backgroundColour_);
            }
        }
    }
    if (model_->RowCount() > 0) {
        QTreeView::paintEvent(event);
    }
}

bool GridListCtrl::event(QEvent* event) {
    // Select-all belongs to the window (its Ctrl+A command runs even while the list has the
    // focus): never claim the key ahead of the window's shortcut, and never act on it below.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return true;
    }
    return QTreeView::event(event);
}

void GridListCtrl::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return;
    }
    QTreeView::keyPressEvent(event);
}

void GridListCtrl::focusInEvent(QFocusEvent* event) {
    // Gaining the focus does not make a row the focus row: a row drawn highlighted must be one the
    // user chose, or the first Audition after an Open would seem to act on a row it ignores. The
    // arrow keys still start from the first row.
    const bool hadCurrent = currentIndex().isValid();
    QTreeView::focusInEvent(event);
    if (!hadCurrent && currentIndex().isValid()) {
        selectionModel()->clearCurrentIndex();
    }
}

}  // namespace patchferry
