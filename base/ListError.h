// The error of an owned list asked for a position it does not have.
#pragma once

#include <cstddef>
#include <stdexcept>

namespace base {

class EListError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

[[noreturn]] void RaiseListIndex(std::ptrdiff_t Index);

// Raises "List index out of bounds (%d)" unless 0 <= Index < Count. Inline:
// the outline check asks it twice for every glyph of a font.
inline void CheckListIndex(std::ptrdiff_t Index, std::size_t Count)
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= Count)
        RaiseListIndex(Index);
}

// Checked access for the library's owned lists.
template <typename List>
auto& ListItem(List& Items, std::ptrdiff_t Index)
{
    CheckListIndex(Index, Items.size());
    return Items[static_cast<std::size_t>(Index)];
}

}  // namespace base
