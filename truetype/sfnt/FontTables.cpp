#include "truetype/sfnt/FontTables.h"

#include <iterator>

namespace truetype {

void TFontTables::Add(std::unique_ptr<TFontTable> Table)
{
    const TTableTag Tag = Table->Tag();
    if (FTables.contains(Tag))
        RaiseFontErrorFmt("Table %s already exists!", {Tag});
    FTables.emplace(Tag, std::move(Table));
}

TFontTable& TFontTables::Items(std::ptrdiff_t Index) const
{
    base::CheckListIndex(Index, FTables.size());
    return *std::next(FTables.begin(), Index)->second;
}

TFontTable* TFontTables::FindTable(std::string_view Tag) const
{
    const auto Found = FTables.find(Tag);
    return Found == FTables.end() ? nullptr : Found->second.get();
}

void TFontTables::Clear()
{
    FTables.clear();
    PreferredOrder.Clear();
}

}  // namespace truetype
