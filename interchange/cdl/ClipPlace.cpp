#include "interchange/cdl/ClipPlace.h"

#include "composition/Timecode.h"

#include <cstdint>
#include <unordered_map>
#include <unordered_set>

namespace ZEM_0_81::Interchange::Cdl {

namespace {

constexpr const char* kUnnamed = "clip";
constexpr char kRepeat = '_';

bool isDigits(const std::string& text, std::size_t from) {
    if (from >= text.size())
        return false;
    for (std::size_t i = from; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9')
            return false;
    return true;
}

std::string timecodeOf(std::int64_t frames, const Rational& rate) {
    std::string text;
    if (!Timecode::format(frames, rate, text))
        return std::to_string(frames);
    return text;
}

} // namespace

RecordTimecodes recordTimecodes(const FrameRange& record, const Rational& rate) {
    // The end saturates rather than overflow for a range at the end of time.
    const std::int64_t start = record.start;
    const std::int64_t duration = record.duration;
    const std::int64_t end = duration > 0 && start > INT64_MAX - duration   ? INT64_MAX
                             : duration < 0 && start < INT64_MIN - duration ? INT64_MIN
                                                                            : start + duration;
    return RecordTimecodes{timecodeOf(record.start, rate), timecodeOf(end, rate)};
}

std::string placeText(std::size_t track, const std::string& recordIn,
                      const std::string& recordOut) {
    return "track " + std::to_string(track + 1) + ", record " + recordIn + "-" + recordOut;
}

std::vector<std::string> uniqueIds(const std::vector<std::string>& names) {
    std::unordered_set<std::string> given;
    // The next repeat to try for each name, so that many clips of one name take
    // their ids in one pass.
    std::unordered_map<std::string, std::size_t> nextRepeat;
    std::vector<std::string> ids;
    ids.reserve(names.size());
    for (const std::string& name : names) {
        const std::string base = name.empty() ? kUnnamed : name;
        std::string id = base;
        std::size_t& repeat = nextRepeat.try_emplace(base, 2).first->second;
        while (given.count(id) != 0)
            id = base + kRepeat + std::to_string(repeat++);
        given.insert(id);
        ids.push_back(std::move(id));
    }
    return ids;
}

bool idFitsName(const std::string& id, const std::string& name) {
    if (name.empty() || id == name)
        return true;
    return id.size() > name.size() + 1 && id.compare(0, name.size(), name) == 0 &&
           id[name.size()] == kRepeat && isDigits(id, name.size() + 1);
}

} // namespace ZEM_0_81::Interchange::Cdl
