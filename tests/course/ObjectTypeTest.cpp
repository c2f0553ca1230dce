#include <gtest/gtest.h>

#include <sstream>

#include "course/EditSession.h"
#include "foundation/Strings.h"
#include "tests/course/CourseTestKinds.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

using namespace coursetest;

namespace {

using ObjectType = CCourseFixture;

// Made once, never destroyed, like the program's own descriptors.
CTestObjectType& GetBoxType()
{
    static CTestObjectType* type = [] {
        auto* made = new CTestObjectType(901, 2640);
        made->AddVariantName("TestBox");
        made->AddVariantName("TestBoxLarge");
        return made;
    }();
    return *type;
}

CTestObjectType& GetOpeningType()
{
    static CTestObjectType* type = [] {
        auto* made = new CTestObjectType(902, 2641, true);
        made->AddVariantName("TestOpening");
        return made;
    }();
    return *type;
}

// A kind whose "edit on create" choice is not the user's.
class CFixedChoiceType : public CTestObjectType
{
public:
    CFixedChoiceType() : CTestObjectType(904, 0, true) {}
    bool IsEditOnCreateSettable() const override { return false; }
};

// A record of the test kind: one Int16, then the field end.
std::string MakeRecord(int32_t value)
{
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    writer.WriteInt16(value);
    writer.EndField();
    writer.WriteInt16(77);
    return writer.m_bytes;
}

}  // namespace

TEST_F(ObjectType, FoundByIdKeyNameAndNameId)
{
    const CObjectType* box = &GetBoxType();
    const CObjectType* opening = &GetOpeningType();
    EXPECT_EQ(box, FindObjectTypeById(901));
    EXPECT_EQ(opening, FindObjectTypeById(902));
    EXPECT_EQ(box, FindObjectTypeByKeyName("TestBox"));
    EXPECT_EQ(box, FindObjectTypeByKeyName("TestBoxLarge"));
    EXPECT_EQ(opening, FindObjectTypeByKeyName("TestOpening"));
    EXPECT_EQ(box, FindObjectTypeByNameId(2640));
    EXPECT_EQ(opening, FindObjectTypeByNameId(2641));
}

TEST_F(ObjectType, UnknownKeysFindNothing)
{
    GetBoxType();
    EXPECT_EQ(nullptr, FindObjectTypeById(999));
    EXPECT_EQ(nullptr, FindObjectTypeById(0));
    EXPECT_EQ(nullptr, FindObjectTypeById(-901));
    EXPECT_EQ(nullptr, FindObjectTypeByKeyName("testbox"));
    EXPECT_EQ(nullptr, FindObjectTypeByKeyName("TestBox "));
    EXPECT_EQ(nullptr, FindObjectTypeByKeyName(""));
    EXPECT_EQ(nullptr, FindObjectTypeByNameId(2642));
}

TEST_F(ObjectType, NamesAndIds)
{
    const CTestObjectType& box = GetBoxType();
    EXPECT_EQ(901, box.GetTypeId());
    EXPECT_EQ(901, box.GetId());
    EXPECT_EQ(L"901", box.GetIdString());
    EXPECT_EQ(2640, box.GetNameTextId());
    // The placeholder group id takes the name.
    EXPECT_EQ(2640, box.GetGroupTextId());
    CCourse course(L"Plan", L"");
    EXPECT_EQ(GetString(2640), box.GetDisplayName(course));
    // Every set holds the primary part; the kind added part 2.
    EXPECT_EQ((std::vector<int>{10, 2}), box.GetPartColors().GetParts());
}

TEST_F(ObjectType, UnnamedKindsAreReported)
{
    static CTestObjectType* unnamed = new CTestObjectType(905, 0);
    EXPECT_EQ(CObjectType::kUnnamed, unnamed->GetNameTextId());
    CCourse course(L"Plan", L"");
    EXPECT_EQ(1, CountReports([&] { unnamed->GetDisplayName(course); }));
}

TEST_F(ObjectType, JumpKindsKeepTheirGroup)
{
    // The constructor's own name id does not enter the registry.
    static CObjectType* jump = [] {
        class CGroupedType : public CObjectType
        {
        public:
            CGroupedType() : CObjectType(906, CObjectType::kJumpGroup, 2628) {}
            std::unique_ptr<CCourseObject> CreateObject() const override { return nullptr; }
        };
        return new CGroupedType();
    }();
    EXPECT_EQ(CObjectType::kJumpGroup, jump->GetGroupTextId());
    EXPECT_EQ(2628, jump->GetNameTextId());
    EXPECT_EQ(nullptr, FindObjectTypeByNameId(2628));

    CCourse course(L"Plan", L"");
    course.SetSpecList(1);
    EXPECT_EQ(L"Double Bar Jump", jump->GetDisplayName(course));
    course.SetSpecList(2);
    EXPECT_EQ(L"Parallel Spread Hurdle", jump->GetDisplayName(course));
    course.SetSpecList(3);
    EXPECT_EQ(GetString(2628), jump->GetDisplayName(course));

}

TEST_F(ObjectType, DialogsComeFromTheMakerOfTheirTypeElseFromTheDefault)
{
    // A made dialog's edited count tells the maker that made it.
    struct CMaker
    {
        static std::unique_ptr<CEditSession> Make(CCourse* course, int mark)
        {
            auto dialog = std::make_unique<coursetest::CTestDialog>(course);
            dialog->editedCount = mark;
            return dialog;
        }
    };
    CCourse course(L"Plan", L"");
    const auto madeBy = [&](const CObjectType& type) {
        std::unique_ptr<CEditSession> dialog = type.CreatePropertiesDialog(&course, 2640);
        return dialog ? static_cast<coursetest::CTestDialog&>(*dialog).editedCount : 0;
    };
    EXPECT_EQ(0, madeBy(GetBoxType()));
    SetDefaultEditSessionMaker([](CCourse* c, const CObjectType&, int) { return CMaker::Make(c, 1); });
    RegisterEditSessionMaker(901, [](CCourse* c, const CObjectType&, int name) { return CMaker::Make(c, name); });
    EXPECT_EQ(2640, madeBy(GetBoxType()));
    EXPECT_EQ(1, madeBy(GetOpeningType()));
    RegisterEditSessionMaker(901, nullptr);
    SetDefaultEditSessionMaker(nullptr);
    EXPECT_EQ(0, madeBy(GetBoxType()));
}

TEST_F(ObjectType, EditOnCreateFollowsTheStoredChoice)
{
    const CTestObjectType& box = GetBoxType();
    const CTestObjectType& opening = GetOpeningType();
    EXPECT_FALSE(box.IsEditOnCreate());
    EXPECT_TRUE(opening.IsEditOnCreate());
    EXPECT_TRUE(box.IsEditOnCreateSettable());

    box.SetEditOnCreate(true);
    EXPECT_EQ(1, CSettings::GetInt(L"901EditOnCreate", 0));
    EXPECT_TRUE(box.IsEditOnCreate());
    opening.SetEditOnCreate(false);
    EXPECT_EQ(0, CSettings::GetInt(L"902EditOnCreate", 1));
    EXPECT_FALSE(opening.IsEditOnCreate());
}

TEST_F(ObjectType, KindsWithoutTheChoiceIgnoreTheSetting)
{
    static CFixedChoiceType* fixed = new CFixedChoiceType();
    EXPECT_EQ(1, CountReports([&] { fixed->SetEditOnCreate(false); }));
    EXPECT_FALSE(HasTestSettingsValue(L"904EditOnCreate"));
    CSettings::SetInt(L"904EditOnCreate", 0);
    EXPECT_TRUE(fixed->IsEditOnCreate());
}

TEST_F(ObjectType, CreatesFromAnArchiveRecord)
{
    CCourse course(L"Plan", L"");
    CTransform placement;
    placement.SetPosition2D(300.0f, 400.0f);
    CFieldReader reader(MakeRecord(1234));
    reader.m_versionMajor = 4;
    reader.m_versionMinor = 33;
    std::unique_ptr<CCourseObject> object = GetBoxType().CreateFromArchive(&course, placement, reader, false);
    ASSERT_NE(nullptr, object);
    auto* test = static_cast<CTestObject*>(object.get());
    EXPECT_EQ(1234, test->value);
    EXPECT_EQ(&GetBoxType(), test->GetType());
    EXPECT_EQ(&course, test->GetCourse());
    EXPECT_EQ(CPoint2(300.0f, 400.0f), test->GetPosition());
    EXPECT_EQ(CCourseObject::kNormal, test->GetDisplayState());
    EXPECT_EQ((std::vector<int>{10, 2}), test->GetPartColors().GetParts());
    // The record's field end was read: the next field follows.
    int32_t next = 0;
    reader.ReadInt16(next);
    EXPECT_EQ(77, next);

    CFieldReader overlayReader(MakeRecord(5));
    std::unique_ptr<CCourseObject> overlay = GetBoxType().CreateFromArchive(&course, placement, overlayReader, true);
    ASSERT_NE(nullptr, overlay);
    EXPECT_EQ(CCourseObject::kGrey, overlay->GetDisplayState());
}

TEST_F(ObjectType, CreatesFromALegacyLine)
{
    CCourse course(L"Plan", L"");
    std::istringstream words(" 42 17");
    std::unique_ptr<CCourseObject> object =
        GetBoxType().CreateFromText(&course, CTransform(), "TestBoxLarge", words);
    ASSERT_NE(nullptr, object);
    auto* test = static_cast<CTestObject*>(object.get());
    EXPECT_EQ("TestBoxLarge", test->variant);
    EXPECT_EQ(42, test->value);
}

TEST_F(ObjectType, CreatesNewObjectsWithTheDialogsValues)
{
    CCourse course(L"Plan", L"");
    std::unique_ptr<CCourseObject> plain = GetBoxType().CreateNew(&course, CTransform(), nullptr);
    ASSERT_NE(nullptr, plain);
    EXPECT_EQ(1, static_cast<CTestObject*>(plain.get())->clearHandlesCalls);
    EXPECT_EQ(0, static_cast<CTestObject*>(plain.get())->fromDialogCalls);

    coursetest::CTestDialog dialog(&course);
    CPartColorSet colors = GetBoxType().GetPartColors();
    colors.SetColorIndex(2, 99);
    dialog.AddEditedObject(&GetBoxType(), 0, colors);
    std::unique_ptr<CCourseObject> edited = GetBoxType().CreateNew(&course, CTransform(), &dialog);
    ASSERT_NE(nullptr, edited);
    EXPECT_EQ(1, static_cast<CTestObject*>(edited.get())->fromDialogCalls);
    EXPECT_EQ(99, edited->GetPartColors().GetColorIndex(2));
}

TEST_F(ObjectType, AKindThatMakesNothingIsReported)
{
    static CTestObjectType* broken = new CTestObjectType(907, 0);
    broken->makesNothing = true;
    CCourse course(L"Plan", L"");
    CFieldReader reader(MakeRecord(1));
    std::istringstream words("1");
    const int before = ReportCount();
    EXPECT_EQ(nullptr, broken->CreateFromArchive(&course, CTransform(), reader, false));
    EXPECT_EQ(nullptr, broken->CreateFromText(&course, CTransform(), "x", words));
    EXPECT_EQ(nullptr, broken->CreateNew(&course, CTransform(), nullptr));
    EXPECT_EQ(before + 3, ReportCount());
}

TEST_F(ObjectType, UnregisteredDescriptorsAreReported)
{
    static CTestObjectType* unregistered = new CTestObjectType(0, 0);
    EXPECT_FALSE(unregistered->IsEditOnCreateSettable());
    const int before = ReportCount();
    EXPECT_EQ(0, unregistered->GetId());
    EXPECT_EQ(before + 1, ReportCount());
    unregistered->SetNameId(2644);
    EXPECT_EQ(before + 2, ReportCount());
}

TEST_F(ObjectType, ASecondDescriptorForAnIdIsReported)
{
    GetBoxType();
    const int before = ReportCount();
    static CTestObjectType* twin = new CTestObjectType(901, 0);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(&GetBoxType(), FindObjectTypeById(901));
    EXPECT_NE(twin, FindObjectTypeById(901));
}

// The ids of kinds that older readers do not know are those of older kinds
// in version-3 streams. The descriptors made here carry real kinds' ids, so
// they live in a process of their own.
CHILD_TEST(ObjectTypeAlone, OlderReadersSeeOlderKinds)
{
    const CTestObjectType* barrel = new CTestObjectType(25, 0);
    const CTestObjectType* gate = new CTestObjectType(113, 0);
    const CTestObjectType* hoopJump = new CTestObjectType(115, 0);
    const CTestObjectType* viaduct = new CTestObjectType(353, 0);
    const CTestObjectType* wall = new CTestObjectType(357, 0);
    const CTestObjectType* tunnel = new CTestObjectType(340, 0);
    CFieldWriter version3;
    version3.m_versionMajor = 3;
    version3.m_versionMinor = 83;
    CFieldWriter version4;
    version4.m_versionMajor = 4;
    version4.m_versionMinor = 33;
    int failures = 0;
    failures += barrel->GetId(&version3) != 190;
    failures += barrel->GetId(&version4) != 25;
    failures += barrel->GetId() != 25;
    failures += gate->GetId(&version3) != 350;
    failures += hoopJump->GetId(&version3) != 320;
    failures += viaduct->GetId(&version3) != 210;
    failures += wall->GetId(&version3) != 210;
    failures += wall->GetId(&version4) != 357;
    failures += tunnel->GetId(&version3) != 340;
    return failures;
}
