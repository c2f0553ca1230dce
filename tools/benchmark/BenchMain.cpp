// Fendrel4Bench: the speed of reading, undo, repaint and start-up, each as
// a ratio to what the platform needs for the same work. See README.md.
//
//     Fendrel4Bench [--runs N] [--only read|memory|undo|frame|map|first|3d|start|path] [--kind NAME] [--pictures]
//     Fendrel4Bench --save-read FOLDER | --read-file FILE [--runs N]
//
// "--memory-child FILE" is how the memory section runs itself to read one
// course file.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "app/Application.h"
#include "foundation/Settings.h"
#include "render3d/GraphicsSystem.h"
#include "graphics/GdiplusSession.h"
#include "tools/benchmark/BenchTable.h"
#include "tools/benchmark/Benchmarks.h"

namespace {

// The benchmark's courses read their settings from a key of their own, so
// that the user's choices (units, rule set) do not change the figures.
const wchar_t kSettingsKey[] = L"Software\\Norvane\\Fendrel 4 Benchmark";

void OpenBenchSettings()
{
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    CSettings::Open(kSettingsKey);
    CSettings::SetInt(L"Metric", 0);
    CSettings::SetInt(L"SpecList", 1);
    // Views and pictures through GDI, as in the test programs; the 3D lines
    // name their systems.
    CSettings::SetInt(L"GraphicsClass", 0);
}

// What every course made or read needs, once the settings are open.
void StartCourses()
{
    InstallGraphicsSystemChoice();
    RegisterCourseKinds();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--memory-child") == 0) {
        CGdiplusSession gdiplus;
        // The settings the parent made, as they are.
        CSettings::Open(kSettingsKey);
        StartCourses();
        return RunMemoryChild();
    }
    int runs = 7;
    std::string only;
    bool pictures = false;
    std::string kind;
    std::string saveRead;
    std::string readFile;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc)
            only = argv[++i];
        else if (std::strcmp(argv[i], "--kind") == 0 && i + 1 < argc)
            kind = argv[++i];
        else if (std::strcmp(argv[i], "--save-read") == 0 && i + 1 < argc)
            saveRead = argv[++i];
        else if (std::strcmp(argv[i], "--read-file") == 0 && i + 1 < argc)
            readFile = argv[++i];
        else if (std::strcmp(argv[i], "--pictures") == 0)
            pictures = true;
        else {
            std::printf("usage: Fendrel4Bench [--runs N] [--only read|memory|undo|frame|map|first|3d|start|path] "
                        "[--kind NAME] [--pictures]\n");
            return 2;
        }
    }
    CGdiplusSession gdiplus;
    OpenBenchSettings();
    StartCourses();
    if (!saveRead.empty() || !readFile.empty()) {
        if (!saveRead.empty())
            SaveReadBlocks(saveRead);
        else
            BenchReadFile(readFile, runs);
        RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        return 0;
    }
    CBenchRow::PrintHeader(runs);
    // Starts come first: measured after the other lines, every start took
    // longer and the minimal window's about twice as long (190 ms against
    // 80 ms), which flattered the program's ratio.
    if (only.empty() || only == "start")
        BenchStartUp(runs);
    if (only.empty() || only == "read")
        BenchReading(runs, kind);
    if (only.empty() || only == "memory")
        BenchMemory(kind);
    if (only.empty() || only == "undo")
        BenchUndo(runs);
    // "map" is the map frame lines alone, without the 3D view's; there the
    // kind filter picks rows by their description.
    if (only.empty() || only == "frame" || only == "map")
        BenchMapFrame(runs, pictures, only == "map" ? kind : std::string());
    // "first" is the first frames' lines alone.
    if (only.empty() || only == "frame" || only == "first")
        BenchFirstMapFrame(runs);
    // "3d" is the 3D view's lines alone.
    if (only.empty() || only == "frame" || only == "3d")
        BenchView3DFrame(runs, pictures);
    if (only.empty() || only == "path")
        BenchDogPathRefit(runs);
    RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    return 0;
}
