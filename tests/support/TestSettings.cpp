#include "tests/support/TestSettings.h"

#include <windows.h>

#include "foundation/Settings.h"

std::wstring GetTestSettingsKeyPath()
{
    return L"Software\\Norvane\\Fendrel 4 Test " + std::to_wstring(GetCurrentProcessId());
}

void OpenTestSettingsKey()
{
    DeleteTestSettingsKey();
    CSettings::Open(GetTestSettingsKeyPath());
}

void DeleteTestSettingsKey()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, GetTestSettingsKeyPath().c_str());
}

bool HasTestSettingsValue(const std::wstring& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetTestSettingsKeyPath().c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const bool found = RegQueryValueExW(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return found;
}

void DeleteTestSettingsValue(const std::wstring& name)
{
    RegDeleteKeyValueW(HKEY_CURRENT_USER, GetTestSettingsKeyPath().c_str(), name.c_str());
}

void OpenCourseTestSettings()
{
    OpenTestSettingsKey();
    CSettings::SetInt(L"NeverShow2709", 1);
    CSettings::SetInt(L"Metric", 0);
    CSettings::SetInt(L"SpecList", 1);
}
