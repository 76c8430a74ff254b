#include "runtime/ListError.h"

#include "runtime/Format.h"

namespace truetype {

void CheckListIndex(std::ptrdiff_t Index, std::size_t Count)
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= Count)
        throw EListError(FormatText("List index out of bounds (%d)", {Index}));
}

}  // namespace truetype
