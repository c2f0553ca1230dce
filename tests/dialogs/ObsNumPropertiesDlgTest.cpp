#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/CourseNumbering.h"
#include "dialogs/ObsNumPropertiesDlg.h"
#include "foundation/FieldStream.h"
#include "foundation/Strings.h"
#include "objects/annotations/NumberStyle.h"
#include "objects/annotations/ObsNum.h"
#include "tests/dialogs/PropertiesWndTest.h"
#include "tests/support/FailureReports.h"

namespace {

constexpr int kAutoNumberText = 2423;

class ObsNumDialog : public CPropertiesWndTest
{
protected:
    // A number of the style, flag and label as a file gives it.
    CObsNum* Load(int style, bool flag, const std::wstring& label, float x)
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

    void Select(const std::vector<CObsNum*>& numbers)
    {
        course.DeselectAll(false);
        for (CObsNum* number : numbers)
            number->SetSelected(true);
    }

    std::string Bytes()
    {
        std::ostringstream block;
        course.WriteTextBlock(block, false, false);
        return block.str();
    }
};

// What the window shows: the list's selection and entry count, the label,
// the box.
struct CShown
{
    int selection = -1;
    int entries = 0;
    std::wstring label;
    bool autoChecked = false;
    bool autoEnabled = false;

    bool operator==(const CShown& o) const
    {
        return selection == o.selection && entries == o.entries && label == o.label && autoChecked == o.autoChecked &&
               autoEnabled == o.autoEnabled;
    }
};

std::ostream& operator<<(std::ostream& out, const CShown& s)
{
    return out << "entry " << s.selection << "/" << s.entries << " label '" << std::string(s.label.begin(), s.label.end())
               << "' auto " << s.autoChecked << s.autoEnabled;
}

CShown ReadShown(HWND window)
{
    CShown shown;
    const HWND list = FindWindowExW(window, nullptr, L"COMBOBOX", nullptr);
    shown.selection = int(SendMessageW(list, CB_GETCURSEL, 0, 0));
    shown.entries = int(SendMessageW(list, CB_GETCOUNT, 0, 0));
    shown.label = GetWindowTextString(FindEditControls(window).at(0));
    const HWND box = FindChildByCaption(window, GetString(kAutoNumberText));
    shown.autoChecked = IsButtonChecked(box);
    shown.autoEnabled = IsWindowEnabled(box) != FALSE;
    return shown;
}

}  // namespace

TEST_F(ObsNumDialog, ANewDialogOffersTheNextLabelAndShowsTheNumbers)
{
    course.SetShowNumbers(false);
    Load(1, true, L"1", 2000.0f);
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

TEST_F(ObsNumDialog, StyleAndLabelChooseTheSequenceTheNumberJoins)
{
    // What the user does in the window of a square, reversed number "1";
    // what the window then shows; the number's style, flag and label after OK.
    const struct
    {
        int entry;
        const wchar_t* typed;
        bool clickAuto;
        CShown shown;
        int style;
        bool flag;
        const wchar_t* label;
        int kind;
    } cases[] = {
        {-1, nullptr, false, {3, 4, L"1", true, true}, 1, true, L"1", 1},
        // A capital joins the capitals of the same style and flag.
        {-1, L"A", false, {3, 4, L"A", true, true}, 1, true, L"A", 2},
        // Round and plain: that sequence's next label.
        {0, nullptr, false, {0, 4, L"1", true, true}, 0, false, L"1", 1},
        // Square and plain, numbered by hand from 7.
        {2, L"7", true, {2, 4, L"7", false, true}, 1, false, L"7", 1},
        // Five characters do not fit.
        {-1, L"12345", true, {3, 4, L"1234", false, true}, 1, true, L"1234", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        course.SelectAll();
        course.DeleteSelected();
        CObsNum* number = Load(1, true, L"1", 2000.0f);
        Select({number});
        CShown shown;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            const HWND list = FindWindowExW(window, nullptr, L"COMBOBOX", nullptr);
            if (c.entry >= 0)
                ChooseComboItem(list, c.entry);
            if (c.typed) {
                const HWND edit = FindEditControls(window).at(0);
                SendMessageW(edit, EM_SETSEL, 0, -1);
                for (const wchar_t* key = c.typed; *key; ++key)
                    SendMessageW(edit, WM_CHAR, WPARAM(*key), 0);
            }
            if (c.clickAuto)
                ClickControl(FindChildByCaption(window, GetString(kAutoNumberText)));
            shown = ReadShown(window);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.shown, shown);
        EXPECT_EQ(std::make_pair(c.style, c.flag),
                  std::make_pair(number->GetBadgeStyle().GetIndex(), number->GetBadgeFlag()));
        EXPECT_EQ(c.label, number->GetText());
        ASSERT_TRUE(number->GetSequence());
        EXPECT_EQ(c.kind, number->GetSequence()->GetKind());
    }
}

TEST_F(ObsNumDialog, NumbersOfDifferentStylesShowTheEmptyEntryAndKeepTheirOwn)
{
    CObsNum* round = Load(0, false, L"1", 2000.0f);
    CObsNum* square = Load(1, true, L"1", 4000.0f);
    Select({round, square});
    course.SetShowNumbers(false);
    CShown shown;
    bool numbersShown = false;
    EXPECT_EQ(0, CountReports([&] {
        ASSERT_TRUE(EditSelection([&](HWND window) {
            numbersShown = course.GetShowNumbers();
            shown = ReadShown(window);
            PressDialogButton(window, IDOK);
        }));
    }));
    EXPECT_TRUE(numbersShown);
    EXPECT_EQ((CShown{4, 5, L"1", false, false}), shown);
    EXPECT_EQ(std::make_pair(0, false), std::make_pair(round->GetBadgeStyle().GetIndex(), round->GetBadgeFlag()));
    EXPECT_EQ(std::make_pair(1, true), std::make_pair(square->GetBadgeStyle().GetIndex(), square->GetBadgeFlag()));
    EXPECT_EQ(L"1", square->GetText());
}

TEST_F(ObsNumDialog, ALabelForSeveralNumbersGivesAutomaticNumberingBackWithinTheUndoStep)
{
    Load(0, false, L"1", 2000.0f);
    CObsNum* roundTwo = Load(0, false, L"2", 4000.0f);
    CObsNum* squareOne = Load(1, false, L"1", 6000.0f);
    CObsNum* squareTwo = Load(1, false, L"2", 8000.0f);
    CCourseNumbering* rounds = roundTwo->GetSequence();
    CCourseNumbering* squares = squareOne->GetSequence();
    ASSERT_TRUE(rounds->IsAutoNumber() && squares->IsAutoNumber());
    Select({squareOne, squareTwo});
    course.CommitUndoStep(L"Placed");
    const std::string before = Bytes();

    std::unique_ptr<CEditSession> session = course.MakeSelectionSession();
    ASSERT_TRUE(RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
        TypeIntoEdit(FindEditControls(window).at(0), L"5");
        PressDialogButton(window, IDOK);
    }));
    // The dialog still lives: the rounds, untouched and in order, number
    // automatically again; the squares, now 5 and 5, do not.
    EXPECT_EQ(L"5", squareOne->GetText());
    EXPECT_EQ(L"5", squareTwo->GetText());
    EXPECT_TRUE(rounds->IsAutoNumber());
    EXPECT_FALSE(squares->IsAutoNumber());
    const std::string edited = Bytes();
    session.reset();
    EXPECT_EQ(edited, Bytes());

    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(before, Bytes());
    ASSERT_TRUE(course.Redo());
    EXPECT_EQ(edited, Bytes());
}
