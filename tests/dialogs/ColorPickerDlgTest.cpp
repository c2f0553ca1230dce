#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "course/ColorPalette.h"
#include "course/CourseObject.h"
#include "course/EditSession.h"
#include "dialogs/ColorPickerDlg.h"
#include "dialogs/HintDlg.h"
#include "dialogs/PartColorMerge.h"
#include "foundation/Settings.h"
#include "foundation/Strings.h"
#include "graphics/PixelBitmap.h"
#include "tests/dialogs/PropertiesWndTest.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestWindows.h"

namespace {

constexpr int kSingleBar = 260;
constexpr int kBars = 17;
constexpr int kRed = 100, kBlue = 4, kGreen = 20;  // cube entries 25 r + 5 g + b
constexpr int kSubstituteHint = 2715;

// Two single-bar jumps whose bars are red and blue (and whose main colours
// differ), selected and merged, in views drawn in 3D, where the bars are
// offered.
class ColorPicker : public CPropertiesWndTest
{
protected:
    void SetUp() override
    {
        CPropertiesWndTest::SetUp();
        CSettings::SetInt(L"GraphicsClass", 2);
        CGraphicsSystemTestAccess::ResetRun();
        for (const int hint : {kSubstituteHint, 2719, 2720})
            CSettings::SetInt(GetNeverShowValueName(hint), 1);
        for (const int bars : {kRed, kBlue}) {
            CTransform at;
            at.SetPosition2D(bars == kRed ? 2000.0f : 5000.0f, 3000.0f);
            const CObjectType* type = FindObjectTypeById(kSingleBar);
            std::unique_ptr<CEditSession> half = type->CreatePropertiesDialog(&course, type->GetNameTextId());
            std::unique_ptr<CCourseObject> jump = type->CreateNew(&course, at, half.get());
            jump->GetPartColors().SetColorIndex(kBars, bars);
            // The map draws the main colour only: it differs as well.
            if (bars == kBlue)
                jump->GetPartColors().SetColorIndex(CPartColorSet::kPrimaryPart, kGreen);
            jump->SetSelected(true);
            jumps.push_back(jump.get());
            course.AddObject(std::move(jump));
        }
        std::vector<CCourse::CSelectionValue> values;
        course.CollectSelectionValues(values);
        for (const CCourse::CSelectionValue& value : values)
            merge.Add(value.type, value.variant, *value.colors);
        for (int i = 0; i < merge.GetEditableCount(); ++i)
            if (merge.GetPart(i) == kBars)
                barsEntry = i;
    }
    std::vector<int> BarsOfJumps() const
    {
        return {jumps[0]->GetPartColors().GetColorIndex(kBars), jumps[1]->GetPartColors().GetColorIndex(kBars)};
    }

    CPartColorMerge merge;
    std::vector<CCourseObject*> jumps;
    int barsEntry = -1;
};

std::vector<uint32_t> Render(CScene& scene, float width, float height)
{
    CPixelBitmap bitmap(width, height);
    RenderSceneToBitmap(scene, bitmap, false);
    return bitmap.GetPixels();
}

uint32_t Palette(int index) { return CColorPalette::GetInstance().GetColor(index); }

}  // namespace

TEST_F(ColorPicker, DisagreeingBarsShowTwoStripesAndBlinkInBothPreviews)
{
    ASSERT_TRUE(CGraphicsSystem::IsViewSystem3D());
    ASSERT_GE(barsEntry, 0);
    CColorPickerDlg dialog(&course, &merge, true);
    ASSERT_TRUE(dialog.GetPreview3D());

    CPixelBitmap strip(float(merge.GetEditableCount() * CColorStrip::kCell), float(CColorStrip::kCell));
    RenderSceneToBitmap(*dialog.strip.GetScene(), strip, false);
    const int left = barsEntry * CColorStrip::kCell;
    EXPECT_EQ((std::vector<uint32_t>{Palette(kRed), Palette(kBlue), 0xFFA0A0A0}),
              (std::vector<uint32_t>{strip.GetPixel(left + 7, 14), strip.GetPixel(left + 20, 14),
                                     strip.GetPixel(left + 1, 14)}));

    // Each tick shows the other colour; two ticks give the first picture again.
    const CSize2 size = CCoursePreview::GetPreviewSize();
    for (CCoursePreview* preview : {&dialog.preview2D, dialog.GetPreview3D()}) {
        std::vector<std::vector<uint32_t>> pictures;
        for (int tick = 0; tick < 3; ++tick) {
            pictures.push_back(Render(preview->GetShownScene(), size.width, size.height));
            dialog.OnBlink(nullptr);
        }
        EXPECT_NE(pictures[0], pictures[1]) << preview->GetViewKind();
        EXPECT_EQ(pictures[0], pictures[2]) << preview->GetViewKind();
    }
}

// A click at a point of a panel of the dialog, found by its size.
void ClickPanel(HWND dialog, int width, int height, int x, int y)
{
    for (const CDialogChild& child : ListDialogChildren(dialog)) {
        if (child.rect.right - child.rect.left != width || child.rect.bottom - child.rect.top != height)
            continue;
        SendMessageW(child.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        SendMessageW(child.window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        return;
    }
    ADD_FAILURE() << "no panel of " << width << " x " << height;
}

// The swatch's green, the bars painted with the bucket; Cancel, then OK with the default box.
TEST_F(ColorPicker, CancelKeepsTheColoursAndOkWithTheBoxStoresTheKindsDefaults)
{
    const int reportsBefore = ReportCount();
    const std::wstring box = GetStringWithArg(2295, FindObjectTypeById(kSingleBar)->GetDisplayName(course));
    for (const bool ok : {false, true}) {
        bool confirmed = !ok;
        ASSERT_TRUE(RunModalDriven([&] { confirmed = RunColorPicker(&course, merge, true); }, [&](HWND window) {
            ClickPanel(window, 580, 115, 4 * 20 + 5, 4 * 23 + 5);  // column 4, row 4
            ClickPanel(window, merge.GetEditableCount() * 28, 28, barsEntry * 28 + 10, 10);
            if (ok)
                PressAccessKey(window, FindChildByCaption(window, box));
            PressDialogButton(window, ok ? IDOK : IDCANCEL);
        }));
        EXPECT_EQ(ok, confirmed);
        const int expected = ok ? CColorPalette::CellToIndex(4, 4) : kRed;
        EXPECT_EQ((std::vector<int>{expected, ok ? expected : kBlue}), BarsOfJumps());
    }
    CPartColorSet stored = FindObjectTypeById(kSingleBar)->GetPartColors();
    stored.LoadFromSettings(L"260");
    EXPECT_EQ(CColorPalette::CellToIndex(4, 4), stored.GetColorIndex(kBars));
    EXPECT_EQ(CColorPalette::CellToIndex(4, 4), CSettings::GetInt(L"SelectedColorIndex", -1));
    EXPECT_EQ(L"Colors", course.GetUndoLabel());
    EXPECT_EQ(reportsBefore, ReportCount());
}

// The jump window's colours button opens the picker; its OK keeps the
// colours for that window, whose Cancel drops them.
TEST_F(ColorPicker, APropertiesWindowsColoursButtonOpensThePicker)
{
    int pickers = 0;
    const CDialogAnswerer answerer([&](HWND dialog) {
        if (GetWindowTextString(dialog) != GetString(2288) || ListDialogChildren(dialog).empty())
            return 0;
        ++pickers;
        ClickPanel(dialog, 580, 115, 5, 5);
        ClickPanel(dialog, merge.GetEditableCount() * 28, 28, barsEntry * 28 + 10, 10);
        return IDOK;
    });
    ASSERT_TRUE(EditSelection([&](HWND window) {
        ClickControl(FindChildByCaption(window, GetString(2236)));
        PressDialogButton(window, IDCANCEL);
    }));
    EXPECT_EQ(1, pickers);
    EXPECT_EQ((std::vector<int>{kRed, kBlue}), BarsOfJumps());
}

TEST_F(ColorPicker, PaintingTheMainColourPaleTakesItsSubstituteAndHintsOnce)
{
    CColorPickerDlg dialog(&course, &merge, false);
    dialog.FillControls();
    const int pale = CColorPalette::CellToIndex(28, 4);  // the palest yellow
    ASSERT_TRUE(CColorPalette::GetInstance().IsPaleChooserIndex(pale));
    const int substitute = SubstituteColor(pale);
    GetHintCounts().erase(kSubstituteHint);
    for (const int color : {pale, kGreen}) {
        dialog.swatch.SetSelected(color);
        dialog.SetCurrentColor(color);
        dialog.OnPartClicked(0, kRed);
        dialog.ShowPendingHints();
    }
    EXPECT_EQ(kGreen, merge.GetColor(0, 0));
    EXPECT_EQ(1, GetHintCounts()[kSubstituteHint]);

    // The bars are no main colour: a pale colour stays.
    dialog.swatch.SetSelected(pale);
    dialog.SetCurrentColor(pale);
    dialog.OnPartClicked(barsEntry, kRed);
    EXPECT_EQ(pale, merge.GetColor(barsEntry, 0));
    EXPECT_EQ(1, GetHintCounts()[kSubstituteHint]);

    dialog.OnPartClicked(0, kRed);
    EXPECT_EQ(std::make_pair(substitute, substitute), std::make_pair(merge.GetColor(0, 0), dialog.swatch.GetSelected()));
    EXPECT_EQ(substitute, dialog.preview2D.GetRecordedColor(0));
}

// A click without a part or a colour paints nothing and reports nothing.
TEST_F(ColorPicker, ClicksWithoutAPartOrAColourAreIgnored)
{
    CColorPickerDlg dialog(&course, &merge, false);
    const int before = ReportCount();
    const int shown = dialog.preview2D.GetRecordedColor(0);
    dialog.SetCurrentColor(kGreen);
    dialog.OnPartClicked(-1, kGreen);
    dialog.OnPartClicked(0, -1);
    dialog.OnPartClicked(merge.GetEditableCount(), kGreen);
    EXPECT_EQ(2, merge.GetColorCount(barsEntry));
    EXPECT_EQ(shown, dialog.preview2D.GetRecordedColor(0));
    EXPECT_EQ(2, merge.GetColorCount(0));

    CPartColorMerge empty;
    CColorStrip strip(empty, &dialog);
    int entry = -1, color = -1;
    EXPECT_FALSE(strip.HitTest(10.0f, entry, color));
    strip.OnMouseDown(CMouseEvent());
    EXPECT_EQ(before, ReportCount());

    // The picker takes the clicked stripe's colour and hands back the bucket.
    dialog.tools.FindItem(2296)->Execute();
    dialog.OnPartClicked(barsEntry, kBlue);
    EXPECT_EQ(std::make_tuple(kBlue, kBlue, true, 2),
              std::make_tuple(dialog.GetCurrentColor(), dialog.swatch.GetSelected(), dialog.IsBucketChecked(),
                              merge.GetColorCount(barsEntry)));
}

TEST(ColorSubstitute, AnEntryWithoutColourKeepsItsIndexAPaleOneTakesAStrongChooserColour)
{
    const CColorPalette& palette = CColorPalette::GetInstance();
    EXPECT_EQ(0, SubstituteColor(0));  // black
    EXPECT_EQ(-1, SubstituteColor(-1));
    for (int index = 0; index < palette.GetCount(); ++index) {
        if (!palette.IsPaleChooserIndex(index))
            continue;
        const int substitute = SubstituteColor(index);
        EXPECT_TRUE(palette.IsChooserIndex(substitute) && !palette.IsPaleChooserIndex(substitute)) << index;
    }
}

// The sample course reads and holds an object of every kind; the previews
// find the parts under the mouse by their colours in the pick course.
TEST_F(ColorPicker, TheSampleHoldsEveryKindAndThePreviewsFindPartsByColour)
{
    CCourse sample(L"", L"");
    std::istringstream in(GetColorSampleCourseText());
    ASSERT_TRUE(sample.ReadTextBlock(in, false));
    std::set<int> kinds;
    for (const CCourseObject* object : sample.GetObjects())
        kinds.insert(object->GetType()->GetTypeId());
    for (const CObjectType* type : GetObjectTypes())
        EXPECT_EQ(1u, kinds.count(type->GetTypeId())) << type->GetTypeId();

    // The map draws the main colour, the 3D picture the bars as well.
    const CSize2 size = CCoursePreview::GetPreviewSize();
    for (const auto& [kind, entry] : {std::make_pair(2, 0), std::make_pair(3, barsEntry)}) {
        CCoursePreview preview(merge, kind, nullptr);
        std::set<int> hit;
        for (float y = 0.5f; y < size.height; y += 4.0f)
            for (float x = 0.5f; x < size.width; x += 4.0f)
                hit.insert(preview.HitTest(x, y));
        EXPECT_EQ(1u, hit.count(entry)) << kind;
        EXPECT_EQ(-1, preview.HitTest(1.0f, 1.0f)) << kind;
    }
}
