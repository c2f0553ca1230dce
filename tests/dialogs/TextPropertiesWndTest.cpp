#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/TextPropertiesDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/annotations/Text.h"
#include "tests/dialogs/PropertiesWndTest.h"

namespace {

constexpr int kRangeText = 2688;
constexpr int kPlacementCombo = 2;

class TextPropertiesWnd : public CPropertiesWndTest
{
protected:
    // Without the hint that sizes apply to the selection.
    void SetUp() override
    {
        CPropertiesWndTest::SetUp();
        CSettings::SetInt(L"NeverShow2703", 1);
    }
    CText* PlaceText(float x, const std::wstring& content)
    {
        CFormattedText text(240.0f, 360);
        text.InsertText(content);
        text.SetWrapWidth(1200);
        const std::string record = text.Serialize(0, text.GetLength());
        return Place<CText, CTextPropertiesDlg>(x, [&](CTextPropertiesDlg& half) { half.MergeText(record); });
    }
    std::string Archive()
    {
        std::string out;
        course.WriteArchive(out, false, false, true);
        return out;
    }
};

std::vector<HWND> FindCombos(HWND window)
{
    std::vector<HWND> combos;
    for (const CDialogChild& child : ListDialogChildren(window)) {
        if (_wcsicmp(child.className.c_str(), L"ComboBox") == 0)
            combos.push_back(child.window);
    }
    return combos;
}

HWND FindEditor(HWND window) { return FindWindowExW(window, nullptr, L"CPanel", nullptr); }

void ClickAndKey(HWND panel, UINT key)
{
    SendMessageW(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 12));
    SendMessageW(panel, WM_LBUTTONUP, 0, MAKELPARAM(40, 12));
    SendMessageW(panel, WM_KEYDOWN, key, 1);
    SendMessageW(panel, WM_KEYUP, key, 0xC0000001);
}

bool StartsWith(const std::wstring& text, const std::wstring& start) { return text.compare(0, start.size(), start) == 0; }

}  // namespace

TEST_F(TextPropertiesWnd, MarginTextsPlacedApartKeepTheirPlacesAndTextsThroughACaretMoveTypingAndOk)
{
    CText* above = PlaceText(3000.0f, L"Ring 1");
    CText* left = PlaceText(6000.0f, L"Judge and timekeeper");
    course.SetLengthValue(CCourse::kMarginLowY, above->GetBoxSize().height);
    above->PlaceInMargin(CText::EMargin::kAbove);
    course.SetLengthValue(CCourse::kMarginLowX, left->GetBoxSize().width);
    left->PlaceInMargin(CText::EMargin::kLeft);
    const std::string before = Archive();
    int shownEntry = -2;
    int entries = 0;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        const HWND placement = FindCombos(window).at(kPlacementCombo);
        shownEntry = int(SendMessageW(placement, CB_GETCURSEL, 0, 0));
        entries = int(SendMessageW(placement, CB_GETCOUNT, 0, 0));
        // Typing waits while the texts differ.
        ClickAndKey(FindEditor(window), VK_END);
        ClickAndKey(FindEditor(window), VK_BACK);
        SendMessageW(FindEditor(window), WM_CHAR, L'x', 1);
        PressDialogButton(window, IDOK);
    }));
    EXPECT_EQ(5, shownEntry);
    EXPECT_EQ(6, entries);
    EXPECT_EQ(before, Archive());
    EXPECT_TRUE(CDialogWatcher::TakeAnsweredTexts().empty());
}

// Each case leaves the dialog open with its message, or (no message) with
// OK disabled; Cancel then changes nothing.
TEST_F(TextPropertiesWnd, RefusedValuesKeepTheDialogOpenAndTheCourseAsItWas)
{
    const struct
    {
        const char* name;
        int sizeText;      // typed into the size entry when set
        int placement;     // chosen when not 0
        int deletes;       // Delete keys in the editor
        std::wstring message;
    } cases[] = {
        {"size of 200 in", 1, 0, 0, GetString(kRangeText).substr(0, GetString(kRangeText).find(L"%1"))},
        {"above a ring 250 ft long", 0, 1, 0, GetStringWithArg(2678, L"250 ft")},
        {"left of a ring 250 ft wide", 0, 3, 0, GetStringWithArg(2679, L"250 ft")},
        {"empty text", 0, 0, 7, std::wstring()},
    };
    course.SetSize(30000.0f, 30000.0f);
    PlaceText(3000.0f, L"Ring 1");
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const std::string before = Archive();
        bool okEnabled = true;
        bool stayed = false;
        std::vector<std::wstring> messages;
        ASSERT_TRUE(EditSelection([&](HWND window) {
            if (test.sizeText)
                TypeIntoEdit(FindEditControls(window).at(0), L"200 in");
            if (test.placement)
                ChooseComboItem(FindCombos(window).at(kPlacementCombo), test.placement);
            for (int i = 0; i < test.deletes; ++i)
                SendMessageW(FindEditor(window), WM_KEYDOWN, VK_DELETE, 1);
            okEnabled = IsWindowEnabled(FindChildByCaption(window, GetString(2015))) != FALSE;
            if (okEnabled) {
                PressDialogButton(window, IDOK);
                messages = WaitForAnsweredTexts(1);
            }
            stayed = IsWindow(window) && IsWindowVisible(window);
            PressDialogButton(window, IDCANCEL);
        }));
        EXPECT_TRUE(stayed);
        EXPECT_EQ(test.message.empty(), !okEnabled);
        if (!test.message.empty()) {
            ASSERT_EQ(1u, messages.size());
            EXPECT_TRUE(StartsWith(messages[0], test.message)) << messages[0];
        }
        EXPECT_EQ(before, Archive());
    }
}
