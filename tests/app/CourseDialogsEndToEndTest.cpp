#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>

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

// The course window's settings dialogs in the real program, opened from the
// menu, pictured and worked by mouse and keyboard.

using namespace programtest;

namespace {

HWND WaitForProgramDialog(const CProgramProcess& program, const std::function<bool(HWND)>& wanted)
{
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(20))
        for (HWND window : program.FindWindows(L"#32770"))
            if (wanted(window))
                return window;
    return nullptr;
}

// Runs the menu command and waits for its dialog (titled with the text),
// which is then pictured.
HWND OpenDialog(const CProgramProcess& program, HWND frame, int command, int titleText, const wchar_t* shot)
{
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    const HWND dialog = WaitForProgramDialog(program, [&](HWND window) {
        return GetWindowTextString(window) == GetString(titleText) && !ListDialogChildren(window).empty();
    });
    for (const DWORD start = GetTickCount(); dialog && !GetFocusedControl(dialog) && GetTickCount() - start < kWait;)
        PumpMessagesFor(20);
    EXPECT_TRUE(dialog && SaveDialogShot(dialog, shot)) << shot;
    return dialog;
}

// Alt and the key of the box's caption move the focus to it. The click that
// goes with the key does not always reach a dialog of another process under
// Wine, so the box is then clicked as the mouse would.
bool CheckByAccessKey(HWND dialog, HWND box)
{
    PressAccessKey(dialog, box);
    if (!WaitForFocus(dialog, box))
        return false;
    PumpMessagesFor(200);
    if (!IsButtonChecked(box))
        ClickControl(box);
    return IsButtonChecked(box);
}

// Saves through the window's Save command (whichever window is in front)
// and reads the file back once it changed.
bool SaveAndReadBack(HWND frame, const std::wstring& path, CCourse& course)
{
    const std::string before = ReadWholeFile(path);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2073, 0), 0);
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kWait; PumpMessagesFor(50))
        if (ReadWholeFile(path) != before)
            return ReadCourseFile(path, course);
    return false;
}

}  // namespace

TEST(CourseDialogsProgram, SelectSetUpCopyDifferencesAndJumpSettings)
{
    PrepareProgramSettings(1);
    const std::wstring path = MakeTempFolder(L"course-dialogs") + L"\\Walk.Final.agl";
    std::unique_ptr<CCourse> made = filetest::MakeCourseWithAFrames(L"", path);
    made->AddObject(FindObjectTypeById(CBarrel::kTypeId)->CreateNew(made.get(), CTransform(), nullptr));
    filetest::WriteBytes(path, filetest::TextBlockOf(*made));
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Walk.Final.agl"));
    ASSERT_TRUE(frame);

    // Select: the A-frames' key checks them, the root turns mixed; Copy then takes just the A-frames.
    HWND dialog = OpenDialog(program, frame, 2126, 2457, L"select");
    ASSERT_TRUE(dialog);
    const HWND root = FindChildByCaption(dialog, GetString(2458) + L" (4 )");
    const HWND aFrames = FindChildByCaption(dialog, FindObjectTypeById(CAFrame::kTypeId)->GetDisplayName(*made) + L" (3 )");
    ASSERT_TRUE(root && aFrames);
    EXPECT_TRUE(CheckByAccessKey(dialog, aFrames));
    EXPECT_EQ(BST_INDETERMINATE, SendMessageW(root, BM_GETCHECK, 0, 0));
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    EmptyTheClipboard();
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2112, 0), 0);
    ASSERT_TRUE(WaitForClipboard(CF_TEXT));
    CCourse copied(L"", L"");
    std::istringstream block(ReadClipboardText());
    ASSERT_TRUE(copied.ReadTextBlock(block, false));
    EXPECT_EQ(3u, copied.GetObjectCount());
    for (const CCourseObject* object : copied.GetObjects())
        EXPECT_EQ(CAFrame::kTypeId, object->GetType()->GetTypeId());

    // New Set-Up Copy, obstacles kept in place: a second window named from the title.
    dialog = OpenDialog(program, frame, 2064, 2460, L"setup-copy");
    ASSERT_TRUE(dialog);
    ClickControl(FindRadioButtons(dialog).at(5));
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    const HWND setUp = program.WaitForCaption(Caption(L"Walk.Final Set-Up"), kWait);
    ASSERT_TRUE(setUp);
    PumpMessagesFor(500);
    EXPECT_TRUE(SaveScreenPicture(setUp, GetTestArtefactPath(L"program-setup-copy.png")));
    EXPECT_EQ(5ul, ReadProgramInt((GetSpecList(1).GetName() + L"SetUp").c_str(), 0));

    // Differences with the copy, numbers included by their key. The copy, unmodified, then closes
    // without asking.
    SetForegroundWindow(frame);
    dialog = OpenDialog(program, frame, 2174, 2337, L"differences");
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(CheckByAccessKey(dialog, FindChildByCaption(dialog, GetString(2341))));
    ClickControl(FindRadioButtons(dialog).at(1));
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    PostMessageW(setUp, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntilGone(setUp));
    CCourse compared(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(frame, path, compared));
    EXPECT_EQ(4u, compared.GetOverlayObjects().size());
    EXPECT_EQ(std::make_pair(1ul, 0ul), std::make_pair(ReadProgramInt(L"DiffObsNums", 0), ReadProgramInt(L"DiffLines", 9)));
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-differences.png")));

    // Jump settings: the label's key reaches the length, Tab the planks; 3 planks on 17.8 in are refused.
    dialog = OpenDialog(program, frame, 2138, 2406, L"jump-settings");
    ASSERT_TRUE(dialog);
    const std::vector<HWND> edits = FindEditControls(dialog);
    ASSERT_EQ(2u, edits.size());
    PressAccessKey(dialog, FindChildByCaption(dialog, GetString(2408)));
    EXPECT_TRUE(WaitForFocus(dialog, edits[0]));
    PressKey(edits[0], VK_TAB);
    EXPECT_TRUE(WaitForFocus(dialog, edits[1]));
    TypeIntoEdit(edits[0], L"17.8\"");
    TypeIntoEdit(edits[1], L"3");
    PressDialogButton(dialog, IDOK);
    const HWND box = WaitForProgramDialog(program, [&](HWND b) { return b != dialog && GetDlgItem(b, 0xFFFF); });
    ASSERT_TRUE(box);
    EXPECT_EQ(GetString(2685), CProgramProcess::GetMessageBoxText(box));
    CProgramProcess::AnswerMessageBox(box);
    TypeIntoEdit(edits[0], L"17.9\"");
    PressDialogButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntilGone(dialog));
    CCourse jumps(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(frame, path, jumps));
    EXPECT_EQ(std::make_pair(179.0f, 3), std::make_pair(jumps.GetLongJumpLength(), jumps.GetLongJumpPlanks()));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}
