#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/Window.h"

// The part of a frame window that the process-wide frame list knows: a frame
// joins the front of the list when it is constructed and leaves it when it is
// destroyed (at the latest with the object). The frame window moves itself
// to the front when it is activated and removes itself when its native
// window is destroyed.
class CFrameListEntry : public CNativeWindow
{
public:
    explicit CFrameListEntry(bool resizable);
    ~CFrameListEntry() override;

    // The frame's place in the list (0 = most recently activated), -1 once
    // it has left.
    int frameIndex = -1;
};

// The list of frame windows, most recently activated first. It owns nothing.
class CFrameWindowList
{
public:
    static void Insert(CFrameListEntry* frame);
    static void Activate(CFrameListEntry* frame);
    static void Remove(CFrameListEntry* frame);
    static const std::deque<CFrameListEntry*>& GetFrames();
};

// The window class name of the frame windows, "CDocWindow" unless start-up
// replaces it before the first frame window is made (the single-instance
// check finds a running instance's frame window by it).
const std::wstring& GetFrameWindowClassName();
void SetFrameWindowClassName(const std::wstring& name);

// All frame windows, the ones that are not minimised first, each group in
// list order; `count` receives the number not minimised.
std::vector<CFrameListEntry*> FindFrameWindows(int& count);
