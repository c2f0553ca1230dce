#include "app/CourseWindow.h"

bool CanShowAnother3DView()
{
    return false;
}
