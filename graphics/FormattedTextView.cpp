#include "graphics/FormattedTextView.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"
#include "ui/Command.h"
#include "ui/Cursors.h"
#include "ui/ScrollView.h"

namespace {

const int32_t kBlinkMilliseconds = 500;
// Menu shortcut kinds: Ctrl with a letter; a special key alone.
const int kCtrlLetter = 1;
const int kSpecialKey = 3;
const int kDeleteKey = 8;

}  // namespace

const CFormattedTextView::CMenuEntry CFormattedTextView::s_menuEntries[] = {
    {2028, kCtrlLetter, 'Z', false, &CFormattedTextView::CanUndo, &CFormattedTextView::Undo},
    {2029, kCtrlLetter, 'Y', false, &CFormattedTextView::CanRedo, &CFormattedTextView::Redo},
    {2030, kCtrlLetter, 'X', true, &CFormattedTextView::CanChangeSelection, &CFormattedTextView::Cut},
    {2031, kCtrlLetter, 'C', false, &CFormattedTextView::HasSelection, &CFormattedTextView::CopySelection},
    {2032, kCtrlLetter, 'V', false, &CFormattedTextView::CanPaste, &CFormattedTextView::PasteClipboard},
    {2033, kSpecialKey, kDeleteKey, false, &CFormattedTextView::CanChangeSelection,
     &CFormattedTextView::DeleteSelected},
};

CFormattedTextView::CFormattedTextView(CFormattedText* document_)
    : CPanel(CSettings::GetInt(L"FmtTextSimpleScene", 1) != 0, true), document(document_),
      menu(2000, 2000, nullptr, CMenu::kContextMenu), ownScene(true, 2)
{
    TRACE_POINT();
    takesFocus = true;
    for (const CMenuEntry& entry : s_menuEntries) {
        if (entry.separatorBefore)
            menu.AddSeparator();
        auto* item = new CCommandMenuItem(entry.id, 2000, &menu, entry.shortcutKind, entry.shortcutKey, false);
        item->onExecute = CMemberDelegate<int, CFormattedTextView>::Make(this, &CFormattedTextView::OnMenuCommand);
        item->onUpdateState =
            CMemberDelegate<CCommand*, CFormattedTextView>::Make(this, &CFormattedTextView::OnUpdateMenuCommand);
        menu.AddItem(item);
    }
    ownScene.items[0] = document;
    SetScene(&ownScene);
    blinkTimer.interval = kBlinkMilliseconds;
    blinkTimer.repeat = true;
    blinkTimer.SetOnTimer(CMemberDelegate<CTimer*, CFormattedTextView>::Make(this, &CFormattedTextView::OnBlink));
    Refresh(false);
}

// The panel base must not see the scene after this object's part is gone.
CFormattedTextView::~CFormattedTextView() { scene = nullptr; }

void CFormattedTextView::Refresh(bool notify)
{
    document->CommitChanges();
    if (scrollView)
        scrollView->SetExtent(CRectF(0.0f, 0.0f, document->GetWidth(), document->GetHeight()));
    UpdateCaret();
    if (scrollView) {
        CRectF view = document->GetCaretRect();
        const float margin = view.Height() / 2.0f;
        scrollView->EnsureVisible(CRectF(view.left - margin, view.top - margin, view.right + margin,
                                         view.bottom + margin));
    }
    if (notify)
        onChange(this);
    Invalidate();
}

void CFormattedTextView::UpdateCaret()
{
    const bool shown = visible && hwnd != nullptr;
    if (hasFocus && shown && document->GetSelectionStart() == document->GetSelectionEnd()) {
        // One pixel wide: the caret rectangle itself has no width.
        const float pixel = ownScene.transform.GetScale();
        const CRectF rect = document->GetCaretRect();
        caret.SetRect(CRectF(rect.left, rect.top, rect.left + pixel, rect.bottom));
        ownScene.items[1] = &caret;
        blinkTimer.Start(true);
    } else {
        ownScene.items[1] = nullptr;
        blinkTimer.Stop();
    }
    Invalidate();
}

void CFormattedTextView::OnBlink(CTimer* timer)
{
    caret.Blink();
    Invalidate();
}

// ---- Panel slots ----------------------------------------------------------------------

void CFormattedTextView::Measure()
{
    const CPoint2 size = ownScene.transform.InverseTransformVector2D(document->GetWidth(), document->GetHeight());
    minWidth = preferredWidth = std::max(10, int(std::ceil(std::fabs(size.x))));
    minHeight = preferredHeight = std::max(10, int(std::ceil(std::fabs(size.y))));
    maxWidth = maxHeight = 0;
    widthStretch = heightStretch = 1;
}

void CFormattedTextView::SetDirty()
{
    blinkTimer.Stop();
    CPanel::SetDirty();
}

CCursors* CFormattedTextView::GetCursorAt(const CMouseEvent& event)
{
    if (hasFocus && !event.right)
        return &CCursors::GetIBeam();
    return &CCursors::GetArrow();
}

bool CFormattedTextView::WantsAllKeys(int key) { return key != kPanelKeyPlus && key != kPanelKeyMinus; }

void CFormattedTextView::OnSetFocus()
{
    onFocus(this);
    UpdateCaret();
}

void CFormattedTextView::OnKillFocus() { UpdateCaret(); }

void CFormattedTextView::OnShown() { UpdateCaret(); }

// ---- Keys ---------------------------------------------------------------------------------

void CFormattedTextView::OnChar(wchar_t ch)
{
    if (readOnly)
        return;
    document->TypeChar(ch);
    Refresh(true);
}

void CFormattedTextView::OnControlLetter(int virtualKey)
{
    TRACE_VALUE(int32_t, virtualKey);
    for (const CMenuEntry& entry : s_menuEntries) {
        if (entry.shortcutKind == kCtrlLetter && entry.shortcutKey == virtualKey && (this->*entry.enabled)())
            OnMenuCommand(entry.id);
    }
}

void CFormattedTextView::OnKeyDown(int key, bool control, bool shift)
{
    TRACE_VALUE(int32_t, key);
    CFormattedText& text = *document;
    const int length = text.GetLength();
    const int start = text.GetSelectionStart();
    const int end = text.GetSelectionEnd();
    const bool towardStart = key == kPanelKeyUp || key == kPanelKeyLeft || key == kPanelKeyHome;
    const bool towardEnd = key == kPanelKeyDown || key == kPanelKeyRight || key == kPanelKeyEnd;
    if (start != end && !shift && (towardStart || towardEnd)) {
        text.SetCaret(towardStart ? start : std::min(end, length - 1), false, false);
        Refresh(true);
        return;
    }
    const bool edits = key == kPanelKeyEnter || key == kPanelKeyTab || key == kPanelKeyDelete ||
                       key == kPanelKeyBackspace;
    if (readOnly && edits)
        return;
    bool done = true;
    switch (key) {
    case kPanelKeyControl:
    case kPanelKeyShift:
    case kPanelKeyPlus:
    case kPanelKeyMinus:
        break;
    case kPanelKeyEnter:
        text.TypeChar(FmtText::kParagraphMark);
        break;
    case kPanelKeyTab:
        text.TypeChar(FmtText::kTab);
        break;
    case kPanelKeyDelete:
        if (control) {
            text.SetCaret(start, false, false);
            text.MoveWordRight(true);
        } else if (start == end) {
            text.SetSelection(start, start + 1, true);
        }
        text.DeleteSelection();
        break;
    case kPanelKeyBackspace:
        if (control) {
            text.SetCaret(start, false, false);
            text.MoveWordLeft(true);
        } else if (start == end && start > 0) {
            text.SetSelection(start - 1, start, false);
        }
        text.DeleteSelection();
        break;
    default:
        done = MoveCaret(key, control, shift);
        break;
    }
    if (!done)
        CTextCaret::Beep();
    Refresh(true);
}

bool CFormattedTextView::MoveCaret(int key, bool control, bool shift)
{
    CFormattedText& text = *document;
    const int length = text.GetLength();
    const int caret = text.GetCaret();
    switch (key) {
    case kPanelKeyUp:
        return control ? text.MoveParagraphUp(shift) : text.MoveLineUp(shift);
    case kPanelKeyDown:
        return control ? text.MoveParagraphDown(shift) : text.MoveLineDown(shift);
    case kPanelKeyLeft:
        if (control)
            return text.MoveWordLeft(shift);
        if (caret - 1 < 0)
            return false;
        text.SetCaret(caret - 1, false, shift);
        return true;
    case kPanelKeyRight:
        if (control)
            return text.MoveWordRight(shift);
        if (caret + 1 > (shift ? length : length - 1))
            return false;
        text.SetCaret(caret + 1, false, shift);
        return true;
    case kPanelKeyHome:
        if (control) {
            text.SetCaret(0, false, shift);
        } else {
            bool atLineEnd = false;
            text.SetCaret(text.HitTest(0.0f, text.GetCaretRect().top, atLineEnd), false, shift);
        }
        return true;
    case kPanelKeyEnd:
        if (control)
            text.SetCaret(shift ? length : length - 1, false, shift);
        else
            MoveToLineEnd(shift);
        return true;
    default:
        return false;
    }
}

void CFormattedTextView::MoveToLineEnd(bool shift)
{
    CFormattedText& text = *document;
    const int caret = text.GetCaret();
    bool atLineEnd = false;
    int pos = text.HitTest(0.0f, text.GetCaretRect().bottom, atLineEnd);
    if (pos <= caret)
        pos = text.GetLength();
    if (!shift && pos > 0 && text.GetCharAt(pos - 1) == FmtText::kParagraphMark)
        --pos;
    // The caret shows at the end of the line it ends; a position at a
    // paragraph start ends no line above it.
    const bool endsLine = pos > 0 && pos < text.GetLength() && text.GetCharAt(pos - 1) != FmtText::kParagraphMark;
    text.SetCaret(pos, endsLine, shift);
}

// ---- Mouse -------------------------------------------------------------------------------

int CFormattedTextView::HitTest(const CMouseEvent& event, bool& atLineEnd)
{
    return document->HitTest(event.groundPoint.x, event.groundPoint.y, atLineEnd);
}

void CFormattedTextView::OnMouseDown(const CMouseEvent& event)
{
    dragging = hasFocus;
    if (!hasFocus)
        return;
    bool atLineEnd = false;
    const int pos = HitTest(event, atLineEnd);
    document->SetCaret(pos, atLineEnd, false);
    Refresh(true);
}

void CFormattedTextView::OnMouseMove(const CMouseEvent& event)
{
    if (!event.left || !dragging)
        return;
    bool atLineEnd = false;
    const int pos = HitTest(event, atLineEnd);
    document->SetCaret(pos, atLineEnd, true);
    Refresh(true);
}

void CFormattedTextView::OnMouseUp(const CMouseEvent& event) { dragging = false; }

void CFormattedTextView::OnRightClick(const CMouseEvent& event)
{
    if (!HasSelection()) {
        bool atLineEnd = false;
        const int pos = HitTest(event, atLineEnd);
        document->SetCaret(pos, atLineEnd, false);
        Refresh(true);
    }
    ShowContextMenu(menu);
}

// ---- Menu commands ------------------------------------------------------------------------

const CFormattedTextView::CMenuEntry* CFormattedTextView::FindMenuEntry(int id)
{
    for (const CMenuEntry& entry : s_menuEntries) {
        if (entry.id == id)
            return &entry;
    }
    return nullptr;
}

void CFormattedTextView::OnMenuCommand(int id)
{
    TRACE_VALUE(int32_t, id);
    const CMenuEntry* entry = FindMenuEntry(id);
    if (!entry) {
        ReportFailure();
        return;
    }
    (this->*entry->run)();
    Refresh(true);
}

void CFormattedTextView::OnUpdateMenuCommand(CCommand* command)
{
    const CMenuEntry* entry = FindMenuEntry(command->id);
    command->SetEnabled(entry && (this->*entry->enabled)());
}

bool CFormattedTextView::HasSelection() const { return document->GetSelectionStart() != document->GetSelectionEnd(); }
bool CFormattedTextView::CanChangeSelection() const { return !readOnly && HasSelection(); }
bool CFormattedTextView::CanUndo() const { return !readOnly && document->CanUndo(); }
bool CFormattedTextView::CanRedo() const { return !readOnly && document->CanRedo(); }
bool CFormattedTextView::CanPaste() const { return !readOnly && CFormattedText::CanPaste(); }
void CFormattedTextView::Undo() { document->SwapChangeRecord(false); }
void CFormattedTextView::Redo() { document->SwapChangeRecord(true); }

void CFormattedTextView::Cut()
{
    document->Copy();
    document->DeleteSelection();
}

void CFormattedTextView::CopySelection() { document->Copy(); }
void CFormattedTextView::PasteClipboard() { document->Paste(); }
void CFormattedTextView::DeleteSelected() { document->DeleteSelection(); }
