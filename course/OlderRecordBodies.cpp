#include "course/OlderRecordBodies.h"

#include <string>

#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"

namespace {

// Type ids of the older format's kinds that have no descriptor yet.
constexpr int kDogFigure = 80;
constexpr int kDogPath = 90;
constexpr int kHandlerFigure = 130;
constexpr int kHandlerPath = 140;

// The dog path's connection kind whose record names a numbering sequence.
constexpr int32_t kNumberedConnection = 2;

// A count read from the record; points past the field's end read as zeros
// and move nothing, so the reading stops there.
void SkipPoints(CFieldReader& stream, int32_t count)
{
    CPoint2 point;
    for (int32_t i = 0; i < count && !stream.AtFieldEnd(); ++i)
        stream.ReadPoint(point);
}

// Jump height, arrow frequency, show length, length units, connection kind
// (with the sequence's badge style, badge flag and next label for a numbered
// connection), then the node count and the nodes. The ties follow the nodes.
void SkipDogPath(CFieldReader& stream)
{
    float jumpHeight = 0.0f;
    int32_t value = 0;
    bool flag = false;
    stream.ReadFloat16(jumpHeight);
    stream.ReadInt8(value);
    stream.ReadBool(flag);
    stream.ReadInt8(value);
    int32_t connection = 0;
    stream.ReadInt8(connection);
    if (connection == kNumberedConnection) {
        std::wstring label;
        stream.ReadInt8(value);
        stream.ReadBool(flag);
        stream.ReadWString(label);
    }
    int32_t count = 0;
    stream.ReadInt16(count);
    SkipPoints(stream, count);
}

// Show length, length units, pen type, then the point count and the points.
void SkipHandlerPath(CFieldReader& stream)
{
    int32_t value = 0;
    bool flag = false;
    stream.ReadBool(flag);
    stream.ReadInt8(value);
    stream.ReadInt8(value);
    int32_t count = 0;
    stream.ReadInt16(count);
    SkipPoints(stream, count);
}

}  // namespace

bool SkipOlderRecordBody(int typeId, CFieldReader& stream)
{
    TRACE_VALUE(int, typeId);
    switch (typeId) {
    // Figures (scale; the handler's old name and arm codes before it) hold no
    // points.
    case kDogFigure:
    case kHandlerFigure:
        return true;
    case kDogPath:
        SkipDogPath(stream);
        return true;
    case kHandlerPath:
        SkipHandlerPath(stream);
        return true;
    default:
        return false;
    }
}
