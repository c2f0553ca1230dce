#include "dialogs/TextPropertiesDlg.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "foundation/TracePoint.h"

namespace {

constexpr int kTextNameTextId = 2596;
constexpr int kLastPlacement = 4;

// Loads a record as the whole text, the caret at its start.
void LoadRecord(CFormattedText& text, const std::string& record)
{
    text.SelectAll();
    text.InsertSerialized(record);
    text.SetCaret(0, false, false);
}

}  // namespace

CTextPropertiesDlg::CTextPropertiesDlg(CCourse* course) : CObjectPropertiesDlg(course, kTextNameTextId)
{
    const bool showBox = CSettings::GetInt(GetValueName(L"ShowBox", false), 0) != 0;
    const bool hidable = CSettings::GetInt(GetValueName(L"Hidable", false), 0) != 0;
    m_showBox = showBox ? ECheckState::kSet : ECheckState::kClear;
    m_hidable = hidable ? ECheckState::kSet : ECheckState::kClear;
}

CTextPropertiesDlg::~CTextPropertiesDlg() = default;

int CTextPropertiesDlg::MergeText(const std::string& record)
{
    TRACE_VALUE(int32_t, int32_t(m_records.size()));
    const auto found = std::find(m_records.begin(), m_records.end(), record);
    if (found != m_records.end())
        return int(found - m_records.begin());
    auto text = std::make_unique<CFormattedText>(kEditorFontSize, kEditorTabInterval);
    LoadRecord(*text, record);
    if (m_records.empty()) {
        LoadRecord(m_text, record);
        MergeFormat(m_text, false);
    } else {
        MergeFormat(*text, true);
    }
    m_records.push_back(record);
    m_texts.push_back(std::move(text));
    return int(m_records.size()) - 1;
}

void CTextPropertiesDlg::MergeShowBox(bool on)
{
    MergeCheck(m_showBox, on);
}

void CTextPropertiesDlg::MergeHidable(bool on)
{
    MergeCheck(m_hidable, on);
}

void CTextPropertiesDlg::MergeUpright(bool on)
{
    MergeCheck(m_upright, on);
}

void CTextPropertiesDlg::MergeKind(int placement)
{
    if (placement < 0 || placement > kLastPlacement)
        placement = 0;
    MergeValue(m_kind, placement, kMixedPlacement);
}

CFormattedText* CTextPropertiesDlg::GetObjectText(int index)
{
    if (index < 0 || index >= int(m_texts.size())) {
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return nullptr;
    }
    return m_texts[size_t(index)].get();
}

void CTextPropertiesDlg::DropObjectTexts()
{
    m_texts.clear();
    m_records.clear();
}

void CTextPropertiesDlg::ApplyFormatToObjectTexts()
{
    if (!HasObjectTexts())
        return;
    for (const std::unique_ptr<CFormattedText>& text : m_texts) {
        text->SelectAll();
        if (m_fontSize > 0.0f)
            text->SetSelectionFontSize(float(int(m_fontSize)));
        if (m_weight != 0)
            text->SetSelectionBold(m_weight == 2);
        if (m_alignment >= 1 && m_alignment <= 3)
            text->SetSelectionAlignment(m_alignment - 1);
        if (m_boxWidth > 0.0f)
            text->SetWrapWidth(int32_t(m_boxWidth));
        text->SetCaret(0, false, false);
        text->CommitChanges();
    }
}

void CTextPropertiesDlg::GetText(std::string* out, int index)
{
    if (out == nullptr) {
        ReportFailure();
        return;
    }
    CFormattedText* text = &m_text;
    if (m_texts.size() >= 2) {
        if (index >= 0 && index < int(m_texts.size())) {
            text = m_texts[size_t(index)].get();
        } else {
            TRACE_VALUE(int32_t, index);
            ReportFailure();
        }
    }
    *out = text->Serialize(0, text->GetLength());
}

bool CTextPropertiesDlg::HasText() const
{
    return m_texts.size() >= 2 || m_text.GetLength() > 1;
}

EAlignment CTextPropertiesDlg::GetAlignment() const
{
    if (m_alignment < 1 || m_alignment > 3) {
        TRACE_VALUE(int32_t, m_alignment);
        ReportFailure();
        return kAlignLeft;
    }
    return EAlignment(m_alignment - 1);
}

void CTextPropertiesDlg::MergeFormat(CFormattedText& text, bool merge)
{
    // The first character's attributes become the pending ones at a caret
    // before it; the whole text then tells whether they hold throughout.
    text.SetCaret(0, false, false);
    const float firstSize = float(text.GetFontSize());
    const int firstWeight = text.IsBold() ? 2 : 1;
    text.SelectAll();
    const float size = text.IsSelectionSizeUniform() ? firstSize : 0.0f;
    const int weight = text.IsSelectionBoldUniform() ? firstWeight : 0;
    const int alignment = text.IsSelectionAlignmentUniform() ? int(text.GetAlignment()) + 1 : 0;
    const float boxWidth = float(text.GetWrapWidth());
    text.SetCaret(0, false, false);
    auto take = [merge](auto& held, auto value) {
        if (!merge)
            held = value;
        else if (held != value)
            held = 0;
    };
    take(m_fontSize, size);
    take(m_weight, weight);
    take(m_alignment, alignment);
    take(m_boxWidth, boxWidth);
}
