#pragma once

#include <string>

#include "base/RasterSurface.h"

namespace inspect {

// Writes the surface's image as an 8-bit greyscale PNG; raises
// std::runtime_error when the file cannot be written.
void WritePng(const std::string& FileName, const base::TRasterSurface& Image);

}  // namespace inspect
