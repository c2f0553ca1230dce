#pragma once

#include "course/CourseObject.h"

// A start or finish line (type 110): where the dog starts, finishes, or
// both.
class CEndLine : public CCourseObject
{
public:
    // 0 start line, 1 start-and-finish line, 2 finish line.
    int GetKind() const { return m_kind; }
    int GetEndLineKind() const override { return m_kind; }

protected:
    int m_kind = 0;
};
