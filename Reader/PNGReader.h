#pragma once

#include <string>

namespace Rendering
{
class Image;
}

namespace Reader
{

/// Decodes a PNG file into `image` (rows bottom-up, see Rendering::Image).
/// False, with a line on the standard output, when it cannot.
bool readPNGFile(const std::string& fileName, Rendering::Image* image);

} // namespace Reader
