#pragma once

#include <initializer_list>
#include <string>

// A byte string written as its values, for records and streams spelled out
// in tests.
inline std::string Bytes(std::initializer_list<int> values)
{
    std::string bytes;
    for (int v : values)
        bytes.push_back(char(v));
    return bytes;
}
