#include "dialogs/ObjectPropertiesDlg.h"

#include "course/Course.h"

CObjectPropertiesDlg::CObjectPropertiesDlg(CCourse* course, int nameTextId)
    : m_course(course), m_nameTextId(nameTextId)
{
}

void CObjectPropertiesDlg::AddEditedObject(const CObjectType* type, int dialogVariant, const CPartColorSet& colors)
{
    if (m_editedCount == 0) {
        m_type = type;
        m_colors = colors;
    }
    ++m_editedCount;
}

bool CObjectPropertiesDlg::DoModal()
{
    if (m_course != nullptr)
        m_course->ApplyPropertiesDialog(*this);
    return true;
}

bool CObjectPropertiesDlg::StaysForFurtherObjects() const
{
    return true;
}
