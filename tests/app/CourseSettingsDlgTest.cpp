#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/BaselineDlg.h"
#include "app/CameraDlg.h"
#include "app/CourseImageDlg.h"
#include "app/CourseSizeDlg.h"
#include "app/JumpSettingsDlg.h"
#include "course/Course.h"
#include "dialogs/ConfirmCourseSize.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

class CourseSettingsDlg : public CCourseSettingsTest
{
protected:
    void SetUp() override
    {
        CCourseSettingsTest::SetUp();
        CDialogWatcher::TakeAnsweredTexts();
    }

    // Runs the dialog; `drive` fills it in. OK is pressed, and when a
    // message answers it the dialog is cancelled: the message, or empty.
    std::wstring RunWithOk(CDialog& dialog, const std::function<void(HWND)>& drive)
    {
        dialog.selfDeleting = false;
        std::wstring message;
        EXPECT_TRUE(RunModalDriven([&] { dialog.DoModal(); }, [&](HWND window) {
            drive(window);
            PressDialogButton(window, IDOK);
            if (WaitUntilGone(window, 1500))
                return;
            const std::vector<std::wstring> texts = WaitForAnsweredTexts(1);
            message = texts.empty() ? L"(stayed without a message)" : texts[0];
            PressDialogButton(window, IDCANCEL);
        }));
        return message;
    }

    CCourse course{L"Settings", L""};
};

std::wstring StartOf(int textId)
{
    const std::wstring text = GetString(textId);
    return text.substr(0, text.find(L"%1"));
}

}  // namespace

TEST_F(CourseSettingsDlg, TheCourseStaysWithin250FeetOrItsMetricLimit)
{
    const struct
    {
        bool metric;
        bool surround;              // the surround dialog, else the ring size
        std::vector<std::wstring> typed;
        std::wstring message;
        float width;                // the ring or left margin after it
    } cases[] = {
        {false, false, {L"250 ft", L"250 ft"}, L"", 30000.0f},
        {false, true, {L"0", L"0", L"1 ft", L"0"}, GetStringWithArg(2679, L"250 ft"), 0.0f},
        {false, true, {L"1 ft", L"0", L"0", L"0"}, GetStringWithArg(2678, L"250 ft"), 0.0f},
        {true, false, {L"75 m", L"75 m"}, L"", 29528.0f},
        {true, true, {L"0", L"0", L"2 m", L"0"}, GetStringWithArg(2679, L"76 m"), 0.0f},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::Message() << test.metric << test.surround << test.typed[0].c_str());
        course.SetMetric(test.metric);
        std::unique_ptr<CDialog> dialog;
        if (test.surround)
            dialog = std::make_unique<CCourseSizeDlg>(&course);
        else
            dialog = std::make_unique<CCourseSizeSimpleDlg>(&course);
        const std::wstring message = RunWithOk(*dialog, [&](HWND window) {
            const std::vector<HWND> edits = FindEditControls(window);
            ASSERT_EQ(test.typed.size(), edits.size());
            for (size_t i = 0; i < edits.size(); ++i)
                TypeIntoEdit(edits[i], test.typed[i]);
        });
        EXPECT_EQ(test.message, message);
        const float width = test.surround ? course.GetMargin(CCourse::kMarginLowX) : course.GetWidth();
        EXPECT_NEAR(test.width, width, 1.0f);
    }
    // The metric limit shown is rounded down: 76.1 m is still within it.
    EXPECT_TRUE(ConfirmCourseSize(true, 29961.0f, 29961.0f));
    EXPECT_TRUE(CDialogWatcher::TakeAnsweredTexts().empty());
}

TEST_F(CourseSettingsDlg, GridSpacingIsWholeFeetOrMetresAndAtLeastOne)
{
    const struct
    {
        bool metric;
        const wchar_t* typed;
        std::wstring message;
        int stored;   // "UsGridSpacing" or "MetricGridSpacing"; 0 unset
    } cases[] = {
        {false, L"15 ft", L"", 15},
        {false, L"15 ft 6 in", GetString(2692), 0},
        {false, L"0", StartOf(2688), 0},
        {true, L"1 m", L"", 1},
        {true, L"1.05 m", GetString(2693), 0},
        {true, L"0", StartOf(2688), 0},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.typed);
        OpenCourseTestSettings();
        course.SetMetric(test.metric);
        CBaselineDlg dialog(&course);
        const std::wstring message =
            RunWithOk(dialog, [&](HWND window) { TypeIntoEdit(FindEditControls(window).back(), test.typed); });
        EXPECT_EQ(test.message, message.substr(0, test.message.size()));
        EXPECT_EQ(test.message.empty(), message.empty());
        const wchar_t* name = test.metric ? L"MetricGridSpacing" : L"UsGridSpacing";
        EXPECT_EQ(test.stored, CSettings::GetInt(name, 0));
    }
}

// The whole-course kind shows the camera's fitted eye and leaves it to the
// camera: OK keeps mode 2, from a free camera as from a whole-course one.
TEST_F(CourseSettingsDlg, TheWholeCourseCameraFillsAndDisablesTheEyeAndKeepsItsMode)
{
    for (const bool startFree : {true, false}) {
        SCOPED_TRACE(startFree);
        course.GetCurrentCamera().FitWholeCourse(false);
        if (startFree)
            course.GetCurrentCamera().SetEyePosition(CVector3(6000.0f, -4000.0f, 2400.0f));
        CCameraDlg dialog(&course, 640.0f, 480.0f);
        std::vector<std::wstring> before;
        std::vector<std::wstring> after;
        std::vector<bool> enabled;
        const std::wstring message = RunWithOk(dialog, [&](HWND window) {
            const HWND kind = FindWindowExW(window, nullptr, L"ComboBox", nullptr);
            const std::vector<HWND> edits = FindEditControls(window);
            ASSERT_EQ(5u, edits.size());
            for (int i = 0; i < 3; ++i)
                before.push_back(GetCaptionText(edits[size_t(i)]));
            ChooseComboItem(kind, 1);
            for (int i = 0; i < 3; ++i) {
                after.push_back(GetCaptionText(edits[size_t(i)]));
                enabled.push_back(IsWindowEnabled(edits[size_t(i)]) != FALSE);
            }
        });
        EXPECT_EQ(L"", message);
        EXPECT_EQ(std::vector<bool>(3, false), enabled);
        EXPECT_EQ(startFree, before != after);
        EXPECT_EQ(CViewCamera::kWholeCourse, course.GetCurrentCamera().GetMode());
    }
}

// An emptied number or length field of a settings dialog is refused with
// its range, as a value out of range is, and the dialog stays open; also
// where 0 lies in the range (the space around the ring).
TEST_F(CourseSettingsDlg, EveryFieldRefusesAnEmptyEntry)
{
    const struct
    {
        std::function<std::unique_ptr<CDialog>()> make;
        size_t fields;
        bool freeCamera;   // the camera's free kind, which takes every field
    } dialogs[] = {
        {[&] { return std::make_unique<CCourseSizeSimpleDlg>(&course); }, 2, false},
        {[&] { return std::make_unique<CCourseSizeDlg>(&course); }, 4, false},
        {[&] { return std::make_unique<CBaselineDlg>(&course); }, 1, false},
        {[&] { return std::make_unique<CJumpSettingsDlg>(&course); }, 2, false},
        {[&] { return std::make_unique<CCameraDlg>(&course, 640.0f, 480.0f); }, 5, true},
        {[&] { return std::make_unique<CCourseImageDlg>(L"Test", course, 640.0f, 480.0f, nullptr); }, 2, false},
    };
    const std::wstring range = StartOf(2688);
    for (const auto& entry : dialogs) {
        std::unique_ptr<CDialog> dialog = entry.make();
        SCOPED_TRACE(testing::Message() << typeid(*dialog).name());
        dialog->selfDeleting = false;
        std::vector<std::wstring> refused;
        EXPECT_TRUE(RunModalDriven([&] { dialog->DoModal(); }, [&](HWND window) {
            if (entry.freeCamera)
                ChooseComboItem(FindWindowExW(window, nullptr, L"ComboBox", nullptr), CCameraDlg::kFree);
            refused = EmptyEachEditAndPressOk(window, range.size());
            PressDialogButton(window, IDCANCEL);
        }));
        EXPECT_EQ(std::vector<std::wstring>(entry.fields, range), refused);
    }
}
