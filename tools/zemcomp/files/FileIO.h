#pragma once

// The tool's standard output, with every write checked. Files are read and
// written through the library (ZEM_0_81::Documents::readFile and writeFile).

#include <iosfwd>
#include <memory>
#include <string>

namespace zemcomp {

/// The name standard output goes by in messages.
extern const char* const kStandardOutputName;

/// Routes std::cout to standard output's descriptor with every write checked,
/// for as long as it lives. Writes after a failure are dropped; close() reports
/// the first failure.
class StandardOutput {
public:
    StandardOutput();
    ~StandardOutput();
    StandardOutput(const StandardOutput&) = delete;
    StandardOutput& operator=(const StandardOutput&) = delete;

    /// Flushes std::cout and C's stdout and closes the descriptor. Returns false
    /// with `error` set ("<stdout>: cannot write: REASON") when any write or the
    /// close failed.
    bool close(std::string& error);

private:
    class Buffer;
    std::unique_ptr<Buffer> m_buffer;
    std::streambuf* m_previous;
};

} // namespace zemcomp
