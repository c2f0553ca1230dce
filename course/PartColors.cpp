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
    GetDefaultIndices();
    m_parts.push_back(kPrimaryPart);
    m_indices[kPrimaryPart] = GetDefaultIndex(kPrimaryPart);
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
    if (HasPart(part) || part < 0 || part >= kPartIdCount || int(m_parts.size()) >= kMaxParts) {
        ReportFailure();
        return;
    }
    m_parts.push_back(part);
    m_indices[part] = GetDefaultIndex(part);
}

int CPartColorSet::GetColorIndex(int part) const
{
    const auto found = m_indices.find(part);
    if (found == m_indices.end()) {
        TRACE_VALUE(int32_t, part);
        ReportFailure();
        return part >= 0 && part < kPartIdCount ? GetDefaultIndex(part) : GetDefaultIndex(kPrimaryPart);
    }
    return found->second;
}

void CPartColorSet::SetColorIndex(int part, int index)
{
    const auto found = m_indices.find(part);
    if (index < 0 || index > 255 || found == m_indices.end()) {
        TRACE_VALUE(int32_t, part);
        TRACE_VALUE(int32_t, index);
        ReportFailure();
        return;
    }
    found->second = index;
}

void CPartColorSet::TakeOver(const CPartColorSet& other)
{
    for (auto& entry : m_indices) {
        const auto found = other.m_indices.find(entry.first);
        if (found != other.m_indices.end())
            entry.second = found->second;
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
    for (size_t i = 0; i < m_parts.size(); ++i) {
        if (m_indices.at(m_parts[i]) != GetDefaultIndex(m_parts[i]))
            mask |= 1 << i;
    }
    stream.Int8(mask);
    for (size_t i = 0; i < m_parts.size(); ++i) {
        if (mask & (1 << i)) {
            int32_t index = m_indices.at(m_parts[i]);
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
        m_indices[kPrimaryPart] = value;
        return;
    }
    int32_t mask = 0;
    stream.Int8(mask);
    for (size_t i = 0; i < 8; ++i) {
        if ((mask & (1 << i)) == 0)
            continue;
        int32_t index = 0;
        stream.Int8(index);
        if (i < m_parts.size())
            m_indices[m_parts[i]] = index & 0xFF;
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
