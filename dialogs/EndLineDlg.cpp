#include "dialogs/EndLineDlg.h"

#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kEndLineNameTextId = 2586;
// The kinds of line, as the line stores them.
constexpr int kStartLine = 0;
constexpr int kStartAndFinishLine = 1;
constexpr int kFinishLine = 2;

}  // namespace

CEndLineDlg::CEndLineDlg(CCourse* course) : CObjectPropertiesDlg(course, kEndLineNameTextId)
{
    if (CSettings::GetInt(GetValueName(L"StartAndFinish", false), 1) != 0) {
        m_kind = kStartAndFinishLine;
        return;
    }
    int starts = 0;
    int finishes = 0;
    int both = 0;
    if (course != nullptr)
        course->CountEndLines(starts, finishes, both);
    m_kind = both > starts ? kStartAndFinishLine : starts > finishes ? kFinishLine : kStartLine;
}

void CEndLineDlg::MergeStartAndFinish(int kind)
{
    if (GetEditedCount() <= 1) {
        m_kind = kind;
        m_kindMixed = false;
    } else if (kind != m_kind) {
        m_kindMixed = true;
    }
}

int CEndLineDlg::GetStartAndFinish() const
{
    if (m_kindMixed) {
        TRACE_VALUE(int32_t, m_kind);
        ReportFailure();
    }
    return m_kind;
}

void CEndLineDlg::SetStartAndFinish(int kind)
{
    m_kindMixed = false;
    if (kind < kStartLine || kind > kFinishLine) {
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
        kind = kStartAndFinishLine;
    }
    m_kind = kind;
}

void CEndLineDlg::StoreDefaults() const
{
    if (!m_kindMixed)
        CSettings::SetInt(GetValueName(L"StartAndFinish", false), m_kind == kStartAndFinishLine ? 1 : 0);
}
