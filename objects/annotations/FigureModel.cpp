#include "objects/annotations/FigureModel.h"

#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "foundation/Transform.h"
#include "graphics/PackedModel.h"
#include "render3d/Camera.h"

namespace {

// Window units by which another angle must come nearer the mouse than the
// present one before a drag takes it: equally near angles do not flicker.
constexpr float kHysteresis = 0.8f;

float Length(const CVector3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

CVector3 Difference(const CVector3& a, const CVector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

}  // namespace

CFigureModel::CFigureModel(CLayout& layout) : m_layout(layout) {}

CFigureModel::~CFigureModel() = default;

void CFigureModel::CheckNumber(int declared, int expected)
{
    if (declared == expected)
        return;
    TRACE_VALUE(int32_t, declared);
    ReportFailure();
}

int CFigureModel::AddJoint(int minimum, int maximum, int step)
{
    // A range beyond a signed byte, without 0 or off its grid, or a joint
    // beyond what a model holds, is the program's own fault.
    if (minimum < -128 || minimum > 0 || maximum < 0 || maximum > 127 || step <= 0 || minimum % step != 0 ||
        maximum % step != 0 || m_layout.joints.size() >= size_t(kMaxJoints)) {
        TRACE_VALUE(int32_t, minimum);
        TRACE_VALUE(int32_t, maximum);
        TRACE_VALUE(int32_t, step);
        ReportFailure();
    }
    m_layout.joints.push_back({minimum, maximum, step > 0 ? step : 1});
    return int(m_layout.joints.size()) - 1;
}

int CFigureModel::AddHandle(int angle, int part, int vertex) { return AddHandle(angle, -1, -1, part, vertex); }

int CFigureModel::AddHandle(int firstAngle, int secondAngle, int pivotPart, int part, int vertex)
{
    m_layout.handles.push_back({firstAngle, secondAngle, pivotPart, part, vertex});
    return int(m_layout.handles.size()) - 1;
}

void CFigureModel::LayOutOnce(const CJointRange* joints, int jointCount, const CHandle* handles, int handleCount)
{
    if (!m_layout.joints.empty())
        return;
    m_layout.joints.reserve(size_t(jointCount));
    m_layout.handles.reserve(size_t(handleCount));
    for (int i = 0; i < jointCount; ++i)
        CheckNumber(AddJoint(joints[i].minimum, joints[i].maximum, joints[i].step), i);
    for (int i = 0; i < handleCount; ++i) {
        const CHandle& h = handles[i];
        CheckNumber(AddHandle(h.firstAngle, h.secondAngle, h.pivotPart, h.part, h.vertex), i);
    }
}

int CFigureModel::GetJointCount() const
{
    return m_layout.joints.size() < size_t(kMaxJoints) ? int(m_layout.joints.size()) : kMaxJoints;
}

CFigureModel::CJoint CFigureModel::GetJoint(int joint) const
{
    const CJointRange& range = m_layout.joints[joint];
    CJoint j;
    j.minimum = range.minimum;
    j.maximum = range.maximum;
    j.step = range.step > 0 ? range.step : 1;
    j.value = m_values[joint];
    j.changed = (m_changed >> joint & 1u) != 0;
    return j;
}

void CFigureModel::SetSkin(CPackedModel* skin)
{
    m_skin = skin;
    if (!m_skin)
        return;
    if (!m_handlePoints)
        m_handlePoints.reset(new CVector3[m_layout.handles.size()]);
    for (int i = 0; i < GetHandleCount(); ++i) {
        const CHandle& handle = m_layout.handles[size_t(i)];
        CVector3& point = m_handlePoints[size_t(i)];
        point = CVector3();
        if (handle.vertex == 0 || handle.part < 0 || handle.part >= m_skin->GetPartCount())
            continue;
        // The vertex is given where the skin was built: back through the
        // part's placement of that time into its own frame.
        const CTransform& bind = m_skin->GetPart(handle.part).GetInitialWorldTransform();
        point = bind.InverseTransformPoint(m_skin->GetRestVertex(handle.vertex));
    }
    m_changed = ~0u;
    OnSkinAttached();
    Update();
}

void CFigureModel::SetAngle(int joint, int value)
{
    m_values[joint] = value;
    m_changed |= 1u << joint;
}

int CFigureModel::GetAngle(int joint) const
{
    return m_values[joint];
}

void CFigureModel::SetAngles(int count, const int* values)
{
    if (count != GetJointCount()) {
        TRACE_VALUE(int32_t, count);
        ReportFailure();
    }
    const int n = count < GetJointCount() ? count : GetJointCount();
    for (int i = 0; i < n; ++i)
        SetAngle(i, values[i]);
}

void CFigureModel::NegateAngle(int joint)
{
    SetAngle(joint, -GetAngle(joint));
}

void CFigureModel::SwapAngles(int jointA, int jointB)
{
    const int a = GetAngle(jointA);
    SetAngle(jointA, GetAngle(jointB));
    SetAngle(jointB, a);
}

bool CFigureModel::TakeChanged(int first, int last)
{
    if (last < 0)
        last = first;
    if (first > last) {
        TRACE_VALUE(int32_t, first);
        TRACE_VALUE(int32_t, last);
        ReportFailure();
        return false;
    }
    if (first >= GetJointCount())
        return false;
    if (last >= GetJointCount())
        last = GetJointCount() - 1;
    const uint32_t range = ((2u << last) - 1u) & ~((1u << first) - 1u);
    const bool any = (m_changed & range) != 0;
    m_changed &= ~range;
    return any;
}

void CFigureModel::CopyPose(const CFigureModel& other)
{
    for (int i = 0; i < GetJointCount() && i < other.GetJointCount(); ++i)
        SetAngle(i, other.GetAngle(i));
    Update();
}

bool CFigureModel::IsSamePose(const CFigureModel& other) const
{
    if (GetJointCount() != other.GetJointCount())
        return false;
    for (int i = 0; i < GetJointCount(); ++i) {
        if (GetAngle(i) != other.GetAngle(i))
            return false;
    }
    return true;
}

void CFigureModel::ApplyRotationTable(const CRotationRow* rows)
{
    for (; rows->part >= 0; ++rows)
        m_skin->GetPart(rows->part).SetRotation(rows->x, rows->y, rows->z, CGroupNode::kFromRest);
}

int CFigureModel::LimitAngle(int joint, float value) const
{
    const CJoint j = GetJoint(joint);
    if (!std::isfinite(value))
        return 0;
    const float onGrid = std::floor(value / float(j.step) + 0.5f) * float(j.step);
    if (onGrid < float(j.minimum))
        return j.minimum;
    if (onGrid > float(j.maximum))
        return j.maximum;
    return int(onGrid);
}

int CFigureModel::LimitWholeAngle(int joint, int value) const
{
    const CJointRange& range = m_layout.joints[joint];
    const int step = range.step > 0 ? range.step : 1;
    // value / step rounded to the nearest whole number, halves upwards, as
    // LimitAngle's floor(value / step + 0.5): (2 value + step) / (2 step)
    // rounded down.
    // Beyond every range either way; kept small so that nothing overflows.
    const int kept = value < -1024 ? -1024 : value > 1024 ? 1024 : value;
    const int twice = 2 * kept + step;
    const int quotient = twice >= 0 ? twice / (2 * step) : -((-twice + 2 * step - 1) / (2 * step));
    const int onGrid = quotient * step;
    return onGrid < range.minimum ? range.minimum : onGrid > range.maximum ? range.maximum : onGrid;
}

void CFigureModel::Serialize(CFieldStream& stream)
{
    for (int i = 0; i < GetJointCount(); ++i) {
        int32_t value = m_values[i];
        stream.Int8(value);
        if (stream.IsReading())
            SetAngle(i, LimitWholeAngle(i, value));
    }
    if (stream.IsReading())
        Update();
}

void CFigureModel::CopyExtraPose(const CFigureModel&)
{
}

bool CFigureModel::QueryFlag(int) const
{
    return true;
}

bool CFigureModel::IsHandleShown(int, const float*) const
{
    return true;
}

void CFigureModel::GetHandlePoint(int handle, CVector3& point) const
{
    const CHandle& h = GetHandle(handle);
    point = m_skin->GetPart(h.part).GetWorldTransform().TransformPoint(m_handlePoints[size_t(handle)]);
}

float CFigureModel::HandleDistance(int handle, float x, float y, const CCamera& camera, const CTransform& placement,
                                   CVector3* point)
{
    Update();
    CVector3 p;
    GetHandlePoint(handle, p);
    const CVector3 q = placement.InverseTransformPoint(p);
    if (point)
        *point = q;
    CPoint2 window;
    camera.ProjectPoint(q, &window);
    return Hypot(window.x - x, window.y - y);
}

void CFigureModel::DragHandle(int handle, float mouseX, float mouseY, const CCamera& camera,
                              const CTransform& placement)
{
    TRACE_POINT();
    const CHandle& h = GetHandle(handle);
    if (h.secondAngle < 0)
        DragOneAngle(h, mouseX + 0.5f, mouseY + 0.5f, camera, placement);
    else
        DragTwoAngles(h, mouseX + 0.5f, mouseY + 0.5f, camera, placement);
}

void CFigureModel::DragOneAngle(const CHandle& handle, float x, float y, const CCamera& camera,
                                const CTransform& placement)
{
    const int index = int(&handle - m_layout.handles.data());
    const CJoint joint = GetJoint(handle.firstAngle);
    float best = HandleDistance(index, x, y, camera, placement, nullptr) - kHysteresis;
    int keep = joint.value;
    for (int value = joint.minimum; value <= joint.maximum; value += joint.step) {
        SetAngle(handle.firstAngle, value);
        const float d = HandleDistance(index, x, y, camera, placement, nullptr);
        if (best > d) {
            keep = value;
            best = d;
        }
    }
    SetAngle(handle.firstAngle, keep);
    Update();
}

void CFigureModel::DragTwoAngles(const CHandle& handle, float x, float y, const CCamera& camera,
                                 const CTransform& placement)
{
    const int index = int(&handle - m_layout.handles.data());
    const CVector3 pivot = placement.InverseTransformPoint(
        m_skin->GetPart(handle.pivotPart).GetWorldTransform().GetTranslation());
    const float reach = Length(pivot);
    const float d0 = HandleDistance(index, x, y, camera, placement, nullptr);
    const float threshold = d0 - kHysteresis;
    const int startA = GetAngle(handle.firstAngle);
    const int startB = GetAngle(handle.secondAngle);
    struct CBest
    {
        bool found = false;
        float distance = 0.0f;
        int a = 0;
        int b = 0;
    } nearBest, farBest;
    nearBest.distance = farBest.distance = d0;
    const CJoint ja = GetJoint(handle.firstAngle);
    const CJoint jb = GetJoint(handle.secondAngle);
    for (int a = ja.minimum; a <= ja.maximum; a += ja.step) {
        for (int b = jb.minimum; b <= jb.maximum; b += jb.step) {
            SetAngle(handle.firstAngle, a);
            SetAngle(handle.secondAngle, b);
            CVector3 q;
            const float d = HandleDistance(index, x, y, camera, placement, &q);
            CBest& best = Length(q) + Length(Difference(q, pivot)) <= reach ? nearBest : farBest;
            if (d < threshold && (!best.found || d < best.distance)) {
                best.found = true;
                best.distance = d;
                best.a = a;
                best.b = b;
            }
        }
    }
    int a = startA, b = startB;
    const bool nearInside = nearBest.a > ja.minimum && nearBest.a < ja.maximum && nearBest.b > jb.minimum &&
                            nearBest.b < jb.maximum;
    if (nearBest.found && (!farBest.found || nearInside || nearBest.distance <= farBest.distance)) {
        a = nearBest.a;
        b = nearBest.b;
    } else if (farBest.found) {
        a = farBest.a;
        b = farBest.b;
    }
    SetAngle(handle.firstAngle, a);
    SetAngle(handle.secondAngle, b);
    Update();
}

bool CFigureModel::IsHandleListed(int handle, const float view[3], float side, const int* fromRight,
                                  const int* fromLeft, const int* fromAbove, const int* fromBelow)
{
    const int* list = view[0] > side ? fromRight : view[0] < -side ? fromLeft : view[2] > view[1] ? fromAbove
                                                                                                   : fromBelow;
    for (; *list >= 0; ++list) {
        if (*list == handle)
            return true;
    }
    return false;
}

size_t CFigureModel::GetPresetIndex(int textId, int first, int last)
{
    if (textId < first || textId > last) {
        TRACE_VALUE(int32_t, textId);
        ReportFailure();
        return 0;
    }
    return size_t(textId - first);
}
