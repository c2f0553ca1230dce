#pragma once

#include <memory>
#include <string>

class CCourse;

// The course the benchmark reads, undoes and paints: for every kind of the
// list in BenchCourse.cpp (or only the one at onlyKind), the given number of
// objects made as the kind's placing tool makes them (the rule set's
// defaults; for the open tunnel, the body style picked in the tool's
// dialog), in a band of rows of its own across the largest ring, each
// turned and moved a little as by hand. A kind that becomes placeable gets
// its rows in the course and its lines in the table by adding its type id to
// the list; the first kind is the A-frame. The course of every kind holds
// the tunnel in the tool's default body (laid along a line) only.
//
// On a course of more than 50,000 objects, straight lines are placed in
// groups of 200, each on a course of its own, and taken over through their
// archive records: each snaps to the ends of every other, so that placing
// them one by one slows with every object already there.
//
// Interleaved, the course of every kind lays all its objects out on one
// grid across the ring, the kinds taking its places in turn, so that lines
// and paths lie among obstacles of every kind and tie to their ends.
//
// Each course is one a user could have made: its objects measured and its
// lines tied as the tools and each drop leave them, it writes the bytes a
// read of what it wrote writes again, so that the reading lines read what
// users' files hold.
enum class EBenchLayout
{
    kBands,
    kInterleaved,
};
std::unique_ptr<CCourse> MakeBenchCourse(int countPerKind, int onlyKind = -1,
                                         EBenchLayout layout = EBenchLayout::kBands);

// A course of count open tunnels with the longest bodies a file can give
// them, placed all round a ring of the default size at the edge of the
// stored range and turned every way, each body read from a record.
std::unique_ptr<CCourse> MakeFarTunnelCourse(int count);

// A course the size a judge builds: 25 obstacles once round a 40 x 30 m
// ring, a number beside each and one dog path tied to an end of each.
std::unique_ptr<CCourse> MakeJudgeCourse();

// Adds count handler figures to the course, all in the pose the figure's
// tool gives them, in rows across the middle of the ring, each turned and
// moved a little as by hand.
void AddHandlerFigures(CCourse& course, int count);

// The lines of the list (kinds, and the tunnel in each body), and the kinds
// the course of every kind holds.
int GetBenchKindCount();
int GetCourseKindCount();
// The count per kind that gives the course of every kind about total
// objects, no more than a course holds.
int GetCountPerKind(int total);
// "100,000".
std::string FormatCount(int count);
// "1,000 A-frames", "1,000 of each of 7 kinds", or "1,000 of each of 7
// kinds, interleaved".
std::string DescribeBenchCourse(int countPerKind, int onlyKind = -1, EBenchLayout layout = EBenchLayout::kBands);

// Milliseconds of the program's clock since the start reading.
double MillisecondsSince(double startSeconds);
