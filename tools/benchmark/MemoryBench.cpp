#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include "course/Course.h"
#include "foundation/Clock.h"
#include "foundation/Files.h"
#include "tools/benchmark/BenchCourse.h"
#include "tools/benchmark/Benchmarks.h"

namespace {

// The objects of every course measured: the most a course holds.
constexpr int kObjects = 100000;
constexpr double kBytesPerMB = 1024.0 * 1024.0;

PROCESS_MEMORY_COUNTERS_EX GetMemoryCounters()
{
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                         sizeof counters);
    return counters;
}

std::wstring GetOwnPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// Runs this program as a memory child on the file and returns what it
// prints on its standard output, which a pipe brings back.
std::string RunChild(const std::wstring& file)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
        return std::string();
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    std::wstring commandLine = L"\"" + GetOwnPath() + L"\" --memory-child \"" + file + L"\"";
    STARTUPINFOW startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION info = {};
    const bool started = CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &info);
    // The child holds the only write end now: the pipe ends when it does.
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[256];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0)
            output.append(buffer, got);
        WaitForSingleObject(info.hProcess, INFINITE);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

// Writes the course's text block into a file of its own, frees the course,
// lets a child read the file and prints its figures.
void MeasureReading(const std::string& description, std::unique_ptr<CCourse> course)
{
    const std::string name = "memory reading " + description;
    wchar_t folder[MAX_PATH] = {};
    wchar_t file[MAX_PATH] = {};
    if (!GetTempPathW(MAX_PATH, folder) || !GetTempFileNameW(folder, L"fbm", 0, file)) {
        std::printf("%s: no temporary file\n", name.c_str());
        return;
    }
    // The child counts what it read back against what was written.
    const size_t writtenObjects = course->GetObjectCount();
    bool written = false;
    {
        // Byte for byte, as the program saves a course; the child opens it
        // as the program opens one.
        std::ofstream out;
        OpenOutputFileStream(out, file, true);
        course->WriteTextBlock(out, false, false);
        written = out.good() && out.tellp() > 0;
    }
    course.reset();
    const std::string output = written ? RunChild(file) : std::string();
    DeleteFileW(file);
    if (!written) {
        // Beyond the largest archive a text block can hold.
        std::printf("%s: no text block\n", name.c_str());
        return;
    }
    double peakMB = 0.0;
    double keptMB = 0.0;
    unsigned objects = 0;
    if (std::sscanf(output.c_str(), "%lf %lf %u", &peakMB, &keptMB, &objects) != 3) {
        std::printf("%s: the child gave no figures\n", name.c_str());
        return;
    }
    if (objects != writtenObjects)
        std::printf("warning: the course read back holds %u objects\n", objects);
    if (output.find("no peak") != std::string::npos)
        std::printf("warning: reading did not pass the child's earlier peak\n");
    std::printf("%-58s %8.1f MB peak %8.1f MB kept\n", name.c_str(), peakMB, keptMB);
    std::fflush(stdout);
}

// Makes the course with each kind's placing tool, telling how long that took:
// placing one object must not grow with the objects placed before it.
std::unique_ptr<CCourse> MakeCourse(const std::string& description, int countPerKind, int onlyKind)
{
    const double start = GetClockSeconds();
    std::unique_ptr<CCourse> course = MakeBenchCourse(countPerKind, onlyKind);
    std::printf("%-58s %8.1f s\n", ("placing " + description).c_str(), MillisecondsSince(start) / 1000.0);
    std::fflush(stdout);
    return course;
}

}  // namespace

void BenchMemory(const std::string& kindFilter)
{
    for (int kind = 0; kind < GetBenchKindCount(); ++kind) {
        if (DescribeBenchCourse(1, kind).find(kindFilter) == std::string::npos)
            continue;
        const std::string description = DescribeBenchCourse(kObjects, kind);
        MeasureReading(description, MakeCourse(description, kObjects, kind));
    }
    if (DescribeBenchCourse(1).find(kindFilter) == std::string::npos)
        return;
    const int count = GetCountPerKind(kObjects);
    const std::string description =
        FormatCount(count * GetCourseKindCount()) + " objects, " + DescribeBenchCourse(count);
    MeasureReading(description, MakeCourse(description, count, -1));
}

int RunMemoryChild()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 3)
        return 2;
    std::ifstream in;
    OpenInputFileStream(in, argv[2], false);
    LocalFree(argv);
    if (!in.is_open())
        return 1;
    // Under Wine the peak commit charge (PeakPagefileUsage) is only the
    // present one; the peak working set is a true high-water mark. Both are
    // taken against the figures just before the course is made.
    const PROCESS_MEMORY_COUNTERS_EX before = GetMemoryCounters();
    auto course = std::make_unique<CCourse>(std::wstring(), std::wstring());
    course->ReadTextBlock(in, false);
    const PROCESS_MEMORY_COUNTERS_EX after = GetMemoryCounters();
    std::printf("%.3f %.3f %u%s\n", (double(after.PeakWorkingSetSize) - double(before.WorkingSetSize)) / kBytesPerMB,
                (double(after.PagefileUsage) - double(before.PagefileUsage)) / kBytesPerMB,
                unsigned(course->GetObjectCount()),
                after.PeakWorkingSetSize > before.PeakWorkingSetSize ? "" : " no peak");
    return 0;
}
