#pragma once
#include <Qt>

class QKeyEvent;

// Key, shift-state and mouse-button numbers as the desktop's virtual-key codes:
// Insert 45, letters their upper-case character code, keypad '.' 110 and
// '/' 111, F4 115; shift bits 1 Shift, 2 Ctrl, 4 Alt; buttons 1 left,
// 2 right, 4 middle.
namespace KeyCodes {

inline constexpr int vbKeyReturn = 13;
inline constexpr int vbKeyInsert = 45;
inline constexpr int vbKeyF4 = 115;

inline constexpr int vbShiftMask = 1;
inline constexpr int vbCtrlMask = 2;
inline constexpr int vbAltMask = 4;

inline constexpr int vbLeftButton = 1;
inline constexpr int vbRightButton = 2;
inline constexpr int vbMiddleButton = 4;

int keyCode(int qtKey, Qt::KeyboardModifiers modifiers);
int keyCode(const QKeyEvent* event);
int shiftState(Qt::KeyboardModifiers modifiers);
int mouseButton(Qt::MouseButton button);
// The character code a key press delivers (13 for Enter, 1..26 for Ctrl and
// a letter, 8 for Backspace), or 0 when the key gives no character.
int characterCode(const QKeyEvent* event);

}  // namespace KeyCodes
