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
#include "objects/annotations/ObsNumSequence.h"
#include "tests/dialogs/PropertiesWndTest.h"

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
// the box checked and enabled.
std::wstring ReadShown(HWND window)
{
    const HWND list = FindWindowExW(window, nullptr, L"COMBOBOX", nullptr);
    const HWND box = FindChildByCaption(window, GetString(kAutoNumberText));
    return std::to_wstring(SendMessageW(list, CB_GETCURSEL, 0, 0)) + L"/" +
           std::to_wstring(SendMessageW(list, CB_GETCOUNT, 0, 0)) + L" " +
           GetWindowTextString(FindEditControls(window).at(0)) + L" " + (IsButtonChecked(box) ? L"x" : L"-") +
           (IsWindowEnabled(box) ? L"" : L" disabled");
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

TEST_F(ObsNumDialog, StyleAndLabelChooseTheSequenceTheNumbersJoin)
{
    // The numbers' styles (a square reversed number "1", or a round plain
    // one beside it); the entry chosen, the keys typed, whether the box is
    // clicked; what the window shows; the first number's style, "+" for
    // the flag, label and label kind after OK.
    const struct
    {
        bool two;
        int entry;
        const wchar_t *typed, *shown, *after;
        bool clickAuto;
    } cases[] = {
        {false, -1, nullptr, L"3/4 1 x", L"1+ 1 1"},
        {false, -1, L"A", L"3/4 A x", L"1+ A 2"},
        {false, 0, nullptr, L"0/4 1 x", L"0 1 1"},
        {false, 2, L"7", L"2/4 7 -", L"1 7 1", true},
        // The edit takes four characters.
        {false, -1, L"12345", L"3/4 1234 -", L"1+ 1234 1", true},
        // Styles that differ: the empty entry; each number keeps its own.
        {true, -1, nullptr, L"4/5 1 - disabled", L"1+ 1 1"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        course.SelectAll();
        course.DeleteSelected();
        course.SetShowNumbers(false);
        CObsNum* number = Load(1, true, L"1", 2000.0f);
        CObsNum* round = c.two ? Load(0, false, L"1", 4000.0f) : number;
        Select({number, round});
        std::wstring shown;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            if (c.entry >= 0)
                ChooseComboItem(FindWindowExW(window, nullptr, L"COMBOBOX", nullptr), c.entry);
            const HWND edit = FindEditControls(window).at(0);
            SendMessageW(edit, EM_SETSEL, 0, -1);
            for (const wchar_t* key = c.typed; key && *key; ++key)
                SendMessageW(edit, WM_CHAR, WPARAM(*key), 0);
            if (c.clickAuto)
                ClickControl(FindChildByCaption(window, GetString(kAutoNumberText)));
            shown = ReadShown(window);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_TRUE(course.GetShowNumbers());
        EXPECT_EQ(c.shown, shown);
        const auto read = [](const CObsNum* n) {
            return std::to_wstring(n->GetBadgeStyle().GetIndex()) + (n->GetBadgeFlag() ? L"+ " : L" ") + n->GetText() +
                   L" " + std::to_wstring(n->GetSequence()->GetKind());
        };
        EXPECT_EQ(c.after, read(number));
        EXPECT_EQ(c.two ? L"0 1 1" : c.after, read(round));
    }
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
