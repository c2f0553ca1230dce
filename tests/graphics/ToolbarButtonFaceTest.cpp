#include <gtest/gtest.h>

#include <windows.h>

#include "foundation/Rgba.h"
#include "graphics/ImageCache.h"
#include "graphics/PixelBitmap.h"
#include "graphics/ToolbarButtonFace.h"
#include "tests/support/FailureReports.h"

namespace
{

constexpr uint32_t kBase = 0xFFC0C0C0;

// A 2 x 2 icon: opaque black, opaque white, half-transparent red and a
// transparent pixel.
CPixelBitmap MakeIcon()
{
    CPixelBitmap icon(2.0f, 2.0f);
    icon.SetPixel(0, 0, 0xFF000000);
    icon.SetPixel(1, 0, 0xFFFFFFFF);
    icon.SetPixel(0, 1, 0x800000FF);
    icon.SetPixel(1, 1, 0x00000000);
    return icon;
}

// A background whose every pixel tells its own position.
CPixelBitmap MakeNumberedBackground(int w, int h)
{
    CPixelBitmap background{float(w), float(h)};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            background.SetPixel(x, y, MakeRgba(x, y, 7, 255));
    }
    return background;
}

}  // namespace

TEST(ToolbarButtonFace, IconLiesOnTheBaseColourWithRoomAround)
{
    const CPixelBitmap icon = MakeIcon();
    CToolbarButtonFace face(kBase, nullptr, false, false);
    const CPixelBitmap* image = face.GetImage(&icon);
    ASSERT_NE(nullptr, image);
    ASSERT_EQ(9.0f, image->GetWidth());
    ASSERT_EQ(7.0f, image->GetHeight());
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 9; ++x) {
            if (x >= 3 && x < 5 && y >= 2 && y < 4)
                continue;
            EXPECT_EQ(kBase, image->GetPixel(x, y)) << x << "," << y;
        }
    }
    EXPECT_EQ(0xFF000000u, image->GetPixel(3, 2));
    EXPECT_EQ(0xFFFFFFFFu, image->GetPixel(4, 2));
    EXPECT_EQ(BlendColorOver(0x800000FF, kBase), image->GetPixel(3, 3));
    EXPECT_EQ(kBase, image->GetPixel(4, 3));
}

TEST(ToolbarButtonFace, SameIconGivesTheCachedImage)
{
    const CPixelBitmap icon = MakeIcon();
    const CPixelBitmap other = MakeIcon();
    CToolbarButtonFace face(kBase, nullptr, false, false);
    const CPixelBitmap* first = face.GetImage(&icon);
    EXPECT_EQ(first, face.GetImage(&icon));
    EXPECT_NE(first, face.GetImage(&other));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(nullptr, face.GetImage(nullptr)); }));
}

TEST(ToolbarButtonFace, GreyedIconLiesBetween128And255)
{
    const CPixelBitmap icon = MakeIcon();
    CToolbarButtonFace face(kBase, nullptr, true, false);
    const CPixelBitmap* image = face.GetImage(&icon);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(0xFF808080u, image->GetPixel(3, 2));
    EXPECT_EQ(0xFFFFFFFFu, image->GetPixel(4, 2));
    // Red becomes 128 + 255 * 127 / 765 = 170, still at half alpha.
    EXPECT_EQ(BlendColorOver(0x80AAAAAA, kBase), image->GetPixel(3, 3));
    // The icon itself is not changed.
    EXPECT_EQ(0x800000FFu, icon.GetPixel(0, 1));

    CPixelBitmap grey = icon;
    CToolbarButtonFace::MakeGrey(grey);
    EXPECT_EQ(0x80AAAAAAu, grey.GetPixel(0, 1));
    EXPECT_EQ(0x00808080u, grey.GetPixel(1, 1));
}

TEST(ToolbarButtonFace, PressedIconMovesOnePixelRight)
{
    const CPixelBitmap icon = MakeIcon();
    CToolbarButtonFace face(kBase, nullptr, false, true);
    const CPixelBitmap* image = face.GetImage(&icon);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(kBase, image->GetPixel(3, 2));
    EXPECT_EQ(0xFF000000u, image->GetPixel(4, 2));
    EXPECT_EQ(0xFFFFFFFFu, image->GetPixel(5, 2));
}

TEST(ToolbarButtonFace, BackgroundStretchesBetweenFixedBorders)
{
    // 12 x 10 background under a 9 x 7 result (a 2 x 2 icon).
    EXPECT_EQ(0, CToolbarButtonFace::MapStretched(0, 9, 12));
    EXPECT_EQ(2, CToolbarButtonFace::MapStretched(2, 9, 12));
    // (12 - 6) * (3 - 3) / (9 - 6) + 3.5 -> 3; (6 * 2 / 3) + 3.5 -> 7.
    EXPECT_EQ(3, CToolbarButtonFace::MapStretched(3, 9, 12));
    EXPECT_EQ(5, CToolbarButtonFace::MapStretched(4, 9, 12));
    EXPECT_EQ(7, CToolbarButtonFace::MapStretched(5, 9, 12));
    EXPECT_EQ(9, CToolbarButtonFace::MapStretched(6, 9, 12));
    EXPECT_EQ(11, CToolbarButtonFace::MapStretched(8, 9, 12));

    const CPixelBitmap background = MakeNumberedBackground(12, 10);
    const CPixelBitmap icon = MakeIcon();
    CToolbarButtonFace face(kBase, &background, false, false);
    const CPixelBitmap* image = face.GetImage(&icon);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(MakeRgba(0, 0, 7, 255), image->GetPixel(0, 0));
    EXPECT_EQ(MakeRgba(11, 9, 7, 255), image->GetPixel(8, 6));
    EXPECT_EQ(MakeRgba(7, 1, 7, 255), image->GetPixel(5, 1));
    // Rows: 7 high over 10: row 3 maps to (4 * 0 / 1) + 3.5 -> 3, row 4 to 10 - 3 = 7.
    EXPECT_EQ(MakeRgba(5, 7, 7, 255), image->GetPixel(4, 4));
    EXPECT_EQ(MakeRgba(5, 3, 7, 255), image->GetPixel(4, 3)) << "the transparent icon pixel shows the background";
    EXPECT_EQ(0xFF000000u, image->GetPixel(3, 2));
}

TEST(ToolbarButtonFace, BackgroundSmallerThanItsBordersStaysInside)
{
    // 2 - (9 - 6) = -1 and (2 - 6) * 1 / 3 + 3.5 -> 2 are both outside.
    EXPECT_EQ(0, CToolbarButtonFace::MapStretched(6, 9, 2));
    EXPECT_EQ(1, CToolbarButtonFace::MapStretched(4, 9, 2));
    EXPECT_EQ(1, CToolbarButtonFace::MapStretched(8, 9, 2));
    const CPixelBitmap background = MakeNumberedBackground(2, 2);
    const CPixelBitmap icon = MakeIcon();
    CToolbarButtonFace face(kBase, &background, false, false);
    const CPixelBitmap* image = nullptr;
    EXPECT_EQ(0, CountReports([&] { image = face.GetImage(&icon); }));
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(MakeRgba(1, 1, 7, 255), image->GetPixel(8, 6));

    const CPixelBitmap empty;
    CToolbarButtonFace emptyFace(kBase, &empty, false, false);
    image = emptyFace.GetImage(&icon);
    ASSERT_NE(nullptr, image);
    EXPECT_EQ(kBase, image->GetPixel(0, 0));
}

TEST(ToolbarButtonFace, TheFourFacesComposeTheProgramsIcon)
{
    const CPixelBitmap* icon = CImage::GetCached(L"EditCopy.png");
    const CPixelBitmap* hotBackground = CImage::GetCached(L"ToolbarButtonHot.png");
    const CPixelBitmap* pressedBackground = CImage::GetCached(L"ToolbarButtonPressed.png");
    ASSERT_NE(nullptr, icon);
    ASSERT_NE(nullptr, hotBackground);
    ASSERT_NE(nullptr, pressedBackground);
    const uint32_t faceColor = (GetSysColor(COLOR_BTNFACE) & 0xFFFFFF) | 0xFF000000;

    const CPixelBitmap* normal = CToolbarButtonFace::GetNormal().GetImage(icon);
    const CPixelBitmap* hot = CToolbarButtonFace::GetHot().GetImage(icon);
    const CPixelBitmap* pressed = CToolbarButtonFace::GetPressed().GetImage(icon);
    const CPixelBitmap* disabled = CToolbarButtonFace::GetDisabled().GetImage(icon);
    for (const CPixelBitmap* image : {normal, hot, pressed, disabled}) {
        ASSERT_NE(nullptr, image);
        EXPECT_EQ(23.0f, image->GetWidth());
        EXPECT_EQ(21.0f, image->GetHeight());
    }
    EXPECT_EQ(normal, CToolbarButtonFace::GetNormal().GetImage(icon));

    // Icon pixel (1, 1) is the opaque outline of the back sheet.
    const uint32_t outline = icon->GetPixel(1, 1);
    ASSERT_EQ(255u, GetAlpha(outline));
    EXPECT_EQ(faceColor, normal->GetPixel(0, 0));
    EXPECT_EQ(outline, normal->GetPixel(4, 3));
    EXPECT_EQ(faceColor, normal->GetPixel(3, 2));   // the icon's transparent corner

    // Hot: the corners and borders of its picture, the icon on top.
    EXPECT_EQ(hotBackground->GetPixel(1, 1), hot->GetPixel(1, 1));
    EXPECT_EQ(hotBackground->GetPixel(23, 23), hot->GetPixel(22, 20));
    // Row 10 of 21 maps to 18 * 7 / 15 + 3.5 -> 11 of 24.
    EXPECT_EQ(hotBackground->GetPixel(0, 11), hot->GetPixel(0, 10));
    EXPECT_EQ(outline, hot->GetPixel(4, 3));

    // Pressed: its own picture, the icon one pixel to the right.
    EXPECT_EQ(pressedBackground->GetPixel(1, 1), pressed->GetPixel(1, 1));
    EXPECT_EQ(outline, pressed->GetPixel(5, 3));
    EXPECT_NE(hot->GetPixel(1, 1), pressed->GetPixel(1, 1));

    // Disabled: the outline in grey.
    const uint32_t grey = 128 + (GetRed(outline) + GetGreen(outline) + GetBlue(outline)) * 127 / 765;
    EXPECT_EQ(MakeRgba(grey, grey, grey, 255), disabled->GetPixel(4, 3));
    EXPECT_EQ(faceColor, disabled->GetPixel(0, 0));
    for (int y = 0; y < 21; ++y) {
        for (int x = 0; x < 23; ++x) {
            const uint32_t p = disabled->GetPixel(x, y);
            if (p != faceColor) {
                EXPECT_TRUE(GetRed(p) == GetGreen(p) && GetGreen(p) == GetBlue(p)) << x << "," << y;
            }
        }
    }
}
