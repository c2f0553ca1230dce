#include "tests/app/DdeTestClient.h"

#include <dde.h>

#include <algorithm>
#include <cstring>

#include "tests/app/ProgramProcess.h"

namespace ddeclient {

std::vector<CAnswer> g_answers;
std::vector<CExecuteAck> g_acks;
std::vector<HWND> g_terminations;

namespace {

// While an initiate is being sent, WM_DDE_ACK is its answer (sent, not
// posted; InSendMessage cannot tell within one thread).
bool g_initiating = false;

std::wstring TakeAtomName(ATOM atom)
{
    wchar_t name[260] = {};
    const UINT length = GlobalGetAtomNameW(atom, name, 260);
    GlobalDeleteAtom(atom);
    return std::wstring(name, length);
}

LRESULT CALLBACK ClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DDE_ACK) {
        if (g_initiating) {
            // The answer to WM_DDE_INITIATE: two atoms that are now ours.
            CAnswer answer;
            answer.server = HWND(wParam);
            answer.application = TakeAtomName(LOWORD(lParam));
            answer.topic = TakeAtomName(HIWORD(lParam));
            g_answers.push_back(answer);
        } else {
            UINT_PTR low = 0;
            UINT_PTR high = 0;
            UnpackDDElParam(WM_DDE_ACK, lParam, &low, &high);
            FreeDDElParam(WM_DDE_ACK, lParam);
            g_acks.push_back(CExecuteAck{HWND(wParam), UINT(low), high});
        }
        return 0;
    }
    if (message == WM_DDE_TERMINATE) {
        g_terminations.push_back(HWND(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK AnsiClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DDE_ACK) {
        CAnswer answer;
        answer.server = HWND(wParam);
        g_answers.push_back(answer);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND MakeClientWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ClientProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"FendrelTestDdeClient";
        registered = RegisterClassW(&windowClass) != 0;
    }
    return CreateWindowExW(0, L"FendrelTestDdeClient", L"", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

HWND MakeAnsiClientWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = AnsiClientProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = "FendrelTestAnsiDdeClient";
        registered = RegisterClassA(&windowClass) != 0;
    }
    return CreateWindowExA(0, "FendrelTestAnsiDdeClient", "", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

void ClearRecords()
{
    g_answers.clear();
    g_acks.clear();
    g_terminations.clear();
}

bool WaitForAck(DWORD timeoutMs, const CProgramProcess* program, std::vector<std::wstring>* boxes)
{
    const DWORD start = GetTickCount();
    while (g_acks.empty() && GetTickCount() - start < timeoutMs) {
        PumpMessagesFor(10);
        if (program && boxes) {
            for (HWND box : program->FindWindows(L"#32770")) {
                if (!GetDlgItem(box, 0xFFFF))
                    continue;
                boxes->push_back(CProgramProcess::GetMessageBoxText(box));
                CProgramProcess::AnswerMessageBox(box);
            }
        }
    }
    return !g_acks.empty();
}

void SendInitiate(HWND target, HWND client, const wchar_t* application, const wchar_t* topic)
{
    const ATOM applicationAtom = application ? GlobalAddAtomW(application) : 0;
    const ATOM topicAtom = topic ? GlobalAddAtomW(topic) : 0;
    const LPARAM atoms = MAKELPARAM(applicationAtom, topicAtom);
    g_initiating = true;
    if (target == HWND_BROADCAST)
        SendMessageTimeoutW(HWND_BROADCAST, WM_DDE_INITIATE, WPARAM(client), atoms, SMTO_ABORTIFHUNG, 5000, nullptr);
    else
        SendMessageW(target, WM_DDE_INITIATE, WPARAM(client), atoms);
    g_initiating = false;
    if (applicationAtom)
        GlobalDeleteAtom(applicationAtom);
    if (topicAtom)
        GlobalDeleteAtom(topicAtom);
}

HGLOBAL MakeNarrowMemory(const std::string& text, bool terminated)
{
    const size_t size = text.size() + (terminated ? 1 : 0);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, size);
    char* data = static_cast<char*>(GlobalLock(memory));
    memcpy(data, text.c_str(), size);
    GlobalUnlock(memory);
    return memory;
}

HGLOBAL MakeWideMemory(const std::wstring& text, size_t bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    void* data = GlobalLock(memory);
    memcpy(data, text.c_str(), std::min(bytes, text.size() * sizeof(wchar_t)));
    GlobalUnlock(memory);
    return memory;
}

}  // namespace ddeclient
