#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>

#include "foundation/Files.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

TEST(GetPathPart, MarksOfAFullPath)
{
    const std::wstring path = L"C:\\Courses\\Trial.agl";
    EXPECT_EQ(L"C:\\Courses", GetPathPart(path, 0, 0));
    EXPECT_EQ(L"C:\\Courses\\Trial", GetPathPart(path, 0, 1));
    EXPECT_EQ(path, GetPathPart(path, 0, 2));
    EXPECT_EQ(L"Trial", GetPathPart(path, 1, 1));
    EXPECT_EQ(L"Trial.agl", GetPathPart(path, 1, 2));
    EXPECT_EQ(L"agl", GetPathPart(path, 2, 2));
    EXPECT_EQ(L"Trial.agl", GetPathPart(L"dir/sub/Trial.agl", 1, 2));
    EXPECT_EQ(L"dir/sub", GetPathPart(L"dir/sub/Trial.agl", 0, 0));
}

TEST(GetPathPart, DotsInFolderNamesAreNoExtension)
{
    EXPECT_EQ(L"", GetPathPart(L"C:\\a.b\\c", 2, 2));
    EXPECT_EQ(L"c", GetPathPart(L"C:\\a.b\\c", 1, 1));
    EXPECT_EQ(L"C:\\a.b\\c", GetPathPart(L"C:\\a.b\\c", 0, 1));
}

TEST(GetPathPart, PlainFileNames)
{
    EXPECT_EQ(L"", GetPathPart(L"c.txt", 0, 0));
    EXPECT_EQ(L"c", GetPathPart(L"c.txt", 1, 1));
    EXPECT_EQ(L"txt", GetPathPart(L"c.txt", 2, 2));
    EXPECT_EQ(L"", GetPathPart(L"name", 2, 2));
    EXPECT_EQ(L"name", GetPathPart(L"name", 1, 1));
    EXPECT_EQ(L"", GetPathPart(L"", 1, 2));
}

TEST(GetPathPart, CrossedOrUnknownMarksAreReported)
{
    int before = ReportCount();
    EXPECT_EQ(L"", GetPathPart(L"C:\\Courses\\Trial.agl", 2, 0));
    EXPECT_EQ(L"", GetPathPart(L"C:\\Courses\\Trial.agl", 1, 0));
    EXPECT_EQ(before + 2, ReportCount());

    before = ReportCount();
    EXPECT_EQ(L"Trial.agl", GetPathPart(L"C:\\Courses\\Trial.agl", 1, 7));
    EXPECT_EQ(L"agl", GetPathPart(L"C:\\Courses\\Trial.agl", -1, 2));
    EXPECT_EQ(before + 2, ReportCount());
}

TEST(IsSamePath, IgnoresCaseOnly)
{
    EXPECT_TRUE(IsSamePath(L"C:\\Courses\\A.agl", L"c:\\COURSES\\a.AGL"));
    EXPECT_FALSE(IsSamePath(L"C:\\Courses\\A.agl", L"C:/Courses/A.agl"));
    EXPECT_FALSE(IsSamePath(L"C:\\Courses\\A.agl", L"C:\\Courses\\A.agl "));
}

namespace {

class FileStreams : public testing::Test
{
protected:
    void SetUp() override { m_folder = MakeTempFolder(L"streams"); }
    std::wstring Path(const std::wstring& name) const { return m_folder + L"\\" + name; }
    std::wstring m_folder;
};

}  // namespace

TEST_F(FileStreams, TextModeWritesAndReadsCrLf)
{
    const std::wstring path = Path(L"text.txt");
    {
        std::ofstream out;
        OpenOutputFileStream(out, path, false);
        ASSERT_TRUE(out.good());
        out << "Begin\nEnd\n";
    }
    EXPECT_EQ("Begin\r\nEnd\r\n", ReadWholeFile(path));
    std::ifstream in;
    OpenInputFileStream(in, path, false);
    ASSERT_TRUE(in.good());
    std::string line1, line2;
    std::getline(in, line1);
    std::getline(in, line2);
    EXPECT_EQ("Begin", line1);
    EXPECT_EQ("End", line2);
}

TEST_F(FileStreams, BinaryModeKeepsBytes)
{
    const std::wstring path = Path(L"binary.bin");
    const std::string bytes("a\r\nb\n\0\x1A" "c", 8);
    {
        std::ofstream out;
        OpenOutputFileStream(out, path, true);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    EXPECT_EQ(bytes, ReadWholeFile(path));
    std::ifstream in;
    OpenInputFileStream(in, path, true);
    std::string read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, read);
}

TEST_F(FileStreams, OutputTruncates)
{
    const std::wstring path = Path(L"truncate.txt");
    {
        std::ofstream out;
        OpenOutputFileStream(out, path, true);
        out << "a long first content";
    }
    {
        std::ofstream out;
        OpenOutputFileStream(out, path, true);
        out << "short";
    }
    EXPECT_EQ("short", ReadWholeFile(path));
}

TEST_F(FileStreams, FilesAreSharedForReadingAndWriting)
{
    const std::wstring path = Path(L"shared.txt");
    std::ofstream out;
    OpenOutputFileStream(out, path, true);
    out << "shared" << std::flush;
    std::ifstream in;
    OpenInputFileStream(in, path, true);
    ASSERT_TRUE(in.good());
    std::string word;
    in >> word;
    EXPECT_EQ("shared", word);
    // Another writer may open it while both streams are open.
    std::ofstream second;
    OpenOutputFileStream(second, path, true);
    EXPECT_TRUE(second.good());
}

TEST_F(FileStreams, WidePathsAndFailures)
{
    const std::wstring path = Path(L"\u00E9t\u00E9 \u20AC.agl");
    {
        std::ofstream out;
        OpenOutputFileStream(out, path, false);
        ASSERT_TRUE(out.good());
        out << "x";
    }
    EXPECT_TRUE(FileExists(path));

    std::ifstream missing;
    OpenInputFileStream(missing, Path(L"missing.agl"), false);
    EXPECT_TRUE(missing.fail());

    std::ofstream nowhere;
    OpenOutputFileStream(nowhere, Path(L"no such folder\\x.agl"), false);
    EXPECT_TRUE(nowhere.fail());

    // A stream that is already open is reopened on the new path.
    std::ifstream reused;
    OpenInputFileStream(reused, path, false);
    ASSERT_TRUE(reused.good());
    OpenInputFileStream(reused, Path(L"missing.agl"), false);
    EXPECT_TRUE(reused.fail());
    OpenInputFileStream(reused, path, false);
    EXPECT_TRUE(reused.good());
}

TEST_F(FileStreams, OnlyFilesOnADiskAreDiskFiles)
{
    const std::wstring path = Path(L"course.agl");
    {
        std::ofstream out;
        OpenOutputFileStream(out, path, true);
        out << "Begin Fendrel";
    }
    uint64_t size = 99;
    EXPECT_TRUE(IsDiskFile(path, size));
    EXPECT_EQ(13u, size);
    EXPECT_TRUE(IsDiskFile(L"\\\\?\\" + path, size));
    // Reading a console or a pipe waits for a writer.
    for (const wchar_t* other : {L"", L"NUL", L"CON", L"CONIN$", L"\\\\.\\NUL", L"\\\\.\\PIPE\\fendrel-none"}) {
        EXPECT_FALSE(IsDiskFile(other, size)) << other;
        EXPECT_EQ(0u, size) << other;
    }
    EXPECT_FALSE(IsDiskFile(m_folder, size));
    EXPECT_FALSE(IsDiskFile(Path(L"missing.agl"), size));
}

TEST_F(FileStreams, WideCharacterStreams)
{
    const std::wstring path = Path(L"wide.txt");
    {
        std::wofstream out;
        OpenOutputFileStream(out, path, false);
        ASSERT_TRUE(out.good());
        out << L"one\ntwo";
    }
    EXPECT_EQ("one\r\ntwo", ReadWholeFile(path));
    std::wifstream in;
    OpenInputFileStream(in, path, false);
    std::wstring first, second;
    std::getline(in, first);
    std::getline(in, second);
    EXPECT_EQ(L"one", first);
    EXPECT_EQ(L"two", second);
}

TEST(WindowsVersion, ComparesMajorThenMinorThenServicePack)
{
    OSVERSIONINFOEXW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&version)));
    const uint16_t major = uint16_t(version.dwMajorVersion);
    const uint16_t minor = uint16_t(version.dwMinorVersion);
    const uint16_t pack = version.wServicePackMajor;
    EXPECT_TRUE(IsWindowsVersionAtLeast(0, 0, 0));
    EXPECT_TRUE(IsWindowsVersionAtLeast(major, minor, pack));
    EXPECT_FALSE(IsWindowsVersionAtLeast(major, minor, uint16_t(pack + 1)));
    EXPECT_FALSE(IsWindowsVersionAtLeast(major, uint16_t(minor + 1), 0));
    EXPECT_FALSE(IsWindowsVersionAtLeast(uint16_t(major + 1), 0, 0));
    // A higher major version passes whatever the minor and the service pack.
    EXPECT_TRUE(IsWindowsVersionAtLeast(uint16_t(major - 1), 99, 99));
}
