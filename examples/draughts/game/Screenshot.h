#pragma once

#include <string>

namespace DraughtsGame
{

/// Writes the current back buffer of the window (size from the engine) as an
/// 8-bit RGB PNG, top row first. Needs the window's context current and a
/// finished frame in the back buffer (Render::renderFrame). False when the
/// file cannot be written.
bool saveBackBuffer(const std::string& path);

} // namespace DraughtsGame
