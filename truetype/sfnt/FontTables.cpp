#include "truetype/sfnt/FontTables.h"

#include <iterator>
#include <utility>

namespace truetype {

void TFontTables::Add(std::unique_ptr<TFontTable> Table)
{
    const TTableTag Tag = Table->Tag();
    if (FTables.contains(Tag))
        RaiseFontErrorFmt("Table %s already exists!", {Tag});
    FTables.emplace(Tag, std::move(Table));
}

const TFontTable& TFontTables::Items(std::ptrdiff_t Index) const
{
    base::CheckListIndex(Index, FTables.size());
    return *std::next(FTables.begin(), Index)->second;
}

// The table is the collection's to hand out as it is itself handed.
TFontTable& TFontTables::Items(std::ptrdiff_t Index)
{
    return const_cast<TFontTable&>(std::as_const(*this).Items(Index));
}

const TFontTable* TFontTables::FindTable(std::string_view Tag) const
{
    const auto Found = FTables.find(Tag);
    return Found == FTables.end() ? nullptr : Found->second.get();
}

TFontTable* TFontTables::FindTable(std::string_view Tag)
{
    return const_cast<TFontTable*>(std::as_const(*this).FindTable(Tag));
}

void TFontTables::Clear()
{
    FTables.clear();
    PreferredOrder.Clear();
}

}  // namespace truetype
