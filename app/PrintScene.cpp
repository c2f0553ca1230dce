#include "app/PrintScene.h"

#include <algorithm>
#include <cmath>

#include "app/CourseScene.h"
#include "course/Course.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "graphics/GraphicsContext.h"
#include "ui/PrinterSetup.h"
#include "ui/RenderTiles.h"

namespace {

// Cells are separated by 1/135 of ten times the smaller of the cell sizes
// a grid would give without gaps.
constexpr float kGapDivisor = 135.0f;

const wchar_t* Letter(bool flag) { return flag ? L"T" : L"F"; }

}  // namespace

// ---- Cells ------------------------------------------------------------------------------

CPrintScene::CItem::CItem(CCourse* courseValue, bool wholeMapValue) : course(courseValue), wholeMap(wholeMapValue) {}

void CPrintScene::CItem::Place(const CRectF& cell, bool preRender)
{
    if (!course)
        return;
    CSize2 source;
    if (wholeMap) {
        const CRectF ring = course->GetRingRect(true, true);
        source = CSize2(ring.Width(), ring.Height());
    } else {
        const CViewCamera& camera = course->GetViewCamera();
        source = CSize2(camera.GetViewportWidth(), camera.GetViewportHeight());
    }
    const CSize2 fit = FitSizeKeepingAspect(source, cell.Width(), cell.Height());
    const float w = std::max(1.0f, std::floor(fit.width));
    const float h = std::max(1.0f, std::floor(fit.height));
    const CPoint2 centre = cell.GetCentre();
    const float left = std::floor(centre.x - w / 2.0f + 0.5f);
    const float top = std::floor(centre.y - h / 2.0f + 0.5f);
    rect = CRectF(left, top, left + w, top + h);
    if (!preRender) {
        bitmap = CPixelBitmap();
        return;
    }
    if (bitmap.GetWidth() == w && bitmap.GetHeight() == h)
        return;
    bitmap.Resize(w, h);
    RenderCourseImage(*course, bitmap, wholeMap, 0.0f, 0.0f);
}

void CPrintScene::CItem::Draw(CGraphicsContext& context)
{
    if (!course)
        return;
    if (!bitmap.IsEmpty()) {
        context.DrawBitmap(bitmap, rect);
        return;
    }
    // A page at printer resolution may take longer than the hang limit.
    CUnwatchedSection unwatched;
    const float width = rect.Width();
    const float height = rect.Height();
    CPixelBitmap tile;
    for (CRenderTiles tiles(width, height); tiles.y < tiles.height; tiles.Next()) {
        tile.Resize(tiles.tileWidth, tiles.tileHeight);
        if (!RenderCourseImage(*course, tile, wholeMap, width, height, tiles.x, tiles.y))
            continue;
        const float x = rect.left + tiles.x;
        const float y = rect.top + tiles.y;
        context.DrawBitmap(tile, CRectF(x, y, x + tiles.tileWidth, y + tiles.tileHeight));
    }
}

// ---- Page -------------------------------------------------------------------------------

CPrintScene::CPrintScene() : CScene(true, 1)
{
    CScene::items[0] = this;
    is3D[0] = false;
}

CPrintScene::~CPrintScene() = default;

std::wstring CPrintScene::GetWholeMapSettingName(CCourse* course)
{
    if (!course) {
        ReportFailure();
        return L"PrintSceneWholeMapFFF";
    }
    return std::wstring(L"PrintSceneWholeMap") + Letter(course->Get3D()) + Letter(course->Get3DCamera()) +
           Letter(course->GetViewCamera().GetMode() != CViewCamera::kFree);
}

void CPrintScene::AddCourse(CCourse* course)
{
    if (!course) {
        ReportFailure();
        return;
    }
    const int32_t stored = CSettings::GetInt(GetWholeMapSettingName(course), course->Get3D() ? 0 : 1);
    AddItem(course, stored != 0);
}

void CPrintScene::AddItem(CCourse* course, bool wholeMap) { items.emplace_back(course, wholeMap); }

void CPrintScene::Clear() { items.clear(); }

CCourse* CPrintScene::GetFirstCourse() const
{
    for (const CItem& item : items)
        if (item.course)
            return item.course;
    return nullptr;
}

bool CPrintScene::GetFirstWholeMap() const
{
    for (const CItem& item : items)
        if (item.course)
            return item.wholeMap;
    return true;
}

int CPrintScene::GetCourseCount() const
{
    return int(std::count_if(items.begin(), items.end(), [](const CItem& item) { return item.course != nullptr; }));
}

void CPrintScene::SaveWholeMapSetting() const
{
    CCourse* course = GetFirstCourse();
    if (course)
        CSettings::SetInt(GetWholeMapSettingName(course), GetFirstWholeMap() ? 1 : 0);
}

void CPrintScene::LayoutForPreview()
{
    background = 0xFFFFFFFF;
    const CSize2 page = CPrinterSetup::Instance().pageSize;
    scale = page.width > page.height ? page.width / paneWidth : page.height / paneHeight;
    Layout();
}

void CPrintScene::LayoutForPrinting()
{
    background = 0;
    scale = 1.0f;
    Layout();
}

// The margins keep clear of what the printer cannot print, by an eighth of
// an inch more, and are at least half an inch for one cell, 3/8 inch for
// more. Of the grids of c columns (c from 1 up), the one whose cells are the
// largest in their smaller side wins; a tie goes to more columns.
void CPrintScene::Layout()
{
    TRACE_VALUE(int32_t, int32_t(items.size()));
    MakeUniqueKey();
    const CPrinterSetup& setup = CPrinterSetup::Instance();
    const float r = setup.resolution;
    const CSize2 page = setup.pageSize;
    const CSize2 printable = setup.printableSize;
    const CPoint2 offset = setup.printableOffset;
    const float leftMargin = offset.x;
    const float rightMargin = page.width - (offset.x + printable.width);
    const float topMargin = offset.y;
    const float bottomMargin = page.height - (offset.y + printable.height);
    const int n = int(items.size());
    const float least = (n <= 1 ? 4.0f : 3.0f) * r / 8.0f;
    const float mh = std::max(std::max(leftMargin, rightMargin) + r / 8.0f, least);
    const float mv = std::max(std::max(topMargin, bottomMargin) + r / 8.0f, least);
    const float width = page.width - 2.0f * mh;
    const float height = page.height - 2.0f * mv;
    if (n == 0)
        return;

    int columns = 1;
    float cellWidth = 0.0f;
    float cellHeight = 0.0f;
    float gap = 0.0f;
    for (int c = 1; c <= n; ++c) {
        const int rows = (n - 1 + c) / c;
        const float g = std::min(10.0f * width / float(c), 10.0f * height / float(rows)) / kGapDivisor;
        const float cw = (width + g) / float(c);
        const float ch = (height + g) / float(rows);
        if (std::min(cellWidth, cellHeight) > std::min(cw, ch))
            break;
        columns = c;
        cellWidth = cw;
        cellHeight = ch;
        gap = g;
    }
    for (int i = 0; i < n; ++i) {
        const float left = mh + float(i % columns) * cellWidth;
        const float top = mv + float(i / columns) * cellHeight;
        const CRectF cell(left / scale, top / scale, (left + cellWidth - gap) / scale,
                          (top + cellHeight - gap) / scale);
        items[i].Place(cell, scale != 1.0f);
    }
}

void CPrintScene::Draw(CGraphicsContext& context)
{
    for (CItem& item : items)
        item.Draw(context);
}
