#pragma once

namespace Gdiplus
{
class GpImage;
class GpBitmap;
}

// Owns one GDI+ bitmap (disposed of at destruction) and keeps the status of
// the last GDI+ call on it that failed (0, Ok, while every call succeeded).
class CGdiplusBitmap
{
public:
    CGdiplusBitmap() = default;
    explicit CGdiplusBitmap(Gdiplus::GpBitmap* bitmap) : m_bitmap(bitmap) {}
    ~CGdiplusBitmap();
    CGdiplusBitmap(CGdiplusBitmap&& other) noexcept;
    CGdiplusBitmap& operator=(CGdiplusBitmap&& other) noexcept;
    CGdiplusBitmap(const CGdiplusBitmap&) = delete;
    CGdiplusBitmap& operator=(const CGdiplusBitmap&) = delete;

    Gdiplus::GpBitmap* Get() const { return m_bitmap; }
    Gdiplus::GpImage* GetImage() const;
    bool IsNull() const { return m_bitmap == nullptr; }

    // Records a failed status (any value but 0) and returns the status.
    int SetStatus(int status);
    int GetLastStatus() const { return m_lastStatus; }

    void Reset();

private:
    Gdiplus::GpBitmap* m_bitmap = nullptr;
    int m_lastStatus = 0;
};
