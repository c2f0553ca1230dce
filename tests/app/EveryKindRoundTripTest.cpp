#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CourseFiles.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/TextConversion.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"

namespace {

// Reads a course text block into a new course.
std::unique_ptr<CCourse> ReadBack(const std::string& text)
{
    auto course = std::make_unique<CCourse>(L"Read", L"");
    std::istringstream in(text);
    if (!course->ReadTextBlock(in, false))
        return nullptr;
    return course;
}

// The values of the test's settings key, one line each, sorted by name:
// the name, then the number, the text, or the bytes in hex.
std::string SettingsDump()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, GetTestSettingsKeyPath().c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "no settings key\n";
    std::vector<std::string> lines;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, size = 0;
        BYTE data[65536];
        size = sizeof data;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        std::string line = WideToUtf8(std::wstring(name, nameLength));
        char number[16];
        if (type == REG_DWORD) {
            std::snprintf(number, sizeof number, "%lu", static_cast<unsigned long>(*reinterpret_cast<DWORD*>(data)));
            line += " = " + std::string(number);
        } else {
            line += type == REG_SZ ? " : " : " # ";
            for (DWORD i = 0; i < size; ++i) {
                std::snprintf(number, sizeof number, "%02X", data[i]);
                line += number;
            }
        }
        lines.push_back(line + "\n");
    }
    RegCloseKey(key);
    std::sort(lines.begin(), lines.end());
    std::string dump;
    for (const std::string& line : lines)
        dump += line;
    return dump;
}

std::string ReadFileBytes(const std::wstring& path)
{
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

// A course holding an object of every registered kind, each made as the
// placing tool makes it and, where its last end is a handle, with that end
// dragged, reads back from its text block and writes the same bytes again.
// A kind joins this test by being registered.
TEST(EveryKind, ACourseOfEveryKindResavesByteIdentically)
{
    filetest::OpenFileTestSettings();
    // Hints that dragging may give go nowhere.
    CNoticeRecorder notices;
    CCourse course(L"Every kind", L"");
    ASSERT_TRUE(filetest::PlaceEveryKind(course));
    const size_t placed = GetObjectTypes().size();
    // The older format stores some kinds as older kinds; those that are not
    // kinds of this program yet are left out when read back.
    CFieldWriter olderStream;
    olderStream.m_versionMajor = 3;
    size_t olderKept = 0;
    for (const CObjectType* type : GetObjectTypes()) {
        if (FindObjectTypeById(type->GetId(&olderStream)) != nullptr)
            ++olderKept;
    }

    const std::string text = filetest::TextBlockOf(course);
    std::unique_ptr<CCourse> read = ReadBack(text);
    ASSERT_TRUE(read);
    EXPECT_EQ(placed, read->GetObjectCount());
    EXPECT_EQ(text, filetest::TextBlockOf(*read));

    // The older format may give a kind a form of its own once; read back,
    // it stays.
    std::unique_ptr<CCourse> older = ReadBack(filetest::TextBlockOf(course, false, true));
    ASSERT_TRUE(older);
    EXPECT_EQ(olderKept, older->GetObjectCount());
    const std::string olderText = filetest::TextBlockOf(*older, false, true);
    EXPECT_EQ(olderText, filetest::TextBlockOf(*ReadBack(olderText), false, true));
}

// The 32-bit and the 64-bit program write the same bytes: the course of
// every kind as saved, as copied and in the older format, then once more
// after the whole course is turned, flipped and moved, and the settings
// stored for it (its objects' colours as each kind's own, the course as the
// template). EveryKindBytes.txt holds what the 32-bit program writes; each
// build must match it. A process of its own: a path without points writes
// a number counted across the process. A change that rightly changes these
// bytes makes the test write what it got beside the test program: copy that
// over the file.
CHILD_TEST(EveryKind, EachBuildWritesTheBytesOfTheThirtyTwoBitProgram)
{
    filetest::OpenFileTestSettings();
    CNoticeRecorder notices;
    CCourse course(L"Every kind", L"");
    if (!filetest::PlaceEveryKind(course))
        return 1;
    std::string written;
    const auto writeBlocks = [&](const char* heading) {
        course.SelectAll();
        written += std::string("[") + heading + ": saved]\n" + filetest::TextBlockOf(course);
        written += std::string("[") + heading + ": copied]\n" + filetest::TextBlockOf(course, true);
        written += std::string("[") + heading + ": older format]\n" + filetest::TextBlockOf(course, false, true);
        course.DeselectAll(false);
    };
    writeBlocks("placed");
    course.SelectAll();
    course.PrepareRotationSnap();
    course.RotateSelectionBy(37.0f);
    course.CommitSnappedAngle();
    course.FlipSelection(false);
    course.MoveSelectionBy(123.4f, -56.7f);
    course.SetMotion(0);
    course.DeselectAll(false);
    writeBlocks("turned, flipped and moved");

    for (CCourseObject* object : course.GetObjects())
        object->GetPartColors().SaveToSettings(object->GetType()->GetIdString());
    if (!SaveCourseAsTemplate(course))
        return 2;
    written += "[settings]\n" + SettingsDump();
    DeleteTestSettingsKey();

    const std::string expected = ReadFileBytes(FENDREL_TEST_FILES L"/EveryKindBytes.txt");
    // The course the 32-bit program saved, read by this build, saves the
    // same bytes.
    const std::string savedHeading = "[placed: saved]\n";
    const size_t savedAt = expected.find(savedHeading);
    const size_t savedEnd = expected.find("\n[", savedAt + 1);
    if (savedAt != std::string::npos && savedEnd != std::string::npos) {
        const size_t start = savedAt + savedHeading.size();
        const std::string saved = expected.substr(start, savedEnd + 1 - start);
        std::unique_ptr<CCourse> read = ReadBack(saved);
        if (!read || filetest::TextBlockOf(*read) != saved)
            return 4;
    }
    if (written == expected)
        return 0;
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring got(exe);
    got = got.substr(0, got.find_last_of(L"\\/") + 1) + L"EveryKindBytes.txt";
    filetest::WriteBytes(got, written);
    std::printf("The bytes differ from EveryKindBytes.txt (%u bytes, got %u); what this build writes is in %s\n",
                unsigned(expected.size()), unsigned(written.size()), WideToUtf8(got).c_str());
    return 3;
}
