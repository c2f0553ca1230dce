#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseNumbering.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "objects/annotations/NumberStyle.h"
#include "objects/annotations/ObsNum.h"
#include "objects/annotations/ObsNumSequence.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"

namespace {

using ObsNumDialog = CCourseSettingsTest;

// A number of the style, flag and label as a file gives it.
CObsNum* Load(CCourse& course, int style, bool flag, const std::wstring& label, float x)
{
    CFieldWriter record;
    record.m_versionMajor = 4;
    int32_t storedStyle = style;
    std::wstring text = label;
    record.Int8(storedStyle);
    record.Bool(flag);
    record.WString(text);
    CFieldReader reader(record.m_bytes);
    reader.m_versionMajor = 4;
    CTransform placement;
    placement.SetPosition2D(x, 3000.0f);
    std::unique_ptr<CCourseObject> made =
        CObsNum::GetObsNumType().CreateFromArchive(&course, placement, reader, false);
    CObsNum* number = dynamic_cast<CObsNum*>(made.get());
    course.AddObject(std::move(made));
    number->ResolveLinks();
    return number;
}

// The dialog of the selected numbers, as Properties makes it.
std::unique_ptr<CObsNumPropertiesDlg> Edit(CCourse& course, const std::vector<CObsNum*>& numbers)
{
    course.DeselectAll(false);
    for (CObsNum* number : numbers)
        number->SetSelected(true);
    std::unique_ptr<CEditSession> session = course.MakeSelectionSession();
    return std::unique_ptr<CObsNumPropertiesDlg>(dynamic_cast<CObsNumPropertiesDlg*>(session.release()));
}

}  // namespace

TEST_F(ObsNumDialog, ANewDialogOffersTheNextLabelAndShowsTheNumbers)
{
    CCourse course(L"", L"");
    course.SetShowNumbers(false);
    Load(course, 1, true, L"1", 2000.0f);
    CObsNumPropertiesDlg dialog(&course);
    EXPECT_TRUE(course.GetShowNumbers());
    // The sequence joined last: square, reversed colours.
    EXPECT_EQ(3, dialog.GetSelectedEntry());
    EXPECT_EQ(L"2", dialog.GetText());
    ASSERT_EQ(4u, dialog.GetEntries().size());
    EXPECT_EQ(2418, dialog.GetEntries()[1].textId);
    dialog.EditLabel(L"12345");
    EXPECT_EQ(L"1234", dialog.GetLabelText());
}

TEST_F(ObsNumDialog, StyleAndLabelChooseTheSequence)
{
    CCourse course(L"", L"");
    CObsNum* number = Load(course, 1, true, L"1", 2000.0f);
    auto dialog = Edit(course, {number});
    EXPECT_EQ(3, dialog->GetSelectedEntry());
    EXPECT_EQ(number->GetSequence(), dialog->GetSequence());
    dialog->SelectEntry(0);
    const int round = 0;
    const bool plain = false;
    EXPECT_EQ(course.GetNumbering(&round, &plain), dialog->GetSequence());
    EXPECT_EQ(dialog->GetSequence()->IsAutoNumber(), dialog->IsAutoNumberChecked());
    dialog->EditLabel(L"A");
    EXPECT_EQ(2, dialog->GetSequence()->GetKind());
    EXPECT_EQ(0, dialog->GetSequence()->GetStyleIndex());
    dialog->DoModal();
    EXPECT_EQ(L"A", number->GetText());
    EXPECT_EQ(0, number->GetBadgeStyle().GetIndex());
    EXPECT_FALSE(number->GetBadgeFlag());
}

TEST_F(ObsNumDialog, NumbersOfDifferentStylesKeepTheirOwn)
{
    CCourse course(L"", L"");
    CObsNum* round = Load(course, 0, false, L"1", 2000.0f);
    CObsNum* square = Load(course, 1, true, L"1", 4000.0f);
    auto dialog = Edit(course, {round, square});
    EXPECT_EQ(0, CountReports([&] { dialog->DoModal(); }));
    EXPECT_TRUE(dialog->IsStyleMixed());
    EXPECT_EQ(0, dialog->GetEntries()[size_t(dialog->GetSelectedEntry())].textId);
    EXPECT_FALSE(dialog->IsAutoNumberChecked());
    EXPECT_FALSE(dialog->IsAutoNumberEnabled());
    EXPECT_EQ(0, round->GetBadgeStyle().GetIndex());
    EXPECT_EQ(1, square->GetBadgeStyle().GetIndex());
    EXPECT_TRUE(square->GetBadgeFlag());
    EXPECT_EQ(L"1", square->GetText());
}

TEST_F(ObsNumDialog, ALabelForSeveralNumbersStopsAutomaticNumberingWhileItLasts)
{
    CCourse course(L"", L"");
    Load(course, 0, false, L"1", 2000.0f);
    CObsNum* roundTwo = Load(course, 0, false, L"2", 4000.0f);
    CObsNum* squareOne = Load(course, 1, false, L"1", 6000.0f);
    CCourseNumbering* rounds = roundTwo->GetSequence();
    CCourseNumbering* squares = squareOne->GetSequence();
    {
        auto dialog = Edit(course, {roundTwo, squareOne});
        dialog->EditLabel(L"2");
        dialog->DoModal();
        EXPECT_EQ(L"2", roundTwo->GetText());
        EXPECT_EQ(L"2", squareOne->GetText());
        EXPECT_FALSE(rounds->IsAutoNumber());
        EXPECT_FALSE(squares->IsAutoNumber());
    }
    // The rounds still run 1, 2; the squares begin at 2.
    EXPECT_TRUE(rounds->IsAutoNumber());
    EXPECT_FALSE(squares->IsAutoNumber());
}
