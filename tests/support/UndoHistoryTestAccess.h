#pragma once

#include <string>

#include "foundation/UndoHistory.h"

// Reaches the stored records of an undo history, to check how they are kept
// and to damage one.
class CUndoHistoryTestAccess
{
public:
    static std::string& Record(CUndoHistory& history, size_t index) { return history.m_entries[index].record; }
};
