// The font object: reads one sfnt font into one object per table.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "truetype/outlines/FontOutlines.h"
#include "truetype/sfnt/CollectionHeader.h"
#include "truetype/sfnt/FontTables.h"

namespace truetype {

class TTableCmap;
class TTableHead;
class TTableHhea;
class TTableMaxp;
class TTableLoca;
class TTableName;
class TTableGlyf;

// Where a font's outlines lie in its stream and the counts loca is read
// with: two fonts of one stream whose places are equal have the same
// outlines, as a collection's fonts often do.
struct TOutlinePlace {
    std::int64_t GlyfAt = 0;
    std::int64_t LocaAt = 0;
    std::uint32_t GlyfLength = 0;
    std::uint32_t LocaLength = 0;
    std::uint16_t NumGlyphs = 0;
    std::int16_t IndexToLocFormat = 0;
    bool operator==(const TOutlinePlace&) const = default;
};

class TTrueTypeFont {
public:
    using TProgressEvent = std::function<void(TTrueTypeFont& Font, const std::string& Caption, int Percent)>;
    using TOutlineGlyphsEvent = std::function<std::vector<std::uint16_t>(const TTrueTypeFont& Font)>;

    explicit TTrueTypeFont(bool WithOutlines);
    TTrueTypeFont(const TTrueTypeFont&) = delete;
    TTrueTypeFont& operator=(const TTrueTypeFont&) = delete;

    TFontTables Tables;
    TFontOutlines Outlines;
    std::uint32_t Version = 0;
    bool Loaded = false;
    // Without outlines, glyf and loca are not loaded at all.
    const bool LoadOutlines;
    // With outlines: each glyph is decoded and the composites checked as
    // the outlines are built, failing as that fails, but no outline is kept
    // (Outlines stays empty), at a fraction of the time and memory; and a
    // font with neither glyf nor loca (CFF outlines, bitmaps only) has no
    // outlines to check and loads as without them. For a judgement of the
    // file.
    bool CheckOutlinesOnly = false;
    // When set, a check-only load passes over the check of outlines whose
    // place is listed, and lists the place of those its check found sound.
    // Shared by the loads of one stream from the same position; not owned.
    std::vector<TOutlinePlace>* SoundOutlines = nullptr;
    bool KeepUnknownTables = true;
    bool HasDigitalSignature = false;
    TLogLines Log;
    // Which font of a collection to load; a single font is font 0.
    std::uint32_t Face = 0;
    // The header of the collection the last load read from, if it was one.
    std::optional<TCollectionHeader> Collection;
    std::string ProgressCaption;
    TProgressEvent OnProgress;
    // When set, a load with outlines asks it, once every table is read,
    // which glyphs to give outlines: only those and the components they use
    // are decoded, the rest stay empty. For a reader that needs a handful of
    // glyphs out of tens of thousands.
    TOutlineGlyphsEvent OnOutlineGlyphs;

    struct TDirectoryEntry {
        TTableTag Tag;
        std::uint32_t CheckSum = 0;
        std::uint32_t Offset = 0;
        std::uint32_t Length = 0;
        bool operator==(const TDirectoryEntry&) const = default;
    };
    // The directory of the last load: its count of records, and the records
    // as read, in file order, as far as the stream holds them. The records
    // wholly past its end all read as zeros; Record gives them too.
    std::uint16_t NumTables = 0;
    std::vector<TDirectoryEntry> Directory;
    const TDirectoryEntry& Record(std::size_t Index) const;

    // Opens the file denying other writers and keeps it open until the font
    // is cleared, loaded again or destroyed: the tables kept as bytes read
    // them from it only when first asked for.
    void LoadFromFile(const std::string& FileName);
    // Offsets count from the stream's position at the call; every table is
    // read before it returns.
    void LoadFromStream(TStream& Stream);
    void Clear();

    // Each table, or null when the font has none; const for a const font.
    const TTableCmap* CmapTable() const;
    TTableCmap* CmapTable();
    const TTableHead* HeadTable() const;
    TTableHead* HeadTable();
    const TTableHhea* HheaTable() const;
    TTableHhea* HheaTable();
    const TTableMaxp* MaxpTable() const;
    TTableMaxp* MaxpTable();
    const TTableLoca* LocaTable() const;
    TTableLoca* LocaTable();
    const TTableName* NameTable() const;
    TTableName* NameTable();
    const TTableGlyf* GlyfTable() const;
    TTableGlyf* GlyfTable();

private:
    template <typename Table>
    const Table* Find(std::string_view Tag) const;
    template <typename Table>
    Table* Find(std::string_view Tag);

    // RawSource, when given, is Stream itself, owned by the font from now on.
    void Load(TStream& Stream, std::unique_ptr<TStream> RawSource);

    void LoadTables(TStream& Stream);
    void FindFace(TStream& Stream);
    // One pass over the directory: each record logged, its table created (or
    // not) by CreateTable, loaded, filed, timed, then Filed called.
    template <typename Create, typename AfterFiling>
    void DirectoryPass(TStream& Stream, Create&& CreateTable, AfterFiling&& Filed);
    void ReadDirectory(TStream& Stream);
    const TDirectoryEntry& LogEntry(TStream& Stream, std::uint16_t Index);
    // Whether record Index is a zero record past the end of the stream after
    // the first, which created no table in this pass: then neither does any
    // record from it to the end of the directory, and their log lines are
    // written at once.
    bool LogRepeatedRecords(TStream& Stream, std::uint16_t Index, bool CreatedBefore);
    TTableKind RecordKind(std::size_t Index) const;
    std::unique_ptr<TFontTable> CreateFirstPassTable(const TTableTag& Tag, TTableKind Kind);
    std::unique_ptr<TFontTable> CreateSecondPassTable(const TTableTag& Tag, TTableKind Kind);
    void LoadAndFile(std::unique_ptr<TFontTable> Table, TStream& Stream, std::uint32_t Length);
    void CheckOutlines();
    TOutlinePlace OutlinePlace() const;
    void ReleaseTableData();
    void DoProgress(int Percent);
    void ReportTableProgress();

    // The font's own file, which the raw tables of the last load refer to.
    // Cleared only after them.
    std::unique_ptr<TStream> FRawSource;
    // Table offsets count from FStart, the start of the file; the font's own
    // offset table stands at FFontStart (FStart but in a collection).
    std::int64_t FStart = 0;
    std::int64_t FFontStart = 0;
    int FCreatedTables = 0;
    std::uint64_t FRawBytes = 0;
    // The directory line of the record logged last: a hostile directory
    // repeats one record (all zeros past the end of the file) tens of
    // thousands of times, and its line need not be formatted each time.
    std::ptrdiff_t FLastLoggedRecord = -1;
    std::string FLastRecordLine;
    // The line of each record the stream holds, once formatted.
    std::vector<std::string> FRecordLines;
    // The kind of each record's tag, looked up once (runs of one tag once),
    // and last the kind of the zero records past the end of the stream.
    std::vector<TTableKind> FDirectoryKinds;
    static const TDirectoryEntry ZeroRecord;
};

}  // namespace truetype
