#include "app/WindowChooserDlg.h"

#include <algorithm>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "ui/FrameWindow.h"

CSelWinDlg::CSelWinDlg() : CDialog(GetString(2459))
{
    for (CFrameListEntry* entry : CFrameWindowList::GetFrames()) {
        if (CFrameWindow* frame = dynamic_cast<CFrameWindow*>(entry)) {
            windows.push_back(frame);
            list.AddItem(frame->title);
        }
    }
    list.onActivate = CMemberDelegate<CScrollPane*, CSelWinDlg>::Make(this, &CSelWinDlg::OnListActivated);
    SetContent(&list);
}

void CSelWinDlg::OnResult()
{
    const int index = list.GetSelected();
    TRACE_VALUE(int32_t, index);
    if (index < 0 || size_t(index) >= windows.size())
        return;
    // A window may have gone while the dialog was open.
    const std::deque<CFrameListEntry*>& frames = CFrameWindowList::GetFrames();
    CFrameWindow* chosen = windows[size_t(index)];
    if (std::find(frames.begin(), frames.end(), chosen) != frames.end())
        chosen->Activate();
}
