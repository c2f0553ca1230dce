#include "foundation/FontMetrics.h"

#include "foundation/FontAdvances.h"

namespace {

const int kLineSpacingUnits = 2355;
const int kHeightUnits = 2288;
const int kAscentUnits = 1854;
const int kDescentUnits = 434;
const int kInternalLeadingUnits = 240;
const int kEmAscentUnits = 1614;

}  // namespace

CFontMetrics::CFontMetrics() : CFontMetrics(0.0f, false) {}

CFontMetrics::CFontMetrics(float size_, bool bold)
    : size(size_), m_pageMap(bold ? g_boldAdvancePageMap : g_regularAdvancePageMap)
{
}

void CFontMetrics::SetBold(bool bold)
{
    m_pageMap = bold ? g_boldAdvancePageMap : g_regularAdvancePageMap;
}

bool CFontMetrics::IsBold() const { return m_pageMap == g_boldAdvancePageMap; }

float CFontMetrics::GetCharAdvance(wchar_t c) const
{
    const unsigned code = static_cast<uint16_t>(c);
    const float advance = g_fontAdvancePages[m_pageMap[code >> 6]][code & 63];
    return advance * size / 2048.0f;
}

float CFontMetrics::GetStringWidth(const std::wstring& text) const
{
    float width = 0.0f;
    for (wchar_t c : text)
        width += GetCharAdvance(c);
    return width;
}

float CFontMetrics::Scaled(int units) const
{
    return float(double(size) * (units * (1.0 / 2048.0)));
}

float CFontMetrics::GetLineSpacing() const { return Scaled(kLineSpacingUnits); }
float CFontMetrics::GetHeight() const { return Scaled(kHeightUnits); }
float CFontMetrics::GetAscent() const { return Scaled(kAscentUnits); }
float CFontMetrics::GetDescent() const { return Scaled(kDescentUnits); }
float CFontMetrics::GetInternalLeading() const { return Scaled(kInternalLeadingUnits); }
float CFontMetrics::GetEmAscent() const { return Scaled(kEmAscentUnits); }

bool CFontMetrics::operator==(const CFontMetrics& other) const
{
    return size == other.size && m_pageMap == other.m_pageMap;
}

bool CFontMetrics::operator<(const CFontMetrics& other) const
{
    if (size != other.size)
        return size < other.size;
    return !IsBold() && other.IsBold();
}
