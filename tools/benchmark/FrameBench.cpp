#include <cstdio>
#include <sstream>
#include <string>

#include "app/CourseScene.h"
#include "course/Course.h"
#include "foundation/Clock.h"
#include "graphics/GdiBitmap.h"
#include "graphics/GdiGraphics.h"
#include "graphics/ImageCodec.h"
#include "graphics/PixelBitmap.h"
#include "objects/annotations/FigureOutlineCache.h"
#include "tools/benchmark/AllocationCounter.h"
#include "tools/benchmark/BenchCourse.h"
#include "tools/benchmark/BenchTable.h"
#include "tools/benchmark/Benchmarks.h"
#include "tools/benchmark/PictureReplay.h"

namespace {

constexpr float kFrameWidth = 1280.0f;
constexpr float kFrameHeight = 1024.0f;

// The course's map as a course window shows it: through the map camera,
// with the selection layer, fitted to the frame, painted by one canvas that
// lives from frame to frame as a window's render target does.
struct CMapView
{
    explicit CMapView(CCourse& course) : scene(&course)
    {
        scene.ShowSelection(true);
        scene.SetMapMode(false);
        scene.FitView(kFrameWidth, kFrameHeight, 0.0f, 0.0f);
        canvas.SetScene(&scene);
    }

    // Draws the scene into the device context as a window's paint does.
    void Paint(HDC dc) { Render(canvas, dc); }

    // The same through a canvas of its own, for a device context that is
    // not the frame's.
    void PaintOnce(HDC dc)
    {
        CGdiGraphics once;
        once.SetScene(&scene);
        Render(once, dc);
    }

    CCourseMapScene scene;

private:
    static void Render(CGdiGraphics& target, HDC dc)
    {
        target.SetDeviceContext(dc);
        target.SetViewport(kFrameWidth, kFrameHeight, kFrameWidth, kFrameHeight, 0.0f, 0.0f);
        target.RenderScene();
    }

    CGdiGraphics canvas;
};

// The GDI calls of one frame, recorded in a metafile.
void RecordFrame(CMapView& view, CPictureReplay& replay)
{
    HDC metafileDc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    view.PaintOnce(metafileDc);
    HENHMETAFILE metafile = CloseEnhMetaFile(metafileDc);
    replay.Load(metafile);
    DeleteEnhMetaFile(metafile);
}

void SavePicture(const CGdiBitmap& dib, const wchar_t* fileName)
{
    CPixelBitmap pixels;
    if (dib.GetPixels(pixels))
        SaveImage(pixels, fileName, nullptr);
}

// One row: the course's map frame against the replay of its recorded GDI
// calls; with savePictures both go to PNG files named after pictureStem.
// Returns the program's median frame in milliseconds.
double BenchFrameOf(CCourse& course, const std::string& description, int runs, bool savePictures,
                    const std::wstring& pictureStem)
{
    CMapView view(course);
    CPictureReplay replay;
    RecordFrame(view, replay);
    if (replay.GetSkippedCount() != 0)
        std::printf("warning: %u records of the frame are not replayed\n", unsigned(replay.GetSkippedCount()));

    CGdiBitmap frame;
    CGdiBitmap replayed;
    frame.Create(kFrameWidth, kFrameHeight);
    replayed.Create(kFrameWidth, kFrameHeight);
    // The first frame builds what the view keeps between paints.
    const size_t allocationsBefore = GetAllocationCount();
    view.Paint(frame.GetDC());
    const size_t firstFrameAllocations = GetAllocationCount() - allocationsBefore;
    replay.Draw(replayed.GetDC());

    CBenchRow row("map frame (" + description + ") / GDI replay");
    for (int run = 0; run < runs; ++run) {
        double start = GetClockSeconds();
        view.Paint(frame.GetDC());
        const double program = MillisecondsSince(start);
        start = GetClockSeconds();
        replay.Draw(replayed.GetDC());
        row.Add(program, MillisecondsSince(start));
    }
    row.Print();
    std::printf("    (%u paths and %u texts a frame; %u heap allocations in the first frame of a canvas)\n",
                unsigned(replay.GetPathCount()), unsigned(replay.GetTextCount()), unsigned(firstFrameAllocations));
    if (savePictures) {
        SavePicture(frame, (pictureStem + L"-frame.png").c_str());
        SavePicture(replayed, (pictureStem + L"-replay.png").c_str());
    }
    return row.GetProgramMedian();
}

// A picture of the course's whole map made off screen at the frame's size, as
// an export or the clipboard's picture makes it, against a frame of the map in
// a course window.
void BenchCoursePicture(CCourse& course, const std::string& description, int runs)
{
    CMapView view(course);
    CGdiBitmap frame;
    frame.Create(kFrameWidth, kFrameHeight);
    view.Paint(frame.GetDC());
    CPixelBitmap picture(kFrameWidth, kFrameHeight);
    CBenchRow row("course picture off screen (" + description + ") / map frame");
    for (int run = 0; run < runs; ++run) {
        double start = GetClockSeconds();
        RenderCourseImage(course, picture, true, 0.0f, 0.0f);
        const double program = MillisecondsSince(start);
        start = GetClockSeconds();
        view.Paint(frame.GetDC());
        row.Add(program, MillisecondsSince(start));
    }
    row.Print();
}

// One row: the first map frame of a course read from its text block into
// new objects, in a new view with a new canvas, as a window shows a course
// file just opened, against the second frame of the same view.
void BenchFirstFrameOf(CCourse& made, const std::string& description, int runs)
{
    std::ostringstream block;
    made.WriteTextBlock(block, false, false);
    CBenchRow row("first map frame (" + description + ") / second");
    for (int run = 0; run < runs; ++run) {
        // Every run reads its own objects, which keep nothing they drew in
        // the runs before; the outlines figures share live only while a
        // figure holds them, and the course of the run before took its
        // figures with it, so that the cache starts empty.
        CCourse course(L"Benchmark", std::wstring());
        std::istringstream in(block.str());
        course.ReadTextBlock(in, false);
        if (CFigureOutlineCache::GetEntryCount() != 0)
            std::printf("warning: figures' outlines are left from an earlier run\n");
        CMapView view(course);
        CGdiBitmap frame;
        frame.Create(kFrameWidth, kFrameHeight);
        double start = GetClockSeconds();
        view.Paint(frame.GetDC());
        const double first = MillisecondsSince(start);
        start = GetClockSeconds();
        view.Paint(frame.GetDC());
        row.Add(first, MillisecondsSince(start));
    }
    row.Print();
}

}  // namespace

void BenchFirstMapFrame(int runs)
{
    const int count = GetCountPerKind(1000);
    BenchFirstFrameOf(*MakeBenchCourse(count), DescribeBenchCourse(count), runs);
    const std::unique_ptr<CCourse> judge = MakeJudgeCourse();
    const size_t objects = judge->GetObjectCount();
    BenchFirstFrameOf(*judge, "judge's course, " + std::to_string(objects) + " objects", runs);
    const int figures = 60;
    AddHandlerFigures(*judge, figures);
    BenchFirstFrameOf(*judge, "judge's + " + std::to_string(figures) + " handlers, 1 pose", runs);
}

void BenchMapFrame(int runs, bool savePictures, const std::string& rowFilter)
{
    // A row is made and measured only when its description holds the filter.
    const auto wanted = [&rowFilter](const std::string& description) {
        return rowFilter.empty() || description.find(rowFilter) != std::string::npos;
    };
    // About a thousand objects, shared among the kinds.
    const int count = GetCountPerKind(1000);
    if (wanted(DescribeBenchCourse(count))) {
        const std::unique_ptr<CCourse> course = MakeBenchCourse(count);
        const double frameMs = BenchFrameOf(*course, DescribeBenchCourse(count), runs, savePictures, L"bench");
        if (frameMs > 0.0) {
            CBenchRow::PrintValue("  frames per second (" + FormatCount(count * GetCourseKindCount()) +
                                      " objects, 1280 x 1024)",
                                  1000.0 / frameMs);
        }
        BenchCoursePicture(*course, DescribeBenchCourse(count), runs);
    }
    // Long bodies mostly outside the frame: the replay draws every path whole.
    const int tunnels = 200;
    const std::string tunnelRow = std::to_string(tunnels) + " far-reaching tunnels";
    if (wanted(tunnelRow))
        BenchFrameOf(*MakeFarTunnelCourse(tunnels), tunnelRow, runs, savePictures, L"bench-tunnels");
    // A hundred thousand, the most a course holds.
    const int large = GetCountPerKind(100000);
    if (wanted(DescribeBenchCourse(large)))
        BenchFrameOf(*MakeBenchCourse(large), DescribeBenchCourse(large), runs, savePictures, L"bench-large");
}
