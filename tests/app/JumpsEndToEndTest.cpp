#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/Jump.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/Bytes.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// The jumps in the real program under Wine: every kind placed from its
// shape-toolbar button under a rule set that admits it, saved, reopened and
// seen on the screen; copied in the older format and pasted back; legacy
// listings pasted and opened.

using namespace programtest;

namespace {

struct CJumpButton
{
    int button;
    int typeId;
    // The record the kind's defaults give under the run's rule set.
    std::string record;
    // The kind edits on creation: its button opens the jump window, whose
    // OK places with the values shown.
    bool opensWindow = false;
};

std::string Wings(int width, int wingWidth)
{
    return Bytes({width & 0xFF, width >> 8, wingWidth & 0xFF, wingWidth >> 8});
}

struct CRun
{
    int organisation;
    const wchar_t* name;
    std::vector<CJumpButton> jumps;
};

// Every jump kind with a button, under rule sets that admit it; the AKC
// gives bar jumps of two and three bars a width of 600, the UKC every bar
// jump 480; the long jump ascends under the AKC, not under the UKC.
const CRun kRuns[] = {
    {1, L"AKC",
     {{2562, 200, Wings(540, 0)}, {2564, 260, Wings(540, 0)}, {2566, 150, Wings(600, 0)},
      {2568, 20, Wings(600, 0)}, {2570, 330, Wings(600, 0)}, {2614, 200, Wings(540, 240)},
      {2616, 260, Wings(540, 240)}, {2618, 150, Wings(600, 240)}, {2620, 20, Wings(600, 240)},
      {2622, 330, Wings(600, 240)}, {2598, 320, Wings(500, 240)}, {2558, 180, Bytes({1})},
      {2576, 210, Wings(540, 0), true}, {2606, 357, Wings(540, 120)}, {2604, 353, Wings(540, 120)}}},
    {5, L"UKC",
     {{2556, 170, Wings(480, 0), true}, {2580, 230, Wings(540, 0)}, {2564, 260, Wings(480, 0)},
      {2558, 180, Bytes({0})}}},
    {0, L"NoOrganisation", {{2532, 40, Wings(540, 0), true}, {2608, 360, ""}, {2624, 390, ""}}},
    {3, L"NADAC", {{2548, 115, ""}}},
    {9, L"Org9", {{2530, 30, ""}, {2612, 380, ""}}},
};

// A record as RecordsOf gives it: the type id, then the body.
std::string Record(int typeId, const std::string& body)
{
    CFieldWriter writer;
    writer.WriteInt16(typeId);
    return writer.m_bytes + body;
}

std::vector<CPoint2> PositionsOf(const CCourse& course)
{
    std::vector<CPoint2> positions;
    for (const CCourseObject* object : course.GetObjects())
        positions.push_back(object->GetPosition());
    return positions;
}

// Five to a row across the view.
float CellX(size_t i) { return 0.12f + 0.19f * float(i % 5); }
float CellY(size_t i) { return 0.2f + 0.3f * float(i / 5); }

// Non-white pixels within radius of a point of a picture.
int InkAround(const std::vector<COLORREF>& pixels, int width, int height, POINT at, int radius)
{
    int ink = 0;
    for (int y = std::max(0, int(at.y) - radius); y < std::min(height, int(at.y) + radius); ++y)
        for (int x = std::max(0, int(at.x) - radius); x < std::min(width, int(at.x) + radius); ++x)
            ink += pixels[size_t(y) * width + x] != RGB(255, 255, 255) ? 1 : 0;
    return ink;
}

}  // namespace

TEST(JumpsProgram, EveryKindIsPlacedFromItsButtonSavedReopenedAndSeen)
{
    for (const CRun& run : kRuns) {
        SCOPED_TRACE(run.organisation);
        PrepareProgramSettings(run.organisation);
        SetProgramInt(L"Background", 1);
        for (const CJumpButton& jump : run.jumps) {
            if (jump.opensWindow)
                SetProgramInt((std::to_wstring(jump.typeId) + L"EditOnCreate").c_str(), 1);
        }
        const std::wstring name = std::wstring(L"Jumps") + run.name + L".agl";
        std::wstring path;
        CProgramProcess program;
        HWND frame = StartWithEmptyCourse(program, MakeTempFolder(L"jumps-placed"), name, path);
        ASSERT_TRUE(frame);
        const CWindowParts parts = FindParts(frame);
        ASSERT_TRUE(parts.found);
        std::vector<std::string> expected;
        for (size_t i = 0; i < run.jumps.size(); ++i) {
            Click(ShapeButton(parts, run.jumps[i].button, run.organisation));
            if (run.jumps[i].opensWindow) {
                const std::vector<HWND> dialogs = program.WaitForWindows(L"#32770", 1, kWait);
                ASSERT_EQ(1u, dialogs.size()) << run.jumps[i].typeId;
                PressDialogButton(dialogs[0], IDOK);
                ASSERT_TRUE(WaitUntilGone(dialogs[0])) << run.jumps[i].typeId;
            }
            Click(ViewPoint(parts, CellX(i), CellY(i)));
            expected.push_back(Record(run.jumps[i].typeId, run.jumps[i].record));
        }
        CCourse saved(L"", L"");
        ASSERT_TRUE(SaveAndReadBack(path, saved));
        EXPECT_EQ(expected, RecordsOf(saved));

        // Each jump's ink lies around the spot it was placed at, and none
        // half a row below it.
        PumpMessagesFor(300);
        EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-" + name + L".png")));
        const int width = parts.view.right - parts.view.left;
        const int height = parts.view.bottom - parts.view.top;
        const std::vector<COLORREF> pixels = GrabScreen(parts.view);
        for (size_t i = 0; i < run.jumps.size(); ++i) {
            const POINT spot = ViewPoint(parts, CellX(i), CellY(i));
            const POINT at{spot.x - parts.view.left, spot.y - parts.view.top};
            EXPECT_GT(InkAround(pixels, width, height, at, 12), 30) << run.jumps[i].button;
            const POINT below{at.x, at.y + height * 15 / 100};
            EXPECT_EQ(0, InkAround(pixels, width, height, below, 6)) << run.jumps[i].button;
        }
        program.CloseCourseWindows();
        EXPECT_EQ(0, program.WaitForExit(kWait));

        // Reopened, the program holds the same jumps at the same places.
        CProgramProcess again;
        frame = StartAndWaitUntilReady(again, Quoted(path), Caption(name));
        ASSERT_TRUE(frame);
        CCourse copied(L"", L"");
        ASSERT_TRUE(CopyWholeCourse(frame, copied));
        EXPECT_EQ(RecordsOf(saved), RecordsOf(copied));
        EXPECT_EQ(PositionsOf(saved), PositionsOf(copied));
        again.CloseCourseWindows();
        EXPECT_EQ(0, again.WaitForExit(kWait));
    }
}

// A course of every jump kind as the program shows it.
TEST(JumpsProgram, ACourseOfEveryJumpKind)
{
    PrepareProgramSettings(0);
    SetProgramInt(L"Background", 1);
    filetest::OpenFileTestSettings();
    CCourse course(L"AllJumps", L"");
    course.SetSpecList(0);
    course.SetSize(14400.0f, 12000.0f);
    const int ids[] = {150, 20, 30, 40, 115, 160, 170, 180, 200, 210, 230, 260, 320, 330, 357, 353, 360, 380, 390};
    for (size_t i = 0; i < std::size(ids); ++i) {
        const CObjectType* type = FindObjectTypeById(ids[i]);
        ASSERT_NE(nullptr, type);
        std::unique_ptr<CEditSession> dialog = type->CreatePropertiesDialog(&course, type->GetNameTextId());
        CTransform placement;
        placement.SetPosition2D(1800.0f + 2700.0f * float(i % 5), 1500.0f + 2800.0f * float(i / 5));
        course.AddObject(type->CreateNew(&course, placement, dialog.get()));
    }
    const std::wstring path = MakeTempFolder(L"jumps-all") + L"\\AllJumps.agl";
    filetest::WriteBytes(path, filetest::TextBlockOf(course));
    DeleteTestSettingsKey();
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"AllJumps.agl"));
    ASSERT_TRUE(frame);
    PumpMessagesFor(500);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-every-jump.png")));
    // The program holds every one of them.
    CCourse copied(L"", L"");
    ASSERT_TRUE(CopyWholeCourse(frame, copied));
    EXPECT_EQ(RecordsOf(course), RecordsOf(copied));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

// Copied in the older format (where walls are panel jumps), the jumps
// after a long jump come back as they were, read here and pasted there.
TEST(JumpsProgram, CopiedInTheOlderFormatAndPastedBack)
{
    PrepareProgramSettings(1);
    std::wstring path;
    CProgramProcess program;
    const HWND frame = StartWithEmptyCourse(program, MakeTempFolder(L"jumps-older"), L"Older.agl", path);
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    const int buttons[] = {2558, 2618, 2606, 2598, 2604, 2568};
    for (size_t i = 0; i < std::size(buttons); ++i) {
        Click(ShapeButton(parts, buttons[i], 1));
        Click(ViewPoint(parts, CellX(i), CellY(i)));
    }
    CCourse saved(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, saved));
    // The wall and the viaduct as panel jumps.
    std::vector<std::string> expected = RecordsOf(saved);
    for (size_t i : {2u, 4u})
        expected[i] = Record(210, expected[i].substr(2));

    Click(ViewPoint(parts, 0.98f, 0.98f));
    cwtest::KeyPress('A', true);
    EmptyTheClipboard();
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2118, 0), 0);
    ASSERT_TRUE(WaitForClipboard(CF_TEXT));
    const std::string block = ReadClipboardText();
    EXPECT_NE(std::string::npos, block.find("Version 3"));
    CCourse copied(L"", L"");
    std::istringstream in(block);
    ASSERT_TRUE(copied.ReadTextBlock(in, false));
    EXPECT_EQ(expected, RecordsOf(copied));

    Click(ViewPoint(parts, 0.98f, 0.98f));
    cwtest::KeyPress('V', true);
    CCourse pasted(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, pasted));
    std::vector<std::string> both = RecordsOf(saved);
    both.insert(both.end(), expected.begin(), expected.end());
    EXPECT_EQ(both, RecordsOf(pasted));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

// Listings pasted into a running window, with and without a version line,
// and a listing of A-frames with one opened from File > Open.
TEST(JumpsProgram, LegacyListingsPastedAndOpened)
{
    PrepareProgramSettings(1);
    const std::wstring folder = MakeTempFolder(L"jumps-listing");
    std::wstring path;
    CProgramProcess program;
    const HWND frame = StartWithEmptyCourse(program, folder, L"Listed.agl", path);
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    size_t count = 0;
    for (const char* version : {"Version 2000", "Version 3"}) {
        PutTextOnClipboard(std::string("Begin Fendrel\r\n") + version +
                           "\r\nDimensions 120 100\r\nSpreadJump 20 20 0 48 24\r\nLongJump 40 20 0 T\r\n"
                           "NonWingedDoubleJump 60 20 0 T 60\r\nLogJump 80 20 0\r\nEnd Fendrel\r\n");
        Click(ViewPoint(parts, 0.98f, 0.98f));
        cwtest::KeyPress('V', true);
        count += 4;
        CCourse pasted(L"", L"");
        ASSERT_TRUE(SaveAndReadBack(path, pasted));
        const std::vector<std::string> records = RecordsOf(pasted);
        ASSERT_EQ(count, records.size()) << version;
        const std::vector<std::string> last(records.end() - 4, records.end());
        EXPECT_EQ((std::vector<std::string>{Record(20, Wings(480, 240)), Record(180, Bytes({1})),
                                            Record(150, Wings(600, 0)), Record(170, Wings(480, 0))}),
                  last)
            << version;
    }

    const std::wstring listing = folder + L"\\AFrames.agl";
    filetest::WriteBytes(listing, "Begin Fendrel\r\nVersion 3\r\nDimensions 100 80\r\nAFrame 10 20 0 x\r\n"
                                  "AFrameUKC 30 20 0 x\r\nAFrameUSDAA 50 20 0 T\r\nEnd Fendrel\r\n");
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2066, 0), 0);
    const std::vector<HWND> dialogs = program.WaitForWindows(L"#32770", 1, kWait);
    ASSERT_FALSE(dialogs.empty());
    ASSERT_TRUE(ChooseFileName(dialogs.front(), listing));
    const HWND opened = program.WaitForCaption(Caption(L"AFrames.agl"), kWait);
    ASSERT_TRUE(opened);
    WaitUntilReady(program);
    SetForegroundWindow(opened);
    CCourse aFrames(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(listing, aFrames));
    std::vector<std::vector<float>> sizes;
    for (const CCourseObject* object : aFrames.GetObjects())
        if (const auto* aFrame = dynamic_cast<const CAFrame*>(object))
            sizes.push_back({aFrame->GetLength(), aFrame->GetHeight()});
    EXPECT_EQ((std::vector<std::vector<float>>{{960.0f, 590.0f}, {800.0f, 500.0f}, {1000.0f, 710.0f}}), sizes);
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
