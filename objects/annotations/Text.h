#pragma once

#include <string>

#include "course/CourseObject.h"

// The text object (type 310): a block of formatted text on the course map.
// The course makes one at a point and then gives it its text.
class CText : public CCourseObject
{
public:
    void SetText(const std::wstring& text) override = 0;
};
