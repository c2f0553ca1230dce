#pragma once

#include <windows.h>

#include <deque>
#include <string>

#include "ui/Caption.h"
#include "ui/Command.h"

class CMenu;

// An entry of a menu: a command entry or a sub-menu. Separators are null
// entries of the menu's list.
class CMenuItem
{
public:
    CMenuItem() = default;
    virtual ~CMenuItem();
    CMenuItem(const CMenuItem&) = delete;
    CMenuItem& operator=(const CMenuItem&) = delete;

    // Writes the caption into the native menu.
    virtual void ApplyCaption() = 0;
    // Takes the caption text from the node.
    virtual void UpdateCaption() = 0;

    // The identified node this entry is (every entry is one).
    virtual CIdNode& GetNode() = 0;
    virtual CMenu* GetParentMenu() const = 0;
    // The entry as a sub-menu, or null for a command entry.
    virtual CMenu* AsSubMenu() { return nullptr; }

    CCaption caption;
};

// A menu entry that is also a command. Changes of the command's state are
// pushed into the parent's native menu while it exists.
class CCommandMenuItem : public CMenuItem, public CCommand
{
public:
    // shortcutKind and shortcutKey: see CCommand. radio: the entry shows its
    // check as a radio mark. A null parent is reported.
    CCommandMenuItem(Id id, Id helpTextId, CMenu* parentMenu, int shortcutKind, int shortcutKey, bool radio);

    void ApplyCaption() override;
    void UpdateCaption() override;
    CIdNode& GetNode() override { return *this; }
    CMenu* GetParentMenu() const override { return parentMenu; }

    void OnTextChanged() override;
    void OnCheckedChanged() override;
    void OnEnabledChanged() override;
    void OnVisibleChanged() override;

    // MF_CHECKED, MF_GRAYED and MFT_RADIOCHECK from the state; also stored
    // in menuFlags.
    UINT ComputeFlags();
    // The caption's display text; in a sub-menu followed by a tab and the
    // shortcut text. Refreshes the caption from the command first.
    std::wstring GetEntryText();

    CMenu* parentMenu;
    bool radio;
    UINT menuFlags = 0;
};

// A menu bar, context menu or sub-menu: a tree of entries that exists
// without any native menu. The native menu is built from it on demand and
// every later state change is pushed into it.
//
//     CMenu* file = new CMenu(2058, 2059, &menuBar, 1);
//     menuBar.AddItem(file);
//     file->AddItem(new CCommandMenuItem(2073, 2074, file, 1, 'S', false));
class CMenu : public CMenuItem, public CIdNode
{
public:
    enum Kind
    {
        kMenuBar = 0,
        kSubMenu = 1,
        kContextMenu = 2,
        // A sub-menu whose native handle its parent destroys.
        kSharedSubMenu = 3,
    };

    // Kinds 0 and 2 are roots (no parent), kinds 1 and 3 need one; anything
    // else is reported.
    CMenu(Id id, Id helpTextId, CMenu* parentMenu, int kind);
    // Deletes the entries, sub-menus included.
    ~CMenu() override;

    // Refreshes every entry (commands run their state delegates, sub-menus
    // recurse). A sub-menu counts as enabled while one of its entries is
    // visible and enabled; a change greys or enables its own entry.
    void UpdateState() override;
    CIdNode* FindById(Id wanted) override;

    void UpdateCaption() override;
    // Caption refresh: every entry's caption from its node, access keys
    // assigned over the menu, every entry rewritten, then this menu's own
    // entry in its parent.
    void ApplyCaption() override;
    CIdNode& GetNode() override { return *this; }
    CMenu* GetParentMenu() const override { return parentMenu; }
    CMenu* AsSubMenu() override { return this; }

    // Takes ownership; the item's parent must be this menu. A pending
    // separator goes in first. No native entry is made here.
    void AddItem(CMenuItem* item);
    // Asks for a separator before the next item; a menu never starts or
    // ends with one and never shows two in a row.
    void AddSeparator();
    // The item's place among the entries, separators included; -1 when absent.
    int IndexOf(const CMenuItem* item) const;
    // The item's place in the native menu: entries before it that are there
    // (separators, sub-menus, visible commands); -1 when it is no entry.
    int NativeIndexOf(const CMenuItem* item) const;
    // This menu or the sub-menu (depth first) whose native handle it is.
    CMenu* FindMenuByHandle(HMENU handle);

    // Builds the native menu (sub-menus first) and returns its handle.
    HMENU BuildNative();
    // Destroys the native menu; a kind-3 menu only forgets its handle.
    void DestroyNative();

    // MF_POPUP, and MF_GRAYED while disabled; also stored in menuFlags.
    UINT ComputeFlags();

    CMenu* parentMenu;
    std::deque<CMenuItem*> items;
    int kind;
    bool separatorPending = false;
    std::deque<CCaption*> captions;
    HMENU menuHandle = nullptr;
    // The window that shows this menu bar (for DrawMenuBar).
    HWND ownerWindow = nullptr;
    UINT menuFlags = 0;
};

// Sets a caption from a command or menu text. A text may carry its access
// key as "&" before a character ("&File", "Save A&ll"); that key is the
// caption's own, and no automatic key is added beside it. A caption that
// allows no key shows the text without the marker.
void SetCaptionFromText(CCaption& caption, const std::wstring& text);
