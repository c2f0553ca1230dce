#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "graphics/PixelBitmap.h"
#include "tests/support/FailureReports.h"
#include "ui/BitmapPanel.h"
#include "ui/MultiLineLabel.h"
#include "ui/UIFontMetrics.h"

namespace {

// One unit per character: widths are easy to reason about.
std::vector<std::wstring> Break(const std::wstring& text, int width)
{
    return BreakIntoLines(text, width, [](const std::wstring& line) { return int(line.size()); });
}

int ReportsDuring(const std::function<void()>& code)
{
    const int before = ReportCount();
    code();
    return ReportCount() - before;
}

}  // namespace

TEST(MultiLineLabel, LinesBreakAtBlanksAsLateAsTheyFit)
{
    EXPECT_EQ((std::vector<std::wstring>{L"aaa bbb", L"ccc"}), Break(L"aaa bbb ccc", 7));
    EXPECT_EQ((std::vector<std::wstring>{L"aaa", L"bbb", L"ccc"}), Break(L"aaa bbb ccc", 6));
    EXPECT_EQ((std::vector<std::wstring>{L"aaa bbb ccc"}), Break(L"aaa bbb ccc", 11));
    // Blanks at a break go; a run of blanks inside a line stays.
    EXPECT_EQ((std::vector<std::wstring>{L"aa  bb", L"cc"}), Break(L"aa  bb   cc", 7));
}

TEST(MultiLineLabel, HyphensFeedsAndLongWords)
{
    EXPECT_EQ((std::vector<std::wstring>{L"well-known", L"fact"}), Break(L"well-known fact", 10));
    EXPECT_EQ((std::vector<std::wstring>{L"well-", L"known", L"fact"}), Break(L"well-known fact", 8));
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"", L"two three"}), Break(L"one\n\ntwo three", 9));
    // A word longer than a line is cut where it overflows.
    EXPECT_EQ((std::vector<std::wstring>{L"abcd", L"efgh", L"ij k"}), Break(L"abcdefghij k", 4));
    // Width below one character still makes progress.
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"b"}), Break(L"ab", 0));
}

TEST(MultiLineLabel, LabelsTakeTheLinesWithoutAccessKeys)
{
    const std::wstring text = GetString(2707);
    CMultiLineLabel label(text, 50);
    ASSERT_GT(label.lines.size(), 1u);
    EXPECT_EQ(label.lines.size(), label.cells.size());
    std::wstring joined;
    for (CStaticText* line : label.lines) {
        EXPECT_FALSE(line->caption.autoKey);
        EXPECT_LE(GetTextWidth(line->caption.text), int(GetAverageCharWidth() * 50));
        joined += (joined.empty() ? L"" : L" ") + line->caption.text;
    }
    EXPECT_EQ(text, joined);
    EXPECT_EQ(1, ReportsDuring([] { CMultiLineLabel empty(L"", 10); }));
}

TEST(BitmapPanel, AsksForItsPicturesSize)
{
    CBitmapPanel logo(L"LogoApp.png");
    ASSERT_NE(nullptr, logo.image);
    logo.Measure();
    EXPECT_EQ(96, logo.minWidth);
    EXPECT_EQ(96, logo.preferredWidth);
    EXPECT_EQ(96, logo.preferredHeight);
    EXPECT_EQ(0, logo.maxWidth);
    EXPECT_EQ(0, logo.widthStretch);
    EXPECT_EQ(0, logo.heightStretch);
    EXPECT_EQ(&logo.ownScene, logo.GetScene());
    EXPECT_EQ(&logo, logo.ownScene.items[0]);
}

TEST(BitmapPanel, WithoutItsPictureItAsksForNothingAndStretches)
{
    std::unique_ptr<CBitmapPanel> missing;
    EXPECT_EQ(1, ReportsDuring([&] { missing.reset(new CBitmapPanel(L"NoSuchPicture.png")); }));
    missing->Measure();
    EXPECT_EQ(0, missing->preferredWidth);
    EXPECT_EQ(1, missing->widthStretch);
    EXPECT_EQ(1, missing->heightStretch);
}
