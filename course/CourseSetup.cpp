#include "course/Course.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "course/CourseMark.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Numeric.h"
#include "foundation/Strings.h"
#include "objects/annotations/LabelPlacer.h"

namespace {

// The space around an obstacle that the set-up keeps free.
constexpr float kSetUpClearance = 30.0f;

CRectF Grown(const CRectF& rect, float margin)
{
    return CRectF(rect.left - margin, rect.top - margin, rect.right + margin, rect.bottom + margin);
}

float Diagonal(const CRectF& rect)
{
    return CPoint2(rect.Width(), rect.Height()).Length();
}

// Which overlay objects are shown: obstacles (layers 3 and 4), numbers
// (layer 6) and lines (layer 2).
bool IsOverlayLayerKept(int layer, bool obstacles, bool numbers, bool lines)
{
    return ((layer == 3 || layer == 4) && obstacles) || (layer == 6 && numbers) || (layer == 2 && lines);
}

}  // namespace

std::unique_ptr<CEditSession> CCourse::MakeSelectionSession()
{
    TRACE_POINT();
    if (GetSelectionTypeName().empty()) {
        ReportFailure();
        return nullptr;
    }
    SetMotion(0);
    CCourseObject* first = nullptr;
    for (CCourseObject* object : m_objects) {
        if (object->IsSelected() && object->GetType() != nullptr) {
            first = object;
            break;
        }
    }
    if (first == nullptr) {
        ReportFailure();
        return nullptr;
    }
    std::unique_ptr<CEditSession> dialog = first->GetType()->CreatePropertiesDialog(this, CObjectType::kUnnamed);
    if (!dialog) {
        ReportFailure();
        return nullptr;
    }
    for (CCourseObject* object : m_objects) {
        if (object->IsSelected())
            object->FillPropertiesDialog(*dialog);
    }
    return dialog;
}

void CCourse::ApplyPropertiesDialog(CEditSession& dialog)
{
    TRACE_POINT();
    // The tool's own dialog belongs to the objects placed next, whatever is
    // selected at the time.
    const bool toolsDialog = m_propertiesDialog && m_propertiesDialog.get() == &dialog;
    const std::wstring typeName = toolsDialog ? std::wstring() : GetSelectionTypeName();
    if (typeName.empty()) {
        // The dialog of the placing tool.
        const std::wstring label = m_toolLabel;
        m_toolLabel.clear();
        if (!dialog.StaysForFurtherObjects()) {
            StartPlacingObject(0.0f, 0.0f);
            // A full course placed nothing (and said so).
            const bool placed = m_placedObject != nullptr;
            if (placed)
                DropPlacedObject(0.0f, 0.0f);
            m_propertiesDialog.reset();
            m_toolType = nullptr;
            if (placed)
                CommitUndoStep(label);
        } else {
            dialog.SetPending(false);
        }
        OnCourseChanged();
    } else {
        {
            // A number that takes a new label keeps the object set as it is
            // while it is walked.
            const CNumberingHold hold(*this);
            for (CCourseObject* object : m_objects) {
                if (!object->IsSelected())
                    continue;
                object->ApplyDialog(dialog);
                object->Invalidate();
            }
        }
        dialog.OnApplied();
        for (CCourseObject* object : m_objects)
            object->OnOthersReshaped();
        UpdateCoordinateMarks();
        CommitUndoStep(GetStringWithArg(2131, typeName));
    }
    // The tool keeps its own dialog for the objects placed next. A dialog of
    // the selection is not taken over: it belongs to its caller and may be
    // of another kind than the tool.
    if (m_toolType != nullptr && m_propertiesDialog && m_propertiesDialog.get() == &dialog)
        dialog.SetPending(false);
}

void CCourse::ReleasePropertiesDialog(CEditSession* dialog)
{
    TRACE_VALUE(const void*, dialog);
    // The cancelled dialog itself may still be on its way out of its modal
    // run: the window that runs it holds it until the run ends.
    m_propertiesDialog.reset();
    m_toolType = nullptr;
    m_toolLabel.clear();
    OnCourseChanged();
}

void CCourse::ApplyNewCourseSetUp(bool keepLayout)
{
    TRACE_POINT();
    SetMotion(0);
    m_display.showObsCoords = true;
    m_markedPoints.clear();
    EraseObjectsWhere([](CCourseObject& object) { return object.IsHidable(); });

    if (!keepLayout) {
        std::vector<CCourseObject*> obstacles;
        for (CCourseObject* object : m_objects) {
            if (object->GetLayer() != 3)
                continue;
            const int anchors = object->GetAnchorCount();
            for (int i = 0; i < anchors; ++i) {
                CPoint2 anchor;
                object->GetAnchor(anchor, i);
                anchor = object->GetPlacement().TransformPoint2D(anchor);
                AddMarkedPoint(CPoint2(RoundHalfUp(anchor.x), RoundHalfUp(anchor.y)));
            }
            object->ResetShape();
            CTransform placement = object->GetPlacement();
            placement.SetRotationZ(0.0f);
            object->SetPlacement(placement);
            obstacles.push_back(object);
        }
        std::stable_sort(obstacles.begin(), obstacles.end(), [](CCourseObject* a, CCourseObject* b) {
            const float da = Diagonal(a->GetBoundingRect());
            const float db = Diagonal(b->GetBoundingRect());
            if (da != db)
                return da > db;
            if (a->GetCategoryFor(0) != b->GetCategoryFor(0))
                return a->GetCategoryFor(0) < b->GetCategoryFor(0);
            return std::less<CCourseObject*>()(a, b);
        });

        // Obstacles still waiting to be spread are not in the way: each one
        // is placed in turn, clear of everything placed or fixed so far.
        std::set<CCourseObject*> waiting(obstacles.begin(), obstacles.end());
        std::unique_ptr<CLabelPlacer> placer;
        CSize2 cell;
        for (CCourseObject* object : obstacles) {
            waiting.erase(object);
            const CRectF needed = Grown(object->GetBoundingRect(), kSetUpClearance);
            const CSize2 size(needed.Width(), needed.Height());
            if (!placer || !(size == cell)) {
                cell = size;
                placer = std::make_unique<CLabelPlacer>(GetRingRect(false, false), cell.width, cell.height);
                for (CCourseObject* other : m_objects) {
                    if (other == object || waiting.count(other) != 0)
                        continue;
                    const CRectF taken = Grown(other->GetBoundingRect(), kSetUpClearance);
                    placer->Occupy(taken.left, taken.top, taken.right, taken.bottom, false);
                }
                if (m_coordinateMarks) {
                    for (const auto& mark : *m_coordinateMarks) {
                        const CRectF label = mark->GetLabelBounds();
                        if (!label.IsEmpty())
                            placer->Occupy(label.left, label.top, label.right, label.bottom, false);
                    }
                }
            }
            const CPoint2 centre = object->GetBoundingRect().GetCentre();
            const CPoint2 spot = placer->FindFreeSpot(centre.x, centre.y, false);
            CTransform placement = object->GetPlacement();
            const CPoint2 position = placement.GetPosition2D();
            placement.SetPosition2D(position.x + spot.x - centre.x, position.y + spot.y - centre.y);
            object->SetPlacement(placement);
            const CRectF taken = Grown(object->GetBoundingRect(), kSetUpClearance);
            placer->Occupy(taken.left, taken.top, taken.right, taken.bottom, false);
        }
    }
    UpdateCoordinateMarks();
}

void CCourse::BuildDifferenceOverlay(CCourse& otherCourse, bool withNumbers, bool withLines)
{
    TRACE_POINT();
    SetMotion(0);
    DestroyOverlayObjects();
    for (CCourseObject* object : otherCourse.GetObjects()) {
        if (!IsOverlayLayerKept(object->GetLayer(), true, withNumbers, withLines))
            continue;
        CFieldWriter writer;
        writer.m_versionMajor = 4;
        writer.m_versionMinor = 33;
        otherCourse.WriteObject(writer, object);
        CFieldReader reader(writer.m_bytes);
        reader.m_versionMajor = 4;
        reader.m_versionMinor = 33;
        int32_t typeId = 0;
        reader.ReadInt16(typeId);
        std::unique_ptr<CCourseObject> copy = ReadObject(typeId, reader, true);
        if (!copy) {
            TRACE_VALUE(int32_t, typeId);
            ReportFailure();
            continue;
        }
        CCourseObject* raw = copy.release();
        AddOverlayObject(raw);
        raw->Invalidate();
    }
    RebuildAll();
    UpdateCoordinateMarks();
    OnCourseSettingsChanged();
}

void CCourse::FilterDifferenceOverlay(bool keepObstacles, bool keepNumbers, bool keepLines)
{
    TRACE_POINT();
    SetMotion(0);
    for (auto it = m_overlayObjects.begin(); it != m_overlayObjects.end();) {
        CCourseObject* object = *it;
        const int layer = object->GetLayer();
        if (layer != 2 && layer != 3 && layer != 4 && layer != 6) {
            TRACE_VALUE(int32_t, layer);
            ReportFailure();
        } else if (IsOverlayLayerKept(layer, keepObstacles, keepNumbers, keepLines)) {
            ++it;
            continue;
        }
        it = m_overlayObjects.erase(it);
        m_differenceIndex.Remove(object);
        delete object;
    }
    RebuildAll();
    UpdateCoordinateMarks();
    OnCourseSettingsChanged();
}
