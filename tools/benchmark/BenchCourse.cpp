#include "tools/benchmark/BenchCourse.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseFileAccess.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "course/ObjectType.h"
#include "dialogs/TunnelPropertiesDlg.h"
#include "foundation/Clock.h"
#include "foundation/FieldStream.h"
#include "foundation/Transform.h"
#include "objects/annotations/DogPath.h"
#include "objects/annotations/PathConnection.h"
#include "objects/equipment/ObstacleEnd.h"
#include "objects/equipment/Tunnel.h"
#include "objects/equipment/TunnelGeometry.h"

namespace {

// How the tool places an object of the kind: with a click, or by dragging out
// its size; some dragged objects snap to the ends of every other of their
// kind, so that each takes longer to place the more the course holds.
enum class EPlacing
{
    kClick,
    kDrag,
    kSnappingDrag,
    // Drawn as a free-hand stroke: a bend of kStrokeSteps mouse moves.
    kStroke,
};

constexpr int kStrokeSteps = 24;

// One band of the benchmark course, and the name of the table's lines.
struct CBenchKind
{
    int typeId;
    const char* plural;
    EPlacing placing = EPlacing::kClick;
    // The open tunnel's body style, chosen in the tool's dialog before
    // placing; -1 keeps the tool's default.
    int style = -1;
    // The course of every kind holds the tunnel in its default body only;
    // the other bodies are read on lines of their own.
    bool inCourseOfEveryKind = true;
};

const CBenchKind kBenchKinds[] = {
    {10, "A-frames"},
    {20, "spread jumps"},
    {25, "barrels"},
    {30, "barrel jumps"},
    {40, "brush jumps"},
    {50, "collapsed tunnels"},
    {60, "crawl tunnels"},
    {70, "crossovers"},
    {80, "dog figures"},
    {90, "dog paths", EPlacing::kStroke},
    {100, "dog walks"},
    {110, "start and finish lines", EPlacing::kDrag},
    {113, "gates"},
    {115, "hoop jumps"},
    {120, "hoop tunnels"},
    {130, "handler figures"},
    {140, "handler paths", EPlacing::kStroke},
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
    {270, "straight lines", EPlacing::kSnappingDrag},
    {280, "sway bridges"},
    {290, "swing planks"},
    {300, "tables"},
    {310, "texts"},
    {320, "tire jumps"},
    {330, "extended spread jumps"},
    {340, "flexible tunnels", EPlacing::kClick, CTunnelGeometry::kFlexible, false},
    {340, "rigid tunnels", EPlacing::kClick, CTunnelGeometry::kRigid, false},
    {340, "tunnels laid along a line", EPlacing::kClick, CTunnelGeometry::kPolyline},
    {350, "unusable areas", EPlacing::kDrag},
    {353, "viaducts"},
    {357, "wall jumps"},
    {360, "water jumps"},
    {370, "weave poles"},
    {380, "window jumps"},
    {390, "wishing-well jumps"},
};

// Object centres keep this far from the ring's edges.
constexpr float kEdgeGap = 1200.0f;

// A course of more objects places its snapping kinds in groups of
// kSnappingGroup, each group on a course of its own: one by one, the 2,500
// straight lines of a course of 100,000 objects would take minutes.
constexpr int kMostPlacedOneByOne = 50000;
constexpr int kSnappingGroup = 200;

// As the user picks the body style in the tunnel tool's dialog: the style
// and the sections the dialog offers for it. Nothing is stored, so that
// later tools start from the defaults again.
void ChooseTunnelStyle(CEditSession* tool, int style)
{
    auto* tunnelTool = dynamic_cast<CTunnelPropertiesDlg*>(tool);
    if (!tunnelTool) {
        std::printf("warning: the tunnel tool has no style to choose\n");
        return;
    }
    tunnelTool->SetStyle(style);
    tunnelTool->SetSections(tunnelTool->GetStoredSections(style));
}

// Where a kind's objects go: rows across the band [top, bottom), on a grid of
// slots spaced for count * stride objects, object i of the kind in slot
// i * stride + offset (a stride of 1 gives the kind the band to itself).
struct CBenchGrid
{
    float top;
    float bottom;
    int stride = 1;
    int offset = 0;
};

// Places objects first to last - 1 of count objects of the kind on the grid.
void PlaceKind(CCourse& course, const CBenchKind& kind, int count, int first, int last, const CBenchGrid& grid)
{
    const CObjectType* type = FindObjectTypeById(kind.typeId);
    if (!type)
        return;
    std::unique_ptr<CEditSession> tool = type->CreatePropertiesDialog(&course, type->GetNameTextId());
    if (kind.style >= 0)
        ChooseTunnelStyle(tool.get(), kind.style);
    const float width = course.GetWidth() - 2.0f * kEdgeGap;
    const float height = grid.bottom - grid.top;
    const int slots = count * grid.stride;
    const int columns = std::max(1, int(std::ceil(std::sqrt(slots * width / std::max(height, 1.0f)))));
    const int rows = (slots + columns - 1) / columns;
    for (int i = first; i < last; ++i) {
        const int slot = i * grid.stride + grid.offset;
        const int row = slot / columns;
        const int column = slot % columns;
        // Angles and positions vary as on a course laid out by hand, the
        // same in every run: a perfect grid would compress into a text block
        // no real course gives.
        const uint32_t scatter = uint32_t(slot) * 2654435761u;
        CTransform placement;
        placement.RotateZ(float((scatter >> 8) % 360));
        placement.SetPosition2D(kEdgeGap + width * (column + 0.5f) / columns + float((scatter >> 4) % 200) - 100.0f,
                                grid.top + height * (row + 0.5f) / rows + float((scatter >> 12) % 200) - 100.0f);
        std::unique_ptr<CCourseObject> made = type->CreateNew(&course, placement, tool.get());
        if (!made)
            continue;
        CCourseObject* object = made.get();
        course.AddObject(std::move(made));
        // As the tool's press does: the object measures its extents when
        // next asked, which a search for the ends near a point relies on.
        object->Invalidate();
        if (kind.placing != EPlacing::kClick) {
            // Dragged out as the tool does, a different way each time.
            const CPoint2 from = placement.GetPosition2D();
            const float angle = float((scatter >> 8) % 360) / CTransform::kDegreesPerRadian;
            object->StartMove(from.x, from.y);
            if (kind.placing == EPlacing::kStroke) {
                // A bend of half a turn, 1200 across, started the kind's way.
                for (int step = 1; step <= kStrokeSteps; ++step) {
                    const float along = float(step) * 3.14159265f / float(kStrokeSteps);
                    object->Move(from.x + 600.0f * (std::cos(angle) - std::cos(angle + along)),
                                 from.y + 600.0f * (std::sin(angle) - std::sin(angle + along)));
                }
            } else if (kind.placing == EPlacing::kSnappingDrag) {
                // The tool's drag carries the placed line's second end; the
                // line placed here is not the course's placed object, so the
                // drag moves that handle itself.
                object->MoveHandle(1, from.x + 600.0f * std::cos(angle), from.y + 300.0f * std::sin(angle));
            } else {
                object->Move(from.x + 600.0f * std::cos(angle), from.y + 300.0f * std::sin(angle));
            }
            object->EndMove();
        }
    }
}

// Places count objects of the kind as PlaceKind does, but each group of
// kSnappingGroup on a course of its own, so that they snap to the others of
// their group only (and link to no obstacle); each group comes into the
// course through its archive records, as a file brings it.
void PlaceInGroups(CCourse& course, const CBenchKind& kind, int count, const CBenchGrid& grid)
{
    for (int first = 0; first < count; first += kSnappingGroup) {
        CCourse group(L"Benchmark group", std::wstring());
        group.SetSize(course.GetWidth(), course.GetHeight());
        PlaceKind(group, kind, count, first, std::min(count, first + kSnappingGroup), grid);
        std::string archive;
        group.WriteArchive(archive, false, false, false);
        CCourseFileAccess::CArchiveLayout layout;
        if (!CCourseFileAccess::SplitArchive(archive, layout)) {
            std::printf("warning: a group of %s cannot be split into records\n", kind.plural);
            return;
        }
        for (const auto& record : layout.records) {
            std::unique_ptr<CCourseObject> object = CCourseFileAccess::ReadRecord(course, archive, record);
            if (!object)
                continue;
            // As a read course takes each object.
            object->InvalidateKeysLater();
            course.AddObject(std::move(object));
        }
    }
}

}  // namespace

std::unique_ptr<CCourse> MakeBenchCourse(int countPerKind, int onlyKind, EBenchLayout layout)
{
    auto course = std::make_unique<CCourse>(L"Benchmark", std::wstring());
    // The largest ring, so that a thousand obstacles overlap little and the
    // picture is not mostly one big fill.
    course->SetSize(CCourse::kMaxRingSize, CCourse::kMaxRingSize);
    std::vector<const CBenchKind*> kinds;
    for (int k = 0; k < GetBenchKindCount(); ++k) {
        if (onlyKind < 0 ? kBenchKinds[k].inCourseOfEveryKind : k == onlyKind)
            kinds.push_back(&kBenchKinds[k]);
    }
    const float band = (course->GetHeight() - 2.0f * kEdgeGap) / float(kinds.size());
    const bool large = countPerKind * int(kinds.size()) > kMostPlacedOneByOne;
    for (size_t i = 0; i < kinds.size(); ++i) {
        const float top = kEdgeGap + float(i) * band;
        const CBenchGrid grid = layout == EBenchLayout::kInterleaved
                                    ? CBenchGrid{kEdgeGap, course->GetHeight() - kEdgeGap, int(kinds.size()), int(i)}
                                    : CBenchGrid{top, top + band};
        if (large && kinds[i]->placing == EPlacing::kSnappingDrag)
            PlaceInGroups(*course, *kinds[i], countPerKind, grid);
        else
            PlaceKind(*course, *kinds[i], countPerKind, 0, countPerKind, grid);
    }
    // As each drop ties the lines' free ends to the obstacle ends placed
    // near them since.
    course->RemoveObjectsWhere(&CCourseObject::ResolveLinks);
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

std::unique_ptr<CCourse> MakeJudgeCourse()
{
    // A course as a judge lays it out, in the order the dog takes it: mostly
    // single jumps, with the contacts, two tunnels, the weaves and the other
    // jumps in between.
    const int kinds[] = {260, 320, 340, 260, 10,  260, 370, 150, 260, 100, 340, 260, 250,
                         20,  260, 300, 160, 260, 180, 260, 210, 260, 357, 260, 260};
    const int count = int(sizeof kinds / sizeof kinds[0]);
    constexpr int kObsNumTypeId = 190;
    constexpr float kPi = 3.14159265f;
    // A ring of 40 x 30 m.
    const float width = 40000.0f / 2.54f;
    const float height = 30000.0f / 2.54f;
    auto course = std::make_unique<CCourse>(L"Judge's course", std::wstring());
    course->SetSize(width, height);
    const CObjectType* numberType = FindObjectTypeById(kObsNumTypeId);
    std::unique_ptr<CEditSession> numberTool =
        numberType ? numberType->CreatePropertiesDialog(course.get(), numberType->GetNameTextId()) : nullptr;
    std::vector<CCourseObject*> obstacles;
    for (int i = 0; i < count; ++i) {
        const CObjectType* type = FindObjectTypeById(kinds[i]);
        if (!type)
            continue;
        // Once round an oval, each obstacle across the dog's way round it,
        // its number a little further out.
        const float around = 2.0f * kPi * float(i) / float(count);
        const float x = width / 2.0f + 0.36f * width * std::cos(around);
        const float y = height / 2.0f + 0.34f * height * std::sin(around);
        CTransform placement;
        placement.RotateZ(float(i * 360 / count));
        placement.SetPosition2D(x, y);
        std::unique_ptr<CEditSession> tool = type->CreatePropertiesDialog(course.get(), type->GetNameTextId());
        std::unique_ptr<CCourseObject> made = type->CreateNew(course.get(), placement, tool.get());
        if (!made)
            continue;
        obstacles.push_back(made.get());
        course->AddObject(std::move(made));
        if (!numberType)
            continue;
        CTransform beside;
        beside.SetPosition2D(x + 900.0f * std::cos(around), y + 900.0f * std::sin(around));
        if (std::unique_ptr<CCourseObject> number = numberType->CreateNew(course.get(), beside, numberTool.get()))
            course->AddObject(std::move(number));
    }
    // The dog's path from the start through an end of every obstacle, each
    // node tied to its end.
    auto made = std::make_unique<CDogPath>();
    CDogPath& path = *made;
    path.Init(course.get(), &CDogPath::GetDogPathType(), CTransform(), CCourseObject::kNormal);
    path.ChangeConnection(CPathConnection::kObstacle, nullptr, false);
    path.HitPoint(width / 2.0f, height / 2.0f);
    std::vector<CObstacleEnd*> ends;
    for (CCourseObject* obstacle : obstacles) {
        if (obstacle->GetEnds().empty())
            continue;
        ends.push_back(obstacle->GetEnds().front());
        const CPoint2 p = ends.back()->GetCoursePoint();
        path.HitPoint(p.x, p.y);
    }
    auto node = std::next(path.EditNodes().begin());
    for (CObstacleEnd* end : ends)
        (node++)->end = end;
    course->AddObject(std::move(made));
    path.MarkLinkedNodesDirty();
    path.RefitChangedSections();
    course->MarkUnmodified(true);
    return course;
}

void AddHandlerFigures(CCourse& course, int count)
{
    constexpr int kHandlerTypeId = 130;
    const CObjectType* type = FindObjectTypeById(kHandlerTypeId);
    if (!type)
        return;
    std::unique_ptr<CEditSession> tool = type->CreatePropertiesDialog(&course, type->GetNameTextId());
    // Ten to a row, 1.5 m apart, the rows 2 m apart about the ring's middle.
    constexpr int kPerRow = 10;
    constexpr float kAcross = 1500.0f / 2.54f;
    constexpr float kDown = 2000.0f / 2.54f;
    const int rows = (count + kPerRow - 1) / kPerRow;
    for (int i = 0; i < count; ++i) {
        const uint32_t scatter = uint32_t(i) * 2654435761u;
        CTransform placement;
        placement.RotateZ(float((scatter >> 8) % 360));
        placement.SetPosition2D(course.GetWidth() / 2.0f + (float(i % kPerRow) - (kPerRow - 1) / 2.0f) * kAcross +
                                    float((scatter >> 4) % 100) - 50.0f,
                                course.GetHeight() / 2.0f + (float(i / kPerRow) - float(rows - 1) / 2.0f) * kDown +
                                    float((scatter >> 12) % 100) - 50.0f);
        if (std::unique_ptr<CCourseObject> made = type->CreateNew(&course, placement, tool.get()))
            course.AddObject(std::move(made));
    }
    course.MarkUnmodified(true);
}

int GetBenchKindCount() { return int(sizeof kBenchKinds / sizeof kBenchKinds[0]); }

int GetCourseKindCount()
{
    return int(std::count_if(std::begin(kBenchKinds), std::end(kBenchKinds),
                             [](const CBenchKind& kind) { return kind.inCourseOfEveryKind; }));
}

int GetCountPerKind(int total)
{
    const int kinds = GetCourseKindCount();
    return std::min(int(std::lround(double(total) / kinds)), int(CCourse::kMaxObjects) / kinds);
}

std::string FormatCount(int count)
{
    std::string text = std::to_string(count);
    for (int i = int(text.size()) - 3; i > 0; i -= 3)
        text.insert(size_t(i), ",");
    return text;
}

std::string DescribeBenchCourse(int countPerKind, int onlyKind, EBenchLayout layout)
{
    if (onlyKind >= 0)
        return FormatCount(countPerKind) + " " + kBenchKinds[onlyKind].plural;
    return FormatCount(countPerKind) + " of each of " + std::to_string(GetCourseKindCount()) + " kinds" +
           (layout == EBenchLayout::kInterleaved ? ", interleaved" : "");
}

double MillisecondsSince(double startSeconds) { return (GetClockSeconds() - startSeconds) * 1000.0; }
