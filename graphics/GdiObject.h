#pragma once

#include <windows.h>

// Small move-only owners of GDI resources. GDI refuses to delete an object
// that is still selected into a device context, so whoever selected an
// object puts the previous one back (CDcSelection) before its owner lets go.

// Deletes a GDI object; a refused deletion is reported. Null is ignored.
void DeleteGdiObject(HGDIOBJ object);

// One pen, brush, font or bitmap.
template <class T>
class CGdiObject
{
public:
    CGdiObject() = default;
    explicit CGdiObject(T handle) : m_handle(handle) {}
    ~CGdiObject() { Reset(); }
    CGdiObject(CGdiObject&& other) noexcept : m_handle(other.Release()) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept
    {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;

    T Get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    // Deletes what is held and holds the new handle.
    void Reset(T handle = nullptr)
    {
        if (m_handle && m_handle != handle)
            DeleteGdiObject(m_handle);
        m_handle = handle;
    }
    T Release()
    {
        T handle = m_handle;
        m_handle = nullptr;
        return handle;
    }

private:
    T m_handle = nullptr;
};

// An object selected into a device context for the life of the owner; the
// object that was selected before goes back at the end.
class CDcSelection
{
public:
    CDcSelection(HDC dc, HGDIOBJ object);
    ~CDcSelection();
    CDcSelection(CDcSelection&& other) noexcept;
    CDcSelection& operator=(CDcSelection&&) = delete;
    CDcSelection(const CDcSelection&) = delete;
    CDcSelection& operator=(const CDcSelection&) = delete;

    // False when GDI refused the selection (reported).
    bool IsSelected() const { return m_previous != nullptr; }

private:
    HDC m_dc;
    HGDIOBJ m_previous = nullptr;
};

// The device context of a window (null: the screen), from GetDC until
// ReleaseDC. Releasing a window's own (CS_OWNDC) context does nothing, so
// this suits every kind of window.
class CWindowDc
{
public:
    CWindowDc() = default;
    explicit CWindowDc(HWND window);
    ~CWindowDc() { Reset(); }
    CWindowDc(CWindowDc&& other) noexcept;
    CWindowDc& operator=(CWindowDc&& other) noexcept;
    CWindowDc(const CWindowDc&) = delete;
    CWindowDc& operator=(const CWindowDc&) = delete;

    HDC Get() const { return m_dc; }
    HWND GetWindow() const { return m_window; }
    void Reset();

private:
    HWND m_window = nullptr;
    HDC m_dc = nullptr;
};

// A memory device context compatible with another context (null: the
// screen), deleted at the end.
class CMemoryDc
{
public:
    explicit CMemoryDc(HDC compatibleWith);
    ~CMemoryDc();
    CMemoryDc(const CMemoryDc&) = delete;
    CMemoryDc& operator=(const CMemoryDc&) = delete;

    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
};
