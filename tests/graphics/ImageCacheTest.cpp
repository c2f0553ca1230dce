#include <gtest/gtest.h>

#include "graphics/ImageCache.h"
#include "graphics/PixelBitmap.h"
#include "tests/support/FailureReports.h"

TEST(ImageCache, SameNameGivesTheSameBitmap)
{
    const CPixelBitmap* first = CImage::GetCached(L"Brick.png");
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(128.0f, first->GetWidth());
    EXPECT_EQ(64.0f, first->GetHeight());
    int reports = 0;
    const CPixelBitmap* second = nullptr;
    reports = CountReports([&] { second = CImage::GetCached(L"Brick.png"); });
    EXPECT_EQ(0, reports);
    EXPECT_EQ(first, second);
}

TEST(ImageCache, ThePicturesOfTheProgramLoad)
{
    for (const wchar_t* name : {L"Grass.jpg", L"BrushFence.jpg", L"Brick.png", L"EditCopy.png",
                                L"ToolbarButtonHot.png", L"ToolbarButtonPressed.png"}) {
        const CPixelBitmap* picture = CImage::GetCached(name);
        ASSERT_NE(nullptr, picture) << name;
        EXPECT_FALSE(picture->IsEmpty()) << name;
    }
    const CPixelBitmap* icon = CImage::GetCached(L"EditCopy.png");
    EXPECT_EQ(16.0f, icon->GetWidth());
    EXPECT_EQ(0u, icon->GetPixel(0, 0) >> 24);   // transparent corner
    EXPECT_EQ(255u, icon->GetPixel(1, 1) >> 24);  // the sheet's outline
}

TEST(ImageCache, NamesDifferingInCaseAreSeparateEntriesOfOneResource)
{
    const CPixelBitmap* mixed = CImage::GetCached(L"TestPattern.png");
    const CPixelBitmap* upper = CImage::GetCached(L"TESTPATTERN.PNG");
    ASSERT_NE(nullptr, mixed);
    ASSERT_NE(nullptr, upper);
    EXPECT_NE(mixed, upper);
    EXPECT_EQ(mixed->GetPixels(), upper->GetPixels());
    EXPECT_EQ(upper, CImage::GetCached(L"TESTPATTERN.PNG"));
}

TEST(ImageCache, UnknownExtensionIsReportedOnceAndStaysMissing)
{
    const CPixelBitmap* picture = reinterpret_cast<const CPixelBitmap*>(1);
    EXPECT_EQ(1, CountReports([&] {
        for (int i = 0; i < 3; ++i) {
            picture = CImage::GetCached(L"Grass.pcx");
            EXPECT_EQ(nullptr, picture);
        }
    }));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(nullptr, CImage::GetCached(L"Missing.png")); }));
    EXPECT_EQ(0, CountReports([&] { EXPECT_EQ(nullptr, CImage::GetCached(L"Missing.png")); }));
}

TEST(ImageCache, UncachedLoadGivesANewBitmapEachTime)
{
    const std::unique_ptr<CPixelBitmap> first = LoadImageByName(L"TestPattern.gif");
    const std::unique_ptr<CPixelBitmap> second = LoadImageByName(L"TestPattern.gif");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->GetPixels(), second->GetPixels());
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(nullptr, LoadImageByName(L"Grass.jpeg")); }));
}
