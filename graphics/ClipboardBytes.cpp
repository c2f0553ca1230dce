#include "graphics/ClipboardBytes.h"

#include <cstring>

#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"

bool PutClipboardBytes(UINT format, const void* data, size_t size)
{
    TRACE_VALUE(int32_t, int32_t(format));
    const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    void* memory = block ? GlobalLock(block) : nullptr;
    if (!memory) {
        TRACE_VALUE(int32_t, int32_t(size));
        ReportFailure(kFailSystemCall);
        if (block)
            GlobalFree(block);
        return false;
    }
    std::memcpy(memory, data, size);
    GlobalUnlock(block);
    if (!SetClipboardData(format, block)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
        GlobalFree(block);
        return false;
    }
    return true;
}

bool GetClipboardBytes(UINT format, std::string& bytes)
{
    bytes.clear();
    const HANDLE block = GetClipboardData(format);
    const char* memory = block ? static_cast<const char*>(GlobalLock(block)) : nullptr;
    if (!memory)
        return false;
    bytes.assign(memory, GlobalSize(block));
    GlobalUnlock(block);
    return true;
}
