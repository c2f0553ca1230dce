#include "course/PartColors.h"

#include <array>

#include "course/ColorPalette.h"
#include "foundation/CrashLog.h"
#include "foundation/FieldStream.h"
#include "foundation/Rgba.h"
#include "foundation/Settings.h"

namespace {

// The default colour of each part id, as red, green, blue.
const unsigned char kDefaultRgb[CPartColorSet::kPartIdCount][3] = {
    {255, 0, 0},     {192, 64, 64},   {192, 192, 192}, {64, 64, 64},    // 0-3
    {192, 192, 192}, {255, 255, 255}, {255, 255, 0},   {64, 64, 64},    // 4-7
    {0, 0, 255},     {255, 255, 255}, {0, 0, 0},       {255, 0, 0},     // 8-11
    {0, 0, 255},     {255, 0, 0},     {255, 255, 255}, {0, 0, 0},       // 12-15
    {0, 0, 255},     {255, 255, 255}, {255, 255, 255}, {192, 192, 192}, // 16-19
    {255, 0, 0},     {0, 0, 255},     {255, 0, 0},     {0, 255, 0},     // 20-23
    {255, 255, 0},   {255, 255, 255}, {0, 0, 0},       {255, 128, 64},  // 24-27
    {255, 0, 0},     {255, 255, 0},   {0, 0, 255},     {192, 192, 0},   // 28-31
};

// The palette indices of the defaults, looked up once.
const std::array<int, CPartColorSet::kPartIdCount>& GetDefaultIndices()
{
    static const std::array<int, CPartColorSet::kPartIdCount> indices = [] {
        std::array<int, CPartColorSet::kPartIdCount> result{};
        const CColorPalette& palette = CColorPalette::GetInstance();
        for (int part = 0; part < CPartColorSet::kPartIdCount; ++part) {
            const unsigned char* rgb = kDefaultRgb[part];
            result[size_t(part)] = palette.FindNearest(MakeRgba(rgb[0], rgb[1], rgb[2], 255));
        }
        return result;
    }();
    return indices;
}

// The palette entries of the seven colour numbers of the oldest files.
const int kOldColorNumbers[7] = {0, 100, 20, 4, 55, 112, 120};

const wchar_t kSettingSuffix[] = L"Color";

}  // namespace

CPartColorSet::CPartColorSet()
{
    m_count = 1;
    m_parts[0] = kPrimaryPart;
    m_indices[0] = uint8_t(GetDefaultIndex(kPrimaryPart));
}

int CPartColorSet::Find(int part) const
{
    for (int i = 0; i < m_count; ++i) {
        if (m_parts[i] == part)
            return i;
    }
    return -1;
}

int CPartColorSet::GetDefaultIndex(int part)
{
    if (part < 0 || part >= kPartIdCount) {
        TRACE_VALUE(int32_t, part);
        ReportFailure();
        part = kPrimaryPart;
    }
    return GetDefaultIndices()[size_t(part)];
}

int CPartColorSet::TranslateOldColorNumber(int number, int part)
{
    if (number >= 0 && number < int(std::size(kOldColorNumbers)))
        return kOldColorNumbers[number];
    TRACE_VALUE(int32_t, number);
    return GetDefaultIndex(part);
}

void CPartColorSet::AddPart(int part)
{
    TRACE_VALUE(int32_t, part);
    if (HasPart(part) || part < 0 || part >= kPartIdCount || m_count >= kMaxParts) {
        ReportFailure();
        return;
    }
    m_parts[m_count] = uint8_t(part);
    m_indices[m_count] = uint8_t(GetDefaultIndex(part));
    ++m_count;
}

int CPartColorSet::GetColorIndex(int part) const
{
    const int found = Find(part);
    if (found < 0) {
        TRACE_VALUE(int32_t, part);
        ReportFailure();
        return part >= 0 && part < kPartIdCount ? GetDefaultIndex(part) : GetDefaultIndex(kPrimaryPart);
    }
    return m_indices[found];
}

void CPartColorSet::SetColorIndex(int part, int index)
{
    const int found = Find(part);
    if (index < 0 || index > 255 || found < 0) {
        TRACE_VALUE(int32_t, part);
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    m_indices[found] = uint8_t(index);
}

void CPartColorSet::TakeOver(const CPartColorSet& other)
{
    for (int i = 0; i < m_count; ++i) {
        const int found = other.Find(m_parts[i]);
        if (found >= 0)
            m_indices[i] = other.m_indices[found];
    }
}

void CPartColorSet::Serialize(CFieldStream& stream)
{
    if (stream.IsReading())
        ReadRecord(stream);
    else
        WriteRecord(stream);
}

void CPartColorSet::Write(CFieldStream& stream) const
{
    TRACE_POINT();
    if (stream.IsReading()) {
        ReportFailure();
        return;
    }
    WriteRecord(stream);
}

void CPartColorSet::WriteRecord(CFieldStream& stream) const
{
    if (stream.m_versionMajor <= 3) {
        int32_t index = GetColorIndex(kPrimaryPart);
        stream.Int8(index);
        return;
    }
    int32_t mask = 0;
    for (int i = 0; i < m_count; ++i) {
        if (m_indices[i] != GetDefaultIndices()[m_parts[i]])
            mask |= 1 << i;
    }
    stream.Int8(mask);
    for (int i = 0; i < m_count; ++i) {
        if (mask & (1 << i)) {
            int32_t index = m_indices[i];
            stream.Int8(index);
        }
    }
}

void CPartColorSet::ReadRecord(CFieldStream& stream)
{
    if (stream.m_versionMajor <= 3) {
        int32_t value = 0;
        stream.Int8(value);
        value &= 0xFF;
        if (!stream.IsVersionAtLeast(3, 2))
            value = TranslateOldColorNumber(value, kPrimaryPart);
        // Every set holds the primary part.
        m_indices[Find(kPrimaryPart)] = uint8_t(value);
        return;
    }
    int32_t mask = 0;
    stream.Int8(mask);
    for (int i = 0; i < 8; ++i) {
        if ((mask & (1 << i)) == 0)
            continue;
        int32_t index = 0;
        stream.Int8(index);
        if (i < m_count)
            m_indices[i] = uint8_t(index & 0xFF);
    }
}

void CPartColorSet::LoadFromSettings(const std::wstring& prefix)
{
    TRACE_POINT();
    const std::string bytes = CSettings::GetString(prefix + kSettingSuffix, std::string());
    if (bytes.empty())
        return;
    CFieldReader reader(bytes);
    reader.m_versionMajor = 4;
    reader.m_versionMinor = 33;
    ReadRecord(reader);
}

void CPartColorSet::SaveToSettings(const std::wstring& prefix) const
{
    TRACE_POINT();
    CFieldWriter writer;
    writer.m_versionMajor = 4;
    writer.m_versionMinor = 33;
    WriteRecord(writer);
    CSettings::SetString(prefix + kSettingSuffix, writer.m_bytes);
}
