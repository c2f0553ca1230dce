#include "tests/support/DialogDriver.h"

#include <commctrl.h>
#include <gdiplus.h>

#include <atomic>
#include <thread>
#include <utility>

#include "graphics/GdiObject.h"
#include "graphics/GdiplusSession.h"
#include "graphics/ImageEncoder.h"
#include "tests/support/TestSupport.h"
#include "ui/UIFontMetrics.h"

namespace {

const UINT kTimeoutMs = 5000;

LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kTimeoutMs, &result);
    return LRESULT(result);
}

std::wstring ReadText(HWND window)
{
    wchar_t buffer[512] = {};
    Send(window, WM_GETTEXT, 512, LPARAM(buffer));
    return buffer;
}

BOOL CALLBACK FindVisibleEdit(HWND window, LPARAM param)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (_wcsicmp(name, L"Edit") != 0 || !IsWindowVisible(window))
        return TRUE;
    *reinterpret_cast<HWND*>(param) = window;
    return FALSE;
}

// Saves a rectangle of a device context as a PNG picture.
bool SavePicture(HDC source, const RECT& rect, const std::wstring& path)
{
    static CGdiplusSession session;
    if (!session.IsRunning())
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const CGdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(source, width, height));
    bool copied = false;
    {
        const CMemoryDc memory(source);
        const CDcSelection selection(memory.Get(), bitmap.Get());
        copied = selection.IsSelected() &&
                 BitBlt(memory.Get(), 0, 0, width, height, source, rect.left, rect.top, SRCCOPY) != FALSE;
    }
    CLSID png;
    Gdiplus::GpBitmap* image = nullptr;
    if (!copied || !FindImageEncoder(L"image/png", png) ||
        Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap.Get(), nullptr, &image) != Gdiplus::Ok)
        return false;
    const bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
    Gdiplus::DllExports::GdipDisposeImage(image);
    return saved;
}

// A person clicks a dialog once it has come up active. Driven before its
// activation has come through, the focus the activation puts back on a radio
// button checks that button again, over the choice just made.
void WaitForActivation(HWND dialog)
{
    const DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
    for (int i = 0; i < 200; ++i) {
        GUITHREADINFO info = {sizeof info};
        if (GetGUIThreadInfo(thread, &info) && info.hwndActive == dialog && IsChild(dialog, info.hwndFocus))
            return;
        Sleep(10);
    }
}

}  // namespace

std::vector<CDialogChild> ListDialogChildren(HWND dialog)
{
    std::vector<CDialogChild> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        CDialogChild info;
        info.window = child;
        info.id = GetDlgCtrlID(child);
        wchar_t className[64] = {};
        GetClassNameW(child, className, 64);
        info.className = className;
        info.text = ReadText(child);
        info.style = DWORD(GetWindowLongW(child, GWL_STYLE));
        GetWindowRect(child, &info.rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&info.rect), 2);
        children.push_back(info);
    }
    return children;
}

HWND FindChildByText(HWND dialog, const std::wstring& text)
{
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (child.text == text)
            return child.window;
    return nullptr;
}

HWND FindChildByCaption(HWND dialog, const std::wstring& caption)
{
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (StripAccessKeyMarkers(child.text) == caption)
            return child.window;
    return nullptr;
}

namespace {

HWND FindAnyChild(HWND dialog)
{
    const std::vector<CDialogChild> children = ListDialogChildren(dialog);
    return children.empty() ? nullptr : children.front().window;
}

std::vector<HWND> FindChildren(HWND dialog, const wchar_t* className, DWORD typeMask, DWORD type)
{
    std::vector<HWND> found;
    for (const CDialogChild& child : ListDialogChildren(dialog)) {
        if (_wcsicmp(child.className.c_str(), className) == 0 && (child.style & typeMask) == type)
            found.push_back(child.window);
    }
    return found;
}

// The program's own dialogs now up: message boxes, which the watcher
// answers, left out.
std::vector<HWND> FindDrivenDialogs()
{
    std::vector<HWND> dialogs;
    for (HWND dialog : FindProcessDialogs())
        if (GetDlgItem(dialog, 0xFFFF) == nullptr)
            dialogs.push_back(dialog);
    return dialogs;
}

}  // namespace

bool RunModalDriven(const std::function<void()>& run, const std::function<void(HWND dialog)>& drive)
{
    std::atomic<bool> driven{false};
    std::atomic<bool> returned{false};
    std::thread driver([&] {
        // A busy machine may take long to show the dialog, and a message box
        // (a failure report) may come first: wait for the dialog itself as
        // long as the run goes on.
        HWND dialog = nullptr;
        while (!dialog && !returned) {
            const std::vector<HWND> dialogs = FindDrivenDialogs();
            if (dialogs.empty())
                Sleep(10);
            else
                dialog = dialogs.front();
        }
        if (dialog && WaitForControl(dialog, FindAnyChild)) {
            WaitForActivation(dialog);
            drive(dialog);
            driven = true;
        }
        // A dialog nobody drives, or one a driver that failed half-way left
        // open, would hold the run, and the test, for good: one that stays
        // up ten seconds is cancelled and the drive counts as failed.
        HWND waiting = nullptr;
        DWORD since = 0;
        while (!returned) {
            const std::vector<HWND> dialogs = FindDrivenDialogs();
            const HWND first = dialogs.empty() ? nullptr : dialogs.front();
            if (first != waiting) {
                waiting = first;
                since = GetTickCount();
            } else if (waiting && GetTickCount() - since > 10000) {
                driven = false;
                PressDialogButton(waiting, IDCANCEL);
                since = GetTickCount();
            }
            Sleep(20);
        }
    });
    run();
    returned = true;
    driver.join();
    return driven;
}

std::vector<std::wstring> WaitForAnsweredTexts(size_t count)
{
    std::vector<std::wstring> texts;
    for (int i = 0; i < 1000 && texts.size() < count; ++i) {
        for (const std::wstring& text : CDialogWatcher::TakeAnsweredTexts())
            texts.push_back(text);
        if (texts.size() < count)
            Sleep(10);
    }
    return texts;
}

std::vector<HWND> FindEditControls(HWND dialog) { return FindChildren(dialog, L"Edit", 0, 0); }

std::vector<std::wstring> EmptyEachEditAndPressOk(HWND dialog, size_t length)
{
    std::vector<std::wstring> refused;
    for (HWND edit : FindEditControls(dialog)) {
        if (!IsWindowEnabled(edit) || !IsWindowVisible(edit))
            continue;
        const std::wstring shown = GetWindowTextString(edit);
        TypeIntoEdit(edit, L"");
        PressDialogButton(dialog, IDOK);
        const std::vector<std::wstring> texts = WaitForAnsweredTexts();
        refused.push_back(texts.size() == 1 ? texts[0].substr(0, length) : L"no message");
        TypeIntoEdit(edit, shown);
    }
    return refused;
}

std::vector<HWND> FindRadioButtons(HWND dialog) { return FindChildren(dialog, L"Button", BS_TYPEMASK, BS_RADIOBUTTON); }

std::vector<HWND> FindUpDownControls(HWND dialog) { return FindChildren(dialog, UPDOWN_CLASSW, 0, 0); }

bool IsButtonChecked(HWND button) { return Send(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::wstring GetCaptionText(HWND control) { return StripAccessKeyMarkers(ReadText(control)); }

HWND GetFocusedControl(HWND dialog)
{
    GUITHREADINFO info = {sizeof info};
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    return info.hwndFocus;
}

bool WaitForFocus(HWND dialog, HWND control)
{
    for (int i = 0; i < 200 && GetFocusedControl(dialog) != control; ++i)
        Sleep(10);
    return GetFocusedControl(dialog) == control;
}

bool SaveDialogShot(HWND dialog, const std::wstring& name, const std::wstring& folder)
{
    const std::wstring path = L"Z:\\tmp\\" + folder;
    CreateDirectoryW(path.c_str(), nullptr);
    return SaveWindowPicture(dialog, path + L"\\" + name + L".png");
}

void TypeIntoEdit(HWND edit, const std::wstring& text)
{
    Send(edit, EM_SETSEL, 0, -1);
    Send(edit, EM_REPLACESEL, TRUE, LPARAM(text.c_str()));
}

void ClickControl(HWND control) { Send(control, BM_CLICK, 0, 0); }

void ChooseComboItem(HWND combo, int position)
{
    Send(combo, CB_SETCURSEL, WPARAM(position), 0);
    Send(GetParent(combo), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo), CBN_SELCHANGE), LPARAM(combo));
}

void ClickUpDown(HWND upDown, bool up)
{
    RECT rect;
    GetClientRect(upDown, &rect);
    const int x = rect.right / 2;
    const int y = up ? rect.bottom / 4 : rect.bottom * 3 / 4;
    Send(upDown, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Send(upDown, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void PressKey(HWND control, UINT virtualKey)
{
    PostMessageW(control, WM_KEYDOWN, virtualKey, 1);
    PostMessageW(control, WM_KEYUP, virtualKey, 0xC0000001);
}

void PressAccessKey(HWND window, HWND captioned)
{
    const std::wstring caption = ReadText(captioned);
    const size_t marker = caption.find(L'&');
    if (marker == std::wstring::npos || marker + 1 >= caption.size())
        return;
    PostMessageW(GetFocusedControl(window), WM_SYSCHAR, WPARAM(caption[marker + 1]), 1 << 29);
}

HWND WaitForControl(HWND dialog, HWND (*find)(HWND dialog), DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        if (const HWND control = find(dialog))
            return control;
        Sleep(10);
    }
    return nullptr;
}

HWND FindOkButton(HWND dialog) { return GetDlgItem(dialog, IDOK); }

HWND FindFileNameEdit(HWND dialog)
{
    HWND edit = nullptr;
    EnumChildWindows(dialog, FindVisibleEdit, LPARAM(&edit));
    return edit;
}

bool ChooseFileName(HWND dialog, const std::wstring& name)
{
    const HWND edit = WaitForControl(dialog, FindFileNameEdit);
    if (!edit || !WaitForControl(dialog, FindOkButton))
        return false;
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(edit, WM_SETTEXT, 0, LPARAM(name.c_str()), SMTO_NORMAL, kTimeoutMs, &result))
        return false;
    PressDialogButton(dialog, IDOK);
    return true;
}

bool WaitUntilGone(HWND dialog, DWORD timeoutMs)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 10) {
        if (!IsWindow(dialog) || !IsWindowVisible(dialog))
            return true;
        Sleep(10);
    }
    return false;
}

CDialogAnswerer::CDialogAnswerer(std::function<int(HWND dialog)> answer)
    : m_answer(std::move(answer)), m_thread([this] {
          while (!m_stop) {
              Sleep(10);
              for (HWND dialog : FindProcessDialogs()) {
                  const int button = m_answer(dialog);
                  if (button == 0)
                      continue;
                  PressDialogButton(dialog, button);
                  for (int i = 0; i < 300 && IsWindow(dialog) && IsWindowVisible(dialog); ++i)
                      Sleep(10);
              }
          }
      })
{
}

CDialogAnswerer::~CDialogAnswerer()
{
    m_stop = true;
    m_thread.join();
}

std::wstring GetTestArtefactPath(const std::wstring& fileName)
{
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring folder = exe;
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + fileName;
}

bool SaveWindowPicture(HWND window, const std::wstring& path)
{
    RECT client;
    if (!GetClientRect(window, &client))
        return false;
    // The controls paint on their own schedule; have the window and every
    // child paint now so the copy does not catch one half drawn.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const CWindowDc source(window);
    return SavePicture(source.Get(), client, path);
}

bool SaveScreenPicture(HWND window, const std::wstring& path)
{
    RECT rect;
    if (!GetWindowRect(window, &rect))
        return false;
    const CWindowDc screen(nullptr);
    return SavePicture(screen.Get(), rect, path);
}
