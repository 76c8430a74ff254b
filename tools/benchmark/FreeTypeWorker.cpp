// velmorant-bench-freetype: the same reading done by FreeType, as the
// reference the library's load is measured against: open the face, read every
// name record, walk the whole Unicode cmap and read every advance width.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_SFNT_NAMES_H

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "tools/benchmark/BenchWorker.h"

namespace {

// Keeps the compiler from dropping work whose results nobody reads.
volatile unsigned long Sink = 0;

bool ReadFace(FT_Library Library, const std::string& FileName)
{
    FT_Face Face = nullptr;
    if (FT_New_Face(Library, FileName.c_str(), 0, &Face) != 0)
        return false;
    unsigned long Sum = 0;

    const FT_UInt NameCount = FT_Get_Sfnt_Name_Count(Face);
    for (FT_UInt i = 0; i < NameCount; ++i) {
        FT_SfntName Name;
        if (FT_Get_Sfnt_Name(Face, i, &Name) == 0)
            for (FT_UInt k = 0; k < Name.string_len; ++k)
                Sum += Name.string[k];
    }

    if (FT_Select_Charmap(Face, FT_ENCODING_UNICODE) == 0) {
        FT_UInt Glyph = 0;
        for (FT_ULong Code = FT_Get_First_Char(Face, &Glyph); Glyph != 0; Code = FT_Get_Next_Char(Face, Code, &Glyph))
            Sum += Code + Glyph;
    }

    std::vector<FT_Fixed> Advances(static_cast<std::size_t>(Face->num_glyphs));
    if (!Advances.empty() &&
        FT_Get_Advances(Face, 0, static_cast<FT_UInt>(Advances.size()), FT_LOAD_NO_SCALE, Advances.data()) == 0)
        for (const FT_Fixed Advance : Advances)
            Sum += static_cast<unsigned long>(Advance);

    // The outline mode: every glyph loaded in font units, composites resolved.
    if (const char* Mode = std::getenv("VELMORANT_BENCH_OUTLINES"); Mode != nullptr && std::string_view(Mode) == "1")
        for (FT_Long Glyph = 0; Glyph < Face->num_glyphs; ++Glyph)
            if (FT_Load_Glyph(Face, static_cast<FT_UInt>(Glyph), FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) == 0)
                Sum += static_cast<unsigned long>(Face->glyph->outline.n_points);

    Sink = Sink + Sum;
    FT_Done_Face(Face);
    return true;
}

}  // namespace

int main(int ArgCount, char** Args)
{
    FT_Library Library = nullptr;
    if (FT_Init_FreeType(&Library) != 0) {
        std::fprintf(stderr, "FreeType did not initialise\n");
        return 1;
    }
    const int Result = benchmark_worker::RunWorker(ArgCount, Args, [&](const std::string& FileName) {
        return ReadFace(Library, FileName);
    });
    FT_Done_FreeType(Library);
    return Result;
}
