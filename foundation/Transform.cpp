#include "foundation/Transform.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "foundation/CrashLog.h"
#include "foundation/Numeric.h"
#include "foundation/TracePoint.h"

namespace {

// Rows b and c of the 3x3 part: b := co b + si c, c := co c - si b.
void TurnRows(float* m, int b, int c, float co, float si)
{
    for (int j = 0; j < 3; ++j) {
        const float rb = m[4 * b + j];
        const float rc = m[4 * c + j];
        m[4 * b + j] = co * rb + si * rc;
        m[4 * c + j] = co * rc - si * rb;
    }
}

// Quarter turns by exchanging and negating rows, so that they stay exact.
void TurnRowsQuarters(float* m, int b, int c, int degrees)
{
    for (int j = 0; j < 3; ++j) {
        const float rb = m[4 * b + j];
        const float rc = m[4 * c + j];
        switch (degrees) {
        case 90:
            m[4 * b + j] = rc;
            m[4 * c + j] = -rb;
            break;
        case 180:
            m[4 * b + j] = -rb;
            m[4 * c + j] = -rc;
            break;
        case 270:
            m[4 * b + j] = -rc;
            m[4 * c + j] = rb;
            break;
        default:
            break;
        }
    }
}

// The cosine and sine of a turn in degrees. Every turn that is not a whole
// number of quarter turns takes them from here, so the table below holds
// the very values a turn would work out.
void CosSinDegrees(float degrees, float& co, float& si)
{
    const float radians = degrees / CTransform::kDegreesPerRadian;
    co = std::cos(radians);
    si = std::sin(radians);
}

// Archives store angles as whole degrees: reading a course turns every
// object by one. Their cosines and sines from -360 to 360, worked out once.
class CWholeDegrees
{
public:
    static constexpr int kLimit = 360;

    CWholeDegrees()
    {
        for (int i = 0; i <= 2 * kLimit; ++i)
            CosSinDegrees(float(i - kLimit), m_cos[i], m_sin[i]);
    }

    static const CWholeDegrees& Get()
    {
        static const CWholeDegrees table;
        return table;
    }

    float Cos(int degrees) const { return m_cos[degrees + kLimit]; }
    float Sin(int degrees) const { return m_sin[degrees + kLimit]; }

private:
    float m_cos[2 * kLimit + 1];
    float m_sin[2 * kLimit + 1];
};

}  // namespace

CTransform::CTransform(const CTransform& t, bool invert)
{
    *this = t;
    if (!invert)
        return;
    const float s2 = t.GetInverseDivisor();
    if (s2 == 0.0f) {
        SetIdentity();
        SetTranslation(-t.m[12], -t.m[13], -t.m[14]);
        return;
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[4 * i + j] = t.m[4 * j + i] / s2;
    const float tx = t.m[12], ty = t.m[13], tz = t.m[14];
    m[12] = -(t.m[0] * tx + t.m[1] * ty + t.m[2] * tz) / s2;
    m[13] = -(t.m[4] * tx + t.m[5] * ty + t.m[6] * tz) / s2;
    m[14] = -(t.m[8] * tx + t.m[9] * ty + t.m[10] * tz) / s2;
    m[3] = m[7] = m[11] = 0.0f;
    m[15] = 1.0f;
    m_scale = 1.0f / t.m_scale;
    m_angle = t.m_angle == 180.0f ? 180.0f : -t.m_angle;
    m_angleValid = t.m_angleValid;
}

void CTransform::SetIdentity()
{
    // Copied whole: every transform made starts here, and a loop that
    // picks the diagonal by index costs more than the copy.
    static constexpr float kIdentity[16] = {1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
                                            0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    std::memcpy(m, kIdentity, sizeof m);
    m_scale = 1.0f;
    m_angle = 0.0f;
    m_angleValid = true;
}

void CTransform::SetProduct(const CTransform& a, const CTransform& b)
{
    // Row vectors: p b a, so the matrix is b times a.
    float r[16];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            r[4 * i + j] = b.m[4 * i] * a.m[j] + b.m[4 * i + 1] * a.m[4 + j] +
                           b.m[4 * i + 2] * a.m[8 + j] + b.m[4 * i + 3] * a.m[12 + j];
    r[3] = r[7] = r[11] = 0.0f;
    r[15] = 1.0f;
    const float scale = a.m_scale * b.m_scale;
    const bool valid = a.m_angleValid && b.m_angleValid;
    const float angle = valid ? NormalizeAngleDegrees(a.m_angle + b.m_angle) : 0.0f;
    std::memcpy(m, r, sizeof m);
    m_scale = scale;
    m_angle = angle;
    m_angleValid = valid;
}

bool CTransform::operator==(const CTransform& other) const
{
    return std::memcmp(m, other.m, sizeof m) == 0;
}

float CTransform::GetRotation(CVector3* axisOut) const
{
    if (m_angleValid) {
        if (axisOut)
            *axisOut = CVector3(0.0f, 0.0f, 1.0f);
        return m_angle;
    }
    CVector3 axis(m[6] - m[9], m[8] - m[2], m[1] - m[4]);
    const float length = axis.Length();
    float angle = std::atan2(length, m[0] + m[5] + m[10] - m_scale) * kDegreesPerRadian;
    if (angle > 180.0f)
        angle = 180.0f;
    if (length > 0.0f) {
        axis = CVector3(axis.x / length, axis.y / length, axis.z / length);
    } else if (angle < 1.0f) {
        angle = 0.0f;
        axis = CVector3(0.0f, 0.0f, 1.0f);
    } else {
        // A half turn: the axis is the column of the largest diagonal element.
        // The formulas give the axis times the square root of the scale, so
        // it is brought back to unit length.
        angle = 180.0f;
        float t = 0.0f;
        if (m[0] >= m[5] && m[0] >= m[10]) {
            t = std::sqrt(m_scale + m[0] - m[5] - m[10]);
            axis = CVector3(t / 2, m[1] / t, m[2] / t);
        } else if (m[5] >= m[10]) {
            t = std::sqrt(m_scale + m[5] - m[10] - m[0]);
            axis = CVector3(m[4] / t, t / 2, m[6] / t);
        } else {
            t = std::sqrt(m_scale + m[10] - m[0] - m[5]);
            axis = CVector3(m[8] / t, m[9] / t, t / 2);
        }
        const float axisLength = axis.Length();
        if (t > 0.0f && axisLength > 0.0f && std::isfinite(axisLength))
            axis = CVector3(axis.x / axisLength, axis.y / axisLength, axis.z / axisLength);
        else
            axis = CVector3(0.0f, 0.0f, 1.0f);
    }
    if (axis.z < 0.0f) {
        axis = CVector3(-axis.x, -axis.y, -axis.z);
        if (angle != 180.0f)
            angle = -angle;
    }
    if (axisOut)
        *axisOut = axis;
    return angle;
}

float CTransform::GetInverseDivisor() const
{
    const float s2 = m_scale * m_scale;
    if (s2 > 0.0f && std::isfinite(s2))
        return s2;
    TRACE_VALUE(float, m_scale);
    ReportFailure();
    return 0.0f;
}

CVector3 CTransform::InverseTransformPoint(const CVector3& p) const
{
    return InverseTransformVector({p.x - m[12], p.y - m[13], p.z - m[14]});
}

CVector3 CTransform::InverseTransformVector(const CVector3& v) const
{
    const float s2 = GetInverseDivisor();
    if (s2 == 0.0f)
        return v;
    return {(v.x * m[0] + v.y * m[1] + v.z * m[2]) / s2,
            (v.x * m[4] + v.y * m[5] + v.z * m[6]) / s2,
            (v.x * m[8] + v.y * m[9] + v.z * m[10]) / s2};
}

CPoint2 CTransform::InverseTransformPoint2D(float x, float y) const
{
    const CVector3 p = InverseTransformPoint({x, -y, 0.0f});
    return {p.x, -p.y};
}

CPoint2 CTransform::InverseTransformVector2D(float x, float y) const
{
    const CVector3 v = InverseTransformVector({x, -y, 0.0f});
    return {v.x, -v.y};
}

CBox3 CTransform::TransformBox(const CBox3& box) const
{
    // Arvo's method: per output axis, the smaller and the larger of each
    // element times the input bounds, added to the translation.
    const float lo[3] = {box.minX, box.minY, box.minZ};
    const float hi[3] = {box.maxX, box.maxY, box.maxZ};
    float outLo[3] = {m[12], m[13], m[14]};
    float outHi[3] = {m[12], m[13], m[14]};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            const float a = m[4 * i + j] * lo[i];
            const float b = lo[i] == hi[i] ? a : m[4 * i + j] * hi[i];
            if (a < b) {
                outLo[j] += a;
                outHi[j] += b;
            } else {
                outLo[j] += b;
                outHi[j] += a;
            }
        }
    }
    return {outLo[0], outHi[0], outLo[1], outHi[1], outLo[2], outHi[2]};
}

CRectF CTransform::TransformRect2D(const CRectF& rect) const
{
    const CBox3 box(rect.left, rect.right, -rect.bottom, -rect.top, 0.0f, 0.0f);
    return CRectF::FromRangesFlipY(TransformBox(box));
}

void CTransform::SetTranslation(float x, float y, float z)
{
    m[12] = x;
    m[13] = y;
    m[14] = z;
}

void CTransform::TranslateLocal(const CVector3& v)
{
    const CVector3 d = TransformVector(v);
    m[12] += d.x;
    m[13] += d.y;
    m[14] += d.z;
}

void CTransform::Scale(float f)
{
    if (!(f > 0.0f)) {
        TRACE_VALUE(float, f);
        ReportFailure();
    }
    for (int i = 0; i < 12; ++i)
        m[i] *= f;
    m_scale *= f;
}

void CTransform::RotateAxis(int axis, float degrees)
{
    if (!std::isfinite(degrees)) {
        TRACE_VALUE(float, degrees);
        ReportFailure();
        return;
    }
    const int b = (axis + 1) % 3;
    const int c = (axis + 2) % 3;
    // Whole multiples of 90 degrees turn exactly. Angles within the 32-bit
    // range are tested in 32-bit arithmetic, which the processor does
    // directly; beyond 1e15 every float is whole, and those few huge angles
    // take the trigonometric road rather than overflow the integer test.
    const float size = std::fabs(degrees);
    bool exact = false;
    int rest = 0;
    int32_t wholeDegrees = 0;
    bool wholeInTable = false;
    if (size < 2147483648.0f) {
        const int32_t whole = int32_t(degrees);
        exact = float(whole / 90 * 90) == degrees;
        rest = whole % 360;
        wholeDegrees = whole;
        wholeInTable = size <= float(CWholeDegrees::kLimit) && float(whole) == degrees;
    } else if (size < 1e15f) {
        const int64_t whole = int64_t(degrees);
        exact = float(whole / 90 * 90) == degrees;
        rest = int(whole % 360);
    }
    if (exact) {
        TurnRowsQuarters(m, b, c, rest < 0 ? rest + 360 : rest);
    } else if (wholeInTable) {
        const CWholeDegrees& table = CWholeDegrees::Get();
        TurnRows(m, b, c, table.Cos(wholeDegrees), table.Sin(wholeDegrees));
    } else {
        float co;
        float si;
        CosSinDegrees(degrees, co, si);
        TurnRows(m, b, c, co, si);
    }
    if (m_angleValid) {
        if (axis == 2)
            m_angle = NormalizeAngleDegrees(m_angle + degrees);
        else if (degrees != 0.0f)
            m_angleValid = false;
    }
}

void CTransform::RotateAboutAxis(const CVector3& axisIn, float degrees)
{
    CVector3 k = axisIn;
    const float length = k.Length();
    k.Normalize();
    // Normalize has reported a zero axis; a turn about it would scale the
    // rows by the cosine instead of turning them, so nothing changes.
    if (!(length > 0.0f) || !std::isfinite(length))
        return;
    if (!std::isfinite(degrees)) {
        TRACE_VALUE(float, degrees);
        ReportFailure();
        return;
    }
    const float radians = degrees / kDegreesPerRadian;
    const float co = std::cos(radians);
    const float si = std::sin(radians);
    const float t = 1.0f - co;
    // Rodrigues' rotation matrix in the row-vector convention: row i is the
    // image of unit vector i.
    const float r[3][3] = {
        {t * k.x * k.x + co, t * k.x * k.y + si * k.z, t * k.x * k.z - si * k.y},
        {t * k.x * k.y - si * k.z, t * k.y * k.y + co, t * k.y * k.z + si * k.x},
        {t * k.x * k.z + si * k.y, t * k.y * k.z - si * k.x, t * k.z * k.z + co},
    };
    float rows[9];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            rows[3 * i + j] =
                r[i][0] * m[j] + r[i][1] * m[4 + j] + r[i][2] * m[8 + j];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            m[4 * i + j] = rows[3 * i + j];
    m_angleValid = false;
}

void CTransform::ResetRotation()
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 4; ++j)
            m[4 * i + j] = (i == j) ? m_scale : 0.0f;
    m_angle = 0.0f;
    m_angleValid = true;
}

void CTransform::SetRotationX(float degrees)
{
    ResetRotation();
    RotateX(degrees);
}

void CTransform::SetRotationY(float degrees)
{
    ResetRotation();
    RotateY(degrees);
}

void CTransform::SetRotationZ(float degrees)
{
    ResetRotation();
    RotateZ(degrees);
}
