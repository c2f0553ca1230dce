#pragma once

#include <deque>
#include <string>
#include <vector>

#include "dialogs/ObjectPropertiesDlg.h"

class CCourse;
class CCourseNumbering;

// The obstacle numbers' properties dialog: the badge style with its flag
// (one list of entries, two per style: plain and reversed colours), the
// label, and whether the label's sequence numbers automatically. Styles are
// their indices 0 to 2 (the numbers map them to their badges); sequences are
// reached through the course. The dialog follows the user's choices by
// looking the sequence up again as the style or the label changes, and
// offers the sequence's next label. It stores nothing.
//
// With several numbers it changes their labels only when the user typed
// one; it then switches automatic numbering off in the course's sequences,
// and on again, once the numbers have taken their labels and before the
// course records the step, in those whose labels still run in order.
// Its window is CObsNumPropertiesWnd.
class CObsNumPropertiesDlg : public CObjectPropertiesDlg
{
public:
    // One entry of the style list.
    struct CEntry
    {
        int style = 0;
        bool flag = false;
        // 0 for the empty entry of mixed numbers.
        int textId = 0;
    };

    // Shows the course's numbers and starts from the sequence a new number
    // would join.
    explicit CObsNumPropertiesDlg(CCourse* course);

    // This form shows no window: it takes the controls as they stand, gives
    // a single number's sequence the box and the label, and applies.
    bool DoModal() override;
    // Automatic numbering back on in the sequences switched off for the
    // edit whose labels still run in order.
    void OnApplied() override;

    // Once the edited numbers are merged, before the controls show: the
    // sequence from the label, and with several numbers the empty entry
    // of mixed styles and no sequence.
    void InitControls();
    // On OK: a single number's sequence takes the box and the label.
    void ConfirmSequence();

    // Merged in this order by every edited number.
    void MergeStyle(int style);
    void MergeStyleFlag(bool flag);
    void MergeText(const std::wstring& text);

    // The user's choices: an entry of the list, the label edit (at most
    // kMaxLabelLength characters), the automatic box.
    void SelectEntry(int entry);
    void EditLabel(const std::wstring& text);
    void SetAutoNumberChecked(bool on) { m_autoNumber = on; }

    // The selected entry's style and flag; asked while mixed, reported (style
    // 0, no flag).
    int GetSelectedStyle() const;
    bool GetBadgeFlag() const;
    bool IsStyleMixed() const { return m_styleMixed; }
    // The label the numbers take: the sequence's next label for a single
    // number, the edit's text for several (reported unless typed).
    std::wstring GetText() const;
    // Always for a single number; for several, after switching the course's
    // automatic numbering off, whether the user typed a label.
    bool ShouldApplyText();

    const std::vector<CEntry>& GetEntries() const { return m_entries; }
    int GetSelectedEntry() const { return m_selected; }
    const std::wstring& GetLabelText() const { return m_labelText; }
    bool IsAutoNumberChecked() const { return m_autoNumber; }
    bool IsAutoNumberEnabled() const { return m_autoNumberEnabled; }
    // None with several numbers.
    CCourseNumbering* GetSequence() const { return m_sequence; }

    static constexpr size_t kMaxLabelLength = 4;

private:
    // Looks the sequence up again, from the style (the label becomes that
    // sequence's next label) or from the label.
    void UpdateSequence(bool fromStyle);
    void ShowSequence(CCourseNumbering* sequence);
    bool HasEntry(int style) const;
    const CEntry* GetSelected() const;

    std::vector<CEntry> m_entries;
    int m_selected = -1;
    CCourseNumbering* m_sequence = nullptr;
    bool m_styleMixed = false;
    bool m_textChanged = false;
    CCourseNumbering* m_initialSequence = nullptr;
    std::wstring m_initialText;
    std::deque<CCourseNumbering*> m_switchedOff;
    std::wstring m_labelText;
    bool m_autoNumber = false;
    bool m_autoNumberEnabled = false;
};
