#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/ObjectType.h"
#include "course/SpecList.h"
#include "dialogs/LengthFormat.h"
#include "dialogs/ObjectPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/Strings.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/UnusableArea.h"
#include "objects/equipment/Crossover.h"
#include "objects/equipment/DogWalk.h"
#include "objects/equipment/SeeSaw.h"
#include "objects/equipment/WeavePoles.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/app/ProgramProcess.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSupport.h"

// The equipment kinds in the real program under Wine: placed from the shape
// toolbar, saved in both formats, reopened, pasted as legacy text and
// summed up in the text summary.

using namespace programtest;

namespace {

constexpr int kUKC = 5;
constexpr int kOrganisation9 = 9;

// The buttons of the kinds each rule set admits, and their type ids.
struct CKindButton
{
    int button;
    int typeId;
    // The kind edits on creation with a window of its own: its button opens
    // the window, whose OK places with the values shown.
    bool opensWindow = false;
};

const std::vector<CKindButton> kUKCKinds = {
    {2544, 100}, {2584, 250}, {2590, 280}, {2592, 290}, {2610, 370, true}, {2594, 300}, {2578, 220}, {2550, 120}, {2528, 25},
};
const std::vector<CKindButton> kOrganisation9Kinds = {{2538, 70, true}, {2582, 240}, {2546, 113}, {2536, 60}};

std::vector<int> TypeIdsOf(const CCourse& course)
{
    std::vector<int> ids;
    for (const CCourseObject* object : course.GetObjects())
        ids.push_back(object->GetType()->GetTypeId());
    std::sort(ids.begin(), ids.end());
    return ids;
}

// Places each kind from its button at its own spot of a 3 by 3 grid of the
// view.
void PlaceKinds(const CProgramProcess& program, const CWindowParts& parts, const std::vector<CKindButton>& kinds,
                int organisation)
{
    for (size_t i = 0; i < kinds.size(); ++i) {
        Click(ShapeButton(parts, kinds[i].button, organisation));
        if (kinds[i].opensWindow) {
            const std::vector<HWND> dialogs = program.WaitForWindows(L"#32770", 1, kWait);
            ASSERT_EQ(1u, dialogs.size()) << kinds[i].typeId;
            PressDialogButton(dialogs[0], IDOK);
            ASSERT_TRUE(WaitUntilGone(dialogs[0])) << kinds[i].typeId;
        }
        Click(ViewPoint(parts, 0.2f + 0.3f * float(i % 3), 0.2f + 0.3f * float(i / 3)));
    }
}

// A course file written here, with its objects made by their kinds' own
// dialogs.
std::wstring WriteCourseFile(const std::wstring& folder, const std::wstring& name, int organisation, bool metric,
                             const std::vector<int>& typeIds)
{
    filetest::OpenFileTestSettings();
    CCourse course(name, L"");
    course.SetSpecList(organisation);
    course.SetMetric(metric);
    course.SetSize(14400.0f, 12000.0f);
    for (size_t i = 0; i < typeIds.size(); ++i) {
        const CObjectType* type = FindObjectTypeById(typeIds[i]);
        std::unique_ptr<CEditSession> dialog = type->CreatePropertiesDialog(&course, type->GetNameTextId());
        CTransform placement;
        placement.SetPosition2D(2400.0f + 3600.0f * float(i % 3), 2400.0f + 3600.0f * float(i / 3));
        course.AddObject(type->CreateNew(&course, placement, dialog.get()));
    }
    const std::wstring path = folder + L"\\" + name;
    filetest::WriteBytes(path, filetest::TextBlockOf(course));
    DeleteTestSettingsKey();
    return path;
}

void CloseUnmodified(CProgramProcess& program)
{
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

}  // namespace

TEST(EquipmentProgram, EachKindIsPlacedFromItsButtonSavedAndReopened)
{
    const struct {
        int organisation;
        const std::vector<CKindButton>* kinds;
        const wchar_t* name;
    } runs[] = {{kUKC, &kUKCKinds, L"UKC"}, {kOrganisation9, &kOrganisation9Kinds, L"Org9"}};
    for (const auto& run : runs) {
        PrepareProgramSettings(run.organisation);
        const std::wstring folder = MakeTempFolder(std::wstring(L"kinds-") + run.name);
        const std::wstring path = WriteEmptyCourseFile(folder, std::wstring(run.name) + L".agl");
        std::vector<int> expected;
        for (const CKindButton& kind : *run.kinds)
            expected.push_back(kind.typeId);
        std::sort(expected.begin(), expected.end());

        CProgramProcess program;
        const std::wstring caption = Caption(std::wstring(run.name) + L".agl");
        HWND frame = StartAndWaitUntilReady(program, Quoted(path), caption);
        ASSERT_TRUE(frame);
        const CWindowParts parts = FindParts(frame);
        ASSERT_TRUE(parts.found);
        PlaceKinds(program, parts, *run.kinds, run.organisation);
        CCourse saved(L"", L"");
        ASSERT_TRUE(SaveAndReadBack(path, saved));
        EXPECT_EQ(expected, TypeIdsOf(saved)) << run.organisation;
        PumpMessagesFor(300);
        EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(std::wstring(L"program-kinds-") + run.name + L".png")));
        CloseUnmodified(program);

        // Reopened, the program holds the same objects: copied whole, they
        // are what the file holds.
        CProgramProcess again;
        frame = StartAndWaitUntilReady(again, Quoted(path), caption);
        ASSERT_TRUE(frame);
        PumpMessagesFor(300);
        EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(std::wstring(L"program-kinds-reopened-") + run.name + L".png")));
        CCourse copied(L"", L"");
        ASSERT_TRUE(CopyWholeCourse(frame, copied));
        EXPECT_EQ(RecordsOf(saved), RecordsOf(copied)) << run.organisation;
        CloseUnmodified(again);
    }
}

TEST(EquipmentProgram, SaveAsInTheOlderFormatReopensWithTheSameObjects)
{
    PrepareProgramSettings(kUKC);
    const std::wstring folder = MakeTempFolder(L"kinds-older");
    // The older format has no barrel and no gate: it stores the barrel as
    // an obstacle number and the gate as an unusable area.
    const std::wstring path =
        WriteCourseFile(folder, L"Current.agl", kUKC, false, {100, 250, 280, 290, 370, 300, 220, 120, 25, 113});
    const std::wstring older = folder + L"\\Older.agl";
    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(L"Current.agl"));
    ASSERT_TRUE(frame);
    PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2075, 0), 0);
    const std::vector<HWND> dialogs = program.WaitForWindows(L"#32770", 1, kWait);
    ASSERT_FALSE(dialogs.empty());
    const HWND dialog = dialogs.front();
    // The list of formats: the current one, four pictures, EPS, the summary,
    // the older one.
    HWND formats = nullptr;
    for (const CDialogChild& child : ListDialogChildren(dialog))
        if (child.className == L"ComboBox" && SendMessageW(child.window, CB_GETCOUNT, 0, 0) == 8)
            formats = child.window;
    ASSERT_TRUE(formats);
    // The system dialog takes the choice when the list closes on it.
    ChooseComboItem(formats, 7);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(formats), CBN_SELENDOK), LPARAM(formats));
    ASSERT_TRUE(ChooseFileName(dialog, older));
    const DWORD start = GetTickCount();
    while (!FileExists(older) && GetTickCount() - start < kWait)
        PumpMessagesFor(50);
    PumpMessagesFor(500);
    ASSERT_NE(std::string::npos, ReadWholeFile(older).find("Version 3"));

    CCourse current(L"", L"");
    CCourse reopened(L"", L"");
    ASSERT_TRUE(ReadCourseFile(path, current));
    ASSERT_TRUE(ReadCourseFile(older, reopened));
    // Selects the objects of the kind and gives them.
    const auto select = [](CCourse& course, std::initializer_list<int> typeIds) {
        std::vector<CCourseObject*> selected;
        for (CCourseObject* object : course.GetObjects()) {
            const int id = object->GetType()->GetTypeId();
            object->SetSelected(std::find(typeIds.begin(), typeIds.end(), id) != typeIds.end());
            if (object->IsSelected())
                selected.push_back(object);
        }
        return selected;
    };
    const CPoint2 barrel = select(current, {25}).at(0)->GetPosition();
    const CPoint2 gate = select(current, {113}).at(0)->GetPosition();
    const std::vector<CCourseObject*> numbers = select(reopened, {190});
    ASSERT_EQ(1u, numbers.size());
    EXPECT_EQ(barrel, numbers[0]->GetPosition());
    EXPECT_EQ(L"", static_cast<const CObsNum*>(numbers[0])->GetText());
    const std::vector<CCourseObject*> areas = select(reopened, {350});
    ASSERT_EQ(1u, areas.size());
    EXPECT_EQ(gate, areas[0]->GetPosition());
    const CUnusableArea* area = static_cast<const CUnusableArea*>(areas[0]);
    EXPECT_EQ(CPoint2(480.0f, 120.0f), area->GetCorner(2) - area->GetCorner(0));
    // Every other object reopens as it was.
    select(current, {25, 113});
    current.DeleteSelected();
    select(reopened, {190, 350});
    reopened.DeleteSelected();
    EXPECT_EQ(8u, reopened.GetObjectCount());
    EXPECT_EQ(RecordsOf(current), RecordsOf(reopened));

    // The older file lost details, so the course counts as changed: its
    // caption says so and closing asks.
    EXPECT_TRUE(program.WaitForCaption(L"Current.agl * - " + GetString(2001), kWait));
    PostMessageW(frame, WM_CLOSE, 0, 0);
    const HWND box = program.WaitForMessageBox(kWait);
    ASSERT_TRUE(box);
    EXPECT_EQ(GetStringWithArg(2698, L"Current.agl"), CProgramProcess::GetMessageBoxText(box));
    PressDialogButton(box, IDNO);
    EXPECT_EQ(0, program.WaitForExit(kWait));
}

TEST(EquipmentProgram, LegacyLinesPastedAsText)
{
    PrepareProgramSettings(1);
    const std::wstring folder = MakeTempFolder(L"kinds-legacy");
    std::wstring path;
    CProgramProcess program;
    const HWND frame = StartWithEmptyCourse(program, folder, L"Legacy.agl", path);
    ASSERT_TRUE(frame);
    PutTextOnClipboard(
        "Begin Fendrel\r\nVersion 2000\r\nDimensions 120 100\r\n"
        "DogWalk 20 10 0 416\r\nDogWalk 20 30 0 274\r\nDogWalk 20 50 0\r\n"
        "SeeSaw 60 10 0 T 30\r\nCrossover 60 40 0 7\r\nWeavePoles 90 20 0 12 24\r\n"
        "End Fendrel\r\n");
    Click(ViewPoint(FindParts(frame), 0.95f, 0.95f));
    cwtest::KeyPress('V', true);
    ASSERT_TRUE(program.WaitForCaption(Caption(L"Legacy.agl *"), kWait));
    CCourse pasted(L"", L"");
    ASSERT_TRUE(SaveAndReadBack(path, pasted));
    std::vector<const CCourseObject*> objects(pasted.GetObjects().begin(), pasted.GetObjects().end());
    ASSERT_EQ(6u, objects.size());
    std::vector<std::vector<float>> walks;
    const CSeeSaw* seeSaw = nullptr;
    const CCrossover* crossover = nullptr;
    const CWeavePoles* poles = nullptr;
    for (const CCourseObject* object : objects) {
        if (auto* walk = dynamic_cast<const CDogWalk*>(object))
            walks.push_back({walk->GetPlankLength(), walk->GetHeight()});
        seeSaw = seeSaw ? seeSaw : dynamic_cast<const CSeeSaw*>(object);
        crossover = crossover ? crossover : dynamic_cast<const CCrossover*>(object);
        poles = poles ? poles : dynamic_cast<const CWeavePoles*>(object);
    }
    std::sort(walks.begin(), walks.end());
    EXPECT_EQ((std::vector<std::vector<float>>{{960.0f, 360.0f}, {1440.0f, 480.0f}, {1440.0f, 480.0f}}), walks);
    ASSERT_TRUE(seeSaw && crossover && poles);
    EXPECT_EQ(300.0f, seeSaw->GetPlankLength());
    EXPECT_EQ(CSeeSaw::EStyle::kTipped, seeSaw->GetStyle());
    EXPECT_EQ(ESideLayout::kFour, crossover->GetLayout());
    // The even row stands half a spacing along from its listed spot.
    EXPECT_EQ(CPoint2(90.0f * 120.0f + 120.0f, 12000.0f - 20.0f * 120.0f), poles->GetPosition());
    PumpMessagesFor(300);
    EXPECT_TRUE(SaveScreenPicture(frame, GetTestArtefactPath(L"program-kinds-legacy.png")));
    CloseUnmodified(program);
}

TEST(EquipmentProgram, SummaryGivesTheDogWalkAndWeavePoleSizes)
{
    PrepareProgramSettings(1);
    const std::wstring folder = MakeTempFolder(L"kinds-summary");
    for (bool metric : {false, true}) {
        const std::wstring name = metric ? L"Metric.agl" : L"US.agl";
        const std::wstring path = WriteCourseFile(folder, name, 1, metric, {100, 370});
        CCourse course(L"", L"");
        ASSERT_TRUE(ReadCourseFile(path, course));
        CProgramProcess program;
        const HWND frame = StartAndWaitUntilReady(program, Quoted(path), Caption(name));
        ASSERT_TRUE(frame);
        EmptyTheClipboard();
        PostMessageW(frame, WM_COMMAND, MAKEWPARAM(2116, 0), 0);
        ASSERT_TRUE(WaitForClipboard(CF_UNICODETEXT));
        const std::wstring summary = ReadClipboardUnicode();
        const CSpecList& rules = course.GetSpecList();
        const std::wstring walk = rules.GetTerm(2544) + L", " +
                                  GetStringWithArg(2039, FormatLength(1440.0f, GetSizeUnitKind(metric), true));
        const std::wstring poles =
            rules.GetTerm(2610) + L", " +
            GetStringWith2Args(2041, std::to_wstring(rules.GetWeavePoleCount()),
                               FormatLength(rules.GetMeasure18(), metric ? EUnitKind::kCentimetres : EUnitKind::kInches,
                                            true));
        EXPECT_NE(std::wstring::npos, summary.find(L"  1 " + walk + L"\r\n")) << summary;
        EXPECT_NE(std::wstring::npos, summary.find(L"  1 " + poles + L"\r\n")) << summary;
        CloseUnmodified(program);
    }
}
