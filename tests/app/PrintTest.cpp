#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

#include "app/CoursePrintJob.h"
#include "app/PrintScene.h"
#include "course/Course.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/app/CourseWindowTestSupport.h"
#include "tests/app/ProgramDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/PdfPrinter.h"
#include "tests/support/TestSupport.h"
#include "ui/PrinterSetup.h"

using namespace programtest;

namespace {

// The default page of a run without a printer: Letter at 300 dots to the
// inch, printable to the edges. The shared set-up is put back afterwards.
class CLetterPage
{
public:
    CLetterPage() : m_saved(CPrinterSetup::Instance())
    {
        CPrinterSetup& setup = CPrinterSetup::Instance();
        setup.resolution = 300.0f;
        setup.UseLetterPage();
    }
    ~CLetterPage() { CPrinterSetup::Instance() = m_saved; }

private:
    CPrinterSetup m_saved;
};

CPoint2 CentreOf(const CPrintScene& page, size_t i) { return page.items[i].rect.GetCentre(); }

}  // namespace

TEST(PrintScene, CellsOfTheDefaultPage)
{
    filetest::OpenFileTestSettings();
    CLetterPage letter;
    std::vector<std::unique_ptr<CCourse>> courses;
    for (int i = 0; i < 6; ++i)
        courses.emplace_back(new CCourse(L"Cell", L""));
    // Cell centres: one cell of 2250 x 3000 inside margins of 150; from two
    // cells on margins of 112.5: two rows of 2325 x 1480.6, 113.9 apart;
    // four in two columns and rows 86.1 apart; six in two columns and three
    // rows 75.9 apart.
    struct
    {
        size_t count;
        std::vector<CPoint2> centres;
    } cases[] = {
        {1, {{1275.0f, 1650.0f}}},
        {2, {{1275.0f, 852.8f}, {1275.0f, 2447.2f}}},
        {4, {{672.2f, 859.7f}, {1877.8f, 859.7f}, {672.2f, 2440.3f}, {1877.8f, 2440.3f}}},
        {6, {{674.8f, 599.7f}, {1875.2f, 599.7f}, {674.8f, 1650.0f}, {1875.2f, 1650.0f}, {674.8f, 2700.3f},
             {1875.2f, 2700.3f}}},
    };
    for (const auto& c : cases) {
        CPrintScene page;
        for (size_t i = 0; i < c.count; ++i)
            page.AddItem(courses[i].get(), true);
        page.LayoutForPrinting();
        for (size_t i = 0; i < c.count; ++i) {
            EXPECT_NEAR(c.centres[i].x, CentreOf(page, i).x, 1.0f) << c.count << " cells, cell " << i;
            EXPECT_NEAR(c.centres[i].y, CentreOf(page, i).y, 1.0f) << c.count << " cells, cell " << i;
            EXPECT_TRUE(page.items[i].bitmap.IsEmpty());
        }
    }
    // The single course fills the width of its cell; a tiny cell still holds
    // a 1 x 1 picture.
    CPrintScene single;
    single.AddItem(courses[0].get(), true);
    single.LayoutForPrinting();
    EXPECT_EQ(2250.0f, single.items[0].rect.Width());
    single.items[0].Place(CRectF(10.0f, 10.0f, 10.2f, 10.2f), false);
    EXPECT_EQ(CRectF(10.0f, 10.0f, 11.0f, 11.0f), single.items[0].rect);
    DeleteTestSettingsKey();
}

TEST(PrintScene, TitleAndStoredWholeMapChoice)
{
    filetest::OpenFileTestSettings();
    CCourse alpha(L"Alpha", L"");
    CCourse beta(L"Beta", L"");
    CPrintScene page;
    CCoursePrintJob job(&page);
    std::wstring title;
    job.GetTitle(title);
    EXPECT_EQ(GetString(2003), title);
    // A blank cell neither counts nor stores anything.
    page.AddItem(nullptr, false);
    page.SaveWholeMapSetting();
    EXPECT_EQ(-1, CSettings::GetInt(L"PrintSceneWholeMapFFT", -1));
    page.AddItem(&alpha, false);
    job.GetTitle(title);
    EXPECT_EQ(L"Alpha", title);
    page.SaveWholeMapSetting();
    EXPECT_EQ(0, CSettings::GetInt(L"PrintSceneWholeMapFFT", -1));
    page.AddCourse(&beta);
    EXPECT_FALSE(page.items.back().wholeMap);
    job.GetTitle(title);
    EXPECT_EQ(GetString(2003), title);
    // A 3D course through its 3D camera, turned by hand: a choice of its own.
    beta.Set3D(true);
    beta.Set3DCamera(true);
    beta.GetViewCamera().SetYaw(30);
    EXPECT_EQ(L"PrintSceneWholeMapTTF", CPrintScene::GetWholeMapSettingName(&beta));
    DeleteTestSettingsKey();
}

// ---- The walk in the real program -----------------------------------------------------

namespace {

// The visible dialog of the program with the title and owner, or null.
HWND WaitForProgramDialog(const CProgramProcess& program, const std::wstring& title, HWND owner)
{
    for (DWORD waited = 0; waited < kWait; waited += 50) {
        for (HWND dialog : program.FindWindows(L"#32770"))
            if (GetWindowTextString(dialog) == title && GetWindow(dialog, GW_OWNER) == owner)
                return dialog;
        PumpMessagesFor(50);
    }
    return nullptr;
}

// The preview: the largest panel of the print dialog.
HWND FindPreview(HWND dialog, SIZE& size)
{
    HWND preview = nullptr;
    size = {0, 0};
    for (const CDialogChild& child : ListDialogChildren(dialog)) {
        const SIZE childSize = {child.rect.right - child.rect.left, child.rect.bottom - child.rect.top};
        if (child.className == L"CPanel" && childSize.cx * childSize.cy > size.cx * size.cy) {
            preview = child.window;
            size = childSize;
        }
    }
    return preview;
}

// Ctrl+P in the course window; in the print dialog the driver's moves, a
// look at the preview, then OK there and in the system's print dialog.
// The preview's size, or 0 x 0 when a dialog did not come.
SIZE PrintFromWindow(const CProgramProcess& program, HWND frame, const std::wstring& shot,
                     const std::function<void(HWND dialog)>& drive)
{
    SetForegroundWindow(frame);
    cwtest::KeyPress('P', true);
    const HWND dialog = WaitForProgramDialog(program, GetString(2444), frame);
    SIZE size = {0, 0};
    if (!dialog)
        return size;
    drive(dialog);
    PumpMessagesFor(1000);
    const HWND preview = FindPreview(dialog, size);
    SaveScreenPicture(preview, GetTestArtefactPath(shot));
    PressDialogButton(dialog, IDOK);
    const HWND system = WaitForProgramDialog(program, GetWindowTextString(dialog), dialog);
    if (!system)
        return SIZE{0, 0};
    PostMessageW(system, WM_COMMAND, IDOK, 0);
    return size;
}

// The sheet of the default printer in points, as Windows sees it.
CSize2 PrinterSheetInPoints()
{
    PRINTDLGW record = {sizeof record};
    record.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    if (!PrintDlgW(&record) || !record.hDC)
        return CSize2();
    const HDC dc = record.hDC;
    const CSize2 sheet(72.0f * float(GetDeviceCaps(dc, PHYSICALWIDTH)) / float(GetDeviceCaps(dc, LOGPIXELSX)),
                       72.0f * float(GetDeviceCaps(dc, PHYSICALHEIGHT)) / float(GetDeviceCaps(dc, LOGPIXELSY)));
    DeleteDC(dc);
    GlobalFree(record.hDevMode);
    GlobalFree(record.hDevNames);
    return sheet;
}

bool IsProgramRunning()
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {sizeof entry};
    bool found = false;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
        found = _wcsicmp(entry.szExeFile, L"Fendrel4.exe") == 0;
    CloseHandle(snapshot);
    return found;
}

bool HasModule(DWORD process, const wchar_t* name)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    MODULEENTRY32W module = {sizeof module};
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &module); more && !found; more = Module32NextW(snapshot, &module))
        found = _wcsicmp(module.szModule, name) == 0;
    CloseHandle(snapshot);
    return found;
}

// Page 1 of the PDF at 50 dots to the inch, and the box of what is drawn.
bool LookAtPdf(const std::string& pdf, const CSize2& sheet, CPdfPicture& picture, RECT& ink)
{
    CPdfInfo info;
    if (!ReadPdfInfo(pdf, info))
        return false;
    EXPECT_EQ(1, info.pages);
    EXPECT_NEAR(sheet.width, info.width, 1.0f);
    EXPECT_NEAR(sheet.height, info.height, 1.0f);
    return RenderPdfPage(pdf, 1, 50, picture) && picture.FindInk(ink);
}

}  // namespace

TEST(PrintWalk, PreviewAndPagesOfOpenCoursesAndTheShellVerbWithoutAWindow)
{
    const std::string missing = CheckPdfPrinter();
    ASSERT_EQ("", missing) << missing;
    const CSize2 sheet = PrinterSheetInPoints();
    PrepareProgramSettings(5);
    const std::wstring folder = MakeTempFolder(L"print-walk");
    // Wine's process ids repeat from run to run and prefix to prefix.
    const std::wstring tag = std::to_wstring(GetTickCount() % 1000000);
    // A: organisation 5 with its score-sheet footer and an A-frame; B: empty.
    CCourse withFooter(L"", L"");
    withFooter.SetSpecList(5);
    withFooter.SetShowUKCFooter(true);
    filetest::PlaceAFrame(withFooter, 600.0f, 500.0f, 30.0f);
    const std::wstring nameA = L"PrintWalkA" + tag + L".agl";
    const std::wstring pathA = folder + L"\\" + nameA;
    filetest::WriteBytes(pathA, filetest::TextBlockOf(withFooter));
    const std::wstring pathB = WriteEmptyCourseFile(folder, L"PrintWalkB" + tag + L".agl");
    const std::string fileA = "PrintWalkA" + std::string(tag.begin(), tag.end());
    DeletePdfs(fileA);
    DeletePdfs("Fendrel_4_Courses");

    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(pathB) + L" " + Quoted(pathA), Caption(nameA));
    ASSERT_TRUE(frame);
    // Nothing of printing is bound before the first print.
    EXPECT_FALSE(HasModule(program.GetId(), L"winspool.drv"));
    EXPECT_FALSE(HasModule(program.GetId(), L"comdlg32.dll"));

    // One course: its cell within the half-inch margins; the footer makes
    // the picture taller than the ring alone would be.
    const SIZE pane = PrintFromWindow(program, frame, L"print-preview-one.png", [](HWND) {});
    ASSERT_EQ(400, std::max(pane.cx, pane.cy));
    EXPECT_NEAR(sheet.width / sheet.height, float(pane.cx) / float(pane.cy), 0.01f);
    CPdfPicture picture;
    RECT ink;
    ASSERT_TRUE(LookAtPdf(WaitForPdf(fileA), sheet, picture, ink));
    const int halfInch = 25;
    EXPECT_GE(ink.left, halfInch - 1);
    EXPECT_GE(ink.top, halfInch - 1);
    EXPECT_LE(ink.right, picture.width - halfInch + 1);
    EXPECT_LE(ink.bottom, picture.height - halfInch + 1);
    const CRectF ring = withFooter.GetRingRect(true, true);
    const CRectF bare = withFooter.GetRingRect(true, false);
    const float drawn = float(ink.bottom - ink.top) / float(ink.right - ink.left);
    EXPECT_GT(drawn, (ring.Height() / ring.Width() + bare.Height() / bare.Width()) / 2.0f);

    // B added below A: one column of two cells, a blank band between them.
    PrintFromWindow(program, frame, L"print-preview-two.png", [](HWND dialog) {
        // The list: the smallest panel that is no border strip. Entry 0 is
        // the blank cell, then A (the active window's course), then B.
        HWND list = nullptr;
        LONG area = LONG_MAX;
        for (const CDialogChild& child : ListDialogChildren(dialog)) {
            const LONG w = child.rect.right - child.rect.left;
            const LONG h = child.rect.bottom - child.rect.top;
            if (child.className == L"CPanel" && w > 10 && h > 10 && w * h < area) {
                list = child.window;
                area = w * h;
            }
        }
        PressKey(list, VK_DOWN);
        PressKey(list, VK_DOWN);
        ClickControl(FindChildByCaption(dialog, GetString(2447)));
    });
    ASSERT_TRUE(LookAtPdf(WaitForPdf("Fendrel_4_Courses"), sheet, picture, ink));
    const int threeEighths = 19;
    EXPECT_GE(ink.top, threeEighths - 1);
    EXPECT_LE(ink.bottom, picture.height - threeEighths + 1);
    bool parted = false;
    for (const auto& run : picture.FindBlankRows(ink.top, ink.bottom))
        parted = parted || (run.first < picture.height / 2 && run.second > picture.height / 2);
    EXPECT_TRUE(parted);
    program.CloseCourseWindows();
    EXPECT_EQ(0, program.WaitForExit(kWait));

    // The shell's print verb: no window, one page, and the program ends.
    DeletePdfs(fileA);
    CProgramProcess registration;
    ASSERT_TRUE(registration.Start(L"/i"));
    ASSERT_EQ(0, registration.WaitForExit(kWait));
    EXPECT_GT(INT_PTR(ShellExecuteW(nullptr, L"print", pathA.c_str(), nullptr, nullptr, SW_SHOWNORMAL)), 32);
    std::string pdf;
    bool windowShown = false;
    for (DWORD waited = 0; pdf.empty() && waited < kWait; waited += 500) {
        windowShown = windowShown || FindWindowW(L"Fendrel 4", nullptr);
        pdf = WaitForPdf(fileA, 500);
    }
    CPdfInfo info;
    ASSERT_TRUE(ReadPdfInfo(pdf, info));
    EXPECT_EQ(1, info.pages);
    EXPECT_FALSE(windowShown);
    for (DWORD waited = 0; IsProgramRunning() && waited < kWait; waited += 100)
        Sleep(100);
    EXPECT_FALSE(IsProgramRunning());
}
