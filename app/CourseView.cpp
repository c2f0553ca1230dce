#include "app/CourseView.h"

#include <cmath>
#include <memory>
#include <string>

#include "app/BrisklaneModeDlg.h"
#include "app/CameraToolbar.h"
#include "app/CourseScene.h"
#include "app/GraphicsSystemDlg.h"
#include "app/ShapeToolbar.h"
#include "app/TroubleshootingDlg.h"
#include "course/Course.h"
#include "course/SpecList.h"
#include "dialogs/HintDlg.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "render3d/SceneContext3D.h"
#include "ui/Cursors.h"
#include "ui/MessageBox.h"

namespace {

constexpr float kMinimumSide = 10.0f;
// The drag-plane cut stays this far along the pick ray at most.
constexpr float kLongestRayShare = 0.9f;
constexpr float kDegreesPerRadian = 57.29578f;
constexpr int kDeleteTextId = 2122;

// 32 x 32, hot spot (15, 15): ' ' transparent, '#' black, '~' white.
const char kRotateArt[] =
    "                                "
    "                                "
    "                                "
    "                                "
    "        ~~~~ ~~~~~              "
    "       ~~##~~~###~~~~           "
    "       ~############~~~         "
    "      ~~##############~~        "
    "     ~~#####~~~~~~~####~~       "
    "     ~#######~    ~~~###~       "
    "     ~~~~~###~      ~~##~~      "
    "     ~~~~~~~~~       ~###~      "
    "     ~##~            ~~##~      "
    "    ~~##~             ~##~~     "
    "    ~###~             ~###~     "
    "    ~###~             ~###~     "
    "    ~###~             ~###~     "
    "    ~~##~             ~##~~     "
    "     ~##~~            ~##~      "
    "     ~###~       ~~~~~~~~~      "
    "     ~~##~~      ~###~~~~~      "
    "      ~###~~~    ~#######~      "
    "      ~~####~~~~~~~#####~~      "
    "       ~~##############~~       "
    "        ~~~############~        "
    "          ~~~~###~~~##~~        "
    "             ~~~~~ ~~~~         "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                ";

}  // namespace

CCourseView::CCourseView(CCourseScene* scene, CMenu* contextMenu_, CShapeToolbar* shapeToolbar_,
                         CCameraToolbar* cameraToolbar_)
    : CPanel(false, false),
      courseScene(scene),
      contextMenu(contextMenu_),
      shapeToolbar(shapeToolbar_),
      cameraToolbar(cameraToolbar_)
{
    TRACE_POINT();
    takesFocus = true;
    CPanel::SetScene(scene);
}

CCourseView::~CCourseView()
{
    // A band running in the scene, which outlives the view, leaves it.
    if (courseScene && courseScene->GetRubberBand().IsActive()) {
        courseScene->GetRubberBand().Stop();
        courseScene->UpdateLayer(ESceneLayer::kRubberBand);
    }
}

void CCourseView::SetScene(CCourseScene* newScene)
{
    if (courseScene && courseScene != newScene && courseScene->GetRubberBand().IsActive()) {
        courseScene->GetRubberBand().Stop();
        courseScene->UpdateLayer(ESceneLayer::kRubberBand);
    }
    courseScene = newScene;
    CPanel::SetScene(newScene);
}

CCourse* CCourseView::GetCourse() const { return courseScene ? courseScene->GetCourse() : nullptr; }

void CCourseView::UpdateCourse()
{
    if (CCourse* course = GetCourse())
        course->OnCourseChanged();
}

bool CCourseView::IsToolChosen() const
{
    return shapeToolbar && shapeToolbar->GetCurrentTool() != CShapeToolbar::kNoTool;
}

// ---- Size ---------------------------------------------------------------------------

void CCourseView::MeasureWithin(float width, float height)
{
    if (CCourse* course = GetCourse()) {
        const CViewCamera& camera = course->GetViewCamera();
        wantedSize = CSize2(camera.GetViewportWidth(), camera.GetViewportHeight());
    }
    float w = wantedSize.width;
    float h = wantedSize.height;
    if (!(w > 0.0f) || !(h > 0.0f)) {
        TRACE_VALUE(float, w);
        TRACE_VALUE(float, h);
        w = h = kMinimumSide;
    }
    const float aspect = w / h;
    if (width > 0.0f && height > 0.0f && (width < w || height < h)) {
        const CSize2 fitted = FitSizeKeepingAspect(CSize2(w, h), width, height);
        w = RoundHalfUp(fitted.width);
        h = RoundHalfUp(fitted.height);
    }
    if (w < kMinimumSide || h < kMinimumSide) {
        if (aspect < 1.0f) {
            w = kMinimumSide;
            h = RoundHalfUp(kMinimumSide / aspect);
        } else {
            w = RoundHalfUp(kMinimumSide * aspect);
            h = kMinimumSide;
        }
    }
    minWidth = minHeight = int(kMinimumSide);
    preferredWidth = int(w);
    preferredHeight = int(h);
    maxWidth = maxHeight = 0;
    widthStretch = heightStretch = 1;
}

void CCourseView::Measure() { MeasureWithin(0.0f, 0.0f); }

void CCourseView::SetBounds(const CRectF& rect)
{
    const CSize2 size(rect.Width(), rect.Height());
    if (size == wantedSize) {
        CPanel::SetBounds(rect);
        return;
    }
    TRACE_VALUE(float, size.width);
    TRACE_VALUE(float, size.height);
    wantedSize = size;
    preferredWidth = int(size.width);
    preferredHeight = int(size.height);
    CCourse* course = GetCourse();
    if (course)
        course->SetViewSize(size.width, size.height);
    CPanel::SetBounds(rect);
    UpdateCourse();
}

// ---- Picking and the drag plane -------------------------------------------------------

CCourseView::CPick CCourseView::PickAndPoint(float x, float y)
{
    CPick pick;
    CCourse* course = GetCourse();
    if (!course)
        return pick;
    CSceneContext3D context(*courseScene, camera, x, y, kPickMargin);
    if (context.HasHit()) {
        pick.pickId = uint32_t(context.GetHitPickId());
        pick.point = context.GetHitPoint();
    }
    course->PointerDown(pick.pickId, &pick.selected, &pick.part);
    // The course names nothing for an id it does not know (a stale one).
    pick.kind = course->GetEditedObject() ? CCourse::GetPickKind(pick.pickId) : CCourse::EPickKind::kNothing;
    return pick;
}

CPoint2 CCourseView::PickGroundPoint(const CMouseEvent& event) const
{
    CVector3 p0 = event.nearPoint;
    CVector3 p1 = event.farPoint;
    if (verticalFactor != 1.0f && courseScene) {
        const float h = camera.GetWindowHeight();
        const float y = h - (h - event.y) * verticalFactor;
        p0 = courseScene->transform.TransformPoint(camera.UnprojectPoint(event.x, y, 0.0f));
        p1 = courseScene->transform.TransformPoint(camera.UnprojectPoint(event.x, y, 1.0f));
    }
    const float span = p0.z - p1.z;
    const float above = p0.z - dragPlaneHeight;
    float t = 0.0f;
    if (above > kLongestRayShare * span)
        t = kLongestRayShare;
    else if (span != 0.0f)
        t = above / span;
    return CPoint2(p0.x * (1.0f - t) + p1.x * t, -(p0.y * (1.0f - t) + p1.y * t));
}

void CCourseView::SetDragPlane(const CVector3& hitPoint, float windowY)
{
    CCourse* course = GetCourse();
    if (!course || !courseScene) {
        dragPlaneHeight = 0.0f;
        verticalFactor = 1.0f;
        return;
    }
    const float highest = course->GetViewCamera().GetEyePosition().z - kEyeClearance;
    if (!(hitPoint.z > highest)) {
        dragPlaneHeight = hitPoint.z;
        verticalFactor = 1.0f;
        return;
    }
    dragPlaneHeight = highest;
    const CVector3 lowered(hitPoint.x, hitPoint.y, highest);
    CPoint2 window;
    camera.ProjectPoint(courseScene->transform.InverseTransformPoint(lowered), &window);
    const float h = camera.GetWindowHeight();
    const float toLowered = h - window.y;
    const float toPress = h - windowY;
    verticalFactor = toLowered > 0.0f && toPress > 0.0f && toLowered < toPress ? toLowered / toPress : 1.0f;
    TRACE_VALUE(float, verticalFactor);
}

bool CCourseView::IsInsidePlacingArea(const CPoint2& point) const
{
    const CCourse* course = GetCourse();
    if (!course)
        return false;
    const CRectF area = course->GetRingRect(true, true);
    return point.x >= area.left && point.x <= area.right && point.y >= area.top && point.y <= area.bottom;
}

// ---- Mouse ---------------------------------------------------------------------------

void CCourseView::OnMouseDown(const CMouseEvent& event)
{
    TRACE_POINT();
    if (!GetCourse())
        return;
    // Camera keys held from before stop driving the camera: a camera motion
    // in the middle of a drag would cut it into pieces, and one while placing
    // would end in a step that already holds the new object. Their
    // repetition takes up again after the release.
    if (cameraToolbar)
        cameraToolbar->ReleaseKeys();
    if (IsToolChosen())
        PressWithTool(event);
    else
        PressWithoutTool(event);
    UpdateCourse();
}

void CCourseView::PressWithoutTool(const CMouseEvent& event)
{
    CCourse* course = GetCourse();
    const CPick pick = PickAndPoint(event.x, event.y);
    TRACE_VALUE(int32_t, int32_t(pick.pickId));
    SetDragPlane(pick.point, event.y);
    lastGroundPoint = PickGroundPoint(event);
    const bool modifier = event.control || event.shift;
    dragMode = EDragMode::kNone;
    if (pick.kind == CCourse::EPickKind::kNothing) {
        if (!modifier)
            course->DeselectAll(false);
        course->RememberSelection();
        courseScene->GetRubberBand().Start(event.x, event.y, this);
        courseScene->UpdateLayer(ESceneLayer::kRubberBand);
        return;
    }
    if (modifier) {
        if (pick.kind == CCourse::EPickKind::kHandle && pick.part == 3) {
            dragMode = EDragMode::kRotateSelection;
        } else {
            course->SelectActiveObject(!pick.selected);
            if (!pick.selected && pick.part >= 1)
                dragMode = EDragMode::kMoveSelection;
        }
    } else if (pick.kind == CCourse::EPickKind::kHandle) {
        if (pick.part >= 1 && pick.part <= 3)
            dragMode = EDragMode(pick.part);
    } else {
        if (!pick.selected) {
            // The object under the pointer stays even when it lies outside
            // the area that deselecting cleans up.
            course->DeselectAll(true);
            course->SelectActiveObject(true);
        }
        if (pick.part >= 1)
            dragMode = EDragMode::kMoveSelection;
    }
    TRACE_VALUE(int32_t, int32_t(dragMode));
    switch (dragMode) {
    case EDragMode::kMoveSelection:
        course->BeginSingleObjectEdit();
        break;
    case EDragMode::kRotateSelection:
        course->PrepareRotationSnap();
        break;
    case EDragMode::kMoveHandle:
        course->StartActiveHandleMove();
        break;
    default:
        break;
    }
}

void CCourseView::PressWithTool(const CMouseEvent& event)
{
    CCourse* course = GetCourse();
    dragPlaneHeight = 0.0f;
    verticalFactor = 1.0f;
    lastGroundPoint = PickGroundPoint(event);
    // A course that was not given the tool's kind has nothing to place.
    if (!IsInsidePlacingArea(lastGroundPoint) || course->GetToolType() == nullptr)
        return;
    placingTool = shapeToolbar->GetCurrentTool();
    TRACE_VALUE(int32_t, placingTool);
    course->StartPlacingObject(lastGroundPoint.x, lastGroundPoint.y);
}

void CCourseView::OnMouseMove(const CMouseEvent& event)
{
    CCourse* course = GetCourse();
    if (pressState != CPanel::EPressState::kHeld || !course)
        return;
    const CPoint2 p = PickGroundPoint(event);
    if (p == lastGroundPoint)
        return;
    switch (dragMode) {
    case EDragMode::kMoveSelection:
        course->MoveSelectionBy(p.x - lastGroundPoint.x, p.y - lastGroundPoint.y);
        break;
    case EDragMode::kRotateSelection: {
        const CPoint2 c = course->GetRotationCentre();
        // The sum of the turns of a drag is the pointer's angle about the
        // centre now less its angle at the press, always within one turn.
        const float turn = (std::atan2(p.y - c.y, p.x - c.x) -
                            std::atan2(lastGroundPoint.y - c.y, lastGroundPoint.x - c.x)) *
                           kDegreesPerRadian;
        course->RotateSelectionBy(turn);
        break;
    }
    case EDragMode::kMoveHandle:
        course->MoveActiveHandle(p.x - lastGroundPoint.x, p.y - lastGroundPoint.y);
        break;
    default: {
        CRubberBandLayer& band = courseScene->GetRubberBand();
        if (band.IsActive()) {
            band.SetCorner(event.x, event.y);
            courseScene->UpdateLayer(ESceneLayer::kRubberBand);
            Invalidate();
            course->SelectInRectangle(band.GetRect(), courseScene->transform, event.control || event.shift);
        } else if (course->GetPlacedObject()) {
            course->DragPlacedObject(p.x, p.y);
        }
        break;
    }
    }
    lastGroundPoint = p;
    UpdateCourse();
}

void CCourseView::OnMouseUp(const CMouseEvent& event)
{
    TRACE_POINT();
    CCourse* course = GetCourse();
    if (pressState != CPanel::EPressState::kReleasing || !course)
        return;
    if (course->GetPlacedObject()) {
        DropPlacedObject(event);
    } else {
        switch (dragMode) {
        case EDragMode::kMoveSelection:
            course->EndSingleObjectEdit();
            break;
        case EDragMode::kRotateSelection:
            course->CommitSnappedAngle();
            break;
        case EDragMode::kMoveHandle:
            course->EndActiveHandleMove();
            break;
        default:
            if (courseScene->GetRubberBand().IsActive()) {
                courseScene->GetRubberBand().Stop();
                courseScene->UpdateLayer(ESceneLayer::kRubberBand);
                Invalidate();
            }
            break;
        }
        dragMode = EDragMode::kNone;
    }
    UpdateCourse();
}

void CCourseView::DropPlacedObject(const CMouseEvent& event)
{
    CCourse* course = GetCourse();
    const CPoint2 p = PickGroundPoint(event);
    course->DropPlacedObject(p.x, p.y);
    const std::wstring before = course->GetUndoLabel();
    course->CommitUndoStep(course->GetSpecList().GetTerm(placingTool));
    const std::wstring after = course->GetUndoLabel();
    const bool keepTool = event.control || event.shift || (shapeToolbar && shapeToolbar->IsLocked());
    if (before == after && !keepTool)
        ShowHint(2707, L"CreateShapes", 4);
    else
        GetHintCounts()[2707] = 0;
    if (!keepTool && shapeToolbar)
        shapeToolbar->SelectNone();
}

void CCourseView::OnRightClick(const CMouseEvent& event)
{
    TRACE_POINT();
    CCourse* course = GetCourse();
    if (!course || IsToolChosen() || event.left)
        return;
    const CPick pick = PickAndPoint(event.x, event.y);
    if (pick.kind == CCourse::EPickKind::kNothing) {
        course->DeselectAll(false);
    } else if (!pick.selected) {
        course->DeselectAll(true);
        course->SelectActiveObject(true);
    }
    if (contextMenu)
        ShowContextMenu(*contextMenu);
    UpdateCourse();
}

// ---- Cursor -----------------------------------------------------------------------------

CCursors& CCourseView::GetRotateCursor()
{
    static const std::unique_ptr<CCursors> cursor = CCursors::CreateFromArt(15, 15, kRotateArt);
    return *cursor;
}

CCursors* CCourseView::GetCursorAt(const CMouseEvent& event)
{
    switch (dragMode) {
    case EDragMode::kMoveSelection:
        return &CCursors::GetSizeAll();
    case EDragMode::kRotateSelection:
        return &GetRotateCursor();
    case EDragMode::kMoveHandle:
        return &CCursors::GetGrabHand();
    default:
        break;
    }
    CCourse* course = GetCourse();
    if (!course)
        return &CCursors::GetArrow();
    if (courseScene->GetRubberBand().IsActive())
        return &CCursors::GetArrow();
    if (course->GetPlacedObject())
        return &CCursors::GetPlus();
    if (event.left || event.right)
        return &CCursors::GetArrow();
    if (IsToolChosen())
        return IsInsidePlacingArea(RoundPoint(event.groundPoint)) ? &CCursors::GetPlus() : &CCursors::GetArrow();

    const CPick pick = PickAndPoint(event.x, event.y);
    if (pick.kind == CCourse::EPickKind::kNothing)
        return &CCursors::GetArrow();
    if (event.control || event.shift) {
        if (pick.kind == CCourse::EPickKind::kHandle && pick.part == 3)
            return &GetRotateCursor();
        return !pick.selected && pick.part >= 1 ? &CCursors::GetSizeAll() : &CCursors::GetArrow();
    }
    if (pick.kind == CCourse::EPickKind::kHandle) {
        switch (pick.part) {
        case 1:
            return &CCursors::GetSizeAll();
        case 2:
            return &GetRotateCursor();
        case 3:
            return &CCursors::GetPointHand();
        default:
            return &CCursors::GetArrow();
        }
    }
    // A body, whichever of its two kinds.
    return pick.part >= 1 ? &CCursors::GetSizeAll() : &CCursors::GetArrow();
}

// ---- Keys ----------------------------------------------------------------------------------

bool CCourseView::WantsAllKeys(int key)
{
    return (key >= kPanelKeyUp && key <= kPanelKeyShift) || key == kPanelKeyDelete || key == kPanelKeyBackspace ||
           (key >= kPanelKeyPageUp && key <= kPanelKeyMinus);
}

void CCourseView::OnKeyDown(int key, bool control, bool shift)
{
    CCourse* course = GetCourse();
    if (pressState != CPanel::EPressState::kIdle || !course)
        return;
    TRACE_VALUE(int32_t, key);
    if ((key == kPanelKeyDelete || key == kPanelKeyBackspace) && course->HasSelection()) {
        course->DeleteSelected();
        course->CommitUndoStepById(kDeleteTextId);
        UpdateCourse();
    }
    if (shift) {
        switch (key) {
        case kPanelKeyUp:
            NudgeSelection(0, -1, control);
            break;
        case kPanelKeyDown:
            NudgeSelection(0, 1, control);
            break;
        case kPanelKeyLeft:
            NudgeSelection(-1, 0, control);
            break;
        case kPanelKeyRight:
            NudgeSelection(1, 0, control);
            break;
        default:
            break;
        }
    }
    if (cameraToolbar)
        cameraToolbar->OnKey(key, true, control, shift);
    UpdateCourse();
}

void CCourseView::OnKeyUp(int key, bool control, bool shift)
{
    if ((key == kPanelKeyControl || key == kPanelKeyShift) && !control && !shift && shapeToolbar &&
        !shapeToolbar->IsLocked()) {
        shapeToolbar->SelectNone();
        UpdateCourse();
    }
    if (cameraToolbar && pressState == CPanel::EPressState::kIdle)
        cameraToolbar->OnKey(key, false, control, shift);
}

void CCourseView::OnKillFocus()
{
    CPanel::OnKillFocus();
    if (cameraToolbar)
        cameraToolbar->ReleaseKeys();
}

bool CCourseView::CanEditSelectionByKey() const
{
    const CCourse* course = GetCourse();
    return course && course->CountSelected() > 0 && dragMode == EDragMode::kNone && !IsToolChosen() &&
           !course->GetPlacedObject() && !courseScene->GetRubberBand().IsActive();
}

void CCourseView::NudgeSelection(int dx, int dy, bool fine)
{
    if (!CanEditSelectionByKey())
        return;
    CCourse* course = GetCourse();
    float step = fine ? 10.0f : 120.0f;
    if (course->IsMetric())
        step = fine ? 4.0f : 40.0f;
    CTransform heading;
    heading.SetRotationZ(float(course->GetViewCamera().GetYaw()));
    const CPoint2 move = heading.TransformVector2D(float(dx) * step, float(dy) * step);
    TRACE_VALUE(CPoint2, move);
    course->MoveSelectionBy(move.x, move.y);
}

void CCourseView::RotateSelectionBy(float degrees)
{
    if (!CanEditSelectionByKey())
        return;
    TRACE_VALUE(float, degrees);
    GetCourse()->RotateSelectionBy(degrees);
}

// ---- Characters ----------------------------------------------------------------------------

void CCourseView::OnChar(wchar_t ch)
{
    CCourse* course = GetCourse();
    if (!course)
        return;
    switch (ch) {
    case L'[':
        RotateSelectionBy(-15.0f);
        break;
    case L']':
        RotateSelectionBy(15.0f);
        break;
    case L'{':
        RotateSelectionBy(-1.0f);
        break;
    case L'}':
        RotateSelectionBy(1.0f);
        break;
    default:
        RunCharacterSequence(ch);
        break;
    }
    lastChar = ch;
    UpdateCourse();
}

void CCourseView::RunCharacterSequence(wchar_t ch)
{
    CCourse* course = GetCourse();
    if (lastChar == L's' && (ch == L'3' || ch == L'4')) {
        const bool older = ch == L'3';
        TRACE_VALUE(bool, older);
        course->SetWriteVersion3(older);
        CMessageBox::Show(older ? L"This file will be saved in TRIV3 format"
                                : L"This file will be saved in TRIV4 format",
                          CMessageBox::kInformation);
    } else if (lastChar == L't' && ch == L'r') {
        TRACE_POINT();
        (new CTroubleshootingDlg)->DoModal();
    } else if (lastChar == L'g' && ch == L'r') {
        ShowGraphicsSystemDialog();
    } else if (lastChar == L'c' && ch == L'r') {
        TRACE_POINT();
        CBrisklaneModeDlg dialog;
        dialog.DoModal();
    }
}
