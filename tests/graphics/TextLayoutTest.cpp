#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Paragraph.h"
#include "graphics/TextPiece.h"
#include "tests/support/RecordingContext.h"

using FmtText::CParagraph;
using FmtText::CTextPiece;

namespace {

const CFontMetrics kFont(20.0f, false);
const CFontMetrics kBold(20.0f, true);
const uint32_t kBlack = 0xFF000000;
const uint32_t kWhite = 0xFFFFFFFF;

float Width(const std::wstring& text) { return kFont.GetStringWidth(text); }

CParagraphFormat Format(int32_t wrap, EAlignment alignment = kAlignLeft, std::vector<int32_t> stops = {})
{
    CParagraphFormat format(50);
    format.wrapWidth = wrap;
    format.alignment = alignment;
    format.tabStops = stops;
    return format;
}

std::wstring Text(const FmtText::Cells& cells)
{
    std::wstring text;
    for (FmtText::Cell cell : cells)
        text.push_back(FmtText::CellChar(cell));
    return text;
}

// One line of the text filled at the format; `rest` receives what did not fit.
struct CFilled
{
    std::wstring kept;
    std::wstring rest;
    CTextPiece line{kBlack, kWhite};
};

void Fill(CFilled& filled, const std::wstring& text, const CParagraphFormat& format)
{
    for (wchar_t ch : text)
        filled.line.cells.push_back(FmtText::MakeCell(ch, kFont));
    CTextPiece next(kBlack, kWhite);
    filled.line.Fill(format, next);
    filled.kept = Text(filled.line.cells);
    filled.rest = Text(next.cells);
}

}  // namespace

TEST(TextLayout, LinesBreakAfterBlanksAndCutWordsThatCannotFit)
{
    // Full width -1: not checked (a tab's advance).
    const struct
    {
        const wchar_t* text;
        float wrap;
        const wchar_t* kept;
        float visible;
        float full;
    } table[] = {
        {L"abc def ghi", 0.0f, L"abc def ghi", Width(L"abc def ghi"), Width(L"abc def ghi")},
        // The space stays on the first line and is not part of what shows.
        {L"abc def", Width(L"abc ") + 1.0f, L"abc ", Width(L"abc"), Width(L"abc ")},
        {L"abc  def", Width(L"abc") + 1.0f, L"abc  ", Width(L"abc"), Width(L"abc  ")},
        {L"abc def", Width(L"abc d") + 1.0f, L"abc ", Width(L"abc"), Width(L"abc ")},
        {L"abcdef", Width(L"abc") + 1.0f, L"abc", Width(L"abc"), Width(L"abc")},
        {L"W", 1.0f, L"W", Width(L"W"), Width(L"W")},
        {L"WW", 1.0f, L"W", Width(L"W"), Width(L"W")},
        // A blank before a tab is no break.
        {L"ab \tcd", Width(L"ab ") + 1.0f, L"ab ", Width(L"ab"), Width(L"ab ")},
    };
    for (const auto& row : table) {
        CFilled filled;
        Fill(filled, row.text, Format(int32_t(row.wrap)));
        EXPECT_EQ(row.kept, filled.kept) << row.text;
        EXPECT_EQ(std::wstring(row.text).substr(filled.kept.size()), filled.rest) << row.text;
        EXPECT_FLOAT_EQ(row.visible, filled.line.visibleWidth) << row.text;
        EXPECT_FLOAT_EQ(row.full, filled.line.fullWidth) << row.text;
        EXPECT_FALSE(filled.line.dirty);
    }
}

TEST(TextLayout, TabsGoToTheNextStopBeyondASpace)
{
    CParagraphFormat format = Format(0, kAlignLeft, {100, 200});
    const float cases[][2] = {{30.0f, 100.0f}, {190.0f, 200.0f}, {195.0f, 250.0f}, {210.0f, 250.0f}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(c[1], format.GetTabEnd(c[0], 5.0f)) << c[0];

    CFilled filled;
    Fill(filled, L"a\tb", format);
    ASSERT_EQ(1u, filled.line.tabAdvances.size());
    EXPECT_FLOAT_EQ(100.0f - Width(L"a"), filled.line.tabAdvances[0]);
    EXPECT_FLOAT_EQ(100.0f + Width(L"b"), filled.line.visibleWidth);
    format.tabStops.clear();
    EXPECT_FLOAT_EQ(100.0f, format.GetTabEnd(49.0f, 5.0f));
}

TEST(TextLayout, AlignedSegmentsEndAtTheirTabStops)
{
    // Laid out within 300: right alignment puts "b" against 300 and "a"
    // against its tab stop; centring moves each by half.
    for (EAlignment alignment : {kAlignRight, kAlignCentre}) {
        CParagraphFormat format = Format(0, alignment, {100});
        format.layoutWidth = 300.0f;
        CFilled filled;
        Fill(filled, L"a\tb", format);
        const std::vector<float> x = filled.line.GetPositions();
        const float divisor = alignment == kAlignRight ? 1.0f : 2.0f;
        const float offset = (300.0f - (100.0f + Width(L"b"))) / divisor;
        EXPECT_FLOAT_EQ((100.0f - Width(L"a")) / divisor, x[0]) << alignment;
        EXPECT_FLOAT_EQ(100.0f + offset, x[2]) << alignment;
        EXPECT_FLOAT_EQ(100.0f + Width(L"b") + offset, filled.line.fullWidth) << alignment;
    }
    CParagraphFormat centred = Format(0, kAlignCentre);
    centred.layoutWidth = 100.0f;
    CFilled filled;
    Fill(filled, L"ab", centred);
    EXPECT_FLOAT_EQ((100.0f - Width(L"ab")) / 2.0f, filled.line.alignmentOffset);
}

TEST(TextLayout, ParagraphsWrapIntoLinesAndAnswerHitTests)
{
    CParagraph paragraph(Format(0), kFont, kBlack, kWhite);
    paragraph.InsertText(L"abc def ghi", kFont, 0);
    EXPECT_EQ(1, paragraph.GetLineCount());
    EXPECT_FLOAT_EQ(Width(L"abc def ghi"), paragraph.GetNaturalWidth());
    const float lineHeight = kFont.GetLineSpacing();
    EXPECT_FLOAT_EQ(lineHeight, paragraph.GetHeight());

    bool atLineEnd = true;
    // Right of the last character: before the paragraph mark.
    EXPECT_EQ(11, paragraph.HitTest(1000.0f, 1.0f, atLineEnd));
    EXPECT_FALSE(atLineEnd);
    EXPECT_EQ(1, paragraph.HitTest(Width(L"a") * 0.6f, 1.0f, atLineEnd));
    EXPECT_EQ(0, paragraph.HitTest(Width(L"a") * 0.4f, 1.0f, atLineEnd));

    paragraph.SetFormat(Format(int32_t(Width(L"abc def ")) + 1));
    ASSERT_EQ(2, paragraph.GetLineCount());
    EXPECT_FLOAT_EQ(float(int32_t(Width(L"abc def ")) + 1), paragraph.GetNaturalWidth());
    EXPECT_FLOAT_EQ(2.0f * lineHeight, paragraph.GetHeight());
    // Right of the first line: the start of the second, which belongs at the
    // end of the first.
    EXPECT_EQ(8, paragraph.HitTest(1000.0f, 1.0f, atLineEnd));
    EXPECT_TRUE(atLineEnd);
    EXPECT_EQ(CRectF(0.0f, lineHeight, Width(L"g"), 2.0f * lineHeight), paragraph.GetCharRect(8));

    // Erasing the first word pulls the second line back.
    paragraph.SetMarkedRange(0, 4);
    paragraph.EraseMarked();
    EXPECT_EQ(L"def ghi\n", paragraph.GetText(0, paragraph.GetLength()));
    EXPECT_EQ(1, paragraph.GetLineCount());
}

TEST(TextLayout, LinesTakeTheHeightOfTheirLargestSize)
{
    const CFontMetrics large(40.7f, false);
    CParagraph paragraph(Format(0), kFont, kBlack, kWhite);
    paragraph.InsertText(L"ab", kFont, 0);
    paragraph.InsertChar(L'C', large, 1);
    EXPECT_FLOAT_EQ(CFontMetrics(40.0f, false).GetLineSpacing(), paragraph.GetHeight());
    // A mark alone counts; after characters it does not.
    CParagraph empty(Format(0), large, kBlack, kWhite);
    EXPECT_FLOAT_EQ(CFontMetrics(40.0f, false).GetLineSpacing(), empty.GetHeight());
    empty.InsertChar(L'x', kFont, 0);
    EXPECT_FLOAT_EQ(kFont.GetLineSpacing(), empty.GetHeight());
}

TEST(TextLayout, EqualAttributesShareOneIdentifier)
{
    const FmtText::Cell a = FmtText::MakeCell(L'a', CFontMetrics(13.5f, true));
    const FmtText::Cell b = FmtText::MakeCell(L'b', CFontMetrics(13.5f, true));
    const FmtText::Cell c = FmtText::MakeCell(L'c', CFontMetrics(13.5f, false));
    EXPECT_EQ(FmtText::CellAttributeId(a), FmtText::CellAttributeId(b));
    EXPECT_NE(FmtText::CellAttributeId(a), FmtText::CellAttributeId(c));
    EXPECT_EQ(CFontMetrics(13.5f, true), FmtText::CellAttributes(b));
}

TEST(TextLayout, ALineDrawsItsHighlightThenRunsOfEqualLook)
{
    CParagraph paragraph(Format(0), kFont, kBlack, kWhite);
    paragraph.InsertText(L"ab cd  ", kFont, 0);
    paragraph.InsertText(L"E", kBold, 7);
    paragraph.InsertText(L"\tf", kFont, 8);
    paragraph.SetMarkedRange(1, 4);
    CRecordingContext context;
    paragraph.Draw(context);
    EXPECT_EQ(std::vector<std::wstring>({L"a", L"b c", L"d", L"E", L"f"}), context.texts);
    // The selection box first, in the light box colour behind black text.
    ASSERT_EQ('D', context.calls[0].op);
    ASSERT_EQ('B', context.calls[1].op);
    EXPECT_EQ(0xFFF1CDA8u, context.calls[1].state.fillColor);
    std::vector<const CRecordingContext::CCall*> texts;
    for (const auto& call : context.calls)
        if (call.op == 'T')
            texts.push_back(&call);
    EXPECT_EQ(0xFFF1CDA8u, texts[1]->state.fillColor);
    EXPECT_EQ(kWhite, texts[2]->state.fillColor);
    EXPECT_TRUE(texts[3]->state.font.IsBold());
    EXPECT_EQ(5u, texts[0]->state.textAlignV);
    EXPECT_FLOAT_EQ(kFont.GetAscent(), texts[0]->v[1]);
    const float x[] = {0.0f, Width(L"a"), Width(L"ab c"), Width(L"ab cd  ")};
    for (size_t i = 0; i < 4; ++i)
        EXPECT_FLOAT_EQ(x[i], texts[i]->v[0]) << i;

    // Coloured text: the selection is drawn inverted.
    paragraph.SetTextColor(0xFF0000FF);
    context.Clear();
    paragraph.Draw(context);
    EXPECT_EQ(0xFF0000FFu, context.calls[1].state.fillColor);
    int inverted = 0;
    for (const auto& call : context.calls) {
        if (call.op == 'T' && call.state.fillColor == 0xFF0000FFu) {
            EXPECT_EQ(kWhite, call.state.textColor);
            ++inverted;
        }
    }
    EXPECT_EQ(1, inverted);
}
