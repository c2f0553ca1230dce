#include "course/Course.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/MarkerGlyph.h"

int CCourse::CountSelected() const
{
    int count = 0;
    for (const CCourseObject* object : m_objects) {
        if (object->IsSelected() && object->GetCategory() >= 1)
            ++count;
    }
    return count;
}

bool CCourse::HasSelection() const
{
    for (const CCourseObject* object : m_objects) {
        if (object->IsSelected())
            return true;
    }
    return false;
}

void CCourse::RememberSelection()
{
    for (CCourseObject* object : m_objects)
        object->SetPreviouslySelected(object->IsSelected());
}

void CCourse::RefreshSelectionAppearance(int countBefore)
{
    if ((countBefore >= 2) == (CountSelected() >= 2))
        return;
    for (CCourseObject* object : m_objects)
        object->NotifySelectionAppearance();
}

void CCourse::SelectAll()
{
    TRACE_POINT();
    SetMotion(0);
    const int before = CountSelected();
    for (CCourseObject* object : m_objects)
        object->SetSelected(true);
    RefreshSelectionAppearance(before);
}

void CCourse::DeselectAll(bool keepEdited)
{
    TRACE_VALUE(bool, keepEdited);
    // A selection change ends the motion: a drag followed by a click on the
    // empty ring is one undo step.
    SetMotion(0);
    for (CCourseObject* object : m_objects)
        object->SetSelected(false);
    DeleteObjectsOutside(keepEdited);
}

void CCourse::SelectByCategory(int category)
{
    TRACE_VALUE(int32_t, category);
    SetMotion(0);
    const int before = CountSelected();
    for (CCourseObject* object : m_objects) {
        if (object->GetCategoryFor(0) == category)
            object->SetSelected(true);
    }
    RefreshSelectionAppearance(before);
}

void CCourse::SelectByType(const CObjectType* type)
{
    TRACE_VALUE(int32_t, type != nullptr ? type->GetTypeId() : 0);
    SetMotion(0);
    const int before = CountSelected();
    for (CCourseObject* object : m_objects) {
        if (type != nullptr && object->GetType() == type)
            object->SetSelected(true);
    }
    RefreshSelectionAppearance(before);
}

void CCourse::SelectAllExcept(int category, int value)
{
    TRACE_VALUE(int32_t, category);
    SetMotion(0);
    const int before = CountSelected();
    for (CCourseObject* object : m_objects) {
        if (object->GetCategory() == category)
            object->SetSelected(object->GetDialogVariant() != value);
        else
            object->SetSelected(true);
    }
    RefreshSelectionAppearance(before);
}

void CCourse::SelectActiveObject(bool selected)
{
    TRACE_VALUE(bool, selected);
    SetMotion(0);
    if (m_editedObject == nullptr) {
        ReportFailure();
        return;
    }
    const int before = CountSelected();
    m_editedObject->SetSelected(selected);
    RefreshSelectionAppearance(before);
}

void CCourse::SelectInRectangle(const CRectF& viewRect, const CTransform& viewTransform, bool toggle)
{
    TRACE_VALUE(CRectF, viewRect);
    SetMotion(0);
    const int before = CountSelected();
    const CTransform toView(viewTransform, true);
    const CCamera& camera = GetCurrentCamera().GetCamera();
    for (CCourseObject* object : m_objects) {
        const CRectF bounds = object->GetBoundingRect();
        const CVector3 centre{(bounds.left + bounds.right) * 0.5f, -(bounds.top + bounds.bottom) * 0.5f, 0.0f};
        // The view camera's depth range only serves to make rays: a centre
        // beyond it still has its window point, one behind the eye has none.
        const CVector3 viewPoint = toView.TransformPoint(centre);
        CPoint2 window;
        camera.ProjectPoint(viewPoint, &window);
        const bool inside = viewPoint.z < 0.0f && window.x > viewRect.left && window.x < viewRect.right &&
                            window.y > viewRect.top && window.y < viewRect.bottom;
        bool selected = object->IsPreviouslySelected();
        if (inside)
            selected = !(toggle && object->IsPreviouslySelected());
        if (selected != object->IsSelected())
            object->SetSelected(selected);
    }
    RefreshSelectionAppearance(before);
}

CRectF CCourse::GetSelectionBounds() const
{
    CRectF bounds;
    for (const CCourseObject* object : m_objects) {
        if (object->IsSelected() && object->GetCategory() >= 1)
            bounds.Union(bounds, object->GetBoundingRect());
    }
    return bounds;
}

void CCourse::CollectTypes(std::vector<const CObjectType*>& types) const
{
    for (const CCourseObject* object : m_objects)
        types.push_back(object->GetType());
}

std::wstring CCourse::GetSelectionTypeName() const
{
    int nameId = 0;
    bool first = true;
    for (const CCourseObject* object : m_objects) {
        if (!object->IsSelected())
            continue;
        const int id = object->GetType() != nullptr ? object->GetType()->GetNameTextId() : CObjectType::kUnnamed;
        if (id == CObjectType::kUnnamed) {
            TRACE_VALUE(int32_t, object->GetType() != nullptr ? object->GetType()->GetTypeId() : 0);
            ReportFailure();
        }
        if (first) {
            nameId = id;
            first = false;
        } else if (id != nameId) {
            return std::wstring();
        }
    }
    if (first)
        return std::wstring();
    return m_specList->GetTerm(nameId);
}

void CCourse::CollectSelectionValues(std::vector<CSelectionValue>& values) const
{
    for (const CCourseObject* object : m_objects) {
        if (!object->IsSelected())
            continue;
        CSelectionValue value;
        value.type = object->GetType();
        value.variant = object->GetDialogVariant();
        value.colors = &object->GetPartColors();
        values.push_back(value);
    }
}

bool CCourse::SelectionDuplicatesOthers() const
{
    // The objects left out of the selection, in order of type and of the
    // placement's bytes, which is what placements compare equal by: a paste
    // of many objects looks each up instead of walking the course.
    using CKey = std::pair<int, const float*>;
    const auto before = [](const CKey& a, const CKey& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return std::memcmp(a.second, b.second, 16 * sizeof(float)) < 0;
    };
    std::vector<CKey> others;
    for (const CCourseObject* other : m_objects) {
        if (!other->IsSelected() && other->GetType() != nullptr)
            others.emplace_back(other->GetType()->GetTypeId(), other->GetPlacement().GetMatrix());
    }
    if (others.empty())
        return false;
    std::sort(others.begin(), others.end(), before);
    for (const CCourseObject* selected : m_objects) {
        if (selected->IsSelected() && selected->GetType() != nullptr &&
            std::binary_search(others.begin(), others.end(),
                               CKey(selected->GetType()->GetTypeId(), selected->GetPlacement().GetMatrix()), before))
            return true;
    }
    return false;
}

void CCourse::DrawSelection(CGraphicsContext& context)
{
    const bool several = CountSelected() >= 2;
    std::vector<CObjectHandle> handles;
    int index = 0;
    for (const CCourseObject* object : m_objects) {
        if (object->IsSelected()) {
            handles.clear();
            object->AddEndHandles(handles, index, several);
            for (const CObjectHandle& handle : handles) {
                context.PushState();
                context.m_state.matrix.TranslateLocal({handle.position.x, -handle.position.y, 0.0f});
                context.DrawDrawable(GetMarkerGlyph(handle.category), 1, int(handle.code));
                context.PopState();
            }
        }
        ++index;
    }
}
