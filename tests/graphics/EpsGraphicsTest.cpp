#include <gtest/gtest.h>

#include <sstream>

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

TEST(EpsGraphics, TextIsReEncodedEscapedAndStretched)
{
    const std::string accent = Eps([](CGraphicsContext& gc) { Text(gc, L"\u00E9"); });
    EXPECT_TRUE(Has(accent, "  96 /grave\r\n  128 /eacute\r\n]\r\n"));
    EXPECT_TRUE(Has(accent, "100 sf\r\n"));
    EXPECT_TRUE(Has(accent, "(\\200) tm ts\r\n"));

    const std::string brackets = Eps([](CGraphicsContext& gc) { Text(gc, L"a(b)"); });
    EXPECT_FALSE(Has(brackets, "  128 "));
    EXPECT_TRUE(Has(brackets, "(a\\(b\\)) tm tas\r\n"));

    // A character the first pass did not meet has no code: a space.
    int passes = 0;
    const std::string late = Eps([&](CGraphicsContext& gc) { Text(gc, passes++ == 0 ? L"x" : L"\u00E9"); });
    EXPECT_FALSE(Has(late, "  128 "));
    EXPECT_TRUE(Has(late, "( ) tm ts\r\n"));

    EXPECT_STREQ("eacute", CEpsGraphics::GetGlyphName(0x00E9));
    EXPECT_STREQ("quoteright", CEpsGraphics::GetGlyphName(0x2019));
    EXPECT_STREQ("space", CEpsGraphics::GetGlyphName(0x4E00));
}

TEST(EpsGraphics, TurnedTextIsRotatedButNeverByAtanOfZeroOverZero)
{
    const auto turned = [](float size) {
        return Eps([size](CGraphicsContext& gc) {
            gc.m_state.matrix.RotateZ(90.0f);
            Text(gc, L"ii", size);
        });
    };
    // Up the page: the baseline direction (0, -w) is written as w 0.
    const std::string upright = turned(100.0f);
    EXPECT_TRUE(Has(upright, " 44 0 atan rotate\r\n")) << upright.substr(upright.find(" tt"), 40);
    // Half a unit long: both truncate to 0, and 0 0 atan would spoil the page.
    const std::string tiny = turned(1.0f);
    EXPECT_FALSE(Has(tiny, "atan"));
    EXPECT_TRUE(Has(tiny, " tt\r\n"));
}

TEST(EpsGraphics, ColoursAreWrittenOnceAndTheTrailerNamesTheInksUsed)
{
    const std::string greys = Eps([](CGraphicsContext& gc) {
        Square(gc, 0xFF808080, false);
        Square(gc, 0xFF808080, true);
    });
    EXPECT_TRUE(Has(greys, "10 -20 m\r\n10 -40 l\r\n30 -40 l\r\n30 -20 l\r\ncp\r\n128 g f\r\n"));
    EXPECT_TRUE(Has(greys, "cp\r\nsfr 1 p 0 g s\r\n"));
    EXPECT_TRUE(Has(greys, "%%DocumentProcessColors: Black\r\n"));

    const std::string red = Eps([](CGraphicsContext& gc) { Square(gc, 0xFF0000FF, false); });
    EXPECT_TRUE(Has(red, "255 0 0 rgb f\r\n"));
    EXPECT_TRUE(Has(red, "%%DocumentProcessColors: Cyan Magenta Yellow Black\r\n"));

    const std::string hatched = Eps([](CGraphicsContext& gc) {
        gc.SetFillPattern(1);
        Square(gc, 0xFF000000, false);
    });
    EXPECT_TRUE(Has(hatched, "{ 0 g } 1 h f\r\n"));
}
