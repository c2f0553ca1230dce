#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A picture taken from the records of an enhanced metafile and drawn again
// with the fewest GDI calls a path-based painter can make: each path's
// points in one PolyDraw between BeginPath and EndPath, then one stroke
// and/or fill; each text run in one ExtTextOutW; pens, brushes and fonts
// made once beforehand, and pens, brushes, fonts, colours and modes set only
// where they change from one item to the next. It is the bare GDI loop the
// GDI canvas is measured against.
class CPictureReplay
{
public:
    CPictureReplay() = default;
    ~CPictureReplay();
    CPictureReplay(const CPictureReplay&) = delete;
    CPictureReplay& operator=(const CPictureReplay&) = delete;

    // Reads the paths and texts of the metafile. Records of other kinds are
    // counted as skipped.
    void Load(HENHMETAFILE metafile);
    void Draw(HDC dc) const;

    size_t GetPathCount() const { return m_paths; }
    size_t GetTextCount() const { return m_texts; }
    size_t GetSkippedCount() const { return m_skipped; }

private:
    // What an item draws with; set on the device context only when it
    // differs from the previous item's.
    struct CDrawState
    {
        HGDIOBJ pen = nullptr;
        HGDIOBJ brush = nullptr;
        HGDIOBJ font = nullptr;
        int rop2 = R2_COPYPEN;
        int fillMode = ALTERNATE;
        int bkMode = OPAQUE;
        COLORREF textColor = 0;
        COLORREF bkColor = RGB(255, 255, 255);
        UINT textAlign = TA_BASELINE;
    };
    struct CItem
    {
        CDrawState state;
        // A path: its points and the record that ended it (EMR_STROKEPATH,
        // EMR_FILLPATH or EMR_STROKEANDFILLPATH); 0 for a text.
        DWORD ending = 0;
        size_t first = 0;
        size_t count = 0;
        POINT origin = {0, 0};
        std::wstring text;
        std::vector<INT> advances;
    };

    void ReadRecord(const ENHMETARECORD& record);
    void AddPoints(const POINTS* points, DWORD count, BYTE firstType, BYTE nextType);
    void AddPoints(const POINTL* points, DWORD count, BYTE firstType, BYTE nextType);
    HGDIOBJ& ObjectSlot(DWORD index);

    std::vector<CItem> m_items;
    std::vector<POINT> m_points;
    std::vector<BYTE> m_types;
    // The metafile's object table, by its handle index.
    std::vector<HGDIOBJ> m_objects;
    // Every object made, deleted at the end (the table reuses its slots).
    std::vector<HGDIOBJ> m_made;
    CDrawState m_state;
    size_t m_pathStart = 0;
    bool m_inPath = false;
    size_t m_paths = 0;
    size_t m_texts = 0;
    size_t m_skipped = 0;
};
