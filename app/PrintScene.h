#pragma once

#include <deque>
#include <string>

#include "foundation/Rect.h"
#include "graphics/Drawable.h"
#include "graphics/PixelBitmap.h"
#include "ui/Scene.h"

class CCourse;

// A printed page: one or more courses in a grid of equal cells, each the
// whole ring map or the course's current view. The same page serves the
// print preview and the printer. The page is a scene whose one drawable is
// the page itself, laid out in the printer's page units (one unit a dot at
// the set-up's resolution, the origin at the sheet's corner) or, for the
// preview, scaled down to the preview pane's pixels.
//
// On paper every course is rendered at full resolution in screen-sized
// tiles; in the preview each is rendered once at its cell's size and kept
// as a bitmap. The page never owns its courses, which must outlive it.
class CPrintScene : public CScene, public CDrawable
{
public:
    // One cell: a course (null for a blank cell), how it is drawn, its
    // preview picture and its place on the page.
    class CItem
    {
    public:
        CItem(CCourse* course, bool wholeMap);

        // Fits the course into the cell, keeping its aspect, centred and on
        // whole units, at least 1 x 1. With preRender the picture is made
        // (unless it has that size already); without, it is dropped, so that
        // Draw renders at full resolution.
        void Place(const CRectF& cell, bool preRender);
        // The picture stretched into the rectangle, or without one the
        // course rendered straight into the context, tile by tile.
        void Draw(CGraphicsContext& context);

        CCourse* course;
        bool wholeMap;
        CPixelBitmap bitmap;
        CRectF rect;
    };

    CPrintScene();
    ~CPrintScene() override;

    // "PrintSceneWholeMap" and T or F for: the course shows 3D, it uses its
    // 3D camera, its current view camera is not free.
    static std::wstring GetWholeMapSettingName(CCourse* course);

    // Appends the course with the whole-map choice stored for its kind of
    // view (the whole map unless the course shows 3D).
    void AddCourse(CCourse* course);
    // Appends a cell as given; a null course is a blank cell.
    void AddItem(CCourse* course, bool wholeMap);
    void Clear();

    // The first cell's course that is not null; null when there is none.
    CCourse* GetFirstCourse() const;
    // The whole-map flag of that cell (ask only when there is one).
    bool GetFirstWholeMap() const;
    // The cells that hold a course.
    int GetCourseCount() const;
    // Stores the first course's whole-map flag under its setting name;
    // nothing without a course.
    void SaveWholeMapSetting() const;

    // White page, in pane pixels, courses pre-rendered.
    void LayoutForPreview();
    // Nothing filled, in page units, courses rendered when drawn.
    void LayoutForPrinting();
    // Places every cell (see the .cpp for the grid rule).
    void Layout();

    // Draws every cell in order.
    void Draw(CGraphicsContext& context) override;

    // The preview pane's size in pixels (100 x 100 until the print dialog
    // sets it).
    float paneWidth = 100.0f;
    float paneHeight = 100.0f;
    std::deque<CItem> items;
    // Page units per drawing unit: 1 on paper, page / pane in the preview.
    float scale = 1.0f;
};
