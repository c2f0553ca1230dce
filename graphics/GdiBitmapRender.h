#pragma once

class CGdiBitmap;
class CScene;

// Off-screen rendering through the GDI canvas: the bitmap's DIB is made
// width x height, a temporary canvas draws the scene into it with the given
// viewport (projection size and offsets as for CRenderTarget::SetViewport)
// and is destroyed with its GDI objects. The caller reads the picture with
// CGdiBitmap::GetPixels. A size without pixels draws nothing and gives
// false, like a minimised window.
bool RenderSceneIntoBitmap(CGdiBitmap& bitmap, CScene& scene, float width, float height,
                           float projectionWidth = 0.0f, float projectionHeight = 0.0f,
                           float offsetX = 0.0f, float offsetY = 0.0f);
