#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

#include "course/Course.h"
#include "course/CourseMark.h"
#include "course/LabelLayout.h"
#include "tests/support/TestSettings.h"

namespace {

using LabelLayout = CCourseSettingsTest;

using CMarks = std::vector<std::unique_ptr<CCourseMark>>;

// Where a mark's label sits: its bounds less its extent about its centre.
CPoint2 LabelPosition(const CCourseMark& mark)
{
    return {mark.GetLabelBounds().left - mark.GetLabelExtent().left,
            mark.GetLabelBounds().top - mark.GetLabelExtent().top};
}

std::vector<CCourseMark*> Pointers(const CMarks& marks)
{
    std::vector<CCourseMark*> pointers;
    for (const auto& mark : marks)
        pointers.push_back(mark.get());
    return pointers;
}

// Marks in clusters and rectangles scattered over a 120 by 100 ft ring.
struct CCrowdedRing
{
    CCrowdedRing(CCourse& course, int markCount, int rectangleCount, unsigned seed)
    {
        std::mt19937 random(seed);
        auto uniform = [&](int low, int high) { return float(std::uniform_int_distribution<int>(low, high)(random)); };
        for (int i = 0; i < markCount; ++i) {
            const float cx = 1000.0f + 2000.0f * float(i % 6);
            marks.push_back(MakeCourseMark(cx + uniform(0, 600), uniform(1000, 11000), &course));
        }
        for (int i = 0; i < rectangleCount; ++i) {
            const float left = uniform(0, 14000);
            const float top = uniform(0, 11600);
            rectangles.emplace_back(left, top, left + uniform(100, 900), top + uniform(100, 400));
        }
    }

    uint64_t Lay(const CRectF& area, uint64_t maxWork)
    {
        CLabelLayout layout(area, Pointers(marks), maxWork);
        for (const CRectF& rectangle : rectangles)
            layout.Occupy(rectangle);
        layout.Run();
        return layout.GetWork();
    }

    CMarks marks;
    std::vector<CRectF> rectangles;
};

bool Overlap(const CRectF& a, const CRectF& b)
{
    CRectF overlap;
    overlap.Intersect(a, b);
    return overlap.Width() > 0.01f && overlap.Height() > 0.01f;
}

}  // namespace

TEST_F(LabelLayout, TheBoundLeavesCoursesOfSomeHundredMarksAsTheyWere)
{
    CCourse course(L"", L"");
    const CRectF area = course.GetRingRect(false, false);
    for (unsigned seed : {1u, 2u, 3u}) {
        CCrowdedRing bounded(course, 300, 150, seed);
        CCrowdedRing free(course, 300, 150, seed);
        const uint64_t work = bounded.Lay(area, CLabelLayout::kDefaultWork);
        free.Lay(area, UINT64_MAX);
        EXPECT_LT(work, CLabelLayout::kDefaultWork);
        for (size_t i = 0; i < bounded.marks.size(); ++i) {
            ASSERT_EQ(LabelPosition(*free.marks[i]), LabelPosition(*bounded.marks[i])) << seed << ", " << i;
        }
    }
}

TEST_F(LabelLayout, ThousandsOfMarksAtOneSpotStayWithinTheBound)
{
    CCourse course(L"", L"");
    const CRectF area = course.GetRingRect(false, false);
    CMarks marks;
    for (int i = 0; i < 5000; ++i)
        marks.push_back(MakeCourseMark(7000.0f, 6000.0f, &course));
    const uint64_t bound = 2000000;
    CLabelLayout layout(area, Pointers(marks), bound);
    layout.Occupy(CRectF(6800.0f, 5800.0f, 7200.0f, 6200.0f));
    layout.Run();
    // Every search may do its small share whatever the rest took.
    EXPECT_LE(layout.GetWork(), bound + 2 * CLabelLayout::kSearchWork * marks.size());

    // The labels placed before the bound ran out overlap neither each other
    // nor the rectangle; the others stay at their spot.
    std::vector<CRectF> placed;
    const CPoint2 anchor = marks.front()->GetLabelAnchor();
    for (const auto& mark : marks) {
        const CRectF bounds = mark->GetLabelBounds();
        EXPECT_GE(bounds.left, area.left - 0.01f);
        EXPECT_LE(bounds.right, area.right + 0.01f);
        if (LabelPosition(*mark) != anchor)
            placed.push_back(bounds);
    }
    EXPECT_GT(placed.size(), 200u);
    for (size_t i = 0; i < placed.size(); ++i) {
        EXPECT_FALSE(Overlap(placed[i], CRectF(6800.0f, 5800.0f, 7200.0f, 6200.0f))) << i;
        for (size_t j = 0; j < i; ++j)
            ASSERT_FALSE(Overlap(placed[i], placed[j])) << i << " and " << j;
    }
}
