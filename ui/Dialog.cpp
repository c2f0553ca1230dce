#include "ui/Dialog.h"

#include "foundation/CrashLog.h"
#include "foundation/GuardedCall.h"
#include "foundation/Strings.h"
#include "ui/Caption.h"
#include "ui/DialogTemplate.h"
#include "ui/HelpHandler.h"
#include "ui/ModalState.h"
#include "ui/TimerPump.h"
#include "ui/UIFontMetrics.h"

static_assert(DWLP_USER == 2 * sizeof(LONG_PTR), "the dialog object lives in the window long after the result and procedure");
static_assert(sizeof(WINDOWPLACEMENT) == 44, "WINDOWPLACEMENT layout differs");

namespace {

CTemplateFont GetTemplateFont()
{
    const CUIFontMetrics& metrics = GetUIFontMetrics();
    CTemplateFont font;
    font.pointSize = metrics.pointSize;
    font.weight = metrics.templateWeight;
    font.italic = metrics.italic;
    font.charSet = metrics.charSet;
    font.faceName = metrics.faceName;
    return font;
}

template <class Handler>
CDelegate<CPushButton*> Bind(CDialog* dialog, Handler handler)
{
    return CMemberDelegate<CPushButton*, CDialog>::Make(dialog, handler);
}

}  // namespace

CDialog::CDialog(const std::wstring& title_)
    : CNativeWindow(false),
      title(title_),
      okButton(GetString(2015), true),
      helpButton(GetString(2014)),
      cancelButton(GetString(2013))
{
    okButton.caption.SetAutoMnemonic(false);
    cancelButton.caption.SetAutoMnemonic(false);
    helpButton.caption.priority = 10;
}

CDialog::~CDialog() = default;

HWND CDialog::GetStatusBarWindow() { return nullptr; }

void CDialog::OnOk()
{
    resultOk = true;
    Close();
}

void CDialog::OnResult() {}

void CDialog::OnHelp()
{
    TRACE_VALUE(std::wstring, helpTopic);
    GetHelpHandler()(helpTopic);
}

void CDialog::OnCancel() { Close(); }

void CDialog::FillControls() {}

bool CDialog::OnInitDialog() { return true; }

void CDialog::SetContent(CWindow* newContent)
{
    TRACE_POINT();
    okButton.onClick = Bind(this, &CDialog::OnOkClicked);
    helpButton.onClick = Bind(this, &CDialog::OnHelpClicked);
    cancelButton.onClick = Bind(this, &CDialog::OnCancelClicked);

    const bool showHelp = !helpTopic.empty() && IsHelpAvailable();
    const int slotCount = 1 + int(showHelp) + int(showOk) + int(showCancel);
    layout.reset(new CDialogLayout(slotCount, buttonPlacement > 1));
    content = layout.get();
    int slot = 0;
    if (showOk)
        layout->SetButton(slot++, &okButton);
    if (showHelp)
        layout->SetButton(slot++, &helpButton);
    if (showCancel)
        layout->SetButton(slot++, &cancelButton);
    layout->SetContent(newContent);
}

void CDialog::DoModal()
{
    TRACE_POINT();
    modal = true;
    framed = true;
    FillControls();

    const HWND owner = GetModalOwnerWindow();
    EnableFrameWindows(owner, false);
    const std::vector<uint16_t> dialogTemplate =
        BuildDialogTemplate(title, true, true, GetTemplateFont(), extraStyle, extraExStyle);
    {
        CModalScope modalRun(this);
        const INT_PTR result =
            DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                    owner, DialogProc, LPARAM(this));
        if (result == -1) {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            ReportFailure(kFailSystemCall);
        }
    }
    EnableFrameWindows(owner, true);

    if (resultOk)
        OnResult();
    if (selfDeleting)
        delete this;
}

void CDialog::ShowModeless(bool framedWindow)
{
    TRACE_POINT();
    modal = false;
    framed = framedWindow;
    const std::vector<uint16_t> dialogTemplate =
        BuildDialogTemplate(title, framed, false, GetTemplateFont(), extraStyle, extraExStyle);
    const HWND window =
        CreateDialogIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(dialogTemplate.data()),
                                   nullptr, DialogProc, LPARAM(this));
    if (!window) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

void CDialog::Close()
{
    TRACE_POINT();
    if (content)
        content->SetDirty();
    // A modeless dialog is deleted while its window is destroyed: nothing of
    // the object may be touched after DestroyWindow.
    const bool ok = modal ? EndDialog(hwnd, 0) != FALSE : DestroyWindow(hwnd) != FALSE;
    if (!ok) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

RECT CDialog::PlaceContent(CWindow& placed, const RECT& workArea, int frameWidth, int frameHeight)
{
    const int workWidth = workArea.right - workArea.left;
    const int workHeight = workArea.bottom - workArea.top;
    if (placed.DependsOnAvailableSize())
        placed.MeasureWithin(float(workWidth - frameWidth), float(workHeight - frameHeight));
    else
        placed.Measure();

    int width = placed.preferredWidth + frameWidth;
    if (width > workWidth)
        width = workWidth;
    int height = placed.preferredHeight + frameHeight;
    if (height > workHeight)
        height = workHeight;
    RECT window;
    window.left = workArea.left + (workWidth - width) / 2;
    window.top = workArea.top + (workHeight - height) / 2;
    window.right = window.left + width;
    window.bottom = window.top + height;

    const int clientWidth = width - frameWidth > placed.minWidth ? width - frameWidth : placed.minWidth;
    const int clientHeight = height - frameHeight > placed.minHeight ? height - frameHeight : placed.minHeight;
    placed.SetBounds(CRectF(0.0f, 0.0f, float(clientWidth), float(clientHeight)));
    return window;
}

void CDialog::OnInitDialogMessage()
{
    TRACE_POINT();
    // A dialog object shown again numbers and keys its controls afresh.
    captions.clear();
    children.assign(kFirstChildId, nullptr);
    defaultButton = nullptr;
    if (!content) {
        okButton.onClick = Bind(this, &CDialog::OnOkClicked);
        content = &okButton;
    }

    int frameWidth = 0;
    int frameHeight = 0;
    if (framed) {
        frameWidth = 2 * GetSystemMetrics(SM_CXDLGFRAME);
        frameHeight = 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
    } else {
        // No caption: only a border that an extra style may give it.
        RECT frame = {0, 0, 0, 0};
        AdjustWindowRectEx(&frame, DWORD(GetWindowLongW(hwnd, GWL_STYLE)), FALSE,
                           DWORD(GetWindowLongW(hwnd, GWL_EXSTYLE)));
        frameWidth = frame.right - frame.left;
        frameHeight = frame.bottom - frame.top;
    }
    RECT workArea = {0, 0, 0, 0};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0))
        ReportFailure(kFailSystemCall);
    const RECT placement = PlaceContent(*content, workArea, frameWidth, frameHeight);

    content->CollectCaptions(*this);
    AssignAccessKeys(captions);
    content->CreateNativeWindow(*this);

    // The normal position of a window placement is in work-area coordinates.
    WINDOWPLACEMENT windowPlacement = {sizeof windowPlacement};
    windowPlacement.flags = 0;
    windowPlacement.showCmd = modal ? SW_HIDE : activateWhenShown ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE;
    windowPlacement.rcNormalPosition = placement;
    OffsetRect(&windowPlacement.rcNormalPosition, -workArea.left, -workArea.top);
    if (!SetWindowPlacement(hwnd, &windowPlacement)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }

    if (defaultButton) {
        const int id = GetDlgCtrlID(defaultButton);
        if (id == 0)
            ReportFailure();
        else
            PostMessageW(hwnd, DM_SETDEFID, WPARAM(id), 0);
    }
    if (activateWhenShown)
        SetForegroundWindow(hwnd);
    UpdateWindow(hwnd);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWatchedSection watched;
    TRACE_VALUE(int32_t, int32_t(message));
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, LONG_PTR(dialog));
        if (!dialog) {
            ReportFailure();
            return TRUE;
        }
        dialog->hwnd = window;
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CLOSE:
    case WM_DESTROY: {
        if (!dialog) {
            ReportFailure();
            return 0;
        }
        INT_PTR result = 0;
        if (!CallGuarded([&] { result = dialog->HandleMessage(message, wParam, lParam); }))
            result = 0;
        return result;
    }
    case WM_ENTERIDLE:
        if (dialog)
            CallGuarded([] { PumpAfterMessage(WM_ENTERIDLE); });
        return 0;
    default:
        return 0;
    }
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        OnInitDialogMessage();
        const bool defaultFocus = OnInitDialog();
        // A dialog that is not to be activated takes no focus either: the
        // focus on one of its controls would activate it.
        return INT_PTR(uint8_t(defaultFocus && activateWhenShown));
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            OnOk();
            break;
        case IDCANCEL:
            OnCancel();
            break;
        case IDHELP:
            OnHelp();
            break;
        default:
            DispatchCommand(HIWORD(wParam), LOWORD(wParam), HWND(lParam));
            break;
        }
        return 0;
    case WM_NOTIFY:
        DispatchNotify(reinterpret_cast<NMHDR*>(lParam));
        return 0;
    case WM_HSCROLL:
    case WM_VSCROLL:
        // The high word holds the thumb position, not part of the code.
        DispatchScroll(LOWORD(wParam), HWND(lParam));
        return 0;
    case WM_CLOSE:
        if (content && !content->closed)
            content->SetDirty();
        return 0;
    case WM_DESTROY:
        if (!modal) {
            SetWindowLongPtrW(hwnd, DWLP_USER, 0);
            delete this;
        }
        return 0;
    default:
        return 0;
    }
}
