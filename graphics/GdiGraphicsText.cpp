// Text on the GDI canvas: font slots, runs and per-character advances.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GdiGraphics.h"

namespace {

const wchar_t* const kSlotFaces[CGdiGraphics::kFontSlotCount] = {L"Arial", L"MS Mincho",
                                                                 L"Arial Unicode MS"};

// Larger glyphs would only make the rasteriser allocate without bound; the
// advances still place every character where the layout puts it.
const float kMaxFontHeight = 16384.0f;

// What every font of the canvas is made with besides its height, weight and
// face: pitch-and-family 38 asks for a variable-pitch sans serif.
HFONT MakeFont(int height, bool bold, const wchar_t* face)
{
    return CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_TT_ONLY_PRECIS, CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, 38, face);
}

int CALLBACK NoteFaceFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// One byte per UTF-16 code unit: the slot whose face draws it. The faces are
// visited from the last slot to the first, so a character goes to the first
// slot whose face has it; installed faces only.
std::vector<uint8_t> BuildSlotTable()
{
    TRACE_POINT();
    std::vector<uint8_t> table(65536, 0);
    CMemoryDc dc(nullptr);
    if (!dc.Get())
        return table;
    for (int slot = CGdiGraphics::kFontSlotCount - 1; slot >= 0; --slot) {
        bool found = false;
        EnumFontFamiliesW(dc.Get(), kSlotFaces[slot], NoteFaceFound, LPARAM(&found));
        if (!found)
            continue;
        CGdiObject<HFONT> font(MakeFont(2048, false, kSlotFaces[slot]));
        if (!font) {
            TRACE_VALUE(std::wstring, std::wstring(kSlotFaces[slot]));
            ReportFailure(kFailSystemCall);
            continue;
        }
        CDcSelection selection(dc.Get(), font.Get());
        const DWORD size = GetFontUnicodeRanges(dc.Get(), nullptr);
        if (size < sizeof(GLYPHSET))
            continue;
        std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
        auto* glyphs = reinterpret_cast<GLYPHSET*>(buffer.data());
        if (GetFontUnicodeRanges(dc.Get(), glyphs) != size)
            continue;
        // The ranges are read only as far as the buffer holds them.
        const size_t fits = (size - offsetof(GLYPHSET, ranges)) / sizeof(WCRANGE);
        const size_t count = std::min<size_t>(glyphs->cRanges, fits);
        for (size_t i = 0; i < count; ++i) {
            const uint32_t low = glyphs->ranges[i].wcLow;
            const uint32_t high = std::min<uint32_t>(low + glyphs->ranges[i].cGlyphs, 0x10000);
            for (uint32_t c = low; c < high; ++c)
                table[c] = uint8_t(slot);
        }
    }
    return table;
}

}  // namespace

const wchar_t* CGdiGraphics::GetFontSlotFace(int slot)
{
    return slot >= 0 && slot < kFontSlotCount ? kSlotFaces[slot] : kSlotFaces[0];
}

int CGdiGraphics::GetFontSlot(wchar_t c)
{
    if (c < 256)
        return 0;
    static const std::vector<uint8_t> table = BuildSlotTable();
    return table[uint16_t(c)];
}

void CGdiGraphics::SplitRuns(const std::vector<int>& slots, std::vector<CTextRun>& runs)
{
    runs.clear();
    for (size_t i = 0; i < slots.size(); ++i) {
        if (runs.empty() || runs.back().slot != slots[i])
            runs.push_back({i, 0, slots[i]});
        ++runs.back().length;
    }
}

HFONT CGdiGraphics::GetSlotFont(int slot, bool bold)
{
    CGdiObject<HFONT>& font = m_fonts[slot];
    if (!font) {
        font.Reset(MakeFont(m_fontHeight, bold, kSlotFaces[slot]));
        if (!font) {
            TRACE_VALUE(int32_t, m_fontHeight);
            ReportFailure(kFailSystemCall);
        }
    }
    return font.Get();
}

void CGdiGraphics::DrawText(const std::wstring& text, float x, float y)
{
    TRACE_POINT();
    if (!m_dc) {
        ReportFailure();
        return;
    }
    std::vector<float>& advances = m_charAdvances;
    const CPoint2 start = AlignText(text, x, y, nullptr, &advances);
    if (text.empty())
        return;

    // Each character ends at its own rounded device position, so rounding
    // never adds up along the line.
    POINT origin;
    if (!ToDevice(start.x, start.y, origin)) {
        TRACE_VALUE(CPoint2, start);
        ReportFailure();
        return;
    }
    m_advances.resize(text.size());
    float end = start.x;
    LONG previous = origin.x;
    for (size_t i = 0; i < text.size(); ++i) {
        end += advances[i];
        POINT p;
        if (!ToDevice(end, start.y, p)) {
            TRACE_VALUE(float, end);
            ReportFailure();
            return;
        }
        m_advances[i] = INT(p.x - previous);
        previous = p.x;
    }

    const float pixels = m_state.font.size * GetDeviceScale() + 0.001f;
    const int height = pixels >= 1.0f ? int(std::min(pixels, kMaxFontHeight)) : 1;
    CGdiDrawingCache::CText line;
    line.height = height;
    line.bold = m_state.font.IsBold();
    line.textColor = m_state.textColor;
    line.backColor = m_state.fillColor;
    line.x = origin.x;
    line.y = origin.y;
    PaintText(line, text, m_advances);
    if (m_keptDrawing)
        CGdiDrawingCache::AddText(*m_keptDrawing, line, text, m_advances);
}

void CGdiGraphics::PaintText(const CGdiDrawingCache::CText& line, const std::wstring& text,
                             const std::vector<INT>& advances)
{
    const int height = line.height;
    const bool bold = line.bold;
    if (height != m_fontHeight || bold != m_fontBold) {
        // A font of the canvas stays selected after its run; it must be out
        // before the fonts go.
        for (CGdiObject<HFONT>& font : m_fonts) {
            if (font && m_dcState.GetFont() == font.Get())
                m_dcState.SelectFont(CDcState::GetStock(SYSTEM_FONT));
            font.Reset();
        }
        m_fontHeight = height;
        m_fontBold = bold;
    }
    m_dcState.SetTextAlign(TA_BASELINE);
    m_dcState.SetTextColor(line.textColor & 0x00FFFFFF);
    m_dcState.SetBackgroundColor(line.backColor & 0x00FFFFFF);
    m_dcState.SetBackgroundMode(OPAQUE);

    m_slots.resize(text.size());
    std::transform(text.begin(), text.end(), m_slots.begin(), GetFontSlot);
    int x = line.x;
    SplitRuns(m_slots, m_runs);
    for (const CTextRun& run : m_runs) {
        HFONT font = GetSlotFont(run.slot, bold);
        if (font) {
            // A metafile records the font going in and out around each run,
            // as it always has; elsewhere the font stays for the next text.
            std::optional<CDcSelection> selection;
            if (m_dcState.IsMetafile())
                selection.emplace(m_dc, font);
            else
                m_dcState.SelectFont(font);
            if (!ExtTextOutW(m_dc, x, line.y, 0, nullptr, text.data() + run.start, UINT(run.length),
                             advances.data() + run.start)) {
                TRACE_VALUE(int32_t, int32_t(GetLastError()));
                ReportFailure(kFailSystemCall);
            }
        }
        for (size_t i = 0; i < run.length; ++i)
            x += advances[run.start + i];
    }
}
