#pragma once

#include <cstddef>

namespace Reader
{
struct ModelData;
}

namespace Rendering
{

class Mesh;

/// Turns the plain data of a model reader (see Reader/internal/ModelData.h)
/// into the engine's objects, appended to a mesh:
/// - Each primitive becomes one or more Geometry objects of at most
///   c_MaxVertices vertices (the ones its faces use), each with one Primitive
///   whose vertex, normal, texture-coordinate and colour index lists are the
///   same list. A face whose vertices do not fit starts the next geometry:
///   nothing is dropped, the faces keep their order.
/// - Normals are stored the way Primitive draws them (see Geometry).
/// - A material's picture and normal map become one Texture per pair,
///   registered with the ImageManager under the image names and owned by the
///   mesh; texture coordinates are kept only with a texture that loaded. An
///   untextured material whose colour is not white gives every vertex that
///   colour; a white one keeps the colour of the piece that draws it.
/// - The data is used up: arrays are taken over whole where a primitive
///   keeps every vertex of its set, and each set is released after its last
///   primitive, so a load never holds the model twice at its peak.
class ModelConverter
{
public:
    static constexpr std::size_t c_MaxVertices = 65536;

    static void convert(Reader::ModelData& data, Mesh& mesh);
};

} // namespace Rendering
