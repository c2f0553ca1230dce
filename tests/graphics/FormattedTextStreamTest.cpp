#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "graphics/FormattedText.h"
#include "tests/support/Bytes.h"
#include "tests/support/FailureReports.h"

namespace {

std::wstring AllText(CFormattedText& text) { return text.GetText(0, text.GetLength()); }
std::string AllBytes(CFormattedText& text) { return text.Serialize(0, text.GetLength()); }

size_t CountOf(const std::string& bytes, const std::string& part)
{
    size_t count = 0;
    for (size_t at = bytes.find(part); at != std::string::npos; at = bytes.find(part, at + 1))
        ++count;
    return count;
}

// A record head: the mark 16 and the tag.
std::string Record(int tag) { return Bytes({16, tag}); }

}  // namespace

TEST(FormattedTextStream, AnEmptyTextIsItsRecordsAndOneMark)
{
    CFormattedText text(20.0f, 50);
    EXPECT_EQ(Bytes({0, 16, 64, 50, 0, 16, 65, 0, 0, 16, 66, 0, 16, 32, 20, 0, 16, 33, 0, 16, 48, 0, 16, 49, 0, 0, 10}),
              AllBytes(text));
    text.SetWrapWidth(0x1F1E);
    text.SetShrinkToContent(true);
    // Bytes 0x1E and 0x1F of values are escaped.
    EXPECT_EQ(Bytes({0, 16, 64, 50, 0, 16, 65, 0x1E, 0x1E, 0x1E, 0x1F, 16, 66, 1}), AllBytes(text).substr(0, 14));
}

TEST(FormattedTextStream, RecordsAppearWhereValuesChange)
{
    CFormattedText text(12.0f, 50);
    text.InsertText(L"ab\ncd\nef");
    EXPECT_EQ(1u, CountOf(AllBytes(text), Record(32)));
    EXPECT_EQ(1u, CountOf(AllBytes(text), Record(33)));
    EXPECT_EQ(1u, CountOf(AllBytes(text), Record(48)));
    EXPECT_EQ(1u, CountOf(AllBytes(text), Record(49)));
    // 12.7 counts as 12: still one size record, and it stores 12.
    text.SetSelection(1, 2, false);
    text.SetSelectionFontSize(12.7f);
    EXPECT_EQ(1u, CountOf(AllBytes(text), Record(32)));
    text.SetSelectionFontSize(13.0f);
    const std::string bytes = AllBytes(text);
    EXPECT_EQ(3u, CountOf(bytes, Record(32)));
    EXPECT_NE(std::string::npos, bytes.find(Record(32) + Bytes({13, 0}) + "b" + Record(32) + Bytes({12, 0})));
    // Another alignment and other stops in the middle paragraph.
    text.SetSelection(4, 4, false);
    text.SetSelectionAlignment(kAlignRight);
    text.SetSelectionTabStops({100, 300});
    const std::string formats = AllBytes(text);
    EXPECT_EQ(3u, CountOf(formats, Record(48)));
    EXPECT_NE(std::string::npos, formats.find(Record(48) + Bytes({2}) + Record(49) + Bytes({100, 0, 44, 1, 0, 0, 10})));
}

TEST(FormattedTextStream, TextRoundTripsWithItsFormats)
{
    CFormattedText text(20.0f, 40);
    text.InsertText(L"a\x10" L"b\tc\nsecond");
    text.SetSelection(1, 4, false);
    text.SetSelectionBold(true);
    text.SetSelectionFontSize(31.0f);
    text.SetSelectionAlignment(kAlignCentre);
    text.SetSelectionTabStops({77});
    text.SetWrapWidth(900);
    const std::string bytes = AllBytes(text);
    EXPECT_EQ(1u, CountOf(bytes, Bytes({16, 16})));

    CFormattedText copy(10.0f, 10);
    copy.SelectAll();
    copy.InsertSerialized(bytes);
    EXPECT_EQ(bytes, AllBytes(copy));
    EXPECT_EQ(L"a\x10" L"b\tc\r\nsecond\r\n", AllText(copy));
}

TEST(FormattedTextStream, OnlyAWholeReplacementTakesTheDocumentValues)
{
    CFormattedText source(20.0f, 40);
    source.InsertText(L"xy");
    source.SetWrapWidth(500);
    source.SetShrinkToContent(true);
    const std::string bytes = AllBytes(source);

    CFormattedText target(20.0f, 60);
    target.InsertText(L"abcd");
    target.SetWrapWidth(700);
    target.SetSelection(2, 2, false);
    target.InsertSerialized(bytes);
    EXPECT_EQ(L"abxy\r\ncd\r\n", AllText(target));
    const std::string kept = AllBytes(target);
    EXPECT_EQ(Bytes({0, 16, 64, 60, 0, 16, 65, 0xBC, 2, 16, 66, 0}), kept.substr(0, 12));

    target.SelectAll();
    target.InsertSerialized(bytes);
    EXPECT_EQ(L"xy\r\n", AllText(target));
    EXPECT_EQ(bytes, AllBytes(target));
}

TEST(FormattedTextStream, ReadingStopsAtDamage)
{
    const std::string head = Bytes({0, 16, 64, 50, 0, 16, 65, 0, 0, 16, 66, 0});
    const struct
    {
        std::string bytes;
        const wchar_t* text;
        int32_t interval;
    } table[] = {
        // An unknown tag ends the reading; what came before stays.
        {head + "ab" + Record(99) + "cd", L"ab\r\n", 50},
        // An unescaped field end too (it is never read past).
        {head + "ab" + Bytes({0x1F}) + "cd", L"ab\r\n", 50},
        // A tab interval of 0 is passed over (the tab rule divides by it).
        {Bytes({0, 16, 64, 0, 0}) + "ab", L"ab\r\n", 70},
        // Sizes below 1 and alignments that do not exist are passed over.
        {Bytes({0}) + Record(32) + Bytes({0, 0}) + "a" + Record(48) + Bytes({7}) + "b\n", L"ab\r\n", 70},
        // Cut short inside a record and inside a character.
        {Bytes({0}) + "ab" + Record(32) + Bytes({5}), L"ab\r\n", 70},
        {Bytes({0}) + "ab" + Bytes({0xC3}), L"ab\r\n", 70},
        {"", L"\r\n", 70},
    };
    for (const auto& row : table) {
        CFormattedText text(20.0f, 70);
        text.SelectAll();
        EXPECT_EQ(0, CountReports([&] { text.InsertSerialized(row.bytes); }));
        EXPECT_EQ(row.text, AllText(text).substr(0, std::wstring(row.text).size()));
        EXPECT_EQ(int32_t(std::wstring(row.text).size()) - 1, text.GetLength());
        EXPECT_EQ(row.interval, uint8_t(AllBytes(text)[3]));
    }
}

TEST(FormattedTextStream, DamagedBytesInsertBoundedTextAndLeaveAUsableDocument)
{
    CFormattedText model(20.0f, 50);
    model.InsertText(L"Tab\there\nand a long line that wraps\n\x10 bold");
    model.SetSelection(4, 12, false);
    model.SetSelectionBold(true);
    model.SetSelectionTabStops({30, 90});
    model.SetWrapWidth(200);
    const std::string good = AllBytes(model);

    std::mt19937 random(18);
    int reports = 0;
    for (int round = 0; round < 3000; ++round) {
        std::string bytes = good;
        const int edits = 1 + int(random() % 6);
        for (int e = 0; e < edits && !bytes.empty(); ++e) {
            const size_t at = random() % bytes.size();
            switch (random() % 3) {
            case 0: bytes[at] = char(random()); break;
            case 1: bytes.insert(at, 1, char(random() % 2 ? random() : 16)); break;
            default: bytes.erase(at, 1 + random() % 8); break;
            }
        }
        if (round % 10 == 0)
            bytes.resize(random() % 40);
        CFormattedText text(20.0f, 50);
        text.InsertText(L"before after");
        const int start = int(random() % 13);
        text.SetSelection(start, start + int(random() % (13 - start)), false);
        const int before = text.GetLength();
        reports += CountReports([&] { text.InsertSerialized(bytes); });
        // At most one character per byte comes in.
        ASSERT_LE(text.GetLength(), before + int(bytes.size())) << round;
        // The text goes on working and its bytes read back as themselves.
        text.SetCaret(0, false, false);
        text.TypeChar(L'x');
        text.MoveLineDown(true);
        text.GetCaretRect();
        CFormattedText again(20.0f, 50);
        again.SelectAll();
        again.InsertSerialized(AllBytes(text));
        ASSERT_EQ(AllBytes(text), AllBytes(again)) << round;
    }
    EXPECT_EQ(0, reports);
}
