#include "objects/annotations/Alignment.h"

#include <cstdint>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

CAlignment::CAlignment(float lengthX, float lengthY, int codeX, int codeY)
{
    switch (codeX) {
    case 0:
        break;
    case 1:
        offsetX = lengthX / 2.0f;
        break;
    case 2:
        offsetX = lengthX;
        signX = -1.0f;
        break;
    default:
        TRACE_VALUE(int32_t, codeX);
        ReportFailure();
        break;
    }
    switch (codeY) {
    case 0:
        break;
    case 1:
        offsetY = lengthY / 2.0f;
        signY = -1.0f;
        break;
    case 2:
        offsetY = lengthY;
        signY = -1.0f;
        break;
    default:
        TRACE_VALUE(int32_t, codeY);
        ReportFailure();
        break;
    }
}
