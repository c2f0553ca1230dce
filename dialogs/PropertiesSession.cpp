#include "dialogs/PropertiesSession.h"

void CSessionColors::Add(const CObjectType* type, int variant, const CPartColorSet& colors)
{
    m_objects.Add(type, variant, colors);
    m_type.Clear();
}

void CSessionColors::SetType(const CObjectType* type, bool loadTypeColors)
{
    m_type.Clear();
    m_objects.SetVariantOverride(-1);
    if (!type || !loadTypeColors)
        return;
    CPartColorSet stored = type->GetPartColors();
    stored.LoadFromSettings(type->GetIdString());
    m_type.Add(type, 0, stored);
}

const CPartColorSet& CSessionColors::GetEdited() const
{
    return m_type.GetCurrentType() ? m_type.GetEditedColors() : m_objects.GetEditedColors();
}

CPartColorMerge& CSessionColors::GetEditedMerge()
{
    return m_type.GetCurrentType() ? m_type : m_objects;
}

void CSessionColors::SetVariantOverride(int variant)
{
    m_objects.SetVariantOverride(variant);
    m_type.SetVariantOverride(variant);
}
