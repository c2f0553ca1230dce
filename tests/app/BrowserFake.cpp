#include "tests/app/BrowserFake.h"

#include "foundation/WebAccess.h"

namespace {

bool FakeConnected(DWORD* flags)
{
    *flags = 2;   // INTERNET_CONNECTION_LAN
    return true;
}

bool FakeHasClassKey(const wchar_t*) { return true; }

HINSTANCE WINAPI FakeShellExecute(HWND, LPCWSTR, LPCWSTR file, LPCWSTR, LPCWSTR, INT)
{
    CBrowserFake::GetOpened().push_back(file ? file : L"");
    return reinterpret_cast<HINSTANCE>(INT_PTR(CBrowserFake::GetResult()));
}

const bool g_browserPretended = [] {
    CWebAccess::GetSystemCalls().getConnectedFlags = &FakeConnected;
    CWebAccess::GetSystemCalls().hasClassKey = &FakeHasClassKey;
    CWebAccess::GetSystemCalls().shellExecute = &FakeShellExecute;
    return true;
}();

}  // namespace

std::vector<std::wstring>& CBrowserFake::GetOpened()
{
    static std::vector<std::wstring> opened;
    return opened;
}

int& CBrowserFake::GetResult()
{
    static int result = 42;
    return result;
}

void CBrowserFake::Reset()
{
    GetOpened().clear();
    GetResult() = 42;
}
