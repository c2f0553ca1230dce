#include "foundation/Geometry.h"

#include <cstdint>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"

void CVector3::Normalize()
{
    const float length = Length();
    if (!(length > 0.0f) || !std::isfinite(length)) {
        TRACE_VALUE(float, length);
        ReportFailure();
        return;
    }
    x /= length;
    y /= length;
    z /= length;
}

CSize2 FitSizeKeepingAspect(const CSize2& aspect, float width, float height)
{
    const float c = aspect.width * height - aspect.height * width;
    // c > 0 needs a non-zero aspect width and c < 0 a non-zero aspect height
    // for sizes that are not negative; negative sizes could reach a division
    // by zero, which then keeps the limit.
    if (c > 0.0f && aspect.width != 0.0f)
        return {width, aspect.height * width / aspect.width};
    if (c < 0.0f && aspect.height != 0.0f)
        return {aspect.width * height / aspect.height, height};
    if (c != 0.0f) {
        TRACE_VALUE(CSize2, aspect);
        ReportFailure();
    }
    return {width, height};
}

float LegFromHypotenuse(float a, float b)
{
    const float square = a * a - b * b;
    return square > 0.0f ? std::sqrt(square) : 0.0f;
}

int DivideRounded(int a, int b)
{
    if (b == 0) {
        TRACE_VALUE(int32_t, a);
        ReportFailure();
        return 0;
    }
    // The formula (a + b/2 + 32766 b) / b - 32766 truncates toward zero, so
    // it rounds down only while the offset dividend stays positive, that is
    // for a down to -32766 b. Below that, and wherever the 32-bit sum would
    // overflow, the division is rounded down in 64 bits instead.
    const int64_t dividend = int64_t(a) + b / 2;
    int64_t quotient = dividend / b;
    if (b > 0 && dividend % b != 0 && dividend < 0)
        --quotient;
    else if (b < 0)
        quotient = (dividend + 32766 * int64_t(b)) / b - 32766;
    return int(quotient);
}

CRotationFrame::CRotationFrame(float originX, float originY, float directionX, float directionY)
    : m_dx(directionX),
      m_dy(directionY),
      m_length(Hypot(directionX, directionY)),
      m_originX(originX),
      m_originY(originY)
{
}

bool CRotationFrame::HasLength() const
{
    if (m_length > 0.0f && std::isfinite(m_length))
        return true;
    TRACE_VALUE(float, m_length);
    ReportFailure();
    return false;
}

CPoint2 CRotationFrame::RotateVector(float x, float y) const
{
    if (!HasLength())
        return {x, y};
    return {(m_dx * y + m_dy * x) / m_length, (m_dy * y - m_dx * x) / m_length};
}

CPoint2 CRotationFrame::ToWorld(float x, float y) const
{
    const CPoint2 v = RotateVector(x, y);
    return {v.x + m_originX, v.y + m_originY};
}

CPoint2 CRotationFrame::ToLocalVector(float x, float y) const
{
    if (!HasLength())
        return {x, y};
    return {(m_dy * x - m_dx * y) / m_length, (m_dx * x + m_dy * y) / m_length};
}

CPoint2 CRotationFrame::ToLocal(float x, float y) const
{
    return ToLocalVector(x - m_originX, y - m_originY);
}

void WriteTraceValue(std::ostream& out, const CPoint2& value)
{
    out << "CP(" << value.x << "," << value.y << ")";
}

void WriteTraceValue(std::ostream& out, const CSize2& value)
{
    out << "CS(" << value.width << "," << value.height << ")";
}
