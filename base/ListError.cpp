#include "base/ListError.h"

#include "base/Format.h"

namespace base {

void RaiseListIndex(std::ptrdiff_t Index)
{
    throw EListError(FormatText("List index out of bounds (%d)", {Index}));
}

}  // namespace base
