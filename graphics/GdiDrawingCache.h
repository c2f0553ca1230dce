#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "foundation/Transform.h"

class CDrawable;

// The paths and texts a GDI canvas gave to GDI for each drawable it drew in a
// frame, in device pixels with the pen, brush and font each asked for: the
// next frame gives them again instead of drawing the drawable anew, as long
// as its key (which names what it draws), its placement on the device and
// the frame's view (clip box, camera, scene transform) are as they were.
// A map repainted unchanged, or with one object moved, then costs little
// more than GDI's own filling.
//
// Only drawables that drew nothing but paths and texts are given again; one
// that drew a bitmap is drawn anew every frame.
class CGdiDrawingCache
{
public:
    // What a path asked of the device context: a pen of this width in pixels
    // and colour (ARGB), and/or a solid or hatched brush of this colour.
    struct CPathStyle
    {
        bool stroke = false;
        bool fill = false;
        bool hatched = false;
        int penWidth = 0;
        uint32_t penColor = 0;
        uint32_t fillColor = 0;
    };

    // A line of text as ExtTextOutW takes it: the font's pixel height and
    // weight, the text and background colours (ARGB) and the baseline's
    // start in device pixels.
    struct CText
    {
        int height = 0;
        bool bold = false;
        uint32_t textColor = 0;
        uint32_t backColor = 0;
        LONG x = 0;
        LONG y = 0;
    };

    // One thing drawn: a path (its style and its points and PolyDraw types)
    // or, with a text index, a line of text (its characters and device
    // advances).
    struct CPart
    {
        CPathStyle style;
        uint32_t first = 0;
        uint32_t count = 0;
        int32_t text = -1;
    };
    struct CKeptText
    {
        CText line;
        std::wstring characters;
        std::vector<INT> advances;
    };

    // What one drawable drew.
    struct CDrawing
    {
        std::string key;
        CTransform placement;
        std::vector<CPart> parts;
        std::vector<POINT> points;
        std::vector<BYTE> types;
        std::vector<CKeptText> texts;
        // It also drew what is kept not: it is drawn anew every frame.
        bool drewOther = false;
        uint32_t frame = 0;
        // Its place in the order of the frame that last used it.
        uint32_t order = 0;
    };

    // What a frame's drawings depend on beyond each drawable's key and
    // placement: every drawing kept goes when it differs from the last
    // frame's.
    struct CFrameView
    {
        RECT clip = {};
        // Scene to device pixels, and the scene's own transform.
        CTransform device;
        CTransform scene;
        // The camera's, which places the items drawn at a constant size.
        float projection[16] = {};
        float windowWidth = 0.0f;
        float windowHeight = 0.0f;
        bool orthographic = false;

        // Bit for bit the same values.
        bool IsSameAs(const CFrameView& other) const;
    };

    // Starts a frame seen as view; drawings of an earlier frame seen
    // otherwise are forgotten.
    void BeginFrame(const CFrameView& view);
    // Forgets the drawings not used in the frame once they outnumber the
    // ones used.
    void EndFrame();
    void Clear();

    // The drawing kept for the drawable with this key at this placement, or
    // null. A kept drawing counts as used in this frame.
    const CDrawing* Find(const CDrawable& drawable, const std::string& key, const CTransform& placement);
    // An empty drawing for the drawable, which the caller fills while the
    // drawable draws; it replaces what was kept for it. Null for a drawable
    // already drawn elsewhere in this frame: one drawable drawn in many
    // places keeps the first.
    CDrawing* Start(const CDrawable& drawable, const std::string& key, const CTransform& placement);
    // Appends a path or a line of text given to GDI to the drawing being
    // filled.
    static void AddPath(CDrawing& drawing, const CPathStyle& style, const std::vector<POINT>& points,
                        const std::vector<BYTE>& types);
    static void AddText(CDrawing& drawing, const CText& line, const std::wstring& characters,
                        const std::vector<INT>& advances);

    size_t GetSize() const { return m_drawings.size(); }

private:
    struct COrderEntry
    {
        const CDrawable* drawable;
        CDrawing* drawing;
    };

    // Counts the drawing as used in this frame, next in the frame's order.
    void Use(const CDrawable& drawable, CDrawing& drawing);

    // Nodes stay where they are when the table grows, so the orders may
    // point into it.
    std::unordered_map<const CDrawable*, CDrawing> m_drawings;
    // The drawings in the order the last frame used them, and this frame's
    // so far. A frame that visits the drawables as the last one did finds
    // each at the cursor, one step along a list, without hashing into the
    // table; one that differs goes on from where the table's answer stood.
    std::vector<COrderEntry> m_lastOrder;
    std::vector<COrderEntry> m_order;
    size_t m_cursor = 0;
    CFrameView m_view;
    bool m_viewKnown = false;
    uint32_t m_frame = 0;
    size_t m_usedInFrame = 0;
};
