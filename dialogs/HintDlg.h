#pragma once

#include <map>
#include <set>
#include <string>

#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/MultiLineLabel.h"

// The program teaches by short hints: the first (or n-th) time the user does
// something, a dialog explains it, with Help for the matching topic and a
// box to never show that hint again. A hint id is also the text id of its
// message.

// Counts one more trigger of the hint in this run. Its dialog shows once the
// count reaches the threshold, unless the user switched the hint off (the
// setting "NeverShow" followed by the id), it was already shown in this run,
// or the mouse button is held on a panel (then nothing is even counted).
void ShowHint(int hintId, const std::wstring& helpTopic, int threshold);

// How often each hint was triggered in this run.
std::map<int, int>& GetHintCounts();
// The hints whose dialog was made in this run.
std::set<int>& GetShownHints();
// The settings value that switches a hint off: "NeverShow2708".
std::wstring GetNeverShowValueName(int hintId);

class CHintDlg : public CDialog
{
public:
    // Joins the shown set; the help topic is the dialog's.
    CHintDlg(int hintIdValue, const std::wstring& topic);

    // With the box ticked the hint is switched off for good.
    void OnOk() override;

    int hintId;
    CCheckBox neverShowBox;
    CGridLayout grid;
    CMultiLineLabel message;
};
