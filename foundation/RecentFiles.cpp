#include "foundation/RecentFiles.h"

#include "foundation/CrashLog.h"
#include "foundation/Files.h"
#include "foundation/Settings.h"

namespace {

const size_t kLongestMenuPath = 60;

std::wstring GetValueName(int32_t number) { return L"File" + std::to_wstring(number); }

}  // namespace

std::wstring ShortenPathForMenu(const std::wstring& path)
{
    const size_t length = path.size();
    if (length <= kLongestMenuPath)
        return path;
    const size_t excess = length - kLongestMenuPath;
    const size_t firstSeparator = path.find_first_of(L"/\\");
    // The tail moves left from separator to separator while it still has to;
    // the head keeps the text up to the first separator when that is enough.
    size_t tail = length;
    size_t head = 0;
    bool firstPass = true;
    for (;;) {
        size_t separator = 0;
        if (tail > 0) {
            const size_t found = path.find_last_of(L"/\\", tail - 1);
            separator = found == std::wstring::npos ? 0 : found;
        }
        const bool moved = firstPass || separator >= excess;
        if (moved)
            tail = separator;
        firstPass = false;
        if (firstSeparator != std::wstring::npos && tail >= firstSeparator + 1 &&
            tail - (firstSeparator + 1) >= excess) {
            head = firstSeparator + 1;
            break;
        }
        if (!moved) {
            head = 0;
            break;
        }
    }
    return path.substr(0, head) + (tail > head ? L"..." : L"") + path.substr(tail);
}

void CRecentFiles::SetMaximum(int32_t maximum)
{
    TRACE_VALUE(int32_t, maximum);
    if (maximum < 0) {
        ReportFailure();
        maximum = 0;
    }
    m_maximum = maximum;
    if (int32_t(m_paths.size()) > m_maximum) {
        TrimToMaximum();
        RebuildLabels();
    }
}

void CRecentFiles::Add(const std::wstring& path)
{
    TRACE_VALUE(std::wstring, path);
    size_t match = 0;
    while (match < m_paths.size() && !IsSamePath(m_paths[match], path))
        ++match;
    if (match == 0 && !m_paths.empty())
        return;
    if (match < m_paths.size())
        m_paths.erase(m_paths.begin() + match);
    m_paths.push_front(path);
    TrimToMaximum();
    RebuildLabels();
}

void CRecentFiles::Remove(const std::wstring& path)
{
    TRACE_VALUE(std::wstring, path);
    for (auto it = m_paths.begin(); it != m_paths.end(); ++it) {
        if (IsSamePath(*it, path)) {
            m_paths.erase(it);
            break;
        }
    }
    RebuildLabels();
}

void CRecentFiles::Load()
{
    TRACE_POINT();
    m_paths.clear();
    for (int32_t n = 1; n <= m_maximum; ++n) {
        std::wstring path = CSettings::GetWString(GetValueName(n), std::wstring());
        if (!path.empty())
            m_paths.push_back(std::move(path));
    }
    RebuildLabels();
}

void CRecentFiles::Save() const
{
    TRACE_POINT();
    for (int32_t n = 1; n <= m_maximum; ++n) {
        const size_t index = size_t(n - 1);
        CSettings::SetWString(GetValueName(n), index < m_paths.size() ? m_paths[index] : std::wstring());
    }
}

void CRecentFiles::TrimToMaximum()
{
    // A maximum lowered by the owner cuts the list down at once, not one entry
    // per addition.
    while (!m_paths.empty() && int32_t(m_paths.size()) > m_maximum)
        m_paths.pop_back();
}

void CRecentFiles::RebuildLabels()
{
    m_labels.clear();
    for (size_t i = 0; i < m_paths.size(); ++i) {
        std::wstring label = i < 9 ? std::to_wstring(i + 1) + L" " : std::wstring();
        m_labels.push_back(label + ShortenPathForMenu(m_paths[i]));
    }
}
