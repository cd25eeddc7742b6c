#include "app/list/GridCell.h"

namespace patchferry {

namespace {
constexpr int kTextInset = 2;
}

CellAlignment AlignmentFromCode(int code) {
    switch (code) {
        case static_cast<int>(CellAlignment::Centre):
            return CellAlignment::Centre;
        case static_cast<int>(CellAlignment::Right):
            return CellAlignment::Right;
        default:
            return CellAlignment::Left;
    }
}

int TextReferenceX(CellAlignment alignment, int left, int right) {
    switch (alignment) {
        case CellAlignment::Right:
            return right - kTextInset;
        case CellAlignment::Centre:
            return right - left > 0 ? left + (right - left) / 2 : left + kTextInset;
        case CellAlignment::Left:
            break;
    }
    return left + kTextInset;
}

int TextStartX(CellAlignment alignment, int referenceX, int textWidth) {
    switch (alignment) {
        case CellAlignment::Right:
            return referenceX - textWidth;
        case CellAlignment::Centre:
            return referenceX - textWidth / 2;
        case CellAlignment::Left:
            break;
    }
    return referenceX;
}

}  // namespace patchferry
