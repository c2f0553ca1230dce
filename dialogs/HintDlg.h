#pragma once

#include <string>

// Counts one more trigger of a hint in this run; the hint's dialog is due
// once the count reaches the threshold.
void ShowHint(int hintId, const std::wstring& helpTopic, int threshold);
