#include "ui/ModalState.h"

#include "ui/Dialog.h"
#include "ui/FrameWindowList.h"

namespace {

int g_modalCount = 0;
CDialog* g_currentDialog = nullptr;
HWND g_defaultOwner = nullptr;

}  // namespace

int GetModalCount() { return g_modalCount; }

CDialog* GetCurrentDialog() { return g_currentDialog; }

void SetDefaultOwnerWindow(HWND window) { g_defaultOwner = window; }

HWND GetDefaultOwnerWindow() { return g_defaultOwner; }

HWND GetModalOwnerWindow()
{
    if (g_currentDialog)
        return g_currentDialog->hwnd;
    int shown = 0;
    const std::vector<CFrameListEntry*> frames = FindFrameWindows(shown);
    if (shown > 0)
        return frames.front()->hwnd;
    return g_defaultOwner;
}

void EnableFrameWindows(HWND except, bool enable)
{
    TRACE_VALUE(bool, enable);
    if (g_modalCount != 0)
        return;
    for (CFrameListEntry* frame : CFrameWindowList::GetFrames()) {
        if (!frame->hwnd) {
            ReportFailure();
            continue;
        }
        if (frame->hwnd != except)
            EnableWindow(frame->hwnd, enable);
    }
}

CModalScope::CModalScope(CDialog* dialog) : m_dialog(dialog), m_previousDialog(g_currentDialog)
{
    ++g_modalCount;
    if (dialog)
        g_currentDialog = dialog;
}

CModalScope::~CModalScope()
{
    --g_modalCount;
    if (m_dialog)
        g_currentDialog = m_previousDialog;
}
