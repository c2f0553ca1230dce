#include "tests/app/ProgramDriving.h"

#include <cmath>
#include <cstring>
#include <cwctype>
#include <sstream>
#include <vector>

#include "app/CameraToolbar.h"
#include "app/ShapeToolbar.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "foundation/FieldStream.h"
#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "graphics/GdiplusSession.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

namespace programtest {

namespace {

const wchar_t kProgramKey[] = L"Software\\Norvane\\Fendrel 4";

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

}  // namespace

void SetProgramInt(const wchar_t* name, DWORD value)
{
    RegSetKeyValueW(HKEY_CURRENT_USER, kProgramKey, name, REG_DWORD, &value, sizeof value);
}

DWORD ReadProgramInt(const wchar_t* name, DWORD missing)
{
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kProgramKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return missing;
    return value;
}

void DeleteProgramValue(const wchar_t* name) { RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, name); }

void PrepareProgramSettings(int organisation)
{
    // What earlier runs stored for the kinds (values named after a type id:
    // sizes, counts, whether placing opens the window) is forgotten, so each
    // kind starts from its defaults.
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ | KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        std::vector<std::wstring> stored;
        wchar_t name[256];
        for (DWORD i = 0, size = 256; RegEnumValueW(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) ==
                                      ERROR_SUCCESS;
             ++i, size = 256) {
            if (iswdigit(name[0]))
                stored.push_back(name);
        }
        for (const std::wstring& value : stored)
            RegDeleteValueW(key, value.c_str());
        RegCloseKey(key);
    }
    // The display mode changes the kinds' defaults: off, as for a new user.
    DeleteProgramValue(L"BrisklaneMode");
    SetProgramInt(L"SpecList", DWORD(organisation));
    SetProgramInt(L"Metric", 0);
    SetProgramInt(L"CourseWidth", 14400);
    SetProgramInt(L"CourseHeight", 12000);
    SetProgramInt(L"UsGridSpacing", 10);
    SetProgramInt(L"Background", 3);
    SetProgramInt(L"10EditOnCreate", 0);
    for (const wchar_t* hint : {L"NeverShow2704", L"NeverShow2705", L"NeverShow2707", L"NeverShow2708",
                                L"NeverShow2709", L"NeverShow2712", L"NeverShow2716", L"NeverShow2719",
                                L"NeverShow2720"})
        SetProgramInt(hint, 1);
}

std::wstring Caption(const std::wstring& title) { return title + L" - " + GetString(2001); }
std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

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
        if (child.rect.top >= chooser.bottom && child.rect.left <= chooser.left + 2) {
            if (child.rect.top < shapesTop) {
                shapesTop = child.rect.top;
                parts.shapes = child.rect;
            }
            if (child.rect.top > parts.camera.top)
                parts.camera = child.rect;
        }
    }
    parts.found = chooser.bottom > 0 && Area(parts.view) > 0 && Area(parts.shapes) > 0;
    return parts;
}

POINT ShapeButton(const CWindowParts& parts, int id, int organisation)
{
    static CGdiplusSession session;
    CShapeToolbar shapes;
    shapes.SetSpecList(GetSpecList(organisation));
    shapes.Layout(true);
    const CRectF& r = shapes.FindItem(id)->rect;
    return POINT{parts.shapes.left + LONG((r.left + r.right) / 2.0f), parts.shapes.top + LONG((r.top + r.bottom) / 2.0f)};
}

POINT CameraButton(const CWindowParts& parts, int id)
{
    static CGdiplusSession session;
    CCourse course(L"", L"");
    course.Set3D(true);
    course.Set3DCamera(true);
    CCameraToolbar camera(&course);
    camera.Refresh3DCamera();
    camera.Layout(true);
    const CRectF& r = camera.FindItem(id)->rect;
    return POINT{parts.camera.left + LONG((r.left + r.right) / 2.0f), parts.camera.top + LONG((r.top + r.bottom) / 2.0f)};
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

void WaitUntilReady(const CProgramProcess& program)
{
    const DWORD start = GetTickCount();
    while (!program.FindWindows(L"#32770").empty() && GetTickCount() - start < kWait)
        PumpMessagesFor(50);
    PumpMessagesFor(700);
}

HWND StartAndWaitUntilReady(CProgramProcess& program, const std::wstring& arguments, const std::wstring& caption)
{
    if (!program.Start(arguments))
        return nullptr;
    const HWND frame = program.WaitForCaption(caption, kWait);
    if (frame)
        WaitUntilReady(program);
    return frame;
}

HWND StartWithEmptyCourse(CProgramProcess& program, const std::wstring& folder, const std::wstring& name,
                          std::wstring& path)
{
    path = WriteEmptyCourseFile(folder, name);
    return StartAndWaitUntilReady(program, Quoted(path), Caption(name));
}

bool PressMessageBoxButton(const CProgramProcess& program, int button)
{
    const HWND box = program.WaitForMessageBox(kWait);
    if (!box)
        return false;
    PressDialogButton(box, button);
    return true;
}

bool ReadCourseFile(const std::wstring& path, CCourse& course)
{
    std::istringstream block(ReadWholeFile(path));
    return bool(course.ReadTextBlock(block, false));
}

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

bool SaveAndReadBack(const std::wstring& path, CCourse& course)
{
    return SaveAndWait(path) && ReadCourseFile(path, course);
}

const CCourseObject* OnlyObject(const CCourse& course)
{
    return course.GetObjectCount() == 1 ? *course.GetObjects().begin() : nullptr;
}

std::string ReadClipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::wstring ReadClipboardUnicode()
{
    std::wstring text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<const wchar_t*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard()
{
    OpenClipboard(nullptr);
    EmptyClipboard();
    CloseClipboard();
}

void PutTextOnClipboard(const std::string& text)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
}

bool WaitForClipboard(UINT format)
{
    const DWORD start = GetTickCount();
    while (!IsClipboardFormatAvailable(format)) {
        if (GetTickCount() - start > kWait)
            return false;
        PumpMessagesFor(50);
    }
    return true;
}

bool CopyWholeCourse(HWND frame, CCourse& course)
{
    Click(ViewPoint(FindParts(frame), 0.98f, 0.98f));
    EmptyTheClipboard();
    cwtest::KeyPress('A', true);
    cwtest::KeyPress('C', true);
    if (!WaitForClipboard(CF_TEXT))
        return false;
    std::istringstream block(ReadClipboardText());
    return bool(course.ReadTextBlock(block, false));
}

std::vector<std::string> RecordsOf(const CCourse& course)
{
    std::vector<std::string> records;
    for (CCourseObject* object : course.GetObjects()) {
        CFieldWriter writer;
        writer.m_versionMajor = 4;
        writer.m_versionMinor = 33;
        writer.WriteInt16(object->GetType()->GetTypeId());
        object->Serialize(writer);
        records.push_back(writer.m_bytes);
    }
    return records;
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

std::vector<COLORREF> WaitForRepaint(const CWindowParts& parts, const std::vector<COLORREF>& from)
{
    std::vector<COLORREF> now = GrabScreen(parts.view), before;
    for (DWORD start = GetTickCount(); now == from && GetTickCount() - start < kWait; now = GrabScreen(parts.view))
        PumpMessagesFor(50);
    for (; before != now; now = GrabScreen(parts.view))
        before = now, PumpMessagesFor(200);
    return now;
}

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

POINT CViewMap::ToScreen(const CPoint2& p) const
{
    return POINT{origin.x + LONG(std::lround(p.x * scale)), origin.y + LONG(std::lround(p.y * scale))};
}

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
    map.origin = POINT{parts.view.left + LONG(std::lround(columns.front())),
                       parts.view.top + LONG(std::lround(rows.front()))};
    return true;
}

bool StartMappedEmptyCourse(CProgramProcess& program, const wchar_t* folder, const wchar_t* name, CDrivenCourse& course)
{
    course.frame = StartWithEmptyCourse(program, MakeTempFolder(folder), name, course.path);
    if (!course.frame)
        return false;
    course.parts = FindParts(course.frame);
    return course.parts.found && MapView(course.parts, course.map);
}

}  // namespace programtest
