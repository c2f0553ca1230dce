#include "objects/annotations/ObsNum.h"

#include <istream>
#include <utility>

#include "course/Course.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/FontMetrics.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/NumberStyle.h"
#include "objects/annotations/ObsNumSequence.h"
#include "objects/equipment/ObstacleEnd.h"

namespace {

constexpr int kOutlinePart = 15;
constexpr int kFillPart = 25;
constexpr int kTextPart = 26;

// A legacy line's label: its first two characters.
constexpr size_t kLegacyLabelLength = 2;
// The ends a number labels: first ends and jump ends.
constexpr int kLabelledEndKinds = 1 | 4;
// Fill pattern of a greyed label (the hatched look).
constexpr uint32_t kGreyedPattern = 1;

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CObsNum::CObsNumType::CObsNumType()
    : CEquipmentTypeOf({kTypeId, 2574, {"ObstacleNumber", "CircledText"}, {kOutlinePart, kFillPart, kTextPart},
                        true, true})
{
}

const CObsNum::CObsNumType& CObsNum::GetObsNumType()
{
    static const CObsNumType* type = new CObsNumType();
    return *type;
}

// ---- Object -------------------------------------------------------------------------------

CObsNum::CObsNum() : CTextLabelPart(true), m_style(&GetNumberStyle(0)) {}

CObsNum::~CObsNum()
{
    LeaveSequence();
}

void CObsNum::GetEnd(CPoint2& point, int index) const
{
    const float w = m_halfSize.x;
    const float h = m_halfSize.y;
    switch (index) {
    case 0:
        point = CPoint2(-w, 0.0f);
        break;
    case 1:
        point = CPoint2(w, 0.0f);
        break;
    case 2:
        point = CPoint2(0.0f, -h);
        break;
    default:
        point = CPoint2(0.0f, h);
        break;
    }
}

int CObsNum::GetDialogVariant() const
{
    return m_flag ? 1 : 0;
}

void CObsNum::SetLabel(const std::wstring& label)
{
    m_label = label;
    m_parsed = ParseObsNumLabel(label);
    const CFontMetrics font(kFontSize, false);
    m_halfSize = m_style->GetHalfSize(font.GetStringWidth(label));
}

void CObsNum::Relabel(const std::wstring& label)
{
    SetLabel(label);
    Invalidate();
}

void CObsNum::LeaveSequence()
{
    m_joinPending = false;
    CObsNumSequence* sequence = m_sequence;
    m_sequence = nullptr;
    if (sequence != nullptr)
        sequence->RemoveMember(this);
}

void CObsNum::JoinSequence(bool loading)
{
    m_joinPending = false;
    CCourse* course = GetCourse();
    if (course == nullptr || GetDisplayState() == kGrey || m_sequence != nullptr)
        return;
    const int style = m_style->GetIndex();
    // The course makes its sequences through CObsNumSequence::Make alone
    // (RegisterObjectTypes).
    m_sequence = static_cast<CObsNumSequence*>(course->GetNumbering(&style, &m_flag, &m_label));
    if (m_sequence != nullptr)
        m_sequence->AddMember(this, loading);
}

void CObsNum::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    LeaveSequence();
    std::string unused;
    std::string flag;
    std::string label;
    words >> unused >> flag >> label;
    m_style = &GetNumberStyle(0);
    m_flag = flag == "T";
    // The listing's bytes are Latin-1 characters.
    std::wstring text;
    for (size_t i = 0; i < label.size() && i < kLegacyLabelLength; ++i)
        text += wchar_t(static_cast<unsigned char>(label[i]));
    SetLabel(text);
    m_joinPending = true;
}

void CObsNum::Serialize(CFieldStream& stream)
{
    // The older format has no unframed style; it keeps such a number boxed.
    int32_t style = m_style->GetIndex();
    if (!stream.IsReading() && stream.m_versionMajor == 3 && style == 2)
        style = 1;
    bool flag = m_flag;
    std::wstring label = m_label;
    SerializeLegacyBool(stream, style);
    stream.Bool(flag);
    stream.WString(label);
    if (!stream.IsReading())
        return;
    LeaveSequence();
    // A damaged record's style is the file's fault, not the program's.
    m_style = &GetNumberStyle(IsNumberStyleIndex(style) ? style : 0);
    m_flag = flag;
    SetLabel(label);
    m_joinPending = true;
}

void CObsNum::SerializeExtra(CFieldStream& stream)
{
    int32_t shown = IsShown() ? 1 : 0;
    stream.Int8(shown);
    m_style->AppendKey(stream, *this);
}

bool CObsNum::IsShown() const
{
    return GetCourse() == nullptr || GetCourse()->GetShowNumbers();
}

bool CObsNum::ResolveLinks()
{
    if (m_joinPending)
        JoinSequence(true);
    return false;
}

void CObsNum::ToDialog(CEditSession& dialog)
{
    if (CObsNumPropertiesDlg* own = GetKindDialog<CObsNumPropertiesDlg>(dialog)) {
        own->MergeStyle(m_style->GetIndex());
        own->MergeStyleFlag(m_flag);
        own->MergeText(m_label);
    }
}

void CObsNum::FromDialog(CEditSession& dialog)
{
    TRACE_POINT();
    CObsNumPropertiesDlg* own = GetKindDialog<CObsNumPropertiesDlg>(dialog);
    if (own == nullptr)
        return;
    const std::wstring label = own->ShouldApplyText() ? own->GetText() : m_label;
    LeaveSequence();
    if (!own->IsStyleMixed()) {
        m_style = &GetNumberStyle(own->GetSelectedStyle());
        m_flag = own->GetBadgeFlag();
    }
    SetLabel(label);
    JoinSequence(false);
}

void CObsNum::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    CTextLabelPart::SetText(m_label);
    SetStyle(GetColorMode());
    AttachToObject(*this);
    DrawAtAnchor(context);
}

void CObsNum::WriteKeyExtra(CFieldWriter& writer)
{
    int32_t style = m_style->GetIndex();
    bool flag = m_flag;
    writer.Int8(style);
    writer.Bool(flag);
    m_style->AppendKey(writer, *this);
}

void CObsNum::DrawLabel(CGraphicsContext& context)
{
    TRACE_POINT();
    ApplyTextStyle(context);
    CGraphicsState& state = context.m_state;
    if (m_flag)
        std::swap(state.fillColor, state.textColor);
    // A label in its badge's colour would not show, unless greyed.
    const bool drawText = state.textColor != state.fillColor || state.fillPattern == kGreyedPattern;
    m_halfSize = m_style->Draw(context, *this, drawText);
}

const CObstacleEnd* CObsNum::FindObstacleEnd() const
{
    const CCourse* course = GetCourse();
    if (course == nullptr)
        return nullptr;
    // A number stands on the side the dog comes from: of a jump's two ends,
    // it labels the one the dog passes going away from the number.
    const CPoint2 p = GetPosition();
    if (const CObstacleEnd* nearby = course->FindNearestEnd(p.x, p.y, kEndReach, kLabelledEndKinds, 1))
        return nearby;
    return course->FindNearestEnd(p.x, p.y, -1.0f, kLabelledEndKinds, 1);
}

void SerializeLegacyBool(CFieldStream& stream, int32_t& value)
{
    if (stream.m_versionMajor > 3) {
        stream.Int8(value);
        return;
    }
    int32_t stored = value == 1 ? 2 : 1;
    stream.Int8(stored);
    if (stream.IsReading())
        value = stored == 1 ? 0 : 1;
}
