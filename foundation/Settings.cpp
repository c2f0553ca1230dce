#include "foundation/Settings.h"

#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "foundation/Clock.h"
#include "foundation/CrashLog.h"
#include "foundation/NoticeSink.h"
#include "foundation/TextConversion.h"

namespace {

// Tells the user that a key could not be opened. A run of failures close
// together (one for each key of a registration, say) shows one message: the
// first failure always shows it, a later one only when more than a second
// has passed since the last message was closed.
void ShowOpenFailure()
{
    static bool shown = false;
    static CStopwatch sinceShown;
    if (shown && sinceShown.GetElapsedSeconds() <= 1.0)
        return;
    shown = true;
    ShowNotice(2701, ENoticeStyle::kError);
    // Counted from the moment the box went away: a user who takes a while to
    // close it must not get the next one at once.
    sinceShown.Lap();
}

// Reports a failed registry write, unless the key is merely read-only for
// this user. The error becomes the last Windows error, which the report shows.
void CheckWrite(LONG result)
{
    if (result == ERROR_SUCCESS || result == ERROR_ACCESS_DENIED)
        return;
    TRACE_VALUE(int32_t, int32_t(result));
    SetLastError(DWORD(result));
    ReportFailure();
}

bool IsTextByte(unsigned char byte) { return (byte >= 32 && byte <= 126) || byte == 13 || byte == 10; }

}  // namespace

// ---- CRegistryKey -----------------------------------------------------------

CRegistryKey::CRegistryKey(HKEY root, const std::wstring& path)
{
    TRACE_VALUE(std::wstring, path);
    const LONG result = RegCreateKeyW(root, path.c_str(), &m_key);
    if (result != ERROR_SUCCESS) {
        TRACE_VALUE(int32_t, int32_t(result));
        m_key = nullptr;
        ShowOpenFailure();
    }
}

CRegistryKey::~CRegistryKey() { Close(); }

void CRegistryKey::Close()
{
    if (!m_key)
        return;
    const LONG result = RegCloseKey(m_key);
    m_key = nullptr;
    if (result != ERROR_SUCCESS) {
        TRACE_VALUE(int32_t, int32_t(result));
        ReportFailure(kFailSystemCall);
    }
}

int32_t CRegistryKey::GetInt(const std::wstring& name, int32_t defaultValue) const
{
    return ReadInt(name).value_or(defaultValue);
}

std::optional<int32_t> CRegistryKey::ReadInt(const std::wstring& name) const
{
    TRACE_VALUE(std::wstring, name);
    if (!m_key)
        return std::nullopt;
    DWORD type = REG_NONE;
    DWORD stored = 0;
    DWORD size = sizeof stored;
    const LONG result = RegQueryValueExW(m_key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&stored), &size);
    if (result != ERROR_SUCCESS || type != REG_DWORD || size != sizeof stored)
        return std::nullopt;
    TRACE_VALUE(int32_t, int32_t(stored));
    return int32_t(stored);
}

std::wstring CRegistryKey::GetString(const std::wstring& name, const std::wstring& defaultValue) const
{
    return ReadWideString(name).value_or(defaultValue);
}

std::optional<std::wstring> CRegistryKey::ReadWideString(const std::wstring& name) const
{
    TRACE_VALUE(std::wstring, name);
    if (!m_key)
        return std::nullopt;
    // The value may change between asking its size and reading it: ask again
    // a few times, then give up with the default.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExW(m_key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS || type != REG_SZ)
            return std::nullopt;
        std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
        DWORD read = DWORD(buffer.size() * sizeof(wchar_t));
        const LONG result =
            RegQueryValueExW(m_key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            return std::nullopt;
        // A REG_SZ written by another program need not end in a zero: only
        // the bytes the registry returned are looked at.
        const wchar_t* begin = buffer.data();
        const wchar_t* end = begin + read / sizeof(wchar_t);
        const wchar_t* stop = begin;
        while (stop != end && *stop)
            ++stop;
        std::wstring value(begin, stop);
        TRACE_VALUE(std::wstring, value);
        return value;
    }
    return std::nullopt;
}

std::string CRegistryKey::GetString(const std::wstring& name, const std::string& defaultValue) const
{
    return ReadNarrowString(name).value_or(defaultValue);
}

std::optional<std::string> CRegistryKey::ReadNarrowString(const std::wstring& name) const
{
    TRACE_VALUE(std::wstring, name);
    if (!m_key)
        return std::nullopt;
    const std::string narrowName = WideToUtf8(name);
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD type = REG_NONE;
        DWORD size = 0;
        if (RegQueryValueExA(m_key, narrowName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
            (type != REG_SZ && type != REG_BINARY))
            return std::nullopt;
        std::vector<char> buffer(size + 1, '\0');
        DWORD read = DWORD(buffer.size());
        const LONG result =
            RegQueryValueExA(m_key, narrowName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &read);
        if (result == ERROR_MORE_DATA)
            continue;
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        const char* begin = buffer.data();
        const char* end = begin + read;
        std::string value;
        if (type == REG_BINARY) {
            value.assign(begin, end);
        } else if (type == REG_SZ) {
            const char* stop = begin;
            while (stop != end && *stop)
                ++stop;
            value.assign(begin, stop);
        } else {
            return std::nullopt;
        }
        TRACE_VALUE(std::string, value);
        return value;
    }
    return std::nullopt;
}

void CRegistryKey::SetInt(const std::wstring& name, int32_t value)
{
    TRACE_VALUE(std::wstring, name);
    TRACE_VALUE(int32_t, value);
    if (!m_key)
        return;
    const DWORD data = DWORD(value);
    LONG result;
    {
        CUnwatchedSection unwatched;
        result = RegSetValueExW(m_key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    CheckWrite(result);
}

void CRegistryKey::SetString(const std::wstring& name, const std::wstring& value)
{
    TRACE_VALUE(std::wstring, name);
    TRACE_VALUE(std::wstring, value);
    if (!m_key)
        return;
    LONG result;
    {
        CUnwatchedSection unwatched;
        result = RegSetValueExW(m_key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                DWORD((value.size() + 1) * sizeof(wchar_t)));
    }
    CheckWrite(result);
}

void CRegistryKey::SetString(const std::wstring& name, const std::string& value, bool binary)
{
    TRACE_VALUE(std::wstring, name);
    TRACE_VALUE(std::string, value);
    if (!m_key)
        return;
    const std::string narrowName = WideToUtf8(name);
    LONG result;
    {
        CUnwatchedSection unwatched;
        if (binary)
            result = RegSetValueExA(m_key, narrowName.c_str(), 0, REG_BINARY,
                                    reinterpret_cast<const BYTE*>(value.data()), DWORD(value.size()));
        else
            result = RegSetValueExA(m_key, narrowName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    DWORD(value.size() + 1));
    }
    CheckWrite(result);
}

// ---- CSettings --------------------------------------------------------------

namespace {

std::unique_ptr<CRegistryKey>& ApplicationKey()
{
    static std::unique_ptr<CRegistryKey> key;
    return key;
}

// The application key, or null with a failure report before Open.
CRegistryKey* GetApplicationKey()
{
    CRegistryKey* key = ApplicationKey().get();
    if (!key)
        ReportFailure();
    return key;
}

// What the application key held when a value was last read; none when the
// value was absent or of another kind. One instance of the program runs at a
// time and is its key's only writer: every write through CSettings forgets
// the value it replaces and opening a key forgets all, so each value is read
// from the registry once, however many courses and windows ask for it.
struct CReadValues
{
    std::map<std::wstring, std::optional<int32_t>> ints;
    std::map<std::wstring, std::optional<std::string>> strings;
    std::map<std::wstring, std::optional<std::wstring>> wideStrings;
    // The display mode, which every text and wingless jump a course reads
    // asks for: kept apart from the ints and forgotten with any write.
    std::optional<bool> brisklaneMode;

    void Forget(const std::wstring& name)
    {
        ints.erase(name);
        strings.erase(name);
        wideStrings.erase(name);
        brisklaneMode.reset();
    }
};

CReadValues& ReadValues()
{
    static CReadValues values;
    return values;
}

// The value as last read, or read now through the key and kept.
template <class T>
T GetKeptValue(std::map<std::wstring, std::optional<T>>& kept, const std::wstring& name, const T& defaultValue,
               std::optional<T> (CRegistryKey::*read)(const std::wstring&) const)
{
    auto found = kept.find(name);
    if (found == kept.end()) {
        CRegistryKey* key = GetApplicationKey();
        if (!key)
            return defaultValue;
        found = kept.emplace(name, (key->*read)(name)).first;
    }
    return found->second.value_or(defaultValue);
}

}  // namespace

void CSettings::Open(const std::wstring& path)
{
    TRACE_VALUE(std::wstring, path);
    std::unique_ptr<CRegistryKey>& key = ApplicationKey();
    key.reset();
    ReadValues() = CReadValues();
    key.reset(new CRegistryKey(HKEY_CURRENT_USER, path));
}

int32_t CSettings::GetInt(const std::wstring& name, int32_t defaultValue)
{
    TRACE_VALUE(std::wstring, name);
    return GetKeptValue(ReadValues().ints, name, defaultValue, &CRegistryKey::ReadInt);
}

std::string CSettings::GetString(const std::wstring& name, const std::string& defaultValue)
{
    TRACE_VALUE(std::wstring, name);
    return GetKeptValue(ReadValues().strings, name, defaultValue, &CRegistryKey::ReadNarrowString);
}

std::wstring CSettings::GetWString(const std::wstring& name, const std::wstring& defaultValue)
{
    TRACE_VALUE(std::wstring, name);
    return GetKeptValue(ReadValues().wideStrings, name, defaultValue, &CRegistryKey::ReadWideString);
}

void CSettings::SetInt(const std::wstring& name, int32_t value)
{
    TRACE_VALUE(std::wstring, name);
    ReadValues().Forget(name);
    if (CRegistryKey* key = GetApplicationKey())
        key->SetInt(name, value);
}

void CSettings::SetWString(const std::wstring& name, const std::wstring& value)
{
    TRACE_VALUE(std::wstring, name);
    ReadValues().Forget(name);
    if (CRegistryKey* key = GetApplicationKey())
        key->SetString(name, value);
}

void CSettings::SetString(const std::wstring& name, const std::string& value)
{
    TRACE_VALUE(std::wstring, name);
    ReadValues().Forget(name);
    CRegistryKey* key = GetApplicationKey();
    if (!key)
        return;
    bool binary = false;
    for (char byte : value) {
        if (!IsTextByte(static_cast<unsigned char>(byte))) {
            binary = true;
            break;
        }
    }
    key->SetString(name, value, binary);
}

// ---- CLocaleDefaults --------------------------------------------------------

namespace {

// One locale text in a buffer of 10 characters; empty when the locale has no
// such text or it does not fit.
std::wstring GetLocaleText(LCID locale, LCTYPE type)
{
    wchar_t buffer[10] = {};
    if (GetLocaleInfoW(locale, type, buffer, 10) == 0) {
        TRACE_VALUE(int32_t, int32_t(type));
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        return std::wstring();
    }
    buffer[9] = L'\0';
    return buffer;
}

}  // namespace

CLocaleDefaults::CLocaleDefaults() : CLocaleDefaults(LOCALE_USER_DEFAULT) {}

CLocaleDefaults::CLocaleDefaults(LCID locale)
{
    TRACE_VALUE(int32_t, int32_t(locale));
    const std::wstring measure = GetLocaleText(locale, LOCALE_IMEASURE);
    metric = !measure.empty() && measure[0] == L'0';

    static const wchar_t* const kCountries[] = {L"AUS", L"CAN", L"GBR", L"NZL", L"USA"};
    const std::wstring countryName = GetLocaleText(locale, LOCALE_SABBREVCTRYNAME);
    country = kOtherCountry;
    for (int i = 0; i < 5; ++i) {
        if (countryName == kCountries[i])
            country = i;
    }

    const std::wstring decimal = GetLocaleText(locale, LOCALE_SDECIMAL);
    decimalSeparator = decimal.empty() ? L'.' : decimal[0];
    listSeparator = decimalSeparator == L',' ? L"|" : L", ";
    TRACE_VALUE(bool, metric);
    TRACE_VALUE(int32_t, country);
}

bool IsBrisklaneMode()
{
    std::optional<bool>& kept = ReadValues().brisklaneMode;
    if (kept)
        return *kept;
    const bool on = CSettings::GetInt(L"BrisklaneMode", 0) != 0;
    // Before Open nothing is kept, as with every other value.
    if (ApplicationKey())
        kept = on;
    return on;
}
