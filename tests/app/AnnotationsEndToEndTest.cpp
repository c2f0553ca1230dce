#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "dialogs/TextPropertiesDlg.h"
#include "objects/annotations/EndLine.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/StraightLine.h"
#include "objects/annotations/Text.h"
#include "objects/annotations/UnusableArea.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// Annotations in the real program: placed, saved, hidden, reversed, reopened and pasted.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;
constexpr int kWingedJumpButton = 2616;
constexpr int kWingedJumpType = 260;
constexpr int kNumberButton = 2574;
constexpr int kLineButton = 2588;
constexpr int kCopyCommand = 2112;
constexpr int kSelectAllCommand = 2124;
constexpr int kReverseCommand = 2144;
constexpr int kNumbersCommand = 2166;
constexpr int kTextsCommand = 2168;

const CPoint2 kJumps[3] = {{3000.0f, 6600.0f}, {7800.0f, 4200.0f}, {11400.0f, 6600.0f}};
const CPoint2 kBeside(0.0f, 900.0f);
const CPoint2 kTextSpot(3000.0f, 10200.0f);
const CPoint2 kStartLine[2] = {{1800.0f, 1800.0f}, {4200.0f, 1800.0f}};
const CPoint2 kFinishLine[2] = {{10200.0f, 1800.0f}, {12600.0f, 1800.0f}};
const CPoint2 kLine[2] = {{5400.0f, 9000.0f}, {9000.0f, 9000.0f}};
const CPoint2 kArea[2] = {{10200.0f, 9000.0f}, {13200.0f, 11000.0f}};
const wchar_t kNote[] = L"Walk the course\r\nbefore the briefing";

struct CAnnotations
{
    std::vector<CPoint2> jumps;
    std::vector<const CObsNum*> numbers;
    std::vector<const CEndLine*> endLines;
    std::vector<const CStraightLine*> lines;
    std::vector<const CUnusableArea*> areas;
    std::vector<CText*> texts;
};

CAnnotations Collect(CCourse& course)
{
    CAnnotations found;
    for (CCourseObject* object : course.GetObjects()) {
        if (object->GetType()->GetTypeId() == kWingedJumpType)
            found.jumps.push_back(object->GetPosition());
        const auto add = [object](auto& into) {
            if (auto* one = dynamic_cast<typename std::decay_t<decltype(into)>::value_type>(object))
                into.push_back(one);
        };
        add(found.numbers), add(found.endLines), add(found.lines), add(found.areas), add(found.texts);
    }
    const auto byX = [](const CPoint2& a, const CPoint2& b) { return a.x < b.x; };
    std::sort(found.jumps.begin(), found.jumps.end(), byX);
    std::sort(found.endLines.begin(), found.endLines.end(),
              [&](const CEndLine* a, const CEndLine* b) { return byX(a->GetPosition(), b->GetPosition()); });
    return found;
}

// Each jump's nearest number; labels joined by commas; end-line kinds left to right.
std::vector<const CObsNum*> NumbersByJump(const CAnnotations& found)
{
    std::vector<const CObsNum*> nearest;
    for (const CPoint2& jump : found.jumps) {
        const auto distance = [&](const CObsNum* n) { return (n->GetPosition() - jump).Length(); };
        const auto best = std::min_element(found.numbers.begin(), found.numbers.end(),
                                           [&](const CObsNum* a, const CObsNum* b) { return distance(a) < distance(b); });
        nearest.push_back(best == found.numbers.end() ? nullptr : *best);
    }
    return nearest;
}

std::wstring Labels(const std::vector<const CObsNum*>& numbers)
{
    std::wstring labels;
    for (const CObsNum* number : numbers)
        labels += (labels.empty() ? L"" : L",") + (number ? number->GetText() : L"?");
    return labels;
}

std::vector<int> EndKinds(const CAnnotations& found)
{
    std::vector<int> kinds;
    for (const CEndLine* line : found.endLines)
        kinds.push_back(line->GetKind());
    return kinds;
}

// The walk's hidable note, or the target's two jumps numbered 1 and 2.
std::wstring WriteCourse(const std::wstring& folder, const std::wstring& name, bool target)
{
    filetest::OpenFileTestSettings();
    CCourse course(name, L"");
    course.SetSpecList(kOrganisation);
    course.SetSize(14400.0f, 12000.0f);
    if (target) {
        for (int i = 0; i < 4; ++i) {
            const CObjectType* type = FindObjectTypeById(i % 2 ? CObsNum::kTypeId : kWingedJumpType);
            const int button = i % 2 ? type->GetNameTextId() : kWingedJumpButton;
            std::unique_ptr<CEditSession> dialog = type->CreatePropertiesDialog(&course, button);
            CTransform placement;
            placement.SetPosition2D(4800.0f + 4800.0f * float(i / 2), 9600.0f - (i % 2 ? kBeside.y : 0.0f));
            course.AddObject(type->CreateNew(&course, placement, dialog.get()));
        }
    } else if (auto* text = dynamic_cast<CText*>(course.AddText(kTextSpot.x, kTextSpot.y, kNote))) {
        CTextPropertiesDlg dialog(&course);
        text->FillPropertiesDialog(dialog);
        dialog.MergeHidable(true);
        text->ApplyDialog(dialog);
    }
    const std::wstring path = folder + L"\\" + name;
    filetest::WriteBytes(path, filetest::TextBlockOf(course));
    DeleteTestSettingsKey();
    return path;
}

// Pixels differing within the rectangle (the whole view when empty).
int Differing(const CWindowParts& parts, const std::vector<COLORREF>& a, const std::vector<COLORREF>& b,
              RECT within = {})
{
    const RECT& view = parts.view;
    within = IsRectEmpty(&within) ? view : within;
    const int width = view.right - view.left;
    int count = 0;
    for (LONG y = std::max(within.top, view.top); y < std::min(within.bottom, view.bottom); ++y)
        for (LONG x = std::max(within.left, view.left); x < std::min(within.right, view.right); ++x)
            count += a[size_t((y - view.top) * width + x - view.left)] != b[size_t((y - view.top) * width + x - view.left)];
    return count;
}

RECT Around(POINT at, int radius) { return RECT{at.x - radius, at.y - radius, at.x + radius + 1, at.y + radius + 1}; }

}  // namespace

TEST(AnnotationsProgram, PlacedSavedReversedHiddenAndPasted)
{
    PrepareProgramSettings(kOrganisation);
    SetProgramInt(L"110StartAndFinish", 0);
    for (const wchar_t* kind : {L"110EditOnCreate", L"190EditOnCreate", L"270EditOnCreate", L"350EditOnCreate"})
        SetProgramInt(kind, 0);
    SetProgramInt(L"NeverShow2706", 1), SetProgramInt(L"NeverShow2711", 1);
    const std::wstring folder = MakeTempFolder(L"annotations");
    const std::wstring path = WriteCourse(folder, L"Walk.agl", false);
    const std::wstring targetPath = WriteCourse(folder, L"Target.agl", true);

    CProgramProcess program;
    HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Walk.agl"));
    ASSERT_TRUE(frame);
    const CWindowParts parts = FindParts(frame);
    ASSERT_TRUE(parts.found);
    CViewMap map;
    ASSERT_TRUE(MapView(parts, map));
    const auto click = [&](int button, const CPoint2& at) {
        Click(ShapeButton(parts, button, kOrganisation));
        Click(map.ToScreen(at));
    };
    const auto drag = [&](int button, const CPoint2* ends) {
        Click(ShapeButton(parts, button, kOrganisation));
        Drag(map.ToScreen(ends[0]), map.ToScreen(ends[1]));
    };
    for (const CPoint2& jump : kJumps)
        click(kWingedJumpButton, jump);
    for (const CPoint2& jump : kJumps)
        click(kNumberButton, jump + kBeside);
    drag(CEndLine::kNameTextId, kStartLine);
    drag(CEndLine::kNameTextId, kFinishLine);
    drag(kLineButton, kLine);
    drag(CUnusableArea::kNameTextId, kArea);

    CCourse placed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, placed));
    const std::string placedBytes = ReadWholeFile(path);
    const CAnnotations before = Collect(placed);
    ASSERT_EQ(3u, before.jumps.size());
    ASSERT_EQ(3u, before.numbers.size());
    const std::vector<const CObsNum*> numbered = NumbersByJump(before);
    EXPECT_EQ(L"1,2,3", Labels(numbered));
    EXPECT_EQ((std::vector<int>{CEndLine::kStartLine, CEndLine::kFinishLine}), EndKinds(before));
    ASSERT_EQ(1u, before.lines.size());
    EXPECT_NEAR((kLine[1] - kLine[0]).Length(), before.lines[0]->GetLength(), 150.0f);
    ASSERT_EQ(1u, before.areas.size());
    const CPoint2 span = before.areas[0]->GetCorner(2) - before.areas[0]->GetCorner(0);
    EXPECT_NEAR(kArea[1].x - kArea[0].x, std::fabs(span.x), 150.0f);
    EXPECT_NEAR(kArea[1].y - kArea[0].y, std::fabs(span.y), 150.0f);
    ASSERT_EQ(1u, before.texts.size());
    CFormattedText& note = before.texts[0]->GetDocument();
    EXPECT_EQ(std::wstring(kNote) + L"\r\n", note.GetText(0, note.GetLength()));
    EXPECT_TRUE(before.texts[0]->IsHidable());

    // Each view toggle hides its own objects only and restores them.
    const CPoint2 half = CPoint2(before.texts[0]->GetBoxSize().width, before.texts[0]->GetBoxSize().height) * 0.5f;
    const POINT noteA = map.ToScreen(kTextSpot - half), noteB = map.ToScreen(kTextSpot + half);
    const RECT noteBox{noteA.x - 2, noteA.y - 2, noteB.x + 3, noteB.y + 3};
    const std::vector<COLORREF> shown = GrabScreen(parts.view);
    for (int command : {kNumbersCommand, kTextsCommand}) {
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        const std::vector<COLORREF> hidden = WaitForRepaint(parts, shown);
        int nearNumbers = 0;
        for (const CObsNum* number : numbered) {
            const int changed = Differing(parts, shown, hidden, Around(map.ToScreen(number->GetPosition()), 20));
            nearNumbers += changed;
            EXPECT_TRUE(command != kNumbersCommand || changed > 40) << number->GetText() << " " << changed;
        }
        const int inNote = Differing(parts, shown, hidden, noteBox), all = Differing(parts, shown, hidden);
        const bool numbers = command == kNumbersCommand;
        EXPECT_EQ(all, numbers ? nearNumbers : inNote) << command;
        EXPECT_EQ(0, numbers ? inNote : nearNumbers) << command;
        EXPECT_TRUE(numbers || inNote > 200) << inNote;
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
        EXPECT_EQ(0, Differing(parts, shown, WaitForRepaint(parts, hidden))) << command;
    }

    // Reversed: 3,2,1 mirrored through their jumps, ends swapped; undo restores the bytes.
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kReverseCommand, 0), 0);
    WaitForRepaint(parts, shown);
    CCourse reversed(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, reversed));
    const CAnnotations after = Collect(reversed);
    ASSERT_EQ(3u, after.jumps.size());
    const std::vector<const CObsNum*> renumbered = NumbersByJump(after);
    EXPECT_EQ(L"3,2,1", Labels(renumbered));
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(renumbered[i]);
        const CPoint2 through = before.jumps[i] * 2.0f - numbered[i]->GetPosition();
        EXPECT_NEAR(0.0f, (through - renumbered[i]->GetPosition()).Length(), 2.0f) << i;
    }
    EXPECT_EQ((std::vector<int>{CEndLine::kFinishLine, CEndLine::kStartLine}), EndKinds(after));
    cwtest::KeyPress('Z', true);
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(placedBytes, ReadWholeFile(path));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));

    CProgramProcess again;
    frame = StartAndWaitUntilReady(again, Quoted(path), Caption(L"Walk.agl"));
    ASSERT_TRUE(frame);
    filetest::WriteBytes(path, "");
    ASSERT_TRUE(SaveAndWait(path));
    EXPECT_EQ(placedBytes, ReadWholeFile(path));

    // Number 3 alone pasted into a course numbered 1,2 continues it.
    Click(map.ToScreen(numbered[2]->GetPosition()));
    EmptyTheClipboard();
    cwtest::KeyPress('C', true);
    ASSERT_TRUE(WaitForClipboard(CF_TEXT));
    CCourse three(L"", L"");
    std::istringstream block(ReadClipboardText());
    ASSERT_TRUE(three.ReadTextBlock(block, false));
    EXPECT_EQ(L"3", Labels(Collect(three).numbers));
    EXPECT_EQ(1u, three.GetObjectCount());
    CProgramProcess handOver;
    ASSERT_TRUE(handOver.Start(Quoted(targetPath)));
    EXPECT_EQ(0, handOver.WaitForExit(kWait));
    const HWND target = again.WaitForCaption(Caption(L"Target.agl"), kWait);
    ASSERT_TRUE(target);
    WaitUntilReady(again);
    const CWindowParts targetParts = FindParts(target);
    ASSERT_TRUE(targetParts.found);
    const auto pasteInTarget = [&] {
        Click(ViewPoint(targetParts, 0.98f, 0.98f));
        cwtest::KeyPress('V', true);
        EXPECT_TRUE(again.WaitForCaption(Caption(L"Target.agl *"), kWait));
        CCourse joined(L"", L"");
        EXPECT_TRUE(SaveAndReadBack(targetPath, joined));
        return Labels(Collect(joined).numbers);
    };
    EXPECT_EQ(L"1,2,3", pasteInTarget());

    // The whole walk pasted keeps its labels: no room before the target's 2.
    EmptyTheClipboard();
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kSelectAllCommand, 0), 0);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(kCopyCommand, 0), 0);
    ASSERT_TRUE(WaitForClipboard(CF_TEXT));
    EXPECT_EQ(L"1,2,3,1,2,3", pasteInTarget());
    again.CloseCourseWindows();
    EXPECT_EQ(0, again.WaitForExit(kWait));
}
