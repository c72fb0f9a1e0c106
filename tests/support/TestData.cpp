#include "tests/support/TestData.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace ZEM_0_81::test {

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open test file " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::string readTestData(const std::string& relativePath) {
    if (!relativePath.empty() && relativePath[0] == '/')
        return readFile(relativePath);
    return readFile(std::string(ZEM_TEST_DATA_DIR) + "/" + relativePath);
}

std::string readExample(const std::string& name) {
    return readFile(std::string(ZEM_EXAMPLES_DIR) + "/" + name);
}

} // namespace ZEM_0_81::test
