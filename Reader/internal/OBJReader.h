#pragma once

#include <string>
#include <string_view>

#include <Reader/internal/ModelReader.h>

namespace Reader
{

class MappedFile;
struct ModelData;

/// Wavefront OBJ reader (.obj and the .mtl files it names), filling a
/// ModelData (see its header for the form of the output):
///
/// - Axes and units are the file's: OBJ is y-up and right-handed, as the
///   engine is, so positions and normals go in unchanged; "vt" coordinates
///   are already OpenGL's (t up).
/// - Faces: triangles as they are; quads and larger polygons are cut into
///   triangles by ear clipping in the polygon's own plane (fans beyond 64
///   corners), "l" polylines into line segments, "p" into points. Each
///   distinct (v, vt, vn) triple of a face corner becomes one vertex of the
///   file's one vertex set (normals and texture coordinates only when every
///   corner has one; normals as the file writes them). Faces are grouped by
///   material into one triangle primitive each, in material order, then one
///   of lines and one of points. Vertex colours, groups and smoothing groups
///   are not used.
/// - Materials: "map_Kd" is the picture, "map_Bump"/"bump"/"norm" the normal
///   map (the shader's "NormalsID"), paths relative to the model file, each
///   image named by its path and kept encoded; "Kd" is the colour.
/// - A material library that cannot be read prints one line and the model
///   loads untextured; so does a picture that cannot be read, with one line.
/// - Face corners may be written v, v/vt, v//vn or v/vt/vn, with trailing
///   slashes ("2/2/", "1//") and negative (relative) indices; a line ending
///   in a backslash goes on on the next one; a face of two corners is a line
///   segment. A corner naming a texture coordinate or normal that does not
///   exist is drawn without it, with one line for the file.
/// - Refused, with one line "[OBJReader]> <file> : <reason>" and the model
///   data left as it was: a face index 0, a face naming a vertex past the
///   list (vertex 9 of 8).
/// - UTF-16 text (with its byte order mark) is read as the ASCII it holds.
class OBJReader
{
public:
    /// False, with one line, when the file cannot be read or is refused.
    bool load(const std::string& fileName, ModelData& data);
    /// The same on the file's text; `fileName` places the files it names,
    /// which are read through the resource reader.
    bool loadFromMemory(std::string_view text, const std::string& fileName, ModelData& data);
    void setResourceReader(ResourceReader reader) { m_Resources = std::move(reader); }

private:
    bool parseAndBuild(std::string_view text, MappedFile* owned, const std::string& fileName, ModelData& data);

    ResourceReader m_Resources = ModelReader::readFile;
};

} // namespace Reader
