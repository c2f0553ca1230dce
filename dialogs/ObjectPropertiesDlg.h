#pragma once

#include <string>

#include "course/EditSession.h"
#include "course/PartColors.h"

class CCourse;
class CObjectType;

// A check box's state; mixed when the edited objects differ.
enum class ECheckState
{
    kClear,
    kSet,
    kMixed,
};

// The properties dialog of object kinds without a dialog of their own, and
// the base of every kind's dialog. It collects the edited objects' types and
// part colours; the first object's colours are the ones edited.
class CObjectPropertiesDlg : public CEditSession
{
public:
    CObjectPropertiesDlg(CCourse* course, int nameTextId);
    CObjectPropertiesDlg(const CObjectPropertiesDlg&) = delete;
    CObjectPropertiesDlg& operator=(const CObjectPropertiesDlg&) = delete;

    void AddEditedObject(const CObjectType* type, int dialogVariant, const CPartColorSet& colors) override;
    // This form shows no window and counts as confirmed at once
    // (CCourse::ApplyPropertiesDialog).
    bool DoModal() override;
    bool StaysForFurtherObjects() const override;
    bool IsPending() const { return m_pending; }
    void SetPending(bool on) override { m_pending = on; }
    const CPartColorSet& GetEditedColors() const override { return m_colors; }
    CPartColorSet& GetEditedColors() { return m_colors; }

    // The name of a stored per-type value: the type id of the dialog's kind
    // (found by its name text id), the course's organisation when there is
    // a course and the value is kept per organisation, then the key:
    // "10AKCHeight", "70WhichPlanks".
    std::wstring GetValueName(const wchar_t* key, bool perOrganisation = true) const;

    CCourse* GetCourse() const { return m_course; }
    int GetNameTextId() const { return m_nameTextId; }
    int GetEditedCount() const { return m_editedCount; }
    const CObjectType* GetEditedType() const { return m_type; }

protected:
    // Merges one edited object's value: the first object's value is taken,
    // a later, different one makes it 0 (mixed).
    void MergeValue(float& held, float value) const { MergeValue(held, value, 0.0f); }
    // The same with another mixed marker.
    template <class T>
    void MergeValue(T& held, T value, T mixed) const
    {
        if (m_editedCount <= 1)
            held = value;
        else if (held != value)
            held = mixed;
    }
    void MergeCheck(ECheckState& held, bool value) const
    {
        MergeValue(held, value ? ECheckState::kSet : ECheckState::kClear, ECheckState::kMixed);
    }
    // A merged value asked for: one that is mixed (not above 0) is reported
    // and returned as it is.
    static float CheckNotMixed(float value);

private:
    CCourse* m_course;
    int m_nameTextId;
    int m_editedCount = 0;
    const CObjectType* m_type = nullptr;
    CPartColorSet m_colors;
    bool m_pending = true;
};

// Reports a dialog of another kind than the object's.
void ReportOtherDialog(const CEditSession& dialog);

// The dialog as the kind's own dialog class, or null after a report when it
// is another: an object's ToDialog and FromDialog take only their own.
template <class TDialog>
TDialog* GetKindDialog(CEditSession& dialog)
{
    TDialog* own = dynamic_cast<TDialog*>(&dialog);
    if (own == nullptr)
        ReportOtherDialog(dialog);
    return own;
}
