#include "truetype/tables/TableName.h"

#include <algorithm>
#include <tuple>

#include "base/BigEndianView.h"
#include "base/TextConversion.h"
#include "truetype/sfnt/UnitWarningCollector.h"

namespace truetype {

namespace {

// Offsets and lengths are 16-bit.
constexpr std::uint32_t MaxOffset = 0xFFFF;
// A record can reach no further than its largest offset plus its largest
// length from the start of the string storage.
constexpr std::size_t RecordSize = 12;
constexpr std::size_t HeaderSize = 6;

struct TNameRecord {
    std::uint16_t PlatformID = 0;
    std::uint16_t EncodingID = 0;
    std::uint16_t LanguageID = 0;
    std::uint16_t NameID = 0;
    std::uint16_t Length = 0;
    std::uint16_t Offset = 0;
};

TNameRecord ReadNameRecord(const base::TBigEndianView& Records, std::size_t Index)
{
    const std::size_t At = RecordSize * Index;
    return {Records.UShort(At), Records.UShort(At + 2), Records.UShort(At + 4),
            Records.UShort(At + 6), Records.UShort(At + 8), Records.UShort(At + 10)};
}

// The bytes a record's string read takes from Strings, which stands at the
// string: what the string primitives would deliver.
std::int64_t BytesToRead(const TNameRecord& Record, const TStream& Strings)
{
    if (IsTwoBytePlatform(Record.PlatformID))
        return std::min<std::int64_t>(Record.Length / 2, Strings.Remaining() / 2) * 2;
    return std::min<std::int64_t>(Record.Length, Strings.Remaining());
}

std::u16string ReadNameText(TStream& Strings, const TNameRecord& Record)
{
    if (IsTwoBytePlatform(Record.PlatformID))
        return ReadUnicodeString(Strings, Record.Length);
    return base::AnsiToUtf16(ReadByteString(Strings, Record.Length));
}

[[noreturn]] void RaiseStorageTooLarge(std::uint32_t Bytes)
{
    RaiseFontErrorFmt("Name table strings need at least %d bytes of storage, more than 16-bit offsets can reach",
                      {Bytes});
}

std::size_t CountRecords(const TNameList& Names)
{
    std::size_t Count = 0;
    for (std::size_t p = 0; p < Names.Count(); ++p) {
        const TNamePlatformList& Platform = Names.Items(static_cast<std::ptrdiff_t>(p));
        for (std::size_t l = 0; l < Platform.Count(); ++l)
            Count += Platform.Items(static_cast<std::ptrdiff_t>(l)).Count();
    }
    return Count;
}

// The first occurrence of one needle in any number of haystacks, in time
// linear in their lengths also for the periodic strings a hostile table can
// hold (Knuth-Morris-Pratt).
template <typename Char>
class TSubstringFinder {
public:
    explicit TSubstringFinder(std::basic_string_view<Char> Needle) : FNeedle(Needle), FFallback(Needle.size(), 0)
    {
        std::size_t Matched = 0;
        for (std::size_t i = 1; i < FNeedle.size(); ++i) {
            while (Matched > 0 && FNeedle[i] != FNeedle[Matched])
                Matched = FFallback[Matched - 1];
            if (FNeedle[i] == FNeedle[Matched])
                ++Matched;
            FFallback[i] = Matched;
        }
    }

    std::size_t FindIn(std::basic_string_view<Char> Haystack) const
    {
        if (FNeedle.empty() || Haystack.size() < FNeedle.size())
            return std::basic_string_view<Char>::npos;
        std::size_t Matched = 0;
        for (std::size_t i = 0; i < Haystack.size(); ++i) {
            while (Matched > 0 && Haystack[i] != FNeedle[Matched])
                Matched = FFallback[Matched - 1];
            if (Haystack[i] == FNeedle[Matched] && ++Matched == FNeedle.size())
                return i + 1 - Matched;
        }
        return std::basic_string_view<Char>::npos;
    }

private:
    std::basic_string_view<Char> FNeedle;
    std::vector<std::size_t> FFallback;
};

// The units that sharing compares: the code units stored on a two-byte
// platform, the code page's bytes on a one-byte platform.
std::u16string_view StoredUnits(const TExtendedNameField& Field)
{
    return std::u16string_view(Field.Text()).substr(0, Field.Length() / 2);
}

std::string_view StoredBytes(const TExtendedNameField& Field) { return Field.Bytes(); }

// Lets Field share with the first of Candidates whose string contains its own.
template <typename Char>
void ShareWithFirst(TExtendedNameField& Field, const std::vector<const TExtendedNameField*>& Candidates,
                    std::basic_string_view<Char> (*Units)(const TExtendedNameField&))
{
    const TSubstringFinder<Char> Finder(Units(Field));
    for (const TExtendedNameField* Candidate : Candidates) {
        const std::size_t At = Finder.FindIn(Units(*Candidate));
        if (At != std::basic_string_view<Char>::npos) {
            Field.SharedWith = Candidate;
            Field.SharedOffset = static_cast<std::uint16_t>(At);
            return;
        }
    }
}

}  // namespace

void TNameLanguageList::SetName(std::uint16_t NameID, std::u16string_view Text)
{
    FFields.Obtain(NameID, [NameID](TNameField& Field) { Field.NameID = NameID; }).Text = Text;
}

bool TNameLanguageList::GetName(std::uint16_t NameID, std::u16string& Text) const
{
    const TNameField* Field = FindName(NameID);
    if (Field == nullptr)
        return false;
    Text = Field->Text;
    return true;
}

void TNamePlatformList::AddName(std::uint16_t LanguageID, std::uint16_t NameID, std::u16string_view Text)
{
    FLanguages.Obtain(LanguageID, [LanguageID](TNameLanguageList& Language) { Language.LanguageID = LanguageID; })
        .SetName(NameID, Text);
}

bool TNamePlatformList::GetName(std::uint16_t LanguageID, std::uint16_t NameID, std::u16string& Text) const
{
    const TNameLanguageList* Language = FindLanguage(LanguageID);
    return Language != nullptr && Language->GetName(NameID, Text);
}

void TNameList::AddName(std::uint16_t PlatformID, std::uint16_t EncodingID, std::uint16_t LanguageID,
                        std::uint16_t NameID, std::u16string_view Text)
{
    auto Init = [PlatformID, EncodingID](TNamePlatformList& Platform) {
        Platform.PlatformID = PlatformID;
        Platform.EncodingID = EncodingID;
    };
    FPlatforms.Obtain(PairKey(PlatformID, EncodingID), Init).AddName(LanguageID, NameID, Text);
}

void TTableName::LoadFromStream(TStream& Stream)
{
    Clear();
    const std::int64_t Start = Stream.Position();
    const std::uint16_t FormatSelector = ReadUShort(Stream);
    if (FormatSelector != 0) {
        TWarningCollector::AddFmt("(Warning level: low) FormatSelector is supposed to be zero but is %d",
                                  {FormatSelector});
        return;
    }
    const std::uint16_t Count = ReadUShort(Stream);
    const std::uint16_t StringOffset = ReadUShort(Stream);

    // Two reads in all: the records, and every byte their strings can reach,
    // each as far as the stream holds them. Records past its end read as
    // zeros, strings past it come back shortened, as the primitives would
    // deliver them. The records wholly past the end all name the same empty
    // string: once the first of them is read, the rest change nothing.
    const base::TBigEndianBlock RecordBytes(Stream, RecordSize * Count);
    const std::size_t Read = std::min<std::size_t>(Count, (RecordBytes.Size() + RecordSize - 1) / RecordSize + 1);
    const std::int64_t StorageStart = Start + StringOffset;
    Stream.SetPosition(StorageStart);
    // As far as the strings of the records read reach (at most 128 KiB): no
    // record reads a byte beyond.
    std::size_t Reach = 0;
    for (std::size_t i = 0; i < Read; ++i) {
        const TNameRecord Record = ReadNameRecord(RecordBytes.View(), i);
        Reach = std::max<std::size_t>(Reach, std::size_t{Record.Offset} + Record.Length);
    }
    std::vector<std::uint8_t> StorageBytes(
        static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(Reach), Stream.Remaining())));
    StorageBytes.resize(Stream.Read(StorageBytes.data(), StorageBytes.size()));
    TSpanStream Strings(StorageBytes.data(), StorageBytes.size());

    std::int64_t End = Start + static_cast<std::int64_t>(HeaderSize);
    std::uint32_t Decoded = 0;
    std::uint32_t Skipped = 0;
    for (std::size_t i = 0; i < Read; ++i) {
        const TNameRecord Record = ReadNameRecord(RecordBytes.View(), i);
        Strings.SetPosition(Record.Offset);
        const std::int64_t Bytes = BytesToRead(Record, Strings);
        End = StorageStart + Record.Offset + Bytes;
        if (Decoded + Bytes > MaxDecodedBytes) {
            ++Skipped;
            continue;
        }
        Decoded += static_cast<std::uint32_t>(Bytes);
        Names.AddName(Record.PlatformID, Record.EncodingID, Record.LanguageID, Record.NameID,
                      ReadNameText(Strings, Record));
    }
    if (Skipped > 0)
        TWarningCollector::AddFmt("[ignored] %d name records: their strings would pass the %d bytes of text one "
                                  "name table may decode",
                                  {Skipped, MaxDecodedBytes});
    // Where the last string ended, as if each had been read from Stream itself.
    Stream.SetPosition(End);
}

void TTableName::SaveToStream(TStream& Stream)
{
    const std::int64_t Start = Stream.Position();
    // stringOffset is 16-bit as well: it can step over 5460 records at most.
    const std::size_t Count = CountRecords(Names);
    const std::size_t StringOffset = HeaderSize + RecordSize * Count;
    if (StringOffset > MaxOffset)
        RaiseFontErrorFmt("Name table with %d records does not fit: its strings would start at %d",
                          {Count, StringOffset});

    TExtendedNameFieldList Fields(Names);
    Fields.PrepareStorage(ShareStrings);
    WriteUShort(Stream, 0);
    WriteUShort(Stream, static_cast<std::uint16_t>(Count));
    WriteUShort(Stream, static_cast<std::uint16_t>(StringOffset));
    for (std::size_t i = 0; i < Count; ++i) {
        const TExtendedNameField& Field = Fields.Items(static_cast<std::ptrdiff_t>(i));
        Stream.SetPosition(Start + static_cast<std::int64_t>(HeaderSize + RecordSize * i));
        WriteUShort(Stream, Field.PlatformID());
        WriteUShort(Stream, Field.EncodingID);
        WriteUShort(Stream, Field.LanguageID);
        WriteUShort(Stream, Field.NameID);
        WriteUShort(Stream, Field.Length());
        if (Field.SharedWith != nullptr) {
            // PrepareStorage has made sure the offset fits.
            WriteUShort(Stream, static_cast<std::uint16_t>(Field.GetStringOffset()));
            continue;
        }
        WriteUShort(Stream, Field.StorageOffset);
        Stream.SetPosition(Start + static_cast<std::int64_t>(StringOffset) + Field.StorageOffset);
        if (Field.IsTwoByte())
            WriteUnicodeString(Stream, StoredUnits(Field));
        else
            WriteByteString(Stream, Field.Bytes());
    }
    Stream.SetPosition(Start + static_cast<std::int64_t>(StringOffset) + Fields.StorageSize());
}

TExtendedNameField::TExtendedNameField(std::uint16_t Platform, std::uint16_t Encoding, std::uint16_t Language,
                                       std::uint16_t Name, std::u16string_view Text)
    : EncodingID(Encoding), LanguageID(Language), NameID(Name), FPlatformID(Platform), FText(Text)
{
    Encode();
}

void TExtendedNameField::SetText(std::u16string_view Text)
{
    FText = Text;
    Encode();
}

void TExtendedNameField::SetPlatformID(std::uint16_t PlatformID)
{
    FPlatformID = PlatformID;
    Encode();
}

void TExtendedNameField::Encode()
{
    if (IsTwoByte()) {
        FBytes.clear();
        FLength = static_cast<std::uint16_t>(2 * std::min<std::size_t>(FText.size(), MaxOffset / 2));
        return;
    }
    // No more characters than a length can count, then no more bytes: a
    // double-byte code page may give two per character.
    FBytes = base::Utf16ToAnsi(std::u16string_view(FText).substr(0, MaxOffset));
    if (FBytes.size() > MaxOffset)
        FBytes.resize(MaxOffset);
    FLength = static_cast<std::uint16_t>(FBytes.size());
}

std::uint32_t TExtendedNameField::GetStringOffset() const
{
    // Followed in a loop: a chain must not cost a stack frame per link.
    std::uint32_t Offset = 0;
    const TExtendedNameField* Field = this;
    while (Field->SharedWith != nullptr) {
        Offset += Field->SharedOffset * (Field->IsTwoByte() ? 2u : 1u);
        Field = Field->SharedWith;
    }
    return Offset + Field->StorageOffset;
}

TExtendedNameFieldList::TExtendedNameFieldList(const TNameList& Names)
{
    FFields.reserve(CountRecords(Names));
    ForEachName(Names, [this](const TNamePlatformList& Platform, const TNameLanguageList& Language,
                              const TNameField& Name) {
        FFields.push_back(std::make_unique<TExtendedNameField>(Platform.PlatformID, Platform.EncodingID,
                                                               Language.LanguageID, Name.NameID, Name.Text));
    });
}

void TExtendedNameFieldList::Share()
{
    std::stable_sort(FFields.begin(), FFields.end(),
                     [](const auto& A, const auto& B) { return A->Length() > B->Length(); });
    // Whatever contains a sharing record's string contains that record's
    // owner too, and the owner comes earlier; so the first record containing a
    // string is always one with storage of its own, and only those are searched.
    std::vector<const TExtendedNameField*> OneByteOwners;
    std::vector<const TExtendedNameField*> TwoByteOwners;
    std::uint32_t Owned = 0;
    for (const auto& Field : FFields) {
        Field->SharedWith = nullptr;
        if (Field->Length() > 0) {
            if (Field->IsTwoByte())
                ShareWithFirst<char16_t>(*Field, TwoByteOwners, StoredUnits);
            else
                ShareWithFirst<char>(*Field, OneByteOwners, StoredBytes);
        }
        if (Field->SharedWith != nullptr)
            continue;
        (Field->IsTwoByte() ? TwoByteOwners : OneByteOwners).push_back(Field.get());
        Owned += Field->Length();
        // The first record is the longest. Once the other owners alone pass
        // 16 bits, whichever is placed last cannot be addressed, and every
        // further search would be wasted.
        if (Owned - FFields.front()->Length() > MaxOffset)
            RaiseStorageTooLarge(Owned);
    }
}

void TExtendedNameFieldList::PrepareStorage(bool ShareStrings)
{
    if (ShareStrings)
        Share();
    std::stable_sort(FFields.begin(), FFields.end(), [](const auto& A, const auto& B) {
        return std::tuple(A->PlatformID(), A->EncodingID, A->LanguageID, A->NameID) <
               std::tuple(B->PlatformID(), B->EncodingID, B->LanguageID, B->NameID);
    });
    std::uint32_t Running = 0;
    bool Fits = true;
    for (const auto& Field : FFields) {
        if (Field->SharedWith != nullptr)
            continue;
        Fits = Fits && Running <= MaxOffset;
        Field->StorageOffset = static_cast<std::uint16_t>(Running);
        Running += Field->Length();
    }
    FStorageSize = Running;
    for (const auto& Field : FFields)
        Fits = Fits && (Field->SharedWith == nullptr || Field->GetStringOffset() <= MaxOffset);
    if (!Fits)
        RaiseStorageTooLarge(Running);
}

}  // namespace truetype
