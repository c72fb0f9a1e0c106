#include "interchange/fcpxml/Resources.h"

#include <cstdlib>
#include <cstring>

namespace ZEM_0_81::Interchange::Fcpx {

namespace {

int dimension(const pugi::xml_attribute& attribute) {
    const long long value = std::atoll(attribute.value());
    return value > 0 && value < 1000000 ? static_cast<int>(value) : 0;
}

/// "48000", "48k", "44.1k": samples a second; 0 for anything else.
std::int64_t sampleRate(const char* text) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || !(value > 0.0) || value > 1e7)
        return 0;
    const double rate = *end == 'k' ? value * 1000.0 : value;
    return static_cast<std::int64_t>(rate + 0.5);
}

std::string srcOf(const pugi::xml_node& asset) {
    if (const pugi::xml_attribute src = asset.attribute("src"))
        return src.value();
    pugi::xml_node first;
    for (const pugi::xml_node rep : asset.children("media-rep")) {
        if (!first)
            first = rep;
        const char* kind = rep.attribute("kind").value();
        if (*kind == '\0' || std::strcmp(kind, "original-media") == 0)
            return rep.attribute("src").value();
    }
    return first.attribute("src").value();
}

} // namespace

Time conformFrameOf(const char* rate) {
    struct Named {
        const char* text;
        std::int64_t num;
        std::int64_t den;
    };
    static const Named kRates[] = {{"23.98", 1001, 24000},
                                   {"24", 1, 24},
                                   {"25", 1, 25},
                                   {"29.97", 1001, 30000},
                                   {"30", 1, 30},
                                   {"47.95", 1001, 48000},
                                   {"48", 1, 48},
                                   {"50", 1, 50},
                                   {"59.94", 1001, 60000},
                                   {"60", 1, 60},
                                   {"90", 1, 90},
                                   {"100", 1, 100},
                                   {"119.88", 1001, 120000},
                                   {"120", 1, 120}};
    for (const Named& named : kRates)
        if (std::strcmp(rate, named.text) == 0)
            return Time(named.num, named.den);
    return Time::invalid();
}

bool isYes(const pugi::xml_attribute& attribute) {
    const char* value = attribute.value();
    return std::strcmp(value, "1") == 0 || std::strcmp(value, "true") == 0;
}

void Resources::read(const pugi::xml_node& resources, ElementReport& report) {
    // Formats first: assets refer to them, wherever they stand.
    for (const pugi::xml_node node : resources.children("format")) {
        Format format;
        format.node = node;
        Time duration;
        if (parseTime(node.attribute("frameDuration").value(), duration) && duration.positive())
            format.frameDuration = duration;
        else if (node.attribute("frameDuration"))
            report.lose(node, "its frameDuration \"" +
                                  std::string(node.attribute("frameDuration").value()) +
                                  "\" is no time of a frame: read without a rate");
        format.width = dimension(node.attribute("width"));
        format.height = dimension(node.attribute("height"));
        if (!m_formats.emplace(node.attribute("id").value(), format).second)
            report.lose(node, "its id is another resource's: not read");
    }
    for (const pugi::xml_node node : resources.children()) {
        const char* name = node.name();
        const std::string id = node.attribute("id").value();
        if (std::strcmp(name, "format") == 0)
            continue;
        bool taken = m_formats.count(id) != 0;
        if (taken) {
        } else if (std::strcmp(name, "asset") == 0) {
            Asset asset;
            asset.node = node;
            asset.name = node.attribute("name").value();
            asset.src = srcOf(node);
            Time time;
            if (parseTime(node.attribute("start").value(), time))
                asset.start = time;
            if (parseTime(node.attribute("duration").value(), time) && !time.negative())
                asset.duration = time;
            asset.video = isYes(node.attribute("hasVideo"));
            asset.audio = isYes(node.attribute("hasAudio"));
            asset.audioRate = sampleRate(node.attribute("audioRate").value());
            asset.format = format(node.attribute("format").value());
            taken = !m_assets.emplace(id, asset).second;
        } else if (std::strcmp(name, "effect") == 0) {
            Effect effect{node, node.attribute("name").value(), node.attribute("uid").value()};
            taken = !m_effects.emplace(id, effect).second;
        } else if (std::strcmp(name, "media") == 0) {
            Media media{node, node.attribute("name").value(), node.child("sequence"),
                        node.child("multicam")};
            taken = !m_media.emplace(id, media).second;
        } else {
            continue;
        }
        if (taken)
            report.lose(node, "its id is another resource's: not read");
    }
}

} // namespace ZEM_0_81::Interchange::Fcpx
