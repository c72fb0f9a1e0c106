#pragma once

#include "interchange/fcpxml/ElementReport.h"
#include "interchange/fcpxml/FcpxmlTime.h"

#include <pugixml.hpp>

#include <cstring>
#include <string>
#include <unordered_map>

namespace ZEM_0_81::Interchange::Fcpx {

/// A "format": the frame duration and picture size of what refers to it.
struct Format {
    pugi::xml_node node;
    /// Its "frameDuration"; invalid when it has none (a still, sound only).
    Time frameDuration = Time::invalid();
    int width = 0;
    int height = 0;
};

/// An "asset": a media file, its own time (its first instant "start", its
/// "duration") and what it holds.
struct Asset {
    pugi::xml_node node;
    std::string name;
    /// The file: "src" (FCPXML 1.8), else the "src" of its first original
    /// media representation, else of its first one; empty when none.
    std::string src;
    Time start;
    Time duration = Time::invalid();
    bool video = false;
    bool audio = false;
    /// Its sample rate ("audioRate", in samples a second); 0 when not given.
    std::int64_t audioRate = 0;
    const Format* format = nullptr;
};

/// An "effect": a title, generator, filter or transition template.
struct Effect {
    pugi::xml_node node;
    std::string name;
    std::string uid;
};

/// A "media": a compound clip's "sequence" or a multicam clip's "multicam".
struct Media {
    pugi::xml_node node;
    std::string name;
    pugi::xml_node sequence;
    pugi::xml_node multicam;
};

/// The resources of a document by their ids. A resource whose id another
/// resource already took is reported and passed over.
class Resources {
public:
    void read(const pugi::xml_node& resources, ElementReport& report);

    const Format* format(const char* id) const { return find(m_formats, id); }
    const Asset* asset(const char* id) const { return find(m_assets, id); }
    const Effect* effect(const char* id) const { return find(m_effects, id); }
    const Media* media(const char* id) const { return find(m_media, id); }

private:
    template <class T>
    static const T* find(const std::unordered_map<std::string, T>& map, const char* id) {
        const auto found = map.find(id ? id : "");
        return found == map.end() ? nullptr : &found->second;
    }

    std::unordered_map<std::string, Format> m_formats;
    std::unordered_map<std::string, Asset> m_assets;
    std::unordered_map<std::string, Effect> m_effects;
    std::unordered_map<std::string, Media> m_media;
};

/// The frame duration a conform-rate's "srcFrameRate" names ("23.98" is
/// 1001/24000s); invalid for another text.
Time conformFrameOf(const char* rate);

/// True when `node` is an element named `name`.
inline bool isNamed(const pugi::xml_node& node, const char* name) {
    return std::strcmp(node.name(), name) == 0;
}

/// True for the attribute values FCPXML writes for yes ("1"; also "true").
bool isYes(const pugi::xml_attribute& attribute);

} // namespace ZEM_0_81::Interchange::Fcpx
