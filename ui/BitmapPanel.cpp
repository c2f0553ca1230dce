#include "ui/BitmapPanel.h"

#include "foundation/CrashLog.h"
#include "graphics/GraphicsContext.h"
#include "graphics/ImageCache.h"
#include "graphics/PixelBitmap.h"

CBitmapPanel::CBitmapPanel(const std::wstring& imageName)
    : CPanel(true, false), image(LoadImageByName(imageName)), ownScene(true, 1)
{
    TRACE_VALUE(std::wstring, imageName);
    ownScene.items[0] = this;
    ownScene.background = GetButtonFaceColor();
    SetScene(&ownScene);
}

// The panel base must not see the scene after this object's part is gone.
CBitmapPanel::~CBitmapPanel() { scene = nullptr; }

void CBitmapPanel::Measure()
{
    const int width = image ? image->GetPixelWidth() : 0;
    const int height = image ? image->GetPixelHeight() : 0;
    minWidth = width;
    preferredWidth = width;
    maxWidth = 0;
    widthStretch = width == 0 ? 1 : 0;
    minHeight = height;
    preferredHeight = height;
    maxHeight = 0;
    heightStretch = height == 0 ? 1 : 0;
}

void CBitmapPanel::Draw(CGraphicsContext& context)
{
    if (image)
        context.DrawBitmap(*image, CRectF(0.0f, 0.0f, image->GetWidth(), image->GetHeight()));
}
