#include "objects/equipment/Jump.h"

#include <algorithm>
#include <iterator>

#include "course/Course.h"
#include "course/SpecList.h"
#include "dialogs/JumpPropertiesDlg.h"
#include "dialogs/PropertyBinding.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "objects/equipment/JumpType.h"

namespace {

constexpr float kEndHalfDepth = 60.0f;
// Half of a jump's width less this is the half width of its approach; below
// it there is none.
constexpr float kEndMargin = 60.0f;
// The triple jump is edited as the extended spread jump.
constexpr int kTripleTypeId = 160;
constexpr int kExtendedSpreadTypeId = 330;

}  // namespace

CJump::CJump()
    : m_firstEnd(this, CPoint2(), CPoint2(0.0f, -10000.0f), 0.0f, kEndHalfDepth),
      m_secondEnd(this, CPoint2(), CPoint2(0.0f, 10000.0f), 0.0f, kEndHalfDepth)
{
    CObstacleEnd* const ends[] = {&m_firstEnd, &m_secondEnd};
    RegisterEnds(ends, std::size(ends));
}

CJump::~CJump() = default;

const CJumpType* CJump::GetJumpType() const
{
    if (GetType() == m_jumpType)
        return m_jumpType;
    return dynamic_cast<const CJumpType*>(GetType());
}

const CJumpType* CJump::RequireJumpType() const
{
    const CJumpType* type = GetJumpType();
    if (type == nullptr) {
        TRACE_VALUE(int32_t, GetType() != nullptr ? GetType()->GetTypeId() : 0);
        ReportFailure();
    }
    return type;
}

CWingsBinding* CJump::GetWingsBinding() const
{
    CWingsBinding* wings = BindingAs<CWingsBinding>(m_binding.get());
    if (wings == nullptr) {
        TRACE_VALUE(int32_t, m_binding ? int32_t(m_binding->GetKind()) : -1);
        ReportFailure();
    }
    return wings;
}

void CJump::SetType(const CObjectType* type)
{
    const CJumpType* jumpType = dynamic_cast<const CJumpType*>(type);
    if (jumpType == nullptr) {
        TRACE_VALUE(int32_t, type != nullptr ? type->GetTypeId() : 0);
        ReportFailure();
        return;
    }
    SetJumpType(*jumpType);
}

void CJump::SetJumpType(const CJumpType& type)
{
    CCourseObject::SetType(&type);
    m_jumpType = &type;
    const int kind = type.GetBindingKind();
    if (!m_binding || m_binding->GetKind() != kind)
        m_binding = CreateJumpBinding(kind);
    UpdateEnds();
}

int CJump::GetEndCount() const
{
    const CJumpType* type = RequireJumpType();
    return type != nullptr ? type->GetEndCount() : 0;
}

void CJump::GetEnd(CPoint2& point, int index) const
{
    if (const CJumpType* type = RequireJumpType())
        point = type->GetEnd(index, *this);
}

std::wstring CJump::GetSizeText() const
{
    return m_binding ? m_binding->GetDescription() : std::wstring();
}

void CJump::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    if (const CJumpType* type = RequireJumpType())
        type->ApplyVariant(*this, keyName, words);
    UpdateEnds();
}

void CJump::Serialize(CFieldStream& stream)
{
    const CJumpType* type = RequireJumpType();
    if (type == nullptr || !m_binding) {
        ReportFailure();
        return;
    }
    type->SerializeBinding(stream, *m_binding);
    if (stream.IsReading())
        UpdateEnds();
}

void CJump::SerializeExtra(CFieldStream& stream)
{
    const CCourse* course = GetCourse();
    float height = course != nullptr ? course->GetJumpHeight() : 0.0f;
    float length = GetLongJumpLength();
    int32_t planks = GetLongJumpPlanks();
    int32_t organisation = course != nullptr ? course->GetSpecList().GetOrgId() : 0;
    stream.Float16(height);
    stream.Float16(length);
    stream.Int8(planks);
    stream.Int8(organisation);
}

bool CJump::OnJumpSettingsChanged()
{
    Invalidate();
    return false;
}

void CJump::ToDialog(CEditSession& dialog)
{
    CJumpPropertiesDlg* jumpDialog = GetKindDialog<CJumpPropertiesDlg>(dialog);
    const CJumpType* type = RequireJumpType();
    if (jumpDialog == nullptr || type == nullptr || !m_binding)
        return;
    if (type->GetTypeId() == kTripleTypeId) {
        type = dynamic_cast<const CJumpType*>(FindObjectTypeById(kExtendedSpreadTypeId));
        if (type == nullptr) {
            ReportFailure();
            return;
        }
    }
    jumpDialog->SetJumpType(type);
    m_binding->ApplyTo(*jumpDialog);
}

void CJump::FromDialog(CEditSession& dialog)
{
    CJumpPropertiesDlg* jumpDialog = GetKindDialog<CJumpPropertiesDlg>(dialog);
    if (jumpDialog == nullptr)
        return;
    if (jumpDialog->GetChosenType() != nullptr)
        SetJumpType(*jumpDialog->GetChosenType());
    const CJumpType* type = RequireJumpType();
    if (type == nullptr || !m_binding)
        return;
    m_binding->LoadFrom(*jumpDialog, *type);
    UpdateEnds();
}

void CJump::Draw2D(CGraphicsContext& context)
{
    if (const CJumpType* type = RequireJumpType())
        type->Draw2D(context, *this);
}

void CJump::Build3D(CGraphicsContext& context)
{
    if (const CJumpType* type = RequireJumpType())
        type->Build3D(context, *this);
}

void CJump::UpdateEnds()
{
    const CJumpType* type = GetJumpType();
    if (type == nullptr || !m_binding)
        return;
    const float halfDepth = kEndHalfDepth * float(type->GetBarCount(*this));
    const float h = 0.5f * type->GetWidth(*this) - kEndMargin;
    const float halfWidth = h >= kEndMargin ? h : 0.0f;
    for (CJumpEnd* end : {&m_firstEnd, &m_secondEnd}) {
        end->halfWidth = halfWidth;
        end->halfDepth = halfDepth;
    }
    RegisterEnd(&m_secondEnd, type->HasSecondEnd(*this));
}

float CJump::GetJumpHeight() const
{
    const CCourse* course = GetCourse();
    if (course == nullptr)
        return 0.0f;
    const float height = course->GetJumpHeight();
    // A height that is no number is taken as 0.
    return height > 0.0f ? std::min(height, kMaxJumpHeight) : 0.0f;
}

float CJump::GetLongJumpLength() const
{
    const CCourse* course = GetCourse();
    return course != nullptr ? course->GetLongJumpLength() : kDefaultLongJumpLength;
}

int CJump::GetLongJumpPlanks() const
{
    const CCourse* course = GetCourse();
    return course != nullptr ? int(course->GetLongJumpPlanks()) : kDefaultLongJumpPlanks;
}

void CJump::MoveBack(float offset)
{
    CTransform placement = GetPlacement();
    const CPoint2 target = placement.TransformPoint2D(0.0f, -offset);
    placement.SetPosition2D(target.x, target.y);
    SetPlacement(placement);
}
