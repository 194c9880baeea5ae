#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <Reader/internal/ModelData.h>
#include <Reader/internal/OBJReader.h>

#include "support/LogCapture.h"
#include "support/ModelCorners.h"
#include "support/TestPaths.h"

namespace
{

using Mode = Reader::ModelData::Mode;
using TabulaTest::cornersOf;

Reader::ModelData loadModel(const std::string& path, std::string* printed = nullptr)
{
    return TabulaTest::loadModel<Reader::OBJReader>(path, printed);
}

std::string model(const std::string& name)
{
    return TabulaTest::dataPath("models/" + name);
}

// Area of the triangles, all in the y = 0 plane, seen from above (positive
// when they turn as the file's faces do, counter-clockwise from +y).
double areaFromAbove(const std::vector<Vec3<double>>& corners)
{
    double area = 0;
    for (std::size_t i = 0; i + 2 < corners.size(); i += 3)
    {
        const Vec3<double> a = corners[i + 1] - corners[i], b = corners[i + 2] - corners[i];
        area += (a.z() * b.x() - a.x() * b.z()) / 2;
    }
    return area;
}

} // namespace

// The line names the file and the corner the file numbers (from 1).
TEST(OBJReaderTest, BadIndicesAreRefusedWithOneLine)
{
    const struct
    {
        const char* m_File;
        const char* m_Reason;
    } cases[] = {{"index_zero.obj", ""}, {"index_past_end.obj", "face vertex 4 "}};
    for (const auto& c : cases)
        TabulaTest::expectModelRefused<Reader::OBJReader>(model(c.m_File),
                                                          "[OBJReader]> " + model(c.m_File) + " : " + c.m_Reason);
}

// Quads and concave polygons (in UTF-16 text of either byte order too) become
// triangles covering exactly the polygon, turned as the file turns them (the
// concave one starts at a corner a fan would fold over); the material colour
// comes with them.
TEST(OBJReaderTest, PolygonsBecomeTrianglesThatCoverThem)
{
    const struct
    {
        const char* m_File;
        std::size_t m_Triangles;
        double m_Area;
    } cases[] = {{"quad.obj", 2, 1},
                 {"quad_utf16le.obj", 2, 1},
                 {"quad_utf16be.obj", 2, 1},
                 {"concave.obj", 4, 3},
                 {"red.obj", 1, 0.5}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_File);
        const TabulaTest::MeshCorners corners = cornersOf(loadModel(model(c.m_File)), Mode::Triangles);
        ASSERT_EQ(corners.m_Positions.size(), 3 * c.m_Triangles);
        EXPECT_NEAR(areaFromAbove(corners.m_Positions), c.m_Area, 1e-9);
        // Every triangle turns the same way: none folds over another.
        for (std::size_t i = 0; i < corners.m_Positions.size(); i += 3)
            EXPECT_GT(areaFromAbove({corners.m_Positions.begin() + std::ptrdiff_t(i),
                                     corners.m_Positions.begin() + std::ptrdiff_t(i + 3)}),
                      0)
                << "triangle " << i / 3;
    }
    const Reader::ModelData red = loadModel(model("red.obj"));
    EXPECT_EQ(red.m_Materials.at(std::size_t(red.m_Primitives.at(0).m_Material)).m_Color, Vec3<double>(1, 0, 0));
}

// A model whose material library is missing still loads, untextured, after
// one line that names the library.
TEST(OBJReaderTest, MissingMaterialLibraryLoadsUntextured)
{
    std::string printed;
    const Reader::ModelData data = loadModel(model("missing_mtl.obj"), &printed);
    EXPECT_NE(printed.find("nowhere.mtl"), std::string::npos) << printed;
    ASSERT_EQ(data.m_Primitives.size(), 1u);
    EXPECT_EQ(data.m_Primitives[0].m_Material, -1);
    EXPECT_TRUE(data.m_Images.empty());
}

// Corners sharing a position but not a normal are distinct vertices, the same
// triple is one; a 134,162-triangle grid over 67,600 vertices is kept whole
// (fitting it to 16-bit geometries is ModelConverterTest's).
TEST(OBJReaderTest, CornersAreSharedByTripleAndBigMeshesKeptWhole)
{
    Reader::ModelData cube;
    const std::string sharpEdge = "v 0 0 0\nv 1 0 0\nv 0 1 0\nv 0 0 -1\nvn 0 0 1\nvn 0 1 0\n"
                                  "f 1//1 2//1 3//1\nf 1//2 4//2 2//2\nf 3//1 2//1 1//1\n";
    ASSERT_TRUE(Reader::OBJReader().loadFromMemory(sharpEdge, "edge.obj", cube));
    EXPECT_EQ(cube.m_VertexSets.at(0).m_Positions.size(), 6u);
    EXPECT_EQ(cornersOf(cube, Mode::Triangles).m_Normals.size(), 9u);

    const int side = 260; // 259 x 259 cells x 2 = 134,162 triangles over 67,600 vertices
    std::string grid;
    for (int z = 0; z < side; ++z)
        for (int x = 0; x < side; ++x)
            grid += "v " + std::to_string(x) + " 0 " + std::to_string(-z) + "\n";
    std::size_t triangles = 0;
    for (int z = 0; z + 1 < side; ++z)
        for (int x = 0; x + 1 < side; ++x, triangles += 2)
        {
            const int a = z * side + x + 1, b = a + 1, c = a + side, d = c + 1;
            grid += "f " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(d) + " " +
                    std::to_string(c) + "\n";
        }
    Reader::ModelData data;
    ASSERT_TRUE(Reader::OBJReader().loadFromMemory(grid, "grid.obj", data));
    const TabulaTest::MeshCorners corners = cornersOf(data, Mode::Triangles);
    EXPECT_EQ(corners.m_Positions.size(), 3 * triangles);
    EXPECT_EQ(corners.m_MaxGeometryVertices, std::size_t(side * side));
    EXPECT_NEAR(areaFromAbove(corners.m_Positions), double(side - 1) * (side - 1), 1e-6);
}

// Every way the format writes a face corner loads: with or without texture
// coordinates and normals, trailing slashes, relative indices, lines going on
// after a backslash; two corners make a line. A corner naming a texture
// coordinate or normal that does not exist is drawn without it, after one
// line for the file.
TEST(OBJReaderTest, EveryFaceFormLoads)
{
    const std::string head = "v 0 0 0\nv 1 0 0\nv 0 0 -1\nvt 0 0\nvt 1 0\nvt 0 1\nvn 0 1 0\n";
    const struct
    {
        const char* m_Faces;
        Mode m_Mode;
        bool m_Normals;
        bool m_TexCoords;
        const char* m_Line; // the one line printed, if any
    } cases[] = {
        {"f 1 2 3\n", Mode::Triangles, false, false, ""},
        {"f 1/1 2/2 3/3\n", Mode::Triangles, false, true, ""},
        {"f 1//1 2//1 3//1\n", Mode::Triangles, true, false, ""},
        {"f 1/1/1 2/2/1 3/3/1\n", Mode::Triangles, true, true, ""},
        {"f 1/1/ 2/2/ 3/3/\n", Mode::Triangles, false, true, ""},
        {"f 1// 2// 3//\n", Mode::Triangles, false, false, ""},
        {"f 1/ 2/ 3/", Mode::Triangles, false, false, ""},
        {"f -3/-3/-1 -2/-2/-1 -1/-1/-1\n", Mode::Triangles, true, true, ""},
        {"f 1 2 \\\n 3\n", Mode::Triangles, false, false, ""},
        {"# C:\\models\\\nf 1 2 3\n", Mode::Triangles, false, false, ""},
        {"f 1/1 \\  \r\n 2/2 \\\n3/3\r\n", Mode::Triangles, false, true, ""},
        {"f 1 2\n", Mode::Lines, false, false, ""},
        {"f 1/1/1 2/2/1\n", Mode::Lines, true, true, ""},
        {"f 1//5 2//5 3//5\n", Mode::Triangles, false, false, "face normal 5 does not exist"},
        {"f 1/4/1 2/2/1 3/3/1\n", Mode::Triangles, true, false, "face texture coordinate 4 does not exist"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.m_Faces);
        TabulaTest::LogCapture log;
        Reader::ModelData data;
        ASSERT_TRUE(Reader::OBJReader().loadFromMemory(head + c.m_Faces, "forms.obj", data));
        const TabulaTest::MeshCorners corners = cornersOf(data, c.m_Mode);
        const std::vector<Vec3<double>> expected = {{0, 0, 0}, {1, 0, 0}, {0, 0, -1}};
        EXPECT_EQ(corners.m_Positions, c.m_Mode == Mode::Lines
                                           ? std::vector<Vec3<double>>(expected.begin(), expected.begin() + 2)
                                           : expected);
        EXPECT_EQ(corners.m_Normals.size(), c.m_Normals ? corners.m_Positions.size() : 0u);
        EXPECT_EQ(data.m_VertexSets.at(0).m_TexCoords.empty(), !c.m_TexCoords);
        EXPECT_EQ(log.out(), *c.m_Line ? "[OBJReader]> forms.obj : " + std::string(c.m_Line) +
                                             "; the corners that name it are drawn without it\n"
                                       : std::string());
    }
}
