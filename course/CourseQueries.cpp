#include "course/Course.h"

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <limits>
#include <map>
#include <memory>
#include <ostream>
#include <set>

#include "course/CourseMark.h"
#include "course/CourseNumbering.h"
#include "course/CourseObject.h"
#include "course/EndIndex.h"
#include "course/ObjectType.h"
#include "dialogs/LengthFormat.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "graphics/GraphicsContext.h"
#include "objects/annotations/ObsNumLabel.h"
#include "objects/equipment/ObstacleEnd.h"

namespace {

// Ends closer than this to each other count as equally near.
constexpr float kNearTolerance = 10.0f;
// A point this near an entry lies on it but for the rounding to whole units
// of the point and of the entry's object's place, each of which a record
// stores.
constexpr float kOnEntryDistance = 2.0f;
// Kinds whose ends a path can cross: first ends and jump ends.
constexpr int kCrossedEndKinds = 1 | 4;
// Reach of the forward cone of a path node.
constexpr float kShortConeReach = 2520.0f;
constexpr float kConeReach = 2760.0f;
// Map and 3D shapes.
constexpr int kMapView = 2;

bool Touches(const CRectF& a, const CRectF& b)
{
    return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
}

// The square of half-side reach about the point, inside the area.
CRectF NarrowArea(const CRectF& area, float x, float y, float reach)
{
    CRectF narrowed;
    if (!narrowed.Intersect(area, CRectF(x - reach, y - reach, x + reach, y + reach))) {
        // A point exactly on the area's edge leaves a degenerate overlap,
        // which the touch test still meets.
        narrowed = CRectF(std::max(area.left, x - reach), std::max(area.top, y - reach),
                          std::min(area.right, x + reach), std::min(area.bottom, y + reach));
    }
    return narrowed;
}

}  // namespace

bool IsWithinForwardCone(float x, float y, float dx, float dy, const CPoint2& point, bool shortRange)
{
    const float vx = point.x - x;
    const float vy = point.y - y;
    const float reach = shortRange ? kShortConeReach : kConeReach;
    if (vx * vx + vy * vy > reach * reach)
        return false;
    return dx * vx + dy * vy > std::fabs(dy * vx - dx * vy);
}


CViewCamera& CCourse::GetViewCamera()
{
    CViewCamera& camera = GetCurrentCamera();
    camera.SetCourseRect(GetRingRect(true, true));
    return camera;
}

void CCourse::CountObjectsOutside(int& belowY, int& aboveY, int& belowX, int& aboveX) const
{
    for (CCourseObject* object : m_objects) {
        const CPoint2 centre = object->GetBoundingRect().GetCentre();
        if (centre.y < 0.0f)
            ++belowY;
        else if (centre.y > m_height)
            ++aboveY;
        if (centre.x < 0.0f)
            ++belowX;
        else if (centre.x > m_width)
            ++aboveX;
    }
}

void CCourse::CountEndLines(int& kind0, int& kind2, int& other) const
{
    for (CCourseObject* object : m_objects) {
        const int kind = object->GetEndLineKind();
        if (kind == CCourseObject::kNoEndLine)
            continue;
        if (kind == 0)
            ++kind0;
        else if (kind == 2)
            ++kind2;
        else
            ++other;
    }
}

bool CCourse::HasLooseLayer3Object() const
{
    for (CCourseObject* object : m_objects) {
        if (object->GetLayer() == 3 && object->GetEnds().empty())
            return true;
    }
    return false;
}

namespace {

// The order of the course's sequences: badge style index, flag, label kind.
bool NumberingBefore(const CCourseNumbering& a, int styleIndex, bool flag, int kind)
{
    if (a.GetStyleIndex() != styleIndex)
        return a.GetStyleIndex() < styleIndex;
    if (a.GetFlag() != flag)
        return !a.GetFlag();
    return a.GetKind() < kind;
}

}  // namespace

CCourseNumbering* CCourse::GetNumbering(const int* styleIndex, const bool* badgeFlag, const std::wstring* label)
{
    const int labelKind = label != nullptr ? GetObsNumLabelKind(*label) : 1;
    CCourseNumbering* best = nullptr;
    for (const auto& sequence : m_numberings) {
        if (styleIndex != nullptr && sequence->GetStyleIndex() != *styleIndex)
            continue;
        if (badgeFlag != nullptr && sequence->GetFlag() != *badgeFlag)
            continue;
        if (label != nullptr && sequence->GetKind() != labelKind)
            continue;
        if (best == nullptr || sequence->GetStamp() > best->GetStamp())
            best = sequence.get();
    }
    if (best != nullptr)
        return best;
    const int style = styleIndex != nullptr ? *styleIndex : 0;
    const bool flag = badgeFlag != nullptr && *badgeFlag;
    std::unique_ptr<CCourseNumbering> made = MakeCourseNumbering(this, style, flag, labelKind);
    if (!made)
        return nullptr;
    best = made.get();
    auto at = std::lower_bound(m_numberings.begin(), m_numberings.end(), best,
                               [](const std::unique_ptr<CCourseNumbering>& held, const CCourseNumbering* wanted) {
                                   return NumberingBefore(*held, wanted->GetStyleIndex(), wanted->GetFlag(),
                                                          wanted->GetKind());
                               });
    m_numberings.insert(at, std::move(made));
    return best;
}

void CCourse::RefreshNumbering()
{
    TRACE_POINT();
    SetMotion(0);
    for (const auto& sequence : m_numberings)
        sequence->Reverse();
    for (CCourseObject* object : m_objects)
        object->Reverse();
    RemoveObjectsWhere(&CCourseObject::OnNumberingChanged);
    UpdateCoordinateMarks();
}

void CCourse::ResumeSequentialNumbering()
{
    for (const auto& sequence : m_numberings) {
        if (sequence->IsSequential(false))
            sequence->SetAutoNumber(true);
    }
}

CCourse::ENumberingHold CCourse::GetNumberingHold() const
{
    if (m_replacingHolds > 0)
        return ENumberingHold::kReplacing;
    return m_numberingHolds > 0 ? ENumberingHold::kHeld : ENumberingHold::kNone;
}

CCourse::CNumberingHold::CNumberingHold(CCourse& course, bool replacing) : m_course(course), m_replacing(replacing)
{
    ++m_course.m_numberingHolds;
    if (m_replacing)
        ++m_course.m_replacingHolds;
}

CCourse::CNumberingHold::~CNumberingHold()
{
    if (m_replacing)
        --m_course.m_replacingHolds;
    if (--m_course.m_numberingHolds > 0)
        return;
    // A sequence made while catching up needs nothing of its own.
    for (size_t i = 0; i < m_course.m_numberings.size(); ++i)
        m_course.m_numberings[i]->CatchUp();
}

namespace {

// The search for the end nearest a point: ends offered in the course's
// order, each compared with the best so far.
class CNearestEndSearch
{
public:
    // An admitted end as compared with the best so far.
    struct CCandidate
    {
        CCourseObject* object;
        CObstacleEnd* end;
        float distance;
        float nearness;
        float score;
        CPoint2 point;
    };

    // A tie goes to a selected object's end, except while a read course
    // ties its lines: what is selected then is what was pasted, which
    // reading the course again would not know.
    CNearestEndSearch(const CRectF& ring, float x, float y, float maxDistance, int kindMask, int tieMode, float dx,
                      float dy, bool preferSelected)
        : m_area(maxDistance >= 0.0f ? NarrowArea(ring, x, y, maxDistance) : ring),
          m_p(x, y),
          m_maxDistance(maxDistance),
          m_kindMask(kindMask),
          m_tieMode(tieMode),
          m_direction(dx, dy),
          m_preferSelected(preferSelected)
    {
    }

    // Whether the object's bounds reach the area still searched.
    bool Reaches(const CCourseObject& object) const { return Touches(object.GetBoundingRect(), m_area); }

    // Whether the end may be offered at all: of a kind asked for and, where
    // the search has a reach, within it. Its distance goes to distance.
    bool Admits(const CObstacleEnd& end, float& distance) const
    {
        if ((end.GetEndKind() & m_kindMask) == 0)
            return false;
        distance = end.DistanceTo(m_p.x, m_p.y);
        return !(m_maxDistance >= 0.0f && distance > m_maxDistance);
    }

    // Whether the end of a filed entry may yet be admitted and replace the
    // best so far: not when the least its distance can be is too far for
    // either.
    bool MayReplace(const CEndIndex::CEntry& entry) const
    {
        float furthest = m_maxDistance >= 0.0f ? m_maxDistance : std::numeric_limits<float>::infinity();
        if (m_best.end != nullptr) {
            // An end at the best one's point is told apart by direction.
            if (TiesByDirection() && entry.point == m_best.point)
                return true;
            furthest = std::min(furthest, m_best.distance + kNearTolerance);
        }
        return !(entry.LeastDistance(m_p) > furthest);
    }

    void Offer(CCourseObject* object, CObstacleEnd* end)
    {
        float distance = 0.0f;
        CCandidate candidate;
        if (Admits(*end, distance) && Weigh(object, end, distance, candidate))
            Take(candidate);
    }

    // Whether the admitted end would replace the best so far; candidate
    // gets what the comparison found.
    bool Weigh(CCourseObject* object, CObstacleEnd* end, float distance, CCandidate& candidate) const
    {
        const CPoint2 point = end->GetCoursePoint();
        const float nearness = (point - m_p).Length();
        const bool tieByDirection = TiesByDirection();
        float score = 0.0f;
        if (tieByDirection) {
            const CPoint2 v = m_tieMode == 0 ? m_p - point : m_tieMode == 1 ? point - m_p : m_direction;
            score = end->GetOutwardComponent(v.x, v.y);
        }
        candidate = CCandidate{object, end, distance, nearness, score, point};
        if (m_best.end == nullptr)
            return true;
        if (tieByDirection && point == m_best.point)
            return score > m_best.score;
        if (distance < m_best.distance - kNearTolerance)
            return true;
        return distance <= m_best.distance + kNearTolerance &&
               (nearness < m_best.nearness ||
                (nearness == m_best.nearness && m_preferSelected && object->IsSelected() &&
                 !m_best.object->IsSelected()));
    }

    // The candidate becomes the best so far.
    void Take(const CCandidate& candidate)
    {
        m_best = candidate;
        m_area = NarrowArea(m_area, m_p.x, m_p.y, m_best.distance + kNearTolerance);
    }

    CObstacleEnd* GetBest() const { return m_best.end; }

private:
    bool TiesByDirection() const { return m_tieMode >= 0 && m_tieMode <= 2; }

    CRectF m_area;
    CPoint2 m_p;
    float m_maxDistance;
    int m_kindMask;
    int m_tieMode;
    CPoint2 m_direction;
    bool m_preferSelected;
    // No end yet while its end is null.
    CCandidate m_best{};
};

}  // namespace

CObstacleEnd* CCourse::FindNearestEnd(float x, float y, float maxDistance, int kindMask, int tieMode, float dx,
                                      float dy) const
{
    // A question with a reach looks at the ends filed near the point: a
    // read course asks one for every line end, a placing tool one for every
    // sample of a stroke, and each would otherwise look at every object.
    if (maxDistance < 0.0f)
        return FindNearestEndInEveryObject(x, y, maxDistance, kindMask, tieMode, dx, dy);
    CNearestEndSearch search(GetRingRect(true, true), x, y, maxDistance, kindMask, tieMode, dx, dy, !m_tyingReadLines);
    const CEndIndex& index = GetEndIndex();
    const CEndIndex::CQuestion question{x, y, maxDistance, kindMask, GetRingRect(true, true)};
    if (m_tyingReadLines && index.FoundNothingBefore(question))
        return nullptr;
    const uint32_t changeCount = index.GetChangeCount();
    // The same ends in the same order as FindNearestEndInEveryObject offers,
    // less those too far off. Measuring an object's bounds below may change
    // its ends, and the course then makes a new index.
    std::vector<CEndIndex::CEntry> entries = index.TakeBuffer();
    index.Collect(CPoint2(x, y), maxDistance, entries);
    // An end that would not replace the best so far leaves the search as
    // it was, and where most ends were filed shows that they cannot: an
    // end's distance is worked out only when it may count, and an object's
    // bounds, which may take a measurement, only when one of its ends would
    // replace the best. An object's ends come one after the other and none
    // of them changed the area before that one, so the bounds meet the area
    // they would have met at its first end.
    const CCourseObject* object = nullptr;
    bool reaches = false;
    for (const CEndIndex::CEntry& entry : entries) {
        float distance = 0.0f;
        CNearestEndSearch::CCandidate candidate;
        if (!search.MayReplace(entry) || !search.Admits(*entry.end, distance) ||
            !search.Weigh(entry.object, entry.end, distance, candidate))
            continue;
        if (entry.object != object) {
            object = entry.object;
            reaches = search.Reaches(*object);
        }
        if (reaches)
            search.Take(candidate);
    }
    if (m_endIndex) {
        m_endIndex->GiveBack(std::move(entries));
        if (search.GetBest() == nullptr && m_tyingReadLines)
            m_endIndex->NoteFoundNothing(question, changeCount);
    }
    return search.GetBest();
}

CObstacleEnd* CCourse::FindEndOnEntry(float x, float y, float reach) const
{
    // The ends whose entries pass nearest, then told apart as
    // FindNearestEnd's tie mode 0 would meet them.
    const CPoint2 p(x, y);
    const CEndIndex& index = GetEndIndex();
    std::vector<CEndIndex::CEntry> nearest = index.TakeBuffer();
    nearest.clear();
    float least = reach;
    float asked = reach;
    index.VisitEntriesNear(p, asked, CEndIndex::kAnyPlace, [&](const CEndIndex::CEntry& entry) {
        const float distance = (entry.end->ClosestEntryPoint(p) - p).Length();
        if (distance > least)
            return;
        if (distance < least)
            nearest.clear();
        least = distance;
        nearest.push_back(entry);
    });
    std::sort(nearest.begin(), nearest.end(),
              [](const CEndIndex::CEntry& a, const CEndIndex::CEntry& b) { return a.order < b.order; });
    const CEndIndex::CEntry* found = nearest.empty() ? nullptr : &nearest.front();
    const auto score = [&p](const CEndIndex::CEntry& entry) {
        return entry.end->GetOutwardComponent(p.x - entry.point.x, p.y - entry.point.y);
    };
    for (const CEndIndex::CEntry& entry : nearest) {
        if (entry.point == found->point && score(entry) > score(*found))
            found = &entry;
    }
    CObstacleEnd* end = found != nullptr ? found->end : nullptr;
    index.GiveBack(std::move(nearest));
    return end;
}

CObstacleEnd* CCourse::FindNearestEndAtPlace(float x, float y, float maxDistance, size_t place) const
{
    const CPoint2 p(x, y);
    CObstacleEnd* found = nullptr;
    CEndIndex::COrder foundOrder{};
    float least = 0.0f;
    float leastNearness = 0.0f;
    // A point tied to an end lies on its entry but for rounding: the ends
    // whose entries pass that near are asked for first, and any one of them
    // is nearer than every end further off. The ends that cannot come as
    // near as the best so far are not looked at.
    float within = std::min(kOnEntryDistance, maxDistance);
    const auto weigh = [&](const CEndIndex::CEntry& entry) {
        const float distance = (entry.end->ClosestEntryPoint(p) - p).Length();
        if (distance > within)
            return;
        const float nearness = (entry.point - p).Length();
        const bool asNear = distance == least && nearness == leastNearness;
        if (found == nullptr || distance < least || (distance == least && nearness < leastNearness) ||
            (asNear && entry.order < foundOrder)) {
            found = entry.end;
            foundOrder = entry.order;
            least = distance;
            leastNearness = nearness;
            within = distance;
        }
    };
    GetEndIndex().VisitEntriesNear(p, within, uint32_t(place), weigh);
    if (found == nullptr && maxDistance > kOnEntryDistance) {
        within = maxDistance;
        GetEndIndex().VisitEntriesNear(p, within, uint32_t(place), weigh);
    }
    return found;
}

const CEndIndex& CCourse::GetEndIndex() const
{
    if (!m_endIndex)
        m_endIndex = std::make_unique<CEndIndex>(m_objects);
    if (m_endIndex->NeedsRefresh())
        m_endIndex->Refresh(m_objects);
    return *m_endIndex;
}

CObstacleEnd* CCourse::FindNearestEndInEveryObject(float x, float y, float maxDistance, int kindMask, int tieMode,
                                                   float dx, float dy) const
{
    CNearestEndSearch search(GetRingRect(true, true), x, y, maxDistance, kindMask, tieMode, dx, dy, !m_tyingReadLines);
    for (CCourseObject* object : m_objects) {
        if (object->GetEnds().empty() || !search.Reaches(*object))
            continue;
        for (CObstacleEnd* end : object->GetEnds())
            search.Offer(object, end);
    }
    return search.GetBest();
}

bool CCourse::FindEndCrossing(float x, float y, float dx, float dy, const CCourseObject* exceptA,
                              const CCourseObject* exceptB, bool shortRange) const
{
    for (CCourseObject* object : m_objects) {
        if (object == exceptA || object == exceptB)
            continue;
        for (CObstacleEnd* end : object->GetEnds()) {
            if ((end->GetEndKind() & kCrossedEndKinds) != 0 &&
                IsWithinForwardCone(x, y, dx, dy, end->GetCoursePoint(), shortRange))
                return true;
        }
    }
    return false;
}

void CCourse::AddObjectsToScene(CGraphicsContext& context, bool suppress, int mode, bool overlay)
{
    const CCourseObjectSet& set = overlay ? m_overlayObjects : m_objects;
    const CTransform base = context.m_state.matrix;
    int index = 0;
    for (CCourseObject* object : set) {
        CCourseObject::CShapeBase& shape = mode == kMapView ? static_cast<CCourseObject::CShapeBase&>(object->GetShape2D())
                                                            : object->GetShape3D();
        // The suppressing pass, which every layer runs first in a frame,
        // checks each key against the object's extra key; the drawing pass
        // then only rebuilds a key gone stale since.
        if (suppress || !shape.IsKeyValid())
            shape.UpdateKey();
        if (!suppress && object->IsShown()) {
            context.m_state.matrix = CTransform(base, object->GetPlacement());
            context.DrawDrawable(shape, 0, overlay ? 0 : int(MakeBodyPickId(index)));
        }
        ++index;
    }
    context.m_state.matrix = base;
}

void CCourse::DescribeCourse(std::wostream& stream, bool selectedOnly) const
{
    std::multiset<std::wstring> names;
    for (CCourseObject* object : m_objects) {
        const int layer = object->GetLayer();
        if ((layer != 3 && layer != 4) || (selectedOnly && !object->IsSelected()) || object->GetType() == nullptr)
            continue;
        std::wstring name = object->GetType()->GetDisplayName(*this);
        const std::wstring size = object->GetSizeText();
        if (!size.empty())
            name += L", " + size;
        names.insert(name);
    }
    const EUnitKind unitKind = m_display.metric ? EUnitKind::kMetres : EUnitKind::kFeet;
    stream << GetStringWithArg(2034, m_title) << L"\r\n";
    stream << GetStringWith2Args(2035, FormatLength(m_width, unitKind, true), FormatLength(m_height, unitKind, true))
           << L"\r\n";
    for (auto it = names.begin(); it != names.end(); it = names.upper_bound(*it))
        stream << std::setw(3) << names.count(*it) << L' ' << *it << L"\r\n";
    stream << std::setw(3) << names.size() << L' ' << GetString(2036) << L"\r\n" << L"\r\n";
}

void CCourse::DrawCoordinateMarks(CGraphicsContext& context, int mode)
{
    if (!m_coordinateMarks)
        return;
    // Labels take the view's style and camera first; the arrows go under
    // the labels, which are drawn at the scale of the plan on the map and
    // kept readable in 3D, each at its place in course coordinates.
    for (const auto& mark : *m_coordinateMarks)
        mark->SetViewStyle(mode);
    for (const auto& mark : *m_coordinateMarks)
        mark->DrawArrow(context);
    for (const auto& mark : *m_coordinateMarks)
        mark->DrawLabel(context);
}
