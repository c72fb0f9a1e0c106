#include "tools/zemcomp/files/FileIO.h"

#include "interchange/Documents.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <vector>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace zemcomp {

const char* const kStandardOutputName = "<stdout>";

namespace {

#ifdef _WIN32
constexpr int kStandardOutput = 1;
int closeDescriptor(int fd) {
    return ::_close(fd);
}
#else
constexpr int kStandardOutput = STDOUT_FILENO;
int closeDescriptor(int fd) {
    return ::close(fd);
}
#endif

} // namespace

// --- standard output ---------------------------------------------------------

/// A stream buffer over a descriptor that writes in large blocks and keeps the
/// first failure; after one it takes nothing more.
class StandardOutput::Buffer : public std::streambuf {
public:
    explicit Buffer(int fd) : m_fd(fd), m_block(1 << 16) {
        setp(m_block.data(), m_block.data() + m_block.size());
    }

    /// 0 or the errno of the first failed write.
    int failure() const { return m_failure; }
    bool wroteAnything() const { return m_wrote; }
    int fd() const { return m_fd; }

    bool flushBlock() {
        const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
        setp(m_block.data(), m_block.data() + m_block.size());
        if (m_failure)
            return false;
        if (size > 0) {
            m_wrote = true;
            m_failure = ZEM_0_81::Documents::writeAll(m_fd, m_block.data(), size);
        }
        return m_failure == 0;
    }

protected:
    int_type overflow(int_type c) override {
        if (!flushBlock())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flushBlock() ? 0 : -1; }

private:
    int m_fd;
    std::vector<char> m_block;
    int m_failure = 0;
    bool m_wrote = false;
};

StandardOutput::StandardOutput()
    : m_buffer(std::make_unique<Buffer>(kStandardOutput)), m_previous(std::cout.rdbuf()) {
    std::cout.rdbuf(m_buffer.get());
}

StandardOutput::~StandardOutput() {
    std::cout.rdbuf(m_previous);
}

bool StandardOutput::close(std::string& error) {
    std::cout.flush();
    m_buffer->flushBlock();
    int failure = m_buffer->failure();
    // Anything written through C's stdio as well.
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        if (!failure)
            failure = errno ? errno : EIO;
    }
    if (closeDescriptor(m_buffer->fd()) != 0 && !failure) {
        // A descriptor closed from the start is no failure when nothing was
        // written to it.
        if (errno != EBADF || m_buffer->wroteAnything())
            failure = errno;
    }
    if (failure) {
        error = std::string(kStandardOutputName) + ": cannot write: " + std::strerror(failure);
        return false;
    }
    return true;
}

} // namespace zemcomp
