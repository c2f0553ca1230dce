#include "foundation/FieldStream.h"

#include <algorithm>
#include <cmath>

#include "foundation/TextConversion.h"

namespace {

// A running coordinate truncated toward zero. Damaged input can push the
// running point far beyond the 32-bit range, so the conversion saturates.
int64_t TruncateCoordinate(float value)
{
    // Usual coordinates convert in 32 bits, which the processor does directly.
    if (value > -2147483648.0f && value < 2147483648.0f)
        return int32_t(value);
    if (!(value == value))
        return 0;
    if (value >= 9.2e18f)
        return INT64_MAX;
    if (value <= -9.2e18f)
        return INT64_MIN;
    return int64_t(value);
}

float WrapToInt16(int64_t value) { return float(int16_t(uint16_t(uint64_t(value) & 0xFFFF))); }

}  // namespace

int32_t CFieldStream::RoundHalfUp(float value)
{
    // The half is added in single precision (the program does its floating
    // point in SSE registers), so 0.49999997 rounds to 1 as the format has it.
    const float half = value + 0.5f;
    // Within the 32-bit range the conversion truncates toward zero, one above
    // the floor for a negative fraction. Beyond 2^24 every float is whole, so
    // the comparison in float is exact wherever it can matter.
    if (half >= -2147483648.0f && half < 2147483648.0f) {
        const int32_t whole = int32_t(half);
        return float(whole) > half ? whole - 1 : whole;
    }
    if (half >= 2147483648.0f)
        return INT32_MAX;
    // NaN fails every comparison.
    return half < 0.0f ? INT32_MIN : 0;
}

CPoint2 CFieldStream::LimitPoint(const CPoint2& point)
{
    auto limit = [](float value) {
        if (!(value == value))
            return 0.0f;
        return std::min(std::max(value, kMinPointCoordinate), kMaxPointCoordinate);
    };
    return CPoint2(limit(point.x), limit(point.y));
}

void CFieldStream::ResetPointUnlessKept()
{
    if (!m_keepPointAcrossFields) {
        m_lastX = 0.0f;
        m_lastY = 0.0f;
    }
}

// ---- Reader -----------------------------------------------------------------

CFieldReader::CFieldReader(const std::string& bytes)
{
    m_bytes = bytes;
}

CFieldReader::CFieldReader(const char* bytes, size_t count)
{
    m_bytes.assign(bytes, count);
}

bool CFieldReader::AtFieldEnd() const
{
    return m_readPos >= m_bytes.size() || static_cast<unsigned char>(m_bytes[m_readPos]) == kFieldEndByte;
}

int CFieldReader::ReadChar()
{
    if (m_readPos >= m_bytes.size())
        return 0;
    const unsigned char byte = static_cast<unsigned char>(m_bytes[m_readPos++]);
    if (byte == kFieldEndByte) {
        --m_readPos;
        return 0;
    }
    if (byte == kFieldEscapeByte) {
        if (m_readPos >= m_bytes.size())
            return 0;
        return static_cast<unsigned char>(m_bytes[m_readPos++]);
    }
    return byte;
}

void CFieldReader::SkipField()
{
    ResetPointUnlessKept();
    const size_t size = m_bytes.size();
    while (m_readPos < size) {
        const unsigned char byte = static_cast<unsigned char>(m_bytes[m_readPos++]);
        if (byte == kFieldEndByte)
            break;
        if (byte == kFieldEscapeByte && m_readPos < size)
            ++m_readPos;
    }
}

int32_t CFieldReader::ReadLittleEndian(int byteCount)
{
    uint32_t bits = 0;
    for (int i = 0; i < byteCount; ++i)
        bits |= uint32_t(ReadChar()) << (8 * i);
    const int unusedBits = 32 - 8 * byteCount;
    // Shift the top byte read into the sign position and back.
    return int32_t(bits << unusedBits) >> unusedBits;
}

void CFieldReader::ReadString(std::string& value)
{
    value.clear();
    // The bytes before the string's end (or its field's) hold it; without
    // an escape among them they are the string itself.
    size_t end = m_readPos;
    bool escaped = false;
    for (; end < m_bytes.size(); ++end) {
        const unsigned char byte = static_cast<unsigned char>(m_bytes[end]);
        if (byte == kStringEndByte || byte == kFieldEndByte)
            break;
        escaped = escaped || byte == kStringEscapeByte || byte == kFieldEscapeByte;
    }
    if (!escaped) {
        value.assign(m_bytes, m_readPos, end - m_readPos);
        m_readPos = uint32_t(end);
        if (!AtFieldEnd())
            ++m_readPos;
        return;
    }
    value.reserve(end - m_readPos);
    while (!AtFieldEnd()) {
        int c = ReadChar();
        if (c == kStringEndByte)
            return;
        if (c == kStringEscapeByte) {
            if (AtFieldEnd())
                return;
            c = ReadChar();
        }
        value.push_back(char(c));
    }
}

void CFieldReader::ReadWString(std::wstring& value)
{
    value.clear();
    while (!AtFieldEnd()) {
        wchar_t c = 0;
        ReadWideChar(c);
        if (c == kStringEndByte)
            return;
        if (c == kStringEscapeByte) {
            if (AtFieldEnd())
                return;
            ReadWideChar(c);
        }
        value.push_back(c);
    }
}

void CFieldReader::ReadWideChar(wchar_t& value)
{
    const unsigned lead = unsigned(ReadChar());
    if (lead < 0x80) {
        value = wchar_t(lead);
        return;
    }
    const unsigned second = unsigned(ReadChar());
    if (lead & 0x20) {
        const unsigned third = unsigned(ReadChar());
        value = wchar_t(((lead << 12) | ((second & 0x3F) << 6) | (third & 0x3F)) & 0xFFFF);
    } else {
        value = wchar_t(((lead & 0x1F) << 6) | (second & 0x3F));
    }
}

void CFieldReader::ReadBool(bool& value) { value = ReadChar() != 0; }

void CFieldReader::ReadInt8(int32_t& value) { value = ReadLittleEndian(1); }

void CFieldReader::ReadInt16(int32_t& value) { value = ReadLittleEndian(2); }

void CFieldReader::ReadInt24(int32_t& value) { value = ReadLittleEndian(3); }

void CFieldReader::ReadInt32(int32_t& value) { value = ReadLittleEndian(4); }

void CFieldReader::ReadFloat16(float& value)
{
    int32_t whole = 0;
    ReadInt16(whole);
    value = float(whole);
}

void CFieldReader::ReadFloat24(float& value)
{
    int32_t whole = 0;
    ReadInt24(whole);
    value = float(whole);
}

void CFieldReader::ReadPoint(CPoint2& value)
{
    int32_t dx = 0;
    int32_t dy = 0;
    ReadInt16(dx);
    ReadInt16(dy);
    m_lastX += float(dx);
    m_lastY += float(dy);
    value.x = WrapToInt16(TruncateCoordinate(m_lastX));
    value.y = WrapToInt16(TruncateCoordinate(m_lastY));
    // Deltas that wrap would otherwise carry the running point away, round
    // by round, until a float no longer holds it to the unit.
    m_lastX = value.x;
    m_lastY = value.y;
}

// ---- Writer -----------------------------------------------------------------

CFieldWriter::CFieldWriter(size_t initialCapacity)
{
    if (initialCapacity > 0)
        m_bytes.reserve(initialCapacity);
}

void CFieldWriter::EndField()
{
    ResetPointUnlessKept();
    AppendPlain(kFieldEndByte);
}

void CFieldWriter::WriteByte(unsigned char value)
{
    if (value == kFieldEscapeByte || value == kFieldEndByte)
        AppendPlain(kFieldEscapeByte);
    AppendPlain(value);
}

void CFieldWriter::Clear()
{
    m_bytes.clear();
    m_lastX = 0.0f;
    m_lastY = 0.0f;
}

void CFieldWriter::WriteLittleEndian(int32_t value, int byteCount)
{
    // Escaped into a small buffer first and appended in one call: the
    // string's members are library calls, one per byte would cost more.
    char bytes[8];
    int count = 0;
    const uint32_t bits = uint32_t(value);
    for (int i = 0; i < byteCount; ++i) {
        const unsigned char byte = static_cast<unsigned char>(bits >> (8 * i));
        if (byte == kFieldEscapeByte || byte == kFieldEndByte)
            bytes[count++] = char(kFieldEscapeByte);
        bytes[count++] = char(byte);
    }
    m_bytes.append(bytes, size_t(count));
}

void CFieldWriter::WriteString(const std::string& value)
{
    for (char c : value) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte == kStringEscapeByte || byte == kStringEndByte)
            AppendPlain(kStringEscapeByte);
        WriteByte(byte);
    }
    AppendPlain(kStringEndByte);
}

void CFieldWriter::WriteWString(const std::wstring& value)
{
    for (wchar_t c : value) {
        if (c == kStringEscapeByte || c == kStringEndByte)
            WriteWideChar(wchar_t(kStringEscapeByte));
        WriteWideChar(c);
    }
    WriteWideChar(wchar_t(kStringEndByte));
}

void CFieldWriter::WriteWideChar(wchar_t value)
{
    // The program's 8-bit form of one unit; its multi-byte sequences are all
    // 0x80 and above, so only a single byte can need the escape.
    for (char byte : WideToUtf8(std::wstring(1, value)))
        WriteByte(static_cast<unsigned char>(byte));
}

void CFieldWriter::WriteBool(bool value) { WriteByte(value ? 1 : 0); }

void CFieldWriter::WriteInt8(int32_t value) { WriteLittleEndian(value, 1); }

void CFieldWriter::WriteInt16(int32_t value) { WriteLittleEndian(value, 2); }

void CFieldWriter::WriteInt24(int32_t value) { WriteLittleEndian(value, 3); }

void CFieldWriter::WriteInt32(int32_t value) { WriteLittleEndian(value, 4); }

void CFieldWriter::WriteFloat16(float value) { WriteInt16(RoundHalfUp(value)); }

void CFieldWriter::WriteFloat24(float value) { WriteInt24(RoundHalfUp(value)); }

void CFieldWriter::WritePoint(const CPoint2& value)
{
    const int32_t x = RoundHalfUp(value.x);
    const int32_t y = RoundHalfUp(value.y);
    WriteInt16(int32_t(int64_t(x) - TruncateCoordinate(m_lastX)));
    WriteInt16(int32_t(int64_t(y) - TruncateCoordinate(m_lastY)));
    m_lastX = float(x);
    m_lastY = float(y);
}
