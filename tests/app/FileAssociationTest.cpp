#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include "app/Application.h"
#include "app/FileAssociation.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/TestSupport.h"

namespace {

const wchar_t kFileExts[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.agl";

bool ReadValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD& type, std::string& bytes)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    DWORD size = 0;
    LONG result = RegQueryValueExW(handle, name, nullptr, &type, nullptr, &size);
    bytes.assign(size, '\0');
    if (result == ERROR_SUCCESS && size > 0)
        result = RegQueryValueExW(handle, name, nullptr, &type, reinterpret_cast<BYTE*>(&bytes[0]), &size);
    RegCloseKey(handle);
    return result == ERROR_SUCCESS;
}

// A REG_SZ value; "<missing>" or "<type N>" otherwise.
std::wstring ReadText(HKEY root, const std::wstring& key, const wchar_t* name)
{
    DWORD type = REG_NONE;
    std::string bytes;
    if (!ReadValue(root, key, name, type, bytes))
        return L"<missing>";
    if (type != REG_SZ)
        return L"<type " + std::to_wstring(type) + L">";
    std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

void WriteText(HKEY root, const std::wstring& key, const std::wstring& value)
{
    RegSetKeyValueW(root, key.c_str(), nullptr, REG_SZ, value.c_str(), DWORD((value.size() + 1) * 2));
}

bool KeyExists(HKEY root, const std::wstring& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS)
        return false;
    RegCloseKey(handle);
    return true;
}

std::wstring ExpectedCommand() { return L"\"" + GetShortModulePath() + L"\" /dde"; }

// Checks every value of the association under the root.
void ExpectRegistered(HKEY root)
{
    EXPECT_EQ(L"Fendrel.Course.4", ReadText(root, L".agl", L""));
    DWORD type = REG_NONE;
    std::string data;
    ASSERT_TRUE(ReadValue(root, L".agl\\ShellNew", L"Data", type, data));
    EXPECT_EQ(DWORD(REG_BINARY), type);
    EXPECT_EQ(std::string("Begin Fendrel\r\nVersion Empty\r\nEnd Fendrel\r\n"), data);
    EXPECT_EQ(GetString(2002), ReadText(root, L"Fendrel.Course.4", L""));
    EXPECT_EQ(GetShortModulePath() + L",-102", ReadText(root, L"Fendrel.Course.4\\DefaultIcon", L""));
    EXPECT_EQ(ExpectedCommand(), ReadText(root, L"Fendrel.Course.4\\shell\\open\\command", L""));
    EXPECT_EQ(L"[open(\"%1\")]", ReadText(root, L"Fendrel.Course.4\\shell\\open\\ddeexec", L""));
    EXPECT_EQ(L"Fendrel 4", ReadText(root, L"Fendrel.Course.4\\shell\\open\\ddeexec", L"application"));
    EXPECT_EQ(ExpectedCommand(), ReadText(root, L"Fendrel.Course.4\\shell\\print\\command", L""));
    EXPECT_EQ(L"[print(\"%1\")]", ReadText(root, L"Fendrel.Course.4\\shell\\print\\ddeexec", L""));
    EXPECT_EQ(L"Fendrel 4", ReadText(root, L"Fendrel.Course.4\\shell\\print\\ddeexec", L"application"));
    EXPECT_TRUE(KeyExists(root, L"Fendrel.Course.4\\ShellEx"));
}

// A key of the test's own that stands for HKEY_CLASSES_ROOT.
class FileAssociation : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = L"Software\\Norvane\\Fendrel 4 Association Test " + std::to_wstring(GetCurrentProcessId());
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &m_root, nullptr));
        CDialogWatcher::TakeAnswered();
    }

    void TearDown() override
    {
        RegCloseKey(m_root);
        RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    }

    std::wstring m_path;
    HKEY m_root = nullptr;
};

}  // namespace

TEST_F(FileAssociation, WritesEveryValueAndTellsTheShell)
{
    EXPECT_TRUE(RegisterFileAssociationUnder(m_root));
    ExpectRegistered(m_root);
    EXPECT_TRUE(CDialogWatcher::TakeAnswered().empty());
}

TEST_F(FileAssociation, SecondRunRewritesValuesWithoutTellingTheShell)
{
    ASSERT_TRUE(RegisterFileAssociationUnder(m_root));
    WriteText(m_root, L"Fendrel.Course.4", L"changed description");
    WriteText(m_root, L"Fendrel.Course.4\\shell\\open\\ddeexec", L"changed");
    RegDeleteKeyW(m_root, L".agl\\ShellNew");
    EXPECT_FALSE(RegisterFileAssociationUnder(m_root));
    ExpectRegistered(m_root);
}

TEST_F(FileAssociation, ChangedOpenCommandIsRewrittenAndTold)
{
    ASSERT_TRUE(RegisterFileAssociationUnder(m_root));
    // As after the program file moved: the registered path is another one.
    WriteText(m_root, L"Fendrel.Course.4\\shell\\open\\command", L"\"C:\\OLDPLACE\\FENDRE~1.EXE\" /dde");
    EXPECT_TRUE(RegisterFileAssociationUnder(m_root));
    EXPECT_EQ(ExpectedCommand(), ReadText(m_root, L"Fendrel.Course.4\\shell\\open\\command", L""));
}

TEST_F(FileAssociation, ChangedPrintCommandIsRewrittenSilently)
{
    ASSERT_TRUE(RegisterFileAssociationUnder(m_root));
    WriteText(m_root, L"Fendrel.Course.4\\shell\\print\\command", L"other");
    EXPECT_FALSE(RegisterFileAssociationUnder(m_root));
    EXPECT_EQ(ExpectedCommand(), ReadText(m_root, L"Fendrel.Course.4\\shell\\print\\command", L""));
}

TEST_F(FileAssociation, ExtensionOfAnotherTypeIsTakenOver)
{
    WriteText(m_root, L".agl", L"Other.Program.1");
    EXPECT_TRUE(RegisterFileAssociationUnder(m_root));
    EXPECT_EQ(L"Fendrel.Course.4", ReadText(m_root, L".agl", L""));
}

TEST_F(FileAssociation, RegisterVerbReportsOnlyACommandChange)
{
    CRegistryKey shellKey(m_root, L"shell");
    EXPECT_TRUE(RegisterVerb(shellKey, L"edit", L"[edit(\"%1\")]"));
    EXPECT_FALSE(RegisterVerb(shellKey, L"edit", L"[other(\"%1\")]"));
    EXPECT_EQ(ExpectedCommand(), ReadText(m_root, L"shell\\edit\\command", L""));
    EXPECT_EQ(L"[other(\"%1\")]", ReadText(m_root, L"shell\\edit\\ddeexec", L""));
}

TEST_F(FileAssociation, PerUserChoicesAreDeleted)
{
    for (const wchar_t* child : {L"\\OpenWithList", L"\\OpenWithProgids", L"\\UserChoice"}) {
        HKEY key = nullptr;
        const std::wstring path = std::wstring(kFileExts) + child;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        RegCloseKey(key);
    }
    RegisterFileAssociationUnder(m_root);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::wstring(kFileExts) + L"\\UserChoice"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, std::wstring(kFileExts) + L"\\OpenWithList"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kFileExts));
}

TEST_F(FileAssociation, ExtensionKeyWithOtherChildrenStays)
{
    HKEY key = nullptr;
    const std::wstring other = std::wstring(kFileExts) + L"\\SomethingElse";
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(HKEY_CURRENT_USER, other.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    RegisterFileAssociationUnder(m_root);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, other));
    RegDeleteTreeW(HKEY_CURRENT_USER, kFileExts);
}

TEST_F(FileAssociation, WithoutWriteAccessNothingIsWrittenAndNothingShown)
{
    // The extension's key may only be read, as HKEY_CLASSES_ROOT is for a
    // user without administrator rights.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KR;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExW(m_root, L".agl", 0, nullptr, 0, KEY_READ, &attributes, &key, nullptr));
    RegCloseKey(key);
    LocalFree(descriptor);
    HKEY probe = nullptr;
    if (RegOpenKeyExW(m_root, L".agl", 0, KEY_SET_VALUE, &probe) == ERROR_SUCCESS) {
        // Wine (8.0 checked) keeps no access rights on registry keys: the key
        // stays writable whatever its DACL says, so the case cannot be made.
        RegCloseKey(probe);
        GTEST_SKIP() << "registry access rights are not enforced here";
    }

    EXPECT_FALSE(RegisterFileAssociationUnder(m_root));
    EXPECT_FALSE(KeyExists(m_root, L"Fendrel.Course.4"));
    EXPECT_EQ(L"<missing>", ReadText(m_root, L".agl", L""));
    EXPECT_TRUE(CDialogWatcher::TakeAnswered().empty());

    // Made writable again, so that the key can go.
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;KA;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    if (RegOpenKeyExW(m_root, L".agl", 0, WRITE_DAC, &key) == ERROR_SUCCESS) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
        RegCloseKey(key);
    }
    LocalFree(descriptor);
}

// ---- The registering run mode of the real program --------------------------------

TEST(FileAssociationProgram, RegisterModeWritesTheAssociationAndEnds)
{
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Fendrel.Course.4");
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L".agl");

    CProgramProcess program;
    ASSERT_TRUE(program.Start(L"/i"));
    EXPECT_EQ(0, program.WaitForExit(60000));
    EXPECT_TRUE(program.FindWindows(L"Fendrel 4").empty());

    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(CProgramProcess::GetProgramPath().c_str(), shortPath, MAX_PATH), 0u);
    const std::wstring command = L"\"" + std::wstring(shortPath) + L"\" /dde";
    EXPECT_EQ(L"Fendrel.Course.4", ReadText(HKEY_CLASSES_ROOT, L".agl", L""));
    EXPECT_EQ(command, ReadText(HKEY_CLASSES_ROOT, L"Fendrel.Course.4\\shell\\open\\command", L""));
    EXPECT_EQ(command, ReadText(HKEY_CLASSES_ROOT, L"Fendrel.Course.4\\shell\\print\\command", L""));
    EXPECT_EQ(std::wstring(shortPath) + L",-102",
              ReadText(HKEY_CLASSES_ROOT, L"Fendrel.Course.4\\DefaultIcon", L""));
    EXPECT_EQ(L"[print(\"%1\")]",
              ReadText(HKEY_CLASSES_ROOT, L"Fendrel.Course.4\\shell\\print\\ddeexec", L""));
    EXPECT_EQ(L"Fendrel 4",
              ReadText(HKEY_CLASSES_ROOT, L"Fendrel.Course.4\\shell\\open\\ddeexec", L"application"));
}
