#include "tests/support/CrashLogTesting.h"

#include <vector>

#include "foundation/Strings.h"
#include "tests/support/NoticeRecorder.h"
#include "tests/support/TestSupport.h"

std::wstring GetTestCrashLogPath()
{
    const std::string name = kTestCrashLogName;
    return GetCommonDocumentsFolder() + L"\\" + std::wstring(name.begin(), name.end());
}

int CheckOneReportNotice(CNoticeRecorder& recorder, const std::string& argument)
{
    const std::vector<std::wstring> texts = recorder.TakeTexts();
    if (texts.size() != 1)
        return 20 + int(texts.size());
    const std::wstring wideArgument(argument.begin(), argument.end());
    const std::wstring expected = GetStringWithArg(2675, wideArgument);
    // The text must name the argument: a text without %1 would match anyway.
    return texts[0] == expected && expected.find(wideArgument) != std::wstring::npos ? 0 : 30;
}
