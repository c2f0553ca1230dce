#include "ui/Button.h"

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/UIFontMetrics.h"

namespace {

// The room a check box or radio button takes beside its text.
const int kBoxWidth = 18;

// The widest of the standard button captions (OK, Help, Cancel).
int GetStandardCaptionWidth()
{
    static const int width = [] {
        int widest = 0;
        for (int id : {2015, 2014, 2013}) {
            const int w = GetTextWidth(GetString(id));
            if (w > widest)
                widest = w;
        }
        return widest;
    }();
    return width;
}

void SetFixedHeight(CWindow& window, int height)
{
    window.minHeight = height;
    window.preferredHeight = height;
    window.maxHeight = height;
    window.heightStretch = 0;
}

// Calls `visit` for every radio button of a group grid in group order.
template <class Visit>
bool VisitGroup(CGridLayout* grid, Visit visit)
{
    if (!grid)
        return true;
    const size_t columns = grid->columnSpecs.size();
    const size_t rows = grid->rowSpecs.size();
    for (size_t c = 0; c < columns; ++c) {
        for (size_t r = 0; r < rows; ++r) {
            const size_t index = columns * r + c;
            if (index >= grid->cells.size())
                continue;
            CObject* cell = grid->cells[index];
            if (auto* radio = dynamic_cast<CRadioButton*>(cell)) {
                if (!visit(radio))
                    return false;
            } else if (auto* nested = dynamic_cast<CGridLayout*>(cell)) {
                if (!VisitGroup(nested, visit))
                    return false;
            }
        }
    }
    return true;
}

}  // namespace

CPushButton::CPushButton(const std::wstring& text, bool isDefault_) : CCaptionedControl(text), isDefault(isDefault_) {}

void CPushButton::Measure()
{
    const int own = GetTextWidth(caption.text);
    const float average = GetAverageCharWidth();
    const int standard = GetStandardCaptionWidth() + int(8.0f * average);
    const int fitted = own + int(5.0f * average);
    minWidth = own + 10;
    preferredWidth = standard > fitted ? standard : fitted;
    maxWidth = 0;
    widthStretch = 0;
    SetFixedHeight(*this, DluToPixelsY(14));
}

void CPushButton::CreateNativeWindow(CNativeWindow& owner)
{
    TRACE_POINT();
    const DWORD style = WS_GROUP | WS_TABSTOP | (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    HWND window = CreateControl(owner, L"BUTTON", style, 0, caption.GetDisplayText());
    if (!isDefault || !window)
        return;
    if (CDialog* dialog = dynamic_cast<CDialog*>(&owner))
        dialog->defaultButton = window;
    else
        ReportFailure();
}

void CPushButton::OnCommand(int notifyCode, HWND control)
{
    if (notifyCode == BN_CLICKED)
        onClick(this);
}

CCheckBox::CCheckBox(const std::wstring& text, bool checked_) : CCaptionedControl(text), checked(checked_) {}

void CCheckBox::PushCheck()
{
    if (hwnd)
        SendMessageW(hwnd, BM_SETCHECK, indeterminate ? BST_INDETERMINATE : checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CCheckBox::SetChecked(bool check)
{
    checked = check;
    PushCheck();
}

void CCheckBox::SetIndeterminate(bool indeterminateState)
{
    indeterminate = indeterminateState;
    PushCheck();
}

void CCheckBox::SetCaption(const std::wstring& text)
{
    caption.SetText(text);
    PushText(hwnd, caption.GetDisplayText());
}

void CCheckBox::WidenForText(const std::wstring& text) { FitWidthToText(*this, text, kBoxWidth); }

void CCheckBox::SetOnChange(CDelegate<CCheckBox*> handler) { onClick = handler; }

void CCheckBox::Measure()
{
    FitWidthToText(*this, caption.text, kBoxWidth);
    SetFixedHeight(*this, GetLineHeight());
}

void CCheckBox::CreateNativeWindow(CNativeWindow& owner)
{
    if (CreateControl(owner, L"BUTTON", WS_GROUP | WS_TABSTOP | BS_3STATE, 0, caption.GetDisplayText()))
        PushCheck();
}

void CCheckBox::OnCommand(int notifyCode, HWND control)
{
    if (notifyCode != BN_CLICKED)
        return;
    if (indeterminate)
        indeterminate = false;
    else
        checked = !checked;
    PushCheck();
    onClick(this);
}

CRadioButton::CRadioButton(CGridLayout* group_, const std::wstring& text, bool checked_)
    : CCaptionedControl(text), group(group_), checked(checked_)
{
}

CRadioButton* CRadioButton::FindFirstInGroup(CGridLayout* group)
{
    CRadioButton* first = nullptr;
    VisitGroup(group, [&first](CRadioButton* radio) {
        first = radio;
        return false;
    });
    return first;
}

void CRadioButton::SetCheckState(bool check)
{
    checked = check;
    if (hwnd)
        SendMessageW(hwnd, BM_SETCHECK, check ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CRadioButton::Select()
{
    TRACE_POINT();
    if (!group)
        ReportFailure();
    SetCheckState(true);
    VisitGroup(group, [this](CRadioButton* radio) {
        if (radio != this)
            radio->SetCheckState(false);
        return true;
    });
}

void CRadioButton::Measure()
{
    minWidth = GetTextWidth(caption.text) + kBoxWidth;
    preferredWidth = minWidth;
    maxWidth = 0;
    widthStretch = 0;
    SetFixedHeight(*this, GetLineHeight());
}

void CRadioButton::CreateNativeWindow(CNativeWindow& owner)
{
    DWORD style = WS_TABSTOP | BS_RADIOBUTTON;
    if (FindFirstInGroup(group) == this || !group)
        style |= WS_GROUP;
    if (!CreateControl(owner, L"BUTTON", style, 0, caption.GetDisplayText()))
        return;
    if (checked)
        Select();
    else
        SetCheckState(false);
}

void CRadioButton::OnCommand(int notifyCode, HWND control)
{
    if (notifyCode != BN_CLICKED)
        return;
    Select();
    onClick(this);
}
