#include <gtest/gtest.h>

#include <string>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "dialogs/TextPropertiesDlg.h"
#include "foundation/Settings.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"

namespace {

using TextPropertiesDlg = CCourseSettingsTest;

// The bytes of a one-paragraph text of the size, bold or not, aligned.
std::string RecordOf(const std::wstring& content, float size, bool bold, int32_t alignment)
{
    CFormattedText text(size, 360);
    text.InsertText(content);
    text.SelectAll();
    text.SetSelectionBold(bold);
    text.SetSelectionAlignment(alignment);
    text.SetWrapWidth(1200);
    return text.Serialize(0, text.GetLength());
}

}  // namespace

TEST_F(TextPropertiesDlg, EqualTextsShareAnIndexAndDifferentOnesKeepTheirOwn)
{
    CCourse course(L"Texts", L"");
    CTextPropertiesDlg dialog(&course);
    EXPECT_FALSE(dialog.HasText());
    const std::string plain = RecordOf(L"Ring 1", 240.0f, false, kAlignCentre);
    const std::string bold = RecordOf(L"Ring 2", 240.0f, true, kAlignCentre);
    EXPECT_EQ(0, dialog.MergeText(plain));
    std::string out;
    dialog.GetText(&out, 5);
    EXPECT_EQ(plain, out);
    EXPECT_EQ(240.0f, dialog.GetFontSize());
    EXPECT_EQ(1, dialog.GetWeight());
    EXPECT_EQ(kAlignCentre, dialog.GetAlignment());
    EXPECT_EQ(1200.0f, dialog.GetBoxWidth());

    EXPECT_EQ(1, dialog.MergeText(bold));
    EXPECT_EQ(0, dialog.MergeText(plain));
    EXPECT_TRUE(dialog.HasText());
    dialog.GetText(&out, 1);
    EXPECT_EQ(bold, out);
    // What the texts share stays; the weight differs.
    EXPECT_EQ(240.0f, dialog.GetFontSize());
    EXPECT_EQ(0, dialog.GetWeight());
    EXPECT_EQ(2, dialog.GetAlignmentChoice());
    // An index the dialog never gave.
    EXPECT_EQ(1, CountReports([&] { dialog.GetText(&out, 2); }));
    EXPECT_EQ(2, dialog.MergeText(RecordOf(L"Ring 3", 300.0f, false, kAlignRight)));
    EXPECT_EQ(0.0f, dialog.GetFontSize());
    EXPECT_EQ(1, CountReports([&] { EXPECT_EQ(kAlignLeft, dialog.GetAlignment()); }));
}

TEST_F(TextPropertiesDlg, FlagsStartFromTheStoredDefaultsAndMix)
{
    CSettings::SetInt(L"310ShowBox", 1);
    CCourse course(L"Texts", L"");
    CTextPropertiesDlg dialog(&course);
    EXPECT_EQ(ECheckState::kSet, dialog.GetShowBox());
    EXPECT_EQ(ECheckState::kClear, dialog.GetHidable());
    EXPECT_EQ(ECheckState::kClear, dialog.GetUpright());
    EXPECT_NE(nullptr, dynamic_cast<CTextPropertiesDlg*>(
                           FindObjectTypeById(310)->CreatePropertiesDialog(&course, 2596).get()));
    for (int object = 0; object < 2; ++object) {
        dialog.AddEditedObject(nullptr, 0, CPartColorSet());
        dialog.MergeShowBox(false);
        dialog.MergeHidable(object == 0);
        dialog.MergeUpright(true);
        dialog.MergeKind(object == 0 ? 3 : 2);
    }
    EXPECT_EQ(ECheckState::kClear, dialog.GetShowBox());
    EXPECT_EQ(ECheckState::kMixed, dialog.GetHidable());
    EXPECT_EQ(ECheckState::kSet, dialog.GetUpright());
    EXPECT_EQ(CTextPropertiesDlg::kMixedPlacement, dialog.GetKind());
}
