#pragma once

#include <memory>
#include <string>

class CCourse;

// The course the benchmark reads, undoes and paints: for every kind of the
// list, the given number of objects made as the kind's placing tool makes
// them (the rule set's defaults), in a band of rows of its own across the
// largest ring, each turned and moved a little as by hand. A kind that
// becomes placeable gets its rows by adding its type id to the list in
// BenchCourse.cpp.
std::unique_ptr<CCourse> MakeBenchCourse(int countPerKind);

// The number of kinds in the list, for the names of the table's lines.
int GetBenchKindCount();
// "1,000 A-frames", or "1,000 each of A-frames, tunnels".
std::string DescribeBenchCourse(int countPerKind);

// Milliseconds of the program's clock since the start reading.
double MillisecondsSince(double startSeconds);
