#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <Reader/internal/ModelReader.h>

namespace Reader
{

class MappedFile;
struct ModelData;

/// glTF 2.0 reader (.gltf with its files or data: URIs, .glb), filling a
/// ModelData (see its header for the form of the output):
///
/// - Scene: the default scene (scene 0 when none is named; every node that is
///   no other node's child when the file has no scene) is walked from its
///   roots. Node matrices, or translation x rotation x scale, are composed
///   down the tree and applied to positions, and their inverse transpose to
///   normals (normalised again). A mesh under several nodes gives a primitive
///   with its own vertex set at each.
/// - Axes and units are the file's: glTF is y-up and right-handed, as the
///   engine is, so nothing is swapped or flipped. Texture coordinates become
///   OpenGL's (t = 1 - v) because pictures are stored bottom-up.
/// - Geometry: POSITION, NORMAL and TEXCOORD_0 (float, or normalised 8/16-bit
///   texture coordinates); u8/u16/u32 indices or none. An accessor without a
///   buffer view holds zeros; sparse values replace the base ones (of the
///   view or the zeros) at their indices, for attributes and indices alike.
///   Triangles, lines and points are kept; strips and fans become triangles,
///   line strips and loops become lines. Every primitive is kept whole,
///   whatever its size.
/// - Materials: baseColorTexture is the material's picture, normalTexture its
///   normal map (the shader's "NormalsID"), each image named
///   "<model file>#image<N>" and kept encoded; baseColorFactor is its colour.
/// - Ignored with one line each on the standard output: skins, morph targets,
///   animations, cameras; texture transforms, samplers and every other
///   material input are not used.
/// - Refused, with one line "[GLTFReader]> <file> : <reason>" and the model
///   data left as it was: JSON or GLB structure that does not parse (a GLB of
///   another version than 2, a chunk whose length runs past the file, a
///   buffer data: URI that is not base64, a buffer without uri other than a
///   GLB's binary chunk), a required extension (every one:
///   none is implemented) or geometry compressed by an extension that is only
///   listed as used, an accessor or buffer view outside its buffer, an
///   index past the vertex count, a position that is not finite, a node that
///   is reached twice (a cycle), more than c_MaxCorners corners in all.
class GLTFReader
{
public:
    /// Corners (3 per triangle) a model may expand to after instancing.
    static constexpr std::size_t c_MaxCorners = std::size_t(1) << 26;

    /// False, with one line, when the file cannot be read or is refused.
    bool load(const std::string& fileName, ModelData& data);
    /// The same on the file's bytes; `fileName` names the pictures and places
    /// the files the model refers to (read through the resource reader).
    bool loadFromMemory(std::string_view bytes, const std::string& fileName, ModelData& data);
    void setResourceReader(ResourceReader reader) { m_Resources = std::move(reader); }

private:
    bool parseAndBuild(std::string_view bytes, const std::shared_ptr<MappedFile>& owned, const std::string& fileName,
                       ModelData& data);

    ResourceReader m_Resources = ModelReader::readFile;
};

} // namespace Reader
