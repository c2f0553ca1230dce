#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "foundation/FontMetrics.h"
#include "foundation/Transform.h"
#include "graphics/VectorGraphics.h"
#include "render3d/Camera.h"

class CScene;

// One entry of the Adobe Glyph List: a PostScript glyph name and the one
// code point it stands for. The table (graphics/EpsGlyphNames.cpp, written
// by tools/make-eps-glyph-names.py) is in the list's alphabetical order.
struct CGlyphName
{
    uint16_t codePoint;
    const char* name;
};
constexpr size_t kGlyphNameCount = 4200;
extern const CGlyphName kGlyphNames[kGlyphNameCount];

// The Encapsulated PostScript back end (EPSF-3.0, language level 2): the
// constructor writes a whole document of a flat scene to the stream, every
// line ending in "\r\n". The items draw into it as they draw on screen; their
// paths become moveto/lineto/curveto with whole-number coordinates in scene
// units (y negated: the page is translated to its top edge and scaled from
// the scene size to the output size), colours become setgray or setrgbcolor
// (alpha is ignored), a hatched fill a pattern of crossed diagonals.
//
// Text uses the printer fonts ArialMT and Arial-BoldMT re-encoded so that
// each character outside 32..126 the scene uses gets one of the codes 128 to
// 255, in order of first use: a first pass over the scene collects them
// before the encoding is written. Characters beyond the 128th, and any the
// first pass did not meet, print as spaces. Each line of text is stretched
// to the width the built-in font metrics give, so the page keeps the
// screen's layout.
//
// The stream's write errors are the caller's to check.
class CEpsGraphics : public CVectorGraphics
{
public:
    // Writes the document and flushes the stream. Output sizes are in
    // PostScript points; the scene size is the part of the scene (after its
    // view transform) that fills them.
    CEpsGraphics(std::ostream& out, CScene& scene, float outputWidth, float outputHeight, float sceneWidth,
                 float sceneHeight);
    ~CEpsGraphics() override;

    // The text on a box of the fill colour, in the text colour.
    void DrawText(const std::wstring& text, float x, float y) override;
    // The drawable in its own coordinates: the canvas transform takes in the
    // item's placement while it draws.
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override;

    // The glyph name for a character: the alphabetically first name of the
    // glyph list that stands for it, "space" when none does.
    static const char* GetGlyphName(wchar_t c);
    // Most characters outside 32..126 one document can encode.
    static constexpr size_t kMaxEncoded = 128;

protected:
    void EmitMoveTo(float x, float y) override;
    void EmitLineTo(float x, float y) override;
    void EmitBezierTo(const CCurveGeometry& curve) override;
    void EmitCloseFigure() override;
    // Fills (even-odd, or nonzero keeping the path when it is also stroked)
    // and strokes the path written since the last end.
    void EmitEndPath() override;

private:
    class CBuildEncoding;

    void WriteDocument(CScene& scene, float outputWidth, float outputHeight, float sceneWidth,
                       float sceneHeight);
    void WriteProlog();
    // The byte of the re-encoded font for a character; with record set a
    // character outside 32..126 not yet listed joins the list while it has
    // room.
    int MapCharacter(wchar_t c, bool record);
    // A path point through the drawing matrix and the canvas transform:
    // whole X, a blank, whole negated Y.
    void WritePoint(float x, float y);
    // Sets the colour unless the document has it already; a hatch is a
    // pattern in the colour, as large as the hatch scale says.
    void SetColour(uint32_t colour, bool hatch);
    // The drawing matrix's scale times the canvas transform's.
    float GetScale() const;

    std::ostream& m_out;
    CScene* m_scene = nullptr;
    // Scene to page units for the item in hand: the inverse of the view
    // transform, with the placements of the items drawn around it.
    CTransform m_canvas;
    CCamera m_camera;
    CFontMetrics m_font;
    float m_penWidth = 0.0f;
    // What SetColour last wrote.
    bool m_colourWritten = false;
    uint32_t m_colour = 0;
    bool m_colourHatched = false;
    float m_hatchSize = 0.0f;
    bool m_onlyGreys = true;
    // Characters outside 32..126 in order of first use: entry k has code
    // 128 + k. Fixed once the encoding is written.
    std::vector<wchar_t> m_encoded;
    int m_nesting = 0;
};
