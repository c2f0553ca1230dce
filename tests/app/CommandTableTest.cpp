#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <set>
#include <utility>

#include "app/Application.h"
#include "app/CommandTable.h"
#include "app/CourseWindow.h"
#include "app/MessageLoop.h"
#include "foundation/CrashLog.h"
#include "foundation/RecentFiles.h"
#include "foundation/Settings.h"
#include "foundation/ShortcutText.h"
#include "foundation/Strings.h"
#include "graphics/ImageCache.h"
#include "graphics/PixelBitmap.h"
#include "tests/app/BrowserFake.h"
#include "tests/support/TestSettings.h"
#include "ui/FrameWindow.h"
#include "ui/Menu.h"
#include "ui/Toolbar.h"

namespace {


// A course window as far as the command table sees one: every fact is a
// field, every action is recorded.
class CFakeTarget : public CCommandTarget
{
public:
    CFakeTarget() : frame(new CFrameWindow(L"Course 1 - Fendrel 4", true)) {}
    ~CFakeTarget() override { delete frame; }

    CFrameWindow& GetCommandFrame() override { return *frame; }
    bool HasCommandAction(int) const override { return actions; }
    void ExecuteCommand(int id) override { executed.push_back(id); }
    void CloseAllWindows() override { ++closeAllCalls; }
    bool HasObjects() const override { return objects; }
    bool HasSelection() const override { return selection; }
    bool CanPaste() const override { return paste; }
    bool GetUndoLabel(std::wstring& label) const override
    {
        label = undoLabel;
        return !undoLabel.empty();
    }
    bool GetRedoLabel(std::wstring& label) const override
    {
        label = redoLabel;
        return !redoLabel.empty();
    }
    bool GetPropertiesName(std::wstring& name) const override
    {
        name = propertiesName;
        return !propertiesName.empty();
    }
    bool Shows3D() const override { return shows3D; }
    bool Uses3DCamera() const override { return uses3DCamera; }
    bool IsOptionOn(int id) const override { return optionsOn.count(id) != 0; }
    bool OffersRuleSetCommand(int id) const override { return ruleSetCommands.count(id) != 0; }

    CFrameWindow* frame;
    bool actions = true;
    bool objects = false;
    bool selection = false;
    bool paste = false;
    std::wstring undoLabel;
    std::wstring redoLabel;
    std::wstring propertiesName;
    bool shows3D = false;
    bool uses3DCamera = false;
    std::set<int> optionsOn;
    std::set<int> ruleSetCommands;
    std::vector<int> executed;
    int closeAllCalls = 0;
};

// One course window's command places, built from the table.
struct CBuiltTable
{
    CFakeTarget target;
    CMenu menuBar{2000, 2000, nullptr, CMenu::kMenuBar};
    CToolbarPanel toolbar;
    CMenu contextMenu{2000, 2000, nullptr, CMenu::kContextMenu};

    CBuiltTable() { BuildCommandTable(target, menuBar, &toolbar, &contextMenu); }
    ~CBuiltTable()
    {
        menuBar.DestroyNative();
        contextMenu.DestroyNative();
    }

    CCommand* Find(int id) { return dynamic_cast<CCommand*>(menuBar.FindById(id)); }
    CMenu* FindMenu(int id) { return dynamic_cast<CMenu*>(menuBar.FindById(id)); }
    void Refresh() { menuBar.UpdateState(); }
};

// The entries of a menu as identifiers, 0 for a separator.
std::vector<int> EntryIds(const CMenu& menu)
{
    std::vector<int> ids;
    for (CMenuItem* item : menu.items)
        ids.push_back(item ? item->GetNode().id : 0);
    return ids;
}

std::vector<int> ToolbarIds(const CToolbarPanel& toolbar)
{
    std::vector<int> ids;
    for (CToolbarItem* item : toolbar.items)
        ids.push_back(item ? item->id : 0);
    return ids;
}

// Builds whatever an earlier test left collected, then drops the table, so
// that the next registration collects a list of its own.
void StartWithoutAcceleratorTable()
{
    if (!GetPendingAccelerators().empty())
        BuildAcceleratorTable();
    FreeAcceleratorTable();
}

std::wstring MenuString(HMENU menu, int id)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, UINT(id), text, 256, MF_BYCOMMAND);
    return text;
}

class CommandTable : public testing::Test
{
protected:
    void SetUp() override
    {
        OpenTestSettingsKey();
        CBrowserFake::Reset();
    }
    void TearDown() override { DeleteTestSettingsKey(); }
};

}  // namespace

TEST_F(CommandTable, EveryCommandHasACaptionAndASecondText)
{
    int commands = 0;
    for (const CCommandRow& row : GetCommandRows()) {
        if (row.kind == ECommandRowKind::kSeparator)
            continue;
        for (int id = row.id; id < row.id + row.count; ++id) {
            SCOPED_TRACE(id);
            EXPECT_FALSE(GetString(id).empty());
            EXPECT_FALSE(GetString(row.secondTextId).empty());
            if (row.kind == ECommandRowKind::kCommand)
                ++commands;
        }
    }
    // 2060 ... 2227, the sixteen recent files and nine window entries included.
    EXPECT_EQ(83, commands);
}

TEST_F(CommandTable, EveryToolbarCommandHasAnIconThatLoads)
{
    std::set<std::wstring> names;
    for (const CCommandRow& row : GetCommandRows()) {
        if (row.kind != ECommandRowKind::kCommand)
            continue;
        SCOPED_TRACE(row.id);
        if (!(row.places & kInToolbar)) {
            EXPECT_EQ(nullptr, row.icon);
            continue;
        }
        ASSERT_NE(nullptr, row.icon);
        EXPECT_TRUE(names.insert(row.icon).second) << "an icon serves one command";
        const CPixelBitmap* icon = CImage::GetCached(row.icon);
        ASSERT_NE(nullptr, icon);
        EXPECT_EQ(16, icon->GetPixelWidth());
        EXPECT_EQ(16, icon->GetPixelHeight());
        // A picture on a see-through ground: some pixels opaque, some clear.
        int opaque = 0;
        int clear = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const uint32_t alpha = icon->GetPixel(x, y) >> 24;
                opaque += alpha == 255;
                clear += alpha == 0;
            }
        EXPECT_GT(opaque, 15);
        EXPECT_GT(clear, 0);
    }
    EXPECT_EQ(19u, names.size());
}

TEST_F(CommandTable, ShortcutsAreUniqueAndKeepTheirTexts)
{
    std::set<std::pair<int, int>> seen;
    std::map<int, std::wstring> texts;
    for (const CCommandRow& row : GetCommandRows()) {
        if (row.kind != ECommandRowKind::kCommand || row.acceleratorKind == kNoAccelerator)
            continue;
        // Registration drops the shortcuts of Save As and Contents.
        if (row.id == 2075 || row.id == 2221)
            continue;
        EXPECT_TRUE(seen.insert({GetAcceleratorFlags(row.acceleratorKind), row.key}).second) << row.id;
        texts[row.id] = GetShortcutText(row.acceleratorKind, row.key);
    }
    EXPECT_EQ(L"Ctrl+N", texts[2060]);
    EXPECT_EQ(L"Ctrl+O", texts[2066]);
    EXPECT_EQ(L"Ctrl+W", texts[2070]);
    EXPECT_EQ(L"Ctrl+S", texts[2073]);
    EXPECT_EQ(L"Ctrl+P", texts[2081]);
    EXPECT_EQ(L"Ctrl+Z", texts[2104]);
    EXPECT_EQ(L"Ctrl+Y", texts[2107]);
    EXPECT_EQ(L"Ctrl+X", texts[2110]);
    EXPECT_EQ(L"Ctrl+C", texts[2112]);
    EXPECT_EQ(L"Ctrl+V", texts[2120]);
    EXPECT_EQ(GetString(2051), texts[2122]);
    EXPECT_EQ(L"Ctrl+A", texts[2124]);
    EXPECT_EQ(L"Ctrl+L", texts[2132]);
    EXPECT_EQ(13u, texts.size());
}

TEST_F(CommandTable, MenusHoldTheCommandsInTableOrder)
{
    CBuiltTable table;
    // Web access is usable here, so the Online menu is made.
    EXPECT_EQ((std::vector<int>{2058, 2102, 2146, 2178, 2196, 2219}), EntryIds(table.menuBar));
    EXPECT_EQ((std::vector<int>{2060, 2062, 2064, 0, 2066, 2068, 0, 2070, 0, 2073, 2075, 2077, 0, 2079, 0, 2081, 0,
                                2083}),
              EntryIds(*table.FindMenu(2058)));
    CMenu* recent = table.FindMenu(2068);
    ASSERT_NE(nullptr, recent);
    EXPECT_EQ(CMenu::kSharedSubMenu, recent->kind);
    ASSERT_EQ(16u, recent->items.size());
    EXPECT_EQ(2085, recent->items.front()->GetNode().id);
    EXPECT_EQ(2100, recent->items.back()->GetNode().id);
    EXPECT_EQ((std::vector<int>{2104, 2107, 0, 2110, 2112, 2114, 2116, 2118, 2120, 2122, 0, 2124, 2126, 0, 2128, 2132,
                                0, 2134, 2136, 2138, 0, 2140, 2142, 2144}),
              EntryIds(*table.FindMenu(2102)));
    EXPECT_EQ((std::vector<int>{2148, 2150, 2152, 0, 2154, 0, 2160, 2166, 2168, 2170, 0, 2164, 2174, 0, 2172, 2176, 0,
                                2156, 2158}),
              EntryIds(*table.FindMenu(2146)));
    EXPECT_EQ((std::vector<int>{2182, 2184, 2186, 2188, 0, 2190, 2192, 2194}), EntryIds(*table.FindMenu(2178)));
    EXPECT_EQ((std::vector<int>{2197, 2199, 0, 2207, 2208, 2209, 2210, 2211, 2212, 2213, 2214, 2215, 2217}),
              EntryIds(*table.FindMenu(2196)));
    // The graphics-system command is made only when the setting asks for it.
    EXPECT_EQ((std::vector<int>{2221, 2223, 0, 2227}), EntryIds(*table.FindMenu(2219)));
    EXPECT_EQ(nullptr, table.menuBar.FindById(2225));

    EXPECT_EQ((std::vector<int>{2060, 2066, 2073, 2077, 0, 2081, 0, 2104, 2107, 0, 2110, 2112, 2120, 2122, 0, 2148,
                                2150, 2152, 0, 2160, 2166, 2168, 2172, 0, 2221}),
              ToolbarIds(table.toolbar));
    EXPECT_EQ((std::vector<int>{2110, 2112, 2114, 2120, 2122, 0, 2128, 2132, 0, 2134, 2136, 2138, 0, 2148, 2150, 2152,
                                0, 2160, 2166, 2168, 2170, 2164, 2172}),
              EntryIds(table.contextMenu));
}

TEST_F(CommandTable, GraphicsSystemCommandOnlyWhenTheSettingAsks)
{
    CSettings::SetInt(L"GraphicsSystemMenuItemVisible", 1);
    CBuiltTable table;
    EXPECT_EQ((std::vector<int>{2221, 2223, 0, 2225, 0, 2227}), EntryIds(*table.FindMenu(2219)));
    // It runs the graphics-system dialog (driven in the program's walk).
    table.Refresh();
    EXPECT_TRUE(table.Find(2225)->enabled);
    EXPECT_TRUE(table.Find(2227)->enabled);
}

TEST_F(CommandTable, SubMenuEntriesShowTheirShortcutTexts)
{
    CBuiltTable table;
    table.menuBar.BuildNative();
    const HMENU file = table.FindMenu(2058)->menuHandle;
    const HMENU edit = table.FindMenu(2102)->menuHandle;
    EXPECT_EQ(GetString(2073) + L"\tCtrl+S", MenuString(file, 2073));
    EXPECT_EQ(GetString(2075), MenuString(file, 2075));
    EXPECT_EQ(GetString(2122) + L"\t" + GetString(2051), MenuString(edit, 2122));
    EXPECT_EQ(GetString(2132) + L"\tCtrl+L", MenuString(edit, 2132));
    // A context menu shows no shortcuts.
    table.contextMenu.BuildNative();
    EXPECT_EQ(GetString(2112), MenuString(table.contextMenu.menuHandle, 2112));
    // The view modes show their ticks as radio marks.
    CCommandMenuItem* map = dynamic_cast<CCommandMenuItem*>(table.Find(2150));
    ASSERT_NE(nullptr, map);
    EXPECT_TRUE(map->radio);
}

TEST_F(CommandTable, RegistrationGivesTheMainCommandsAccessKeyPriority)
{
    CBuiltTable table;
    for (int id : {2060, 2066, 2070, 2073, 2075, 2081, 2104, 2107, 2110, 2112, 2120, 2122, 2221, 2227}) {
        CCommandMenuItem* item = dynamic_cast<CCommandMenuItem*>(table.Find(id));
        ASSERT_NE(nullptr, item) << id;
        EXPECT_EQ(10, item->caption.priority) << id;
    }
    EXPECT_EQ(0, dynamic_cast<CCommandMenuItem*>(table.Find(2077))->caption.priority);
    EXPECT_FALSE(dynamic_cast<CCommandMenuItem*>(table.Find(2094))->caption.autoKey);
    EXPECT_TRUE(dynamic_cast<CCommandMenuItem*>(table.Find(2093))->caption.autoKey);
    EXPECT_EQ(0, table.Find(2075)->shortcutKind);
    EXPECT_EQ(0, table.Find(2221)->shortcutKind);
}

TEST_F(CommandTable, AcceleratorTableIsBuiltFromTheRegisteredCommands)
{
    StartWithoutAcceleratorTable();
    CBuiltTable table;
    const std::vector<ACCEL> expected = {
        {9, 'N', 2060}, {9, 'O', 2066}, {9, 'W', 2070}, {9, 'S', 2073}, {9, 'P', 2081}, {9, 'Z', 2104},
        {9, 'Y', 2107}, {9, 'X', 2110}, {9, 'C', 2112}, {9, 'V', 2120}, {1, VK_DELETE, 2122}, {9, 'A', 2124},
        {9, 'L', 2132},
    };
    const std::vector<ACCEL>& pending = GetPendingAccelerators();
    ASSERT_EQ(expected.size(), pending.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].fVirt, pending[i].fVirt) << i;
        EXPECT_EQ(expected[i].key, pending[i].key) << i;
        EXPECT_EQ(expected[i].cmd, pending[i].cmd) << i;
    }

    BuildAcceleratorTable();
    ASSERT_NE(nullptr, GetAcceleratorTable());
    EXPECT_TRUE(GetPendingAccelerators().empty());
    ACCEL built[64];
    const int count = CopyAcceleratorTableW(GetAcceleratorTable(), built, 64);
    ASSERT_EQ(int(expected.size()) + 8, count);
    std::set<std::pair<int, int>> keys;
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(keys.insert({built[i].fVirt & ~0x80, built[i].key}).second) << i;
    EXPECT_EQ(2060, built[0].cmd);
    EXPECT_EQ(2104, built[13].cmd);
    EXPECT_EQ(VK_BACK, built[13].key);

    // A second course window registers the same commands and adds nothing.
    CBuiltTable second;
    EXPECT_TRUE(GetPendingAccelerators().empty());
    EXPECT_NE(nullptr, second.Find(2060));
    FreeAcceleratorTable();
}

TEST_F(CommandTable, CommandsWithoutAnActionStayDisabled)
{
    CBuiltTable table;
    table.target.actions = false;
    table.Refresh();
    for (int id : {2070, 2073, 2112, 2134})
        EXPECT_FALSE(table.Find(id)->enabled) << id;
    table.target.actions = true;
    table.Refresh();
    for (int id : {2070, 2073, 2112, 2134})
        EXPECT_TRUE(table.Find(id)->enabled) << id;
    // The window runs its own commands.
    table.Find(2073)->Execute();
    EXPECT_EQ(std::vector<int>{2073}, table.target.executed);
}

TEST_F(CommandTable, SelectionObjectsAndClipboardRules)
{
    CBuiltTable table;
    table.Refresh();
    for (int id : {2110, 2122, 2132, 2124, 2126, 2140, 2142, 2144, 2120})
        EXPECT_FALSE(table.Find(id)->enabled) << id;
    table.target.selection = true;
    table.target.objects = true;
    table.target.paste = true;
    table.Refresh();
    for (int id : {2110, 2122, 2132, 2124, 2126, 2140, 2142, 2144, 2120})
        EXPECT_TRUE(table.Find(id)->enabled) << id;
    // The toolbar buttons follow the same rules.
    table.toolbar.UpdateItems();
    EXPECT_TRUE(table.toolbar.FindItem(2110)->enabled);
}

TEST_F(CommandTable, UndoRedoAndPropertiesNameTheirSubject)
{
    CBuiltTable table;
    table.Refresh();
    EXPECT_FALSE(table.Find(2104)->enabled);
    EXPECT_EQ(GetString(2104), table.Find(2104)->GetText());
    EXPECT_EQ(GetString(2128), table.Find(2128)->GetText());
    EXPECT_FALSE(table.Find(2128)->enabled);

    table.target.undoLabel = L"Cut";
    table.target.redoLabel = L"Flip Left to Right";
    table.target.propertiesName = L"Tunnel";
    table.Refresh();
    EXPECT_TRUE(table.Find(2104)->enabled);
    EXPECT_EQ(GetStringWithArg(2105, L"Cut"), table.Find(2104)->GetText());
    EXPECT_EQ(GetStringWithArg(2108, L"Flip Left to Right"), table.Find(2107)->GetText());
    EXPECT_EQ(GetStringWithArg(2131, L"Tunnel"), table.Find(2128)->GetText());
    EXPECT_TRUE(table.Find(2128)->enabled);

    table.target.undoLabel.clear();
    table.Refresh();
    EXPECT_EQ(GetString(2104), table.Find(2104)->GetText());
}

TEST_F(CommandTable, ViewModesAndOptionsAreTicked)
{
    CBuiltTable table;
    table.target.shows3D = true;
    table.target.uses3DCamera = true;
    table.target.optionsOn = {2160, 2170};
    table.Refresh();
    EXPECT_TRUE(table.Find(2148)->checked);
    EXPECT_FALSE(table.Find(2150)->checked);
    EXPECT_FALSE(table.Find(2152)->checked);
    EXPECT_TRUE(table.Find(2148)->enabled);
    EXPECT_TRUE(table.Find(2154)->enabled);
    EXPECT_TRUE(table.Find(2160)->checked);
    EXPECT_FALSE(table.Find(2166)->checked);
    EXPECT_TRUE(table.Find(2170)->checked);
    EXPECT_TRUE(table.Find(2170)->enabled);

    // The map without the 3D camera; no 3D system here, so the 3D modes wait.
    table.target.shows3D = false;
    table.target.uses3DCamera = false;
    table.Refresh();
    EXPECT_TRUE(table.Find(2150)->checked);
    EXPECT_FALSE(table.Find(2148)->checked);
    EXPECT_EQ(CanShowAnother3DView(), table.Find(2148)->enabled);
    EXPECT_FALSE(table.Find(2154)->enabled);
    // Grass is shown only in 3D.
    EXPECT_FALSE(table.Find(2170)->checked);
    EXPECT_FALSE(table.Find(2170)->enabled);

    table.target.uses3DCamera = true;
    table.Refresh();
    EXPECT_TRUE(table.Find(2152)->checked);
    EXPECT_TRUE(table.Find(2152)->enabled);
}

TEST_F(CommandTable, RuleSetCommandsFollowTheCourse)
{
    CBuiltTable table;
    table.Refresh();
    EXPECT_FALSE(table.Find(2164)->visible);
    EXPECT_FALSE(table.Find(2190)->enabled);
    table.target.ruleSetCommands = {2164, 2192};
    table.Refresh();
    EXPECT_TRUE(table.Find(2164)->visible);
    EXPECT_FALSE(table.Find(2190)->enabled);
    EXPECT_TRUE(table.Find(2192)->enabled);
}

TEST_F(CommandTable, TemplateAndWindowRoom)
{
    CBuiltTable table;
    table.Refresh();
    EXPECT_TRUE(table.Find(2060)->enabled);
    EXPECT_TRUE(table.Find(2064)->enabled);
    EXPECT_FALSE(table.Find(2062)->enabled);
    CSettings::SetString(L"Template", "Begin\r\nEnd\r\n");
    table.Refresh();
    EXPECT_TRUE(table.Find(2062)->enabled);
}

TEST_F(CommandTable, RecentFilesShowTheListAndHideTheRest)
{
    CBuiltTable table;
    CRecentFiles& recent = GetRecentFiles();
    const std::deque<std::wstring> kept = recent.GetPaths();
    recent.SetMaximum(16);
    recent.Add(L"C:\\Courses\\R&D.agl");
    recent.Add(L"C:\\Courses\\Standard.agl");
    table.Refresh();
    EXPECT_TRUE(table.Find(2085)->visible);
    EXPECT_TRUE(table.Find(2086)->visible);
    EXPECT_FALSE(table.Find(2087)->visible);
    EXPECT_FALSE(table.Find(2100)->visible);
    EXPECT_EQ(recent.GetLabels()[0], table.Find(2085)->GetText());
    // An "&" of a path is shown, not taken as an access key.
    EXPECT_EQ(L"2 C:\\Courses\\R&&D.agl", table.Find(2086)->GetText());
    recent.Remove(L"C:\\Courses\\R&D.agl");
    recent.Remove(L"C:\\Courses\\Standard.agl");
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        recent.Add(*it);
}

TEST_F(CommandTable, WindowMenuListsTheFrameWindows)
{
    CBuiltTable table;
    table.Refresh();
    EXPECT_TRUE(table.Find(2207)->visible);
    EXPECT_EQ(L"Course 1 - Fendrel 4", table.Find(2207)->GetText());
    EXPECT_FALSE(table.Find(2208)->visible);
    EXPECT_FALSE(table.Find(2217)->visible);
    // The status-bar and toolbar options are ticked from the frame.
    EXPECT_EQ(table.target.frame->statusBarShown, table.Find(2156)->checked);
    EXPECT_EQ(table.target.frame->toolbarShown, table.Find(2158)->checked);
    const bool shown = table.target.frame->statusBarShown;
    table.Find(2156)->Execute();
    table.Refresh();
    EXPECT_NE(shown, table.target.frame->statusBarShown);
    EXPECT_NE(shown, table.Find(2156)->checked);
    table.Find(2156)->Execute();
}

TEST_F(CommandTable, StaticHandlersRun)
{
    CBuiltTable table;
    table.Find(2083)->Execute();
    EXPECT_EQ(1, table.target.closeAllCalls);
    EXPECT_EQ(&table.target, GetCommandTarget());

    table.Find(2184)->Execute();
    table.Find(2188)->Execute();
    EXPECT_EQ((std::vector<std::wstring>{L"https://www.norvane.com/", L"https://www.norvane.com/contact"}),
              CBrowserFake::GetOpened());
    // The web links and About have no state rule: they stay enabled.
    table.target.actions = false;
    table.Refresh();
    EXPECT_TRUE(table.Find(2182)->enabled);
    EXPECT_TRUE(table.Find(2227)->enabled);
    EXPECT_TRUE(table.Find(2083)->enabled);
}

TEST_F(CommandTable, TheTargetIsForgottenWithItsWindow)
{
    {
        CBuiltTable table;
        EXPECT_EQ(&table.target, GetCommandTarget());
    }
    EXPECT_EQ(nullptr, GetCommandTarget());
}
