#pragma once

#include <cstdint>
#include <string>

#include "foundation/Geometry.h"

// The binary field stream: a byte string of fields, each a run of typed
// values closed by a field-end byte. Serialising code is written once for
// both directions against CFieldStream; the concrete stream decides whether
// each call fills the variable from the bytes (CFieldReader) or appends the
// variable's value (CFieldWriter).
//
//     void CThing::Serialize(CFieldStream& stream)
//     {
//         stream.Int16(m_count);
//         stream.Float16(m_length);
//         stream.EndField();
//     }
//
// A reader that meets the end of a field yields zeros for every further value
// of that field and skips what the field still holds at the next EndField, so
// an older reader skips values a newer writer appended, and a newer reader
// gets zeros for values an older writer never wrote.
//
// Control bytes:
//   0x1F field end; never data without an escape.
//   0x1E escape: the next byte is data. Written before data bytes 0x1E, 0x1F.
//   0x1D string end, written plain.
//   0x1C string escape: the next string character is literal. Written plain
//        before string characters 0x1C and 0x1D.
// Integers are little-endian; floats travel as whole numbers rounded half up,
// floor(x + 0.5) with the half added in single precision.
class CFieldStream
{
public:
    // The thirteen operations, in their fixed order. The reader stores into
    // the variable, the writer appends its value.
    virtual bool IsReading() const = 0;
    // Writer: closes the field. Reader: skips whatever the field still holds
    // and moves past its end. Both reset the running point unless it is kept.
    virtual void EndField() = 0;
    virtual void String(std::string& value) = 0;
    virtual void WString(std::wstring& value) = 0;
    virtual void WideChar(wchar_t& value) = 0;
    virtual void Bool(bool& value) = 0;
    // Integers travel as their low 8, 16, 24 or 32 bits and read back
    // sign-extended.
    virtual void Int8(int32_t& value) = 0;
    virtual void Int16(int32_t& value) = 0;
    virtual void Int24(int32_t& value) = 0;
    virtual void Int32(int32_t& value) = 0;
    // Whole numbers as Int16 / Int24; values outside the range come back
    // wrapped.
    virtual void Float16(float& value) = 0;
    virtual void Float24(float& value) = 0;
    // Two Int16 deltas against the running point (the last point written or
    // read). Coordinates read back wrapped to the signed 16-bit range.
    virtual void Point(CPoint2& value) = 0;

    // The encoded stream: what the writer produced, or the reader's own copy.
    std::string m_bytes;
    // The running point normally restarts at (0, 0) with every field; the
    // version-3 course archive keeps it across fields.
    bool m_keepPointAcrossFields = false;
    float m_lastX = 0.0f;
    float m_lastY = 0.0f;
    // The format version of the records carried; the stream never reads it,
    // its user sets it and record bodies test it.
    int32_t m_versionMajor = 0;
    int32_t m_versionMinor = 0;

    // Whether the stream's version pair is (major, minor) or newer.
    bool IsVersionAtLeast(int32_t major, int32_t minor) const
    {
        return m_versionMajor > major || (m_versionMajor == major && m_versionMinor >= minor);
    }

    // floor(value + 0.5), the half added in single precision. Values beyond
    // the 32-bit range saturate and NaN gives 0, so no input is undefined.
    static int32_t RoundHalfUp(float value);

    // The coordinates a Point carries and reads back unchanged.
    static constexpr float kMinPointCoordinate = -32768.0f;
    static constexpr float kMaxPointCoordinate = 32767.0f;
    // The point moved into that range; a coordinate that is no number
    // becomes 0.
    static CPoint2 LimitPoint(const CPoint2& point);

protected:
    CFieldStream() = default;
    ~CFieldStream() = default;
    CFieldStream(const CFieldStream&) = default;
    CFieldStream& operator=(const CFieldStream&) = default;

    void ResetPointUnlessKept();
};

// Byte values of the format.
enum : unsigned char
{
    kFieldEndByte = 0x1F,
    kFieldEscapeByte = 0x1E,
    kStringEndByte = 0x1D,
    kStringEscapeByte = 0x1C,
};

class CFieldReader : public CFieldStream
{
public:
    explicit CFieldReader(const std::string& bytes);
    CFieldReader(const char* bytes, size_t count);

    bool IsReading() const override { return true; }
    void EndField() override { SkipField(); }
    void String(std::string& value) override { ReadString(value); }
    void WString(std::wstring& value) override { ReadWString(value); }
    void WideChar(wchar_t& value) override { ReadWideChar(value); }
    void Bool(bool& value) override { ReadBool(value); }
    void Int8(int32_t& value) override { ReadInt8(value); }
    void Int16(int32_t& value) override { ReadInt16(value); }
    void Int24(int32_t& value) override { ReadInt24(value); }
    void Int32(int32_t& value) override { ReadInt32(value); }
    void Float16(float& value) override { ReadFloat16(value); }
    void Float24(float& value) override { ReadFloat24(value); }
    void Point(CPoint2& value) override { ReadPoint(value); }

    // Moves past the next unescaped field end (or to the end of the data).
    void SkipField();
    // A string ends at its unescaped string end; a damaged one also ends at
    // a field end or at the end of the data, keeping what was read.
    void ReadString(std::string& value);
    void ReadWString(std::wstring& value);
    void ReadWideChar(wchar_t& value);
    void ReadBool(bool& value);
    void ReadInt8(int32_t& value);
    void ReadInt16(int32_t& value);
    void ReadInt24(int32_t& value);
    void ReadInt32(int32_t& value);
    void ReadFloat16(float& value);
    void ReadFloat24(float& value);
    void ReadPoint(CPoint2& value);

    // True at or past the end of the data or at a field end.
    bool AtFieldEnd() const;
    // One data byte (0-255): 0 at the end of the data or at a field end,
    // which stays unread; an escaped byte is returned as it stands.
    int ReadChar();

    uint32_t GetPosition() const { return m_readPos; }
    bool AtEnd() const { return m_readPos >= m_bytes.size(); }

private:
    int32_t ReadLittleEndian(int byteCount);

    uint32_t m_readPos = 0;
};

class CFieldWriter : public CFieldStream
{
public:
    // An empty buffer with the given capacity reserved (0 for none).
    explicit CFieldWriter(size_t initialCapacity = 0);

    bool IsReading() const override { return false; }
    void EndField() override;
    void String(std::string& value) override { WriteString(value); }
    void WString(std::wstring& value) override { WriteWString(value); }
    void WideChar(wchar_t& value) override { WriteWideChar(value); }
    void Bool(bool& value) override { WriteBool(value); }
    void Int8(int32_t& value) override { WriteInt8(value); }
    void Int16(int32_t& value) override { WriteInt16(value); }
    void Int24(int32_t& value) override { WriteInt24(value); }
    void Int32(int32_t& value) override { WriteInt32(value); }
    void Float16(float& value) override { WriteFloat16(value); }
    void Float24(float& value) override { WriteFloat24(value); }
    void Point(CPoint2& value) override { WritePoint(value); }

    void WriteString(const std::string& value);
    void WriteWString(const std::wstring& value);
    void WriteWideChar(wchar_t value);
    void WriteBool(bool value);
    void WriteInt8(int32_t value);
    void WriteInt16(int32_t value);
    void WriteInt24(int32_t value);
    void WriteInt32(int32_t value);
    void WriteFloat16(float value);
    void WriteFloat24(float value);
    void WritePoint(const CPoint2& value);
    void WritePoint(float x, float y) { WritePoint(CPoint2(x, y)); }

    // One data byte, escaped when it is 0x1E or 0x1F.
    void WriteByte(unsigned char value);
    // Empties the buffer and restarts the running point; the keep flag and
    // the version stay.
    void Clear();

private:
    void WriteLittleEndian(int32_t value, int byteCount);
    void AppendPlain(unsigned char value) { m_bytes.push_back(char(value)); }
};
