#include "tools/benchmark/BenchCourse.h"

#include <cmath>
#include <cstdint>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "foundation/Clock.h"
#include "foundation/FieldStream.h"
#include "foundation/Transform.h"
#include "objects/equipment/Tunnel.h"

namespace {

// The kinds on the benchmark course, one band each: type id, the name of
// the table's lines, and whether the tool places one by dragging out its
// size (the rest are placed with a click).
const struct
{
    int typeId;
    const char* plural;
    bool dragged = false;
} kBenchKinds[] = {
    {10, "A-frames"},
    {20, "spread jumps"},
    {25, "barrels"},
    {30, "barrel jumps"},
    {40, "brush jumps"},
    {50, "collapsed tunnels"},
    {60, "crawl tunnels"},
    {70, "crossovers"},
    {100, "dog walks"},
    {110, "start and finish lines", true},
    {113, "gates"},
    {115, "hoop jumps"},
    {120, "hoop tunnels"},
    {150, "double jumps"},
    {160, "triple jumps"},
    {170, "log jumps"},
    {180, "long jumps"},
    {190, "obstacle numbers"},
    {200, "one-bar jumps"},
    {210, "panel jumps"},
    {220, "pause boxes"},
    {230, "picket-fence jumps"},
    {240, "platform jumps"},
    {250, "see-saws"},
    {260, "single jumps"},
    {270, "straight lines", true},
    {280, "sway bridges"},
    {290, "swing planks"},
    {300, "tables"},
    {310, "texts"},
    {320, "tire jumps"},
    {330, "extended spread jumps"},
    {340, "tunnels"},
    {350, "unusable areas", true},
    {353, "viaducts"},
    {357, "wall jumps"},
    {360, "water jumps"},
    {370, "weave poles"},
    {380, "window jumps"},
    {390, "wishing-well jumps"},
};

// Object centres keep this far from the ring's edges.
constexpr float kEdgeGap = 1200.0f;

// Places count objects of the kind in rows across the band [top, bottom).
void PlaceKind(CCourse& course, const CObjectType& type, bool dragged, int count, float top, float bottom)
{
    std::unique_ptr<CEditSession> tool = type.CreatePropertiesDialog(&course, type.GetNameTextId());
    const float width = course.GetWidth() - 2.0f * kEdgeGap;
    const float height = bottom - top;
    const int columns = std::max(1, int(std::ceil(std::sqrt(count * width / std::max(height, 1.0f)))));
    const int rows = (count + columns - 1) / columns;
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int column = i % columns;
        // Angles and positions vary as on a course laid out by hand, the
        // same in every run: a perfect grid would compress into a text block
        // no real course gives.
        const uint32_t scatter = uint32_t(i) * 2654435761u;
        CTransform placement;
        placement.RotateZ(float((scatter >> 8) % 360));
        placement.SetPosition2D(kEdgeGap + width * (column + 0.5f) / columns + float((scatter >> 4) % 200) - 100.0f,
                                top + height * (row + 0.5f) / rows + float((scatter >> 12) % 200) - 100.0f);
        std::unique_ptr<CCourseObject> made = type.CreateNew(&course, placement, tool.get());
        if (!made)
            continue;
        CCourseObject* object = made.get();
        course.AddObject(std::move(made));
        if (dragged) {
            // Dragged out as the tool does, a different way each time.
            const CPoint2 from = placement.GetPosition2D();
            const float angle = float((scatter >> 8) % 360) / CTransform::kDegreesPerRadian;
            object->StartMove(from.x, from.y);
            object->Move(from.x + 600.0f * std::cos(angle), from.y + 300.0f * std::sin(angle));
            object->EndMove();
        }
    }
}

}  // namespace

std::unique_ptr<CCourse> MakeBenchCourse(int countPerKind, int onlyKind)
{
    auto course = std::make_unique<CCourse>(L"Benchmark", std::wstring());
    // The largest ring, so that a thousand obstacles overlap little and the
    // picture is not mostly one big fill.
    course->SetSize(CCourse::kMaxRingSize, CCourse::kMaxRingSize);
    const int first = onlyKind < 0 ? 0 : onlyKind;
    const int last = onlyKind < 0 ? GetBenchKindCount() : onlyKind + 1;
    const float band = (course->GetHeight() - 2.0f * kEdgeGap) / float(last - first);
    for (int k = first; k < last; ++k) {
        const CObjectType* type = FindObjectTypeById(kBenchKinds[k].typeId);
        const float top = kEdgeGap + float(k - first) * band;
        if (type)
            PlaceKind(*course, *type, kBenchKinds[k].dragged, countPerKind, top, top + band);
    }
    course->MarkUnmodified(true);
    return course;
}

std::unique_ptr<CCourse> MakeFarTunnelCourse(int count)
{
    auto course = std::make_unique<CCourse>(L"Far tunnels", std::wstring());
    // The body a version-4 record holds at its longest: 127 sections of the
    // largest length, bent each way in turn, so that it runs on in one
    // direction for millions of units.
    CFieldWriter body;
    body.WriteFloat16(32767.0f);
    body.WriteFloat16(240.0f);
    body.WriteInt8(127);
    for (int i = 0; i < 127; ++i) {
        body.WriteFloat16(i % 2 ? 40.0f : -40.0f);
        body.WriteFloat16(32767.0f);
    }
    body.WriteInt8(0);
    std::unique_ptr<CEditSession> tool =
        CTunnel::GetTunnelType().CreatePropertiesDialog(course.get(), CTunnel::GetTunnelType().GetNameTextId());
    for (int i = 0; i < count; ++i) {
        // Around the ring at the edge of the stored range, turned every way:
        // most bodies run away from the ring, some across it.
        const uint32_t scatter = uint32_t(i) * 2654435761u;
        const float around = float(i) * 6.2831853f / float(count);
        CTransform placement;
        placement.RotateZ(float((scatter >> 8) % 360));
        placement.SetPosition2D(30000.0f * std::cos(around), 30000.0f * std::sin(around));
        std::unique_ptr<CCourseObject> made = CTunnel::GetTunnelType().CreateNew(course.get(), placement, tool.get());
        if (!made)
            continue;
        CFieldReader reader(body.m_bytes);
        reader.m_versionMajor = 4;
        reader.m_versionMinor = 33;
        made->Serialize(reader);
        course->AddObject(std::move(made));
    }
    course->MarkUnmodified(true);
    return course;
}

int GetBenchKindCount() { return int(sizeof kBenchKinds / sizeof kBenchKinds[0]); }

std::string DescribeBenchCourse(int countPerKind, int onlyKind)
{
    std::string count = std::to_string(countPerKind);
    for (int i = int(count.size()) - 3; i > 0; i -= 3)
        count.insert(size_t(i), ",");
    if (onlyKind >= 0)
        return count + " " + kBenchKinds[onlyKind].plural;
    return count + " of each of " + std::to_string(GetBenchKindCount()) + " kinds";
}

double MillisecondsSince(double startSeconds) { return (GetClockSeconds() - startSeconds) * 1000.0; }
