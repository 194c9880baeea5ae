#pragma once

#include <TabulaExport.h>

#include <string>
#include <string_view>
#include <vector>

namespace Rendering
{
class Mesh;
class Texture;
} // namespace Rendering

namespace Reader
{

class ASETokenizer;

/// Keywords of the ASE format that the reader acts on, compared against whole
/// words, case-sensitively, only inside the section that knows them.
extern TABULA_EXPORT const std::string c_Scene;
extern TABULA_EXPORT const std::string c_GeomObject;
extern TABULA_EXPORT const std::string c_MaterialList;
extern TABULA_EXPORT const std::string c_MaterialCount;
extern TABULA_EXPORT const std::string c_Material;
extern TABULA_EXPORT const std::string c_MaterialMapDiffuse;
extern TABULA_EXPORT const std::string c_MaterialMapBump;
extern TABULA_EXPORT const std::string c_MaterialBitmap;
extern TABULA_EXPORT const std::string c_MeshNodeTm;
extern TABULA_EXPORT const std::string c_MeshTmRow0;
extern TABULA_EXPORT const std::string c_MeshTmRow1;
extern TABULA_EXPORT const std::string c_MeshTmRow2;
extern TABULA_EXPORT const std::string c_MeshTmRow3;
extern TABULA_EXPORT const std::string c_MaterialRef;
extern TABULA_EXPORT const std::string c_Mesh;
extern TABULA_EXPORT const std::string c_MeshNumVertex;
extern TABULA_EXPORT const std::string c_MeshNumFaces;
extern TABULA_EXPORT const std::string c_MeshVertexList;
extern TABULA_EXPORT const std::string c_MeshVertex;
extern TABULA_EXPORT const std::string c_MeshFaceList;
extern TABULA_EXPORT const std::string c_MeshFace;
extern TABULA_EXPORT const std::string c_MeshNumTVertex;
extern TABULA_EXPORT const std::string c_MeshTVertexList;
extern TABULA_EXPORT const std::string c_MeshTVertex;
extern TABULA_EXPORT const std::string c_MeshNumTVFaces;
extern TABULA_EXPORT const std::string c_MeshTFaceList;
extern TABULA_EXPORT const std::string c_MeshTFace;
extern TABULA_EXPORT const std::string c_MeshNumCVertex;
extern TABULA_EXPORT const std::string c_MeshColorVertexList;
extern TABULA_EXPORT const std::string c_MeshVertexColor;
extern TABULA_EXPORT const std::string c_MeshNumCVFaces;
extern TABULA_EXPORT const std::string c_MeshColorFaceList;
extern TABULA_EXPORT const std::string c_MeshNormals;
extern TABULA_EXPORT const std::string c_MeshVertexNormal;

/// Reads an ASE (ASCII scene export) file into a Rendering::Mesh: one
/// Geometry per "*GEOMOBJECT", positions turned from the file's z-up axes to
/// y-up, faces grouped into one Primitive per corner count, and the diffuse
/// bitmap of each material as the texture of the objects that use it.
///
/// The text is split into blank-separated words; sections skip what they do
/// not know, and any "}" ends the section that meets it (braces are not
/// counted). A broken section prints "[ASEReader]> Bad structure in ASE file."
/// and the file-level loop carries on, so a readable file always loads.
///
/// Any file content is safe: a number that cannot be read counts as 0, a
/// material number or reference outside the "*MATERIAL_COUNT" table is
/// ignored, counts in the file never size an allocation beyond what the rest
/// of the text can fill, and a file cut anywhere ends the load cleanly. The
/// file is read in chunks, so a load holds one small buffer besides the mesh;
/// UTF-16 text (with its byte order mark) is read whole and narrowed to the
/// ASCII it holds, as the OBJ reader does.
///
/// Textures made for materials are kept for the whole process: every
/// primitive of every mesh that names the material may point at them.
class TABULA_EXPORT ASEReader
{
public:
    ASEReader() = default;

    /// False (with "Couldn't find/load mesh : ...") only when the file cannot
    /// be opened.
    bool load(const std::string& fileName, Rendering::Mesh* mesh);
    /// The same on text already in memory; `fileName` only places relative
    /// bitmap paths.
    bool loadFromMemory(std::string_view text, const std::string& fileName, Rendering::Mesh* mesh);
    /// Bytes read from the file at a time (256 KiB unless set; at least 1).
    /// The result never depends on it.
    void setChunkSize(std::size_t bytes) { m_ChunkSize = bytes > 0 ? bytes : 1; }

private:
    struct GeometryState;

    bool parse(ASETokenizer& tokens);
    bool parseScene(ASETokenizer& tokens);
    bool parseMaterial(ASETokenizer& tokens);
    bool parseGeometry(ASETokenizer& tokens);

    bool parseDiffuseMap(ASETokenizer& tokens, unsigned int material);
    void takeBitmap(const std::string& quoted, unsigned int material);
    bool parseNodeTm(ASETokenizer& tokens, GeometryState& state);
    bool parseMeshBlock(ASETokenizer& tokens, GeometryState& state);
    bool parseFaceList(ASETokenizer& tokens, GeometryState& state);
    bool parseNormals(ASETokenizer& tokens, GeometryState& state);
    template <typename ReadValues>
    static bool readNumberedLines(ASETokenizer& tokens, const std::string& keyword, ReadValues readValues);
    void assemble(GeometryState& state);

    Rendering::Mesh* m_Mesh = nullptr;
    std::vector<Rendering::Texture*> m_Textures;
    std::string m_FileName;
    std::size_t m_ChunkSize = 256 * 1024;
};

} // namespace Reader
