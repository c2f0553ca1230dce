#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/Barrel.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"

// The course window's settings dialogs in the real program: Select, New
// Set-Up Copy, Course Differences and Jump Settings, opened from the menu,
// pictured and worked by mouse and keyboard.

using namespace programtest;

namespace {

constexpr int kOrganisation = 1;

HWND WaitForProgramDialog(const CProgramProcess& program, const std::function<bool(HWND)>& wanted)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (wanted(window))
                return window;
    return nullptr;
}

// Runs the menu command and waits for its dialog, titled with the text.
HWND OpenDialog(const CProgramProcess& program, HWND frame, int command, int titleText)
{
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    return WaitForProgramDialog(program, [&](HWND window) {
        return GetWindowTextString(window) == GetString(titleText) && !ListDialogChildren(window).empty();
    });
}

std::wstring AnswerBoxOver(const CProgramProcess& program, HWND window)
{
    const HWND box = WaitForProgramDialog(program, [&](HWND b) { return b != window && GetDlgItem(b, 0xFFFF); });
    if (!box)
        return L"<no message>";
    const std::wstring text = CProgramProcess::GetMessageBoxText(box);
    CProgramProcess::AnswerMessageBox(box);
    return text;
}

bool Close(HWND window, int button)
{
    PressDialogButton(window, button);
    return WaitUntilGone(window);
}

// The set-up copy's window is in front: the original is saved through its
// own menu command and read back once its file changed.
bool SaveFrameAndReadBack(HWND frame, const std::wstring& path, CCourse& course)
{
    const std::string before = ReadWholeFile(path);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2073, 0), 0);
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(50))
        if (ReadWholeFile(path) != before)
            return ReadCourseFile(path, course);
    return false;
}

// Alt and the control's access key, once the dialog has given some control
// the focus.
void PressKeyOf(HWND dialog, HWND control)
{
    for (const DWORD start = GetTickCount(); !GetFocusedControl(dialog) && GetTickCount() - start < kWait;)
        PumpMessagesFor(20);
    PressAccessKey(dialog, control);
    PumpMessagesFor(200);
}

// Alt and the box's key reach it; the click that goes with the key is not
// always delivered to a dialog of another process under Wine, so the box is
// then clicked as the mouse would.
bool CheckByAccessKey(HWND dialog, HWND box)
{
    PressKeyOf(dialog, box);
    if (!WaitForFocus(dialog, box))
        return false;
    PumpMessagesFor(200);
    if (SendMessageW(box, BM_GETCHECK, 0, 0) != BST_CHECKED)
        ClickControl(box);
    return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

}  // namespace

TEST(CourseDialogsProgram, SelectSetUpCopyDifferencesAndJumpSettings)
{
    PrepareProgramSettings(kOrganisation);
    const std::wstring folder = MakeTempFolder(L"course-dialogs");
    const std::wstring path = folder + L"\\Walk.Final.agl";
    {
        std::unique_ptr<CCourse> course = filetest::MakeCourseWithAFrames(L"Walk.Final.agl", path);
        CTransform placement;
        placement.SetPosition2D(9000.0f, 6000.0f);
        course->AddObject(FindObjectTypeById(CBarrel::kTypeId)->CreateNew(course.get(), placement, nullptr));
        filetest::WriteBytes(path, filetest::TextBlockOf(*course));
    }
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Walk.Final.agl"));
    ASSERT_TRUE(frame);
    CCourse names(L"", L"");
    const std::wstring aFrames = FindObjectTypeById(CAFrame::kTypeId)->GetDisplayName(names);

    // Select: the A-frames' access key checks them and the root follows; Copy takes just them.
    HWND dialog = OpenDialog(program, frame, 2126, 2457);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(SaveDialogShot(dialog, L"select"));
    const HWND root = FindChildByCaption(dialog, GetString(2458) + L" (4 )");
    const HWND aFrameBox = FindChildByCaption(dialog, aFrames + L" (3 )");
    ASSERT_TRUE(root && aFrameBox);
    EXPECT_TRUE(CheckByAccessKey(dialog, aFrameBox));
    EXPECT_EQ(BST_INDETERMINATE, SendMessageW(root, BM_GETCHECK, 0, 0));
    ASSERT_TRUE(Close(dialog, IDOK));
    EmptyTheClipboard();
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2112, 0), 0);
    ASSERT_TRUE(WaitForClipboard(CF_TEXT));
    CCourse copied(L"", L"");
    std::istringstream block(ReadClipboardText());
    ASSERT_TRUE(copied.ReadTextBlock(block, false));
    EXPECT_EQ(3u, copied.GetObjectCount());
    for (const CCourseObject* object : copied.GetObjects())
        EXPECT_EQ(CAFrame::kTypeId, object->GetType()->GetTypeId());

    // New Set-Up Copy: a second window, named from the title, holding the course unmodified.
    dialog = OpenDialog(program, frame, 2064, 2460);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(SaveDialogShot(dialog, L"setup-copy"));
    const std::vector<HWND> choices = FindRadioButtons(dialog);
    ASSERT_EQ(6u, choices.size());
    ClickControl(choices[5]);
    ASSERT_TRUE(Close(dialog, IDOK));
    const HWND setUp = program.WaitForCaption(Caption(L"Walk.Final Set-Up"), kWait);
    ASSERT_TRUE(setUp);
    PumpMessagesFor(500);
    EXPECT_TRUE(SaveScreenPicture(setUp, GetTestArtefactPath(L"program-setup-copy.png")));
    EXPECT_EQ(5ul, ReadProgramInt((GetSpecList(kOrganisation).GetName() + L"SetUp").c_str(), 0));

    // Differences: compare with the set-up copy, numbers included by their access key.
    SetForegroundWindow(frame);
    for (const DWORD start = GetTickCount(); GetForegroundWindow() != frame && GetTickCount() - start < kWait;)
        PumpMessagesFor(20);
    dialog = OpenDialog(program, frame, 2174, 2337);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(SaveDialogShot(dialog, L"differences"));
    const HWND numbers = FindChildByCaption(dialog, GetString(2341));
    const std::vector<HWND> modes = FindRadioButtons(dialog);
    ASSERT_TRUE(numbers);
    ASSERT_EQ(2u, modes.size());
    EXPECT_TRUE(CheckByAccessKey(dialog, numbers));
    ClickControl(modes[1]);
    EXPECT_TRUE(IsButtonChecked(modes[1]));
    ASSERT_TRUE(Close(dialog, IDOK));
    // The overlay is a copy: the set-up window may go (unmodified, it closes without asking).
    PostMessageW(setUp, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntilGone(setUp));
    CCourse compared(L"", L"");
    ASSERT_TRUE(SaveFrameAndReadBack(frame, path, compared));
    PumpMessagesFor(500);
    EXPECT_EQ(4u, compared.GetOverlayObjects().size());
    EXPECT_EQ(1ul, ReadProgramInt(L"DiffObsNums", 0));
    EXPECT_EQ(0ul, ReadProgramInt(L"DiffLines", 9));
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-differences.png")));

    // Jump settings: three planks on 17.8 in are refused, on 17.9 in taken; the label's key reaches the length.
    dialog = OpenDialog(program, frame, 2138, 2406);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(SaveDialogShot(dialog, L"jump-settings"));
    const std::vector<HWND> edits = FindEditControls(dialog);
    ASSERT_EQ(2u, edits.size());
    PressKeyOf(dialog, FindChildByCaption(dialog, GetString(2408)));
    EXPECT_TRUE(WaitForFocus(dialog, edits[0]));
    PressKey(edits[0], VK_TAB);
    EXPECT_TRUE(WaitForFocus(dialog, edits[1]));
    TypeIntoEdit(edits[0], L"17.8\"");
    TypeIntoEdit(edits[1], L"3");
    PressDialogButton(dialog, IDOK);
    EXPECT_EQ(GetString(2685), AnswerBoxOver(program, dialog));
    TypeIntoEdit(edits[0], L"17.9\"");
    ASSERT_TRUE(Close(dialog, IDOK));
    CCourse jumps(L"", L"");
    ASSERT_TRUE(SaveFrameAndReadBack(frame, path, jumps));
    EXPECT_EQ(179.0f, jumps.GetLongJumpLength());
    EXPECT_EQ(3, jumps.GetLongJumpPlanks());

    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
