#pragma once

// An index range over the pixels of a width x height bitmap stored row by
// row: for (int i = range.start; i != range.end; i += range.step). Sizes
// arrive as floats and are truncated; a negative size counts as 0, and a row
// outside the bitmap gives an empty range, so a loop never leaves the pixels.
struct CPixelRange
{
    int start = 0;
    int step = 1;
    int end = 0;
    int width = 0;
    int lastRow = -1;

    // Every pixel: {0, 1, width * height}.
    static CPixelRange AllPixels(float width, float height)
    {
        const int w = Truncate(width);
        const int h = Truncate(height);
        return {0, 1, w * h, w, h - 1};
    }

    // The pixels of row r counted from the last stored row (the bottom row of
    // a bottom-up bitmap is row 0): {(h - 1 - r) * w, 1, that + w}.
    static CPixelRange Row(float width, float height, int r)
    {
        const int w = Truncate(width);
        const int h = Truncate(height);
        if (r < 0 || r >= h)
            return {0, 1, 0, w, h - 1};
        const int first = (h - 1 - r) * w;
        return {first, 1, first + w, w, h - 1};
    }

    // The first index of every row: top to bottom {0, +w, h * w}, or bottom
    // to top {(h - 1) * w, -w, -w}.
    static CPixelRange Rows(float width, float height, bool bottomUp)
    {
        const int w = Truncate(width);
        const int h = Truncate(height);
        if (bottomUp)
            return {(h - 1) * w, -w, (h - 1) * w - h * w, w, h - 1};
        return {0, w, h * w, w, h - 1};
    }

private:
    static int Truncate(float size) { return size > 0.0f ? int(size) : 0; }
};
