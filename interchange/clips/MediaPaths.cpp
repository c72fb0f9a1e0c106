#include "interchange/clips/MediaPaths.h"

#include <algorithm>

namespace ZEM_0_81::Interchange::Clips {

namespace {

constexpr const char* kFileScheme = "file:";
constexpr const char* kLocalHost = "localhost";

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool startsWith(const std::string& text, const char* prefix, std::size_t at = 0) {
    return text.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

/// The path a file URL names: after "file:" and an authority of "localhost" or
/// none; another host stays, as a network path ("//host/share/A001.mov").
std::string pathOfFileUrl(const std::string& url) {
    std::string rest = url.substr(std::char_traits<char>::length(kFileScheme));
    if (startsWith(rest, "//")) {
        rest.erase(0, 2);
        if (startsWith(rest, kLocalHost) &&
            (rest.size() == std::char_traits<char>::length(kLocalHost) ||
             rest[std::char_traits<char>::length(kLocalHost)] == '/'))
            rest.erase(0, std::char_traits<char>::length(kLocalHost));
        else if (!rest.empty() && rest[0] != '/')
            rest.insert(0, "//");
    }
    return percentDecoded(rest);
}

} // namespace

std::string percentDecoded(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        // Past the last character a string holds a NUL, which is no digit.
        const int high = text[i] == '%' ? hexValue(text[i + 1]) : -1;
        const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
        if (low < 0) {
            decoded += text[i];
            continue;
        }
        decoded += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return decoded;
}

std::string normalPath(const std::string& path) {
    std::string normal = startsWith(path, kFileScheme) ? pathOfFileUrl(path) : path;
    std::replace(normal.begin(), normal.end(), '\\', '/');
    return normal;
}

std::string fileNameOf(const std::string& normal) {
    const std::size_t slash = normal.rfind('/');
    return slash == std::string::npos ? normal : normal.substr(slash + 1);
}

std::string folderOf(const std::string& normal) {
    const std::size_t slash = normal.rfind('/');
    return slash == std::string::npos ? std::string() : normal.substr(0, slash);
}

std::string stemOf(const std::string& fileName) {
    const std::size_t dot = fileName.rfind('.');
    // Up to the last dot; the whole name when it has none, or only a leading one.
    return fileName.substr(0, dot == 0 ? std::string::npos : dot);
}

} // namespace ZEM_0_81::Interchange::Clips
