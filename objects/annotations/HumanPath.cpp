#include "objects/annotations/HumanPath.h"

#include <algorithm>
#include <cmath>
#include <istream>

#include "course/Course.h"
#include "dialogs/HumanPathDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/CrashLog.h"
#include "foundation/Curve.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ShapeDrawer.h"
#include "objects/equipment/TextLabelPart.h"

namespace {

constexpr int kLinePart = 15;
constexpr int kLabelBoxPart = 25;
constexpr int kLabelTextPart = 26;

bool IsLegacyPenType(int32_t penType) { return penType >= 0 && penType <= 2; }
bool IsUsUnits(int32_t units) { return units >= 2 && units <= 5; }

// Counts the records written for paths without points.
int32_t g_emptyRecordCounter = 0;

}  // namespace

// ---- Descriptor -------------------------------------------------------------------------

CHumanPath::CHumanPathType::CHumanPathType()
    : CEquipmentTypeOf({kTypeId, kNameTextId, {"HandlerPath", "JudgePath"}, {kLinePart, kLabelBoxPart, kLabelTextPart},
                        true, true})
{
}

const CHumanPath::CHumanPathType& CHumanPath::GetHumanPathType()
{
    static const CHumanPathType* type = new CHumanPathType();
    return *type;
}

// ---- Points -------------------------------------------------------------------------------

void CHumanPath::GetEnd(CPoint2& point, int index) const
{
    if (index < 0 || index >= int(m_points.size())) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    point = m_points[size_t(index)];
}

bool CHumanPath::GetSegmentCurve(int index, CCurveGeometry& curve) const
{
    const int count = int(m_points.size());
    if (index < 0 || index + 1 >= count) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return false;
    }
    curve.p0 = m_points[size_t(index)];
    curve.p3 = m_points[size_t(index) + 1];
    curve.SetHandles(index > 0 ? &m_points[size_t(index) - 1] : nullptr,
                     index + 2 < count ? &m_points[size_t(index) + 2] : nullptr);
    return true;
}

CPoint2 CHumanPath::SegmentMiddle(int index) const
{
    CCurveGeometry curve;
    if (!GetSegmentCurve(index, curve))
        return CPoint2();
    return LimitLocalPoint(curve.GetPoint(0.5f));
}

void CHumanPath::Move(float x, float y)
{
    CCoursePath::Move(x, y);
    if (IsPlacing())
        m_emptyNumber = 0;
}

void CHumanPath::HitPoint(float x, float y)
{
    m_points.push_back(LimitLocalPoint(CPoint2(x, y)));
    MarkStale();
}

void CHumanPath::KeepPointsStorable()
{
    if (LimitLocalPoints(m_points.data(), int(m_points.size())))
        MarkStale();
}

int CHumanPath::MoveHandle(int handle, float x, float y)
{
    TRACE_VALUE(int32_t, handle);
    if (handle < 0 || handle >= int(m_points.size()) || !std::isfinite(x) || !std::isfinite(y)) {
        TRACE_VALUE(CPoint2, CPoint2(x, y));
        ReportFailure();
        return handle;
    }
    int i = handle;
    m_points[size_t(i)] = LimitLocalPoint(GetPlacement().InverseTransformPoint2D(x, y));
    MarkStale();
    if (i > 0) {
        const float d = (m_points[size_t(i)] - m_points[size_t(i) - 1]).Length();
        if (d > kSplitDistance) {
            const CPoint2 middle = SegmentMiddle(i - 1);
            m_points.insert(m_points.begin() + i, middle);
            ++i;
        } else if (d < kMergeDistance && m_points.size() > 2) {
            m_points.erase(m_points.begin() + i);
            --i;
        }
    }
    if (i + 1 < int(m_points.size())) {
        const float d = (m_points[size_t(i) + 1] - m_points[size_t(i)]).Length();
        if (d > kSplitDistance) {
            const CPoint2 middle = SegmentMiddle(i);
            m_points.insert(m_points.begin() + i + 1, middle);
        } else if (d < kMergeDistance && m_points.size() > 2) {
            m_points.erase(m_points.begin() + i + 1);
        }
    }
    return i;
}

void CHumanPath::Flip()
{
    for (CPoint2& p : m_points)
        p.x = -p.x;
    m_labelPosition.x = -m_labelPosition.x;
    CCourseObject::Flip();
}

void CHumanPath::Reverse()
{
    std::reverse(m_points.begin(), m_points.end());
    MarkStale();
    Invalidate();
}

// ---- Length -------------------------------------------------------------------------------

void CHumanPath::UpdateLength() const
{
    if (m_length >= 0.0f)
        return;
    const int segments = int(m_points.size()) - 1;
    m_length = 0.0f;
    if (segments < 1) {
        // A dot: the label sits on it.
        if (segments == 0)
            m_labelPosition = m_points.front();
        return;
    }
    std::vector<float> lengths(size_t(segments), 0.0f);
    CCurveGeometry curve;
    for (int i = 0; i < segments; ++i) {
        if (GetSegmentCurve(i, curve))
            lengths[size_t(i)] = curve.GetLength();
        m_length += lengths[size_t(i)];
    }
    float sum = 0.0f;
    for (int i = 0; i < segments; ++i) {
        sum += lengths[size_t(i)];
        if (sum >= 0.5f * m_length) {
            if (GetSegmentCurve(i, curve))
                m_labelPosition = curve.GetPoint(0.5f);
            break;
        }
    }
}

float CHumanPath::GetLength() const
{
    UpdateLength();
    return m_length;
}

CPoint2 CHumanPath::GetLabelPosition() const
{
    UpdateLength();
    return m_labelPosition;
}

// ---- Records and dialogs ------------------------------------------------------------------

void CHumanPath::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    m_showLength = false;
    int count = ReadLegacyInt(words, 0);
    ReadLegacyInt(words, 0);
    const int penType = ReadLegacyInt(words, kDefaultPenType);
    if (count < 2 || count > kMaxLegacyPoints)
        count = 0;
    // A pen type out of range is the file's, not a fault of the program.
    m_penType = IsLegacyPenType(penType) ? penType : kDefaultPenType;
    m_points.clear();
    MarkStale();
    ReadLegacyCurve(count, words);
}

void CHumanPath::Serialize(CFieldStream& stream)
{
    bool showLength = m_showLength;
    int32_t units = m_lengthUnits;
    int32_t penType = m_penType;
    int32_t count = int32_t(m_points.size());
    stream.Bool(showLength);
    stream.Int8(units);
    stream.Int8(penType);
    stream.Int16(count);
    if (!stream.IsReading()) {
        if (count > 0) {
            for (CPoint2 p : m_points)
                stream.Point(p);
        } else {
            // A new number whenever the stroke changed, so that its drawing
            // is never taken for an older one's; the same one otherwise, so
            // that the path writes the same bytes every time.
            if (m_emptyNumber == 0)
                m_emptyNumber = ++g_emptyRecordCounter;
            stream.Int32(m_emptyNumber);
        }
        return;
    }
    m_showLength = showLength;
    m_lengthUnits = IsUsUnits(units) ? units : kDefaultUnits;
    m_penType = IsLegacyPenType(penType) ? penType : kDefaultPenType;
    m_points.clear();
    MarkStale();
    // A count below 1 (a path without points, or a damaged one) gives no
    // points: the number of a path without points is kept, so that it is
    // written back as it was read. A count beyond what the record holds
    // stops where it ends.
    m_emptyNumber = 0;
    if (count == 0)
        stream.Int32(m_emptyNumber);
    // The reader is the one stream that reads.
    const CFieldReader* reader = static_cast<const CFieldReader*>(&stream);
    for (int32_t i = 0; i < count && !reader->AtFieldEnd(); ++i) {
        CPoint2 p;
        stream.Point(p);
        m_points.push_back(p);
    }
    LimitLocalPoints(m_points.data(), int(m_points.size()));
}

void CHumanPath::SerializeExtra(CFieldStream& stream)
{
    int32_t metric = IsOnMetricCourse(*this) ? 1 : 0;
    int32_t shown = IsShown() ? 1 : 0;
    stream.Int8(metric);
    stream.Int8(shown);
}

bool CHumanPath::IsShown() const
{
    return GetCourse() == nullptr || GetCourse()->GetShowPaths();
}

void CHumanPath::ToDialog(CEditSession& dialog)
{
    if (CHumanPathDlg* own = GetKindDialog<CHumanPathDlg>(dialog)) {
        own->SetPenType(m_penType);
        own->SetShowLength(m_showLength);
        own->SetLengthUnits(m_lengthUnits);
    }
}

void CHumanPath::FromDialog(CEditSession& dialog)
{
    CHumanPathDlg* own = GetKindDialog<CHumanPathDlg>(dialog);
    if (own == nullptr)
        return;
    if (!own->IsPenMixed() && IsLegacyPenType(own->GetPenType()))
        m_penType = own->GetPenType();
    if (own->GetShowLengthState() != ECheckState::kMixed)
        m_showLength = own->GetShowLength();
    const int units = own->GetMergedUnits();
    if (IsUsUnits(units))
        m_lengthUnits = units;
}

// ---- Drawing ------------------------------------------------------------------------------

void CHumanPath::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    if (m_points.empty()) {
        CCoursePath::Draw2D(context);
        return;
    }
    CShapeDrawer<CHumanPath> drawer(this, &CHumanPath::DrawLine);
    CFieldWriter& key = drawer.BeginKey();
    key.WriteInt8(GetColorMode());
    key.WriteInt8(GetPrimaryColorIndex());
    key.WriteInt8(GetDisplayState());
    Serialize(key);
    CTextLabelPart label(false);
    if (m_showLength) {
        label.SetText(FormatMeasuredLength(GetLength(), IsOnMetricCourse(*this), EUnitKind(m_lengthUnits)));
        label.SetStyle(GetColorMode());
        label.AttachToObject(*this);
    }
    context.DrawDrawable(drawer, 0, 0);
    if (m_showLength) {
        label.SetOffset(GetLabelPosition());
        label.DrawAtAnchor(context);
    }
}

void CHumanPath::DrawLine(CGraphicsContext& context)
{
    ApplyDrawAttributes(context);
    const int segments = int(m_points.size()) - 1;
    if (segments < 1) {
        // A path of one point has no curve: a dot shows where it is.
        if (segments == 0) {
            context.BeginLine(1);
            context.MoveTo(m_points.front());
            context.LineTo(m_points.front().x + 1.0f, m_points.front().y);
            context.EndPath();
        }
        return;
    }
    context.SetDashStyle(uint32_t(m_penType));
    context.BeginLine(1);
    CCurveGeometry curve;
    for (int i = 0; i + 1 < segments; ++i) {
        if (GetSegmentCurve(i, curve))
            context.AddBezierSegment(curve);
    }
    if (GetSegmentCurve(segments - 1, curve))
        DrawArrowSegment(context, curve);
    else
        context.EndPath();
    context.SetDashStyle(0);
}
