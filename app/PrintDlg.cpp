#include "app/PrintDlg.h"

#include <cmath>

#include "app/CoursePrintJob.h"
#include "app/CourseWindowList.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "ui/PrinterSetup.h"
#include "ui/UIFontMetrics.h"

namespace {

constexpr int kTitle = 2444;
constexpr int kBlankCell = 2445;
constexpr int kListLabel = 2446;
constexpr int kAdd = 2447;
constexpr int kClear = 2448;
constexpr int kChoiceLabel = 2449;
constexpr int kPageLabel = 2450;
constexpr int kPageSetUp = 2451;
constexpr int kWholeMap = 2399;
constexpr int kCurrentView = 2400;

// The arrangement that tells the left column's smallest height.
constexpr float kTrialSide = 1000.0f;
// The list of open courses has room for this many rows of titles this wide
// (dialog units), more when they need it.
constexpr int kListRows = 8;
constexpr int kListWidthDlu = 100;

template <class Handler>
CDelegate<CPushButton*> Bind(CPrintDlg* dialog, Handler handler)
{
    return CMemberDelegate<CPushButton*, CPrintDlg>::Make(dialog, handler);
}

}  // namespace

// ---- Preview --------------------------------------------------------------------------------

CPrintDlg::CPrintPreviewControl::CPrintPreviewControl(CPrintScene* pageValue) : CPanel(true, false), page(pageValue) {}

void CPrintDlg::CPrintPreviewControl::Measure()
{
    const int width = int(page->paneWidth);
    const int height = int(page->paneHeight);
    minWidth = preferredWidth = maxWidth = width;
    minHeight = preferredHeight = maxHeight = height;
    widthStretch = width == 0 ? 1 : 0;
    heightStretch = height == 0 ? 1 : 0;
}

// ---- Dialog ---------------------------------------------------------------------------------

CPrintDlg::CPrintDlg(CCourse* course)
    : CDialog(GetString(kTitle)),
      outer(3, 3),
      listRow(3, 1),
      buttonColumn(1, 4),
      leftColumn(true),
      choiceGrid(2, 3),
      setUpRow(2, 1),
      listLabel(GetString(kListLabel)),
      addButton(GetString(kAdd)),
      clearButton(GetString(kClear)),
      choiceLabel(GetString(kChoiceLabel)),
      wholeMapChoice(&choiceGrid, GetString(kWholeMap)),
      currentViewChoice(&choiceGrid, GetString(kCurrentView)),
      setUpButton(GetString(kPageSetUp)),
      previewLabel(GetString(kPageLabel)),
      preview(&page)
{
    TRACE_POINT();
    if (course)
        page.AddCourse(course);
    else
        ReportFailure();

    outer.SetCell(0, 0, &listLabel);
    outer.SetCell(1, 0, CSpacer::GapH7());
    outer.SetCell(2, 0, &previewLabel);
    outer.SetCell(0, 1, CSpacer::GapV4());
    outer.SetCell(0, 2, &leftColumn);
    outer.SetCell(2, 2, &preview);

    buttonColumn.SetCell(0, 0, &addButton);
    buttonColumn.SetCell(0, 1, CSpacer::GapV4());
    buttonColumn.SetCell(0, 2, &clearButton);
    listRow.SetCell(0, 0, &courseList);
    listRow.SetCell(1, 0, CSpacer::GapH4());
    listRow.SetCell(2, 0, &buttonColumn);
    choiceGrid.SetCell(0, 0, CSpacer::GapH7());
    choiceGrid.SetCell(1, 0, &wholeMapChoice);
    choiceGrid.SetCell(1, 1, &currentViewChoice);
    setUpRow.SetCell(0, 0, &setUpButton);
    leftColumn.Add(&listRow);
    leftColumn.Add(CSpacer::GapV7());
    leftColumn.Add(CSpacer::GapV7());
    leftColumn.Add(&choiceLabel);
    leftColumn.Add(CSpacer::GapV4());
    leftColumn.Add(&choiceGrid);
    leftColumn.Add(CSpacer::GapV7());
    leftColumn.Add(&setUpRow);

    addButton.SetOnClick(Bind(this, &CPrintDlg::OnAdd));
    clearButton.SetOnClick(Bind(this, &CPrintDlg::OnClear));
    setUpButton.SetOnClick(Bind(this, &CPrintDlg::OnPrinterSetup));

    helpTopic = L"Print";
    SetContent(&outer);
    courseList.SetLeastRoom(float(DluToPixelsX(kListWidthDlu)), kListRows);
    FillCourseList();
    if (page.GetFirstCourse() && !page.GetFirstWholeMap())
        currentViewChoice.Select();
    else
        wholeMapChoice.Select();
    okButton.SetEnabled(page.GetFirstCourse() != nullptr);

    UpdatePaneSize(MeasureLeftColumn());
    page.LayoutForPreview();
    preview.SetScene(&page);
}

int CPrintDlg::MeasureLeftColumn()
{
    leftColumn.MeasureWithin(kTrialSide, kTrialSide);
    leftColumn.SetBounds(CRectF(0.0f, 0.0f, kTrialSide, kTrialSide));
    return leftColumn.minHeight;
}

void CPrintDlg::FillCourseList()
{
    courseList.AddItem(GetString(kBlankCell));
    courses.push_back(nullptr);
    for (CCourseWindowList list; list.Next();) {
        CCourse* course = list.GetCourse();
        if (!course)
            continue;
        courseList.AddItem(course->GetTitle());
        courses.push_back(course);
    }
}

void CPrintDlg::UpdatePaneSize(int minimumHeight)
{
    const CSize2 sheet = CPrinterSetup::Instance().pageSize;
    float width = kPaneSide;
    float height = kPaneSide;
    if (sheet.height > sheet.width)
        width = std::floor(sheet.width * kPaneSide / sheet.height + 0.5f);
    else
        height = std::floor(sheet.height * kPaneSide / sheet.width + 0.5f);
    if (float(minimumHeight) > height && sheet.height > 0.0f) {
        height = float(minimumHeight);
        width = std::floor(float(minimumHeight) * sheet.width / sheet.height + 0.5f);
    }
    page.paneWidth = width;
    page.paneHeight = height;
}

void CPrintDlg::RefreshPreview()
{
    page.LayoutForPreview();
    preview.Invalidate();
}

void CPrintDlg::OnAdd(CPushButton*)
{
    const int selected = courseList.GetSelected();
    CCourse* course = selected >= 0 && selected < int(courses.size()) ? courses[selected] : nullptr;
    TRACE_VALUE(int32_t, selected);
    page.AddItem(course, wholeMapChoice.checked);
    if (course)
        okButton.SetEnabled(true);
    RefreshPreview();
}

void CPrintDlg::OnClear(CPushButton*)
{
    page.Clear();
    okButton.SetEnabled(false);
    RefreshPreview();
}

void CPrintDlg::OnPrinterSetup(CPushButton*)
{
    TRACE_POINT();
    const CSize2 before = CPrinterSetup::Instance().pageSize;
    ShowPrinterSetupDialog();
    UpdatePaneSize(leftColumn.minHeight);
    RefreshPreview();
    const CSize2 after = CPrinterSetup::Instance().pageSize;
    if (after == before || !hwnd || !content)
        return;
    // Another sheet: the pane has new proportions and the dialog its size.
    RECT workArea = {0, 0, 0, 0};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0))
        ReportFailure(kFailSystemCall);
    const int frameWidth = 2 * GetSystemMetrics(SM_CXDLGFRAME);
    const int frameHeight = 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    const RECT placement = PlaceContent(*content, workArea, frameWidth, frameHeight);
    MoveWindow(hwnd, placement.left, placement.top, placement.right - placement.left,
               placement.bottom - placement.top, TRUE);
}

void CPrintDlg::OnOk()
{
    TRACE_POINT();
    page.SaveWholeMapSetting();
    // The page is laid out for paper from now on: the pane shows nothing
    // more than it must paint at that size.
    preview.SetScene(nullptr);
    CCoursePrintJob job(&page);
    job.showPrintDialog = true;
    CPrintJob::Run(job);
    resultOk = true;
    Close();
}
