#include "course/Course.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <sstream>

#include "course/CourseMark.h"
#include "course/CourseNumbering.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/EndIndex.h"
#include "course/LabelLayout.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"

namespace {

// The hint that objects outside the ring and its margins were deleted.
constexpr int kObjectsOutsideHint = 2709;

// How far an object beyond the old ring follows the far edge: all of the
// growth beyond two thirds, half of it beyond one third.
float GetRelocationShift(float centre, float oldSize, float newSize)
{
    if (centre > oldSize * 2.0f / 3.0f)
        return newSize - oldSize;
    if (centre > oldSize / 3.0f)
        return (newSize - oldSize) * 0.5f;
    return 0.0f;
}

}  // namespace

bool CCourseObjectOrder::operator()(const CCourseObject* a, const CCourseObject* b) const
{
    const int layerA = a->GetLayer();
    const int layerB = b->GetLayer();
    if (layerA != layerB)
        return layerA < layerB;
    return a->GetSerialNumber() < b->GetSerialNumber();
}

CCourse::CCourse(const std::wstring& title, const std::wstring& path)
{
    ReadSettings();
    SetTitle(title, path);
    UpdateCoordinateMarks();
    // Unmodified, and the undo history holds the state the course started
    // from (its text block goes into a trace point).
    MarkUnmodified(true);
}

CCourse::~CCourse()
{
    m_propertiesDialog.reset();
    m_editedObject = nullptr;
    m_placedObject = nullptr;
    // The sequences go first: their numbers then leave none.
    m_numberings.clear();
    DestroyObjects(m_objects);
    DestroyOverlayObjects();
    m_coordinateMarks.reset();
}

void CCourse::DestroyObjects(CCourseObjectSet& set)
{
    while (!set.empty()) {
        CCourseObject* object = *set.begin();
        set.erase(set.begin());
        delete object;
    }
}

void CCourse::InsertObject(CCourseObject* object)
{
    if (object == nullptr) {
        TRACE_POINT();
        ReportFailure();
        return;
    }
    // Objects mostly come in course order (loading, undo): at the end, the
    // hint makes the insertion one comparison.
    m_objects.insert(m_objects.end(), object);
    ++m_changeCount;
    ForgetEndsOf(object, true);
}

void CCourse::EraseObject(CCourseObject* object)
{
    m_objects.erase(object);
    ++m_changeCount;
    ForgetEndsOf(object, false);
}

bool CCourse::ContainsObject(const CCourseObject* object) const
{
    const auto found = m_objects.find(const_cast<CCourseObject*>(object));
    return found != m_objects.end() && *found == object;
}

void CCourse::AddObject(std::unique_ptr<CCourseObject> object)
{
    InsertObject(object.release());
}

void CCourse::RemoveObjectsWhere(CObjectEvent event)
{
    EraseObjectsWhere([event](CCourseObject& object) { return (object.*event)(); });
}

void CCourse::EraseObjectsWhere(const std::function<bool(CCourseObject&)>& doomed)
{
    // Numbers that leave or join keep the object set as it is while it is
    // walked.
    const CNumberingHold hold(*this);
    for (auto it = m_objects.begin(); it != m_objects.end();)
        it = doomed(**it) ? DestroyObjectAt(it) : std::next(it);
}

CCourseObjectSet::iterator CCourse::DestroyObjectAt(CCourseObjectSet::iterator it)
{
    CCourseObject* object = *it;
    it = m_objects.erase(it);
    ++m_changeCount;
    ForgetEndsOf(object, false);
    if (m_editedObject == object)
        m_editedObject = nullptr;
    if (m_placedObject == object)
        m_placedObject = nullptr;
    delete object;
    return it;
}

void CCourse::RebuildAll()
{
    for (CCourseObject* object : m_objects)
        object->Invalidate();
}

void CCourse::RelocateObjects(float oldWidth, float oldHeight, bool selectedOnly, bool* belowY, bool* aboveY,
                              bool* belowX, bool* aboveX)
{
    bool flags[4] = {false, false, false, false};
    for (CCourseObject* object : m_objects) {
        if (selectedOnly && !object->IsSelected())
            continue;
        const CPoint2 centre = object->GetBoundingRect().GetCentre();
        if (centre.y < 0.0f)
            flags[0] = true;
        else if (centre.y > oldHeight)
            flags[1] = true;
        if (centre.x < 0.0f)
            flags[2] = true;
        else if (centre.x > oldWidth)
            flags[3] = true;
        if (centre.x >= 0.0f && centre.x <= oldWidth && centre.y >= 0.0f && centre.y <= oldHeight)
            continue;
        const float dx = GetRelocationShift(centre.x, oldWidth, m_width);
        const float dy = GetRelocationShift(centre.y, oldHeight, m_height);
        CTransform placement = object->GetPlacement();
        const CPoint2 position = placement.GetPosition2D();
        placement.SetPosition2D(position.x + dx, position.y + dy);
        object->SetPlacement(placement);
    }
    bool* const outs[4] = {belowY, aboveY, belowX, aboveX};
    for (int i = 0; i < 4; ++i) {
        if (outs[i] != nullptr)
            *outs[i] = flags[i];
    }
}

void CCourse::DeleteObjectsOutside(bool keepEdited)
{
    const CRectF area = GetRingRect(false, true);
    std::map<const CCourseObject*, bool> remembered;
    for (CCourseObject* object : m_objects) {
        remembered[object] = object->IsSelected();
        object->SetSelected(false);
    }
    bool anyOutside = false;
    for (CCourseObject* object : m_objects) {
        if (keepEdited && object == m_editedObject)
            continue;
        const CPoint2 centre = object->GetBoundingRect().GetCentre();
        const bool inside = centre.x >= area.left && centre.x < area.right && centre.y >= area.top &&
                            centre.y < area.bottom;
        if (!inside) {
            object->SetSelected(true);
            anyOutside = true;
        }
    }
    if (anyOutside) {
        DeleteSelected();
        ShowHintNotice(kObjectsOutsideHint, std::wstring(), 1);
    }
    for (CCourseObject* object : m_objects)
        object->SetSelected(remembered[object]);
}

void CCourse::DeleteSelected()
{
    SetMotion(0);
    RemoveObjectsWhere(&CCourseObject::BeforeObjectsDeleted);
    EraseObjectsWhere([](CCourseObject& object) { return object.IsSelected(); });
    RemoveObjectsWhere(&CCourseObject::AfterObjectsDeleted);
    UpdateCoordinateMarks();
}

bool CCourse::IsBeingDeleted(const CCourseObject& object) const
{
    if (m_objectsGoing != nullptr)
        return std::binary_search(m_objectsGoing->begin(), m_objectsGoing->end(), &object,
                                  std::less<const CCourseObject*>());
    return object.IsSelected();
}

int CCourse::GetDifferenceStatus(CCourseObject* object) const
{
    return m_differenceIndex.GetStatus(object);
}

void CCourse::AddOverlayObject(CCourseObject* object)
{
    m_overlayObjects.insert(object);
    m_differenceIndex.Add(object);
}

void CCourse::DestroyOverlayObjects()
{
    m_differenceIndex.Clear();
    DestroyObjects(m_overlayObjects);
}

void CCourse::AddMarkedPoint(const CPoint2& point)
{
    m_markedPoints.push_back(CFieldStream::LimitPoint(point));
}

void CCourse::ClearMarkedPoints()
{
    SetMotion(0);
    m_markedPoints.clear();
    UpdateCoordinateMarks();
}

void CCourse::UpdateCoordinateMarks()
{
    // Once the option is off, one update clears the marks and later ones
    // have nothing to do.
    if (!m_display.showObsCoords && m_coordinateMarks && m_coordinateMarks->empty())
        return;
    auto marks = std::make_unique<std::vector<std::unique_ptr<CCourseMark>>>();
    if (m_display.showObsCoords) {
        for (CCourseObject* object : m_objects) {
            if (object->GetDisplayState() != CCourseObject::kNormal)
                continue;
            if (!m_markedPoints.empty() && object->GetLayer() != 4)
                continue;
            const int count = object->GetAnchorCount();
            for (int i = 0; i < count; ++i) {
                CPoint2 anchor;
                object->GetAnchor(anchor, i);
                anchor = object->GetPlacement().TransformPoint2D(anchor);
                AddMark(*marks, RoundHalfUp(anchor.x), RoundHalfUp(anchor.y));
            }
        }
        for (const CPoint2& point : m_markedPoints)
            AddMark(*marks, point.x, point.y);
        if (!marks->empty())
            LayOutCoordinateMarks(*marks);
    }
    // The listeners rebuild the layer from the marks they find: the new ones
    // are in place before they hear of them.
    m_coordinateMarks = std::move(marks);
    OnMapLayerChanged(ESceneLayer::kCoordinateMarks);
    On3DLayerChanged(ESceneLayer::kCoordinateMarks);
}

void CCourse::AddMark(std::vector<std::unique_ptr<CCourseMark>>& marks, float x, float y)
{
    if (std::unique_ptr<CCourseMark> mark = MakeCourseMark(x, y, this))
        marks.push_back(std::move(mark));
}

void CCourse::LayOutCoordinateMarks(std::vector<std::unique_ptr<CCourseMark>>& marks)
{
    std::vector<CCourseMark*> order;
    for (const auto& mark : marks)
        order.push_back(mark.get());
    CLabelLayout layout(GetRingRect(false, false), order);
    for (CCourseObject* object : m_objects) {
        const int layer = object->GetLayer();
        if (layer != 0 && layer != 2 && layer != 5)
            layout.Occupy(object->GetBoundingRect());
    }
    layout.Run();
}

void CCourse::TellListeners(const std::function<void(CCourseListener&)>& tell, bool broadcast)
{
    // Objects tell of every change, thousands of times while a course loads.
    if (m_listeners.empty())
        return;
    const bool previous = m_broadcasting;
    m_broadcasting = previous || broadcast;
    const std::set<CCourseListener*> listeners = m_listeners;
    for (CCourseListener* listener : listeners) {
        if (m_listeners.count(listener) != 0)
            tell(*listener);
    }
    m_broadcasting = previous;
}

void CCourse::ForgetEndIndex() { m_endIndex.reset(); }

void CCourse::ForgetEndsOf(const CCourseObject* object)
{
    // Past a few objects the ends are filed anew, as they were before the
    // index was kept: one filing per question would grow with the course.
    if (m_endIndex && !m_endIndex->NoteChanged(object))
        ForgetEndIndex();
}

void CCourse::ForgetEndsOf(const CCourseObject* object, bool inCourse)
{
    if (m_endIndex && !m_endIndex->NoteChanged(object, inCourse))
        ForgetEndIndex();
}

void CCourse::OnMapLayerChanged(ESceneLayer layer)
{
    NoteChange(layer);
    // Every object read tells of itself: a course no window shows yet takes
    // no more than this test.
    if (!m_listeners.empty())
        TellListeners([layer](CCourseListener& listener) { listener.OnMapLayerChanged(layer); }, true);
}

void CCourse::On3DLayerChanged(ESceneLayer layer)
{
    NoteChange(layer);
    if (!m_listeners.empty())
        TellListeners([layer](CCourseListener& listener) { listener.On3DLayerChanged(layer); }, true);
}

void CCourse::OnCourseSettingsChanged()
{
    ++m_changeCount;
    TellListeners([](CCourseListener& listener) { listener.OnCourseSettingsChanged(); }, true);
}

void CCourse::NoteChange(ESceneLayer layer)
{
    // Selection marks, the rubber band and coordinate marks hold nothing an
    // archive keeps.
    if (layer != ESceneLayer::kSelection && layer != ESceneLayer::kRubberBand &&
        layer != ESceneLayer::kCoordinateMarks)
        ++m_changeCount;
}

void CCourse::OnCourseChanged()
{
    TellListeners([](CCourseListener& listener) { listener.OnCourseChanged(); }, false);
}
