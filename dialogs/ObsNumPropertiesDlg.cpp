#include "dialogs/ObsNumPropertiesDlg.h"

#include "course/Course.h"
#include "course/CourseNumbering.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kObsNumNameTextId = 2574;

// The list texts of the badge styles by index: plain and reversed colours.
// The unframed style has one text for both, and so one entry.
struct CStyleTexts
{
    int plain;
    int reversed;
};
constexpr CStyleTexts kStyleTexts[] = {{2417, 2418}, {2419, 2420}, {2421, 2421}};
constexpr int kStyleCount = 3;

// The styles a new dialog offers.
constexpr int kOfferedStyles[] = {0, 1};

int CheckedStyle(int style)
{
    if (style >= 0 && style < kStyleCount)
        return style;
    TRACE_VALUE(int32_t, style);
    ReportFailure();
    return 0;
}

}  // namespace

CObsNumPropertiesDlg::CObsNumPropertiesDlg(CCourse* course) : CObjectPropertiesDlg(course, kObsNumNameTextId)
{
    TRACE_POINT();
    if (course != nullptr)
        ShowSequence(course->GetNumbering(nullptr));
    if (course != nullptr && !course->GetShowNumbers())
        course->SetShowNumbers(true);
    for (int style : kOfferedStyles)
        MergeStyle(style);
    if (m_sequence != nullptr) {
        MergeStyle(m_sequence->GetStyleIndex());
        MergeStyleFlag(m_sequence->GetFlag());
        m_labelText = m_sequence->GetText();
    } else {
        MergeStyleFlag(false);
    }
}

bool CObsNumPropertiesDlg::DoModal()
{
    InitControls();
    ConfirmSequence();
    return CObjectPropertiesDlg::DoModal();
}

void CObsNumPropertiesDlg::ConfirmSequence()
{
    if (GetEditedCount() < 2 && m_sequence != nullptr) {
        m_sequence->SetAutoNumber(m_autoNumber);
        m_sequence->SetText(m_labelText);
    }
}

void CObsNumPropertiesDlg::OnApplied()
{
    TRACE_POINT();
    // Switched back on after the course recorded the step, the renumbering
    // would be missing from the step, and Undo and Redo would lose it.
    for (CCourseNumbering* sequence : m_switchedOff) {
        if (sequence->IsSequential(false))
            sequence->SetAutoNumber(true);
    }
    m_switchedOff.clear();
}

// ---- Merging ------------------------------------------------------------------------------

bool CObsNumPropertiesDlg::HasEntry(int style) const
{
    for (const CEntry& entry : m_entries) {
        if (entry.style == style && entry.textId != 0)
            return true;
    }
    return false;
}

const CObsNumPropertiesDlg::CEntry* CObsNumPropertiesDlg::GetSelected() const
{
    if (m_selected < 0 || m_selected >= int(m_entries.size()))
        return nullptr;
    return &m_entries[size_t(m_selected)];
}

void CObsNumPropertiesDlg::MergeStyle(int style)
{
    style = CheckedStyle(style);
    if (!HasEntry(style)) {
        const CStyleTexts& texts = kStyleTexts[style];
        m_entries.push_back({style, false, texts.plain});
        if (texts.reversed != texts.plain)
            m_entries.push_back({style, true, texts.reversed});
    }
    if (GetEditedCount() < 2) {
        // The style's entry with the flag of the selection, reversed while
        // nothing is selected; the style's only entry when it has one.
        const CEntry* selected = GetSelected();
        const bool flag = selected == nullptr || selected->flag;
        int chosen = -1;
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].style == style && m_entries[i].textId != 0 && (chosen < 0 || m_entries[i].flag == flag))
                chosen = int(i);
        }
        m_selected = chosen;
    } else if (!m_styleMixed && style != GetSelectedStyle()) {
        m_styleMixed = true;
    }
}

void CObsNumPropertiesDlg::MergeStyleFlag(bool flag)
{
    if (GetEditedCount() < 2) {
        const CEntry* selected = GetSelected();
        for (size_t i = 0; selected != nullptr && i < m_entries.size(); ++i) {
            if (m_entries[i].style == selected->style && m_entries[i].flag == flag && m_entries[i].textId != 0) {
                m_selected = int(i);
                break;
            }
        }
    } else if (!m_styleMixed && flag != GetBadgeFlag()) {
        m_styleMixed = true;
    }
}

void CObsNumPropertiesDlg::MergeText(const std::wstring& text)
{
    if (GetEditedCount() < 2)
        m_labelText = text;
    else if (text != m_labelText)
        m_labelText.clear();
}

// ---- The user's choices ---------------------------------------------------------------------

void CObsNumPropertiesDlg::SelectEntry(int entry)
{
    if (entry < 0 || entry >= int(m_entries.size()))
        return;
    m_selected = entry;
    m_styleMixed = m_entries[size_t(entry)].textId == 0;
    UpdateSequence(true);
}

void CObsNumPropertiesDlg::EditLabel(const std::wstring& text)
{
    m_labelText = text.substr(0, kMaxLabelLength);
    m_textChanged = true;
    UpdateSequence(false);
}

void CObsNumPropertiesDlg::ShowSequence(CCourseNumbering* sequence)
{
    m_sequence = sequence;
    m_autoNumber = sequence != nullptr && sequence->IsAutoNumber();
    m_autoNumberEnabled = sequence != nullptr && sequence->GetKind() != 0;
}

void CObsNumPropertiesDlg::UpdateSequence(bool fromStyle)
{
    CCourse* course = GetCourse();
    if (course == nullptr || GetEditedCount() >= 2 || m_styleMixed)
        return;
    const int style = GetSelectedStyle();
    const bool flag = GetBadgeFlag();
    CCourseNumbering* candidate = nullptr;
    if (fromStyle) {
        candidate = course->GetNumbering(&style, &flag);
        if (candidate != nullptr)
            m_labelText = candidate == m_initialSequence ? m_initialText : candidate->GetText();
    } else {
        candidate = course->GetNumbering(&style, &flag, &m_labelText);
    }
    if (candidate != m_sequence)
        ShowSequence(candidate);
}

void CObsNumPropertiesDlg::InitControls()
{
    UpdateSequence(false);
    if (GetEditedCount() >= 2) {
        if (m_styleMixed) {
            m_entries.push_back(CEntry());
            m_selected = int(m_entries.size()) - 1;
        }
        m_sequence = nullptr;
        m_autoNumber = false;
        m_autoNumberEnabled = false;
    }
    m_initialSequence = m_sequence;
    m_initialText = m_labelText;
}

// ---- What the numbers take --------------------------------------------------------------

int CObsNumPropertiesDlg::GetSelectedStyle() const
{
    const CEntry* selected = GetSelected();
    if (m_styleMixed || selected == nullptr) {
        TRACE_VALUE(int32_t, m_selected);
        ReportFailure();
        return 0;
    }
    return selected->style;
}

bool CObsNumPropertiesDlg::GetBadgeFlag() const
{
    const CEntry* selected = GetSelected();
    if (m_styleMixed || selected == nullptr) {
        TRACE_VALUE(int32_t, m_selected);
        ReportFailure();
        return false;
    }
    return selected->flag;
}

std::wstring CObsNumPropertiesDlg::GetText() const
{
    if (GetEditedCount() < 2)
        return m_sequence != nullptr ? m_sequence->GetText() : m_labelText;
    if (!m_textChanged)
        ReportFailure();
    return m_labelText;
}

bool CObsNumPropertiesDlg::ShouldApplyText()
{
    if (GetEditedCount() < 2)
        return true;
    if (CCourse* course = GetCourse()) {
        for (const auto& sequence : course->GetNumberings()) {
            if (!sequence->IsAutoNumber())
                continue;
            sequence->SetAutoNumber(false);
            m_switchedOff.push_back(sequence.get());
        }
    }
    return m_textChanged;
}
