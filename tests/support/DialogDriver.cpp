#include "tests/support/DialogDriver.h"

#include <commctrl.h>
#include <gdiplus.h>

#include "ui/ImageEncoder.h"

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

class CGdiplusSession
{
public:
    CGdiplusSession()
    {
        Gdiplus::GdiplusStartupInput input;
        m_ok = Gdiplus::GdiplusStartup(&m_token, &input, nullptr) == Gdiplus::Ok;
    }
    ~CGdiplusSession()
    {
        if (m_ok)
            Gdiplus::GdiplusShutdown(m_token);
    }
    bool IsOk() const { return m_ok; }

private:
    ULONG_PTR m_token = 0;
    bool m_ok = false;
};

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
    static CGdiplusSession session;
    if (!session.IsOk())
        return false;
    RECT client;
    GetClientRect(window, &client);
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, client.right, client.bottom);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, client.right, client.bottom, source, 0, 0, SRCCOPY) != FALSE;
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(window, source);

    bool saved = false;
    CLSID png;
    Gdiplus::GpBitmap* image = nullptr;
    if (copied && FindImageEncoder(L"image/png", png) &&
        Gdiplus::DllExports::GdipCreateBitmapFromHBITMAP(bitmap, nullptr, &image) == Gdiplus::Ok) {
        saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
        Gdiplus::DllExports::GdipDisposeImage(image);
    }
    DeleteObject(bitmap);
    return saved;
}
