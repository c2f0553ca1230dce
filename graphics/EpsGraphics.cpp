#include "graphics/EpsGraphics.h"

#include <cmath>
#include <cstring>

#include "foundation/Rgba.h"
#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"
#include "graphics/Drawable.h"
#include "ui/Scene.h"

namespace {

// Lines of the document that never change, each ending "\r\n".
const char* const kSetupLines[] = {
    "%%LanguageLevel: 2",
    "%%DocumentNeededResources: font ArialMT Arial-BoldMT",
    "%%DocumentProcessColors: (atend)",
    "%%EndComments",
    "%%BeginSetup",
    "%%IncludeResource: font ArialMT",
    "%%IncludeResource: font Arial-BoldMT",
    "%%EndSetup",
    "gsave",
    "0 setlinecap 0 setlinejoin 2 setmiterlimit",
    "25 dict begin",
    "/myEncoding ISOLatin1Encoding 256 array copy def 0",
    "[",
    // ISO Latin 1 has other glyphs at these codes.
    "  39 /quotesingle",
    "  45 /hyphen",
    "  96 /grave",
};

// After the encoded characters: the encoding is put together, the fonts are
// defined with it, then the procedures the drawing uses.
const char* const kPrologLines[] = {
    "]",
    "{ dup type /nametype eq",
    "  { myEncoding 2 index 2 index put pop 1 add }",
    "  { exch pop } ifelse",
    "} forall pop",
    "/deffont { findfont dup length dict begin",
    "  {1 index /FID ne {def} {pop pop} ifelse} forall",
    "  /Encoding myEncoding def currentdict end definefont pop} bind def",
    "/Arial-MyEncoding /ArialMT deffont",
    "/Arial-Bold-MyEncoding /Arial-BoldMT deffont",
    "/c { curveto } bind def",
    "/cp { closepath } bind def",
    "/f { eofill } bind def",
    "/gc { gsave concat } bind def",
    "/gr { grestore } bind def",
    "/g { 255 div setgray } bind def",
    // A white cell crossed by both diagonals in the colour that sc sets.
    "/hatchdict <<",
    "  /PatternType 1",
    "  /PaintType 1",
    "  /TilingType 1",
    "  /hatchCellSize 240",
    "  /BBox [0 0 240 240]",
    "  /XStep 240",
    "  /YStep 240",
    "  /sc { }",
    "  /PaintProc { begin 1 setgray 0 0 hatchCellSize hatchCellSize rectfill",
    "    sc hatchCellSize 12 div setlinewidth",
    "    newpath 0 0 moveto hatchCellSize hatchCellSize lineto",
    "    0 hatchCellSize moveto hatchCellSize 0 lineto stroke end }",
    ">> def",
    // { colour } size h: the hatch of that colour, its cell 12 x size.
    "/h { /Pattern setcolorspace",
    "  hatchdict begin",
    "  12 mul /hatchCellSize exch def",
    "  /BBox [ 0 0 hatchCellSize hatchCellSize ] def",
    "  /XStep hatchCellSize def",
    "  /YStep hatchCellSize def",
    "  /sc exch bind def",
    "  end hatchdict matrix makepattern setcolor } bind def",
    "/l { lineto } bind def",
    "/m { moveto } bind def",
    "/p { setlinewidth } bind def",
    "/rgb { 3 -1 roll 255 div 3 -1 roll 255 div 3 -1 roll 255 div setrgbcolor } bind def",
    "/s { stroke } bind def",
    "/sf { /Arial-MyEncoding exch selectfont } bind def",
    "/sfb { /Arial-Bold-MyEncoding exch selectfont } bind def",
    "/sfr { gsave fill grestore } bind def",
    // Text: x y tt saves the matrix and moves there; w h tb fills the box;
    // (text) tm moves to the baseline (the font's descent above the box's
    // bottom); ts shows it, tas spreads it over the box's width; both put
    // the matrix back.
    "/tt { matrix currentmatrix 3 1 roll translate } bind def",
    "/tb { 2 copy 0 0 4 2 roll rectfill } bind def ",
    "/tm { exch 434 mul 2288 div 0 exch moveto } bind def",
    "/tas { dup stringwidth pop 3 -1 roll exch sub exch dup length 1 sub 3 -1 roll exch div",
    "  0 3 -1 roll ashow setmatrix } bind def",
    "/ts { show pop setmatrix} bind def",
};

const char* const kTrailerLines[] = {
    "grestore",
    "showpage",
    "/Arial-MyEncoding undefinefont",
    "/Arial-Bold-MyEncoding undefinefont",
    "end",
    "%%Trailer",
};

constexpr const char* kEol = "\r\n";

// A coordinate or box size as the document writes it: floor(v + 0.5),
// limited to the 32-bit range (a value that is no number gives 0).
int32_t Whole(float value) { return SaturateToInt32(RoundHalfUp(value)); }

}  // namespace

// The first pass: draws the scene only to learn which characters its texts
// use. Paths, vertices and bitmaps leave nothing.
class CEpsGraphics::CBuildEncoding : public CGraphicsContext
{
public:
    explicit CBuildEncoding(CEpsGraphics& owner) : m_owner(owner) {}

    void DrawBitmap(const CPixelBitmap&, const CRectF&) override {}
    void DrawText(const std::wstring& text, float, float) override
    {
        for (const wchar_t c : text)
            m_owner.MapCharacter(c, true);
    }
    void BeginVertices(int, bool, int) override {}
    void AddVertex(const CVector3&) override {}
    void EndVertices() override {}
    void DrawDrawable(CDrawable& drawable, int, int) override
    {
        if (m_nesting >= kMaxNesting) {
            ReportFailure();
            return;
        }
        PushState();
        m_state.Reset(CVector3());
        ++m_nesting;
        drawable.Draw(*this);
        --m_nesting;
        PopState();
    }

protected:
    void EmitMoveTo(float, float) override {}
    void EmitLineTo(float, float) override {}
    void EmitBezierTo(const CCurveGeometry&) override {}
    void EmitCloseFigure() override {}

private:
    CEpsGraphics& m_owner;
    int m_nesting = 0;
};

CEpsGraphics::CEpsGraphics(std::ostream& out, CScene& scene, float outputWidth, float outputHeight,
                           float sceneWidth, float sceneHeight)
    : m_out(out), m_scene(&scene)
{
    TRACE_POINT();
    WriteDocument(scene, outputWidth, outputHeight, sceneWidth, sceneHeight);
}

CEpsGraphics::~CEpsGraphics() = default;

const char* CEpsGraphics::GetGlyphName(wchar_t c)
{
    for (const CGlyphName& entry : kGlyphNames) {
        if (entry.codePoint == c)
            return entry.name;
    }
    return "space";
}

int CEpsGraphics::MapCharacter(wchar_t c, bool record)
{
    if (c >= 32 && c <= 126)
        return c;
    for (size_t k = 0; k < m_encoded.size(); ++k) {
        if (m_encoded[k] == c)
            return int(128 + k);
    }
    // A character the first pass did not meet has no code in the written
    // encoding: it prints as a space, as do those beyond the last code.
    if (!record || m_encoded.size() >= kMaxEncoded)
        return ' ';
    m_encoded.push_back(c);
    return int(128 + m_encoded.size() - 1);
}

// ---- The document ------------------------------------------------------------------

void CEpsGraphics::WriteDocument(CScene& scene, float outputWidth, float outputHeight, float sceneWidth,
                                 float sceneHeight)
{
    {
        CBuildEncoding encoding(*this);
        for (CDrawable* item : scene.items) {
            if (!item)
                continue;
            encoding.m_state.Reset(CVector3());
            encoding.DrawDrawable(*item, 0, 0);
        }
    }
    if (!scene.mapMode)
        ReportFailure();

    // Whole numbers: the document structuring convention's bounding box is
    // integral, and readers of EPS files take nothing else. The box holds
    // the whole page.
    m_out << "%!PS-Adobe-3.0 EPSF-3.0" << kEol;
    m_out << "%%BoundingBox: 0 0 " << Whole(std::ceil(outputWidth)) << ' ' << Whole(std::ceil(outputHeight))
          << kEol;
    for (const char* line : kSetupLines)
        m_out << line << kEol;
    if (!m_encoded.empty()) {
        m_out << "  128 ";
        for (const wchar_t c : m_encoded)
            m_out << '/' << GetGlyphName(c);
        m_out << kEol;
    }
    for (const char* line : kPrologLines)
        m_out << line << kEol;

    SetColour(scene.background, false);
    m_out << "0 0 " << outputWidth << ' ' << outputHeight << " rectfill" << kEol;
    m_out << "0 " << outputHeight << " translate" << kEol;
    m_out << outputWidth << ' ' << sceneWidth << " div " << outputHeight << ' ' << sceneHeight << " div scale "
          << kEol;

    m_camera.SetOrthographic(scene.mapMode);
    m_camera.UpdateMatrices();
    m_camera.SetDepthRange(scene.nearDepth, scene.farDepth);
    m_camera.SetViewport(sceneWidth, sceneHeight);
    m_canvas = CTransform(scene.transform, true);
    for (size_t i = 0; i < scene.items.size(); ++i) {
        if (!scene.items[i])
            continue;
        if (i < scene.is3D.size() && scene.is3D[i])
            ReportFailure();
        m_state.Reset(CVector3());
        DrawDrawable(*scene.items[i], 0, 0);
    }

    for (const char* line : kTrailerLines)
        m_out << line << kEol;
    m_out << "%%DocumentProcessColors: " << (m_onlyGreys ? "Black" : "Cyan Magenta Yellow Black") << kEol;
    m_out << "%%EOF" << kEol;
    m_out.flush();
}

// ---- Drawing -------------------------------------------------------------------------

float CEpsGraphics::GetScale() const { return m_state.matrix.GetScale() * m_canvas.GetScale(); }

void CEpsGraphics::WritePoint(float x, float y)
{
    const CPoint2 p = m_canvas.TransformPoint2D(m_state.matrix.TransformPoint2D(x, y));
    m_out << Whole(p.x) << ' ' << Whole(-p.y);
}

void CEpsGraphics::EmitMoveTo(float x, float y)
{
    WritePoint(x, y);
    m_out << " m" << kEol;
}

void CEpsGraphics::EmitLineTo(float x, float y)
{
    WritePoint(x, y);
    m_out << " l" << kEol;
}

void CEpsGraphics::EmitBezierTo(const CCurveGeometry& curve)
{
    WritePoint(curve.p1.x, curve.p1.y);
    m_out << ' ';
    WritePoint(curve.p2.x, curve.p2.y);
    m_out << ' ';
    WritePoint(curve.p3.x, curve.p3.y);
    m_out << " c" << kEol;
}

void CEpsGraphics::EmitCloseFigure() { m_out << "cp" << kEol; }

void CEpsGraphics::EmitEndPath()
{
    if (IsPathFilled()) {
        if (m_state.fillPattern > 1) {
            TRACE_VALUE(int32_t, int32_t(m_state.fillPattern));
            ReportFailure();
        }
        SetColour(m_state.fillColor, m_state.fillPattern == 1);
        m_out << (IsPathStroked() ? "sfr " : "f\r\n");
    }
    if (IsPathStroked()) {
        const float width = m_state.penWidth * GetScale();
        if (width != m_penWidth) {
            m_out << width << " p ";
            m_penWidth = width;
        }
        SetColour(m_state.penColor, false);
        m_out << "s" << kEol;
    }
}

void CEpsGraphics::SetColour(uint32_t colour, bool hatch)
{
    colour &= 0x00FFFFFF;
    const float hatchSize = hatch ? m_state.hatchScale * GetScale() : 0.0f;
    if (m_colourWritten && colour == m_colour && hatch == m_colourHatched && (!hatch || hatchSize == m_hatchSize))
        return;
    if (hatch) {
        m_hatchSize = hatchSize;
        m_out << "{ ";
    }
    m_colourWritten = true;
    m_colour = colour;
    m_colourHatched = hatch;
    const int red = GetRed(colour);
    const int green = GetGreen(colour);
    const int blue = GetBlue(colour);
    if (red == green && green == blue) {
        m_out << red << " g ";
    } else {
        m_onlyGreys = false;
        m_out << red << ' ' << green << ' ' << blue << " rgb ";
    }
    if (hatch)
        m_out << "} " << hatchSize << " h ";
}

void CEpsGraphics::DrawText(const std::wstring& text, float x, float y)
{
    TRACE_POINT();
    const float scale = GetScale();
    const CFontMetrics font(m_state.font.size * scale, m_state.font.IsBold());
    if (font != m_font) {
        m_font = font;
        m_out << font.size << (font.IsBold() ? " sfb" : " sf") << kEol;
    }
    CRectF box;
    AlignText(text, x, y, &box, nullptr);

    WritePoint(box.left, box.bottom);
    m_out << " tt";
    const float width = box.right - box.left;
    const CPoint2 direction = m_canvas.TransformVector2D(m_state.matrix.TransformVector2D(width, 0.0f));
    // atan of 0 over 0 is an error that spoils the whole page: a direction
    // that truncates to nothing leaves the text unturned.
    const int32_t rise = SaturateToInt32(-direction.y);
    const int32_t run = SaturateToInt32(direction.x);
    if ((direction.y > 0.1f || direction.y < -0.1f || direction.x < 0.0f) && (rise != 0 || run != 0))
        m_out << ' ' << rise << ' ' << run << " atan rotate";
    m_out << kEol;

    SetColour(m_state.fillColor, false);
    m_out << Whole(width * scale) << ' ' << Whole((box.bottom - box.top) * scale) << " tb ";
    SetColour(m_state.textColor, false);
    m_out << kEol;

    m_out << '(';
    for (const wchar_t c : text) {
        const int code = MapCharacter(c, false);
        if (code == '(' || code == ')' || code == '\\') {
            m_out << '\\' << char(code);
        } else if (code >= 32 && code <= 126) {
            m_out << char(code);
        } else {
            const char octal[] = {'\\', char('0' + ((code >> 6) & 7)), char('0' + ((code >> 3) & 7)),
                                  char('0' + (code & 7)), 0};
            m_out << octal;
        }
    }
    m_out << ") tm " << (text.size() < 2 ? "ts" : "tas") << kEol;
}

void CEpsGraphics::DrawDrawable(CDrawable& drawable, int mode, int flag)
{
    TRACE_VALUE(int32_t, mode);
    if (m_nesting >= kMaxNesting) {
        ReportFailure();
        return;
    }
    const CTransform matrix = m_state.matrix;
    const CTransform canvas = m_canvas;
    static const CTransform identity;
    ComputeItemTransform(mode, m_camera, m_canvas, m_scene ? m_scene->transform : identity, drawable);
    PushState();
    m_canvas = CTransform(m_canvas, m_state.matrix);
    m_state.Reset(CVector3());
    ++m_nesting;
    drawable.Draw(*this);
    --m_nesting;
    m_canvas = canvas;
    PopState();
    m_state.matrix = matrix;
}
