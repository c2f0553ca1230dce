#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cwchar>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "objects/annotations/DogPath.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"

// Dog paths in the real program: routed along the numbers from the start
// to the finish line, measured in the copied picture, saved and reopened,
// drawn through a jump and a tire, refitted, reversed and hidden.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kJumpType = 260;
constexpr int kTireType = 320;
constexpr int kCopyCommand = 2112;
constexpr int kSelectAllCommand = 2124;
constexpr int kReverseCommand = 2144;
constexpr int kPathsCommand = 2160;
constexpr float kTenthsPerYard = 360.0f;

const CPoint2 kStart[2] = {{2000.0f, 1200.0f}, {4000.0f, 1200.0f}};
const CPoint2 kFinish[2] = {{2000.0f, 9600.0f}, {4000.0f, 9600.0f}};
// The second jump stands aside, so that the route bends and its length
// clearly exceeds the straight distance whatever the labels' rounding.
const CPoint2 kRouteJumps[3] = {{3000.0f, 3000.0f}, {4800.0f, 5400.0f}, {3000.0f, 7800.0f}};
const CPoint2 kDrawnJump(9000.0f, 3000.0f);
const CPoint2 kTire(9000.0f, 6000.0f);

// The course file: the start line kStart, three jumps (type 260) at
// kRouteJumps with the numbers 1, 2 and 3 placed (500, -100) from each, the
// finish line kFinish, a jump at kDrawnJump and a standard tire (type 320)
// at kTire; AKC, 120 by 100 ft.
const char kCourseFile[] =
    " \r\n"
    " \r\n"
    "Begin Fendrel \r\n"
    "Version 4 \r\n"
    "For a free viewer, go to www.norvane.com/viewer \r\n"
    "AAAAAADOeNpjUWRhYGGQl//DzOhg8UCPAQo+MDxgZGVkZGRgZGRmZuBiYGRiADGY \r\n"
    "gFLyeSAFO7g3sDDMeB/wO4ETIdSgyjTjfcMtsBALI1hoB7cME4x3QEhCFMHbwV0h \r\n"
    "J4fgaihDlTpAeAXiXxg/MMjvA5m8hjeEm4HBUBbC2yKyRYSBwUgWJiciJ8fAYCwr \r\n"
    "/5dZHgDUHCEF \r\n"
    "End Fendrel \r\n"
    " \r\n";

// Waits for the tool's dialog, chooses a connection entry and confirms it.
bool ConfirmConnection(const CProgramProcess& program, int entry, const wchar_t* shot)
{
    const std::wstring title = GetStringWithArg(2229, GetSpecList(kOrganisation).GetTerm(CDogPath::kNameTextId));
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (GetWindowTextString(window) == title && !ListDialogChildren(window).empty()) {
                ChooseComboItem(FindWindowExW(window, nullptr, L"COMBOBOX", nullptr), entry);
                EXPECT_TRUE(SaveDialogShot(window, shot));
                PressDialogButton(window, IDOK);
                return WaitUntilGone(window);
            }
    return false;
}

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM texts)
{
    if (record->iType == EMR_EXTTEXTOUTW) {
        const auto& text = reinterpret_cast<const EMREXTTEXTOUTW*>(record)->emrtext;
        reinterpret_cast<std::vector<std::wstring>*>(texts)->emplace_back(
            reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(record) + text.offString), text.nChars);
    }
    return 1;
}

// Copies the whole course: the picture's texts that `without` lacks, sorted.
std::vector<std::wstring> CopyTexts(HWND frame, std::vector<std::wstring> without = {})
{
    EmptyTheClipboard();
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kSelectAllCommand, 0), 0);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kCopyCommand, 0), 0);
    std::vector<std::wstring> texts, added;
    if (WaitForClipboard(CF_ENHMETAFILE) && OpenClipboard(nullptr)) {
        EnumEnhMetaFile(nullptr, HENHMETAFILE(GetClipboardData(CF_ENHMETAFILE)), &CollectText, &texts, nullptr);
        CloseClipboard();
    }
    std::sort(texts.begin(), texts.end());
    std::sort(without.begin(), without.end());
    std::set_difference(texts.begin(), texts.end(), without.begin(), without.end(), std::back_inserter(added));
    return added;
}

// The course's dog paths as saved: the file written again and read back.
std::vector<const CDogPath*> SavedPaths(const std::wstring& path, CCourse& course)
{
    filetest::WriteBytes(path, "");
    std::vector<const CDogPath*> paths;
    if (SaveAndReadBack(path, course))
        for (const CCourseObject* object : course.GetObjects())
            if (const auto* dogPath = dynamic_cast<const CDogPath*>(object))
                paths.push_back(dogPath);
    return paths;
}

// An object as its type id and position: "260@3000,5400".
std::string Key(int typeId, const CPoint2& p)
{
    return std::to_string(typeId) + "@" + std::to_string(std::lround(p.x)) + "," + std::to_string(std::lround(p.y));
}

// The objects of the tied nodes, in order, once in a row; with `kinds`,
// every tied node with its end's kind.
std::vector<std::string> Ties(const CDogPath& path, bool kinds)
{
    std::vector<std::string> ties;
    for (const CDogPathNode& node : path.GetNodes()) {
        if (node.end == nullptr)
            continue;
        std::string key = Key(node.end->owner->GetType()->GetTypeId(), node.end->owner->GetPosition());
        if (kinds)
            ties.push_back(key + "#" + std::to_string(node.end->GetEndKind()));
        else if (ties.empty() || ties.back() != key)
            ties.push_back(key);
    }
    return ties;
}

std::vector<CPoint2> Nodes(const CDogPath& path)
{
    std::vector<CPoint2> nodes;
    for (const CDogPathNode& node : path.GetNodes())
        nodes.emplace_back(node.x, node.y);
    return nodes;
}

// A free node from the middle on: a point on the line away from obstacles.
CPoint2 FreeNode(const CDogPath& path)
{
    const std::vector<CDogPathNode> nodes(path.GetNodes().begin(), path.GetNodes().end());
    const auto free = std::find_if(nodes.begin() + nodes.size() / 2, nodes.end(), [](auto& n) { return !n.end; });
    return free == nodes.end() ? CPoint2() : CPoint2(free->x, free->y);
}

}  // namespace

TEST(DogPathsProgram, RoutedMeasuredReopenedDrawnThroughObstaclesRefittedReversedAndHidden)
{
    const std::wstring path = MakeTempFolder(L"dogpaths") + L"\\Dog.agl";
    filetest::WriteBytes(path, kCourseFile);
    PrepareProgramSettings(kOrganisation);
    SetProgramInt(L"NeverShow2706", 1);
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Dog.agl"));
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    const std::vector<std::wstring> withoutPaths = CopyTexts(frame);
    ASSERT_FALSE(withoutPaths.empty());

    // The tool opens its dialog; the auto-route entry makes the path at once,
    // from the start line through jumps 1, 2 and 3 to the finish line.
    Click(ShapeButton(parts, CDogPath::kNameTextId, kOrganisation));
    ASSERT_TRUE(ConfirmConnection(program, 0, L"dog-path-route"));
    CCourse routed(L"", L"");
    const std::vector<const CDogPath*> routedPaths = SavedPaths(path, routed);
    ASSERT_EQ(1u, routedPaths.size());
    const std::string routedBytes = ReadWholeFile(path);
    const std::vector<std::string> routedTies = Ties(*routedPaths[0], true);
    const CPoint2 start = (kStart[0] + kStart[1]) * 0.5f, finish = (kFinish[0] + kFinish[1]) * 0.5f;
    EXPECT_EQ((std::vector<std::string>{Key(110, start) + "#8", Key(kJumpType, kRouteJumps[0]) + "#4",
                                        Key(kJumpType, kRouteJumps[1]) + "#4", Key(kJumpType, kRouteJumps[2]) + "#4",
                                        Key(110, finish) + "#16"}),
              routedTies);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-dog-path-routed.png")));

    // The copied picture holds the leg lengths in yards.
    const std::vector<std::wstring> labels = CopyTexts(frame, withoutPaths);
    ASSERT_FALSE(labels.empty());
    float total = 0.0f;
    for (const std::wstring& label : labels) {
        wchar_t* end = nullptr;
        total += std::wcstof(label.c_str(), &end);
        EXPECT_TRUE(end != label.c_str() && *end == L'\0') << label;
    }
    EXPECT_TRUE(std::isfinite(total));
    EXPECT_GE(total * kTenthsPerYard, (finish - start).Length());

    // Closed and reopened: the same ties, labels and bytes.
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
    CProgramProcess again;
    const HWND reopened = StartAndWaitUntilReady(again, Quoted(path), Caption(L"Dog.agl"));
    ASSERT_TRUE(reopened);
    EXPECT_EQ(labels, CopyTexts(reopened, withoutPaths));
    CCourse read(L"", L"");
    const std::vector<const CDogPath*> readPaths = SavedPaths(path, read);
    ASSERT_EQ(1u, readPaths.size());
    EXPECT_EQ(routedBytes, ReadWholeFile(path));
    EXPECT_EQ(routedTies, Ties(*readPaths[0], true));
    const CWindowParts view = FindParts(reopened);
    CViewMap map;
    ASSERT_TRUE(view.found && MapView(view, map));

    // Drawn by the mouse through the jump and the tire with the obstacle
    // connection (entry 1, after the one sequence).
    Click(ShapeButton(view, CDogPath::kNameTextId, kOrganisation));
    ASSERT_TRUE(ConfirmConnection(again, 1, L"dog-path-obstacles"));
    const auto stroke = [&](int step) { return map.ToScreen(kDrawnJump + CPoint2(4.0f, 100.0f) * float(step - 15)); };
    MouseInput(stroke(0), 0, false);
    MouseInput(stroke(0), MOUSEEVENTF_LEFTDOWN, false);
    for (int step = 1; step <= 60; ++step)
        MouseInput(stroke(step), 0, false);
    MouseInput(stroke(60), MOUSEEVENTF_LEFTUP, false);
    PumpMessagesFor(300);
    CCourse drawn(L"", L"");
    const std::vector<const CDogPath*> drawnPaths = SavedPaths(path, drawn);
    ASSERT_EQ(2u, drawnPaths.size());
    const std::vector<CPoint2> drawnNodes = Nodes(*drawnPaths[1]);
    EXPECT_EQ((std::vector<std::string>{Key(kJumpType, kDrawnJump), Key(kTireType, kTire)}), Ties(*drawnPaths[1], false));
    EXPECT_TRUE(SaveScreenPicture(reopened, GetTestArtefactPath(L"program-dog-path-drawn.png")));

    // Dragging the jump by its bar beside the path refits the path through it.
    const CPoint2 grip = kDrawnJump + CPoint2(-250.0f, 0.0f), moved = kDrawnJump + CPoint2(600.0f, 0.0f);
    Drag(map.ToScreen(grip), map.ToScreen(grip + CPoint2(600.0f, 0.0f)));
    CCourse dragged(L"", L"");
    const std::vector<const CDogPath*> draggedPaths = SavedPaths(path, dragged);
    ASSERT_EQ(2u, draggedPaths.size());
    const std::vector<CPoint2> refitted = Nodes(*draggedPaths[1]);
    EXPECT_NE(drawnNodes, refitted);
    EXPECT_TRUE(std::any_of(refitted.begin(), refitted.end(), [&](const CPoint2& p) { return (p - moved).Length() < 300.0f; }));
    EXPECT_TRUE(SaveScreenPicture(reopened, GetTestArtefactPath(L"program-dog-path-refitted.png")));

    // Reverse turns the nodes about; twice gives them back.
    std::vector<CPoint2> reversed[2];
    for (std::vector<CPoint2>& nodes : reversed) {
        PostMessageW(reopened, WM_COMMAND, MAKEWPARAM(kReverseCommand, 0), 0);
        CCourse turned(L"", L"");
        const std::vector<const CDogPath*> turnedPaths = SavedPaths(path, turned);
        ASSERT_EQ(2u, turnedPaths.size());
        nodes = Nodes(*turnedPaths[1]);
    }
    EXPECT_EQ(std::vector<CPoint2>(refitted.rbegin(), refitted.rend()), reversed[0]);
    EXPECT_EQ(refitted, reversed[1]);

    // The Paths command hides both paths and shows them again.
    CCourse shown(L"", L"");
    const std::vector<const CDogPath*> shownPaths = SavedPaths(path, shown);
    ASSERT_EQ(2u, shownPaths.size());
    const std::vector<COLORREF> before = WaitForRepaint(view, {});
    PostMessageW(reopened, WM_COMMAND, MAKEWPARAM(kPathsCommand, 0), 0);
    const std::vector<COLORREF> hidden = WaitForRepaint(view, before);
    EXPECT_TRUE(SaveScreenPicture(reopened, GetTestArtefactPath(L"program-dog-path-hidden.png")));
    const LONG width = view.view.right - view.view.left;
    for (const CDogPath* dogPath : shownPaths) {
        const POINT at = map.ToScreen(FreeNode(*dogPath));
        int changed = 0;
        for (LONG y = at.y - 3; y <= at.y + 3; ++y)
            for (LONG x = at.x - 3; x <= at.x + 3; ++x)
                changed += before.at(size_t((y - view.view.top) * width + x - view.view.left)) !=
                           hidden.at(size_t((y - view.view.top) * width + x - view.view.left));
        EXPECT_GT(changed, 2);
    }
    PostMessageW(reopened, WM_COMMAND, MAKEWPARAM(kPathsCommand, 0), 0);
    EXPECT_EQ(before, WaitForRepaint(view, hidden));
    filetest::WriteBytes(path, "");
    ASSERT_TRUE(SaveAndWait(path));
    again.CloseCourseWindows();
    EXPECT_EQ(0, again.WaitForExit(kWait));
}
