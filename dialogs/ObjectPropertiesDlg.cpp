#include "dialogs/ObjectPropertiesDlg.h"

#include "course/Course.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

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

float CObjectPropertiesDlg::CheckNotMixed(float value)
{
    if (!(value > 0.0f)) {
        TRACE_VALUE(float, value);
        ReportFailure();
    }
    return value;
}

std::wstring CObjectPropertiesDlg::GetValueName(const wchar_t* key, bool perOrganisation) const
{
    std::wstring name;
    if (const CObjectType* type = FindObjectTypeByNameId(m_nameTextId)) {
        name = type->GetIdString();
    } else {
        TRACE_VALUE(int32_t, m_nameTextId);
        ReportFailure();
    }
    if (perOrganisation && m_course != nullptr)
        name += m_course->GetSpecList().GetName();
    return name + key;
}

void ReportOtherDialog(const CEditSession& dialog)
{
    if (const auto* other = dynamic_cast<const CObjectPropertiesDlg*>(&dialog))
        TRACE_VALUE(int32_t, other->GetNameTextId());
    ReportFailure();
}
