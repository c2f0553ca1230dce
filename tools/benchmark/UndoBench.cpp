#include <iterator>
#include <string>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "foundation/Clock.h"
#include "tools/benchmark/BenchCourse.h"
#include "tools/benchmark/BenchTable.h"
#include "tools/benchmark/Benchmarks.h"

namespace {

// Moves one object a little, as one step of editing does.
void MoveOneObject(CCourse& course, int run)
{
    auto it = course.GetObjects().begin();
    std::advance(it, (run * 7) % course.GetObjectCount());
    CTransform placement = (*it)->GetPlacement();
    const CPoint2 position = placement.GetPosition2D();
    placement.SetPosition2D(position.x + 120.0f, position.y);
    (*it)->SetPlacement(placement);
}

void BenchUndoOf(int count, int kind, int runs)
{
    std::unique_ptr<CCourse> course = MakeBenchCourse(count, kind);
    const std::string what = " (" + DescribeBenchCourse(count, kind) + ") / archive write";
    CBenchRow commitRow("undo commit" + what);
    CBenchRow undoRow("undo" + what);
    CBenchRow redoRow("redo" + what);
    std::string archive;
    for (int run = 0; run < runs; ++run) {
        MoveOneObject(*course, run);
        double start = GetClockSeconds();
        course->CommitUndoStep(L"Move");
        const double commit = MillisecondsSince(start);
        start = GetClockSeconds();
        course->Undo();
        const double undo = MillisecondsSince(start);
        start = GetClockSeconds();
        course->Redo();
        const double redo = MillisecondsSince(start);
        start = GetClockSeconds();
        course->WriteArchive(archive, false, false, true);
        const double write = MillisecondsSince(start);
        commitRow.Add(commit, write);
        undoRow.Add(undo, write);
        redoRow.Add(redo, write);
    }
    commitRow.Print();
    undoRow.Print();
    redoRow.Print();
}

}  // namespace

void BenchUndo(int runs)
{
    // The course of every kind at about 1,000 objects and at a thousand of
    // each, and a small and a large course of the first kind.
    BenchUndoOf(GetCountPerKind(1000), -1, runs);
    BenchUndoOf(1000, -1, runs);
    BenchUndoOf(1000, 0, runs);
    BenchUndoOf(10000, 0, runs);
}
