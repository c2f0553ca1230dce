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

// An untitled course of the size in feet with three A-frames; the view
// camera used (shown in 2D) when asked.
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

// The dialog of the save dialog's chosen file, driven: OK, then the
// message box of a file that could not be written answered. Its text, if
// one came.
std::wstring ExportDriven(CCourseSaveDlg& saveDialog, const std::wstring& settingsName)
{
    std::wstring message;
    CDialogWatcherPause pause;
    EXPECT_TRUE(RunModalDriven([&] { RunCourseImageExport(saveDialog, settingsName); }, [&](HWND dialog) {
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

TEST_F(CourseImageDlg, TheWholeMapIsProposedAtTheRememberedScale)
{
    struct CRow
    {
        float widthFeet, heightFeet;
        bool stored;
        int dist, units;
        const wchar_t* size;
    } rows[] = {
        // 750 pixels for 100 feet; the ring grown by 10 all round (12020).
        {100.0f, 50.0f, false, 0, 0, L"751x376"},
        {50.0f, 100.0f, false, 0, 0, L"376x751"},
        // A stored scale not above 0 takes the default: nothing divides by 0.
        {100.0f, 50.0f, true, 0, -3, L"751x376"},
        // Cut to the largest edge, the other side in proportion.
        {250.0f, 20.0f, true, 6000, 1500, L"5000x403"},
    };
    for (const CRow& row : rows) {
        OpenFileTestSettings();
        if (row.stored) {
            CSettings::SetInt(L"TestCourseDist", row.dist);
            CSettings::SetInt(L"TestImageUnits", row.units);
        }
        std::unique_ptr<CFakeFileWindow> window = MakeWindow(row.widthFeet, row.heightFeet);
        const CCourseImageDlg dialog(L"Test", *window->GetCourse(), 640.0f, 480.0f, nullptr);
        EXPECT_EQ(row.size, Size(dialog)) << row.widthFeet << " by " << row.heightFeet;
    }
}

TEST_F(CourseImageDlg, TheCurrentViewKeepsTheViewsProportionOnlyWhileAskedTo)
{
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(100.0f, 50.0f, true);
    CCourse& course = *window->GetCourse();
    const int reports = ReportCount();
    // A view camera without a size: no proportion, and no division by 0.
    course.SetViewSize(0.0f, 0.0f);
    CSettings::SetInt(CCourseImageDlg(L"Test", course, 640.0f, 480.0f, nullptr).GetWholeMapValueName(), 0);
    CCourseImageDlg sizeless(L"Test", course, 640.0f, 480.0f, nullptr);
    ASSERT_TRUE(sizeless.currentViewButton.checked);
    EXPECT_EQ(L"640x480", Size(sizeless));
    sizeless.widthField.SetText(L"400");
    sizeless.UpdateOtherSide(true);
    EXPECT_EQ(L"400x480", Size(sizeless));

    course.SetViewSize(800.0f, 400.0f);
    CCourseImageDlg dialog(L"Test", course, 640.0f, 480.0f, nullptr);
    ASSERT_TRUE(dialog.currentViewButton.checked);
    dialog.widthField.SetText(L"400");
    dialog.UpdateOtherSide(true);
    EXPECT_EQ(L"400x200", Size(dialog));
    dialog.keepAspectBox.SetChecked(false);
    dialog.widthField.SetText(L"300");
    dialog.UpdateOtherSide(true);
    EXPECT_EQ(L"300x200", Size(dialog));
    EXPECT_EQ(reports, ReportCount());
}

TEST_F(CourseImageDlg, EpsAndGifAndAFlatCourseAlwaysShowTheWholeMap)
{
    struct CRow
    {
        const wchar_t* file;
        bool camera3D;
        bool wholeMap;
        int step;
    } rows[] = {
        {L"C:\\p\\map.eps", true, true, 12},
        {L"C:\\p\\map.gif", true, true, 20},
        {L"C:\\p\\map.png", false, true, 20},
        {L"C:\\p\\map.png", true, false, 20},
    };
    for (const CRow& row : rows) {
        std::unique_ptr<CFakeFileWindow> window = MakeWindow(100.0f, 50.0f, row.camera3D);
        CCourseSaveDlg saveDialog(*window, 640.0f, 480.0f);
        saveDialog.chosenPath = row.file;
        CSettings::SetInt(
            CCourseImageDlg(L"Test", *window->GetCourse(), 640.0f, 480.0f, &saveDialog).GetWholeMapValueName(), 0);
        const CCourseImageDlg dialog(L"Test", *window->GetCourse(), 640.0f, 480.0f, &saveDialog);
        EXPECT_EQ(row.wholeMap, dialog.wholeMapButton.checked) << row.file;
        EXPECT_EQ(row.step, dialog.widthField.step) << row.file;
        EXPECT_EQ(row.step, dialog.heightField.min) << row.file;
    }
}

TEST_F(CourseImageDlg, AnExportIsWrittenWholeOrNotAtAll)
{
    const std::wstring folder = MakeTempFolder(L"image-export");
    const std::wstring path = folder + L"\\Map.eps";
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(100.0f, 50.0f);
    window->closing = true;
    {
        CCourseSaveDlg saveDialog(*window, 640.0f, 480.0f);
        saveDialog.chosenPath = path;
        EXPECT_EQ(L"", ExportDriven(saveDialog, L"FileEPS"));
    }
    // Binary: every line ends in exactly CR LF.
    const std::string eps = ReadWholeFile(path);
    EXPECT_EQ(0u, eps.find("%!PS-Adobe-3.0 EPSF-3.0\r\n%%BoundingBox: 0 0 751 376\r\n"));
    EXPECT_EQ(std::string::npos, eps.find("\r\r"));
    size_t lines = 0;
    for (size_t i = eps.find('\n'); i != std::string::npos; i = eps.find('\n', i + 1), ++lines)
        EXPECT_EQ('\r', eps[i - 1]) << i;
    EXPECT_GT(lines, 100u);
    EXPECT_EQ(12020, CSettings::GetInt(L"FileEPSCourseDist", 0));
    EXPECT_EQ(751, CSettings::GetInt(L"FileEPSImageUnits", 0));
    EXPECT_FALSE(HasTestSettingsValue(L"FileEPSKeepAspectRatio"));
    // Written: a closing window asks about its course again.
    EXPECT_EQ(1, window->requestCloseCount);

    // Held open without sharing by someone else: the message, the old file
    // as it was, nothing left beside it, and the close stops.
    const HANDLE held = CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    {
        CCourseSaveDlg saveDialog(*window, 640.0f, 480.0f);
        saveDialog.chosenPath = path;
        EXPECT_EQ(GetStringWithArg(2689, path), ExportDriven(saveDialog, L"FileEPS"));
    }
    CloseHandle(held);
    EXPECT_EQ(eps, ReadWholeFile(path));
    EXPECT_EQ(std::vector<std::wstring>{L"Map.eps"}, ListFolder(folder));
    EXPECT_FALSE(window->closing);
    EXPECT_EQ(1, window->requestCloseCount);
}

TEST_F(CourseImageDlg, JpegIsWrittenThroughItsCodec)
{
    const std::wstring folder = MakeTempFolder(L"image-jpeg");
    std::unique_ptr<CFakeFileWindow> window = MakeWindow(100.0f, 50.0f);
    const CImageCodec* jpeg = GetImageCodec(2);
    ASSERT_TRUE(WriteCourseImageFile(*window->GetCourse(), folder + L"\\Map.jpg", jpeg, true, 751, 376));
    EXPECT_EQ(0u, ReadWholeFile(folder + L"\\Map.jpg").find("\xFF\xD8\xFF"));
    const std::unique_ptr<CPixelBitmap> read = jpeg->LoadFile(folder + L"\\Map.jpg");
    ASSERT_TRUE(read);
    EXPECT_EQ(751, read->GetPixelWidth());
    EXPECT_EQ(376, read->GetPixelHeight());
    EXPECT_EQ(std::vector<std::wstring>{L"Map.jpg"}, ListFolder(folder));
}
