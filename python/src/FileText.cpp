#include "FileText.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace zempy {

namespace {

/// The largest document read, as the zemcomp tool has it.
constexpr long long kMaxDocumentBytes = 1LL << 30;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

bool readFileText(const std::string& path, std::string& text, int& error) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    const fs::file_status kind = fs::status(path, ignored);
    if (fs::is_directory(kind)) {
        error = EISDIR;
        return false;
    }
    std::uintmax_t size = 0;
    if (fs::is_regular_file(kind)) {
        size = fs::file_size(path, ignored);
        if (size != static_cast<std::uintmax_t>(-1) &&
            size > static_cast<std::uintmax_t>(kMaxDocumentBytes)) {
            error = EFBIG;
            return false;
        }
    }
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        error = errno != 0 ? errno : ENOENT;
        return false;
    }
    std::string read;
    if (size != static_cast<std::uintmax_t>(-1))
        read.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    for (;;) {
        const std::size_t count = std::fread(buffer, 1, sizeof buffer, file.get());
        read.append(buffer, count);
        if (read.size() > static_cast<std::size_t>(kMaxDocumentBytes)) {
            error = EFBIG;
            return false;
        }
        if (count < sizeof buffer) {
            if (std::ferror(file.get())) {
                error = errno != 0 ? errno : EIO;
                return false;
            }
            break;
        }
    }
    text.swap(read);
    return true;
}

} // namespace zempy
