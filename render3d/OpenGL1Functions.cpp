#include "render3d/OpenGL1Functions.h"

#include "foundation/SystemFunctions.h"
#include "foundation/TracePoint.h"

COpenGL1Functions& GetOpenGL1Functions()
{
    static COpenGL1Functions functions = [] {
        TRACE_POINT();
        COpenGL1Functions table;
        table.complete = true;
#define FENDREL_OPENGL1_LOAD(name)                                                      \
    table.name = GetSystemFunction<decltype(::name)>(L"opengl32.dll", #name);           \
    table.complete = table.complete && table.name;
        FENDREL_OPENGL1_FUNCTIONS(FENDREL_OPENGL1_LOAD)
#undef FENDREL_OPENGL1_LOAD
        TRACE_VALUE(bool, table.complete);
        return table;
    }();
    return functions;
}
