#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "graphics/EpsGraphics.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/EpsDocument.h"
#include "ui/Scene.h"

namespace {

// The document of a one-item flat scene of 2000 x 1500 units on 400 x 300
// points unless other sizes are given.
std::string Eps(std::function<void(CGraphicsContext&)> draw, float outputWidth = 400.0f,
                float outputHeight = 300.0f)
{
    CFunctionDrawable drawable(std::move(draw));
    CScene scene(true, 1);
    scene.items[0] = &drawable;
    std::ostringstream out;
    CEpsGraphics canvas(out, scene, outputWidth, outputHeight, 2000.0f, 1500.0f);
    return out.str();
}

void Text(CGraphicsContext& gc, const std::wstring& text, float size = 100.0f)
{
    gc.m_state.font = CFontMetrics(size, false);
    gc.DrawText(text, 100.0f, 200.0f);
}

void Square(CGraphicsContext& gc, uint32_t fill, bool stroke)
{
    gc.m_state.fillColor = fill;
    gc.BeginPath(stroke, true, 1);
    gc.AddRect(CRectF(10.0f, 20.0f, 30.0f, 40.0f));
    gc.EndPath();
}

bool Has(const std::string& document, const std::string& part) { return document.find(part) != std::string::npos; }

}  // namespace

// The header and prologue as EPS readers take them, byte for byte. The
// bounding box holds whole numbers, as the document structuring convention
// has it (viewers and Ghostscript's EPS handling read no other).
TEST(EpsGraphics, AnEmptySceneIsTheFixedDocumentWithCrLfLines)
{
    const std::string expected = std::string(
        "%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 0 0 400 300\r\n") + kEpsSetup + kEpsProlog +
        "255 g 0 0 400 300 rectfill\r\n0 300 translate\r\n400 2000 div 300 1500 div scale \r\n"
        "grestore\r\nshowpage\r\n/Arial-MyEncoding undefinefont\r\n/Arial-Bold-MyEncoding undefinefont\r\n"
        "end\r\n%%Trailer\r\n%%DocumentProcessColors: Black\r\n%%EOF\r\n";
    EXPECT_EQ(expected, Eps([](CGraphicsContext&) {}));
    // A size between points still gets a box of whole points around it.
    EXPECT_TRUE(Has(Eps([](CGraphicsContext&) {}, 400.4f, 299.6f), "%%BoundingBox: 0 0 401 300\r\n"));
}

// What drawings write: each part must appear (or, after "!", must not).
TEST(EpsGraphics, TextColoursAndPathsAreWrittenAsPostScript)
{
    int passes = 0;
    const struct
    {
        std::function<void(CGraphicsContext&)> draw;
        std::vector<std::string> parts;
    } rows[] = {
        {[](CGraphicsContext& gc) { Text(gc, L"\u00E9"); },
         {"  96 /grave\r\n  128 /eacute\r\n]\r\n", "100 sf\r\n", "(\\200) tm ts\r\n"}},
        {[](CGraphicsContext& gc) { Text(gc, L"a(b)"); }, {"!  128 ", "(a\\(b\\)) tm tas\r\n"}},
        // A character the first pass did not meet has no code: a space.
        {[&](CGraphicsContext& gc) { Text(gc, passes++ == 0 ? L"x" : L"\u00E9"); }, {"!  128 ", "( ) tm ts\r\n"}},
        // Turned up the page: the baseline direction (0, -w) written as w 0.
        {[](CGraphicsContext& gc) {
             gc.m_state.matrix.RotateZ(90.0f);
             Text(gc, L"ii");
         },
         {" 44 0 atan rotate\r\n"}},
        // Half a unit long both truncate to 0: 0 0 atan would spoil the page.
        {[](CGraphicsContext& gc) {
             gc.m_state.matrix.RotateZ(90.0f);
             Text(gc, L"ii", 1.0f);
         },
         {"!atan", " tt\r\n"}},
        // One grey for both fills; the second also stroked keeps its path.
        {[](CGraphicsContext& gc) {
             Square(gc, 0xFF808080, false);
             Square(gc, 0xFF808080, true);
         },
         {"10 -20 m\r\n10 -40 l\r\n30 -40 l\r\n30 -20 l\r\ncp\r\n128 g f\r\n", "cp\r\nsfr 1 p 0 g s\r\n",
          "%%DocumentProcessColors: Black\r\n"}},
        {[](CGraphicsContext& gc) { Square(gc, 0xFF0000FF, false); },
         {"255 0 0 rgb f\r\n", "%%DocumentProcessColors: Cyan Magenta Yellow Black\r\n"}},
        {[](CGraphicsContext& gc) {
             gc.SetFillPattern(1);
             Square(gc, 0xFF000000, false);
         },
         {"{ 0 g } 1 h f\r\n"}},
    };
    for (const auto& row : rows) {
        const std::string document = Eps(row.draw);
        for (const std::string& part : row.parts) {
            if (part[0] == '!')
                EXPECT_FALSE(Has(document, part.substr(1))) << part;
            else
                EXPECT_TRUE(Has(document, part)) << part;
        }
    }
    EXPECT_STREQ("eacute", CEpsGraphics::GetGlyphName(0x00E9));
    EXPECT_STREQ("quoteright", CEpsGraphics::GetGlyphName(0x2019));
    EXPECT_STREQ("space", CEpsGraphics::GetGlyphName(0x4E00));
}
