#pragma once

#include <utility>

#include "course/ObjectType.h"
#include "dialogs/PartColorMerge.h"

// The part colours a properties session edits: those merged from the edited
// objects, and the kind's stored colours, which new objects of the placing
// tool take until the first edited object replaces them.
class CSessionColors
{
public:
    // Merges one more edited object.
    void Add(const CObjectType* type, int variant, const CPartColorSet& colors);
    // Starts over with the kind's stored colours (none without a type).
    void SetType(const CObjectType* type, bool loadTypeColors);
    // What the objects take on OK.
    const CPartColorSet& GetEdited() const;
    // What the colour picker edits.
    CPartColorMerge& GetEditedMerge();
    void SetVariantOverride(int variant);

private:
    CPartColorMerge m_objects;
    CPartColorMerge m_type;
};

// A properties dialog as the course runs it: the kind's windowless half
// (THalf, e.g. CAFrameDlg), which the kind's ToDialog and FromDialog see,
// with the part colours of the edited objects; DoModal shows the half in
// its window (TWindow, e.g. CAFrameWnd, made from the half and the colours),
// which on OK applies the half to the course.
template <class THalf, class TWindow>
class CPropertiesSession : public THalf
{
public:
    template <class... TArgs>
    explicit CPropertiesSession(TArgs&&... args) : THalf(std::forward<TArgs>(args)...)
    {
        m_colors.SetType(FindObjectTypeByNameId(this->GetNameTextId()), true);
    }

    void AddEditedObject(const CObjectType* type, int variant, const CPartColorSet& colors) override
    {
        THalf::AddEditedObject(type, variant, colors);
        m_colors.Add(type, variant, colors);
    }
    const CPartColorSet& GetEditedColors() const override { return m_colors.GetEdited(); }

    // The window lives for the run only; the course may let go of the
    // session meanwhile, but its caller still holds it.
    bool DoModal() override
    {
        TWindow window(*this, m_colors);
        window.selfDeleting = false;
        window.DoModal();
        return window.resultOk;
    }

private:
    CSessionColors m_colors;
};
