#include "tests/dialogs/PropertiesWndDriving.h"

#include <atomic>
#include <thread>

#include "course/EditSession.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"
#include "ui/UIFontMetrics.h"

namespace {

HWND FindAnyChild(HWND window)
{
    const std::vector<CDialogChild> children = ListDialogChildren(window);
    return children.empty() ? nullptr : children.front().window;
}

std::vector<HWND> FindChildren(HWND window, const wchar_t* className, DWORD typeMask, DWORD type)
{
    std::vector<HWND> found;
    for (const CDialogChild& child : ListDialogChildren(window)) {
        if (_wcsicmp(child.className.c_str(), className) == 0 && (child.style & typeMask) == type)
            found.push_back(child.window);
    }
    return found;
}

}  // namespace

bool RunSessionDriven(CEditSession& session, const std::function<void(HWND window)>& drive)
{
    return RunDriven([&] { session.DoModal(); }, drive);
}

bool RunDriven(const std::function<void()>& run, const std::function<void(HWND window)>& drive)
{
    std::atomic<bool> driven{false};
    std::thread driver([&] {
        const HWND window = WaitForDialog();
        if (window && GetDlgItem(window, 0xFFFF) == nullptr && WaitForControl(window, FindAnyChild)) {
            drive(window);
            driven = true;
        }
        // A driver that failed half-way leaves the window open.
        if (window && !WaitUntilGone(window)) {
            driven = false;
            PressDialogButton(window, IDCANCEL);
        }
    });
    run();
    driver.join();
    return driven;
}

std::vector<std::wstring> WaitForMessageTexts(size_t count)
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

HWND FindCaption(HWND window, const std::wstring& caption) { return FindChildByCaption(window, caption); }

std::vector<HWND> FindEdits(HWND window) { return FindChildren(window, L"Edit", 0, 0); }

std::vector<HWND> FindRadios(HWND window)
{
    return FindChildren(window, L"Button", BS_TYPEMASK, BS_RADIOBUTTON);
}

bool IsChecked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

std::wstring GetText(HWND window) { return GetWindowTextString(window); }

std::wstring GetCaption(HWND window) { return StripAccessKeyMarkers(GetWindowTextString(window)); }

bool SaveShot(HWND window, const std::wstring& name)
{
    CreateDirectoryW(L"Z:\\tmp\\shots-dialogs", nullptr);
    return SaveWindowPicture(window, L"Z:\\tmp\\shots-dialogs\\" + name + L".png");
}
