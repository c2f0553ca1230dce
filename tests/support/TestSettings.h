#pragma once

#include <gtest/gtest.h>

#include <string>

// Settings for tests: a registry key of this process under HKEY_CURRENT_USER,
// so that a test sees neither the user's settings nor those of another run.

// "Software\Norvane\Fendrel 4 Test <process id>".
std::wstring GetTestSettingsKeyPath();

// Empties the test key and opens the settings there.
void OpenTestSettingsKey();
// Deletes the test key with everything in it.
void DeleteTestSettingsKey();
// Whether the test key holds the value.
bool HasTestSettingsValue(const std::wstring& name);
// Takes the value out of the test key, as if it had never been stored.
void DeleteTestSettingsValue(const std::wstring& name);

// The test key opened empty with what course tests rely on: imperial units,
// rule set 1, and the hint about objects deleted outside the area (a modal
// dialog) switched off.
void OpenCourseTestSettings();

// The test key for the life of the object: the settings open there empty,
// and the key goes at the end.
class CTestSettingsKey
{
public:
    CTestSettingsKey() { OpenTestSettingsKey(); }
    ~CTestSettingsKey() { DeleteTestSettingsKey(); }
    CTestSettingsKey(const CTestSettingsKey&) = delete;
    CTestSettingsKey& operator=(const CTestSettingsKey&) = delete;
};

// The fixture of tests on the course test settings, opened before each test
// and deleted after it.
class CCourseSettingsTest : public testing::Test
{
protected:
    void SetUp() override { OpenCourseTestSettings(); }
    void TearDown() override { DeleteTestSettingsKey(); }
};
