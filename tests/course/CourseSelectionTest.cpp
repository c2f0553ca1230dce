#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "foundation/Strings.h"
#include "graphics/GraphicsContext.h"
#include "objects/equipment/MarkerGlyph.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/support/FailureReports.h"

using namespace coursetest;

namespace {

using CourseSelection = CCourseFixture;

// A test object whose ends have categories of their own and which reports a
// dialog variant.
class CMarkedObject : public CTestObject
{
public:
    CMarkedObject(int layer, int category) : CTestObject(layer, category) {}
    int GetCategoryFor(int end) const override
    {
        if (end >= 0 && size_t(end) < endCategories.size())
            return endCategories[size_t(end)];
        return GetCategory();
    }
    int GetDialogVariant() const override { return variant; }

    std::vector<int> endCategories;
    int variant = 0;
};

CMarkedObject* PlaceMarked(CCourse& course, float x, float y, int category, const CObjectType* type = nullptr)
{
    auto object = std::make_unique<CMarkedObject>(4, category);
    object->Init(&course, type, MakePlacement(x, y), CCourseObject::kNormal);
    CMarkedObject* raw = object.get();
    course.AddObject(std::move(object));
    return raw;
}

// Two kinds with display names that are no obstacle's (the save-dialog
// descriptions), so no real kind is shadowed.
const CObjectType& NamedKind()
{
    static CTestObjectType* type = new CTestObjectType(931, 2010);
    return *type;
}

const CObjectType& OtherNamedKind()
{
    static CTestObjectType* type = new CTestObjectType(932, 2011);
    return *type;
}

const CObjectType& UnnamedKind()
{
    static CTestObjectType* type = new CTestObjectType(933, 0);
    return *type;
}

// The pick id of an object's end: end, then the object's index, then kind 2.
uint32_t HandlePickId(uint32_t index, uint32_t end)
{
    return (end << 17) | (index << 2) | 2;
}

// Keeps every nested drawable drawn, with its mode, flag and place.
class CDrawnItemsContext : public CStateContext
{
public:
    struct CItem
    {
        int kind;
        int mode;
        int flag;
        CPoint2 position;
    };

    void DrawDrawable(CDrawable& drawable, int mode, int flag) override
    {
        const CMarkerGlyph* glyph = dynamic_cast<const CMarkerGlyph*>(&drawable);
        items.push_back({glyph != nullptr ? glyph->GetKind() : 0, mode, flag, m_state.matrix.GetPosition2D()});
    }

    std::vector<CItem> items;
};

}  // namespace

TEST_F(CourseSelection, CountsLookAtTheCategoryAndHasSelectionDoesNot)
{
    CCourse course(L"Selection", L"");
    CTestObject* plain = Place(course, 100.0f, 100.0f, 4, 0);
    EXPECT_FALSE(course.HasSelection());
    plain->SetSelected(true);
    EXPECT_TRUE(course.HasSelection());
    EXPECT_EQ(0, course.CountSelected());
    CTestObject* obstacle = Place(course, 200.0f, 100.0f, 4, 1);
    obstacle->SetSelected(true);
    EXPECT_EQ(1, course.CountSelected());
}

TEST_F(CourseSelection, CrossingBetweenOneAndSeveralRefreshesTheMarks)
{
    CCourse course(L"Selection", L"");
    CMarkedObject* a = PlaceMarked(course, 1000.0f, 1000.0f, 1);
    CMarkedObject* b = PlaceMarked(course, 2000.0f, 1000.0f, 3);
    CMarkedObject* c = PlaceMarked(course, 3000.0f, 1000.0f, 4);
    for (CMarkedObject* object : {a, b, c})
        object->AddEnd(1, CPoint2(0.0f, 0.0f), CPoint2(0.0f, 100.0f));
    CRecordingListener listener;
    course.AddListener(&listener);

    course.SelectByCategory(1);
    EXPECT_EQ(std::vector<int>{4}, listener.mapLayers);
    listener.Clear();
    // The second: its own change, then both refresh their marks once.
    course.SelectByCategory(3);
    EXPECT_EQ(std::vector<int>({4, 4, 4}), listener.mapLayers);
    EXPECT_EQ(std::vector<int>({4, 4, 4}), listener.layers3D);
    listener.Clear();
    course.SelectByCategory(4);
    EXPECT_EQ(std::vector<int>{4}, listener.mapLayers);

    // Objects whose every end shows the several-objects mark need no refresh.
    CCourse other(L"Selection", L"");
    CMarkedObject* d = PlaceMarked(other, 1000.0f, 1000.0f, 1, &NamedKind());
    CMarkedObject* e = PlaceMarked(other, 2000.0f, 1000.0f, 1, &OtherNamedKind());
    for (CMarkedObject* object : {d, e}) {
        object->AddEnd(1, CPoint2(0.0f, 0.0f), CPoint2(0.0f, 100.0f));
        object->endCategories = {2};
    }
    listener.Clear();
    other.AddListener(&listener);
    other.SelectByType(&NamedKind());
    other.SelectByType(&OtherNamedKind());
    EXPECT_EQ(std::vector<int>({4, 4}), listener.mapLayers);
    other.RemoveListener(&listener);
    course.RemoveListener(&listener);
}

TEST_F(CourseSelection, SelectAllAndDeselectAll)
{
    CCourse course(L"Selection", L"");
    CTestObject* inside = Place(course, 1000.0f, 1000.0f, 4, 0);
    CTestObject* outside = Place(course, 20000.0f, 1000.0f);
    course.SelectAll();
    EXPECT_TRUE(inside->IsSelected());
    EXPECT_TRUE(outside->IsSelected());
    EXPECT_EQ(2u, course.GetObjectCount());
    // Deselecting also deletes what lies outside the ring and margins.
    course.DeselectAll(false);
    EXPECT_FALSE(course.HasSelection());
    ASSERT_EQ(1u, course.GetObjectCount());
    EXPECT_EQ(inside, *course.GetObjects().begin());
}

TEST_F(CourseSelection, SelectionChangesEndTheMotion)
{
    CCourse course(L"Selection", L"");
    Place(course, 1000.0f, 1000.0f);
    course.SetMotion(1);
    course.SelectAll();
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_EQ(GetString(2018), course.GetUndoLabel());
    course.SetMotion(2);
    course.DeselectAll(false);
    EXPECT_EQ(0, course.GetMotion());
    EXPECT_EQ(GetString(2019), course.GetUndoLabel());
    EXPECT_EQ(2u, course.GetUndoHistory().GetEntryCount());
}

TEST_F(CourseSelection, SelectByTypeAddsToTheSelection)
{
    CCourse course(L"Selection", L"");
    CMarkedObject* a = PlaceMarked(course, 1000.0f, 1000.0f, 1, &NamedKind());
    CMarkedObject* b = PlaceMarked(course, 2000.0f, 1000.0f, 1, &OtherNamedKind());
    CMarkedObject* c = PlaceMarked(course, 3000.0f, 1000.0f, 1, &NamedKind());
    b->SetSelected(true);
    course.SelectByType(&NamedKind());
    EXPECT_TRUE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    EXPECT_TRUE(c->IsSelected());
}

TEST_F(CourseSelection, SelectAllExceptOneVariantOfACategory)
{
    CCourse course(L"Selection", L"");
    CMarkedObject* badge = PlaceMarked(course, 1000.0f, 1000.0f, 2);
    badge->variant = 1;
    CMarkedObject* plain = PlaceMarked(course, 2000.0f, 1000.0f, 2);
    CMarkedObject* other = PlaceMarked(course, 3000.0f, 1000.0f, 1);
    other->variant = 1;
    plain->SetSelected(true);
    course.SelectAllExcept(2, 0);
    EXPECT_TRUE(badge->IsSelected());
    EXPECT_FALSE(plain->IsSelected());
    EXPECT_TRUE(other->IsSelected());
}

TEST_F(CourseSelection, SelectActiveObjectWithoutOneIsReported)
{
    CCourse course(L"Selection", L"");
    CTestObject* object = Place(course, 1000.0f, 1000.0f);
    EXPECT_EQ(1, CountReports([&] { course.SelectActiveObject(true); }));
    EXPECT_FALSE(object->IsSelected());
}

TEST_F(CourseSelection, RubberBandAddsToOrFlipsTheRememberedSelection)
{
    CCourse course(L"Selection", L"");
    course.SetViewSize(800.0f, 600.0f);
    course.GetMapCamera().SetCourseRect(course.GetRingRect(true, false));
    CTestObject* a = Place(course, 2000.0f, 3000.0f);
    CTestObject* b = Place(course, 9000.0f, 7000.0f);
    const CViewCamera& camera = course.GetCurrentCamera();
    const CTransform toView(camera.GetTransform(), true);
    auto windowPoint = [&](const CCourseObject* object) {
        const CRectF bounds = object->GetBoundingRect();
        CPoint2 point;
        camera.GetCamera().ProjectPoint(
            toView.TransformPoint({(bounds.left + bounds.right) / 2, -(bounds.top + bounds.bottom) / 2, 0.0f}),
            &point);
        return point;
    };
    const CPoint2 pa = windowPoint(a);
    const CPoint2 pb = windowPoint(b);
    ASSERT_NE(pa, pb);
    const CRectF aroundA(pa.x - 1.0f, pa.y - 1.0f, pa.x + 1.0f, pa.y + 1.0f);
    const CRectF aroundBoth(std::min(pa.x, pb.x) - 1.0f, std::min(pa.y, pb.y) - 1.0f, std::max(pa.x, pb.x) + 1.0f,
                            std::max(pa.y, pb.y) + 1.0f);

    course.RememberSelection();
    course.SelectInRectangle(aroundA, camera.GetTransform(), false);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_FALSE(b->IsSelected());
    // A band that no longer covers an object gives it back its state from
    // the press.
    course.SelectInRectangle(CRectF(), camera.GetTransform(), false);
    EXPECT_FALSE(a->IsSelected());
    // Strictly inside: a band whose edge runs through the centre misses it.
    course.SelectInRectangle(CRectF(pa.x, pa.y - 1.0f, pa.x + 1.0f, pa.y + 1.0f), camera.GetTransform(), false);
    EXPECT_FALSE(a->IsSelected());

    a->SetSelected(true);
    course.RememberSelection();
    course.SelectInRectangle(aroundBoth, camera.GetTransform(), true);
    EXPECT_FALSE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    course.SelectInRectangle(aroundBoth, camera.GetTransform(), false);
    EXPECT_TRUE(a->IsSelected());
    EXPECT_TRUE(b->IsSelected());
    course.SetMotion(0);
}

TEST_F(CourseSelection, SelectionBoundsJoinTheSelectedObstacles)
{
    CCourse course(L"Selection", L"");
    EXPECT_TRUE(course.GetSelectionBounds().IsEmpty());
    CTestObject* a = Place(course, 1000.0f, 1000.0f);
    CTestObject* b = Place(course, 3000.0f, 2000.0f);
    CTestObject* unmovable = Place(course, 9000.0f, 9000.0f, 4, 0);
    a->SetSelected(true);
    b->SetSelected(true);
    unmovable->SetSelected(true);
    CRectF expected;
    expected.Union(a->GetBoundingRect(), b->GetBoundingRect());
    EXPECT_EQ(expected, course.GetSelectionBounds());
}

TEST_F(CourseSelection, CollectTypesGivesOneEntryPerObject)
{
    CCourse course(L"Selection", L"");
    PlaceMarked(course, 1000.0f, 1000.0f, 1, &NamedKind());
    PlaceMarked(course, 2000.0f, 1000.0f, 1, &OtherNamedKind());
    PlaceMarked(course, 3000.0f, 1000.0f, 1, &NamedKind());
    std::vector<const CObjectType*> types;
    course.CollectTypes(types);
    EXPECT_EQ(std::vector<const CObjectType*>({&NamedKind(), &OtherNamedKind(), &NamedKind()}), types);
}

TEST_F(CourseSelection, TheSelectionTypeNameIsTheSharedName)
{
    CCourse course(L"Selection", L"");
    EXPECT_EQ(L"", course.GetSelectionTypeName());
    CMarkedObject* a = PlaceMarked(course, 1000.0f, 1000.0f, 1, &NamedKind());
    CMarkedObject* b = PlaceMarked(course, 2000.0f, 1000.0f, 1, &NamedKind());
    CMarkedObject* c = PlaceMarked(course, 3000.0f, 1000.0f, 1, &OtherNamedKind());
    a->SetSelected(true);
    b->SetSelected(true);
    EXPECT_EQ(course.GetSpecList().GetTerm(2010), course.GetSelectionTypeName());
    EXPECT_FALSE(course.GetSelectionTypeName().empty());
    c->SetSelected(true);
    EXPECT_EQ(L"", course.GetSelectionTypeName());

    CMarkedObject* unnamed = PlaceMarked(course, 4000.0f, 1000.0f, 1, &UnnamedKind());
    course.DeselectAll(false);
    unnamed->SetSelected(true);
    EXPECT_EQ(1, CountReports([&] { course.GetSelectionTypeName(); }));
}

TEST_F(CourseSelection, SelectionValuesHoldTypeVariantAndColours)
{
    CCourse course(L"Selection", L"");
    CMarkedObject* a = PlaceMarked(course, 1000.0f, 1000.0f, 2, &NamedKind());
    a->variant = 1;
    PlaceMarked(course, 2000.0f, 1000.0f, 1, &OtherNamedKind());
    CMarkedObject* c = PlaceMarked(course, 3000.0f, 1000.0f, 1, &OtherNamedKind());
    a->SetSelected(true);
    c->SetSelected(true);
    std::vector<CCourse::CSelectionValue> values;
    course.CollectSelectionValues(values);
    ASSERT_EQ(2u, values.size());
    EXPECT_EQ(&NamedKind(), values[0].type);
    EXPECT_EQ(1, values[0].variant);
    EXPECT_EQ(&a->GetPartColors(), values[0].colors);
    EXPECT_EQ(&OtherNamedKind(), values[1].type);
    EXPECT_EQ(0, values[1].variant);
    EXPECT_EQ(&c->GetPartColors(), values[1].colors);
}

TEST_F(CourseSelection, ASelectedCopyOnTopOfAnotherIsADuplicate)
{
    CCourse course(L"Selection", L"");
    PlaceMarked(course, 1000.0f, 1000.0f, 1, &NamedKind());
    CMarkedObject* pasted = PlaceMarked(course, 1000.0f, 1000.0f, 1, &NamedKind());
    CMarkedObject* elsewhere = PlaceMarked(course, 5000.0f, 1000.0f, 1, &NamedKind());
    CMarkedObject* otherKind = PlaceMarked(course, 5000.0f, 3000.0f, 1, &OtherNamedKind());
    // Another kind on the spot of one selected is no copy of it.
    PlaceMarked(course, 5000.0f, 1000.0f, 1, &OtherNamedKind());
    EXPECT_FALSE(course.SelectionDuplicatesOthers());
    elsewhere->SetSelected(true);
    otherKind->SetSelected(true);
    EXPECT_FALSE(course.SelectionDuplicatesOthers());
    pasted->SetSelected(true);
    EXPECT_TRUE(course.SelectionDuplicatesOthers());
    course.SelectAll();
    EXPECT_FALSE(course.SelectionDuplicatesOthers());
}

TEST_F(CourseSelection, SelectionMarksAreDrawnAtTheEndsWithTheirPickIds)
{
    CCourse course(L"Selection", L"");
    PlaceMarked(course, 500.0f, 500.0f, 1);
    CMarkedObject* gate = PlaceMarked(course, 1000.0f, 2000.0f, 1);
    gate->AddEnd(1, CPoint2(-60.0f, 0.0f), CPoint2(0.0f, 100.0f));
    gate->AddEnd(2, CPoint2(60.0f, 0.0f), CPoint2(0.0f, 100.0f));
    gate->endCategories = {1, 3};
    CMarkedObject* jump = PlaceMarked(course, 3000.0f, 2000.0f, 1);
    jump->AddEnd(1, CPoint2(0.0f, 0.0f), CPoint2(0.0f, 100.0f));

    gate->SetSelected(true);
    CDrawnItemsContext context;
    course.DrawSelection(context);
    ASSERT_EQ(2u, context.items.size());
    EXPECT_EQ(1, context.items[0].kind);
    EXPECT_EQ(3, context.items[1].kind);
    EXPECT_EQ(int(HandlePickId(1, 0)), context.items[0].flag);
    EXPECT_EQ(int(HandlePickId(1, 1)), context.items[1].flag);
    EXPECT_EQ(1, context.items[0].mode);
    EXPECT_EQ(CPoint2(940.0f, 2000.0f), context.items[0].position);
    EXPECT_EQ(CPoint2(1060.0f, 2000.0f), context.items[1].position);
    EXPECT_EQ(0u, context.GetStateDepth());

    // With several selected every end shows the second kind.
    jump->SetSelected(true);
    context.items.clear();
    course.DrawSelection(context);
    ASSERT_EQ(3u, context.items.size());
    for (const auto& item : context.items)
        EXPECT_EQ(2, item.kind);
    EXPECT_EQ(int(HandlePickId(2, 0)), context.items[2].flag);
}
