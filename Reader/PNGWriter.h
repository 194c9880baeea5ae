#pragma once

#include <TabulaExport.h>

#include <string>

namespace Reader
{

/// Writes `width` x `height` pixels of 8-bit RGB, rows tightly packed and
/// top row first, to `fileName` as a PNG file (8-bit RGB, not interlaced),
/// replacing any file of that name. Fails, printing one line on the
/// standard output ("Couldn't write file : \"<name>\""), when the file cannot
/// be created or written, when the size is 0 or above c_MaxPNGDimension in
/// either direction, or when `rgb` is null. A plain file that failed
/// half-way is removed.
TABULA_EXPORT bool writePNGFile(const std::string& fileName, const unsigned char* rgb, unsigned int width,
                                unsigned int height);

} // namespace Reader
