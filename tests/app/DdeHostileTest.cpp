#include <gtest/gtest.h>

#include <windows.h>

#include <dde.h>
#include <ddeml.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "app/DdeServer.h"
#include "foundation/Strings.h"
#include "tests/app/DdeTestClient.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/TestSupport.h"

// Hostile DDE conversations with the running program: junk, freed and
// foreign handles, texts without terminators, long and 8-bit texts, device
// paths, message boxes closed from outside and commands that arrive while
// one is shown, DDEML executes. Afterwards a second start hands over a file,
// which must open. FENDREL_DDE_CASES sets the number of conversations (a
// few hundred by default; some thousands for a run by hand).

using namespace ddeclient;

namespace {

HDDEDATA CALLBACK IgnoreDdemlCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR)
{
    return nullptr;
}

class CHostileClient
{
public:
    CHostileClient(CProgramProcess& program, HWND server, const std::wstring& folder, const std::wstring& course)
        : m_program(program), m_server(server), m_course(course)
    {
        m_client = MakeClientWindow();
        m_ansiClient = MakeAnsiClientWindow();
        m_missing = folder + L"\\missing course.agl";
        DdeInitializeW(&m_ddeml, IgnoreDdemlCallback, APPCMD_CLIENTONLY, 0);
    }

    ~CHostileClient()
    {
        if (m_ddeml)
            DdeUninitialize(m_ddeml);
        DestroyWindow(m_client);
        DestroyWindow(m_ansiClient);
    }

    // One conversation of the kind the generator picks.
    void Run()
    {
        switch (Random(12)) {
        case 0:
            PostJunkHandle();
            break;
        case 1:
            PostFreedHandle();
            break;
        case 2:
            ExecuteWide(RandomCommand(), true);
            break;
        case 3:
            ExecuteWide(L"[open(\"" + RandomPath() + L"\")]", true);
            break;
        case 4:
            ExecuteUnterminated();
            break;
        case 5:
            ExecuteNarrow();
            break;
        case 6:
            ExecuteWide(L"[open(\"" + std::wstring(32767, wchar_t(L'a' + Random(26))) + L"\")]", true);
            break;
        case 7:
            InitiateWithJunk();
            break;
        case 8:
            ExecuteThroughDdeml();
            break;
        case 9:
            // While the box of a missing file is up, commands are refused.
            ExecuteWide(L"[open(\"" + m_missing + L"\")]", false);
            m_program.WaitForMessageBox(3000);
            ExecuteWide(L"[open(\"" + m_course + L"\")]", true);
            break;
        case 10:
            PostMessageW(m_server, WM_DDE_TERMINATE, WPARAM(Random(2) ? m_client : HWND(uintptr_t(RandomWord()))), 0);
            break;
        default:
            ExecuteWide(L"[open(\"" + m_course + L"\")]", true);
            break;
        }
        CloseBoxesFromOutside();
    }

    int GetMissingAcks() const { return m_missingAcks; }
    int GetAcks() const { return m_acks; }
    const std::set<std::wstring>& GetBoxTexts() const { return m_boxTexts; }

    // Closes the boxes still coming until a second passes without one: a
    // command handed over while a box is up is refused, not queued.
    void Settle()
    {
        const DWORD start = GetTickCount();
        DWORD quietSince = GetTickCount();
        while (GetTickCount() - quietSince < 1000 && GetTickCount() - start < 30000) {
            if (CloseBoxesFromOutside())
                quietSince = GetTickCount();
            PumpMessagesFor(50);
        }
    }

private:
    size_t Random(size_t limit) { return size_t(m_rng() % limit); }
    uint32_t RandomWord() { return m_rng(); }

    LPARAM JunkLParam()
    {
        static const LPARAM kJunk[] = {0x7FFFFFFF, LPARAM(0xFFFFFFFF), 1, 2, 4, 0x10000, LPARAM(0x80000000)};
        return Random(3) ? kJunk[Random(7)] : LPARAM(RandomWord());
    }

    void PostJunkHandle()
    {
        const HWND client = Random(2) ? m_client : HWND(uintptr_t(Random(2) ? 0 : RandomWord()));
        PostMessageW(m_server, WM_DDE_EXECUTE, WPARAM(client), JunkLParam());
    }

    void PostFreedHandle()
    {
        HGLOBAL memory = MakeDdeCommandMemory(L"[open(\"" + m_course + L"\")]");
        GlobalFree(memory);
        PostMessageW(m_server, WM_DDE_EXECUTE, WPARAM(m_client), LPARAM(memory));
    }

    std::wstring RandomPath()
    {
        static const wchar_t* const kPaths[] = {
            L"NUL", L"CON", L"CONIN$", L"\\\\.\\NUL", L"\\\\.\\COM1", L"\\\\.\\PIPE\\fendrel", L"\\\\?\\C:\\nowhere.agl",
            L"\\\\?\\GLOBALROOT\\Device\\Null", L"C:\\", L"", L"\\\\server\\share\\a.agl", L"C:\\a\\..\\..\\..\\b.agl",
        };
        return Random(4) ? kPaths[Random(12)] : L"\\\\?\\" + m_missing;
    }

    std::wstring RandomCommand()
    {
        std::wstring text;
        const size_t length = Random(80);
        static const wchar_t kPieces[] = L"[]()\"open print,\\ \x00e9\x20ac\xd800\xffff";
        if (Random(2))
            text = Random(2) ? L"[open(\"" : L"[print(\"";
        for (size_t i = 0; i < length; ++i)
            text += Random(2) ? kPieces[Random(sizeof kPieces / sizeof kPieces[0] - 1)] : wchar_t(1 + Random(0xFFFE));
        return text;
    }

    // Posts the text from the Unicode client; an acknowledgement must come.
    void ExecuteWide(const std::wstring& text, bool waitForAck)
    {
        Execute(MakeDdeCommandMemory(text), m_client, waitForAck);
    }

    void ExecuteUnterminated()
    {
        const std::wstring text = L"[open(\"" + m_course + L"\")]";
        const size_t bytes = 1 + Random(text.size() * sizeof(wchar_t));
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
        if (void* data = GlobalLock(memory)) {
            memset(data, 0x41 + int(Random(3)), bytes);
            memcpy(data, text.c_str(), std::min(bytes, text.size() * sizeof(wchar_t)));
            GlobalUnlock(memory);
        }
        Execute(memory, m_client, true);
    }

    void ExecuteNarrow()
    {
        std::string text = "[open(\"";
        for (size_t i = Random(200); i > 0; --i)
            text += char(1 + Random(255));
        // An 8-bit client gets no conversation, but its posts still arrive.
        const bool ansi = Random(2) != 0;
        Execute(MakeNarrowMemory(text, Random(2) != 0), ansi ? m_ansiClient : m_client, !ansi);
    }

    void Execute(HGLOBAL memory, HWND client, bool waitForAck)
    {
        if (!memory)
            return;
        g_acks.clear();
        if (!PostMessageW(m_server, WM_DDE_EXECUTE, WPARAM(client), LPARAM(memory))) {
            GlobalFree(memory);
            return;
        }
        if (!waitForAck)
            return;
        // The answer may wait for a message box of the command: boxes are
        // closed from outside while waiting.
        const DWORD start = GetTickCount();
        while (g_acks.empty() && GetTickCount() - start < 15000) {
            PumpMessagesFor(5);
            CloseBoxesFromOutside();
        }
        if (g_acks.empty())
            ++m_missingAcks;
        else
            ++m_acks;
        GlobalFree(memory);
    }

    void InitiateWithJunk()
    {
        const ATOM application = Random(2) ? GlobalAddAtomW(L"Fendrel 4") : ATOM(RandomWord());
        const ATOM topic = Random(2) ? GlobalAddAtomW(L"System") : ATOM(RandomWord());
        const WPARAM client = Random(3) ? WPARAM(m_client) : WPARAM(RandomWord());
        DWORD_PTR result = 0;
        SendMessageTimeoutW(m_server, WM_DDE_INITIATE, client, MAKELPARAM(application, topic), SMTO_ABORTIFHUNG, 2000,
                            &result);
        GlobalDeleteAtom(application);
        GlobalDeleteAtom(topic);
        // Answers to the test's client carry atoms of its own.
        g_answers.clear();
    }

    void ExecuteThroughDdeml()
    {
        if (!m_ddeml)
            return;
        HSZ service = DdeCreateStringHandleW(m_ddeml, Random(2) ? L"Fendrel 4" : L"agility", CP_WINUNICODE);
        HSZ topic = DdeCreateStringHandleW(m_ddeml, L"System", CP_WINUNICODE);
        if (HCONV conversation = DdeConnect(m_ddeml, service, topic, nullptr)) {
            const std::wstring text = Random(2) ? RandomCommand() : L"[open(\"" + m_course + L"\")]";
            DWORD result = 0;
            DdeClientTransaction(reinterpret_cast<BYTE*>(const_cast<wchar_t*>(text.c_str())),
                                 DWORD((text.size() + Random(2)) * sizeof(wchar_t)), conversation, nullptr, 0,
                                 XTYP_EXECUTE, 1000, &result);
            DdeDisconnect(conversation);
        }
        DdeFreeStringHandle(m_ddeml, service);
        DdeFreeStringHandle(m_ddeml, topic);
    }

    // Message boxes go by WM_CLOSE or their button, as a user or another
    // program might end them; their texts are kept. Whether there was one.
    bool CloseBoxesFromOutside()
    {
        const std::vector<HWND> boxes = m_program.FindWindows(L"#32770");
        for (HWND box : boxes) {
            m_boxTexts.insert(CProgramProcess::GetMessageBoxText(box));
            if (Random(2))
                PostMessageW(box, WM_CLOSE, 0, 0);
            else
                CProgramProcess::AnswerMessageBox(box);
        }
        return !boxes.empty();
    }

    CProgramProcess& m_program;
    HWND m_server;
    std::wstring m_course;
    std::wstring m_missing;
    HWND m_client = nullptr;
    HWND m_ansiClient = nullptr;
    DWORD m_ddeml = 0;
    std::mt19937 m_rng{20240611u};
    int m_acks = 0;
    int m_missingAcks = 0;
    std::set<std::wstring> m_boxTexts;
};

int GetCaseCount()
{
    const char* cases = std::getenv("FENDREL_DDE_CASES");
    return cases ? std::atoi(cases) : 240;
}

}  // namespace

TEST(DdeHostile, EveryExecuteIsAnsweredAndASecondStartStillHandsOver)
{
    ClearRecords();
    const std::wstring folder = MakeTempFolder(L"dde-hostile");
    const std::wstring first = WriteEmptyCourseFile(folder, L"First course.agl");
    const std::wstring second = WriteEmptyCourseFile(folder, L"Second course.agl");
    const std::wstring suffix = L" - " + GetString(2001);
    CProgramProcess program;
    ASSERT_TRUE(program.Start(L"\"" + first + L"\""));
    ASSERT_TRUE(program.WaitForCaption(L"First course.agl" + suffix, 30000));
    const HWND server = FindWindowW(L"Fendrel 4 DDE", nullptr);
    ASSERT_TRUE(server);

    const int cases = GetCaseCount();
    const DWORD started = GetTickCount();
    {
        CHostileClient client(program, server, folder, first);
        // The first unanswered execute ends the run: a server that stopped
        // answering would keep every later one waiting.
        int held = 0;
        for (; held < cases && program.IsRunning() && client.GetMissingAcks() == 0; ++held)
            client.Run();
        if (!program.IsRunning())
            std::printf("the program ended after %d conversations with exit code %d\n", held, program.WaitForExit(0));
        std::printf("%d hostile conversations: %d executes answered, %d not; %lu ms\n", cases, client.GetAcks(),
                    client.GetMissingAcks(), static_cast<unsigned long>(GetTickCount() - started));
        EXPECT_EQ(0, client.GetMissingAcks());
        EXPECT_GT(client.GetAcks(), cases / 4);
        client.Settle();
        // Bad commands are the client's fault: none is the program's own
        // failure report.
        const std::wstring report = GetString(2675).substr(0, 20);
        for (const std::wstring& text : client.GetBoxTexts())
            EXPECT_NE(0u, text.find(report)) << std::string(text.begin(), text.end());
    }
    ASSERT_TRUE(program.IsRunning());

    CProgramProcess secondStart;
    ASSERT_TRUE(secondStart.Start(L"\"" + second + L"\""));
    EXPECT_EQ(0, secondStart.WaitForExit(30000));
    EXPECT_TRUE(program.WaitForCaption(L"Second course.agl" + suffix, 30000));
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(30000));
}
