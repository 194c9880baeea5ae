#pragma once

#include <string>

namespace Rendering
{
class Image;
}

namespace Reader
{

/// Decodes a JPEG file into `image` as 8-bit gray or RGB, rows bottom-up.
bool readJPEGFile(const std::string& fileName, Rendering::Image* image);

} // namespace Reader
