#pragma once

#include <string>

// The user-interface texts, 2000 to 2722, looked up by identifier. "%1" to
// "%4" are filled by the arguments, each at its first occurrence only.
std::wstring GetString(int id);
std::wstring GetStringWithArg(int id, const std::wstring& arg1);
std::wstring GetStringWith2Args(int id, const std::wstring& arg1, const std::wstring& arg2);
std::wstring GetStringWith3Args(int id, const std::wstring& arg1, const std::wstring& arg2,
                                const std::wstring& arg3);
std::wstring GetStringWith4Args(int id, const std::wstring& arg1, const std::wstring& arg2,
                                const std::wstring& arg3, const std::wstring& arg4);

// Identifiers for controls that must clash with no text or command: 2723 and up.
int AllocateId();

// The placeholder filling of the lookups: for each argument of the
// null-terminated list, in order, the first "%1", "%2", ... of the text as
// filled so far is replaced by it. A placeholder without an argument stays.
void FillPlaceholders(std::wstring& text, const std::wstring* const* args);
