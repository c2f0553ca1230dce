#pragma once

#include "foundation/Delegate.h"
#include "foundation/Timer.h"
#include "graphics/FormattedText.h"
#include "ui/Menu.h"
#include "ui/Panel.h"
#include "ui/Scene.h"
#include "ui/TextCaret.h"

class CScrollView;

// The window in which the user edits a formatted text: a panel whose scene
// shows the document and, while the panel has the focus and nothing is
// selected, a blinking caret. Keys, characters, clicks, drags and a context
// menu become document operations; after each change the caret is kept in
// view inside the enclosing scroll view and the change listener is told.
//
// This one class of the formatted text is a window, so it lives in its own
// library above the window framework (see CMakeLists.txt).
//
//     CFormattedTextView view(&text);
//     CScrollView scroller(&view);
//     view.scrollView = &scroller;
//     view.onChange = CMemberDelegate<CFormattedTextView*, CMyDlg>::Make(this, &CMyDlg::OnTextChanged);
class CFormattedTextView : public CPanel
{
public:
    // The document is not owned. Draws through GDI alone unless the setting
    // "FmtTextSimpleScene" is 0.
    explicit CFormattedTextView(CFormattedText* document);
    ~CFormattedTextView() override;

    // Commits the document's changes, gives the scroll view the document's
    // size, updates the caret and scrolls it into view (with half its height
    // to spare on every side), tells the change listener when notify is set,
    // and repaints.
    void Refresh(bool notify);

    // The document's size in pixels, rounded up, at least 10 each way.
    void Measure() override;
    void SetDirty() override;
    // The text cursor while the panel has the focus (and no right button is
    // held), else the arrow.
    CCursors* GetCursorAt(const CMouseEvent& event) override;
    // Every key but + and -.
    bool WantsAllKeys(int key) override;
    void OnKeyDown(int key, bool control, bool shift) override;
    // Ctrl+C, X, V, Z and Y.
    void OnControlLetter(int virtualKey) override;
    void OnChar(wchar_t ch) override;
    void OnSetFocus() override;
    void OnKillFocus() override;
    void OnShown() override;
    // A press in the focused panel places the caret and starts a drag that
    // extends the selection.
    void OnMouseDown(const CMouseEvent& event) override;
    void OnMouseMove(const CMouseEvent& event) override;
    void OnMouseUp(const CMouseEvent& event) override;
    // Places the caret when nothing is selected, then opens the menu.
    void OnRightClick(const CMouseEvent& event) override;

    CFormattedText* document;
    // Set, the user may move the caret, select and copy, but typing, deleting,
    // cutting, pasting, undo and redo leave the document alone.
    bool readOnly = false;
    bool dragging = false;
    CMenu menu;
    CScene ownScene;
    CTextCaret caret;
    CTimer blinkTimer;
    // The scroll view around the panel, if any; its owner sets it.
    CScrollView* scrollView = nullptr;
    CDelegate<CFormattedTextView*> onChange;
    CDelegate<CFormattedTextView*> onFocus;

private:
    // One entry of the context menu: its text id, its shortcut as the menu
    // shows it, whether a separator goes before it, when it is enabled and
    // what it does. Every action ends with Refresh(true).
    struct CMenuEntry
    {
        int id;
        int shortcutKind;
        int shortcutKey;
        bool separatorBefore;
        bool (CFormattedTextView::*enabled)() const;
        void (CFormattedTextView::*run)();
    };
    static const CMenuEntry s_menuEntries[];
    static const CMenuEntry* FindMenuEntry(int id);

    bool HasSelection() const;
    bool CanChangeSelection() const;
    bool CanUndo() const;
    bool CanRedo() const;
    bool CanPaste() const;
    void Undo();
    void Redo();
    void Cut();
    void CopySelection();
    void PasteClipboard();
    void DeleteSelected();
    void OnMenuCommand(int id);
    void OnUpdateMenuCommand(CCommand* command);

    // The navigation keys; false when the caret could not move.
    bool MoveCaret(int key, bool control, bool shift);
    void MoveToLineEnd(bool shift);
    void UpdateCaret();
    void OnBlink(CTimer* timer);
    // The document position under a mouse event.
    int HitTest(const CMouseEvent& event, bool& atLineEnd);
};
