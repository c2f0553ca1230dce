#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// What the program is asked to do, from its own command line or from a DDE
// execute command that reached the running instance.
enum ERunMode
{
    kRunUnknown = 0,      // an execute command that names no known command
    kRunPlain = 1,        // start with an empty course
    kRunOpen = 2,         // open the named files
    kRunPrint = 3,        // print the named file without a window (DDE only)
    kRunDdeServer = 4,    // "dde": stay up as a DDE server only
    kRunEmbedding = 5,    // "embedding"
    kRunUnregister = 6,   // "unregister" or "unregserver"
    kRunRegister = 7,     // "i": write the file association and stop
};

class CCommandLine
{
public:
    int32_t runMode = kRunPlain;
    // One entry per file. Names from the process command line are absolute
    // (made so while parsing, before start-up changes the current folder).
    std::vector<std::wstring> fileNames;
    // False for the process command line, true for a DDE execute command.
    bool fromDde = false;

    // The file names joined by one blank, for messages and trace values.
    std::wstring GetJoinedFileNames() const;
};

// Fills the command line from GetCommandLineW.
void ParseCommandLine(CCommandLine& commandLine);
// The same for a given command-line text (the program path comes first).
void ParseCommandLineText(const std::wstring& text, CCommandLine& commandLine);

// Reads an execute command of at most `length` characters; a zero character
// ends it earlier. "[open(\"name\")]" and "[print(\"name\")]" (prefixes
// case-sensitive) give run modes 2 and 3; anything else, a missing closing
// quote or an empty name leaves run mode 0.
void ParseDdeCommand(const wchar_t* text, size_t length, CCommandLine& commandLine);
void ParseDdeCommand(const std::wstring& text, CCommandLine& commandLine);

// The execute commands that hand a command line over to the running
// instance: one per file for run modes 2 and 3, none for any other mode.
std::vector<std::wstring> BuildDdeCommands(const CCommandLine& commandLine);
// One execute command: run mode 2 or 3 and one file name; empty otherwise.
std::wstring BuildDdeCommand(int32_t runMode, const std::wstring& fileName);

// Whether a switch (its text after the "-" or "/") is the literal, which
// must be lower-case letters a to z; each letter may also be written as a
// capital.
bool MatchSwitch(const std::wstring& token, const wchar_t* literal);

// The full path of a file name relative to the current folder; the name
// unchanged when the system cannot make one.
std::wstring MakeAbsolutePath(const std::wstring& fileName);
