#pragma once

#include "foundation/Delegate.h"
#include "ui/Toolbar.h"

class CSpecList;

// The button bar of object kinds beside a course view. Choosing a kind makes
// it the current tool, and the next press in the view places an object of it;
// the place-multiple lock keeps the tool after each placement. Only the kinds
// the rule set admits are shown (a kind whose type is not registered is not
// admitted), each captioned with the organisation's own word.
//
// A shape button's command id is the text id of its kind's name; the tooltip
// is the next text id.
class CShapeToolbar : public CToolbarPanel
{
public:
    static constexpr int kNoTool = 2000;
    static constexpr int kLockId = 2560;

    // The buttons, with the rule set of organisation 0 and no tool.
    CShapeToolbar();

    // The name text id of the chosen kind; kNoTool in select mode.
    int GetCurrentTool() const { return m_currentTool; }
    const CSpecList& GetSpecList() const { return *m_specList; }

    // A shape button: the chosen kind again clears the tool (and the lock);
    // another kind replaces it (a tool chosen before is cleared first, the
    // lock with it); a kind chosen in select mode keeps the lock. The
    // listener is told in every case.
    void OnButton(int id);
    // Unchecks the lock and the current kind and returns to select mode; the
    // listener is not told.
    void SelectNone();
    // A checked lock clears the tool and tells the listener; an unchecked one
    // becomes checked.
    void OnLockButton(int id);
    bool IsLocked() const;
    // Select mode, then the rule set's kinds and words.
    void SetSpecList(const CSpecList& specList);
    // State of a shape button: shown with the rule set's word when the rule
    // set admits its kind, hidden otherwise.
    void UpdateButton(CCommand* command);

    // Told with the toolbar whenever a button changed the tool.
    CDelegate<CShapeToolbar*> onToolChanged;

    // In toolbar order.
    static const int kShapeIds[];
    static const int kShapeCount;

private:
    const CSpecList* m_specList;
    int m_currentTool = kNoTool;
    CToolbarItem* m_lockButton = nullptr;
};
