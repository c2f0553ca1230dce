#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ui/Button.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/MultiLineLabel.h"

class CCourse;
class CCourseWindow;

// New Set-Up Copy (2064): the user picks how a copy of the course is
// prepared for setting it up in the ring; OK remembers the choice for the
// course's organisation and opens the prepared copy in a new window. Choices
// 0 to 4 measure the obstacles from the nearest corner or from one side;
// choice 5 measures from the nearest corner without moving the obstacles.
class CCourseSetUpDlg : public CDialog
{
public:
    static constexpr int kChoiceCount = 6;

    // The window's course is copied; the window itself stays as it is.
    explicit CCourseSetUpDlg(CCourseWindow* window);

    int GetChoice() const { return m_choice; }
    // A choice outside 0..5 counts as 0.
    void SetChoice(int choice);
    // Whether the obstacles stay where they are.
    bool KeepsLayout() const { return m_choice == 5; }

    // Stores the choice as "<organisation>SetUp".
    void OnOk() override;
    // Opens the prepared copy in a new window.
    void OnResult() override;

    // The copy's name: text 2005 with the title up to its last ".".
    static std::wstring MakeCopyName(const std::wstring& title);

    CCourseWindow* window;
    CCourse* course;
    std::wstring organisation;
    CMultiLineLabel explanation;
    CGridLayout radios{true};
    CGridLayout row{3, 1};
    CGridLayout column{true};
    std::vector<std::unique_ptr<CRadioButton>> buttons;

private:
    int m_choice = 0;
};
