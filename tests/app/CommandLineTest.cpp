#include <gtest/gtest.h>

#include <windows.h>

#include "app/CommandLine.h"
#include "foundation/CrashLog.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

namespace {

const wchar_t kProgram[] = L"\"C:\\Program Files\\Fendrel 4\\Fendrel4.exe\"";

CCommandLine Parse(const std::wstring& arguments)
{
    CCommandLine commandLine;
    commandLine.runMode = -1;
    commandLine.fromDde = true;
    commandLine.fileNames.push_back(L"left over");
    ParseCommandLineText(std::wstring(kProgram) + arguments, commandLine);
    return commandLine;
}

CCommandLine ParseDde(const std::wstring& text)
{
    CCommandLine commandLine;
    commandLine.fileNames.push_back(L"left over");
    ParseDdeCommand(text, commandLine);
    return commandLine;
}

// Whether the command line holds the run mode and exactly the file names.
::testing::AssertionResult HoldsModeAndFiles(const CCommandLine& commandLine, int32_t mode,
                                             const std::vector<std::wstring>& fileNames)
{
    if (commandLine.runMode == mode && commandLine.fileNames == fileNames)
        return ::testing::AssertionSuccess();
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "run mode " << commandLine.runMode << " (expected " << mode << "), " << commandLine.fileNames.size()
            << " file names:";
    for (const std::wstring& name : commandLine.fileNames)
        failure << " \"" << name << "\"";
    return failure;
}

// A text to parse, the run mode it gives and its file names.
struct CParseCase
{
    const wchar_t* text;
    int32_t mode;
    std::vector<std::wstring> fileNames;
};

std::wstring GetCurrentFolder()
{
    wchar_t folder[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, folder);
    std::wstring text(folder);
    if (!text.empty() && text.back() != L'\\')
        text += L'\\';
    return text;
}

}  // namespace

TEST(CommandLine, ProgramPathAloneIsAPlainStart)
{
    const CCommandLine commandLine = Parse(L"");
    EXPECT_TRUE(HoldsModeAndFiles(commandLine, kRunPlain, {}));
    EXPECT_FALSE(commandLine.fromDde);
}

TEST(CommandLine, UnquotedProgramPathIsSkippedToo)
{
    CCommandLine commandLine;
    ParseCommandLineText(L"Fendrel4.exe", commandLine);
    EXPECT_TRUE(HoldsModeAndFiles(commandLine, kRunPlain, {}));
}

// Switches count after a slash or hyphen in any case and only whole; the
// later one wins; quotes keep blanks, an unclosed one takes the rest.
TEST(CommandLine, EachTextGivesItsModeAndFiles)
{
    const CParseCase cases[] = {
        {L"  \"C:\\My Courses\\Round 1.agl\"", kRunOpen, {L"C:\\My Courses\\Round 1.agl"}},
        {L" \"C:\\a b\\c.agl", kRunOpen, {L"C:\\a b\\c.agl"}},
        {L" /dde", kRunDdeServer, {}},
        {L" /DDE", kRunDdeServer, {}},
        {L" -dDe", kRunDdeServer, {}},
        {L" -DDE", kRunDdeServer, {}},
        {L" \"\" /dde \"\"", kRunDdeServer, {}},
        {L" /unregister", kRunUnregister, {}},
        {L" -UnRegServer", kRunUnregister, {}},
        {L" -Embedding", kRunEmbedding, {}},
        {L" /i", kRunRegister, {}},
        {L" -I", kRunRegister, {}},
        {L" /i /dde", kRunDdeServer, {}},
        {L" /dde /unknown /i", kRunRegister, {}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(HoldsModeAndFiles(Parse(c.text), c.mode, c.fileNames)) << c.text;
    for (const wchar_t* ignored : {L" /ddex", L" /d", L" -dd", L" /", L" /idde", L" /dde2"})
        EXPECT_TRUE(HoldsModeAndFiles(Parse(ignored), kRunPlain, {})) << ignored;
}

TEST(CommandLine, SwitchWinsOverFileNames)
{
    const CCommandLine commandLine = Parse(L" C:\\a.agl /dde");
    EXPECT_EQ(kRunDdeServer, commandLine.runMode);
    const std::vector<std::wstring> commands = BuildDdeCommands(commandLine);
    EXPECT_TRUE(commands.empty());
}

TEST(CommandLine, TabIsNoBlank)
{
    // The program path runs on over the tab, so the name is part of token 1.
    CCommandLine commandLine;
    ParseCommandLineText(L"Fendrel4.exe\tC:\\a.agl", commandLine);
    EXPECT_TRUE(HoldsModeAndFiles(commandLine, kRunPlain, {}));
}

TEST(CommandLine, EmptyQuotedTokenIsSkipped)
{
    EXPECT_TRUE(HoldsModeAndFiles(Parse(L" \"\" /dde \"\""), kRunDdeServer, {}));
}

TEST(CommandLine, RelativeNamesBecomeAbsoluteEachOnItsOwn)
{
    const std::wstring folder = GetCurrentFolder();
    const CCommandLine commandLine = Parse(L" first.agl \"second course.agl\"");
    EXPECT_TRUE(HoldsModeAndFiles(commandLine, kRunOpen, {folder + L"first.agl", folder + L"second course.agl"}));
    EXPECT_EQ(folder + L"first.agl " + folder + L"second course.agl", commandLine.GetJoinedFileNames());
}

TEST(CommandLine, NameRelativeToAnotherFolderUsesThatFolder)
{
    const std::wstring previous = GetCurrentFolder();
    const std::wstring folder = MakeTempFolder(L"command-line");
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    const CCommandLine commandLine = Parse(L" ..\\up.agl");
    SetCurrentDirectoryW(previous.c_str());
    const std::wstring parent = folder.substr(0, folder.find_last_of(L'\\') + 1);
    ASSERT_EQ(1u, commandLine.fileNames.size());
    EXPECT_EQ(parent + L"up.agl", commandLine.fileNames[0]);
}

TEST(CommandLine, MakeAbsolutePathKeepsAnAbsolutePath)
{
    EXPECT_EQ(L"C:\\Courses\\a.agl", MakeAbsolutePath(L"C:\\Courses\\a.agl"));
    EXPECT_EQ(L"C:\\Courses\\a.agl", MakeAbsolutePath(L"C:\\Courses\\sub\\..\\a.agl"));
}

TEST(CommandLine, MatchSwitchComparesWholeWords)
{
    EXPECT_TRUE(MatchSwitch(L"dde", L"dde"));
    EXPECT_TRUE(MatchSwitch(L"DdE", L"dde"));
    EXPECT_FALSE(MatchSwitch(L"dd", L"dde"));
    EXPECT_FALSE(MatchSwitch(L"ddee", L"dde"));
    EXPECT_FALSE(MatchSwitch(L"", L"i"));
}

CHILD_TEST(CommandLine, MatchSwitchReportsALiteralThatIsNotLowerCase)
{
    const bool matched = MatchSwitch(L"DDE1", L"dde1");
    return (matched ? 10 : 0) + (ReportCount() == 1 ? 0 : 1);
}

// ---- DDE execute texts ------------------------------------------------------------

// The prefix is case-sensitive, the name must be closed and not empty, and
// what follows the command is ignored.
TEST(DdeCommand, EachTextGivesItsModeAndFile)
{
    EXPECT_TRUE(ParseDde(L"[open(\"C:\\a.agl\")]").fromDde);
    const CParseCase cases[] = {
        {L"[open(\"C:\\My Courses\\a.agl\")]", kRunOpen, {L"C:\\My Courses\\a.agl"}},
        {L"[print(\"C:\\a.agl\")]", kRunPrint, {L"C:\\a.agl"}},
        {L"[open(\"C:\\a.agl\")][open(\"C:\\b.agl\")] and more", kRunOpen, {L"C:\\a.agl"}},
        {L"[Open(\"C:\\a.agl\")]", kRunUnknown, {}},
        {L"[open(\"C:\\a.agl)]", kRunUnknown, {}},
        {L"[open(\"\")]", kRunUnknown, {}},
        {L"[print(\"\")]", kRunUnknown, {}},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(HoldsModeAndFiles(ParseDde(c.text), c.mode, c.fileNames)) << c.text;
    for (const wchar_t* text : {L"", L"[", L"[open(", L"[open(\"", L"[close(\"a\")]", L"open(\"a\")"})
        EXPECT_EQ(kRunUnknown, ParseDde(text).runMode) << text;
}

TEST(DdeCommand, ReadingStopsAtTheGivenLength)
{
    const std::wstring text = L"[open(\"C:\\a.agl\")]";
    const size_t quote = text.find(L'"', 7);
    CCommandLine commandLine;
    // The closing quote lies just beyond the length: as if it were missing.
    ParseDdeCommand(text.c_str(), quote, commandLine);
    EXPECT_EQ(kRunUnknown, commandLine.runMode);
    ParseDdeCommand(text.c_str(), quote + 1, commandLine);
    EXPECT_EQ(kRunOpen, commandLine.runMode);
    ParseDdeCommand(text.c_str(), 3, commandLine);
    EXPECT_EQ(kRunUnknown, commandLine.runMode);
    ParseDdeCommand(nullptr, 100, commandLine);
    EXPECT_EQ(kRunUnknown, commandLine.runMode);
}

TEST(DdeCommand, ZeroCharacterEndsTheText)
{
    const wchar_t text[] = L"[open(\"C:\\a\0.agl\")]";
    CCommandLine commandLine;
    ParseDdeCommand(text, sizeof text / sizeof text[0], commandLine);
    EXPECT_EQ(kRunUnknown, commandLine.runMode);
}

TEST(DdeCommand, BuildGivesOneCommandPerFile)
{
    CCommandLine commandLine;
    commandLine.runMode = kRunOpen;
    commandLine.fileNames = {L"C:\\a b.agl", L"C:\\c.agl"};
    const std::vector<std::wstring> commands = BuildDdeCommands(commandLine);
    ASSERT_EQ(2u, commands.size());
    EXPECT_EQ(L"[open(\"C:\\a b.agl\")]", commands[0]);
    EXPECT_EQ(L"[open(\"C:\\c.agl\")]", commands[1]);

    commandLine.runMode = kRunPrint;
    EXPECT_EQ(L"[print(\"C:\\a b.agl\")]", BuildDdeCommands(commandLine).at(0));
}

TEST(DdeCommand, BuildGivesNothingForOtherModes)
{
    CCommandLine commandLine;
    commandLine.fileNames = {L"C:\\a.agl"};
    for (int32_t mode : {0, 1, 4, 5, 6, 7, 8, -1}) {
        commandLine.runMode = mode;
        EXPECT_TRUE(BuildDdeCommands(commandLine).empty()) << mode;
        EXPECT_TRUE(BuildDdeCommand(mode, L"C:\\a.agl").empty()) << mode;
    }
    EXPECT_TRUE(BuildDdeCommand(kRunOpen, L"").empty());
}

TEST(DdeCommand, BuiltCommandParsesBackToTheSameFile)
{
    const std::wstring name = L"C:\\Agility (2024)\\Round, final.agl";
    for (int32_t mode : {int32_t(kRunOpen), int32_t(kRunPrint)})
        EXPECT_TRUE(HoldsModeAndFiles(ParseDde(BuildDdeCommand(mode, name)), mode, {name}));
}
