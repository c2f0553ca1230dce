#include <gtest/gtest.h>

#include <windows.h>

#include <functional>

#include "graphics/DcState.h"
#include "graphics/GdiBitmap.h"
#include "tests/support/CanvasTestHelpers.h"

namespace {

// A setter of the state with a value, another value and how to read the
// context's own value back.
struct CSetting
{
    const char* name;
    std::function<void(CDcState&, bool other)> set;
    std::function<void(HDC, bool other)> setPastTheState;
    std::function<bool(HDC, bool other)> holds;
};

const CSetting kSettings[] = {
    {"raster operation", [](CDcState& s, bool o) { s.SetRasterOperation(o ? R2_XORPEN : R2_COPYPEN); },
     [](HDC dc, bool o) { SetROP2(dc, o ? R2_XORPEN : R2_COPYPEN); },
     [](HDC dc, bool o) { return GetROP2(dc) == (o ? R2_XORPEN : R2_COPYPEN); }},
    {"fill mode", [](CDcState& s, bool o) { s.SetFillMode(o ? WINDING : ALTERNATE); },
     [](HDC dc, bool o) { SetPolyFillMode(dc, o ? WINDING : ALTERNATE); },
     [](HDC dc, bool o) { return GetPolyFillMode(dc) == (o ? WINDING : ALTERNATE); }},
    {"background mode", [](CDcState& s, bool o) { s.SetBackgroundMode(o ? TRANSPARENT : OPAQUE); },
     [](HDC dc, bool o) { SetBkMode(dc, o ? TRANSPARENT : OPAQUE); },
     [](HDC dc, bool o) { return GetBkMode(dc) == (o ? TRANSPARENT : OPAQUE); }},
    {"background colour", [](CDcState& s, bool o) { s.SetBackgroundColor(o ? RGB(1, 2, 3) : RGB(9, 8, 7)); },
     [](HDC dc, bool o) { SetBkColor(dc, o ? RGB(1, 2, 3) : RGB(9, 8, 7)); },
     [](HDC dc, bool o) { return GetBkColor(dc) == (o ? RGB(1, 2, 3) : RGB(9, 8, 7)); }},
    {"text colour", [](CDcState& s, bool o) { s.SetTextColor(o ? RGB(1, 2, 3) : RGB(9, 8, 7)); },
     [](HDC dc, bool o) { SetTextColor(dc, o ? RGB(1, 2, 3) : RGB(9, 8, 7)); },
     [](HDC dc, bool o) { return GetTextColor(dc) == (o ? RGB(1, 2, 3) : RGB(9, 8, 7)); }},
    {"text alignment", [](CDcState& s, bool o) { s.SetTextAlign(o ? TA_TOP : TA_BASELINE); },
     [](HDC dc, bool o) { SetTextAlign(dc, o ? TA_TOP : TA_BASELINE); },
     [](HDC dc, bool o) { return GetTextAlign(dc) == (o ? TA_TOP : TA_BASELINE); }},
    {"pen", [](CDcState& s, bool o) { s.SelectPen(CDcState::GetStock(o ? WHITE_PEN : BLACK_PEN)); },
     [](HDC dc, bool o) { SelectObject(dc, GetStockObject(o ? WHITE_PEN : BLACK_PEN)); },
     [](HDC dc, bool o) { return GetCurrentObject(dc, OBJ_PEN) == GetStockObject(o ? WHITE_PEN : BLACK_PEN); }},
    {"brush", [](CDcState& s, bool o) { s.SelectBrush(CDcState::GetStock(o ? GRAY_BRUSH : BLACK_BRUSH)); },
     [](HDC dc, bool o) { SelectObject(dc, GetStockObject(o ? GRAY_BRUSH : BLACK_BRUSH)); },
     [](HDC dc, bool o) { return GetCurrentObject(dc, OBJ_BRUSH) == GetStockObject(o ? GRAY_BRUSH : BLACK_BRUSH); }},
    {"font", [](CDcState& s, bool o) { s.SelectFont(CDcState::GetStock(o ? ANSI_VAR_FONT : SYSTEM_FONT)); },
     [](HDC dc, bool o) { SelectObject(dc, GetStockObject(o ? ANSI_VAR_FONT : SYSTEM_FONT)); },
     [](HDC dc, bool o) {
         return GetCurrentObject(dc, OBJ_FONT) == GetStockObject(o ? ANSI_VAR_FONT : SYSTEM_FONT);
     }},
};

}  // namespace

TEST(DcState, AValueIsSetOnlyWhenItChangesUntilTheStateIsForgotten)
{
    CGdiBitmap dib;
    ASSERT_TRUE(dib.Create(4.0f, 4.0f));
    const HDC dc = dib.GetDC();
    for (const CSetting& setting : kSettings) {
        CDcState state;
        state.Attach(dc);
        EXPECT_FALSE(state.IsMetafile());
        setting.set(state, false);
        EXPECT_TRUE(setting.holds(dc, false)) << setting.name;
        // Changed past the state: asking for the value it set is no call.
        setting.setPastTheState(dc, true);
        setting.set(state, false);
        EXPECT_TRUE(setting.holds(dc, true)) << setting.name;
        // Another value is set, and after forgetting the first one is too.
        setting.set(state, true);
        setting.setPastTheState(dc, false);
        state.Forget();
        setting.set(state, true);
        EXPECT_TRUE(setting.holds(dc, true)) << setting.name;
    }
}

TEST(DcState, AMetafileGetsEveryCall)
{
    CMetafileRecords emf([](CGdiGraphics& gc) {
        CDcState state;
        state.Attach(gc.GetDeviceContext());
        EXPECT_TRUE(state.IsMetafile());
        for (int i = 0; i < 3; ++i) {
            state.SetRasterOperation(R2_COPYPEN);
            state.SelectPen(CDcState::GetStock(BLACK_PEN));
        }
    });
    EXPECT_EQ(3u, emf.OfType(EMR_SETROP2).size());
    EXPECT_LE(3u, emf.OfType(EMR_SELECTOBJECT).size());
}
