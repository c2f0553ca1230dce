#pragma once

#include <cstdint>

#include "course/Course.h"
#include "foundation/Geometry.h"
#include "ui/Panel.h"

class CCameraToolbar;
class CCourseScene;
class CCursors;
class CMenu;
class CShapeToolbar;

// The custom-drawn panel in the middle of a course window. It shows one
// course scene (the map or the 3D scene, chosen by its owner) and turns the
// mouse and the keyboard into editing operations of the course document:
// selecting, moving, turning and reshaping objects, rubber-band selection,
// placing an object of the shape toolbar's tool, nudging and turning the
// selection from the keyboard, deleting, a context menu and a few typed key
// sequences. Keys are also handed to the camera toolbar, which drives the
// camera with them.
//
// The view never draws objects itself: every change goes through the course,
// whose listener notifications make the owner rebuild the scene's layers, and
// the panel repaints. Any window may host it:
//
//     CCourseView view(&scene, &menu, &shapes, &camera);
//     view.CreateNativeWindow(owner);   // then measure and SetBounds
class CCourseView : public CPanel
{
public:
    // None of the four is owned; the scene's course is the document edited.
    // The menu and the toolbars may be null. The scene must outlive the view
    // (or be replaced with SetScene first).
    CCourseView(CCourseScene* scene, CMenu* contextMenu, CShapeToolbar* shapeToolbar,
                CCameraToolbar* cameraToolbar);
    ~CCourseView() override;

    // The owner switches between its map and 3D scenes.
    void SetScene(CCourseScene* newScene);
    CCourseScene* GetCourseScene() const { return courseScene; }
    // The scene's course, or null.
    CCourse* GetCourse() const;

    // ---- Layout -------------------------------------------------------------
    bool DependsOnAvailableSize() const override { return true; }
    // Asks for the view camera's viewport size, fitted into the space offered
    // with its aspect kept; at least 10 x 10.
    void MeasureWithin(float width, float height) override;
    void Measure() override;
    // A size that differs from the wanted size becomes the camera's viewport
    // (a camera motion of the course), then the course updates.
    void SetBounds(const CRectF& rect) override;

    // ---- Panel operations ----------------------------------------------------
    CCursors* GetCursorAt(const CMouseEvent& event) override;
    // The arrows, Ctrl, Shift, Delete, Backspace, Page Up, Page Down, Plus
    // and Minus belong to the view.
    bool WantsAllKeys(int key) override;
    void OnKeyDown(int key, bool control, bool shift) override;
    void OnKeyUp(int key, bool control, bool shift) override;
    void OnChar(wchar_t ch) override;
    void OnKillFocus() override;
    void OnMouseDown(const CMouseEvent& event) override;
    void OnMouseUp(const CMouseEvent& event) override;
    void OnRightClick(const CMouseEvent& event) override;
    void OnMouseMove(const CMouseEvent& event) override;

    // ---- Editing helpers ------------------------------------------------------
    // The course point under the pointer on the drag plane.
    CPoint2 PickGroundPoint(const CMouseEvent& event) const;
    // Puts the drag plane through the grabbed point, but never closer than
    // 110 below the eye; a lowered plane gets a vertical factor that keeps
    // the grabbed point under the pointer.
    void SetDragPlane(const CVector3& hitPoint, float windowY);
    // Moves the selection one step (120 or, fine, 10 on imperial courses; 40
    // or 4 on metric ones) along the screen's axes.
    void NudgeSelection(int dx, int dy, bool fine);
    void RotateSelectionBy(float degrees);

    // A 32 x 32 open circle with an arrowhead at each end.
    static CCursors& GetRotateCursor();

    // ---- State ----------------------------------------------------------------
    CCourseScene* courseScene;
    CMenu* contextMenu;
    CShapeToolbar* shapeToolbar;
    CCameraToolbar* cameraToolbar;
    // What a drag with the left button does. A handle's category is the drag
    // it starts.
    enum class EDragMode
    {
        kNone = 0,   // or the rubber band
        kMoveSelection = 1,
        kRotateSelection = 2,
        kMoveHandle = 3,
    };
    EDragMode dragMode = EDragMode::kNone;
    // Under the pointer at the previous press or move.
    CPoint2 lastGroundPoint;
    // The previous character typed, for two-key sequences.
    wchar_t lastChar = 0;
    float dragPlaneHeight = 0.0f;
    // Below 1 while the drag plane had to be lowered.
    float verticalFactor = 1.0f;
    // The viewport size last taken from the view camera or set by layout.
    CSize2 wantedSize{1.0f, 1.0f};
    // The tool of the object being placed.
    int placingTool = 0;

    // Pick window around the pointer, in pixels.
    static constexpr float kPickMargin = 0.6f;
    // The drag plane keeps this far below the eye.
    static constexpr float kEyeClearance = 110.0f;

private:
    struct CPick
    {
        CCourse::EPickKind kind = CCourse::EPickKind::kNothing;
        uint32_t pickId = 0;
        CVector3 point;
        bool selected = false;
        int part = 0;
    };
    // Picks at a window point and hands the result to the course, which makes
    // the hit object the edited one.
    CPick PickAndPoint(float x, float y);
    bool IsToolChosen() const;
    // Nudging and turning from the keyboard: something selected, nothing
    // dragged, placed or banded, no tool.
    bool CanEditSelectionByKey() const;
    // The ring rectangle grown by 10 with the footer contains the point.
    bool IsInsidePlacingArea(const CPoint2& point) const;
    void PressWithoutTool(const CMouseEvent& event);
    void PressWithTool(const CMouseEvent& event);
    void DropPlacedObject(const CMouseEvent& event);
    // The two-key sequences: "s" then "3" or "4" (the file format of the
    // next save), "t" then "r" (troubleshooting), "g" then "r" (graphics
    // system), "c" then "r" (display mode).
    void RunCharacterSequence(wchar_t ch);
    // Tells the course's listeners that the course changed.
    void UpdateCourse();
};
