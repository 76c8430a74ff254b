// The naming table: the font's names per platform, encoding and language, held
// as a tree of UTF-16 texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/ListError.h"
#include "truetype/sfnt/TableBase.h"

namespace truetype {

// An owned list in insertion order with an index by key beside it, so that a
// file of 65535 distinct keys costs no quadratic walk. Short lists, the usual
// ones, are walked: their index would cost more than it saves. An entry's key
// is fixed once the entry is filed: change its text, never its key fields.
template <typename Item, typename Key>
class TKeyedList {
public:
    std::size_t Count() const { return FItems.size(); }
    const Item& Items(std::ptrdiff_t Index) const { return *base::ListItem(FItems, Index); }
    Item& Items(std::ptrdiff_t Index) { return *base::ListItem(FItems, Index); }

    const Item* Find(Key Id) const
    {
        if (FIndex.empty()) {
            for (std::size_t i = 0; i < FKeys.size(); ++i)
                if (FKeys[i] == Id)
                    return FItems[i].get();
            return nullptr;
        }
        const auto Found = FIndex.find(Id);
        return Found != FIndex.end() ? Found->second : nullptr;
    }
    // The list owns its items and hands them out as it is itself handed.
    Item* Find(Key Id) { return const_cast<Item*>(std::as_const(*this).Find(Id)); }

    // The entry of Id; a new one, initialised by Fill, is appended when absent.
    template <typename Init>
    Item& Obtain(Key Id, Init Fill)
    {
        if (Item* Found = Find(Id))
            return *Found;
        auto New = std::make_unique<Item>();
        Fill(*New);
        FKeys.push_back(Id);
        try {
            FItems.push_back(std::move(New));
            if (!FIndex.empty())
                FIndex.emplace(Id, FItems.back().get());
        } catch (...) {
            FKeys.pop_back();
            if (FItems.size() > FKeys.size())
                FItems.pop_back();
            throw;
        }
        if (FIndex.empty() && FItems.size() >= IndexFrom)
            BuildIndex();
        return *FItems.back();
    }

    void Clear()
    {
        FIndex.clear();
        FKeys.clear();
        FItems.clear();
    }

private:
    static constexpr std::size_t IndexFrom = 16;

    void BuildIndex()
    {
        try {
            FIndex.reserve(FItems.size());
            for (std::size_t i = 0; i < FItems.size(); ++i)
                FIndex.emplace(FKeys[i], FItems[i].get());
        } catch (...) {
            FIndex.clear();  // walked until the next try
            throw;
        }
    }

    std::vector<std::unique_ptr<Item>> FItems;
    std::vector<Key> FKeys;
    std::unordered_map<Key, Item*> FIndex;
};

class TNameField {
public:
    std::uint16_t NameID = 0;
    std::u16string Text;
};

// The names of one language, one per name ID.
class TNameLanguageList {
public:
    std::uint16_t LanguageID = 0;

    std::size_t Count() const { return FFields.Count(); }
    const TNameField& Items(std::ptrdiff_t Index) const { return FFields.Items(Index); }
    TNameField& Items(std::ptrdiff_t Index) { return FFields.Items(Index); }
    const TNameField* FindName(std::uint16_t NameID) const { return FFields.Find(NameID); }
    TNameField* FindName(std::uint16_t NameID) { return FFields.Find(NameID); }
    // Replaces any earlier text of the name ID.
    void SetName(std::uint16_t NameID, std::u16string_view Text);
    // Leaves Text untouched when the name ID is absent.
    bool GetName(std::uint16_t NameID, std::u16string& Text) const;

private:
    TKeyedList<TNameField, std::uint16_t> FFields;
};

// The languages of one platform and encoding.
class TNamePlatformList {
public:
    std::uint16_t PlatformID = 0;
    std::uint16_t EncodingID = 0;

    std::size_t Count() const { return FLanguages.Count(); }
    const TNameLanguageList& Items(std::ptrdiff_t Index) const { return FLanguages.Items(Index); }
    TNameLanguageList& Items(std::ptrdiff_t Index) { return FLanguages.Items(Index); }
    const TNameLanguageList* FindLanguage(std::uint16_t LanguageID) const { return FLanguages.Find(LanguageID); }
    TNameLanguageList* FindLanguage(std::uint16_t LanguageID) { return FLanguages.Find(LanguageID); }
    void AddName(std::uint16_t LanguageID, std::uint16_t NameID, std::u16string_view Text);
    // Leaves Text untouched when the language or the name ID is absent.
    bool GetName(std::uint16_t LanguageID, std::uint16_t NameID, std::u16string& Text) const;

private:
    TKeyedList<TNameLanguageList, std::uint16_t> FLanguages;
};

// One list per (platform, encoding) pair.
class TNameList {
public:
    std::size_t Count() const { return FPlatforms.Count(); }
    const TNamePlatformList& Items(std::ptrdiff_t Index) const { return FPlatforms.Items(Index); }
    TNamePlatformList& Items(std::ptrdiff_t Index) { return FPlatforms.Items(Index); }
    void Clear() { FPlatforms.Clear(); }
    const TNamePlatformList* FindPlatform(std::uint16_t PlatformID, std::uint16_t EncodingID) const
    {
        return FPlatforms.Find(PairKey(PlatformID, EncodingID));
    }
    TNamePlatformList* FindPlatform(std::uint16_t PlatformID, std::uint16_t EncodingID)
    {
        return FPlatforms.Find(PairKey(PlatformID, EncodingID));
    }
    void AddName(std::uint16_t PlatformID, std::uint16_t EncodingID, std::uint16_t LanguageID,
                 std::uint16_t NameID, std::u16string_view Text);

private:
    static std::uint32_t PairKey(std::uint16_t PlatformID, std::uint16_t EncodingID)
    {
        return (std::uint32_t{PlatformID} << 16) | EncodingID;
    }

    TKeyedList<TNamePlatformList, std::uint32_t> FPlatforms;
};

// Calls Visit(Platform, Language, Field) for every name, in the tree's order.
template <typename Visit>
void ForEachName(const TNameList& Names, Visit&& Visitor)
{
    for (std::size_t p = 0; p < Names.Count(); ++p) {
        const TNamePlatformList& Platform = Names.Items(static_cast<std::ptrdiff_t>(p));
        for (std::size_t l = 0; l < Platform.Count(); ++l) {
            const TNameLanguageList& Language = Platform.Items(static_cast<std::ptrdiff_t>(l));
            for (std::size_t n = 0; n < Language.Count(); ++n)
                Visitor(Platform, Language, Language.Items(static_cast<std::ptrdiff_t>(n)));
        }
    }
}

// Platforms 0 (Unicode) and 3 (Microsoft) store UTF-16BE; every other one
// stores 8-bit text in the system's code page.
inline bool IsTwoBytePlatform(std::uint16_t PlatformID) { return PlatformID == 0 || PlatformID == 3; }

class TTableName final : public TFontTable {
public:
    explicit TTableName(std::string_view Tag) : TFontTable(Tag, "TTableName", "name") {}

    // A hostile table can point 65535 records at the same 64 KB string; one
    // load decodes at most this many bytes of strings and skips the records
    // beyond them.
    static constexpr std::uint32_t MaxDecodedBytes = 8 * 1024 * 1024;

    TNameList Names;
    // Whether saving lets a string that occurs inside another use its bytes.
    bool ShareStrings = true;

    void Clear() { Names.Clear(); }
    const TNamePlatformList* FindPlatform(std::uint16_t PlatformID, std::uint16_t EncodingID) const
    {
        return Names.FindPlatform(PlatformID, EncodingID);
    }
    TNamePlatformList* FindPlatform(std::uint16_t PlatformID, std::uint16_t EncodingID)
    {
        return Names.FindPlatform(PlatformID, EncodingID);
    }

    void LoadFromStream(TStream& Stream) override;
    // Raises when the names do not fit the format's 16-bit offsets.
    void SaveToStream(TStream& Stream) override;
};

// A name record while the table is being saved.
class TExtendedNameField {
public:
    TExtendedNameField(std::uint16_t Platform, std::uint16_t Encoding, std::uint16_t Language, std::uint16_t Name,
                       std::u16string_view Text);

    std::uint16_t EncodingID = 0;
    std::uint16_t LanguageID = 0;
    std::uint16_t NameID = 0;
    // The string's offset in the storage when it has storage of its own.
    std::uint16_t StorageOffset = 0;
    // The earlier record whose string contains this one, if any.
    const TExtendedNameField* SharedWith = nullptr;
    // This string's position inside SharedWith's stored string, in its units
    // (UTF-16 code units on two-byte platforms, bytes on one-byte ones).
    std::uint16_t SharedOffset = 0;

    const std::u16string& Text() const { return FText; }
    void SetText(std::u16string_view Text);
    std::uint16_t PlatformID() const { return FPlatformID; }
    void SetPlatformID(std::uint16_t PlatformID);
    bool IsTwoByte() const { return IsTwoBytePlatform(FPlatformID); }

    // On a one-byte platform the text in the system's code page, the bytes
    // the storage holds; empty on two-byte platforms.
    const std::string& Bytes() const { return FBytes; }
    // The stored string's size in bytes. On one-byte platforms it is counted
    // from the bytes actually stored, not from the characters, so that record
    // and storage agree also where a double-byte code page gives more bytes
    // than characters. A text longer than a 16-bit length can describe is
    // stored cut to it.
    std::uint16_t Length() const { return FLength; }

    // Where a sharing record's string starts in the storage. Computed wider
    // than 16 bits so that the caller can refuse an offset that would wrap.
    std::uint32_t GetStringOffset() const;

private:
    void Encode();

    std::uint16_t FPlatformID = 0;
    std::u16string FText;
    std::string FBytes;
    std::uint16_t FLength = 0;
};

// The flat records of a name tree, as they are written.
class TExtendedNameFieldList {
public:
    explicit TExtendedNameFieldList(const TNameList& Names);

    std::size_t Count() const { return FFields.size(); }
    const TExtendedNameField& Items(std::ptrdiff_t Index) const { return *base::ListItem(FFields, Index); }
    TExtendedNameField& Items(std::ptrdiff_t Index) { return *base::ListItem(FFields, Index); }

    // Shares strings when asked, sorts the records as the format requires and
    // gives every string with storage of its own its offset. Raises when an
    // offset would not fit in 16 bits.
    void PrepareStorage(bool ShareStrings);
    // The storage's size after PrepareStorage.
    std::uint32_t StorageSize() const { return FStorageSize; }

private:
    void Share();

    std::vector<std::unique_ptr<TExtendedNameField>> FFields;
    std::uint32_t FStorageSize = 0;
};

}  // namespace truetype
