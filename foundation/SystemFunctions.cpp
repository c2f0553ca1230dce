#include "foundation/SystemFunctions.h"

FARPROC FindSystemFunction(const wchar_t* library, const char* name)
{
    // Loaded once per caller and never freed: the reference count keeps it.
    const HMODULE module = LoadLibraryW(library);
    return module ? GetProcAddress(module, name) : nullptr;
}
