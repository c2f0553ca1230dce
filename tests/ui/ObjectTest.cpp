#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <vector>

#include "foundation/CrashLog.h"
#include "tests/support/FailureReports.h"
#include "ui/Object.h"
#include "ui/UIFontMetrics.h"
#include "ui/WideBuffer.h"

TEST(UIFontMetrics, DialogUnitsFollowTheMessageFont)
{
    const CUIFontMetrics& metrics = GetUIFontMetrics();
    ASSERT_GT(metrics.height32, 0);
    ASSERT_GT(metrics.aveCharWidth32, 0);
    EXPECT_NE(nullptr, metrics.uiFont);
    EXPECT_FALSE(metrics.faceName.empty());

    // The message font at 32 times its height, read here independently.
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = 500;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &ncm, 0));
    EXPECT_EQ(std::wstring(ncm.lfMessageFont.lfFaceName), GetUIFontName());
    LOGFONTW font = ncm.lfMessageFont;
    font.lfHeight *= 32;
    HFONT tall = CreateFontIndirectW(&font);
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, tall);
    TEXTMETRICW tm = {};
    GetTextMetricsW(screen, &tm);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(tall);
    EXPECT_EQ(tm.tmHeight, metrics.height32);
    EXPECT_EQ(tm.tmAveCharWidth, metrics.aveCharWidth32);

    // Four horizontal units make one average character, eight vertical ones
    // one line; rounded half up.
    const float average = float(tm.tmAveCharWidth) / 32.0f;
    EXPECT_EQ(int(std::floor(average + 0.5f)), DluToPixelsX(4));
    EXPECT_EQ(int(std::floor(float(tm.tmHeight) / 32.0f + 0.5f)), DluToPixelsY(8));
    EXPECT_EQ(GetLineHeight(), DluToPixelsY(8));
    EXPECT_FLOAT_EQ(average, GetAverageCharWidth());
    EXPECT_EQ(0, DluToPixelsX(0));
    // 7 DLU across: floor(7 * width32 / 128 + 1/2).
    EXPECT_EQ(int(std::floor(7.0 * tm.tmAveCharWidth / 128.0 + 0.5)), DluToPixelsX(7));

    // A point size that gives back the font's character height at the screen's resolution.
    EXPECT_GE(metrics.pointSize, 6);
    EXPECT_LE(metrics.pointSize, 14);
}

TEST(UIFontMetrics, TextWidthIgnoresAccessKeyMarkers)
{
    EXPECT_EQ(L"Width", StripAccessKeyMarkers(L"&Width"));
    EXPECT_EQ(L"AB", StripAccessKeyMarkers(L"A&&B"));
    EXPECT_EQ(GetTextWidth(L"Width"), GetTextWidth(L"&Width"));
    EXPECT_GT(GetTextWidth(L"Width"), GetTextWidth(L"W"));
    EXPECT_EQ(0, GetTextWidth(L""));
}

TEST(Spacer, KindsConvertDialogUnits)
{
    const CSpacer* gap = CSpacer::GapV7();
    EXPECT_EQ(DluToPixelsY(7), gap->minHeight);
    EXPECT_EQ(DluToPixelsY(7), gap->preferredHeight);
    EXPECT_EQ(DluToPixelsY(7), gap->maxHeight);
    EXPECT_EQ(0, gap->heightStretch);
    EXPECT_EQ(0, gap->minWidth);
    EXPECT_EQ(0, gap->maxWidth);   // unlimited
    EXPECT_EQ(1, gap->widthStretch);

    const CSpacer* range = CSpacer::GapH4to7();
    EXPECT_EQ(DluToPixelsX(4), range->minWidth);
    EXPECT_EQ(DluToPixelsX(7), range->preferredWidth);
    EXPECT_EQ(DluToPixelsX(7), range->maxWidth);
    EXPECT_EQ(0, range->widthStretch);
    EXPECT_EQ(1, range->heightStretch);

    const CSpacer* shrinking = CSpacer::GapV0to4();
    EXPECT_EQ(0, shrinking->minHeight);
    EXPECT_EQ(DluToPixelsY(4), shrinking->maxHeight);
    EXPECT_EQ(0, shrinking->heightStretch);

    const CSpacer* null = CSpacer::NullCell();
    EXPECT_EQ(0, null->preferredWidth);
    EXPECT_EQ(0, null->widthStretch);
    EXPECT_EQ(0, null->heightStretch);

    const CSpacer* empty = CSpacer::EmptyCell();
    EXPECT_EQ(1, empty->widthStretch);
    EXPECT_EQ(1, empty->heightStretch);
    EXPECT_EQ(0, empty->preferredHeight);

    EXPECT_EQ(DluToPixelsX(14), CSpacer::GapH7to14()->maxWidth);
    EXPECT_EQ(DluToPixelsX(7), CSpacer::GapH7to14()->minWidth);
    EXPECT_EQ(DluToPixelsY(14), CSpacer::GapV14()->minHeight);
    EXPECT_EQ(DluToPixelsX(4), CSpacer::GapH4()->minWidth);
    EXPECT_EQ(DluToPixelsX(7), CSpacer::GapH7()->maxWidth);
    EXPECT_EQ(DluToPixelsY(2), CSpacer::GapV2()->maxHeight);
    EXPECT_EQ(DluToPixelsY(4), CSpacer::GapV4()->minHeight);
    EXPECT_EQ(DluToPixelsY(4), CSpacer::GapV4to7()->minHeight);
    EXPECT_EQ(DluToPixelsY(7), CSpacer::GapV4to7()->maxHeight);
    // Shared: the same object every time.
    EXPECT_EQ(CSpacer::GapV7(), CSpacer::GapV7());
}

TEST(Object, ClampSize)
{
    CObject item;
    item.minWidth = 10;
    item.preferredWidth = 20;
    item.maxWidth = 30;
    item.minHeight = 5;
    item.preferredHeight = 8;
    item.maxHeight = 0;
    EXPECT_EQ(CSize2(10.0f, 5.0f), item.ClampSize(3.0f, 1.0f, false));
    EXPECT_EQ(CSize2(15.0f, 6.0f), item.ClampSize(15.0f, 6.0f, false));
    EXPECT_EQ(CSize2(20.0f, 8.0f), item.ClampSize(25.0f, 100.0f, false));
    EXPECT_EQ(CSize2(25.0f, 100.0f), item.ClampSize(25.0f, 100.0f, true));
    EXPECT_EQ(CSize2(30.0f, 100.0f), item.ClampSize(35.0f, 100.0f, true));
}

TEST(AxisLimits, MergeKeepsTheSmallestSetMaximumAndTheSmallerStretch)
{
    CAxisLimits limits;
    limits.Merge(10, 20, 0, 2, false);
    limits.Merge(5, 30, 25, 1, false);
    EXPECT_EQ(10, limits.min);
    EXPECT_EQ(25, limits.preferred);
    EXPECT_EQ(25, limits.max);
    EXPECT_EQ(1, limits.stretch);
    limits.Merge(0, 0, 40, 5, false);
    EXPECT_EQ(25, limits.max);
    EXPECT_EQ(1, limits.stretch);

    // A larger minimum lifts the maximum with it: no conflict to report.
    const int before = ReportCount();
    limits.Merge(30, 30, 0, 0, false);
    EXPECT_EQ(30, limits.min);
    EXPECT_EQ(30, limits.max);
    EXPECT_EQ(30, limits.preferred);
    EXPECT_EQ(before, ReportCount());
    // An item whose own limits contradict each other is reported.
    limits.Merge(10, 10, 5, 0, false);
    EXPECT_EQ(before + 1, ReportCount());
}

TEST(WideBuffer, SmallTextsStayInsideLargeOnesAreAllocated)
{
    CWideBuffer small(200);
    EXPECT_FALSE(small.IsOnHeap());
    EXPECT_EQ(201, small.GetCapacity());
    EXPECT_EQ(0, small.Get()[0]);
    CWideBuffer large(201);
    EXPECT_TRUE(large.IsOnHeap());
    EXPECT_EQ(202, large.GetCapacity());
    large.Get()[201] = L'x';
    CWideBuffer negative(-5);
    EXPECT_EQ(1, negative.GetCapacity());
}
