#include "truetype/tables/post/PostScriptNameList.h"

#include <algorithm>
#include <functional>

#include "base/BigEndianView.h"
#include "base/ListError.h"
#include "truetype/tables/post/StandardGlyphNames.h"

namespace truetype {

namespace {

// The custom names of a format 2.0 table, read into the pool as the stream
// holds them: a name is its length byte and as many of its characters as the
// stream has, and every name past the end of the stream is empty. They are
// fetched as far as the highest index needs them, in blocks sized by the
// names still wanted at the length of those read so far: the stream goes on
// past the table, and every byte fetched is a byte copied.
class TCustomNameReader {
public:
    // Names holds how many names the list asks for.
    TCustomNameReader(base::TStream& Stream, base::TReadBuffer& Pool, std::size_t Names)
        : FStream(Stream), FPool(Pool), FWanted(Names)
    {
        // Every name the stream holds takes at least its length byte.
        FStarts.reserve(static_cast<std::size_t>(std::min<std::int64_t>(
            static_cast<std::int64_t>(Names), std::max<std::int64_t>(0, Stream.Remaining()))));
    }

    // Reads names until Count of them are known or the stream ends.
    void ReadNames(std::size_t Count)
    {
        while (FStarts.size() < Count) {
            // The names the pool already holds whole, in one tight sweep.
            const std::uint8_t* Pool = FPool.data();
            const std::size_t Size = FPool.size();
            std::size_t At = FParsed;
            while (FStarts.size() < Count && At < Size && Pool[At] < Size - At) {
                FStarts.push_back(At);
                At += std::size_t{1} + Pool[At];
            }
            FParsed = At;
            if (FStarts.size() >= Count || !ReadNext())
                return;
        }
    }
    // The pool offset of each name read, in order.
    const std::vector<std::size_t>& Starts() const { return FStarts; }

    // Drops the bytes fetched past the last name read.
    void Trim() { FPool.resize(std::min(FPool.size(), FParsed)); }

private:
    bool ReadNext()
    {
        if (!Fetch(FParsed + 1))
            return false;
        FStarts.push_back(FParsed);
        const std::size_t End = FParsed + 1 + FPool[FParsed];
        Fetch(End);
        FParsed = std::min(End, FPool.size());
        return true;
    }

    bool Fetch(std::size_t Size)
    {
        while (FPool.size() < Size && !FEnded) {
            const std::size_t Left = FWanted > FStarts.size() ? FWanted - FStarts.size() : 1;
            const std::size_t PerName = FStarts.empty() ? 12 : FParsed / FStarts.size() + 1;
            const std::size_t Ask = std::max({Size - FPool.size(), Left * PerName + 256, std::size_t{4096}});
            FEnded = FStream.AppendUpTo(FPool, Ask) == 0;
        }
        return FPool.size() >= Size;
    }

    base::TStream& FStream;
    base::TReadBuffer& FPool;
    std::vector<std::size_t> FStarts;
    const std::size_t FWanted;
    std::size_t FParsed = 0;
    bool FEnded = false;
};

}  // namespace

TPostScriptNameEntry TPostScriptNameList::Items(std::ptrdiff_t Index) const
{
    const TCode Code = base::ListItem(FNames, Index);
    if (Code < PoolCodes)
        return {StandardGlyphNames[Code]};
    if (Code == EmptyName)
        return {};
    const std::size_t Offset = Code - PoolCodes;
    // A name the end of the stream cut holds the characters it had.
    const std::size_t Length = std::min<std::size_t>(FPool[Offset], FPool.size() - Offset - 1);
    return {{reinterpret_cast<const char*>(FPool.data()) + Offset + 1, Length}};
}

TPostScriptNameList::TCode TPostScriptNameList::Pooled(std::string_view Name)
{
    const std::size_t Length = std::min<std::size_t>(Name.size(), 255);
    const auto Code = static_cast<TCode>(PoolCodes + FPool.size());
    // Name may be a name of this list (Items answers views of the pool):
    // growing the pool would move it, so it is found again by its offset.
    const auto* Pool = reinterpret_cast<const char*>(FPool.data());
    const std::less<const char*> Before;
    const bool InPool = !FPool.empty() && !Before(Name.data(), Pool) && Before(Name.data(), Pool + FPool.size());
    const std::size_t From = InPool ? static_cast<std::size_t>(Name.data() - Pool) : 0;
    const std::size_t Needed = FPool.size() + 1 + Length;
    if (FPool.capacity() < Needed)
        FPool.reserve(std::max(Needed, 2 * FPool.capacity()));
    const auto* Text = InPool ? FPool.data() + From : reinterpret_cast<const std::uint8_t*>(Name.data());
    FPool.push_back(static_cast<std::uint8_t>(Length));
    FPool.insert(FPool.end(), Text, Text + Length);
    return Code;
}

void TPostScriptNameList::Add(std::string_view Name) { FNames.push_back(Pooled(Name)); }

void TPostScriptNameList::Set(std::ptrdiff_t Index, std::string_view Name)
{
    base::CheckListIndex(Index, FNames.size());
    FNames[static_cast<std::size_t>(Index)] = Pooled(Name);
}

void TPostScriptNameList::Clear()
{
    FNames.clear();
    FPool.clear();
}

void TPostScriptNameList::AddStandardNames()
{
    for (TCode Position = 0; Position < StandardGlyphNameCount; ++Position)
        FNames.push_back(Position);
}

void TPostScriptNameList::LoadFormat2(base::TStream& Stream, std::uint16_t Count)
{
    Clear();
    // Indices the file does not hold read as 0, the first standard name.
    const base::TBigEndianBlock Indices(Stream, 2 * std::size_t{Count});
    const base::TBigEndianView& View = Indices.View();
    const std::size_t Held = std::min<std::size_t>(Count, (View.Size() + 1) / 2);
    // The custom names as far as the highest index names one, read in one
    // sweep before the indices are resolved against their starts; each
    // index is decoded once, into the place of the code it becomes.
    FNames.resize(Count);
    std::size_t Needed = 0;
    for (std::size_t i = 0; i < Held; ++i) {
        const std::uint16_t Index = View.UShort(2 * i);
        FNames[i] = Index;
        if (Index >= StandardGlyphNameCount && Index <= LastCustomIndex)
            Needed = std::max<std::size_t>(Needed, std::size_t{Index} - StandardGlyphNameCount + 1);
    }
    TCustomNameReader Custom(Stream, FPool, Needed);
    Custom.ReadNames(Needed);
    const std::vector<std::size_t>& Starts = Custom.Starts();
    for (std::size_t i = 0; i < Held; ++i) {
        const TCode Index = FNames[i];
        const std::size_t Number = std::size_t{Index} - StandardGlyphNameCount;
        if (Index < StandardGlyphNameCount)
            continue;
        if (Index <= LastCustomIndex && Number < Starts.size())
            FNames[i] = static_cast<TCode>(PoolCodes + Starts[Number]);
        else
            FNames[i] = EmptyName;
    }
    std::fill(FNames.begin() + static_cast<std::ptrdiff_t>(Held), FNames.end(), TCode{0});
    Custom.Trim();
}

}  // namespace truetype
