#include <gtest/gtest.h>

#include <Reader/internal/ModelReader.h>

using Format = Reader::ModelReader::Format;

// ASE keeps its case-sensitive substring rule and is checked first; the new
// formats go by the name's extension in any case.
TEST(ModelReaderTest, ReaderIsChosenByName)
{
    const struct
    {
        const char* m_Name;
        Format m_Format;
    } cases[] = {
        {"piece.ase", Format::ASE},         {"piece.ASE", Format::ASE},         {"a.ase/piece.obj", Format::ASE},
        {"piece.Ase", Format::Unknown},     {"piece.gltf", Format::GLTF},       {"dir/PIECE.GLB", Format::GLTF},
        {"piece.Obj", Format::OBJ},         {"piece.obj.png", Format::Unknown}, {"piece.glb.bak", Format::Unknown},
        {"objects/piece", Format::Unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Reader::ModelReader::formatOf(c.m_Name), c.m_Format) << c.m_Name;
}
