#include "objects/annotations/DogPath.h"

#include <algorithm>
#include <cmath>
#include <istream>
#include <iterator>
#include <memory>
#include <vector>

#include "course/Course.h"
#include "course/CourseNumbering.h"
#include "dialogs/LengthFormat.h"
#include "foundation/CrashLog.h"
#include "foundation/Curve.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ShapeDrawer.h"
#include "objects/annotations/DogPathDrawable.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/PathConnection.h"
#include "objects/annotations/PathFit.h"
#include "objects/annotations/Polyline.h"
#include "objects/equipment/ObstacleEnd.h"
#include "objects/equipment/TextLabelPart.h"

namespace {

constexpr int kLinePart = 15;
constexpr int kLabelBoxPart = 25;
constexpr int kLabelTextPart = 26;
// Ends tell their kind as bits.
constexpr int kEntryKind = 1;
constexpr int kExitKind = 2;
constexpr int kJumpKind = 4;
constexpr int kAllEndKinds = 31;
// Fitted lines are sampled this far apart.
constexpr float kFitSampleSpacing = 60.0f;
// The most samples one straight or curved piece of a fit gives.
constexpr int kMaxPieceSamples = 4096;
// Version-3 files carry the course's jump height, in these steps and bounds.
constexpr float kJumpHeightStep = 20.0f;
constexpr float kMinJumpHeight = 20.0f;
constexpr float kMaxJumpHeight = 260.0f;
// A jump height that is no usable knot size fits with this one.
constexpr float kFallbackKnotSize = 20.0f;
// The organisation whose courses also mark the narrower lobe.
constexpr int kLobeOrganisation = 1;
// Two end directions count as opposite below this cosine.
constexpr float kOppositeCosine = -0.999f;

// Counts the records written for paths without nodes.
int32_t g_emptyRecordCounter = 0;

bool IsUsUnits(int32_t units) { return units >= 2 && units <= 5; }

constexpr float kDefaultJumpHeight = 240.0f;

// A jump height as the older format's readers take it: down to a step of
// 20, from 20 to 260 (a value that is no number gives 20).
float LimitFileJumpHeight(float height)
{
    height = std::floor(height / kJumpHeightStep) * kJumpHeightStep;
    return height >= kMinJumpHeight ? std::min(height, kMaxJumpHeight) : kMinJumpHeight;
}

int KindOf(const CDogPathNode& node) { return node.end != nullptr ? node.end->GetEndKind() : 0; }

CPoint2 PointOf(const CDogPathNode& node) { return CPoint2(node.x, node.y); }

// n = floor(length / spacing), within [0, kMaxPieceSamples]; 0 for a length
// that is no number.
int PieceSamples(float length)
{
    if (!(length >= 0.0f))
        return 0;
    return int(std::min(std::floor(length / kFitSampleSpacing), float(kMaxPieceSamples)));
}

// Whether the placement moves no point: the identity, its turn of 0 degrees
// as a record gives it (whose matrix may hold -0) included.
bool IsIdentityPlacement(const CTransform& placement)
{
    static const CTransform identity;
    const float* m = placement.GetMatrix();
    return std::equal(m, m + 16, identity.GetMatrix());
}

CDogPathNode MakeFreeNode(const CPoint2& p)
{
    CDogPathNode node;
    const CPoint2 held = CFieldStream::LimitPoint(p);
    node.x = held.x;
    node.y = held.y;
    return node;
}

// The end at the index in the list of end's object; none when there is no
// such end.
CObstacleEnd* EndAtPlace(const CObstacleEnd* end, size_t index)
{
    if (end == nullptr || end->owner == nullptr || index >= end->owner->GetEnds().size())
        return nullptr;
    return end->owner->GetEnds()[index];
}

// The end at the index in its object's list that lies nearest the point,
// over every object of the course; none when no object has so many ends.
CObstacleEnd* FindEndAtIndex(const CCourse& course, const CPoint2& point, size_t index)
{
    CObstacleEnd* best = nullptr;
    float bestDistance = 0.0f;
    for (CCourseObject* object : course.GetObjects()) {
        const CObstacleEndList& ends = object->GetEnds();
        if (index >= ends.size())
            continue;
        const float distance = (ends[index]->GetCoursePoint() - point).Length();
        if (best == nullptr || distance < bestDistance) {
            best = ends[index];
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

// ---- Descriptor ----------------------------------------------------------------------------

CDogPath::CDogPathType::CDogPathType()
    : CEquipmentTypeOf({kTypeId, kNameTextId, {"DogPath"}, {kLinePart, kLabelBoxPart, kLabelTextPart}, true, true})
{
}

const CDogPath::CDogPathType& CDogPath::GetDogPathType()
{
    static const CDogPathType* type = new CDogPathType();
    return *type;
}

CDogPath::CDogPath() : m_connection(&GetPathConnection(CPathConnection::kPlain)), m_cursor(m_nodes.end()) {}

CDogPath::~CDogPath() = default;

// ---- Values --------------------------------------------------------------------------------

int CDogPath::GetConnectionKind() const
{
    return m_connection->GetKind();
}

float CDogPath::GetDefaultSpacing() const
{
    return m_connection->GetStrokeSpacing();
}

void CDogPath::SetArrowFrequency(int frequency)
{
    m_arrowFrequency = frequency >= 0 && frequency <= 2 ? frequency : 0;
}

void CDogPath::SetShowLength(bool on)
{
    m_showLength = on;
}

void CDogPath::SetLengthUnits(int units)
{
    if (IsUsUnits(units))
        m_lengthUnits = units;
}

void CDogPath::SetDiscrimination(bool on)
{
    m_discrimination = on;
    UpdateWarnings();
}

void CDogPath::ChangeConnection(int kind, CCourseNumbering* sequence, bool fitNow)
{
    TRACE_VALUE(int32_t, kind);
    CPathConnection& connection = GetPathConnection(kind);
    if (connection.GetKind() != CPathConnection::kAutoRoute)
        sequence = nullptr;
    if (&connection == m_connection && sequence == m_sequence)
        return;
    const int previousKind = m_connection->GetKind();
    m_connection = &connection;
    m_sequence = sequence;
    if (m_nodes.empty())
        return;
    if (connection.GetKind() != CPathConnection::kPlain && fitNow)
        MarkLinkedNodesDirty();
    RefitChangedSections();
    m_connection->Rebuild(*this, previousKind, false);
    NodesChanged();
    m_changed = true;
    UpdateWarnings();
    Invalidate();
}

void CDogPath::RequestFit()
{
    if (m_nodes.empty())
        m_fitPending = true;
    else
        MarkLinkedNodesDirty();
}

// ---- Nodes ---------------------------------------------------------------------------------

void CDogPath::NodesChanged() const
{
    m_cursorValid = false;
}

void CDogPath::ClampNode(CNode& node) const
{
    const CPoint2 held = CFieldStream::LimitPoint(CPoint2(node.x, node.y));
    node.x = held.x;
    node.y = held.y;
}

void CDogPath::GetEnd(CPoint2& point, int index) const
{
    // Reading a node's point refits what changed first; the refit changes
    // the path's nodes, not what it is.
    const_cast<CDogPath*>(this)->RefitChangedSections();
    if (index < 0 || index >= int(m_nodes.size())) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    if (!m_cursorValid || index == 0 || 2 * index < m_cursorIndex) {
        // A node the cursor pointed at may have left the list since.
        auto& nodes = const_cast<CNodes&>(m_nodes);
        m_cursor = nodes.begin();
        m_cursorIndex = 0;
        m_cursorValid = true;
    }
    while (m_cursorIndex < index) {
        ++m_cursor;
        ++m_cursorIndex;
    }
    while (m_cursorIndex > index) {
        --m_cursor;
        --m_cursorIndex;
    }
    point = PointOf(*m_cursor);
}

void CDogPath::HitPoint(float x, float y)
{
    const CPoint2 p = GetPlacement().TransformPoint2D(x, y);
    if (!IsFinite(p) || int(m_nodes.size()) >= kMaxNodes)
        return;
    m_nodes.push_back(MakeFreeNode(p));
    NodesChanged();
}

bool IsPassage(const CDogPathNode& a, const CDogPathNode& b)
{
    return a.end != nullptr && b.end != nullptr && a.end->owner == b.end->owner && a.end->GetEndKind() == kEntryKind &&
           b.end->GetEndKind() == kExitKind;
}

bool CDogPath::IsCurvedSegment(CNodes::const_iterator node) const
{
    if (node == m_nodes.end())
        return false;
    const auto next = std::next(node);
    return next != m_nodes.end() && !IsPassage(*node, *next);
}

void CDogPath::GetSegmentCurve(CNodes::const_iterator node, CCurveGeometry& curve) const
{
    const auto next = std::next(node);
    if (node == m_nodes.end() || next == m_nodes.end()) {
        ReportFailure();
        curve = CCurveGeometry();
        return;
    }
    curve.p0 = PointOf(*node);
    curve.p3 = PointOf(*next);
    CPoint2 before;
    CPoint2 after;
    const CPoint2* start = nullptr;
    const CPoint2* end = nullptr;
    if (node != m_nodes.begin() && IsCurvedSegment(std::prev(node))) {
        before = PointOf(*std::prev(node));
        start = &before;
    }
    const auto afterNext = std::next(next);
    if (afterNext != m_nodes.end() && !IsPassage(*next, *afterNext)) {
        after = PointOf(*afterNext);
        end = &after;
    }
    curve.SetHandles(start, end);
}

CDogPath::CNodes::iterator CDogPath::SectionEnd(CNodes::iterator first)
{
    for (auto node = first; node != m_nodes.end(); ++node) {
        const auto next = std::next(node);
        if (next == m_nodes.end())
            return next;
        if (IsPassage(*node, *next))
            return next;
    }
    return m_nodes.end();
}

// ---- Refitting -----------------------------------------------------------------------------

void CDogPath::RefitChangedSections()
{
    if (!m_changed)
        return;
    TRACE_POINT();
    m_changed = false;
    bool refitted = false;
    for (auto first = m_nodes.begin(); first != m_nodes.end();) {
        const auto end = SectionEnd(first);
        bool dirty = false;
        bool tied = false;
        for (auto node = first; node != end; ++node) {
            dirty = dirty || node->dirty;
            tied = tied || node->end != nullptr;
            node->dirty = false;
        }
        if (dirty) {
            refitted = true;
            if (tied) {
                FitSection(first, end);
            } else {
                const auto last = std::prev(end);
                if (last != first)
                    m_nodes.erase(std::next(first), last);
            }
        }
        first = end;
    }
    NodesChanged();
    if (refitted) {
        UpdateWarnings();
        // While the record is written for the drawing's key, the key takes
        // the refitted nodes as it goes.
        if (!m_serializing)
            Invalidate();
    }
}

void CDogPath::FitSection(CNodes::iterator first, CNodes::iterator end)
{
    TRACE_POINT();
    if (first == end)
        return;
    const bool firstFree = first->end == nullptr;
    const bool lastFree = std::prev(end)->end == nullptr;
    const bool atBegin = first == m_nodes.begin();
    const auto before = atBegin ? m_nodes.end() : std::prev(first);
    for (auto node = first; node != end;)
        node = node->end == nullptr ? m_nodes.erase(node) : std::next(node);
    NodesChanged();
    first = atBegin ? m_nodes.begin() : std::next(before);
    if (first == end)
        return;

    float size = GetCourseJumpHeight(*this);
    if (!(size > 0.0f))
        size = kFallbackKnotSize;
    CPathFit fit(first, end, size);
    CPolyline line;
    CKnotParams knot;
    fit.SetUpKnot(knot);
    if (firstFree)
        line.AddPoint(knot.outerBack.x, knot.outerBack.y, false);
    for (;;) {
        line.AddPoint(knot.position.x, knot.position.y, true);
        fit.Advance();
        if (fit.IsAtEnd())
            break;
        CKnotParams next;
        fit.SetUpKnot(next);
        knot.LimitHandles(next);
        // The run-out to the inner front handle.
        const int out = PieceSamples((knot.innerFront - knot.position).Length());
        for (int i = 1; i <= out; ++i) {
            const CPoint2 p = knot.position + (knot.innerFront - knot.position) * (float(i) / float(out));
            line.AddPoint(p.x, p.y, false);
        }
        // The cubic between the outer handles.
        CCurveGeometry curve;
        curve.p0 = knot.innerFront;
        curve.p1 = knot.outerFront;
        curve.p2 = next.outerBack;
        curve.p3 = next.innerBack;
        const int m = std::max(2, PieceSamples(curve.GetLength()));
        for (int i = 1; i < m; ++i) {
            const CPoint2 p = curve.GetPoint(float(i) / float(m));
            line.AddPoint(p.x, p.y, false);
        }
        // The run-in from the next knot's inner back handle.
        const int in = PieceSamples((next.position - next.innerBack).Length());
        for (int i = 0; i < in; ++i) {
            const CPoint2 p = next.innerBack + (next.position - next.innerBack) * (float(i) / float(in));
            line.AddPoint(p.x, p.y, false);
        }
        knot = next;
    }
    if (lastFree)
        line.AddPoint(knot.outerFront.x, knot.outerFront.y, false);
    ReplaceSectionNodes(line, first, end);
}

void CDogPath::ReplaceSectionNodes(CPolyline& polyline, CNodes::iterator first, CNodes::iterator end)
{
    polyline.UpdateLengths(kRefineTolerance, true);
    auto current = first;
    for (int i = polyline.NextFixed(-1); i < polyline.GetCount(); i = polyline.NextFixed(i)) {
        const CPoint2 p = polyline.GetPoint(i);
        if (!IsFinite(p))
            continue;
        if (polyline.GetFixedKind(i) == CPolyline::kFixedByCaller) {
            if (current == end) {
                ReportFailure();
                break;
            }
            const CPoint2 held = CFieldStream::LimitPoint(p);
            current->x = held.x;
            current->y = held.y;
            ++current;
            continue;
        }
        // No node goes inside an obstacle the path passes through.
        if (current != m_nodes.begin() && current != m_nodes.end() && IsPassage(*std::prev(current), *current))
            continue;
        if (int(m_nodes.size()) >= kMaxNodes)
            continue;
        m_nodes.insert(current, MakeFreeNode(p));
    }
    NodesChanged();
}

void CDogPath::UpdateWarnings()
{
    for (CNode& node : m_nodes)
        node.warning = false;
    CCourse* course = GetCourse();
    if (!m_discrimination || course == nullptr)
        return;
    for (auto node = m_nodes.begin(); node != m_nodes.end(); ++node) {
        if ((KindOf(*node) & (kExitKind | kJumpKind)) == 0)
            continue;
        auto next = std::next(node);
        while (next != m_nodes.end() && next->end == nullptr)
            ++next;
        if (next == m_nodes.end() || (KindOf(*next) & (kEntryKind | kJumpKind)) == 0)
            continue;
        CCurveGeometry curve;
        GetSegmentCurve(node, curve);
        const CPoint2 d = curve.p1 - curve.p0;
        bool warning = course->FindEndCrossing(node->x, node->y, d.x, d.y, node->end->owner, next->end->owner, false);
        const CCourseObject* owner = next->end->owner;
        if (!warning && owner != nullptr && owner->HasFirstEnd()) {
            for (const CObstacleEnd* end : owner->GetEnds()) {
                if ((end->GetEndKind() & kEntryKind) != 0 && end->point != next->end->point &&
                    IsWithinForwardCone(node->x, node->y, d.x, d.y, end->GetCoursePoint(), false)) {
                    warning = true;
                    break;
                }
            }
        }
        node->warning = warning;
    }
}

void CDogPath::RemoveNodesInsideObstacles()
{
    for (auto a = m_nodes.begin(); a != m_nodes.end();) {
        if (KindOf(*a) != kEntryKind) {
            ++a;
            continue;
        }
        auto b = std::next(a);
        int free = 0;
        while (b != m_nodes.end() && b->end == nullptr) {
            ++free;
            ++b;
        }
        if (b == m_nodes.end())
            break;
        if (free > 0 && KindOf(*b) == kExitKind && b->end->owner == a->end->owner)
            m_nodes.erase(std::next(a), b);
        a = b;
    }
    NodesChanged();
}

void CDogPath::MarkLinkedNodesDirty()
{
    for (CNode& node : m_nodes) {
        if (node.end != nullptr) {
            node.dirty = true;
            m_changed = true;
        }
    }
}

void CDogPath::DetachNodesOfSelected(bool dropTies)
{
    for (CNode& node : m_nodes) {
        if (node.end == nullptr || node.end->owner == nullptr || !node.end->owner->IsSelected())
            continue;
        node.dirty = true;
        m_changed = true;
        if (dropTies || !node.end->owner->HasEnd(node.end))
            node.end = nullptr;
    }
}

// ---- Placing and dragging ------------------------------------------------------------------

bool CDogPath::IsActive() const
{
    if (IsSelected())
        return true;
    for (const CNode& node : m_nodes) {
        if (node.end != nullptr && node.end->owner != nullptr && node.end->owner->IsSelected())
            return true;
    }
    return false;
}

void CDogPath::Move(float x, float y)
{
    if (GetDefaultSpacing() >= 0.0f)
        CCoursePath::Move(x, y);
}

void CDogPath::EndMove()
{
    TRACE_POINT();
    const bool placing = IsPlacing();
    if (placing && GetDefaultSpacing() < 0.0f)
        EndPlacingWithoutStroke();
    else
        CCoursePath::EndMove();
    if (!placing)
        return;
    SetPlacement(CTransform());
    NodesChanged();
    m_connection->Rebuild(*this, CPathConnection::kPlain, true);
    NodesChanged();
    if (m_fitPending)
        MarkLinkedNodesDirty();
    m_fitPending = false;
    m_changed = true;
}

void CDogPath::ResetSnapAxes()
{
    if (m_connection->GetKind() == CPathConnection::kObstacle)
        CObstacleConnection::CheckUnconnectedObstacles(*this);
    CCoursePath::ResetSnapAxes();
}

void CDogPath::EndHandleMove()
{
    if (m_connection->GetKind() == CPathConnection::kObstacle)
        CObstacleConnection::CheckUnconnectedObstacles(*this);
}

int CDogPath::MoveHandle(int handle, float x, float y)
{
    TRACE_VALUE(int32_t, handle);
    if (handle < 0 || handle >= int(m_nodes.size()) || !std::isfinite(x) || !std::isfinite(y)) {
        TRACE_VALUE(CPoint2, CPoint2(x, y));
        ReportFailure();
        return handle;
    }
    // The refit may change the list: the handle keeps to it.
    RefitChangedSections();
    if (m_nodes.empty())
        return 0;
    CPoint2 reached;
    GetEnd(reached, std::min(handle, int(m_nodes.size()) - 1));
    const auto node = m_cursor;
    node->x = x;
    node->y = y;
    ClampNode(*node);
    const auto p = node == m_nodes.begin() ? node : std::prev(node);
    const auto s = std::next(node) == m_nodes.end() ? node : std::next(node);
    CObstacleEnd* hit = nullptr;
    if (CCourse* course = GetCourse())
        hit = course->FindNearestEnd(node->x, node->y, kSnapRadius, kAllEndKinds, 2, s->x - p->x, s->y - p->y);
    const bool snapped = m_connection->SnapNode(*node, hit);
    ClampNode(*node);
    // Tied at the same place of the same object: the neighbour is the same
    // tie twice.
    const auto sameTie = [&](const CNode& other) {
        return snapped && node->end != nullptr && other.end != nullptr && other.end->owner == node->end->owner &&
               other.end->point == node->end->point;
    };

    if (p != node && IsCurvedSegment(p)) {
        const float d = (PointOf(*node) - PointOf(*p)).Length();
        if (d > kSplitDistance) {
            CCurveGeometry curve;
            GetSegmentCurve(p, curve);
            m_nodes.insert(node, MakeFreeNode(curve.GetPoint(0.5f)));
        } else if (m_nodes.size() > 2) {
            const bool merge = p->end == nullptr
                                   ? d < kMergeDistance &&
                                         (node->end == nullptr || p == m_nodes.begin() || std::prev(p)->end == nullptr)
                                   : sameTie(*p);
            if (merge)
                m_nodes.erase(p);
        }
    }
    if (s != node && IsCurvedSegment(node)) {
        const float d = (PointOf(*s) - PointOf(*node)).Length();
        if (d > kSplitDistance) {
            CCurveGeometry curve;
            GetSegmentCurve(node, curve);
            m_nodes.insert(s, MakeFreeNode(curve.GetPoint(0.5f)));
        } else if (m_nodes.size() > 2) {
            const auto afterS = std::next(s);
            const bool merge = s->end == nullptr
                                   ? d < kMergeDistance &&
                                         (node->end == nullptr || afterS == m_nodes.end() || afterS->end == nullptr)
                                   : sameTie(*s);
            if (merge)
                m_nodes.erase(s);
        }
    }
    if (node->end != nullptr)
        RemoveNodesInsideObstacles();
    NodesChanged();
    const int index = int(std::distance(m_nodes.begin(), node));
    m_cursor = node;
    m_cursorIndex = index;
    m_cursorValid = true;
    return index;
}

// ---- Course notifications ------------------------------------------------------------------

bool CDogPath::FinishNotification()
{
    const bool unchanged = m_connection->UpdateRoute(*this);
    NodesChanged();
    if (!unchanged) {
        m_changed = true;
        UpdateWarnings();
        Invalidate();
    }
    return unchanged;
}

bool CDogPath::ResolveLinks()
{
    TRACE_POINT();
    CCourse* course = GetCourse();
    const bool restoring = IsRestoringStep(*this);
    if (restoring) {
        // The step's next label of the sequence: the one this path's record
        // holds, or, kept, the one it was written with.
        if (m_sequence != nullptr)
            m_sequence->RestoreText(m_recordLabel.empty() ? m_sequence->GetText() : m_recordLabel);
    } else {
        RefitChangedSections();
    }
    m_recordLabel.clear();
    for (CNode& node : m_nodes) {
        if (node.endIndex < 0)
            continue;
        const size_t index = size_t(node.endIndex);
        node.endIndex = -1;
        // A tied node lies on its end's entry, where placing and fitting put
        // it; the end nearest to it may be another obstacle's (one placed
        // beside it later, or whose point lies nearer), whose end at the
        // node's place lies elsewhere or not at all. The node ties to the end
        // at its place whose entry passes nearest, so that the path reads
        // back tied as it was written; failing one within reach, to that
        // place of the nearest end's object.
        const CPoint2 p = PointOf(node);
        CObstacleEnd* tied = nullptr;
        if (course != nullptr) {
            tied = course->FindNearestEndAtPlace(p.x, p.y, kSnapRadius, index);
            if (tied == nullptr)
                tied = EndAtPlace(course->FindNearestEnd(p.x, p.y, kSnapRadius, kAllEndKinds, 1), index);
        }
        // A step's node may lie off its end (a routed path keeps a run of
        // the user's where its ends moved): it ties to the nearest end of
        // that place in its object's list.
        if (restoring && course != nullptr && tied == nullptr)
            tied = FindEndAtIndex(*course, p, index);
        if (tied != nullptr) {
            node.end = tied;
        } else if (!restoring) {
            // The file's tie holds no longer: the node is fitted again.
            node.end = nullptr;
            node.dirty = true;
            m_changed = true;
        }
    }
    if (restoring) {
        // The step's nodes stay as it stored them, and so does its route;
        // the warnings, which no record holds, follow the course read.
        NodesChanged();
        UpdateWarnings();
        InvalidateKeysLater();
        return false;
    }
    // A path read from a file is kept even when its route cannot be made
    // again: the file's nodes stay as they were. What changed is refitted
    // now, as after any notification; the drawing's keys are made when the
    // path is first drawn or measured (courses read paths by the thousand).
    const bool unchanged = m_connection->UpdateRoute(*this);
    NodesChanged();
    if (!unchanged) {
        m_changed = true;
        UpdateWarnings();
        RefitChangedSections();
        InvalidateKeysLater();
    }
    return false;
}

bool CDogPath::BeforeObjectsDeleted()
{
    const bool restoring = IsRestoringStep(*this);
    for (CNode& node : m_nodes) {
        if (node.end == nullptr || node.end->owner == nullptr || !IsBeingDeleted(*node.end->owner))
            continue;
        if (restoring) {
            // The object goes to be read back from the step: the node ties
            // to the same end of it again, as a record names its end.
            const CObstacleEndList& ends = node.end->owner->GetEnds();
            node.endIndex = int32_t(std::find(ends.begin(), ends.end(), node.end) - ends.begin());
        } else {
            node.dirty = true;
            m_changed = true;
        }
        node.end = nullptr;
    }
    return false;
}

bool CDogPath::AfterObjectsDeleted()
{
    return !IsRestoringStep(*this) && FinishNotification();
}

void CDogPath::FollowPlacement()
{
    const CTransform placement = GetPlacement();
    for (auto first = m_nodes.begin(); first != m_nodes.end();) {
        const auto end = SectionEnd(first);
        bool anySelected = false;
        bool anyOther = false;
        for (auto node = first; node != end; ++node) {
            if (node->end == nullptr || node->end->owner == nullptr)
                continue;
            (node->end->owner->IsSelected() ? anySelected : anyOther) = true;
        }
        if (anySelected && anyOther) {
            first->dirty = true;
            m_changed = true;
        } else if (anySelected || (!anyOther && IsSelected())) {
            for (auto node = first; node != end; ++node) {
                const CPoint2 moved = placement.TransformPoint2D(node->x, node->y);
                node->x = moved.x;
                node->y = moved.y;
                ClampNode(*node);
            }
        }
        first = end;
    }
    // The nodes took the move: the drag goes on from the identity.
    SetDragStartPlacement(CTransform(GetDragStartPlacement(), CTransform(placement, true)));
    SetPlacement(CTransform());
}

bool CDogPath::OnOthersMoved()
{
    FollowPlacement();
    return FinishNotification();
}

bool CDogPath::OnMoveStarted()
{
    FollowPlacement();
    return FinishNotification();
}

bool CDogPath::OnOthersRotated()
{
    CCourse* course = GetCourse();
    const bool selectionOnly = course != nullptr && course->IsFlipSelectionOnly();
    const bool selectedOrFree = IsSelected() || !selectionOnly;
    const CTransform placement = GetPlacement();
    const auto takesPart = [selectionOnly](const CNode& node) {
        return node.end != nullptr && node.end->owner != nullptr && node.end->owner->IsInsideRing(selectionOnly);
    };
    for (auto first = m_nodes.begin(); first != m_nodes.end();) {
        const auto end = SectionEnd(first);
        bool anyIn = false;
        bool anyOut = false;
        for (auto node = first; node != end; ++node) {
            if (node->end != nullptr)
                (takesPart(*node) ? anyIn : anyOut) = true;
        }
        for (auto node = first; node != end; ++node) {
            if (takesPart(*node)) {
                bool reversed = false;
                const CObstacleEnd* partner = node->end->owner->FindMirroredEnd(node->end, reversed);
                if (partner != nullptr)
                    node->end = const_cast<CObstacleEnd*>(partner);
                if (reversed || partner == nullptr) {
                    node->dirty = true;
                    m_changed = true;
                }
            }
            if (anyIn && anyOut) {
                node->dirty = true;
                m_changed = true;
            } else if (anyIn || (!anyOut && selectedOrFree)) {
                const CPoint2 mirrored = placement.TransformPoint2D(-node->x, node->y);
                node->x = mirrored.x;
                node->y = mirrored.y;
                ClampNode(*node);
            }
        }
        first = end;
    }
    SetPlacement(CTransform());
    return FinishNotification();
}

bool CDogPath::OnOthersReshaped()
{
    DetachNodesOfSelected(false);
    return FinishNotification();
}

bool CDogPath::OnHandleMoved()
{
    DetachNodesOfSelected(false);
    return FinishNotification();
}

void CDogPath::TieAnew(CNode& node)
{
    const CObstacleEnd* end = node.end;
    const CCourseObject* owner = end->owner;
    if (owner == nullptr) {
        node.end = nullptr;
        node.dirty = true;
        m_changed = true;
        return;
    }
    CObstacleEnd* samePlace = nullptr;
    for (CObstacleEnd* other : owner->GetEnds()) {
        if (other == end || other->point != end->point)
            continue;
        const float dot = other->direction.x * end->direction.x + other->direction.y * end->direction.y;
        if (dot <= kOppositeCosine * other->direction.Length() * end->direction.Length()) {
            node.end = other;
            return;
        }
        samePlace = other;
    }
    if (samePlace != nullptr) {
        node.end = samePlace;
        node.dirty = true;
        m_changed = true;
        return;
    }
    CObstacleEnd* opposite = nullptr;
    for (CObstacleEnd* other : owner->GetEnds()) {
        if (other->point == CPoint2(-end->point.x, -end->point.y))
            opposite = other;
    }
    node.end = opposite;
    if (opposite == nullptr) {
        node.dirty = true;
        m_changed = true;
    }
}

bool CDogPath::OnNumberingChanged()
{
    m_nodes.reverse();
    for (CNode& node : m_nodes) {
        if (node.end != nullptr)
            TieAnew(node);
    }
    NodesChanged();
    return FinishNotification();
}

bool CDogPath::OnJumpSettingsChanged()
{
    m_fileJumpHeight = 0.0f;
    MarkLinkedNodesDirty();
    return FinishNotification();
}

bool CDogPath::OnObjectsAdded()
{
    if (m_connection->GetKind() == CPathConnection::kAutoRoute) {
        m_connection = &GetPathConnection(CPathConnection::kObstacle);
        m_sequence = nullptr;
        m_connection->Rebuild(*this, CPathConnection::kAutoRoute, false);
    }
    return FinishNotification();
}

// ---- Records -------------------------------------------------------------------------------

void CDogPath::ApplyVariant(const std::string& keyName, std::istream& words)
{
    TRACE_VALUE(std::string, keyName);
    m_connection = &GetPathConnection(CPathConnection::kPlain);
    m_sequence = nullptr;
    m_arrowFrequency = 0;
    m_showLength = false;
    int count = ReadLegacyInt(words, 0);
    ReadLegacyInt(words, 0);
    ReadLegacyInt(words, 0);
    if (count < 2 || count > kMaxLegacyPoints)
        count = 0;
    m_nodes.clear();
    NodesChanged();
    // The legacy points lie about the placement; the nodes are course points.
    ReadLegacyCurve(count, words);
    SetPlacement(CTransform());
    NodesChanged();
}

void CDogPath::ReadFields(CFieldStream& stream)
{
    m_readingRecord = true;
    Serialize(stream);
    m_readingRecord = false;
}

void CDogPath::Serialize(CFieldStream& stream)
{
    m_serializing = true;
    RefitChangedSections();
    m_serializing = false;
    const bool reading = stream.IsReading();
    const bool version3 = stream.m_versionMajor == 3;
    CCourse* course = GetCourse();
    if (version3) {
        // The older format carries the jump height in the path: the height
        // a file gave is written back as it was read, until the course's
        // jump settings change; otherwise the course's, as a reader takes it.
        float height = m_fileJumpHeight > 0.0f ? m_fileJumpHeight
                                               : LimitFileJumpHeight(course != nullptr ? course->GetJumpHeight()
                                                                                       : kDefaultJumpHeight);
        stream.Float16(height);
        if (reading) {
            m_fileJumpHeight = LimitFileJumpHeight(height);
            if (course != nullptr)
                course->SetLoadedJumpHeight(m_fileJumpHeight);
        }
    }
    int32_t arrows = m_arrowFrequency;
    bool showLength = m_showLength;
    int32_t units = m_lengthUnits;
    int32_t discrimination = m_discrimination ? 1 : 0;
    int32_t kind = m_connection->GetKind();
    stream.Int8(arrows);
    stream.Bool(showLength);
    stream.Int8(units);
    if (!version3)
        stream.Int8(discrimination);
    stream.Int8(kind);
    if (reading) {
        m_arrowFrequency = arrows >= 0 && arrows <= 2 ? arrows : 0;
        m_showLength = showLength;
        m_lengthUnits = IsUsUnits(units) ? units : kDefaultUnits;
        m_discrimination = discrimination != 0;
        // A kind the program does not know is the file's fault: the path
        // keeps its ties.
        m_connection = &GetPathConnection(kind >= 0 && kind <= 2 ? kind : CPathConnection::kObstacle);
    }
    m_sequence = m_connection->GetKind() == CPathConnection::kAutoRoute ? m_sequence : nullptr;
    if (m_connection->GetKind() == CPathConnection::kAutoRoute) {
        int32_t style = m_sequence != nullptr ? m_sequence->GetStyleIndex() : 0;
        if (!reading && version3 && style == 2)
            style = 1;
        bool flag = m_sequence != nullptr && m_sequence->GetFlag();
        std::wstring label = m_sequence != nullptr ? m_sequence->GetText() : std::wstring(L"1");
        SerializeLegacyBool(stream, style);
        stream.Bool(flag);
        stream.WString(label);
        if (reading) {
            const int styleIndex = style >= 0 && style <= 2 ? style : 0;
            m_sequence = course != nullptr ? course->GetNumbering(&styleIndex, &flag, &label) : nullptr;
            m_recordLabel = label;
        }
    }
    int32_t count = int32_t(m_nodes.size());
    stream.Int16(count);
    if (!reading) {
        if (count == 0) {
            // A new number whenever the path was made anew, so that its
            // drawing is never taken for an older one's.
            if (m_emptyNumber == 0)
                m_emptyNumber = ++g_emptyRecordCounter;
            stream.Int32(m_emptyNumber);
            return;
        }
        m_emptyNumber = 0;
        for (const CNode& node : m_nodes) {
            CPoint2 p(node.x, node.y);
            stream.Point(p);
        }
        int32_t run = 0;
        for (CNode& node : m_nodes) {
            if (node.end == nullptr || node.end->owner == nullptr) {
                ++run;
                continue;
            }
            const CObstacleEndList& ends = node.end->owner->GetEnds();
            int32_t index = int32_t(std::find(ends.begin(), ends.end(), node.end) - ends.begin());
            stream.Int16(run);
            stream.Int8(index);
            run = 0;
        }
        if (run > 0)
            stream.Int16(run);
        return;
    }

    m_nodes.clear();
    NodesChanged();
    m_emptyNumber = 0;
    if (count <= 0) {
        if (count == 0)
            stream.Int32(m_emptyNumber);
        return;
    }
    // The reader is the one stream that reads.
    const CFieldReader* reader = static_cast<const CFieldReader*>(&stream);
    const CTransform placement = GetPlacement();
    for (int32_t i = 0; i < count && !reader->AtFieldEnd(); ++i) {
        CPoint2 p;
        stream.Point(p);
        m_nodes.push_back(MakeFreeNode(placement.TransformPoint2D(p)));
    }
    if (!m_readingRecord || !IsIdentityPlacement(placement))
        SetPlacement(CTransform());
    int32_t run = -1;
    for (CNode& node : m_nodes) {
        if (reader->AtFieldEnd())
            break;
        if (run < 0)
            stream.Int16(run);
        if (run == 0) {
            int32_t index = -1;
            stream.Int8(index);
            node.endIndex = index;
            run = -1;
        } else {
            node.endIndex = -1;
            --run;
        }
    }
    NodesChanged();
}

void CDogPath::SerializeExtra(CFieldStream& stream)
{
    int32_t metric = IsOnMetricCourse(*this) ? 1 : 0;
    int32_t shown = IsShown() ? 1 : 0;
    stream.Int8(metric);
    stream.Int8(shown);
    for (const CNode& node : m_nodes) {
        int32_t warning = node.warning ? 1 : 0;
        stream.Int8(warning);
    }
}

bool CDogPath::IsShown() const
{
    return GetCourse() == nullptr || GetCourse()->GetShowPaths();
}

// ---- Drawing -------------------------------------------------------------------------------

bool CDogPath::HasArrowAt(CNodes::const_iterator node) const
{
    if (node == m_nodes.end())
        return false;
    if (std::next(node) == m_nodes.end())
        return true;
    if (node->end == nullptr)
        return false;
    return m_arrowFrequency == 1 || (m_arrowFrequency == 2 && node->end->GetEndKind() != kJumpKind);
}

void CDogPath::DrawPathLine(CGraphicsContext& context)
{
    ApplyDrawAttributes(context);
    context.m_state.strokeZ = 0.1f;
    if (m_nodes.empty()) {
        CCoursePath::Draw2D(context);
        return;
    }
    RefitChangedSections();
    if (m_nodes.size() == 1) {
        // One node has no curve: a dot shows where it is.
        const CNode& node = m_nodes.front();
        context.BeginLine(1);
        context.MoveTo(node.x, node.y);
        context.LineTo(node.x + 1.0f, node.y);
        context.EndPath();
        return;
    }
    bool open = false;
    for (auto node = m_nodes.cbegin(); std::next(node) != m_nodes.cend(); ++node) {
        const auto next = std::next(node);
        if (IsPassage(*node, *next)) {
            if (open)
                context.EndPath();
            open = false;
            continue;
        }
        CCurveGeometry curve;
        GetSegmentCurve(node, curve);
        if (!open)
            context.BeginLine(1);
        open = true;
        if (HasArrowAt(next)) {
            DrawArrowSegment(context, curve);
            open = false;
        } else {
            context.AddBezierSegment(curve);
        }
    }
    if (open)
        context.EndPath();
}

std::vector<CDogPath::CLeg> CDogPath::GetLegs()
{
    RefitChangedSections();
    std::vector<CLeg> legs;
    if (m_nodes.empty())
        return legs;
    auto first = m_nodes.cbegin();
    while (std::next(first) != m_nodes.cend()) {
        // The leg's segments, from first up to the next arrow.
        std::vector<CNodes::const_iterator> segments;
        auto node = first;
        do {
            segments.push_back(node);
            ++node;
        } while (std::next(node) != m_nodes.cend() && !(HasArrowAt(node) && !IsPassage(*std::prev(node), *node)));
        CLeg leg;
        const int k = int(segments.size());
        const int q = k > 4 ? k / 3 : k / 2;
        int labelSegment = -1;
        int lastCurved = -1;
        for (int i = 0; i < k; ++i) {
            const auto segment = segments[size_t(i)];
            const auto next = std::next(segment);
            if (IsPassage(*segment, *next)) {
                const CCourseObject* owner = segment->end->owner;
                const float through = owner->GetPathLength(owner->GetPlacement().InverseTransformPoint2D(PointOf(*segment)),
                                                           owner->GetPlacement().InverseTransformPoint2D(PointOf(*next)));
                if (std::isfinite(through))
                    leg.length += through;
                continue;
            }
            CCurveGeometry curve;
            GetSegmentCurve(segment, curve);
            const float length = curve.GetLength();
            if (std::isfinite(length))
                leg.length += length;
            lastCurved = i;
            if (labelSegment < 0 && i >= q)
                labelSegment = i;
        }
        if (labelSegment < 0)
            labelSegment = lastCurved;
        if (labelSegment >= 0) {
            CCurveGeometry curve;
            GetSegmentCurve(segments[size_t(labelSegment)], curve);
            leg.labelPoint = curve.GetPoint(0.2f);
            leg.labelled = true;
        } else if (m_arrowFrequency == 0 && k >= 1) {
            // A leg of passages only: its label sits between its first two
            // nodes (a leg always has two).
            leg.labelPoint = (PointOf(*segments.front()) + PointOf(*std::next(segments.front()))) * 0.5f;
            leg.labelled = true;
        }
        legs.push_back(leg);
        first = node;
    }
    return legs;
}

void CDogPath::Draw2D(CGraphicsContext& context)
{
    TRACE_POINT();
    if (!m_nodes.empty())
        RefitChangedSections();
    CShapeDrawer<CDogPath> drawer(this, &CDogPath::DrawPathLine);
    CFieldWriter& key = drawer.BeginKey();
    key.WriteInt8(GetColorMode());
    key.WriteInt8(GetPrimaryColorIndex());
    key.WriteInt8(GetDisplayState());
    Serialize(key);

    std::vector<std::unique_ptr<CTextLabelPart>> labels;
    if (m_showLength && !m_nodes.empty()) {
        const bool metric = IsOnMetricCourse(*this);
        for (const CLeg& leg : GetLegs()) {
            if (!leg.labelled || !IsFinite(leg.labelPoint))
                continue;
            labels.push_back(std::make_unique<CTextLabelPart>(false));
            CTextLabelPart& label = *labels.back();
            label.SetText(FormatMeasuredLength(leg.length, metric, EUnitKind(m_lengthUnits)));
            label.SetStyle(GetColorMode());
            label.AttachToObject(*this);
            label.SetOffset(leg.labelPoint);
        }
    }

    if (m_discrimination) {
        const CTransform base = context.m_state.matrix;
        CDogPathDrawable marker;
        const CCourse* course = GetCourse();
        marker.SetSecondLobe(course != nullptr && course->GetOrganisationId() == kLobeOrganisation);
        for (auto node = m_nodes.cbegin(); node != m_nodes.cend(); ++node) {
            if (!node->warning || std::next(node) == m_nodes.cend())
                continue;
            CCurveGeometry curve;
            GetSegmentCurve(node, curve);
            const CPoint2 d = curve.p1 - curve.p0;
            CTransform frame;
            // Turns count clockwise on the plan, whose y runs down.
            frame.RotateZ(-std::atan2(d.y, d.x) * 180.0f / 3.14159265f);
            frame.SetPosition2D(node->x, node->y);
            marker.ChooseNextColor();
            context.m_state.matrix = CTransform(base, frame);
            context.DrawDrawable(marker, 0, 0);
        }
        context.m_state.matrix = base;
    }

    context.DrawDrawable(drawer, 0, 0);
    for (const std::unique_ptr<CTextLabelPart>& label : labels)
        label->DrawAtAnchor(context);
}
