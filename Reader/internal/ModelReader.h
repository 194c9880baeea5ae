#pragma once

#include <functional>
#include <string>

namespace Rendering
{
class Mesh;
}

namespace Reader
{

/// Reads the whole file at `path` into `bytes`; false when it cannot be read.
/// Readers reach the files a model names (buffers, images, material
/// libraries) only through one of these, so a caller can confine them.
using ResourceReader = std::function<bool(const std::string& path, std::string& bytes)>;

/// The one place that picks a model reader for a file name:
/// - ".ase" or ".ASE" anywhere in the name (case-sensitive substring, checked
///   first): the ASE reader;
/// - a name ending in ".gltf" or ".glb", any case: the glTF 2.0 reader;
/// - a name ending in ".obj", any case: the OBJ reader;
/// - anything else prints "Unsupported format ... (supported format : ASE)".
class ModelReader
{
public:
    enum class Format
    {
        ASE,
        GLTF,
        OBJ,
        Unknown
    };

    static Format formatOf(const std::string& fileName);
    /// Fills `mesh` with the reader of `formatOf(fileName)`; false when the
    /// file did not load (the reader has printed why).
    static bool load(const std::string& fileName, Rendering::Mesh* mesh);
    /// The filesystem, as the default ResourceReader.
    static bool readFile(const std::string& path, std::string& bytes);
    /// "a/b/c.glb" -> "a/b/" ("" for a bare name): where a model's relative
    /// resource paths start.
    static std::string directoryOf(const std::string& fileName);
};

} // namespace Reader
