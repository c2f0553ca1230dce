#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "foundation/Clock.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/PathConnection.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tools/benchmark/BenchCourse.h"
#include "tools/benchmark/BenchTable.h"
#include "tools/benchmark/Benchmarks.h"

namespace {

constexpr int kObstacles = 20;
// Single jumps in two rows across the ring, the path winding through them.
constexpr int kSingleJumpTypeId = 260;

}  // namespace

void BenchDogPathRefit(int runs)
{
    auto course = std::make_unique<CCourse>(L"Dog path", L"");
    course->SetSize(14400.0f, 12000.0f);
    const CObjectType* jumpType = FindObjectTypeById(kSingleJumpTypeId);
    std::vector<CCourseObject*> jumps;
    for (int i = 0; i < kObstacles; ++i) {
        CTransform placement;
        placement.SetPosition2D(1200.0f + 600.0f * float(i), i % 2 == 0 ? 3000.0f : 6000.0f);
        std::unique_ptr<CCourseObject> jump = jumpType->CreateNew(course.get(), placement, nullptr);
        jumps.push_back(jump.get());
        course->AddObject(std::move(jump));
        jumps.back()->Invalidate();
    }
    auto made = std::make_unique<CDogPath>();
    CDogPath& path = *made;
    path.Init(course.get(), &CDogPath::GetDogPathType(), CTransform(), CCourseObject::kNormal);
    path.ChangeConnection(CPathConnection::kObstacle, nullptr, false);
    path.HitPoint(600.0f, 1500.0f);
    for (CCourseObject* jump : jumps) {
        const CPoint2 p = jump->GetEnds().front()->GetCoursePoint();
        path.HitPoint(p.x, p.y);
    }
    path.HitPoint(13800.0f, 7500.0f);
    auto node = std::next(path.EditNodes().begin());
    for (CCourseObject* jump : jumps)
        (node++)->end = jump->GetEnds().front();
    course->AddObject(std::move(made));
    path.MarkLinkedNodesDirty();
    path.RefitChangedSections();
    int tied = 0;
    for (const CDogPathNode& each : path.GetNodes())
        tied += each.end != nullptr ? 1 : 0;

    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        CCourseObject* dragged = jumps[size_t((run * 7) % kObstacles)];
        dragged->SetSelected(true);
        // One step of the drag: the course tells the path, which refits
        // (when the drawing's key is rebuilt, or here at the latest).
        const double start = GetClockSeconds();
        course->MoveSelectionBy(run % 2 == 0 ? 120.0f : -120.0f, 60.0f);
        CPoint2 first;
        path.GetEnd(first, 0);
        times.push_back(MillisecondsSince(start));
        course->SetMotion(0);
        dragged->SetSelected(false);
    }
    std::sort(times.begin(), times.end());
    CBenchRow::PrintValue("dog path nodes tied to jumps", double(tied));
    CBenchRow::PrintValue("dog path nodes after the refits", double(path.GetEndCount()));
    CBenchRow::PrintValue("drag step with dog path refit, 1 of 20 jumps (ms, median)", times[times.size() / 2]);
    CBenchRow::PrintValue("drag step with dog path refit, 1 of 20 jumps (ms, slowest)", times.back());
}
