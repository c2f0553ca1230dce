#include "dialogs/ColorPickerPanels.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "course/ColorPalette.h"
#include "dialogs/ColorPickerDlg.h"
#include "dialogs/PartColorMerge.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "ui/Cursors.h"

namespace {

// 32 x 32, one character per pixel: '#' black, '~' white, ' ' transparent.
// The pipette's tip is its hot spot (8, 23).
const char* const kPickerArt =
    "                                "
    "                                "
    "                                "
    "                      ###       "
    "                     #~~~#      "
    "                    #~~~~~#     "
    "                   #~~~~~~~#    "
    "                   #~~~~~~~#    "
    "                  #~~~~~~~~#    "
    "                 #~~~~~~~~#     "
    "                #~~~~~~~~#      "
    "               #~~~~~~~##       "
    "               #~~~~~~#         "
    "              #~~~~~~#          "
    "             #~~~~~~#           "
    "            #~~~~~##            "
    "           #~~~~~#              "
    "          #~~~~~#               "
    "         #~~~~~#                "
    "        #~~~~~#                 "
    "       #~~~~~#                  "
    "       #~~~~#                   "
    "       #~~~#                    "
    "        ###                     "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                ";
const char* const kBucketArt =
    "                                "
    "               #                "
    "              #~#               "
    "             #~~~#              "
    "            #~~~~~#             "
    "           #~~~~~~~#            "
    "          ##~~~~~~~~#           "
    "         #~~#~~~~~~~~#          "
    "        #~~~~#~~~~~~~~#         "
    "       #~~~~~~#~~~~~~~~#        "
    "      #~~~~~~~~#~~~~~~~~#       "
    "      #~~~~~~~~~#~~~~~~~~#      "
    "      #~~~~~~~~~~#~~~~~~~~#     "
    "      #~~~~~~~~~~~#~~~~~~~#     "
    "      #~~~~~~~~~~~~#~~~~~#      "
    "      #~~~#~~~~~~~~~#~~~#       "
    "      #~~# #~~~~~~~~~#~#        "
    "      #~~#  #~~~~~~~~~#         "
    "      #~~~#  #~~~~~~~#          "
    "       #~#    #~~~~~#           "
    "        #      #~~~#            "
    "                #~#             "
    "                 #              "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                "
    "                                ";

constexpr uint32_t kStripBackground = 0xFFE0E0E0;
constexpr uint32_t kSelectedOutline = 0xFF800000;
constexpr uint32_t kKindEdge = 0xFF808080;

}  // namespace

void FillPixels(CGraphicsContext& context, float left, float top, float right, float bottom, uint32_t color)
{
    context.m_state.fillColor = color;
    context.BeginPath(false, true, 1);
    context.AddRect(CRectF(left, top, right, bottom));
    context.EndPath();
}

void DrawSunkenCell(CGraphicsContext& context, float x, float y, float width, float height)
{
    const float right = x + width;
    const float bottom = y + height;
    // Outer and inner left and top edges dark, bottom and right edges light.
    FillPixels(context, x + 1, y + 1, right - 1, y + 2, 0xFFA0A0A0);
    FillPixels(context, x + 1, y + 1, x + 2, bottom - 1, 0xFFA0A0A0);
    FillPixels(context, x + 2, y + 2, right - 2, y + 3, 0xFF606060);
    FillPixels(context, x + 2, y + 2, x + 3, bottom - 2, 0xFF606060);
    FillPixels(context, x + 1, bottom - 2, right - 1, bottom - 1, 0xFFFFFFFF);
    FillPixels(context, right - 2, y + 1, right - 1, bottom - 1, 0xFFFFFFFF);
    FillPixels(context, x + 3, bottom - 3, right - 2, bottom - 2, 0xFFE0E0E0);
    FillPixels(context, right - 3, y + 3, right - 2, bottom - 2, 0xFFE0E0E0);
}

CCursors& GetPaintBucketCursor()
{
    static std::unique_ptr<CCursors> cursor = CCursors::CreateFromArt(8, 20, kBucketArt);
    return cursor ? *cursor : CCursors::GetArrow();
}

CCursors& GetColorPickerCursor()
{
    static std::unique_ptr<CCursors> cursor = CCursors::CreateFromArt(8, 23, kPickerArt);
    return cursor ? *cursor : CCursors::GetArrow();
}

// ---- Strip --------------------------------------------------------------------------

CColorStrip::CColorStrip(CPartColorMerge& merge, CColorPickerDlg* owner)
    : CPanel(false, false), m_merge(merge), m_owner(owner), m_scene(true, 1)
{
    m_scene.items[0] = this;
    m_scene.background = kStripBackground;
    SetScene(&m_scene);
}

void CColorStrip::Measure()
{
    const int width = std::max(1, m_merge.GetEditableCount()) * kCell;
    minWidth = preferredWidth = maxWidth = width;
    minHeight = preferredHeight = maxHeight = kCell;
    widthStretch = heightStretch = 0;
}

CCursors* CColorStrip::GetCursorAt(const CMouseEvent&)
{
    return m_owner && !m_owner->IsBucketChecked() ? &GetColorPickerCursor() : &GetPaintBucketCursor();
}

bool CColorStrip::HitTest(float x, int& entry, int& paletteIndex) const
{
    const int count = m_merge.GetEditableCount();
    if (count <= 0)
        return false;
    entry = std::clamp(int(x) / kCell, 0, count - 1);
    const int colors = m_merge.GetColorCount(entry);
    if (colors <= 0)
        return false;
    const int stripe = std::clamp(colors * (int(x) - kCell * entry) / kCell, 0, colors - 1);
    paletteIndex = m_merge.GetColor(entry, stripe);
    return true;
}

void CColorStrip::OnMouseDown(const CMouseEvent& event)
{
    int entry = -1;
    int color = -1;
    if (m_owner && HitTest(event.x, entry, color))
        m_owner->OnPartClicked(entry, color);
}

void CColorStrip::OnMouseUp(const CMouseEvent&)
{
    if (m_owner)
        m_owner->ShowPendingHints();
}

void CColorStrip::Draw(CGraphicsContext& context)
{
    const CColorPalette& palette = CColorPalette::GetInstance();
    for (int i = 0; i < m_merge.GetEditableCount(); ++i) {
        const float x = float(kCell * i);
        DrawSunkenCell(context, x, 0.0f, kCell, kCell);
        const int colors = m_merge.GetColorCount(i);
        const float inner = kCell - 6.0f;
        for (int j = 0; j < colors; ++j) {
            const float left = x + 3.0f + inner * float(j) / float(colors);
            const float right = x + 3.0f + inner * float(j + 1) / float(colors);
            FillPixels(context, left, 3.0f, right, kCell - 3.0f, palette.GetColor(m_merge.GetColor(i, j)));
        }
    }
}

void CColorStrip::Refresh()
{
    MakeUniqueKey();
    Invalidate();
}

// ---- Swatch -------------------------------------------------------------------------

CColorSwatch::CColorSwatch() : CPanel(false, false), m_scene(true, 1)
{
    m_scene.items[0] = this;
    m_scene.background = GetButtonFaceColor();
    SetScene(&m_scene);
}

void CColorSwatch::Measure()
{
    minWidth = preferredWidth = maxWidth = CColorPalette::kColumns * kCellWidth;
    minHeight = preferredHeight = maxHeight = CColorPalette::kRows * kCellHeight;
    widthStretch = heightStretch = 0;
}

int CColorSwatch::IndexAt(float x, float y)
{
    if (x < 0.0f || y < 0.0f)
        return -1;
    return CColorPalette::CellToIndex(int(x) / kCellWidth, int(y) / kCellHeight);
}

void CColorSwatch::OnMouseDown(const CMouseEvent& event)
{
    const int index = IndexAt(event.x, event.y);
    if (index < 0)
        return;
    SetSelected(index);
    onClick(this);
}

void CColorSwatch::SetSelected(int paletteIndex)
{
    if (paletteIndex == m_selected)
        return;
    m_selected = paletteIndex;
    MakeUniqueKey();
    Invalidate();
}

void CColorSwatch::Draw(CGraphicsContext& context)
{
    const CColorPalette& palette = CColorPalette::GetInstance();
    for (int row = 0; row < CColorPalette::kRows; ++row) {
        for (int column = 0; column < CColorPalette::kColumns; ++column) {
            const int index = CColorPalette::CellToIndex(column, row);
            if (index < 0)
                continue;
            const float x = float(column * kCellWidth);
            const float y = float(row * kCellHeight);
            // A grey line between the strong and the pale colours.
            const int kind = CColorPalette::GetCellKind(column, row);
            if (kind == 2 && row > 0 && CColorPalette::GetCellKind(column, row - 1) == 1)
                FillPixels(context, x, y, x + kCellWidth, y + 1, kKindEdge);
            if (kind == 2 && column > 0 && CColorPalette::GetCellKind(column - 1, row) == 1)
                FillPixels(context, x, y, x + 1, y + kCellHeight, kKindEdge);
            DrawSunkenCell(context, x, y, kCellWidth, kCellHeight);
            FillPixels(context, x + 3, y + 3, x + kCellWidth - 3, y + kCellHeight - 3, palette.GetColor(index));
            if (index == m_selected) {
                context.m_state.penColor = kSelectedOutline;
                context.m_state.penWidth = 2.0f;
                context.BeginPath(true, false, 1);
                context.AddRect(CRectF(x + 2, y + 2, x + kCellWidth - 2, y + kCellHeight - 2));
                context.EndPath();
            }
        }
    }
}
