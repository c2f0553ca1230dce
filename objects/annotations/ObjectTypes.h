#pragma once

// Makes the descriptor of every kind of course object, of both objects
// folders, once: each registers itself with the course's type registry
// (course/ObjectType.h). The course's coordinate marks are made here too
// (course/CourseMark.h). Start-up calls it before any course is made; so do
// the test programs that read or place real kinds.
void RegisterObjectTypes();
