#pragma once

#include <memory>
#include <string>

#include "graphics/Drawable.h"
#include "ui/Panel.h"
#include "ui/Scene.h"

class CPixelBitmap;

// A panel that shows one picture at its own size, drawn through GDI at the
// panel's top-left corner on the dialog's face colour.
class CBitmapPanel : public CPanel, public CDrawable
{
public:
    // The picture resource of that name ("LogoApp.png"); a picture that
    // fails to load is reported by the loader and leaves the panel empty.
    explicit CBitmapPanel(const std::wstring& imageName);
    ~CBitmapPanel() override;

    // Minimum and preferred size are the picture's; a side of size 0 (no
    // picture) stretches.
    void Measure() override;
    void Draw(CGraphicsContext& context) override;

    std::unique_ptr<CPixelBitmap> image;
    CScene ownScene;
};
