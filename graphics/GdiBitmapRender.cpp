#include "graphics/GdiBitmapRender.h"

#include "foundation/TracePoint.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiGraphics.h"

bool RenderSceneIntoBitmap(CGdiBitmap& bitmap, CScene& scene, float width, float height,
                           float projectionWidth, float projectionHeight, float offsetX, float offsetY)
{
    TRACE_POINT();
    if (!(width >= 1.0f) || !(height >= 1.0f))
        return false;
    if (!bitmap.Create(width, height))
        return false;
    CGdiGraphics canvas;
    canvas.SetDeviceContext(bitmap.GetDC());
    canvas.SetScene(&scene);
    canvas.SetViewport(width, height, projectionWidth, projectionHeight, offsetX, offsetY);
    canvas.RenderScene();
    return true;
}
