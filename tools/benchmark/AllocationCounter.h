#pragma once

#include <cstddef>

// How many times the C++ heap was asked for memory since the program
// started: the benchmark replaces the global operator new to count them.
size_t GetAllocationCount();
