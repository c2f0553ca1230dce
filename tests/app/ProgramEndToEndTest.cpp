#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

#include "app/ShapeToolbar.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "objects/equipment/CollapsedTunnel.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/TunnelPolylineGeometry.h"
#include "foundation/Strings.h"
#include "graphics/GdiplusSession.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// The real program under Wine, driven from outside as a user would: mouse
// and keys through the system's input, files and the clipboard checked from
// this process. Settings go to the program's own key in the test prefix.
// Wine gives no access to another process's menus: the Undo caption that
// each of these steps leaves in the Edit menu is read in CourseWindowTest,
// where the same window is driven by the same input.

namespace {

const wchar_t kProgramKey[] = L"Software\\Norvane\\Fendrel 4";
constexpr int kOrganisation = 1;
constexpr DWORD kWait = 20000;
constexpr int kAFrameButton = 2526;

void SetProgramInt(const wchar_t* name, DWORD value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, name, REG_DWORD, &value, sizeof value);
}

// A 120 by 100 foot ring, imperial, 10-foot grid with labels; no hints.
void PrepareProgramSettings()
{
    SetProgramInt(L"SpecList", kOrganisation);
    SetProgramInt(L"Metric", 0);
    SetProgramInt(L"CourseWidth", 14400);
    SetProgramInt(L"CourseHeight", 12000);
    SetProgramInt(L"UsGridSpacing", 10);
    SetProgramInt(L"Background", 3);
    SetProgramInt(L"10EditOnCreate", 0);
    for (const wchar_t* hint : {L"NeverShow2704", L"NeverShow2705", L"NeverShow2707", L"NeverShow2708",
                                L"NeverShow2709", L"NeverShow2712", L"NeverShow2716"})
        SetProgramInt(hint, 1);
}

std::wstring Caption(const std::wstring& title) { return title + L" - " + GetString(2001); }
std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

struct CChild
{
    HWND window;
    std::wstring className;
    RECT rect;  // on the screen
};

BOOL CALLBACK CollectChild(HWND window, LPARAM param)
{
    if (!IsWindowVisible(window))
        return TRUE;
    CChild child{window, std::wstring(), {}};
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    child.className = name;
    GetWindowRect(window, &child.rect);
    reinterpret_cast<std::vector<CChild>*>(param)->push_back(child);
    return TRUE;
}

std::vector<CChild> ListChildren(HWND frame)
{
    std::vector<CChild> children;
    EnumChildWindows(frame, CollectChild, LPARAM(&children));
    return children;
}

int Area(const RECT& r) { return (r.right - r.left) * (r.bottom - r.top); }

// The parts of a course window found by their places: the view is the
// largest panel, the shape toolbar the panel right below the organisation
// chooser.
struct CWindowParts
{
    RECT view = {};
    RECT shapes = {};
    bool found = false;
};

CWindowParts FindParts(HWND frame)
{
    CWindowParts parts;
    const std::vector<CChild> children = ListChildren(frame);
    RECT chooser = {};
    for (const CChild& child : children)
        if (child.className == L"ComboBox")
            chooser = child.rect;
    int shapesTop = 1 << 30;
    for (const CChild& child : children) {
        if (child.className != L"CPanel")
            continue;
        if (Area(child.rect) > Area(parts.view))
            parts.view = child.rect;
        if (child.rect.top >= chooser.bottom && child.rect.top < shapesTop && child.rect.left <= chooser.left + 2) {
            shapesTop = child.rect.top;
            parts.shapes = child.rect;
        }
    }
    parts.found = chooser.bottom > 0 && Area(parts.view) > 0 && Area(parts.shapes) > 0;
    return parts;
}

// Where the program's shape toolbar shows a kind's button: the same toolbar
// laid out here with the same rule set.
POINT ShapeButton(const CWindowParts& parts, int id, int organisation = kOrganisation)
{
    static CGdiplusSession session;
    CShapeToolbar shapes;
    shapes.SetSpecList(GetSpecList(organisation));
    shapes.Layout(true);
    const CRectF& r = shapes.FindItem(id)->rect;
    return POINT{parts.shapes.left + LONG((r.left + r.right) / 2.0f), parts.shapes.top + LONG((r.top + r.bottom) / 2.0f)};
}

POINT ViewPoint(const CWindowParts& parts, float fx, float fy)
{
    return POINT{parts.view.left + LONG(float(parts.view.right - parts.view.left) * fx),
                 parts.view.top + LONG(float(parts.view.bottom - parts.view.top) * fy)};
}

void Click(POINT point)
{
    MouseInput(point, 0, false);
    MouseInput(point, MOUSEEVENTF_LEFTDOWN, false);
    MouseInput(point, MOUSEEVENTF_LEFTUP, false);
    Sleep(150);
}

void Drag(POINT from, POINT to)
{
    MouseInput(from, 0, false);
    MouseInput(from, MOUSEEVENTF_LEFTDOWN, false);
    for (int step = 1; step <= 5; ++step)
        MouseInput(POINT{from.x + (to.x - from.x) * step / 5, from.y + (to.y - from.y) * step / 5}, 0, false);
    MouseInput(to, MOUSEEVENTF_LEFTUP, false);
    Sleep(150);
}

// Waits for the program's splash to go and its window to be painted.
void WaitUntilReady(const CProgramProcess& program)
{
    const DWORD start = GetTickCount();
    while (!program.FindWindows(L"#32770").empty() && GetTickCount() - start < kWait)
        PumpMessagesFor(50);
    PumpMessagesFor(700);
}

// Starts the program and waits until its course window with the caption is
// ready; the window, or null when it did not come.
HWND StartAndWaitUntilReady(CProgramProcess& program, const std::wstring& arguments, const std::wstring& caption)
{
    if (!program.Start(arguments))
        return nullptr;
    const HWND frame = program.WaitForCaption(caption, kWait);
    if (frame)
        WaitUntilReady(program);
    return frame;
}

// Clicks the A-frame button, then the view at the fractions of its size.
void PlaceAFrame(const CWindowParts& parts, float fx, float fy)
{
    Click(ShapeButton(parts, kAFrameButton));
    Click(ViewPoint(parts, fx, fy));
}

// Waits for the program's message box and presses the button; whether the
// box came.
bool PressMessageBoxButton(const CProgramProcess& program, int button)
{
    const HWND box = program.WaitForMessageBox(kWait);
    if (!box)
        return false;
    PressDialogButton(box, button);
    return true;
}

// The course in a file, read as the program reads it.
bool ReadCourseFile(const std::wstring& path, CCourse& course)
{
    std::istringstream block(ReadWholeFile(path));
    return course.ReadTextBlock(block, false, false);
}

// Presses Ctrl+S and waits until the file's bytes change.
bool SaveAndWait(const std::wstring& path)
{
    const std::string before = ReadWholeFile(path);
    cwtest::KeyPress('S', true);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kWait) {
        if (ReadWholeFile(path) != before)
            return true;
        PumpMessagesFor(50);
    }
    return false;
}

// Saves as above and reads the saved file into the course.
bool SaveAndReadBack(const std::wstring& path, CCourse& course)
{
    return SaveAndWait(path) && ReadCourseFile(path, course);
}

const CCourseObject* OnlyObject(const CCourse& course)
{
    return course.GetObjectCount() == 1 ? *course.GetObjects().begin() : nullptr;
}

// Grid lines of a picture: the rows (or columns) that are dark across most
// of the picture, as the centres of runs of such rows.
std::vector<float> FindLines(const std::vector<COLORREF>& pixels, int width, int height, bool rows)
{
    const int count = rows ? height : width;
    const int across = rows ? width : height;
    std::vector<float> centres;
    int runStart = -1;
    for (int i = 0; i <= count; ++i) {
        bool line = false;
        if (i < count) {
            int dark = 0;
            for (int j = 0; j < across; ++j) {
                const COLORREF c = rows ? pixels[size_t(i) * width + j] : pixels[size_t(j) * width + i];
                if (GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128)
                    ++dark;
            }
            line = dark > across * 8 / 10;
        }
        if (line && runStart < 0)
            runStart = i;
        if (!line && runStart >= 0) {
            centres.push_back(float(runStart + i - 1) / 2.0f);
            runStart = -1;
        }
    }
    return centres;
}

std::vector<COLORREF> GrabScreen(const RECT& rect)
{
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    std::vector<COLORREF> pixels(size_t(width) * size_t(height));
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    SelectObject(memory, previous);
    GetDIBits(memory, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    // DIB pixels are 0x00RRGGBB: turn them into COLORREFs.
    for (COLORREF& p : pixels)
        p = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    return pixels;
}

// The view's map of the course, from the grid drawn before anything is
// placed: the ring's top-left corner and the pixels per unit.
struct CViewMap
{
    POINT origin = {};
    float scale = 0.0f;

    POINT ToScreen(const CPoint2& p) const
    {
        return POINT{origin.x + LONG(std::lround(p.x * scale)), origin.y + LONG(std::lround(p.y * scale))};
    }
};

bool MapView(const CWindowParts& parts, CViewMap& map)
{
    const int width = parts.view.right - parts.view.left;
    const int height = parts.view.bottom - parts.view.top;
    const std::vector<COLORREF> pixels = GrabScreen(parts.view);
    const std::vector<float> columns = FindLines(pixels, width, height, false);
    const std::vector<float> rows = FindLines(pixels, width, height, true);
    if (columns.size() < 2 || rows.size() < 2)
        return false;
    // 10-foot cells of 1200 units.
    map.scale = (columns.back() - columns.front()) / float(columns.size() - 1) / 1200.0f;
    map.origin = POINT{parts.view.left + LONG(std::lround(columns.front())), parts.view.top + LONG(std::lround(rows.front()))};
    return true;
}

// The tunnels of a course as points on the course: the tunnel's line and
// the collapsed tunnel's two ends.
std::vector<CPoint2> TunnelShapes(const CCourse& course)
{
    std::vector<CPoint2> shapes;
    for (const CCourseObject* object : course.GetObjects()) {
        if (const CTunnel* tunnel = dynamic_cast<const CTunnel*>(object)) {
            for (int i = 0; i < tunnel->GetEndCount(); ++i) {
                CPoint2 point;
                tunnel->GetEnd(point, i);
                shapes.push_back(tunnel->GetPlacement().TransformPoint2D(point));
            }
        } else if (dynamic_cast<const CCollapsedTunnel*>(object)) {
            for (int i = 0; i < 2; ++i) {
                CPoint2 point;
                object->GetEnd(point, i);
                shapes.push_back(object->GetPlacement().TransformPoint2D(point));
            }
        }
    }
    return shapes;
}

void ExpectSameShapes(const std::vector<CPoint2>& expected, const std::vector<CPoint2>& actual, const char* step)
{
    ASSERT_EQ(expected.size(), actual.size()) << step;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(expected[i].x, actual[i].x, 1.0f) << step << " " << i;
        EXPECT_NEAR(expected[i].y, actual[i].y, 1.0f) << step << " " << i;
    }
}

}  // namespace

TEST(Program, StartsWithAnUntitledUnmodifiedCourseDrawnToScale)
{
    PrepareProgramSettings();
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, L"", Caption(GetStringWithArg(2004, L"1")));
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-start.png")));

    const int width = parts.view.right - parts.view.left;
    const int height = parts.view.bottom - parts.view.top;
    const std::vector<COLORREF> pixels = GrabScreen(parts.view);
    const std::vector<float> columns = FindLines(pixels, width, height, false);
    const std::vector<float> rows = FindLines(pixels, width, height, true);
    // 120 by 100 feet in 10-foot cells: 13 and 11 lines, the outer ones the
    // ring's outline.
    ASSERT_EQ(13u, columns.size());
    ASSERT_EQ(11u, rows.size());
    const float cell = (columns.back() - columns.front()) / 12.0f;
    for (size_t i = 1; i < columns.size(); ++i)
        EXPECT_NEAR(cell, columns[i] - columns[i - 1], 1.5f);
    for (size_t i = 1; i < rows.size(); ++i)
        EXPECT_NEAR(cell, rows[i] - rows[i - 1], 1.5f);
    // The labels: dark pixels inside the top row of cells that no line holds.
    int labelPixels = 0;
    for (int y = int(rows[0]) + 3; y < int(rows[1]) - 3; ++y)
        for (int x = int(columns[0]) + 3; x < int(columns[12]) - 3; ++x)
            if (GetRValue(pixels[size_t(y) * width + x]) < 128 &&
                std::none_of(columns.begin(), columns.end(), [&](float c) { return std::fabs(float(x) - c) < 3.0f; }))
                ++labelPixels;
    EXPECT_GT(labelPixels, 50);

    program.CloseCourseWindows();
    // An unmodified course closes without a question, and the program ends.
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

TEST(Program, MouseAndKeysPlaceMoveTurnDeleteAndUndoAnAFrame)
{
    PrepareProgramSettings();
    const std::wstring folder = MakeTempFolder(L"driven");
    const std::wstring path = WriteEmptyCourseFile(folder, L"Driven.agl");
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Driven.agl"));
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);

    // Place: the A-frame button, then a click in the view.
    PlaceAFrame(parts, 0.5f, 0.5f);
    const POINT centre = ViewPoint(parts, 0.5f, 0.5f);
    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const CCourseObject* frameObject = OnlyObject(placed);
    ASSERT_TRUE(frameObject);
    EXPECT_EQ(10, frameObject->GetType()->GetId());
    const CPoint2 start = frameObject->GetPosition();

    // Drag it to the right.
    Drag(centre, POINT{centre.x + 80, centre.y});
    CCourse moved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, moved));
    ASSERT_TRUE(OnlyObject(moved));
    EXPECT_GT(OnlyObject(moved)->GetPosition().x, start.x + 100.0f);
    EXPECT_NEAR(start.y, OnlyObject(moved)->GetPosition().y, 1.0f);

    // Select it again (the save cleared the selection) and turn it by "]".
    const POINT there{centre.x + 80, centre.y};
    Click(there);
    cwtest::TypeChar(L']');
    PumpMessagesFor(200);
    CCourse turned(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, turned));
    ASSERT_TRUE(OnlyObject(turned));
    const float angle = OnlyObject(turned)->GetPlacement().GetRotation();
    EXPECT_NEAR(15.0f, std::fabs(std::remainder(angle - frameObject->GetPlacement().GetRotation(), 360.0f)), 0.5f);

    // Delete, then undo it with Ctrl+Z.
    Click(there);
    cwtest::KeyPress(VK_DELETE);
    CCourse deleted(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, deleted));
    EXPECT_EQ(0u, deleted.GetObjectCount());
    cwtest::KeyPress('Z', true);
    CCourse restored(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, restored));
    ASSERT_TRUE(OnlyObject(restored));
    EXPECT_NEAR(angle, OnlyObject(restored)->GetPlacement().GetRotation(), 0.01f);

    // A few more, for the picture of the window.
    for (float fx : {0.25f, 0.75f})
        PlaceAFrame(parts, fx, 0.3f);
    PumpMessagesFor(500);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-course-window.png")));

    // Closing the modified course asks; Cancel keeps it, No ends the program
    // and leaves the file as it was saved.
    const std::string saved = ReadWholeFile(path);
    PostMessageW(frame, WM_CLOSE, 0, 0);
    const HWND box = program.WaitForMessageBox(kWait);
    ASSERT_TRUE(box);
    EXPECT_EQ(GetStringWithArg(2698, L"Driven.agl"), CProgramProcess::GetMessageBoxText(box));
    EXPECT_TRUE(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && GetDlgItem(box, IDCANCEL));
    PressDialogButton(box, IDCANCEL);
    PumpMessagesFor(500);
    EXPECT_TRUE(program.IsRunning());
    EXPECT_EQ(1u, program.FindWindows(L"Fendrel 4").size());
    PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PressMessageBoxButton(program, IDNO));
    EXPECT_EQ(0, program.WaitForExit(kWait));
    EXPECT_EQ(saved, ReadWholeFile(path));
}

TEST(Program, SaveReadsBackAndASaveThatCannotWriteKeepsTheOldFile)
{
    PrepareProgramSettings();
    const std::wstring folder = MakeTempFolder(L"program-save");
    const std::wstring path = WriteEmptyCourseFile(folder, L"Kept.agl");
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Kept.agl"));
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    PlaceAFrame(parts, 0.4f, 0.6f);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_TRUE(program.WaitForCaption(Caption(L"Kept.agl"), kWait));

    // The file reads back into the same course: written again, the same bytes.
    const std::string bytes = ReadWholeFile(path);
    CCourse reread(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, reread));
    EXPECT_EQ(1u, reread.GetObjectCount());
    EXPECT_EQ(bytes, filetest::TextBlockOf(reread));
    EXPECT_EQ(std::string::npos, bytes.find(" \r\r\n"));

    // Read-only: the save fails, says so, and the old file stays.
    filetest::SetReadOnly(path, true);
    PlaceAFrame(parts, 0.7f, 0.6f);
    EXPECT_TRUE(program.WaitForCaption(Caption(L"Kept.agl *"), kWait));
    cwtest::KeyPress('S', true);
    const HWND box = program.WaitForMessageBox(kWait);
    ASSERT_TRUE(box);
    EXPECT_EQ(GetStringWithArg(2689, path), CProgramProcess::GetMessageBoxText(box));
    CProgramProcess::AnswerMessageBox(box);
    filetest::SetReadOnly(path, false);
    EXPECT_EQ(bytes, ReadWholeFile(path));
    EXPECT_EQ(1u, filetest::ListFolder(folder).size());
    EXPECT_TRUE(program.WaitForCaption(Caption(L"Kept.agl *"), kWait));

    PostMessageW(frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PressMessageBoxButton(program, IDNO));
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

TEST(Program, OpeningAFileShowsItOnceAndCopyAndPasteCrossWindows)
{
    PrepareProgramSettings();
    const std::wstring folder = MakeTempFolder(L"program-open");
    const std::wstring first = WriteEmptyCourseFile(folder, L"First.agl");
    const std::wstring second = WriteEmptyCourseFile(folder, L"Second.agl");
    CProgramProcess program;
    const HWND firstFrame = StartAndWaitUntilReady(program, Quoted(first), Caption(L"First.agl"));
    ASSERT_TRUE(firstFrame);
    const CWindowParts parts = FindParts(firstFrame);
    ASSERT_TRUE(parts.found);

    // An A-frame, selected after placing, goes to the clipboard.
    PlaceAFrame(parts, 0.5f, 0.5f);
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
    cwtest::KeyPress('C', true);
    const DWORD start = GetTickCount();
    while (!IsClipboardFormatAvailable(CF_TEXT) && GetTickCount() - start < kWait)
        PumpMessagesFor(50);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_ENHMETAFILE));
    std::string text;
    ASSERT_TRUE(OpenClipboard(nullptr));
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    CCourse copied(L"", L"");
    std::istringstream block(text);
    ASSERT_TRUE(copied.ReadTextBlock(block, false, false));
    EXPECT_EQ(1u, copied.GetObjectCount());

    // A second start hands its file over: a window of its own.
    {
        CProgramProcess handOver;
        ASSERT_TRUE(handOver.Start(Quoted(second)));
        EXPECT_EQ(0, handOver.WaitForExit(kWait));
    }
    const HWND secondFrame = program.WaitForCaption(Caption(L"Second.agl"), kWait);
    ASSERT_TRUE(secondFrame);
    EXPECT_EQ(2u, program.FindWindows(L"Fendrel 4").size());
    // The same file again: the window that shows it, no new one.
    {
        CProgramProcess again;
        ASSERT_TRUE(again.Start(Quoted(second)));
        EXPECT_EQ(0, again.WaitForExit(kWait));
    }
    PumpMessagesFor(700);
    EXPECT_EQ(2u, program.FindWindows(L"Fendrel 4").size());

    // Pasted into the second window, the A-frame joins its course.
    WaitUntilReady(program);
    const CWindowParts secondParts = FindParts(secondFrame);
    ASSERT_TRUE(secondParts.found);
    Click(ViewPoint(secondParts, 0.9f, 0.9f));
    cwtest::KeyPress('V', true);
    EXPECT_TRUE(program.WaitForCaption(Caption(L"Second.agl *"), kWait));
    CCourse pasted(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(second, pasted));
    EXPECT_EQ(1u, pasted.GetObjectCount());

    // Closing both: the modified first one asks.
    program.CloseCourseWindows();
    ASSERT_TRUE(PressMessageBoxButton(program, IDNO));
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

TEST(Program, PlacesTunnelsBendsOneByItsHandleAndKeepsThemThroughFiles)
{
    PrepareProgramSettings();
    constexpr int kTunnelOrganisation = 0;
    SetProgramInt(L"SpecList", kTunnelOrganisation);
    for (const wchar_t* hint : {L"NeverShow2717", L"NeverShow2718", L"NeverShow2721", L"NeverShow2722"})
        SetProgramInt(hint, 1);
    const std::wstring folder = MakeTempFolder(L"program-tunnels");
    const std::wstring path = WriteEmptyCourseFile(folder, L"Tunnels.agl");
    CProgramProcess program;
    HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Tunnels.agl"));
    ASSERT_TRUE(frame);
    CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    CViewMap map;
    ASSERT_TRUE(MapView(parts, map));

    // Each from its button: the tunnel a straight line of four segments.
    Click(ShapeButton(parts, CTunnel::kNameTextId, kTunnelOrganisation));
    Click(ViewPoint(parts, 0.25f, 0.35f));
    Click(ShapeButton(parts, CCollapsedTunnel::kNameTextId, kTunnelOrganisation));
    Click(ViewPoint(parts, 0.7f, 0.65f));
    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const std::string placedBytes = ReadWholeFile(path);
    ASSERT_EQ(2u, placed.GetObjectCount());
    const CTunnel* tunnel = nullptr;
    for (const CCourseObject* object : placed.GetObjects())
        tunnel = tunnel ? tunnel : dynamic_cast<const CTunnel*>(object);
    ASSERT_TRUE(tunnel);
    ASSERT_EQ(CTunnelGeometry::kPolyline, tunnel->GetGeometry().GetKind());
    const std::deque<CPoint2> straight = {{0, 0}, {450, 0}, {900, 0}, {1350, 0}, {1800, 0}};
    EXPECT_EQ(straight, static_cast<const CTunnelPolylineGeometry&>(tunnel->GetGeometry()).GetPoints());
    const std::vector<CPoint2> placedShapes = TunnelShapes(placed);

    // Selected, its far point dragged up and back: the line bends.
    const CTransform& at = tunnel->GetPlacement();
    Click(map.ToScreen(at.TransformPoint2D(675.0f, 0.0f)));
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-tunnel-before-drag.png")));
    const CPoint2 target = at.TransformPoint2D(1450.0f, -700.0f);
    Drag(map.ToScreen(at.TransformPoint2D(1800.0f, 0.0f)), map.ToScreen(target));
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-tunnel-after-drag.png")));
    CCourse bent(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, bent));
    const std::vector<CPoint2> bentShapes = TunnelShapes(bent);
    ASSERT_EQ(placedShapes.size(), bentShapes.size());
    EXPECT_NEAR(target.x, bentShapes[4].x, 40.0f);
    EXPECT_NEAR(target.y, bentShapes[4].y, 40.0f);

    // Undone: the file holds the very bytes it held before the drag.
    cwtest::KeyPress('Z', true);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(placedBytes, ReadWholeFile(path));

    // Saved in the older format ("s3" in the view), closed and opened again:
    // the same shapes, saved again in the current format.
    Click(map.ToScreen(CPoint2(1200.0f, 11000.0f)));
    cwtest::TypeChar(L's');
    cwtest::TypeChar(L'3');
    ASSERT_TRUE(PressMessageBoxButton(program, IDOK));
    // The box took the keyboard: a click gives it back to the view.
    Click(map.ToScreen(CPoint2(1200.0f, 11000.0f)));
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_NE(std::string::npos, ReadWholeFile(path).find("Version 3 "));
    CCourse older(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, older));
    ExpectSameShapes(placedShapes, TunnelShapes(older), "version 3");
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));

    // Opened again, the window names the older format until the course is
    // saved in the current one.
    CProgramProcess reopened;
    frame = StartAndWaitUntilReady(reopened, Quoted(path), Caption(L"Tunnels.agl (3)"));
    ASSERT_TRUE(frame);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-tunnels-reopened.png")));
    parts = FindParts(frame);
    Click(ViewPoint(parts, 0.1f, 0.9f));
    CCourse current(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, current));
    ExpectSameShapes(placedShapes, TunnelShapes(current), "reopened");
    reopened.CloseCourseWindows();
    EXPECT_EQ(0, reopened.WaitForExit(kWait));
}
