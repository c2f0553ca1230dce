#pragma once

#include <cstdint>
#include <fstream>
#include <string>

// Marks of GetPathPart: as a from-mark 0 is the start, 1 the start of the
// file name, 2 the place after the extension's dot; as a to-mark 0 is the end
// of the folder (before its last separator), 1 the extension's dot, 2 the end.
// (0, 0) folder, (1, 1) name without extension, (1, 2) file name, (2, 2)
// extension, (0, 1) path without extension. A dot inside a folder name is no
// extension. A from-mark after the to-mark, or a mark other than 0, 1 and 2
// (taken as 2), is reported; the result is then empty where the marks cross.
std::wstring GetPathPart(const std::wstring& path, int32_t from, int32_t to);

// Paths are the same when they are equal without regard to case (_wcsicmp);
// nothing else is normalised.
bool IsSamePath(const std::wstring& a, const std::wstring& b);

// Open a file stream by wide path, shared with other processes for reading
// and writing, in text mode (CR LF line ends) unless binary is asked. An
// output file is created or truncated. Failure sets the stream's fail state.
void OpenInputFileStream(std::ifstream& stream, const std::wstring& path, bool binary);
void OpenOutputFileStream(std::ofstream& stream, const std::wstring& path, bool binary);
void OpenInputFileStream(std::wifstream& stream, const std::wstring& path, bool binary);
void OpenOutputFileStream(std::wofstream& stream, const std::wstring& path, bool binary);

// Whether the path names a file on a disk, not a folder, device, console or
// pipe (whose reading could wait for ever); its size goes to size.
bool IsDiskFile(const std::wstring& path, uint64_t& size);

// Whether Windows is at least the given version: the major version, then the
// minor, then the service-pack major, each compared only when the ones before
// are equal (a higher major version passes whatever the minor).
bool IsWindowsVersionAtLeast(uint16_t major, uint16_t minor, uint16_t servicePackMajor);
