/* Prints, per font file, the number of glyphs and the totals of points and
   contours of every glyph as FreeType loads it in font units, composites
   resolved: the oracle for velmorant-inspect --outlines. */
#include <ft2build.h>
#include FT_FREETYPE_H

#include <stdio.h>

int main(int argc, char** argv)
{
    FT_Library library;
    if (FT_Init_FreeType(&library) != 0)
        return 2;
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        FT_Face face;
        if (FT_New_Face(library, argv[i], 0, &face) != 0) {
            printf("%s\terror\n", argv[i]);
            status = 1;
            continue;
        }
        unsigned long points = 0, contours = 0, failed = 0;
        for (FT_Long g = 0; g < face->num_glyphs; ++g) {
            if (FT_Load_Glyph(face, (FT_UInt)g, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING) != 0) {
                ++failed;
                continue;
            }
            points += (unsigned long)face->glyph->outline.n_points;
            contours += (unsigned long)face->glyph->outline.n_contours;
        }
        printf("%s\t%ld\t%lu\t%lu\t%lu\n", argv[i], face->num_glyphs, points, contours, failed);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return status;
}
