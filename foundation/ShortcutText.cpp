#include "foundation/ShortcutText.h"

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

namespace
{

std::wstring GetSpecialKeyText(int key)
{
    switch (key) {
    case 0:
        return GetString(2047);
    case 1:
        return GetString(2048);
    case 2:
        return GetString(2049);
    case 3:
        return GetString(2050);
    case 8:
        return GetString(2051);
    case 12:
        return GetString(2052);
    case 13:
        return GetString(2053);
    case 14:
        return L"+";
    case 15:
        return L"-";
    default:
        TRACE_VALUE(int32_t, key);
        ReportFailure();
        return std::wstring();
    }
}

}  // namespace

std::wstring GetShortcutText(int modifierCode, int key)
{
    if (modifierCode == 0)
        return std::wstring();
    const std::wstring keyText =
        (modifierCode == 1 || modifierCode == 2) ? std::wstring(1, wchar_t(key)) : GetSpecialKeyText(key);
    switch (modifierCode) {
    case 1:
    case 4:
        return GetStringWithArg(2044, keyText);
    case 5:
        return GetStringWithArg(2045, keyText);
    case 2:
    case 6:
        return GetStringWithArg(2046, keyText);
    case 3:
        return keyText;
    default:
        TRACE_VALUE(int32_t, modifierCode);
        ReportFailure();
        return keyText;
    }
}
