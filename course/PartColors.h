#pragma once

#include <cstdint>
#include <string>
#include <vector>

class CFieldStream;

// The colours of an object kind's parts (a plank's fill, the contact zones, a
// bar ...): for each part id of the kind, in the kind's order, an index into
// the palette (CColorPalette). Every object type and every placed object has
// one. A new set holds part 10, the primary colour, at its default.
//
// Part ids are 0 to 31; each has a default colour, the palette entry nearest
// to a fixed RGB value. A set has at most eight parts, the width of the mask
// of its stored form, and keeps them in place: objects copy and read their
// sets by the thousand, without touching the heap.
class CPartColorSet
{
public:
    CPartColorSet();
    ~CPartColorSet() = default;
    CPartColorSet(const CPartColorSet&) = default;
    CPartColorSet& operator=(const CPartColorSet&) = default;

    // Appends a part at its default colour. A part already present, a part id
    // outside 0..31 or a ninth part is reported and not added.
    void AddPart(int part);
    bool HasPart(int part) const { return Find(part) >= 0; }

    // An absent part is reported and gives the part's default colour.
    int GetColorIndex(int part) const;
    // An index outside 0..255 or an absent part is reported and changes
    // nothing.
    void SetColorIndex(int part, int index);

    // Each part of this set that the other set also has takes its colour.
    void TakeOver(const CPartColorSet& other);

    std::vector<int> GetParts() const { return std::vector<int>(m_parts, m_parts + m_count); }

    // The stored form, by the stream's major version:
    //   3: Int8, the colour of part 10. Streams older than (3, 2) hold one of
    //      seven old colour numbers instead of a palette index.
    //   4: Int8 mask with bit i set when the i-th part differs from its
    //      default, then an Int8 index for each set bit in part order. An
    //      index for a bit beyond the part list is read and dropped.
    void Serialize(CFieldStream& stream);
    // A reading stream is reported and left alone.
    void Write(CFieldStream& stream) const;

    // The "Color" setting of a kind: the stored form of version (4, 33) as a
    // narrow value named prefix + "Color". An absent value keeps the colours.
    void LoadFromSettings(const std::wstring& prefix);
    void SaveToSettings(const std::wstring& prefix) const;

    // The palette index of a part's default colour; a part id outside 0..31
    // is reported and gives the default of part 10.
    static int GetDefaultIndex(int part);

    // The palette index of an old colour number of the oldest version-3
    // streams; a number outside the table gives the default of part.
    static int TranslateOldColorNumber(int number, int part);

    static constexpr int kPrimaryPart = 10;
    static constexpr int kPartIdCount = 32;
    static constexpr int kMaxParts = 8;

private:
    void WriteRecord(CFieldStream& stream) const;
    void ReadRecord(CFieldStream& stream);
    // The place of the part in the list, -1 when absent.
    int Find(int part) const;

    // The parts in the kind's order and the palette index of each.
    int m_count = 0;
    uint8_t m_parts[kMaxParts] = {};
    uint8_t m_indices[kMaxParts] = {};
};
