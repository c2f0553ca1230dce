#include <cstdio>
#include <sstream>
#include <string>

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

}  // namespace

void BenchReading(int runs, const std::string& kindFilter)
{
    const int counts[2] = {1000, 10000};
    for (int kind = 0; kind < GetBenchKindCount(); ++kind) {
        if (DescribeBenchCourse(1, kind).find(kindFilter) == std::string::npos)
            continue;
        std::string blocks[2];
        std::string base64[2];
        for (int i = 0; i < 2; ++i) {
            std::ostringstream out;
            MakeBenchCourse(counts[i], kind)->WriteTextBlock(out, false, false);
            blocks[i] = out.str();
            base64[i] = ExtractBase64(blocks[i]);
        }
        if (blocks[1].empty()) {
            // Beyond the largest archive a text block can hold.
            std::printf("%s: no text block\n", DescribeBenchCourse(counts[1], kind).c_str());
            continue;
        }
        CBenchRow rows[2] = {CBenchRow("read " + DescribeBenchCourse(counts[0], kind) + " / floor"),
                             CBenchRow("read " + DescribeBenchCourse(counts[1], kind) + " / floor")};
        CBenchRow growth("  per-object time 10,000 / 1,000");
        size_t allocations = 0;
        for (int run = 0; run < runs; ++run) {
            double program[2];
            for (int i = 0; i < 2; ++i) {
                size_t objects = 0;
                size_t fieldEnds = 0;
                program[i] = ReadCourseMs(blocks[i], objects, allocations);
                rows[i].Add(program[i], ReadFloorMs(base64[i], fieldEnds));
                if (objects != size_t(counts[i]) || fieldEnds < objects)
                    std::printf("warning: the course read back holds %u objects\n", unsigned(objects));
            }
            growth.Add(program[1] / counts[1], program[0] / counts[0]);
        }
        rows[0].Print();
        rows[1].Print();
        growth.Print();
        // The last run's count at 10,000, the course's own few included.
        std::printf("  heap allocations per object on read %35.1f\n", double(allocations) / counts[1]);
    }
}
