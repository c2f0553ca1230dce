#include "graphics/TextFormat.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <map>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"

namespace {

const size_t kMaxAttributeValues = 65536;

// The program-wide attribute table: identifiers by value, values by
// identifier. It lives until exit.
struct CAttributeTable
{
    std::map<CFontMetrics, uint16_t> ids;
    std::deque<CFontMetrics> values;
};

CAttributeTable& GetTable()
{
    static CAttributeTable table;
    return table;
}

}  // namespace

namespace FmtText {

void InternAttributes(Cell& cell, const CFontMetrics& attributes)
{
    CAttributeTable& table = GetTable();
    uint16_t id = 0;
    const auto found = table.ids.find(attributes);
    if (found != table.ids.end()) {
        id = found->second;
    } else if (table.values.size() < kMaxAttributeValues) {
        id = uint16_t(table.values.size());
        table.values.push_back(attributes);
        table.ids.emplace(attributes, id);
    } else {
        TRACE_VALUE(float, attributes.size);
        ReportFailure();
    }
    cell = (cell & 0xFFFF) | (Cell(id) << 16);
}

const CFontMetrics& LookUpAttributes(uint16_t id)
{
    const CAttributeTable& table = GetTable();
    if (id < table.values.size())
        return table.values[id];
    TRACE_VALUE(int32_t, id);
    ReportFailure();
    static const CFontMetrics fallback(1.0f, false);
    return table.values.empty() ? fallback : table.values.front();
}

Cell MakeCell(wchar_t ch, const CFontMetrics& attributes)
{
    Cell cell = Cell(uint16_t(ch));
    InternAttributes(cell, attributes);
    return cell;
}

void CheckRange(int& from, int& to, int length)
{
    if (from >= 0 && from <= to && to <= length)
        return;
    TRACE_VALUE(int32_t, from);
    TRACE_VALUE(int32_t, to);
    ReportFailure();
    from = std::max(0, std::min(from, length));
    to = std::max(from, std::min(to, length));
}

int32_t WholeSize(const CFontMetrics& attributes) { return SaturateToInt32(attributes.size); }

}  // namespace FmtText

CParagraphFormat::CParagraphFormat(int32_t interval) : tabInterval(interval)
{
    if (interval < 1) {
        TRACE_VALUE(int32_t, interval);
        ReportFailure();
    }
}

float CParagraphFormat::GetTabEnd(float x, float spaceWidth) const
{
    const float position = x + spaceWidth;
    for (int32_t stop : tabStops) {
        if (float(stop) > position)
            return float(stop);
    }
    const float interval = float(tabInterval >= 1 ? tabInterval : 1);
    return (std::trunc(position / interval) + 1.0f) * interval;
}
