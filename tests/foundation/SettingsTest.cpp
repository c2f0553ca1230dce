#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/support/FailureReports.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {


struct CRawValue
{
    LONG result = ERROR_FILE_NOT_FOUND;
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// Reads a value of the test key straight from the registry.
CRawValue ReadRaw(const std::wstring& name)
{
    CRawValue raw;
    HKEY key = nullptr;
    raw.result = RegOpenKeyExW(HKEY_CURRENT_USER, GetTestSettingsKeyPath().c_str(), 0, KEY_QUERY_VALUE, &key);
    if (raw.result != ERROR_SUCCESS)
        return raw;
    DWORD size = 0;
    raw.result = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, nullptr, &size);
    if (raw.result == ERROR_SUCCESS) {
        raw.bytes.resize(size);
        raw.result = RegQueryValueExW(key, name.c_str(), nullptr, &raw.type, raw.bytes.data(), &size);
        raw.bytes.resize(size);
    }
    RegCloseKey(key);
    return raw;
}

void WriteRaw(const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyW(HKEY_CURRENT_USER, GetTestSettingsKeyPath().c_str(), &key));
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

std::vector<BYTE> Bytes(const void* data, size_t size)
{
    const BYTE* begin = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(begin, begin + size);
}

// Every test works in a key of its own process and deletes it afterwards.
class Settings : public testing::Test
{
protected:
    CTestSettingsKey m_key;
};

}  // namespace

TEST_F(Settings, IntegersAreStoredAsDwords)
{
    CSettings::SetInt(L"CourseWidth", -5);
    const CRawValue raw = ReadRaw(L"CourseWidth");
    ASSERT_EQ(ERROR_SUCCESS, raw.result);
    EXPECT_EQ(DWORD(REG_DWORD), raw.type);
    const std::vector<BYTE> expected = {0xFB, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(expected, raw.bytes);
    EXPECT_EQ(-5, CSettings::GetInt(L"CourseWidth", 7));
}

TEST_F(Settings, MissingValuesGiveTheDefault)
{
    EXPECT_EQ(42, CSettings::GetInt(L"Missing", 42));
    EXPECT_EQ(L"def", CSettings::GetWString(L"Missing", L"def"));
    EXPECT_EQ("narrow", CSettings::GetString(L"Missing", "narrow"));
}

TEST_F(Settings, WideStringsAreStoredAsTerminatedSz)
{
    const std::wstring value = L"C:\\Kurse\\\u00E9t\u00E9 \u20AC \xD83D\xDE00.agl";
    CSettings::SetWString(L"WorkingDirectory", value);
    const CRawValue raw = ReadRaw(L"WorkingDirectory");
    ASSERT_EQ(ERROR_SUCCESS, raw.result);
    EXPECT_EQ(DWORD(REG_SZ), raw.type);
    const std::wstring withZero = value + L'\0';
    EXPECT_EQ(Bytes(withZero.data(), withZero.size() * 2), raw.bytes);
    EXPECT_EQ(value, CSettings::GetWString(L"WorkingDirectory", L"default"));

    CSettings::SetWString(L"Empty", L"");
    EXPECT_EQ(2u, ReadRaw(L"Empty").bytes.size());
    EXPECT_EQ(L"", CSettings::GetWString(L"Empty", L"default"));
}

TEST_F(Settings, PrintableNarrowTextIsSzWithOneZero)
{
    const std::string value = "Begin Fendrel\r\nVersion 4\r\nEnd Fendrel\r\n";
    CSettings::SetString(L"Template", value);
    const CRawValue raw = ReadRaw(L"Template");
    ASSERT_EQ(ERROR_SUCCESS, raw.result);
    EXPECT_EQ(DWORD(REG_SZ), raw.type);
    // Stored as UTF-16 by the registry: length + 1 units, one zero at the end.
    ASSERT_EQ((value.size() + 1) * 2, raw.bytes.size());
    EXPECT_EQ(0, raw.bytes[raw.bytes.size() - 2] | raw.bytes[raw.bytes.size() - 1]);
    EXPECT_NE(0, raw.bytes[raw.bytes.size() - 4]);
    EXPECT_EQ(value, CSettings::GetString(L"Template", "default"));

    CSettings::SetString(L"EmptyNarrow", "");
    EXPECT_EQ(DWORD(REG_SZ), ReadRaw(L"EmptyNarrow").type);
    EXPECT_EQ("", CSettings::GetString(L"EmptyNarrow", "default"));
}

TEST_F(Settings, OtherNarrowTextIsBinaryWithoutTerminator)
{
    const std::string cases[] = {
        std::string("a\tb"),
        std::string("x\x7F"),
        std::string("\xC3\xA9t\xC3\xA9"),
        std::string("zero\0inside\0", 12),
        std::string(1, '\0'),
    };
    for (const std::string& value : cases) {
        CSettings::SetString(L"Pose", value);
        const CRawValue raw = ReadRaw(L"Pose");
        ASSERT_EQ(ERROR_SUCCESS, raw.result);
        EXPECT_EQ(DWORD(REG_BINARY), raw.type);
        EXPECT_EQ(Bytes(value.data(), value.size()), raw.bytes);
        EXPECT_EQ(value, CSettings::GetString(L"Pose", "default"));
    }
    // Writing printable text again turns the value back into REG_SZ.
    CSettings::SetString(L"Pose", "plain");
    EXPECT_EQ(DWORD(REG_SZ), ReadRaw(L"Pose").type);
    EXPECT_EQ("plain", CSettings::GetString(L"Pose", "default"));
}

TEST_F(Settings, ForeignUnterminatedStringsStopAtTheStoredBytes)
{
    const wchar_t units[] = {L'a', L'b', L'c'};
    WriteRaw(L"Foreign", REG_SZ, units, sizeof units);
    EXPECT_EQ(L"abc", CSettings::GetWString(L"Foreign", L"default"));
    EXPECT_EQ("abc", CSettings::GetString(L"Foreign", "default"));

    // An odd byte count: the half unit at the end is dropped.
    WriteRaw(L"Odd", REG_SZ, units, 5);
    EXPECT_EQ(L"ab", CSettings::GetWString(L"Odd", L"default"));

    // A zero inside ends the text.
    const wchar_t inner[] = {L'x', 0, L'y'};
    WriteRaw(L"Inner", REG_SZ, inner, sizeof inner);
    EXPECT_EQ(L"x", CSettings::GetWString(L"Inner", L"default"));
    EXPECT_EQ("x", CSettings::GetString(L"Inner", "default"));
}

TEST_F(Settings, IntegersAreReadOnlyFromDwords)
{
    const wchar_t number[] = L"12";
    WriteRaw(L"Text", REG_SZ, number, sizeof number);
    EXPECT_EQ(77, CSettings::GetInt(L"Text", 77));

    const DWORD four = 4;
    WriteRaw(L"Binary", REG_BINARY, &four, sizeof four);
    EXPECT_EQ(77, CSettings::GetInt(L"Binary", 77));

    WriteRaw(L"Short", REG_DWORD, &four, 2);
    EXPECT_EQ(77, CSettings::GetInt(L"Short", 77));

    const ULONGLONG wide = 5;
    WriteRaw(L"Qword", REG_QWORD, &wide, sizeof wide);
    EXPECT_EQ(77, CSettings::GetInt(L"Qword", 77));

    WriteRaw(L"Dword", REG_DWORD, &four, sizeof four);
    EXPECT_EQ(4, CSettings::GetInt(L"Dword", 77));
}

TEST_F(Settings, StringsAreReadOnlyFromTheirTypes)
{
    const BYTE bytes[] = {'a', 0, 'b', 0, 0, 0};
    WriteRaw(L"Binary", REG_BINARY, bytes, sizeof bytes);
    EXPECT_EQ(L"default", CSettings::GetWString(L"Binary", L"default"));

    const DWORD number = 0x41;
    WriteRaw(L"Dword", REG_DWORD, &number, sizeof number);
    EXPECT_EQ(L"default", CSettings::GetWString(L"Dword", L"default"));
    EXPECT_EQ("default", CSettings::GetString(L"Dword", "default"));

    const wchar_t expandable[] = L"%TEMP%";
    WriteRaw(L"Expand", REG_EXPAND_SZ, expandable, sizeof expandable);
    EXPECT_EQ(L"default", CSettings::GetWString(L"Expand", L"default"));
    EXPECT_EQ("default", CSettings::GetString(L"Expand", "default"));
}

TEST_F(Settings, EachValueIsReadOnceUntilWrittenHereOrTheKeyIsOpened)
{
    const DWORD one = 1, two = 2;
    WriteRaw(L"Kept", REG_DWORD, &one, sizeof one);
    EXPECT_EQ(1, CSettings::GetInt(L"Kept", 0));
    EXPECT_EQ(5, CSettings::GetInt(L"Absent", 5));
    // Changes made past the settings are not read again; an absent value
    // still gives each caller its own default.
    WriteRaw(L"Kept", REG_DWORD, &two, sizeof two);
    WriteRaw(L"Absent", REG_DWORD, &two, sizeof two);
    EXPECT_EQ(1, CSettings::GetInt(L"Kept", 0));
    EXPECT_EQ(6, CSettings::GetInt(L"Absent", 6));

    // A write through the settings is read back at once, by every kind of read.
    CSettings::SetInt(L"Kept", 3);
    EXPECT_EQ(3, CSettings::GetInt(L"Kept", 0));
    CSettings::SetString(L"Kept", "text");
    EXPECT_EQ(9, CSettings::GetInt(L"Kept", 9));
    EXPECT_EQ("text", CSettings::GetString(L"Kept", ""));
    EXPECT_EQ(L"text", CSettings::GetWString(L"Kept", L""));

    // Opening a key reads everything afresh.
    CSettings::Open(GetTestSettingsKeyPath());
    EXPECT_EQ(2, CSettings::GetInt(L"Absent", 6));
}

TEST_F(Settings, OpenSwitchesToAnotherKey)
{
    CSettings::SetInt(L"Metric", 1);
    const std::wstring other = GetTestSettingsKeyPath() + L"\\Other";
    CSettings::Open(other);
    EXPECT_EQ(-1, CSettings::GetInt(L"Metric", -1));
    CSettings::SetInt(L"Metric", 0);
    CSettings::Open(GetTestSettingsKeyPath());
    EXPECT_EQ(1, CSettings::GetInt(L"Metric", -1));
}

TEST_F(Settings, AFailedWriteIsReported)
{
    CRegistryKey key(HKEY_CURRENT_USER, GetTestSettingsKeyPath() + L"\\Doomed");
    ASSERT_TRUE(key.IsOpen());
    RegDeleteTreeW(HKEY_CURRENT_USER, (GetTestSettingsKeyPath() + L"\\Doomed").c_str());
    EXPECT_EQ(1, CountReports([&] { key.SetInt(L"Value", 1); }));
}

TEST_F(Settings, KeysOpenUnderAnotherKey)
{
    CRegistryKey parent(HKEY_CURRENT_USER, GetTestSettingsKeyPath());
    CRegistryKey child(parent.GetHandle(), L"shell\\open");
    ASSERT_TRUE(child.IsOpen());
    child.SetString(L"", std::wstring(L"command"));
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExW(HKEY_CURRENT_USER, (GetTestSettingsKeyPath() + L"\\shell\\open").c_str(), 0, KEY_QUERY_VALUE, &raw));
    RegCloseKey(raw);
    EXPECT_EQ(L"command", child.GetString(L"", L"default"));
    child.Close();
    EXPECT_FALSE(child.IsOpen());
    EXPECT_EQ(L"default", child.GetString(L"", L"default"));
}

CHILD_TEST(SettingsNotOpen, EveryAccessIsReportedAndGivesTheDefault)
{
    const int before = ReportCount();
    if (CSettings::GetInt(L"Metric", 9) != 9 || CSettings::GetWString(L"Name", L"w") != L"w" ||
        CSettings::GetString(L"Pose", "n") != "n")
        return 1;
    CSettings::SetInt(L"Metric", 1);
    CSettings::SetWString(L"Name", L"x");
    CSettings::SetString(L"Pose", "y");
    return ReportCount() - before == 6 ? 0 : 2;
}

CHILD_SCENARIO(SettingsOpenFailureMessages)
{
    // An invalid root makes RegCreateKeyW fail.
    const HKEY invalidRoot = reinterpret_cast<HKEY>(uintptr_t(0x12345678));
    CNoticeRecorder notices;
    const auto countShown = [&] {
        int shown = 0;
        for (const CNotice& notice : notices.Take())
            shown += notice.textId == 2701 && notice.style == ENoticeStyle::kError;
        return shown;
    };
    const int before = ReportCount();
    CRegistryKey first(invalidRoot, L"Fendrel");
    CRegistryKey second(invalidRoot, L"Fendrel");
    const int shownQuickly = countShown();
    Sleep(1100);
    CRegistryKey third(invalidRoot, L"Fendrel");
    const int shownLater = countShown();
    if (first.IsOpen() || third.IsOpen())
        return 90;
    // A key that is not open reads defaults and ignores writes silently.
    if (first.GetInt(L"X", 3) != 3 || first.GetString(L"X", L"d") != L"d" || first.GetString(L"X", "n") != "n")
        return 91;
    first.SetInt(L"X", 1);
    first.SetString(L"X", std::wstring(L"v"));
    first.SetString(L"X", std::string("v"), true);
    if (ReportCount() != before)
        return 92;
    return shownQuickly * 10 + shownLater;
}

TEST(SettingsOpenFailure, MessageShownAtMostOnceASecond)
{
    EXPECT_EQ(11, RunChildScenario("SettingsOpenFailureMessages"));
}

TEST(LocaleDefaults, FollowTheUsersLocale)
{
    wchar_t measure[10] = {}, country[10] = {}, decimal[10] = {};
    ASSERT_NE(0, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_IMEASURE, measure, 10));
    ASSERT_NE(0, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SABBREVCTRYNAME, country, 10));
    ASSERT_NE(0, GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 10));
    const CLocaleDefaults defaults;
    EXPECT_EQ(measure[0] == L'0', defaults.metric);
    EXPECT_EQ(decimal[0], defaults.decimalSeparator);
    EXPECT_EQ(decimal[0] == L',' ? L"|" : L", ", defaults.listSeparator);
    const std::wstring name = country;
    const int expected = name == L"AUS"   ? 0
                         : name == L"CAN" ? 1
                         : name == L"GBR" ? 2
                         : name == L"NZL" ? 3
                         : name == L"USA" ? 4
                                          : 5;
    EXPECT_EQ(expected, defaults.country) << name;
}

TEST(LocaleDefaults, CountriesUnitsAndSeparators)
{
    struct CCase
    {
        LCID locale;
        bool metric;
        int country;
        wchar_t decimal;
        const wchar_t* list;
    };
    const CCase cases[] = {
        {0x0409, false, CLocaleDefaults::kUnitedStates, L'.', L", "},
        {0x0809, true, CLocaleDefaults::kGreatBritain, L'.', L", "},
        {0x0C09, true, CLocaleDefaults::kAustralia, L'.', L", "},
        {0x1009, true, CLocaleDefaults::kCanada, L'.', L", "},
        {0x1409, true, CLocaleDefaults::kNewZealand, L'.', L", "},
        {0x0407, true, CLocaleDefaults::kOtherCountry, L',', L"|"},
        {0x040C, true, CLocaleDefaults::kOtherCountry, L',', L"|"},
    };
    for (const CCase& c : cases) {
        const CLocaleDefaults defaults(c.locale);
        EXPECT_EQ(c.metric, defaults.metric) << std::hex << c.locale;
        EXPECT_EQ(c.country, defaults.country) << std::hex << c.locale;
        EXPECT_EQ(c.decimal, defaults.decimalSeparator) << std::hex << c.locale;
        EXPECT_EQ(c.list, defaults.listSeparator) << std::hex << c.locale;
    }
}
