#include "truetype/sfnt/TableBase.h"

namespace truetype {

TFontTable::TFontTable(std::string_view Tag) : FTag(Tag.substr(0, 4)) {}

TFontTable::TFontTable(std::string_view Tag, std::string_view ClassName, std::string_view OwnTag)
    : TFontTable(Tag)
{
    if (FTag != OwnTag)
        RaiseFontErrorFmt("Creating Fonttable %s with tag %s", {ClassName, Tag});
}

}  // namespace truetype
