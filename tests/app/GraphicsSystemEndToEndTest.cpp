#include <gtest/gtest.h>

#include <windows.h>

#include <sstream>
#include <vector>

#include "app/CourseScene.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsSystem.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/DialogDriver.h"

using namespace programtest;

namespace {

constexpr DWORD kMissing = 0xFFFFFFFF;

// Types "<first>r" into the view, or posts the command; the program's dialog once ready, or null.
HWND OpenDialog(const CProgramProcess& program, HWND frame, wchar_t first)
{
    if (first) {
        Click(ViewPoint(FindParts(frame), 0.5f, 0.9f));
        cwtest::TypeChar(first);
        cwtest::TypeChar(L'r');
    } else {
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2225, 0), 0);
    }
    const std::vector<HWND> dialogs = program.WaitForWindows(L"#32770", 1, kWait);
    const auto findOk = [](HWND dialog) { return FindChildByText(dialog, GetString(2015)); };
    return !dialogs.empty() && WaitForControl(dialogs[0], findOk) ? dialogs[0] : nullptr;
}

// The program's crash log: the same folder as this process's, under the program's file name.
std::string ProgramCrashLogPath()
{
    CCrashLog& log = GetCrashLog();
    const std::string own = log.fileName;
    log.fileName = "Fendrel4CrashLog.txt";
    const std::string path = log.GetLogPath();
    log.fileName = own;
    return path;
}

// The strong blue of the columns [left, right) of a picture (the A-frame's on
// the left, the tunnel's on the right): its count and centre.
struct CBlueSpot
{
    int count = 0;
    float x = 0.0f;
    float y = 0.0f;
};

template <typename ReadColor>
CBlueSpot FindBlue(int left, int right, int height, ReadColor read)
{
    CBlueSpot spot;
    for (int y = 0; y < height; ++y)
        for (int x = left; x < right; ++x) {
            const COLORREF c = read(x, y);
            if (GetBValue(c) > 120 && GetRValue(c) < 60 && GetGValue(c) < 60) {
                ++spot.count;
                spot.x += float(x);
                spot.y += float(y);
            }
        }
    if (spot.count) {
        spot.x /= float(spot.count);
        spot.y /= float(spot.count);
    }
    return spot;
}

// The view's pixels once a second has passed without a change (a first 3D
// frame may take seconds on a loaded machine).
std::vector<COLORREF> WaitUntilStill(const CWindowParts& parts)
{
    std::vector<COLORREF> now = GrabScreen(parts.view), before;
    for (DWORD start = GetTickCount(); before != now && GetTickCount() - start < kWait; now = GrabScreen(parts.view))
        before = now, PumpMessagesFor(1000);
    return now;
}

// Keeps a screenshot of the view as a PNG among the test's artefacts.
void KeepPicture(const std::vector<COLORREF>& pixels, int width, int height, const std::wstring& name)
{
    CPixelBitmap shot{float(width), float(height)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            shot.SetPixel(x, y, 0xFF000000u | pixels[size_t(y) * size_t(width) + size_t(x)]);
    SaveImage(shot, GetTestArtefactPath(L"ThreeDView-" + name + L".png"), nullptr);
}

// The course of the listing shown in the program's 3D view from straight
// above, against GDI's off-screen picture of the same scene: the blue of the
// A-frame (left) and the tunnel (right) where GDI puts it; the A-frame's apex
// stands higher, so perspective moves it a little. Both pictures are kept
// under the name; the tunnel's spot on the screen comes back.
CBlueSpot CompareThreeDViewWithGdi(HWND frame, const std::string& listing, const std::wstring& name)
{
    // Each step waits until the view shows it: a loaded machine may take seconds.
    const CWindowParts map = FindParts(frame);
    const std::vector<COLORREF> mapPixels = GrabScreen(map.view);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2148, 0), 0);
    WaitForRepaint(map, mapPixels);
    const CWindowParts parts = FindParts(frame);
    EXPECT_TRUE(parts.found);
    const std::vector<COLORREF> angled = WaitUntilStill(parts);
    // The pointer comes to the button from the view, as a hand's would: a run before left it on the button,
    // and a click without a move there is not taken.
    SetCursorPos(parts.view.left + 10, parts.view.top + 10);
    PumpMessagesFor(200);
    Click(CameraButton(parts, 2662));
    const int width = parts.view.right - parts.view.left;
    const int height = parts.view.bottom - parts.view.top;
    WaitForRepaint(parts, angled);
    const std::vector<COLORREF> screen = WaitUntilStill(parts);

    CCourse course(L"", L"");
    std::istringstream block(listing);
    EXPECT_TRUE(course.ReadTextBlock(block, false));
    course.Set3D(true);
    CViewCamera camera = course.GetViewCamera();
    camera.FitWholeCourse(true);
    course.SetViewCamera(camera);
    CCourse3DScene scene(&course);
    scene.SetMapMode(false);
    scene.FitView(float(width), float(height), 0.0f, 0.0f);
    CPixelBitmap gdi{float(width), float(height)};
    RenderSceneToBitmap(scene, gdi, true);
    CGdiplusSession gdiplus;
    KeepPicture(screen, width, height, name + L"-above");
    SaveImage(gdi, GetTestArtefactPath(L"ThreeDView-gdi-above.png"), nullptr);

    const auto onScreen = [&](int x, int y) { return screen[size_t(y) * size_t(width) + size_t(x)]; };
    const auto inBitmap = [&](int x, int y) { return COLORREF(gdi.GetPixel(x, y) & 0xFFFFFF); };
    CBlueSpot tunnel;
    for (const int half : {0, 1}) {
        const int left = half * width / 2;
        const int right = left + width / 2;
        const CBlueSpot shown = FindBlue(left, right, height, onScreen);
        const CBlueSpot drawn = FindBlue(left, right, height, inBitmap);
        EXPECT_GT(drawn.count, 100) << half;
        EXPECT_NEAR(drawn.count, shown.count, drawn.count * 0.4f) << half;
        EXPECT_NEAR(drawn.x, shown.x, 8.0f) << half;
        EXPECT_NEAR(drawn.y, shown.y, 8.0f) << half;
        tunnel = shown;
    }
    return tunnel;
}

const char kRingListing[] = "Begin Fendrel\r\nVersion 3\r\nDimensions 100 80\r\nAFrame 30 20 0 x\r\n"
                            "WingedJump 50 40 0\r\nTunnel 70 40 0\r\nWeavePoles 20 60 0\r\nEnd Fendrel\r\n";

// A view whose window was minimised and restored (nothing smaller than a
// pixel is drawn), then the program closed without saving: it ends cleanly.
void MinimiseRestoreAndQuit(CProgramProcess& program, HWND frame)
{
    ShowWindow(frame, SW_MINIMIZE);
    PumpMessagesFor(500);
    ShowWindow(frame, SW_RESTORE);
    PumpMessagesFor(500);
    program.CloseCourseWindows();
    PressMessageBoxButton(program, IDNO);
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

}  // namespace

// The 3D view through OpenGL 1 in the real program: the picture GDI draws of
// the same scene seen from straight above, picking and dragging, undo back to
// the saved bytes, the sky from the handler's eye, and a minimised window
// that costs the system nothing.
TEST(Program, ThreeDViewDrawsThroughOpenGL1AndEditsAsTheMapDoes)
{
    PrepareProgramSettings(1);
    DeleteProgramValue(L"OpenGL1WorstError");
    const std::string crashLog = ProgramCrashLogPath();
    DeleteFileA(crashLog.c_str());
    const std::string listing = kRingListing;
    const std::wstring path = MakeTempFolder(L"ThreeDView") + L"\\Ring3D.agl";
    filetest::WriteBytes(path, listing);

    CProgramProcess program;
    program.graphicsClass = 1;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Ring3D.agl"));
    ASSERT_TRUE(frame);
    const CBlueSpot tunnel = CompareThreeDViewWithGdi(frame, listing, L"opengl1");
    const CWindowParts parts = FindParts(frame);
    const int width = parts.view.right - parts.view.left;
    const int height = parts.view.bottom - parts.view.top;
    ASSERT_GT(tunnel.count, 0);

    // The tunnel picked and dragged; undone, the file is saved as before.
    ASSERT_TRUE(SaveAndWait(path));
    const std::string before = ReadWholeFile(path);
    const POINT grip = {parts.view.left + LONG(tunnel.x), parts.view.top + LONG(tunnel.y)};
    Drag(grip, POINT{grip.x - 80, grip.y + 60});
    ASSERT_TRUE(SaveAndWait(path));
    cwtest::KeyPress('Z', true);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(before, ReadWholeFile(path));

    // From the handler's eye the sky shows above the grass.
    Click(CameraButton(parts, 2668));
    PumpMessagesFor(1000);
    const std::vector<COLORREF> eye = GrabScreen(parts.view);
    KeepPicture(eye, width, height, L"opengl1-handler-eye");
    EXPECT_EQ(COLORREF(0xFDA889), eye[size_t(width / 2)]);
    const COLORREF grass = eye.back();
    EXPECT_GT(GetGValue(grass), GetBValue(grass));

    MinimiseRestoreAndQuit(program, frame);
    EXPECT_EQ(1u, ReadProgramInt(L"GraphicsClass", kMissing));
    EXPECT_EQ(kMissing, ReadProgramInt(L"OpenGL1WorstError", kMissing));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(crashLog.c_str()));
}

// The same view through Direct3D 11 and through OpenGL 3: as GDI draws it, minimised and restored without a
// failure, the class kept and OpenGL 3's version remembered where OpenGL 3 drew. Class 3 draws every view
// straight into its window; under Wine such a child window shows black on the screen (as it does for OpenGL),
// so its picture is taken through class 4, whose views are switched to 3D after a first paint through GDI and
// keep the fall-back target that shows Direct3D 11's off-screen picture. With Direct3D 11 switched off for the
// program (a DLL override in Wine's settings) class 3 falls to OpenGL 3, which is stored and shows the
// graphics-system menu item; so it does after a fault of Direct3D 11 in an earlier run.
TEST(Program, ThreeDViewDrawsThroughDirect3D11AndOpenGL3AsGdiDrawsItAndFallsBackWithoutDirect3D11)
{
    const struct
    {
        int graphicsClass;
        // The library disabled for the program, or null.
        const wchar_t* disabled;
        // Direct3D 11's worst error of earlier runs (0: none stored).
        DWORD worstError;
        // Empty: no picture.
        const wchar_t* picture;
        bool direct3D11Loaded;
        DWORD classAfter, menuItemAfter, highVersionAfter;
    } runs[] = {
        {3, nullptr, 0, L"", true, 3, kMissing, kMissing},
        {4, nullptr, 0, L"direct3d11", true, 4, kMissing, kMissing},
        {2, nullptr, 0, L"opengl3", false, 2, kMissing, 1},
        {3, L"d3d11", 0, L"direct3d11-off", false, 2, 1, 1},
        // A fault of an earlier run keeps Direct3D 11 out altogether.
        {3, nullptr, 3, L"direct3d11-failed-before", false, 2, 1, 1},
    };
    const wchar_t kOverrides[] = L"Software\\Wine\\AppDefaults\\Fendrel4.exe\\DllOverrides";
    const std::string crashLog = ProgramCrashLogPath();
    const std::wstring path = MakeTempFolder(L"ThreeDView3") + L"\\Ring3D.agl";
    for (const auto& run : runs) {
        SCOPED_TRACE(testing::Message() << run.graphicsClass << " " << (run.disabled ? "without Direct3D 11" : ""));
        filetest::WriteBytes(path, kRingListing);
        PrepareProgramSettings(1);
        // The map first, whatever the run before left as the view of new courses.
        for (const wchar_t* name : {L"Direct3D11WorstError", L"OpenGL3WorstError", L"OpenGL3HighVersionFound",
                                    L"OpenGL3LowVersionFound", L"GraphicsSystemMenuItemVisible", L"3D", L"3DCamera"})
            DeleteProgramValue(name);
        if (run.worstError)
            SetProgramInt(L"Direct3D11WorstError", run.worstError);
        DeleteFileA(crashLog.c_str());
        CProgramProcess program;
        program.graphicsClass = run.graphicsClass;
        // Wine's loader reads the program's own overrides when it starts: an empty value disables the library.
        if (run.disabled)
            RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, run.disabled, REG_SZ, L"", sizeof(wchar_t));
        const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Ring3D.agl"));
        if (run.disabled)
            RegDeleteKeyValueW(HKEY_CURRENT_USER, kOverrides, run.disabled);
        ASSERT_TRUE(frame);
        if (*run.picture) {
            EXPECT_GT(CompareThreeDViewWithGdi(frame, kRingListing, run.picture).count, 0);
        } else {
            PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2148, 0), 0);
            PumpMessagesFor(1000);
        }
        EXPECT_EQ(run.direct3D11Loaded, program.HasModule(L"d3d11.dll"));
        MinimiseRestoreAndQuit(program, frame);
        EXPECT_EQ(run.classAfter, ReadProgramInt(L"GraphicsClass", kMissing));
        EXPECT_EQ(run.menuItemAfter, ReadProgramInt(L"GraphicsSystemMenuItemVisible", kMissing));
        EXPECT_EQ(run.highVersionAfter, ReadProgramInt(L"OpenGL3HighVersionFound", kMissing));
        EXPECT_EQ(run.worstError ? run.worstError : kMissing, ReadProgramInt(L"Direct3D11WorstError", kMissing));
        EXPECT_EQ(kMissing, ReadProgramInt(L"OpenGL3WorstError", kMissing));
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(crashLog.c_str()));
    }
    DeleteProgramValue(L"Direct3D11WorstError");
}

TEST(Program, TypedSequencesAndTheHelpCommandOpenTheGraphicsAndDisplayDialogs)
{
    PrepareProgramSettings(1);
    // No class stored: Direct3D 11's (3) where its library loads, but an earlier run's failure of severity 2
    // leaves it only 3D views (4), which the first choice stores.
    DeleteProgramValue(L"GraphicsClass");
    SetProgramInt(L"Direct3D11WorstError", 2);
    CProgramProcess program;
    program.graphicsClass = CProgramProcess::kStoredClass;
    const HWND first = StartAndWaitUntilReady(program, L"", Caption(GetStringWithArg(2004, L"1")));
    ASSERT_TRUE(first);
    const DWORD storedValue = ReadProgramInt(L"GraphicsClass", kMissing);
    EXPECT_EQ(4u, storedValue);
    SetProgramInt(L"GraphicsSystemMenuItemVisible", 0);

    // "g r": the stored class ticked, every system offered here; Cancel stores only the visibility.
    HWND dialog = OpenDialog(program, first, L'g');
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetString(2384), GetWindowTextString(dialog));
    for (const auto& button : {std::pair<int, DWORD>{2388, 3}, {2391, 0}, {2392, 4}, {2389, 2}, {2390, 1}}) {
        const HWND radio = FindChildByCaption(dialog, GetString(button.first));
        ASSERT_TRUE(radio) << button.first;
        EXPECT_EQ(button.second == storedValue, IsButtonChecked(radio)) << button.first;
        EXPECT_TRUE(IsWindowEnabled(radio)) << button.first;
    }
    PressDialogButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(1u, ReadProgramInt(L"GraphicsSystemMenuItemVisible", kMissing));
    EXPECT_EQ(storedValue, ReadProgramInt(L"GraphicsClass", kMissing));

    // A new window's command: Direct3D 11 for every view chosen is stored, its failures forgotten.
    Click(ViewPoint(FindParts(first), 0.5f, 0.9f));
    cwtest::KeyPress('N', true);
    const HWND second = program.WaitForCaption(Caption(GetStringWithArg(2004, L"2")), kWait);
    ASSERT_TRUE(second);
    WaitUntilReady(program);
    dialog = OpenDialog(program, second, 0);
    ASSERT_TRUE(dialog);
    ClickControl(FindChildByCaption(dialog, GetString(2388)));
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(3u, ReadProgramInt(L"GraphicsClass", kMissing));
    EXPECT_EQ(0u, ReadProgramInt(L"Direct3D11WorstError", kMissing));

    // "c r": the display mode, off at first, ticked and confirmed.
    dialog = OpenDialog(program, second, L'c');
    ASSERT_TRUE(dialog);
    const HWND box = FindChildByCaption(dialog, L"Brisklane mode");
    ASSERT_TRUE(box);
    EXPECT_FALSE(IsButtonChecked(box));
    ClickControl(box);
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EXPECT_EQ(1u, ReadProgramInt(L"BrisklaneMode", kMissing));

    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
    DeleteProgramValue(L"BrisklaneMode");
}
