// The process-wide list of warning lines: irregularities that do not stop a
// load. The loader clears it at the start of every load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/Format.h"

namespace truetype {

class TWarningCollector {
public:
    // A hostile file can repeat one irregularity billions of times. Each kind
    // of warning (its format, or its text when it has no arguments) is kept
    // at most this often; the rest are counted in one closing line per kind.
    static constexpr std::size_t MaxWarningsPerKind = 2000;

    static void Add(std::string Text);
    static void AddFmt(std::string_view Format, std::initializer_list<base::TFormatArg> Args);
    // The same warning Count times over, formatted once.
    static void AddFmtRepeated(std::string_view Format, std::initializer_list<base::TFormatArg> Args,
                               std::uint64_t Count);
    static void Clear();
    // The lines as they stand at the call (a reference kept across later
    // warnings may show an older count in a "dropped" line).
    static const std::vector<std::string>& Warnings();

    // For callers that can skip the work of producing warnings nobody keeps.
    static bool IsFull(std::string_view Kind);
    // Counts Count warnings of a full kind as dropped without formatting them.
    static void AddDropped(std::string_view Kind, std::uint64_t Count);

private:
    struct TKind {
        std::size_t Kept = 0;
        std::uint64_t Dropped = 0;
        std::size_t SummaryLine = 0;
    };
    // Looks kinds up by the caller's text, without building a key string for
    // every warning.
    struct TKindHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view Kind) const { return std::hash<std::string_view>{}(Kind); }
    };
    using TKinds = std::unordered_map<std::string, TKind, TKindHash, std::equal_to<>>;

    static TWarningCollector& Instance();
    // The kind's entry; the one asked for last is found without hashing its
    // text again, since a hostile file repeats one warning thousands of times.
    TKinds::value_type& FindOrAdd(std::string_view Kind);
    // Answers whether a warning of this kind is still kept, counting it.
    bool Admit(std::string_view Kind);
    void Drop(TKinds::value_type& Entry, std::uint64_t Count);

    // The summary lines of dropped warnings are written when the list is
    // read, not once for every warning dropped.
    bool FSummariesStale = false;
    std::vector<std::string> FWarnings;
    TKinds FKinds;
    // Elements of an unordered map stay where they are when it grows.
    TKinds::value_type* FLastKind = nullptr;
};

}  // namespace truetype
