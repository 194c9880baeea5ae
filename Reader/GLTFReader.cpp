#include <Reader/internal/GLTFReader.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <map>
#include <memory>
#include <numeric>
#include <vector>

// tinygltf is compiled here, with Debian's nlohmann-json, rather than taken
// from Debian's libtinygltf: the shared library's object layout does not
// match what its header declares to a C++17 caller. Its symbols stay hidden
// so that a game linking its own copy gets no clash. Pictures go to Tabula's
// own readers, so no image decoder is compiled in.
#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_STB_IMAGE
#define TINYGLTF_NO_STB_IMAGE_WRITE
#define TINYGLTF_NO_INCLUDE_JSON
// The C and C++ headers they use come first, outside the hidden region.
#include <algorithm>
#include <cassert>
#include <clocale>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
#include <wordexp.h>
#pragma GCC visibility push(hidden)
#include <nlohmann/json.hpp>
#include <tiny_gltf.h>
#pragma GCC visibility pop

#include <Core/Log.h>
#include <Core/internal/Prefault.h>
#include <Math/Matrix.h>
#include <Reader/internal/MappedFile.h>
#include <Reader/internal/ModelData.h>

namespace Reader
{

namespace
{

// Column-major, as glTF writes it: `local * parent` is the node's world
// matrix (the local one applied first).
using Matrix4 = Matrix<double>;

const Matrix4 c_Identity = Matrix4::identity();

bool isIdentity(const Matrix4& m)
{
    return std::equal(m.getPtr(), m.getPtr() + 16, c_Identity.getPtr());
}

Matrix4 localMatrix(const tinygltf::Node& node)
{
    if (node.matrix.size() == 16)
    {
        Matrix4 m;
        std::copy(node.matrix.begin(), node.matrix.end(), m.getPtr());
        return m;
    }
    Matrix4 m = c_Identity;
    if (node.rotation.size() == 4)
    {
        double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
        m = {1 - 2 * (y * y + z * z),
             2 * (x * y + z * w),
             2 * (x * z - y * w),
             0,
             2 * (x * y - z * w),
             1 - 2 * (x * x + z * z),
             2 * (y * z + x * w),
             0,
             2 * (x * z + y * w),
             2 * (y * z - x * w),
             1 - 2 * (x * x + y * y),
             0,
             0,
             0,
             0,
             1};
    }
    if (node.scale.size() == 3)
        for (int column = 0; column < 3; ++column)
            for (int row = 0; row < 3; ++row)
                m[column * 4 + row] *= node.scale[column];
    if (node.translation.size() == 3)
        for (int row = 0; row < 3; ++row)
            m[12 + row] = node.translation[row];
    return m;
}

// Rows of the inverse transpose of the upper 3x3 (its cofactor matrix is
// enough: normals are normalised afterwards).
std::array<double, 9> normalMatrix(const Matrix4& m)
{
    auto a = [&](int row, int column) { return m[column * 4 + row]; };
    std::array<double, 9> c;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column)
        {
            int r0 = (row + 1) % 3, r1 = (row + 2) % 3, c0 = (column + 1) % 3, c1 = (column + 2) % 3;
            c[row * 3 + column] = a(r0, c0) * a(r1, c1) - a(r0, c1) * a(r1, c0);
        }
    return c;
}

// The bytes of an accessor, checked against its buffer view and buffer.
struct View
{
    const unsigned char* m_Data = nullptr;
    std::size_t m_Stride = 0;
    std::size_t m_Count = 0;
    int m_ComponentType = 0;
    bool m_Normalized = false;
    // The elements themselves when no buffer view holds them as read: an
    // accessor without a view (zeros) or with sparse values over its base.
    std::shared_ptr<const std::vector<unsigned char>> m_Owned;
};

class Refusal
{
public:
    explicit Refusal(std::string reason) : m_Reason(std::move(reason)) {}
    std::string m_Reason;
};

std::string compressedBy(const std::string& extension)
{
    return "compresses its geometry with extension " + extension + ", which is not supported";
}

std::size_t componentSize(int type)
{
    switch (type)
    {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return 2;
    case TINYGLTF_COMPONENT_TYPE_INT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return 4;
    default:
        return 0;
    }
}

std::size_t componentCount(int type)
{
    switch (type)
    {
    case TINYGLTF_TYPE_SCALAR:
        return 1;
    case TINYGLTF_TYPE_VEC2:
        return 2;
    case TINYGLTF_TYPE_VEC3:
        return 3;
    case TINYGLTF_TYPE_VEC4:
        return 4;
    default:
        return 0;
    }
}

// The bytes of a buffer view, or a refusal when they leave the buffer.
// The bytes of each buffer: the library's copy, or the file's own GLB chunk
// when it was read in place.
using Buffers = std::vector<std::string_view>;

std::string_view bufferViewBytes(const tinygltf::Model& model, const Buffers& buffers, int index)
{
    if (index < 0 || std::size_t(index) >= model.bufferViews.size())
        throw Refusal("buffer view " + std::to_string(index) + " does not exist");
    const tinygltf::BufferView& view = model.bufferViews[std::size_t(index)];
    if (view.buffer < 0 || std::size_t(view.buffer) >= buffers.size())
        throw Refusal("buffer view " + std::to_string(index) + " names no buffer");
    const std::string_view data = buffers[std::size_t(view.buffer)];
    if (view.byteOffset > data.size() || view.byteLength > data.size() - view.byteOffset)
        throw Refusal("buffer view " + std::to_string(index) + " runs past its buffer");
    return data.substr(view.byteOffset, view.byteLength);
}

// `count` elements of `element` bytes, `stride` apart from `offset` in buffer
// view `index`: their first byte, or a refusal naming `what`.
const unsigned char* elementsIn(const tinygltf::Model& model, const Buffers& buffers, int index, std::size_t offset,
                                std::size_t count, std::size_t element, std::size_t stride, const std::string& what)
{
    const std::string_view bytes = bufferViewBytes(model, buffers, index);
    if (offset > bytes.size() || bytes.size() - offset < element ||
        (count - 1) > (bytes.size() - offset - element) / stride)
        throw Refusal(what + " runs past its buffer view");
    return reinterpret_cast<const unsigned char*>(bytes.data()) + offset;
}

// A sparse accessor, or one without a buffer view, as a packed copy: its base
// elements (zeros without a view), then each sparse value at its index.
void packElements(const tinygltf::Model& model, const Buffers& buffers, const tinygltf::Accessor& accessor,
                  std::size_t element, const std::string& name, View& view)
{
    if (accessor.count > GLTFReader::c_MaxCorners)
        throw Refusal(name + " holds more elements than a model may have corners");
    auto packed = std::make_shared<std::vector<unsigned char>>(accessor.count * element, 0);
    if (accessor.bufferView >= 0)
        for (std::size_t i = 0; i < accessor.count; ++i)
            std::memcpy(packed->data() + i * element, view.m_Data + i * view.m_Stride, element);
    const auto& sparse = accessor.sparse;
    if (sparse.isSparse && sparse.count != 0)
    {
        const std::string what = name + "'s sparse ";
        if (sparse.count < 0 || std::size_t(sparse.count) > accessor.count)
            throw Refusal(what + "count is not within its element count");
        const std::size_t count = std::size_t(sparse.count);
        const int indexType = sparse.indices.componentType;
        const std::size_t indexSize = componentSize(indexType);
        if (indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
            indexType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
            throw Refusal(what + "indices have the wrong type");
        if (sparse.indices.byteOffset < 0 || sparse.values.byteOffset < 0)
            throw Refusal(what + "offsets are negative");
        const unsigned char* indices =
            elementsIn(model, buffers, sparse.indices.bufferView, std::size_t(sparse.indices.byteOffset), count,
                       indexSize, indexSize, what + "indices");
        const unsigned char* values =
            elementsIn(model, buffers, sparse.values.bufferView, std::size_t(sparse.values.byteOffset), count, element,
                       element, what + "values");
        for (std::size_t i = 0; i < count; ++i)
        {
            uint32_t target = 0;
            std::memcpy(&target, indices + i * indexSize, indexSize); // little-endian, as glTF is
            if (target >= accessor.count)
                throw Refusal(what + "index " + std::to_string(target) + " is past its element count");
            std::memcpy(packed->data() + std::size_t(target) * element, values + i * element, element);
        }
    }
    view.m_Data = packed->data();
    view.m_Stride = element;
    view.m_Owned = std::move(packed);
}

View accessorView(const tinygltf::Model& model, const Buffers& buffers, int index, int type)
{
    const std::string name = "accessor " + std::to_string(index);
    if (index < 0 || std::size_t(index) >= model.accessors.size())
        throw Refusal(name + " does not exist");
    const tinygltf::Accessor& accessor = model.accessors[std::size_t(index)];
    const std::size_t element = componentSize(accessor.componentType) * componentCount(accessor.type);
    if (accessor.type != type || element == 0)
        throw Refusal(name + " has the wrong type");
    View view;
    view.m_Count = accessor.count;
    view.m_ComponentType = accessor.componentType;
    view.m_Normalized = accessor.normalized;
    if (accessor.count == 0)
        return view;
    if (accessor.bufferView >= 0)
    {
        const int declared = std::size_t(accessor.bufferView) < model.bufferViews.size()
                                 ? model.bufferViews[std::size_t(accessor.bufferView)].byteStride
                                 : 0;
        view.m_Stride = declared > 0 ? std::size_t(declared) : element;
        if (view.m_Stride < element)
            throw Refusal(name + " has a stride shorter than its element");
        view.m_Data = elementsIn(model, buffers, accessor.bufferView, accessor.byteOffset, accessor.count, element,
                                 view.m_Stride, name);
    }
    if (accessor.bufferView < 0 || accessor.sparse.isSparse)
        packElements(model, buffers, accessor, element, name, view);
    return view;
}

double component(const View& view, std::size_t item, std::size_t index)
{
    const unsigned char* at = view.m_Data + item * view.m_Stride + index * componentSize(view.m_ComponentType);
    switch (view.m_ComponentType)
    {
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
    {
        float value;
        std::memcpy(&value, at, 4);
        return value;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return view.m_Normalized ? *at / 255.0 : *at;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
    {
        uint16_t value;
        std::memcpy(&value, at, 2);
        return view.m_Normalized ? value / 65535.0 : value;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    {
        uint32_t value;
        std::memcpy(&value, at, 4);
        return value;
    }
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    {
        int8_t value;
        std::memcpy(&value, at, 1);
        return view.m_Normalized ? std::max(value / 127.0, -1.0) : value;
    }
    default:
    {
        int16_t value;
        std::memcpy(&value, at, 2);
        return view.m_Normalized ? std::max(value / 32767.0, -1.0) : value;
    }
    }
}

// Keeps the encoded bytes of pictures given by a data: URI or a file; those
// in buffer views are read later, once the view is checked.
bool keepImageBytes(tinygltf::Image* image, const int, std::string*, std::string*, int, int, const unsigned char* bytes,
                    int size, void*)
{
    if (image->bufferView < 0 && bytes != nullptr && size > 0)
        image->image.assign(bytes, bytes + size);
    return true;
}

// Files the model names, read once through the reader's ResourceReader.
struct Files
{
    const ResourceReader* m_Reader;
    std::map<std::string, std::string> m_Read;

    static bool exists(const std::string& path, void* user)
    {
        auto* files = static_cast<Files*>(user);
        std::string bytes;
        if (files->m_Read.count(path))
            return true;
        if (!(*files->m_Reader)(path, bytes))
            return false;
        files->m_Read.emplace(path, std::move(bytes));
        return true;
    }
    static std::string expand(const std::string& path, void*) { return path; }
    static bool read(std::vector<unsigned char>* out, std::string* err, const std::string& path, void* user)
    {
        auto* files = static_cast<Files*>(user);
        if (!exists(path, user))
        {
            if (err)
                *err += "cannot read " + path;
            return false;
        }
        auto found = files->m_Read.find(path);
        out->assign(found->second.begin(), found->second.end());
        files->m_Read.erase(found);
        return true;
    }
    static bool write(std::string*, const std::string&, const std::vector<unsigned char>&, void*) { return false; }
};

uint32_t readLE32(std::string_view bytes, std::size_t at)
{
    return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8 |
           uint32_t(uint8_t(bytes[at + 2])) << 16 | uint32_t(uint8_t(bytes[at + 3])) << 24;
}

// The GLB header and chunk lengths, checked before the library reads them:
// the bytes the container really holds (0 when a length lies).
std::size_t glbLength(std::string_view bytes)
{
    if (bytes.size() < 20 || readLE32(bytes, 4) != 2)
        return 0;
    const uint64_t length = readLE32(bytes, 8);
    const uint64_t json = readLE32(bytes, 12);
    if (length > bytes.size() || 20 + json > length)
        return 0;
    if (20 + json < length)
    {
        if (20 + json + 8 > length || 28 + json + readLE32(bytes, std::size_t(20 + json)) > length)
            return 0;
    }
    return std::size_t(length);
}

// A GLB of `root` as its JSON chunk followed by `chunks` (whole chunks,
// headers included); false when the JSON cannot be written.
bool glbOf(const nlohmann::json& root, std::string_view chunks, std::string& glb)
{
    std::string text;
    try
    {
        text = root.dump();
    }
    catch (const nlohmann::json::exception&)
    {
        return false;
    }
    text.append((4 - text.size() % 4) % 4, ' ');
    auto le32 = [&](uint32_t value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            glb += char((value >> shift) & 0xff);
    };
    glb = "glTF";
    le32(2);
    le32(uint32_t(20 + text.size() + chunks.size()));
    le32(uint32_t(text.size()));
    le32(0x4E4F534A);
    glb += text;
    glb += chunks;
    return true;
}

// A GLB whose first buffer is its binary chunk is read in place: the library
// would copy the whole chunk, so it is handed the same JSON with that buffer
// cut to 4 bytes (and pictures pointed at a 4-byte view of it, since it
// passes their bytes to the picture callback), and `chunk` is the buffer's
// real bytes in the file. False, with nothing done, for any file that is not
// plainly such a GLB: the library then reads it as it is and names what is
// wrong. `original` receives each picture's buffer view, to put back.
bool inPlaceGLB(std::string_view bytes, std::size_t length, std::string& patched, std::string_view& chunk,
                std::vector<int>& original)
{
    const std::size_t json = readLE32(bytes, 12);
    if (json % 4 != 0 || 28 + json > length || readLE32(bytes, 16) != 0x4E4F534A ||
        readLE32(bytes, 24 + json) != 0x004E4942)
        return false;
    const std::size_t binLength = readLE32(bytes, 20 + json);
    if (binLength < 4 || binLength % 4 != 0 || binLength > length - 28 - json)
        return false;
    nlohmann::json root = nlohmann::json::parse(bytes.data() + 20, bytes.data() + 20 + json, nullptr, false);
    if (!root.is_object() || !root.contains("buffers") || !root["buffers"].is_array() || root["buffers"].empty())
        return false;
    nlohmann::json& buffer = root["buffers"][0];
    if (!buffer.is_object() || buffer.contains("uri") || !buffer.contains("byteLength") ||
        !buffer["byteLength"].is_number_unsigned())
        return false;
    const uint64_t size = buffer["byteLength"].get<uint64_t>();
    if (size < 4 || size > binLength)
        return false;
    buffer["byteLength"] = 4;
    if (root.contains("images"))
    {
        nlohmann::json& images = root["images"];
        nlohmann::json& views = root["bufferViews"];
        if (!images.is_array() || !views.is_array())
            return false;
        for (nlohmann::json& image : images)
        {
            if (!image.is_object() || !image.contains("bufferView"))
            {
                original.push_back(-1);
                continue;
            }
            const nlohmann::json& view = image["bufferView"];
            if (!view.is_number_unsigned() || view.get<uint64_t>() >= views.size())
                return false;
            const nlohmann::json& target = views[view.get<std::size_t>()];
            if (!target.is_object() || !target.contains("buffer") || !target["buffer"].is_number_unsigned() ||
                target["buffer"].get<uint64_t>() >= root["buffers"].size())
                return false;
            original.push_back(view.get<int>());
            image["bufferView"] = views.size();
        }
        if (std::any_of(original.begin(), original.end(), [](int view) { return view >= 0; }))
            views.push_back({{"buffer", 0}, {"byteLength", 4}});
    }
    // A binary chunk of 4 zero bytes.
    if (!glbOf(root, std::string_view("\x04\0\0\0BIN\0\0\0\0\0", 12), patched))
        return false;
    chunk = bytes.substr(28 + json, size);
    return true;
}

// Three components of an accessor element; floats, the common case, are
// copied straight out of the buffer.
inline void read3(const View& view, std::size_t item, double out[3])
{
    if (view.m_ComponentType == TINYGLTF_COMPONENT_TYPE_FLOAT)
    {
        float value[3];
        std::memcpy(value, view.m_Data + item * view.m_Stride, sizeof value);
        out[0] = value[0], out[1] = value[1], out[2] = value[2];
        return;
    }
    for (std::size_t i = 0; i < 3; ++i)
        out[i] = component(view, item, i);
}

// Index `i` of a checked index accessor (u8, u16 or u32).
inline uint32_t indexAt(const View& view, std::size_t i)
{
    const unsigned char* at = view.m_Data + i * view.m_Stride;
    switch (view.m_ComponentType)
    {
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return *at;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
    {
        uint16_t value;
        std::memcpy(&value, at, 2);
        return value;
    }
    default:
    {
        uint32_t value;
        std::memcpy(&value, at, 4);
        return value;
    }
    }
}

// The first index of `view` that is `limit` or more (its count when none):
// one loop per index type, as this runs over every index of the model.
std::size_t firstIndexAtLeast(const View& view, std::size_t limit)
{
    auto scan = [&](auto type)
    {
        using Index = decltype(type);
        for (std::size_t i = 0; i < view.m_Count; ++i)
        {
            Index value;
            std::memcpy(&value, view.m_Data + i * view.m_Stride, sizeof value);
            if (value >= limit)
                return i;
        }
        return view.m_Count;
    };
    switch (view.m_ComponentType)
    {
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return scan(uint8_t());
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return scan(uint16_t());
    default:
        return scan(uint32_t());
    }
}

// The corners of one primitive's faces as vertex numbers: strips, fans,
// loops and line strips turned into separate faces corner by corner.
class Corners
{
public:
    Corners(const View& indices, bool indexed, std::size_t vertices, int mode)
        : m_Indices(indices), m_Indexed(indexed), m_Vertices(vertices), m_Mode(mode)
    {
    }

    std::size_t count() const
    {
        const std::size_t n = indexCount();
        switch (m_Mode)
        {
        case TINYGLTF_MODE_POINTS:
            return n;
        case TINYGLTF_MODE_LINE:
            return n / 2 * 2;
        case TINYGLTF_MODE_LINE_STRIP:
            return n < 2 ? 0 : 2 * (n - 1);
        case TINYGLTF_MODE_LINE_LOOP:
            return n < 2 ? 0 : 2 * (n - 1) + (n > 2 ? 2 : 0);
        case TINYGLTF_MODE_TRIANGLE_STRIP:
        case TINYGLTF_MODE_TRIANGLE_FAN:
            return n < 3 ? 0 : 3 * (n - 2);
        default:
            return n / 3 * 3;
        }
    }

    /// Writes count() corners.
    void write(uint32_t* out) const
    {
        const std::size_t n = count();
        switch (m_Mode)
        {
        case TINYGLTF_MODE_LINE_STRIP:
        case TINYGLTF_MODE_LINE_LOOP:
        case TINYGLTF_MODE_TRIANGLE_STRIP:
        case TINYGLTF_MODE_TRIANGLE_FAN:
            for (std::size_t k = 0; k < n; ++k)
                out[k] = corner(k);
            return;
        default:
            // Points, lines and triangles: corner k is index k.
            if (!m_Indexed)
                std::iota(out, out + n, uint32_t(0));
            else if (m_Indices.m_ComponentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT && m_Indices.m_Stride == 4)
                std::memcpy(out, m_Indices.m_Data, n * 4);
            else
                for (std::size_t k = 0; k < n; ++k)
                    out[k] = indexAt(m_Indices, k);
        }
    }

private:
    uint32_t corner(std::size_t k) const
    {
        switch (m_Mode)
        {
        case TINYGLTF_MODE_LINE_STRIP:
        case TINYGLTF_MODE_LINE_LOOP:
            // The loop's closing segment is the one past the strip's.
            return index(k % 2 == 0 ? k / 2 : (k / 2 + 1) % indexCount());
        case TINYGLTF_MODE_TRIANGLE_STRIP:
        {
            // Every other triangle turns the other way round.
            const std::size_t i = k / 3 + 2, c = k % 3;
            if (c == 2)
                return index(i);
            return index(((i % 2 == 0) == (c == 0)) ? i - 2 : i - 1);
        }
        default: // TINYGLTF_MODE_TRIANGLE_FAN
        {
            const std::size_t i = k / 3 + 2, c = k % 3;
            return index(c == 0 ? 0 : i - 2 + c);
        }
        }
    }
    std::size_t indexCount() const { return m_Indexed ? m_Indices.m_Count : m_Vertices; }
    uint32_t index(std::size_t i) const { return m_Indexed ? indexAt(m_Indices, i) : uint32_t(i); }

    const View& m_Indices;
    bool m_Indexed;
    std::size_t m_Vertices;
    int m_Mode;
};

ModelData::Mode modeOf(int mode)
{
    switch (mode)
    {
    case TINYGLTF_MODE_POINTS:
        return ModelData::Mode::Points;
    case TINYGLTF_MODE_LINE:
    case TINYGLTF_MODE_LINE_LOOP:
    case TINYGLTF_MODE_LINE_STRIP:
        return ModelData::Mode::Lines;
    default:
        return ModelData::Mode::Triangles;
    }
}

// Positions through the node's world matrix, which is skipped when it is the
// identity (most models); refused when one is not finite.
void readPositions(const View& view, const Matrix4& world, int accessor, std::vector<Vec3<double>>& out)
{
    Core::allocate(out, view.m_Count);
    const bool identity = isIdentity(world);
    for (std::size_t i = 0; i < view.m_Count; ++i)
    {
        double p[3];
        read3(view, i, p);
        if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
            throw Refusal("accessor " + std::to_string(accessor) + " holds a position that is not finite");
        if (identity)
            out[i] = Vec3<double>(p[0], p[1], p[2]);
        else
            out[i] = Vec3<double>(world[0] * p[0] + world[4] * p[1] + world[8] * p[2] + world[12],
                                  world[1] * p[0] + world[5] * p[1] + world[9] * p[2] + world[13],
                                  world[2] * p[0] + world[6] * p[1] + world[10] * p[2] + world[14]);
    }
}

// Normals through the inverse transpose of the world matrix (skipped for the
// identity), normalised again.
void readNormals(const View& view, const Matrix4& world, std::vector<Vec3<double>>& out)
{
    Core::allocate(out, view.m_Count);
    const bool identity = isIdentity(world);
    const std::array<double, 9> m = normalMatrix(world);
    for (std::size_t i = 0; i < view.m_Count; ++i)
    {
        double n[3];
        read3(view, i, n);
        double o[3] = {n[0], n[1], n[2]};
        if (!identity)
            for (int row = 0; row < 3; ++row)
                o[row] = m[row * 3] * n[0] + m[row * 3 + 1] * n[1] + m[row * 3 + 2] * n[2];
        const double length = std::sqrt(o[0] * o[0] + o[1] * o[1] + o[2] * o[2]);
        // A zero or broken normal stays zero rather than spreading NaN.
        const double scale = std::isfinite(length) && length > 0 ? 1 / length : 0;
        out[i] = Vec3<double>(o[0] * scale, o[1] * scale, o[2] * scale);
    }
}

// OpenGL's (s, t): glTF's v runs down the picture.
void readTexCoords(const View& view, std::vector<Vec2<double>>& out)
{
    Core::allocate(out, view.m_Count);
    for (std::size_t i = 0; i < view.m_Count; ++i)
    {
        if (view.m_ComponentType == TINYGLTF_COMPONENT_TYPE_FLOAT)
        {
            float st[2];
            std::memcpy(st, view.m_Data + i * view.m_Stride, sizeof st);
            out[i] = Vec2<double>(st[0], 1.0 - double(st[1]));
        }
        else
            out[i] = Vec2<double>(component(view, i, 0), 1.0 - component(view, i, 1));
    }
}

class Builder
{
public:
    /// `borrow`: the buffers outlive the model data (see ModelData::m_Storage),
    /// so index lists are borrowed from them rather than copied.
    Builder(const tinygltf::Model& model, Buffers buffers, bool borrow, const std::string& fileName, ModelData& data)
        : m_Model(model), m_Buffers(std::move(buffers)), m_Borrow(borrow), m_FileName(fileName), m_Data(data)
    {
    }

    bool borrowed() const { return m_Borrowed; }

    void build()
    {
        std::vector<int> roots;
        if (!m_Model.scenes.empty())
        {
            std::size_t scene = m_Model.defaultScene >= 0 ? std::size_t(m_Model.defaultScene) : 0;
            if (scene >= m_Model.scenes.size())
                throw Refusal("scene " + std::to_string(scene) + " does not exist");
            roots = m_Model.scenes[scene].nodes;
        }
        else
        {
            std::vector<bool> child(m_Model.nodes.size(), false);
            for (const tinygltf::Node& node : m_Model.nodes)
                for (int c : node.children)
                    if (c >= 0 && std::size_t(c) < child.size())
                        child[std::size_t(c)] = true;
            for (std::size_t node = 0; node < child.size(); ++node)
                if (!child[node])
                    roots.push_back(int(node));
        }
        // Nodes form a tree, so each is reached once; walking with an explicit
        // stack keeps a deep tree off the call stack.
        std::vector<bool> reached(m_Model.nodes.size(), false);
        std::vector<std::pair<int, Matrix4>> stack;
        for (auto root = roots.rbegin(); root != roots.rend(); ++root)
            stack.emplace_back(*root, c_Identity);
        while (!stack.empty())
        {
            auto [index, parent] = stack.back();
            stack.pop_back();
            if (index < 0 || std::size_t(index) >= m_Model.nodes.size())
                throw Refusal("node " + std::to_string(index) + " does not exist");
            if (reached[std::size_t(index)])
                throw Refusal("node " + std::to_string(index) + " is reached twice");
            reached[std::size_t(index)] = true;
            const tinygltf::Node& node = m_Model.nodes[std::size_t(index)];
            const Matrix4 world = localMatrix(node) * parent;
            if (node.mesh >= 0)
            {
                if (std::size_t(node.mesh) >= m_Model.meshes.size())
                    throw Refusal("mesh " + std::to_string(node.mesh) + " does not exist");
                for (const tinygltf::Primitive& primitive : m_Model.meshes[std::size_t(node.mesh)].primitives)
                    addPrimitive(primitive, world);
            }
            for (auto child = node.children.rbegin(); child != node.children.rend(); ++child)
                stack.emplace_back(*child, world);
        }
    }

private:
    void addPrimitive(const tinygltf::Primitive& primitive, const Matrix4& world)
    {
        auto position = primitive.attributes.find("POSITION");
        if (position == primitive.attributes.end())
            return;
        // Compressed geometry leaves its accessors without views, which would
        // otherwise read as zeros.
        if (!primitive.extensions.empty() && position->second >= 0 &&
            std::size_t(position->second) < m_Model.accessors.size())
        {
            const tinygltf::Accessor& accessor = m_Model.accessors[std::size_t(position->second)];
            if (accessor.bufferView < 0 && !accessor.sparse.isSparse)
                throw Refusal(compressedBy(primitive.extensions.begin()->first));
        }
        const View positions = accessorView(m_Model, m_Buffers, position->second, TINYGLTF_TYPE_VEC3);
        const std::size_t count = positions.m_Count;
        if (count > 0 && positions.m_ComponentType != TINYGLTF_COMPONENT_TYPE_FLOAT)
            throw Refusal("accessor " + std::to_string(position->second) + " has the wrong type");

        ModelData::Vertices vertices;
        readPositions(positions, world, position->second, vertices.m_Positions);

        // Attributes of another length or type than the positions are left out.
        View normals, texCoords, indices;
        auto normal = primitive.attributes.find("NORMAL");
        if (normal != primitive.attributes.end())
        {
            const View view = accessorView(m_Model, m_Buffers, normal->second, TINYGLTF_TYPE_VEC3);
            if (view.m_Count == count && view.m_ComponentType == TINYGLTF_COMPONENT_TYPE_FLOAT)
                normals = view;
        }
        auto texCoord = primitive.attributes.find("TEXCOORD_0");
        if (texCoord != primitive.attributes.end())
        {
            const View view = accessorView(m_Model, m_Buffers, texCoord->second, TINYGLTF_TYPE_VEC2);
            if (view.m_Count == count)
                texCoords = view;
        }
        const bool indexed = primitive.indices >= 0;
        if (indexed)
        {
            indices = accessorView(m_Model, m_Buffers, primitive.indices, TINYGLTF_TYPE_SCALAR);
            const int type = indices.m_ComponentType;
            if (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE && type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
                type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
                throw Refusal("accessor " + std::to_string(primitive.indices) + " has the wrong type");
            const std::size_t bad = firstIndexAtLeast(indices, count);
            if (bad < indices.m_Count)
                throw Refusal("index " + std::to_string(indexAt(indices, bad)) + " is past the vertex count " +
                              std::to_string(count));
        }
        const Corners corners(indices, indexed, count, primitive.mode);
        m_Corners += corners.count();
        if (m_Corners > GLTFReader::c_MaxCorners)
            throw Refusal("the model has more than " + std::to_string(GLTFReader::c_MaxCorners) + " corners");

        if (normals.m_Count > 0)
            readNormals(normals, world, vertices.m_Normals);
        if (texCoords.m_Count > 0)
            readTexCoords(texCoords, vertices.m_TexCoords);
        ModelData::Primitive out;
        out.m_Mode = modeOf(primitive.mode);
        out.m_Vertices = m_Data.m_VertexSets.size();
        const bool listed = primitive.mode == TINYGLTF_MODE_TRIANGLES || primitive.mode == TINYGLTF_MODE_LINE ||
                            primitive.mode == TINYGLTF_MODE_POINTS;
        // Packed indices (sparse, or without a view) live only as long as
        // their view: those are copied.
        if (m_Borrow && indexed && listed && !indices.m_Owned &&
            indices.m_ComponentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT && indices.m_Stride == 4 &&
            reinterpret_cast<uintptr_t>(indices.m_Data) % alignof(uint32_t) == 0)
        {
            out.m_Borrowed = reinterpret_cast<const uint32_t*>(indices.m_Data);
            out.m_BorrowedCount = corners.count();
            m_Borrowed = true;
        }
        else
        {
            Core::allocate(out.m_Indices, corners.count());
            corners.write(out.m_Indices.data());
        }
        if (primitive.material >= 0 && std::size_t(primitive.material) < m_Model.materials.size())
            out.m_Material = materialOf(primitive.material);
        m_Data.m_VertexSets.push_back(std::move(vertices));
        m_Data.m_Primitives.push_back(std::move(out));
    }

    // The model data's material for glTF material `index`, made on first use.
    int materialOf(int index)
    {
        auto found = m_Materials.find(index);
        if (found != m_Materials.end())
            return found->second;
        const tinygltf::Material& material = m_Model.materials[std::size_t(index)];
        ModelData::Material out;
        out.m_Image = imageOf(material.pbrMetallicRoughness.baseColorTexture.index);
        // A normal map only goes with a picture.
        if (out.m_Image >= 0)
            out.m_NormalMap = imageOf(material.normalTexture.index);
        const std::vector<double>& f = material.pbrMetallicRoughness.baseColorFactor;
        if (f.size() >= 3)
            out.m_Color = Vec3<double>(f[0], f[1], f[2]);
        m_Data.m_Materials.push_back(out);
        return m_Materials[index] = int(m_Data.m_Materials.size() - 1);
    }

    // The model data's image of glTF texture `texture`, or -1 when it has no
    // bytes.
    int imageOf(int texture)
    {
        if (texture < 0 || std::size_t(texture) >= m_Model.textures.size())
            return -1;
        const int source = m_Model.textures[std::size_t(texture)].source;
        if (source < 0 || std::size_t(source) >= m_Model.images.size())
            return -1;
        auto found = m_Images.find(source);
        if (found != m_Images.end())
            return found->second;
        const tinygltf::Image& image = m_Model.images[std::size_t(source)];
        const std::string_view bytes =
            image.bufferView >= 0
                ? bufferViewBytes(m_Model, m_Buffers, image.bufferView)
                : std::string_view(reinterpret_cast<const char*>(image.image.data()), image.image.size());
        if (bytes.empty())
            return m_Images[source] = -1;
        m_Data.m_Images.push_back({m_FileName + "#image" + std::to_string(source), std::string(bytes)});
        return m_Images[source] = int(m_Data.m_Images.size() - 1);
    }

    const tinygltf::Model& m_Model;
    const Buffers m_Buffers;
    const bool m_Borrow;
    bool m_Borrowed = false;
    const std::string& m_FileName;
    ModelData& m_Data;
    std::map<int, int> m_Materials; // glTF material -> model data material
    std::map<int, int> m_Images;    // glTF image -> model data image
    std::size_t m_Corners = 0;
};

// What the library stumbles on before naming it: a buffer data: URI that is
// not base64 (taken for a file name), or geometry compressed by an extension
// the file does not list as required (an index accessor without a view).
// Empty when neither.
std::string unreadablePart(const nlohmann::json& root, bool glb)
{
    auto array = [&](const char* key) { return root.is_object() && root.contains(key) && root[key].is_array(); };
    if (array("buffers"))
        for (std::size_t i = 0; i < root["buffers"].size(); ++i)
        {
            const nlohmann::json& buffer = root["buffers"][i];
            if (!buffer.is_object())
                continue;
            if (!buffer.contains("uri") && (!glb || i > 0))
                return "buffer " + std::to_string(i) + " has no uri: its bytes are not in the file";
            if (buffer.contains("uri") && buffer["uri"].is_string())
            {
                const std::string uri = buffer["uri"].get<std::string>();
                if (uri.compare(0, 5, "data:") == 0 && !tinygltf::IsDataURI(uri))
                    return "buffer " + std::to_string(i) + " has a data: URI that is not base64";
            }
        }
    if (array("meshes"))
        for (const nlohmann::json& mesh : root["meshes"])
        {
            if (!mesh.is_object() || !mesh.contains("primitives") || !mesh["primitives"].is_array())
                continue;
            for (const nlohmann::json& primitive : mesh["primitives"])
            {
                if (!primitive.is_object() || !primitive.contains("extensions") ||
                    !primitive["extensions"].is_object() || primitive["extensions"].empty() ||
                    !primitive.contains("indices") || !primitive["indices"].is_number_unsigned() || !array("accessors"))
                    continue;
                const std::size_t indices = primitive["indices"].get<std::size_t>();
                if (indices < root["accessors"].size() && root["accessors"][indices].is_object() &&
                    !root["accessors"][indices].contains("bufferView"))
                    return compressedBy(primitive["extensions"].begin().key());
            }
        }
    return std::string();
}

// Gives every index accessor without a view (and whose primitive has no
// extension) a view of 4 zero bytes in a buffer of its own, both added last:
// the accessors given one, in no order.
std::vector<std::size_t> viewlessIndices(nlohmann::json& root)
{
    std::vector<std::size_t> given;
    auto arrayOrNone = [&](const char* key) { return !root.contains(key) || root[key].is_array(); };
    if (!root.is_object() || !root.contains("meshes") || !root["meshes"].is_array() || !root.contains("accessors") ||
        !root["accessors"].is_array() || !arrayOrNone("bufferViews") || !arrayOrNone("buffers"))
        return given;
    nlohmann::json& accessors = root["accessors"];
    const std::size_t views =
        root.contains("bufferViews") && root["bufferViews"].is_array() ? root["bufferViews"].size() : 0;
    const std::size_t buffers = root.contains("buffers") && root["buffers"].is_array() ? root["buffers"].size() : 0;
    for (const nlohmann::json& mesh : root["meshes"])
    {
        if (!mesh.is_object() || !mesh.contains("primitives") || !mesh["primitives"].is_array())
            continue;
        for (const nlohmann::json& primitive : mesh["primitives"])
        {
            if (!primitive.is_object() || primitive.contains("extensions") || !primitive.contains("indices") ||
                !primitive["indices"].is_number_unsigned())
                continue;
            const std::size_t index = primitive["indices"].get<std::size_t>();
            if (index < accessors.size() && accessors[index].is_object() && !accessors[index].contains("bufferView"))
            {
                accessors[index]["bufferView"] = views;
                given.push_back(index);
            }
        }
    }
    if (!given.empty())
    {
        root["bufferViews"][views] = {{"buffer", buffers}, {"byteLength", 4}};
        root["buffers"][buffers] = {{"byteLength", 4}, {"uri", "data:application/octet-stream;base64,AAAAAA=="}};
    }
    return given;
}

bool refuse(const std::string& fileName, const std::string& reason)
{
    Core::log(Core::LogLevel::Warning, "GLTFReader", "[GLTFReader]> " + fileName + " : " + reason);
    return false;
}

void ignored(const std::string& fileName, bool present, const char* what)
{
    if (present)
        Core::log(Core::LogLevel::Warning, "GLTFReader", "[GLTFReader]> " + fileName + " : " + what + " ignored");
}

} // namespace

bool GLTFReader::load(const std::string& fileName, ModelData& data)
{
    auto file = std::make_shared<MappedFile>(fileName);
    if (!file->isOpen())
        return refuse(fileName, "cannot be read");
    return parseAndBuild(file->bytes(), file, fileName, data);
}

bool GLTFReader::loadFromMemory(std::string_view bytes, const std::string& fileName, ModelData& data)
{
    return parseAndBuild(bytes, nullptr, fileName, data);
}

bool GLTFReader::parseAndBuild(std::string_view bytes, const std::shared_ptr<MappedFile>& owned,
                               const std::string& fileName, ModelData& data)
{
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(keepImageBytes, nullptr);
    Files files{&m_Resources, {}};
    loader.SetFsCallbacks({&Files::exists, &Files::expand, &Files::read, &Files::write, &files});

    tinygltf::Model model;
    std::string error;
    std::string warning;
    const std::string directory = ModelReader::directoryOf(fileName);
    std::string_view chunk; // the first buffer's bytes, when read in place
    bool parsed;
    try
    {
        if (bytes.size() >= 4 && bytes.substr(0, 4) == "glTF")
        {
            if (bytes.size() < 12)
                return refuse(fileName, "the GLB header is cut short");
            if (readLE32(bytes, 4) != 2)
                return refuse(fileName, "is GLB version " + std::to_string(readLE32(bytes, 4)) + ", not 2");
            const std::size_t length = glbLength(bytes);
            if (length == 0)
                return refuse(fileName, "a GLB chunk length runs past the end of the file");
            std::string patched;
            std::vector<int> views;
            parsed = inPlaceGLB(bytes, length, patched, chunk, views) &&
                     loader.LoadBinaryFromMemory(&model, &error, &warning,
                                                 reinterpret_cast<const unsigned char*>(patched.data()),
                                                 static_cast<unsigned int>(patched.size()), directory);
            if (parsed && std::any_of(views.begin(), views.end(), [](int view) { return view >= 0; }))
            {
                model.bufferViews.pop_back();
                for (std::size_t image = 0; image < views.size() && image < model.images.size(); ++image)
                    if (views[image] >= 0)
                        model.images[image].bufferView = views[image];
            }
            if (!parsed)
            {
                // Read again as it is, so that what is wrong is named as usual.
                chunk = std::string_view();
                model = tinygltf::Model();
                error.clear();
                parsed = loader.LoadBinaryFromMemory(&model, &error, &warning,
                                                     reinterpret_cast<const unsigned char*>(bytes.data()),
                                                     static_cast<unsigned int>(length), directory);
            }
        }
        else if (bytes.size() > std::numeric_limits<unsigned int>::max())
            return refuse(fileName, "is too large");
        else
            parsed = loader.LoadASCIIFromString(&model, &error, &warning, bytes.data(),
                                                static_cast<unsigned int>(bytes.size()), directory);
    }
    catch (const std::exception&)
    {
        // The library throws on some files it should refuse (a GLB buffer of
        // no bytes, for one).
        return refuse(fileName, "is not a readable glTF file");
    }
    std::vector<std::size_t> viewless;
    if (!parsed)
    {
        // A required extension often makes the rest unreadable (compressed
        // geometry has accessors without views): name the extension then.
        const bool glb = bytes.substr(0, 4) == "glTF";
        const std::string_view json = glb ? bytes.substr(20, readLE32(bytes, 12)) : bytes;
        nlohmann::json root = nlohmann::json::parse(json.begin(), json.end(), nullptr, false);
        if (root.is_object() && root.contains("extensionsRequired") && root["extensionsRequired"].is_array() &&
            !root["extensionsRequired"].empty() && root["extensionsRequired"][0].is_string())
            return refuse(fileName, "requires extension " + root["extensionsRequired"][0].get<std::string>() +
                                        ", which is not supported");
        const std::string unread = unreadablePart(root, glb);
        if (!unread.empty())
            return refuse(fileName, unread);
        // The library refuses index accessors without a view, which hold
        // zeros (or sparse values over zeros): it is given a view of zeros to
        // get past, which the accessors drop again once read.
        std::string patched;
        viewless = viewlessIndices(root);
        if (!viewless.empty() &&
            glbOf(root, glb ? bytes.substr(json.size() + 20, glbLength(bytes) - json.size() - 20) : std::string_view(),
                  patched))
        {
            model = tinygltf::Model();
            error.clear();
            try
            {
                parsed = glb ? loader.LoadBinaryFromMemory(&model, &error, &warning,
                                                           reinterpret_cast<const unsigned char*>(patched.data()),
                                                           static_cast<unsigned int>(patched.size()), directory)
                             // the text is the JSON chunk of the GLB written
                             : loader.LoadASCIIFromString(&model, &error, &warning, patched.data() + 20,
                                                          static_cast<unsigned int>(patched.size() - 20), directory);
            }
            catch (const std::exception&)
            {
                parsed = false;
            }
        }
        if (!parsed)
        {
            const std::string reason = error.substr(0, error.find('\n'));
            return refuse(fileName, reason.empty() ? "not a glTF 2.0 file" : reason);
        }
        for (std::size_t accessor : viewless)
            model.accessors.at(accessor).bufferView = -1;
        model.bufferViews.pop_back();
        model.buffers.pop_back();
    }
    if (!model.extensionsRequired.empty())
        return refuse(fileName, "requires extension " + model.extensionsRequired.front() + ", which is not supported");

    bool morphs = false;
    for (const tinygltf::Mesh& m : model.meshes)
        for (const tinygltf::Primitive& p : m.primitives)
            morphs = morphs || !p.targets.empty();
    ignored(fileName, !model.skins.empty(), "skins");
    ignored(fileName, morphs, "morph targets");
    ignored(fileName, !model.animations.empty(), "animations");
    ignored(fileName, !model.cameras.empty(), "cameras");

    // Unless a buffer is read in place, the model holds its own copy of every
    // buffer: the file's bytes can go before the mesh is built, which keeps
    // the peak of a load low.
    if (owned && chunk.empty())
        owned->close();
    Buffers buffers;
    for (const tinygltf::Buffer& buffer : model.buffers)
        buffers.emplace_back(reinterpret_cast<const char*>(buffer.data.data()), buffer.data.size());
    if (!chunk.empty())
        buffers.at(0) = chunk;

    // Index lists can be borrowed from the buffers unless one is the
    // caller's bytes, which may go once the call returns.
    ModelData built;
    Builder builder(model, std::move(buffers), owned || chunk.empty(), fileName, built);
    try
    {
        builder.build();
    }
    catch (const Refusal& refusal)
    {
        return refuse(fileName, refusal.m_Reason);
    }
    if (builder.borrowed())
    {
        // The buffers, and the file when one is read in place, live until
        // the model data is converted.
        struct Storage
        {
            std::vector<tinygltf::Buffer> m_Buffers;
            std::shared_ptr<MappedFile> m_File;
        };
        built.m_Storage = std::make_shared<Storage>(Storage{std::move(model.buffers), owned});
    }
    data = std::move(built);
    return true;
}

} // namespace Reader
