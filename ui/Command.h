#pragma once

#include <memory>
#include <string>

#include "foundation/Delegate.h"

// An identified node of the command and menu tree. Its identifier is a text
// identifier: the same number names its caption text and, in the
// application, the undo step its command makes.
class CIdNode
{
public:
    using Id = int;

    CIdNode(Id id, Id helpTextId);
    virtual ~CIdNode();
    CIdNode(const CIdNode&) = delete;
    CIdNode& operator=(const CIdNode&) = delete;

    // Recomputes the node's state (commands ask their state delegate; menus
    // refresh their entries).
    virtual void UpdateState() = 0;
    // This node when it carries the identifier, else null; menus search
    // their entries.
    virtual CIdNode* FindById(Id wanted);

    // The custom text when one is set, else the text of the identifier.
    std::wstring GetText() const;

    Id id;
    // A caption that replaces the text of the identifier; null when none.
    std::unique_ptr<std::wstring> customText;
    // The text the status bar shows while the entry is highlighted in a menu.
    Id helpTextId;
    bool enabled = true;
    bool visible = true;
};

// A user command: what a menu entry, a toolbar button and a keyboard
// shortcut all stand for. Its state is pulled: the state delegate sets it
// through the setters below, and only a real change reaches the command's
// native face (menu entry, toolbar button) through the change operations.
//
//     command.onExecute = CMemberDelegate<int, CMyWindow>::Make(this, &CMyWindow::OnSave);
//     command.onUpdateState = CMemberDelegate<CCommand*, CMyWindow>::Make(this, &CMyWindow::UpdateSave);
class CCommand : public CIdNode
{
public:
    // shortcutKind: 0 none; 1 to 6 the modifier pattern of GetShortcutText
    // (foundation/ShortcutText.h) with its key.
    CCommand(Id id, Id helpTextId, int shortcutKind, int shortcutKey);
    ~CCommand() override;

    // Invokes the state delegate with this command.
    void UpdateState() override;
    // Each pushes one change to the native face; called only on a change.
    virtual void OnTextChanged() = 0;
    virtual void OnCheckedChanged() = 0;
    virtual void OnEnabledChanged() = 0;
    virtual void OnVisibleChanged() = 0;

    // Records the caption as the command being run (for the crash log), then
    // invokes the execute delegate with the identifier.
    void Execute();

    void SetEnabled(bool value);
    void SetVisible(bool value);
    void SetChecked(bool value);
    // A text that differs from the caption shown now becomes the custom text.
    void SetText(const std::wstring& text);

    // The display text of the keyboard shortcut ("Ctrl+S"); empty when the
    // command has none.
    std::wstring GetShortcutText() const;

    int shortcutKind;
    uint16_t shortcutKey;
    bool checked = false;
    CDelegate<int> onExecute;
    CDelegate<CCommand*> onUpdateState;
};

// The caption of the command run last (or being run), kept for the crash log.
const std::wstring& GetLastCommandCaption();
void SetLastCommandCaption(const std::wstring& caption);
