#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "dialogs/AFrameDlg.h"
#include "dialogs/CrossoverDlg.h"
#include "dialogs/LengthFormat.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/equipment/AFrame.h"
#include "objects/equipment/Crossover.h"
#include "objects/equipment/DogWalk.h"
#include "tests/dialogs/PropertiesWndDriving.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

namespace {

constexpr int kAkc = 1;

class ContactDialogs : public CCourseSettingsTest
{
protected:
    void SetUp() override
    {
        CCourseSettingsTest::SetUp();
        course.SetSpecList(kAkc);
        CDialogWatcher::TakeAnsweredTexts();
    }

    // A new object of the kind sized through its dialog half, selected.
    template <class TObject, class THalf>
    TObject* Place(float x, const std::function<void(THalf&)>& size)
    {
        THalf half(&course);
        size(half);
        CTransform at;
        at.SetPosition2D(x, 3000.0f);
        std::unique_ptr<CCourseObject> made =
            FindObjectTypeById(TObject::kTypeId)->CreateNew(&course, at, &half);
        TObject* object = dynamic_cast<TObject*>(made.get());
        course.AddObject(std::move(made));
        object->SetSelected(true);
        return object;
    }
    CAFrame* PlaceAFrame(float x, float length)
    {
        return Place<CAFrame, CAFrameDlg>(x, [&](CAFrameDlg& half) { half.SetSize(length, 590.0f); });
    }

    // Runs Properties for the selection as one step after "Placed".
    bool EditSelection(const std::function<void(HWND)>& drive)
    {
        course.CommitUndoStep(L"Placed");
        std::unique_ptr<CEditSession> session = course.MakeSelectionSession();
        return session && RunSessionDriven(*session, drive);
    }

    CCourse course{L"Contacts", L""};
};

std::wstring Feet(float tenths) { return FormatLength(tenths, EUnitKind::kFeetAndInches, true); }

}  // namespace

TEST_F(ContactDialogs, AnAFrameOffersTheOrganisationsPresetsAndRefusesRampsNoLongerThanHigh)
{
    CAFrame* frame = PlaceAFrame(2000.0f, 1080.0f);
    std::vector<std::wstring> captions;
    std::vector<std::wstring> refused;
    bool customChecked = false;
    ASSERT_TRUE(EditSelection([&](HWND window) {
        for (HWND radio : FindRadios(window))
            captions.push_back(GetCaption(radio));
        SaveShot(window, L"a-frame");
        HWND custom = FindCaption(window, GetString(2258));
        customChecked = IsChecked(custom);
        ClickControl(custom);
        const std::vector<HWND> edits = FindEdits(window);
        TypeIntoEdit(edits[0], L"96 in");
        TypeIntoEdit(edits[1], L"96 in");
        PressDialogButton(window, IDOK);
        refused = WaitForMessageTexts();
        TypeIntoEdit(edits[1], L"95");
        PressDialogButton(window, IDOK);
    }));
    // AKC: 9 ft ramps 5 ft 6 in high and 5 ft high, then the custom size.
    const std::vector<std::wstring> expected = {
        GetStringWith2Args(2257, Feet(1080.0f), Feet(660.0f)),
        GetStringWith2Args(2257, Feet(1080.0f), Feet(600.0f)),
        GetString(2258),
    };
    EXPECT_EQ(expected, captions);
    // 1080 by 590 is no preset.
    EXPECT_TRUE(customChecked);
    EXPECT_EQ(std::vector<std::wstring>{GetString(2674)}, refused);
    EXPECT_EQ(960.0f, frame->GetLength());
    EXPECT_EQ(950.0f, frame->GetHeight());
    EXPECT_EQ(960, CSettings::GetInt(L"10AKCPlankLen", 0));
    EXPECT_EQ(950, CSettings::GetInt(L"10AKCHeight", 0));
    ASSERT_TRUE(course.Undo());
    EXPECT_EQ(L"Placed", course.GetUndoLabel());
}
