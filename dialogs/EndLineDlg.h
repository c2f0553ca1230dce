#pragma once

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;

// The start or finish line's properties dialog: whether the line is a start
// line (0), a start-and-finish line (1) or a finish line (2). A new line is
// a start-and-finish line while "110StartAndFinish" is stored on (as it is
// until the user chooses otherwise); else it is proposed from the course's
// lines: a start-and-finish line when there are more of them than start
// lines, a finish line when there are more start lines than finish lines,
// else a start line.
class CEndLineDlg : public CObjectPropertiesDlg
{
public:
    explicit CEndLineDlg(CCourse* course);

    // The first edited line sets the kind; a later, different one makes it
    // mixed.
    void MergeStartAndFinish(int kind);
    bool IsKindMixed() const { return m_kindMixed; }
    // The kind as merged, without the report of a mixed one.
    int GetMergedKind() const { return m_kind; }
    // A mixed kind is reported and returned as it is.
    int GetStartAndFinish() const;
    // The user's choice; a kind outside 0..2 is reported and taken as the
    // start-and-finish line.
    void SetStartAndFinish(int kind);
    // Stores whether the chosen kind is the start-and-finish line, unless
    // the kind is mixed.
    void StoreDefaults() const;

private:
    int m_kind = 0;
    bool m_kindMixed = false;
};
