#include "objects/annotations/PathConnection.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <set>
#include <vector>

#include "course/Course.h"
#include "course/CourseNumbering.h"
#include "foundation/CrashLog.h"
#include "foundation/Curve.h"
#include "foundation/NoticeSink.h"
#include "foundation/TracePoint.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/ObsNumSequence.h"
#include "objects/annotations/Polyline.h"
#include "objects/equipment/ObstacleEnd.h"

namespace {

constexpr int kEntryKind = 1;
constexpr int kExitKind = 2;
constexpr int kJumpKind = 4;
constexpr int kStartKind = 8;
constexpr int kFinishKind = 16;
constexpr int kAllEndKinds = 31;
// The contact obstacles' drawing layer.
constexpr int kContactLayer = 4;
// How far a just-drawn path must leave a contact obstacle in a tilted 3D
// view before reaching its far end warns.
constexpr float kContactLeaveDistance = 360.0f;
constexpr int kContactTilt = 45;
constexpr int kContactHint = 2710;
constexpr int kNearMissHint = 2711;
// Two exits nearer than this to the next obstacle count as equally near.
constexpr float kExitTolerance = 10.0f;

// Hint 2711 shows once a run.
bool g_nearMissHintPending = true;

int KindOf(const CObstacleEnd* end) { return end != nullptr ? end->GetEndKind() : 0; }

CPoint2 PointOf(const CDogPathNode& node) { return CPoint2(node.x, node.y); }

// The first other end of the owner at exactly the end's local point.
CObstacleEnd* TwinOf(const CObstacleEnd* end)
{
    if (end == nullptr || end->owner == nullptr)
        return nullptr;
    for (CObstacleEnd* other : end->owner->GetEnds()) {
        if (other != end && other->point == end->point)
            return other;
    }
    return nullptr;
}

// Samples along a curve of this length: L / spacing + 1, within bounds.
int SegmentSamples(float length)
{
    if (!(length >= 0.0f))
        return 1;
    const float n = std::floor(length / CPathConnection::kSampleSpacing + 1.0f);
    return int(std::min(std::max(n, 1.0f), float(CPathConnection::kMaxSegmentSamples)));
}

CDogPathNode MakeTiedNode(CObstacleEnd* end, const CPoint2& at, bool dirty)
{
    CDogPathNode node;
    const CPoint2 held = CFieldStream::LimitPoint(at);
    node.x = held.x;
    node.y = held.y;
    node.end = end;
    node.dirty = dirty;
    return node;
}

// The distance from p to the nearest point of the rectangle (0 inside).
float DistanceToRect(const CRectF& rect, const CPoint2& p)
{
    const float dx = std::max({rect.left - p.x, 0.0f, p.x - rect.right});
    const float dy = std::max({rect.top - p.y, 0.0f, p.y - rect.bottom});
    return std::hypot(dx, dy);
}

}  // namespace

CPathConnection& GetPathConnection(int kind)
{
    static CPlainConnection plain;
    static CObstacleConnection obstacle;
    static CAutoRouteConnection autoRoute;
    switch (kind) {
    case CPathConnection::kPlain:
        return plain;
    case CPathConnection::kObstacle:
        return obstacle;
    case CPathConnection::kAutoRoute:
        return autoRoute;
    default:
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        return obstacle;
    }
}

// ---- Plain ---------------------------------------------------------------------------------

bool CPlainConnection::SnapNode(CDogPathNode& node, CObstacleEnd* end)
{
    return false;
}

void CPlainConnection::Rebuild(CDogPath& path, int previousKind, bool justDrawn)
{
    if (path.GetSequence() != nullptr) {
        ReportFailure();
        path.SetSequence(nullptr);
    }
    for (CDogPathNode& node : path.EditNodes()) {
        node.end = nullptr;
        node.dirty = false;
    }
}

// ---- Obstacle connection -------------------------------------------------------------------

bool CObstacleConnection::SnapNode(CDogPathNode& node, CObstacleEnd* end)
{
    node.end = end;
    if (end != nullptr) {
        const CPoint2 p = end->ClosestEntryPoint(PointOf(node));
        if (IsFinite(p)) {
            node.x = p.x;
            node.y = p.y;
        }
    }
    return true;
}

struct CObstacleConnection::CExamination
{
    CCourse* course;
    CDogPathNodes& nodes;
    CPolyline& line;
    bool justDrawn;
    // Ends of this object are passed by until another object's end is met.
    const CCourseObject* ignored = nullptr;
};

void CObstacleConnection::Examine(CExamination& state, const CPoint2& p, const CPoint2& d)
{
    CObstacleEnd* e = state.course->FindNearestEnd(p.x, p.y, kEndReach, kAllEndKinds, 2, d.x, d.y);
    if (e != nullptr && e->owner == state.ignored)
        e = nullptr;
    CPoint2 x;
    if (e != nullptr) {
        if (e->GetEndKind() == kEntryKind && state.justDrawn) {
            m_contactWarningArmed = false;
            m_contactObject = nullptr;
        } else if (e->GetEndKind() == kExitKind && m_contactWarningArmed && e->owner == m_contactObject) {
            ShowHintNotice(kContactHint, L"DogPath", 1);
        }
        x = e->IntersectEntryLine(p, d);
    }
    CDogPathNodes& nodes = state.nodes;
    CPolyline& line = state.line;
    CObstacleEnd* last = nodes.empty() ? nullptr : nodes.back().end;
    const int f = line.PrevFixed(line.GetCount());
    const CObstacleEnd* entry = nullptr;
    if (nodes.size() >= 2 && KindOf(last) == kExitKind) {
        const CObstacleEnd* before = std::prev(nodes.end(), 2)->end;
        if (before != nullptr && before->owner == last->owner)
            entry = before;
    }
    const auto bind = [&](CObstacleEnd* end, const CPoint2& at) {
        line.AddPoint(p.x, p.y, true);
        nodes.push_back(MakeTiedNode(end, at, false));
    };
    const auto dropLast = [&]() {
        if (f >= 0)
            line.RemovePoint(f);
        nodes.pop_back();
    };

    if (e == nullptr) {
        if (state.justDrawn && last != nullptr && KindOf(last) == kEntryKind && last->owner != nullptr &&
            last->owner->GetLayer() == kContactLayer &&
            DistanceToRect(last->owner->GetBoundingRect(), p) > kContactLeaveDistance && state.course->Get3DCamera() &&
            state.course->GetViewCamera().GetPitch() >= kContactTilt) {
            m_contactWarningArmed = true;
            m_contactObject = last->owner;
        }
        line.AddPoint(p.x, p.y, false);
        return;
    }
    if (last == nullptr) {
        bind(e, x);
        return;
    }
    if (e->owner != last->owner) {
        state.ignored = nullptr;
        if (KindOf(e) == kExitKind && TwinOf(e) == nullptr) {
            line.AddPoint(p.x, p.y, false);
            state.ignored = e->owner;
        } else {
            bind(e, x);
        }
        return;
    }
    if (e->point == last->point || (KindOf(e) & (kEntryKind | kExitKind)) == 0) {
        // The same end again: only the sample nearest its crossing stays.
        const float d1 = (p - x).Length();
        const float d2 = f >= 0 ? (line.GetPoint(f) - PointOf(nodes.back())).Length() : 0.0f;
        if (!(d2 > d1))
            return;
        if (KindOf(e) == kEntryKind && entry != nullptr) {
            e = last;
            x = e->IntersectEntryLine(p, d);
        }
        dropLast();
        bind(e, x);
        return;
    }
    if (entry != nullptr) {
        // A new exit for the passage.
        if (KindOf(e) != kExitKind) {
            if (CObstacleEnd* twin = TwinOf(e)) {
                if (KindOf(twin) != kExitKind)
                    ReportFailure();
                e = twin;
                x = e->IntersectEntryLine(p, d);
            }
        }
        if (e->point == entry->point)
            return;
        dropLast();
        bind(e, x);
        return;
    }
    if (KindOf(last) != kEntryKind) {
        if (CObstacleEnd* twin = TwinOf(last)) {
            if (KindOf(twin) != kEntryKind)
                ReportFailure();
            nodes.back().end = twin;
            last = twin;
        }
    }
    if (KindOf(e) != kExitKind) {
        if (CObstacleEnd* twin = TwinOf(e)) {
            e = twin;
            x = e->IntersectEntryLine(p, d);
        }
    }
    if (KindOf(last) == kEntryKind && KindOf(e) == kExitKind) {
        bind(e, x);
        return;
    }
    // No passage through this object: the entry tie goes.
    if (f >= 0)
        line.SetFixed(f, false);
    nodes.pop_back();
    state.ignored = e->owner;
}

void CObstacleConnection::Rebuild(CDogPath& path, int previousKind, bool justDrawn)
{
    TRACE_VALUE(int32_t, previousKind);
    if (previousKind == kAutoRoute)
        return;
    if (previousKind != kPlain)
        ReportFailure();
    CDogPathNodes& old = path.EditNodes();
    CCourse* course = path.GetCourse();
    if (old.size() < 2 || course == nullptr) {
        // Nothing to walk: the nodes stay, untied.
        for (CDogPathNode& node : old) {
            node.end = nullptr;
            node.dirty = false;
        }
        return;
    }
    CDogPathNodes fresh;
    CPolyline line;
    CExamination state{course, fresh, line, justDrawn};
    CPoint2 lastPoint;
    CPoint2 lastDirection;
    for (auto node = old.cbegin(); std::next(node) != old.cend(); ++node) {
        CCurveGeometry curve;
        path.GetSegmentCurve(node, curve);
        const int n = SegmentSamples(curve.GetLength());
        CPoint2 p = curve.p0;
        for (int i = 1; i <= n; ++i) {
            const CPoint2 next = curve.GetPoint(float(i) / float(n));
            const CPoint2 d = next - p;
            Examine(state, p, d);
            p = next;
            lastDirection = d;
        }
        lastPoint = p;
    }
    Examine(state, lastPoint, lastDirection);

    old.swap(fresh);
    AlignPolylineToNodes(old, line);
    // The kept points become the nodes between the tied ones.
    line.UpdateLengths(kSampleSpacing, true);
    auto bound = old.begin();
    for (int i = line.NextFixed(-1); i < line.GetCount(); i = line.NextFixed(i)) {
        const CPoint2 p = line.GetPoint(i);
        if (line.GetFixedKind(i) == CPolyline::kFixedByCaller) {
            if (bound == old.end()) {
                ReportFailure();
                break;
            }
            const CPoint2 held = CFieldStream::LimitPoint(p);
            bound->x = held.x;
            bound->y = held.y;
            ++bound;
            continue;
        }
        if (bound != old.begin() && bound != old.end() && IsPassage(*std::prev(bound), *bound))
            continue;
        if (!IsFinite(p) || int(old.size()) >= CDogPath::kMaxNodes)
            continue;
        CDogPathNode node;
        const CPoint2 held = CFieldStream::LimitPoint(p);
        node.x = held.x;
        node.y = held.y;
        old.insert(bound, node);
    }
    path.NodesChanged();
}

void CObstacleConnection::AlignPolylineToNodes(const CDogPathNodes& nodes, CPolyline& polyline)
{
    const int count = polyline.GetCount();
    // The straight distance from point i - 1 to point i, as the points now lie.
    const auto step = [&polyline](int i) { return (polyline.GetPoint(i) - polyline.GetPoint(i - 1)).Length(); };
    // Moves point j by the offset, faded by the arc length a from the fixed
    // point over the span s; coinciding samples leave no span to fade over,
    // and the point takes the whole offset.
    const auto shift = [&polyline](int j, const CPoint2& offset, float a, float s) {
        const float w = s > 0.0f ? (s - a) / s : 1.0f;
        const CPoint2 q = polyline.GetPoint(j) + offset * w;
        polyline.SetPoint(j, q.x, q.y);
    };
    auto node = nodes.cbegin();
    for (int f = polyline.NextFixed(-1); f < count && node != nodes.cend(); f = polyline.NextFixed(f), ++node) {
        const CPoint2 offset = PointOf(*node) - polyline.GetPoint(f);
        // Backwards to the previous fixed point, or to the first point, and
        // forwards to the next one, or to the last point; each pass measures
        // the points as they lie when it begins.
        const int previous = polyline.PrevFixed(f);
        const int back = previous >= 0 ? previous : 0;
        std::vector<float> lengths;
        float s = 0.0f;
        for (int i = f; i > back; --i)
            lengths.push_back(s += step(i));
        for (int j = f - 1; j > previous && j >= 0; --j)
            shift(j, offset, lengths[size_t(f - 1 - j)], s);
        const int next = polyline.NextFixed(f);
        const int ahead = next < count ? next : count - 1;
        lengths.clear();
        s = 0.0f;
        for (int i = f + 1; i <= ahead; ++i)
            lengths.push_back(s += step(i));
        for (int j = f + 1; j < next && j < count; ++j)
            shift(j, offset, lengths[size_t(j - f - 1)], s);
        polyline.SetPoint(f, node->x, node->y);
    }
}

void CObstacleConnection::CheckUnconnectedObstacles(CDogPath& path)
{
    if (!g_nearMissHintPending)
        return;
    CCourse* course = path.GetCourse();
    if (course == nullptr)
        return;
    std::set<const CCourseObject*> owners;
    for (const CDogPathNode& node : path.GetNodes()) {
        if (node.end != nullptr)
            owners.insert(node.end->owner);
    }
    const CDogPathNodes& nodes = path.GetNodes();
    for (auto node = nodes.cbegin(); node != nodes.cend(); ++node) {
        if (!path.IsCurvedSegment(node))
            continue;
        CCurveGeometry curve;
        path.GetSegmentCurve(node, curve);
        const int n = SegmentSamples(curve.GetLength());
        for (int i = 0; i <= n; ++i) {
            const CPoint2 p = curve.GetPoint(float(i) / float(n));
            const float x = std::floor(p.x);
            const float y = std::floor(p.y);
            const CObstacleEnd* end = course->FindNearestEnd(x, y, kEndReach, kAllEndKinds, 1);
            if (end != nullptr && owners.count(end->owner) == 0 && g_nearMissHintPending) {
                ShowHintNotice(kNearMissHint, L"DogPath", 1);
                g_nearMissHintPending = false;
            }
        }
    }
}

// ---- Auto-route ----------------------------------------------------------------------------

bool CAutoRouteConnection::SnapNode(CDogPathNode& node, CObstacleEnd* end)
{
    if (node.end != nullptr) {
        const CPoint2 p = node.end->ClosestEntryPoint(PointOf(node));
        if (IsFinite(p)) {
            node.x = p.x;
            node.y = p.y;
        }
    }
    return false;
}

bool CanAutoRoute(const CCourse& course, const CCourseNumbering* sequence)
{
    if (sequence == nullptr) {
        ReportFailure();
        return false;
    }
    const size_t members = std::min<size_t>(sequence->GetMemberCount(), 2);
    if (members == 0)
        return false;
    if (course.HasLooseLayer3Object() || sequence->GetKind() == 0)
        return false;
    if (course.FindNearestEnd(0.0f, 0.0f, -1.0f, kEntryKind | kJumpKind, 0) == nullptr)
        return false;
    if (members >= 2)
        return true;
    int kind0 = 0;
    int kind2 = 0;
    int other = 0;
    course.CountEndLines(kind0, kind2, other);
    return kind0 != 0 || kind2 != 0 || other != 0;
}

void CAutoRouteConnection::BuildRoute(const CCourse& course, const CCourseNumbering* sequence, CDogPathNodes& nodes)
{
    TRACE_POINT();
    nodes.clear();
    const CObsNumSequence* own = dynamic_cast<const CObsNumSequence*>(sequence);
    if (own == nullptr) {
        ReportFailure();
        return;
    }
    if (!CanAutoRoute(course, sequence))
        ReportFailure();
    for (const CObsNum* number : own->GetMembers()) {
        CObstacleEnd* end = const_cast<CObstacleEnd*>(number->FindObstacleEnd());
        if (end == nullptr) {
            // A number whose obstacle went is left out of the route.
            continue;
        }
        nodes.push_back(MakeTiedNode(end, end->GetCoursePoint(), true));
    }
    if (nodes.empty())
        return;
    // The start-line end nearest the first obstacle (of two at one place,
    // the one the way from it to the obstacle passes), and the finish-line
    // end nearest the last (the way from the obstacle to it).
    const CPoint2 first = nodes.front().end->GetCoursePoint();
    if (CObstacleEnd* start = course.FindNearestEnd(first.x, first.y, -1.0f, kStartKind, 0))
        nodes.push_front(MakeTiedNode(start, start->GetCoursePoint(), true));
    const CPoint2 last = nodes.back().end->GetCoursePoint();
    if (CObstacleEnd* finish = course.FindNearestEnd(last.x, last.y, -1.0f, kFinishKind, 1))
        nodes.push_back(MakeTiedNode(finish, finish->GetCoursePoint(), true));
    // Each entry gets its obstacle's exit, the one nearest the next end.
    for (auto a = nodes.begin(); a != nodes.end(); ++a) {
        const auto b = std::next(a);
        if (b == nodes.end())
            break;
        if (KindOf(a->end) != kEntryKind)
            continue;
        const CCourseObject* owner = a->end->owner;
        const CPoint2 target = b->end->GetCoursePoint();
        CObstacleEnd* best = nullptr;
        float bestDistance = 0.0f;
        for (CObstacleEnd* candidate : owner->GetEnds()) {
            if (KindOf(candidate) != kExitKind || !owner->IsValidTraversal(a->end, candidate))
                continue;
            const float distance = candidate->DistanceTo(target.x, target.y);
            if (best == nullptr || distance < bestDistance - kExitTolerance ||
                (distance <= bestDistance + kExitTolerance &&
                 (candidate->GetCoursePoint() - target).Length() < (best->GetCoursePoint() - target).Length())) {
                best = candidate;
                bestDistance = distance;
            }
        }
        if (best == nullptr) {
            // An obstacle without an exit the entry allows: the route runs on.
            continue;
        }
        a = nodes.insert(b, MakeTiedNode(best, best->GetCoursePoint(), true));
    }
}

namespace {

using CNodeIterator = CDogPathNodes::iterator;

// The run from first: up to the node that begins a passage, or the last.
CNodeIterator RunEnd(CDogPathNodes& nodes, CNodeIterator first)
{
    for (auto node = first; node != nodes.end(); ++node) {
        const auto next = std::next(node);
        if (next == nodes.end() || IsPassage(*node, *next))
            return next;
    }
    return nodes.end();
}

// The tied ends of a run, in order.
std::vector<const CObstacleEnd*> TiedEnds(CNodeIterator first, CNodeIterator end)
{
    std::vector<const CObstacleEnd*> ends;
    for (auto node = first; node != end; ++node) {
        if (node->end != nullptr)
            ends.push_back(node->end);
    }
    return ends;
}

}  // namespace

void CAutoRouteConnection::MergeRouteRuns(CDogPathNodes& route, CDogPathNodes& old)
{
    for (auto run = route.begin(); run != route.end();) {
        auto runEnd = RunEnd(route, run);
        const std::vector<const CObstacleEnd*> wanted = TiedEnds(run, runEnd);
        bool matched = false;
        for (auto oldRun = old.begin(); oldRun != old.end();) {
            const auto oldEnd = RunEnd(old, oldRun);
            if (TiedEnds(oldRun, oldEnd) != wanted) {
                oldRun = oldEnd;
                continue;
            }
            matched = true;
            bool dirty = false;
            for (auto node = oldRun; node != oldEnd; ++node)
                dirty = dirty || node->dirty;
            if (dirty) {
                old.erase(oldRun, oldEnd);
                run->dirty = true;
            } else {
                // The user's run comes back; older runs are passed for good.
                old.erase(old.begin(), oldRun);
                route.splice(run, old, oldRun, oldEnd);
                route.erase(run, runEnd);
            }
            break;
        }
        if (!matched)
            run->dirty = true;
        run = runEnd;
    }
}

bool CAutoRouteConnection::UpdateRoute(CDogPath& path)
{
    CCourse* course = path.GetCourse();
    if (course == nullptr || path.GetSequence() == nullptr || !CanAutoRoute(*course, path.GetSequence()))
        return true;
    CDogPathNodes old;
    old.swap(path.EditNodes());
    CDogPathNodes& route = path.EditNodes();
    BuildRoute(*course, path.GetSequence(), route);
    MergeRouteRuns(route, old);
    path.NodesChanged();
    return false;
}
