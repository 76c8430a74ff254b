// The table factory of the loader: which class reads each tag, and what the
// loader hands a table before it loads (the glyph count, the metric count,
// the loca format). Adding a parser for a tag is adding its case here.
#include "truetype/font/TrueTypeFont.h"

#include "truetype/outlines/TableGlyf.h"
#include "truetype/tables/TableGasp.h"
#include "truetype/tables/TableHead.h"
#include "truetype/tables/TableHhea.h"
#include "truetype/tables/TableHinting.h"
#include "truetype/tables/TableHmtx.h"
#include "truetype/tables/TableKern.h"
#include "truetype/tables/TableLoca.h"
#include "truetype/tables/TableMaxp.h"
#include "truetype/tables/TableName.h"
#include "truetype/tables/TableOS_2.h"
#include "truetype/tables/TablePCLT.h"
#include "truetype/tables/TableUnknown.h"
#include "truetype/tables/cmap/TableCmap.h"
#include "truetype/tables/post/TablePost.h"

namespace truetype {

std::unique_ptr<TFontTable> TTrueTypeFont::CreateFirstPassTable(const TTableTag& Tag, TTableKind Kind)
{
    switch (Kind) {
    case TTableKind::Head: return std::make_unique<TTableHead>(Tag);
    case TTableKind::Hhea: return std::make_unique<TTableHhea>(Tag);
    case TTableKind::Maxp: return std::make_unique<TTableMaxp>(Tag);
    default: return nullptr;
    }
}

std::unique_ptr<TFontTable> TTrueTypeFont::CreateSecondPassTable(const TTableTag& Tag, TTableKind Kind)
{
    switch (Kind) {
    case TTableKind::Head:
    case TTableKind::Hhea:
    case TTableKind::Maxp:
        return nullptr;
    case TTableKind::Cmap: return std::make_unique<TTableCmap>(Tag);
    case TTableKind::Cvt:
    case TTableKind::Fpgm:
    case TTableKind::Prep:
        return std::make_unique<TTableHinting>(Tag);
    case TTableKind::Hmtx: {
        auto Hmtx = std::make_unique<TTableHmtx>(Tag);
        if (const TTableHhea* Hhea = HheaTable())
            Hmtx->NumberOfHMetrics = Hhea->numberOfHMetrics;
        if (const TTableMaxp* Maxp = MaxpTable())
            Hmtx->NumGlyphs = Maxp->numGlyphs;
        return Hmtx;
    }
    case TTableKind::Loca: {
        if (!LoadOutlines)
            return nullptr;
        auto Loca = std::make_unique<TTableLoca>(Tag);
        if (const TTableHead* Head = HeadTable())
            Loca->IndexToLocFormat = Head->indexToLocFormat;
        if (const TTableMaxp* Maxp = MaxpTable())
            Loca->NumGlyphs = Maxp->numGlyphs;
        return Loca;
    }
    case TTableKind::Glyf:
        if (!LoadOutlines)
            return nullptr;
        return std::make_unique<TTableGlyf>(Tag);
    case TTableKind::Name: return std::make_unique<TTableName>(Tag);
    case TTableKind::Post: return std::make_unique<TTablePost>(Tag);
    case TTableKind::OS2: return std::make_unique<TTableOS_2>(Tag);
    case TTableKind::PCLT: return std::make_unique<TTablePCLT>(Tag);
    case TTableKind::Gasp: return std::make_unique<TTableGasp>(Tag);
    case TTableKind::Kern: return std::make_unique<TTableKern>(Tag);
    default:
        if (!KeepUnknownTables)
            return nullptr;
        return std::make_unique<TTableUnknown>(Tag);
    }
}

}  // namespace truetype
