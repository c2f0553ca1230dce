#include "course/Course.h"

#include <cmath>
#include <iterator>

#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/NoticeSink.h"
#include "foundation/Numeric.h"

namespace {

constexpr int kTextTypeId = 310;
// Objects a pick id can tell apart: its index field has 15 bits.
constexpr size_t kPickIndexCount = 0x8000;

// Rotation bins of the angle snap: one per degree of a 45-degree turn.
int RotationBin(int degrees)
{
    return ((degrees % 45) + 45) % 45;
}

}  // namespace

void CCourse::PointerDown(uint32_t pickId, bool* selected, int* category)
{
    TRACE_VALUE(int32_t, int32_t(pickId));
    const EPickKind kind = GetPickKind(pickId);
    CCourseObject* object = nullptr;
    if (kind != EPickKind::kNothing) {
        const size_t index = (pickId >> 2) & 0x7fff;
        // An index beyond the set is a stale id; one that several objects
        // share (a course above 32768 objects) names none of them for sure.
        if (index < m_objects.size() && index + kPickIndexCount >= m_objects.size())
            object = *std::next(m_objects.begin(), std::ptrdiff_t(index));
        else
            TRACE_VALUE(int32_t, int32_t(m_objects.size()));
    }
    int handle = -1;
    if (object != nullptr && kind == EPickKind::kHandle) {
        handle = int(pickId >> 17);
        if (handle >= object->GetEndCount()) {
            TRACE_VALUE(int32_t, handle);
            object = nullptr;
        }
    }
    if (object == nullptr) {
        m_handleIndex = -1;
        m_editedObject = nullptr;
        return;
    }

    m_editedObject = object;
    if (selected != nullptr)
        *selected = object->IsSelected();
    if (kind == EPickKind::kHandle) {
        m_handleIndex = handle;
        CPoint2 point;
        object->GetEnd(point, handle);
        point = object->GetPlacement().TransformPoint2D(point);
        m_handlePos = CPoint2(RoundHalfUp(point.x), RoundHalfUp(point.y));
        if (category != nullptr)
            *category = CountSelected() >= 2 ? 2 : object->GetCategoryFor(handle);
    } else {
        m_handleIndex = -1;
        if (category != nullptr)
            *category = object->GetCategory();
    }
    TRACE_VALUE(const void*, object);
    TRACE_VALUE(int32_t, m_handleIndex);
    TRACE_VALUE(CPoint2, m_handlePos);
}

void CCourse::StartActiveHandleMove()
{
    TRACE_POINT();
    if (m_editedObject == nullptr) {
        ReportFailure();
        return;
    }
    m_editedObject->StartHandleMove(m_handleIndex);
}

void CCourse::BeginSingleObjectEdit()
{
    TRACE_POINT();
    CCourseObject* active = nullptr;
    int count = 0;
    for (CCourseObject* object : m_objects) {
        if (object->IsActive()) {
            active = object;
            ++count;
        }
    }
    if (count != 1)
        return;
    active->BuildSnapGrid();
    active->SetDragStartPlacement(active->GetPlacement());
    m_moveOffset = CPoint2();
}

void CCourse::PrepareRotationSnap()
{
    TRACE_POINT();
    int bins[45] = {};
    int counted = 0;
    for (CCourseObject* object : m_objects) {
        if (!object->IsActiveForPath() || object->GetCategory() <= 1)
            continue;
        const int degrees = -int(RoundHalfUp(-object->GetPlacement().GetRotation()));
        ++bins[RotationBin(degrees)];
        ++counted;
    }
    int base = 0;
    for (int bin = 0; bin < 45; ++bin) {
        if (bins[bin] > counted / 2) {
            base = bin;
            break;
        }
    }
    m_angleSnap.Clear();
    for (int k = -8; k <= 8; ++k)
        m_angleSnap.AddPosition(float(base + 45 * k));
    m_angleSnap.Anchor(m_motion == 2 ? m_rotationAngle : 0.0f);
}

void CCourse::MoveSelectionBy(float dx, float dy)
{
    TRACE_POINT();
    if (!IsFinite(CPoint2(dx, dy))) {
        // A step that is no number would spoil the rest of the drag.
        TRACE_VALUE(CPoint2, CPoint2(dx, dy));
        ReportFailure();
        return;
    }
    if (m_motion != 1) {
        for (CCourseObject* object : m_objects) {
            if (object->IsActive())
                object->SetDragStartPlacement(object->GetPlacement());
        }
        m_moveOffset = CPoint2();
    }
    SetMotion(1);
    m_moveOffset = m_moveOffset + CPoint2(dx, dy);
    for (CCourseObject* object : m_objects) {
        if (!object->IsActive())
            continue;
        const CPoint2 start = object->GetDragStartPlacement().GetPosition2D();
        object->Move(start.x + m_moveOffset.x, start.y + m_moveOffset.y);
    }
    RemoveObjectsWhere(&CCourseObject::OnMoveStarted);
    UpdateCoordinateMarks();
}

void CCourse::RotateSelectionBy(float dAngle)
{
    TRACE_POINT();
    if (!std::isfinite(dAngle)) {
        TRACE_VALUE(float, dAngle);
        ReportFailure();
        return;
    }
    if (m_motion != 2) {
        for (CCourseObject* object : m_objects) {
            if (object->IsActiveForPath())
                object->SetDragStartPlacement(object->GetPlacement());
        }
        m_rotationCentre = GetRotationCentre();
        m_rotationAngle = 0.0f;
    }
    SetMotion(2);
    m_rotationAngle += dAngle;
    const float angle = RoundHalfUp(m_angleSnap.Apply(m_rotationAngle));
    CTransform turn;
    turn.SetPosition2D(m_rotationCentre.x, m_rotationCentre.y);
    turn.RotateZ(-angle);
    for (CCourseObject* object : m_objects) {
        if (!object->IsActiveForPath())
            continue;
        const CTransform& start = object->GetDragStartPlacement();
        const CPoint2 position = turn.TransformPoint2D(start.GetPosition2D() - m_rotationCentre);
        CTransform placement = start;
        placement.SetRotationZ(start.GetRotation() - angle);
        placement.SetPosition2D(RoundHalfUp(position.x), RoundHalfUp(position.y));
        object->SetPlacement(placement);
    }
    RemoveObjectsWhere(&CCourseObject::OnOthersMoved);
    UpdateCoordinateMarks();
}

CPoint2 CCourse::GetRotationCentre()
{
    if (m_motion == 2)
        return m_rotationCentre;
    int count = 0;
    CPoint2 position;
    CRectF bounds;
    for (CCourseObject* object : m_objects) {
        if (!object->IsSelected() || object->GetCategory() <= 0)
            continue;
        if (++count == 1) {
            position = object->GetPosition();
            bounds = object->GetBoundingRect();
        } else {
            bounds.Union(bounds, object->GetBoundingRect());
        }
    }
    if (count == 0) {
        TRACE_POINT();
        ReportFailure();
        return CPoint2();
    }
    if (count == 1)
        return position;
    const CPoint2 centre = bounds.GetCentre();
    return {RoundHalfUp(centre.x), RoundHalfUp(centre.y)};
}

void CCourse::MoveActiveHandle(float dx, float dy)
{
    TRACE_POINT();
    if (!IsFinite(CPoint2(dx, dy))) {
        TRACE_VALUE(CPoint2, CPoint2(dx, dy));
        ReportFailure();
        return;
    }
    SetMotion(3);
    m_handlePos = m_handlePos + CPoint2(dx, dy);
    if (m_editedObject == nullptr) {
        ReportFailure();
    } else if (m_handleIndex < 0 || m_handleIndex >= m_editedObject->GetEndCount()) {
        TRACE_VALUE(int32_t, m_handleIndex);
        ReportFailure();
    } else {
        m_handleIndex = m_editedObject->MoveHandle(m_handleIndex, m_handlePos.x, m_handlePos.y);
        m_editedObject->Invalidate();
    }
    for (CCourseObject* object : m_objects)
        object->OnHandleMoved();
    UpdateCoordinateMarks();
}

void CCourse::EndActiveHandleMove()
{
    TRACE_POINT();
    if (m_editedObject == nullptr) {
        ReportFailure();
        return;
    }
    m_editedObject->EndHandleMove();
}

void CCourse::EndSingleObjectEdit()
{
    TRACE_POINT();
    CCourseObject* selected = nullptr;
    int count = 0;
    for (CCourseObject* object : m_objects) {
        if (object->IsSelected()) {
            selected = object;
            ++count;
        }
    }
    if (count == 1)
        selected->ResetSnapAxes();
}

void CCourse::CommitSnappedAngle()
{
    TRACE_POINT();
    m_rotationAngle = RoundHalfUp(m_angleSnap.Apply(m_rotationAngle));
    m_angleSnap.Clear();
}

void CCourse::SelectToolType(int nameTextId)
{
    TRACE_VALUE(int32_t, nameTextId);
    SetMotion(0);
    m_toolType = nameTextId == 0 ? nullptr : FindObjectTypeByNameId(nameTextId);
    m_propertiesDialog.reset();
    m_toolLabel.clear();
    if (m_toolType == nullptr)
        return;
    TRACE_VALUE(std::wstring, m_toolType->GetDisplayName(*this));
    m_propertiesDialog = m_toolType->CreatePropertiesDialog(this, nameTextId);
    if (!m_propertiesDialog)
        ReportFailure();
    if (nameTextId == CObjectType::kUnnamed)
        ReportFailure();
    else
        m_toolLabel = m_specList->GetTerm(nameTextId);
}

std::shared_ptr<CEditSession> CCourse::GetToolSessionToRun()
{
    TRACE_POINT();
    if (m_toolLabel.empty() || !m_propertiesDialog) {
        ReportFailure();
        return nullptr;
    }
    return m_propertiesDialog;
}

void CCourse::StartPlacingObject(float x, float y)
{
    TRACE_POINT();
    if (m_placedObject != nullptr || m_toolType == nullptr) {
        TRACE_VALUE(const void*, m_placedObject);
        ReportFailure();
        return;
    }
    SetMotion(0);
    m_toolLabel.clear();
    if (!CanAddObjects(1)) {
        ShowNotice(kTooManyObjectsText, ENoticeStyle::kError);
        return;
    }
    CTransform placement;
    placement.SetPosition2D(x, y);
    std::unique_ptr<CCourseObject> created = m_toolType->CreateNew(this, placement, m_propertiesDialog.get());
    if (!created)
        return;
    if (created->GetEnds().empty() && created->GetLayer() == 3)
        RemoveObjectsWhere(&CCourseObject::OnObjectsAdded);
    CCourseObject* object = created.release();
    InsertObject(object);
    m_placedObject = object;
    // The new object may lie outside the area: as the edited object it is
    // kept while the rest is cleaned up.
    m_editedObject = object;
    DeselectAll(true);
    m_editedObject = nullptr;
    if (m_placedObject == nullptr)
        return;
    object->StartMove(x, y);
    object->Invalidate();
    UpdateCoordinateMarks();
}

void CCourse::DragPlacedObject(float x, float y)
{
    TRACE_POINT();
    if (m_placedObject == nullptr) {
        ReportFailure();
        return;
    }
    m_placedObject->Move(x, y);
    m_placedObject->Invalidate();
    UpdateCoordinateMarks();
}

void CCourse::DropPlacedObject(float x, float y)
{
    TRACE_POINT();
    if (m_placedObject == nullptr) {
        ReportFailure();
        return;
    }
    CCourseObject* object = m_placedObject;
    object->Move(x, y);
    object->EndMove();
    object->SetSelected(true);
    object->Invalidate();
    m_placedObject = nullptr;
    RemoveObjectsWhere(&CCourseObject::ResolveLinks);
    UpdateCoordinateMarks();
}

CCourseObject* CCourse::AddText(float x, float y, const std::wstring& text)
{
    TRACE_POINT();
    if (!CanAddObjects(1)) {
        ShowNotice(kTooManyObjectsText, ENoticeStyle::kError);
        return nullptr;
    }
    std::unique_ptr<CCourseObject> created = MakeText(x, y, text);
    if (!created)
        return nullptr;
    CCourseObject* object = created.release();
    InsertObject(object);
    return object;
}

std::unique_ptr<CCourseObject> CCourse::MakeText(float x, float y, const std::wstring& text)
{
    const CObjectType* type = FindObjectTypeById(kTextTypeId);
    if (type == nullptr) {
        ReportFailure();
        return nullptr;
    }
    CTransform placement;
    placement.SetPosition2D(x, y);
    std::unique_ptr<CCourseObject> created = type->CreateNew(this, placement, nullptr);
    if (created)
        created->SetText(text);
    return created;
}

void CCourse::AddObjectOfRecord(std::unique_ptr<CCourseObject> object)
{
    if (m_objectsOfRecord == nullptr) {
        TRACE_POINT();
        ReportFailure();
        return;
    }
    if (object)
        m_objectsOfRecord->push_back(std::move(object));
}

void CCourse::FlipSelection(bool acrossVertical)
{
    TRACE_VALUE(bool, acrossVertical);
    SetMotion(0);
    m_flipSelectionOnly = false;
    int counted = 0;
    bool countedInside = false;
    CRectF bounds;
    CPoint2 centre;
    for (CCourseObject* object : m_objects) {
        if (object->IsSelected() && object->IsInsideRing(true)) {
            if (++counted == 1) {
                bounds = object->GetBoundingRect();
                centre = object->GetPosition();
            } else {
                bounds.Union(bounds, object->GetBoundingRect());
                centre = bounds.GetCentre();
            }
            if (object->IsInsideRing(false))
                countedInside = true;
        } else if (!object->IsSelected() && object->IsInsideRing(false)) {
            m_flipSelectionOnly = true;
        }
    }
    if (!countedInside)
        m_flipSelectionOnly = true;
    if (counted == 0)
        m_flipSelectionOnly = false;
    if (!m_flipSelectionOnly)
        centre = CPoint2(m_width * 0.5f, m_height * 0.5f);

    for (CCourseObject* object : m_objects) {
        if (!object->IsInsideRing(m_flipSelectionOnly))
            continue;
        // Mirroring negates the rotation of an object's frame (and turns it
        // half round besides from top to bottom); an object's mirror image is
        // the object turned by its mirror angle (a see-saw end for end), so
        // the mirrored frame takes that turn as well. An object whose own flip
        // mirrors its shape turns its placement itself.
        float oldRotation = object->GetPlacement().GetRotation() - object->GetMirrorAngle();
        object->Flip();
        if (object->TurnsWhenFlipped())
            oldRotation = object->GetPlacement().GetRotation();
        CTransform placement = object->GetPlacement();
        const CPoint2 position = placement.GetPosition2D();
        if (acrossVertical) {
            placement.SetRotationZ(-oldRotation);
            placement.SetPosition2D(RoundHalfUp(2.0f * centre.x - position.x), position.y);
        } else {
            placement.SetRotationZ(-(180.0f + oldRotation));
            placement.SetPosition2D(position.x, RoundHalfUp(2.0f * centre.y - position.y));
        }
        object->SetPlacement(placement);
        object->Invalidate();
    }
    if (!m_flipSelectionOnly) {
        for (CPoint2& point : m_markedPoints) {
            if (acrossVertical)
                point.x = RoundHalfUp(2.0f * centre.x - point.x);
            else
                point.y = RoundHalfUp(2.0f * centre.y - point.y);
            point = CFieldStream::LimitPoint(point);
        }
    }
    RemoveObjectsWhere(&CCourseObject::OnOthersRotated);
    UpdateCoordinateMarks();
}

void CCourse::NotifyOthers(CSnapAxis& axisX, CSnapAxis& axisY, const CCourseObject* source)
{
    for (CCourseObject* object : m_objects) {
        if (object != source)
            object->AddSnapCoordinates(axisX, axisY, source);
    }
}
