#pragma once

#include <cstdint>
#include <string>

// The one set of font metrics that all text is measured with, on screen, in
// print, in EPS and in 3D alike, so that a course lays out the same
// everywhere: a size (the em, in the caller's units) with the regular or the
// bold advance table. The numbers are those of a 2048-units-per-em sans
// serif, scaled by size / 2048.
class CFontMetrics
{
public:
    CFontMetrics();
    CFontMetrics(float size, bool bold);

    void SetBold(bool bold);
    bool IsBold() const;

    float GetCharAdvance(wchar_t c) const;
    // The advances of the units added in order; 0 for an empty string.
    float GetStringWidth(const std::wstring& text) const;

    float GetLineSpacing() const;      // ascent + descent + line gap
    float GetHeight() const;           // ascent + descent: the text cell
    float GetAscent() const;           // baseline below the cell top
    float GetDescent() const;          // cell bottom below the baseline
    float GetInternalLeading() const;  // height minus the em
    float GetEmAscent() const;         // ascent minus internal leading

    // Same size and same weight.
    bool operator==(const CFontMetrics& other) const;
    bool operator!=(const CFontMetrics& other) const { return !(*this == other); }
    // Smaller size first; at equal size regular before bold.
    bool operator<(const CFontMetrics& other) const;

    float size;

private:
    float Scaled(int units) const;

    const uint8_t* m_pageMap;
};
