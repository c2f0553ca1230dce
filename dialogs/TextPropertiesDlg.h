#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialogs/ObjectPropertiesDlg.h"
#include "graphics/FormattedText.h"

class CCourse;

// The text object's properties dialog: the formatted text with its size,
// weight, alignment and box width, where the text sits (0 on the course,
// 1 to 4 in the margin above, below, left of or right of the ring) and three
// flags: the box shown, hidden with the other hidable objects, upright in 3D.
// The first two flags start from the values stored for the kind, "310ShowBox"
// and "310Hidable" (off when unset); upright starts off.
//
// Each edited text is merged as its record (the formatted text's bytes).
// Equal records share one index; while the edited texts differ, each keeps
// its own text, and the size, weight, alignment and box width shown are
// those they share.
class CTextPropertiesDlg : public CObjectPropertiesDlg
{
public:
    explicit CTextPropertiesDlg(CCourse* course);
    ~CTextPropertiesDlg() override;

    // The index GetText takes for the record. The first record is loaded
    // into the editor.
    int MergeText(const std::string& record);
    // The first edited object sets the value; a later, different one makes
    // it mixed.
    void MergeShowBox(bool on);
    void MergeHidable(bool on);
    void MergeUpright(bool on);
    // A placement other than 0 to 4 counts as 0. Edited texts placed
    // differently give kMixedPlacement: each keeps its own.
    void MergeKind(int placement);
    static constexpr int kMixedPlacement = -1;

    // The bytes of the text at the index while the edited texts differ,
    // else the editor's. An index the dialog never gave is reported and
    // gives the editor's text.
    void GetText(std::string* out, int index);
    // Whether GetText gives a text holding a character: not for a dialog
    // that was given no text.
    bool HasText() const;

    ECheckState GetShowBox() const { return m_showBox; }
    ECheckState GetHidable() const { return m_hidable; }
    ECheckState GetUpright() const { return m_upright; }
    int GetKind() const { return m_kind; }
    // The shared format of the edited texts; 0 where they differ. Weight 1
    // is normal and 2 bold; alignment choices 1 to 3 are left, centred and
    // right.
    float GetFontSize() const { return m_fontSize; }
    int GetWeight() const { return m_weight; }
    int GetAlignmentChoice() const { return m_alignment; }
    float GetBoxWidth() const { return m_boxWidth; }
    // The alignment code of the choice; a mixed choice is reported and
    // gives left.
    EAlignment GetAlignment() const;

    // What the window confirms: the flags, the placement and the format
    // every edited text takes (0 keeps each text's own).
    void SetShowBox(ECheckState state) { m_showBox = state; }
    void SetHidable(ECheckState state) { m_hidable = state; }
    void SetUpright(ECheckState state) { m_upright = state; }
    void SetKind(int placement) { m_kind = placement; }
    void SetFontSize(float size) { m_fontSize = size; }
    void SetWeight(int weight) { m_weight = weight; }
    void SetAlignmentChoice(int choice) { m_alignment = choice; }
    void SetBoxWidth(float width) { m_boxWidth = width; }

    // The text the editor shows: the first edited text, or the one text all
    // edited objects take once the user edits it.
    CFormattedText& GetEditorText() { return m_text; }
    // Whether the edited texts differ, each kept apart from the editor's.
    bool HasObjectTexts() const { return m_texts.size() >= 2; }
    int GetObjectTextCount() const { return int(m_texts.size()); }
    // Null for an index the dialog never gave (reported).
    CFormattedText* GetObjectText(int index);
    // From now on the editor's text goes to every edited object.
    void DropObjectTexts();
    // Gives every text kept apart the format set: the size, weight,
    // alignment and box width that are not 0.
    void ApplyFormatToObjectTexts();

    // The limits the editor's text is built with: the size of what is typed
    // first and the default tab interval.
    static constexpr float kEditorFontSize = 999.0f;
    static constexpr int32_t kEditorTabInterval = 999;

private:
    // Shows the text's format; with merge, a value that differs from the one
    // shown becomes mixed.
    void MergeFormat(CFormattedText& text, bool merge);

    CFormattedText m_text{kEditorFontSize, kEditorTabInterval};
    // One text per different record merged, in merging order.
    std::vector<std::string> m_records;
    std::vector<std::unique_ptr<CFormattedText>> m_texts;
    ECheckState m_showBox = ECheckState::kClear;
    ECheckState m_hidable = ECheckState::kClear;
    ECheckState m_upright = ECheckState::kClear;
    int m_kind = 0;
    float m_fontSize = 0.0f;
    int m_weight = 0;
    int m_alignment = 0;
    float m_boxWidth = 0.0f;
};
