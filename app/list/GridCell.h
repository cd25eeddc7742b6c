#pragma once

#include <QColor>
#include <QString>

namespace patchferry {

// The alignment codes the callers pass: 0 left, 1 centre, 2 right.
enum class CellAlignment { Left = 0, Centre = 1, Right = 2 };

// Unknown codes fall back to left alignment.
CellAlignment AlignmentFromCode(int code);

// One cell of the list's own table; its text is shown unchanged, never elided.
struct GridCell {
    QString text;
    CellAlignment alignment = CellAlignment::Left;
    QColor textColour;
    QColor backgroundColour;
};

// The x of a cell text's reference point within a cell running from `left` to `right` (right
// exclusive, already reduced by the grid line): 2 px in from the edge the text is aligned to, or
// the middle for centred text. A centred cell too narrow to have a middle falls back to left + 2.
int TextReferenceX(CellAlignment alignment, int left, int right);

// Where a text `textWidth` wide starts so that its reference point lands at `referenceX`.
int TextStartX(CellAlignment alignment, int referenceX, int textWidth);

}  // namespace patchferry
