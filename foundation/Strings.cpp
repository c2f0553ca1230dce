#include "foundation/Strings.h"

#include "foundation/CrashLog.h"
#include "foundation/TextTable.h"

namespace {

// The one loader: args is a null-terminated list.
void LoadText(int id, const std::wstring* const* args, std::wstring& out)
{
    TRACE_VALUE(int32_t, id);
    if (id < kFirstTextId || id > kLastTextId) {
        ReportFailure();
        id = kFirstTextId;
    }
    const CScrambledText entry = GetScrambledText(id - kFirstTextId);
    out.assign(entry.units, entry.units + entry.length);
    uint32_t seed = uint32_t(id);
    for (wchar_t& unit : out) {
        seed = seed * 1103515245u + 12345u;
        unit = wchar_t(unit ^ ((seed >> 16) & 0xFFFF));
    }
    FillPlaceholders(out, args);
}

}  // namespace

void FillPlaceholders(std::wstring& text, const std::wstring* const* args)
{
    for (int i = 0; args[i] && i < 9; ++i) {
        const wchar_t placeholder[] = {L'%', wchar_t(L'1' + i), 0};
        const size_t at = text.find(placeholder);
        if (at != std::wstring::npos)
            text.replace(at, 2, *args[i]);
    }
}

std::wstring GetString(int id)
{
    const std::wstring* args[] = {nullptr};
    std::wstring out;
    LoadText(id, args, out);
    return out;
}

std::wstring GetStringWithArg(int id, const std::wstring& arg1)
{
    const std::wstring* args[] = {&arg1, nullptr};
    std::wstring out;
    LoadText(id, args, out);
    return out;
}

std::wstring GetStringWith2Args(int id, const std::wstring& arg1, const std::wstring& arg2)
{
    const std::wstring* args[] = {&arg1, &arg2, nullptr};
    std::wstring out;
    LoadText(id, args, out);
    return out;
}

std::wstring GetStringWith3Args(int id, const std::wstring& arg1, const std::wstring& arg2,
                                const std::wstring& arg3)
{
    const std::wstring* args[] = {&arg1, &arg2, &arg3, nullptr};
    std::wstring out;
    LoadText(id, args, out);
    return out;
}

std::wstring GetStringWith4Args(int id, const std::wstring& arg1, const std::wstring& arg2,
                                const std::wstring& arg3, const std::wstring& arg4)
{
    const std::wstring* args[] = {&arg1, &arg2, &arg3, &arg4, nullptr};
    std::wstring out;
    LoadText(id, args, out);
    return out;
}

int AllocateId()
{
    static int next = kLastTextId + 1;
    return next++;
}
