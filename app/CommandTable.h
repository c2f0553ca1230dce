#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CCommand;
class CFrameWindow;
class CMenu;
class CToolbarPanel;

// The window whose commands the command table registers: a course window.
// The table's state rules read the facts below, and commands whose action
// belongs to the window run through ExecuteCommand. Every fact answers as a
// window without a course would, and a command whose action the window does
// not (yet) offer stays disabled, so a window implements only what it has.
class CCommandTarget
{
public:
    CCommandTarget() = default;
    // Stops being the process-wide command target.
    virtual ~CCommandTarget();
    CCommandTarget(const CCommandTarget&) = delete;
    CCommandTarget& operator=(const CCommandTarget&) = delete;

    // The frame window that shows the commands.
    virtual CFrameWindow& GetCommandFrame() = 0;

    // ---- Actions --------------------------------------------------------------
    // Whether the window runs the command itself; false keeps it disabled.
    virtual bool HasCommandAction(int id) const;
    // Runs one of the window's commands.
    virtual void ExecuteCommand(int id);
    // Exit: closes the course windows one after another. The default asks
    // every frame window to close, the front-most first.
    virtual void CloseAllWindows();
    // After the window arrangement commands; the default refreshes the
    // frame's command states.
    virtual void RefreshAfterCommand();

    // ---- Facts of the state rules ---------------------------------------------
    virtual bool HasObjects() const;
    virtual bool HasSelection() const;
    // The clipboard holds course text.
    virtual bool CanPaste() const;
    // The label of the step Undo (Redo) would take back; false when none.
    virtual bool GetUndoLabel(std::wstring& label) const;
    virtual bool GetRedoLabel(std::wstring& label) const;
    // The type name the Properties command names (the selection's shared
    // type, or the type chosen for placing); false disables the command.
    virtual bool GetPropertiesName(std::wstring& name) const;
    virtual bool Shows3D() const;
    virtual bool Uses3DCamera() const;
    // Whether the course shows what the option command switches (paths,
    // obstacle numbers, hidable texts, grass, metric units).
    virtual bool IsOptionOn(int id) const;
    // Whether the course's rule set offers the command (the score-sheet
    // footer, the organisation's documents).
    virtual bool OffersRuleSetCommand(int id) const;
    virtual bool ShowsDifferences() const;
    // The window's entry in the Window menu; the default is the frame title.
    virtual std::wstring GetListTitle();
};

// The command target the static handlers use: the window whose table was
// built last, null once it is gone.
CCommandTarget* GetCommandTarget();

// ---- The table ------------------------------------------------------------------

// How a command's state is recomputed whenever its window refreshes.
enum class ECommandRule : uint8_t
{
    kNone,            // no state delegate: stays enabled
    kAlways,          // enabled
    kNever,           // disabled
    kWindowRoom,      // enabled while another course window may open
    kTemplate,        // as window room, and only while a template is stored
    kRecent,          // a recent file: caption and visibility from the list
    kHasObjects,
    kSelection,
    kProperties,
    kUndo,
    kRedo,
    kClipboard,
    kView3D,          // the three view modes: ticked by the course's mode,
    kViewMap,         // enabled while the course uses the 3D camera or
    kView3DMap,       // one more window may show 3D
    kCamera,          // enabled while the course uses the 3D camera
    kOption,          // ticked by the course option
    kGrass,           // as option, but only while the course shows 3D
    kStatusBar,       // ticked while the frame shows the bar
    kToolbar,
    kFooter,          // shown and enabled by the course's rule set
    kRuleSetDocument, // enabled by the course's rule set
    kDifferences,
    kWindowList,      // caption and visibility from the open course windows
    kMoreWindows,     // shown while more windows are open than the list shows
    kCount,
};

// What a command does when it runs.
enum class ECommandAction : uint8_t
{
    kWindow,          // the command target's own action
    kExit,
    kAbout,
    kHelpContents,
    kLink,
    kGraphicsSystem,  // the graphics-system dialog
    kToggleStatusBar,
    kToggleToolbar,
    kTile,
    kCascade,
    kActivateWindow,
    kWindowChooser,   // the window chooser
    kCount,
};

// Places of a row (bits).
enum ECommandPlace : uint8_t
{
    kInMenu = 1,
    kInToolbar = 2,
    kInContextMenu = 4,
    kInRecentMenu = 8,
};

// When a row is made at all.
enum class ECommandCondition : uint8_t
{
    kAlways,
    kWebMenu,          // the Online menu: web or mail links are offered
    kHelpPages,        // web access is usable
    kGraphicsMenuItem, // the setting "GraphicsSystemMenuItemVisible" is not 0
};

enum class ECommandRowKind : uint8_t
{
    kMenu,        // a menu of the menu bar; later rows go into it
    kRecentMenu,  // the recent-files sub-menu of the current menu
    kCommand,
    kSeparator,   // in the places named (menu, context menu, toolbar)
};

// One row of the command table: everything about one command (or a run of
// `count` commands with consecutive identifiers) in one place.
struct CCommandRow
{
    ECommandRowKind kind;
    int id;
    int secondTextId;
    uint8_t places;
    const wchar_t* icon;
    uint8_t acceleratorKind;
    uint16_t key;
    // Menu entries show their check as a radio mark.
    bool radio;
    ECommandRule rule;
    ECommandAction action;
    ECommandCondition condition;
    int count;
};

// The rows in registration order.
const std::vector<CCommandRow>& GetCommandRows();
// The command row of an identifier (runs included); null when none.
const CCommandRow* FindCommandRow(int id);

// Fills one course window's menu bar, toolbar and context menu with every
// user command, in the table's order, and makes the window the command
// target. The toolbar and the context menu may be null.
void BuildCommandTable(CCommandTarget& target, CMenu& menuBar, CToolbarPanel* toolbar, CMenu* contextMenu);

// The state a rule gives a command; starts from the command's current state.
struct CCommandState
{
    bool enabled = true;
    bool checked = false;
    bool visible = true;
    std::wstring text;
};

// Runs the row's rule for the command identifier against the target.
void EvaluateCommandRule(const CCommandRow& row, int id, CCommandTarget& target, CCommandState& state);
// Whether the row's action can run now for the target.
bool IsCommandActionAvailable(const CCommandRow& row, int id, const CCommandTarget& target);
// Runs the row's action for the command identifier; an action that is not
// available does nothing.
void RunCommandRow(const CCommandRow& row, int id, CCommandTarget& target);

// The Exit command's handler: closes every course window in turn.
void ExitProgram(int id);
