#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseNumbering.h"
#include "course/SpecList.h"
#include "course/ObjectType.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/ObsNum.h"
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
constexpr int kWindowTitleText = 2229;
constexpr float kTenthsPerYard = 360.0f;

// The routed column: start line, jumps 1 to 3 with their numbers, finish
// line; the drawn column: a jump and a standard tire.
const CPoint2 kStart[2] = {{2000.0f, 1200.0f}, {4000.0f, 1200.0f}};
const CPoint2 kFinish[2] = {{2000.0f, 9600.0f}, {4000.0f, 9600.0f}};
// The second jump stands aside, so that the route bends and its length
// clearly exceeds the straight distance whatever the labels' rounding.
const CPoint2 kRouteJumps[3] = {{3000.0f, 3000.0f}, {4800.0f, 5400.0f}, {3000.0f, 7800.0f}};
const CPoint2 kDrawnJump(9000.0f, 3000.0f);
const CPoint2 kTire(9000.0f, 6000.0f);

CTransform At(const CPoint2& p)
{
    CTransform placement;
    placement.SetPosition2D(p.x, p.y);
    return placement;
}

void PlaceOfType(CCourse& course, int typeId, const CPoint2& at)
{
    const CObjectType* type = FindObjectTypeById(typeId);
    ASSERT_TRUE(type);
    std::unique_ptr<CEditSession> dialog = type->CreatePropertiesDialog(&course, type->GetNameTextId());
    course.AddObject(type->CreateNew(&course, At(at), dialog.get()));
}

void PlaceEndLine(CCourse& course, const CPoint2 (&ends)[2])
{
    course.SelectToolType(CEndLine::kNameTextId);
    course.StartPlacingObject(ends[0].x, ends[0].y);
    course.DragPlacedObject(ends[1].x, ends[1].y);
    course.DropPlacedObject(ends[1].x, ends[1].y);
    course.SelectToolType(0);
}

std::wstring WriteCourse(const std::wstring& folder)
{
    filetest::OpenFileTestSettings();
    CSettings::SetInt(L"110StartAndFinish", 0);
    CCourse course(L"Dog.agl", L"");
    course.SetSpecList(kOrganisation);
    course.SetSize(14400.0f, 12000.0f);
    PlaceEndLine(course, kStart);
    for (int i = 0; i < 3; ++i) {
        PlaceOfType(course, kJumpType, kRouteJumps[i]);
        CObsNumPropertiesDlg dialog(&course);
        const std::wstring label = std::to_wstring(i + 1);
        dialog.EditLabel(label);
        dialog.GetSequence()->SetText(label);
        course.AddObject(
            CObsNum::GetObsNumType().CreateNew(&course, At(kRouteJumps[i] + CPoint2(500.0f, -100.0f)), &dialog));
    }
    PlaceEndLine(course, kFinish);
    PlaceOfType(course, kJumpType, kDrawnJump);
    PlaceOfType(course, kTireType, kTire);
    const std::wstring path = folder + L"\\Dog.agl";
    filetest::WriteBytes(path, filetest::TextBlockOf(course));
    DeleteTestSettingsKey();
    return path;
}

HWND WaitForDogPathWindow(const CProgramProcess& program)
{
    const std::wstring title =
        GetStringWithArg(kWindowTitleText, GetSpecList(kOrganisation).GetTerm(CDogPath::kNameTextId));
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (GetWindowTextString(window) == title && !ListDialogChildren(window).empty())
                return window;
    return nullptr;
}

// Chooses a connection entry in the tool's dialog and confirms it.
bool ConfirmConnection(const CProgramProcess& program, int entry, const wchar_t* shot)
{
    const HWND window = WaitForDogPathWindow(program);
    if (!window)
        return false;
    ChooseComboItem(FindWindowExW(window, nullptr, L"COMBOBOX", nullptr), entry);
    EXPECT_TRUE(SaveDialogShot(window, shot));
    PressDialogButton(window, IDOK);
    return WaitUntilGone(window);
}

// The texts of the enhanced metafile on the clipboard, in drawing order.
std::vector<std::wstring> MetafileTexts()
{
    std::vector<std::wstring> texts;
    if (!OpenClipboard(nullptr))
        return texts;
    std::string bytes;
    if (const HENHMETAFILE metafile = HENHMETAFILE(GetClipboardData(CF_ENHMETAFILE))) {
        bytes.resize(GetEnhMetaFileBits(metafile, 0, nullptr));
        GetEnhMetaFileBits(metafile, UINT(bytes.size()), reinterpret_cast<BYTE*>(&bytes[0]));
    }
    CloseClipboard();
    for (size_t at = 0; at + sizeof(EMR) <= bytes.size();) {
        EMR header;
        std::memcpy(&header, bytes.data() + at, sizeof header);
        if (header.nSize < sizeof(EMR) || at + header.nSize > bytes.size())
            break;
        if (header.iType == EMR_EXTTEXTOUTW && header.nSize >= sizeof(EMREXTTEXTOUTW)) {
            EMREXTTEXTOUTW record;
            std::memcpy(&record, bytes.data() + at, sizeof record);
            const size_t offset = record.emrtext.offString, count = record.emrtext.nChars;
            if (offset + 2 * count <= header.nSize) {
                std::wstring text(count, L'\0');
                std::memcpy(&text[0], bytes.data() + at + offset, 2 * count);
                texts.push_back(text);
            }
        }
        at += header.nSize;
    }
    return texts;
}

// Copies the whole course and returns the picture's texts.
std::vector<std::wstring> CopyTexts(HWND frame)
{
    EmptyTheClipboard();
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kSelectAllCommand, 0), 0);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kCopyCommand, 0), 0);
    return WaitForClipboard(CF_ENHMETAFILE) ? MetafileTexts() : std::vector<std::wstring>();
}

// The texts of `with` that `without` does not have (as many times).
std::vector<std::wstring> Added(std::vector<std::wstring> with, std::vector<std::wstring> without)
{
    std::sort(with.begin(), with.end());
    std::sort(without.begin(), without.end());
    std::vector<std::wstring> added;
    std::set_difference(with.begin(), with.end(), without.begin(), without.end(), std::back_inserter(added));
    return added;
}

std::vector<const CDogPath*> DogPaths(const CCourse& course)
{
    std::vector<const CDogPath*> paths;
    for (const CCourseObject* object : course.GetObjects())
        if (const auto* path = dynamic_cast<const CDogPath*>(object))
            paths.push_back(path);
    return paths;
}

// An object as its type id and position: "260@3000,5400".
std::string Key(int typeId, const CPoint2& p)
{
    return std::to_string(typeId) + "@" + std::to_string(std::lround(p.x)) + "," + std::to_string(std::lround(p.y));
}

// The objects the path's nodes are tied to, in order, each once in a row,
// with the kinds of their ends.
struct CTies
{
    std::vector<std::string> owners;
    std::vector<int> kinds;
    bool operator==(const CTies& o) const { return owners == o.owners && kinds == o.kinds; }
};

CTies Ties(const CDogPath& path)
{
    CTies ties;
    for (const CDogPathNode& node : path.GetNodes()) {
        if (node.end == nullptr)
            continue;
        ties.kinds.push_back(node.end->GetEndKind());
        const std::string key = Key(node.end->owner->GetType()->GetTypeId(), node.end->owner->GetPosition());
        if (ties.owners.empty() || ties.owners.back() != key)
            ties.owners.push_back(key);
    }
    return ties;
}

// A free node halfway along the path: a point on its line away from the
// obstacles.
CPoint2 FreeNodeNearMiddle(const CDogPath& path)
{
    const std::vector<CDogPathNode> nodes(path.GetNodes().begin(), path.GetNodes().end());
    for (size_t d = 0; d < nodes.size(); ++d)
        for (const size_t i : {nodes.size() / 2 + d, nodes.size() / 2 - std::min(d, nodes.size() / 2)})
            if (i < nodes.size() && nodes[i].end == nullptr)
                return CPoint2(nodes[i].x, nodes[i].y);
    ADD_FAILURE() << "no free node";
    return CPoint2();
}

bool SameNodes(const std::vector<CPoint2>& a, const std::vector<CPoint2>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if ((a[i] - b[i]).Length() > 1.0f)
            return false;
    return true;
}

std::vector<CPoint2> Nodes(const CDogPath& path)
{
    std::vector<CPoint2> nodes;
    for (const CDogPathNode& node : path.GetNodes())
        nodes.emplace_back(node.x, node.y);
    return nodes;
}

// Dark pixels (text, lines) of the view within `radius` of a point.
int DarkAround(const CWindowParts& parts, const std::vector<COLORREF>& pixels, POINT at, int radius)
{
    const int width = parts.view.right - parts.view.left;
    int dark = 0;
    for (LONG y = at.y - radius; y <= at.y + radius; ++y)
        for (LONG x = at.x - radius; x <= at.x + radius; ++x) {
            const COLORREF c = pixels[size_t((y - parts.view.top) * width + x - parts.view.left)];
            dark += GetRValue(c) + GetGValue(c) + GetBValue(c) < 300;
        }
    return dark;
}

}  // namespace

TEST(DogPathsProgram, RoutedMeasuredReopenedDrawnThroughObstaclesRefittedReversedAndHidden)
{
    const std::wstring folder = MakeTempFolder(L"dogpaths");
    const std::wstring path = WriteCourse(folder);
    PrepareProgramSettings(kOrganisation);
    SetProgramInt(L"NeverShow2706", 1);
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Dog.agl"));
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    CViewMap map;
    ASSERT_TRUE(MapView(parts, map));
    const std::vector<std::wstring> withoutPaths = CopyTexts(frame);
    ASSERT_FALSE(withoutPaths.empty());

    // The tool opens its dialog; the auto-route entry makes the path at once.
    Click(ShapeButton(parts, CDogPath::kNameTextId, kOrganisation));
    ASSERT_TRUE(ConfirmConnection(program, 0, L"dog-path-route"));
    CCourse routed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, routed));
    const std::string routedBytes = ReadWholeFile(path);
    ASSERT_EQ(1u, DogPaths(routed).size());
    const CTies routedTies = Ties(*DogPaths(routed)[0]);
    const CPoint2 startCentre = (kStart[0] + kStart[1]) * 0.5f, finishCentre = (kFinish[0] + kFinish[1]) * 0.5f;
    EXPECT_EQ((std::vector<std::string>{Key(CEndLine::kTypeId, startCentre), Key(kJumpType, kRouteJumps[0]),
                                        Key(kJumpType, kRouteJumps[1]), Key(kJumpType, kRouteJumps[2]),
                                        Key(CEndLine::kTypeId, finishCentre)}),
              routedTies.owners);
    EXPECT_EQ((std::vector<int>{8, 4, 4, 4, 16}), routedTies.kinds);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-dog-path-routed.png")));

    // The copied picture holds the leg lengths, in yards.
    const std::vector<std::wstring> labels = Added(CopyTexts(frame), withoutPaths);
    ASSERT_FALSE(labels.empty());
    float total = 0.0f;
    for (const std::wstring& label : labels) {
        wchar_t* end = nullptr;
        const float yards = std::wcstof(label.c_str(), &end);
        EXPECT_TRUE(end != label.c_str() && *end == L'\0' && std::isfinite(yards)) << label;
        total += yards;
    }
    EXPECT_GE(total * kTenthsPerYard, (finishCentre - startCentre).Length());

    // Saved (above), closed and reopened: the same ties and labels.
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
    CProgramProcess again;
    const HWND reopened = StartAndWaitUntilReady(again, Quoted(path), Caption(L"Dog.agl"));
    ASSERT_TRUE(reopened);
    EXPECT_EQ(labels, Added(CopyTexts(reopened), withoutPaths));
    filetest::WriteBytes(path, "");
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(routedBytes, ReadWholeFile(path));
    CCourse read(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, read));
    ASSERT_EQ(1u, DogPaths(read).size());
    EXPECT_TRUE(routedTies == Ties(*DogPaths(read)[0]));
    const CWindowParts view = FindParts(reopened);
    ASSERT_TRUE(view.found);
    // The reopened window shows the course as the first one did.
    ASSERT_TRUE(MapView(view, map));

    // Drawn by the mouse through the jump and the tire with the obstacle
    // connection (entry 1, after the one sequence).
    Click(ShapeButton(view, CDogPath::kNameTextId, kOrganisation));
    ASSERT_TRUE(ConfirmConnection(again, 1, L"dog-path-obstacles"));
    const auto stroke = [&](int step) {
        return map.ToScreen(CPoint2(kDrawnJump.x + 4.0f * float(step), 1500.0f + 100.0f * float(step)));
    };
    MouseInput(stroke(0), 0, false);
    MouseInput(stroke(0), MOUSEEVENTF_LEFTDOWN, false);
    for (int step = 1; step <= 60; ++step)
        MouseInput(stroke(step), 0, false);
    MouseInput(stroke(60), MOUSEEVENTF_LEFTUP, false);
    PumpMessagesFor(300);
    CCourse drawn(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, drawn));
    ASSERT_EQ(2u, DogPaths(drawn).size());
    const CDogPath& hand = *DogPaths(drawn)[1];
    EXPECT_EQ((std::vector<std::string>{Key(kJumpType, kDrawnJump), Key(kTireType, kTire)}), Ties(hand).owners);
    const std::vector<CPoint2> handNodes = Nodes(hand);
    EXPECT_TRUE(SaveScreenPicture(reopened, GetTestArtefactPath(L"program-dog-path-drawn.png")));

    // Dragging the jump by its bar beside the path refits the path.
    const CPoint2 grip = kDrawnJump + CPoint2(-250.0f, 0.0f);
    Drag(map.ToScreen(grip), map.ToScreen(grip + CPoint2(600.0f, 0.0f)));
    CCourse dragged(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, dragged));
    ASSERT_EQ(2u, DogPaths(dragged).size());
    const CDogPath& refitted = *DogPaths(dragged)[1];
    bool follows = false;
    for (const CPoint2& p : Nodes(refitted))
        follows = follows || (std::fabs(p.y - kDrawnJump.y) < 200.0f && std::fabs(p.x - kDrawnJump.x - 600.0f) < 300.0f);
    EXPECT_TRUE(follows);
    EXPECT_NE(handNodes, Nodes(refitted));
    const std::vector<CPoint2> beforeReverse = Nodes(refitted);
    EXPECT_TRUE(SaveScreenPicture(reopened, GetTestArtefactPath(L"program-dog-path-refitted.png")));

    // Reverse turns the nodes about; twice gives them back.
    std::vector<CPoint2> reversedOnce, reversedTwice;
    for (std::vector<CPoint2>* into : {&reversedOnce, &reversedTwice}) {
        PostMessageW(reopened, WM_COMMAND, MAKEWPARAM(kReverseCommand, 0), 0);
        CCourse turned(L"", L"");
        ASSERT_TRUE(SaveAndReadBack(path, turned));
        ASSERT_EQ(2u, DogPaths(turned).size());
        *into = Nodes(*DogPaths(turned)[1]);
    }
    EXPECT_TRUE(SameNodes(std::vector<CPoint2>(beforeReverse.rbegin(), beforeReverse.rend()), reversedOnce));
    EXPECT_TRUE(SameNodes(beforeReverse, reversedTwice));

    // The Paths command hides both paths and shows them again.
    CCourse shown(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, shown));
    ASSERT_EQ(2u, DogPaths(shown).size());
    const POINT onRoute = map.ToScreen(FreeNodeNearMiddle(*DogPaths(shown)[0]));
    const POINT onDrawn = map.ToScreen(FreeNodeNearMiddle(*DogPaths(shown)[1]));
    const std::vector<COLORREF> before = WaitForRepaint(view, {});
    PostMessageW(reopened, WM_COMMAND, MAKEWPARAM(kPathsCommand, 0), 0);
    const std::vector<COLORREF> hidden = WaitForRepaint(view, before);
    EXPECT_TRUE(SaveScreenPicture(reopened, GetTestArtefactPath(L"program-dog-path-hidden.png")));
    for (const POINT& spot : {onRoute, onDrawn})
        EXPECT_GT(DarkAround(view, before, spot, 10), DarkAround(view, hidden, spot, 10));
    PostMessageW(reopened, WM_COMMAND, MAKEWPARAM(kPathsCommand, 0), 0);
    EXPECT_EQ(before, WaitForRepaint(view, hidden));
    filetest::WriteBytes(path, "");
    ASSERT_TRUE(SaveAndWait(path));
    again.CloseCourseWindows();
    EXPECT_EQ(0, again.WaitForExit(kWait));
}
