// Writing 24-bit Windows bitmaps, bottom-up rows padded to four bytes.
#pragma once

#include <string>

#include "MapCheck.h"

namespace assets {

bool WriteBmp24(const RgbGrid& grid, const std::string& path);

}  // namespace assets
