#pragma once

#include <string>

// Helpers for tests of the crash log and of code that reports into it.
// A child scenario that lets its report write a log names this file, in the
// shared Documents folder, and the test reads and deletes it.

constexpr char kTestCrashLogName[] = "Fendrel4CrashLog.txt";
std::wstring GetTestCrashLogPath();

class CNoticeRecorder;

// 0 when the notices sent since the last look are exactly one failure report
// (text 2675) naming the argument; 20 plus the count for another number of
// notices, 30 for another text.
int CheckOneReportNotice(CNoticeRecorder& recorder, const std::string& argument);

// Whether a line of the log starts with the text (a file and line stamp).
inline bool StartsWith(const std::string& text, const std::string& start)
{
    return text.compare(0, start.size(), start) == 0;
}

// A function whose body is one trace stamp, and the constant holding the
// line it sits on, so that a test knows which line a record must name.
#define STAMP(name, statement) \
    void name() { statement; } \
    const int name##Line = __LINE__;
