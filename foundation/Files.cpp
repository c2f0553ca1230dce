#include "foundation/Files.h"

#include <windows.h>

#include <cwchar>

#include "foundation/CrashLog.h"

namespace {

const size_t kNone = std::wstring::npos;

size_t GetMarkPosition(int32_t mark, bool isFrom, size_t separator, size_t dot, size_t length)
{
    switch (mark) {
    case 0:
        if (isFrom)
            return 0;
        return separator == kNone ? 0 : separator;
    case 1:
        if (isFrom)
            return separator == kNone ? 0 : separator + 1;
        return dot == kNone ? length : dot;
    default:
        if (isFrom)
            return dot == kNone ? length : dot + 1;
        return length;
    }
}

// Opens through the wide-path open of the standard streams, which calls
// _wfopen: like _wfsopen with _SH_DENYNO, other openers may read and write.
template <class Stream>
void OpenFileStream(Stream& stream, const std::wstring& path, std::ios_base::openmode mode, bool binary)
{
    TRACE_VALUE(std::wstring, path);
    if (stream.is_open())
        stream.close();
    stream.clear();
    stream.open(path.c_str(), binary ? mode | std::ios_base::binary : mode);
}

}  // namespace

std::wstring GetPathPart(const std::wstring& path, int32_t from, int32_t to)
{
    TRACE_VALUE(std::wstring, path);
    if (from < 0 || from > 2 || to < 0 || to > 2 || from > to) {
        TRACE_VALUE(int32_t, from);
        TRACE_VALUE(int32_t, to);
        ReportFailure();
        if (from < 0 || from > 2)
            from = 2;
        if (to < 0 || to > 2)
            to = 2;
    }
    const size_t separator = path.find_last_of(L"/\\");
    size_t dot = path.rfind(L'.');
    if (dot != kNone && separator != kNone && dot < separator)
        dot = kNone;
    const size_t start = GetMarkPosition(from, true, separator, dot, path.size());
    const size_t end = GetMarkPosition(to, false, separator, dot, path.size());
    if (end <= start)
        return std::wstring();
    return path.substr(start, end - start);
}

bool IsSamePath(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

void OpenInputFileStream(std::ifstream& stream, const std::wstring& path, bool binary)
{
    OpenFileStream(stream, path, std::ios_base::in, binary);
}

void OpenOutputFileStream(std::ofstream& stream, const std::wstring& path, bool binary)
{
    OpenFileStream(stream, path, std::ios_base::out | std::ios_base::trunc, binary);
}

void OpenInputFileStream(std::wifstream& stream, const std::wstring& path, bool binary)
{
    OpenFileStream(stream, path, std::ios_base::in, binary);
}

void OpenOutputFileStream(std::wofstream& stream, const std::wstring& path, bool binary)
{
    OpenFileStream(stream, path, std::ios_base::out | std::ios_base::trunc, binary);
}

bool IsDiskFile(const std::wstring& path, uint64_t& size)
{
    TRACE_VALUE(std::wstring, path);
    size = 0;
    // Opening asks for no access at all: nothing is read, and no device
    // waits for a reader.
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    BY_HANDLE_FILE_INFORMATION information = {};
    const bool disk = GetFileType(file) == FILE_TYPE_DISK && GetFileInformationByHandle(file, &information) &&
                      (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    CloseHandle(file);
    if (disk)
        size = (uint64_t(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    return disk;
}

bool IsWindowsVersionAtLeast(uint16_t major, uint16_t minor, uint16_t servicePackMajor)
{
    OSVERSIONINFOEXW wanted = {};
    wanted.dwOSVersionInfoSize = sizeof wanted;
    wanted.dwMajorVersion = major;
    wanted.dwMinorVersion = minor;
    wanted.wServicePackMajor = servicePackMajor;
    ULONGLONG conditions = 0;
    conditions = VerSetConditionMask(conditions, VER_MAJORVERSION, VER_GREATER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_MINORVERSION, VER_GREATER_EQUAL);
    conditions = VerSetConditionMask(conditions, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
    return VerifyVersionInfoW(&wanted, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR, conditions) != FALSE;
}
