#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "foundation/Rgba.h"
#include "objects/annotations/PathColorPalette.h"
#include "objects/annotations/PathFit.h"
#include "objects/equipment/ObstacleEnd.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"

namespace {

constexpr int kSingleJumpType = 260;
constexpr int kEndLineButton = 2586;

// A node tied to the end, at its point.
CDogPathNode Tied(CObstacleEnd* end)
{
    CDogPathNode node;
    const CPoint2 p = end->GetCoursePoint();
    node.x = p.x;
    node.y = p.y;
    node.end = end;
    return node;
}

CObstacleEnd* FirstEnd(CCourseObject* object)
{
    return object && !object->GetEnds().empty() ? object->GetEnds().front() : nullptr;
}

// One parameter: a V of slope 10 with its bottom, -0.3, at 0.03; flat at 0
// with a gradient that turns at each call; or flat with no gradient.
enum class EShape { kValley, kTurning, kZero };

class CTestObjective : public CMinimizer<float>
{
public:
    explicit CTestObjective(EShape shape) : m_shape(shape) { SetSize(1); }
    float Evaluate(bool withGradient) override
    {
        if (withGradient) {
            searches.emplace_back();
            g[0] = m_shape == EShape::kZero      ? 0.0f
                   : m_shape == EShape::kTurning ? (searches.size() % 2 ? 1.0f : -2.0f)
                                                 : (x[0] > 0.03f ? 10.0f : -10.0f);
            gradientSupplied = true;
        } else {
            searches.back().push_back(x[0]);
        }
        return m_shape == EShape::kValley ? 10.0f * std::fabs(x[0] - 0.03f) - 0.3f : 0.0f;
    }
    // The points of each line search, begun after a gradient.
    std::vector<std::vector<float>> searches;

private:
    EShape m_shape;
};

}  // namespace

TEST(PathFit, SectionsBetweenJumpsAreFittedThoseWithoutFreeParametersAreNot)
{
    CTestSettingsKey settings;
    auto course = equipmenttest::MakeCourse();
    const CObjectType* jump = FindObjectTypeById(kSingleJumpType);
    ASSERT_TRUE(jump);
    CObstacleEnd* a = FirstEnd(equipmenttest::Place(*course, *jump, 3000.0f, 3000.0f));
    CObstacleEnd* b = FirstEnd(equipmenttest::Place(*course, *jump, 6000.0f, 4800.0f, 30.0f));
    ASSERT_TRUE(a && b);
    ASSERT_EQ(2, a->GetParamCount());
    CDogPathNodes nodes{Tied(a), Tied(b)};
    CPathFit fit(nodes.begin(), nodes.end(), 240.0f);
    EXPECT_EQ(4, fit.GetParameterCount());
    EXPECT_GT(fit.GetEvaluationCount(), 2);
    // The fit is no longer than the line through the ends' middles.
    const std::vector<float> fitted = fit.x;
    const float best = fit.Evaluate(false);
    fit.x.assign(4, 0.0f);
    EXPECT_TRUE(std::isfinite(best) && best <= fit.Evaluate(false));
    fit.x = fitted;
    // Walked knot by knot to the end of the section, each on its end.
    CKnotParams knot;
    for (const CObstacleEnd* end : {a, b}) {
        fit.SetUpKnot(knot), fit.Advance();
        EXPECT_NEAR(0.0f, end->DistanceTo(knot.position.x, knot.position.y), 1.0f);
    }
    EXPECT_TRUE(fit.IsAtEnd());

    // Start and finish lines too short to offer an approach: nothing to
    // minimise, the knots at the ends' points.
    CObstacleEnd* s = FirstEnd(equipmenttest::PlaceWithTool(*course, kEndLineButton, {3000, 9000}, {3600, 9000}));
    CObstacleEnd* f = FirstEnd(equipmenttest::PlaceWithTool(*course, kEndLineButton, {9000, 9000}, {9600, 9000}));
    ASSERT_TRUE(s && f);
    ASSERT_EQ(0, s->GetParamCount());
    CDogPathNodes lines{Tied(s), Tied(f)};
    CPathFit still(lines.begin(), lines.end(), 240.0f);
    EXPECT_EQ(0, still.GetParameterCount());
    EXPECT_EQ(0, still.GetEvaluationCount());
    still.SetUpKnot(knot);
    EXPECT_EQ(s->GetCoursePoint(), knot.position);

    // A free node in a section is reported and passed through.
    CDogPathNodes loose{Tied(s), CDogPathNode{5000.0f, 9000.0f}, Tied(f)};
    EXPECT_EQ(1, CountReports([&] { CPathFit walk(loose.begin(), loose.end(), 240.0f); }));
}

TEST(Minimizer, AZeroGradientStopsAtOnceAFailedLineSearchRestartsOnceWithFourTimesTheStep)
{
    CTestObjective zero(EShape::kZero);
    zero.Minimize(120.0f, 0.1f, 0.1f);
    EXPECT_EQ((std::vector<std::vector<float>>(2)), zero.searches);

    // Flat: the first search gains nothing; the restart searches the other
    // way (the gradient turned) with the same bound, fails too and stops.
    CTestObjective flat(EShape::kTurning);
    flat.Minimize(120.0f, 0.1f, 0.1f);
    ASSERT_EQ(2u, flat.searches.size());
    ASSERT_TRUE(flat.searches[0].size() >= 2 && flat.searches[1].size() >= 2);
    EXPECT_EQ(std::make_pair(0.0f, -120.0f), std::make_pair(flat.searches[0][0], flat.searches[0][1]));
    EXPECT_FLOAT_EQ(flat.searches[1][0] + 120.0f, flat.searches[1][1]);

    // A narrow valley: the first search gains 0.3 but moves only 0.03, so
    // the restart's search starts with a step of four times that.
    CTestObjective valley(EShape::kValley);
    EXPECT_NEAR(-0.3f, valley.Minimize(120.0f, 0.1f, 0.1f), 0.01f);
    ASSERT_EQ(2u, valley.searches.size());
    ASSERT_GE(valley.searches[1].size(), 2u);
    const float moved = valley.searches[1][0];
    EXPECT_NEAR(0.03f, moved, 0.001f);
    EXPECT_NEAR(4.0f * moved, std::fabs(valley.searches[1][1] - moved), 0.001f);
}

TEST(PathColorPalette, StrongColoursFarFromTheMapsOwnInAFixedOrder)
{
    const CPathColorPalette& palette = CPathColorPalette::GetInstance();
    ASSERT_GT(palette.GetCount(), 4);
    const CColorPalette& all = CColorPalette::GetInstance();
    for (uint32_t c : palette.GetColors()) {
        EXPECT_GE(GetRed(c), 128u) << std::hex << c;
        EXPECT_FALSE(GetRed(c) == GetGreen(c) && GetGreen(c) == GetBlue(c)) << std::hex << c;
        const int index = all.FindNearest(c);
        EXPECT_EQ(c, all[index]);
        EXPECT_FALSE(all.IsPaleChooserIndex(index)) << index;
    }
    // Farthest from black, blue, green and the grass: magenta-pink first.
    EXPECT_EQ(MakeRgba(255, 64, 192, 255), palette[0]);
    EXPECT_EQ(1, palette.NextIndex(0));
    EXPECT_EQ(0, palette.NextIndex(palette.GetCount() - 1));
    EXPECT_EQ(0, palette.NextIndex(-1));
}
