// The flat form of every cmap subtable: (character code, glyph index) pairs.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace truetype {

struct TCharacterToGlyphIndexMapping {
    std::uint16_t CharacterCode = 0;
    std::uint16_t GlyphIndex = 0;

    bool operator==(const TCharacterToGlyphIndexMapping&) const = default;
};

// A set of 16-bit character codes: one bit per code, and one summary bit per
// 64-code word that is full, so that a run of present codes is passed over
// 4096 codes at a time. 8 KiB, whatever it holds.
class TCodeSet {
public:
    bool Contains(std::uint16_t Code) const { return (FWords[Code >> 6] >> (Code & 63)) & 1; }
    void Insert(std::uint16_t Code);
    // Inserts every code of From ... To.
    void InsertRange(std::uint32_t From, std::uint32_t To);
    // The first code in From ... To that the set holds, or To + 1; costs a
    // step per 64 codes it passes.
    std::uint32_t FirstPresent(std::uint32_t From, std::uint32_t To) const;
    // The first code in From ... To that the set lacks, or To + 1 when it
    // holds them all. Costs at most a pass over the summary, whatever the width.
    std::uint32_t FirstAbsent(std::uint32_t From, std::uint32_t To) const;

private:
    static constexpr std::size_t WordCount = 65536 / 64;

    // The first word at or after Word that is not full, or WordCount.
    std::size_t FirstNotFullWord(std::size_t Word) const;

    std::array<std::uint64_t, WordCount> FWords{};
    std::array<std::uint64_t, WordCount / 64> FFullWords{};
};

// The mappings of one subtable in the order they were added (file order after
// a load); sorted by character code only when the subtable is written. Codes
// may repeat and glyph index 0 may occur.
class TCharacterToGlyphIndexMappings {
public:
    using TList = std::vector<TCharacterToGlyphIndexMapping>;

    TCharacterToGlyphIndexMappings() = default;
    TCharacterToGlyphIndexMappings(const TCharacterToGlyphIndexMappings&) = delete;
    TCharacterToGlyphIndexMappings& operator=(const TCharacterToGlyphIndexMappings&) = delete;

    void Add(TCharacterToGlyphIndexMapping Mapping)
    {
        FItems.push_back(Mapping);
        if (FIndex)
            FIndex->Insert(Mapping.CharacterCode);
    }
    // Appends Count mappings, the k-th one Make(k).
    template <typename Make>
    void AddRun(std::size_t Count, Make&& MakeMapping)
    {
        const std::size_t First = FItems.size();
        FItems.resize(First + Count);
        for (std::size_t k = 0; k < Count; ++k)
            FItems[First + k] = MakeMapping(k);
        if (FIndex)
            for (std::size_t k = 0; k < Count; ++k)
                FIndex->Insert(FItems[First + k].CharacterCode);
    }
    std::size_t Count() const { return FItems.size(); }
    const TCharacterToGlyphIndexMapping& Items(std::ptrdiff_t Index) const;
    void Delete(std::ptrdiff_t Index);
    bool IsMapped(std::uint16_t CharacterCode) const;
    // Stable: mappings with the same code keep the order they were added in.
    void SortByCharacterCode();
    void Clear();
    void Reserve(std::size_t Count) { FItems.reserve(Count); }

    // Removes every mapping that Remove answers true for, in one pass; the
    // others keep their order. Answers how many went.
    template <typename Predicate>
    std::size_t RemoveIf(Predicate Remove)
    {
        const auto Kept = std::remove_if(FItems.begin(), FItems.end(), Remove);
        const auto Removed = static_cast<std::size_t>(FItems.end() - Kept);
        FItems.erase(Kept, FItems.end());
        if (Removed != 0)
            FIndex.reset();
        return Removed;
    }

    TList::const_iterator begin() const { return FItems.begin(); }
    TList::const_iterator end() const { return FItems.end(); }

private:
    TList FItems;
    // The codes present, built on the first IsMapped so that the many small
    // subtables a table may hold do not each carry 8 KiB; kept up to date by
    // Add, dropped when mappings go (a code may be there twice).
    mutable std::unique_ptr<TCodeSet> FIndex;
};

}  // namespace truetype
