#include "interchange/Documents.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <vector>

#ifdef _WIN32
#include <climits>
#include <fcntl.h>
#include <filesystem>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ZEM_0_81 {

namespace {

constexpr const char* kStandardInputName = Documents::kStandardInputName;
constexpr std::size_t kMaxDocumentBytes = Documents::kMaxBytes;

std::string reason(int error) {
    return std::strerror(error);
}

// The few descriptor calls the tool makes, under their names on each system.
#ifdef _WIN32
using IoSize = int;
IoSize readSome(int fd, char* data, std::size_t size) {
    return ::_read(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}
IoSize writeSome(int fd, const char* data, std::size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}
int closeDescriptor(int fd) {
    return ::_close(fd);
}
constexpr int kStandardInput = 0;
constexpr short kReadable = 0;
constexpr short kWritable = 0;
/// Descriptors there never report that they would block.
void waitFor(int, short) {}
#else
using IoSize = ssize_t;
IoSize readSome(int fd, char* data, std::size_t size) {
    return ::read(fd, data, size);
}
IoSize writeSome(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}
int closeDescriptor(int fd) {
    return ::close(fd);
}
constexpr int kStandardInput = STDIN_FILENO;
constexpr short kReadable = POLLIN;
constexpr short kWritable = POLLOUT;
/// Waits until `fd` can be read or written; for descriptors that someone else
/// left non-blocking.
void waitFor(int fd, short events) {
    pollfd entry{fd, events, 0};
    while (::poll(&entry, 1, -1) < 0 && errno == EINTR) {
    }
}
#endif

/// Closes a descriptor when it goes out of scope, unless released.
class Descriptor {
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            closeDescriptor(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return m_fd; }
    /// Closes now; 0 or the errno of the failed close.
    int close() {
        const int fd = m_fd;
        m_fd = -1;
        return closeDescriptor(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

/// Reads `fd` to its end into `text`; 0 or an errno (EFBIG past the limit).
int readAll(int fd, std::string& text) {
    constexpr std::size_t kChunk = 1 << 16;
    text.clear();
    for (;;) {
        if (text.size() > kMaxDocumentBytes)
            return EFBIG;
        const std::size_t used = text.size();
        text.resize(used + kChunk);
        const IoSize n = readSome(fd, &text[used], kChunk);
        text.resize(used + (n > 0 ? static_cast<std::size_t>(n) : 0));
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                waitFor(fd, kReadable);
                continue;
            }
            return errno;
        }
    }
}

/// Writes all of `size` bytes; 0 or an errno.
int writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const IoSize n = writeSome(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                waitFor(fd, kWritable);
                continue;
            }
            return errno;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return 0;
}

/// True for the folder of an FCPXML bundle: a name ending in ".fcpxmld",
/// with or without a final "/".
bool isBundle(std::string path) {
    constexpr const char* kBundle = ".fcpxmld";
    const std::size_t size = std::strlen(kBundle);
    path.erase(path.find_last_not_of("/\\") + 1);
    if (path.size() < size)
        return false;
    for (std::size_t i = 0; i < size; ++i)
        if (std::tolower(static_cast<unsigned char>(path[path.size() - size + i])) != kBundle[i])
            return false;
    return true;
}

/// The document of an FCPXML bundle.
constexpr const char* kBundleDocument = "/Info.fcpxml";

std::string readFailure(const std::string& name, const std::string& why) {
    return name + ": cannot read: " + why;
}

/// "NAME: cannot read: REASON", the size limit said in words for EFBIG.
std::string readFailure(const std::string& name, int failure) {
    if (failure == EFBIG)
        return readFailure(name, "larger than " + std::to_string(kMaxDocumentBytes >> 30) +
                                     " GiB, the most it reads");
    return readFailure(name, reason(failure));
}

#ifndef _WIN32

const char* kindOf(mode_t mode) {
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "another kind of file";
}

// --- writing -----------------------------------------------------------------

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

/// Follows symbolic links from `path` to the path they finally name (which may
/// not exist yet: a dangling link names the file to create). 0 or an errno.
int followLinks(const std::string& path, std::string& target) {
    constexpr int kMaxLinks = 40; // as the kernel allows in one lookup
    target = path;
    for (int hop = 0; hop < kMaxLinks; ++hop) {
        struct stat status;
        if (::lstat(target.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return 0; // not a link: what happens to it is decided by the caller
        std::vector<char> link(static_cast<std::size_t>(status.st_size) + 1);
        for (;;) {
            const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
            if (n < 0)
                return errno;
            if (static_cast<std::size_t>(n) < link.size()) {
                link.resize(static_cast<std::size_t>(n));
                break;
            }
            link.resize(link.size() * 2); // the link changed since lstat
        }
        std::string next(link.begin(), link.end());
        if (next.empty())
            return ENOENT;
        target = next[0] == '/' ? next : folderOf(target) + "/" + next;
    }
    return ELOOP;
}

/// Writes `text` through an existing non-regular file (device, FIFO): opened
/// for writing as it is, neither truncated nor replaced. 0 or an errno.
int writeThrough(const std::string& path, const std::string& text) {
    Descriptor out(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (out.get() < 0)
        return errno;
    if (const int error = writeAll(out.get(), text.data(), text.size()))
        return error;
    return out.close();
}

/// Replaces the regular file `path` (or creates it) with `text` through a
/// temporary file in its folder; `existing` is the old file's status, or null.
int replaceFile(const std::string& path, const struct stat* existing, const std::string& text) {
    const std::string folder = folderOf(path);
    const std::string base = path.substr(path.rfind('/') + 1);
    std::string temporary;
    int fd = -1;
    // A name of our own, created exclusively: never an existing file or a link
    // someone placed there. A new file gets 0666 less the umask, as any other.
    for (unsigned attempt = 0; fd < 0; ++attempt) {
        temporary = folder + "/." + base + ".zemcomp-" + std::to_string(::getpid()) + "-" +
                    std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt >= 100))
            return errno;
    }
    Descriptor out(fd);
    int error = 0;
    if (existing) {
        // Ownership first: changing it may clear set-id bits that the mode then
        // restores. Only a privileged user may give a file away; others keep
        // their own ownership, as any editor saving a file does.
        if (::fchown(fd, existing->st_uid, existing->st_gid) != 0 && errno != EPERM)
            error = errno;
        if (!error && ::fchmod(fd, existing->st_mode & 07777) != 0)
            error = errno;
    }
    if (!error)
        error = writeAll(fd, text.data(), text.size());
    if (!error && ::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        error = errno; // EINVAL, EROFS: a file system that keeps nothing to sync
    if (const int closed = out.close(); !error)
        error = closed;
    if (!error && ::rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error)
        ::unlink(temporary.c_str());
    return error;
}

#endif // !_WIN32

} // namespace

#ifndef _WIN32

bool Documents::readFile(const std::string& path, std::string& text, int& error,
                         std::string& message, const DocumentFileRules& rules) {
    const auto failed = [&](int failure, const std::string& why) {
        error = failure;
        message = why;
        return false;
    };
    if (path == "-" && rules.dashIsStandardInput) {
        if (const int failure = readAll(kStandardInput, text))
            return failed(failure, readFailure(kStandardInputName, failure));
        return true;
    }
    // Not blocking, so that opening a FIFO without a writer returns at once.
    Descriptor in(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (in.get() < 0)
        return failed(errno, path + ": cannot open: " + reason(errno));
    struct stat status;
    if (::fstat(in.get(), &status) != 0)
        return failed(errno, readFailure(path, errno));
    if (S_ISDIR(status.st_mode) && isBundle(path))
        return readFile(path + kBundleDocument, text, error, message, rules);
    if (S_ISDIR(status.st_mode))
        return failed(EISDIR, readFailure(path, EISDIR));
    if (!S_ISREG(status.st_mode) && rules.refuseOtherFiles)
        return failed(EINVAL, readFailure(path, std::string("not a regular file (") +
                                                    kindOf(status.st_mode) +
                                                    "); give it on standard input as -"));
    if (S_ISREG(status.st_mode) && static_cast<std::uint64_t>(status.st_size) > kMaxDocumentBytes)
        return failed(EFBIG, readFailure(path, EFBIG));
    const int flags = ::fcntl(in.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(in.get(), F_SETFL, flags & ~O_NONBLOCK);
    if (const int failure = readAll(in.get(), text))
        return failed(failure, readFailure(path, failure));
    return true;
}

bool Documents::writeFile(const std::string& path, const std::string& text, std::string& error) {
    std::string target;
    int failure = followLinks(path, target);
    if (!failure) {
        struct stat status;
        if (::stat(target.c_str(), &status) == 0) {
            if (S_ISDIR(status.st_mode))
                failure = EISDIR;
            else if (S_ISREG(status.st_mode))
                failure = replaceFile(target, &status, text);
            else
                failure = writeThrough(target, text);
        } else if (errno == ENOENT) {
            failure = replaceFile(target, nullptr, text);
        } else {
            failure = errno;
        }
    }
    if (failure) {
        error = path + ": cannot write: " + reason(failure);
        return false;
    }
    return true;
}

#else // _WIN32: the standard library's view of files; no owners to keep

bool Documents::readFile(const std::string& path, std::string& text, int& error,
                         std::string& message, const DocumentFileRules& rules) {
    namespace fs = std::filesystem;
    const auto failed = [&](int failure, const std::string& why) {
        error = failure;
        message = why;
        return false;
    };
    if (path == "-" && rules.dashIsStandardInput) {
        ::_setmode(kStandardInput, _O_BINARY);
        if (const int failure = readAll(kStandardInput, text))
            return failed(failure, readFailure(kStandardInputName, failure));
        return true;
    }
    std::error_code code;
    const fs::file_status status = fs::status(fs::u8path(path), code);
    if (!fs::exists(status))
        return failed(ENOENT, path + ": cannot open: " + (code ? code.message() : reason(ENOENT)));
    if (fs::is_directory(status) && isBundle(path))
        return readFile(path + kBundleDocument, text, error, message, rules);
    if (fs::is_directory(status))
        return failed(EISDIR, readFailure(path, EISDIR));
    if (!fs::is_regular_file(status) && rules.refuseOtherFiles)
        return failed(EINVAL,
                      readFailure(path, "not a regular file; give it on standard input as -"));
    const std::uintmax_t size = fs::file_size(fs::u8path(path), code);
    if (!code && size > kMaxDocumentBytes)
        return failed(EFBIG, readFailure(path, EFBIG));
    Descriptor in(::_open(path.c_str(), _O_RDONLY | _O_BINARY));
    if (in.get() < 0)
        return failed(errno, path + ": cannot open: " + reason(errno));
    if (const int failure = readAll(in.get(), text))
        return failed(failure, readFailure(path, failure));
    return true;
}

bool Documents::writeFile(const std::string& path, const std::string& text, std::string& error) {
    namespace fs = std::filesystem;
    const auto failed = [&](const std::string& why) {
        error = path + ": cannot write: " + why;
        return false;
    };
    std::error_code code;
    fs::path target = fs::u8path(path);
    for (int hop = 0; fs::is_symlink(fs::symlink_status(target, code)); ++hop) {
        if (hop == 40)
            return failed(reason(ELOOP));
        const fs::path next = fs::read_symlink(target, code);
        if (code)
            return failed(code.message());
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    const fs::file_status status = fs::status(target, code);
    if (fs::is_directory(status))
        return failed(reason(EISDIR));
    if (fs::exists(status) && !fs::is_regular_file(status)) { // a device: written through
        Descriptor out(::_open(target.string().c_str(), _O_WRONLY | _O_BINARY));
        if (out.get() < 0)
            return failed(reason(errno));
        int failure = writeAll(out.get(), text.data(), text.size());
        if (const int closed = out.close(); !failure)
            failure = closed;
        return failure ? failed(reason(failure)) : true;
    }
    // A new file beside the target, created exclusively, then renamed over it.
    fs::path temporary;
    int fd = -1;
    for (unsigned attempt = 0; fd < 0; ++attempt) {
        temporary = target;
        temporary += ".zemcomp-" + std::to_string(::_getpid()) + "-" + std::to_string(attempt);
        fd = ::_open(temporary.string().c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                     _S_IREAD | _S_IWRITE);
        if (fd < 0 && (errno != EEXIST || attempt >= 100))
            return failed(reason(errno));
    }
    Descriptor out(fd);
    int failure = writeAll(fd, text.data(), text.size());
    if (!failure && ::_commit(fd) != 0)
        failure = errno;
    if (const int closed = out.close(); !failure)
        failure = closed;
    if (!failure && fs::exists(status))
        fs::permissions(temporary, status.permissions(), code);
    if (!failure) {
        fs::rename(temporary, target, code); // replaces the old file
        if (code) {
            fs::remove(temporary, code);
            return failed(code.message());
        }
        return true;
    }
    fs::remove(temporary, code);
    return failed(reason(failure));
}

#endif // _WIN32

int Documents::writeAll(int fd, const char* data, std::size_t size) {
    return ZEM_0_81::writeAll(fd, data, size);
}

} // namespace ZEM_0_81
