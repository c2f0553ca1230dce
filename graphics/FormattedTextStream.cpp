// CFormattedText: its byte form and the clipboard.
#include <algorithm>
#include <cstring>

#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/TracePoint.h"
#include "graphics/ClipboardBytes.h"
#include "graphics/FormattedText.h"

using FmtText::CParagraph;

namespace {

// The character that opens a record, and the record tags.
const wchar_t kRecordMark = 16;
enum ERecordTag
{
    kTagLiteralMark = 16,
    kTagSize = 32,
    kTagBold = 33,
    kTagAlignment = 48,
    kTagTabStops = 49,
    kTagTabInterval = 64,
    kTagWrapWidth = 65,
    kTagShrink = 66,
};

const size_t kInsertRun = 1000;

void WriteRecordHead(CFieldWriter& writer, ERecordTag tag)
{
    writer.WriteWideChar(kRecordMark);
    writer.WriteInt8(tag);
}

// Whether the bytes hold the whole character that starts at `at`: its
// continuation bytes (never escaped) are all there and none is a field end.
bool HoldsWholeChar(const std::string& bytes, size_t at)
{
    const unsigned lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80)
        return true;
    const size_t end = at + ((lead & 0x20) ? 3 : 2);
    if (end > bytes.size())
        return false;
    return std::find(bytes.begin() + ptrdiff_t(at) + 1, bytes.begin() + ptrdiff_t(end), char(kFieldEndByte)) ==
           bytes.begin() + ptrdiff_t(end);
}

}  // namespace

std::string CFormattedText::Serialize(int from, int to)
{
    FmtText::CheckRange(from, to, GetLength());
    CFieldWriter writer(size_t(to - from) * 2 + 16);
    writer.WriteInt8(0);
    WriteRecordHead(writer, kTagTabInterval);
    writer.WriteInt16(m_tabInterval);
    WriteRecordHead(writer, kTagWrapWidth);
    writer.WriteInt16(m_wrapWidth);
    WriteRecordHead(writer, kTagShrink);
    writer.WriteByte(m_shrinkToContent ? 1 : 0);

    bool firstChar = true;
    bool firstMark = true;
    int32_t size = 0;
    bool bold = false;
    EAlignment alignment = kAlignLeft;
    std::vector<int32_t> tabStops;
    ForCharsOf(from, to, [&](CParagraph& paragraph, int offset) {
        const wchar_t ch = paragraph.GetCharAt(offset);
        const CFontMetrics attributes = paragraph.GetAttributesAt(offset);
        if (firstChar || FmtText::WholeSize(attributes) != size) {
            size = FmtText::WholeSize(attributes);
            WriteRecordHead(writer, kTagSize);
            writer.WriteInt16(size);
        }
        if (firstChar || attributes.IsBold() != bold) {
            bold = attributes.IsBold();
            WriteRecordHead(writer, kTagBold);
            writer.WriteByte(bold ? 1 : 0);
        }
        firstChar = false;
        if (ch == FmtText::kParagraphMark) {
            const CParagraphFormat& own = paragraph.GetFormat();
            if (firstMark || own.alignment != alignment) {
                alignment = own.alignment;
                WriteRecordHead(writer, kTagAlignment);
                writer.WriteInt8(alignment);
            }
            if (firstMark || own.tabStops != tabStops) {
                tabStops = own.tabStops;
                WriteRecordHead(writer, kTagTabStops);
                for (int32_t stop : tabStops)
                    writer.WriteInt16(stop);
                writer.WriteInt16(0);
            }
            firstMark = false;
        }
        if (ch == kRecordMark)
            writer.WriteWideChar(kRecordMark);
        writer.WriteWideChar(ch);
    });
    return writer.m_bytes;
}

// Damaged bytes are input, not a fault of the program: reading stops
// quietly where they stop making sense, at an unescaped field end (which the
// reader never moves past), at a character cut short and at a tag it does
// not know, and values no text
// can hold (sizes below 1, a tab interval below 1, a negative wrap width, an
// unknown alignment) are passed over.
void CFormattedText::InsertSerialized(const std::string& bytes)
{
    TRACE_VALUE(int32_t, int32_t(bytes.size()));
    BeginGroup();
    const int length = GetLength();
    const bool whole = m_selectionStart == 0 && m_selectionEnd >= length - 1;
    const bool toEnd = m_selectionStart < m_selectionEnd && m_selectionEnd == length;
    EraseSelection();

    CFieldReader reader(bytes);
    std::wstring pending;
    pending.reserve(std::min(bytes.size(), kInsertRun));
    auto flush = [&] {
        if (!pending.empty()) {
            InsertText(pending);
            pending.clear();
        }
    };
    int32_t version = 0;
    reader.ReadInt8(version);
    while (!reader.AtFieldEnd() && HoldsWholeChar(bytes, reader.GetPosition())) {
        wchar_t ch = 0;
        reader.ReadWideChar(ch);
        if (ch != kRecordMark) {
            if (pending.size() >= kInsertRun)
                flush();
            if (toEnd && ch == FmtText::kParagraphMark && reader.AtEnd())
                break;
            pending.push_back(ch);
            continue;
        }
        flush();
        int32_t tag = 0;
        int32_t value = 0;
        reader.ReadInt8(tag);
        if (tag == kTagLiteralMark) {
            pending.push_back(kRecordMark);
        } else if (tag == kTagSize) {
            reader.ReadInt16(value);
            if (value >= 1)
                SetSelectionFontSize(float(value));
        } else if (tag == kTagBold) {
            SetSelectionBold(reader.ReadChar() != 0);
        } else if (tag == kTagAlignment) {
            reader.ReadInt8(value);
            if (IsAlignment(value))
                SetSelectionAlignment(value);
        } else if (tag == kTagTabStops) {
            std::vector<int32_t> stops;
            for (reader.ReadInt16(value); value != 0; reader.ReadInt16(value))
                stops.push_back(value);
            SetSelectionTabStops(stops);
        } else if (tag == kTagTabInterval) {
            reader.ReadInt16(value);
            // The tab rule divides by the interval.
            if (whole && value >= 1)
                SetTabInterval(value);
        } else if (tag == kTagWrapWidth) {
            reader.ReadInt16(value);
            if (whole && value >= 0)
                SetWrapWidth(value);
        } else if (tag == kTagShrink) {
            const bool shrink = reader.ReadChar() != 0;
            if (whole) {
                TakeSnapshot();
                SetShrinkToContent(shrink);
            }
        } else {
            TRACE_VALUE(int32_t, tag);
            break;
        }
    }
    flush();
    if (toEnd) {
        const int caret = GetCaret();
        m_paragraphs.Seek(caret);
        m_paragraphs.Current().SetAttributesAt(m_pending, m_paragraphs.OffsetInCurrent(caret));
    }
    CloseGroup();
}

// ---- Clipboard -----------------------------------------------------------------------

void CFormattedText::Copy()
{
    TRACE_POINT();
    if (m_selectionStart == m_selectionEnd)
        ReportFailure();
    if (!OpenClipboard(nullptr)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        return;
    }
    EmptyClipboard();
    const std::string bytes = Serialize(m_selectionStart, m_selectionEnd);
    const uint32_t count = uint32_t(bytes.size());
    std::string block(4, '\0');
    for (int i = 0; i < 4; ++i)
        block[size_t(i)] = char((count >> (8 * i)) & 0xFF);
    block += bytes;
    PutClipboardBytes(kClipboardFormat, block.data(), block.size());
    const std::wstring text = GetText(m_selectionStart, m_selectionEnd);
    PutClipboardBytes(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    if (!CloseClipboard()) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        ReportFailure(kFailSystemCall);
    }
}

void CFormattedText::Paste()
{
    TRACE_POINT();
    if (!OpenClipboard(nullptr)) {
        TRACE_VALUE(int32_t, int32_t(GetLastError()));
        return;
    }
    // Other programs use the first private format too: a block that does not
    // hold its own count of bytes is not ours, and the plain text is taken.
    std::string block;
    bool pasted = false;
    if (IsClipboardFormatAvailable(kClipboardFormat) && GetClipboardBytes(kClipboardFormat, block) &&
        block.size() >= 4) {
        uint32_t count = 0;
        for (int i = 0; i < 4; ++i)
            count |= uint32_t(static_cast<unsigned char>(block[size_t(i)])) << (8 * i);
        if (count <= block.size() - 4) {
            InsertSerialized(block.substr(4, count));
            pasted = true;
        }
    }
    if (!pasted && IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        if (GetClipboardBytes(CF_UNICODETEXT, block)) {
            std::wstring text(block.size() / sizeof(wchar_t), L'\0');
            std::memcpy(&text[0], block.data(), text.size() * sizeof(wchar_t));
            text.resize(std::wcslen(text.c_str()));
            InsertText(text);
        } else {
            TRACE_VALUE(int32_t, int32_t(GetLastError()));
            ReportFailure(kFailSystemCall);
        }
    } else if (!pasted && !IsClipboardFormatAvailable(kClipboardFormat)) {
        ReportFailure();
    }
    CloseClipboard();
}

bool CFormattedText::CanPaste()
{
    return IsClipboardFormatAvailable(CF_UNICODETEXT) || IsClipboardFormatAvailable(kClipboardFormat);
}
