#pragma once

#include <windows.h>

#include <string>

class CRegistryKey;

// The ".agl" file type: its ProgID "Fendrel.Course.4", the open and print
// verbs, which reach the running program by DDE, the icon and the shell's
// new-file template (an empty course). Written at every normal start and by
// the "i" run mode; the shell is told only when the type or the open command
// changed. Without write access to HKEY_CLASSES_ROOT nothing is written and
// nobody is told.
void RegisterFileAssociation();

// The same under any root standing for HKEY_CLASSES_ROOT (tests give a key
// of their own). Returns whether the shell was told of a change.
bool RegisterFileAssociationUnder(HKEY classesRoot);

// Writes one verb under the ProgID's "shell" key: its command (rewritten only
// when it differs) and its DDE execute text and application. Returns whether
// the command was rewritten.
bool RegisterVerb(CRegistryKey& shellKey, const std::wstring& verb, const std::wstring& ddeText);

// The registered command of both verbs: the program's short path in double
// quotes, then " /dde".
std::wstring GetVerbCommandLine();

constexpr const wchar_t* kCourseFileExtension = L".agl";
constexpr const wchar_t* kCourseProgId = L"Fendrel.Course.4";
// The shell's new-file template: an empty course text block.
constexpr const char* kEmptyCourseBlock = "Begin Fendrel\r\nVersion Empty\r\nEnd Fendrel\r\n";
