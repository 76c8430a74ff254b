#include "base/ListError.h"

#include "base/Format.h"

namespace base {

void CheckListIndex(std::ptrdiff_t Index, std::size_t Count)
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= Count)
        throw EListError(FormatText("List index out of bounds (%d)", {Index}));
}

}  // namespace base
