#include "truetype/sfnt/UnitWarningCollector.h"

#include <algorithm>

namespace truetype {

TWarningCollector& TWarningCollector::Instance()
{
    static TWarningCollector Collector;
    return Collector;
}

TWarningCollector::TKinds::value_type& TWarningCollector::FindOrAdd(std::string_view Kind)
{
    if (FLastKind == nullptr || FLastKind->first != Kind) {
        const auto Found = FKinds.find(Kind);
        FLastKind = &*(Found != FKinds.end() ? Found : FKinds.emplace(std::string(Kind), TKind{}).first);
    }
    return *FLastKind;
}

bool TWarningCollector::Admit(std::string_view Kind)
{
    auto& Entry = FindOrAdd(Kind);
    if (Entry.second.Kept < MaxWarningsPerKind) {
        ++Entry.second.Kept;
        return true;
    }
    Drop(Entry, 1);
    return false;
}

void TWarningCollector::Drop(TKinds::value_type& Entry, std::uint64_t Count)
{
    if (Count == 0)
        return;
    TKind& Kind = Entry.second;
    if (Kind.Dropped == 0) {
        Kind.SummaryLine = FWarnings.size();
        FWarnings.emplace_back();
    }
    Kind.Dropped += Count;
    FSummariesStale = true;
}

void TWarningCollector::Add(std::string Text)
{
    TWarningCollector& Self = Instance();
    if (Self.Admit(Text))
        Self.FWarnings.push_back(std::move(Text));
}

void TWarningCollector::AddFmt(std::string_view Format, std::initializer_list<base::TFormatArg> Args)
{
    TWarningCollector& Self = Instance();
    if (Self.Admit(Format))
        Self.FWarnings.push_back(base::FormatText(Format, Args));
}

void TWarningCollector::AddFmtRepeated(std::string_view Format, std::initializer_list<base::TFormatArg> Args,
                                       std::uint64_t Count)
{
    if (Count == 0)
        return;
    TWarningCollector& Self = Instance();
    auto& Entry = Self.FindOrAdd(Format);
    const std::uint64_t Kept = std::min<std::uint64_t>(Count, MaxWarningsPerKind - Entry.second.Kept);
    if (Kept != 0) {
        Entry.second.Kept += static_cast<std::size_t>(Kept);
        Self.FWarnings.insert(Self.FWarnings.end(), static_cast<std::size_t>(Kept), base::FormatText(Format, Args));
    }
    Self.Drop(Entry, Count - Kept);
}

void TWarningCollector::Clear()
{
    TWarningCollector& Self = Instance();
    Self.FWarnings.clear();
    Self.FLastKind = nullptr;
    Self.FKinds.clear();
    Self.FSummariesStale = false;
}

const std::vector<std::string>& TWarningCollector::Warnings()
{
    TWarningCollector& Self = Instance();
    if (Self.FSummariesStale) {
        for (const auto& [Kind, Entry] : Self.FKinds)
            if (Entry.Dropped != 0)
                Self.FWarnings[Entry.SummaryLine] = base::FormatText(
                    "[ignored] %d more warnings of the kind \"%s\" were dropped", {Entry.Dropped, Kind});
        Self.FSummariesStale = false;
    }
    return Self.FWarnings;
}

bool TWarningCollector::IsFull(std::string_view Kind)
{
    const TWarningCollector& Self = Instance();
    if (Self.FLastKind != nullptr && Self.FLastKind->first == Kind)
        return Self.FLastKind->second.Kept >= MaxWarningsPerKind;
    const auto Found = Self.FKinds.find(Kind);
    return Found != Self.FKinds.end() && Found->second.Kept >= MaxWarningsPerKind;
}

void TWarningCollector::AddDropped(std::string_view Kind, std::uint64_t Count)
{
    TWarningCollector& Self = Instance();
    Self.Drop(Self.FindOrAdd(Kind), Count);
}

}  // namespace truetype
