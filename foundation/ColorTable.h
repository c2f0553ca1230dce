#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>


// An indexed list of colours (red in bits 0-7, green 8-15, blue 16-23, alpha
// 24-31) with a nearest-colour lookup. A colour's index is its position; a
// colour that occurs twice is found at its first position.
//
// Every answer of FindNearest is remembered in a cache. Once the cache holds
// more than 10000 entries, further colours are coarsened to 18 levels per
// channel (and opaque) before the lookup, so the cache stays bounded.
class CColorTable
{
public:
    explicit CColorTable(size_t capacity = 0);
    virtual ~CColorTable() = default;
    CColorTable(const CColorTable&) = default;
    CColorTable& operator=(const CColorTable&) = default;

    // Fill the table before the first lookup: adding afterwards is reported;
    // the colour is appended but the cache does not learn it.
    void Add(uint32_t color);

    // The index of the table colour nearest to the colour (squared distance
    // over all four channels; the lower index on a tie). An empty table is
    // reported and gives 0.
    int FindNearest(uint32_t color) const;

    int GetCount() const { return int(m_colors.size()); }
    // An index outside the table is reported and gives opaque black.
    uint32_t GetColor(int index) const;
    uint32_t operator[](int index) const { return GetColor(index); }
    const std::vector<uint32_t>& GetColors() const { return m_colors; }

    // A table of the distinct colours of the pixels, in order of first
    // appearance; none when there are more than 255 of them. Missing pixels
    // (null with a count) are reported and give none.
    static std::unique_ptr<CColorTable> FromPixels(const uint32_t* pixels, size_t count);

    // The coarse colour that stands for a colour once the cache is full.
    static uint32_t Coarsen(uint32_t color);

    static constexpr size_t kExactCacheLimit = 10000;

private:
    std::vector<uint32_t> m_colors;
    mutable std::map<uint32_t, int> m_cache;
};
