#include "support/TestPaths.h"

namespace TabulaTest
{

std::string dataPath(const std::string& relative)
{
    return std::string(TABULA_TEST_DATA_DIR) + "/" + relative;
}
std::string buildPath(const std::string& relative)
{
    return std::string(TABULA_TEST_BINARY_DIR) + "/" + relative;
}

} // namespace TabulaTest
