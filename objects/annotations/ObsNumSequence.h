#pragma once

// One obstacle-number sequence of a course, owned by the course.
class CObsNumSequence
{
public:
    virtual ~CObsNumSequence() = default;
};
