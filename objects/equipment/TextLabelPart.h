#pragma once

#include <cstdint>
#include <string>

#include "app/ViewCamera.h"
#include "foundation/Geometry.h"
#include "graphics/Drawable.h"

class CCourse;
class CCourseObject;
class CFieldWriter;
class CGraphicsContext;

// A short text on a filled box, drawn at its anchor: the label of obstacle
// numbers, end circles, measured lengths, coordinate marks and the grid
// numbers. Its look (text, box, colours, greying) is its cache key; where
// it is drawn (offset, anchor, camera) is not.
//
// Style 2 is the map: the label is drawn upright at the scale of the plan.
// Any other style keeps the label readable in 3D: it is stood on the ground
// and shrunk only when it comes nearer the eye than the whole-course view.
class CTextLabelPart : public CDrawable
{
public:
    explicit CTextLabelPart(bool hasPenColor);

    void Draw(CGraphicsContext& context) override;
    // Key fields of a subclass, written after the base's; the base has none.
    virtual void WriteKeyExtra(CFieldWriter& writer);

    // A free label of the course: the course's view camera, not anchored,
    // black text on white with a black pen, not greyed.
    void SetCourse(CCourse& course);
    // A label that follows an object: its course's view camera, its position
    // as anchor, and the colours of its parts 26 (text), 25 (box) and 15
    // (pen) under the label's style; greyed when a map label's object is.
    void AttachToObject(CCourseObject& object);
    // Restarts the cache key from the look fields.
    void UpdateKey();
    // The plan style (CCourseObject::ApplyPlanStyle) with the label's colours
    // and font size.
    void ApplyTextStyle(CGraphicsContext& context) const;
    // Draws the label as a placed item at its offset (relative to the
    // context's current origin), see the class comment for the scale.
    void DrawAtAnchor(CGraphicsContext& context);

    const std::wstring& GetText() const { return m_text; }
    // Both refresh the key.
    void SetText(const std::wstring& text);
    void SetBoxed(bool boxed);
    int GetStyle() const { return m_style; }
    void SetStyle(int style) { m_style = style; }
    const CPoint2& GetOffset() const { return m_offset; }
    void SetOffset(const CPoint2& offset) { m_offset = offset; }
    bool IsBoxed() const { return m_boxed; }
    bool IsGreyed() const { return m_greyed; }
    bool IsAnchored() const { return m_anchored; }
    const CVector3& GetAnchor() const { return m_anchor; }
    int GetTextColorIndex() const { return m_textColorIndex; }
    int GetFillColorIndex() const { return m_fillColorIndex; }
    int GetPenColorIndex() const { return m_penColorIndex; }
    const CViewCamera& GetCamera() const { return m_camera; }

    // The padding of a boxed label around its text.
    static constexpr float kBoxPadding = 60.0f;
    static constexpr float kFontSize = 240.0f;
    // The scale of a 3D label at a depth z of the camera's frame (negative in
    // front of the eye), given the whole-course distance.
    static float GetDepthScale(float z, float wholeCourseDistance);

private:
    // The camera of a label not attached yet, made once and copied.
    static const CViewCamera& GetTopDownCamera();

    bool m_hasPenColor;
    std::wstring m_text;
    int m_style = 2;
    bool m_boxed = true;
    CPoint2 m_offset;
    CViewCamera m_camera = GetTopDownCamera();
    int32_t m_textColorIndex = 4;
    int32_t m_fillColorIndex = 4;
    int32_t m_penColorIndex = 4;
    bool m_greyed = false;
    bool m_anchored = true;
    CVector3 m_anchor;
};
