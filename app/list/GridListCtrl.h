#pragma once

#include <QColor>
#include <QString>
#include <QTreeView>

#include "app/list/GridCell.h"

namespace patchferry {

class GridListModel;

// A report-style list that keeps its own table of columns and cells and paints every row itself,
// cell by cell, with a thin grid line in the list's text colour. Qt's item view supplies the
// scrolling, the resizable header, extended selection and keyboard focus.
class GridListCtrl : public QTreeView {
    Q_OBJECT

  public:
    using Cell = GridCell;

    explicit GridListCtrl(QWidget* parent = nullptr);
    ~GridListCtrl() override;

    GridListCtrl(const GridListCtrl&) = delete;
    GridListCtrl& operator=(const GridListCtrl&) = delete;

    // Columns are meant to be added before any row; one added later gives every row a blank cell.
    void AddColumn(const QString& title, int alignmentCode, int width);
    // Appends n blank rows in the list's current colours.
    void AddRows(int n);
    // Ignored outside the table.
    void SetCell(int row, int column, int alignmentCode, const QColor& text,
                 const QColor& background, const QString& cellText);
    void RemoveAllRows();
    // Ignored outside the columns; width 0 hides the column until it is dragged open.
    void SetColumnWidth(int column, int width);
    // The width of sample + "XX" in the list's font: a column width with a margin.
    int TextWidth(const QString& sample) const;
    void SetColours(const QColor& text, const QColor& background);
    // The lowest selected row, -1 when none is selected.
    int FirstSelectedRow() const;
    // Suspends repainting and cell change signals around a bulk fill; resuming repaints once.
    void SetRedraw(bool enabled);

    int RowCount() const;
    int ColumnCount() const;
    const Cell* CellAt(int row, int column) const;
    // The width the row painting uses for a column, following the header; 0 outside the columns.
    int StoredColumnWidth(int column) const;
    QColor TextColour() const { return textColour_; }
    QColor BackgroundColour() const { return backgroundColour_; }

    void keyboardSearch(const QString& search) override;

  protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    bool RowDrawnHighlighted(int row) const;
    void DrawCell(QPainter& painter, const Cell& cell, int left, int top, int right, int bottom,
                  bool highlighted) const;
    void StoreSectionWidth(int column, int width);

    GridListModel* model_;  // owned by this widget as its QObject child
    QColor textColour_;
    QColor backgroundColour_;
    bool redrawEnabled_ = true;
};

}  // namespace patchferry
