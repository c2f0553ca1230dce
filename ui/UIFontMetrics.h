#pragma once

#include <windows.h>

#include <string>

// The system message font, which every control of the program uses and from
// which every size in dialog units (DLU) is derived. Built on first use.
struct CUIFontMetrics
{
    // Text metrics of the message font made 32 times as tall (more precise
    // than the font's own rounded metrics).
    int height32 = 0;
    int aveCharWidth32 = 0;
    std::wstring faceName;
    bool italic = false;
    // The message font at its own size; lives until the program ends.
    HFONT uiFont = nullptr;
    int pointSize = 0;
    // The weight written into dialog templates.
    int templateWeight = 0;
    BYTE charSet = 0;
};

const CUIFontMetrics& GetUIFontMetrics();

// Horizontal dialog units: 4 make one average character width.
int DluToPixelsX(int dlu);
// Vertical dialog units: 8 make one line height.
int DluToPixelsY(int dlu);
// The same conversions for given metrics.
int DluToPixelsX(const CUIFontMetrics& metrics, int dlu);
int DluToPixelsY(const CUIFontMetrics& metrics, int dlu);

float GetAverageCharWidth();
int GetLineHeight();
// The width in pixels of a caption drawn in the UI font, access-key markers
// removed.
int GetTextWidth(const std::wstring& text);
// Removes every "&" ("&&" leaves nothing).
std::wstring StripAccessKeyMarkers(const std::wstring& text);
std::wstring GetUIFontName();
