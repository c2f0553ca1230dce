#include "app/FileAssociation.h"

#include <shlobj.h>

#include "app/Application.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "foundation/SystemFunctions.h"

namespace {

// Per-user choices of another program for ".agl", deleted children first (a
// key that still has subkeys stays).
const wchar_t* const kUserChoiceKeys[] = {
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.agl\\OpenWithList",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.agl\\OpenWithProgids",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.agl\\UserChoice",
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.agl",
};

// Whether a key that the association owns refuses writing to this user. A
// user without administrator rights meets this at every start; opening the
// key through CRegistryKey would tell them about it every time.
bool IsWriteDenied(HKEY root, const wchar_t* path)
{
    HKEY key = nullptr;
    const LONG result = RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                                        nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    TRACE_VALUE(int32_t, int32_t(result));
    return result == ERROR_ACCESS_DENIED;
}

}  // namespace

std::wstring GetVerbCommandLine() { return L"\"" + GetShortModulePath() + L"\" /dde"; }

bool RegisterVerb(CRegistryKey& shellKey, const std::wstring& verb, const std::wstring& ddeText)
{
    TRACE_VALUE(std::wstring, verb);
    CRegistryKey verbKey(shellKey.GetHandle(), verb);
    CRegistryKey commandKey(verbKey.GetHandle(), L"command");
    const std::wstring command = GetVerbCommandLine();
    bool changed = false;
    if (commandKey.GetString(L"", std::wstring()) != command) {
        commandKey.SetString(L"", command);
        changed = true;
    }
    CRegistryKey ddeKey(verbKey.GetHandle(), L"ddeexec");
    ddeKey.SetString(L"", ddeText);
    ddeKey.SetString(L"application", GetProductName());
    TRACE_VALUE(bool, changed);
    return changed;
}

bool RegisterFileAssociationUnder(HKEY classesRoot)
{
    TRACE_POINT();
    for (const wchar_t* path : kUserChoiceKeys)
        RegDeleteKeyW(HKEY_CURRENT_USER, path);

    if (IsWriteDenied(classesRoot, kCourseFileExtension) || IsWriteDenied(classesRoot, kCourseProgId))
        return false;

    bool changed = false;
    {
        CRegistryKey extensionKey(classesRoot, kCourseFileExtension);
        if (extensionKey.GetString(L"", std::wstring()) != kCourseProgId) {
            extensionKey.SetString(L"", std::wstring(kCourseProgId));
            changed = true;
        }
        CRegistryKey shellNewKey(extensionKey.GetHandle(), L"ShellNew");
        shellNewKey.SetString(L"Data", std::string(kEmptyCourseBlock), true);
    }

    CRegistryKey progIdKey(classesRoot, kCourseProgId);
    progIdKey.SetString(L"", GetString(2002));
    {
        CRegistryKey iconKey(progIdKey.GetHandle(), L"DefaultIcon");
        iconKey.SetString(L"", GetShortModulePath() + L",-102");
    }
    {
        CRegistryKey shellKey(progIdKey.GetHandle(), L"shell");
        if (RegisterVerb(shellKey, L"open", L"[open(\"%1\")]"))
            changed = true;
        // A changed print command alone does not change what opening a
        // file does; the open command changes with it anyway.
        RegisterVerb(shellKey, L"print", L"[print(\"%1\")]");
    }
    {
        CRegistryKey shellExKey(progIdKey.GetHandle(), L"ShellEx");
    }

    TRACE_VALUE(bool, changed);
    static const auto changeNotify = GetSystemFunction<decltype(SHChangeNotify)>(L"shell32.dll", "SHChangeNotify");
    if (changed && changeNotify)
        changeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
    return changed;
}

void RegisterFileAssociation() { RegisterFileAssociationUnder(HKEY_CLASSES_ROOT); }
