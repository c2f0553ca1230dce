#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "app/CourseScene.h"
#include "app/GridElements.h"
#include "app/RingFence.h"
#include "app/SceneElements.h"
#include "app/ScoreSheet.h"
#include "course/Course.h"
#include "course/CourseObject.h"
#include "foundation/CrashLog.h"
#include "foundation/Settings.h"
#include "graphics/GdiBitmap.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "objects/equipment/TextLabelPart.h"
#include "render3d/OpenGL1Functions.h"
#include "render3d/OpenGL1Renderer.h"
#include "tests/app/CourseFileTestSupport.h"
#include "tests/render3d/GraphicsTestSystems.h"
#include "tests/render3d/RendererTestSupport.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorldRecorder.h"
#include "ui/Panel.h"

namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kWhite = 0xFFFFFFFF;

using CourseScene = CCourseSettingsTest;

// The course picture of a scene: fitted to width x height and rendered
// through the GDI canvas, or off screen through the system given.
bool RenderMap(CCourseScene& scene, int width, int height, CPixelBitmap& picture, CGraphicsSystem* system = nullptr)
{
    scene.FitView(float(width), float(height), 0.0f, 0.0f);
    if (system) {
        picture.Resize(float(width), float(height));
        system->RenderOffscreenGuarded(scene, picture, float(width), float(height), 0.0f, 0.0f);
        return system->GetCurrentError() == 0;
    }
    CGdiBitmap dib;
    if (!dib.RenderScene(scene, float(width), float(height)))
        return false;
    return dib.GetPixels(picture);
}

uint32_t PixelAt(const CPixelBitmap& picture, int x, int y)
{
    return picture.GetPixel(x, y) | 0xFF000000;
}

int CountColor(const CPixelBitmap& picture, int left, int top, int right, int bottom, uint32_t color)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            n += PixelAt(picture, x, y) == color ? 1 : 0;
    return n;
}

// Whether one of the pixels within one of (x, y) is black: lines fall on a
// neighbouring pixel by rounding.
bool BlackNear(const CPixelBitmap& picture, int x, int y)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (PixelAt(picture, x + dx, y + dy) == kBlack)
                return true;
    return false;
}

// Dark pixels (every channel below 128): text ink, whatever its smoothing.
int CountDark(const CPixelBitmap& picture, int left, int top, int right, int bottom)
{
    int n = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const uint32_t c = PixelAt(picture, x, y);
            n += (c & 0xFF) < 128 && ((c >> 8) & 0xFF) < 128 && ((c >> 16) & 0xFF) < 128 ? 1 : 0;
        }
    return n;
}

}  // namespace

using filetest::PlaceAFrame;

// ---- Slots and modes ------------------------------------------------------------------

TEST_F(CourseScene, MapSceneOfANewCourse)
{
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    EXPECT_TRUE(scene.mapMode);
    EXPECT_EQ(-1200.0f, scene.nearDepth);
    EXPECT_EQ(120.0f, scene.farDepth);
    EXPECT_EQ(kWhite, scene.background);
    EXPECT_FALSE(scene.Has3DItems());
    ASSERT_EQ(6u, scene.items.size());
    EXPECT_NE(nullptr, dynamic_cast<CMapBaseLayer*>(scene.items[0]));
    EXPECT_EQ(nullptr, scene.items[1]);
    EXPECT_NE(nullptr, dynamic_cast<CMapObjectsLayer*>(scene.items[2]));
    EXPECT_EQ(nullptr, scene.items[3]);
    EXPECT_EQ(nullptr, scene.items[4]);
    EXPECT_EQ(nullptr, scene.items[5]);
    EXPECT_EQ(&course, static_cast<CSceneLayer*>(scene.items[2])->GetCourse());
    EXPECT_EQ(&course, scene.GetCourse());
}

TEST_F(CourseScene, BaseLayerOfTheMapFollowsBackgroundAndFooter)
{
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    course.SetBackground(0);
    scene.UpdateLayer(ESceneLayer::kBase);
    // The footer setting alone keeps the base layer.
    EXPECT_TRUE(course.GetShowUKCFooter());
    EXPECT_NE(nullptr, scene.items[0]);
    course.SetShowUKCFooter(false);
    scene.UpdateLayer(ESceneLayer::kBase);
    EXPECT_EQ(nullptr, scene.items[0]);
    course.SetBackground(1);
    scene.Rebuild();
    EXPECT_NE(nullptr, scene.items[0]);

    // The 3D base layer is always there.
    course.SetBackground(0);
    CCourse3DScene scene3D(&course);
    EXPECT_NE(nullptr, dynamic_cast<C3DBaseLayer*>(scene3D.items[0]));
    CWorldRecorder context;
    scene3D.items[0]->Draw(context);
    ASSERT_EQ(1u, context.ItemsOf<CGrassGround>().size());
    // The grass lies centred on the ring, just below the ground.
    EXPECT_EQ(CVector3(7200.0f, -6000.0f, -1.0f), context.ItemsOf<CGrassGround>()[0].world.GetTranslation());
}

TEST_F(CourseScene, ThreeDSceneOfANewCourse)
{
    CCourse course(L"", L"");
    CCourse3DScene scene(&course);
    EXPECT_FALSE(scene.mapMode);
    EXPECT_EQ(120.0f, scene.nearDepth);
    EXPECT_EQ(120000.0f, scene.farDepth);
    EXPECT_EQ(0xFFFDA889u, scene.background);
    EXPECT_TRUE(scene.is3D[2]);
    EXPECT_FALSE(scene.is3D[0]);
    EXPECT_NE(nullptr, dynamic_cast<C3DBaseLayer*>(scene.items[0]));
    EXPECT_NE(nullptr, dynamic_cast<C3DObjectsLayer*>(scene.items[2]));

    course.SetShowGrass(false);
    scene.Rebuild();
    EXPECT_EQ(kWhite, scene.background);
    EXPECT_EQ(kWhite, GetGroundColor(false));
    EXPECT_EQ(0xFFFDA889u, GetGroundColor(true));
}

TEST_F(CourseScene, TopDownCameraMakesAFlatSceneWhileObjectsStay3D)
{
    CCourse course(L"", L"");
    ASSERT_FALSE(course.Get3DCamera());
    CCourse3DScene scene(&course);
    EXPECT_EQ(0, scene.GetCamera().GetPitch());
    EXPECT_FALSE(scene.all3D);
    EXPECT_TRUE(scene.Has3DItems());
    EXPECT_EQ(course.GetViewCamera().GetTransform(), scene.transform);

    course.Set3DCamera(true);
    scene.Rebuild();
    EXPECT_GT(scene.GetCamera().GetPitch(), 0);
    EXPECT_TRUE(scene.all3D);
    EXPECT_EQ(course.GetViewCamera().GetTransform(), scene.transform);
}

TEST_F(CourseScene, SetMapModeSetsDepthRangeAndRebuildsOnChange)
{
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    const std::string objectsKey = scene.items[2]->GetKey();
    EXPECT_TRUE(scene.SetMapMode(true));
    EXPECT_EQ(objectsKey, scene.items[2]->GetKey());

    EXPECT_FALSE(scene.SetMapMode(false));
    EXPECT_EQ(120.0f, scene.nearDepth);
    EXPECT_EQ(120000.0f, scene.farDepth);
    EXPECT_NE(objectsKey, scene.items[2]->GetKey());
    // Out of map mode the scene looks through the course's view camera.
    EXPECT_EQ(course.GetViewCamera().GetTransform(), scene.transform);

    EXPECT_TRUE(scene.SetMapMode(true));
    EXPECT_EQ(-1200.0f, scene.nearDepth);
    EXPECT_EQ(120.0f, scene.farDepth);
}

TEST_F(CourseScene, UpdateLayerRenewsOnlyTheNamedLayer)
{
    CCourse course(L"", L"");
    course.SetShowObsCoords(true);
    CCourseMapScene scene(&course);
    ASSERT_NE(nullptr, scene.items[3]);
    std::vector<std::string> before;
    for (CDrawable* item : scene.items)
        before.push_back(item ? item->GetKey() : std::string());
    scene.UpdateLayer(ESceneLayer::kObjects);
    for (size_t slot = 0; slot < scene.items.size(); ++slot) {
        const std::string key = scene.items[slot] ? scene.items[slot]->GetKey() : std::string();
        if (slot == 2)
            EXPECT_NE(before[slot], key);
        else
            EXPECT_EQ(before[slot], key) << slot;
    }
}

TEST_F(CourseScene, CoordinatesLayerFollowsTheSetting)
{
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    CCourse3DScene scene3D(&course);
    EXPECT_EQ(nullptr, scene.items[3]);
    course.SetShowObsCoords(true);
    scene.UpdateLayer(ESceneLayer::kCoordinateMarks);
    scene3D.UpdateLayer(ESceneLayer::kCoordinateMarks);
    EXPECT_NE(nullptr, dynamic_cast<CCoordinatesLayer*>(scene.items[3]));
    EXPECT_NE(nullptr, dynamic_cast<CCoordinatesLayer*>(scene3D.items[3]));
    CWorldRecorder context;
    scene.items[3]->Draw(context);
    EXPECT_TRUE(context.AllFinite());
    course.SetShowObsCoords(false);
    scene.UpdateLayer(ESceneLayer::kCoordinateMarks);
    EXPECT_EQ(nullptr, scene.items[3]);
}

TEST_F(CourseScene, SelectionLayerOnlyWhenShownAndSelected)
{
    CCourse course(L"", L"");
    CCourseObject* object = PlaceAFrame(course, 4000.0f, 5000.0f, 0.0f);
    ASSERT_NE(nullptr, object);
    CCourseMapScene scene(&course);
    object->SetSelected(true);
    scene.UpdateLayer(ESceneLayer::kSelection);
    EXPECT_EQ(nullptr, scene.items[4]);
    scene.ShowSelection(true);
    EXPECT_TRUE(scene.IsShowingSelection());
    EXPECT_EQ(&scene.GetSelectionLayer(), scene.items[4]);
    // The marks of both feet of the selected A-frame.
    CWorldRecorder context;
    scene.items[4]->Draw(context);
    EXPECT_EQ(2u, context.items.size());
    object->SetSelected(false);
    scene.UpdateLayer(ESceneLayer::kSelection);
    EXPECT_EQ(nullptr, scene.items[4]);
}

CHILD_TEST(CourseSceneMisuse, SlotBeyondFiveIsReported)
{
    OpenCourseTestSettings();
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    if (ReportCount() != 0)
        return 1;
    scene.UpdateLayer(ESceneLayer(kSceneLayerCount));
    if (ReportCount() != 1)
        return 2;
    return scene.items.size() == 6 && scene.items[2] != nullptr ? 0 : 3;
}

CHILD_TEST(CourseSceneMisuse, FitViewWithoutCourseIsReported)
{
    OpenCourseTestSettings();
    CCourseMapScene scene(nullptr);
    if (ReportCount() != 0)
        return 3;
    for (CDrawable* item : scene.items)
        if (item)
            return 1;
    scene.FitView(100.0f, 100.0f, 0.0f, 0.0f);
    return ReportCount() == 1 ? 0 : 2;
}

CHILD_TEST(CourseSceneMisuse, FitViewIntoNoPixelsIsReportedAndKeepsTheView)
{
    OpenCourseTestSettings();
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    scene.FitView(500.0f, 500.0f, 0.0f, 0.0f);
    const CTransform fitted = scene.transform;
    if (ReportCount() != 0)
        return 1;
    // No pixels to fit into: reported, and the view stays as it was rather
    // than taking an infinite scale.
    scene.FitView(0.0f, 300.0f, 0.0f, 0.0f);
    if (ReportCount() != 1)
        return 2;
    return scene.transform == fitted ? 0 : 3;
}

TEST_F(CourseScene, FitViewFitsTheGrownRingIntoThePicture)
{
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    // 14420 x 12020 units into 721 x 1000 pixels: 20 units a pixel.
    scene.FitView(721.0f, 1000.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(20.0f, scene.transform.GetScale());
    EXPECT_EQ(CPoint2(-10.0f, -10.0f), scene.transform.GetPosition2D());
    EXPECT_FALSE(scene.all3D);
    // A tile further right and down starts further in.
    scene.FitView(721.0f, 1000.0f, 100.0f, 50.0f);
    // The ring's corner lands at pixel (x0, y0).
    EXPECT_EQ(CPoint2(-2010.0f, -1010.0f), scene.transform.GetPosition2D());

    // With the footer of organisation 5 the picture takes its height too.
    course.SetSpecList(5);
    ASSERT_TRUE(course.GetShowUKCFooter());
    const CRectF ring = course.GetRingRect(true, true);
    EXPECT_EQ(12010.0f + CScoreSheet::GetHeight(14400.0f), ring.bottom);
    scene.FitView(1000.0f, 500.0f, 0.0f, 0.0f);
    EXPECT_FLOAT_EQ(ring.Height() / 500.0f, scene.transform.GetScale());
}

TEST_F(CourseScene, FitViewOutOfMapModeUsesTheViewCamera)
{
    CCourse course(L"", L"");
    course.Set3DCamera(true);
    CCourse3DScene scene(&course);
    scene.FitView(800.0f, 600.0f, 0.0f, 0.0f);
    EXPECT_EQ(800.0f, scene.GetCamera().GetViewportWidth());
    EXPECT_EQ(600.0f, scene.GetCamera().GetViewportHeight());
    EXPECT_TRUE(scene.all3D);
    EXPECT_EQ(scene.GetCamera().GetTransform(), scene.transform);
}

// ---- Pictures -------------------------------------------------------------------------

TEST_F(CourseScene, MapPictureShowsRingGridAndLabelsToScale)
{
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    // 14420 x 12020 units at 10 units a pixel: pixel = (x + 10) / 10.
    CPixelBitmap picture;
    ASSERT_TRUE(RenderMap(scene, 1442, 1202, picture));
    EXPECT_TRUE(SaveImage(picture, GetTestArtefactPath(L"CourseMapEmpty.png"), nullptr));
    auto px = [](float units) { return int(std::lround((units + 10.0f) / 10.0f)); };

    // The ring's edges, 20 units (two pixels) wide.
    EXPECT_TRUE(BlackNear(picture, px(0.0f), 650));
    EXPECT_TRUE(BlackNear(picture, px(14400.0f), 650));
    EXPECT_TRUE(BlackNear(picture, 650, px(0.0f)));
    EXPECT_TRUE(BlackNear(picture, 650, px(12000.0f)));
    // Grid lines down the ring every 10 feet from the middle, one pixel wide
    // with white paper between them; the one through the origin 3 wide.
    for (int i = -5; i <= 5; ++i) {
        const int x = px(7200.0f + 1200.0f * float(i));
        EXPECT_TRUE(BlackNear(picture, x, 650)) << i;
        EXPECT_EQ(kWhite, PixelAt(picture, x + 6, 650)) << i;
        const int black = CountColor(picture, x - 3, 650, x + 4, 651, kBlack);
        EXPECT_EQ(i == 0 ? 3 : 1, black) << i;
    }
    // None within 390 of the edges.
    EXPECT_EQ(0, CountColor(picture, px(40.0f), 650, px(1200.0f) - 3, 651, kBlack));
    // Grid lines across every 10 feet up from the bottom edge.
    for (int j = 1; j <= 9; ++j)
        EXPECT_TRUE(BlackNear(picture, 650, px(12000.0f - 1200.0f * float(j)))) << j;
    EXPECT_EQ(0, CountColor(picture, 650, px(12000.0f) - 30, 651, px(12000.0f) - 3, kBlack));

    // The label of the line 10 feet up, beside the left edge: black text on
    // its white box, just below the line.
    const CTextLabelPart& ten = CGridLabels::GetLabel(10);
    const CBox3 box = ten.GetBounds().At(0.0f);
    const int left = px(15.0f) + 1;
    const int top = px(10800.0f + 15.0f) + 1;
    const int right = px(15.0f + box.maxX - box.minX) - 1;
    const int bottom = px(10800.0f + 15.0f + box.maxY - box.minY) - 1;
    const int ink = CountDark(picture, left, top, right, bottom);
    EXPECT_GT(ink, 30);
    EXPECT_LT(ink, (right - left) * (bottom - top) / 2);
    // The label "-50" above the bottom edge under the left-most line.
    const CTextLabelPart& minus50 = CGridLabels::GetLabel(-50);
    const CBox3 box50 = minus50.GetBounds().At(0.0f);
    const float w50 = box50.maxX - box50.minX;
    const float h50 = box50.maxY - box50.minY;
    EXPECT_GT(CountDark(picture, px(1200.0f - w50 - 15.0f) + 1, px(12000.0f - h50 - 15.0f) + 1, px(1200.0f - 15.0f) - 1,
                        px(12000.0f - 15.0f) - 1),
              30);
}

// The rows of a picture, or its columns between the rows first and last,
// that are black along more than half of that length: the ring's border and
// the grid lines.
std::vector<int> BlackLines(const CPixelBitmap& picture, bool rows, int first = 0, int last = 0)
{
    const int count = rows ? picture.GetPixelHeight() : picture.GetPixelWidth();
    const int length = rows ? picture.GetPixelWidth() : last - first + 1;
    std::vector<int> lines;
    for (int i = 0; i < count; ++i) {
        const int black = rows ? CountColor(picture, 0, i, length, i + 1, kBlack)
                               : CountColor(picture, i, first, i + 1, last + 1, kBlack);
        if (black > length / 2)
            lines.push_back(i);
    }
    return lines;
}

// A new course as its window's view shows it at width x height, kept as an
// artefact; the rows and columns of its border and grid lines (11 and 13).
struct CViewLines
{
    CPixelBitmap picture;
    std::vector<int> rows;
    std::vector<int> columns;
};
CViewLines RenderViewLines(int width, int height, const wchar_t* artefact, CGraphicsSystem* system = nullptr)
{
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    scene.SetMapMode(false);
    CViewLines view;
    if (!RenderMap(scene, width, height, view.picture, system))
        return view;
    SaveImage(view.picture, GetTestArtefactPath(artefact), nullptr);
    view.rows = BlackLines(view.picture, true);
    if (!view.rows.empty())
        view.columns = BlackLines(view.picture, false, view.rows.front(), view.rows.back());
    return view;
}

TEST_F(CourseScene, AViewTallerThanWideShowsTheRingInItsMiddleWhole)
{
    const CViewLines view = RenderViewLines(240, 600, L"CourseViewTall.png");
    ASSERT_EQ(11u, view.rows.size());
    ASSERT_EQ(13u, view.columns.size());
    // The ring, 200 pixels high, with paper above and below it; its side
    // borders stand at the picture's edges, whole.
    EXPECT_GT(view.rows.front(), 180);
    EXPECT_GT(599 - view.rows.back(), 180);
    EXPECT_LE(view.columns.front(), 1);
    EXPECT_GE(view.columns.back(), 238);
}

TEST_F(CourseScene, GridNumbersAtASmallScaleLeaveTheLinesWhole)
{
    const CViewLines view = RenderViewLines(360, 300, L"CourseViewSmall.png");
    const std::vector<int>& rows = view.rows;
    const std::vector<int>& columns = view.columns;
    const CPixelBitmap& picture = view.picture;
    ASSERT_EQ(11u, rows.size());
    ASSERT_EQ(13u, columns.size());
    // Every border and grid line is black from end to end, also where the
    // numbers stand beside it.
    for (int row : rows)
        EXPECT_EQ(columns.back() - columns.front() + 1,
                  CountColor(picture, columns.front(), row, columns.back() + 1, row + 1, kBlack))
            << row;
    for (int column : columns)
        EXPECT_EQ(rows.back() - rows.front() + 1,
                  CountColor(picture, column, rows.front(), column + 1, rows.back() + 1, kBlack))
            << column;
}

// As a view of class 3 draws it through Direct3D 11: the border and grid
// lines one whole pixel wide and black from end to end, each within a pixel
// of GDI's (the two round differently), and the numbers with about as much
// ink as GDI gives them.
TEST_F(CourseScene, TheMapThroughDirect3D11HasGdisLinesAndNumbersOnWholePixels)
{
    CDirect3D11GraphicsSystem& direct3D11 = CDirect3D11GraphicsSystem::Instance();
    ASSERT_TRUE(direct3D11.IsUsable());
    const CViewLines gdi = RenderViewLines(360, 300, L"CourseViewSmall.png");
    const CViewLines view = RenderViewLines(360, 300, L"CourseViewSmallDirect3D11.png", &direct3D11);
    ASSERT_EQ(gdi.rows.size(), view.rows.size());
    ASSERT_EQ(gdi.columns.size(), view.columns.size());
    ASSERT_EQ(13u, view.columns.size());
    for (size_t i = 0; i < view.rows.size(); ++i) {
        EXPECT_NEAR(gdi.rows[i], view.rows[i], 1) << i;
        EXPECT_EQ(view.columns.back() - view.columns.front() + 1,
                  CountColor(view.picture, view.columns.front(), view.rows[i], view.columns.back() + 1,
                             view.rows[i] + 1, kBlack))
            << i;
    }
    for (size_t i = 0; i < view.columns.size(); ++i) {
        EXPECT_NEAR(gdi.columns[i], view.columns[i], 1) << i;
        EXPECT_EQ(view.rows.back() - view.rows.front() + 1,
                  CountColor(view.picture, view.columns[i], view.rows.front(), view.columns[i] + 1,
                             view.rows.back() + 1, kBlack))
            << i;
    }
    // Lines of the same lengths: what else is not white is the numbers.
    const int gdiInk = 360 * 300 - CountColor(gdi.picture, 0, 0, 360, 300, kWhite);
    const int ink = 360 * 300 - CountColor(view.picture, 0, 0, 360, 300, kWhite);
    EXPECT_NEAR(gdiInk, ink, gdiInk / 10);
    EXPECT_EQ(0, direct3D11.GetCurrentError());
}

TEST_F(CourseScene, MapPictureWithSurroundFooterAndAFrames)
{
    CCourse course(L"", L"");
    course.SetSpecList(5);
    course.SetUKCClass(5);
    course.SetLengthValue(CCourse::kMarginLowX, 600.0f);
    course.SetLengthValue(CCourse::kMarginHighY, 480.0f);
    ASSERT_NE(nullptr, PlaceAFrame(course, 3600.0f, 3600.0f, 0.0f));
    ASSERT_NE(nullptr, PlaceAFrame(course, 9600.0f, 6000.0f, 90.0f));
    ASSERT_NE(nullptr, PlaceAFrame(course, 6000.0f, 9000.0f, 45.0f));
    CCourseMapScene scene(&course);

    const CRectF ring = course.GetRingRect(true, true);
    const float scale = 10.0f;
    const int width = int(ring.Width() / scale);
    const int height = int(std::ceil(ring.Height() / scale));
    CPixelBitmap picture;
    ASSERT_TRUE(RenderMap(scene, width, height, picture));
    EXPECT_TRUE(SaveImage(picture, GetTestArtefactPath(L"CourseMapAFrames.png"), nullptr));
    const float actual = scene.transform.GetScale();
    auto px = [&](float x) { return int(std::lround((x - ring.left) / actual)); };
    auto py = [&](float y) { return int(std::lround((y - ring.top) / actual)); };

    // The left margin's outer edge, the bottom margin's, but no line along
    // the top or the right edge beyond the ring.
    EXPECT_TRUE(BlackNear(picture, px(-600.0f), py(6000.0f)));
    EXPECT_TRUE(BlackNear(picture, 300, py(12480.0f)));
    EXPECT_TRUE(BlackNear(picture, px(0.0f), py(6000.0f)));
    // The footer's frame below the surround, as wide as it.
    const float footer = CScoreSheet::GetHeight(15000.0f);
    EXPECT_TRUE(BlackNear(picture, 300, py(12480.0f + footer)));
    EXPECT_TRUE(BlackNear(picture, px(-600.0f), py(12480.0f + footer / 2.0f)));
    EXPECT_TRUE(BlackNear(picture, px(14400.0f), py(12480.0f + footer / 2.0f)));
    // Text ink in the footer's first line.
    EXPECT_GT(CountDark(picture, px(-600.0f) + 5, py(12480.0f) + 3, px(14400.0f) - 5, py(12480.0f + footer / 4.0f)),
              100);
    // Each A-frame puts ink on the plan where the empty course has only grid.
    CCourse empty(L"", L"");
    empty.SetSpecList(5);
    empty.SetUKCClass(5);
    empty.SetLengthValue(CCourse::kMarginLowX, 600.0f);
    empty.SetLengthValue(CCourse::kMarginHighY, 480.0f);
    CCourseMapScene emptyScene(&empty);
    CPixelBitmap plain;
    ASSERT_TRUE(RenderMap(emptyScene, width, height, plain));
    for (const CPoint2& at : {CPoint2(3600.0f, 3600.0f), CPoint2(9600.0f, 6000.0f), CPoint2(6000.0f, 9000.0f)}) {
        const int l = px(at.x - 500.0f);
        const int t = py(at.y - 500.0f);
        const int r = px(at.x + 500.0f);
        const int b = py(at.y + 500.0f);
        EXPECT_GT(CountDark(picture, l, t, r, b), CountDark(plain, l, t, r, b) + 500) << at.x;
    }
}

TEST_F(CourseScene, ThreeDSceneBuildsWithoutNaN)
{
    CCourse course(L"", L"");
    course.Set3D(true);
    course.Set3DCamera(true);
    course.SetShowObsCoords(true);
    ASSERT_NE(nullptr, PlaceAFrame(course, 3600.0f, 3600.0f, 30.0f));
    CCourse3DScene scene(&course);
    ASSERT_TRUE(scene.all3D);
    CWorldRecorder context;
    for (CDrawable* item : scene.items)
        if (item)
            context.DrawDrawable(*item, 0, 0);
    EXPECT_TRUE(context.AllFinite());
    EXPECT_EQ(1u, context.ItemsOf<CRingFence>().size());
    EXPECT_EQ(1u, context.ItemsOf<CGridLabels>().size());
    EXPECT_GT(context.vertices.size(), 1000u);

    // The same through the GDI canvas in perspective.
    scene.FitView(800.0f, 600.0f, 0.0f, 0.0f);
    CGdiBitmap dib;
    ASSERT_TRUE(dib.RenderScene(scene, 800.0f, 600.0f));
    CPixelBitmap picture;
    ASSERT_TRUE(dib.GetPixels(picture));
    EXPECT_TRUE(SaveImage(picture, GetTestArtefactPath(L"CourseScene3D.png"), nullptr));
    EXPECT_GT(CountColor(picture, 0, 0, 800, 600, kWhite), 1000);
}

// ---- Rubber band ----------------------------------------------------------------------

TEST_F(CourseScene, RubberBandKeepsItsStartOnTheGround)
{
    // The band of views drawn through GDI.
    CSettings::SetInt(L"GraphicsClass", 0);
    CGraphicsSystemTestAccess::ResetRun();
    CCourse course(L"", L"");
    CCourseMapScene scene(&course);
    scene.SetMapMode(false);
    CPanel view(false, false);
    view.SetScene(&scene);
    view.camera.SetOrthographic(false);
    view.camera.SetDepthRange(scene.nearDepth, scene.farDepth);
    view.camera.SetViewport(800.0f, 600.0f);
    view.camera.UpdateMatrices();

    CRubberBandLayer& band = scene.GetRubberBand();
    EXPECT_EQ(nullptr, scene.items[5]);
    band.Start(200.0f, 150.0f, &view);
    scene.UpdateLayer(ESceneLayer::kRubberBand);
    EXPECT_EQ(&band, scene.items[5]);
    const CVector3 ground = band.GetStartGroundPoint();
    EXPECT_NEAR(0.0f, ground.z, 0.01f);
    band.SetCorner(400.0f, 300.0f);
    scene.UpdateLayer(ESceneLayer::kRubberBand);
    EXPECT_NEAR(200.0f, band.GetRect().left, 0.05f);
    EXPECT_NEAR(150.0f, band.GetRect().top, 0.05f);
    EXPECT_EQ(400.0f, band.GetRect().right);
    EXPECT_EQ(300.0f, band.GetRect().bottom);

    // The camera moves 1000 units along x: the start corner moves the other
    // way in the window and still shows the same ground point.
    CTransform moved = scene.transform;
    const CVector3 eye = moved.GetTranslation();
    moved.SetTranslation(eye.x + 1000.0f, eye.y, eye.z);
    view.SetSceneTransform(moved);
    scene.UpdateLayer(ESceneLayer::kRubberBand);
    EXPECT_LT(band.GetRect().left, 199.0f);
    const CVector3 again = band.GetGroundPoint(band.GetRect().left, band.GetRect().top);
    EXPECT_NEAR(ground.x, again.x, 1.0f);
    EXPECT_NEAR(ground.y, again.y, 1.0f);

    // The GDI band is the ground rectangle's outline in red... pen 0.1.
    CWorldRecorder context;
    band.Draw(context);
    ASSERT_EQ(4u, context.points.size());
    EXPECT_EQ(CRubberBandLayer::kLineColor, context.points[0].penColor);
    EXPECT_NEAR(ground.x, std::min(context.points[0].world.x, context.points[2].world.x), 1.0f);

    band.Stop();
    scene.UpdateLayer(ESceneLayer::kRubberBand);
    EXPECT_EQ(nullptr, scene.items[5]);
    EXPECT_EQ(CRectF(), band.GetRect());
    CGraphicsSystemTestAccess::ResetRun();
}

// ---- The 3D view after edits ------------------------------------------------------------

namespace {

constexpr int kFrameWidth = 320;
constexpr int kFrameHeight = 240;

// OpenGL 1 into a window, kept from frame to frame as a view window keeps
// its renderer (its off-screen pictures are each drawn by a renderer of
// their own); each frame is read back before it is shown.
class CWindowOpenGL1Renderer : public COpenGL1Renderer
{
public:
    CWindowOpenGL1Renderer()
    {
        WNDCLASSW windowClass = {};
        windowClass.style = CS_OWNDC;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"KeptOpenGL1View";
        RegisterClassW(&windowClass);
        m_window = CreateWindowExW(WS_EX_TOOLWINDOW, L"KeptOpenGL1View", L"", WS_POPUP | WS_VISIBLE, 0, 0, kFrameWidth,
                                   kFrameHeight, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        COpenGL1GraphicsSystem::Instance().PrepareWindow(m_window);
        AttachToWindow(m_window);
    }
    ~CWindowOpenGL1Renderer() override
    {
        SetScene(nullptr);
        DestroyWindow(m_window);
    }
    CPixelBitmap Frame(CScene& scene)
    {
        SetScene(&scene);
        SetViewport(float(kFrameWidth), float(kFrameHeight));
        RenderScene();
        return m_picture;
    }

protected:
    // The back buffer, bottom row first, before it is swapped.
    void EndFrame() override
    {
        GetOpenGL1Functions().glReadPixels(0, 0, kFrameWidth, kFrameHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                                           m_picture.GetPixels().data());
        COpenGL1Renderer::EndFrame();
    }

private:
    HWND m_window = nullptr;
    CPixelBitmap m_picture{float(kFrameWidth), float(kFrameHeight)};
};

}  // namespace

// A renderer that keeps an item's drawing from frame to frame remakes what an
// edit changed: an A-frame moved from the left half of the view to the right
// is drawn there and nowhere else, and once deleted it is drawn no more,
// whatever the other objects around it; through OpenGL 1 and the shared
// off-screen renderers of the other systems the machine offers.
TEST_F(CourseScene, The3DViewShowsAMovedObjectAtItsNewPlaceAndADeletedOneNoMore)
{
    CWindowOpenGL1Renderer openGL1;
    CGraphicsSystem* const systems[] = {nullptr, &COpenGL3GraphicsSystem::Instance(),
                                        &CDirect3D11GraphicsSystem::Instance()};
    for (CGraphicsSystem* system : systems) {
        if (system && !system->IsUsable())
            continue;
        const std::wstring name = system ? system->GetName() : L"OpenGL1";
        SCOPED_TRACE(name);
        CCourse course(L"", L"");
        course.Set3D(true);
        course.Set3DCamera(true);
        CViewCamera camera = course.GetViewCamera();
        camera.FitWholeCourse(false);
        course.SetViewCamera(camera);
        const float width = course.GetWidth();
        const float height = course.GetHeight();
        PlaceAFrame(course, width * 0.5f, height * 0.25f, 90.0f);
        CCourseObject* moved = PlaceAFrame(course, width * 0.25f, height * 0.5f, 0.0f);
        PlaceAFrame(course, width * 0.5f, height * 0.75f, 90.0f);
        ASSERT_EQ(3u, course.GetObjectCount());
        CCourse3DScene scene(&course);
        scene.FitView(float(kFrameWidth), float(kFrameHeight), 0.0f, 0.0f);
        const auto frame = [&] {
            return system ? RenderThrough(*system, scene, kFrameWidth, kFrameHeight) : openGL1.Frame(scene);
        };

        const CPixelBitmap left = frame();
        // Each edit as the course window takes the course's notice of it.
        moved->SetSelected(true);
        course.MoveSelectionBy(width * 0.5f, 0.0f);
        course.SetMotion(0);
        scene.UpdateLayer(ESceneLayer::kObjects);
        const CPixelBitmap right = frame();
        course.DeleteSelected();
        scene.UpdateLayer(ESceneLayer::kObjects);
        const CPixelBitmap none = frame();
        SaveImage(right, GetTestArtefactPath(L"ThreeDViewMoved-" + name + L".png"), nullptr);
        const int half = kFrameWidth / 2;
        EXPECT_GT(CountDifferences(left, none, 0, half), 100);
        EXPECT_EQ(0, CountDifferences(left, none, half, kFrameWidth));
        EXPECT_EQ(0, CountDifferences(right, none, 0, half));
        EXPECT_GT(CountDifferences(right, none, half, kFrameWidth), 100);
    }
}
