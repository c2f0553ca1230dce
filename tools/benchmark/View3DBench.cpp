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
#include "render3d/OpenGL3Functions.h"
#include "render3d/OpenGL3Renderer.h"
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

// Frames of the 3D view of the bench course through one back end's window
// renderer, beside GDI's frame of the same scene.
void BenchView3DFrameThrough(CGraphicsSystem& system, CRenderer* made, void (*finish)(), const char* name,
                             int runs, bool savePictures)
{
    const int count = 1000 / GetBenchKindCount();
    std::unique_ptr<CCourse> course = MakeBenchCourse(count);
    course->Set3D(true);
    course->Set3DCamera(true);
    CCourse3DScene scene(course.get());
    scene.SetMapMode(false);
    scene.FitView(float(kViewWidth), float(kViewHeight), 0.0f, 0.0f);

    const HWND window = MakeViewWindow();
    system.PrepareWindowGuarded(window, true);
    std::unique_ptr<CRenderer> renderer(made);
    renderer->AttachToWindow(window);
    renderer->SetScene(&scene);
    renderer->SetViewport(float(kViewWidth), float(kViewHeight));
    // The first frame builds every mesh; a window's later frames draw them.
    double start = GetClockSeconds();
    renderer->RenderScene();
    finish();
    const double firstFrame = MillisecondsSince(start);

    CGdiBitmap dib;
    CBenchRow row(std::string("3D view frame through ") + name + " (" + DescribeBenchCourse(count) + ") / GDI");
    std::vector<double> frames;
    for (int run = 0; run < runs && system.GetCurrentError() == 0; ++run) {
        start = GetClockSeconds();
        renderer->RenderScene();
        finish();
        const double program = MillisecondsSince(start);
        start = GetClockSeconds();
        dib.RenderScene(scene, float(kViewWidth), float(kViewHeight));
        row.Add(program, MillisecondsSince(start));
        frames.push_back(program);
    }
    row.Print();
    if (frames.empty()) {
        std::printf("    %s failed (severity %d)\n", name, system.GetCurrentError());
    } else {
        std::sort(frames.begin(), frames.end());
        std::printf("    %.1f frames a second at %d x %d (the first, building every mesh, %.0f ms)\n",
                    1000.0 / frames[frames.size() / 2], kViewWidth, kViewHeight, firstFrame);
    }
    if (savePictures) {
        CPixelBitmap picture{float(kViewWidth), float(kViewHeight)};
        system.RenderOffscreenGuarded(scene, picture, picture.GetWidth(), picture.GetHeight(), 0.0f, 0.0f);
        std::wstring file = L"bench-3d-" + system.GetName() + L".png";
        for (wchar_t& c : file)
            c = wchar_t(towlower(c));
        SaveImage(picture, file, nullptr);
        if (dib.GetPixels(picture))
            SaveImage(picture, L"bench-3d-gdi.png", nullptr);
    }
    renderer.reset();
    DestroyWindow(window);
}

}  // namespace

void BenchView3DFrame(int runs, bool savePictures)
{
    BenchView3DFrameThrough(COpenGL1GraphicsSystem::Instance(), new COpenGL1Renderer(),
                            [] { GetOpenGL1Functions().glFinish(); }, "OpenGL 1", runs, savePictures);
    if (COpenGL3GraphicsSystem::Instance().IsUsable())
        BenchView3DFrameThrough(COpenGL3GraphicsSystem::Instance(), new COpenGL3Renderer(),
                                [] { GetOpenGL3Functions().glFinish(); }, "OpenGL 3", runs, savePictures);
}
