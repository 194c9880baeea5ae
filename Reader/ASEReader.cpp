#include <Reader/ASEReader.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <istream>
#include <iterator>
#include <memory>
#include <streambuf>

#include <GL/gl.h>

#include <Core/Log.h>
#include <Math/Matrix.h>
#include <Reader/internal/ASETokenizer.h>
#include <Reader/internal/TextEncoding.h>
#include <Rendering/Geometry.h>
#include <Rendering/Mesh.h>
#include <Rendering/Primitive.h>
#include <Rendering/Texture.h>

namespace Reader
{

const std::string c_Scene = "*SCENE";
const std::string c_GeomObject = "*GEOMOBJECT";
const std::string c_MaterialList = "*MATERIAL_LIST";
const std::string c_MaterialCount = "*MATERIAL_COUNT";
const std::string c_Material = "*MATERIAL";
const std::string c_MaterialMapDiffuse = "*MAP_DIFFUSE";
const std::string c_MaterialMapBump = "*MAP_BUMP";
const std::string c_MaterialBitmap = "*BITMAP";
const std::string c_MeshNodeTm = "*NODE_TM";
const std::string c_MeshTmRow0 = "*TM_ROW0";
const std::string c_MeshTmRow1 = "*TM_ROW1";
const std::string c_MeshTmRow2 = "*TM_ROW2";
const std::string c_MeshTmRow3 = "*TM_ROW3";
const std::string c_MaterialRef = "*MATERIAL_REF";
const std::string c_Mesh = "*MESH";
const std::string c_MeshNumVertex = "*MESH_NUMVERTEX";
const std::string c_MeshNumFaces = "*MESH_NUMFACES";
const std::string c_MeshVertexList = "*MESH_VERTEX_LIST";
const std::string c_MeshVertex = "*MESH_VERTEX";
const std::string c_MeshFaceList = "*MESH_FACE_LIST";
const std::string c_MeshFace = "*MESH_FACE";
const std::string c_MeshNumTVertex = "*MESH_NUMTVERTEX";
const std::string c_MeshTVertexList = "*MESH_TVERTLIST";
const std::string c_MeshTVertex = "*MESH_TVERT";
const std::string c_MeshNumTVFaces = "*MESH_NUMTVFACES";
const std::string c_MeshTFaceList = "*MESH_TFACELIST";
const std::string c_MeshTFace = "*MESH_TFACE";
const std::string c_MeshNumCVertex = "*MESH_NUMCVERTEX";
const std::string c_MeshColorVertexList = "*MESH_CVERTLIST";
const std::string c_MeshVertexColor = "*MESH_VERTCOL";
const std::string c_MeshNumCVFaces = "*MESH_NUMCVFACE";
const std::string c_MeshColorFaceList = "*MESH_CFACE";
const std::string c_MeshNormals = "*MESH_NORMALS";
const std::string c_MeshVertexNormal = "*MESH_VERTEXNORMAL";

namespace
{

// The file's z-up (x, y, z) becomes the engine's y-up (x, z, -y).
const Matrix<double> c_AxisMatrix(1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 1);
// Normals are stored as (x, -z, y); compiling a primitive turns them once more.
const Matrix<double> c_NormalMatrix(1, 0, 0, 0, 0, 0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1);

// "*MESH_VERTEXNORMAL 0 0 0 0": no normal line can be shorter.
constexpr std::size_t c_ShortestNormalLine = 26;
// "*MESH_TVERT 0 0 0": the shortest vertex line of any list.
constexpr std::size_t c_ShortestVertexLine = 17;
// "0 ": no index of a face or texture face takes less text.
constexpr std::size_t c_ShortestCorner = 2;

// Room for what a count announces, as far as the rest of the text can hold it.
template <typename T>
void reserveFor(std::vector<T>& array, std::size_t announced, std::size_t fillable)
{
    array.reserve(array.size() + std::min(announced, fillable));
}

// Lets text in memory be read through the same chunked path as a file.
struct MemoryBuffer : std::streambuf
{
    explicit MemoryBuffer(std::string_view text)
    {
        // The get area is only read from.
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

bool badStructure()
{
    Core::log(Core::LogLevel::Warning, "ASEReader", "[ASEReader]> Bad structure in ASE file.");
    return false;
}

// Textures of materials outlive every mesh whose primitives point at them, so
// they are kept here until the process ends, and freed then.
std::vector<std::unique_ptr<Rendering::Texture>>& keptTextures()
{
    static std::vector<std::unique_ptr<Rendering::Texture>> textures;
    return textures;
}

GLenum beginModeForCorners(std::size_t corners)
{
    switch (corners)
    {
    case 1:
        return GL_POINTS;
    case 2:
        return GL_LINES;
    case 3:
        return GL_TRIANGLES;
    case 4:
        return GL_QUADS;
    default:
        return GL_POLYGON;
    }
}

} // namespace

/// What one "*GEOMOBJECT" collects until its closing "}".
struct ASEReader::GeometryState
{
    Rendering::Geometry* m_Geometry = nullptr;
    Matrix<double> m_NodeMatrix = Matrix<double>::identity();
    uint32_t m_NumVertex = 0;
    uint32_t m_NumFaces = 0;
    uint32_t m_NumTVertex = 0;
    uint32_t m_NumTVFaces = 0;
    uint32_t m_NumCVertex = 0;
    uint32_t m_NumCVFaces = 0;
    // Indexed by the low 8 bits of the corner count, so walking it in index
    // order visits the primitives by increasing corner count.
    std::array<Rendering::Primitive*, 256> m_PrimitiveByCorners{};
    std::vector<unsigned short> m_NormalIndices;
    std::vector<unsigned short> m_Corners;
    uint8_t m_MaterialRef = 0;
    bool m_HasMaterialRef = false;
    bool m_HasMesh = false;
};

bool ASEReader::load(const std::string& fileName, Rendering::Mesh* mesh)
{
    m_Mesh = mesh;
    m_FileName = fileName;
    std::ifstream file(fileName, std::ios::in | std::ios::binary);
    if (!file)
    {
        Core::log(Core::LogLevel::Warning, "ASEReader", "Couldn't find/load mesh : \"" + fileName + "\"");
        return false;
    }
    file.seekg(0, std::ios::end);
    std::streamoff length = file.tellg();
    file.seekg(0, std::ios::beg);
    // UTF-16 text is narrowed whole, as the OBJ reader does; the rest streams.
    char mark[2] = {};
    file.read(mark, 2);
    file.clear();
    file.seekg(0, std::ios::beg);
    if (isUTF16(std::string_view(mark, 2)))
    {
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        return loadFromMemory(text, fileName, mesh);
    }
    ASETokenizer tokens(file, length > 0 ? static_cast<std::size_t>(length) : 0, m_ChunkSize);
    return parse(tokens);
}

bool ASEReader::loadFromMemory(std::string_view text, const std::string& fileName, Rendering::Mesh* mesh)
{
    m_Mesh = mesh;
    m_FileName = fileName;
    std::string narrow;
    text = narrowedText(text, narrow);
    MemoryBuffer buffer(text);
    std::istream stream(&buffer);
    ASETokenizer tokens(stream, text.size(), m_ChunkSize);
    return parse(tokens);
}

bool ASEReader::parse(ASETokenizer& tokens)
{
    if (!m_Mesh)
        return false;
    const std::string_view& token = tokens.token();
    while (!tokens.eof())
    {
        if (!tokens.next())
            break;
        if (token == c_Scene)
            parseScene(tokens);
        else if (token == c_GeomObject)
            parseGeometry(tokens);
        else if (token == c_MaterialList)
            parseMaterial(tokens);
    }
    return true;
}

bool ASEReader::parseScene(ASETokenizer& tokens)
{
    if (!tokens.nextOpensBlock() || !tokens.skipToClosingBrace())
        return badStructure();
    return true;
}

bool ASEReader::parseMaterial(ASETokenizer& tokens)
{
    const std::string_view& token = tokens.token();
    if (!tokens.nextOpensBlock())
        return badStructure();
    while (token != "}")
    {
        if (tokens.eof())
            return badStructure();
        if (token == c_MaterialCount)
        {
            uint32_t count = 0;
            tokens.readUnsigned(count);
            m_Textures.resize(static_cast<uint8_t>(count), nullptr);
        }
        else if (token == c_Material)
        {
            uint32_t number = 0;
            tokens.readUnsigned(number);
            if (!tokens.nextOpensBlock())
                return badStructure();
            while (token != "}")
            {
                if (tokens.eof())
                    return badStructure();
                if (token == c_MaterialMapBump)
                {
                    if (!tokens.skipToClosingBrace())
                        return badStructure();
                }
                else if (token == c_MaterialMapDiffuse)
                {
                    if (!parseDiffuseMap(tokens, static_cast<uint8_t>(number)))
                        return false;
                }
                if (!tokens.next())
                    return badStructure();
            }
        }
        if (!tokens.next())
            return badStructure();
    }
    return true;
}

bool ASEReader::parseDiffuseMap(ASETokenizer& tokens, unsigned int material)
{
    const std::string_view& token = tokens.token();
    while (token != "}")
    {
        if (tokens.eof())
            return badStructure();
        if (token == c_MaterialBitmap)
        {
            std::string quoted;
            if (!tokens.nextQuoted(quoted))
                return badStructure();
            takeBitmap(quoted, material);
        }
        if (!tokens.next())
            return badStructure();
    }
    return true;
}

void ASEReader::takeBitmap(const std::string& quoted, unsigned int material)
{
    // A material outside the table has nowhere to keep its texture.
    if (material >= m_Textures.size())
        return;
    std::string path;
    path.reserve(quoted.size());
    for (char c : quoted)
        if (c != '"')
            path += c;
    if (path.find_first_of("/\\") == std::string::npos)
    {
        std::size_t slash = m_FileName.rfind('/');
        if (slash != std::string::npos)
            path.insert(0, m_FileName, 0, slash + 1);
    }
    auto* texture = new Rendering::Texture(path);
    if (texture->isLoaded())
    {
        m_Textures[material] = texture;
        keptTextures().emplace_back(texture);
    }
    else
        delete texture;
}

bool ASEReader::parseGeometry(ASETokenizer& tokens)
{
    GeometryState state;
    state.m_Geometry = new Rendering::Geometry();
    m_Mesh->addGeometry(state.m_Geometry);

    const std::string_view& token = tokens.token();
    if (!tokens.nextOpensBlock())
        return badStructure();
    while (token != "}")
    {
        if (tokens.eof())
            return badStructure();
        if (token == c_MeshNodeTm)
        {
            if (!parseNodeTm(tokens, state))
                return false;
        }
        else if (token == c_Mesh)
        {
            if (!tokens.nextOpensBlock())
                return badStructure();
            if (!parseMeshBlock(tokens, state))
                return false;
        }
        else if (token == c_MaterialRef)
        {
            uint32_t reference = 0;
            tokens.readUnsigned(reference);
            state.m_MaterialRef = static_cast<uint8_t>(reference);
            state.m_HasMaterialRef = true;
        }
        if (!tokens.next())
            return badStructure();
    }
    assemble(state);
    return true;
}

bool ASEReader::parseNodeTm(ASETokenizer& tokens, GeometryState& state)
{
    const std::string_view& token = tokens.token();
    while (token != "}")
    {
        if (tokens.eof())
            return badStructure();
        int row = -1;
        if (token == c_MeshTmRow0)
            row = 0;
        else if (token == c_MeshTmRow1)
            row = 1;
        else if (token == c_MeshTmRow2)
            row = 2;
        else if (token == c_MeshTmRow3)
            row = 3;
        if (row >= 0)
            tokens.readDoubles(state.m_NodeMatrix[4 * row], state.m_NodeMatrix[4 * row + 1],
                               state.m_NodeMatrix[4 * row + 2]);
        if (!tokens.next())
            return badStructure();
    }
    return true;
}

// Reads the lines "<keyword> <number> <values>" of a list up to its "}",
// handing each line's values to readValues; the numbers are not used. False
// when the text ends first.
template <typename ReadValues>
bool ASEReader::readNumberedLines(ASETokenizer& tokens, const std::string& keyword, ReadValues readValues)
{
    const std::string_view& token = tokens.token();
    while (token != "}")
    {
        if (tokens.eof() || !tokens.next())
            return false;
        if (token == keyword)
        {
            uint32_t number = 0;
            tokens.readUnsigned(number);
            readValues();
        }
    }
    return true;
}

bool ASEReader::parseMeshBlock(ASETokenizer& tokens, GeometryState& state)
{
    const std::string_view& token = tokens.token();
    Rendering::Geometry& geometry = *state.m_Geometry;
    while (token != "}")
    {
        if (tokens.eof())
            return badStructure();
        if (token == c_MeshNumVertex)
            tokens.readUnsigned(state.m_NumVertex);
        else if (token == c_MeshNumFaces)
            tokens.readUnsigned(state.m_NumFaces);
        else if (token == c_MeshNumTVertex)
            tokens.readUnsigned(state.m_NumTVertex);
        else if (token == c_MeshNumTVFaces)
            tokens.readUnsigned(state.m_NumTVFaces);
        else if (token == c_MeshNumCVertex)
            tokens.readUnsigned(state.m_NumCVertex);
        else if (token == c_MeshNumCVFaces)
            tokens.readUnsigned(state.m_NumCVFaces);
        else if (token == c_MeshVertexList)
        {
            if (state.m_NumVertex == 0)
                return badStructure();
            reserveFor(geometry.getVertexArray(), state.m_NumVertex, tokens.remaining() / c_ShortestVertexLine);
            const bool read = readNumberedLines(tokens, c_MeshVertex,
                                                [&]
                                                {
                                                    double x = 0, y = 0, z = 0;
                                                    tokens.readDoubles(x, y, z);
                                                    geometry.getVertexArray().push_back(
                                                        c_AxisMatrix * (state.m_NodeMatrix * Vec3<double>(x, y, z)));
                                                });
            if (!read)
                return badStructure();
        }
        else if (token == c_MeshFaceList)
        {
            if (!parseFaceList(tokens, state))
                return false;
        }
        else if (token == c_MeshTVertexList)
        {
            if (state.m_NumTVertex == 0)
                return badStructure();
            reserveFor(geometry.getTexCoordArray(), state.m_NumTVertex, tokens.remaining() / c_ShortestVertexLine);
            const bool read = readNumberedLines(tokens, c_MeshTVertex,
                                                [&]
                                                {
                                                    double u = 0, v = 0;
                                                    tokens.readDouble(u);
                                                    tokens.readDouble(v);
                                                    geometry.getTexCoordArray().emplace_back(u, v);
                                                });
            if (!read)
                return badStructure();
        }
        else if (token == c_MeshTFaceList)
        {
            Rendering::Primitive* triangles = state.m_PrimitiveByCorners[3];
            if (triangles)
                reserveFor(triangles->getTexturesIndicesArray(), std::size_t(state.m_NumTVFaces) * 3,
                           tokens.remaining() / c_ShortestCorner);
            while (token != "}")
            {
                if (tokens.eof())
                    return badStructure();
                if (token == c_MeshTFace)
                {
                    unsigned short face = 0, a = 0, b = 0, c = 0;
                    tokens.readUnsigned(face);
                    tokens.readUnsigned(a);
                    tokens.readUnsigned(b);
                    tokens.readUnsigned(c);
                    // Texture faces only describe triangles; without any they are dropped.
                    if (triangles)
                    {
                        std::vector<unsigned short>& indices = triangles->getTexturesIndicesArray();
                        indices.push_back(a);
                        indices.push_back(b);
                        indices.push_back(c);
                    }
                }
                if (!tokens.next())
                    return badStructure();
            }
        }
        else if (token == c_MeshColorVertexList)
        {
            if (state.m_NumCVertex == 0)
                return badStructure();
            const bool read = readNumberedLines(tokens, c_MeshVertexColor,
                                                [&]
                                                {
                                                    double r = 0, g = 0, b = 0;
                                                    tokens.readDoubles(r, g, b);
                                                    geometry.getColorArray().emplace_back(r, g, b);
                                                });
            if (!read)
                return badStructure();
        }
        else if (token == c_MeshColorFaceList)
        {
            if (!tokens.skipToClosingBrace())
                return badStructure();
        }
        else if (token == c_MeshNormals)
        {
            if (!parseNormals(tokens, state))
                return false;
        }
        state.m_HasMesh = true;
        if (!tokens.next())
            return badStructure();
    }
    return true;
}

bool ASEReader::parseFaceList(ASETokenizer& tokens, GeometryState& state)
{
    const std::string_view& token = tokens.token();
    while (token != "}")
    {
        if (tokens.eof() || !tokens.next())
            return badStructure();
        if (token != c_MeshFace)
            continue;
        // The face's own label, then the label of its first corner.
        if (!tokens.next() || !tokens.next())
            return badStructure();
        std::vector<unsigned short>& corners = state.m_Corners;
        corners.clear();
        while (token.size() == 2)
        {
            uint32_t vertex = 0;
            tokens.readUnsigned(vertex);
            corners.push_back(static_cast<unsigned short>(vertex));
            if (!tokens.next())
                return badStructure();
        }
        Rendering::Primitive*& primitive = state.m_PrimitiveByCorners[static_cast<uint8_t>(corners.size())];
        if (!primitive)
        {
            primitive = new Rendering::Primitive();
            primitive->setAssociateGeometry(state.m_Geometry);
            primitive->setPrimitiveType(beginModeForCorners(static_cast<uint8_t>(corners.size())));
            state.m_Geometry->addPrimitive(primitive);
            reserveFor(primitive->getVertexIndicesArray(), std::size_t(state.m_NumFaces) * corners.size(),
                       tokens.remaining() / c_ShortestCorner);
        }
        std::vector<unsigned short>& indices = primitive->getVertexIndicesArray();
        indices.insert(indices.end(), corners.begin(), corners.end());
    }
    return true;
}

bool ASEReader::parseNormals(ASETokenizer& tokens, GeometryState& state)
{
    const std::string_view& token = tokens.token();
    std::vector<Vec3<double>>& normals = state.m_Geometry->getNormalArray();
    // A count in the file is no promise: allocate no more slots than the
    // vertices already read or the normal lines the rest of the text could hold.
    std::size_t fillable =
        std::max(state.m_Geometry->getVertexArray().size(), tokens.remaining() / c_ShortestNormalLine);
    normals.resize(std::min<std::size_t>(state.m_NumVertex, fillable));
    reserveFor(state.m_NormalIndices, std::size_t(state.m_NumFaces) * 3, tokens.remaining() / c_ShortestNormalLine);
    while (token != "}")
    {
        if (tokens.eof() || !tokens.next())
            return badStructure();
        if (token == c_MeshVertexNormal)
        {
            uint32_t vertex = 0;
            double x = 0, y = 0, z = 0;
            tokens.readUnsigned(vertex);
            tokens.readDoubles(x, y, z);
            // A vertex without a slot keeps no normal; its index stays listed
            // and the primitive then draws without normals.
            if (vertex < normals.size() && normals[vertex] == Vec3<double>())
                normals[vertex] = c_NormalMatrix * Vec3<double>(x, y, z);
            state.m_NormalIndices.push_back(static_cast<unsigned short>(vertex));
        }
    }
    return true;
}

void ASEReader::assemble(GeometryState& state)
{
    // A reference outside the material table names no texture and is ignored.
    bool textured = state.m_HasMaterialRef && state.m_MaterialRef < m_Textures.size();
    for (Rendering::Primitive* primitive : state.m_PrimitiveByCorners)
        if (primitive && textured)
            primitive->setTexture(m_Textures[state.m_MaterialRef]);
    if (!state.m_HasMesh)
        return;
    Rendering::Primitive* last = nullptr;
    for (Rendering::Primitive* primitive : state.m_PrimitiveByCorners)
        if (primitive)
        {
            if (last)
                last->getNormalIndicesArray() = state.m_NormalIndices;
            last = primitive;
        }
    if (last)
        last->getNormalIndicesArray() = std::move(state.m_NormalIndices);
}

} // namespace Reader
