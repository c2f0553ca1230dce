#include <gtest/gtest.h>

#include "ui/DialogTemplate.h"

TEST(DialogTemplate, FramedModalTemplateIsWordExact)
{
    CTemplateFont font;
    font.pointSize = 9;
    font.weight = 400;
    font.italic = false;
    font.charSet = 0;
    font.faceName = L"Tahoma";
    const std::vector<uint16_t> words = BuildDialogTemplate(L"Ab", true, true, font);
    const std::vector<uint16_t> expected = {
        1, 0xFFFF,           // version, extended signature
        0, 0,                // help id
        0, 0,                // extended style
        0x00C4, 0x80C8,      // WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_3DLOOK
        0,                   // no items
        0, 0, 100, 100,      // x, y, cx, cy
        0, 0,                // no menu, standard class
        L'A', L'b', 0,       // title
        9, 400, 0x0000,      // point size, weight, italic and character set
        L'T', L'a', L'h', L'o', L'm', L'a', 0};
    EXPECT_EQ(expected, words);
}

TEST(DialogTemplate, ModelessUnframedItalicTemplate)
{
    CTemplateFont font;
    font.pointSize = 8;
    font.weight = 700;
    font.italic = true;
    font.charSet = 238;
    font.faceName = L"X";
    const std::vector<uint16_t> words = BuildDialogTemplate(L"", false, false, font);
    const std::vector<uint16_t> expected = {1, 0xFFFF, 0, 0, 0, 0, 0x0046, 0x8000, 0, 0, 0, 100, 100,
                                            0, 0, 0, 8, 700, 0xEE01, L'X', 0};
    EXPECT_EQ(expected, words);
    // Extra styles (a border, topmost) join the template's own.
    const std::vector<uint16_t> bordered = BuildDialogTemplate(L"", false, false, font, 0x00800000u, 0x8u);
    const std::vector<uint16_t> styles(bordered.begin() + 4, bordered.begin() + 8);
    EXPECT_EQ((std::vector<uint16_t>{0x8, 0, 0x0046, 0x8080}), styles);
}

TEST(DialogTemplate, Styles)
{
    EXPECT_EQ(0x80C800C4u, GetDialogTemplateStyle(true, true));
    EXPECT_EQ(0x80000044u, GetDialogTemplateStyle(false, true));
    EXPECT_EQ(0x80C800C6u, GetDialogTemplateStyle(true, false));
    EXPECT_EQ(0x80000046u, GetDialogTemplateStyle(false, false));
}

TEST(DialogTemplate, WriterStoresDWordsLowWordFirst)
{
    CDialogTemplateWriter writer;
    writer.DWord(0x12345678u);
    writer.Short(-2);
    writer.String(L"z");
    const std::vector<uint16_t> expected = {0x5678, 0x1234, 0xFFFE, L'z', 0};
    EXPECT_EQ(expected, writer.GetWords());
}
