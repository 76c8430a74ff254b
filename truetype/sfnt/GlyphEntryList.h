// A table's list of per-glyph entries, as a load leaves it: the entries that
// the file backs, then one value standing for every entry past the end of the
// file. Those all read as zeros and so are all alike; a hostile 16-bit glyph
// count thus costs no allocation beyond what the file holds. The first change
// to the list makes them entries of their own.
#pragma once

#include <cstddef>
#include <vector>

#include "base/ListError.h"

namespace truetype {

template <typename T>
class TGlyphEntryList {
public:
    std::size_t Count() const { return FItems.size() + FTailCount; }

    const T& Items(std::ptrdiff_t Index) const
    {
        base::CheckListIndex(Index, Count());
        const auto At = static_cast<std::size_t>(Index);
        return At < FItems.size() ? FItems[At] : FTail;
    }
    T& Items(std::ptrdiff_t Index)
    {
        Materialize();
        return base::ListItem(FItems, Index);
    }
    void Add(const T& Item)
    {
        Materialize();
        FItems.push_back(Item);
    }
    void Clear()
    {
        FItems.clear();
        FTail = T{};
        FTailCount = 0;
    }

    // For loads: room for the backed entries, and the entries past the file.
    void Reserve(std::size_t Count) { FItems.reserve(Count); }
    // Appends Count entries, the k-th one Make(k).
    template <typename Make>
    void AddRun(std::size_t Count, Make&& MakeEntry)
    {
        Materialize();
        const std::size_t First = FItems.size();
        FItems.resize(First + Count);
        for (std::size_t k = 0; k < Count; ++k)
            FItems[First + k] = MakeEntry(k);
    }
    void SetTail(const T& Value, std::size_t Count)
    {
        FTail = Value;
        FTailCount = Count;
    }

private:
    void Materialize()
    {
        if (FTailCount == 0)
            return;
        FItems.insert(FItems.end(), FTailCount, FTail);
        FTailCount = 0;
    }

    std::vector<T> FItems;
    T FTail{};
    std::size_t FTailCount = 0;
};

}  // namespace truetype
