#pragma once

#include <string>

// The display text of a command's keyboard shortcut, for menus and tooltips
// ("Ctrl+N", "Page Up"). modifierCode: 0 no shortcut (empty text); 1 Ctrl
// with a character; 2 Ctrl+Shift with a character; 3 a special key alone;
// 4, 5, 6 Ctrl, Shift, Ctrl+Shift with a special key. Characters are given
// by their code; special keys are 0-3 the arrows (up, down, left, right),
// 8 Delete, 12 Page Up, 13 Page Down, 14 "+", 15 "-".
//
// An unknown special key is reported and stands as an empty key text; an
// unknown modifier code is reported and gives the key text alone.
std::wstring GetShortcutText(int modifierCode, int key);
