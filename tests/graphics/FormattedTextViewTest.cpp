#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "graphics/ClipboardBytes.h"
#include "foundation/Settings.h"
#include "graphics/FormattedTextView.h"
#include "tests/support/DialogDriver.h"
#include "tests/support/FailureReports.h"
#include "tests/support/TestSettings.h"
#include "tests/support/TestWindows.h"
#include "ui/ScrollView.h"

namespace {

const int kHostX = 140;
const int kHostY = 110;
const float kViewWidth = 300.0f;
const float kViewHeight = 160.0f;

std::wstring AllText(CFormattedText& text) { return text.GetText(0, text.GetLength()); }
std::string AllBytes(CFormattedText& text) { return text.Serialize(0, text.GetLength()); }
float Width(const std::wstring& text) { return CFontMetrics(20.0f, false).GetStringWidth(text); }

// Two text views side by side in a visible host, each with its own text and
// its undo record armed; the keys go to the one that has the focus.
struct CViewPair
{
    CViewPair()
    {
        for (int i = 0; i < 2; ++i) {
            texts[i].EnableChangeRecord(true);
            views[i] = std::make_unique<CFormattedTextView>(&texts[i]);
            views[i]->onChange = CMemberDelegate<CFormattedTextView*, CViewPair>::Make(this, &CViewPair::OnChange);
            views[i]->Measure();
            views[i]->CreateNativeWindow(host);
            views[i]->SetBounds(CRectF(i * (kViewWidth + 10.0f), 0.0f, i * (kViewWidth + 10.0f) + kViewWidth,
                                       kViewHeight));
        }
        SetForegroundWindow(host.hwnd);
        Focus(0);
    }
    void OnChange(CFormattedTextView* view) { ++changes; }
    void Focus(int i)
    {
        views[i]->SetFocus();
        focused = i;
        PumpFor(20);
    }
    CFormattedText& Text() { return texts[focused]; }

    // Real key strokes for plain keys; Ctrl is given to the key message,
    // since Wine may reset injected modifiers.
    void Key(WORD virtualKey)
    {
        INPUT input[2] = {};
        for (INPUT& stroke : input) {
            stroke.type = INPUT_KEYBOARD;
            stroke.ki.wVk = virtualKey;
        }
        input[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, input, sizeof(INPUT));
        PumpFor(40);
    }
    void Type(const std::wstring& letters)
    {
        for (wchar_t ch : letters)
            Key(WORD(ch == L' ' ? VK_SPACE : std::towupper(ch)));
    }
    void CtrlKey(WORD virtualKey, bool shift = false)
    {
        SetModifierKeys(true, shift);
        SendMessageW(views[focused]->hwnd, WM_KEYDOWN, virtualKey, 1);
        SetModifierKeys(false, false);
    }
    // The first Home only collapses a selection there is.
    void SelectAllByKeys()
    {
        CtrlKey(VK_HOME);
        CtrlKey(VK_HOME);
        CtrlKey(VK_END, true);
    }

    CPanelTestHost host{kHostX, kHostY, int(2 * kViewWidth + 10.0f), int(kViewHeight)};
    CFormattedText texts[2] = {CFormattedText(20.0f, 50), CFormattedText(20.0f, 50)};
    std::unique_ptr<CFormattedTextView> views[2];
    int focused = 0;
    int changes = 0;
};

void PutOnClipboard(HWND owner, const std::string& privateBlock, const std::wstring& text)
{
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    PutClipboardBytes(CFormattedText::kClipboardFormat, privateBlock.data(), privateBlock.size());
    PutClipboardBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    CloseClipboard();
}

}  // namespace

TEST(FormattedTextView, DrivenKeysTypeDeleteUndoAndBeepAtTheEnds)
{
    CViewPair pair;
    CFormattedText& text = pair.Text();
    pair.Type(L"abc");
    pair.Key(VK_RETURN);
    pair.Type(L"de");
    EXPECT_EQ(L"abc\r\nde\r\n", AllText(text));
    EXPECT_EQ(6, pair.changes);
    pair.Key(VK_BACK);
    pair.Key(VK_BACK);
    pair.Key(VK_BACK);
    EXPECT_EQ(L"abc\r\n", AllText(text));
    pair.CtrlKey('Z');
    EXPECT_EQ(L"abc\r\nde\r\n", AllText(text));
    pair.CtrlKey('Y');
    EXPECT_EQ(L"abc\r\n", AllText(text));
    EXPECT_FALSE(text.CanRedo());

    const struct
    {
        WORD jump;
        WORD step;
        int caret;
    } ends[] = {{VK_HOME, VK_LEFT, 0}, {VK_END, VK_RIGHT, 3}};
    for (const auto& end : ends) {
        pair.CtrlKey(end.jump);
        ASSERT_EQ(end.caret, text.GetCaret());
        const std::string before = AllBytes(text);
        const int beeps = CTextCaret::GetBeepCount();
        pair.Key(end.step);
        EXPECT_EQ(beeps + 1, CTextCaret::GetBeepCount()) << end.step;
        EXPECT_EQ(end.caret, text.GetSelectionStart());
        EXPECT_EQ(end.caret, text.GetSelectionEnd());
        EXPECT_EQ(before, AllBytes(text));
    }
    // With a selection, Left collapses to its start and goes no further.
    text.SetSelection(1, 3, false);
    pair.Key(VK_LEFT);
    EXPECT_EQ(1, text.GetCaret());
    EXPECT_EQ(1, text.GetSelectionEnd());
    // End on an empty last paragraph keeps the caret on its own line.
    pair.CtrlKey(VK_END);
    pair.Key(VK_RETURN);
    pair.Key(VK_HOME);
    pair.Key(VK_END);
    EXPECT_EQ(4, text.GetCaret());
    EXPECT_FLOAT_EQ(text.GetHeight() - text.GetCaretRect().Height(), text.GetCaretRect().top);
}

TEST(FormattedTextView, CopyAndPasteCarryTheFormats)
{
    CViewPair pair;
    CFormattedText& source = pair.texts[0];
    source.InsertText(L"Bold\tand big\nsmall");
    source.SetSelection(0, 4, false);
    source.SetSelectionBold(true);
    source.SetSelection(9, 12, false);
    source.SetSelectionFontSize(30.0f);
    pair.SelectAllByKeys();
    pair.CtrlKey('C');

    ASSERT_TRUE(OpenClipboard(pair.host.hwnd));
    std::string block;
    std::string plain;
    EXPECT_TRUE(GetClipboardBytes(CFormattedText::kClipboardFormat, block));
    EXPECT_TRUE(GetClipboardBytes(CF_UNICODETEXT, plain));
    CloseClipboard();
    const std::string bytes = AllBytes(source);
    ASSERT_GE(block.size(), bytes.size() + 4);
    const uint32_t count = uint8_t(block[0]) | uint8_t(block[1]) << 8 | uint8_t(block[2]) << 16 | uint8_t(block[3]) << 24;
    EXPECT_EQ(bytes.size(), count);
    EXPECT_EQ(bytes, block.substr(4, count));
    const std::wstring expected = L"Bold\tand big\r\nsmall\r\n";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(expected.c_str()), (expected.size() + 1) * 2),
              plain.substr(0, (expected.size() + 1) * 2));

    pair.Focus(1);
    pair.SelectAllByKeys();
    pair.CtrlKey('V');
    EXPECT_EQ(bytes, AllBytes(pair.Text()));

    // A private block that does not hold its count of bytes is not ours:
    // the plain text comes in.
    for (const std::string& foreign : {std::string("\xFF\0\0\0xy", 6), std::string("\xFF\xFF\xFF\x7Fq", 5)}) {
        PutOnClipboard(pair.host.hwnd, foreign, L"plain\r\ntext");
        pair.SelectAllByKeys();
        EXPECT_EQ(0, CountReports([&] { pair.CtrlKey('V'); }));
        EXPECT_EQ(L"plain\r\ntext\r\n", AllText(pair.Text()));
    }
}

TEST(FormattedTextView, MouseSetsTheCaretAndTheContextMenuActsOnTheSelection)
{
    CViewPair pair;
    CFormattedTextView& view = *pair.views[0];
    CFormattedText& text = pair.Text();
    text.InsertText(L"abcdef");
    view.Refresh(false);
    const LPARAM atD = MAKELPARAM(int(Width(L"abc") + 1.0f), 5);
    SendMessageW(view.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(int(Width(L"a") + 1.0f), 5));
    SendMessageW(view.hwnd, WM_MOUSEMOVE, MK_LBUTTON, atD);
    SendMessageW(view.hwnd, WM_LBUTTONUP, 0, atD);
    EXPECT_EQ(1, text.GetSelectionStart());
    EXPECT_EQ(3, text.GetSelectionEnd());

    // A right click inside the selection keeps it for the menu's Delete.
    const LPARAM atC = MAKELPARAM(int(Width(L"ab") + 2.0f), 5);
    EXPECT_EQ(0, RunPopupMenu([&] { SendMessageW(view.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, atC); }, {'D'}));
    EXPECT_EQ(L"adef\r\n", AllText(text));
    // Without a selection it first places the caret.
    const LPARAM atF = MAKELPARAM(int(Width(L"ade") + 1.0f), 5);
    EXPECT_EQ(0, RunPopupMenu([&] { SendMessageW(view.hwnd, WM_RBUTTONDOWN, MK_RBUTTON, atF); }, {VK_ESCAPE}));
    EXPECT_EQ(3, text.GetCaret());
}

TEST(FormattedTextView, DrawsThroughGdiAloneUnlessTheSettingIsZero)
{
    CTestSettingsKey key;
    CFormattedText text(20.0f, 50);
    const bool gdiOnly = CFormattedTextView(&text).gdiOnly;
    CSettings::SetInt(L"FmtTextSimpleScene", 0);
    const CFormattedTextView view(&text);
    EXPECT_TRUE(gdiOnly);
    EXPECT_FALSE(view.gdiOnly);
    EXPECT_TRUE(view.offscreen);
}

TEST(FormattedTextView, TheCaretStaysInViewOfTheScrollView)
{
    CFormattedText text(20.0f, 50);
    CFormattedTextView view(&text);
    CScrollView scroller(&view);
    view.scrollView = &scroller;
    scroller.MeasureWithin(200.0f, 60.0f);
    scroller.SetBounds(CRectF(0.0f, 0.0f, 200.0f, 60.0f));
    for (int line = 0; line < 12; ++line)
        text.InsertText(L"line\n");
    view.Refresh(false);
    EXPECT_EQ(CRectF(0.0f, 0.0f, text.GetWidth(), text.GetHeight()), scroller.extent);
    const CRectF caret = text.GetCaretRect();
    // The half line of room below the caret lies beyond the text's end.
    const float top = view.GetSceneTransform().GetPosition2D().y;
    EXPECT_GE(caret.top - caret.Height() / 2.0f, top);
    EXPECT_LE(caret.bottom, top + 60.0f);
    EXPECT_GT(top, 0.0f);
}

TEST(FormattedTextView, ScreenshotOfMixedSizesBoldATabASelectionAndACaret)
{
    CViewPair pair;
    CFormattedText& text = pair.texts[0];
    text.InsertText(L"Course notes\nBold\tand a tab\nsmall print, selected");
    text.SetSelection(0, 12, false);
    text.SetSelectionFontSize(30.0f);
    text.SetSelection(13, 17, false);
    text.SetSelectionBold(true);
    text.SetSelectionTabStops({120});
    text.SetSelection(28, 39, false);
    text.SetSelectionFontSize(14.0f);
    text.SetSelection(41, 49, false);
    pair.views[0]->Refresh(false);
    // The other view has the focus and shows its caret.
    pair.Focus(1);
    pair.Type(L"caret here");
    pair.Key(VK_LEFT);
    CFormattedTextView& first = *pair.views[0];
    CFormattedTextView& second = *pair.views[1];
    ASSERT_TRUE(PumpUntil([&] { return ReadClientPixel(first.hwnd, 2, 2) == RGB(255, 255, 255); }));
    const CRectF caret = pair.Text().GetCaretRect();
    const int caretY = int(caret.top + caret.Height() / 2.0f);
    second.Refresh(false);
    EXPECT_TRUE(PumpUntil([&] { return ReadClientPixel(second.hwnd, int(caret.left + 0.5f), caretY) == RGB(0, 0, 0); }));
    // The selection box behind black text is light blue; the tab takes "and"
    // to its stop.
    const CRectF box = text.GetCaretRect();
    EXPECT_EQ(RGB(0xA8, 0xCD, 0xF1), ReadClientPixel(first.hwnd, int(box.right) - 3, int(box.top) + 1));
    const std::wstring path = GetTestArtefactPath(L"FormattedTextView.png");
    EXPECT_TRUE(SaveWindowPicture(pair.host.hwnd, path));
    printf("Formatted text screenshot: %ls\n", path.c_str());
}
