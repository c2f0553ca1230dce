#pragma once

#include <vector>

#include "ui/Dialog.h"
#include "ui/ScrollPane.h"

class CFrameWindow;

// More Windows (2217): every open frame window by its title, in the order of
// the frame-window list; OK brings the chosen one to the front.
class CSelWinDlg : public CDialog
{
public:
    CSelWinDlg();

    // Activates the chosen window when it is still open.
    void OnResult() override;
    // A double-click on an item chooses it, as OK does.
    void OnListActivated(CScrollPane*) { OnOk(); }

    CScrollPane list;
    // The windows listed, in item order.
    std::vector<CFrameWindow*> windows;
};
