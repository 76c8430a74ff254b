// A table object read from bytes and written back, as the tables' tests use
// them.
#pragma once

#include <memory>
#include <string_view>

#include "base/Stream.h"
#include "tests/support/FontBuilder.h"
#include "truetype/sfnt/UnitWarningCollector.h"

namespace testing_support {

// The table's bytes as SaveToStream writes them.
template <typename Table>
TBytes Saved(Table& T)
{
    base::TMemoryStream Out;
    T.SaveToStream(Out);
    return Out.Bytes();
}

// A new table of this tag loaded from Bytes, the warnings cleared first.
template <typename Table>
std::unique_ptr<Table> Loaded(std::string_view Tag, const TBytes& Bytes)
{
    truetype::TWarningCollector::Clear();
    auto T = std::make_unique<Table>(Tag);
    base::TMemoryStream In(Bytes);
    T->LoadFromStream(In);
    return T;
}

}  // namespace testing_support
