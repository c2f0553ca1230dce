#include "ui/FrameWindowList.h"

#include "foundation/CrashLog.h"

namespace {

std::deque<CFrameListEntry*>& Frames()
{
    static std::deque<CFrameListEntry*> frames;
    return frames;
}

void Renumber(size_t from, size_t to)
{
    std::deque<CFrameListEntry*>& frames = Frames();
    for (size_t i = from; i < to && i < frames.size(); ++i)
        frames[i]->frameIndex = int(i);
}

bool IsListed(const CFrameListEntry* frame)
{
    const std::deque<CFrameListEntry*>& frames = Frames();
    return frame->frameIndex >= 0 && size_t(frame->frameIndex) < frames.size() &&
           frames[size_t(frame->frameIndex)] == frame;
}

// Takes a listed frame out of the list and gives the place it had; -1, after
// a failure report, for a frame that is not listed.
int TakeOut(CFrameListEntry* frame)
{
    if (!frame || !IsListed(frame)) {
        ReportFailure();
        return -1;
    }
    const int place = frame->frameIndex;
    Frames().erase(Frames().begin() + place);
    return place;
}

}  // namespace

CFrameListEntry::CFrameListEntry(bool resizable) : CNativeWindow(resizable) { CFrameWindowList::Insert(this); }

CFrameListEntry::~CFrameListEntry()
{
    if (frameIndex >= 0)
        CFrameWindowList::Remove(this);
}

void CFrameWindowList::Insert(CFrameListEntry* frame)
{
    TRACE_VALUE(const void*, frame);
    if (!frame || IsListed(frame)) {
        ReportFailure();
        return;
    }
    Frames().push_front(frame);
    Renumber(0, Frames().size());
}

void CFrameWindowList::Activate(CFrameListEntry* frame)
{
    TRACE_VALUE(const void*, frame);
    const int oldPlace = TakeOut(frame);
    if (oldPlace < 0)
        return;
    Frames().push_front(frame);
    Renumber(0, size_t(oldPlace) + 1);
}

void CFrameWindowList::Remove(CFrameListEntry* frame)
{
    TRACE_VALUE(const void*, frame);
    const int oldPlace = TakeOut(frame);
    if (oldPlace < 0)
        return;
    frame->frameIndex = -1;
    Renumber(size_t(oldPlace), Frames().size());
}

const std::deque<CFrameListEntry*>& CFrameWindowList::GetFrames() { return Frames(); }

namespace {

std::wstring& FrameWindowClassName()
{
    static std::wstring name = L"CDocWindow";
    return name;
}

}  // namespace

const std::wstring& GetFrameWindowClassName() { return FrameWindowClassName(); }

void SetFrameWindowClassName(const std::wstring& name)
{
    TRACE_VALUE(std::wstring, name);
    FrameWindowClassName() = name;
}

std::vector<CFrameListEntry*> FindFrameWindows(int& count)
{
    std::vector<CFrameListEntry*> found;
    std::vector<CFrameListEntry*> minimised;
    for (CFrameListEntry* frame : Frames()) {
        if (frame->hwnd && IsIconic(frame->hwnd))
            minimised.push_back(frame);
        else
            found.push_back(frame);
    }
    count = int(found.size());
    found.insert(found.end(), minimised.begin(), minimised.end());
    return found;
}
