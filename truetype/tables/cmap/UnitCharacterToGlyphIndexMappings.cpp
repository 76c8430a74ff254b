#include "truetype/tables/cmap/UnitCharacterToGlyphIndexMappings.h"

#include <bit>

#include "base/ListError.h"

namespace truetype {

void TCodeSet::Insert(std::uint16_t Code)
{
    std::uint64_t& Word = FWords[Code >> 6];
    Word |= std::uint64_t{1} << (Code & 63);
    if (Word == ~std::uint64_t{0})
        FFullWords[Code >> 12] |= std::uint64_t{1} << ((Code >> 6) & 63);
}

void TCodeSet::InsertRange(std::uint32_t From, std::uint32_t To)
{
    std::uint32_t Code = From;
    while (Code <= To) {
        const std::uint32_t Word = Code >> 6;
        const std::uint32_t Last = std::min(To, Word * 64 + 63);
        const std::uint32_t Width = Last - Code + 1;
        const std::uint64_t Bits = Width == 64 ? ~std::uint64_t{0} : ((std::uint64_t{1} << Width) - 1) << (Code & 63);
        FWords[Word] |= Bits;
        if (FWords[Word] == ~std::uint64_t{0})
            FFullWords[Word >> 6] |= std::uint64_t{1} << (Word & 63);
        Code = Last + 1;
    }
}

std::uint32_t TCodeSet::FirstPresent(std::uint32_t From, std::uint32_t To) const
{
    std::uint32_t Code = From;
    while (Code <= To) {
        const std::size_t Word = Code >> 6;
        const std::uint64_t Present = FWords[Word] & (~std::uint64_t{0} << (Code & 63));
        if (Present != 0)
            return std::min<std::uint32_t>(static_cast<std::uint32_t>(Word * 64 + static_cast<std::size_t>(std::countr_zero(Present))), To + 1);
        Code = static_cast<std::uint32_t>(Word * 64 + 64);
    }
    return To + 1;
}

std::size_t TCodeSet::FirstNotFullWord(std::size_t Word) const
{
    for (std::size_t Summary = Word / 64; Summary < FFullWords.size(); ++Summary) {
        std::uint64_t NotFull = ~FFullWords[Summary];
        if (Summary == Word / 64)
            NotFull &= ~std::uint64_t{0} << (Word % 64);
        if (NotFull != 0)
            return Summary * 64 + static_cast<std::size_t>(std::countr_zero(NotFull));
    }
    return WordCount;
}

std::uint32_t TCodeSet::FirstAbsent(std::uint32_t From, std::uint32_t To) const
{
    std::uint32_t Code = From;
    while (Code <= To) {
        const std::size_t Word = Code >> 6;
        const std::uint64_t Absent = ~FWords[Word] & (~std::uint64_t{0} << (Code & 63));
        if (Absent != 0)
            return std::min<std::uint32_t>(static_cast<std::uint32_t>(Word * 64 + static_cast<std::size_t>(std::countr_zero(Absent))), To + 1);
        const std::size_t Next = FirstNotFullWord(Word + 1);
        if (Next == WordCount)
            break;
        Code = static_cast<std::uint32_t>(Next * 64);
    }
    return To + 1;
}

const TCharacterToGlyphIndexMapping& TCharacterToGlyphIndexMappings::Items(std::ptrdiff_t Index) const
{
    return base::ListItem(FItems, Index);
}

void TCharacterToGlyphIndexMappings::Delete(std::ptrdiff_t Index)
{
    base::CheckListIndex(Index, FItems.size());
    FItems.erase(FItems.begin() + Index);
    FIndex.reset();
}

bool TCharacterToGlyphIndexMappings::IsMapped(std::uint16_t CharacterCode) const
{
    if (!FIndex) {
        FIndex = std::make_unique<TCodeSet>();
        for (const TCharacterToGlyphIndexMapping& Mapping : FItems)
            FIndex->Insert(Mapping.CharacterCode);
    }
    return FIndex->Contains(CharacterCode);
}

void TCharacterToGlyphIndexMappings::SortByCharacterCode()
{
    std::stable_sort(FItems.begin(), FItems.end(), [](const auto& A, const auto& B) {
        return A.CharacterCode < B.CharacterCode;
    });
}

void TCharacterToGlyphIndexMappings::Clear()
{
    FItems.clear();
    FIndex.reset();
}

}  // namespace truetype
