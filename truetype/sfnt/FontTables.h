// A font's tables, owned, in ascending tag order.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string_view>

#include "truetype/sfnt/PreferredTableOffsetOrder.h"
#include "truetype/sfnt/TableBase.h"

namespace truetype {

class TFontTables {
    // A map rather than a sorted array: a hostile directory of 65535 records in
    // reverse order must not cost a quadratic number of element moves.
    using TMap = std::map<TTableTag, std::unique_ptr<TFontTable>, std::less<>>;

public:
    class TIterator {
    public:
        explicit TIterator(TMap::const_iterator At) : FAt(At) {}
        TFontTable& operator*() const { return *FAt->second; }
        TIterator& operator++() { ++FAt; return *this; }
        bool operator==(const TIterator& Other) const = default;

    private:
        TMap::const_iterator FAt;
    };

    TFontTables() = default;
    TFontTables(const TFontTables&) = delete;
    TFontTables& operator=(const TFontTables&) = delete;

    // Takes ownership; raises "Table %s already exists!" (and destroys the
    // table) when its tag is present.
    void Add(std::unique_ptr<TFontTable> Table);
    std::size_t Count() const { return FTables.size(); }
    // Walks to the position; fine for the few tables of a font.
    TFontTable& Items(std::ptrdiff_t Index) const;
    TFontTable* FindTable(std::string_view Tag) const;
    void Clear();

    TIterator begin() const { return TIterator(FTables.begin()); }
    TIterator end() const { return TIterator(FTables.end()); }

    TPreferredTableOffsetOrder PreferredOrder;

private:
    TMap FTables;
};

}  // namespace truetype
