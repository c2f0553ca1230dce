#pragma once

#include <cstdint>
#include <string>

// Unsigned integers of a file's bytes.
inline uint32_t ReadBigEndian32(const std::string& bytes, size_t offset)
{
    return uint32_t(uint8_t(bytes[offset])) << 24 | uint32_t(uint8_t(bytes[offset + 1])) << 16 |
           uint32_t(uint8_t(bytes[offset + 2])) << 8 | uint32_t(uint8_t(bytes[offset + 3]));
}
inline uint32_t ReadBigEndian16(const std::string& bytes, size_t offset)
{
    return uint32_t(uint8_t(bytes[offset])) << 8 | uint32_t(uint8_t(bytes[offset + 1]));
}
inline uint32_t ReadLittleEndian16(const std::string& bytes, size_t offset)
{
    return uint32_t(uint8_t(bytes[offset])) | uint32_t(uint8_t(bytes[offset + 1])) << 8;
}
inline uint32_t ReadLittleEndian32(const std::string& bytes, size_t offset)
{
    return ReadLittleEndian16(bytes, offset) | ReadLittleEndian16(bytes, offset + 2) << 16;
}
