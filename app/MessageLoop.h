#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

#include "foundation/Delegate.h"

class CCommand;
class CMenu;
class CToolbarPanel;

// ---- The message loop -----------------------------------------------------------
// The one message loop of the process. Keyboard messages are first offered
// to the accelerator table, translated against whatever window is active
// (TranslateAcceleratorW sends the command message to that window, whose
// menu finds the command by identifier). Returns when the quit message
// arrives.
void RunMessageLoop();

// One pass of the loop for a message taken from the queue: accelerator
// translation against the active window (building the table on first need),
// else TranslateMessage and DispatchMessageW; then the timer pump.
void ProcessLoopMessage(MSG& message);

// How deep the loop is inside message handling (recorded for the crash log).
int GetMessageNesting();

// ---- Accelerators ---------------------------------------------------------------
// The accelerator kinds of RegisterCommand. Kinds 1 and 2 (a letter with
// Ctrl, or with Ctrl and Shift) make records of the process-wide table;
// kinds 3 to 6 are special keys (foundation/ShortcutText.h) that only the
// menu entry and the toolbar button show, except Backspace, which stands
// for the Delete key in the table.
enum EAcceleratorKind
{
    kNoAccelerator = 0,
    kCtrlKey = 1,
    kCtrlShiftKey = 2,
    kSpecialKey = 3,
    kCtrlSpecialKey = 4,
    kShiftSpecialKey = 5,
    kCtrlShiftSpecialKey = 6,
};

// The special key of kinds 3 to 6 that makes an accelerator record.
constexpr int kBackspaceKey = 8;

// The fVirt byte of an accelerator kind; 0 for kind 0 or an unknown kind.
uint8_t GetAcceleratorFlags(int kind);

// Appends one record to the accelerator list; does nothing once the table
// has been built.
void AddAccelerator(uint8_t flags, uint16_t key, uint16_t commandId);
// Builds the process-wide table from the list (in registration order) and
// the eight fixed records after it (Alt+Backspace, Shift+Delete,
// Ctrl+Insert, Shift+Insert, F1, Shift+F1, Alt+"/", Alt+"?"), and empties
// the list. A table that already exists or an empty list is reported.
void BuildAcceleratorTable();
// The table, null until built.
HACCEL GetAcceleratorTable();
// The records collected and not yet built into the table.
const std::vector<ACCEL>& GetPendingAccelerators();
// Destroys the table at exit, if one was built; a later command registration
// collects records for a new table.
void FreeAcceleratorTable();

// ---- Command registration -------------------------------------------------------
// Registers one command: a menu entry in the first menu and in the context
// menu, a toolbar button (which needs an icon: the name of a PNG picture
// resource), each bound to both delegates, and its accelerator record. The
// flag makes the menu entries show their check as a radio mark. Any of the
// three places may be null.
void RegisterCommand(CMenu* menu, CMenu* contextMenu, CToolbarPanel* toolbar, int id, int secondTextId,
                     const CDelegate<int>& execute, const CDelegate<CCommand*>& updateState, const wchar_t* icon,
                     int acceleratorKind, int key, uint8_t flag);

// A new menu with the caption, appended to the parent (menu kinds of
// ui/Menu.h); for caption 2001 nothing is made and the result is null.
CMenu* AddCommandMenu(CMenu* parent, int captionId, int secondTextId, int kind);
