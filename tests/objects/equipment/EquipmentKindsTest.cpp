#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "dialogs/WeavePolesPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "objects/equipment/Barrel.h"
#include "objects/equipment/CrawlTunnel.h"
#include "objects/equipment/Crossover.h"
#include "objects/equipment/DogWalk.h"
#include "objects/equipment/Gate.h"
#include "objects/equipment/HoopTunnel.h"
#include "objects/equipment/PauseSquare.h"
#include "objects/equipment/PlatformJump.h"
#include "objects/equipment/SeeSaw.h"
#include "objects/equipment/StripedBarPart.h"
#include "objects/equipment/SwayBridge.h"
#include "objects/equipment/SwingPlank.h"
#include "objects/equipment/WeavePoles.h"
#include "tests/objects/equipment/EquipmentTestSupport.h"
#include "tests/support/FailureReports.h"

using namespace equipmenttest;

namespace {

struct CKind
{
    int typeId;
    int nameTextId;
    std::vector<std::string> keys;
    std::vector<int> parts;
    bool standard;
    bool editOnCreate;
    int layer;
    // Registered ends and handles of a new object with the kind's defaults.
    size_t ends;
    int handles;
    int anchors;
    // The id written to a version-3 archive.
    int olderId;
};

const std::vector<CKind>& Kinds()
{
    static const std::vector<CKind> kinds = {
        {100, 2544, {"DogWalk", "DogWalk36Feet", "DogWalk24Feet"}, {10, 16, 2, 6, 4}, true, false, 4, 4, 2, 2, 100},
        {70, 2538, {"Crossover", "Crossover3Planks", "Crossover4Planks"}, {10, 16, 2, 6}, false, true, 4, 8, 4, 5, 70},
        {250, 2584, {"SeeSaw"}, {10, 16, 2, 6}, true, false, 4, 2, 2, 2, 250},
        {280, 2590, {"SwayBridge"}, {10, 16, 2, 6, 4}, false, false, 4, 4, 2, 2, 280},
        {290, 2592, {"SwingPlank"}, {10, 16, 2, 4}, false, false, 3, 4, 2, 2, 290},
        {370, 2610, {"WeavePoles"}, {10, 21, 2, 17, 4}, true, true, 3, 4, 2, 2, 370},
        {300, 2594, {"Table"}, {10, 16, 6, 17}, true, false, 3, 8, 4, 1, 300},
        {220, 2578, {"PauseBox"}, {10, 21, 22, 23, 24, 17}, false, false, 3, 8, 4, 1, 220},
        {240, 2582, {"PlatformJump"}, {10, 6, 16, 17, 21}, false, false, 3, 12, 2, 2, 240},
        {25, 2528, {}, {10, 0}, false, false, 3, 8, 4, 5, 190},
        {113, 2546, {}, {10, 17, 14}, false, false, 3, 0, 2, 1, 350},
        {60, 2536, {"CrawlTunnel"}, {10, 8, 17}, false, false, 3, 4, 2, 2, 60},
        {120, 2550, {"HoopTunnel"}, {10, 12, 17}, false, false, 3, 4, 2, 2, 120},
    };
    return kinds;
}

const CObjectType& TypeOf(const CKind& kind)
{
    const CObjectType* type = FindObjectTypeById(kind.typeId);
    EXPECT_NE(nullptr, type) << kind.typeId;
    return *type;
}

using EquipmentKinds = coursetest::CSettingsFixture;

}  // namespace

TEST_F(EquipmentKinds, EachKindIsRegisteredWithItsNamesPartsAndFlags)
{
    CFieldWriter older;
    older.m_versionMajor = 3;
    for (const CKind& kind : Kinds()) {
        const CObjectType& type = TypeOf(kind);
        EXPECT_EQ(&type, FindObjectTypeByNameId(kind.nameTextId)) << kind.typeId;
        EXPECT_EQ(kind.nameTextId, type.GetGroupTextId());
        for (const std::string& key : kind.keys)
            EXPECT_EQ(&type, FindObjectTypeByKeyName(key)) << key;
        EXPECT_EQ(kind.parts, type.GetPartColors().GetParts()) << kind.typeId;
        EXPECT_EQ(kind.standard, type.IsStandard()) << kind.typeId;
        EXPECT_EQ(kind.editOnCreate, type.GetEditOnCreateDefault()) << kind.typeId;
        EXPECT_EQ(kind.typeId, type.GetId());
        EXPECT_EQ(kind.olderId, type.GetId(&older)) << kind.typeId;
    }
}

TEST_F(EquipmentKinds, NewObjectsOfferTheirEndsHandlesAndAnchorsAndDrawNumbers)
{
    auto course = MakeCourse(9);
    const int reports = ReportCount();
    for (const CKind& kind : Kinds()) {
        std::unique_ptr<CCourseObject> object = MakeNew(TypeOf(kind), course.get());
        ASSERT_NE(nullptr, object) << kind.typeId;
        EXPECT_EQ(2, object->GetCategory());
        EXPECT_EQ(kind.layer, object->GetLayer()) << kind.typeId;
        EXPECT_EQ(kind.ends, object->GetEnds().size()) << kind.typeId;
        EXPECT_EQ(kind.handles, object->GetEndCount()) << kind.typeId;
        EXPECT_EQ(kind.anchors, object->GetAnchorCount()) << kind.typeId;
        CPoint2 anchor(1.0f, 1.0f);
        object->GetAnchor(anchor, 0);
        EXPECT_TRUE(IsFinite(anchor));
        EXPECT_TRUE(EndsAreFinite(*object)) << kind.typeId;

        // The kinds of fixed size write no record body of their own.
        const bool sized = kind.typeId == 100 || kind.typeId == 70 || kind.typeId == 250 || kind.typeId == 370;
        EXPECT_EQ(sized, !RecordOf(*object).empty()) << kind.typeId;

        auto drawn = DrawBoth(*object);
        EXPECT_GT(drawn->plan.pathPoints, 4) << kind.typeId;
        EXPECT_GT(drawn->model.triangles, 20) << kind.typeId;
        EXPECT_TRUE(BoxWithin(drawn->model.vertexBox, object->Get3DExtent(), 0.05f)) << kind.typeId;
        // Models stand on the ground (leaning legs' edges a little into it).
        EXPECT_NEAR(0.0f, drawn->model.vertexBox.minZ, 5.0f) << kind.typeId;
    }
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(EquipmentKinds, ArchivesOfBothVersionsReadBackTheSameObjects)
{
    for (bool version3 : {false, true}) {
        auto course = MakeCourse(9);
        float x = 1000.0f;
        for (const CKind& kind : Kinds()) {
            // Older files know no barrel and no gate.
            if (version3 && kind.olderId != kind.typeId)
                continue;
            Place(*course, TypeOf(kind), x, 2000.0f + x / 2.0f, 30.0f);
            x += 700.0f;
        }
        std::string bytes;
        course->WriteArchive(bytes, false, version3, true);
        auto loaded = MakeCourse(9);
        ASSERT_TRUE(loaded->LoadArchive(bytes, false, true));
        ASSERT_EQ(course->GetObjectCount(), loaded->GetObjectCount()) << version3;
        auto original = course->GetObjects().begin();
        for (CCourseObject* object : loaded->GetObjects()) {
            EXPECT_EQ((*original)->GetType(), object->GetType());
            EXPECT_EQ(RecordOf(**original), RecordOf(*object)) << object->GetType()->GetTypeId();
            EXPECT_EQ((*original)->GetPosition(), object->GetPosition());
            ++original;
        }
        std::string again;
        loaded->WriteArchive(again, false, version3, true);
        EXPECT_EQ(bytes, again) << version3;
    }
}

TEST_F(EquipmentKinds, FlippedAndMovedTheyStayNumbers)
{
    auto course = MakeCourse(9);
    for (const CKind& kind : Kinds()) {
        CCourseObject* object = Place(*course, TypeOf(kind), 5000.0f, 5000.0f, 20.0f);
        object->Flip();
        object->StartMove(5000.0f, 5000.0f);
        object->Move(6200.0f, 4400.0f);
        object->EndMove();
        object->Invalidate();
        EXPECT_TRUE(EndsAreFinite(*object)) << kind.typeId;
        EXPECT_TRUE(IsFinite(object->GetPosition()));
        DrawBoth(*object);
    }
}

// The table's top, the crawl tunnel's cover, the platform jump's bar and
// the weave guides follow the course's jump height; the drawing key names
// it, so cached drawings are rebuilt.
TEST_F(EquipmentKinds, JumpHeightMovesWhatFollowsIt)
{
    auto course = MakeCourse(1);
    course->SetJumpHeight(240.0f);
    CCourseObject* table = Place(*course, CTable::GetTableType(), 2000.0f, 2000.0f);
    CCourseObject* crawl = Place(*course, CCrawlTunnel::GetCrawlTunnelType(), 4000.0f, 2000.0f);
    CCourseObject* platform = Place(*course, CPlatformJump::GetPlatformJumpType(), 6000.0f, 2000.0f);
    CCourseObject* pauseBox = Place(*course, CPauseBox::GetPauseBoxType(), 8000.0f, 2000.0f);
    CWeavePolesPropertiesDlg guides(course.get());
    guides.MergeBoolOption(true);
    CCourseObject* weave = Place(*course, CWeavePoles::GetWeavePolesType(), 8000.0f, 6000.0f, 0.0f, &guides);
    const std::vector<CCourseObject*> following = {table, crawl, platform, weave};

    std::vector<std::string> keys;
    for (CCourseObject* object : following) {
        object->GetShape3D().UpdateKey();
        keys.push_back(object->GetShape3D().GetKey());
    }
    pauseBox->GetShape3D().UpdateKey();
    const std::string pauseKey = pauseBox->GetShape3D().GetKey();
    const float crawlTop = DrawBoth(*crawl)->model.vertexBox.maxZ;

    course->SetJumpHeight(160.0f);
    for (size_t i = 0; i < following.size(); ++i) {
        following[i]->GetShape3D().UpdateKey();
        EXPECT_NE(keys[i], following[i]->GetShape3D().GetKey()) << i;
    }
    pauseBox->GetShape3D().UpdateKey();
    EXPECT_EQ(pauseKey, pauseBox->GetShape3D().GetKey());

    EXPECT_NEAR(160.0f, DrawBoth(*table)->model.vertexBox.maxZ, 0.01f);
    // The crawl tunnel's frames stand higher than its cover.
    EXPECT_NEAR(crawlTop, DrawBoth(*crawl)->model.vertexBox.maxZ, 0.01f);
    const int frame = platform->GetPartColorIndex(17);
    const auto bars = DrawBoth(*platform)->model.ItemsLike(CStripedBarPart(360.0f, frame, frame, 15.0f));
    ASSERT_EQ(1u, bars.size());
    EXPECT_NEAR(200.0f, bars[0].placement.GetTranslation().z, 0.01f);
    std::unique_ptr<CDrawn> weaveDrawn = DrawBoth(*weave);
    int guidesAtHeight = 0;
    for (const CCountingContext::CItem& item : weaveDrawn->model.items)
        guidesAtHeight += std::fabs(item.placement.GetTranslation().z - 128.0f) < 0.01f ? 1 : 0;
    EXPECT_EQ(dynamic_cast<CWeavePoles*>(weave)->GetPoleCount() - 2, guidesAtHeight);
}

// Damaged records and legacy lines: zero, negative and huge sizes, heights
// above lengths, layouts and pole counts out of range. Every object still
// flips, moves, draws and builds its model in numbers.
TEST_F(EquipmentKinds, DamagedInputLeavesObjectsOfNumbers)
{
    const std::vector<std::string> bodies = {
        std::string(),
        std::string(12, '\0'),
        std::string(12, '\xFF'),
        std::string("\x07\x80\x7F\xFF\x7F\x01\x80\x7F", 8),
        std::string("\x80\x10\x00\xF0\xFF\x02\x10\x00", 8),
    };
    auto course = MakeCourse(9);
    const int reports = ReportCount();
    for (const CKind& kind : Kinds()) {
        for (const std::string& body : bodies) {
            for (int major : {3, 4}) {
                std::unique_ptr<CCourseObject> object = MakeNew(TypeOf(kind), course.get());
                ReadRecord(*object, body, major);
                object->Flip();
                object->StartMove(0.0f, 0.0f);
                object->Move(500.0f, -300.0f);
                object->EndMove();
                EXPECT_TRUE(EndsAreFinite(*object)) << kind.typeId;
                DrawBoth(*object);
            }
        }
    }

    const std::string text =
        "Begin Fendrel\r\nVersion 2000\r\nDimensions 100 80\r\n"
        "DogWalk 10 10 0 0\r\nDogWalk 10 20 0 -99999\r\nDogWalk24Feet 10 30 0 2147483647\r\n"
        "Crossover 30 10 0 7\r\nCrossover3Planks 30 20 0 -1\r\n"
        "SeeSaw 50 10 0 T 30\r\nSeeSaw 50 20 0 T -4\r\nSeeSaw 50 30 0 L 3000000000\r\n"
        "WeavePoles 70 10 0 0 0\r\nWeavePoles 70 20 0 -5 -24\r\nWeavePoles 70 30 0 127 999999\r\n"
        "Table 20 60 0 5\r\nPauseBox 40 60 0\r\nPlatformJump 60 60 0 x\r\nCrawlTunnel 80 60 0\r\n"
        "HoopTunnel 80 40 0 1 2 3\r\nSwayBridge 20 70 0\r\nSwingPlank 40 70 0\r\n"
        "End Fendrel\r\n";
    std::istringstream in(text);
    ASSERT_TRUE(course->ReadTextBlock(in, false));
    EXPECT_EQ(18u, course->GetObjectCount());
    for (CCourseObject* object : course->GetObjects()) {
        object->Flip();
        object->Invalidate();
        EXPECT_TRUE(EndsAreFinite(*object)) << object->GetType()->GetTypeId();
        DrawBoth(*object);
    }
    // Bad input is no fault of the program.
    EXPECT_EQ(reports, ReportCount());
}
