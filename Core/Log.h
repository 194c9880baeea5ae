#pragma once

#include <functional>
#include <string>

#include <TabulaExport.h>

namespace Core
{

/// How much a line matters. With the default handler, Info and Warning lines
/// go to the standard output, Error lines to the standard error, and Debug
/// lines nowhere.
/// - Info: progress ("Image File : \"a.png\" loaded.", the engine's set-up).
/// - Warning: something failed and the library goes on without it (a file
///   that does not load, a part of a model that is left out).
/// - Error: a programming mistake in the game's assets (a shader that does
///   not compile, a uniform the shader lacks), and libjpeg's own messages,
///   which it has always written on the standard error.
/// - Debug: what lies behind a failure that another line reports (the
///   message of libpng or libjpeg that ended a write or a decode), for a
///   game's own log.
enum class LogLevel
{
    Info,
    Warning,
    Error,
    Debug
};

/// Receives every line the library writes: its level, the part of the
/// library that speaks ("Image", "GLTFReader", "Render", ...) and the text,
/// without a trailing newline. Called on the thread that made the line,
/// which is the game's thread for everything the library does.
using LogHandler = std::function<void(LogLevel level, const char* source, const std::string& text)>;

/// Sends one line through the current handler. Every message of the library
/// goes through here.
TABULA_EXPORT void log(LogLevel level, const char* source, const std::string& text);

/// Installs the handler that receives every later line; an empty handler
/// restores the default one, which prints the text alone followed by a
/// newline, flushed, on the stream its level names (Debug lines are dropped).
TABULA_EXPORT void setLogHandler(LogHandler handler);

} // namespace Core
