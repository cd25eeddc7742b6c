#pragma once

#include <QKeyEvent>

namespace patchferry {

// The Windows virtual-key codes the list reports with a key press. On Windows they are the
// event's own; elsewhere they come from a table of Qt keys (US layout for punctuation).
namespace vk {
inline constexpr int kBackspace = 0x08;
inline constexpr int kTab = 0x09;
inline constexpr int kReturn = 0x0D;
inline constexpr int kEscape = 0x1B;
inline constexpr int kSpace = 0x20;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kDelete = 0x2E;
inline constexpr int kNumpad0 = 0x60;
inline constexpr int kF1 = 0x70;
}  // namespace vk

// The virtual-key code for a Qt key, 0 when the table has none.
int VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers);

// The virtual-key code of a key event, 16 bits, 0 when unknown.
int VirtualKeyOf(const QKeyEvent& event);

}  // namespace patchferry
