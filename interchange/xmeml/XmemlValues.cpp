#include "interchange/xmeml/XmemlValues.h"

#include "composition/Timecode.h"
#include "interchange/clips/MediaPaths.h"
#include "interchange/timing/RecordTime.h"
#include "interchange/xmeml/XmemlNames.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <numeric>
#include <sstream>

namespace ZEM_0_81::Interchange::Fcp7 {

namespace {

using namespace Names;

constexpr const char* kFileScheme = "file:";
constexpr const char* kLocalHost = "localhost";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trimmed(const char* text) {
    const char* begin = text;
    const char* end = text + std::strlen(text);
    while (begin < end && isSpace(*begin))
        ++begin;
    while (end > begin && isSpace(end[-1]))
        --end;
    return std::string(begin, end);
}

bool equalsIgnoringCase(const std::string& text, const char* word) {
    const std::size_t length = std::strlen(word);
    if (text.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i)
        if (std::toupper(static_cast<unsigned char>(text[i])) !=
            std::toupper(static_cast<unsigned char>(word[i])))
            return false;
    return true;
}

bool startsIgnoringCase(const std::string& text, const char* word) {
    const std::size_t length = std::strlen(word);
    return text.size() >= length && equalsIgnoringCase(text.substr(0, length), word);
}

/// True for the bytes a path keeps as they are in a URL: letters, digits, the
/// unreserved marks, the path's separators and the sub-delimiters.
bool keptInUrl(unsigned char c) {
    return std::isalnum(c) || std::strchr("-._~/:!$&'()*+,;=@", c) != nullptr;
}

std::string percentEncoded(const std::string& text) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte != 0 && keptInUrl(byte)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 15];
        }
    }
    return encoded;
}

bool isDrivePath(const std::string& path, std::size_t at) {
    return path.size() >= at + 2 && std::isalpha(static_cast<unsigned char>(path[at])) &&
           path[at + 1] == ':' && (path.size() == at + 2 || path[at + 2] == '/');
}

/// The four fields of "HH:MM:SS:FF" (separators ':', ';', '.'), and whether a
/// ';' marks it drop frame; false for another text.
bool parseTimecodeString(const std::string& text, std::int64_t (&fields)[4], bool& marksDrop) {
    std::size_t field = 0;
    std::size_t digits = 0;
    marksDrop = false;
    for (auto& value : fields)
        value = 0;
    for (const char c : text) {
        if (c >= '0' && c <= '9') {
            if (++digits > 10)
                return false;
            fields[field] = fields[field] * 10 + (c - '0');
        } else if (c == ':' || c == ';' || c == '.') {
            if (digits == 0 || ++field > 3)
                return false;
            marksDrop = marksDrop || c == ';';
            digits = 0;
        } else {
            return false;
        }
    }
    return field == 3 && digits > 0;
}

} // namespace

std::string withoutControls(std::string text) {
    text.erase(std::remove_if(text.begin(), text.end(),
                              [](char c) {
                                  return static_cast<unsigned char>(c) < 0x20 && c != '\t' &&
                                         c != '\n' && c != '\r';
                              }),
               text.end());
    return text;
}

namespace {

/// The texts of `element`, all of them: a comment or a processing instruction
/// left out of the document splits a text in two.
std::string textsOf(const pugi::xml_node& element) {
    std::string text;
    for (const pugi::xml_node child : element.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            text += child.value();
    return withoutControls(std::move(text));
}

} // namespace

std::string childText(const pugi::xml_node& element, const char* name) {
    const pugi::xml_node child = element.child(name);
    return child ? trimmed(textsOf(child).c_str()) : std::string();
}

bool parseFrames(const std::string& text, std::int64_t& value) {
    return parseWhole(text, kMaxFrames, value);
}

bool parseWhole(const std::string& text, std::int64_t limit, std::int64_t& value) {
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    std::size_t digits = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
        if (magnitude > (limit - (text[i] - '0')) / 10)
            return false;
        magnitude = magnitude * 10 + (text[i] - '0');
    }
    while (i < text.size() && isSpace(text[i]))
        ++i;
    if (digits == 0 || i != text.size())
        return false;
    value = negative ? -magnitude : magnitude;
    return true;
}

bool childFrames(const pugi::xml_node& element, const char* name, std::int64_t& value) {
    const pugi::xml_node child = element.child(name);
    return child && parseFrames(textsOf(child), value);
}

bool parseFlag(const std::string& text, bool& value) {
    if (equalsIgnoringCase(text, "TRUE") || text == "1") {
        value = true;
        return true;
    }
    if (equalsIgnoringCase(text, "FALSE") || text == "0") {
        value = false;
        return true;
    }
    return false;
}

Rational FrameRate::rational() const {
    if (!ntsc)
        return Rational(static_cast<int>(timebase), 1);
    const std::int64_t numerator = timebase * 1000;
    const std::int64_t common = std::gcd(numerator, std::int64_t(1001));
    return Rational(static_cast<int>(numerator / common), static_cast<unsigned>(1001 / common));
}

double FrameRate::value() const {
    return ntsc ? static_cast<double>(timebase) * 1000.0 / 1001.0 : static_cast<double>(timebase);
}

std::string FrameRate::fcm() const {
    const Rational exact = rational();
    return RecordTime::fcmOf(exact.getNumerator(), exact.getDenominator());
}

bool rateOf(const pugi::xml_node& element, FrameRate& rate) {
    const pugi::xml_node node = element.child(kRate);
    std::int64_t timebase = 0;
    if (!node || !childFrames(node, kTimebase, timebase) || timebase < 1 || timebase > kMaxTimebase)
        return false;
    bool ntsc = false;
    parseFlag(childText(node, kNtsc), ntsc);
    rate.timebase = timebase;
    rate.ntsc = ntsc;
    return true;
}

bool frameRateOf(const Rational& rate, FrameRate& out) {
    const std::int64_t numerator = rate.getNumerator();
    const std::int64_t denominator = rate.getDenominator();
    if (numerator <= 0 || denominator == 0)
        return false;
    if (numerator % denominator == 0 && numerator / denominator <= kMaxTimebase) {
        out = FrameRate{numerator / denominator, false};
        return true;
    }
    // timebase × 1000/1001 in any terms: numerator × 1001 = timebase × 1000 × denominator.
    const std::int64_t scaled = numerator * 1001;
    if (scaled % (1000 * denominator) == 0 && scaled / (1000 * denominator) <= kMaxTimebase) {
        out = FrameRate{scaled / (1000 * denominator), true};
        return true;
    }
    return false;
}

bool readTimecode(const pugi::xml_node& timecode, const FrameRate& inherited, TimecodeValue& value,
                  std::string& why) {
    TimecodeValue read;
    if (!rateOf(timecode, read.rate))
        read.rate = inherited;
    if (!read.rate.isSet()) {
        why = "it has no rate, and nothing around it gives one";
        return false;
    }
    const std::string string = childText(timecode, kString);
    std::int64_t fields[4];
    bool marksDrop = false;
    const bool stringRead = parseTimecodeString(string, fields, marksDrop);
    read.dropFrame = equalsIgnoringCase(childText(timecode, kDisplayFormat), kDropFrame) ||
                     (stringRead && marksDrop);
    if (childFrames(timecode, kFrame, read.frames) && read.frames >= 0) {
        value = read;
        return true;
    }
    if (!stringRead) {
        why = string.empty() ? "it has neither a frame count nor a timecode string"
                             : "its string \"" + string + "\" is no timecode";
        return false;
    }
    std::int64_t frames = 0;
    if (!Timecode::count(fields[0], fields[1], fields[2], fields[3], read.rate.rational(),
                         read.dropFrame, frames) ||
        frames > kMaxFrames) {
        why = "its string \"" + string + "\" is no timecode at " + read.rate.fcm() +
              " frames a second";
        return false;
    }
    read.frames = frames;
    value = read;
    return true;
}

bool framesAt(std::int64_t frames, const FrameRate& from, const FrameRate& to, std::int64_t& out) {
    if (from.timebase == to.timebase || !from.isSet() || !to.isSet()) {
        out = frames;
        return true;
    }
    const long double scaled = static_cast<long double>(frames) *
                               static_cast<long double>(to.timebase) /
                               static_cast<long double>(from.timebase);
    out = static_cast<std::int64_t>(std::llround(scaled));
    return (frames * to.timebase) % from.timebase == 0;
}

bool fileSpanAt(const pugi::xml_node& file, const FrameRate& rate, std::int64_t& first,
                std::int64_t& length) {
    FrameRate fileRate = rate;
    rateOf(file, fileRate);
    first = 0;
    TimecodeValue value;
    std::string why;
    if (const pugi::xml_node timecode = file.child(kTimecode);
        timecode && readTimecode(timecode, fileRate, value, why))
        framesAt(value.frames, value.rate, rate, first);
    std::int64_t duration = 0;
    if (!childFrames(file, kDuration, duration) || duration < 0)
        return false;
    framesAt(duration, fileRate, rate, length);
    return true;
}

std::string pathOfUrl(const std::string& url) {
    if (!startsIgnoringCase(url, kFileScheme))
        return url;
    std::string rest = url.substr(std::strlen(kFileScheme));
    std::string host;
    if (rest.compare(0, 2, "//") == 0) {
        const std::size_t slash = rest.find('/', 2);
        host = rest.substr(2, slash == std::string::npos ? std::string::npos : slash - 2);
        rest = slash == std::string::npos ? std::string() : rest.substr(slash);
    }
    std::string path = Clips::percentDecoded(rest);
    if (!host.empty() && !equalsIgnoringCase(host, kLocalHost))
        return "//" + Clips::percentDecoded(host) + path;
    // "/C:/Media/a.mov" names a drive's file.
    if (!path.empty() && path[0] == '/' && isDrivePath(path, 1))
        path.erase(0, 1);
    return path;
}

std::string urlOfPath(const std::string& path) {
    if (path.find("://") != std::string::npos)
        return path;
    if (path.compare(0, 2, "//") == 0)
        return std::string(kFileScheme) + percentEncoded(path);
    const std::string prefix = std::string(kFileScheme) + "//" + kLocalHost;
    if (isDrivePath(path, 0))
        return prefix + "/" + percentEncoded(path);
    // A relative path is no URL: it stands as it is, as a reader takes it back.
    if (path.empty() || path[0] != '/')
        return path;
    return prefix + percentEncoded(path);
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string xmlOf(const pugi::xml_node& node) {
    std::ostringstream text;
    node.print(text, "", pugi::format_raw, pugi::encoding_utf8);
    return withoutControls(text.str());
}

} // namespace ZEM_0_81::Interchange::Fcp7
