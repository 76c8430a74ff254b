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
    // Walks the tables in tag order; Table is const for a const collection.
    template <typename Table, typename At>
    class TIteratorOf {
    public:
        explicit TIteratorOf(At Position) : FAt(Position) {}
        Table& operator*() const { return *FAt->second; }
        TIteratorOf& operator++() { ++FAt; return *this; }
        bool operator==(const TIteratorOf& Other) const = default;

    private:
        At FAt;
    };
    using TIterator = TIteratorOf<TFontTable, TMap::iterator>;
    using TConstIterator = TIteratorOf<const TFontTable, TMap::const_iterator>;

    TFontTables() = default;
    TFontTables(const TFontTables&) = delete;
    TFontTables& operator=(const TFontTables&) = delete;

    // Takes ownership; raises "Table %s already exists!" (and destroys the
    // table) when its tag is present.
    void Add(std::unique_ptr<TFontTable> Table);
    std::size_t Count() const { return FTables.size(); }
    // Walks to the position; fine for the few tables of a font.
    const TFontTable& Items(std::ptrdiff_t Index) const;
    TFontTable& Items(std::ptrdiff_t Index);
    const TFontTable* FindTable(std::string_view Tag) const;
    TFontTable* FindTable(std::string_view Tag);
    void Clear();

    TConstIterator begin() const { return TConstIterator(FTables.begin()); }
    TConstIterator end() const { return TConstIterator(FTables.end()); }
    TIterator begin() { return TIterator(FTables.begin()); }
    TIterator end() { return TIterator(FTables.end()); }

    TPreferredTableOffsetOrder PreferredOrder;

private:
    TMap FTables;
};

}  // namespace truetype
