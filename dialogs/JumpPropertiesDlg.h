#pragma once

#include <vector>

#include "dialogs/ObjectPropertiesDlg.h"
#include "dialogs/PropertyPanel.h"

class CCourse;
class CJumpType;

// The properties dialog of every jump kind. Besides the colours it holds the
// jump type chosen for the edited jumps (none while they differ) and one
// property panel per binding kind, of which the chosen type's is current.
// It is titled by the jump group (text 2631).
class CJumpPropertiesDlg : public CObjectPropertiesDlg
{
public:
    // Offers the jump kinds the course's organisation allows; with a type,
    // the dialog shows it (SetJumpType).
    CJumpPropertiesDlg(CCourse* course, const CJumpType* type);

    // Called for each edited jump while the dialog is filled, and when the
    // user picks a type. The first jump (or a pick) makes the type the
    // chosen one and its binding kind's panel current; a later jump of
    // another type leaves no type chosen, and of another binding kind shows
    // the options group. Until a panel has merged two jumps it takes the
    // type's stored defaults. A type not offered yet joins the offered
    // list at its end. No type is reported.
    void SetJumpType(const CJumpType* type);
    // The type the edited jumps become; none while mixed.
    const CJumpType* GetChosenType() const { return m_chosenType; }
    // The user went back to the empty type entry: no type is chosen, and
    // the panels hold what was merged from the edited jumps again.
    void RevertToMerged();
    // The kinds the user may choose, in the order they are offered: those
    // the organisation allows, then the edited jumps' own kinds it doesn't.
    const std::vector<const CJumpType*>& GetOfferedTypes() const { return m_offeredTypes; }

    // The wings option of the wings panel.
    void SetWinged(bool winged) { m_wings.SetWinged(winged); }
    bool IsWinged() const { return m_wings.IsWinged(); }

    // Set once filling is over: SetJumpType then counts a user's pick. The
    // panels' merged values are kept for RevertToMerged.
    void MarkFilled();
    bool IsFilled() const { return m_filled; }

    CPropertyPanel& GetCurrentPanel() const { return *m_currentPanel; }
    CWingsGroup& GetWingsGroup() { return m_wings; }
    const CWingsGroup& GetWingsGroup() const { return m_wings; }
    CAscendingPanel& GetAscendingPanel() { return m_ascending; }
    const CAscendingPanel& GetAscendingPanel() const { return m_ascending; }
    CTireJumpPanel& GetTireJumpPanel() { return m_tire; }
    const CTireJumpPanel& GetTireJumpPanel() const { return m_tire; }
    CJumpOptionsGroup& GetOptionsGroup() { return m_options; }

    // The group text id the dialog is titled by.
    static constexpr int kJumpGroupTextId = 2631;

private:
    // The panel of a binding kind; another kind is reported and gives none.
    CPropertyPanel* PanelOfKind(int kind);
    void Offer(const CJumpType* type);

    std::vector<const CJumpType*> m_offeredTypes;
    const CJumpType* m_chosenType = nullptr;
    bool m_filled = false;
    CWingsGroup m_wings;
    CAscendingPanel m_ascending;
    CTireJumpPanel m_tire;
    CJumpOptionsGroup m_options;
    CPropertyPanel* m_currentPanel = &m_options;
    CWingsGroup m_mergedWings;
    CAscendingPanel m_mergedAscending;
    CTireJumpPanel m_mergedTire;
    CPropertyPanel* m_mergedPanel = &m_options;
};
