#include "app/AboutDlg.h"

#include "app/Application.h"
#include "app/SplashWindow.h"
#include "foundation/CrashLog.h"
#include "foundation/Strings.h"

namespace {

constexpr int32_t kSplashMilliseconds = 1250;

}  // namespace

CAboutDlg::CAboutDlg(bool splashFlag)
    : CDialog(GetString(2237)), splash(splashFlag), logo(L"LogoApp.png"), textColumn(true), body(3, 1)
{
    TRACE_VALUE(bool, splashFlag);
    AddLine(GetString(2001));
    textColumn.Add(CSpacer::GapV4());
    AddLine(GetStringWithArg(2238, GetVersionString()));
    textColumn.Add(CSpacer::GapV4());
    AddLine(GetString(2242) + L" " + GetString(2243));
    textColumn.Add(CSpacer::GapV7());
    AddLine(GetString(2239));
    AddLine(GetString(2240));
    // The translator's credit, for translations only.
    if (GetString(2006) != L"en")
        AddLine(GetString(2241));
    // The lines stand at the top beside a taller logo.
    textColumn.AddEmpty();

    body.SetCell(0, 0, &logo);
    body.SetCell(1, 0, CSpacer::GapH7());
    body.SetCell(2, 0, &textColumn);

    showOk = !splash;
    showCancel = false;
    buttonPlacement = 2;
    SetContent(&body);

    if (splash) {
        timer.interval = kSplashMilliseconds;
        timer.repeat = false;
        timer.SetOnTimer(CDelegate<CTimer*>::FromFunction(&CloseSplash));
        timer.Start(true);
    }
}

CAboutDlg::~CAboutDlg() { timer.Stop(); }

void CAboutDlg::AddLine(const std::wstring& text)
{
    lines.emplace_back(new CStaticText(text));
    lines.back()->caption.SetAutoMnemonic(false);
    textColumn.Add(lines.back().get());
}

void ShowAboutBox()
{
    TRACE_POINT();
    (new CAboutDlg(false))->DoModal();
}
