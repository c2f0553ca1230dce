#include <gtest/gtest.h>

#include <memory>

#include "foundation/CrashLog.h"
#include "foundation/FontMetrics.h"
#include "foundation/Strings.h"
#include "graphics/PixelBitmap.h"
#include "tests/support/FailureReports.h"
#include "ui/BitmapPanel.h"
#include "ui/MultiLineLabel.h"
#include "ui/UIFontMetrics.h"

TEST(MultiLineLabel, LabelsTakeTheLinesWithoutAccessKeys)
{
    const std::wstring text = GetString(2707);
    CMultiLineLabel label(text, 50);
    ASSERT_GT(label.lines.size(), 1u);
    EXPECT_EQ(label.lines.size(), label.cells.size());
    // Lines are measured with the built-in metrics at the UI line height.
    const CFontMetrics font(float(GetLineHeight()) / CFontMetrics(1.0f, false).GetHeight(), false);
    const float width = GetAverageCharWidth() * 50;
    std::wstring joined;
    for (size_t i = 0; i < label.lines.size(); ++i) {
        const std::wstring& line = label.lines[i]->caption.text;
        EXPECT_FALSE(label.lines[i]->caption.autoKey);
        EXPECT_LE(font.GetStringWidth(line), width);
        // A hyphenated line continues in the next; else a space was dropped.
        if (!joined.empty() && joined.back() == L'-' && iswalpha(line[0]))
            joined.pop_back();
        else if (!joined.empty())
            joined += L' ';
        joined += line;
    }
    EXPECT_EQ(text, joined);
    EXPECT_EQ(1, CountReports([] { CMultiLineLabel empty(L"", 10); }));
}

TEST(MultiLineLabel, LongWordsAreHyphenated)
{
    CMultiLineLabel label(L"hyphenation", 5);
    ASSERT_GE(label.lines.size(), 2u);
    std::wstring joined;
    for (size_t i = 0; i + 1 < label.lines.size(); ++i) {
        const std::wstring& line = label.lines[i]->caption.text;
        ASSERT_EQ(L'-', line.back());
        joined += line.substr(0, line.size() - 1);
        // Only where the word may be hyphenated: hy-phen-ation.
        EXPECT_TRUE(joined.size() == 2 || joined.size() == 6) << joined;
    }
    EXPECT_EQ(L"hyphenation", joined + label.lines.back()->caption.text);
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
    EXPECT_EQ(1, CountReports([&] { missing.reset(new CBitmapPanel(L"NoSuchPicture.png")); }));
    missing->Measure();
    EXPECT_EQ(0, missing->preferredWidth);
    EXPECT_EQ(1, missing->widthStretch);
    EXPECT_EQ(1, missing->heightStretch);
}
