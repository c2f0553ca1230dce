#pragma once

#include <memory>

#include "graphics/Drawable.h"
#include "graphics/PixelBitmap.h"
#include "graphics/RenderTarget.h"

// The target of a window whose graphics system will not draw straight into
// it (the system failed in this run, or filters such windows): the scene is
// rendered off screen through whichever system qualifies at that moment,
// and the picture is shown through a plain GDI canvas. The window does not
// notice the difference.
//
// As a drawable, the target draws its last picture over (0, 0)-(width,
// height) of the target; that is how the inner canvas shows it.
class CFallbackRenderTarget : public CRenderTarget, public CDrawable
{
public:
    // inner: a GDI canvas, owned from now on; a missing one is reported and
    // the target then draws nothing. gdiOnly goes to off-screen rendering.
    CFallbackRenderTarget(bool gdiOnly, CRenderTarget* inner);
    ~CFallbackRenderTarget() override;

    // ---- Render-target slots ----------------------------------------------------
    // Renders the scene into the picture at the target's size (tiled when it
    // is larger than the screen), then lets the inner canvas draw the
    // picture without clearing first. A target without pixels draws nothing.
    void RenderScene() override;
    // The inner canvas's system (GDI).
    CGraphicsBackEnd& GetGraphicsSystem() const override;
    void AttachToWindow(HWND window) override;

    // ---- Drawable ---------------------------------------------------------------
    void Draw(CGraphicsContext& context) override;

    const CPixelBitmap& GetPicture() const { return m_picture; }
    CRenderTarget* GetInnerTarget() const { return m_inner.get(); }

private:
    std::unique_ptr<CRenderTarget> m_inner;
    const bool m_gdiOnly;
    CPixelBitmap m_picture;
};
