#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "foundation/Base64.h"
#include "foundation/Clock.h"
#include "foundation/Compression.h"
#include "tools/benchmark/AllocationCounter.h"
#include "tools/benchmark/BenchCourse.h"
#include "tools/benchmark/BenchTable.h"
#include "tools/benchmark/Benchmarks.h"

namespace {

// The base64 lines of a text block: everything between the viewer line and
// the end line.
std::string ExtractBase64(const std::string& block)
{
    const size_t viewer = block.find("viewer");
    const size_t start = block.find('\n', viewer) + 1;
    return block.substr(start, block.find("End Fendrel", start) - start);
}

// What no reader can avoid: decode, inflate, look at every byte once.
double ReadFloorMs(const std::string& base64, size_t& fieldEnds)
{
    const double start = GetClockSeconds();
    std::string bytes = CBase64::Decode(base64);
    bytes.erase(0, 3);
    std::string archive;
    ZlibUncompressWithLength(bytes, archive, std::string());
    fieldEnds = 0;
    for (char c : archive)
        fieldEnds += c == 0x1F;
    return MillisecondsSince(start);
}

double ReadCourseMs(const std::string& block, size_t& objects, size_t& allocations)
{
    const size_t allocationsBefore = GetAllocationCount();
    const double start = GetClockSeconds();
    CCourse* course = new CCourse(std::wstring(), std::wstring());
    std::istringstream in(block);
    course->ReadTextBlock(in, false);
    const double ms = MillisecondsSince(start);
    allocations = GetAllocationCount() - allocationsBefore;
    objects = course->GetObjectCount();
    delete course;
    return ms;
}

// The lines for reading the text blocks of courses of objects[i] objects,
// named names[i], smallest first: each against its floor, the growth of the
// time per object from each size to the next (and from the smallest to the
// largest, for more than two sizes), and the heap allocations per object at
// the largest.
void BenchBlocks(const std::vector<std::string>& names, const std::vector<std::string>& blocks,
                 const std::vector<int>& objects, int runs)
{
    const size_t sizes = blocks.size();
    std::vector<std::string> base64;
    std::vector<CBenchRow> rows;
    std::vector<CBenchRow> growth;
    for (size_t i = 0; i < sizes; ++i) {
        base64.push_back(ExtractBase64(blocks[i]));
        rows.emplace_back("read " + names[i] + " / floor");
        if (i > 0)
            growth.emplace_back("  per-object time " + FormatCount(objects[i]) + " / " + FormatCount(objects[i - 1]));
    }
    if (sizes > 2)
        growth.emplace_back("  per-object time " + FormatCount(objects.back()) + " / " + FormatCount(objects.front()));
    size_t allocations = 0;
    for (int run = 0; run < runs; ++run) {
        std::vector<double> program(sizes);
        for (size_t i = 0; i < sizes; ++i) {
            size_t objectsRead = 0;
            size_t fieldEnds = 0;
            program[i] = ReadCourseMs(blocks[i], objectsRead, allocations);
            rows[i].Add(program[i], ReadFloorMs(base64[i], fieldEnds));
            if (objectsRead != size_t(objects[i]) || fieldEnds < objectsRead)
                std::printf("warning: the course read back holds %u objects\n", unsigned(objectsRead));
        }
        for (size_t i = 1; i < sizes; ++i)
            growth[i - 1].Add(program[i] / objects[i], program[i - 1] / objects[i - 1]);
        if (sizes > 2)
            growth.back().Add(program.back() / objects.back(), program.front() / objects.front());
    }
    for (size_t i = 0; i < sizes; ++i)
        rows[i].Print();
    for (const CBenchRow& row : growth)
        row.Print();
    // The last run's count at the largest size, the course's own few included.
    CBenchRow::PrintValue("  heap allocations per object on read", double(allocations) / objects.back());
}

// Reads the courses of the given counts per kind (of one kind, or of every
// kind laid out as given with onlyKind -1), unless a text block cannot hold
// the largest.
void BenchCourses(const std::vector<int>& countsPerKind, int onlyKind, int runs,
                  EBenchLayout layout = EBenchLayout::kBands)
{
    const int kinds = onlyKind < 0 ? GetCourseKindCount() : 1;
    std::vector<std::string> names;
    std::vector<std::string> blocks;
    std::vector<int> objects;
    for (int count : countsPerKind) {
        std::ostringstream out;
        MakeBenchCourse(count, onlyKind, layout)->WriteTextBlock(out, false, false);
        if (out.str().empty()) {
            // Beyond the largest archive a text block can hold.
            std::printf("%s: no text block\n", DescribeBenchCourse(count, onlyKind, layout).c_str());
            return;
        }
        blocks.push_back(out.str());
        objects.push_back(count * kinds);
        names.push_back(onlyKind < 0 ? FormatCount(objects.back()) + " objects, " +
                                           DescribeBenchCourse(count, onlyKind, layout)
                                     : DescribeBenchCourse(count, onlyKind));
    }
    BenchBlocks(names, blocks, objects, runs);
}

}  // namespace

void BenchReading(int runs, const std::string& kindFilter)
{
    for (int kind = 0; kind < GetBenchKindCount(); ++kind) {
        if (DescribeBenchCourse(1, kind).find(kindFilter) == std::string::npos)
            continue;
        BenchCourses({1000, 10000}, kind, runs);
    }
    const std::vector<int> counts = {GetCountPerKind(1000), GetCountPerKind(10000), GetCountPerKind(100000)};
    for (EBenchLayout layout : {EBenchLayout::kBands, EBenchLayout::kInterleaved}) {
        if (DescribeBenchCourse(1, -1, layout).find(kindFilter) != std::string::npos)
            BenchCourses(counts, -1, runs, layout);
    }
}

void SaveReadBlocks(const std::string& folder)
{
    for (EBenchLayout layout : {EBenchLayout::kBands, EBenchLayout::kInterleaved}) {
        for (int count : {GetCountPerKind(1000), GetCountPerKind(10000), GetCountPerKind(100000)}) {
            const std::string path = folder + "/read-" + std::to_string(count * GetCourseKindCount()) +
                                     (layout == EBenchLayout::kInterleaved ? "-interleaved" : "") + ".txt";
            std::ofstream out(path, std::ios::binary);
            MakeBenchCourse(count, -1, layout)->WriteTextBlock(out, false, false);
            std::printf("%s\n", path.c_str());
        }
    }
    // The courses of the first frames' lines, for starting the program with
    // them: a course file holds exactly its text block.
    const std::unique_ptr<CCourse> judge = MakeJudgeCourse();
    const auto save = [&](const char* name) {
        std::ofstream out(folder + name, std::ios::binary);
        judge->WriteTextBlock(out, false, false);
        std::printf("%s%s\n", folder.c_str(), name);
    };
    save("/judge.agl");
    AddHandlerFigures(*judge, 60);
    save("/judge-60-handlers.agl");
}

void BenchReadFile(const std::string& path, int runs)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    const std::string block = text.str();
    const std::string base64 = ExtractBase64(block);
    CBenchRow row("read " + path + " / floor");
    size_t objects = 0;
    size_t allocations = 0;
    for (int run = 0; run < runs; ++run) {
        size_t fieldEnds = 0;
        const double program = ReadCourseMs(block, objects, allocations);
        row.Add(program, ReadFloorMs(base64, fieldEnds));
    }
    row.Print();
    CBenchRow::PrintValue("  objects", double(objects));
    CBenchRow::PrintValue("  heap allocations per object on read", double(allocations) / std::max<size_t>(objects, 1));
}
