#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/CourseScene.h"
#include "course/Course.h"
#include "foundation/Clock.h"
#include "graphics/GdiBitmap.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/OpenGL1Functions.h"
#include "render3d/OpenGL1Renderer.h"
#include "tools/benchmark/BenchCourse.h"
#include "tools/benchmark/BenchTable.h"
#include "tools/benchmark/Benchmarks.h"

namespace {

constexpr int kViewWidth = 1024;
constexpr int kViewHeight = 768;

// A top-level window of the view's size for the OpenGL context.
HWND MakeViewWindow()
{
    static const bool registered = [] {
        WNDCLASSW windowClass = {};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"Fendrel4Bench3DView";
        return RegisterClassW(&windowClass) != 0;
    }();
    if (!registered)
        return nullptr;
    return CreateWindowExW(WS_EX_TOOLWINDOW, L"Fendrel4Bench3DView", L"", WS_POPUP | WS_VISIBLE, 0, 0, kViewWidth,
                           kViewHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void BenchView3DFrame(int runs, bool savePictures)
{
    const int count = 1000 / GetBenchKindCount();
    std::unique_ptr<CCourse> course = MakeBenchCourse(count);
    course->Set3D(true);
    course->Set3DCamera(true);
    CCourse3DScene scene(course.get());
    scene.SetMapMode(false);
    scene.FitView(float(kViewWidth), float(kViewHeight), 0.0f, 0.0f);

    COpenGL1GraphicsSystem& system = COpenGL1GraphicsSystem::Instance();
    const HWND window = MakeViewWindow();
    system.PrepareWindowGuarded(window, true);
    auto renderer = std::make_unique<COpenGL1Renderer>();
    renderer->AttachToWindow(window);
    renderer->SetScene(&scene);
    renderer->SetViewport(float(kViewWidth), float(kViewHeight));
    // The first frame builds every mesh; a window's later frames draw them.
    double start = GetClockSeconds();
    renderer->RenderScene();
    GetOpenGL1Functions().glFinish();
    const double firstFrame = MillisecondsSince(start);

    CGdiBitmap dib;
    CBenchRow row("3D view frame through OpenGL 1 (" + DescribeBenchCourse(count) + ") / GDI");
    std::vector<double> frames;
    for (int run = 0; run < runs && system.GetCurrentError() == 0; ++run) {
        start = GetClockSeconds();
        renderer->RenderScene();
        GetOpenGL1Functions().glFinish();
        const double program = MillisecondsSince(start);
        start = GetClockSeconds();
        dib.RenderScene(scene, float(kViewWidth), float(kViewHeight));
        row.Add(program, MillisecondsSince(start));
        frames.push_back(program);
    }
    row.Print();
    if (frames.empty()) {
        std::printf("    OpenGL 1 failed (severity %d)\n", system.GetCurrentError());
    } else {
        std::sort(frames.begin(), frames.end());
        std::printf("    %.1f frames a second at %d x %d (the first, building every mesh, %.0f ms)\n",
                    1000.0 / frames[frames.size() / 2], kViewWidth, kViewHeight, firstFrame);
    }
    if (savePictures) {
        CPixelBitmap picture{float(kViewWidth), float(kViewHeight)};
        system.RenderOffscreenGuarded(scene, picture, picture.GetWidth(), picture.GetHeight(), 0.0f, 0.0f);
        SaveImage(picture, L"bench-3d-opengl1.png", nullptr);
        if (dib.GetPixels(picture))
            SaveImage(picture, L"bench-3d-gdi.png", nullptr);
    }
    renderer.reset();
    DestroyWindow(window);
}
