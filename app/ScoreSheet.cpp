#include "app/ScoreSheet.h"

#include <cmath>

float CScoreSheet::GetHeight(float width)
{
    const float fontSize = 0.018f * width;
    const float lineSpacing = fontSize * 2355.0f / 2048.0f;
    const float ascent = fontSize * 1614.0f / 2048.0f;
    return std::ceil(6.0f * lineSpacing - ascent);
}
