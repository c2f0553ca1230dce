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
#include "render3d/Direct3D11Renderer.h"
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
constexpr int kMapWidth = 1280;
constexpr int kMapHeight = 1024;

// A top-level window of the frame's size for the back end's context.
HWND MakeViewWindow(int width, int height)
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
    return CreateWindowExW(WS_EX_TOOLWINDOW, L"Fendrel4Bench3DView", L"", WS_POPUP | WS_VISIBLE, 0, 0, width,
                           height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

// Waits until the device has drawn everything asked of it so far.
CDirect3D11Renderer* g_direct3D11 = nullptr;
void FinishDirect3D11()
{
    ID3D11Device* device = g_direct3D11 ? g_direct3D11->GetDevice() : nullptr;
    ID3D11DeviceContext* context = g_direct3D11 ? g_direct3D11->GetContext() : nullptr;
    if (!device || !context)
        return;
    const D3D11_QUERY_DESC description = {D3D11_QUERY_EVENT, 0};
    ID3D11Query* query = nullptr;
    if (FAILED(device->CreateQuery(&description, &query)))
        return;
    context->End(query);
    BOOL done = FALSE;
    while (context->GetData(query, &done, sizeof done, 0) == S_FALSE)
        Sleep(0);
    query->Release();
}

// Frames of a scene through one back end's window renderer, beside GDI's
// frame of the same scene; `stem` names the pictures.
void BenchFrameThrough(CGraphicsSystem& system, CRenderer* made, void (*finish)(), const char* name, CScene& scene,
                       int width, int height, const std::string& what, int runs, bool savePictures,
                       const std::wstring& stem)
{
    const HWND window = MakeViewWindow(width, height);
    system.PrepareWindowGuarded(window, true);
    std::unique_ptr<CRenderer> renderer(made);
    renderer->AttachToWindow(window);
    renderer->SetScene(&scene);
    renderer->SetViewport(float(width), float(height));
    // The first frame builds every mesh; a window's later frames draw them.
    double start = GetClockSeconds();
    renderer->RenderScene();
    finish();
    const double firstFrame = MillisecondsSince(start);

    CGdiBitmap dib;
    CBenchRow row(what + " through " + name + " / GDI");
    std::vector<double> frames;
    for (int run = 0; run < runs && system.GetCurrentError() == 0; ++run) {
        start = GetClockSeconds();
        renderer->RenderScene();
        finish();
        const double program = MillisecondsSince(start);
        start = GetClockSeconds();
        dib.RenderScene(scene, float(width), float(height));
        row.Add(program, MillisecondsSince(start));
        frames.push_back(program);
    }
    row.Print();
    if (frames.empty()) {
        std::printf("    %s failed (severity %d)\n", name, system.GetCurrentError());
    } else {
        std::sort(frames.begin(), frames.end());
        std::printf("    %.1f frames a second at %d x %d (the first, building every mesh, %.0f ms)\n",
                    1000.0 / frames[frames.size() / 2], width, height, firstFrame);
        std::printf("    %s draws and %s triangles a frame\n", FormatCount(int(renderer->GetFrameDrawCount())).c_str(),
                    FormatCount(int(renderer->GetFrameTriangleCount())).c_str());
    }
    if (savePictures) {
        CPixelBitmap picture{float(width), float(height)};
        system.RenderOffscreenGuarded(scene, picture, picture.GetWidth(), picture.GetHeight(), 0.0f, 0.0f);
        std::wstring file = stem + L"-" + system.GetName() + L".png";
        for (wchar_t& c : file)
            c = wchar_t(towlower(c));
        SaveImage(picture, file, nullptr);
        if (dib.GetPixels(picture))
            SaveImage(picture, stem + L"-gdi.png", nullptr);
    }
    renderer.reset();
    DestroyWindow(window);
}

// The course's 3D view through each back end the machine offers.
void BenchView3DThrough(CCourse& course, const std::string& what, int runs, bool savePictures,
                        const std::wstring& stem)
{
    course.Set3D(true);
    course.Set3DCamera(true);
    CCourse3DScene scene(&course);
    scene.SetMapMode(false);
    scene.FitView(float(kViewWidth), float(kViewHeight), 0.0f, 0.0f);
    BenchFrameThrough(COpenGL1GraphicsSystem::Instance(), new COpenGL1Renderer(),
                      [] { GetOpenGL1Functions().glFinish(); }, "OpenGL 1", scene, kViewWidth, kViewHeight, what,
                      runs, savePictures, stem);
    if (COpenGL3GraphicsSystem::Instance().IsUsable())
        BenchFrameThrough(COpenGL3GraphicsSystem::Instance(), new COpenGL3Renderer(),
                          [] { GetOpenGL3Functions().glFinish(); }, "OpenGL 3", scene, kViewWidth, kViewHeight, what,
                          runs, savePictures, stem);
    CDirect3D11GraphicsSystem& direct3D11 = CDirect3D11GraphicsSystem::Instance();
    if (!direct3D11.IsUsable())
        return;
    g_direct3D11 = new CDirect3D11Renderer();
    BenchFrameThrough(direct3D11, g_direct3D11, FinishDirect3D11, "Direct3D 11", scene, kViewWidth, kViewHeight,
                      what, runs, savePictures, stem);
    g_direct3D11 = nullptr;
}

}  // namespace

void BenchView3DFrame(int runs, bool savePictures)
{
    std::unique_ptr<CCourse> judge = MakeJudgeCourse();
    BenchView3DThrough(*judge, "3D view frame (judge's course, " + FormatCount(int(judge->GetObjectCount())) +
                                   " objects)",
                       runs, savePictures, L"bench-3d-judge");

    const int count = 1000 / GetBenchKindCount();
    std::unique_ptr<CCourse> course = MakeBenchCourse(count);
    BenchView3DThrough(*course, "3D view frame (" + DescribeBenchCourse(count) + ")", runs, savePictures,
                       L"bench-3d");
    CDirect3D11GraphicsSystem& direct3D11 = CDirect3D11GraphicsSystem::Instance();
    if (!direct3D11.IsUsable())
        return;

    // The map of the same course as a course window shows it under the
    // class that draws every view through Direct3D 11.
    course->Set3D(false);
    course->Set3DCamera(false);
    CCourseMapScene map(course.get());
    map.ShowSelection(true);
    map.SetMapMode(false);
    map.FitView(float(kMapWidth), float(kMapHeight), 0.0f, 0.0f);
    g_direct3D11 = new CDirect3D11Renderer();
    BenchFrameThrough(direct3D11, g_direct3D11, FinishDirect3D11, "Direct3D 11", map, kMapWidth, kMapHeight,
                      "map frame (" + DescribeBenchCourse(count) + ")", runs, savePictures, L"bench-map");
    g_direct3D11 = nullptr;
}
