#include <gtest/gtest.h>

#include <windows.h>

#include <dde.h>

#include <atomic>
#include <cstring>
#include <string>
#include <vector>

#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/CourseWindow.h"
#include "app/DdeServer.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/DdeTestClient.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "ui/ModalState.h"

namespace {

using namespace ddeclient;

// ---- The server under test, with a runner that records --------------------------

std::vector<CCommandLine> g_run;
bool g_runResult = true;

bool RecordingRunner(const CCommandLine& commandLine)
{
    g_run.push_back(commandLine);
    return g_runResult;
}

const wchar_t kTestProduct[] = L"Fendrel Server Test";

class DdeServer : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearRecords();
        g_run.clear();
        g_runResult = true;
        m_server.reset(new CDdeServer(kTestProduct, &RecordingRunner));
        m_client = MakeClientWindow();
        ASSERT_TRUE(m_server->GetWindow());
        ASSERT_TRUE(m_client);
    }

    void TearDown() override
    {
        DestroyWindow(m_client);
        m_server.reset();
        PumpMessagesFor(20);
    }

    void PostExecute(HWND client, HGLOBAL command)
    {
        ASSERT_TRUE(PostMessageW(m_server->GetWindow(), WM_DDE_EXECUTE, WPARAM(client), LPARAM(command)));
    }

    // Posts the command from the test's client and waits for the server's
    // acknowledgement; whether it came. The memory stays the test's.
    bool ExecuteAndWaitForAck(HGLOBAL command)
    {
        PostExecute(m_client, command);
        return WaitForAck(5000);
    }

    std::unique_ptr<CDdeServer> m_server;
    HWND m_client = nullptr;
};

}  // namespace

// ---- Reading execute texts ---------------------------------------------------------

TEST(DdeCommandText, WideTextEndsAtItsZero)
{
    const std::wstring text = L"[open(\"C:\\a.agl\")]";
    HGLOBAL memory = MakeDdeCommandMemory(text);
    ASSERT_TRUE(memory);
    EXPECT_EQ((text.size() + 1) * sizeof(wchar_t), GlobalSize(memory));
    EXPECT_EQ(text, ReadDdeCommandText(memory));
    GlobalFree(memory);
}

TEST(DdeCommandText, MissingTerminatorEndsAtTheMemorysEnd)
{
    const std::wstring text = L"[open(\"C:\\a.agl\")]";
    HGLOBAL memory = MakeWideMemory(text, text.size() * sizeof(wchar_t));
    const SIZE_T size = GlobalSize(memory);
    // The system may round the size up; what lies beyond is zero here.
    EXPECT_EQ(text, ReadDdeCommandText(memory).substr(0, text.size()));
    EXPECT_LE(ReadDdeCommandText(memory).size(), size / sizeof(wchar_t));
    GlobalFree(memory);
}

TEST(DdeCommandText, OddByteCountReadsWholeCharactersOnly)
{
    HGLOBAL memory = MakeWideMemory(L"[ab", 5);
    const std::wstring read = ReadDdeCommandText(memory);
    EXPECT_EQ(L"[a", read.substr(0, 2));
    EXPECT_LE(read.size(), GlobalSize(memory) / 2);
    GlobalFree(memory);
}

TEST(DdeCommandText, EightBitTextIsWidened)
{
    HGLOBAL memory = MakeNarrowMemory("[print(\"C:\\a.agl\")]", true);
    EXPECT_EQ(L"[print(\"C:\\a.agl\")]", ReadDdeCommandText(memory));
    GlobalFree(memory);
    memory = MakeNarrowMemory("[open(\"C:\\b.agl\")]", false);
    EXPECT_EQ(L"[open(\"C:\\b.agl\")]", ReadDdeCommandText(memory).substr(0, 18));
    GlobalFree(memory);
}

TEST(DdeCommandText, NoMemoryGivesNoText)
{
    EXPECT_EQ(L"", ReadDdeCommandText(nullptr));
}

TEST(DdeCommandText, ApplicationNamesInTheirOrder)
{
    const std::vector<std::wstring> names = GetDdeApplicationNames(L"Fendrel 4");
    ASSERT_EQ(5u, names.size());
    EXPECT_EQ(L"Fendrel 4", names[0]);
    const std::wstring& path = GetShortModulePath();
    const size_t start = path.find_last_of(L"\\/") + 1;
    EXPECT_EQ(path.substr(start, path.find_last_of(L'.') - start), names[1]);
    EXPECT_EQ(0, _wcsicmp(names[1].c_str(), L"test_app"));
    EXPECT_EQ(L"agility", names[2]);
    EXPECT_EQ(L"qx2000", names[3]);
    EXPECT_EQ(L"Fendrel", names[4]);
}

// ---- Conversations with an in-process server -------------------------------------

TEST_F(DdeServer, WindowIsHiddenTopLevelWithItsClassName)
{
    HWND window = m_server->GetWindow();
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(nullptr, GetParent(window));
    EXPECT_EQ(window, FindWindowW(L"Fendrel Server Test DDE", nullptr));
    EXPECT_EQ(window, GetDdeServerWindow());
    EXPECT_EQ(L"Fendrel Server Test DDE", GetWindowTextString(window));
}

TEST_F(DdeServer, InitiateForOwnNameAndSystemIsAnswered)
{
    SendInitiate(m_server->GetWindow(), m_client, kTestProduct, L"System");
    ASSERT_EQ(1u, g_answers.size());
    EXPECT_EQ(m_server->GetWindow(), g_answers[0].server);
    EXPECT_EQ(kTestProduct, g_answers[0].application);
    EXPECT_EQ(L"System", g_answers[0].topic);
}

TEST_F(DdeServer, ZeroAtomsAreAnsweredWithFirstNameAndSystem)
{
    SendInitiate(m_server->GetWindow(), m_client, nullptr, nullptr);
    ASSERT_EQ(1u, g_answers.size());
    EXPECT_EQ(kTestProduct, g_answers[0].application);
    EXPECT_EQ(L"System", g_answers[0].topic);
}

TEST_F(DdeServer, EveryApplicationNameIsAnswered)
{
    for (const std::wstring& name : GetDdeApplicationNames(kTestProduct)) {
        ClearRecords();
        SendInitiate(m_server->GetWindow(), m_client, name.c_str(), L"System");
        ASSERT_EQ(1u, g_answers.size()) << name.c_str();
        EXPECT_EQ(0, _wcsicmp(name.c_str(), g_answers[0].application.c_str()));
    }
}

TEST_F(DdeServer, BroadcastInitiateFindsTheHiddenWindow)
{
    SendInitiate(HWND_BROADCAST, m_client, kTestProduct, L"System");
    ASSERT_EQ(1u, g_answers.size());
    EXPECT_EQ(m_server->GetWindow(), g_answers[0].server);
}

TEST_F(DdeServer, OtherApplicationOrTopicIsNotAnswered)
{
    SendInitiate(m_server->GetWindow(), m_client, L"Some Other Program", L"System");
    SendInitiate(m_server->GetWindow(), m_client, kTestProduct, L"Topics");
    SendInitiate(m_server->GetWindow(), m_client, nullptr, L"Formats");
    EXPECT_TRUE(g_answers.empty());
}

TEST_F(DdeServer, AnsiClientIsNotAnswered)
{
    HWND ansiClient = MakeAnsiClientWindow();
    ASSERT_TRUE(ansiClient);
    ASSERT_FALSE(IsWindowUnicode(ansiClient));
    SendInitiate(m_server->GetWindow(), ansiClient, kTestProduct, L"System");
    EXPECT_TRUE(g_answers.empty());
    DestroyWindow(ansiClient);
}

TEST_F(DdeServer, AnswerAtomsAreTheClientsOwn)
{
    SendInitiate(m_server->GetWindow(), m_client, kTestProduct, L"System");
    ASSERT_EQ(1u, g_answers.size());
    // The client deleted what it got; the server's own references remain.
    wchar_t name[64] = {};
    EXPECT_GT(GlobalGetAtomNameW(m_server->GetTopicAtom(), name, 64), 0u);
    EXPECT_STREQ(L"System", name);
    EXPECT_GT(GlobalGetAtomNameW(m_server->GetApplicationAtoms().front(), name, 64), 0u);
    EXPECT_STREQ(kTestProduct, name);
}

TEST_F(DdeServer, ExecuteRunsTheCommandAndAcknowledgesPositively)
{
    HGLOBAL command = MakeDdeCommandMemory(L"[open(\"C:\\Courses\\a b.agl\")]");
    ASSERT_TRUE(ExecuteAndWaitForAck(command));
    ASSERT_EQ(1u, g_run.size());
    EXPECT_EQ(kRunOpen, g_run[0].runMode);
    EXPECT_TRUE(g_run[0].fromDde);
    ASSERT_EQ(1u, g_run[0].fileNames.size());
    EXPECT_EQ(L"C:\\Courses\\a b.agl", g_run[0].fileNames[0]);
    ASSERT_EQ(1u, g_acks.size());
    EXPECT_EQ(m_server->GetWindow(), g_acks[0].server);
    EXPECT_EQ(UINT(0x8000), g_acks[0].status);
    EXPECT_EQ(UINT_PTR(command), g_acks[0].command);
    GlobalFree(command);
}

TEST_F(DdeServer, FailedCommandIsAcknowledgedNegatively)
{
    g_runResult = false;
    HGLOBAL command = MakeDdeCommandMemory(L"[print(\"C:\\missing.agl\")]");
    ASSERT_TRUE(ExecuteAndWaitForAck(command));
    ASSERT_EQ(1u, g_run.size());
    EXPECT_EQ(kRunPrint, g_run[0].runMode);
    EXPECT_EQ(UINT(0), g_acks[0].status);
    EXPECT_EQ(UINT_PTR(command), g_acks[0].command);
    GlobalFree(command);
}

TEST_F(DdeServer, UnknownCommandReachesTheRunnerAsModeZero)
{
    g_runResult = false;
    HGLOBAL command = MakeDdeCommandMemory(L"[close()]");
    ASSERT_TRUE(ExecuteAndWaitForAck(command));
    ASSERT_EQ(1u, g_run.size());
    EXPECT_EQ(kRunUnknown, g_run[0].runMode);
    EXPECT_TRUE(g_run[0].fromDde);
    EXPECT_EQ(UINT(0), g_acks[0].status);
    GlobalFree(command);
}

TEST_F(DdeServer, CommandWithoutTerminatorIsReadWithinItsMemory)
{
    const std::wstring text = L"[open(\"C:\\x.agl\")]";
    HGLOBAL command = MakeWideMemory(text, text.size() * sizeof(wchar_t));
    ASSERT_TRUE(ExecuteAndWaitForAck(command));
    ASSERT_EQ(1u, g_run.size());
    EXPECT_EQ(kRunOpen, g_run[0].runMode);
    EXPECT_EQ(L"C:\\x.agl", g_run[0].fileNames.at(0));
    GlobalFree(command);
}

TEST_F(DdeServer, CommandWhileModalIsRefusedAndNotRun)
{
    HGLOBAL command = MakeDdeCommandMemory(L"[open(\"C:\\a.agl\")]");
    {
        CModalScope modal;
        ASSERT_TRUE(ExecuteAndWaitForAck(command));
    }
    EXPECT_TRUE(g_run.empty());
    EXPECT_EQ(UINT(0), g_acks[0].status);
    // Not queued for later either.
    PumpMessagesFor(100);
    EXPECT_TRUE(g_run.empty());
    GlobalFree(command);
}

TEST_F(DdeServer, CommandWithoutClientIsRunWithoutAnswer)
{
    HGLOBAL command = MakeDdeCommandMemory(L"[open(\"C:\\a.agl\")]");
    PostExecute(nullptr, command);
    PumpMessagesFor(200);
    ASSERT_EQ(1u, g_run.size());
    EXPECT_EQ(kRunOpen, g_run[0].runMode);
    EXPECT_TRUE(g_acks.empty());
}

TEST_F(DdeServer, CommandWithoutClientIsFreedByTheServer)
{
    // Called directly: a posted DDE message may reach the window as a copy
    // of the memory (Wine copies even within one process).
    HGLOBAL command = MakeDdeCommandMemory(L"[print(\"C:\\a.agl\")]");
    ASSERT_NE(0u, GlobalSize(command));
    m_server->OnExecute(nullptr, LPARAM(command));
    ASSERT_EQ(1u, g_run.size());
    EXPECT_EQ(kRunPrint, g_run[0].runMode);
    EXPECT_EQ(0u, GlobalSize(command));
    PumpMessagesFor(50);
    EXPECT_TRUE(g_acks.empty());
}

TEST_F(DdeServer, ClientThatIsGoneGetsNoAnswer)
{
    HWND gone = MakeClientWindow();
    DestroyWindow(gone);
    HGLOBAL command = MakeDdeCommandMemory(L"[open(\"C:\\a.agl\")]");
    m_server->OnExecute(gone, LPARAM(command));
    EXPECT_EQ(1u, g_run.size());
    EXPECT_EQ(0u, GlobalSize(command));
}

TEST_F(DdeServer, InvalidMemoryIsRefusedWithoutRunning)
{
    m_server->OnExecute(m_client, 0);
    ASSERT_TRUE(WaitForAck(2000));
    EXPECT_TRUE(g_run.empty());
    EXPECT_EQ(UINT(0), g_acks[0].status);
}

TEST_F(DdeServer, TerminateIsAnsweredWithTerminate)
{
    ASSERT_TRUE(PostMessageW(m_server->GetWindow(), WM_DDE_TERMINATE, WPARAM(m_client), 0));
    PumpMessagesFor(100);
    ASSERT_EQ(1u, g_terminations.size());
    EXPECT_EQ(m_server->GetWindow(), g_terminations[0]);
}

TEST_F(DdeServer, HandOverPostsOneCommandPerFileInOrder)
{
    CCommandLine commandLine;
    commandLine.runMode = kRunOpen;
    commandLine.fileNames = {L"C:\\a.agl", L"C:\\b c.agl"};
    EXPECT_TRUE(HandOverCommands(BuildDdeCommands(commandLine), m_server->GetClassName(), 0));
    PumpMessagesFor(200);
    ASSERT_EQ(2u, g_run.size());
    EXPECT_EQ(L"C:\\a.agl", g_run[0].fileNames.at(0));
    EXPECT_EQ(L"C:\\b c.agl", g_run[1].fileNames.at(0));
    EXPECT_TRUE(g_acks.empty());
}

// The front window's close comes due just as the message of an open that
// failed is shown: the window goes while the message is up.
CHILD_TEST(DdeOpen, FrontWindowClosingDuringAFailedOpensMessage)
{
    filetest::OpenFileTestSettings();
    new CCourseWindow(new CCourse(L"Back", L""));
    CCourseWindow* front = new CCourseWindow(new CCourse(L"Front", L""));
    PumpMessagesFor(100);
    SendMessageW(front->hwnd, WM_CLOSE, 0, 0);
    CDdeServer server(L"Fendrel Close Test");
    server.OnExecute(nullptr, LPARAM(MakeDdeCommandMemory(L"[open(\"C:\")]")));
    const std::vector<CCourseWindow*> left = CCourseWindow::GetCourseWindows();
    if (left.size() != 1 || left[0]->GetCourse()->GetTitle() != L"Back")
        return 1;
    if (CDialogWatcher::TakeAnsweredTexts().size() != 1)
        return 2;
    return ReportCount() == 0 ? 0 : 3;
}

namespace {

std::atomic<int> g_lateRuns{0};

bool CountingRunner(const CCommandLine& commandLine)
{
    if (commandLine.runMode == kRunOpen)
        ++g_lateRuns;
    return true;
}

struct CLateServer
{
    HANDLE stop = nullptr;
};

// A server that appears some time after the hand-over has begun, on a
// thread of its own.
DWORD WINAPI RunLateServer(void* param)
{
    CLateServer& late = *static_cast<CLateServer*>(param);
    Sleep(400);
    CDdeServer server(L"Fendrel Late Test", &CountingRunner);
    while (MsgWaitForMultipleObjects(1, &late.stop, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace

TEST(DdeHandOver, WaitsForAServerThatIsStillStarting)
{
    g_lateRuns = 0;
    CLateServer late;
    late.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, RunLateServer, &late, 0, nullptr);
    ASSERT_TRUE(thread);
    EXPECT_TRUE(HandOverCommands({L"[open(\"C:\\late.agl\")]"}, L"Fendrel Late Test DDE", 5000));
    for (int i = 0; i < 200 && g_lateRuns == 0; ++i)
        Sleep(10);
    EXPECT_EQ(1, g_lateRuns.load());
    SetEvent(late.stop);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    CloseHandle(late.stop);
}

namespace {

// A course window's stand-in and, while it runs, a task-modal message box
// of its thread, as the program shows them.
struct CModalBoxThread {
    HWND running = nullptr;
    int answer = -1;
};

DWORD WINAPI RunModalBox(void* param)
{
    CModalBoxThread& box = *static_cast<CModalBoxThread*>(param);
    box.running = CreateWindowExW(0, L"STATIC", L"Course", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    box.answer = MessageBoxW(nullptr, L"Parts of this course could not be read.", L"Fendrel Box Test", MB_TASKMODAL);
    DestroyWindow(box.running);
    return 0;
}

}  // namespace

// A second start brings forward what the user must answer: raising the
// disabled course window would hide the box under it and leave a program that
// ignores every click.
TEST(DdeHandOver, BringsForwardTheBoxOfADisabledCourseWindow)
{
    // The suite's watcher would answer the box the moment it shows.
    const CDialogWatcherPause pause;
    CModalBoxThread box;
    HANDLE thread = CreateThread(nullptr, 0, RunModalBox, &box, 0, nullptr);
    ASSERT_TRUE(thread);
    // The box is made hidden and shown once it is laid out; the first box of
    // a process can take a while on a loaded machine: wait for it to show as
    // long as its thread runs.
    HWND shown = nullptr;
    for (int i = 0; i < 3000 && WaitForSingleObject(thread, 10) == WAIT_TIMEOUT; ++i) {
        const HWND found = FindWindowW(L"#32770", L"Fendrel Box Test");
        if (found && IsWindowVisible(found)) {
            shown = found;
            break;
        }
    }
    ASSERT_TRUE(shown) << "MessageBoxW gave " << box.answer;
    ASSERT_FALSE(IsWindowEnabled(box.running));
    const HWND forward = GetWindowToBringForward(box.running);
    EXPECT_EQ(shown, forward) << GetWindowTextString(forward);
    PostMessageW(shown, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 10000));
    CloseHandle(thread);

    // With nothing modal the course window comes forward itself.
    HWND plain = CreateWindowExW(0, L"STATIC", L"Course", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    EXPECT_EQ(plain, GetWindowToBringForward(plain));
    EnableWindow(plain, FALSE);
    EXPECT_EQ(plain, GetWindowToBringForward(plain));
    DestroyWindow(plain);
}

CHILD_TEST(DdeHandOver, NoServerAtAllIsReported)
{
    const bool posted = HandOverCommands({L"[open(\"C:\\a.agl\")]"}, L"No Such Fendrel Server DDE", 200);
    return (posted ? 10 : 0) + (ReportCount() == 1 ? 0 : 1);
}

// ---- The real program as a DDE server -------------------------------------------

namespace {

class DdeProgram : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearRecords();
        m_folder = MakeTempFolder(L"dde-program");
        m_course = WriteEmptyCourseFile(m_folder, L"Printed course.agl");
        m_client = MakeClientWindow();
        ASSERT_TRUE(m_program.Start(L"/dde"));
        m_server = WaitForServer();
        ASSERT_TRUE(m_server);
    }

    void TearDown() override { DestroyWindow(m_client); }

    HWND WaitForServer()
    {
        for (int i = 0; i < 1000; ++i) {
            HWND server = FindWindowW(L"Fendrel 4 DDE", nullptr);
            if (server)
                return server;
            PumpMessagesFor(20);
        }
        return nullptr;
    }

    HGLOBAL Execute(const std::wstring& text)
    {
        HGLOBAL command = MakeDdeCommandMemory(text);
        PostMessageW(m_server, WM_DDE_EXECUTE, WPARAM(m_client), LPARAM(command));
        return command;
    }

    CProgramProcess m_program;
    std::wstring m_folder;
    std::wstring m_course;
    HWND m_client = nullptr;
    HWND m_server = nullptr;
};

}  // namespace

TEST_F(DdeProgram, InitiateIsAnsweredWithProductNameAndSystem)
{
    SendInitiate(HWND_BROADCAST, m_client, nullptr, nullptr);
    bool found = false;
    for (const CAnswer& answer : g_answers) {
        if (answer.server == m_server) {
            found = true;
            EXPECT_EQ(L"Fendrel 4", answer.application);
            EXPECT_EQ(L"System", answer.topic);
        }
    }
    EXPECT_TRUE(found);
    ClearRecords();
    SendInitiate(HWND_BROADCAST, m_client, L"agility", L"System");
    ASSERT_EQ(1u, g_answers.size());
    EXPECT_EQ(m_server, g_answers[0].server);
    PostMessageW(m_server, WM_DDE_TERMINATE, WPARAM(m_client), 0);
    PumpMessagesFor(200);
    EXPECT_EQ(1u, g_terminations.size());
    m_program.CloseCourseWindows();
}

TEST_F(DdeProgram, PrintIsAcknowledgedAndTheProgramEndsAfterwards)
{
    // A server run shows neither a window nor the splash.
    PumpMessagesFor(300);
    EXPECT_TRUE(m_program.FindWindows(L"Fendrel 4").empty());
    EXPECT_TRUE(m_program.FindWindows(L"#32770").empty());
    HGLOBAL command = Execute(L"[print(\"" + m_course + L"\")]");
    std::vector<std::wstring> boxes;
    ASSERT_TRUE(WaitForAck(20000, &m_program, &boxes));
    const DWORD acknowledged = GetTickCount();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(UINT(0x8000), g_acks[0].status);
    EXPECT_EQ(UINT_PTR(command), g_acks[0].command);
    GlobalFree(command);
    // No window opened: the quit timer ends the run 1500 ms later.
    EXPECT_TRUE(m_program.FindWindows(L"Fendrel 4").empty());
    EXPECT_EQ(0, m_program.WaitForExit(20000));
    const DWORD elapsed = GetTickCount() - acknowledged;
    EXPECT_GE(elapsed, 1300u);
    EXPECT_LT(elapsed, 10000u);
}

TEST_F(DdeProgram, MalformedCommandIsExplainedAndAcknowledgedNegatively)
{
    HGLOBAL command = Execute(L"[frobnicate(\"x\")]");
    std::vector<std::wstring> boxes;
    ASSERT_TRUE(WaitForAck(20000, &m_program, &boxes));
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(GetString(2680), boxes[0]);
    EXPECT_EQ(UINT(0), g_acks[0].status);
    GlobalFree(command);
    EXPECT_EQ(0, m_program.WaitForExit(20000));
}

TEST_F(DdeProgram, EmptyFileNameIsRefused)
{
    HGLOBAL command = Execute(L"[open(\"\")]");
    std::vector<std::wstring> boxes;
    ASSERT_TRUE(WaitForAck(20000, &m_program, &boxes));
    EXPECT_EQ(UINT(0), g_acks[0].status);
    EXPECT_TRUE(m_program.FindWindows(L"Fendrel 4").empty());
    GlobalFree(command);
}

TEST_F(DdeProgram, CommandWhileAMessageIsShownIsRefused)
{
    HGLOBAL malformed = Execute(L"[what]");
    HWND box = m_program.WaitForMessageBox(20000);
    ASSERT_TRUE(box);
    HGLOBAL print = Execute(L"[print(\"" + m_course + L"\")]");
    ASSERT_TRUE(WaitForAck(20000));
    ASSERT_EQ(1u, g_acks.size());
    EXPECT_EQ(UINT_PTR(print), g_acks[0].command);
    EXPECT_EQ(UINT(0), g_acks[0].status);
    // The answer may come while the box is still going away.
    g_acks.clear();
    CProgramProcess::AnswerMessageBox(box);
    ASSERT_TRUE(WaitForAck(20000));
    EXPECT_EQ(UINT_PTR(malformed), g_acks[0].command);
    EXPECT_EQ(UINT(0), g_acks[0].status);
    GlobalFree(malformed);
    GlobalFree(print);
}

TEST_F(DdeProgram, OpenCommandOpensAWindowAndKeepsTheProgramUp)
{
    HGLOBAL command = Execute(L"[open(\"" + m_course + L"\")]");
    ASSERT_TRUE(WaitForAck(20000));
    EXPECT_EQ(UINT(0x8000), g_acks[0].status);
    GlobalFree(command);
    EXPECT_TRUE(m_program.WaitForCaption(L"Printed course.agl - " + GetString(2001), 10000));
    PumpMessagesFor(2500);
    EXPECT_TRUE(m_program.IsRunning());
    m_program.CloseCourseWindows();
    EXPECT_EQ(0, m_program.WaitForExit(20000));
}
