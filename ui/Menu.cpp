#include "ui/Menu.h"

#include "foundation/CrashLog.h"

namespace {

constexpr UINT kRadioCheck = 0x200;   // MFT_RADIOCHECK

void TraceMenuCallFailure()
{
    TRACE_VALUE(int32_t, int32_t(GetLastError()));
}

bool IsDigitChar(wchar_t c) { return c >= L'0' && c <= L'9'; }

}  // namespace

void SetCaptionFromText(CCaption& caption, const std::wstring& text)
{
    // "&&" stands for an "&" of the text; the first single "&" marks the key.
    std::wstring plain;
    int markerAt = -1;
    wchar_t marked = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != L'&' && markerAt < 0) {
                markerAt = int(plain.size());
                marked = text[i];
            }
        }
        plain += text[i];
    }
    wchar_t key = FoldAccessKeyChar(marked);
    if (!key && IsDigitChar(marked))
        key = marked;
    if (markerAt < 0 || !key) {
        caption.SetText(text);
        return;
    }
    caption.text = plain;
    if (!caption.autoKey) {
        caption.key = 0;
        caption.keyPosition = -1;
        caption.displayText.clear();
        return;
    }
    caption.key = key;
    caption.keyPosition = markerAt;
    caption.displayText = text;
}

CMenuItem::~CMenuItem() = default;

// ---- Command entries ---------------------------------------------------------

CCommandMenuItem::CCommandMenuItem(Id id_, Id helpTextId_, CMenu* parentMenu_, int shortcutKind_,
                                   int shortcutKey_, bool radio_)
    : CCommand(id_, helpTextId_, shortcutKind_, shortcutKey_), parentMenu(parentMenu_), radio(radio_)
{
    TRACE_VALUE(int32_t, id_);
    if (!parentMenu)
        ReportFailure();
    ComputeFlags();
}

void CCommandMenuItem::ApplyCaption() { OnTextChanged(); }

void CCommandMenuItem::UpdateCaption() { SetCaptionFromText(caption, GetText()); }

UINT CCommandMenuItem::ComputeFlags()
{
    UINT flags = MF_STRING;
    if (checked)
        flags |= MF_CHECKED;
    if (!enabled)
        flags |= MF_GRAYED;
    if (radio)
        flags |= kRadioCheck;
    menuFlags = flags;
    return flags;
}

std::wstring CCommandMenuItem::GetEntryText()
{
    UpdateCaption();
    std::wstring text = caption.GetDisplayText();
    // A menu bar and a context menu show no shortcuts.
    const bool subMenu = parentMenu && (parentMenu->kind == CMenu::kSubMenu || parentMenu->kind == CMenu::kSharedSubMenu);
    if (subMenu && shortcutKind != 0)
        text += L"\t" + GetShortcutText();
    return text;
}

void CCommandMenuItem::OnTextChanged()
{
    if (!parentMenu || !parentMenu->menuHandle || !visible)
        return;
    const UINT flags = ComputeFlags();
    const std::wstring text = GetEntryText();
    if (!ModifyMenuW(parentMenu->menuHandle, UINT(id), MF_BYCOMMAND | flags, UINT_PTR(id), text.c_str()))
        TraceMenuCallFailure();
}

void CCommandMenuItem::OnCheckedChanged()
{
    ComputeFlags();
    if (!parentMenu || !parentMenu->menuHandle || !visible)
        return;
    CheckMenuItem(parentMenu->menuHandle, UINT(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void CCommandMenuItem::OnEnabledChanged()
{
    ComputeFlags();
    if (!parentMenu || !parentMenu->menuHandle || !visible)
        return;
    EnableMenuItem(parentMenu->menuHandle, UINT(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void CCommandMenuItem::OnVisibleChanged()
{
    if (!parentMenu || !parentMenu->menuHandle)
        return;
    const HMENU menu = parentMenu->menuHandle;
    bool present = false;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && !present; ++i)
        present = GetMenuItemID(menu, i) == UINT(id);

    if (visible && !present) {
        // Hidden commands before this one have no native entry: the place
        // counts only the entries that are there.
        const int position = parentMenu->NativeIndexOf(this);
        if (position < 0) {
            TRACE_VALUE(int32_t, id);
            ReportFailure();
            return;
        }
        const UINT flags = ComputeFlags();
        const std::wstring text = GetEntryText();
        if (!InsertMenuW(menu, UINT(position), MF_BYPOSITION | flags, UINT_PTR(id), text.c_str()))
            TraceMenuCallFailure();
    } else if (!visible && present) {
        if (!RemoveMenu(menu, UINT(id), MF_BYCOMMAND))
            TraceMenuCallFailure();
    }
}

// ---- Menus -------------------------------------------------------------------

CMenu::CMenu(Id id_, Id helpTextId_, CMenu* parentMenu_, int kind_)
    : CIdNode(id_, helpTextId_), parentMenu(parentMenu_), kind(kind_)
{
    TRACE_VALUE(int32_t, id_);
    TRACE_VALUE(int32_t, kind_);
    const bool root = kind == kMenuBar || kind == kContextMenu;
    const bool sub = kind == kSubMenu || kind == kSharedSubMenu;
    if ((root && parentMenu) || (sub && !parentMenu) || (!root && !sub))
        ReportFailure();
    ComputeFlags();
}

CMenu::~CMenu()
{
    for (CMenuItem* item : items)
        delete item;
}

UINT CMenu::ComputeFlags()
{
    menuFlags = MF_POPUP | (enabled ? 0 : MF_GRAYED);
    return menuFlags;
}

void CMenu::AddItem(CMenuItem* item)
{
    if (!item) {
        ReportFailure();
        return;
    }
    TRACE_VALUE(int32_t, item->GetNode().id);
    if (item->GetParentMenu() != this) {
        // The item now belongs here; its native changes follow it.
        TRACE_VALUE(const void*, item->GetParentMenu());
        ReportFailure();
        if (CMenu* sub = item->AsSubMenu())
            sub->parentMenu = this;
        else
            static_cast<CCommandMenuItem*>(item)->parentMenu = this;
    }
    if (separatorPending) {
        items.push_back(nullptr);
        separatorPending = false;
    }
    items.push_back(item);
    captions.push_back(&item->caption);
    if (CMenu* sub = item->AsSubMenu())
        sub->ComputeFlags();
    else
        static_cast<CCommandMenuItem*>(item)->ComputeFlags();
}

void CMenu::AddSeparator()
{
    if (!items.empty() && items.back() != nullptr)
        separatorPending = true;
}

int CMenu::IndexOf(const CMenuItem* item) const
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i] == item)
            return int(i);
    return -1;
}

int CMenu::NativeIndexOf(const CMenuItem* item) const
{
    if (!item)
        return -1;
    int position = 0;
    for (CMenuItem* entry : items) {
        if (entry == item)
            return position;
        if (!entry || entry->AsSubMenu() || static_cast<CCommandMenuItem*>(entry)->visible)
            ++position;
    }
    return -1;
}

CIdNode* CMenu::FindById(Id wanted)
{
    if (wanted == id)
        return this;
    for (CMenuItem* item : items) {
        if (!item)
            continue;
        if (CIdNode* found = item->GetNode().FindById(wanted))
            return found;
    }
    return nullptr;
}

CMenu* CMenu::FindMenuByHandle(HMENU handle)
{
    if (!handle)
        return nullptr;
    if (handle == menuHandle)
        return this;
    for (CMenuItem* item : items) {
        if (!item)
            continue;
        if (CMenu* sub = item->AsSubMenu())
            if (CMenu* found = sub->FindMenuByHandle(handle))
                return found;
    }
    return nullptr;
}

HMENU CMenu::BuildNative()
{
    TRACE_VALUE(int32_t, id);
    if (menuHandle)
        return menuHandle;
    if (kind == kMenuBar)
        menuHandle = CreateMenu();
    else if (kind == kSubMenu || kind == kContextMenu || kind == kSharedSubMenu)
        menuHandle = CreatePopupMenu();
    else
        TRACE_VALUE(int32_t, kind);

    if (menuHandle) {
        for (CMenuItem* item : items) {
            BOOL appended = TRUE;
            if (!item) {
                appended = AppendMenuW(menuHandle, MF_SEPARATOR, 0, nullptr);
            } else if (CMenu* sub = item->AsSubMenu()) {
                const HMENU subHandle = sub->BuildNative();
                appended = AppendMenuW(menuHandle, sub->ComputeFlags(), UINT_PTR(subHandle), sub->GetText().c_str());
            } else {
                CCommandMenuItem* command = static_cast<CCommandMenuItem*>(item);
                if (!command->visible)
                    continue;
                const UINT flags = command->ComputeFlags();
                appended = AppendMenuW(menuHandle, flags, UINT_PTR(command->id), command->GetEntryText().c_str());
            }
            if (!appended)
                TraceMenuCallFailure();
        }
    }
    if (!menuHandle)
        ReportFailure();
    return menuHandle;
}

void CMenu::DestroyNative()
{
    for (CMenuItem* item : items)
        if (item)
            if (CMenu* sub = item->AsSubMenu())
                sub->DestroyNative();
    if (menuHandle && kind != kSharedSubMenu)
        DestroyMenu(menuHandle);
    menuHandle = nullptr;
}

void CMenu::UpdateState()
{
    bool anyEnabled = false;
    for (CMenuItem* item : items) {
        if (!item)
            continue;
        CIdNode& node = item->GetNode();
        node.UpdateState();
        if (node.visible && node.enabled)
            anyEnabled = true;
    }
    if (anyEnabled == enabled)
        return;
    enabled = anyEnabled;
    ComputeFlags();
    if (!parentMenu)
        return;
    if (parentMenu->menuHandle && menuHandle)
        EnableMenuItem(parentMenu->menuHandle, UINT(UINT_PTR(menuHandle)),
                       MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    if (parentMenu->kind == kMenuBar && parentMenu->ownerWindow)
        DrawMenuBar(parentMenu->ownerWindow);
}

void CMenu::UpdateCaption() { SetCaptionFromText(caption, GetText()); }

void CMenu::ApplyCaption()
{
    for (CMenuItem* item : items)
        if (item)
            item->UpdateCaption();
    AssignAccessKeys(captions);
    for (CMenuItem* item : items)
        if (item)
            item->ApplyCaption();
    if (!parentMenu || !parentMenu->menuHandle || !menuHandle)
        return;
    const UINT flags = ComputeFlags();
    if (!ModifyMenuW(parentMenu->menuHandle, UINT(UINT_PTR(menuHandle)), MF_BYCOMMAND | flags, UINT_PTR(menuHandle),
                     caption.GetDisplayText().c_str()))
        TraceMenuCallFailure();
}
