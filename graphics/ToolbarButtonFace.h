#pragma once

#include <cstdint>
#include <map>
#include <memory>

class CPixelBitmap;

// The look of a toolbar button in one state. A face composes each icon once
// into a button picture 7 pixels wider and 5 higher than the icon -- the
// face's background (its picture stretched with fixed 3-pixel borders, or
// its base colour) with the icon blended over it at column 3, row 2 (column
// 4 when pressed), in grey when the face is greyed -- and keeps it.
class CToolbarButtonFace
{
public:
    // The background picture is borrowed and may be null (then the base
    // colour fills the face).
    CToolbarButtonFace(uint32_t baseColor, const CPixelBitmap* background, bool greyed, bool pressed);
    CToolbarButtonFace(const CToolbarButtonFace&) = delete;
    CToolbarButtonFace& operator=(const CToolbarButtonFace&) = delete;

    // The composed picture for the icon, owned by this face; the same one for
    // every later request with that icon (icons are told apart by address,
    // as they come from the image cache). A null icon is reported and gives
    // null.
    const CPixelBitmap* GetImage(const CPixelBitmap* icon);
    // The picture GetImage gives for the icon, at its size but composed only
    // when GetImage is first asked for it: a button takes its state's picture
    // here, and its toolbar composes it when it first draws the button.
    const CPixelBitmap* ReserveImage(const CPixelBitmap* icon);

    // The process-wide faces, built on first use: normal and disabled on the
    // system's button-face colour, hot and pressed on the pictures
    // "ToolbarButtonHot.png" and "ToolbarButtonPressed.png".
    static CToolbarButtonFace& GetNormal();
    static CToolbarButtonFace& GetHot();
    static CToolbarButtonFace& GetPressed();
    static CToolbarButtonFace& GetDisabled();

    // Every pixel keeps its alpha; red, green and blue become
    // 128 + (r + g + b) * 127 / 765, so greys lie between 128 and 255.
    static void MakeGrey(CPixelBitmap& bitmap);

    // The background coordinate for result coordinate c along one side:
    // 3-pixel borders keep their distance from the near or far edge, the
    // middle is stretched. Always inside the background.
    static int MapStretched(int c, int resultSize, int backgroundSize);

private:
    struct CCachedImage
    {
        std::unique_ptr<CPixelBitmap> image;
        bool composed = false;
    };

    // The icon's entry, made at the picture's size when it is new.
    CCachedImage& FindOrReserve(const CPixelBitmap& icon);
    // Draws the face with the icon over the picture, which has its size.
    void Compose(const CPixelBitmap& icon, CPixelBitmap& result) const;

    uint32_t m_baseColor;
    const CPixelBitmap* m_background;
    bool m_greyed;
    bool m_pressed;
    std::map<const CPixelBitmap*, CCachedImage> m_cache;
};
