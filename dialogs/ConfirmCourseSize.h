#pragma once

// Whether a course of this total size, the ring with the space around it
// (tenths of an inch), stays within 250 feet on each side. Otherwise the user
// is told the limit in the course's units (text 2679 for the width, else
// 2678 for the height) and the answer is false. The ring-size dialogs and
// the text dialog's margin placement ask it before they store anything.
bool ConfirmCourseSize(bool metric, float width, float height);
