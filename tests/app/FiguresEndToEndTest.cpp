#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "dialogs/FigureDlg.h"
#include "foundation/Settings.h"
#include "objects/annotations/DogFigure.h"
#include "objects/annotations/DogShape.h"
#include "objects/annotations/FigureModel.h"
#include "objects/annotations/HumanShape.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// Dog and handler figures in the real program: placed from the shape
// toolbar, seen in the map and in 3D, saved, closed and reopened.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kView3DCommand = 2148;
constexpr int kWholeCourseAngled = 2664;
constexpr int kZoomIn = 2650;

struct CShot
{
    std::vector<COLORREF> pixels;
    int width = 0;
    int height = 0;

    COLORREF At(POINT p) const { return pixels[size_t(p.y) * size_t(width) + size_t(p.x)]; }
};

CShot Grab(const CWindowParts& parts)
{
    PumpMessagesFor(1500);
    CShot shot;
    shot.width = parts.view.right - parts.view.left;
    shot.height = parts.view.bottom - parts.view.top;
    shot.pixels = GrabScreen(parts.view);
    return shot;
}

void Keep(const CShot& shot, const std::wstring& path)
{
    static CGdiplusSession gdiplus;
    CPixelBitmap bitmap{float(shot.width), float(shot.height)};
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            bitmap.SetPixel(x, y, 0xFF000000u | shot.At(POINT{x, y}));
    SaveImage(bitmap, path, nullptr);
}

// Pixels within the view rectangle that are not the background.
int CountFigurePixels(const CShot& shot, RECT r, COLORREF background)
{
    int count = 0;
    for (LONG y = std::max(0L, r.top); y < std::min(LONG(shot.height), r.bottom); ++y)
        for (LONG x = std::max(0L, r.left); x < std::min(LONG(shot.width), r.right); ++x)
            count += shot.At(POINT{x, y}) != background;
    return count;
}

// A held camera button acts for as long as it is held.
void Hold(POINT at, DWORD milliseconds)
{
    SetCursorPos(at.x, at.y);
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    PumpMessagesFor(milliseconds);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
    PumpMessagesFor(300);
}

// The object's bounding rectangle in the view's pixels.
RECT ViewRect(const CViewMap& map, const CWindowParts& parts, const CCourseObject& object)
{
    const CRectF r = object.GetBoundingRect();
    const POINT a = map.ToScreen({r.left, r.top}), b = map.ToScreen({r.right, r.bottom});
    return RECT{a.x - parts.view.left, a.y - parts.view.top, b.x - parts.view.left, b.y - parts.view.top};
}

// The handle marker (red on black) just above the lowest one of a panel of
// the program's: the knee above the paw of the leg nearest the viewer, in
// screen coordinates; (-1, -1) when none shows.
POINT FindKneeMarker(HWND panel)
{
    RECT r;
    GetWindowRect(panel, &r);
    const std::vector<COLORREF> pixels = GrabScreen(r);
    const LONG width = r.right - r.left;
    std::vector<POINT> red;
    for (LONG y = 0; y < r.bottom - r.top; ++y)
        for (LONG x = 0; x < width; ++x) {
            const COLORREF c = pixels[size_t(y) * size_t(width) + size_t(x)];
            if (GetRValue(c) > 200 && GetGValue(c) < 60 && GetBValue(c) < 60)
                red.push_back(POINT{x, y});
        }
    if (red.empty())
        return POINT{-1, -1};
    const POINT paw = red.back();
    POINT knee = {-1, -1};
    for (const POINT& p : red)
        if (p.y < paw.y - 8 && std::abs(p.x - paw.x) < 30)
            knee = p;
    // The bottom tip of its diamond: the middle lies a few pixels above.
    return knee.x < 0 ? knee : POINT{r.left + knee.x, r.top + knee.y - 3};
}

RECT Grown(RECT r, int by) { return RECT{r.left - by, r.top - by, r.right + by, r.bottom + by}; }

}  // namespace

TEST(FiguresProgram, PlacedSeenInTheMapAndIn3DSavedAndReopened)
{
    PrepareProgramSettings(kOrganisation);
    // Placed without their windows: the walk below opens the dog's.
    SetProgramInt(L"80EditOnCreate", 0);
    SetProgramInt(L"130EditOnCreate", 0);
    CProgramProcess program;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"figures", L"Figures.agl", driven));
    const CWindowParts& parts = driven.parts;
    // Both figures either side of the grid line through the view's centre,
    // in the middle of their cells, away from the other lines.
    const float cell = 1200.0f;
    const float cx = std::round(float((parts.view.left + parts.view.right) / 2 - driven.map.origin.x) /
                                driven.map.scale / cell) * cell;
    const float cy = std::round(float((parts.view.top + parts.view.bottom) / 2 - driven.map.origin.y) /
                                driven.map.scale / cell) * cell - cell / 2.0f;
    Click(ShapeButton(parts, CDogShape::kNameTextId, kOrganisation));
    Click(driven.map.ToScreen({cx - 300.0f, cy}));
    Click(ShapeButton(parts, CHumanShape::kNameTextId, kOrganisation));
    Click(driven.map.ToScreen({cx + 300.0f, cy}));
    PumpMessagesFor(500);
    CCourse saved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(driven.path, saved));
    ASSERT_EQ(2u, saved.GetObjectCount());
    const CDogShape* dog = nullptr;
    const CHumanShape* handler = nullptr;
    for (CCourseObject* object : saved.GetObjects()) {
        dog = dog ? dog : dynamic_cast<const CDogShape*>(object);
        handler = handler ? handler : dynamic_cast<const CHumanShape*>(object);
    }
    ASSERT_TRUE(dog && handler);
    EXPECT_TRUE(dog->GetModel().IsSamePose(dog->GetModel().GetPreset(2365)));
    EXPECT_TRUE(handler->GetModel().IsSamePose(handler->GetModel().GetPreset(2440)));

    // The map: each figure drawn within its bounds, the ring's background
    // just around them.
    const std::wstring pictures = MakeTempFolder(L"FigurePictures");
    const CShot map = Grab(parts);
    Keep(map, pictures + L"\\figures-map.png");
    for (const CCourseObject* figure : {static_cast<const CCourseObject*>(dog), static_cast<const CCourseObject*>(handler)}) {
        const RECT inside = ViewRect(driven.map, parts, *figure);
        const COLORREF background = map.At(POINT{inside.left - 3, inside.top - 3});
        const int within = CountFigurePixels(map, inside, background);
        EXPECT_GT(within, (inside.right - inside.left) * (inside.bottom - inside.top) / 8) << figure->GetLayer();
        EXPECT_EQ(within, CountFigurePixels(map, Grown(inside, 3), background)) << figure->GetLayer();
        EXPECT_EQ(COLORREF(figure->GetPrimaryColor() & 0xFFFFFF),
                  map.At(POINT{(inside.left + inside.right) / 2, (inside.top + inside.bottom) / 2}));
    }
    Hold(CameraButton(parts, kZoomIn), 1500);
    Keep(Grab(parts), pictures + L"\\figures-map-near.png");

    // 3D, switched to after the first paint: the lit, textured figures on
    // the grass, where the map had only the ring.
    PostMessageW(driven.frame, WM_COMMAND, MAKEWPARAM(kView3DCommand, 0), 0);
    PumpMessagesFor(1000);
    Click(CameraButton(parts, kWholeCourseAngled));
    Hold(CameraButton(parts, kZoomIn), 1000);
    const CShot view = Grab(parts);
    Keep(view, pictures + L"\\figures-3d.png");
    int notGrass = 0;
    const RECT middle = {view.width / 4, view.height / 4, view.width * 3 / 4, view.height * 3 / 4};
    for (LONG y = middle.top; y < middle.bottom; ++y)
        for (LONG x = middle.left; x < middle.right; ++x) {
            const COLORREF c = view.At(POINT{x, y});
            notGrass += GetGValue(c) <= GetRValue(c) + 8 || GetGValue(c) <= GetBValue(c) + 8;
        }
    EXPECT_GT(notGrass, 400);

    // Closed and reopened, both come back the same.
    program.CloseCourseWindows();
    PressMessageBoxButton(program, IDNO);
    ASSERT_EQ(0, program.WaitForExit(kWait));
    CProgramProcess again;
    const HWND frame = StartAndWaitUntilReady(again, Quoted(driven.path), Caption(L"Figures.agl"));
    ASSERT_TRUE(frame);
    CCourse reopened(L"", L"");
    ASSERT_TRUE(CopyWholeCourse(frame, reopened));
    EXPECT_EQ(RecordsOf(saved), RecordsOf(reopened));
    again.CloseCourseWindows();
    EXPECT_EQ(0, again.WaitForExit(kWait));
}

// The dog's tool with a 3D class opens the dog's window: a knee dragged in
// the large preview, seen from the side, gives the dog placed next that
// pose, which is saved and stored as the pose of the next dogs.
TEST(FiguresProgram, APlacedDogTakesTheLegDraggedInItsWindow)
{
    PrepareProgramSettings(kOrganisation);
    CProgramProcess program;
    program.graphicsClass = 1;
    CDrivenCourse driven;
    ASSERT_TRUE(StartMappedEmptyCourse(program, L"dogwindow", L"DogWindow.agl", driven));
    Click(ShapeButton(driven.parts, CDogShape::kNameTextId, kOrganisation));
    HWND window = nullptr;
    std::vector<HWND> panels;
    for (const DWORD start = GetTickCount(); !window && GetTickCount() - start < kWait; PumpMessagesFor(50))
        for (HWND dialog : program.FindWindows(L"#32770")) {
            panels.clear();
            for (const CDialogChild& child : ListDialogChildren(dialog))
                if (child.className == L"CPanel")
                    panels.push_back(child.window);
            if (panels.size() == 5)
                window = dialog;
        }
    ASSERT_TRUE(window);
    RECT side;
    GetWindowRect(panels[1], &side);
    Click(POINT{(side.left + side.right) / 2, (side.top + side.bottom) / 2});
    PumpMessagesFor(700);
    const POINT knee = FindKneeMarker(panels[4]);
    ASSERT_GE(knee.x, 0);
    Drag(knee, POINT{knee.x + 50, knee.y - 40});
    PumpMessagesFor(700);
    const std::wstring pictures = MakeTempFolder(L"FigurePictures");
    EXPECT_TRUE(SaveScreenPicture(window, pictures + L"\\dog-window-dragged.png"));
    PressDialogButton(window, IDOK);
    ASSERT_TRUE(WaitUntilGone(window));
    Click(ViewPoint(driven.parts, 0.5f, 0.5f));
    PumpMessagesFor(300);

    CCourse saved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(driven.path, saved));
    ASSERT_EQ(1u, saved.GetObjectCount());
    const auto* dog = dynamic_cast<const CDogShape*>(OnlyObject(saved));
    ASSERT_TRUE(dog);
    EXPECT_FALSE(dog->GetModel().IsSamePose(dog->GetModel().GetPreset(2365)));
    CSettings::Open(L"Software\\Norvane\\Fendrel 4");
    CDogFigure stored(nullptr);
    CFigureDlg::ReadPose(stored, CSettings::GetString(L"80Pose", std::string()));
    EXPECT_TRUE(stored.IsSamePose(dog->GetModel()));
    program.CloseCourseWindows();
    PressMessageBoxButton(program, IDNO);
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
