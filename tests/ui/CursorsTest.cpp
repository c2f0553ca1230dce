#include <gtest/gtest.h>

#include "foundation/CrashLog.h"
#include "tests/support/FailureReports.h"
#include "ui/Cursors.h"

TEST(Cursors, PlanesFromArt)
{
    std::string art(256, ' ');
    art[0] = '#';
    art[1] = '~';
    art[17] = '~';
    int size = 0;
    std::vector<uint8_t> andPlane;
    std::vector<uint8_t> xorPlane;
    ASSERT_TRUE(BuildCursorPlanes(art, size, andPlane, xorPlane));
    EXPECT_EQ(16, size);
    ASSERT_EQ(32u, andPlane.size());
    ASSERT_EQ(32u, xorPlane.size());
    // Row 0: black, white, then transparent; most significant bit first.
    EXPECT_EQ(0x3F, andPlane[0]);
    EXPECT_EQ(0x40, xorPlane[0]);
    EXPECT_EQ(0xFF, andPlane[1]);
    // Row 1 starts at byte 2; pixel 17 is its second pixel.
    EXPECT_EQ(0xBF, andPlane[2]);
    EXPECT_EQ(0x40, xorPlane[2]);
}

TEST(Cursors, A32PixelPictureAndAWrongLength)
{
    int size = 0;
    std::vector<uint8_t> andPlane;
    std::vector<uint8_t> xorPlane;
    EXPECT_TRUE(BuildCursorPlanes(std::string(1024, ' '), size, andPlane, xorPlane));
    EXPECT_EQ(32, size);
    EXPECT_EQ(128u, andPlane.size());

    const int before = ReportCount();
    EXPECT_FALSE(BuildCursorPlanes(std::string(1000, ' '), size, andPlane, xorPlane));
    EXPECT_EQ(before + 1, ReportCount());
    std::unique_ptr<CCursors> rejected = CCursors::CreateFromArt(0, 0, std::string(1000, '#'));
    EXPECT_EQ(nullptr, rejected->GetHandle());
    // Applying it shows the arrow rather than no cursor at all.
    rejected->Apply();
}

TEST(Cursors, UnknownCharactersAreReportedAndTransparent)
{
    std::string art(256, ' ');
    art[0] = 'x';
    int size = 0;
    std::vector<uint8_t> andPlane;
    std::vector<uint8_t> xorPlane;
    EXPECT_EQ(1, CountReports([&] { EXPECT_TRUE(BuildCursorPlanes(art, size, andPlane, xorPlane)); }));
    EXPECT_EQ(0xFF, andPlane[0]);
}

TEST(Cursors, DrawnCursorsAreMadeWithTheirHotSpots)
{
    for (CCursors* cursor : {&CCursors::GetPlus(), &CCursors::GetGrabHand(), &CCursors::GetPointHand()}) {
        ASSERT_NE(nullptr, cursor->GetHandle());
        EXPECT_TRUE(cursor->IsOwned());
    }
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(CCursors::GetPointHand().GetHandle(), &info));
    EXPECT_EQ(12u, info.xHotspot);
    EXPECT_EQ(1u, info.yHotspot);
    BITMAP mask = {};
    GetObjectW(info.hbmMask, sizeof mask, &mask);
    EXPECT_EQ(32, mask.bmWidth);
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
}

TEST(Cursors, DestroyingAStockCursorObjectLeavesTheSystemCursorAlone)
{
    HCURSOR arrow = LoadCursorW(nullptr, IDC_ARROW);
    {
        CCursors stock(IDC_ARROW);
        EXPECT_EQ(arrow, stock.GetHandle());
        EXPECT_FALSE(stock.IsOwned());
    }
    ICONINFO info = {};
    EXPECT_TRUE(GetIconInfo(arrow, &info));
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    EXPECT_EQ(LoadCursorW(nullptr, IDC_IBEAM), CCursors::GetIBeam().GetHandle());
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZEALL), CCursors::GetSizeAll().GetHandle());
    EXPECT_EQ(LoadCursorW(nullptr, IDC_SIZEWE), CCursors::GetSizeWE().GetHandle());
    EXPECT_EQ(arrow, CCursors::GetArrow().GetHandle());
}

TEST(Cursors, AnOwnedCursorIsDestroyedWithItsObject)
{
    HCURSOR handle;
    {
        std::unique_ptr<CCursors> cursor = CCursors::CreateFromArt(1, 1, std::string(256, '#'));
        handle = cursor->GetHandle();
        ASSERT_NE(nullptr, handle);
        ICONINFO info = {};
        EXPECT_TRUE(GetIconInfo(handle, &info));
        DeleteObject(info.hbmMask);
    }
    ICONINFO info = {};
    EXPECT_FALSE(GetIconInfo(handle, &info));
}
