#include "app/list/VirtualKey.h"

#include <array>
#include <utility>

#include "app/list/NativeVirtualKey.h"

namespace patchferry {

namespace {

constexpr int kVirtualKeyMask = 0xFFFF;

// Keys whose code is not their Latin-1 letter or digit.
constexpr std::array<std::pair<int, int>, 55> kKeyTable{{
    {Qt::Key_Backspace, vk::kBackspace},
    {Qt::Key_Tab, vk::kTab},
    {Qt::Key_Backtab, vk::kTab},
    {Qt::Key_Clear, 0x0C},
    {Qt::Key_Return, vk::kReturn},
    {Qt::Key_Enter, vk::kReturn},
    {Qt::Key_Shift, 0x10},
    {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},
    {Qt::Key_Pause, 0x13},
    {Qt::Key_CapsLock, 0x14},
    {Qt::Key_Escape, vk::kEscape},
    {Qt::Key_Space, vk::kSpace},
    {Qt::Key_PageUp, 0x21},
    {Qt::Key_PageDown, 0x22},
    {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},
    {Qt::Key_Left, vk::kLeft},
    {Qt::Key_Up, vk::kUp},
    {Qt::Key_Right, vk::kRight},
    {Qt::Key_Down, vk::kDown},
    {Qt::Key_Print, 0x2C},
    {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, vk::kDelete},
    {Qt::Key_Help, 0x2F},
    {Qt::Key_Meta, 0x5B},
    {Qt::Key_Menu, 0x5D},
    {Qt::Key_NumLock, 0x90},
    {Qt::Key_ScrollLock, 0x91},
    // Shifted digits on a US layout share their digit's key.
    {Qt::Key_ParenRight, '0'},
    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},
    {Qt::Key_Dollar, '4'},
    {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},
    {Qt::Key_Ampersand, '7'},
    {Qt::Key_ParenLeft, '9'},
    // Punctuation keys, unshifted and shifted.
    {Qt::Key_Semicolon, 0xBA},
    {Qt::Key_Colon, 0xBA},
    {Qt::Key_Equal, 0xBB},
    {Qt::Key_Comma, 0xBC},
    {Qt::Key_Less, 0xBC},
    {Qt::Key_Underscore, 0xBD},
    {Qt::Key_Period, 0xBE},
    {Qt::Key_Greater, 0xBE},
    {Qt::Key_Slash, 0xBF},
    {Qt::Key_Question, 0xBF},
    {Qt::Key_QuoteLeft, 0xC0},
    {Qt::Key_AsciiTilde, 0xC0},
    {Qt::Key_BracketLeft, 0xDB},
    {Qt::Key_BraceLeft, 0xDB},
    {Qt::Key_Backslash, 0xDC},
    {Qt::Key_BracketRight, 0xDD},
    {Qt::Key_Apostrophe, 0xDE},
}};

// Keys that differ between the main block and the numeric keypad.
int KeypadKey(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return vk::kNumpad0 + (key - Qt::Key_0);
    }
    switch (key) {
        case Qt::Key_Asterisk:
            return 0x6A;
        case Qt::Key_Plus:
            return 0x6B;
        case Qt::Key_Minus:
            return 0x6D;
        case Qt::Key_Period:
            return 0x6E;
        case Qt::Key_Slash:
            return 0x6F;
        default:
            return 0;
    }
}

}  // namespace

int VirtualKeyFromQtKey(int key, Qt::KeyboardModifiers modifiers) {
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (const int code = KeypadKey(key); code != 0) {
            return code;
        }
    }
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) {
        return key;  // letters and digits share their upper-case character code
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
        return vk::kF1 + (key - Qt::Key_F1);
    }
    switch (key) {
        case Qt::Key_Plus:
            return 0xBB;  // shifted '=' on the main block
        case Qt::Key_Minus:
            return 0xBD;
        case Qt::Key_Asterisk:
            return '8';
        case Qt::Key_QuoteDbl:
            return 0xDE;
        case Qt::Key_Bar:
            return 0xDC;
        case Qt::Key_BraceRight:
            return 0xDD;
        default:
            break;
    }
    for (const auto& [qtKey, code] : kKeyTable) {
        if (qtKey == key) {
            return code;
        }
    }
    return 0;
}

int VirtualKeyOf(const QKeyEvent& event) {
    if (const int native = NativeWindowsVirtualKey(event); native != 0) {
        return native & kVirtualKeyMask;
    }
    return VirtualKeyFromQtKey(event.key(), event.modifiers()) & kVirtualKeyMask;
}

}  // namespace patchferry
