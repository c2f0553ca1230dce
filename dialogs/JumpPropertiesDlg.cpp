#include "dialogs/JumpPropertiesDlg.h"

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/JumpType.h"

CJumpPropertiesDlg::CJumpPropertiesDlg(CCourse* course, const CJumpType* type)
    : CObjectPropertiesDlg(course, kJumpGroupTextId)
{
    if (type != nullptr)
        SetJumpType(type);
}

CPropertyPanel* CJumpPropertiesDlg::PanelOfKind(int kind)
{
    switch (kind) {
    case 0:
        return &m_wings;
    case 1:
        return &m_ascending;
    case 2:
        return &m_tire;
    case 3:
        return &m_options;
    default:
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        return nullptr;
    }
}

void CJumpPropertiesDlg::SetJumpType(const CJumpType* type)
{
    if (type == nullptr) {
        TRACE_POINT();
        ReportFailure();
        return;
    }
    TRACE_VALUE(int32_t, type->GetTypeId());
    if (m_filled || GetEditedCount() <= 1) {
        m_chosenType = type;
        if (CPropertyPanel* panel = PanelOfKind(type->GetBindingKind()))
            m_currentPanel = panel;
    } else if (type != m_chosenType) {
        if (m_chosenType != nullptr && m_chosenType->GetBindingKind() != type->GetBindingKind())
            m_currentPanel = &m_options;
        m_chosenType = nullptr;
    }
    if (!m_filled)
        m_currentPanel->CountMergedObject();
    if (m_filled || m_currentPanel->GetMergedCount() < 2)
        m_currentPanel->LoadDefaults(*type, GetCourse());
}
