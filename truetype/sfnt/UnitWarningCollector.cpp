#include "truetype/sfnt/UnitWarningCollector.h"

namespace truetype {

TWarningCollector& TWarningCollector::Instance()
{
    static TWarningCollector Collector;
    return Collector;
}

TWarningCollector::TKinds::iterator TWarningCollector::FindOrAdd(std::string_view Kind)
{
    const auto Found = FKinds.find(Kind);
    return Found != FKinds.end() ? Found : FKinds.emplace(std::string(Kind), TKind{}).first;
}

bool TWarningCollector::Admit(std::string_view Kind)
{
    const auto Entry = FindOrAdd(Kind);
    if (Entry->second.Kept < MaxWarningsPerKind) {
        ++Entry->second.Kept;
        return true;
    }
    Drop(Entry, 1);
    return false;
}

void TWarningCollector::Drop(TKinds::iterator Entry, std::uint64_t Count)
{
    if (Count == 0)
        return;
    TKind& Kind = Entry->second;
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

void TWarningCollector::Clear()
{
    TWarningCollector& Self = Instance();
    Self.FWarnings.clear();
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
    const auto& Kinds = Instance().FKinds;
    const auto Found = Kinds.find(Kind);
    return Found != Kinds.end() && Found->second.Kept >= MaxWarningsPerKind;
}

void TWarningCollector::AddDropped(std::string_view Kind, std::uint64_t Count)
{
    TWarningCollector& Self = Instance();
    Self.Drop(Self.FindOrAdd(Kind), Count);
}

}  // namespace truetype
