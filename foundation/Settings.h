#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

// The owner of one open registry key. Opening creates the key when it is
// missing; a key that cannot be opened tells the user (text 2701, at most
// about once a second) and the object then holds no key: every read gives its
// default and every write does nothing.
//
// Value kinds: integers are REG_DWORD, wide strings REG_SZ, narrow strings
// REG_SZ or, when asked, REG_BINARY of exactly their bytes. Narrow accessors
// take the value name in the program's 8-bit form (WideToUtf8).
class CRegistryKey
{
public:
    CRegistryKey(HKEY root, const std::wstring& path);
    ~CRegistryKey();
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // Closes the key; a failing RegCloseKey is reported. The handle is
    // cleared either way.
    void Close();

    bool IsOpen() const { return m_key != nullptr; }
    // Borrowed; null when the key is not open. Serves as the root of keys
    // opened underneath.
    HKEY GetHandle() const { return m_key; }

    // A REG_DWORD value of 4 bytes; anything else gives the default.
    int32_t GetInt(const std::wstring& name, int32_t defaultValue) const;
    // The values the getters give, none where they give the default.
    std::optional<int32_t> ReadInt(const std::wstring& name) const;
    std::optional<std::wstring> ReadWideString(const std::wstring& name) const;
    std::optional<std::string> ReadNarrowString(const std::wstring& name) const;
    // A REG_SZ value up to its first zero (never beyond the stored bytes);
    // anything else gives the default.
    std::wstring GetString(const std::wstring& name, const std::wstring& defaultValue) const;
    // A REG_SZ value up to its first zero byte, or a REG_BINARY value whole
    // (zero bytes included); anything else gives the default.
    std::string GetString(const std::wstring& name, const std::string& defaultValue) const;

    // Writes run in unwatched crash-log sections. A refused write (access
    // denied) is ignored; any other failure is reported.
    void SetInt(const std::wstring& name, int32_t value);
    void SetString(const std::wstring& name, const std::wstring& value);
    void SetString(const std::wstring& name, const std::string& value, bool binary);

private:
    HKEY m_key = nullptr;
};

// The program's settings: named values of one application key under
// HKEY_CURRENT_USER, opened once at start-up. Every read names its default at
// the point of use. Used before Open, every accessor reports a failure; a
// read then gives its default and a write does nothing. Each value is read
// from the registry once and kept until it is written through these
// accessors or another key is opened: the program is its key's only writer.
class CSettings
{
public:
    // Closes the previous application key, if any, and opens (creating it when
    // missing) HKEY_CURRENT_USER\path.
    static void Open(const std::wstring& path);

    static int32_t GetInt(const std::wstring& name, int32_t defaultValue);
    static std::string GetString(const std::wstring& name, const std::string& defaultValue);
    static std::wstring GetWString(const std::wstring& name, const std::wstring& defaultValue);

    static void SetInt(const std::wstring& name, int32_t value);
    static void SetWString(const std::wstring& name, const std::wstring& value);
    // Stored as REG_SZ when every byte is printable ASCII, CR or LF, else as
    // REG_BINARY of exactly the value's bytes.
    static void SetString(const std::wstring& name, const std::string& value);
};

// Defaults that depend on where the user is, read from the locale each time
// one is constructed.
struct CLocaleDefaults
{
    enum Country
    {
        kAustralia = 0,
        kCanada = 1,
        kGreatBritain = 2,
        kNewZealand = 3,
        kUnitedStates = 4,
        kOtherCountry = 5,
    };

    // The user's locale (LOCALE_USER_DEFAULT).
    CLocaleDefaults();
    explicit CLocaleDefaults(LCID locale);

    // The default of the "Metric" setting.
    bool metric = false;
    // Picks the default organisation rule set.
    int32_t country = kOtherCountry;
    wchar_t decimalSeparator = L'.';
    // ", ", or "|" where the decimal separator is a comma.
    std::wstring listSeparator = L", ";
};

// The display mode "Brisklane", set in the display-mode dialog and followed
// by the course, several object kinds and their dialogs: the stored
// "BrisklaneMode", off when absent.
bool IsBrisklaneMode();
