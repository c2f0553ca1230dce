#include "dialogs/HintDlg.h"

#include <map>

namespace {

std::map<int, int>& GetHintCounts()
{
    static std::map<int, int>* counts = new std::map<int, int>();
    return *counts;
}

}  // namespace

void ShowHint(int hintId, const std::wstring& helpTopic, int threshold)
{
    ++GetHintCounts()[hintId];
}
