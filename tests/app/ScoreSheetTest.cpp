#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/ScoreSheet.h"
#include "foundation/CrashLog.h"
#include "foundation/FontMetrics.h"
#include "graphics/PixelBitmap.h"
#include "tests/support/CanvasTestHelpers.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr float kWidth = 12000.0f;

// The text calls of a recording, with their positions and states.
struct CDrawnText
{
    std::wstring text;
    float x;
    float y;
    CGraphicsState state;
};

std::vector<CDrawnText> DrawnTexts(const CRecordingContext& context)
{
    std::vector<CDrawnText> out;
    size_t n = 0;
    for (const CRecordingContext::CCall& call : context.calls)
        if (call.op == 'T')
            out.push_back({context.texts[n++], call.v[0], call.v[1], call.state});
    return out;
}

const CDrawnText* FindText(const std::vector<CDrawnText>& texts, const std::wstring& text, int occurrence = 0)
{
    for (const CDrawnText& drawn : texts)
        if (drawn.text == text && occurrence-- == 0)
            return &drawn;
    return nullptr;
}

// The open two-point lines of a recording ("M x,y L x,y" inside B1,0 ... E).
struct CLine
{
    float x0, y0, x1, y1;
    float penWidth;
};

std::vector<CLine> StrokedSegments(const CRecordingContext& context)
{
    std::vector<CLine> out;
    const auto& calls = context.calls;
    for (size_t i = 0; i + 1 < calls.size(); ++i)
        if (calls[i].op == 'M' && calls[i + 1].op == 'L' && (i + 2 >= calls.size() || calls[i + 2].op != 'L'))
            out.push_back({calls[i].v[0], calls[i].v[1], calls[i + 1].v[0], calls[i + 1].v[1],
                           calls[i].state.penWidth});
    return out;
}

// Sums of floats may keep extra precision on this target: positions are
// compared to a hundredth of a unit.
bool Near(float a, float b)
{
    return std::fabs(a - b) < 0.01f;
}

}  // namespace

TEST(ScoreSheet, MetricsOfATwelveThousandUnitRing)
{
    const float f = CScoreSheet::GetFontSize(kWidth);
    EXPECT_FLOAT_EQ(215.99998f, f);
    const CFontMetrics font(f, false);
    EXPECT_NEAR(248.38, font.GetLineSpacing(), 0.01);
    EXPECT_NEAR(170.23, font.GetEmAscent(), 0.01);
    EXPECT_EQ(1321.0f, CScoreSheet::GetHeight(kWidth));
    EXPECT_EQ(std::ceil(6.0f * font.GetLineSpacing() - font.GetEmAscent()), CScoreSheet::GetHeight(kWidth));
}

TEST(ScoreSheet, CellWidths)
{
    const float f = 100.0f;
    const CFontMetrics regular(f, false);
    const CFontMetrics bold(f, true);
    EXPECT_EQ(0.0f, CScoreSheet::GetCellWidth({nullptr, false, false, 0, false}, f));
    EXPECT_EQ(f, CScoreSheet::GetCellWidth({L"", true, false, 0, false}, f));
    EXPECT_FLOAT_EQ(regular.GetStringWidth(L"Breed:") + f,
                    CScoreSheet::GetCellWidth({L"Breed:", false, false, 0, false}, f));
    EXPECT_FLOAT_EQ(regular.GetStringWidth(L"Time Faults") + 5.5f * f,
                    CScoreSheet::GetCellWidth({L"Time Faults", true, false, 0, false}, f));
    EXPECT_FLOAT_EQ(bold.GetStringWidth(L"Final Score") + 5.5f * f,
                    CScoreSheet::GetCellWidth({L"Final Score", true, true, 0, false}, f));
    EXPECT_GT(bold.GetStringWidth(L"Final Score"), regular.GetStringWidth(L"Final Score"));
}

TEST(ScoreSheet, ColumnsFollowTheirWidestCell)
{
    CScoreSheet sheet(kWidth, 1);
    const float f = CScoreSheet::GetFontSize(kWidth);
    float edges[CScoreSheet::kColumns];
    sheet.GetColumnEdges(edges);
    // "Additional Faults" with its entry line is the widest cell of column 3.
    const float additional = CScoreSheet::GetCellWidth(sheet.GetCell(3, 2), f);
    EXPECT_EQ(L"Additional Faults", std::wstring(sheet.GetCell(3, 2).text));
    for (int row = 0; row < CScoreSheet::kRows; ++row)
        EXPECT_LE(CScoreSheet::GetCellWidth(sheet.GetCell(3, row), f), additional + 0.01f) << row;
    EXPECT_FLOAT_EQ(additional, edges[4] - edges[3]);
    // Every column is as wide as its widest cell; column 0 takes the rest.
    for (int column = 1; column < CScoreSheet::kColumns; ++column) {
        float widest = 0.0f;
        for (int row = 0; row < CScoreSheet::kRows; ++row)
            widest = std::max(widest, CScoreSheet::GetCellWidth(sheet.GetCell(column, row), f));
        const float right = column + 1 < CScoreSheet::kColumns ? edges[column + 1] : kWidth;
        EXPECT_FLOAT_EQ(widest, right - edges[column]) << column;
    }
    EXPECT_EQ(0.0f, edges[0]);
    EXPECT_GT(edges[1], 0.0f);
}

TEST(ScoreSheet, DrawsFrameColumnLinesRulesAndCells)
{
    CScoreSheet sheet(kWidth, 6);
    CRecordingContext context;
    sheet.Draw(context);

    const float f = CScoreSheet::GetFontSize(kWidth);
    const float h = CScoreSheet::GetHeight(kWidth);
    const CFontMetrics font(f, false);
    const float s = font.GetLineSpacing();
    const float a = font.GetEmAscent();
    const float d = font.GetDescent();
    const float p = f / 2.0f;
    float edges[CScoreSheet::kColumns];
    sheet.GetColumnEdges(edges);

    // The frame: a stroked and filled rectangle in black on white.
    ASSERT_GE(context.calls.size(), 6u);
    EXPECT_EQ('B', context.calls[0].op);
    EXPECT_EQ(1.0f, context.calls[0].v[0]);
    EXPECT_EQ(1.0f, context.calls[0].v[1]);
    EXPECT_EQ(0xFF000000u, context.calls[0].state.penColor);
    EXPECT_EQ(0xFFFFFFFFu, context.calls[0].state.fillColor);
    EXPECT_EQ(20.0f, context.calls[0].state.penWidth);
    EXPECT_EQ(0u, context.Log().find("B1,1 M0,0 L0,1321 L12000,1321 L12000,0 Z E "));

    const std::vector<CLine> lines = StrokedSegments(context);
    // Four column lines over the whole height.
    for (int column = 1; column < CScoreSheet::kColumns; ++column) {
        bool found = false;
        for (const CLine& line : lines)
            found |= Near(line.x0, edges[column]) && Near(line.x1, edges[column]) && line.y0 == 0.0f && line.y1 == h;
        EXPECT_TRUE(found) << column;
    }
    // Rules: rows 2 of columns 0 and 1, row 3 of column 4, across their
    // columns half an ascent above the baseline.
    auto hasRule = [&](float left, float right, int row) {
        const float y = float(row + 1) * s - a / 2.0f;
        for (const CLine& line : lines)
            if (Near(line.x0, left) && Near(line.x1, right) && Near(line.y0, y) && line.y0 == line.y1)
                return true;
        return false;
    };
    EXPECT_TRUE(hasRule(0.0f, edges[1], 2));
    EXPECT_TRUE(hasRule(edges[1], edges[2], 2));
    EXPECT_TRUE(hasRule(edges[4], kWidth, 3));

    const std::vector<CDrawnText> texts = DrawnTexts(context);
    // Left-aligned text half a size in from the left edge, on its baseline.
    const CDrawnText* value = FindText(texts, L"Course Value");
    ASSERT_NE(nullptr, value);
    EXPECT_FLOAT_EQ(edges[4] + p, value->x);
    EXPECT_FLOAT_EQ(s, value->y);
    EXPECT_EQ(0u, value->state.textAlignH);
    EXPECT_EQ(5u, value->state.textAlignV);
    EXPECT_FALSE(value->state.font.IsBold());
    // Its entry line and the value mark above the line's middle.
    const float x1 = kWidth - p - 4.0f * f;
    const float x2 = kWidth - p;
    bool entry = false;
    for (const CLine& line : lines)
        entry |= Near(line.x0, x1) && Near(line.x1, x2) && Near(line.y0, s) && Near(line.y1, s);
    EXPECT_TRUE(entry);
    const CDrawnText* mark = FindText(texts, L"200");
    ASSERT_NE(nullptr, mark);
    EXPECT_FLOAT_EQ((x1 + x2) / 2.0f, mark->x);
    EXPECT_FLOAT_EQ(s - d, mark->y);
    EXPECT_EQ(1u, mark->state.textAlignH);

    // The class name, bold and centred in column 1, row 1.
    const CDrawnText* name = FindText(texts, L"Std Excellent");
    ASSERT_NE(nullptr, name);
    EXPECT_FLOAT_EQ((edges[1] + edges[2]) / 2.0f, name->x);
    EXPECT_FLOAT_EQ(2.0f * s, name->y);
    EXPECT_TRUE(name->state.font.IsBold());
    EXPECT_EQ(1u, name->state.textAlignH);
    // Bold cells switch back: the next cell drawn is regular again.
    const CDrawnText* breed = FindText(texts, L"Breed:");
    ASSERT_NE(nullptr, breed);
    EXPECT_FALSE(breed->state.font.IsBold());
    EXPECT_FLOAT_EQ(5.0f * s, breed->y);
    const CDrawnText* finalScore = FindText(texts, L"Final Score");
    ASSERT_NE(nullptr, finalScore);
    EXPECT_TRUE(finalScore->state.font.IsBold());
    // Both "Total Faults" cells (column 3 bold, column 4 regular).
    EXPECT_NE(nullptr, FindText(texts, L"Total Faults", 1));
    EXPECT_NE(nullptr, FindText(texts, L"Qual      Non-Qual"));
    EXPECT_NE(nullptr, FindText(texts, L"Toy  1   2   3"));
    EXPECT_NE(nullptr, FindText(texts, L"Hgt. Division:"));
    EXPECT_NE(nullptr, FindText(texts, L"Agility Class:"));
    // 18 texts and the value mark: the 25 cells less 3 rules and 4 empties.
    EXPECT_EQ(19u, texts.size());
}

TEST(ScoreSheet, ClassNames)
{
    const wchar_t* expected[] = {L"I", L"II", L"III", L"Std Beginner", L"Std Intermediate", L"Std Excellent",
                                 L"Hurdles Novice", L"Hurdles Elite", L"Tunnels Novice", L"Tunnels Elite",
                                 L"3oK Novice", L"3oK Elite"};
    for (int value = 1; value <= 12; ++value)
        EXPECT_EQ(std::wstring(expected[value - 1]), CScoreSheet::GetClassText(value));
    EXPECT_EQ(nullptr, CScoreSheet::GetClassText(0));
    EXPECT_EQ(nullptr, CScoreSheet::GetClassText(13));
}

TEST(ScoreSheet, KeyFollowsWidthAndClass)
{
    CScoreSheet a(kWidth, 3);
    CScoreSheet b(kWidth, 3);
    CScoreSheet c(kWidth, 4);
    CScoreSheet d(9600.0f, 3);
    EXPECT_EQ(a.GetKey(), b.GetKey());
    EXPECT_NE(a.GetKey(), c.GetKey());
    EXPECT_NE(a.GetKey(), d.GetKey());
}

CHILD_TEST(ScoreSheet, ClassOutsideTheTableDrawsTheFirstAndIsReported)
{
    CScoreSheet zero(kWidth, 0);
    if (ReportCount() != 1)
        return 1;
    CRecordingContext context;
    zero.Draw(context);
    bool drawnAsOne = false;
    for (const std::wstring& text : context.texts)
        drawnAsOne |= text == L"I";
    if (!drawnAsOne)
        return 2;
    CScoreSheet thirteen(kWidth, 13);
    CRecordingContext other;
    thirteen.Draw(other);
    for (const std::wstring& text : other.texts)
        if (text == L"I")
            return ReportCount() == 2 ? 0 : 3;
    return 4;
}

TEST(ScoreSheet, PixelsOfTheFooter)
{
    // 1200 units over 600 pixels: two units a pixel.
    const float width = 1200.0f;
    const float height = CScoreSheet::GetHeight(width);
    CDibCanvas canvas(640, 160);
    CScoreSheet sheet(width, 1);
    CTransform place;
    place.Scale(0.5f);
    place.SetPosition2D(10.0f, 10.0f);
    canvas.canvas.m_state.matrix = place;
    sheet.Draw(canvas.canvas);

    const int bottom = 10 + int(std::lround(height / 2.0f));
    // The frame's left edge is black, inside it white paper.
    EXPECT_EQ(0xFF000000u, canvas.Pixel(10, 40));
    EXPECT_EQ(0xFF000000u, canvas.Pixel(300, 10));
    EXPECT_EQ(0xFF000000u, canvas.Pixel(300, bottom));
    EXPECT_EQ(0xFFFFFFFFu, canvas.Pixel(300, 4));
    // Column lines: as many black runs across a row below the text.
    float edges[CScoreSheet::kColumns];
    sheet.GetColumnEdges(edges);
    for (int column = 1; column < CScoreSheet::kColumns; ++column) {
        const int x = 10 + int(std::lround(edges[column] / 2.0f));
        EXPECT_EQ(0xFF000000u, canvas.Pixel(x, bottom - 3)) << column;
    }
    // Text ink in the first line of column 2 ("Running Time").
    const int left = 10 + int(std::ceil(edges[2] / 2.0f)) + 2;
    const int right = left + 30;
    const int lineBottom = 10 + int(CFontMetrics(CScoreSheet::GetFontSize(width), false).GetLineSpacing() / 2.0f);
    EXPECT_GT(canvas.CountColor(left, 12, right, lineBottom, 0xFF000000), 10);
}
