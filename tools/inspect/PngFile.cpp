#include "tools/inspect/PngFile.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

namespace inspect {

void WritePng(const std::string& FileName, const base::TRasterSurface& Image)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> File(std::fopen(FileName.c_str(), "wb"), &std::fclose);
    if (!File)
        throw std::runtime_error("Cannot create file " + FileName);
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop Info = Png != nullptr ? png_create_info_struct(Png) : nullptr;
    if (Info == nullptr) {
        png_destroy_write_struct(&Png, nullptr);
        throw std::runtime_error("Cannot start a PNG image");
    }
    std::vector<png_bytep> Rows(static_cast<std::size_t>(Image.Height()));
    for (std::size_t y = 0; y < Rows.size(); ++y)
        Rows[y] = const_cast<png_bytep>(Image.Pixels().data() + y * static_cast<std::size_t>(Image.Width()));
    // libpng reports its errors by a long jump back here; nothing with a
    // destructor is created between here and the writes.
    if (setjmp(png_jmpbuf(Png))) {
        png_destroy_write_struct(&Png, &Info);
        throw std::runtime_error("Cannot write the PNG image " + FileName);
    }
    png_init_io(Png, File.get());
    png_set_IHDR(Png, Info, static_cast<png_uint_32>(Image.Width()), static_cast<png_uint_32>(Image.Height()), 8,
                 PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(Png, Info);
    png_write_image(Png, Rows.data());
    png_write_end(Png, nullptr);
    png_destroy_write_struct(&Png, &Info);
}

}  // namespace inspect
