#include "truetype/font/TrueTypeFont.h"

#include <algorithm>
#include <chrono>

#include "base/BigEndianView.h"
#include "truetype/outlines/TableGlyf.h"
#include "truetype/sfnt/UnitWarningCollector.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHhea.h"
#include "truetype/tables/TableLoca.h"
#include "truetype/tables/TableMaxp.h"
#include "truetype/tables/TableName.h"
#include "truetype/tables/cmap/TableCmap.h"

namespace truetype {

namespace {

std::int64_t Milliseconds()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Tables kept as bytes may overlap in a hostile file; together they may hold
// at most this many times the font's own size.
constexpr std::uint64_t RawDataBudgetFactor = 4;

}  // namespace

TTrueTypeFont::TTrueTypeFont(bool WithOutlines) : LoadOutlines(WithOutlines) {}

template <typename Table>
const Table* TTrueTypeFont::Find(std::string_view Tag) const
{
    return dynamic_cast<const Table*>(Tables.FindTable(Tag));
}

template <typename Table>
Table* TTrueTypeFont::Find(std::string_view Tag)
{
    return dynamic_cast<Table*>(Tables.FindTable(Tag));
}

const TTableCmap* TTrueTypeFont::CmapTable() const { return Find<TTableCmap>("cmap"); }
TTableCmap* TTrueTypeFont::CmapTable() { return Find<TTableCmap>("cmap"); }
const TTableHead* TTrueTypeFont::HeadTable() const { return Find<TTableHead>("head"); }
TTableHead* TTrueTypeFont::HeadTable() { return Find<TTableHead>("head"); }
const TTableHhea* TTrueTypeFont::HheaTable() const { return Find<TTableHhea>("hhea"); }
TTableHhea* TTrueTypeFont::HheaTable() { return Find<TTableHhea>("hhea"); }
const TTableMaxp* TTrueTypeFont::MaxpTable() const { return Find<TTableMaxp>("maxp"); }
TTableMaxp* TTrueTypeFont::MaxpTable() { return Find<TTableMaxp>("maxp"); }
const TTableLoca* TTrueTypeFont::LocaTable() const { return Find<TTableLoca>("loca"); }
TTableLoca* TTrueTypeFont::LocaTable() { return Find<TTableLoca>("loca"); }
const TTableName* TTrueTypeFont::NameTable() const { return Find<TTableName>("name"); }
TTableName* TTrueTypeFont::NameTable() { return Find<TTableName>("name"); }
const TTableGlyf* TTrueTypeFont::GlyfTable() const { return Find<TTableGlyf>("glyf"); }
TTableGlyf* TTrueTypeFont::GlyfTable() { return Find<TTableGlyf>("glyf"); }

void TTrueTypeFont::Clear()
{
    Loaded = false;
    // A second load must not inherit the first file's signature flag.
    HasDigitalSignature = false;
    NumTables = 0;
    Directory.clear();
    Collection.reset();
    Log.Clear();
    Tables.Clear();
    Outlines.Clear();
    FRawSource.reset();
}

void TTrueTypeFont::LoadFromFile(const std::string& FileName)
{
    auto File = std::make_unique<TFileStream>(FileName);
    TStream& Stream = *File;
    Load(Stream, std::move(File));
}

void TTrueTypeFont::DoProgress(int Percent)
{
    if (OnProgress)
        OnProgress(*this, ProgressCaption, Percent);
}

void TTrueTypeFont::LoadFromStream(TStream& Stream) { Load(Stream, nullptr); }

void TTrueTypeFont::Load(TStream& Stream, std::unique_ptr<TStream> RawSource)
{
    ProgressCaption = "Loading Font...";
    DoProgress(0);
    try {
        TWarningCollector::Clear();
        Clear();
        // Kept after a failed load too: the tables filed by then stay until
        // the next Clear.
        FRawSource = std::move(RawSource);
        if (Stream.Position() >= Stream.Size())
            RaiseFontError("Stream is empty!");

        FStart = Stream.Position();
        FindFace(Stream);
        Version = ReadFixed(Stream);
        if (FixedMajor(Version) != 1 || FixedMinor(Version) != 0)
            TWarningCollector::AddFmt("Unknown font format (version number %d.%d).",
                                      {FixedMajor(Version), FixedMinor(Version)});

        LoadTables(Stream);

        const TTableLoca* Loca = LocaTable();
        const TTableGlyf* Glyf = GlyfTable();
        if (LoadOutlines && CheckOutlinesOnly && (Loca != nullptr || Glyf != nullptr)) {
            if (Loca == nullptr || Glyf == nullptr)
                RaiseFontErrorFmt("Font without outline information not supported (version number %d.%d).",
                                  {FixedMajor(Version), FixedMinor(Version)});
            CheckOutlines();
        } else if (LoadOutlines && !CheckOutlinesOnly) {
            if (Loca == nullptr || Glyf == nullptr) {
                const char* Message = Version == 0x4F54544F  // "OTTO"
                    ? "OpenType fonts containing CFF data not supported (version number %d.%d)."
                    : "Font without outline information not supported (version number %d.%d).";
                RaiseFontErrorFmt(Message, {FixedMajor(Version), FixedMinor(Version)});
            }
            const std::int64_t Started = Milliseconds();
            if (OnOutlineGlyphs)
                Outlines.RetrieveOutlinesFromTables(MaxpTable(), Loca, Glyf, OnOutlineGlyphs(*this));
            else
                Outlines.RetrieveOutlinesFromTables(MaxpTable(), Loca, Glyf);
            Log.Add(FormatText("RetrieveOutlinesFromTables Time %d", {Milliseconds() - Started}));
        }

        TTableCmap* Cmap = CmapTable();
        if (Cmap == nullptr)
            RaiseFontErrorFmt("Table %s not found!", {"cmap"});
        Cmap->RemoveIllegalMappings(MaxpTable()->numGlyphs);
        ReleaseTableData();
        Loaded = true;
    } catch (...) {
        // A glyf deferred for the check must not outlive the stream.
        if (CheckOutlinesOnly)
            ReleaseTableData();
        DoProgress(0);
        throw;
    }
    DoProgress(0);
}

void TTrueTypeFont::CheckOutlines()
{
    // Without maxp the check fails whatever else the font holds.
    std::vector<TOutlinePlace>* Sound = MaxpTable() != nullptr ? SoundOutlines : nullptr;
    const TOutlinePlace Place = Sound != nullptr ? OutlinePlace() : TOutlinePlace{};
    if (Sound != nullptr && std::find(Sound->begin(), Sound->end(), Place) != Sound->end()) {
        Log.Add("CheckOutlinesFromTables: found sound before");
        return;
    }
    const std::int64_t Started = Milliseconds();
    TFontOutlines::CheckOutlinesFromTables(MaxpTable(), LocaTable(), GlyfTable());
    Log.Add(FormatText("CheckOutlinesFromTables Time %d", {Milliseconds() - Started}));
    if (Sound != nullptr)
        Sound->push_back(Place);
}

TOutlinePlace TTrueTypeFont::OutlinePlace() const
{
    // A tag filed twice fails the load, so each has one record here.
    TOutlinePlace Place;
    for (const TDirectoryEntry& Entry : Directory) {
        if (Entry.Tag == "glyf") {
            Place.GlyfAt = FStart + Entry.Offset;
            Place.GlyfLength = Entry.Length;
        } else if (Entry.Tag == "loca") {
            Place.LocaAt = FStart + Entry.Offset;
            Place.LocaLength = Entry.Length;
        }
    }
    Place.NumGlyphs = MaxpTable()->numGlyphs;
    Place.IndexToLocFormat = LocaTable()->IndexToLocFormat;
    return Place;
}

void TTrueTypeFont::FindFace(TStream& Stream)
{
    FFontStart = FStart;
    if (IsCollection(Stream, FStart)) {
        Collection = ReadCollectionHeader(Stream, FStart);
        if (Face >= Collection->NumFonts)
            RaiseFontErrorFmt("Font %d not found: the collection holds %d fonts", {Face, Collection->NumFonts});
        FFontStart = FStart + Collection->Offsets[Face];
    } else if (Face != 0) {
        RaiseFontErrorFmt("Font %d not found: the file holds a single font", {Face});
    }
    Stream.SetPosition(FFontStart);
}

const TTrueTypeFont::TDirectoryEntry TTrueTypeFont::ZeroRecord{.Tag = TTableTag(4, '\0')};

const TTrueTypeFont::TDirectoryEntry& TTrueTypeFont::Record(std::size_t Index) const
{
    return Index < Directory.size() ? Directory[Index] : ZeroRecord;
}

void TTrueTypeFont::ReadDirectory(TStream& Stream)
{
    // One read for the records the stream holds. A record cut by its end is
    // kept, its missing bytes read as zeros; the ones after it are all zeros
    // and are not.
    Stream.SetPosition(FFontStart + 12);
    const base::TBigEndianBlock Block(Stream, 16 * std::size_t{NumTables});
    const base::TBigEndianView& Bytes = Block.View();
    const std::size_t Touched = (Block.Size() + 15) / 16;
    Directory.reserve(Touched);
    for (std::size_t At = 0; At < 16 * Touched; At += 16) {
        TDirectoryEntry& Entry = Directory.emplace_back();
        Entry.Tag.resize(4);
        for (std::size_t k = 0; k < 4; ++k)
            Entry.Tag[k] = static_cast<char>(Bytes.Byte(At + k));
        Entry.CheckSum = Bytes.ULong(At + 4);
        Entry.Offset = Bytes.ULong(At + 8);
        Entry.Length = Bytes.ULong(At + 12);
    }
    FRecordLines.assign(Touched, std::string());
    // One more for the zero records past the stream's end.
    FDirectoryKinds.resize(Touched + 1);
    for (std::size_t i = 0; i <= Touched; ++i)
        FDirectoryKinds[i] = i > 0 && Record(i).Tag == Record(i - 1).Tag ? FDirectoryKinds[i - 1]
                                                                         : GetTableKind(Record(i).Tag);
}

TTableKind TTrueTypeFont::RecordKind(std::size_t Index) const
{
    return FDirectoryKinds[std::min(Index, Directory.size())];
}

const TTrueTypeFont::TDirectoryEntry& TTrueTypeFont::LogEntry(TStream& Stream, std::uint16_t Index)
{
    const TDirectoryEntry& Entry = Record(Index);
    if (FLastLoggedRecord < 0 || !(Record(static_cast<std::size_t>(FLastLoggedRecord)) == Entry)) {
        // Both passes log every record: the second takes the first's line.
        std::string* Kept = Index < FRecordLines.size() ? &FRecordLines[Index] : nullptr;
        if (Kept != nullptr && !Kept->empty()) {
            FLastRecordLine = *Kept;
        } else {
            FLastRecordLine = FormatText("%s %d %d %d", {Entry.Tag, Entry.CheckSum, Entry.Offset, Entry.Length});
            if (Kept != nullptr)
                *Kept = FLastRecordLine;
        }
    }
    FLastLoggedRecord = Index;
    Log.Add(FLastRecordLine);
    Stream.SetPosition(FStart + Entry.Offset);
    return Entry;
}

bool TTrueTypeFont::LogRepeatedRecords(TStream& Stream, std::uint16_t Index, bool CreatedBefore)
{
    // Records past the end of the stream are one zero record over and over:
    // when the first of them created no table in this pass, neither does any
    // other, and all that is left to do is their log lines.
    if (Index <= Directory.size() || CreatedBefore)
        return false;
    LogEntry(Stream, Index);
    Log.Add(FLastRecordLine, std::size_t{NumTables} - Index - 1u);
    FLastLoggedRecord = NumTables - 1;
    return true;
}

void TTrueTypeFont::LoadTables(TStream& Stream)
{
    NumTables = ReadUShort(Stream);
    FCreatedTables = 0;
    FRawBytes = 0;
    FLastLoggedRecord = -1;
    Log.Add(FormatText("%d %d", {Stream.Size(), NumTables}));
    const std::uint16_t SearchRange = ReadUShort(Stream);
    const std::uint16_t EntrySelector = ReadUShort(Stream);
    const std::uint16_t RangeShift = ReadUShort(Stream);
    Log.Add(FormatText("from file  %d %d %d", {SearchRange, EntrySelector, RangeShift}));
    const TSearchValues Calculated = CalcSearchValues(NumTables, 16);
    Log.Add(FormatText("calculated %d %d %d",
                       {Calculated.SearchRange, Calculated.EntrySelector, Calculated.RangeShift}));
    ReadDirectory(Stream);

    // head, hhea and maxp first, wherever they stand, so that hmtx and loca
    // find their counts and formats in the second pass.
    DirectoryPass(
        Stream,
        [this](const TDirectoryEntry& Entry, TTableKind Kind) {
            if (Kind == TTableKind::DSIG)
                HasDigitalSignature = true;
            return CreateFirstPassTable(Entry.Tag, Kind);
        },
        [] {});

    const TTableMaxp* Maxp = MaxpTable();
    if (Maxp == nullptr)
        RaiseFontErrorFmt("Table %s not found!", {"maxp"});

    DirectoryPass(
        Stream,
        [this](const TDirectoryEntry& Entry, TTableKind Kind) { return CreateSecondPassTable(Entry.Tag, Kind); },
        [this, Maxp] { Log.Add(FormatText("Number of glyphs %d", {Maxp->numGlyphs})); });
    FRecordLines = {};
}

template <typename Create, typename AfterFiling>
void TTrueTypeFont::DirectoryPass(TStream& Stream, Create&& CreateTable, AfterFiling&& Filed)
{
    bool Created = false;
    for (std::uint16_t i = 0; i < NumTables; ++i) {
        if (LogRepeatedRecords(Stream, i, Created))
            break;
        const TDirectoryEntry& Entry = LogEntry(Stream, i);
        std::unique_ptr<TFontTable> Table = CreateTable(Entry, RecordKind(i));
        Created = Table != nullptr;
        if (!Created)
            continue;
        const std::int64_t Started = Milliseconds();
        LoadAndFile(std::move(Table), Stream, Entry.Length);
        Log.Add(FormatText("Tag %s Time %d", {Entry.Tag, Milliseconds() - Started}));
        Filed();
        ReportTableProgress();
    }
}

void TTrueTypeFont::LoadAndFile(std::unique_ptr<TFontTable> Table, TStream& Stream, std::uint32_t Length)
{
    Table->Log = &Log;
    try {
        if (auto* Raw = dynamic_cast<TRawDataLoadable*>(Table.get())) {
            FRawBytes += Length;
            const auto FontSize = static_cast<std::uint64_t>(std::max<std::int64_t>(0, Stream.Size() - FStart));
            if (FRawBytes > RawDataBudgetFactor * FontSize)
                RaiseFontErrorFmt("Tables kept as data claim %d bytes, more than the font's %d bytes can hold",
                                  {FRawBytes, FontSize});
            // A check of the outlines reads glyf only while it checks, into
            // a buffer kept from font to font; the stream outlives the load,
            // and the load releases the table before it ends.
            const bool CheckedOnly = CheckOutlinesOnly && dynamic_cast<const TTableGlyf*>(Table.get()) != nullptr;
            if (FRawSource || CheckedOnly)
                Raw->DeferRawData(Stream, Length);
            else
                Raw->LoadRawData(Stream, Length);
        } else {
            Table->LoadFromStream(Stream);
        }
    } catch (...) {
        // Filed all the same, so that Clear disposes of it; the load's own
        // error is the one that goes on.
        try {
            Tables.Add(std::move(Table));
        } catch (const FontException&) {
        }
        throw;
    }
    Tables.Add(std::move(Table));
}

void TTrueTypeFont::ReportTableProgress()
{
    ++FCreatedTables;
    DoProgress(RoundHalfEven(std::int64_t{FCreatedTables} * 20, NumTables));
}

void TTrueTypeFont::ReleaseTableData()
{
    if (TTableLoca* Loca = LocaTable())
        Loca->Clear();
    if (TTableGlyf* Glyf = GlyfTable())
        Glyf->Clear();
}

}  // namespace truetype
