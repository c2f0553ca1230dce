#include "foundation/ColorTable.h"

#include "foundation/CrashLog.h"
#include "foundation/Rgba.h"

CColorTable::CColorTable(size_t capacity)
{
    m_colors.reserve(capacity);
}

void CColorTable::Add(uint32_t color)
{
    TRACE_POINT();
    if (!m_cache.empty()) {
        TRACE_VALUE(CRgba, color);
        ReportFailure();
    }
    m_colors.push_back(color);
}

uint32_t CColorTable::GetColor(int index) const
{
    if (index < 0 || index >= int(m_colors.size())) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return 0xFF000000;
    }
    return m_colors[size_t(index)];
}

uint32_t CColorTable::Coarsen(uint32_t color)
{
    const auto level = [](uint32_t v) { return (v + 8) / 15 * 15; };
    return MakeRgba(level(GetRed(color)), level(GetGreen(color)), level(GetBlue(color)), 255);
}

int CColorTable::FindNearest(uint32_t color) const
{
    TRACE_POINT();
    if (m_colors.empty()) {
        TRACE_VALUE(CRgba, color);
        ReportFailure();
        return 0;
    }
    if (m_cache.empty()) {
        for (size_t i = 0; i < m_colors.size(); ++i)
            m_cache.emplace(m_colors[i], int(i));
    }
    auto found = m_cache.find(color);
    if (found != m_cache.end())
        return found->second;

    const uint32_t key = m_cache.size() > kExactCacheLimit ? Coarsen(color) : color;
    found = m_cache.find(key);
    if (found != m_cache.end())
        return found->second;

    int best = 0;
    int bestDistance = ColorDistanceSquared(m_colors[0], key);
    for (size_t i = 1; i < m_colors.size() && bestDistance > 0; ++i) {
        const int distance = ColorDistanceSquared(m_colors[i], key);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = int(i);
        }
    }
    m_cache.emplace(key, best);
    return best;
}

std::unique_ptr<CColorTable> CColorTable::FromPixels(const uint32_t* pixels, size_t count)
{
    TRACE_POINT();
    if (pixels == nullptr && count > 0) {
        ReportFailure();
        return nullptr;
    }
    auto table = std::make_unique<CColorTable>(256);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t color = pixels[i];
        if (table->m_cache.count(color) != 0)
            continue;
        if (table->m_colors.size() >= 255)
            return nullptr;
        table->m_cache.emplace(color, int(table->m_colors.size()));
        table->m_colors.push_back(color);
    }
    return table;
}
