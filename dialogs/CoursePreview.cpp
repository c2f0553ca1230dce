#include "dialogs/CoursePreview.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "course/ColorPalette.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "dialogs/ColorPickerDlg.h"
#include "dialogs/ColorPickerPanels.h"
#include "dialogs/PartColorMerge.h"
#include "foundation/CrashLog.h"
#include "foundation/TracePoint.h"
#include "graphics/GraphicsContext.h"
#include "graphics/PixelBitmap.h"
#include "render3d/GraphicsSystem.h"
#include "render3d/SceneContext3D.h"
#include "ui/Cursors.h"
#include "ui/UIFontMetrics.h"

namespace {

constexpr int kMapView = 2;
constexpr int k3DView = 3;
// Room around the objects in the picture.
constexpr float kMargin = 60.0f;
// The tangents of half the field of view: 45 degrees across the smaller
// side, and at most this much across the larger.
constexpr float kVerticalFactor = 0.414214f;
constexpr float kHorizontalFactor = 1.37638f;
constexpr float kPitch = 50.0f;
constexpr float kPickTolerance = 0.6f;
constexpr uint32_t kMapBackground = 0xFFFFFFFF;
// A pale green field under the 3D picture.
constexpr uint32_t k3DBackground = 0xFF9CCB9C;

bool IsGrey(uint32_t color)
{
    const uint32_t r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    return r == g && g == b;
}

}  // namespace

void CCourseObjectsDrawable::Draw(CGraphicsContext& context)
{
    m_course.AddObjectsToScene(context, false, m_viewKind, false);
}

CSize2 CCoursePreview::GetPreviewSize()
{
    const float width = std::floor((580.0f - float(DluToPixelsX(7))) * 0.5f);
    return CSize2(width, std::floor(width * 0.75f + 0.5f));
}

CCoursePreview::CCoursePreview(CPartColorMerge& merge, int viewKind, CColorPickerDlg* owner)
    : CPanel(viewKind != kMapView, false), m_merge(merge), m_viewKind(viewKind), m_owner(owner)
{
    TRACE_VALUE(int32_t, viewKind);
    if (m_viewKind != kMapView && m_viewKind != k3DView) {
        ReportFailure();
        m_viewKind = k3DView;
    }
    takesFocus = true;
    m_shownCourse = LoadSample();
    m_pickCourse = LoadSample();
    const bool map = m_viewKind == kMapView;
    for (auto* scene : {&m_shownScene, &m_pickScene}) {
        *scene = std::make_unique<CScene>(map, 1);
        (*scene)->is3D[0] = !map;
        (*scene)->background = map ? kMapBackground : k3DBackground;
        if (!map) {
            (*scene)->nearDepth = 120.0f;
            (*scene)->farDepth = 120000.0f;
        }
    }
    m_shownObjects = std::make_unique<CCourseObjectsDrawable>(*m_shownCourse, m_viewKind);
    m_pickObjects = std::make_unique<CCourseObjectsDrawable>(*m_pickCourse, m_viewKind);
    m_shownScene->items[0] = m_shownObjects.get();
    m_pickScene->items[0] = m_pickObjects.get();

    // Each offered part gets a colour of its own in the pick course: the
    // palette's chooser cells column by column, greys left out.
    const int count = m_merge.GetEditableCount();
    m_recorded.assign(size_t(std::max(0, count)), -1);
    const CColorPalette& palette = CColorPalette::GetInstance();
    for (int column = 0; column < CColorPalette::kColumns && int(m_identifying.size()) < count; ++column) {
        for (int row = 0; row < CColorPalette::kRows && int(m_identifying.size()) < count; ++row) {
            const int index = CColorPalette::CellToIndex(column, row);
            if (index < 0 || IsGrey(palette.GetColor(index)) ||
                std::find(m_identifying.begin(), m_identifying.end(), index) != m_identifying.end())
                continue;
            m_identifying.push_back(index);
        }
    }
    for (CCourseObject* object : m_pickCourse->GetObjects()) {
        CPartColorSet& colors = object->GetPartColors();
        for (size_t i = 0; i < m_identifying.size(); ++i) {
            const int part = m_merge.GetPart(int(i));
            if (colors.HasPart(part))
                colors.SetColorIndex(part, m_identifying[i]);
        }
        object->Invalidate();
    }
    FitView();
    ApplyShownColors();
    if (m_viewKind == kMapView) {
        SetScene(m_shownScene.get());
    } else {
        m_pictureScene.items[0] = &m_picture;
        m_pictureScene.background = k3DBackground;
        SetScene(&m_pictureScene);
    }
}

CCoursePreview::~CCoursePreview() = default;

std::unique_ptr<CCourse> CCoursePreview::LoadSample() const
{
    auto course = std::make_unique<CCourse>(std::wstring(), std::wstring());
    std::istringstream in(GetColorSampleCourseText());
    if (!course->ReadTextBlock(in, false)) {
        // The block is the program's own: it always reads.
        ReportFailure();
        return course;
    }
    // Only objects of the edited kind stay, those of its colour variant
    // when the sample has them.
    const CObjectType* type = m_merge.GetCurrentType();
    const int variant = m_merge.GetVariant();
    bool variantFound = false;
    for (const CCourseObject* object : course->GetObjects())
        variantFound = variantFound || (object->GetType() == type && object->GetDialogVariant() == variant);
    for (CCourseObject* object : course->GetObjects()) {
        const bool kept = object->GetType() == type && (!variantFound || object->GetDialogVariant() == variant);
        object->SetSelected(!kept);
    }
    course->DeleteSelected();
    return course;
}

void CCoursePreview::FitView()
{
    CRectF bounds;
    for (const CCourseObject* object : m_shownCourse->GetObjects())
        bounds.Union(bounds, object->GetBoundingRect());
    if (bounds.IsEmpty())
        bounds = CRectF(0.0f, 0.0f, 1200.0f, 900.0f);
    bounds = CRectF(bounds.left - kMargin, bounds.top - kMargin, bounds.right + kMargin, bounds.bottom + kMargin);
    const CSize2 size = GetPreviewSize();
    CTransform view;
    if (m_viewKind == kMapView) {
        const float scale = std::max(bounds.Width() / size.width, bounds.Height() / size.height);
        const float left = (bounds.left + bounds.right - size.width * scale) / 2.0f;
        const float top = (bounds.top + bounds.bottom - size.height * scale) / 2.0f;
        view.SetPosition2D(left, top);
        view.Scale(scale);
    } else {
        // Seen from the front, looking down at an angle, from far enough
        // that the objects' ground fits.
        view.SetRotationX(kPitch);
        const float across = std::min(kVerticalFactor * size.width / size.height, kHorizontalFactor);
        const float distance = std::max(bounds.Height() * 0.5f / kVerticalFactor, bounds.Width() * 0.5f / across) +
                               std::max(bounds.Width(), bounds.Height()) * 0.25f;
        const CVector3 forward = view.TransformVector(CVector3(0.0f, 0.0f, -1.0f));
        // Aimed at half an obstacle's height above the ground.
        const CVector3 centre((bounds.left + bounds.right) / 2.0f, -(bounds.top + bounds.bottom) / 2.0f, 200.0f);
        view.SetTranslation(centre.x - forward.x * distance, centre.y - forward.y * distance,
                            centre.z - forward.z * distance);
    }
    m_shownScene->transform = view;
    m_pickScene->transform = view;
}

void CCoursePreview::Measure()
{
    const CSize2 size = GetPreviewSize();
    minWidth = preferredWidth = maxWidth = int(size.width);
    minHeight = preferredHeight = maxHeight = int(size.height);
    widthStretch = heightStretch = 0;
}

void CCoursePreview::SetPartColor(int entry, int paletteIndex)
{
    if (entry < 0 || entry >= int(m_recorded.size())) {
        TRACE_VALUE(int32_t, entry);
        ReportFailure();
        return;
    }
    m_recorded[size_t(entry)] = paletteIndex;
    ApplyShownColors();
    Invalidate();
}

void CCoursePreview::ApplyShownColors()
{
    for (CCourseObject* object : m_shownCourse->GetObjects()) {
        CPartColorSet& colors = object->GetPartColors();
        for (int i = 0; i < int(m_recorded.size()); ++i) {
            const int part = m_merge.GetPart(i);
            int color = m_recorded[size_t(i)];
            if (color < 0 && m_merge.GetColorCount(i) == 1)
                color = m_merge.GetColor(i, 0);
            if (color >= 0 && colors.HasPart(part))
                colors.SetColorIndex(part, color);
        }
        object->Invalidate();
    }
    m_shownObjects->Refresh();
    if (m_viewKind != kMapView)
        RenderPicture();
}

void CCoursePreview::RenderPicture()
{
    const CSize2 size = GetPreviewSize();
    auto bitmap = std::make_unique<CPixelBitmap>(size.width, size.height);
    RenderSceneToBitmap(*m_shownScene, *bitmap, false);
    m_picture.bitmap = std::move(bitmap);
    m_picture.Refresh();
}

void CPreviewPicture::Draw(CGraphicsContext& context)
{
    if (bitmap)
        context.DrawBitmap(*bitmap, CRectF(0.0f, 0.0f, bitmap->GetWidth(), bitmap->GetHeight()));
}

int CCoursePreview::GetRecordedColor(int entry) const
{
    return entry >= 0 && entry < int(m_recorded.size()) ? m_recorded[size_t(entry)] : -1;
}

int CCoursePreview::GetIdentifyingColor(int entry) const
{
    return entry >= 0 && entry < int(m_identifying.size()) ? m_identifying[size_t(entry)] : -1;
}

int CCoursePreview::HitTest(float x, float y)
{
    const CSize2 size = GetPreviewSize();
    CCamera view;
    view.SetOrthographic(m_pickScene->mapMode);
    view.SetDepthRange(m_pickScene->nearDepth, m_pickScene->farDepth);
    view.SetViewport(bounds.Width() > 0.0f ? bounds.Width() : size.width,
                     bounds.Height() > 0.0f ? bounds.Height() : size.height);
    view.UpdateMatrices();
    CSceneContext3D pick(*m_pickScene, view, x, y, kPickTolerance);
    if (!pick.HasHit())
        return -1;
    const uint32_t color = pick.GetHitColor() & 0xFFFFFF;
    const CColorPalette& palette = CColorPalette::GetInstance();
    for (size_t i = 0; i < m_identifying.size(); ++i) {
        if ((palette.GetColor(m_identifying[i]) & 0xFFFFFF) == color)
            return int(i);
    }
    return -1;
}

CCursors* CCoursePreview::GetCursorAt(const CMouseEvent& event)
{
    if (HitTest(event.x, event.y) < 0)
        return &CCursors::GetArrow();
    return m_owner && !m_owner->IsBucketChecked() ? &GetColorPickerCursor() : &GetPaintBucketCursor();
}

void CCoursePreview::OnMouseDown(const CMouseEvent& event)
{
    const int entry = HitTest(event.x, event.y);
    if (entry < 0 || !m_owner)
        return;
    int color = m_recorded[size_t(entry)];
    if (color < 0)
        color = m_merge.GetColorCount(entry) == 1 ? m_merge.GetColor(entry, 0) : m_identifying[size_t(entry)];
    m_owner->OnPartClicked(entry, color);
}

void CCoursePreview::OnMouseUp(const CMouseEvent&)
{
    if (m_owner)
        m_owner->ShowPendingHints();
}

void CCoursePreview::OnChar(wchar_t ch)
{
    if (ch != L' ' || !m_owner)
        return;
    m_owner->OnPartClicked(0, GetRecordedColor(0));
    m_owner->OnOk();
}
