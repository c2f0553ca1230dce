#include "app/ScoreSheet.h"

#include <algorithm>
#include <cmath>

#include "foundation/CrashLog.h"
#include "foundation/FontMetrics.h"
#include "foundation/Rect.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"

namespace {

using CCell = CScoreSheet::CCell;

constexpr CCell kEmpty{L"", false, false, 0, false};
constexpr CCell kRule{nullptr, false, false, 0, false};

constexpr CCell Label(const wchar_t* text) { return {text, false, false, 0, false}; }
constexpr CCell Entry(const wchar_t* text) { return {text, true, false, 0, false}; }

// The form row by row; the class cell (row 1, column 1) gets its text when
// a sheet asks for it.
const CCell kForm[CScoreSheet::kRows][CScoreSheet::kColumns] = {
    {kEmpty, Label(L"Agility Class:"), Entry(L"Running Time"), Entry(L"Running Faults"),
     {L"Course Value", true, false, 0, true}},
    {Label(L"Entry #"), {L"", false, true, 1, false}, Entry(L"Course Time"), Entry(L"Other Faults"),
     Entry(L"Total Faults")},
    {kRule, kRule, Entry(L"Time Faults"), Entry(L"Additional Faults"),
     {L"Final Score", true, true, 0, false}},
    {kEmpty, Label(L"Hgt. Division:"), kEmpty, Entry(L"Time Faults"), kRule},
    {Label(L"Breed:"), {L"Toy  1   2   3", false, false, 1, false}, kEmpty,
     {L"Total Faults", true, true, 0, false}, {L"Qual      Non-Qual", false, true, 1, false}},
};

const wchar_t* const kClassNames[12] = {
    L"I", L"II", L"III", L"Std Beginner", L"Std Intermediate", L"Std Excellent",
    L"Hurdles Novice", L"Hurdles Elite", L"Tunnels Novice", L"Tunnels Elite", L"3oK Novice",
    L"3oK Elite",
};

void DrawRuleLine(CGraphicsContext& context, float x0, float y0, float x1, float y1)
{
    context.BeginLine(1);
    context.MoveTo(x0, y0);
    context.LineTo(x1, y1);
    context.EndPath();
}

}  // namespace

CScoreSheet::CScoreSheet(float width, int32_t ukcClass) : m_width(width), m_class(ukcClass)
{
    if (!GetClassText(ukcClass)) {
        TRACE_VALUE(int32_t, ukcClass);
        ReportFailure();
    }
    CFieldWriter& key = BeginKey();
    key.WriteFloat16(m_width);
    key.WriteInt8(m_class);
}

const wchar_t* CScoreSheet::GetClassText(int32_t ukcClass)
{
    if (ukcClass < 1 || ukcClass > 12)
        return nullptr;
    return kClassNames[ukcClass - 1];
}

float CScoreSheet::GetFontSize(float width)
{
    return 0.018f * width;
}

float CScoreSheet::GetHeight(float width)
{
    const CFontMetrics font(GetFontSize(width), false);
    return std::ceil(6.0f * font.GetLineSpacing() - font.GetEmAscent());
}

CScoreSheet::CCell CScoreSheet::GetCell(int column, int row) const
{
    CCell cell = kForm[row][column];
    if (row == 1 && column == 1) {
        const wchar_t* name = GetClassText(m_class);
        cell.text = name ? name : kClassNames[0];
    }
    return cell;
}

float CScoreSheet::GetCellWidth(const CCell& cell, float fontSize)
{
    if (!cell.text)
        return 0.0f;
    const CFontMetrics font(fontSize, cell.bold);
    float width = font.GetStringWidth(cell.text) + fontSize;
    if (cell.entryLine && cell.text[0] != L'\0')
        width += 4.5f * fontSize;
    return width;
}

void CScoreSheet::GetColumnEdges(float edges[kColumns]) const
{
    const float fontSize = GetFontSize(m_width);
    float right = m_width;
    for (int column = kColumns - 1; column >= 1; --column) {
        float width = 0.0f;
        for (int row = 0; row < kRows; ++row)
            width = std::max(width, GetCellWidth(GetCell(column, row), fontSize));
        edges[column] = right - width;
        right = edges[column];
    }
    edges[0] = 0.0f;
}

void CScoreSheet::DrawCell(const CCell& cell, CGraphicsContext& context, float left, float right,
                           float baseline)
{
    CGraphicsState& state = context.m_state;
    const float fontSize = state.font.size;
    const float p = fontSize / 2.0f;
    const bool wasBold = state.font.IsBold();
    if (cell.bold)
        state.font.SetBold(true);

    if (!cell.text) {
        const float y = baseline - state.font.GetEmAscent() / 2.0f;
        DrawRuleLine(context, left, y, right, y);
    } else if (cell.text[0] != L'\0') {
        int32_t alignment = cell.alignment;
        float x = left + p;
        if (alignment == 1) {
            x = (left + right) / 2.0f;
        } else if (alignment == 2) {
            x = right - p;
        } else if (alignment != 0) {
            TRACE_VALUE(int32_t, alignment);
            ReportFailure();
            alignment = 0;
        }
        state.textAlignH = uint32_t(alignment);
        state.textAlignV = 5;
        context.DrawText(cell.text, x, baseline);

        if (cell.entryLine) {
            if (alignment != 0) {
                TRACE_VALUE(int32_t, alignment);
                ReportFailure();
            }
            const float x1 = right - p - 4.0f * fontSize;
            const float x2 = right - p;
            DrawRuleLine(context, x1, baseline, x2, baseline);
            if (cell.valueMark) {
                state.textAlignH = 1;
                context.DrawText(L"200", (x1 + x2) / 2.0f, baseline - state.font.GetDescent());
            }
        }
    }

    if (cell.bold)
        state.font.SetBold(wasBold);
}

void CScoreSheet::Draw(CGraphicsContext& context)
{
    TRACE_POINT();
    const float fontSize = GetFontSize(m_width);
    const float height = GetHeight(m_width);
    CGraphicsState& state = context.m_state;
    state.penColor = 0xFF000000;
    state.penWidth = 20.0f;
    state.fillColor = 0xFFFFFFFF;
    state.textColor = 0xFF000000;
    context.SetDashStyle(0);
    context.SetFillPattern(0);
    state.font = CFontMetrics(fontSize, false);
    state.strokeZ = 3.0f;
    state.fillZ = 1.0f;
    state.textZ = 2.0f;

    context.BeginPath(true, true, 1);
    context.AddRect(CRectF(0.0f, 0.0f, m_width, height));
    context.EndPath();

    float edges[kColumns];
    GetColumnEdges(edges);
    for (int column = kColumns - 1; column >= 1; --column)
        DrawRuleLine(context, edges[column], 0.0f, edges[column], height);

    const float lineSpacing = state.font.GetLineSpacing();
    for (int column = kColumns - 1; column >= 0; --column) {
        const float left = edges[column];
        const float right = column + 1 < kColumns ? edges[column + 1] : m_width;
        for (int row = 0; row < kRows; ++row)
            DrawCell(GetCell(column, row), context, left, right, float(row + 1) * lineSpacing);
    }
}
