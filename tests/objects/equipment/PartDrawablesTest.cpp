#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "course/ColorPalette.h"
#include "course/CourseObject.h"
#include "graphics/BoundsContext.h"
#include "objects/equipment/CupParts.h"
#include "objects/equipment/FrameParts.h"
#include "objects/equipment/MarkerGlyph.h"
#include "objects/equipment/PipeParts.h"
#include "objects/equipment/PlankPart.h"
#include "objects/equipment/SlatPart.h"
#include "objects/equipment/SquarePart.h"
#include "objects/equipment/StripedBarPart.h"
#include "objects/equipment/UprightPart.h"
#include "objects/equipment/WingPart.h"
#include "tests/objects/equipment/CountingContext.h"
#include "tests/support/FailureReports.h"
#include "tests/support/RecordingContext.h"

namespace {

CVector3 PositionOf(const CCountingContext::CItem& item)
{
    return item.placement.GetTranslation();
}

// Draws the part and checks that nothing it drew is not a number and that
// all of it lies within its measured bounds.
std::unique_ptr<CCountingContext> DrawChecked(CDrawable& part)
{
    auto context = std::make_unique<CCountingContext>();
    context->DrawTop(part);
    EXPECT_EQ(0, context->notFinite);
    CBoundsContext::MeasureDrawable(part);
    EXPECT_FALSE(part.GetBounds().empty);
    if (context->vertices > 0) {
        EXPECT_TRUE(BoxWithin(context->vertexBox, part.GetBounds().fixed, 0.05f));
    }
    return context;
}

// An object with a chosen display state for the square part.
class CColoredObject : public CCourseObject
{
public:
    explicit CColoredObject(int state)
    {
        Init(nullptr, nullptr, CTransform(), state);
        GetPartColors().SetColorIndex(CPartColorSet::kPrimaryPart, 37);
    }
    int GetCategory() const override { return 1; }
    int GetLayer() const override { return 4; }
    int GetEndCount() const override { return 0; }
    void GetEnd(CPoint2&, int) const override {}
    void Draw2D(CGraphicsContext&) override {}
};

}  // namespace

TEST(PartDrawables, EqualParametersGiveEqualKeys)
{
    EXPECT_EQ(CDiscPart(100.0f, 15.0f, 17).GetKey(), CDiscPart(100.0f, 15.0f, 17).GetKey());
    EXPECT_NE(CDiscPart(100.0f, 15.0f, 17).GetKey(), CDiscPart(120.0f, 15.0f, 17).GetKey());
    EXPECT_NE(CDiscPart(100.0f, 15.0f, 17).GetKey(), CDiscPart(100.0f, 15.0f, 18).GetKey());
    EXPECT_EQ(CSlatPart(120, 4).GetKey(), CSlatPart(120, 4).GetKey());
    EXPECT_NE(CSlatPart(120, 4).GetKey(), CSlatPart(121, 4).GetKey());
    // Parts of different classes with the same numbers differ by their tag.
    EXPECT_NE(CJumpCupPart(4).GetKey(), CMarkerGlyph(4).GetKey());
    EXPECT_EQ(CPlankPart(480.0f, 1440.0f, 6, 16, 2).GetKey(), CPlankPart(480.0f, 1440.0f, 6, 16, 2).GetKey());
    EXPECT_NE(CPlankPart(480.0f, 1440.0f, 6, 16, 2).GetKey(), CPlankPart(480.0f, 1440.0f, 16, 6, 2).GetKey());
}

TEST(PartDrawables, KeyHoldsTheParametersInOrder)
{
    const CSlatPart slat(360, 131);
    CFieldWriter expected;
    expected.WriteInt16(360);
    expected.WriteInt8(131);
    const std::string& key = slat.GetKey();
    ASSERT_GE(key.size(), expected.m_bytes.size());
    EXPECT_EQ(expected.m_bytes, key.substr(key.size() - expected.m_bytes.size()));

    const CCupRowPart row(17, -0.5f, 1.0f, 12.0f);
    CFieldWriter rowKey;
    row.WriteKey(rowKey);
    CFieldWriter rowExpected;
    rowExpected.WriteInt8(17);
    rowExpected.WriteInt16(-5000);
    rowExpected.WriteInt16(10000);
    rowExpected.WriteInt16(12);
    EXPECT_EQ(rowExpected.m_bytes, rowKey.m_bytes);
}

TEST(PipeParts, PipeWithABallJointIsShortenedAndCollared)
{
    const CPipeJointPart ball(15.0f, 17, true);
    const CPipeJointPart plain(15.0f, 17);
    EXPECT_FLOAT_EQ(22.5f, ball.GetExtent());
    EXPECT_FLOAT_EQ(15.0f, plain.GetExtent());
    CDiscPart pipe(100.0f, 15.0f, 17, &ball);
    EXPECT_FLOAT_EQ(74.5f, pipe.GetDrawnLength());
    EXPECT_FLOAT_EQ(3.0f, pipe.GetCap());
    const auto context = DrawChecked(pipe);
    EXPECT_NEAR(77.5f, context->vertexBox.maxZ, 1e-4f);
    EXPECT_NEAR(0.0f, context->vertexBox.minZ, 1e-4f);
    EXPECT_NEAR(7.5f, context->vertexBox.maxX, 1e-4f);

    CDiscPart bare(100.0f, 15.0f, 17);
    EXPECT_EQ(0.0f, bare.GetCap());
    EXPECT_NEAR(100.0f, DrawChecked(bare)->vertexBox.maxZ, 1e-4f);
}

TEST(PipeParts, JointFlagsOfTheThreeForms)
{
    const CPipeJointPart plain(15.0f, 17);
    EXPECT_FALSE(plain.HasBall());
    const CPipeJointPart side(15.0f, 17, true, false);
    EXPECT_TRUE(side.HasBall());
    EXPECT_FALSE(side.HasStubBelow());
    EXPECT_TRUE(side.HasSideStub());
    EXPECT_FALSE(side.HasSideStubBoth());
    const CPipeJointPart stubs(15.0f, 17, true);
    EXPECT_TRUE(stubs.HasStubBelow());
    EXPECT_TRUE(stubs.HasSideStubBoth());
    EXPECT_FALSE(stubs.HasStubBack());
    const CPipeJointPart noStubs(15.0f, 17, false);
    EXPECT_TRUE(noStubs.HasStubBack());
    EXPECT_FALSE(noStubs.HasSideStub());
    // The six flags are in the key.
    EXPECT_NE(stubs.GetKey(), noStubs.GetKey());

    // The stubs of the third form reach e along -x, -y and +z; elsewhere
    // only their thickness (0.6 x diameter) shows.
    CPipeJointPart centre(15.0f, 17, true);
    const auto context = DrawChecked(centre);
    EXPECT_NEAR(-22.5f, context->vertexBox.minX, 1e-3f);
    EXPECT_NEAR(9.0f, context->vertexBox.maxX, 1e-3f);
    EXPECT_NEAR(-22.5f, context->vertexBox.minY, 1e-3f);
    EXPECT_NEAR(9.0f, context->vertexBox.maxY, 1e-3f);
    EXPECT_NEAR(22.5f, context->vertexBox.maxZ, 1e-3f);
    EXPECT_NEAR(-9.0f, context->vertexBox.minZ, 1e-3f);
    // Without stubs the main stub turns back along -z.
    CPipeJointPart back(15.0f, 17, false);
    EXPECT_NEAR(-22.5f, DrawChecked(back)->vertexBox.minZ, 1e-3f);
    // The second form keeps its ball unless the second stub turns to -x.
    CPipeJointPart ball(15.0f, 17, true, false);
    EXPECT_NEAR(22.5f, DrawChecked(ball)->vertexBox.maxX, 1e-3f);
    EXPECT_NEAR(-9.0f, DrawChecked(ball)->vertexBox.minZ, 1e-3f);
}

TEST(StripedBarPart, FourPiecesAndThreeStripes)
{
    CStripedBarPart bar(480.0f, 17, 21, 15.0f);
    EXPECT_FLOAT_EQ(90.0f, bar.GetPieceLength());
    const auto context = DrawChecked(bar);
    const CDiscPart piece(90.0f, 15.0f, 17);
    const CDiscPart stripe(40.0f, 15.0f, 21);
    const auto pieces = context->ItemsLike(piece);
    const auto stripes = context->ItemsLike(stripe);
    ASSERT_EQ(4u, pieces.size());
    ASSERT_EQ(3u, stripes.size());
    const float pieceStarts[4] = {240.0f, 110.0f, -20.0f, -150.0f};
    const float stripeStarts[3] = {150.0f, 20.0f, -110.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_NEAR(pieceStarts[i], PositionOf(pieces[i]).x, 1e-3f);
        EXPECT_NEAR(-7.5f, PositionOf(pieces[i]).z, 1e-3f);
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(stripeStarts[i], PositionOf(stripes[i]).x, 1e-3f);
    // The bar spans its length along x, its top at z = 0.
    EXPECT_NEAR(-240.0f, context->vertexBox.minX, 1e-3f);
    EXPECT_NEAR(240.0f, context->vertexBox.maxX, 1e-3f);
    EXPECT_NEAR(0.0f, context->vertexBox.maxZ, 1e-3f);
}

TEST(CupParts, PlainRowHasTwelveCupsFrom40To260)
{
    CCupRowPart row(17, 0.0f, 1.0f, 0.0f);
    EXPECT_TRUE(row.IsPlain());
    const auto context = DrawChecked(row);
    const auto cups = context->ItemsLike(CJumpCupPart(17));
    ASSERT_EQ(12u, cups.size());
    for (size_t i = 0; i < cups.size(); ++i) {
        EXPECT_FLOAT_EQ(40.0f + 20.0f * float(i), PositionOf(cups[i]).z);
        EXPECT_FLOAT_EQ(0.0f, PositionOf(cups[i]).y);
    }
}

TEST(CupParts, SlantedRowFollowsItsLine)
{
    CCupRowPart row(17, -0.5f, 0.8f, 10.0f);
    const auto context = DrawChecked(row);
    const auto cups = context->ItemsLike(CJumpCupPart(17));
    // z = 0.8 k - 10 is above 20.1 from k = 40 on: twelve cups.
    ASSERT_EQ(12u, cups.size());
    EXPECT_FLOAT_EQ(22.0f, PositionOf(cups[0]).z);
    EXPECT_FLOAT_EQ(-20.0f, PositionOf(cups[0]).y);
}

TEST(CupParts, PlaceOnCups)
{
    CSlatPart bar(100, 4);
    const CCupRowPart plain(17, 0.0f, 1.0f, 0.0f);
    {
        CCountingContext context;
        plain.PlaceOnCups(context, bar, 110.0f, false, false);
        plain.PlaceOnCups(context, bar, 110.0f, true, false);
        // Low and not snapped on a plain row: it stays where it is.
        plain.PlaceOnCups(context, bar, 10.0f, false, true);
        plain.PlaceOnCups(context, bar, 10.0f, true, true);
        ASSERT_EQ(4u, context.items.size());
        EXPECT_FLOAT_EQ(110.0f, PositionOf(context.items[0]).z);
        EXPECT_FLOAT_EQ(60.0f, PositionOf(context.items[1]).z);
        EXPECT_FLOAT_EQ(10.0f, PositionOf(context.items[2]).z);
        EXPECT_FLOAT_EQ(0.0f, PositionOf(context.items[2]).y);
        EXPECT_FLOAT_EQ(15.0f, PositionOf(context.items[3]).z);
        EXPECT_FLOAT_EQ(-16.5f, PositionOf(context.items[3]).y);
    }
    {
        const CCupRowPart raised(17, 0.25f, 1.0f, 5.0f);
        CCountingContext context;
        raised.PlaceOnCups(context, bar, 20.0f, false, false);
        raised.PlaceOnCups(context, bar, 200.0f, false, false);
        ASSERT_EQ(2u, context.items.size());
        EXPECT_FLOAT_EQ(15.0f, PositionOf(context.items[0]).z);
        EXPECT_FLOAT_EQ(5.0f, PositionOf(context.items[0]).y);
        EXPECT_FLOAT_EQ(195.0f, PositionOf(context.items[1]).z);
        EXPECT_FLOAT_EQ(50.0f, PositionOf(context.items[1]).y);
    }
}

TEST(CupParts, TiltedBarRestsOnBothCups)
{
    const CCupRowPart row(17, 0.0f, 1.0f, 0.0f);
    CStripedBarPart bar(480.0f, 17, 21, 15.0f);
    CCountingContext context;
    row.PlaceTiltedBar(context, bar, 200.0f, false, false);
    ASSERT_EQ(0, context.notFinite);
    const auto bars = context.ItemsLike(bar);
    ASSERT_EQ(1u, bars.size());
    // h = 160: the bar rests 8 inside its ends, at x = -232 on the row's cup
    // at 160 and at x = +232 on the low cup at 15 (within the bar's own
    // thickness, as it turns about its underside).
    const CTransform& placement = bars[0].placement;
    const CVector3 high = placement.TransformPoint(CVector3(-232.0f, 0.0f, 0.0f));
    const CVector3 low = placement.TransformPoint(CVector3(232.0f, 0.0f, 0.0f));
    EXPECT_NEAR(160.0f, high.z, 2.0f);
    EXPECT_NEAR(15.0f, low.z, 2.0f);
    EXPECT_NEAR(0.0f, high.x + low.x, 16.0f);
    // Mirrored, the high end changes sides.
    CCountingContext mirrored;
    row.PlaceTiltedBar(mirrored, bar, 200.0f, true, false);
    ASSERT_EQ(1u, mirrored.ItemsLike(bar).size());
    const CTransform& turned = mirrored.ItemsLike(bar)[0].placement;
    EXPECT_NEAR(160.0f, turned.TransformPoint(CVector3(232.0f, 0.0f, 0.0f)).z, 2.0f);
    EXPECT_NEAR(0.0f, context.m_state.matrix.GetTranslation().z, 1e-6f);
}

TEST(CupParts, TiltedBarTooSteepIsClampedAndTooShortIsNotDrawn)
{
    const CCupRowPart row(17, 0.0f, 1.0f, 0.0f);
    // A rise of 205 over a bar of 60: the slope is clamped to vertical.
    CStripedBarPart shortBar(60.0f, 17, 21, 15.0f);
    CCountingContext steep;
    row.PlaceTiltedBar(steep, shortBar, 260.0f, true, true);
    EXPECT_EQ(0, steep.notFinite);
    EXPECT_EQ(1u, steep.ItemsLike(shortBar).size());
    EXPECT_GT(steep.vertices, 0);

    for (float length : {8.0f, 0.0f, -40.0f}) {
        CStripedBarPart tiny(length, 17, 21, 15.0f);
        CCountingContext context;
        EXPECT_EQ(1, CountReports([&] { row.PlaceTiltedBar(context, tiny, 200.0f, false, false); }));
        EXPECT_TRUE(context.items.empty());
        EXPECT_EQ(0, context.vertices);
    }
}

TEST(PlankPart, SlatsEvery120WithTheContactZoneFirst)
{
    CPlankPart plank(480.0f, 1440.0f, 6, 16, 2);
    const auto context = DrawChecked(plank);
    const auto zone = context->ItemsLike(CSlatPart(120, 6));
    const auto surface = context->ItemsLike(CSlatPart(120, 16));
    EXPECT_EQ(3u, zone.size());
    EXPECT_EQ(8u, surface.size());
    // The high end at the origin reaches the top height; the low end lies
    // on the ground.
    EXPECT_NEAR(480.0f, context->vertexBox.maxZ, 0.5f);
    EXPECT_NEAR(0.0f, context->vertexBox.minZ, 0.5f);
    const float run = std::sqrt(1440.0f * 1440.0f - 465.0f * 465.0f);
    EXPECT_GE(context->vertexBox.maxX, run);
    EXPECT_LE(context->vertexBox.maxX, run + 25.0f);
}

TEST(PlankPart, ShortOrSteepPlanksStayFinite)
{
    // Shorter than the slat spacing allows: no slats; shorter than the
    // contact zone: contact zone throughout.
    CPlankPart shortPlank(100.0f, 180.0f, 6, 16, 2);
    const auto shortContext = DrawChecked(shortPlank);
    EXPECT_TRUE(shortContext->items.empty());
    EXPECT_LE(shortContext->vertexBox.maxZ, 100.5f);
    EXPECT_LE(shortContext->vertexBox.maxX, 180.0f);
    // A top height beyond the plank's length: the slope is clamped.
    CPlankPart steep(2000.0f, 300.0f, 6, 16, 2);
    DrawChecked(steep);
    // A top height below the ground.
    CPlankPart sunk(-500.0f, 300.0f, 6, 16, 2);
    DrawChecked(sunk);
}

TEST(PlankPart, NoLengthIsReportedAndNotDrawn)
{
    for (float length : {0.0f, -10.0f}) {
        CPlankPart plank(480.0f, length, 6, 16, 2);
        CCountingContext context;
        EXPECT_EQ(1, CountReports([&] { context.DrawTop(plank); }));
        EXPECT_EQ(0, context.vertices);
    }
}

TEST(FrameParts, CornerFramesByWidth)
{
    struct CCase
    {
        float width, x, y;
    };
    for (const CCase& c : {CCase{200.0f, 267.0f, 109.0f}, CCase{100.0f, 267.0f, 65.0f}, CCase{300.0f, 249.0f, 159.0f}}) {
        CCornerFramesPart corners(c.width, 17, 21);
        EXPECT_FLOAT_EQ(c.x, corners.GetCornerX());
        EXPECT_FLOAT_EQ(c.y, corners.GetCornerY());
        const auto context = DrawChecked(corners);
        const auto frames = context->ItemsLike(CPipeFramePart(0, 17, 21));
        ASSERT_EQ(4u, frames.size());
        for (const auto& frame : frames) {
            EXPECT_FLOAT_EQ(c.x, std::fabs(PositionOf(frame).x));
            EXPECT_FLOAT_EQ(c.y, std::fabs(PositionOf(frame).y));
        }
    }
}

TEST(FrameParts, PipeStandsOfEachKind)
{
    for (int kind : {0, 1, 2}) {
        CPipeFramePart frame(kind, 17, 21);
        const auto context = DrawChecked(frame);
        // The top joint's stub reaches 1.5 above 400; the foot joint's 1.5
        // beyond the foot.
        EXPECT_NEAR(401.5f, context->vertexBox.maxZ, 0.01f) << kind;
        EXPECT_NEAR(-116.5f, context->vertexBox.minX, 0.01f) << kind;
        EXPECT_NEAR(116.5f, context->vertexBox.maxY, 0.01f) << kind;
        // The band in the second colour.
        EXPECT_EQ(1u, context->ItemsLike(CDiscPart(30.0f, 15.0f, 21)).size());
    }
    CPipeFramePart kind1(1, 17, 17);
    EXPECT_NEAR(66.5f, DrawChecked(kind1)->vertexBox.maxX, 0.01f);
    CPipeFramePart kind0(0, 17, 17);
    EXPECT_NEAR(116.5f, DrawChecked(kind0)->vertexBox.maxX, 0.01f);
    CPipeFramePart wrong(5, 17, 17);
    const int before = ReportCount();
    CCountingContext context;
    context.DrawTop(wrong);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_GT(context.vertices, 0);
}

TEST(FrameParts, TireWindowFrame)
{
    CTireWindowPart frame(480.0f, 620.0f, 17);
    const auto context = DrawChecked(frame);
    // The joints at the base pipes' ends are 18 thick.
    EXPECT_NEAR(-249.0f, context->vertexBox.minX, 0.1f);
    EXPECT_NEAR(249.0f, context->vertexBox.maxX, 0.1f);
    EXPECT_NEAR(627.5f, context->vertexBox.maxZ, 0.1f);
    EXPECT_EQ(2u, context->ItemsLike(CDiscPart(420.0f, 15.0f, 17)).size());
    EXPECT_EQ(2u, context->ItemsLike(CDiscPart(480.0f, 15.0f, 17)).size());
}

TEST(UprightPart, StandsItsHeightWithABand)
{
    CUprightPart upright(17, 21);
    const auto context = DrawChecked(upright);
    EXPECT_NEAR(360.0f, context->vertexBox.maxZ, 1e-3f);
    EXPECT_NEAR(7.5f, context->vertexBox.maxX, 1e-3f);
    const auto bands = context->ItemsLike(CDiscPart(30.0f, 15.0f, 21));
    ASSERT_EQ(1u, bands.size());
    EXPECT_FLOAT_EQ(260.0f, PositionOf(bands[0]).z);
    CUprightPart plain(17, 17);
    EXPECT_EQ(1u, DrawChecked(plain)->items.size());
}

TEST(WingPart, WingUprightsAndExtent)
{
    CWingPart wing(14, 13, 2, 17, 240.0f, true);
    EXPECT_FALSE(wing.IsHolder());
    EXPECT_FLOAT_EQ(-229.0f, wing.GetYStart());
    EXPECT_FLOAT_EQ(-19.0f, wing.GetYEnd());
    EXPECT_FLOAT_EQ(140.0f, wing.GetTopStart());
    EXPECT_FLOAT_EQ(311.875f, wing.GetTopEnd());
    ASSERT_EQ(4u, wing.GetUprights().size());
    EXPECT_FLOAT_EQ(-229.0f, wing.GetUprights()[0].y);
    EXPECT_FLOAT_EQ(-159.0f, wing.GetUprights()[1].y);
    EXPECT_FLOAT_EQ(-19.0f, wing.GetUprights()[3].y);
    const auto context = DrawChecked(wing);
    EXPECT_EQ(1u, context->ItemsLike(CCupRowPart(17, 0.0f, 1.0f, 0.0f)).size());
    // The board rounds the top 15 above the inner end.
    EXPECT_NEAR(311.875f + 15.0f, context->vertexBox.maxZ, 0.5f);

    // Narrow wings still get two uprights.
    EXPECT_EQ(2u, CWingPart(14, 13, 2, 17, 80.0f, false).GetUprights().size());
    EXPECT_NE(CWingPart(14, 13, 2, 17, 240.0f, true).GetKey(), CWingPart(14, 13, 2, 17, 240.0f, false).GetKey());
}

TEST(WingPart, HolderTakesItsLayoutFromItsRows)
{
    CWingPart holder(14, 13, 2, true, false);
    EXPECT_TRUE(holder.IsHolder());
    const std::string emptyKey = holder.GetKey();
    holder.AddPiece(CCupRowPart(17, 0.0f, 1.0f, 0.0f));
    EXPECT_NE(emptyKey, holder.GetKey());
    int before = ReportCount();
    holder.LayoutFromRows();
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_TRUE(holder.GetUprights().empty());

    holder.AddPiece(CCupRowPart(17, -0.5f, 1.0f, 0.0f));
    before = ReportCount();
    holder.LayoutFromRows();
    EXPECT_EQ(before, ReportCount());
    ASSERT_EQ(2u, holder.GetUprights().size());
    EXPECT_FLOAT_EQ(-130.0f, holder.GetYStart());
    EXPECT_FLOAT_EQ(0.0f, holder.GetYEnd());
    EXPECT_FLOAT_EQ(311.875f, holder.GetTopStart());
    const auto context = DrawChecked(holder);
    EXPECT_EQ(1u, context->ItemsLike(CCupRowPart(17, 0.0f, 1.0f, 0.0f)).size());
    EXPECT_EQ(1u, context->ItemsLike(CCupRowPart(17, -0.5f, 1.0f, 0.0f)).size());
}

TEST(WingPart, DegenerateLayoutsStayFinite)
{
    // Both rows end at the same y.
    CWingPart holder(14, 13, 2);
    holder.AddPiece(CCupRowPart(17, 0.0f, 1.0f, 0.0f));
    holder.AddPiece(CCupRowPart(17, 0.0f, 0.5f, 0.0f));
    holder.LayoutFromRows();
    DrawChecked(holder);

    // A wing of 30 has its ends at one y and its top line stands vertical:
    // the corners below the board cannot be filled.
    CWingPart narrow(14, 13, 2, 17, 30.0f, true);
    CCountingContext context;
    EXPECT_EQ(1, CountReports([&] { context.DrawTop(narrow); }));
    EXPECT_EQ(0, context.notFinite);
}

TEST(SquarePart, ColoursFromTheObject)
{
    CColoredObject normal(CCourseObject::kNormal);
    CSquarePart square(normal, 360.0f);
    EXPECT_FLOAT_EQ(180.0f, square.GetHalfSize());
    EXPECT_EQ(255, square.GetFillIndex());
    EXPECT_EQ(37, square.GetPenIndex());
    EXPECT_FALSE(square.IsGreyed());
    CRecordingContext context;
    square.Draw(context);
    EXPECT_EQ("B1,1 M-180,-180 L-180,180 L180,180 L180,-180 Z E", context.Log());
    const CGraphicsState& state = context.calls.front().state;
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(37), state.penColor);
    EXPECT_EQ(CColorPalette::GetInstance().GetColor(255), state.fillColor);
    EXPECT_EQ(30.0f, state.penWidth);
    EXPECT_EQ(0u, state.fillPattern);

    CColoredObject grey(CCourseObject::kGrey);
    CSquarePart greyed(grey, 480.0f);
    EXPECT_TRUE(greyed.IsGreyed());
    EXPECT_EQ(100, greyed.GetFillIndex());
    EXPECT_EQ(100, greyed.GetPenIndex());
    EXPECT_NE(square.GetKey(), greyed.GetKey());
    CRecordingContext greyContext;
    greyed.Draw(greyContext);
    EXPECT_EQ(1u, greyContext.calls.front().state.fillPattern);
}

TEST(MarkerGlyph, SharedGlyphsByKind)
{
    EXPECT_EQ(1, GetMarkerGlyph(1).GetKind());
    EXPECT_EQ(2, GetMarkerGlyph(2).GetKind());
    EXPECT_EQ(3, GetMarkerGlyph(3).GetKind());
    EXPECT_EQ(&GetMarkerGlyph(2), &GetMarkerGlyph(2));
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(&GetMarkerGlyph(1), &GetMarkerGlyph(0)); }));
}

TEST(MarkerGlyph, BlackShapeUnderTheColouredOne)
{
    CRecordingContext context;
    GetMarkerGlyph(3).Draw(context);
    EXPECT_EQ("B0,1 M5,0 L0,-5 L-5,0 L0,5 Z E B0,1 M4,0 L0,-4 L-4,0 L0,4 Z E", context.Log());
    EXPECT_EQ(0xFF000000u, context.calls[0].state.fillColor);
    EXPECT_EQ(0.0f, context.calls[0].state.fillZ);
    EXPECT_EQ(0xFF0000FFu, context.calls[7].state.fillColor);
    EXPECT_EQ(0.01f, context.calls[7].state.fillZ);

    CRecordingContext octagon;
    GetMarkerGlyph(2).Draw(octagon);
    EXPECT_EQ(0, octagon.Log().find("B0,1 M4,-1 L1,-4 L-1,-4 L-4,-1 L-4,1 L-1,4 L1,4 L4,1 Z E B0,1 M3,-1 L1,-3"));

    CMarkerGlyph odd(7);
    CRecordingContext square;
    EXPECT_EQ(1, CountReports([&] { odd.Draw(square); }));
    EXPECT_EQ(0, square.Log().find("B0,1 M-3.5,-3.5 L-3.5,3.5 L3.5,3.5 L3.5,-3.5 Z E"));
}
