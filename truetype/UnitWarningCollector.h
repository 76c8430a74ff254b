// The process-wide list of warning lines: irregularities that do not stop a
// load. The loader clears it at the start of every load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "runtime/Format.h"

namespace truetype {

class TWarningCollector {
public:
    // A hostile file can repeat one irregularity billions of times. Each kind
    // of warning (its format, or its text when it has no arguments) is kept
    // at most this often; the rest are counted in one closing line per kind.
    static constexpr std::size_t MaxWarningsPerKind = 2000;

    static void Add(std::string Text);
    static void AddFmt(std::string_view Format, std::initializer_list<TFormatArg> Args);
    static void Clear();
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

    static TWarningCollector& Instance();
    // Answers whether a warning of this kind is still kept, counting it.
    bool Admit(std::string_view Kind);
    void Drop(std::string_view Kind, TKind& Entry, std::uint64_t Count);

    std::vector<std::string> FWarnings;
    std::unordered_map<std::string, TKind> FKinds;
};

}  // namespace truetype
