#pragma once

#include <string>

#include <gtest/gtest.h>

#include <Reader/internal/ModelData.h>

#include "support/LogCapture.h"
#include "support/MeshCorners.h"

namespace TabulaTest
{

/// The positions and normals of every corner of a model's primitives of
/// `mode`, in drawing order, as the reader gives them (m_Geometries counts
/// those primitives, m_MaxGeometryVertices their largest vertex set).
MeshCorners cornersOf(const Reader::ModelData& data, Reader::ModelData::Mode mode);

/// Loads `path` with a model reader (GLTFReader, OBJReader), keeping what it
/// prints out of the test's output (in `printed` when given).
template <class ModelReader>
Reader::ModelData loadModel(const std::string& path, std::string* printed = nullptr)
{
    Reader::ModelData data;
    LogCapture log;
    ModelReader().load(path, data);
    if (printed)
        *printed = log.out();
    return data;
}

/// Expects the load of `path` to be refused: false, no model data, and one
/// line through the log that names the file and holds `reason`.
template <class ModelReader>
void expectModelRefused(const std::string& path, const std::string& reason)
{
    SCOPED_TRACE(path);
    Reader::ModelData data;
    LogCapture log;
    EXPECT_FALSE(ModelReader().load(path, data));
    EXPECT_TRUE(data.m_Primitives.empty() && data.m_VertexSets.empty() && data.m_Images.empty());
    ASSERT_EQ(log.lines().size(), 1u) << log.out();
    const std::string& line = log.lines()[0].m_Text;
    EXPECT_NE(line.find(path + " : "), std::string::npos) << line;
    EXPECT_NE(line.find(reason), std::string::npos) << line;
}

} // namespace TabulaTest
