#include "UnitWarningCollector.h"

namespace truetype {

TWarningCollector& TWarningCollector::Instance()
{
    static TWarningCollector Collector;
    return Collector;
}

bool TWarningCollector::Admit(std::string_view Kind)
{
    TKind& Entry = FKinds[std::string(Kind)];
    if (Entry.Kept < MaxWarningsPerKind) {
        ++Entry.Kept;
        return true;
    }
    Drop(Kind, Entry, 1);
    return false;
}

void TWarningCollector::Drop(std::string_view Kind, TKind& Entry, std::uint64_t Count)
{
    if (Count == 0)
        return;
    if (Entry.Dropped == 0) {
        Entry.SummaryLine = FWarnings.size();
        FWarnings.emplace_back();
    }
    Entry.Dropped += Count;
    FWarnings[Entry.SummaryLine] =
        FormatText("[ignored] %d more warnings of the kind \"%s\" were dropped", {Entry.Dropped, Kind});
}

void TWarningCollector::Add(std::string Text)
{
    TWarningCollector& Self = Instance();
    if (Self.Admit(Text))
        Self.FWarnings.push_back(std::move(Text));
}

void TWarningCollector::AddFmt(std::string_view Format, std::initializer_list<TFormatArg> Args)
{
    TWarningCollector& Self = Instance();
    if (Self.Admit(Format))
        Self.FWarnings.push_back(FormatText(Format, Args));
}

void TWarningCollector::Clear()
{
    TWarningCollector& Self = Instance();
    Self.FWarnings.clear();
    Self.FKinds.clear();
}

const std::vector<std::string>& TWarningCollector::Warnings() { return Instance().FWarnings; }

bool TWarningCollector::IsFull(std::string_view Kind)
{
    const auto& Kinds = Instance().FKinds;
    const auto Found = Kinds.find(std::string(Kind));
    return Found != Kinds.end() && Found->second.Kept >= MaxWarningsPerKind;
}

void TWarningCollector::AddDropped(std::string_view Kind, std::uint64_t Count)
{
    TWarningCollector& Self = Instance();
    Self.Drop(Kind, Self.FKinds[std::string(Kind)], Count);
}

}  // namespace truetype
