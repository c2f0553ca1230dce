#include <gtest/gtest.h>

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
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
#include "ui/ScrollPane.h"

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

}  // namespace

TEST(PrintScene, CellsOfTheDefaultPage)
{
    filetest::OpenFileTestSettings();
    CLetterPage letter;
    CCourse course(L"Cell", L"");
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
            page.AddItem(&course, true);
        page.LayoutForPrinting();
        for (size_t i = 0; i < c.count; ++i) {
            const CPoint2 centre = page.items[i].rect.GetCentre();
            EXPECT_NEAR(c.centres[i].x, centre.x, 1.0f) << c.count << " cells, cell " << i;
            EXPECT_NEAR(c.centres[i].y, centre.y, 1.0f) << c.count << " cells, cell " << i;
            EXPECT_TRUE(page.items[i].bitmap.IsEmpty());
        }
        // The one course fills its cell's width; a tiny cell holds 1 x 1.
        if (c.count == 1) {
            EXPECT_EQ(2250.0f, page.items[0].rect.Width());
        }
        page.items[0].Place(CRectF(10.0f, 10.0f, 10.2f, 10.2f), false);
        EXPECT_EQ(CRectF(10.0f, 10.0f, 11.0f, 11.0f), page.items[0].rect);
    }
    DeleteTestSettingsKey();
}

TEST(PrintScene, TitleAndStoredWholeMapChoice)
{
    filetest::OpenFileTestSettings();
    CCourse alpha(L"Alpha", L"");
    CPrintScene page;
    CCoursePrintJob job(&page);
    std::wstring none, one, two;
    // A blank cell neither counts nor stores anything.
    page.AddItem(nullptr, false);
    job.GetTitle(none);
    page.SaveWholeMapSetting();
    EXPECT_EQ(-1, CSettings::GetInt(L"PrintSceneWholeMapFFT", -1));
    page.AddItem(&alpha, false);
    job.GetTitle(one);
    page.SaveWholeMapSetting();
    // Added again, the course takes the choice just stored.
    page.AddCourse(&alpha);
    job.GetTitle(two);
    EXPECT_FALSE(page.items.back().wholeMap);
    EXPECT_EQ((std::vector<std::wstring>{GetString(2003), L"Alpha", GetString(2003)}),
              (std::vector<std::wstring>{none, one, two}));
    // A 3D course through its 3D camera, turned by hand: a choice of its own.
    alpha.Set3D(true);
    alpha.Set3DCamera(true);
    alpha.GetViewCamera().SetYaw(30);
    EXPECT_EQ(L"PrintSceneWholeMapTTF", CPrintScene::GetWholeMapSettingName(&alpha));
    DeleteTestSettingsKey();
}

// A print to file offers the course's file, or its title, without the
// extension. It refuses the file of a course printed, whatever its extension
// or letter case, as saving over it is refused.
TEST(PrintScene, PrintToFileOffersTheCoursesNameAndKeepsCourseFiles)
{
    CCourse opened(L"p.agl", L"C:\\rings\\p.agl");
    CCourse named(L"Named.agl", L"");   // saved in the older format: no file of its own
    CCourse kept(L"k.prn", L"C:\\rings\\k.prn");
    CCourse printed(L"r.agl.prn", L"C:\\rings\\r.agl.prn");
    std::vector<std::wstring> offered(2);
    for (size_t i = 0; i < 2; ++i) {
        CPrintScene page;
        page.AddItem(i == 0 ? &opened : &named, true);
        CCoursePrintJob(&page).GetOutputName(offered[i]);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"C:\\rings\\p", L"Named"}), offered);
    CPrintScene page;
    page.AddItem(&kept, true);
    page.AddItem(&printed, true);
    CCoursePrintJob job(&page);
    const std::wstring refused = GetString(2702);
    struct
    {
        const wchar_t* chosen;
        bool taken;
    } cases[] = {
        {L"C:\\rings\\k.prn", false},       // an open course's file
        {L"c:\\Rings\\K.PRN", false},       // the same in other letters
        {L"C:\\rings\\q.prn", true},        // a new file
        {L"C:\\rings\\R.AGL.prn", false},   // a course file typed: the dialog added .prn
    };
    CDialogWatcher::TakeAnsweredTexts();
    for (const auto& c : cases) {
        const bool taken = job.TakeOutputFile(c.chosen);
        EXPECT_EQ(c.taken, taken) << c.chosen;
        const std::vector<std::wstring> boxes = CDialogWatcher::TakeAnsweredTexts();
        EXPECT_EQ(taken ? std::vector<std::wstring>{} : std::vector<std::wstring>{refused}, boxes) << c.chosen;
    }
}

// ---- The walk in the real program -----------------------------------------------------

namespace {

// The visible dialog of the program with the title and owner, or null.
HWND WaitForProgramDialog(const CProgramProcess& program, const std::wstring& title, HWND owner)
{
    for (DWORD waited = 0; waited < kWait; waited += 50, PumpMessagesFor(50))
        for (HWND dialog : program.FindWindows(L"#32770"))
            if (GetWindowTextString(dialog) == title && GetWindow(dialog, GW_OWNER) == owner)
                return dialog;
    return nullptr;
}

// The print dialog's panels by size: the preview is the largest, the course
// list the smallest that is no border strip.
HWND FindPanel(HWND dialog, bool largest, SIZE& size)
{
    HWND found = nullptr;
    for (const CDialogChild& child : ListDialogChildren(dialog)) {
        const SIZE s = {child.rect.right - child.rect.left, child.rect.bottom - child.rect.top};
        if (child.className == L"CPanel" && s.cx > 10 && s.cy > 10 &&
            (!found || (s.cx * s.cy > size.cx * size.cy) == largest)) {
            found = child.window;
            size = s;
        }
    }
    return found;
}

// Ctrl+P in the course window; the driver's moves in the print dialog, a
// picture of the preview, then OK there and in the system's print dialog.
// The preview's size; 0 x 0 when a dialog did not come.
SIZE PrintFromWindow(const CProgramProcess& program, HWND frame, const std::wstring& shot, bool addSecond)
{
    SetForegroundWindow(frame);
    cwtest::KeyPress('P', true);
    const HWND dialog = WaitForProgramDialog(program, GetString(2444), frame);
    SIZE size = {0, 0};
    if (!dialog)
        return size;
    // The list of open courses has room for eight rows, however few there are.
    FindPanel(dialog, false, size);
    EXPECT_GE(size.cy, 8 * int(CScrollPane::GetRowHeight()));
    if (addSecond) {
        // Entry 0 is the blank cell, then the active window's course, then B.
        const HWND list = FindPanel(dialog, false, size);
        PressKey(list, VK_DOWN);
        PressKey(list, VK_DOWN);
        // Posted after the keys, so that the click comes after them.
        PostMessageW(FindChildByCaption(dialog, GetString(2447)), BM_CLICK, 0, 0);
    }
    PumpMessagesFor(1000);
    SaveScreenPicture(FindPanel(dialog, true, size), GetTestArtefactPath(shot));
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
    return sheet;
}

// Whether a process of that file name runs (process 0), or whether the
// process has loaded the library.
bool IsLoaded(DWORD process, const wchar_t* name)
{
    const HANDLE snapshot = CreateToolhelp32Snapshot(process ? TH32CS_SNAPMODULE : TH32CS_SNAPPROCESS, process);
    bool found = false;
    if (process) {
        MODULEENTRY32W entry = {sizeof entry};
        for (BOOL more = Module32FirstW(snapshot, &entry); more && !found; more = Module32NextW(snapshot, &entry))
            found = _wcsicmp(entry.szModule, name) == 0;
    } else {
        PROCESSENTRY32W entry = {sizeof entry};
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !found; more = Process32NextW(snapshot, &entry))
            found = _wcsicmp(entry.szExeFile, name) == 0;
    }
    CloseHandle(snapshot);
    return found;
}

// One page of the printer's sheet at 50 dots to the inch, and the box of
// what is drawn on it.
bool LookAtPdf(const std::string& pdf, const CSize2& sheet, CPdfPicture& picture, RECT& ink)
{
    CPdfInfo info;
    if (!ReadPdfInfo(pdf, info))
        return false;
    EXPECT_EQ(1, info.pages);
    EXPECT_NEAR(sheet.width, info.width, 1.0f);
    EXPECT_NEAR(sheet.height, info.height, 1.0f);
    return RenderPdfPage(pdf, 50, picture) && picture.FindInk(ink);
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
    DeletePdfs("Fendrel_4_Courses");

    CProgramProcess program;
    const HWND frame = StartAndWaitUntilReady(program, Quoted(pathB) + L" " + Quoted(pathA), Caption(nameA));
    ASSERT_TRUE(frame);
    // Nothing of printing is bound before the first print.
    EXPECT_FALSE(IsLoaded(program.GetId(), L"winspool.drv"));
    EXPECT_FALSE(IsLoaded(program.GetId(), L"comdlg32.dll"));

    // One course: within the half-inch margins, and taller than the ring
    // alone by the score sheet under it.
    const SIZE pane = PrintFromWindow(program, frame, L"print-preview-one.png", false);
    ASSERT_EQ(400, std::max(pane.cx, pane.cy));
    EXPECT_NEAR(sheet.width / sheet.height, float(pane.cx) / float(pane.cy), 0.01f);
    CPdfPicture picture;
    RECT ink;
    ASSERT_TRUE(LookAtPdf(WaitForPdf(fileA), sheet, picture, ink));
    const int halfInch = 25;
    EXPECT_GE(std::min(ink.left, ink.top), halfInch - 1);
    EXPECT_LE(ink.right, picture.width - halfInch + 1);
    EXPECT_LE(ink.bottom, picture.height - halfInch + 1);
    const CRectF ring = withFooter.GetRingRect(true, true);
    const CRectF bare = withFooter.GetRingRect(true, false);
    const float drawn = float(ink.bottom - ink.top) / float(ink.right - ink.left);
    EXPECT_GT(drawn, (ring.Height() / ring.Width() + bare.Height() / bare.Width()) / 2.0f);

    // B added below A: one column of two cells parted at the middle of the
    // sheet, within margins of 3/8 inch.
    PrintFromWindow(program, frame, L"print-preview-two.png", true);
    ASSERT_TRUE(LookAtPdf(WaitForPdf("Fendrel_4_Courses"), sheet, picture, ink));
    const int middle = picture.height / 2;
    EXPECT_GE(ink.top, 18);
    EXPECT_LE(ink.bottom, picture.height - 18);
    EXPECT_TRUE(ink.top < middle && ink.bottom > middle);
    for (int x = 0; x < picture.width; ++x)
        ASSERT_FALSE(picture.IsInk(x, middle)) << x;
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
    for (DWORD waited = 0; IsLoaded(0, L"Fendrel4.exe") && waited < kWait; waited += 100)
        Sleep(100);
    EXPECT_FALSE(IsLoaded(0, L"Fendrel4.exe"));
}

namespace {

// The first visible dialog of the program that is none of `known`, or null
// after the wait.
HWND WaitForNewDialog(const CProgramProcess& program, const std::vector<HWND>& known)
{
    for (DWORD waited = 0; waited < kWait; waited += 50, PumpMessagesFor(50))
        for (HWND dialog : program.FindWindows(L"#32770"))
            if (std::find(known.begin(), known.end(), dialog) == known.end())
                return dialog;
    return nullptr;
}

// The text of a control of the program's (GetWindowText gives a window of
// another process its caption, not an edit's text).
std::wstring ReadText(HWND control)
{
    wchar_t text[MAX_PATH] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, MAX_PATH, LPARAM(text), SMTO_NORMAL, kWait, &result);
    return text;
}

// Ctrl+P in the course window, OK in the print dialog, "Print to file" and
// OK in the system's print dialog: the save dialog that asks for the file,
// or null.
HWND PrintToFile(const CProgramProcess& program, HWND frame)
{
    SetForegroundWindow(frame);
    cwtest::KeyPress('P', true);
    const HWND dialog = WaitForProgramDialog(program, GetString(2444), frame);
    if (!dialog)
        return nullptr;
    PressDialogButton(dialog, IDOK);
    const HWND system = WaitForProgramDialog(program, GetWindowTextString(dialog), dialog);
    if (!system)
        return nullptr;
    SendMessageW(GetDlgItem(system, chx1), BM_CLICK, 0, 0);
    const std::vector<HWND> known = program.FindWindows(L"#32770");
    PostMessageW(system, WM_COMMAND, IDOK, 0);
    const HWND save = WaitForNewDialog(program, known);
    return save && WaitForControl(save, FindFileNameEdit) ? save : nullptr;
}

}  // namespace

// The course p.agl opened from its folder, beside a course kept as q.prn:
// the save dialog offers p (the printer's extension comes with the format),
// refuses q.prn with a message and asks again.
TEST(PrintWalk, PrintToFileOffersTheCoursesNameAndNeverAnOpenCoursesFile)
{
    const std::string missing = CheckPdfPrinter();
    ASSERT_EQ("", missing) << missing;
    PrepareProgramSettings(0);
    const std::wstring folder = MakeTempFolder(L"print-to-file");
    const std::wstring pathP = WriteEmptyCourseFile(folder, L"p.agl");
    const std::wstring pathQ = WriteEmptyCourseFile(folder, L"q.prn");
    const std::string course = ReadWholeFile(pathP);
    CProgramProcess program;
    ASSERT_TRUE(program.Start(Quoted(pathQ) + L" " + Quoted(pathP), folder));
    WaitUntilReady(program);
    const HWND frame = program.WaitForCaption(Caption(L"p.agl"), kWait);
    ASSERT_TRUE(frame);
    HWND save = PrintToFile(program, frame);
    ASSERT_TRUE(save);
    PumpMessagesFor(1000);
    SaveScreenPicture(save, GetTestArtefactPath(L"print-to-file-offered.png"));
    std::vector<std::wstring> offered = {ReadText(FindFileNameEdit(save))};
    std::vector<HWND> known = program.FindWindows(L"#32770");
    // q.prn exists: the system dialog asks first whether to replace it.
    ASSERT_TRUE(ChooseFileName(save, L"q"));
    const HWND replace = WaitForNewDialog(program, known);
    ASSERT_TRUE(replace);
    known = program.FindWindows(L"#32770");
    PressDialogButton(replace, IDYES);
    const HWND box = WaitForNewDialog(program, known);
    ASSERT_TRUE(box);
    SaveScreenPicture(box, GetTestArtefactPath(L"print-to-file-refused.png"));
    const std::wstring message = CProgramProcess::GetMessageBoxText(box);
    EXPECT_EQ(GetString(2702), message);
    known = program.FindWindows(L"#32770");
    CProgramProcess::AnswerMessageBox(box);
    save = WaitForNewDialog(program, known);
    ASSERT_TRUE(save && WaitForControl(save, FindFileNameEdit));
    offered.push_back(ReadText(FindFileNameEdit(save)));
    ASSERT_TRUE(ChooseFileName(save, offered[0]));
    EXPECT_EQ((std::vector<std::wstring>{L"p", L"q"}), offered);
    const std::wstring printed = folder + L"\\p.prn";
    for (DWORD waited = 0; ReadWholeFile(printed).empty() && waited < kWait; waited += 100)
        PumpMessagesFor(100);
    EXPECT_FALSE(ReadWholeFile(printed).empty());
    EXPECT_EQ(course, ReadWholeFile(pathP));
    EXPECT_EQ(course, ReadWholeFile(pathQ));
}
