#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/DogShapeDlg.h"
#include "dialogs/HumanShapeDlg.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "objects/annotations/DogShape.h"
#include "objects/annotations/HumanShape.h"
#include "tests/dialogs/PropertiesWndTest.h"
#include "tests/support/TestWindows.h"

namespace {

constexpr int kStanding = 2365, kSitting = 2366, kLying = 2368;
const wchar_t kPose[] = L"80Pose";
const wchar_t kCustomHeight[] = L"80AKCCustomHeight";

// The panels of a figure window: the four thumbnails, then the large one.
std::vector<HWND> FindPanels(HWND window)
{
    std::vector<HWND> panels;
    for (const CDialogChild& child : ListDialogChildren(window))
        if (child.className == L"CPanel")
            panels.push_back(child.window);
    return panels;
}

std::vector<HWND> FindChildren(HWND window, const wchar_t* className)
{
    std::vector<HWND> found;
    for (const CDialogChild& child : ListDialogChildren(window))
        if (child.className == className)
            found.push_back(child.window);
    return found;
}

// A panel's pixels as the screen shows them.
std::vector<uint32_t> Grab(HWND panel)
{
    RECT r;
    GetClientRect(panel, &r);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<uint32_t> pixels(size_t(r.right) * size_t(r.bottom));
    HDC dc = GetDC(panel);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, r.right, r.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    GetDIBits(memory, bitmap, 0, UINT(r.bottom), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(panel, dc);
    return pixels;
}

// The middle of the first handle marker (red on black) of the panel, in
// screen coordinates; (-1, -1) when none shows.
POINT FindHandleMarker(HWND panel)
{
    RECT r;
    GetClientRect(panel, &r);
    const std::vector<uint32_t> pixels = Grab(panel);
    for (LONG y = 0; y < r.bottom; ++y)
        for (LONG x = 0; x < r.right; ++x) {
            const uint32_t p = pixels[size_t(y) * size_t(r.right) + size_t(x)];
            // Blue, green, red from the low byte up.
            if (((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60) {
                POINT at = {x, y + 2};
                ClientToScreen(panel, &at);
                return at;
            }
        }
    return POINT{-1, -1};
}

int GetComboSelection(HWND combo)
{
    return int(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

class FigureDialogs : public CPropertiesWndTest
{
protected:
    CDogShape* PlaceDog(float x, int pose, float height)
    {
        return Place<CDogShape, CDogShapeDlg>(x, [&](CDogShapeDlg& half) {
            half.GetModel().CopyPose(half.GetModel().GetPreset(pose));
            half.ChooseCustomHeight(height);
        });
    }
    static bool IsPose(const CFigureShape* figure, int pose)
    {
        return figure->GetModel().IsSamePose(figure->GetModel().GetPreset(pose));
    }
    // The named pose entry that equals the pose, or 0.
    static int FindNamedEntry(const CFigureModel& model)
    {
        for (int id = kStanding; id <= CDogFigure::kLastPreset; ++id)
            if (model.IsSamePose(model.GetPreset(id)))
                return id - kStanding + 1;
        return 0;
    }
};

}  // namespace

TEST_F(FigureDialogs, DraggingAHandleGivesEveryPreviewAndEveryDogTheDraggedPose)
{
    const struct
    {
        std::vector<int> poses;
        int move;
        bool changes;
        int shownAfter;   // the empty entry, or the default pose, standing
    } cases[] = {{{kSitting}, 40, true, 0}, {{kSitting, kLying}, 0, false, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.move);
        CSettings::SetString(kPose, std::string());
        course.DeselectAll(false);
        std::vector<CDogShape*> dogs;
        for (int pose : c.poses)
            dogs.push_back(PlaceDog(1000.0f * float(dogs.size()), pose, 0.0f));
        std::unique_ptr<CEditSession> session;
        int shownBefore = -1, shownAfter = -1;
        std::vector<bool> changed;
        course.CommitUndoStep(L"Placed");
        session = course.MakeSelectionSession();
        CDogShapeDlg& half = dynamic_cast<CDogShapeDlg&>(*session);
        ASSERT_TRUE(RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
            const std::vector<HWND> panels = FindPanels(window);
            ASSERT_EQ(5u, panels.size());
            const HWND poseList = FindChildren(window, L"ComboBox")[0];
            shownBefore = GetComboSelection(poseList);
            // The large preview looks from the dog's right side.
            RECT r;
            GetWindowRect(panels[1], &r);
            MouseInput(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, 0, false);
            MouseInput(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, MOUSEEVENTF_LEFTDOWN, false);
            MouseInput(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, MOUSEEVENTF_LEFTUP, false);
            Sleep(700);
            if (c.move != 0)
                SaveDialogShot(window, L"figure-dog");
            std::vector<std::vector<uint32_t>> before;
            for (HWND panel : panels)
                before.push_back(Grab(panel));
            const POINT marker = FindHandleMarker(panels[4]);
            ASSERT_GE(marker.x, 0);
            MouseInput(marker, 0, false);
            MouseInput(marker, MOUSEEVENTF_LEFTDOWN, false);
            for (int step = 1; step <= 4; ++step)
                MouseInput(POINT{marker.x + c.move * step / 4, marker.y + c.move * step / 4}, 0, false);
            MouseInput(POINT{marker.x + c.move, marker.y + c.move}, MOUSEEVENTF_LEFTUP, false);
            Sleep(700);
            for (size_t i = 0; i < panels.size(); ++i)
                changed.push_back(Grab(panels[i]) != before[i]);
            shownAfter = GetComboSelection(poseList);
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.poses.size() == 1 ? 2 : 0, shownBefore);
        EXPECT_EQ(std::vector<bool>(5, c.changes), changed);
        EXPECT_EQ(c.shownAfter, shownAfter);
        EXPECT_EQ(c.shownAfter, FindNamedEntry(half.GetModel()));
        // The dragged pose is every dog's, and the one a new dog takes.
        for (CDogShape* dog : dogs)
            EXPECT_TRUE(dog->GetModel().IsSamePose(half.GetModel()));
        CDogFigure stored(nullptr);
        CFigureDlg::ReadPose(stored, CSettings::GetString(kPose, std::string()));
        EXPECT_TRUE(stored.IsSamePose(half.GetModel()));
        course.DeleteSelected();
    }
}

// OK on dogs that differ leaves what differs alone: neither the poses nor
// the stored pose, nor the heights, and the mixed height (0) is no height
// to offer the next dog.
TEST_F(FigureDialogs, OkUntouchedKeepsWhatTheDogsDoNotShare)
{
    const struct
    {
        int poses[2];
        float heights[2];
        int shownPose;
        std::vector<bool> radios;
        bool poseStored;
        int storedHeight;
    } cases[] = {
        {{kSitting, kLying}, {120.0f, 120.0f}, 0, {false, false, true}, false, 120},
        {{kSitting, kSitting}, {0.0f, 120.0f}, 2, {false, false, false}, true, 300},
        {{kLying, kLying}, {-1.0f, -1.0f}, 4, {false, true, false}, true, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shownPose);
        CSettings::SetString(kPose, std::string());
        CSettings::SetInt(kCustomHeight, 300);
        course.DeselectAll(false);
        CDogShape* dogs[2] = {PlaceDog(0.0f, c.poses[0], c.heights[0]), PlaceDog(900.0f, c.poses[1], c.heights[1])};
        std::vector<bool> radios, reached;
        int shownPose = -1;
        EXPECT_TRUE(EditSelection([&](HWND window) {
            for (HWND radio : FindRadioButtons(window))
                radios.push_back(IsButtonChecked(radio));
            const HWND poseList = FindChildren(window, L"ComboBox")[0];
            shownPose = GetComboSelection(poseList);
            // The access keys of the pose and the scale, and Tab from the
            // pose list to the height chosen.
            PressAccessKey(window, FindChildByCaption(window, GetString(2280)));
            reached.push_back(WaitForFocus(window, poseList));
            PressKey(poseList, VK_TAB);
            const size_t checked = size_t(std::find(radios.begin(), radios.end(), true) - radios.begin());
            // A group without a checked button is passed over, to the scale.
            reached.push_back(WaitForFocus(
                window, checked < 3 ? FindRadioButtons(window)[checked] : FindEditControls(window).back()));
            PressAccessKey(window, FindChildByCaption(window, GetString(2281)));
            reached.push_back(WaitForFocus(window, FindEditControls(window).back()));
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(std::vector<bool>(3, true), reached);
        EXPECT_EQ(c.radios, radios);
        EXPECT_EQ(c.shownPose, shownPose);
        for (int i = 0; i < 2; ++i) {
            EXPECT_TRUE(IsPose(dogs[i], c.poses[i])) << i;
            EXPECT_EQ(c.heights[i], dogs[i]->GetCustomHeight()) << i;
        }
        EXPECT_EQ(c.poseStored, !CSettings::GetString(kPose, std::string()).empty());
        EXPECT_EQ(c.storedHeight, CSettings::GetInt(kCustomHeight, 0));
        course.DeleteSelected();
    }
}

// In the Brisklane display mode the user cannot change the scale: a new
// figure takes 120, edited ones keep their own; either is stored.
TEST_F(FigureDialogs, TheBrisklaneModeFixesTheScale)
{
    CSettings::SetInt(L"BrisklaneMode", 1);
    CSettings::SetInt(L"80Scale", 200);
    const struct
    {
        bool placing;
        int scale;
    } cases[] = {{true, 120}, {false, 150}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.placing);
        course.DeselectAll(false);
        std::shared_ptr<CEditSession> session;
        CDogShape* edited = nullptr;
        if (c.placing) {
            course.SelectToolType(CDogShape::kNameTextId);
            session = course.GetToolSessionToRun();
        } else {
            edited = PlaceDog(0.0f, kStanding, 0.0f);
            edited->SetScale(150);
            session = course.MakeSelectionSession();
        }
        bool spinEnabled = true;
        ASSERT_TRUE(session && RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
            spinEnabled = IsWindowEnabled(FindEditControls(window).back()) != 0;
            PressDialogButton(window, IDOK);
        }));
        EXPECT_FALSE(spinEnabled);
        if (c.placing) {
            CTransform at;
            std::unique_ptr<CCourseObject> dog = FindObjectTypeById(CDogShape::kTypeId)->CreateNew(&course, at, session.get());
            EXPECT_EQ(c.scale, dynamic_cast<CDogShape&>(*dog).GetScale());
        } else {
            EXPECT_EQ(c.scale, edited->GetScale());
        }
        EXPECT_EQ(c.scale, CSettings::GetInt(L"80Scale", 0));
    }
}

// Handlers whose right hands differ: the list offers an empty fourth entry,
// OK keeps each hand, and the pose is not stored (it could not say that
// hand's choice).
TEST_F(FigureDialogs, HandlersWithDifferentHandsKeepThem)
{
    CSettings::SetString(L"130Pose", std::string());
    CHumanShape* handlers[2];
    for (int i = 0; i < 2; ++i)
        handlers[i] = Place<CHumanShape, CHumanShapeDlg>(1000.0f * float(i), [&](CHumanShapeDlg& half) {
            half.ChooseA(i + 1);
            half.ChooseB(2);
        });
    std::vector<int> counts, shown;
    EXPECT_TRUE(EditSelection([&](HWND window) {
        SaveDialogShot(window, L"figure-handler");
        for (HWND list : FindChildren(window, L"ComboBox")) {
            counts.push_back(int(SendMessageW(list, CB_GETCOUNT, 0, 0)));
            shown.push_back(GetComboSelection(list));
        }
        PressDialogButton(window, IDOK);
    }));
    // Right hand, left hand, pose.
    EXPECT_EQ((std::vector<int>{4, 3, 5}), counts);
    EXPECT_EQ((std::vector<int>{3, 2, 0}), shown);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(i + 1, handlers[i]->GetHumanModel().GetPoseChoiceA());
        EXPECT_EQ(2, handlers[i]->GetHumanModel().GetPoseChoiceB());
    }
    EXPECT_EQ("", CSettings::GetString(L"130Pose", std::string()));
}

// A new dog offers the custom height stored last, until the pose over the
// bar puts it at the jump height; OK stores the height chosen.
TEST_F(FigureDialogs, ANewDogsHeightFollowsTheStoredOneAndThePoseOverTheBar)
{
    constexpr int kOverTheBar = 2374;
    const struct
    {
        bool overTheBar;
        std::vector<bool> radios;
        float height;
    } cases[] = {{false, {false, false, true}, 300.0f}, {true, {false, true, false}, -1.0f}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.overTheBar);
        CSettings::SetInt(kCustomHeight, 300);
        course.SelectToolType(CDogShape::kNameTextId);
        std::shared_ptr<CEditSession> session = course.GetToolSessionToRun();
        std::vector<bool> radios;
        bool editEnabled = false;
        ASSERT_TRUE(session && RunModalDriven([&] { session->DoModal(); }, [&](HWND window) {
            if (c.overTheBar)
                ChooseComboItem(FindChildren(window, L"ComboBox")[0], kOverTheBar - kStanding + 1);
            for (HWND radio : FindRadioButtons(window))
                radios.push_back(IsButtonChecked(radio));
            editEnabled = IsWindowEnabled(FindEditControls(window)[0]) != 0;
            PressDialogButton(window, IDOK);
        }));
        EXPECT_EQ(c.radios, radios);
        EXPECT_EQ(!c.overTheBar, editEnabled);
        CTransform at;
        std::unique_ptr<CCourseObject> dog = FindObjectTypeById(CDogShape::kTypeId)->CreateNew(&course, at, session.get());
        EXPECT_EQ(c.height, dynamic_cast<CDogShape&>(*dog).GetCustomHeight());
        EXPECT_EQ(c.overTheBar, IsPose(static_cast<CDogShape*>(dog.get()), kOverTheBar));
        EXPECT_EQ(int(c.height), CSettings::GetInt(kCustomHeight, 0));
    }
}
