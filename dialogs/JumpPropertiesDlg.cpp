#include "dialogs/JumpPropertiesDlg.h"

#include <algorithm>

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/JumpType.h"

namespace {

// The jump kinds in the order the type list offers them.
constexpr int kOfferedTypeIds[] = {200, 260, 150, 20, 330, 30, 40, 170, 180, 210, 230, 320, 353, 357, 360, 380, 390};

}  // namespace

CJumpPropertiesDlg::CJumpPropertiesDlg(CCourse* course, const CJumpType* type)
    : CObjectPropertiesDlg(course, kJumpGroupTextId)
{
    const CSpecList& rules = course != nullptr ? course->GetSpecList() : GetSpecList(0);
    for (const int id : kOfferedTypeIds) {
        if (!rules.IsTypeAllowed(id))
            continue;
        const auto* offered = dynamic_cast<const CJumpType*>(FindObjectTypeById(id));
        if (offered == nullptr) {
            TRACE_VALUE(int32_t, id);
            ReportFailure();
            continue;
        }
        m_offeredTypes.push_back(offered);
    }
    if (type != nullptr)
        SetJumpType(type);
}

void CJumpPropertiesDlg::Offer(const CJumpType* type)
{
    if (std::find(m_offeredTypes.begin(), m_offeredTypes.end(), type) == m_offeredTypes.end())
        m_offeredTypes.push_back(type);
}

void CJumpPropertiesDlg::MarkFilled()
{
    m_filled = true;
    m_mergedWings = m_wings;
    m_mergedAscending = m_ascending;
    m_mergedTire = m_tire;
    m_mergedPanel = m_currentPanel;
}

void CJumpPropertiesDlg::RevertToMerged()
{
    m_chosenType = nullptr;
    m_wings = m_mergedWings;
    m_ascending = m_mergedAscending;
    m_tire = m_mergedTire;
    m_currentPanel = m_mergedPanel;
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
    Offer(type);
    if (m_filled || m_currentPanel->GetMergedCount() < 2)
        m_currentPanel->LoadDefaults(*type, GetCourse());
}
