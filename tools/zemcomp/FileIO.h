#pragma once

// The tool's reading and writing of files and standard streams. Every failure
// becomes a one-line message naming the file and the reason (strerror), and no
// failure to write goes unnoticed.

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <string>

namespace zemcomp {

/// The largest document the tool reads: 1 GiB, about 25 times a feature-length
/// cut. Larger input (such as an endless device piped in) is refused.
constexpr std::size_t kMaxDocumentBytes = std::size_t(1) << 30;

/// The name standard input and output go by in messages.
extern const char* const kStandardInputName;
extern const char* const kStandardOutputName;

/// Reads the whole of `path` into `text`; "-" reads standard input, whatever it
/// is. A path must name a regular file (or a symbolic link to one): a folder, a
/// FIFO or a device is refused rather than waited on or read without end. On
/// failure returns false and sets `error` to "PATH: cannot open|read: REASON".
bool readInput(const std::string& path, std::string& text, std::string& error);

/// Writes `text` to `path`, following symbolic links to their final target. An
/// existing device, FIFO or other non-regular file is written through, as a
/// shell redirection would. A regular file (existing or new) is replaced
/// atomically: the text goes to a new file in the same folder, which takes the
/// old file's permissions (and, where allowed, its owner) and is synced and
/// renamed over it, so the file is either untouched or complete. On failure
/// returns false, sets `error` to "PATH: cannot write: REASON" and leaves no
/// temporary file behind.
bool writeOutput(const std::string& path, const std::string& text, std::string& error);

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
