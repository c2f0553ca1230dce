#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "render3d/GraphicsSystem.h"
#include "tests/support/CrashLogTesting.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

// A graphics system's failure report spends the crash log's one report and
// may give back its reserve, so every case runs in a process of its own,
// with a settings key of that process.

CHILD_SCENARIO(GraphicsOutOfMemoryTwice)
{
    GetCrashLog().fileName = kTestCrashLogName;
    CTestSettingsKey key;
    static CGraphicsSystem first(L"MemA");
    static CGraphicsSystem second(L"MemB");
    if (!GetCrashLog().HoldsReserve())
        return 10;

    // The first out-of-memory report gives back the reserve and stays 2.
    first.ReportFailure(2);
    if (GetCrashLog().HoldsReserve())
        return 11;
    if (first.GetCurrentError() != 2 || first.GetWorstError() != 2 || !first.IsRestricted())
        return 12;
    if (CSettings::GetInt(L"MemAWorstError", -1) != 2)
        return 13;
    if (ReportCount() != 1 || !FileExists(GetTestCrashLogPath()))
        return 14;

    // A second one counts as any other failure; only the first worst error
    // of a run is stored.
    second.ReportFailure(2);
    if (second.GetCurrentError() != 3 || second.GetWorstError() != 3 || !second.IsRestricted())
        return 15;
    if (CSettings::GetInt(L"MemBWorstError", -1) != -1)
        return 16;
    if (ReportCount() != 2)
        return 17;

    // Nothing new: no further report to the crash log.
    first.ReportFailure(1);
    first.ReportFailure(2);
    if (first.GetCurrentError() != 3 || ReportCount() != 3)
        return 18;
    first.ReportFailure(3);
    if (ReportCount() != 3)
        return 19;
    return CDialogWatcher::TakeAnswered().empty() ? 0 : 20;
}

TEST(GraphicsSystem, OutOfMemoryReleasesTheReserveOnceThenCountsAsFailure)
{
    DeleteFileW(GetTestCrashLogPath().c_str());
    EXPECT_EQ(0, RunChildScenario("GraphicsOutOfMemoryTwice"));
    // The dump ends with the first report: the system's name and severity.
    const std::string file = ReadWholeFile(GetTestCrashLogPath());
    EXPECT_NE(std::string::npos, file.find(" MemA\r\nGraphicsSystem.cpp:")) << file;
    EXPECT_EQ(file.size() - 4, file.rfind(" 2\r\n")) << file;
}

CHILD_TEST(GraphicsSystem, WorstErrorOfEarlierRunsIsReadAndKept)
{
    CTestSettingsKey key;
    CSettings::SetInt(L"StoredWorstError", 2);
    static CGraphicsSystem system(L"Stored");
    if (system.GetWorstError() != 2 || system.GetCurrentError() != 0 || system.IsRestricted())
        return 10;
    // A lost device: below the stored worst error, which stays.
    system.ReportFailure(1);
    if (system.GetWorstError() != 2 || system.GetCurrentError() != 1 || !system.IsRestricted())
        return 11;
    if (CSettings::GetInt(L"StoredWorstError", -1) != 2 || ReportCount() != 1)
        return 12;
    if (CGdiGraphicsSystem::Instance().GetName() != L"GDI" || &CGdiGraphicsSystem::Instance() == nullptr)
        return 13;
    return 0;
}

CHILD_TEST(GraphicsSystem, AReportFromTheWatchdogsThreadIsWrittenOnlyOnceTheThreadRunsAgain)
{
    CTestSettingsKey key;
    static CGraphicsSystem system(L"Held");
    HANDLE thread = CreateThread(
        nullptr, 0, [](void*) WINAPI -> DWORD { system.ReportFailure(3); return 0; }, nullptr, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    // Failed at once, but neither the setting nor the dump is written until this thread completes it, once.
    if (system.GetCurrentError() != 3 || !system.IsRestricted() || CSettings::GetInt(L"HeldWorstError", -1) != -1 ||
        ReportCount() != 0)
        return 10;
    system.CompleteHeldReport();
    system.CompleteHeldReport();
    return CSettings::GetInt(L"HeldWorstError", -1) == 3 && system.GetWorstError() == 3 && ReportCount() == 1 ? 0 : 11;
}
