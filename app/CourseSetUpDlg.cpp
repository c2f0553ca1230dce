#include "app/CourseSetUpDlg.h"

#include <sstream>

#include "app/Application.h"
#include "app/CourseWindow.h"
#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"

namespace {

constexpr int kTitleText = 2460;
constexpr int kExplanationText = 2461;
constexpr int kFirstChoiceText = 2462;
constexpr int kCopyNameText = 2005;
constexpr int kExplanationWidth = 60;

// The choice last confirmed for the course's organisation; without one, the
// corner the course's coordinates are shown from suggests the side.
int ReadStoredChoice(const CCourse& course, const std::wstring& organisation)
{
    int fallback = 0;
    if (course.GetSpecList().GetFlag19())
        fallback = course.GetDisplayOriginX() == 1 && course.GetDisplayOriginY() != 1 ? 2 : 1;
    return CSettings::GetInt(organisation + L"SetUp", fallback);
}

}  // namespace

CCourseSetUpDlg::CCourseSetUpDlg(CCourseWindow* windowValue)
    : CDialog(GetString(kTitleText)),
      window(windowValue),
      course(windowValue ? windowValue->GetCourse() : nullptr),
      explanation(GetString(kExplanationText), kExplanationWidth)
{
    TRACE_POINT();
    helpTopic = L"Baseline";
    if (course) {
        organisation = course->GetSpecList().GetName();
        SetChoice(ReadStoredChoice(*course, organisation));
    } else {
        ReportFailure();
    }
    for (int i = 0; i < kChoiceCount; ++i) {
        if (i > 0)
            radios.Add(CSpacer::GapV4());
        buttons.push_back(std::make_unique<CRadioButton>(&radios, GetString(kFirstChoiceText + i), i == m_choice));
        buttons.back()->caption.SetAutoMnemonic(false);
        radios.Add(buttons.back().get());
    }
    row.SetCell(0, 0, CSpacer::GapH7to14());
    row.SetCell(1, 0, &radios);
    column.Add(&explanation);
    column.Add(CSpacer::GapV7());
    column.Add(&row);
    column.AddEmpty();
    SetContent(&column);
}

void CCourseSetUpDlg::SetChoice(int choice)
{
    m_choice = choice >= 0 && choice < kChoiceCount ? choice : 0;
    for (size_t i = 0; i < buttons.size(); ++i)
        if (int(i) == m_choice)
            buttons[i]->Select();
}

std::wstring CCourseSetUpDlg::MakeCopyName(const std::wstring& title)
{
    const size_t dot = title.rfind(L'.');
    return GetStringWithArg(kCopyNameText, dot == std::wstring::npos ? title : title.substr(0, dot));
}

void CCourseSetUpDlg::OnOk()
{
    TRACE_POINT();
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]->checked)
            m_choice = int(i);
    if (course)
        CSettings::SetInt(organisation + L"SetUp", m_choice);
    CDialog::OnOk();
}

void CCourseSetUpDlg::OnResult()
{
    TRACE_VALUE(int32_t, m_choice);
    // The copy's window opens once the dialog has let go of the others.
    if (!course || !CanOpenAnotherCourseWindow())
        return;
    // The copy goes through the course's own text block, as a paste would.
    std::ostringstream block;
    course->WriteTextBlock(block, false, false);
    auto copy = std::make_unique<CCourse>(MakeCopyName(course->GetTitle()), std::wstring());
    std::istringstream in(block.str());
    if (!copy->ReadTextBlock(in, false)) {
        // The program's own block always reads back.
        ReportFailure();
        return;
    }
    copy->ApplyNewCourseSetUp(KeepsLayout());
    KeepWithin3DBudget(*copy, false);
    CCourse* made = copy.release();
    new CCourseWindow(made);
    int shown = 0;
    for (CFrameWindow* frame : CFrameWindow::FindFrameWindows(shown))
        frame->UpdateCommandStates();
    made->MarkUnmodified(true);
    made->OnCourseChanged();
}
