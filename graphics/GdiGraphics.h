#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Transform.h"
#include "graphics/DcState.h"
#include "graphics/GdiDrawingCache.h"
#include "graphics/GdiObject.h"
#include "graphics/RenderTarget.h"
#include "graphics/VectorGraphics.h"

class CGdiBitmap;

// The 2D back end: draws into a GDI device context (a window, an enhanced
// metafile, a printer page or a memory bitmap) with GDI paths, geometric
// pens, solid or hatched brushes and ExtTextOutW with per-character
// advances. Every coordinate reaches GDI as a whole device pixel: the point
// goes through the drawing matrix, then the device transform (scene to
// device pixels), and is rounded once. A path reaches GDI whole, in one
// PolyDraw, and a pen, brush, font, mode or colour is set only when it
// changes (into a metafile every call goes as it always has: its records are
// the picture). The parts of a path that cannot touch a pixel inside the
// context's clip box are left out, except from a metafile.
//
// From a canvas's second frame on, while a scene renders into a context that
// is no metafile, what each drawable inside the scene's items gives GDI is
// kept (CGdiDrawingCache): the next frame gives it again while the
// drawable's key and place are as they were, and draws anew only what
// changed.
//
// Pens, brushes and fonts are made when first needed and kept while their
// parameters match; the stock black pen and the stock black and white
// brushes are used where they fit. Colours go to GDI as their RGB part:
// this back end ignores alpha.
//
// Callers use only the CGraphicsContext and CRenderTarget interfaces; the
// owners of metafile, printer and bitmap contexts hand theirs in with
// SetDeviceContext.
class CGdiGraphics : public CVectorGraphics, public CRenderTarget
{
public:
    CGdiGraphics();
    // Frees the bitmap, puts the stock pen, brush and font back into the
    // device context and deletes the objects made here.
    ~CGdiGraphics() override;

    // Draws into this context from now on (not owned). The objects of this
    // canvas are taken out of the previous context first.
    void SetDeviceContext(HDC dc);
    HDC GetDeviceContext() const { return m_dc; }

    // ---- Graphics-context slots ---------------------------------------------
    // The bitmap stretched over the device rectangle of its corners.
    void DrawBitmap(const CPixelBitmap& bitmap, const CRectF& rect) override;
    // One line in the state's font, text colour and alignment on an opaque
    // box of the fill colour; characters without a glyph in Arial use the
    // first of "MS Mincho" and "Arial Unicode MS" that has one.
    void DrawText(const std::wstring& text, float x, float y) override;
    // The drawable in its own coordinates: the device transform takes in the
    // item's placement for the time it draws.
    void DrawDrawable(CDrawable& drawable, int mode, int flag) override;
    // True when every rectangle, through the matrix and the device
    // transform, lies more than kClipAllowance pixels outside the clip box;
    // never for a metafile.
    bool MissesClip(const CRectF* rects, size_t count) const override;
    // Covers a pen of at least one pixel, the rasteriser's pixel and the
    // rounding of points, beyond a pen width the rectangles already hold.
    static constexpr float kClipAllowance = 4.0f;
    // Through the matrix and the device transform; also for a metafile,
    // whose records then hold the picture at the size it is recorded.
    float GetPixelSize() const override;

    // ---- Render-target slots --------------------------------------------------
    // Background, then every item of the scene through the view transform.
    // Nothing is drawn while the viewport is empty (a minimised window).
    void RenderScene() override;
    CGraphicsBackEnd& GetGraphicsSystem() const override;
    // Keeps the window's device context for the life of the canvas.
    void AttachToWindow(HWND window) override;

    const CTransform& GetDeviceTransform() const { return m_deviceTransform; }

    // ---- Text layout helpers (exposed for tests) ----------------------------
    static constexpr int kFontSlotCount = 3;
    // "Arial", "MS Mincho", "Arial Unicode MS".
    static const wchar_t* GetFontSlotFace(int slot);
    // Characters below 256 use slot 0; the others the slot whose face has a
    // glyph for them, preferring Arial, then MS Mincho, then Arial Unicode
    // MS, and slot 0 when none has. The table behind it is built once.
    static int GetFontSlot(wchar_t c);
    // Start and length of the runs of equal slots.
    struct CTextRun
    {
        size_t start;
        size_t length;
        int slot;
    };
    // The runs of the slots replace what runs held; its room is used again.
    static void SplitRuns(const std::vector<int>& slots, std::vector<CTextRun>& runs);

protected:
    // Selects the pen and/or the brush, then opens a GDI path.
    void EmitBeginPath(bool stroke, bool fill) override;
    void EmitMoveTo(float x, float y) override;
    void EmitLineTo(float x, float y) override;
    void EmitBezierTo(const CCurveGeometry& curve) override;
    void EmitCloseFigure() override;
    // Closes the GDI path and strokes and/or fills it. A path that received
    // no figure, or a point that is not a number, is discarded instead.
    void EmitEndPath() override;

private:
    // The device pixel of a path point. False for a point that is not a
    // finite number (the pixel is then 0, 0); finite points far outside any
    // device are clamped to the range GDI accepts.
    bool ToDevice(float x, float y, POINT& out) const;
    // The same for a point already through the drawing matrix.
    bool PlacedToDevice(const CPoint2& placed, POINT& out) const;
    // The same for one coordinate value already through both transforms.
    static bool RoundToDevice(float v, LONG& out);
    // ToDevice for a point of the open path: a point that is not a number is
    // reported and spoils the path.
    bool PathPointToDevice(const CPoint2& point, POINT& out);
    // Appends the point with its PolyDraw type; false for a spoilt path.
    bool AddPathPoint(const CPoint2& point, BYTE type);
    // Gives the collected path to GDI inside BeginPath: all its points in one
    // PolyDraw, or into a metafile one figure command at a time. False when
    // there is nothing to stroke or fill.
    bool PutPathIntoDc();
    // The current matrix's scale times the device transform's.
    float GetDeviceScale() const;
    // The clip box of the context in pixels; false when GDI has none.
    bool FindClipBox(RECT& clip) const;
    // Leaves out of the collected path the figures, and the segments of
    // open lines only stroked, that cannot stroke or fill a pixel in the
    // context's clip box; false when nothing is left.
    bool DropPartsOutsideClip();

    // Selects the pen of the state; its width in device pixels.
    int SelectPen();
    // Selects a pen of the width in pixels and the colour (ARGB).
    void SelectPen(int width, uint32_t color);
    // Selects a solid or hatched brush of the colour (ARGB).
    void SelectBrush(uint32_t color, bool hatched);
    // Ends the path put into the context and strokes and/or fills it.
    void PaintPath(bool stroke, bool fill);
    // Gives GDI again the paths and texts of a drawing kept from an earlier
    // frame.
    void PaintKeptDrawing(const CGdiDrawingCache::CDrawing& drawing);
    // Draws the drawable, whose device transform is in place, or gives
    // again what it drew in an earlier frame; keeps what it draws now.
    void DrawOrPaintKept(CDrawable& drawable);
    // Puts stock objects into the device context so that nothing of this
    // canvas stays selected there.
    void ReleaseSelections();
    // Draws a line of text in runs of the font slots its characters need,
    // each character advancing by its device advance.
    void PaintText(const CGdiDrawingCache::CText& line, const std::wstring& text, const std::vector<INT>& advances);
    HFONT GetSlotFont(int slot, bool bold);

    HDC m_dc = nullptr;
    // What was last set in m_dc, and its kind.
    CDcState m_dcState;
    // The window context taken by AttachToWindow, released with the canvas.
    CWindowDc m_windowDc;
    std::unique_ptr<CGdiBitmap> m_bitmap;

    // A pen or brush made for a context that is no metafile, by what it was
    // made for.
    struct CKeptObject
    {
        uint64_t key = 0;
        CGdiObject<HGDIOBJ> object;
    };
    // The kept object made for key, or null.
    static HGDIOBJ FindKept(const std::vector<CKeptObject>& kept, uint64_t key);
    // Keeps a new object, which is selected; the oldest of a full list goes.
    static void Keep(std::vector<CKeptObject>& kept, uint64_t key, HGDIOBJ object);
    // Selects a pen made here; the first one in a context sets the miter
    // limit of the pens made here.
    void SelectMadePen(HGDIOBJ pen);

    // Kept for the next path that asks for the same: the objects of a map
    // change colours all the time, and making and deleting a GDI object costs
    // more than the path it draws.
    std::vector<CKeptObject> m_keptPens;
    std::vector<CKeptObject> m_keptBrushes;
    static constexpr size_t kKeptObjects = 16;
    // Whether the context has the miter limit of the pens made here.
    bool m_miterLimitSet = false;

    // The pen and brush made for a metafile and what they were made for: its
    // records are the picture, so each new one is made again.
    CGdiObject<HPEN> m_pen;
    int m_penWidth = 0;
    COLORREF m_penColor = 0;
    CGdiObject<HBRUSH> m_brush;
    bool m_brushHatched = false;
    COLORREF m_brushColor = 0;

    // One font per slot for the pixel height and weight of the key.
    CGdiObject<HFONT> m_fonts[kFontSlotCount];
    int m_fontHeight = -1;
    bool m_fontBold = false;
    // Scratch of the text drawn: laid-out and device advances, font slots
    // and their runs.
    std::vector<float> m_charAdvances;
    std::vector<INT> m_advances;
    std::vector<int> m_slots;
    std::vector<CTextRun> m_runs;

    CTransform m_deviceTransform;
    // Set while the selected pen has an odd pixel width on a device that is
    // not a metafile: coordinates move by a quarter pixel before rounding so
    // that thin lines fall on whole pixels.
    bool m_oddPenOffset = false;

    // The points of the path in hand, in device pixels, and their PolyDraw
    // types: the path reaches GDI whole when it ends.
    std::vector<POINT> m_pathPoints;
    std::vector<BYTE> m_pathTypes;
    // How far beyond its points the path in hand may draw, in pixels.
    int m_pathReach = 0;
    // The clip box of the context while a scene renders (nothing a scene
    // draws changes the clipping), and whether it is known.
    RECT m_sceneClip = {};
    bool m_sceneClipKnown = false;
    // The path in hand received a figure / a point that was not a number.
    bool m_pathHasFigure = false;
    bool m_pathInvalid = false;
    // The drawing matrix of the path in hand is the identity.
    bool m_plainPathMatrix = false;
    // The pen and brush the path in hand asked for.
    CGdiDrawingCache::CPathStyle m_pathStyle;

    // What the drawables inside a scene's items drew in the last frames,
    // while a scene renders into a context that is no metafile; the drawing
    // being kept while its drawable draws.
    CGdiDrawingCache m_drawingCache;
    bool m_keepingDrawings = false;
    // A scene was drawn before: the canvas lives on from frame to frame.
    bool m_drewFrame = false;
    CGdiDrawingCache::CDrawing* m_keptDrawing = nullptr;
    int m_nesting = 0;
};
