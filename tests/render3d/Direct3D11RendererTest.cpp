#include <gtest/gtest.h>

#include <windows.h>

#include <d3d11shader.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "graphics/PixelBitmap.h"
#include "render3d/Direct3D11Renderer.h"
#include "render3d/Direct3D11ShaderBlobs.h"
#include "render3d/FallbackRenderTarget.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/render3d/RendererTestSupport.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"
#include "ui/Panel.h"

// The Direct3D 11 back end under Wine (Direct3D on OpenGL on Mesa): the
// committed shader byte code, the probe, pictures against GDI's, a window's
// frames and failures, which keep the system failed for the run and so run
// in a child.

namespace {

const uint32_t kRed = CShapesScene::kRed;
const uint32_t kBlue = CShapesScene::kBlue;

// mov eax, [0]; ret: code that reads address 0, placed where asked.
void PlaceReadAddressZero(void* where)
{
    static const unsigned char readAddressZero[] = {0xA1, 0x00, 0x00, 0x00, 0x00, 0xC3};
    std::memcpy(where, readAddressZero, sizeof readAddressZero);
    FlushInstructionCache(GetCurrentProcess(), where, sizeof readAddressZero);
}

// Puts code in a slot of a table of methods, which every object of a class shares; what was there.
void* SetSlot(void** methods, int slot, void* code)
{
    void** entry = methods + slot;
    DWORD protection = 0;
    VirtualProtect(entry, sizeof(void*), PAGE_READWRITE, &protection);
    void* const was = *entry;
    *entry = code;
    return was;
}

// Shows a 160 x 120 panel of the scene in the host, at the top given.
void Show(CPanelTestHost& host, CPanel& panel, CScene& scene, float top = 0.0f)
{
    panel.SetScene(&scene);
    panel.Measure();
    panel.CreateNativeWindow(host);
    panel.SetBounds(CRectF(0.0f, top, 160.0f, top + 120.0f));
}

// The panel's Direct3D 11 renderer once a frame has built the scene's meshes; null when none does.
CDirect3D11Renderer* Direct3D11Frame(CPanel& panel)
{
    CDirect3D11Renderer* renderer = nullptr;
    PumpUntil([&] {
        renderer = dynamic_cast<CDirect3D11Renderer*>(panel.renderTarget);
        return renderer && renderer->GetCachedMeshCount() > 0;
    });
    return renderer && renderer->GetCachedMeshCount() > 0 ? renderer : nullptr;
}

bool FallsBack(CPanel& panel)
{
    return PumpUntil([&] { return dynamic_cast<CFallbackRenderTarget*>(panel.renderTarget) != nullptr; });
}

// "inputs > outputs | resources" of a blob, read back by the compiler's reflection; a constant buffer with its
// variables in brackets, the resources sorted.
std::string Reflect(const CDirect3D11ShaderBlob& blob)
{
    typedef HRESULT(WINAPI * PReflect)(const void*, SIZE_T, REFIID, void**);
    static HMODULE compiler = LoadLibraryW(L"d3dcompiler_47.dll");
    auto reflect = reinterpret_cast<PReflect>(reinterpret_cast<void*>(GetProcAddress(compiler, "D3DReflect")));
    // The interface of d3dcompiler_47.
    const GUID reflectionId = {0x8d536ca1, 0x0cca, 0x4956, {0xa8, 0x37, 0x78, 0x69, 0x63, 0x75, 0x55, 0x84}};
    ID3D11ShaderReflection* reflection = nullptr;
    if (!reflect || FAILED(reflect(blob.bytes, blob.size, reflectionId,
                                   reinterpret_cast<void**>(&reflection))))
        return "no reflection";
    D3D11_SHADER_DESC shader = {};
    reflection->GetDesc(&shader);
    std::string text;
    D3D11_SIGNATURE_PARAMETER_DESC parameter = {};
    for (UINT i = 0; i < shader.InputParameters && SUCCEEDED(reflection->GetInputParameterDesc(i, &parameter)); ++i)
        text += parameter.SemanticName + std::string(" ");
    text += ">";
    for (UINT i = 0; i < shader.OutputParameters && SUCCEEDED(reflection->GetOutputParameterDesc(i, &parameter)); ++i)
        text += std::string(" ") + parameter.SemanticName;
    std::vector<std::string> resources;
    D3D11_SHADER_INPUT_BIND_DESC bound = {};
    for (UINT i = 0; i < shader.BoundResources && SUCCEEDED(reflection->GetResourceBindingDesc(i, &bound)); ++i) {
        std::string name = bound.Name;
        if (bound.Type == D3D_SIT_CBUFFER) {
            ID3D11ShaderReflectionConstantBuffer* buffer = reflection->GetConstantBufferByName(bound.Name);
            D3D11_SHADER_BUFFER_DESC description = {};
            buffer->GetDesc(&description);
            for (UINT v = 0; v < description.Variables; ++v) {
                D3D11_SHADER_VARIABLE_DESC variable = {};
                buffer->GetVariableByIndex(v)->GetDesc(&variable);
                name += "(" + std::string(variable.Name) + ")";
            }
        }
        resources.push_back(name + "@" + std::to_string(bound.BindPoint));
    }
    std::sort(resources.begin(), resources.end());
    text += " |";
    for (const std::string& resource : resources)
        text += " " + resource;
    reflection->Release();
    return text;
}

struct Direct3D11 : testing::Test
{
    static void SetUpTestSuite()
    {
        CTestSettingsKey key;
        probed = CDirect3D11GraphicsSystem::Instance().IsUsable();
    }
    void SetUp() override
    {
        CGraphicsSystemTestAccess::ResetRun();
        ASSERT_TRUE(probed);
    }
    void TearDown() override { ASSERT_EQ(0, CDirect3D11GraphicsSystem::Instance().GetCurrentError()); }

    static inline bool probed = false;
    CDirect3D11GraphicsSystem& system = CDirect3D11GraphicsSystem::Instance();
    CTestSettingsKey key;
};

}  // namespace

TEST(Direct3D11Shaders, TheCommittedBlobsTakeAndGiveWhatTheRendererBindsByName)
{
    const char* expected[8] = {
        "POSITION > SV_POSITION | VSConstants(transform)@0",
        "SV_POSITION > SV_TARGET | PSConstants(color)@0",
        "POSITION TEXCOORDS > SV_POSITION TEXCOORDS | VSConstants(transform)@0",
        "SV_POSITION TEXCOORDS > SV_TARGET | PSConstants(color)@0 colorTexture@0 linearSampler@0",
        "POSITION COLOR > SV_POSITION COLOR | VSConstants(transform)@0",
        "SV_POSITION COLOR > SV_TARGET |",
        "POSITION COLOR TEXCOORDS > SV_POSITION COLOR TEXCOORDS | VSConstants(transform)@0",
        "SV_POSITION COLOR TEXCOORDS > SV_TARGET | colorTexture@0 linearSampler@0",
    };
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(expected[i], Reflect(kDirect3D11ShaderBlobs[i])) << i;
}

TEST(Direct3D11Failures, ResultsMapToSeverities)
{
    const std::pair<uint32_t, int> cases[] = {
        {0x887A0005, 1}, {0x887A0007, 1}, {0x887A000A, 1}, {0x887A000B, 1}, {0x887A000C, 1},
        {0x887A0022, 1}, {0x8007000E, 2}, {0x8876017C, 2}, {0x80070057, 3}, {0x887A0001, 3},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.second, CDirect3D11Renderer::SeverityOf(HRESULT(c.first))) << std::hex << c.first;
}

TEST_F(Direct3D11, TheProbeTakesTheFormatAndSamplesWineOffersAndAPictureComesBackUprightAsGdiDrawsIt)
{
    // Wine's device does not report R8G8B8A8 for display, and multisamples 4 but not 8 times: the
    // B8G8R8A8 buffers and the resolve step are the paths taken here.
    EXPECT_EQ(DXGI_FORMAT_B8G8R8A8_UNORM, CDirect3D11Renderer::s_bufferFormat);
    EXPECT_EQ(4u, CDirect3D11Renderer::s_sampleCount);
    EXPECT_EQ(0, system.GetRank());

    CShapesScene scene;
    const CPixelBitmap d3d = RenderThrough(system, scene);
    EXPECT_EQ(kRed, d3d.GetPixel(30, 20));
    EXPECT_EQ(kBlue, d3d.GetPixel(120, 80));
    EXPECT_EQ(0xFF000000u, d3d.GetPixel(80, 115));
    EXPECT_EQ(kBlue, d3d.GetPixels()[(119 - 80) * 160 + 120]);
    EXPECT_GE(160 * 120 / 100, CountDifferences(d3d, RenderThrough(CGdiGraphicsSystem::Instance(), scene)));
    EXPECT_GE(160 * 120 / 100, CountDifferences(d3d, RenderThrough(COpenGL1GraphicsSystem::Instance(), scene)));

    // Two tiles of the full picture put side by side give the picture.
    CPixelBitmap tiled(160.0f, 120.0f);
    for (int x : {0, 80}) {
        CPixelBitmap tile(80.0f, 120.0f);
        system.RenderOffscreenGuarded(scene, tile, 160.0f, 120.0f, float(x), 0.0f);
        tiled.CopyRect(tile, 0, 0, x, 0, 80, 120);
    }
    EXPECT_GE(8, CountDifferences(d3d, tiled));

    // No texture without pixels: the library would refuse it, and that would fail the system.
    CPixelBitmap empty(0.0f, 10.0f);
    EXPECT_EQ(0, CountReports([&] { system.RenderOffscreenGuarded(scene, empty, 0.0f, 10.0f, 0.0f, 0.0f); }));
}

TEST_F(Direct3D11, ImagesBlendedFacesShadedAndMoreThan65536VerticesDrawAsGdiDrawsThem)
{
    CFunctionDrawable flat = FilledRect(CRectF(10.0f, 10.0f, 60.0f, 40.0f), kRed);
    CFunctionDrawable box = Box(CBox3(70.0f, 90.0f, -40.0f, -20.0f, 0.0f, 20.0f));
    // A 5 x 3 image (mip levels down to 1 x 1), blue with a red corner and a half-transparent pixel: an upside-down
    // or mirrored texture shows against GDI's picture.
    CPixelBitmap picture(5.0f, 3.0f);
    std::fill(picture.GetPixels().begin(), picture.GetPixels().end(), kBlue);
    picture.SetPixel(4, 2, kRed);
    picture.SetPixel(1, 0, 0x80FFFFFF);
    CFunctionDrawable image([&picture](CGraphicsContext& context) {
        context.DrawBitmap(picture, CRectF(100.0f, 10.0f, 150.0f, 40.0f));
    });
    // 1 x 1 squares in columns of red and blue: 76,800 vertices in one drawable.
    CFunctionDrawable squares([](CGraphicsContext& context) {
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 160; ++x)
                FillRect(context, CRectF(float(x), float(y), x + 1.0f, y + 1.0f), x % 2 ? kRed : kBlue, 1);
    });
    CScene scene(true, 3);
    scene.items = {&flat, &box, &image};
    scene.is3D = {false, true, false};
    const CPixelBitmap gdi = RenderThrough(CGdiGraphicsSystem::Instance(), scene);
    const CPixelBitmap d3dImage = RenderThrough(system, scene);
    EXPECT_GE(160 * 120 / 100, CountDifferences(d3dImage, gdi));
    EXPECT_EQ(kRed, d3dImage.GetPixel(145, 35));
    EXPECT_EQ(kBlue, d3dImage.GetPixel(145, 15));
    CScene many(true, 1);
    many.items = {&squares};
    many.all3D = true;
    const CPixelBitmap d3d = RenderThrough(system, many);
    EXPECT_EQ(kBlue, d3d.GetPixel(0, 119));
    EXPECT_EQ(kRed, d3d.GetPixel(159, 0));
    EXPECT_GE(160 * 120 / 100, CountDifferences(d3d, RenderThrough(CGdiGraphicsSystem::Instance(), many)));
}

TEST_F(Direct3D11, AWindowsFramesFollowItsSizeAndAFrameWithoutPixelsCallsNothing)
{
    CPanelTestHost host(60, 60, 220, 180);
    CShapesScene scene;
    CDirect3D11Renderer renderer;
    renderer.SetScene(&scene);
    renderer.SetViewport(160.0f, 120.0f);
    renderer.AttachToWindow(host.hwnd);
    EXPECT_EQ(0, CountReports([&] {
        for (float width : {160.0f, 0.0f, 200.0f}) {
            renderer.SetViewport(width, width * 0.75f);
            renderer.RenderScene();
        }
    }));
    EXPECT_TRUE(PumpUntil([&] {
        renderer.RenderScene();
        return ReadClientPixel(host.hwnd, 30, 20) == RGB(255, 0, 0) &&
               ReadClientPixel(host.hwnd, 170, 5) == RGB(0xC0, 0xD0, 0xE0);
    }));
    renderer.SetScene(nullptr);
    host.Destroy();
}

// A device removed is severity 1, stored once; the system then makes no further call and no further report.
CHILD_TEST(Direct3D11Errors, AFailingResultFailsTheSystemForTheRun)
{
    CTestSettingsKey key;
    CDirect3D11GraphicsSystem& system = CDirect3D11GraphicsSystem::Instance();
    if (!system.IsUsable())
        return 10;
    CShapesScene scene;
    if (CDirect3D11Renderer::CheckResult(HRESULT(0x887A0005)) || system.GetCurrentError() != 1 ||
        CSettings::GetInt(L"Direct3D11WorstError", -1) != 1 || ReportCount() != 1)
        return 11;
    CPixelBitmap untouched = RenderThrough(system, scene);
    return ReportCount() == 1 && untouched.GetPixel(30, 20) != CShapesScene::kRed ? 0 : 12;
}

// A real panel draws through Direct3D 11 until a fault inside the driver's clear: the system is failed for the
// run with worst error 3 and one crash log, and the panel goes on at once through a fall-back target (OpenGL 3 off
// screen).
CHILD_TEST(Direct3D11Errors, AFaultInTheDriverFailsTheSystemAndThePanelFallsBack)
{
    GetCrashLog().fileName = kTestCrashLogName;
    DeleteFileW(GetTestCrashLogPath().c_str());
    CTestSettingsKey key;
    CSettings::SetInt(L"GraphicsClass", 3);
    CGraphicsSystemTestAccess::ResetRun();
    CDirect3D11GraphicsSystem& system = CDirect3D11GraphicsSystem::Instance();
    if (!system.IsUsable())
        return 10;
    CPanelTestHost host(60, 60, 200, 160);
    CShapesScene scene;
    CPanel panel(false, false);
    Show(host, panel, scene);
    CDirect3D11Renderer* const renderer = Direct3D11Frame(panel);
    if (!renderer || system.GetCurrentError() != 0)
        return 11;

    // The context's ClearRenderTargetView (slot 50 of its table) becomes code that reads address 0.
    void* driver = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_EXECUTE_READWRITE);
    PlaceReadAddressZero(driver);
    void** const methods = *reinterpret_cast<void***>(renderer->GetContext());
    void* const saved = SetSlot(methods, 50, driver);
    panel.Invalidate();
    PumpUntil([&] { return system.GetCurrentError() != 0; });
    SetSlot(methods, 50, saved);
    if (system.GetCurrentError() != 3 || CSettings::GetInt(L"Direct3D11WorstError", -1) != 3 || ReportCount() != 1 ||
        !FileExists(GetTestCrashLogPath()))
        return 12;

    // The panel paints again by itself, through the fall-back. Under Wine a child window that a swap chain
    // presented to shows no GDI pixels afterwards (its device context clips everything), so only the target and
    // the choice are looked at here.
    if (!FallsBack(panel))
        return 13;
    if (&GetGraphicsSystem(false) != &COpenGL3GraphicsSystem::Instance() || ReportCount() != 1)
        return 14;
    panel.SetScene(nullptr);
    host.Destroy();
    DeleteFileW(GetTestCrashLogPath().c_str());
    return 0;
}

// Unset, the class is Direct3D 11's for every view once its library is there. Neither that answer nor the choice
// loads the library; the first window prepared for the system makes the device.
CHILD_TEST(Direct3D11Choice, TheDefaultClassTakesDirect3D11AndItsProbeWaitsForTheFirstWindow)
{
    CTestSettingsKey key;
    CGraphicsSystemTestAccess::ResetRun();
    CDirect3D11GraphicsSystem& system = CDirect3D11GraphicsSystem::Instance();
    if (GetGraphicsClassSetting() != 3)
        return 10;
    if (&GetGraphicsSystem(false) != &system || system.GetAvailability() != 0 || system.IsRestricted())
        return 11;
    for (const wchar_t* library : {L"d3d11.dll", L"wined3d.dll", L"dxgi.dll"})
        if (GetModuleHandleW(library))
            return 12;
    CPanelTestHost host(60, 60, 200, 160);
    system.PrepareWindowGuarded(host.hwnd, false);
    if (system.GetAvailability() != 3 || !GetModuleHandleW(L"d3d11.dll") || system.GetCurrentError() != 0)
        return 13;
    // The class taken is the stored one (none): nothing is written.
    if (HasTestSettingsValue(L"GraphicsClass") || HasTestSettingsValue(L"GraphicsSystemMenuItemVisible"))
        return 14;
    host.Destroy();
    return ReportCount() == 0 ? 0 : 15;
}

// A first start makes one device before its first picture: the probe's goes on to the first window that draws.
// A second window makes its own, and so does the off-screen renderer when it next draws, its pictures unchanged.
CHILD_TEST(Direct3D11Choice, TheFirstWindowDrawsWithTheProbesDevice)
{
    CTestSettingsKey key;
    CGraphicsSystemTestAccess::ResetRun();
    CDirect3D11GraphicsSystem& system = CDirect3D11GraphicsSystem::Instance();
    CPanelTestHost host(60, 60, 200, 320);
    CShapesScene scene;
    CPanel first(false, false);
    CPanel second(false, false);
    CPanel* const panels[] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        Show(host, *panels[i], scene, 160.0f * i);
        if (!Direct3D11Frame(*panels[i]) || CDirect3D11Renderer::GetDevicesMade() != i + 1)
            return 10 + i;
    }
    if (CDirect3D11Renderer::GetOffscreenRenderer().GetDevice())
        return 12;
    const CPixelBitmap picture = RenderThrough(system, scene);
    if (CDirect3D11Renderer::GetDevicesMade() != 3 || picture.GetPixel(30, 20) != kRed ||
        picture.GetPixel(120, 80) != kBlue)
        return 13;
    for (CPanel* panel : panels)
        panel->SetScene(nullptr);
    host.Destroy();
    return ReportCount() == 0 && system.GetCurrentError() == 0 ? 0 : 14;
}

namespace {

// A start's first window takes the device made ahead: the library is loaded before anything probes, the probe
// waits for that device instead of making one, and the window draws with it, still the only device. With a fault
// inside the library while that device is made, only that thread's call ends: the probe answers false, the system
// is failed with worst error 3 and one crash log, and the first window draws through the next class.
int DrawWithTheDeviceMadeAhead(bool fault)
{
    GetCrashLog().fileName = kTestCrashLogName;
    DeleteFileW(GetTestCrashLogPath().c_str());
    CTestSettingsKey key;
    CGraphicsSystemTestAccess::ResetRun();
    CDirect3D11GraphicsSystem& system = CDirect3D11GraphicsSystem::Instance();
    if (fault) {
        // The library's entry point becomes code that reads address 0.
        void* const entry = reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"d3d11.dll"), "D3D11CreateDevice"));
        DWORD protection = 0;
        if (!entry || !VirtualProtect(entry, 16, PAGE_EXECUTE_READWRITE, &protection))
            return 10;
        PlaceReadAddressZero(entry);
    }
    PrepareViewSystemAhead();
    if (!fault &&
        (!PumpUntil([] { return GetModuleHandleW(L"d3d11.dll") != nullptr; }) || system.GetAvailability() != 0))
        return 10;
    CPanelTestHost host(60, 60, 200, 160);
    CShapesScene scene;
    CPanel panel(false, false);
    Show(host, panel, scene);
    const bool drawn = fault ? FallsBack(panel) : Direct3D11Frame(panel) != nullptr;
    panel.SetScene(nullptr);
    host.Destroy();
    const bool crashLogged = FileExists(GetTestCrashLogPath());
    DeleteFileW(GetTestCrashLogPath().c_str());
    if (!drawn)
        return 11;
    if (CDirect3D11Renderer::GetDevicesMade() != (fault ? 0 : 1) ||
        CDirect3D11Renderer::GetOffscreenRenderer().GetDevice())
        return 12;
    if (system.GetCurrentError() != (fault ? 3 : 0) || ReportCount() != (fault ? 1 : 0) || crashLogged != fault)
        return 13;
    if (fault && (system.GetAvailability() != 2 || CSettings::GetInt(L"Direct3D11WorstError", -1) != 3 ||
                  &GetGraphicsSystem(false) != &COpenGL3GraphicsSystem::Instance()))
        return 14;
    return 0;
}

// Stands for a library that refuses a call shaped (object, what, description, made).
HRESULT WINAPI Refuse(void*, void*, const void*, void** made)
{
    *made = nullptr;
    return E_FAIL;
}

// The first window's swap chain and first frame are where presenting and drawing are first tried: a window of the
// shapes on a start with no class stored, the library refusing the factory's CreateSwapChain (slot 10) or the
// device's CreateRenderTargetView (slot 9) for every device, is painted at once through the next class, as when
// the probe finds the system unusable, and the system fails.
int PaintWithRefusal(bool swapChain)
{
    CTestSettingsKey key;
    CGraphicsSystemTestAccess::ResetRun();
    auto create = reinterpret_cast<PFN_D3D11_CREATE_DEVICE>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryW(L"d3d11.dll"), "D3D11CreateDevice")));
    ID3D11Device* device = nullptr;
    if (!create || FAILED(create(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr, 0, nullptr, 0, 7, &device, nullptr,
                                 nullptr)))
        return 10;
    void* refused = device;
    if (swapChain) {
        IDXGIDevice* dxgiDevice = nullptr;
        IDXGIAdapter* adapter = nullptr;
        if (FAILED(device->QueryInterface(__uuidof(IDXGIDevice), reinterpret_cast<void**>(&dxgiDevice))) ||
            FAILED(dxgiDevice->GetAdapter(&adapter)) ||
            FAILED(adapter->GetParent(__uuidof(IDXGIFactory), &refused)))
            return 11;
    }
    SetSlot(*static_cast<void***>(refused), swapChain ? 10 : 9, reinterpret_cast<void*>(&Refuse));
    CPanelTestHost host(60, 60, 200, 160);
    CShapesScene scene;
    CPanel panel(false, false);
    Show(host, panel, scene);
    const bool shown = PumpUntil([&] { return ReadClientPixel(panel.hwnd, 30, 20) == RGB(255, 0, 0); });
    const int error = CDirect3D11GraphicsSystem::Instance().GetCurrentError();
    panel.SetScene(nullptr);
    host.Destroy();
    return shown && error == 3 ? 0 : 12;
}

}  // namespace

CHILD_TEST(Direct3D11Choice, TheDeviceMadeAheadGoesToTheFirstWindow) { return DrawWithTheDeviceMadeAhead(false); }
CHILD_TEST(Direct3D11Choice, AFaultWhileTheDeviceIsMadeAheadFailsTheSystemAndTheWindowFallsBack)
{
    return DrawWithTheDeviceMadeAhead(true);
}
CHILD_TEST(Direct3D11Errors, AWindowWhoseSwapChainIsRefusedIsPaintedThroughTheNextClass)
{
    return PaintWithRefusal(true);
}
CHILD_TEST(Direct3D11Errors, AWindowWhoseFirstFrameIsRefusedIsPaintedThroughTheNextClass)
{
    return PaintWithRefusal(false);
}
