#pragma once

#include <memory>
#include <vector>

#include "foundation/Timer.h"
#include "ui/BitmapPanel.h"
#include "ui/Dialog.h"
#include "ui/GridLayout.h"
#include "ui/StaticText.h"

// The about box: the program's logo beside its name, version, copyright and
// a few words about it, with OK in a row below. The splash window at start
// is the same dialog without buttons, which closes itself by its timer.
class CAboutDlg : public CDialog
{
public:
    explicit CAboutDlg(bool splashFlag);
    ~CAboutDlg() override;

    bool splash;
    CBitmapPanel logo;
    CGridLayout textColumn;
    CGridLayout body;
    std::vector<std::unique_ptr<CStaticText>> lines;
    // Runs only for the splash.
    CTimer timer;

private:
    void AddLine(const std::wstring& text);
};

// The About command: the about box, run modally.
void ShowAboutBox();
