#include "dialogs/AFrameDlg.h"

#include <string>

#include "course/Course.h"
#include "course/SpecList.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kAFrameNameTextId = 2526;

// The per-type, per-organisation value name: type id, organisation, key.
std::wstring ValueName(const CCourse* course, const wchar_t* key)
{
    std::wstring name = L"10";
    if (course != nullptr)
        name += course->GetSpecList().GetName();
    return name + key;
}

}  // namespace

CAFrameDlg::CAFrameDlg(CCourse* course) : CObjectPropertiesDlg(course, kAFrameNameTextId)
{
    m_length = float(CSettings::GetInt(ValueName(course, L"PlankLen"), -1));
    m_height = float(CSettings::GetInt(ValueName(course, L"Height"), -1));
    if (!(m_length > 0.0f) || !(m_height > 0.0f)) {
        m_length = kDefaultLength;
        m_height = kDefaultHeight;
    }
}

void CAFrameDlg::MergeLength(float length)
{
    if (GetEditedCount() <= 1)
        m_length = length;
    else if (m_length != length)
        m_length = 0.0f;
}

void CAFrameDlg::MergeHeight(float height)
{
    if (GetEditedCount() <= 1)
        m_height = height;
    else if (m_height != height)
        m_height = 0.0f;
}

float CAFrameDlg::GetLength() const
{
    if (!(m_length > 0.0f)) {
        TRACE_VALUE(float, m_length);
        ReportFailure();
    }
    return m_length;
}

float CAFrameDlg::GetHeight() const
{
    if (!(m_height > 0.0f)) {
        TRACE_VALUE(float, m_height);
        ReportFailure();
    }
    return m_height;
}
