#include "ui/Command.h"

#include "foundation/CrashLog.h"
#include "foundation/ShortcutText.h"
#include "foundation/Strings.h"

namespace {

// Set before a command runs; its trace value puts it into a crash log.
std::wstring& LastCommandCaption()
{
    static std::wstring caption;
    return caption;
}

}  // namespace

CIdNode::CIdNode(Id id_, Id helpTextId_) : id(id_), helpTextId(helpTextId_) {}

CIdNode::~CIdNode() = default;

CIdNode* CIdNode::FindById(Id wanted) { return wanted == id ? this : nullptr; }

std::wstring CIdNode::GetText() const { return customText ? *customText : GetString(id); }

CCommand::CCommand(Id id_, Id helpTextId_, int shortcutKind_, int shortcutKey_)
    : CIdNode(id_, helpTextId_), shortcutKind(shortcutKind_), shortcutKey(uint16_t(shortcutKey_))
{
}

CCommand::~CCommand() = default;

void CCommand::UpdateState() { onUpdateState(this); }

void CCommand::Execute()
{
    TRACE_VALUE(int32_t, id);
    SetLastCommandCaption(GetText());
    onExecute(id);
}

void CCommand::SetEnabled(bool value)
{
    if (value == enabled)
        return;
    enabled = value;
    OnEnabledChanged();
}

void CCommand::SetVisible(bool value)
{
    if (value == visible)
        return;
    visible = value;
    OnVisibleChanged();
}

void CCommand::SetChecked(bool value)
{
    if (value == checked)
        return;
    checked = value;
    OnCheckedChanged();
}

void CCommand::SetText(const std::wstring& text)
{
    if (text == GetText())
        return;
    if (customText)
        *customText = text;
    else
        customText = std::make_unique<std::wstring>(text);
    OnTextChanged();
}

std::wstring CCommand::GetShortcutText() const
{
    if (shortcutKind == 0)
        return std::wstring();
    return ::GetShortcutText(shortcutKind, shortcutKey);
}

const std::wstring& GetLastCommandCaption() { return LastCommandCaption(); }

void SetLastCommandCaption(const std::wstring& caption)
{
    LastCommandCaption() = caption;
    TRACE_VALUE(std::wstring, caption);
}
