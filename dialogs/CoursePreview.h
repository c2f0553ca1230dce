#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Drawable.h"
#include "ui/Panel.h"
#include "ui/Scene.h"

class CColorPickerDlg;
class CCourse;
class CPartColorMerge;
class CPixelBitmap;

// The objects of a course drawn with their pick ids, in the map (kind 2) or
// in 3D (kind 3); a new key after every change of the course's colours.
class CCourseObjectsDrawable : public CDrawable
{
public:
    CCourseObjectsDrawable(CCourse& course, int viewKind) : m_course(course), m_viewKind(viewKind) {}

    void Draw(CGraphicsContext& context) override;
    void Refresh() { MakeUniqueKey(); }

private:
    CCourse& m_course;
    int m_viewKind;
};

// A picture drawn at the panel's top-left corner.
class CPreviewPicture : public CDrawable
{
public:
    void Draw(CGraphicsContext& context) override;
    void Refresh() { MakeUniqueKey(); }

    std::unique_ptr<CPixelBitmap> bitmap;
};

// A live picture of the colour picker's sample course, with only objects of
// the edited kind left, in the map (kind 2) or in 3D (kind 3). It keeps two
// copies: the shown course, coloured with the merged and the newly chosen
// colours, and the pick course, in which each offered part has a colour of
// its own, so that a click finds the part under the mouse by its colour.
class CCoursePreview : public CPanel
{
public:
    CCoursePreview(CPartColorMerge& merge, int viewKind, CColorPickerDlg* owner);
    ~CCoursePreview() override;

    // Fixed: half the palette's width less half a gap, in 4 : 3.
    void Measure() override;
    CCursors* GetCursorAt(const CMouseEvent& event) override;
    void OnChar(wchar_t ch) override;
    void OnMouseDown(const CMouseEvent& event) override;
    void OnMouseUp(const CMouseEvent& event) override;

    // Shows the entry in the colour (a palette index; -1 forgets the choice).
    void SetPartColor(int entry, int paletteIndex);
    // The entry whose part lies under the point (panel pixels), or -1.
    int HitTest(float x, float y);
    // The colour chosen here for the entry, -1 for none.
    int GetRecordedColor(int entry) const;
    // The palette index that marks the entry in the pick course.
    int GetIdentifyingColor(int entry) const;

    int GetViewKind() const { return m_viewKind; }
    CScene& GetShownScene() { return *m_shownScene; }
    CScene& GetPickScene() { return *m_pickScene; }
    CCourse& GetShownCourse() { return *m_shownCourse; }
    // The size every preview takes, in pixels.
    static CSize2 GetPreviewSize();

private:
    std::unique_ptr<CCourse> LoadSample() const;
    void FitView();
    void ApplyShownColors();
    void RenderPicture();

    CPartColorMerge& m_merge;
    int m_viewKind;
    CColorPickerDlg* m_owner;
    std::unique_ptr<CCourse> m_shownCourse;
    std::unique_ptr<CCourse> m_pickCourse;
    std::unique_ptr<CCourseObjectsDrawable> m_shownObjects;
    std::unique_ptr<CCourseObjectsDrawable> m_pickObjects;
    std::unique_ptr<CScene> m_shownScene;
    std::unique_ptr<CScene> m_pickScene;
    CPreviewPicture m_picture;
    CScene m_pictureScene{true, 1};
    std::vector<int> m_identifying;
    std::vector<int> m_recorded;
};

// The sample course of the colour picker: a course text block holding an
// object of every kind.
const char* GetColorSampleCourseText();
