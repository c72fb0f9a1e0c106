#pragma once

#include <string>

namespace ZEM_0_81::test {

/// The whole content of a file under tests/data (or an absolute path).
std::string readTestData(const std::string& relativePath);

/// The whole content of a file under examples/.
std::string readExample(const std::string& name);

} // namespace ZEM_0_81::test
