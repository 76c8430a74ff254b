// Loading, saving and flattening name tables for the name tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/FontBuilder.h"
#include "truetype/tables/TableName.h"

namespace name_tests {

using TRecord = std::tuple<std::uint16_t, std::uint16_t, std::uint16_t, std::uint16_t, std::u16string>;

inline std::unique_ptr<truetype::TTableName> LoadName(std::vector<std::uint8_t> Bytes)
{
    auto Table = std::make_unique<truetype::TTableName>("name");
    base::TMemoryStream Stream(std::move(Bytes));
    Table->LoadFromStream(Stream);
    return Table;
}

inline std::vector<std::uint8_t> SaveName(truetype::TTableName& Table)
{
    base::TMemoryStream Stream;
    Table.SaveToStream(Stream);
    return Stream.Bytes();
}

// (platform, encoding, language, name ID, text) in the tree's order.
inline std::vector<TRecord> Flatten(const truetype::TNameList& Names)
{
    std::vector<TRecord> Records;
    truetype::ForEachName(Names, [&Records](const auto& Platform, const auto& Language, const auto& Field) {
        Records.emplace_back(Platform.PlatformID, Platform.EncodingID, Language.LanguageID, Field.NameID, Field.Text);
    });
    return Records;
}

}  // namespace name_tests
