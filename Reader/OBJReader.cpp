#include <Reader/internal/OBJReader.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <istream>
#include <limits>
#include <map>
#include <streambuf>
#include <vector>

#include <tiny_obj_loader.h>

#include <Core/Log.h>
#include <Core/internal/Prefault.h>
#include <Reader/internal/MappedFile.h>
#include <Reader/internal/ModelData.h>
#include <Reader/internal/TextEncoding.h>

namespace Reader
{

namespace
{

constexpr uint32_t c_None = std::numeric_limits<uint32_t>::max();
// Ear clipping costs the cube of the corner count; larger polygons are fans.
constexpr std::size_t c_MaxClippedCorners = 64;

struct MemoryBuffer : std::streambuf
{
    explicit MemoryBuffer(std::string_view text)
    {
        // The get area is only read from.
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

// Hands the library the model's text a window at a time. When the text is
// the file's own mapping, the windows already read are given back as it
// goes, so that the whole file and the library's arrays are never held
// together at the peak of a load.
class WindowBuffer : public std::streambuf
{
public:
    WindowBuffer(std::string_view text, MappedFile* file)
        : m_Text(text), m_File(file && file->bytes().data() == text.data() ? file : nullptr)
    {
        show(0);
    }

private:
    static constexpr std::size_t c_Window = std::size_t(1) << 20;

    void show(std::size_t at)
    {
        // The get area is only read from.
        char* text = const_cast<char*>(m_Text.data());
        m_Start = at;
        m_End = std::min(at + c_Window, m_Text.size());
        setg(text + m_Start, text + m_Start, text + m_End);
    }
    int_type underflow() override
    {
        if (m_End >= m_Text.size())
            return traits_type::eof();
        if (m_File)
            m_File->release(m_Start, m_End);
        show(m_End);
        return traits_type::to_int_type(*gptr());
    }

    std::string_view m_Text;
    MappedFile* m_File;
    std::size_t m_Start = 0;
    std::size_t m_End = 0;
};

bool refuse(const std::string& fileName, const std::string& reason)
{
    Core::log(Core::LogLevel::Warning, "OBJReader", "[OBJReader]> " + fileName + " : " + reason);
    return false;
}

// The forms of the format the library refuses, rewritten into ones it reads;
// text without them is returned as it is. A line ending in a backslash goes
// on on the next one. The library counts a face's corners in 8 bits, so a
// face of more than 255 corners becomes a fan of polygons that share its
// first corner and cover it exactly (the same triangles as the fan this
// reader cuts beyond 64 corners). With `forms`, also: a face corner's
// trailing slashes go ("2/2/" is "2/2", "1//" is "1"), and a face of two
// corners is a line. This is done on the text, before the library, because
// it offers no option for any of them and each is a rewrite of one line into
// lines it reads. `forms` costs a look at every character of every face, so
// it is asked for only once the library has refused the text or dropped a
// face.
std::string_view normalisedText(std::string_view text, std::string& storage, bool forms)
{
    std::string out;
    bool rewritten = false;
    std::size_t copied = 0; // text before this is in `out`, once rewritten
    std::vector<std::string_view> corners;
    for (std::size_t at = 0; at < text.size();)
    {
        // One logical line: physical lines joined while they end in '\'. A
        // comment is never continued: one ending in a Windows folder name
        // would swallow the statement after it.
        std::size_t end = at;
        bool continued = false;
        for (;;)
        {
            end = text.find('\n', end);
            end = end == std::string_view::npos ? text.size() : end + 1;
            std::size_t last = end;
            while (last > at && (text[last - 1] == ' ' || text[last - 1] == '\t' || text[last - 1] == '\r' ||
                                 text[last - 1] == '\n'))
                --last;
            if (text[at] == '#' || last == at || text[last - 1] != '\\' || end == text.size())
                break;
            continued = true;
        }
        const std::string_view line = text.substr(at, end - at);
        const bool face = line.size() > 1 && line[0] == 'f' && (line[1] == ' ' || line[1] == '\t');
        auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\\'; };
        bool rewrite = continued;
        // Only a line of 512 characters or more can hold 256 corners.
        if (face && !rewrite && (forms || line.size() > 512))
        {
            std::size_t count = 0;
            bool inCorner = false, slash = false;
            for (std::size_t i = 2; i < line.size(); ++i)
            {
                const bool space = blank(line[i]);
                count += !space & !inCorner;
                slash |= space & (line[i - 1] == '/');
                inCorner = !space;
            }
            rewrite = count > 255 || (forms && (slash || (inCorner && line.back() == '/') || count == 2));
        }
        corners.clear();
        if (rewrite && face)
            for (std::size_t i = 2; i < line.size();)
            {
                while (i < line.size() && blank(line[i]))
                    ++i;
                const std::size_t start = i;
                while (i < line.size() && !blank(line[i]))
                    ++i;
                std::string_view corner = line.substr(start, i - start);
                while (corner.size() > 1 && corner.back() == '/')
                    corner.remove_suffix(1);
                if (!corner.empty())
                    corners.push_back(corner);
            }
        if (rewrite)
        {
            out.append(text.data() + copied, at - copied);
            copied = end;
            rewritten = true;
            if (!face)
                for (std::size_t i = 0; i < line.size(); ++i)
                {
                    // A backslash that ends a physical line joins it to the next.
                    const std::size_t next = line.find_first_not_of(" \t\r", i + 1);
                    const bool joins = line[i] == '\\' && next != std::string_view::npos && line[next] == '\n' &&
                                       next + 1 < line.size();
                    out += joins ? ' ' : line[i];
                    i = joins ? next : i;
                }
            else if (corners.size() <= 255)
            {
                out += corners.size() == 2 ? "l" : "f";
                for (std::string_view corner : corners)
                    (out += ' ') += corner;
                out += '\n';
            }
            else
                for (std::size_t first = 1; first + 1 < corners.size();)
                {
                    const std::size_t last = std::min(first + 253, corners.size() - 1);
                    out += "f ";
                    out += corners[0];
                    for (std::size_t i = first; i <= last; ++i)
                        (out += ' ') += corners[i];
                    out += '\n';
                    first = last;
                }
        }
        at = end;
    }
    if (!rewritten)
        return text;
    out.append(text.data() + copied, text.size() - copied);
    storage = std::move(out);
    return storage;
}

// Material libraries, read through the reader's ResourceReader.
class Libraries : public tinyobj::MaterialReader
{
public:
    Libraries(const ResourceReader& reader, const std::string& fileName)
        : m_Reader(reader), m_FileName(fileName), m_Directory(ModelReader::directoryOf(fileName))
    {
    }

    bool operator()(const std::string& name, std::vector<tinyobj::material_t>* materials,
                    std::map<std::string, int>* names, std::string* warning, std::string* error) override
    {
        // A text read twice (see parseAndBuild) reads each library once.
        auto known = m_Read.find(name);
        if (known == m_Read.end())
        {
            std::string bytes;
            const bool read = m_Reader(m_Directory + name, bytes);
            if (!read)
                Core::log(Core::LogLevel::Warning, "OBJReader",
                          "[OBJReader]> " + m_FileName + " : material library " + name +
                              " cannot be read, drawn untextured");
            known = m_Read.emplace(name, std::make_pair(read, std::move(bytes))).first;
        }
        if (!known->second.first)
            return false;
        const std::string& bytes = known->second.second;
        MemoryBuffer buffer(bytes);
        std::istream stream(&buffer);
        tinyobj::LoadMtl(names, materials, &stream, warning, error);
        return true;
    }

private:
    const ResourceReader& m_Reader;
    const std::string& m_FileName;
    std::string m_Directory;
    std::map<std::string, std::pair<bool, std::string>> m_Read; // name -> (read, bytes)
};

double area2(const std::vector<double>& x, const std::vector<double>& y, std::size_t a, std::size_t b, std::size_t c)
{
    return (x[b] - x[a]) * (y[c] - y[a]) - (x[c] - x[a]) * (y[b] - y[a]);
}

} // namespace

class OBJBuild
{
public:
    OBJBuild(const tinyobj::attrib_t& attrib, const ResourceReader& reader, const std::string& fileName,
             ModelData& data)
        : m_Attrib(attrib), m_Reader(reader), m_FileName(fileName), m_Data(data),
          m_First(attrib.vertices.size() / 3, c_None)
    {
        // Most files use each position with one (vt, vn) pair.
        m_Keys.reserve(m_First.size());
        m_Next.reserve(m_First.size());
    }

    // The vertex number of a corner; false (with the reason) for a bad
    // position. A texture coordinate or normal that does not exist is left
    // out of the corner, and the first one named in m_Missing.
    bool vertexOf(tinyobj::index_t corner, uint32_t& vertex, std::string& why)
    {
        const std::size_t positions = m_First.size();
        const std::size_t texCoords = m_Attrib.texcoords.size() / 2;
        const std::size_t normals = m_Attrib.normals.size() / 3;
        if (corner.vertex_index < 0 || std::size_t(corner.vertex_index) >= positions)
            return (why = "face vertex " + std::to_string(corner.vertex_index + 1) + " is past the " +
                          std::to_string(positions) + " vertices"),
                   false;
        if (corner.texcoord_index < -1 ||
            (corner.texcoord_index >= 0 && std::size_t(corner.texcoord_index) >= texCoords))
        {
            if (m_Missing.empty())
                m_Missing = "face texture coordinate " + std::to_string(corner.texcoord_index + 1);
            corner.texcoord_index = -1;
        }
        if (corner.normal_index < -1 || (corner.normal_index >= 0 && std::size_t(corner.normal_index) >= normals))
        {
            if (m_Missing.empty())
                m_Missing = "face normal " + std::to_string(corner.normal_index + 1);
            corner.normal_index = -1;
        }
        // Vertices sharing a position are chained, so finding a triple is a
        // short walk.
        for (uint32_t v = m_First[std::size_t(corner.vertex_index)]; v != c_None; v = m_Next[v])
            if (m_Keys[v].texcoord_index == corner.texcoord_index && m_Keys[v].normal_index == corner.normal_index)
                return vertex = v, true;
        vertex = uint32_t(m_Keys.size());
        m_Keys.push_back(corner);
        m_Next.push_back(m_First[std::size_t(corner.vertex_index)]);
        m_First[std::size_t(corner.vertex_index)] = vertex;
        return true;
    }

    // Triangles of one polygon, appended as vertex numbers.
    void triangulate(const std::vector<uint32_t>& polygon, std::vector<uint32_t>& out)
    {
        const std::size_t n = polygon.size();
        if (n < 3)
            return;
        if (n == 3 || n > c_MaxClippedCorners)
        {
            for (std::size_t i = 2; i < n; ++i)
                out.insert(out.end(), {polygon[0], polygon[i - 1], polygon[i]});
            return;
        }
        // Project on the plane the polygon faces most (Newell's normal).
        double normal[3] = {0, 0, 0};
        auto p = [&](std::size_t i, int axis)
        { return double(m_Attrib.vertices[std::size_t(m_Keys[polygon[i]].vertex_index) * 3 + std::size_t(axis)]); };
        for (std::size_t i = 0; i < n; ++i)
        {
            std::size_t j = (i + 1) % n;
            normal[0] += (p(i, 1) - p(j, 1)) * (p(i, 2) + p(j, 2));
            normal[1] += (p(i, 2) - p(j, 2)) * (p(i, 0) + p(j, 0));
            normal[2] += (p(i, 0) - p(j, 0)) * (p(i, 1) + p(j, 1));
        }
        int drop = 0;
        for (int axis = 1; axis < 3; ++axis)
            if (std::fabs(normal[axis]) > std::fabs(normal[drop]))
                drop = axis;
        const int u = (drop + 1) % 3, v = (drop + 2) % 3;
        std::vector<double> x(n), y(n);
        for (std::size_t i = 0; i < n; ++i)
            x[i] = p(i, u), y[i] = p(i, v);
        const double sign = normal[drop] < 0 ? -1 : 1;
        std::vector<std::size_t> left(n);
        for (std::size_t i = 0; i < n; ++i)
            left[i] = i;
        while (left.size() > 3)
        {
            bool clipped = false;
            for (std::size_t k = 0; k < left.size() && !clipped; ++k)
            {
                const std::size_t a = left[(k + left.size() - 1) % left.size()], b = left[k],
                                  c = left[(k + 1) % left.size()];
                if (sign * area2(x, y, a, b, c) <= 0)
                    continue;
                bool empty = true;
                for (std::size_t other : left)
                    if (other != a && other != b && other != c && sign * area2(x, y, a, b, other) >= 0 &&
                        sign * area2(x, y, b, c, other) >= 0 && sign * area2(x, y, c, a, other) >= 0)
                        empty = false;
                if (!empty)
                    continue;
                out.insert(out.end(), {polygon[a], polygon[b], polygon[c]});
                left.erase(left.begin() + std::ptrdiff_t(k));
                clipped = true;
            }
            // A degenerate or self-crossing remainder is closed as a fan.
            if (!clipped)
                break;
        }
        for (std::size_t i = 2; i < left.size(); ++i)
            out.insert(out.end(), {polygon[left[0]], polygon[left[i - 1]], polygon[left[i]]});
    }

    // Every distinct corner becomes a vertex of the one vertex set; normals
    // and texture coordinates only when every corner has one.
    void vertices()
    {
        ModelData::Vertices vertices;
        const std::size_t count = m_Keys.size();
        bool normals = count > 0, texCoords = count > 0;
        for (const tinyobj::index_t& key : m_Keys)
        {
            normals = normals && key.normal_index >= 0;
            texCoords = texCoords && key.texcoord_index >= 0;
        }
        auto at3 = [](const std::vector<tinyobj::real_t>& array, int index)
        {
            const auto* v = &array[std::size_t(index) * 3];
            return Vec3<double>(v[0], v[1], v[2]);
        };
        Core::allocate(vertices.m_Positions, count);
        for (std::size_t i = 0; i < count; ++i)
            vertices.m_Positions[i] = at3(m_Attrib.vertices, m_Keys[i].vertex_index);
        if (normals)
        {
            Core::allocate(vertices.m_Normals, count);
            for (std::size_t i = 0; i < count; ++i)
                vertices.m_Normals[i] = at3(m_Attrib.normals, m_Keys[i].normal_index);
        }
        if (texCoords)
        {
            Core::allocate(vertices.m_TexCoords, count);
            for (std::size_t i = 0; i < count; ++i)
            {
                const auto* t = &m_Attrib.texcoords[std::size_t(m_Keys[i].texcoord_index) * 2];
                vertices.m_TexCoords[i] = Vec2<double>(t[0], t[1]);
            }
        }
        m_Data.m_VertexSets.push_back(std::move(vertices));
    }

    // The model data's material of an OBJ material.
    int materialOf(const tinyobj::material_t& material)
    {
        ModelData::Material out;
        out.m_Color = Vec3<double>(material.diffuse[0], material.diffuse[1], material.diffuse[2]);
        if (!material.diffuse_texname.empty())
        {
            out.m_Image = imageOf(material.diffuse_texname, true);
            const std::string& bump = material.bump_texname.empty() ? material.normal_texname : material.bump_texname;
            if (out.m_Image >= 0 && !bump.empty())
                out.m_NormalMap = imageOf(bump, false);
        }
        m_Data.m_Materials.push_back(out);
        return int(m_Data.m_Materials.size() - 1);
    }

    // The model data's image of the file a material names (read once), or -1
    // when it cannot be read (said in one line for a picture).
    int imageOf(std::string name, bool picture)
    {
        // Tools on Windows write ".\\wood.jpg": backslashes separate folders too.
        std::replace(name.begin(), name.end(), '\\', '/');
        const std::string path = name[0] == '/' ? name : ModelReader::directoryOf(m_FileName) + name;
        auto found = m_Images.find(path);
        if (found != m_Images.end())
            return found->second;
        std::string bytes;
        if (!m_Reader(path, bytes))
        {
            if (picture)
                Core::log(Core::LogLevel::Warning, "OBJReader",
                          "[OBJReader]> " + m_FileName + " : texture " + path + " cannot be read");
            return -1;
        }
        m_Data.m_Images.push_back({path, std::move(bytes)});
        return m_Images[path] = int(m_Data.m_Images.size() - 1);
    }

    // Triangles by material (in material order), then lines, then points.
    void primitives(const std::vector<tinyobj::material_t>& materials, std::map<int, std::vector<uint32_t>>& triangles,
                    std::vector<uint32_t>& lines, std::vector<uint32_t>& points)
    {
        auto add = [&](ModelData::Mode mode, std::vector<uint32_t>& indices, int material)
        {
            ModelData::Primitive primitive;
            primitive.m_Mode = mode;
            primitive.m_Indices = std::move(indices);
            primitive.m_Material = material;
            m_Data.m_Primitives.push_back(std::move(primitive));
        };
        for (auto& [id, faces] : triangles)
            add(ModelData::Mode::Triangles, faces,
                id >= 0 && std::size_t(id) < materials.size() ? materialOf(materials[std::size_t(id)]) : -1);
        if (!lines.empty())
            add(ModelData::Mode::Lines, lines, -1);
        if (!points.empty())
            add(ModelData::Mode::Points, points, -1);
    }

    std::string m_Missing;

private:
    const tinyobj::attrib_t& m_Attrib;
    const ResourceReader& m_Reader;
    const std::string& m_FileName;
    ModelData& m_Data;
    std::map<std::string, int> m_Images; // path -> model data image
    std::vector<uint32_t> m_First;
    std::vector<uint32_t> m_Next;
    std::vector<tinyobj::index_t> m_Keys;
};

bool OBJReader::load(const std::string& fileName, ModelData& data)
{
    MappedFile file(fileName);
    if (!file.isOpen())
        return refuse(fileName, "cannot be read");
    return parseAndBuild(file.bytes(), &file, fileName, data);
}

bool OBJReader::loadFromMemory(std::string_view text, const std::string& fileName, ModelData& data)
{
    return parseAndBuild(text, nullptr, fileName, data);
}

bool OBJReader::parseAndBuild(std::string_view text, MappedFile* owned, const std::string& fileName, ModelData& data)
{
    std::string narrow, split;
    const std::string_view source = narrowedText(text, narrow);
    Libraries libraries(m_Resources, fileName);
    tinyobj::attrib_t attrib;
    std::vector<tinyobj::shape_t> shapes;
    std::vector<tinyobj::material_t> materials;
    std::string warning, error;
    bool parsed = false;
    for (bool forms : {false, true})
    {
        // Read again with the rarer face forms rewritten only when the
        // library refused the text or dropped a face (two corners, say).
        if (forms && parsed && warning.find("Degenerated face") == std::string::npos)
            break;
        WindowBuffer buffer(normalisedText(source, split, forms), owned);
        std::istream stream(&buffer);
        attrib = tinyobj::attrib_t();
        shapes.clear();
        materials.clear();
        warning.clear();
        error.clear();
        // Polygons are cut here, not by the library, so that every corner
        // count is checked against the indices it came with.
        parsed = tinyobj::LoadObj(&attrib, &shapes, &materials, &warning, &error, &stream, &libraries, false, false);
    }
    if (!parsed)
    {
        const std::string reason = error.substr(0, error.find('\n'));
        return refuse(fileName, reason.empty() ? "not an OBJ file" : reason);
    }

    // The library's arrays hold everything now: the text can go before the
    // mesh is built, which keeps the peak of a load low.
    std::string().swap(narrow);
    std::string().swap(split);
    if (owned)
        owned->close();

    ModelData built;
    OBJBuild build(attrib, m_Resources, fileName, built);
    std::map<int, std::vector<uint32_t>> triangles;
    std::vector<uint32_t> lines, points, polygon;
    std::string why;
    for (const tinyobj::shape_t& shape : shapes)
    {
        const tinyobj::mesh_t& faces = shape.mesh;
        if (!faces.material_ids.empty())
        {
            // Room for the shape's triangles where its first face goes: most
            // shapes have one material.
            std::size_t count = 0;
            for (unsigned int corners : faces.num_face_vertices)
                count += corners >= 3 ? 3 * (corners - 2) : 0;
            std::vector<uint32_t>& first = triangles[faces.material_ids[0]];
            first.reserve(first.size() + count);
        }
        std::size_t at = 0;
        for (std::size_t face = 0; face < faces.num_face_vertices.size(); ++face)
        {
            const std::size_t corners = faces.num_face_vertices[face];
            if (corners > faces.indices.size() - at)
                return refuse(fileName, "a face has more than 255 corners");
            polygon.clear();
            for (std::size_t corner = 0; corner < corners; ++corner)
            {
                uint32_t vertex;
                if (!build.vertexOf(faces.indices[at + corner], vertex, why))
                    return refuse(fileName, why);
                polygon.push_back(vertex);
            }
            at += corners;
            const int material = face < faces.material_ids.size() ? faces.material_ids[face] : -1;
            build.triangulate(polygon, triangles[material]);
        }
        if (at != faces.indices.size())
            return refuse(fileName, "a face has more than 255 corners");
        std::size_t next = 0;
        for (int count : shape.lines.num_line_vertices)
        {
            if (count < 0 || std::size_t(count) > shape.lines.indices.size() - next)
                return refuse(fileName, "a line lists more corners than it has");
            polygon.clear();
            for (int i = 0; i < count; ++i)
            {
                uint32_t vertex;
                if (!build.vertexOf(shape.lines.indices[next + std::size_t(i)], vertex, why))
                    return refuse(fileName, why);
                if (i > 0)
                    lines.insert(lines.end(), {polygon.back(), vertex});
                polygon.push_back(vertex);
            }
            next += std::size_t(count);
        }
        for (const tinyobj::index_t& corner : shape.points.indices)
        {
            uint32_t vertex;
            if (!build.vertexOf(corner, vertex, why))
                return refuse(fileName, why);
            points.push_back(vertex);
        }
    }
    if (!build.m_Missing.empty())
        Core::log(Core::LogLevel::Warning, "OBJReader",
                  "[OBJReader]> " + fileName + " : " + build.m_Missing +
                      " does not exist; the corners that name it are drawn without it");
    build.vertices();
    build.primitives(materials, triangles, lines, points);
    data = std::move(built);
    return true;
}

} // namespace Reader
