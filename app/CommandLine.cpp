#include "app/CommandLine.h"

#include <windows.h>

#include "foundation/CrashLog.h"

namespace {

struct CSwitch
{
    const wchar_t* name;
    int32_t runMode;
};

const CSwitch kSwitches[] = {
    {L"unregister", kRunUnregister}, {L"unregserver", kRunUnregister}, {L"dde", kRunDdeServer},
    {L"embedding", kRunEmbedding},   {L"i", kRunRegister},
};

struct CExecuteCommand
{
    const wchar_t* prefix;
    int32_t runMode;
    int argumentCount;
};

const CExecuteCommand kExecuteCommands[] = {
    {L"[open(\"", kRunOpen, 1},
    {L"[print(\"", kRunPrint, 1},
};

// After an argument's closing quote come two characters that belong to the
// command's frame: ")]" after the last argument, ",\"" before the next one.
constexpr size_t kArgumentGap = 3;

bool StartsWith(const wchar_t* text, size_t length, const wchar_t* prefix)
{
    size_t i = 0;
    for (; prefix[i]; ++i) {
        if (i >= length || text[i] != prefix[i])
            return false;
    }
    return true;
}

}  // namespace

std::wstring CCommandLine::GetJoinedFileNames() const
{
    std::wstring joined;
    for (const std::wstring& name : fileNames) {
        if (!joined.empty())
            joined += L' ';
        joined += name;
    }
    return joined;
}

bool MatchSwitch(const std::wstring& token, const wchar_t* literal)
{
    size_t i = 0;
    for (; literal[i]; ++i) {
        const wchar_t letter = literal[i];
        if (letter < L'a' || letter > L'z') {
            TRACE_VALUE(std::wstring, std::wstring(literal));
            ReportFailure();
            return false;
        }
        if (i >= token.size())
            return false;
        if (token[i] != letter && token[i] != wchar_t(letter - 32))
            return false;
    }
    return i == token.size();
}

std::wstring MakeAbsolutePath(const std::wstring& fileName)
{
    std::wstring full(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = GetFullPathNameW(fileName.c_str(), DWORD(full.size()), &full[0], nullptr);
        if (length == 0)
            break;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        // Too small: the answer is the size needed, terminator included.
        full.assign(length, L'\0');
    }
    TRACE_VALUE(std::wstring, fileName);
    return fileName;
}

void ParseCommandLine(CCommandLine& commandLine)
{
    const wchar_t* text = GetCommandLineW();
    ParseCommandLineText(text ? std::wstring(text) : std::wstring(), commandLine);
}

void ParseCommandLineText(const std::wstring& text, CCommandLine& commandLine)
{
    TRACE_VALUE(std::wstring, text);
    commandLine.runMode = kRunPlain;
    commandLine.fileNames.clear();
    commandLine.fromDde = false;

    const size_t end = text.size();
    size_t position = 0;
    int tokenNumber = 0;
    for (;;) {
        while (position < end && text[position] == L' ')
            ++position;
        if (position >= end)
            break;
        std::wstring token;
        if (text[position] == L'"') {
            const size_t start = position + 1;
            const size_t quote = text.find(L'"', start);
            if (quote == std::wstring::npos) {
                token = text.substr(start);
                position = end;
            } else {
                token = text.substr(start, quote - start);
                position = quote + 1;
            }
        } else {
            const size_t blank = text.find(L' ', position);
            const size_t stop = blank == std::wstring::npos ? end : blank;
            token = text.substr(position, stop - position);
            position = stop;
        }
        ++tokenNumber;
        // Token 1 is the program's own path.
        if (tokenNumber == 1 || token.empty())
            continue;
        if (token[0] == L'-' || token[0] == L'/') {
            const std::wstring name = token.substr(1);
            for (const CSwitch& candidate : kSwitches) {
                if (MatchSwitch(name, candidate.name)) {
                    commandLine.runMode = candidate.runMode;
                    break;
                }
            }
            continue;
        }
        // Made absolute now: start-up changes the current folder before the
        // files are opened, and a running instance has a folder of its own.
        commandLine.fileNames.push_back(MakeAbsolutePath(token));
    }
    if (commandLine.runMode == kRunPlain && !commandLine.fileNames.empty())
        commandLine.runMode = kRunOpen;
    TRACE_VALUE(int32_t, commandLine.runMode);
}

void ParseDdeCommand(const std::wstring& text, CCommandLine& commandLine)
{
    ParseDdeCommand(text.c_str(), text.size(), commandLine);
}

void ParseDdeCommand(const wchar_t* text, size_t length, CCommandLine& commandLine)
{
    commandLine.runMode = kRunUnknown;
    commandLine.fileNames.clear();
    commandLine.fromDde = true;
    if (!text)
        length = 0;
    // The text ends at its first zero or at the end of the memory it came in.
    size_t end = 0;
    while (end < length && text[end] != L'\0')
        ++end;

    for (const CExecuteCommand& command : kExecuteCommands) {
        if (!StartsWith(text, end, command.prefix))
            continue;
        size_t position = wcslen(command.prefix);
        std::vector<std::wstring> arguments;
        for (int i = 0; i < command.argumentCount; ++i) {
            size_t quote = position;
            while (quote < end && text[quote] != L'"')
                ++quote;
            if (quote >= end)
                break;
            arguments.emplace_back(text + position, text + quote);
            position = quote + kArgumentGap;
            if (position > end)
                position = end;
        }
        // Every argument must be there and name something: an empty file
        // name would open or print nothing while reporting success.
        bool complete = int(arguments.size()) == command.argumentCount;
        for (const std::wstring& argument : arguments)
            complete = complete && !argument.empty();
        if (complete) {
            commandLine.fileNames.push_back(arguments[0]);
            commandLine.runMode = command.runMode;
        }
        break;
    }
    TRACE_VALUE(int32_t, commandLine.runMode);
}

std::wstring BuildDdeCommand(int32_t runMode, const std::wstring& fileName)
{
    for (const CExecuteCommand& command : kExecuteCommands) {
        if (command.runMode == runMode && !fileName.empty())
            return command.prefix + fileName + L"\")]";
    }
    return std::wstring();
}

std::vector<std::wstring> BuildDdeCommands(const CCommandLine& commandLine)
{
    std::vector<std::wstring> commands;
    for (const std::wstring& fileName : commandLine.fileNames) {
        std::wstring command = BuildDdeCommand(commandLine.runMode, fileName);
        if (!command.empty())
            commands.push_back(std::move(command));
    }
    return commands;
}
