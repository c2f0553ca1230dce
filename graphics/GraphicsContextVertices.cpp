#include "graphics/GraphicsContext.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

// The vertex side of the graphics context: the vertex store with its merging
// hash and triangle assembly, the base textured quad and the 3D primitives.

namespace {

// Limits of the 3D primitives' segment counts, of a vertex row and of the
// vertices of one grid (torus or sphere): more could not be drawn in any
// time a user would wait for.
const int kMaxSegments = 65536;
const int kMaxRowLength = 1 << 20;
const long long kMaxGridVertices = 1 << 22;

// Whether a grid of rows by columns vertices stays within the limit; a
// larger one is reported.
bool CheckGridSize(int rows, int columns)
{
    if ((long long)rows * columns <= kMaxGridVertices)
        return true;
    TRACE_VALUE(int32_t, rows);
    TRACE_VALUE(int32_t, columns);
    ReportFailure();
    return false;
}

uint32_t FloatBits(float f)
{
    uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float SegmentAngle(int i, int segments)
{
    return float(i % segments) * (6.2831855f / float(segments));
}

}  // namespace

// ---- Textured quad ---------------------------------------------------------------

void CGraphicsContext::DrawBitmap(const CPixelBitmap& bitmap, const CRectF& rect)
{
    TRACE_POINT();
    CGraphicsState& s = m_state;
    const CPixelBitmap* texture = s.texture;
    const uint32_t color = s.color;
    const uint32_t shadedColor = s.shadedColor;
    const CVector3 normal = s.normal;
    const int32_t shade = s.shade;
    const float u = s.texU;
    const float v = s.texV;

    s.texture = &bitmap;
    if (s.lighting)
        SetNormal(CVector3(0.0f, 0.0f, 1.0f), true);
    SetColor(0xFFFFFFFF);
    BeginVertices(2, false, 2);
    const float z = s.fillZ;
    s.texU = 0.0f;
    s.texV = 0.0f;
    AddVertex(CVector3(rect.left, -rect.top, z));
    s.texU = 1.0f;
    AddVertex(CVector3(rect.right, -rect.top, z));
    s.texU = 0.0f;
    s.texV = 1.0f;
    AddVertex(CVector3(rect.left, -rect.bottom, z));
    s.texU = 1.0f;
    AddVertex(CVector3(rect.right, -rect.bottom, z));
    EndVertices();

    s.texture = texture;
    s.color = color;
    s.shadedColor = shadedColor;
    if (s.lighting) {
        s.normal = normal;
        s.shade = shade;
    }
    s.texU = u;
    s.texV = v;
}

// ---- Vertex stream -------------------------------------------------------------

void CGraphicsContext::BeginVertices(int kind, bool reverse, int rowLength)
{
    if (kind == 2 && rowLength <= 0) {
        TRACE_VALUE(int32_t, rowLength);
        ReportFailure();
        rowLength = 2;
    }
    if (rowLength > kMaxRowLength) {
        TRACE_VALUE(int32_t, rowLength);
        ReportFailure();
        rowLength = kMaxRowLength;
    }
    if (kind < 0 || kind > 2) {
        TRACE_VALUE(int32_t, kind);
        ReportFailure();
    }
    m_vertexKind = kind;
    m_vertexReverse = reverse;
    m_rowLength = rowLength;
    m_vertexCount = 0;
    if (rowLength > int(m_recent.size()))
        m_recent.resize(size_t(rowLength));
}

uint32_t CGraphicsContext::RecentVertex(int ago) const
{
    // Callers ask only for vertices of the current batch (ago <= count).
    return m_recent[(m_vertexCount - uint32_t(ago)) % m_recent.size()];
}

void CGraphicsContext::AddTriangle(uint32_t a, uint32_t b, uint32_t c)
{
    if (a == b || b == c || a == c)
        return;
    m_triangles.push_back(a);
    m_triangles.push_back(m_vertexReverse ? c : b);
    m_triangles.push_back(m_vertexReverse ? b : c);
}

uint32_t CGraphicsContext::FindOrAddVertex(const CGraphicsVertex& v)
{
    const uint32_t h = (FloatBits(v.y) * 169u - FloatBits(v.z) * 499u - FloatBits(v.x) * 363u - 279u) % 1024u;
    const int32_t stored = m_buckets[h];
    if (stored >= 0 && size_t(stored) < m_vertices.size()) {
        const CGraphicsVertex& o = m_vertices[size_t(stored)];
        if (o.x == v.x && o.y == v.y && o.z == v.z && o.color == v.color && o.u == v.u && o.v == v.v)
            return uint32_t(stored);
    }
    m_vertices.push_back(v);
    const uint32_t index = uint32_t(m_vertices.size() - 1);
    m_buckets[h] = int32_t(index);
    return index;
}

void CGraphicsContext::AddVertex(const CVector3& point)
{
    CGraphicsState& s = m_state;
    s.vertexPosition = s.matrix.TransformPoint(point);
    CGraphicsVertex vertex;
    vertex.x = s.vertexPosition.x;
    vertex.y = s.vertexPosition.y;
    vertex.z = s.vertexPosition.z;
    vertex.color = s.shadedColor;
    vertex.u = s.texU;
    vertex.v = s.texV;
    const uint32_t index = FindOrAddVertex(vertex);
    const uint32_t count = m_vertexCount;
    switch (m_vertexKind) {
    case 0:
        if (count % 3 == 2)
            AddTriangle(RecentVertex(2), RecentVertex(1), index);
        break;
    case 1:
        if (count == 0)
            m_fanCentre = index;
        else if (count >= 2)
            AddTriangle(m_fanCentre, RecentVertex(1), index);
        break;
    case 2: {
        const uint32_t rows = uint32_t(m_rowLength);
        if (count >= rows) {
            const uint32_t r = count % rows;
            if (r > 0)
                AddTriangle(RecentVertex(m_rowLength), RecentVertex(1), index);
            if (r + 1 < rows)
                AddTriangle(RecentVertex(m_rowLength - 1), RecentVertex(m_rowLength), index);
        }
        break;
    }
    default:
        break;
    }
    m_recent[m_vertexCount % m_recent.size()] = index;
    ++m_vertexCount;
}

void CGraphicsContext::ClearVertices()
{
    m_vertices.clear();
    m_triangles.clear();
    std::fill(std::begin(m_buckets), std::end(m_buckets), -1);
}

void CGraphicsContext::RestartVertexStore()
{
    const uint32_t ringSize = uint32_t(m_recent.size());
    const uint32_t kept = std::min(m_vertexCount, ringSize);
    std::vector<CGraphicsVertex> carried;
    std::vector<uint32_t> oldIndices;
    const auto carry = [&](uint32_t old) {
        for (size_t i = 0; i < oldIndices.size(); ++i)
            if (oldIndices[i] == old)
                return uint32_t(i);
        oldIndices.push_back(old);
        carried.push_back(m_vertices[old]);
        return uint32_t(carried.size() - 1);
    };
    if (m_vertexKind == 1 && m_vertexCount > 0)
        m_fanCentre = carry(m_fanCentre);
    for (uint32_t ago = kept; ago >= 1; --ago) {
        uint32_t& slot = m_recent[(m_vertexCount - ago) % ringSize];
        slot = carry(slot);
    }
    ClearVertices();
    m_vertices.swap(carried);
}

// ---- 3D primitives -------------------------------------------------------------

bool CGraphicsContext::CheckSegments(int segments, int first, int count)
{
    const auto within = [](int n) { return n >= -kMaxSegments && n <= kMaxSegments; };
    if (segments > 0 && segments <= kMaxSegments && within(first) && within(count))
        return true;
    TRACE_VALUE(int32_t, segments);
    TRACE_VALUE(int32_t, first);
    TRACE_VALUE(int32_t, count);
    ReportFailure();
    return false;
}

void CGraphicsContext::SetPrimitiveNormal(float x, float y, float z, bool isUnit)
{
    if (m_state.lighting)
        SetNormal(CVector3(x, y, z), isUnit);
}

void CGraphicsContext::DrawBox(const CBox3& box, uint32_t faceMask)
{
    TRACE_POINT();
    const float x0 = box.minX, x1 = box.maxX;
    const float y0 = box.minY, y1 = box.maxY;
    const float z0 = box.minZ, z1 = box.maxZ;
    struct CFace
    {
        uint32_t bit;
        float nx, ny, nz;
        float c[4][3];
        bool flat;
    };
    const CFace faces[6] = {
        {1, -1, 0, 0, {{x0, y1, z1}, {x0, y0, z1}, {x0, y1, z0}, {x0, y0, z0}}, y0 == y1 || z0 == z1},
        {2, 1, 0, 0, {{x1, y0, z1}, {x1, y1, z1}, {x1, y0, z0}, {x1, y1, z0}}, y0 == y1 || z0 == z1},
        {4, 0, -1, 0, {{x0, y0, z1}, {x1, y0, z1}, {x0, y0, z0}, {x1, y0, z0}}, x0 == x1 || z0 == z1},
        {8, 0, 1, 0, {{x1, y1, z1}, {x0, y1, z1}, {x1, y1, z0}, {x0, y1, z0}}, x0 == x1 || z0 == z1},
        {16, 0, 0, -1, {{x0, y0, z0}, {x1, y0, z0}, {x0, y1, z0}, {x1, y1, z0}}, x0 == x1 || y0 == y1},
        {32, 0, 0, 1, {{x0, y1, z1}, {x1, y1, z1}, {x0, y0, z1}, {x1, y0, z1}}, x0 == x1 || y0 == y1},
    };
    for (const CFace& face : faces) {
        if ((faceMask & face.bit) != 0 || face.flat)
            continue;
        BeginVertices(2, false, 2);
        SetPrimitiveNormal(face.nx, face.ny, face.nz, false);
        for (const auto& c : face.c)
            AddVertex(CVector3(c[0], c[1], c[2]));
        EndVertices();
    }
}

void CGraphicsContext::DrawDisc(float radius, int segments, float z, bool facingDown, int first,
                                int count)
{
    TRACE_POINT();
    if (!CheckSegments(segments, first, count))
        return;
    if (count == 0)
        count = segments;
    BeginVertices(1, facingDown, 2);
    SetPrimitiveNormal(0.0f, 0.0f, facingDown ? -1.0f : 1.0f, false);
    AddVertex(CVector3(0.0f, 0.0f, z));
    for (int i = first; i <= first + count; ++i) {
        const float a = SegmentAngle(i, segments);
        AddVertex(CVector3(radius * std::cos(a), radius * std::sin(a), z));
    }
    EndVertices();
}

void CGraphicsContext::DrawRing(float inner, float outer, int segments, float z, bool facingDown,
                                int first, int count)
{
    if (inner == 0.0f) {
        DrawDisc(outer, segments, z, facingDown, first, count);
        return;
    }
    TRACE_POINT();
    if (!CheckSegments(segments, first, count))
        return;
    if (count == 0)
        count = segments;
    BeginVertices(2, facingDown, 2);
    SetPrimitiveNormal(0.0f, 0.0f, facingDown ? -1.0f : 1.0f, false);
    for (int i = first; i <= first + count; ++i) {
        const float a = SegmentAngle(i, segments);
        const float c = std::cos(a);
        const float s = std::sin(a);
        AddVertex(CVector3(outer * c, outer * s, z));
        AddVertex(CVector3(inner * c, inner * s, z));
    }
    EndVertices();
}

void CGraphicsContext::DrawCylinder(float radius, float z0, float z1, int segments, bool capAtZ0,
                                    bool capAtZ1, bool inward, int first, int count)
{
    TRACE_POINT();
    if (!CheckSegments(segments, first, count))
        return;
    const int sideCount = count == 0 ? segments : count;
    const float sign = inward ? -1.0f : 1.0f;
    BeginVertices(2, inward, 2);
    for (int i = first; i <= first + sideCount; ++i) {
        const float a = SegmentAngle(i, segments);
        const float c = std::cos(a);
        const float s = std::sin(a);
        SetPrimitiveNormal(sign * c, sign * s, 0.0f, true);
        AddVertex(CVector3(radius * c, radius * s, z0));
        AddVertex(CVector3(radius * c, radius * s, z1));
    }
    EndVertices();
    if (capAtZ0)
        DrawDisc(radius, segments, z0, true, first, count);
    if (capAtZ1)
        DrawDisc(radius, segments, z1, false, first, count);
}

void CGraphicsContext::DrawTorus(float tubeRadius, int tubeSegments, float ringRadius,
                                 int ringSegments, int first, int count)
{
    TRACE_POINT();
    if (!CheckSegments(tubeSegments) || !CheckSegments(ringSegments, first, count))
        return;
    if (count == 0)
        count = ringSegments;
    if (!CheckGridSize(count + 1, tubeSegments + 1))
        return;
    BeginVertices(2, false, tubeSegments + 1);
    for (int i = first; i <= first + count; ++i) {
        const float a = SegmentAngle(i, ringSegments);
        const float ca = std::cos(a);
        const float sa = std::sin(a);
        for (int j = 0; j <= tubeSegments; ++j) {
            const float b = SegmentAngle(j, tubeSegments);
            const float cb = std::cos(b);
            const float sb = std::sin(b);
            SetPrimitiveNormal(cb * ca, cb * sa, sb, false);
            const float reach = tubeRadius * cb + ringRadius;
            AddVertex(CVector3(reach * ca, reach * sa, tubeRadius * sb));
        }
    }
    EndVertices();
}

void CGraphicsContext::DrawSphere(float radius, int segments, int firstLatitude, int latitudeCount,
                                  int firstLongitude, int longitudeCount, bool reverse)
{
    TRACE_POINT();
    if (!CheckSegments(segments, firstLatitude, latitudeCount) ||
        !CheckSegments(segments, firstLongitude, longitudeCount))
        return;
    const int longitudes = longitudeCount != 0 ? longitudeCount : segments;
    const int latitudes = latitudeCount != 0 ? latitudeCount : segments / 2;
    if (!CheckGridSize(latitudes + 1, longitudes + 1))
        return;
    BeginVertices(2, reverse, longitudes + 1);
    for (int i = firstLatitude; i <= firstLatitude + latitudes; ++i) {
        const float a = SegmentAngle(i, segments);
        const float ca = std::cos(a);
        const float sa = std::sin(a);
        for (int j = firstLongitude; j <= firstLongitude + longitudes; ++j) {
            const float b = SegmentAngle(j, segments);
            const CVector3 d(std::cos(b) * sa, std::sin(b) * sa, ca);
            SetPrimitiveNormal(d.x, d.y, d.z, true);
            AddVertex(CVector3(radius * d.x, radius * d.y, radius * d.z));
        }
    }
    EndVertices();
}
