#include <gtest/gtest.h>

#include "ui/Caption.h"

namespace {

CCaption MakeCaption(const wchar_t* text, int priority = 0)
{
    CCaption caption(text);
    caption.priority = priority;
    return caption;
}

}  // namespace

TEST(Caption, FoldsLettersAndLatin1Accents)
{
    EXPECT_EQ(L'A', FoldAccessKeyChar(L'a'));
    EXPECT_EQ(L'Z', FoldAccessKeyChar(L'Z'));
    EXPECT_EQ(L'A', FoldAccessKeyChar(0xC5));   // Å
    EXPECT_EQ(L'C', FoldAccessKeyChar(0xE7));   // ç
    EXPECT_EQ(L'N', FoldAccessKeyChar(0xF1));   // ñ
    EXPECT_EQ(L'Y', FoldAccessKeyChar(0xFF));   // ÿ
    EXPECT_EQ(L'Y', FoldAccessKeyChar(0xDD));   // Ý
    for (wchar_t c : {wchar_t(0xC6), wchar_t(0xD0), wchar_t(0xD7), wchar_t(0xD8), wchar_t(0xDE), wchar_t(0xDF),
                      wchar_t(0xE6), wchar_t(0xF0), wchar_t(0xF7), wchar_t(0xF8), wchar_t(0xFE), L'1', L' ', L'&',
                      wchar_t(0x100)})
        EXPECT_EQ(0, FoldAccessKeyChar(c)) << int(c);
}

TEST(Caption, PositionScoresWithoutSharedPrefix)
{
    EXPECT_FLOAT_EQ(250.0f, MakeCaption(L"Width").GetPositionScore(0));
    EXPECT_FLOAT_EQ(100.0f, MakeCaption(L"width").GetPositionScore(0));
    EXPECT_FLOAT_EQ(15.0f, MakeCaption(L"width").GetPositionScore(2));
}

TEST(Caption, PositionScoresInsideASharedPrefix)
{
    CCaption caption = MakeCaption(L"Line width");
    caption.sharedPrefix = 5;
    EXPECT_FLOAT_EQ(10.0f, caption.GetPositionScore(0));
    EXPECT_FLOAT_EQ(0.75f, caption.GetPositionScore(1));
    // The first position after the prefix weighs 25 times more, and starts a word.
    EXPECT_FLOAT_EQ(100.0f, caption.GetPositionScore(5));
}

TEST(Caption, SetMnemonicChoosesTheBestPositionOfTheLetter)
{
    // "l" at 2 scores 3/5 * 100 = 60, "L" at 7 scores 3/10 * 250 = 75.
    CCaption caption = MakeCaption(L"a line Length");
    caption.SetMnemonic(L'L');
    EXPECT_EQ(7, caption.keyPosition);
    EXPECT_EQ(L"a line &Length", caption.GetDisplayText());
    // In "line Length" the first letter is nearer: 100 against 3/8 * 250.
    caption.SetText(L"line Length");
    EXPECT_EQ(0, caption.keyPosition);

    caption.SetMnemonic(L'Q');
    EXPECT_EQ(0, caption.key);
    EXPECT_EQ(-1, caption.keyPosition);
    EXPECT_EQ(L"line Length", caption.GetDisplayText());
}

TEST(Caption, SetMnemonicWithADigitTakesItsFirstOccurrence)
{
    CCaption caption = MakeCaption(L"Size 12 or 2");
    caption.SetMnemonic(L'2');
    EXPECT_EQ(6, caption.keyPosition);
    EXPECT_EQ(L"Size 1&2 or 2", caption.GetDisplayText());
}

TEST(Caption, SetTextPlacesTheKeyAgain)
{
    CCaption caption = MakeCaption(L"Width");
    caption.SetMnemonic(L'D');
    EXPECT_EQ(L"Wi&dth", caption.GetDisplayText());
    caption.SetText(L"Dog width");
    EXPECT_EQ(L"&Dog width", caption.GetDisplayText());
    caption.SetText(L"Height");
    EXPECT_EQ(0, caption.key);
    EXPECT_EQ(L"Height", caption.GetDisplayText());
}

TEST(Caption, ForbiddingAnAutomaticKeyDropsTheChosenOne)
{
    CCaption caption = MakeCaption(L"Width");
    caption.SetMnemonic(L'W');
    caption.SetAutoMnemonic(false);
    EXPECT_FALSE(caption.autoKey);
    EXPECT_EQ(0, caption.key);
    EXPECT_EQ(L"Width", caption.GetDisplayText());
}

TEST(Caption, CaptionsSharingAFirstWordKeyAfterIt)
{
    CCaption width = MakeCaption(L"Line width");
    CCaption colour = MakeCaption(L"Line colour");
    AssignAccessKeys({&width, &colour});
    EXPECT_EQ(5, width.sharedPrefix);
    EXPECT_EQ(5, colour.sharedPrefix);
    EXPECT_EQ(L"Line &width", width.GetDisplayText());
    EXPECT_EQ(L"Line &colour", colour.GetDisplayText());
}

TEST(Caption, CaptionsDifferingInsideTheFirstWordShareNoPrefix)
{
    CCaption colour = MakeCaption(L"Colour");
    CCaption column = MakeCaption(L"Column");
    AssignAccessKeys({&colour, &column});
    EXPECT_EQ(0, colour.sharedPrefix);
    EXPECT_EQ(0, column.sharedPrefix);
    EXPECT_NE(colour.key, column.key);
    EXPECT_EQ(L"&Colour", colour.GetDisplayText());
}

TEST(Caption, HigherPriorityChoosesFirst)
{
    CCaption height = MakeCaption(L"Height");
    CCaption help = MakeCaption(L"Help", 10);
    AssignAccessKeys({&height, &help});
    EXPECT_EQ(L"&Help", help.GetDisplayText());
    EXPECT_EQ(L"H&eight", height.GetDisplayText());
}

TEST(Caption, OnlyCaptionsOfNoHigherPriorityCountForTheSharedPrefix)
{
    // Only captions of the same or lower priority count for the shared prefix.
    CCaption low = MakeCaption(L"Line width", 0);
    CCaption high = MakeCaption(L"Line colour", 5);
    AssignAccessKeys({&low, &high});
    EXPECT_EQ(0, low.sharedPrefix);
    EXPECT_EQ(5, high.sharedPrefix);
}

TEST(Caption, DigitsAfterTheSharedPrefixBecomeKeys)
{
    CCaption one = MakeCaption(L"Size 1");
    CCaption two = MakeCaption(L"Size 2");
    AssignAccessKeys({&one, &two});
    EXPECT_EQ(L"Size &1", one.GetDisplayText());
    EXPECT_EQ(L"Size &2", two.GetDisplayText());
}

TEST(Caption, TwoCaptionsCannotTakeTheSameDigit)
{
    // "Size 1" and "Width 1" both find "1" after their shared prefix; the
    // higher priority wins it and the other falls back to a letter.
    CCaption size1 = MakeCaption(L"Size 1", 1);
    CCaption size2 = MakeCaption(L"Size 2", 0);
    CCaption width1 = MakeCaption(L"Width 1", 0);
    CCaption width3 = MakeCaption(L"Width 3", 0);
    AssignAccessKeys({&size1, &size2, &width1, &width3});
    EXPECT_EQ(5, size1.sharedPrefix);
    EXPECT_EQ(6, width1.sharedPrefix);
    EXPECT_EQ(L"Size &1", size1.GetDisplayText());
    EXPECT_EQ(L"Width &3", width3.GetDisplayText());
    EXPECT_NE(0, width1.key);
    EXPECT_NE(L'1', width1.key);
}

TEST(Caption, ACaptionWithNoFreeLetterShowsItsPlainText)
{
    CCaption first = MakeCaption(L"X");
    CCaption second = MakeCaption(L"x");
    AssignAccessKeys({&first, &second});
    EXPECT_EQ(L"&X", first.GetDisplayText());
    EXPECT_EQ(0, second.key);
    EXPECT_EQ(L"x", second.GetDisplayText());
}

TEST(Caption, KeysAlreadySetAndForbiddenCaptionsAreRespected)
{
    CCaption ok = MakeCaption(L"OK");
    ok.SetAutoMnemonic(false);
    CCaption fixed = MakeCaption(L"Width");
    fixed.SetMnemonic(L'W');
    CCaption other = MakeCaption(L"Wide");
    AssignAccessKeys({&ok, &fixed, &other});
    EXPECT_EQ(0, ok.key);
    EXPECT_EQ(L"&Width", fixed.GetDisplayText());
    EXPECT_NE(L'W', other.key);
    EXPECT_NE(0, other.key);
}

TEST(Caption, EveryCaptionOfADialogGetsAUniqueKey)
{
    const wchar_t* texts[] = {L"Name", L"Height", L"Colour", L"Straight", L"Curved", L"Show numbers", L"Help"};
    std::deque<CCaption> captions;
    std::deque<CCaption*> list;
    for (const wchar_t* text : texts) {
        captions.push_back(MakeCaption(text));
        list.push_back(&captions.back());
    }
    AssignAccessKeys(list);
    std::wstring keys;
    for (const CCaption& caption : captions) {
        ASSERT_NE(0, caption.key) << caption.text;
        EXPECT_EQ(std::wstring::npos, keys.find(caption.key)) << caption.text;
        keys += caption.key;
        EXPECT_EQ(caption.key, FoldAccessKeyChar(caption.text[size_t(caption.keyPosition)]));
    }
}
