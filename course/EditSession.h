#pragma once

#include <memory>

class CCourse;
class CObjectType;
class CPartColorSet;

// A properties dialog as the course sees it: the edited objects are merged
// into it, and once confirmed the course applies it (ApplyPropertiesDialog)
// to the selection or to the objects placed next. The dialogs of dialogs/
// implement it; the course window runs them.
class CEditSession
{
public:
    virtual ~CEditSession() = default;

    // Counts one more edited object and merges its type and colours.
    virtual void AddEditedObject(const CObjectType* type, int dialogVariant, const CPartColorSet& colors) = 0;
    // Runs the dialog modally; confirming it applies it to the course,
    // cancelling it lets the course release it. True when confirmed.
    virtual bool DoModal() = 0;
    // Whether a confirmed dialog of the placing tool stays with the course
    // for the objects placed next (true), or places one object at once.
    virtual bool StaysForFurtherObjects() const = 0;
    // Set while the dialog waits to be confirmed for the placing tool.
    virtual void SetPending(bool on) = 0;
    virtual const CPartColorSet& GetEditedColors() const = 0;
    // Called once the course has applied the dialog to the edited objects,
    // before it records the undo step: what the dialog changed about the
    // course while the objects took its values is settled here, so that the
    // step holds it.
    virtual void OnApplied() {}
};

// Makes the dialog of a kind for the course; name text id as given to
// CObjectType::CreatePropertiesDialog.
using CEditSessionMaker = std::unique_ptr<CEditSession> (*)(CCourse* course, const CObjectType& type,
                                                            int nameTextId);

// The dialogs by type id, filled at start-up (dialogs/PropertiesDialogs.h);
// the default maker serves every type without one of its own. A null maker
// takes a type's own away.
void RegisterEditSessionMaker(int typeId, CEditSessionMaker maker);
void SetDefaultEditSessionMaker(CEditSessionMaker maker);
// None when neither the type nor the default has a maker.
std::unique_ptr<CEditSession> MakeEditSession(CCourse* course, const CObjectType& type, int nameTextId);
