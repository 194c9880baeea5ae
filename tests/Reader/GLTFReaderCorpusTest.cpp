// The glTF validator's own test suite (Apache-2.0, read where it lies): every
// file its report calls valid loads, or is refused only for an extension the
// reader does not implement, named, or for the true reason listed below (its
// bytes are not at hand); every broken one is refused or loads soundly (the
// sanitizer build checks the reads).

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <Reader/internal/GLTFReader.h>
#include <Reader/internal/ModelData.h>

#include "support/LogCapture.h"

namespace
{

// Every index within its vertex set, every position finite.
void expectSound(const Reader::ModelData& data)
{
    for (const Reader::ModelData::Vertices& vertices : data.m_VertexSets)
        for (const Vec3<double>& v : vertices.m_Positions)
            EXPECT_TRUE(std::isfinite(v.x()) && std::isfinite(v.y()) && std::isfinite(v.z()));
    for (const Reader::ModelData::Primitive& primitive : data.m_Primitives)
    {
        ASSERT_LT(primitive.m_Vertices, data.m_VertexSets.size());
        for (uint32_t i : primitive.m_Indices)
            EXPECT_LT(i, data.m_VertexSets[primitive.m_Vertices].m_Positions.size());
    }
}

const std::map<std::string, std::string> c_Refused = {
    {"base/data/json/integer_written_as_float.gltf", "buffer 0 has no uri: its bytes are not in the file"},
    {"base/data/root/unused_objects.gltf", "buffer 0 has no uri: its bytes are not in the file"},
    {"base/data/root/named_objects.gltf", "buffer 0 has no uri: its bytes are not in the file"},
    {"base/data/buffer/custom_property.gltf", "buffer 0 has no uri: its bytes are not in the file"},
    {"base/data/accessor/valid.gltf", "buffer 0 has no uri: its bytes are not in the file"},
    {"base/data/buffer/valid_placeholder.glb", "buffer 1 has no uri: its bytes are not in the file"},
    {"base/data/buffer/non_relative_uri.gltf", "File not found : http://example.com/buffer.bin"},
    {"base/data/buffer/data_uri.glb", "buffer 0 has a data: URI that is not base64"},
    {"base/data/accessor/unknown_type.gltf", "Unsupported `type` for accessor object. Got \"NotaVEC3\""},
};

} // namespace

TEST(GLTFReaderCorpusTest, ValidatorSuiteLoadsWhatIsValidAndRefusesWhatIsNot)
{
    const std::filesystem::path suite = TABULA_GLTF_VALIDATOR_DIR;
    if (!std::filesystem::is_directory(suite))
        GTEST_SKIP() << suite << " is absent";
    std::size_t valid = 0, loaded = 0, broken = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(suite))
    {
        const std::string path = entry.path().string();
        const std::string extension = entry.path().extension().string();
        if (extension != ".gltf" && extension != ".glb")
            continue;
        std::ifstream reportFile(path + ".report.json");
        const nlohmann::json report = nlohmann::json::parse(reportFile, nullptr, false);
        if (!report.is_object())
            continue; // a file another one names, not a test of its own
        SCOPED_TRACE(path);
        TabulaTest::LogCapture log;
        Reader::ModelData data;
        const bool ok = Reader::GLTFReader().load(path, data);
        std::vector<std::string> lines;
        for (const TabulaTest::LogCapture::Line& line : log.lines())
            lines.push_back(line.m_Text);
        expectSound(data);
        if (report["issues"]["numErrors"] != 0)
        {
            ++broken;
            continue;
        }
        ++valid;
        if (ok)
        {
            ++loaded;
            continue;
        }
        // Valid files whose bytes are not all at hand, or that the library
        // cannot take, each refused with its true reason.
        const std::string relative = std::filesystem::relative(entry.path(), suite).string();
        const auto known = c_Refused.find(relative);
        if (known != c_Refused.end())
        {
            ASSERT_EQ(lines.size(), 1u);
            EXPECT_NE(lines[0].find(known->second), std::string::npos) << lines[0];
            continue;
        }
        // The other refusal a valid file may get: an extension it requires.
        const std::string required = "requires extension ";
        const std::size_t at = lines.size() == 1 ? lines[0].find(required) : std::string::npos;
        if (at == std::string::npos)
        {
            ADD_FAILURE() << "refused: " << testing::PrintToString(lines);
            continue;
        }
        const std::size_t start = at + required.size();
        const std::string name = lines[0].substr(start, lines[0].find(',', start) - start);
        std::ifstream file(path, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        EXPECT_NE(text.find("\"" + name + "\""), std::string::npos) << lines[0];
    }
    EXPECT_GT(valid, 100u);
    EXPECT_GT(broken, 200u);
    EXPECT_GT(loaded, valid * 9 / 10);
}
