#include "ui/UIFontMetrics.h"

#include <cstddef>

#include "foundation/CrashLog.h"
#include "foundation/Geometry.h"
#include "graphics/GdiObject.h"

// The size the font metrics are read with: the form without
// iPaddedBorderWidth, which every Windows version accepts.
static_assert(offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth) == 500, "NONCLIENTMETRICSW layout differs");

namespace {

CUIFontMetrics BuildMetrics()
{
    TRACE_POINT();
    CUIFontMetrics metrics;
    NONCLIENTMETRICSW ncm = {};
    ncm.cbSize = 500;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, 500, &ncm, 0)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
    LOGFONTW font = ncm.lfMessageFont;
    metrics.faceName = font.lfFaceName;
    metrics.uiFont = CreateFontIndirectW(&font);
    if (!metrics.uiFont)
        ReportFailure();

    font.lfHeight *= 32;
    const CGdiObject<HFONT> tall(CreateFontIndirectW(&font));
    TEXTMETRICW tm = {};
    int pixelsPerInch = 0;
    {
        const CWindowDc screen(nullptr);
        const CDcSelection selection(screen.Get(), tall.Get());
        if (!GetTextMetricsW(screen.Get(), &tm))
            ReportFailure();
        pixelsPerInch = GetDeviceCaps(screen.Get(), LOGPIXELSY);
    }
    if (pixelsPerInch <= 0) {
        TRACE_VALUE(int32_t, pixelsPerInch);
        ReportFailure();
        pixelsPerInch = 96;
    }

    metrics.height32 = tm.tmHeight;
    metrics.aveCharWidth32 = tm.tmAveCharWidth;
    metrics.italic = tm.tmItalic != 0;
    metrics.charSet = tm.tmCharSet;
    metrics.pointSize = DivideRounded((tm.tmHeight - tm.tmInternalLeading) * 72, pixelsPerInch * 32);
    metrics.templateWeight = tm.tmWeight;
    TRACE_VALUE(int32_t, metrics.height32);
    TRACE_VALUE(int32_t, metrics.aveCharWidth32);
    return metrics;
}

}  // namespace

const CUIFontMetrics& GetUIFontMetrics()
{
    static const CUIFontMetrics metrics = BuildMetrics();
    return metrics;
}

int DluToPixelsX(const CUIFontMetrics& metrics, int dlu) { return DivideRounded(metrics.aveCharWidth32 * dlu, 128); }

int DluToPixelsY(const CUIFontMetrics& metrics, int dlu) { return DivideRounded(metrics.height32 * dlu, 256); }

int DluToPixelsX(int dlu) { return DluToPixelsX(GetUIFontMetrics(), dlu); }

int DluToPixelsY(int dlu) { return DluToPixelsY(GetUIFontMetrics(), dlu); }

float GetAverageCharWidth() { return float(GetUIFontMetrics().aveCharWidth32) / 32.0f; }

int GetLineHeight() { return DivideRounded(GetUIFontMetrics().height32, 32); }

std::wstring StripAccessKeyMarkers(const std::wstring& text)
{
    std::wstring stripped;
    stripped.reserve(text.size());
    for (wchar_t c : text)
        if (c != L'&')
            stripped += c;
    return stripped;
}

int GetTextWidth(const std::wstring& text)
{
    const std::wstring plain = StripAccessKeyMarkers(text);
    const CWindowDc screen(nullptr);
    const CDcSelection selection(screen.Get(), GetUIFontMetrics().uiFont);
    SIZE size = {};
    if (!GetTextExtentPoint32W(screen.Get(), plain.c_str(), int(plain.size()), &size))
        ReportFailure();
    return size.cx;
}

std::wstring GetUIFontName() { return GetUIFontMetrics().faceName; }
