#pragma once

// Where the displayed coordinate system of a ring starts and which way its
// axes run, from the ring's size and the display-origin codes ("DisplayOriginX",
// "DisplayOriginY": 0 start, 1 centre, 2 end). A displayed coordinate is
// (position - offset) * sign; displayed y grows upwards unless the origin
// lies at the top edge.
struct CAlignment
{
    // An origin code other than 0, 1 or 2 is reported and counts as 0.
    CAlignment(float lengthX, float lengthY, int codeX, int codeY);

    float offsetX = 0.0f;
    float offsetY = 0.0f;
    float signX = 1.0f;
    float signY = 1.0f;
};
