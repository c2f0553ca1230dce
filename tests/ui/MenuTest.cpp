#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/ShortcutText.h"
#include "foundation/Strings.h"
#include "tests/support/FailureReports.h"
#include "ui/Menu.h"

namespace {

// A menu entry that counts the changes pushed to its native entry.
class CCountingItem : public CCommandMenuItem
{
public:
    CCountingItem(Id id, CMenu* parent, int shortcutKind = 0, int shortcutKey = 0, bool radio = false)
        : CCommandMenuItem(id, id + 1, parent, shortcutKind, shortcutKey, radio)
    {
    }

    void OnEnabledChanged() override
    {
        ++enabledChanges;
        CCommandMenuItem::OnEnabledChanged();
    }

    int enabledChanges = 0;
};

CCountingItem* AddCommand(CMenu& menu, int id, int shortcutKind = 0, int shortcutKey = 0, bool radio = false)
{
    CCountingItem* item = new CCountingItem(id, &menu, shortcutKind, shortcutKey, radio);
    menu.AddItem(item);
    return item;
}

std::wstring NativeText(HMENU menu, int position)
{
    wchar_t text[200] = {};
    GetMenuStringW(menu, UINT(position), text, 200, MF_BYPOSITION);
    return text;
}

UINT NativeState(HMENU menu, int position) { return GetMenuState(menu, UINT(position), MF_BYPOSITION); }

UINT NativeType(HMENU menu, int position)
{
    MENUITEMINFOW info = {sizeof info};
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, UINT(position), TRUE, &info);
    return info.fType;
}

std::vector<UINT> NativeIds(HMENU menu)
{
    std::vector<UINT> ids;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        ids.push_back(GetMenuItemID(menu, i));
    return ids;
}

struct CStateRule
{
    bool enable = true;
    void Apply(CCommand* command) { command->SetEnabled(enable); }
};

}  // namespace

TEST(Menu, KindsAndParentsAreChecked)
{
    const int before = ReportCount();
    CMenu bar(2000, 2000, nullptr, CMenu::kMenuBar);
    CMenu context(2000, 2000, nullptr, CMenu::kContextMenu);
    CMenu sub(2058, 2059, &bar, CMenu::kSubMenu);
    EXPECT_EQ(before, ReportCount());

    CMenu orphan(2058, 2059, nullptr, CMenu::kSubMenu);
    EXPECT_EQ(before + 1, ReportCount());
    CMenu rootWithParent(2000, 2000, &bar, CMenu::kContextMenu);
    EXPECT_EQ(before + 2, ReportCount());
    CMenu strange(2000, 2000, nullptr, 7);
    EXPECT_EQ(before + 3, ReportCount());
    EXPECT_EQ(nullptr, strange.BuildNative());
    EXPECT_EQ(before + 4, ReportCount());
    CCommandMenuItem homeless(2073, 2074, nullptr, 0, 0, false);
    EXPECT_EQ(before + 5, ReportCount());
}

TEST(Menu, SeparatorsOnlyBetweenItems)
{
    CMenu menu(2058, 2059, nullptr, CMenu::kContextMenu);
    menu.AddSeparator();
    CCountingItem* a = AddCommand(menu, 2060);
    menu.AddSeparator();
    menu.AddSeparator();
    CCountingItem* b = AddCommand(menu, 2062);
    menu.AddSeparator();
    EXPECT_EQ((std::deque<CMenuItem*>{a, nullptr, b}), menu.items);
    EXPECT_EQ((std::deque<CCaption*>{&a->caption, &b->caption}), menu.captions);
    EXPECT_EQ(2, menu.IndexOf(b));
    CCountingItem stray(2064, &menu);
    EXPECT_EQ(-1, menu.IndexOf(&stray));
    EXPECT_EQ(-1, menu.NativeIndexOf(&stray));

    const HMENU native = menu.BuildNative();
    ASSERT_NE(nullptr, native);
    ASSERT_EQ(3, GetMenuItemCount(native));
    EXPECT_TRUE(NativeState(native, 1) & MF_SEPARATOR);
    EXPECT_FALSE(NativeState(native, 2) & MF_SEPARATOR);
    menu.DestroyNative();
    EXPECT_EQ(nullptr, menu.menuHandle);
    EXPECT_FALSE(IsMenu(native));
}

TEST(Menu, NativeEntriesShowStateAndShortcutsOnlyInSubMenus)
{
    CMenu bar(2000, 2000, nullptr, CMenu::kMenuBar);
    CMenu* file = new CMenu(2058, 2059, &bar, CMenu::kSubMenu);
    bar.AddItem(file);
    CCountingItem* exitCommand = AddCommand(bar, 2083, 1, 'Q');
    CCountingItem* newCommand = AddCommand(*file, 2060, 1, 'N');
    CCountingItem* fromTemplate = AddCommand(*file, 2062);
    file->AddSeparator();
    CCountingItem* save = AddCommand(*file, 2073, 1, 'S');
    CCountingItem* saveAs = AddCommand(*file, 2075, 0, 0, true);
    fromTemplate->SetVisible(false);
    save->SetChecked(true);
    saveAs->SetChecked(true);
    saveAs->SetEnabled(false);

    const HMENU native = bar.BuildNative();
    ASSERT_NE(nullptr, native);
    ASSERT_EQ(2, GetMenuItemCount(native));
    EXPECT_TRUE(NativeState(native, 0) & MF_POPUP);
    EXPECT_EQ(GetString(2058), NativeText(native, 0));
    // A menu-bar entry never shows its shortcut.
    EXPECT_EQ(GetString(2083), NativeText(native, 1));
    EXPECT_EQ(UINT(2083), GetMenuItemID(native, 1));

    const HMENU fileMenu = GetSubMenu(native, 0);
    ASSERT_EQ(file->menuHandle, fileMenu);
    EXPECT_EQ((std::vector<UINT>{2060, 0, 2073, 2075}), NativeIds(fileMenu));   // 0: the separator
    EXPECT_EQ(GetString(2060) + L"\t" + GetShortcutText(1, 'N'), NativeText(fileMenu, 0));
    EXPECT_EQ(GetString(2075), NativeText(fileMenu, 3));
    EXPECT_TRUE(NativeState(fileMenu, 2) & MF_CHECKED);
    EXPECT_FALSE(NativeType(fileMenu, 2) & MFT_RADIOCHECK);
    EXPECT_TRUE(NativeState(fileMenu, 3) & MF_CHECKED);
    EXPECT_TRUE(NativeState(fileMenu, 3) & MF_GRAYED);
    EXPECT_TRUE(NativeType(fileMenu, 3) & MFT_RADIOCHECK);

    // Later changes reach the native entries.
    newCommand->SetEnabled(false);
    EXPECT_TRUE(NativeState(fileMenu, 0) & MF_GRAYED);
    save->SetChecked(false);
    EXPECT_FALSE(NativeState(fileMenu, 2) & MF_CHECKED);
    save->SetText(L"Keep");
    EXPECT_EQ(L"Keep\t" + GetShortcutText(1, 'S'), NativeText(fileMenu, 2));
    exitCommand->SetText(L"Quit");
    EXPECT_EQ(L"Quit", NativeText(native, 1));

    // The same value again makes no change call at all.
    const int changes = newCommand->enabledChanges;
    newCommand->SetEnabled(false);
    EXPECT_EQ(changes, newCommand->enabledChanges);

    EXPECT_EQ(file, bar.FindMenuByHandle(fileMenu));
    EXPECT_EQ(&bar, bar.FindMenuByHandle(native));
    EXPECT_EQ(nullptr, bar.FindMenuByHandle(nullptr));
    EXPECT_EQ(save, bar.FindById(2073));
    EXPECT_EQ(file, bar.FindById(2058));
    EXPECT_EQ(nullptr, bar.FindById(2999));
    bar.DestroyNative();
}

TEST(Menu, ShowingAHiddenCommandPutsItBackInItsPlace)
{
    CMenu menu(2000, 2000, nullptr, CMenu::kContextMenu);
    CCountingItem* a = AddCommand(menu, 2110);
    CCountingItem* b = AddCommand(menu, 2112);
    CCountingItem* c = AddCommand(menu, 2114);
    CCountingItem* d = AddCommand(menu, 2116);
    a->SetVisible(false);
    c->SetVisible(false);
    const HMENU native = menu.BuildNative();
    EXPECT_EQ((std::vector<UINT>{2112, 2116}), NativeIds(native));

    // Entries before it that are hidden have no native place: C goes
    // between B and D, not after D.
    c->SetVisible(true);
    EXPECT_EQ((std::vector<UINT>{2112, 2114, 2116}), NativeIds(native));
    a->SetVisible(true);
    EXPECT_EQ((std::vector<UINT>{2110, 2112, 2114, 2116}), NativeIds(native));
    EXPECT_EQ(GetString(2110), NativeText(native, 0));
    b->SetVisible(false);
    d->SetVisible(false);
    EXPECT_EQ((std::vector<UINT>{2110, 2114}), NativeIds(native));
    menu.DestroyNative();
}

TEST(Menu, AnEntryOutsideItsMenuIsReportedAndNotInserted)
{
    CMenu menu(2000, 2000, nullptr, CMenu::kContextMenu);
    AddCommand(menu, 2110);
    const HMENU native = menu.BuildNative();
    // Names the menu as parent but was never added to it.
    CCountingItem stray(2112, &menu);
    stray.SetVisible(false);
    EXPECT_EQ(1, CountReports([&] { stray.SetVisible(true); }));
    EXPECT_EQ((std::vector<UINT>{2110}), NativeIds(native));
    menu.DestroyNative();
}

TEST(Menu, AnItemOfAnotherMenuIsAdoptedWithAReport)
{
    CMenu first(2000, 2000, nullptr, CMenu::kContextMenu);
    CMenu second(2000, 2000, nullptr, CMenu::kContextMenu);
    CCountingItem* item = new CCountingItem(2110, &first);
    const int before = ReportCount();
    second.AddItem(item);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(&second, item->parentMenu);
    EXPECT_EQ(0, second.IndexOf(item));
    second.AddItem(nullptr);
    EXPECT_EQ(before + 2, ReportCount());
    EXPECT_EQ(1u, second.items.size());
}

TEST(Menu, SubMenuWithoutEnabledVisibleCommandsIsGreyed)
{
    CMenu bar(2000, 2000, nullptr, CMenu::kMenuBar);
    CMenu* edit = new CMenu(2102, 2103, &bar, CMenu::kSubMenu);
    bar.AddItem(edit);
    CMenu* empty = new CMenu(2146, 2147, &bar, CMenu::kSubMenu);
    bar.AddItem(empty);
    CStateRule cutRule;
    CStateRule copyRule;
    CCountingItem* cut = AddCommand(*edit, 2110);
    CCountingItem* copy = AddCommand(*edit, 2112);
    CCountingItem* hidden = AddCommand(*edit, 2114);
    cut->onUpdateState = CMemberDelegate<CCommand*, CStateRule>::Make(&cutRule, &CStateRule::Apply);
    copy->onUpdateState = CMemberDelegate<CCommand*, CStateRule>::Make(&copyRule, &CStateRule::Apply);
    hidden->SetVisible(false);
    const HMENU native = bar.BuildNative();

    bar.UpdateState();
    EXPECT_TRUE(edit->enabled);
    EXPECT_FALSE(empty->enabled);   // a menu without entries
    EXPECT_FALSE(NativeState(native, 0) & MF_GRAYED);
    EXPECT_TRUE(NativeState(native, 1) & MF_GRAYED);

    // The hidden command is enabled, but it does not count.
    cutRule.enable = false;
    copyRule.enable = false;
    bar.UpdateState();
    EXPECT_FALSE(edit->enabled);
    EXPECT_TRUE(NativeState(native, 0) & MF_GRAYED);
    EXPECT_TRUE(NativeState(edit->menuHandle, 0) & MF_GRAYED);

    copyRule.enable = true;
    bar.UpdateState();
    EXPECT_TRUE(edit->enabled);
    EXPECT_FALSE(NativeState(native, 0) & MF_GRAYED);
    EXPECT_TRUE(bar.enabled);
    bar.DestroyNative();
}

TEST(Menu, CaptionRefreshAssignsAccessKeysAndKeepsMarkedOnes)
{
    CMenu bar(2000, 2000, nullptr, CMenu::kMenuBar);
    CMenu* edit = new CMenu(2102, 2103, &bar, CMenu::kSubMenu);
    bar.AddItem(edit);
    CCountingItem* copy = AddCommand(*edit, 2112, 1, 'C');
    CCountingItem* pasteSpecial = AddCommand(*edit, 2116);
    CCountingItem* paste = AddCommand(*edit, 2118);
    pasteSpecial->SetText(L"Paste Special");
    paste->SetText(L"Paste");
    const HMENU native = bar.BuildNative();
    bar.ApplyCaption();

    // "&Copy" keeps its own key; the others get keys of their own.
    EXPECT_EQ(L'C', copy->caption.key);
    EXPECT_EQ(GetString(2112), copy->caption.GetDisplayText());
    EXPECT_NE(0, pasteSpecial->caption.key);
    EXPECT_NE(0, paste->caption.key);
    EXPECT_NE(paste->caption.key, pasteSpecial->caption.key);
    EXPECT_NE(L'C', paste->caption.key);
    EXPECT_EQ(copy->caption.GetDisplayText() + L"\t" + GetShortcutText(1, 'C'), NativeText(edit->menuHandle, 0));
    EXPECT_EQ(paste->caption.GetDisplayText(), NativeText(edit->menuHandle, 2));
    EXPECT_NE(std::wstring::npos, NativeText(edit->menuHandle, 2).find(L'&'));
    EXPECT_EQ(GetString(2102), NativeText(native, 0));
    EXPECT_TRUE(NativeState(native, 0) & MF_POPUP);
    bar.DestroyNative();
}

TEST(Menu, CaptionsTakeTheMarkerOfTheirText)
{
    CCaption file;
    SetCaptionFromText(file, L"&File");
    EXPECT_EQ(L"File", file.text);
    EXPECT_EQ(L'F', file.key);
    EXPECT_EQ(0, file.keyPosition);
    EXPECT_EQ(L"&File", file.GetDisplayText());

    CCaption saveAll;
    SetCaptionFromText(saveAll, L"Save A&ll");
    EXPECT_EQ(L"Save All", saveAll.text);
    EXPECT_EQ(L'L', saveAll.key);
    EXPECT_EQ(6, saveAll.keyPosition);

    CCaption both;
    SetCaptionFromText(both, L"Tom && Jerry");
    EXPECT_EQ(0, both.key);
    EXPECT_EQ(L"Tom && Jerry", both.GetDisplayText());

    CCaption noKey;
    noKey.SetAutoMnemonic(false);
    SetCaptionFromText(noKey, L"C&olors...");
    EXPECT_EQ(0, noKey.key);
    EXPECT_EQ(L"Colors...", noKey.GetDisplayText());
}

TEST(Menu, ContextMenuShowsNoShortcutAndItsHandleGoes)
{
    CMenu context(2000, 2000, nullptr, CMenu::kContextMenu);
    CMenu* recent = new CMenu(2068, 2069, &context, CMenu::kSharedSubMenu);
    context.AddItem(recent);
    AddCommand(context, 2112, 1, 'C');
    AddCommand(*recent, 2085);
    const HMENU native = context.BuildNative();
    EXPECT_EQ(GetString(2112), NativeText(native, 1));
    const HMENU shared = recent->menuHandle;
    ASSERT_NE(nullptr, shared);
    context.DestroyNative();
    EXPECT_EQ(nullptr, recent->menuHandle);
    EXPECT_EQ(nullptr, context.menuHandle);
    EXPECT_FALSE(IsMenu(native));
    EXPECT_FALSE(IsMenu(shared));
}
