#include <gtest/gtest.h>

#include <windows.h>

#include "app/CourseImageDlg.h"
#include "app/CourseSaveDlg.h"
#include "course/Course.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"

using namespace filetest;

namespace {

class CourseImageDlg : public testing::Test
{
protected:
    void SetUp() override { OpenFileTestSettings(); }
    void TearDown() override { DeleteTestSettingsKey(); }
};

// A course of the size in feet with three A-frames, using the 3D camera
// (shown flat) when asked.
std::unique_ptr<CFakeFileWindow> MakeWindow(float widthFeet, float heightFeet, bool camera3D = false)
{
    std::unique_ptr<CCourse> course = MakeCourseWithAFrames(L"Pictured", L"");
    course->SetSize(widthFeet * 120.0f, heightFeet * 120.0f);
    course->Set3DCamera(camera3D);
    return std::make_unique<CFakeFileWindow>(std::move(course));
}

std::wstring Size(const CCourseImageDlg& dialog)
{
    return dialog.widthField.GetText() + L"x" + dialog.heightField.GetText();
}

// The dialog of the chosen file driven with OK; the text of the message
// that came after it, if one did.
std::wstring ExportDriven(CCourseSaveDlg& saveDialog)
{
    std::wstring message;
    CDialogWatcherPause pause;
    EXPECT_TRUE(RunModalDriven([&] { RunCourseImageExport(saveDialog, L"FileEPS"); }, [&](HWND dialog) {
        PressDialogButton(dialog, IDOK);
        WaitUntilGone(dialog);
        if (const HWND box = WaitForDialog(1000)) {
            message = GetWindowTextString(GetDlgItem(box, 0xFFFF));
            PressDialogButton(box, IDOK);
        }
    }));
    return message;
}

}  // namespace

// The whole map at the remembered scale (750 pixels for 100 feet unless
// stored; the ring grown by 10 all round), the view's size for the current
// view, which EPS, GIF and a flat course never offer.
TEST_F(CourseImageDlg, ProposalsFollowTheScaleTheChoiceAndTheFormat)
{
    struct CRow
    {
        float widthFeet, heightFeet;
        bool camera3D;
        const wchar_t* file;
        int dist, units;
        const wchar_t* size;
        int step;
    } rows[] = {
        {100.0f, 50.0f, false, nullptr, 0, 0, L"751x376", 20},
        {50.0f, 100.0f, false, nullptr, 0, 0, L"376x751", 20},
        // A stored scale not above 0 takes the default: nothing divides by 0.
        {100.0f, 50.0f, false, nullptr, 0, -3, L"751x376", 20},
        // Cut to the largest edge, the other side in proportion.
        {250.0f, 20.0f, false, nullptr, 6000, 1500, L"5000x403", 20},
        {100.0f, 50.0f, true, L"map.png", 0, 0, L"640x480", 20},
        {100.0f, 50.0f, false, L"map.png", 0, 0, L"751x376", 20},
        {100.0f, 50.0f, true, L"map.gif", 0, 0, L"751x376", 20},
        {100.0f, 50.0f, true, L"map.eps", 0, 0, L"751x376", 12},
    };
    for (const CRow& row : rows) {
        OpenFileTestSettings();
        if (row.dist != 0 || row.units != 0) {
            CSettings::SetInt(L"FileCourseDist", row.dist);
            CSettings::SetInt(L"FileImageUnits", row.units);
        }
        std::unique_ptr<CFakeFileWindow> window = MakeWindow(row.widthFeet, row.heightFeet, row.camera3D);
        CCourseSaveDlg saveDialog(*window, 640.0f, 480.0f);
        saveDialog.chosenPath = row.file ? row.file : L"";
        CCourseSaveDlg* const save = row.file ? &saveDialog : nullptr;
        // The current view chosen last time.
        CSettings::SetInt(CCourseImageDlg(L"File", *window->GetCourse(), 640, 480, save).GetWholeMapValueName(), 0);
        const CCourseImageDlg dialog(L"File", *window->GetCourse(), 640.0f, 480.0f, save);
        EXPECT_EQ(row.size, Size(dialog)) << row.widthFeet << " " << (row.file ? row.file : L"");
        EXPECT_EQ(row.step, dialog.heightField.step);
        EXPECT_EQ(row.step, dialog.widthField.min);
    }
}

TEST_F(CourseImageDlg, TheCurrentViewKeepsTheViewsProportionOnlyWhileAskedTo)
{
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(100.0f, 50.0f, true);
    CCourse& course = *window->GetCourse();
    const int reports = ReportCount();
    // A width typed; the view camera without a size has no proportion
    // (nothing divides by 0).
    const struct
    {
        float cameraWidth, cameraHeight;
        bool keep;
        const wchar_t* size;
    } rows[] = {{0.0f, 0.0f, true, L"400x480"}, {800.0f, 400.0f, true, L"400x200"}, {800.0f, 400.0f, false, L"400x480"}};
    for (const auto& row : rows) {
        course.SetViewSize(row.cameraWidth, row.cameraHeight);
        CSettings::SetInt(CCourseImageDlg(L"Test", course, 640.0f, 480.0f, nullptr).GetWholeMapValueName(), 0);
        CCourseImageDlg dialog(L"Test", course, 640.0f, 480.0f, nullptr);
        dialog.keepAspectBox.SetChecked(row.keep);
        dialog.widthField.SetText(L"400");
        dialog.UpdateOtherSide(true);
        EXPECT_EQ(row.size, Size(dialog));
    }
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(CourseImageDlg, AFailedExportKeepsTheOldFileAndStopsTheClose)
{
    const std::wstring folder = MakeTempFolder(L"image-export");
    const std::wstring path = folder + L"\\Map.eps";
    WriteBytes(path, "the file before");
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(100.0f, 50.0f);
    window->closing = true;
    // Held open without sharing by someone else.
    const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    {
        CCourseSaveDlg saveDialog(*window, 640.0f, 480.0f);
        saveDialog.chosenPath = path;
        EXPECT_EQ(GetStringWithArg(2689, path), ExportDriven(saveDialog));
    }
    CloseHandle(held);
    EXPECT_EQ("the file before", ReadWholeFile(path));
    EXPECT_FALSE(window->closing);
    EXPECT_EQ(0, window->requestCloseCount);
    EXPECT_EQ(751, CSettings::GetInt(L"FileEPSImageUnits", 0));

    // JPEG, not offered by the save dialog, through its codec all the same.
    const CImageCodec* jpeg = GetImageCodec(2);
    ASSERT_TRUE(WriteCourseImageFile(*window->GetCourse(), folder + L"\\Map.jpg", jpeg, true, 751, 376));
    EXPECT_EQ(0u, ReadWholeFile(folder + L"\\Map.jpg").find("\xFF\xD8\xFF"));
    const std::unique_ptr<CPixelBitmap> read = jpeg->LoadFile(folder + L"\\Map.jpg");
    ASSERT_TRUE(read);
    EXPECT_EQ(751 * 376, read->GetPixelWidth() * read->GetPixelHeight());
    EXPECT_EQ((std::vector<std::wstring>{L"Map.eps", L"Map.jpg"}), ListFolder(folder));
}
