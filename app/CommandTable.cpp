#include "app/CommandTable.h"

#include "app/MessageLoop.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/WebAccess.h"
#include "ui/Command.h"
#include "ui/Menu.h"
#include "ui/Toolbar.h"

namespace {

using Rule = ECommandRule;
using Action = ECommandAction;
using Condition = ECommandCondition;

constexpr uint8_t M = kInMenu;
constexpr uint8_t T = kInToolbar;
constexpr uint8_t C = kInContextMenu;
constexpr uint8_t R = kInRecentMenu;

// Builds rows readably: Command(...).Radio().When(...).
struct CRow
{
    CCommandRow row;

    CRow& Radio()
    {
        row.radio = true;
        return *this;
    }
    CRow& When(Condition condition)
    {
        row.condition = condition;
        return *this;
    }
    CRow& Runs(Action action)
    {
        row.action = action;
        return *this;
    }
    CRow& Times(int count)
    {
        row.count = count;
        return *this;
    }
    operator CCommandRow() const { return row; }
};

CRow Menu(int id, int secondTextId)
{
    return CRow{{ECommandRowKind::kMenu, id, secondTextId, M, nullptr, kNoAccelerator, 0, false, Rule::kNone,
                 Action::kWindow, Condition::kAlways, 1}};
}

CRow RecentMenu(int id, int secondTextId)
{
    return CRow{{ECommandRowKind::kRecentMenu, id, secondTextId, M, nullptr, kNoAccelerator, 0, false,
                 Rule::kNone, Action::kWindow, Condition::kAlways, 1}};
}

CRow Separator(uint8_t places)
{
    return CRow{{ECommandRowKind::kSeparator, 0, 0, places, nullptr, kNoAccelerator, 0, false, Rule::kNone,
                 Action::kWindow, Condition::kAlways, 1}};
}

CRow Command(int id, int secondTextId, uint8_t places, const wchar_t* icon, uint8_t acceleratorKind, int key,
             Rule rule)
{
    return CRow{{ECommandRowKind::kCommand, id, secondTextId, places, icon, acceleratorKind, uint16_t(key), false,
                 rule, Action::kWindow, Condition::kAlways, 1}};
}

constexpr uint8_t kNoKey = kNoAccelerator;
constexpr uint8_t kCtrl = kCtrlKey;
constexpr uint8_t kCtrlShift = kCtrlShiftKey;

std::vector<CCommandRow> MakeRows()
{
    return {
        // A menu named after the program is asked for first; it is never made.
        Menu(2001, 2000),

        Menu(2058, 2059),
        Command(2060, 2061, M | T, L"FileNew.png", kCtrl, 'N', Rule::kWindowRoom),
        Command(2062, 2063, M, nullptr, kNoKey, 0, Rule::kTemplate),
        Command(2064, 2065, M, nullptr, kNoKey, 0, Rule::kWindowRoom),
        Separator(M),
        Command(2066, 2067, M | T, L"FileOpen.png", kCtrl, 'O', Rule::kWindowRoom),
        RecentMenu(2068, 2069),
        Separator(M),
        Command(2070, 2071, M, nullptr, kCtrl, 'W', Rule::kAlways),
        Separator(M),
        Command(2073, 2074, M | T, L"FileSave.png", kCtrl, 'S', Rule::kAlways),
        // Registered with Ctrl+Shift+S, which registration drops.
        Command(2075, 2076, M, nullptr, kCtrlShift, 'S', Rule::kAlways),
        Command(2077, 2078, M | T, L"FileSaveAll.png", kNoKey, 0, Rule::kAlways),
        Separator(M),
        Command(2079, 2080, M, nullptr, kNoKey, 0, Rule::kAlways),
        Separator(M | T),
        Command(2081, 2082, M | T, L"FilePrint.png", kCtrl, 'P', Rule::kAlways),
        Separator(M | T),
        Command(2083, 2084, M, nullptr, kNoKey, 0, Rule::kNone).Runs(Action::kExit),
        Separator(M | T),
        Command(2085, 2101, R, nullptr, kNoKey, 0, Rule::kRecent).Times(16),

        Menu(2102, 2103),
        Command(2104, 2106, M | T, L"EditUndo.png", kCtrl, 'Z', Rule::kUndo),
        Command(2107, 2109, M | T, L"EditRedo.png", kCtrl, 'Y', Rule::kRedo),
        Separator(M | T),
        Command(2110, 2111, M | T | C, L"EditCut.png", kCtrl, 'X', Rule::kSelection),
        Command(2112, 2113, M | T | C, L"EditCopy.png", kCtrl, 'C', Rule::kAlways),
        Command(2114, 2115, M | C, nullptr, kNoKey, 0, Rule::kAlways),
        Command(2116, 2117, M, nullptr, kNoKey, 0, Rule::kAlways),
        Command(2118, 2119, M, nullptr, kNoKey, 0, Rule::kAlways),
        Command(2120, 2121, M | T | C, L"EditPaste.png", kCtrl, 'V', Rule::kClipboard),
        // Shows Backspace's key text ("Del"); the table gets the Delete key.
        Command(2122, 2123, M | T | C, L"EditDelete.png", kSpecialKey, kBackspaceKey, Rule::kSelection),
        Separator(M | C | T),
        Command(2124, 2125, M, nullptr, kCtrl, 'A', Rule::kHasObjects),
        Command(2126, 2127, M, nullptr, kNoKey, 0, Rule::kHasObjects),
        Separator(M | T),
        Command(2128, 2130, M | C, nullptr, kNoKey, 0, Rule::kProperties),
        Command(2132, 2133, M | C, nullptr, kCtrl, 'L', Rule::kSelection),
        Separator(M | C | T),
        Command(2134, 2135, M | C, nullptr, kNoKey, 0, Rule::kAlways),
        Command(2136, 2137, M | C, nullptr, kNoKey, 0, Rule::kAlways),
        Command(2138, 2139, M | C, nullptr, kNoKey, 0, Rule::kAlways),
        Separator(M | T),
        Command(2140, 2141, M, nullptr, kNoKey, 0, Rule::kHasObjects),
        Command(2142, 2143, M, nullptr, kNoKey, 0, Rule::kHasObjects),
        Command(2144, 2145, M, nullptr, kNoKey, 0, Rule::kHasObjects),
        Separator(T | M),

        Menu(2146, 2147),
        Command(2148, 2149, M | T | C, L"View3D.png", kNoKey, 0, Rule::kView3D).Radio(),
        Command(2150, 2151, M | T | C, L"ViewMap.png", kNoKey, 0, Rule::kViewMap).Radio(),
        Command(2152, 2153, M | T | C, L"View3DMap.png", kNoKey, 0, Rule::kView3DMap).Radio(),
        Separator(M | T),
        Command(2154, 2155, M, nullptr, kNoKey, 0, Rule::kCamera),
        Separator(M | C),
        Command(2160, 2161, M | T | C, L"ViewPaths.png", kNoKey, 0, Rule::kOption),
        Command(2166, 2167, M | T | C, L"ViewObsNums.png", kNoKey, 0, Rule::kOption),
        Command(2168, 2169, M | T | C, L"ViewHidableText.png", kNoKey, 0, Rule::kOption),
        Command(2170, 2171, M | C, nullptr, kNoKey, 0, Rule::kGrass),
        Separator(M),
        Command(2164, 2165, M | C, nullptr, kNoKey, 0, Rule::kFooter),
        Command(2174, 2175, M, nullptr, kNoKey, 0, Rule::kDifferences),
        Separator(M),
        Command(2172, 2173, M | T | C, L"ViewCoords.png", kNoKey, 0, Rule::kAlways),
        Command(2176, 2177, M, nullptr, kNoKey, 0, Rule::kOption),
        Separator(M),
        Command(2156, 2157, M, nullptr, kNoKey, 0, Rule::kStatusBar).Runs(Action::kToggleStatusBar),
        Command(2158, 2159, M, nullptr, kNoKey, 0, Rule::kToolbar).Runs(Action::kToggleToolbar),
        Separator(T),

        Menu(2178, 2179).When(Condition::kWebMenu),
        Command(2182, 2183, M, nullptr, kNoKey, 0, Rule::kNone).Runs(Action::kLink).When(Condition::kWebMenu),
        Command(2184, 2185, M, nullptr, kNoKey, 0, Rule::kNone).Runs(Action::kLink).When(Condition::kWebMenu),
        Command(2186, 2187, M, nullptr, kNoKey, 0, Rule::kNone).Runs(Action::kLink).When(Condition::kWebMenu),
        Command(2188, 2189, M, nullptr, kNoKey, 0, Rule::kNone).Runs(Action::kLink).When(Condition::kWebMenu),
        Separator(M).When(Condition::kWebMenu),
        Command(2190, 2191, M, nullptr, kNoKey, 0, Rule::kRuleSetDocument).When(Condition::kWebMenu),
        Command(2192, 2193, M, nullptr, kNoKey, 0, Rule::kRuleSetDocument).When(Condition::kWebMenu),
        Command(2194, 2195, M, nullptr, kNoKey, 0, Rule::kRuleSetDocument).When(Condition::kWebMenu),

        Menu(2196, 2000),
        Command(2197, 2198, M, nullptr, kNoKey, 0, Rule::kAlways).Runs(Action::kTile),
        Command(2199, 2200, M, nullptr, kNoKey, 0, Rule::kAlways).Runs(Action::kCascade),
        Separator(M),
        Command(2207, 2216, M, nullptr, kNoKey, 0, Rule::kWindowList).Runs(Action::kActivateWindow).Times(9),
        Command(2217, 2218, M, nullptr, kNoKey, 0, Rule::kMoreWindows).Runs(Action::kWindowChooser),

        Menu(2219, 2220),
        // Registered with Ctrl+"?", which registration drops: F1 stands for it.
        Command(2221, 2222, M | T, L"HelpContents.png", kCtrl, '?', Rule::kNone)
            .Runs(Action::kHelpContents)
            .When(Condition::kHelpPages),
        Command(2223, 2224, M, nullptr, kNoKey, 0, Rule::kNone)
            .Runs(Action::kHelpContents)
            .When(Condition::kHelpPages),
        Separator(M | T),
        Command(2225, 2226, M, nullptr, kNoKey, 0, Rule::kNone)
            .Runs(Action::kGraphicsSystem)
            .When(Condition::kGraphicsMenuItem),
        Separator(M).When(Condition::kGraphicsMenuItem),
        Command(2227, 2228, M, nullptr, kNoKey, 0, Rule::kNone).Runs(Action::kAbout),
        Separator(T),
    };
}

// The two delegates of every registered command: the row and the window
// they were made for. The window outlives its commands (they are its
// menus' and toolbar's entries).
class CExecuteBinding : public CDelegate<int>::CImpl
{
public:
    CExecuteBinding(CCommandTarget& target, const CCommandRow& row) : m_target(target), m_row(row) {}
    void Invoke(int id) override { RunCommandRow(m_row, id, m_target); }

private:
    CCommandTarget& m_target;
    const CCommandRow m_row;
};

class CStateBinding : public CDelegate<CCommand*>::CImpl
{
public:
    CStateBinding(CCommandTarget& target, const CCommandRow& row) : m_target(target), m_row(row) {}
    void Invoke(CCommand* command) override
    {
        if (!command) {
            ReportFailure();
            return;
        }
        CCommandState state;
        state.enabled = command->enabled;
        state.checked = command->checked;
        state.visible = command->visible;
        state.text = command->GetText();
        EvaluateCommandRule(m_row, command->id, m_target, state);
        command->SetVisible(state.visible);
        command->SetChecked(state.checked);
        command->SetText(state.text);
        command->SetEnabled(state.enabled && IsCommandActionAvailable(m_row, command->id, m_target));
    }

private:
    CCommandTarget& m_target;
    const CCommandRow m_row;
};

bool IsRowMade(const CCommandRow& row)
{
    switch (row.condition) {
    case Condition::kWebMenu:
        return GetWebAccess().OffersWebLinks() || GetWebAccess().OffersMailLinks();
    case Condition::kHelpPages:
        return GetWebAccess().IsUsable();
    case Condition::kGraphicsMenuItem:
        return CSettings::GetInt(L"GraphicsSystemMenuItemVisible", 0) != 0;
    default:
        return true;
    }
}

// A command without a state rule and with an action that is always there
// needs no state delegate at all.
bool NeedsStateDelegate(const CCommandRow& row)
{
    if (row.rule != Rule::kNone)
        return true;
    return row.action == Action::kWindow || row.action == Action::kWindowChooser;
}

// Toolbar separators wait for the next button, so that the toolbar never
// shows one first, last or twice in a row.
class CToolbarSeparators
{
public:
    explicit CToolbarSeparators(CToolbarPanel* toolbar) : m_toolbar(toolbar) {}
    void Request()
    {
        if (m_toolbar && !m_toolbar->items.empty())
            m_pending = true;
    }
    void BeforeButton()
    {
        if (m_pending && m_toolbar)
            m_toolbar->AddSeparator();
        m_pending = false;
    }

private:
    CToolbarPanel* m_toolbar;
    bool m_pending = false;
};

CCommandTarget*& CommandTargetSlot()
{
    static CCommandTarget* target = nullptr;
    return target;
}

}  // namespace

CCommandTarget::~CCommandTarget()
{
    if (CommandTargetSlot() == this)
        CommandTargetSlot() = nullptr;
}

CCommandTarget* GetCommandTarget() { return CommandTargetSlot(); }

const std::vector<CCommandRow>& GetCommandRows()
{
    static const std::vector<CCommandRow> rows = MakeRows();
    return rows;
}

const CCommandRow* FindCommandRow(int id)
{
    for (const CCommandRow& row : GetCommandRows())
        if (row.kind == ECommandRowKind::kCommand && id >= row.id && id < row.id + row.count)
            return &row;
    return nullptr;
}

void BuildCommandTable(CCommandTarget& target, CMenu& menuBar, CToolbarPanel* toolbar, CMenu* contextMenu)
{
    TRACE_POINT();
    CommandTargetSlot() = &target;
    const bool webLinks = GetWebAccess().OffersWebLinks();

    CMenu* menu = nullptr;
    CMenu* recentMenu = nullptr;
    CToolbarSeparators toolbarSeparators(toolbar);
    for (const CCommandRow& row : GetCommandRows()) {
        if (!IsRowMade(row))
            continue;
        switch (row.kind) {
        case ECommandRowKind::kMenu:
            menu = AddCommandMenu(&menuBar, row.id, row.secondTextId, CMenu::kSubMenu);
            // The context menu keeps the menus' commands apart as well.
            if (contextMenu)
                contextMenu->AddSeparator();
            break;
        case ECommandRowKind::kRecentMenu:
            recentMenu = AddCommandMenu(menu, row.id, row.secondTextId, CMenu::kSharedSubMenu);
            break;
        case ECommandRowKind::kSeparator:
            if ((row.places & kInMenu) && menu)
                menu->AddSeparator();
            if ((row.places & kInContextMenu) && contextMenu)
                contextMenu->AddSeparator();
            if (row.places & kInToolbar)
                toolbarSeparators.Request();
            break;
        case ECommandRowKind::kCommand: {
            CMenu* first = (row.places & kInRecentMenu) ? recentMenu : (row.places & kInMenu) ? menu : nullptr;
            CMenu* context = (row.places & kInContextMenu) ? contextMenu : nullptr;
            CToolbarPanel* bar = (row.places & kInToolbar) ? toolbar : nullptr;
            if (bar)
                toolbarSeparators.BeforeButton();
            // Without web links the Online menu's commands are there, greyed.
            CCommandRow bound = row;
            if (row.condition == Condition::kWebMenu && !webLinks)
                bound.rule = Rule::kNever;
            for (int id = row.id; id < row.id + row.count; ++id) {
                CDelegate<int> execute(new CExecuteBinding(target, bound));
                CDelegate<CCommand*> updateState;
                if (NeedsStateDelegate(bound))
                    updateState = CDelegate<CCommand*>(new CStateBinding(target, bound));
                RegisterCommand(first, context, bar, id, row.secondTextId, execute, updateState, row.icon,
                                row.acceleratorKind, row.key, uint8_t(row.radio));
            }
            break;
        }
        }
    }
    menuBar.ApplyCaption();
    if (contextMenu)
        contextMenu->ApplyCaption();
}
