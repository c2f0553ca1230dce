#pragma once

// The new-course set-up: which of six ways a copy of the course is prepared
// for setting it up in the ring. Choices 0 to 4 measure the obstacles from
// the nearest corner or from one side; choice 5 measures from the nearest
// corner without moving the obstacles.
class CCourseSetUpDlg
{
public:
    int GetChoice() const { return m_choice; }
    // A choice outside 0..5 counts as 0.
    void SetChoice(int choice) { m_choice = choice >= 0 && choice <= 5 ? choice : 0; }
    // Whether the obstacles stay where they are.
    bool KeepsLayout() const { return m_choice == 5; }

private:
    int m_choice = 0;
};
