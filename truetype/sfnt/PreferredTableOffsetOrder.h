// The order in which a writer would place tables in a file. Nothing fills it
// yet: it is kept as an owned, always-empty list beside the tables.
#pragma once

#include <cstddef>
#include <vector>

#include "base/ListError.h"
#include "truetype/sfnt/FontDataTypes.h"

namespace truetype {

class TPreferredTableOffsetOrder {
public:
    std::size_t Count() const { return FItems.size(); }
    const TTableTag& Items(std::ptrdiff_t Index) const { return base::ListItem(FItems, Index); }
    void Clear() { FItems.clear(); }

private:
    std::vector<TTableTag> FItems;
};

}  // namespace truetype
