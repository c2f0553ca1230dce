#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseObject.h"
#include "course/PartColors.h"
#include "tests/course/ArchiveTestKinds.h"
#include "tests/course/CourseTestKinds.h"

using namespace coursetest;

namespace {

class CourseNotification : public CCourseFixture
{
protected:
    void SetUp() override
    {
        CCourseFixture::SetUp();
        archivetest::RegisterKinds();
    }
};

// Writes every notification, in order, into one log shared by listeners:
// "<name>:map <layer>", "<name>:3d <layer>", "<name>:settings",
// "<name>:changed". A hook may call back into the course.
class CLogListener : public CCourseListener
{
public:
    CLogListener(std::vector<std::string>& log, const std::string& name = "") : m_log(log), m_name(name) {}

    void OnMapLayerChanged(ESceneLayer layer) override { Seen("map " + std::to_string(int(layer))); }
    void On3DLayerChanged(ESceneLayer layer) override { Seen("3d " + std::to_string(int(layer))); }
    void OnCourseSettingsChanged() override { Seen("settings"); }
    void OnCourseChanged() override { Seen("changed"); }

    std::function<void(const std::string&)> hook;

private:
    void Seen(const std::string& what)
    {
        m_log.push_back(m_name.empty() ? what : m_name + ":" + what);
        if (hook)
            hook(what);
    }

    std::vector<std::string>& m_log;
    std::string m_name;
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(CourseNotification, WithoutListenersNothingIsTold)
{
    CCourse course(L"Notify", L"");
    course.OnMapLayerChanged(ESceneLayer::kObjects);
    course.On3DLayerChanged(ESceneLayer::kObjects);
    course.OnCourseSettingsChanged();
    course.OnCourseChanged();
    EXPECT_FALSE(course.IsBroadcasting());
}

TEST_F(CourseNotification, CoordinateMarksAreLayerThreeOfTheMapThenOfThe3DScene)
{
    CCourse course(L"Notify", L"");
    Log log;
    CLogListener listener(log);
    course.AddListener(&listener);
    course.SetShowObsCoords(true);
    log.clear();
    course.UpdateCoordinateMarks();
    EXPECT_EQ(Log({"map 3", "3d 3"}), log);

    // A listener that rebuilds at once finds the marks it is told of.
    course.AddMarkedPoint(CPoint2(500.0f, 600.0f));
    std::vector<size_t> seen;
    listener.hook = [&](const std::string&) { seen.push_back(course.GetCoordinateMarks()->size()); };
    course.UpdateCoordinateMarks();
    EXPECT_EQ(std::vector<size_t>({1u, 1u}), seen);
    seen.clear();
    course.SetShowObsCoords(false);
    EXPECT_EQ(0u, seen.front());
    course.RemoveListener(&listener);
}

TEST_F(CourseNotification, ASelectionFlagChangeIsLayerFour)
{
    CCourse course(L"Notify", L"");
    CTestObject* object = Place(course, 1000.0f, 1000.0f);
    Log log;
    CLogListener listener(log);
    course.AddListener(&listener);
    object->SetSelected(true);
    EXPECT_EQ(Log({"map 4", "3d 4"}), log);
    log.clear();
    object->SetSelected(true);
    EXPECT_TRUE(log.empty());
    course.RemoveListener(&listener);
}

TEST_F(CourseNotification, SettersTellThatTheSettingsChanged)
{
    CCourse course(L"Notify", L"");
    Log log;
    CLogListener listener(log);
    course.AddListener(&listener);
    course.SetBackground(1);
    EXPECT_EQ(Log({"settings"}), log);
    log.clear();
    course.SetViewSize(640.0f, 480.0f);
    course.SetViewCamera(CViewCamera(false));
    EXPECT_EQ(Log({"settings", "settings"}), log);
    log.clear();
    course.SetTitle(L"Renamed", L"");
    course.SetSelectionColors(CPartColorSet());
    EXPECT_TRUE(log.empty());
    course.RemoveListener(&listener);
    course.SetMotion(0);
}

TEST_F(CourseNotification, DeletingASelectedObjectClearsItsLayers)
{
    CCourse course(L"Notify", L"");
    CTestObject* object = Place(course, 1000.0f, 1000.0f);
    object->SetSelected(true);
    Log log;
    CLogListener listener(log);
    course.AddListener(&listener);
    course.DeleteSelected();
    EXPECT_EQ(Log({"map 2", "3d 2", "map 4", "3d 4"}), log);
    course.RemoveListener(&listener);
}

TEST_F(CourseNotification, LoadingEndsWithTheSettings)
{
    CCourse source(L"Source", L"");
    archivetest::PlaceRecord(source, 1000.0f, 1000.0f, 0.0f, 3, L"x");
    const std::string archive = coursetest::ArchiveOf(source);
    CCourse course(L"Notify", L"");
    Log log;
    CLogListener listener(log);
    course.AddListener(&listener);
    ASSERT_TRUE(course.LoadArchive(archive, false, true));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ("settings", log.back());
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "map 2"));
    course.RemoveListener(&listener);
}

TEST_F(CourseNotification, UndoTellsWhatItReplaced)
{
    CCourse course(L"Notify", L"");
    course.CommitUndoStep(L"Empty");
    archivetest::PlaceRecord(course, 1000.0f, 1000.0f, 0.0f, 3, L"x");
    course.CommitUndoStep(L"Place");
    Log log;
    CLogListener listener(log);
    course.AddListener(&listener);
    ASSERT_TRUE(course.Undo());
    // The object goes (selected first), the empty course is loaded.
    EXPECT_EQ(Log({"map 4", "3d 4", "map 2", "3d 2", "map 4", "3d 4", "settings"}), log);
    course.RemoveListener(&listener);
}

TEST_F(CourseNotification, ListenersAreToldInAddressOrder)
{
    CCourse course(L"Notify", L"");
    Log log;
    std::vector<std::unique_ptr<CLogListener>> listeners;
    for (const char* name : {"a", "b", "c"})
        listeners.push_back(std::make_unique<CLogListener>(log, name));
    for (auto& listener : listeners)
        course.AddListener(listener.get());
    course.OnCourseChanged();
    std::vector<CLogListener*> byAddress;
    for (auto& listener : listeners)
        byAddress.push_back(listener.get());
    std::sort(byAddress.begin(), byAddress.end());
    Log expected;
    for (CLogListener* listener : byAddress) {
        const size_t index = size_t(std::find_if(listeners.begin(), listeners.end(),
                                                  [&](const auto& p) { return p.get() == listener; }) -
                                    listeners.begin());
        expected.push_back(std::string(1, char('a' + index)) + ":changed");
    }
    EXPECT_EQ(expected, log);
    for (auto& listener : listeners)
        course.RemoveListener(listener.get());
}

TEST_F(CourseNotification, NestedBroadcastsKeepTheFlagUntilTheOutermostEnds)
{
    CCourse course(L"Notify", L"");
    Log log;
    CLogListener listener(log);
    std::vector<bool> broadcasting;
    listener.hook = [&](const std::string& what) {
        broadcasting.push_back(course.IsBroadcasting());
        if (what == "map 2") {
            course.OnCourseSettingsChanged();
            broadcasting.push_back(course.IsBroadcasting());
            course.OnCourseChanged();
            broadcasting.push_back(course.IsBroadcasting());
        }
    };
    course.AddListener(&listener);
    course.OnMapLayerChanged(ESceneLayer::kObjects);
    EXPECT_EQ(Log({"map 2", "settings", "changed"}), log);
    EXPECT_EQ(std::vector<bool>({true, true, true, true, true}), broadcasting);
    EXPECT_FALSE(course.IsBroadcasting());
    // Told on its own, a finished command is no broadcast.
    broadcasting.clear();
    course.OnCourseChanged();
    EXPECT_EQ(std::vector<bool>{false}, broadcasting);
    course.RemoveListener(&listener);
}

TEST_F(CourseNotification, AListenerCannotStartOrEndAMotion)
{
    CCourse course(L"Notify", L"");
    Log log;
    CLogListener listener(log);
    int request = 0;
    listener.hook = [&](const std::string&) { course.SetMotion(request); };
    course.AddListener(&listener);

    request = 1;
    course.OnMapLayerChanged(ESceneLayer::kObjects);
    EXPECT_EQ(0, course.GetMotion());

    listener.hook = nullptr;
    course.SetMotion(1);
    listener.hook = [&](const std::string&) { course.SetMotion(request); };
    request = 0;
    course.On3DLayerChanged(ESceneLayer::kObjects);
    course.OnCourseSettingsChanged();
    EXPECT_EQ(1, course.GetMotion());
    EXPECT_EQ(0u, course.GetUndoHistory().GetEntryCount());
    request = 2;
    course.OnMapLayerChanged(ESceneLayer::kObjects);
    EXPECT_EQ(1, course.GetMotion());

    course.RemoveListener(&listener);
    course.SetMotion(0);
    EXPECT_EQ(1u, course.GetUndoHistory().GetEntryCount());
}
