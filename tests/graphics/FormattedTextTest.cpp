#include <gtest/gtest.h>

#include <string>

#include "graphics/FormattedText.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"

namespace {

const float kSize = 20.0f;

float Width(const std::wstring& text) { return CFontMetrics(kSize, false).GetStringWidth(text); }

std::wstring AllText(CFormattedText& text) { return text.GetText(0, text.GetLength()); }

// A text holding the characters typed after the caret was placed at 0.
struct CText : CFormattedText
{
    explicit CText(const std::wstring& content = L"") : CFormattedText(kSize, 50)
    {
        if (!content.empty())
            InsertText(content);
        SetCaret(0, false, false);
    }
};

}  // namespace

TEST(FormattedText, ANewTextIsOneEmptyParagraph)
{
    CText text;
    EXPECT_EQ(1, text.GetLength());
    EXPECT_EQ(L"\r\n", text.GetText(0, 1));
    EXPECT_EQ(20, text.GetFontSize());
    EXPECT_FLOAT_EQ(CFontMetrics(kSize, false).GetLineSpacing(), text.GetHeight());
}

TEST(FormattedText, TypingBreaksAndDeletesParagraphs)
{
    CText text(L"ab\r\ncd\rxy\nz");
    EXPECT_EQ(L"ab\r\ncd\r\nxy\r\nz\r\n", AllText(text));
    // Enter at a paragraph start inserts an empty paragraph of the same format.
    text.SetSelection(3, 3, false);
    text.SetSelectionAlignment(kAlignCentre);
    text.TypeChar(10);
    EXPECT_EQ(L"ab\r\n\r\ncd\r\nxy\r\nz\r\n", AllText(text));
    EXPECT_EQ(4, text.GetCaret());
    text.SetSelection(3, 3, false);
    EXPECT_EQ(kAlignCentre, text.GetAlignment());
    text.TypeChar(13);
    EXPECT_EQ(12, text.GetLength());
    // Deleting across marks joins the first part with the rest of the last
    // paragraph, in the first paragraph's format.
    text.SetSelection(1, 5, false);
    text.DeleteSelection();
    EXPECT_EQ(L"ad\r\nxy\r\nz\r\n", AllText(text));
    EXPECT_EQ(1, text.GetCaret());
    EXPECT_EQ(kAlignLeft, text.GetAlignment());
    text.SelectAll();
    text.DeleteSelection();
    EXPECT_EQ(L"\r\n", AllText(text));
    EXPECT_EQ(0, text.GetCaret());
}

TEST(FormattedText, ReplacingUpToTheEndAddsNoParagraph)
{
    for (const wchar_t* tail : {L"\n", L"\r\n", L"\r"}) {
        CText text(L"abc");
        text.SetSelection(1, text.GetLength(), false);
        text.InsertText(std::wstring(L"XY") + tail);
        EXPECT_EQ(L"aXY\r\n", AllText(text)) << tail;
    }
}

TEST(FormattedText, SizeAndBoldApplyToTheSelectionAndToWhatIsTypedNext)
{
    CText text(L"abcd");
    text.SetSelection(2, 2, false);
    text.SetSelectionFontSize(30.0f);
    text.SetSelectionBold(true);
    EXPECT_FLOAT_EQ(CFontMetrics(kSize, false).GetLineSpacing(), text.GetHeight());
    text.TypeChar(L'X');
    EXPECT_FLOAT_EQ(CFontMetrics(30.0f, false).GetLineSpacing(), text.GetHeight());
    text.SetSelection(0, 3, false);
    EXPECT_FALSE(text.IsSelectionSizeUniform());
    EXPECT_FALSE(text.IsSelectionBoldUniform());
    text.SetSelectionFontSize(30.7f);
    EXPECT_TRUE(text.IsSelectionSizeUniform());
    text.SetSelectionBold(false);
    EXPECT_TRUE(text.IsSelectionBoldUniform());
    EXPECT_FALSE(text.IsBold());
    EXPECT_EQ(1, CountReports([&] { text.SetSelectionFontSize(0.5f); }));
    EXPECT_EQ(1, CountReports([&] { text.SetSelectionAlignment(3); }));
    EXPECT_TRUE(text.IsSelectionAlignmentUniform());
}

TEST(FormattedText, BadPositionsAreReportedAndChangeNothing)
{
    CText text(L"abc");
    text.SetSelection(1, 2, true);
    const struct
    {
        int start;
        int end;
    } bad[] = {{-1, 2}, {2, 1}, {0, 5}, {4, 4}};
    for (const auto& range : bad) {
        EXPECT_EQ(1, CountReports([&] { text.SetSelection(range.start, range.end, false); })) << range.start;
        EXPECT_EQ(1, text.GetSelectionStart());
        EXPECT_EQ(2, text.GetSelectionEnd());
        EXPECT_TRUE(text.IsCaretAtStart());
    }
    wchar_t ch = L'?';
    EXPECT_EQ(1, CountReports([&] { ch = text.GetCharAt(4); }));
    EXPECT_EQ(0, ch);
    EXPECT_EQ(1, CountReports([&] { ch = text.GetCharAt(-1); }));
    EXPECT_EQ(0, ch);
    EXPECT_EQ(L'c', text.GetCharAt(2));
}

TEST(FormattedText, WordMovementStopsAtWordAndTabBoundaries)
{
    CText text(L"ab, cd\tef\ngh");
    const int right[] = {2, 4, 6, 7, 9, 10, 12};
    for (int expected : right) {
        ASSERT_TRUE(text.MoveWordRight(false));
        EXPECT_EQ(expected, text.GetCaret());
    }
    EXPECT_FALSE(text.MoveWordRight(false));
    EXPECT_TRUE(text.MoveWordRight(true));
    EXPECT_EQ(13, text.GetCaret());
    text.SetCaret(12, false, false);
    const int left[] = {10, 9, 7, 6, 4, 2, 0};
    for (int expected : left) {
        ASSERT_TRUE(text.MoveWordLeft(false));
        EXPECT_EQ(expected, text.GetCaret());
    }
    EXPECT_FALSE(text.MoveWordLeft(false));
}

TEST(FormattedText, LineAndParagraphMovement)
{
    CText text(L"aaaaa\naaaaaaaaaaa\naaaaa");
    const float lineHeight = CFontMetrics(kSize, false).GetLineSpacing();
    EXPECT_FALSE(text.MoveLineUp(false));
    ASSERT_TRUE(text.MoveLineDown(false));
    EXPECT_EQ(6, text.GetCaret());
    EXPECT_FLOAT_EQ(lineHeight, text.GetCaretRect().top);
    text.SetCaret(4, false, false);
    ASSERT_TRUE(text.MoveLineDown(true));
    EXPECT_EQ(4, text.GetSelectionStart());
    EXPECT_EQ(10, text.GetSelectionEnd());
    ASSERT_TRUE(text.MoveLineDown(false));
    EXPECT_FALSE(text.MoveLineDown(false));
    EXPECT_FLOAT_EQ(2.0f * lineHeight, text.GetCaretRect().top);

    EXPECT_TRUE(text.MoveParagraphUp(false));
    EXPECT_EQ(18, text.GetCaret());
    EXPECT_TRUE(text.MoveParagraphUp(false));
    EXPECT_EQ(6, text.GetCaret());
    EXPECT_TRUE(text.MoveParagraphDown(false));
    EXPECT_EQ(18, text.GetCaret());
    EXPECT_TRUE(text.MoveParagraphDown(false));
    EXPECT_EQ(23, text.GetCaret());
    EXPECT_FALSE(text.MoveParagraphDown(false));
}

TEST(FormattedText, TheCaretRectangleFollowsTheCaretEnd)
{
    CText text(L"ab\ncd");
    const float lineHeight = CFontMetrics(kSize, false).GetLineSpacing();
    const struct
    {
        int start;
        int end;
        bool atStart;
        float x;
        float top;
    } table[] = {
        {0, 0, false, 0.0f, 0.0f},
        {1, 1, false, Width(L"a"), 0.0f},
        // After the character before it: the end of the line above.
        {3, 3, true, Width(L"ab "), 0.0f},
        {3, 3, false, 0.0f, lineHeight},
        {1, 6, false, Width(L"cd "), lineHeight},
        {0, 4, true, 0.0f, 0.0f},
    };
    for (const auto& row : table) {
        text.SetSelection(row.start, row.end, row.atStart);
        const CRectF caret = text.GetCaretRect();
        EXPECT_FLOAT_EQ(row.x, caret.left) << row.start << "," << row.end;
        EXPECT_FLOAT_EQ(row.x, caret.right);
        EXPECT_FLOAT_EQ(row.top, caret.top) << row.start << "," << row.end;
        EXPECT_FLOAT_EQ(row.top + lineHeight, caret.bottom);
    }
}

TEST(FormattedText, OneUndoStepPerRunOfTypingOrDeleting)
{
    CText text(L"xy");
    text.EnableChangeRecord(true);
    EXPECT_FALSE(text.CanUndo());
    text.SetCaret(1, false, false);
    for (wchar_t ch : std::wstring(L"abc"))
        text.TypeChar(ch);
    ASSERT_TRUE(text.CanUndo());
    text.SwapChangeRecord(false);
    EXPECT_EQ(L"xy\r\n", AllText(text));
    EXPECT_EQ(1, text.GetCaret());
    ASSERT_TRUE(text.CanRedo());
    text.SwapChangeRecord(true);
    EXPECT_EQ(L"xabcy\r\n", AllText(text));
    EXPECT_EQ(4, text.GetCaret());

    // Backspace as the editor does it: select the character before, delete.
    for (int i = 0; i < 3; ++i) {
        const int caret = text.GetCaret();
        text.SetSelection(caret - 1, caret, false);
        text.DeleteSelection();
    }
    EXPECT_EQ(L"xy\r\n", AllText(text));
    text.SwapChangeRecord(false);
    EXPECT_EQ(L"xabcy\r\n", AllText(text));
    EXPECT_EQ(1, CountReports([&] { text.SwapChangeRecord(false); }));
    EXPECT_EQ(L"xabcy\r\n", AllText(text));

    // A caret move ends the run; the next run is a step of its own.
    text.SetCaret(0, false, false);
    text.TypeChar(L'1');
    text.SetCaret(6, false, false);
    text.TypeChar(L'2');
    text.SwapChangeRecord(false);
    EXPECT_EQ(L"1xabcy\r\n", AllText(text));
    text.EnableChangeRecord(false);
    EXPECT_FALSE(text.CanUndo());
}

TEST(FormattedText, ParagraphsDrawOneBelowTheOther)
{
    CText text(L"a\nbb\nc");
    text.SetSelection(4, 4, false);
    text.SetSelectionFontSize(40.0f);
    text.TypeChar(L'B');
    CRecordingContext context;
    text.Draw(context);
    EXPECT_EQ(std::vector<std::wstring>({L"a", L"bb", L"B", L"c"}), context.texts);
    // Paragraphs and their lines are nested items; each paragraph is placed
    // below the one before.
    std::vector<float> tops;
    for (size_t i = 0; i < context.calls.size(); ++i)
        if (context.calls[i].op == 'D' && context.calls[i + 1].op == 'D')
            tops.push_back(-context.calls[i].state.matrix.GetTranslation().y);
    const float small = CFontMetrics(kSize, false).GetLineSpacing();
    const CFontMetrics large(40.0f, false);
    EXPECT_EQ(std::vector<float>({0.0f, small, small + large.GetLineSpacing()}), tops);
    EXPECT_FLOAT_EQ(Width(L"bb") + large.GetCharAdvance(L'B') + Width(L" "), text.GetWidth());
}

TEST(FormattedText, LayoutWidthFollowsWrapAndShrink)
{
    CText text(L"short\nthe longest line");
    const float natural = Width(L"the longest line");
    EXPECT_FLOAT_EQ(natural, text.GetLayoutWidth());
    text.SetWrapWidth(1000);
    EXPECT_FLOAT_EQ(1000.0f, text.GetLayoutWidth());
    text.SetShrinkToContent(true);
    EXPECT_FLOAT_EQ(natural, text.GetLayoutWidth());
    text.SetWrapWidth(int32_t(Width(L"the longest ")) + 1);
    EXPECT_FLOAT_EQ(float(int32_t(Width(L"the longest ")) + 1), text.GetLayoutWidth());
    EXPECT_FLOAT_EQ(3.0f * CFontMetrics(kSize, false).GetLineSpacing(), text.GetHeight());
    // A change gives the text a new cache key at the commit, nothing else does.
    text.CommitChanges();
    const std::string key = text.GetKey();
    text.CommitChanges();
    EXPECT_EQ(key, text.GetKey());
    text.SetTextColor(0xFF0000FF);
    text.CommitChanges();
    EXPECT_NE(key, text.GetKey());
}

TEST(FormattedText, SeekingFromAnyPlaceFindsTheSameParagraphTops)
{
    // Paragraphs of three heights; the caret visits them in a scrambled
    // order, so the list's cursor comes from the start, the end and both
    // directions, also right after a paragraph changed its height.
    CText text;
    const float sizes[] = {20.0f, 35.0f, 12.0f};
    std::vector<float> tops;
    float top = 0.0f;
    for (int i = 0; i < 30; ++i) {
        text.SetSelectionFontSize(sizes[i % 3]);
        text.TypeChar(L'a' + wchar_t(i % 26));
        text.TypeChar(10);
        tops.push_back(top);
        top += CFontMetrics(sizes[i % 3], false).GetLineSpacing();
    }
    // The text ends in its first, empty paragraph.
    top += CFontMetrics(kSize, false).GetLineSpacing();
    for (int step = 0; step < 60; ++step) {
        const int paragraph = (step * 17) % 30;
        text.SetCaret(paragraph * 2 + 1, false, false);
        ASSERT_FLOAT_EQ(tops[size_t(paragraph)], text.GetCaretRect().top) << step;
        if (step == 20) {
            text.SetSelection(paragraph * 2, paragraph * 2 + 1, false);
            text.SetSelectionFontSize(sizes[paragraph % 3] + 10.0f);
            const float grown = CFontMetrics(sizes[paragraph % 3] + 10.0f, false).GetLineSpacing() -
                                CFontMetrics(sizes[paragraph % 3], false).GetLineSpacing();
            for (size_t i = size_t(paragraph) + 1; i < tops.size(); ++i)
                tops[i] += grown;
            top += grown;
        }
    }
    EXPECT_FLOAT_EQ(top, text.GetHeight());
}
