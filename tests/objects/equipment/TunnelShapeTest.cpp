#include <gtest/gtest.h>

#include <algorithm>

#include "tests/objects/equipment/TunnelTestSupport.h"
#include "tests/support/GeometryExpectations.h"
#include "tests/support/RecordingContext.h"

using namespace tunneltest;

namespace {

using TunnelShape = CTunnelFixture;
using CPoints = std::vector<CPoint2>;

// The length, the ends in the tunnel's own frame, and the hoops or outline.
CPoints ShapeOf(CTunnel& tunnel)
{
    CPoints shape(1, CPoint2(tunnel.GetGeometry().GetLength(), 0.0f));
    for (int i = 0; i < 4; ++i)
        shape.insert(shape.end(), {tunnel.GetObstacleEnd(i).point, tunnel.GetObstacleEnd(i).direction});
    const bool line = tunnel.GetGeometry().GetKind() == CTunnelGeometry::kPolyline;
    const auto* body = static_cast<CTunnelBodyGeometry*>(&tunnel.GetGeometry());
    for (const CPoints* side : {line ? &Polyline(tunnel).GetLeftOutline() : &body->GetLeftHoops(),
                                line ? &Polyline(tunnel).GetRightOutline() : &body->GetRightHoops()})
        shape.insert(shape.end(), side->begin(), side->end());
    return shape;
}

// A context whose clip is its boxes; Misses says whether points drawn with its pen of 20 miss them.
struct CBoxContext : CRecordingContext
{
    explicit CBoxContext(std::vector<CRectF> clip) : boxes(std::move(clip)) { m_state.penWidth = 20.0f; }
    bool MissesClip(const CRectF* r, size_t count) const override
    {
        return std::all_of(r, r + count, [this](const CRectF& q) {
            return std::all_of(boxes.begin(), boxes.end(), [&q](const CRectF& b) {
                return q.right < b.left || q.left > b.right || q.bottom < b.top || q.top > b.bottom;
            });
        });
    }
    bool Misses(const CPoints& p, size_t first, size_t last) const
    {
        CRectF b(p[first].x, p[first].y, p[first].x, p[first].y);
        for (size_t i = first; i <= last; ++i)
            b.Include(p[i]);
        b = CRectF(b.left - 20.0f, b.top - 20.0f, b.right + 20.0f, b.bottom + 20.0f);
        return MissesClip(&b, 1);
    }
    std::vector<CRectF> boxes;
};

// The figures of the fill, the seams and the mouths drawn.
std::vector<std::vector<CPoints>> FiguresOf(const CRecordingContext& context)
{
    std::vector<std::vector<CPoints>> paths;
    for (const CRecordingContext::CCall& call : context.calls) {
        if (call.op == 'B')
            paths.emplace_back();
        if (call.op == 'M')
            paths.back().emplace_back();
        if (call.op == 'M' || call.op == 'L')
            paths.back().back().emplace_back(call.v[0], call.v[1]);
    }
    paths.resize(3);
    return paths;
}

// Quads reaching the clip are drawn as they were (at most a stretch either side besides), seams
// in pieces of themselves broken only where they cannot reach it; gives how many quads reach.
size_t ExpectDrawnWithin(CTunnelFlexibleGeometry& body, CBoxContext& clip)
{
    CRecordingContext all;
    body.Draw2D(all);
    body.Draw2D(clip);
    const auto whole = FiguresOf(all), kept = FiguresOf(clip);
    size_t reaching = 0, found = 0;
    for (const CPoints& quad : whole[0]) {
        reaching += clip.Misses(quad, 0, 3) ? 0 : 1;
        EXPECT_TRUE(clip.Misses(quad, 0, 3) || std::count(kept[0].begin(), kept[0].end(), quad) == 1);
    }
    EXPECT_LE(kept[0].size(), (reaching + 2) * size_t(CTunnelBodyGeometry::kStretchQuads));
    for (const CPoints& seam : whole[1]) {
        std::vector<bool> drawn(seam.size() - 1, false);
        for (const CPoints& piece : kept[1]) {
            const size_t at = size_t(std::search(seam.begin(), seam.end(), piece.begin(), piece.end()) - seam.begin());
            found += at < seam.size() ? 1 : 0;
            for (size_t i = at; i + 1 < at + piece.size() && i + 1 < seam.size(); ++i)
                drawn[i] = true;
        }
        for (size_t i = 0; i < drawn.size(); ++i)
            EXPECT_TRUE(drawn[i] || clip.Misses(seam, i, i + 1));
    }
    EXPECT_EQ(kept[1].size(), found);
    return reaching;
}

}  // namespace

TEST_F(TunnelShape, ReadTunnelsDeriveTheEndsAndShapeEditingDerivesThroughAFlipAndItsUndo)
{
    for (int kind : {CTunnelGeometry::kFlexible, CTunnelGeometry::kRigid, CTunnelGeometry::kPolyline}) {
        course = MakeCourse();
        auto made = MakeTunnel(course.get(), kind, kind == CTunnelGeometry::kRigid ? 120 : 3, 1800.0f);
        CTunnel& edited = *made;
        if (kind != CTunnelGeometry::kRigid) {
            edited.StartHandleMove(edited.GetEndCount() - 1);
            edited.MoveHandle(edited.GetEndCount() - 1, 900.0f, 700.0f);
            edited.EndHandleMove();
        }
        course->AddObject(std::move(made));
        course->MarkUnmodified(true);
        CTunnel read;
        ReadRecord(read, RecordOf(edited));
        const CPoints first = ShapeOf(read);
        EXPECT_EQ(ShapeOf(edited), first) << kind;
        edited.Flip();
        read.Flip();
        EXPECT_EQ(ShapeOf(edited), ShapeOf(read)) << kind;
        course->CommitUndoStep(L"Flip");
        ASSERT_TRUE(course->Undo());
        EXPECT_EQ(first, ShapeOf(static_cast<CTunnel&>(**course->GetObjects().begin()))) << kind;
    }
}

TEST(TunnelSection, PointsAcrossTheArcLieWhereItsFrameMapsTheSides)
{
    for (float angle : {0.0f, 0.5f, 37.0f, -90.0f, 270.0f, -2000.0f})
        for (float t : {0.0f, 0.3f, 1.0f}) {
            CTunnelSection section;
            section.outerLength = 1800.0f;
            section.SetAngle(angle);
            CPoint2 left, right;
            section.GetAcross(t, 120.0f, left, right);
            ExpectNear(section.GetLocalFrame(t).TransformPoint2D(0.0f, -120.0f), left, 0.01f);
            ExpectNear(section.GetLocalFrame(t).TransformPoint2D(0.0f, 120.0f), right, 0.01f);
        }
}

TEST_F(TunnelShape, ABodyLeavesOutOnlyStretchesThatCannotReachTheClipBox)
{
    CTunnel owner;
    CTunnelFlexibleGeometry body(owner);  // 256 hoops some 150 apart winding along +x
    for (int i = 0; i < 8; ++i)
        body.AddSection(i % 2 ? 30.0f : -30.0f, 4800.0f);
    body.SetNominalLength(38400.0f);
    for (float x = -100.0f; x < 20000.0f; x += 97.0f) {
        SCOPED_TRACE(x);
        CBoxContext strips({CRectF(x, -1e6f, x + 10.0f, 1e6f), CRectF(x + 20000.0f, -1e6f, x + 20010.0f, 1e6f)});
        ExpectDrawnWithin(body, strips);
    }
    // Hoops some 16000 apart turning a quarter within 500: the one quad across runs some 4000 inside the bend.
    CTunnelFlexibleGeometry bend(owner);
    for (const float angle : {0.0f, -90.0f, 0.0f})
        bend.AddSection(angle, angle == 0.0f ? 2064321.0f : 500.0f);
    CBoxContext inside({CRectF(2060400.0f, -4100.0f, 2060600.0f, -3950.0f)});
    EXPECT_EQ(1u, ExpectDrawnWithin(bend, inside));
}
