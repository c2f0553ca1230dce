#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The test machine has no browser. The app tests pretend it has one, with a
// connection and handlers for web pages and mail, before the process-wide
// web access is first built; what the program asks the shell to open is
// recorded instead of opened.
struct CBrowserFake
{
    // Every file or address given to ShellExecuteW, oldest first.
    static std::vector<std::wstring>& GetOpened();
    // The result ShellExecuteW gives: above 32 is success.
    static int& GetResult();
    // Clears the record and makes opening succeed.
    static void Reset();
};
