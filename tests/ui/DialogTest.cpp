#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <thread>

#include "foundation/CrashLog.h"
#include "foundation/Strings.h"
#include "foundation/WebAccess.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSupport.h"
#include "tests/support/TestWindows.h"
#include "tests/ui/UiTestWindows.h"
#include "ui/ComboBox.h"
#include "ui/Dialog.h"
#include "ui/EditBox.h"
#include "ui/FrameWindowList.h"
#include "ui/HelpHandler.h"
#include "ui/ModalState.h"
#include "ui/ScrollBar.h"
#include "ui/SpinEdit.h"
#include "ui/StaticText.h"
#include "ui/UIFontMetrics.h"

namespace {

// Help buttons appear only where web pages can be opened. The test machine
// has no browser: these tests pretend it has one (before the process-wide
// web access is first built), so that dialogs with a help topic show Help.
bool FakeConnected(DWORD* flags)
{
    *flags = 2;   // INTERNET_CONNECTION_LAN
    return true;
}
bool FakeHasClassKey(const wchar_t*) { return true; }
const bool g_browserPretended = [] {
    CWebAccess::GetSystemCalls().getConnectedFlags = &FakeConnected;
    CWebAccess::GetSystemCalls().hasClassKey = &FakeHasClassKey;
    return true;
}();

struct CSampleResult
{
    bool applied = false;
    bool destroyed = false;
    std::wstring name;
    int height = -1;
    int colour = -1;
    bool curved = false;
    bool numbers = false;
};

// The sample dialog: labels beside an edit, a spin edit, a combo box, two
// radio buttons and a check box; OK, Help and Cancel.
class CSampleDialog : public CDialog
{
public:
    explicit CSampleDialog(CSampleResult& result)
        : CDialog(L"Sample"),
          m_result(result),
          m_grid(3, 9),
          m_nameLabel(L"Name"),
          m_name(4, 16),
          m_heightLabel(L"Height"),
          m_height(0, 100, 5),
          m_colourLabel(L"Colour"),
          m_colour(false),
          m_kindLabel(L"Kind"),
          m_kinds(true),
          m_straight(&m_kinds, L"Straight", true),
          m_curved(&m_kinds, L"Curved"),
          m_numbers(L"Show numbers")
    {
        helpTopic = L"Sample";
        m_kinds.Add(&m_straight);
        m_kinds.Add(&m_curved);
        m_grid.SetCell(0, 0, &m_nameLabel);
        m_grid.SetCell(2, 0, &m_name);
        m_grid.SetCell(0, 2, &m_heightLabel);
        m_grid.SetCell(2, 2, &m_height);
        m_grid.SetCell(0, 4, &m_colourLabel);
        m_grid.SetCell(2, 4, &m_colour);
        m_grid.SetCell(0, 6, &m_kindLabel);
        m_grid.SetCell(2, 6, &m_kinds);
        m_grid.SetCell(2, 8, &m_numbers);
        m_grid.SetCell(1, 0, CSpacer::GapH4());
        for (int row : {1, 3, 5, 7})
            m_grid.SetCell(0, row, CSpacer::GapV4());
        SetContent(&m_grid);
    }
    ~CSampleDialog() override { m_result.destroyed = true; }

    void FillControls() override
    {
        m_name.SetText(L"Jump");
        m_height.SetValue(10);
        for (const wchar_t* colour : {L"Red", L"Green", L"Blue"})
            m_colour.AddItem(colour);
        m_colour.SelectItem(0);
    }

    void OnResult() override
    {
        m_result.applied = true;
        m_result.name = m_name.GetText();
        m_height.GetValue(m_result.height, false);
        m_result.colour = m_colour.GetSelection();
        m_result.curved = m_curved.checked;
        m_result.numbers = m_numbers.checked;
    }

private:
    CSampleResult& m_result;
    CGridLayout m_grid;
    CStaticText m_nameLabel;
    CEditBox m_name;
    CStaticText m_heightLabel;
    CRangeSpinEdit m_height;
    CStaticText m_colourLabel;
    CComboBox m_colour;
    CStaticText m_kindLabel;
    CGridLayout m_kinds;
    CRadioButton m_straight;
    CRadioButton m_curved;
    CCheckBox m_numbers;
};

// A dialog with nothing but the standard buttons.
class CPlainDialog : public CDialog
{
public:
    CPlainDialog(int& okCount, int& cancelCount) : CDialog(L"Plain"), m_ok(okCount), m_cancel(cancelCount)
    {
        selfDeleting = false;
        // A label above room that stretches (a lone label's fixed height
        // would be lower than the button column).
        m_body.Add(&m_label);
        m_body.AddEmpty();
        SetContent(&m_body);
    }
    void OnOk() override
    {
        ++m_ok;
        CDialog::OnOk();
    }
    void OnCancel() override
    {
        ++m_cancel;
        CDialog::OnCancel();
    }

    CGridLayout m_body{true};
    CStaticText m_label{L"Nothing to see"};

private:
    int& m_ok;
    int& m_cancel;
};

class CHelpRecorder
{
public:
    void OnHelp(const std::wstring& topic) { topics.push_back(topic); }
    std::vector<std::wstring> topics;
};

// The captions of the sample dialog in the order the dialog collects them,
// with the keys the access-key rules give them.
std::vector<std::wstring> ExpectedDisplayTexts(bool withHelp)
{
    std::deque<CCaption> captions;
    for (const wchar_t* text : {L"Name", L"Height", L"Colour", L"Kind", L"Straight", L"Curved", L"Show numbers"})
        captions.emplace_back(text);
    captions.emplace_back(GetString(2015));
    captions.back().SetAutoMnemonic(false);
    if (withHelp) {
        captions.emplace_back(GetString(2014));
        captions.back().priority = 10;
    }
    captions.emplace_back(GetString(2013));
    captions.back().SetAutoMnemonic(false);
    std::deque<CCaption*> list;
    for (CCaption& caption : captions)
        list.push_back(&caption);
    AssignAccessKeys(list);
    std::vector<std::wstring> texts;
    for (const CCaption& caption : captions)
        texts.push_back(caption.GetDisplayText());
    return texts;
}

// Waits until the pixel at the client point has the colour.
bool WaitForPixel(HWND window, int x, int y, COLORREF colour)
{
    for (int i = 0; i < 300; ++i) {
        if (ReadClientPixel(window, x, y) == colour)
            return true;
        Sleep(10);
    }
    return false;
}

}  // namespace

TEST(DialogLayout, OkAndCancelInTheRightColumnStandAtTheTop)
{
    int ok = 0;
    int cancel = 0;
    CPlainDialog dialog(ok, cancel);
    ASSERT_NE(nullptr, dialog.layout);
    EXPECT_EQ(3, dialog.layout->slotCount);
    EXPECT_EQ(&dialog.okButton, dialog.layout->buttons.GetCell(0, 0));
    EXPECT_EQ(CSpacer::GapV4to7(), dialog.layout->buttons.GetCell(0, 1));
    EXPECT_EQ(&dialog.cancelButton, dialog.layout->buttons.GetCell(0, 2));
    EXPECT_EQ(CSpacer::GapV4to7(), dialog.layout->buttons.GetCell(0, 3));
    EXPECT_EQ(CSpacer::EmptyCell(), dialog.layout->buttons.GetCell(0, 4));

    dialog.content->Measure();
    const int width = dialog.content->preferredWidth;
    dialog.content->SetBounds(CRectF(0.0f, 0.0f, float(width), 300.0f));
    const int top = DluToPixelsY(7);
    EXPECT_EQ(float(top), dialog.okButton.bounds.top);
    EXPECT_EQ(float(top + DluToPixelsY(14) + DluToPixelsY(7)), dialog.cancelButton.bounds.top);
    // Right margin of 7 DLU.
    EXPECT_EQ(float(width - DluToPixelsX(7)), dialog.okButton.bounds.right);
    EXPECT_EQ(float(DluToPixelsX(7)), dialog.m_label.bounds.left);
}

TEST(DialogLayout, ButtonsInABottomRowAreCentred)
{
    int ok = 0;
    int cancel = 0;
    CPlainDialog dialog(ok, cancel);
    dialog.buttonPlacement = 2;
    dialog.SetContent(&dialog.m_body);
    CGridLayout& buttons = dialog.layout->buttons;
    ASSERT_EQ(6, buttons.GetColumnCount());
    EXPECT_EQ(&dialog.okButton, buttons.GetCell(1, 0));
    EXPECT_EQ(CSpacer::GapH4to7(), buttons.GetCell(2, 0));
    EXPECT_EQ(&dialog.cancelButton, buttons.GetCell(3, 0));
    EXPECT_EQ(CSpacer::GapH4to7(), buttons.GetCell(4, 0));

    dialog.content->Measure();
    dialog.content->SetBounds(CRectF(0.0f, 0.0f, 600.0f, float(dialog.content->preferredHeight)));
    // OK, gap, Cancel, gap stand in the middle: equal room on either side.
    const int left = int(dialog.okButton.bounds.left) - DluToPixelsX(7);
    const int right = 600 - DluToPixelsX(7) - (int(dialog.cancelButton.bounds.right) + DluToPixelsX(7));
    EXPECT_LE(std::abs(left - right), 1);
    EXPECT_GT(left, 100);
    // Content above the buttons.
    EXPECT_LT(dialog.m_label.bounds.bottom, dialog.okButton.bounds.top);
}

TEST(DialogLayout, OneSlotBottomRowHasThreeColumns)
{
    CDialogLayout layout(1, true);
    EXPECT_EQ(3, layout.buttons.GetColumnCount());
    CDialogLayout column(1, false);
    EXPECT_EQ(2, column.buttons.GetRowCount());
    const int before = ReportCount();
    CDialogLayout none(0, false);
    EXPECT_EQ(before + 1, ReportCount());
    EXPECT_EQ(1, none.slotCount);
}

TEST(Dialog, ContentLargerThanTheWorkAreaIsClippedAndCentred)
{
    CFixedWindow big(300, 900, 0, 1, 700, 700, 0, 1);
    const RECT work = {100, 50, 900, 650};
    const RECT placed = CDialog::PlaceContent(big, work, 10, 30);
    EXPECT_EQ(100, placed.left);
    EXPECT_EQ(900, placed.right);
    EXPECT_EQ(50, placed.top);
    EXPECT_EQ(650, placed.bottom);
    // The content still gets at least its minimum size.
    EXPECT_EQ(CRectF(0.0f, 0.0f, 790.0f, 700.0f), big.bounds);

    CFixedWindow small(50, 100, 0, 1, 20, 60, 0, 1);
    const RECT centred = CDialog::PlaceContent(small, work, 10, 30);
    EXPECT_EQ(100 + (800 - 110) / 2, centred.left);
    EXPECT_EQ(50 + (600 - 90) / 2, centred.top);
    EXPECT_EQ(110, centred.right - centred.left);
    EXPECT_EQ(90, centred.bottom - centred.top);
    EXPECT_EQ(CRectF(0.0f, 0.0f, 100.0f, 60.0f), small.bounds);
}

TEST(Dialog, ContentThatDependsOnTheSpaceIsOfferedTheWorkArea)
{
    CWrappingWindow text(100000);
    const RECT work = {0, 0, 800, 600};
    CDialog::PlaceContent(text, work, 10, 30);
    EXPECT_FLOAT_EQ(790.0f, text.offeredWidth);
    EXPECT_FLOAT_EQ(570.0f, text.offeredHeight);
}

TEST(Dialog, ASampleDialogIsBuiltFilledDrivenAndAnswers)
{
    CHelpRecorder help;
    SetHelpHandler(CMemberDelegate<const std::wstring&, CHelpRecorder>::Make(&help, &CHelpRecorder::OnHelp));
    const bool withHelp = IsHelpAvailable();
    ASSERT_TRUE(g_browserPretended && withHelp);

    CSampleResult result;
    std::vector<CDialogChild> children;
    LRESULT defaultId = 0;
    RECT client = {};
    std::wstring title;
    std::wstring picture = GetTestArtefactPath(L"ui-sample-dialog.png");
    bool painted = false;
    bool saved = false;
    int modalCount = -1;
    std::thread driver([&] {
        HWND dialog = WaitForDialog();
        if (!dialog)
            return;
        title = GetWindowTextString(dialog);
        GetClientRect(dialog, &client);
        modalCount = GetModalCount();
        children = ListDialogChildren(dialog);
        defaultId = SendMessageW(dialog, DM_GETDEFID, 0, 0);
        auto byClass = [&](const wchar_t* className, int nth) -> HWND {
            for (const CDialogChild& child : children)
                if (child.className == className && nth-- == 0)
                    return child.window;
            return nullptr;
        };
        TypeIntoEdit(byClass(L"Edit", 0), L"Tire");
        ClickUpDown(byClass(UPDOWN_CLASSW, 0), true);
        ChooseComboItem(byClass(L"ComboBox", 0), 2);
        ClickControl(byClass(L"Button", 1));   // Curved
        ClickControl(byClass(L"Button", 2));   // Show numbers
        if (withHelp)
            ClickControl(byClass(L"Button", 4));

        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        painted = WaitForPixel(dialog, 1, 1, GetSysColor(COLOR_BTNFACE));
        Sleep(200);
        saved = SaveWindowPicture(dialog, picture);
        ClickControl(byClass(L"Button", 3));   // OK
    });
    (new CSampleDialog(result))->DoModal();
    driver.join();

    EXPECT_EQ(L"Sample", title);
    EXPECT_EQ(1, modalCount);
    EXPECT_EQ(0, GetModalCount());
    EXPECT_TRUE(painted);
    EXPECT_TRUE(saved);
    std::printf("Sample dialog picture: %ls\n", picture.c_str());

    // The controls in creation order, numbered from 10.
    const std::vector<std::wstring> classes = {L"Static", L"Edit", L"Static", L"Edit", UPDOWN_CLASSW, L"Static",
                                               L"ComboBox", L"Static", L"Button", L"Button", L"Button", L"Button"};
    ASSERT_EQ(classes.size() + (withHelp ? 2 : 1), children.size());
    for (size_t i = 0; i < children.size(); ++i) {
        EXPECT_EQ(int(10 + i), children[i].id) << i;
        if (i < classes.size()) {
            EXPECT_EQ(classes[i], children[i].className) << i;
        }
    }

    // Captions show the keys the access-key rules give, in collection order.
    std::vector<std::wstring> shown;
    for (const CDialogChild& child : children)
        if (child.className == L"Static" || child.className == L"Button")
            shown.push_back(child.text);
    EXPECT_EQ(ExpectedDisplayTexts(withHelp), shown);
    EXPECT_EQ(std::wstring::npos, shown[shown.size() - 1].find(L'&'));   // Cancel

    // OK (id 21) is the default push button.
    const CDialogChild& ok = children[11];
    EXPECT_EQ(GetString(2015), ok.text);
    EXPECT_TRUE(ok.style & BS_DEFPUSHBUTTON);
    EXPECT_EQ(MAKELRESULT(ok.id, DC_HASDEFID), defaultId);

    // Layout: each label is centred on its control; the buttons stand at the
    // right, top-aligned with the content; 7 DLU margins.
    const RECT nameLabel = children[0].rect;
    const RECT nameEdit = children[1].rect;
    EXPECT_LE(std::abs((nameLabel.top + nameLabel.bottom) - (nameEdit.top + nameEdit.bottom)), 1);
    EXPECT_EQ(DluToPixelsX(7), nameLabel.left);
    EXPECT_EQ(DluToPixelsY(7), nameEdit.top);
    EXPECT_EQ(nameEdit.top, ok.rect.top);
    EXPECT_GE(ok.rect.left, nameEdit.right + DluToPixelsX(7));
    // The client area holds the content with its margins, no more, no less.
    const RECT numbers = children[10].rect;
    EXPECT_EQ(client.bottom, numbers.bottom + DluToPixelsY(7));
    EXPECT_EQ(client.right, children.back().rect.right + DluToPixelsX(7));

    // The values came back through OnResult, and the dialog deleted itself.
    EXPECT_TRUE(result.applied);
    EXPECT_TRUE(result.destroyed);
    EXPECT_EQ(L"Tire", result.name);
    EXPECT_EQ(15, result.height);
    EXPECT_EQ(2, result.colour);
    EXPECT_TRUE(result.curved);
    EXPECT_TRUE(result.numbers);
    if (withHelp) {
        EXPECT_EQ(std::vector<std::wstring>{L"Sample"}, help.topics);
    }
    SetHelpHandler(HelpDelegate());
}

TEST(Dialog, EscapeAndEnterReachCancelAndOk)
{
    int ok = 0;
    int cancel = 0;
    for (UINT key : {VK_ESCAPE, VK_RETURN}) {
        CPlainDialog dialog(ok, cancel);
        std::thread driver([&] {
            HWND window = WaitForDialog();
            if (window)
                PressKey(GetDlgItem(window, 10), key);
        });
        dialog.DoModal();
        driver.join();
        EXPECT_EQ(key == VK_RETURN, dialog.resultOk);
    }
    EXPECT_EQ(1, cancel);
    EXPECT_EQ(1, ok);
}

TEST(Dialog, CancelGivesNoResult)
{
    CSampleResult result;
    std::thread driver([&] {
        HWND window = WaitForDialog();
        if (window)
            PressDialogButton(window, IDCANCEL);
    });
    (new CSampleDialog(result))->DoModal();
    driver.join();
    EXPECT_FALSE(result.applied);
    EXPECT_TRUE(result.destroyed);
}

namespace {

// A dialog whose button runs a second dialog modally.
class CNestingDialog : public CDialog
{
public:
    CNestingDialog() : CDialog(L"Outer"), m_open(L"Open")
    {
        selfDeleting = false;
        m_open.SetOnClick(CMemberDelegate<CPushButton*, CNestingDialog>::Make(this, &CNestingDialog::OnOpen));
        SetContent(&m_open);
    }
    void OnOpen(CPushButton*)
    {
        ownerOfInner = GetModalOwnerWindow();
        int ok = 0;
        int cancel = 0;
        CPlainDialog inner(ok, cancel);
        inner.DoModal();
    }

    HWND ownerOfInner = nullptr;

private:
    CPushButton m_open;
};

}  // namespace

TEST(Dialog, ModalDialogsDisableFrameWindowsOnceAndOwnTheirInnerDialogs)
{
    HWND defaultOwner = CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                        GetModuleHandleW(nullptr), nullptr);
    SetDefaultOwnerWindow(defaultOwner);
    EXPECT_EQ(defaultOwner, GetModalOwnerWindow());
    {
        CTestFrame frame;
        CTestFrame other;
        EXPECT_EQ(other.hwnd, GetModalOwnerWindow());   // the most recently activated
        CFrameWindowList::Activate(&frame);
        EXPECT_EQ(frame.hwnd, GetModalOwnerWindow());

        CNestingDialog outer;
        bool otherDisabledOuter = false;
        bool frameEnabledOuter = false;
        bool otherDisabledInner = false;
        bool otherDisabledAfterInner = false;
        HWND outerWindow = nullptr;
        HWND innerOwner = nullptr;
        std::thread driver([&] {
            outerWindow = WaitForDialogTitled(L"Outer");
            if (!outerWindow)
                return;
            otherDisabledOuter = !IsWindowEnabled(other.hwnd);
            frameEnabledOuter = GetWindow(outerWindow, GW_OWNER) == frame.hwnd;
            PostMessageW(GetDlgItem(outerWindow, 10), BM_CLICK, 0, 0);
            HWND inner = WaitForDialogTitled(L"Plain");
            if (inner) {
                otherDisabledInner = !IsWindowEnabled(other.hwnd);
                innerOwner = GetWindow(inner, GW_OWNER);
                PressDialogButton(inner, IDCANCEL);
                while (IsWindow(inner))
                    Sleep(10);
            }
            otherDisabledAfterInner = !IsWindowEnabled(other.hwnd);
            PressDialogButton(outerWindow, IDCANCEL);
        });
        outer.DoModal();
        driver.join();
        EXPECT_TRUE(otherDisabledOuter);
        EXPECT_TRUE(frameEnabledOuter);
        EXPECT_TRUE(otherDisabledInner);
        EXPECT_TRUE(otherDisabledAfterInner);   // the nested run left them as they were
        EXPECT_EQ(outerWindow, innerOwner);
        EXPECT_EQ(outerWindow, outer.ownerOfInner);
        EXPECT_TRUE(IsWindowEnabled(other.hwnd));
        EXPECT_TRUE(IsWindowEnabled(frame.hwnd));
    }
    SetDefaultOwnerWindow(nullptr);
    DestroyWindow(defaultOwner);
}

TEST(Dialog, AModelessDialogDeletesItselfWhenClosed)
{
    CSampleResult result;
    CSampleDialog* dialog = new CSampleDialog(result);
    dialog->ShowModeless(true);
    ASSERT_NE(nullptr, dialog->hwnd);
    const HWND window = dialog->hwnd;
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(DWORD(WS_CAPTION), DWORD(GetWindowLongW(window, GWL_STYLE)) & WS_CAPTION);
    EXPECT_EQ(0, GetModalCount());
    EXPECT_FALSE(result.destroyed);
    dialog->Close();
    EXPECT_TRUE(result.destroyed);
    EXPECT_FALSE(IsWindow(window));
}

namespace {

// A dialog holding a scroll bar, kept after its run.
class CScrollDialog : public CDialog
{
public:
    CScrollDialog() : CDialog(L"Scroll"), bar(true)
    {
        selfDeleting = false;
        bar.SetRange(0, 100, 0, 10);
        bar.SetOnPositionChanged(CMemberDelegate<CScrollBar*, CScrollDialog>::Make(this, &CScrollDialog::OnMoved));
        m_body.Add(&bar);
        m_body.Add(&edit);
        SetContent(&m_body);
    }
    void OnMoved(CScrollBar*) { ++moves; }

    CScrollBar bar;
    CEditBox edit;
    int moves = 0;

private:
    CGridLayout m_body{false};
};

}  // namespace

TEST(Dialog, ScrollCodesArriveWithoutTheThumbPosition)
{
    CScrollDialog dialog;
    int positionWhileUp = -1;
    std::thread driver([&] {
        HWND window = WaitForDialogTitled(L"Scroll");
        if (!window)
            return;
        HWND bar = GetDlgItem(window, 10);
        // The high word carries a thumb position that is not part of the code.
        SendMessageW(window, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 55), LPARAM(bar));
        positionWhileUp = GetScrollPos(bar, SB_CTL);
        TypeIntoEdit(GetDlgItem(window, 11), L"kept");
        PressDialogButton(window, IDOK);
    });
    dialog.DoModal();
    driver.join();
    EXPECT_EQ(100, dialog.bar.GetPosition());
    EXPECT_EQ(100, positionWhileUp);
    EXPECT_EQ(1, dialog.moves);

    // The native windows are gone; the controls answer from their state and
    // touch no window any more.
    EXPECT_EQ(nullptr, dialog.bar.hwnd);
    EXPECT_EQ(nullptr, dialog.edit.hwnd);
    EXPECT_EQ(L"kept", dialog.edit.GetText());
    dialog.edit.SetText(L"later");
    EXPECT_EQ(L"later", dialog.edit.GetText());
    dialog.bar.SetPosition(30);
    EXPECT_EQ(30, dialog.bar.GetPosition());
}
