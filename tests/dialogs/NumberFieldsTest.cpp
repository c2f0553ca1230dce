#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "course/EditSession.h"
#include "dialogs/HintDlg.h"
#include "dialogs/TextPropertiesDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "graphics/FormattedText.h"
#include "objects/annotations/Text.h"
#include "tests/dialogs/PropertiesWndTest.h"

namespace {

// The windows' hints neither show here nor count for the tests after.
class NumberFields : public CPropertiesWndTest
{
protected:
    void SetUp() override
    {
        CPropertiesWndTest::SetUp();
        for (int hint = kFirstHint; hint <= kLastHint; ++hint)
            CSettings::SetInt(GetNeverShowValueName(hint), 1);
    }
    void TearDown() override
    {
        GetHintCounts() = m_counts;
        CPropertiesWndTest::TearDown();
    }

    std::function<std::shared_ptr<CEditSession>()> Tool(int nameTextId)
    {
        return [this, nameTextId] {
            course.SelectToolType(nameTextId);
            return course.GetToolSessionToRun();
        };
    }
    // A new text has no OK until it holds a character: a text placed and
    // selected.
    std::function<std::shared_ptr<CEditSession>()> PlacedText()
    {
        return [this] {
            CFormattedText text(240.0f, 360);
            text.InsertText(L"Ring 1");
            const std::string record = text.Serialize(0, text.GetLength());
            Place<CText, CTextPropertiesDlg>(3000.0f, [&](CTextPropertiesDlg& half) { half.MergeText(record); });
            course.CommitUndoStep(L"Placed");
            return std::shared_ptr<CEditSession>(course.MakeSelectionSession());
        };
    }

private:
    static constexpr int kFirstHint = 2703, kLastHint = 2722;
    const std::map<int, int> m_counts = GetHintCounts();
};

}  // namespace

// An emptied number or length field of a properties window is refused with
// its range, as a value out of range is, and the window stays open; also
// where 0 lies in the range (the weave poles' channel, a dog's height). The
// radio buttons given by their places turn the fields behind them on.
TEST_F(NumberFields, EveryFieldOfThePropertiesWindowsRefusesAnEmptyEntry)
{
    const struct
    {
        const char* name;
        std::function<std::shared_ptr<CEditSession>()> session;
        std::vector<size_t> radios;
        size_t fields;
    } windows[] = {
        {"weave poles: poles, spacing, channel", Tool(2610), {}, 3},
        {"A-frame of custom size", Tool(2526), {2}, 2},
        {"dog walk of custom size", Tool(2544), {1}, 2},
        {"crossover: custom ramps and platform", Tool(2538), {5, 7}, 3},
        {"see-saw of another length", Tool(2584), {1}, 1},
        {"tunnel: sections, length, diameter", Tool(2600), {4, 6}, 3},
        {"rigid tunnel: its bend", Tool(2600), {2}, 1},
        {"collapsed tunnel: length, diameter", Tool(2534), {1, 3}, 2},
        {"unusable area, rounded by", Tool(2602), {2}, 1},
        {"dog: height, scale", Tool(2540), {2}, 2},
        {"handler: scale", Tool(2552), {}, 1},
        {"text: size, box width", PlacedText(), {}, 2},
        {"winged jump: uprights, wings", Tool(2616), {1}, 2},
        {"tire jump: frame, tire", Tool(2598), {5, 7}, 2},
    };
    const std::wstring rangeText = GetString(2688);
    const std::wstring range = rangeText.substr(0, rangeText.find(L"%1"));
    for (const auto& window : windows) {
        SCOPED_TRACE(window.name);
        std::shared_ptr<CEditSession> session = window.session();
        ASSERT_TRUE(session);
        std::vector<std::wstring> refused;
        EXPECT_TRUE(RunModalDriven([&] { session->DoModal(); }, [&](HWND dialog) {
            const std::vector<HWND> radios = FindRadioButtons(dialog);
            for (size_t radio : window.radios)
                ClickControl(radios.at(radio));
            refused = EmptyEachEditAndPressOk(dialog, range.size());
            PressDialogButton(dialog, IDCANCEL);
        }));
        EXPECT_EQ(std::vector<std::wstring>(window.fields, range), refused);
    }
}
