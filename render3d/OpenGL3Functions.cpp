#include "render3d/OpenGL3Functions.h"

#include "foundation/SystemFunctions.h"
#include "foundation/TracePoint.h"

COpenGL3Functions& GetOpenGL3Functions()
{
    static COpenGL3Functions functions = [] {
        TRACE_POINT();
        COpenGL3Functions table;
        table.baseComplete = true;
#define FENDREL_OPENGL3_LOAD(name)                                                      \
    table.name = GetSystemFunction<decltype(::name)>(L"opengl32.dll", #name);           \
    table.baseComplete = table.baseComplete && table.name;
        FENDREL_OPENGL3_BASE_FUNCTIONS(FENDREL_OPENGL3_LOAD)
#undef FENDREL_OPENGL3_LOAD
        TRACE_VALUE(bool, table.baseComplete);
        return table;
    }();
    return functions;
}

bool LoadOpenGL3EntryPoints()
{
    TRACE_POINT();
    COpenGL3Functions& table = GetOpenGL3Functions();
    if (!table.baseComplete)
        return false;
    table.entryPointsComplete = true;
#define FENDREL_OPENGL3_FETCH(name, type)                                               \
    table.name = FetchOpenGLFunction<type>(#name);                                      \
    if (!table.name) {                                                                  \
        TRACE_VALUE(std::string, std::string(#name));                                   \
        table.entryPointsComplete = false;                                              \
    }
    FENDREL_OPENGL3_ENTRY_POINTS(FENDREL_OPENGL3_FETCH)
#undef FENDREL_OPENGL3_FETCH
    return table.entryPointsComplete;
}
