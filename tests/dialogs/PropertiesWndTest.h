#pragma once

#include <functional>
#include <memory>

#include "course/Course.h"
#include "course/ObjectType.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"

// The fixture of the tests that run an object kind's properties window on
// an AKC course in the course test settings.
class CPropertiesWndTest : public CCourseSettingsTest
{
protected:
    static constexpr int kAkc = 1;

    void SetUp() override
    {
        CCourseSettingsTest::SetUp();
        course.SetSpecList(kAkc);
        CDialogWatcher::TakeAnsweredTexts();
    }

    // A new object of the kind made from its dialog half as `set` leaves it,
    // selected.
    template <class TObject, class THalf>
    TObject* Place(float x, const std::function<void(THalf&)>& set)
    {
        THalf half(&course);
        set(half);
        CTransform at;
        at.SetPosition2D(x, 3000.0f);
        std::unique_ptr<CCourseObject> made =
            FindObjectTypeById(TObject::kTypeId)->CreateNew(&course, at, &half);
        TObject* object = dynamic_cast<TObject*>(made.get());
        course.AddObject(std::move(made));
        object->SetSelected(true);
        return object;
    }

    // Runs Properties for the selection as one step after "Placed".
    bool EditSelection(const std::function<void(HWND)>& drive)
    {
        course.CommitUndoStep(L"Placed");
        std::unique_ptr<CEditSession> session = course.MakeSelectionSession();
        return session && RunModalDriven([&] { session->DoModal(); }, drive);
    }

    CCourse course{L"Properties", L""};
};
