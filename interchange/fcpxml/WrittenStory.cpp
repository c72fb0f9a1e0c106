#include "interchange/fcpxml/WrittenStory.h"

#include "composition/Timecode.h"
#include "interchange/fcpxml/FcpxmlKept.h"
#include "interchange/fcpxml/FcpxmlTime.h"
#include "interchange/fcpxml/Resources.h"
#include "interchange/fcpxml/StoryWalk.h"
#include "interchange/fcpxml/TimeMap.h"
#include "interchange/fcpxml/TimelineBuild.h"
#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptObjects.h"
#include "interchange/notes/ReviewNotes.h"
#include "interchange/places/TextLines.h"
#include "interchange/xml/XmlText.h"

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmSegmentNode.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTrackNode.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <sstream>

namespace ZEM_0_81::Interchange::Fcpx {

namespace {

/// The values of conform-rate's and timeMap's enumerations that 1.13 added.
constexpr const char* kNewRates[] = {"90", "100", "119.88", "120"};
constexpr const char* kNewSampling = "optical-flow-frc";
constexpr std::int32_t kVersionWithMediaReps = 9;
constexpr std::int32_t kVersionWithNewRates = 13;

/// `frames` at `rate` in seconds.
Time secondsOf(std::int64_t frames, const Rational& rate) {
    return Time(frames, 1) * Time(rate.getDenominator(), rate.getNumerator());
}

/// The URL of a media path: as it is when it names its scheme, else a file
/// URL of an absolute path, a relative URL of a relative one, with the bytes
/// a URL cannot hold percent-encoded.
std::string urlOf(const std::string& path) {
    if (path.find("://") != std::string::npos || path.rfind("file:", 0) == 0)
        return path;
    std::string url = path.empty() || path[0] != '/' ? "" : "file://";
    static const char* kHex = "0123456789ABCDEF";
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::strchr("/-._~!$&'()*+,;=:@", c))
            url += c;
        else {
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 15];
        }
    }
    return url;
}

/// `text` as XML 1.0 holds it in an attribute: bytes that are no UTF-8 and
/// control characters (but tab and line ends) become "?".
std::string xmlSafe(const std::string& text) {
    std::string safe;
    safe.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = byte < 0x80         ? 1
                             : (byte >> 5) == 6  ? 2
                             : (byte >> 4) == 14 ? 3
                             : (byte >> 3) == 30 ? 4
                                                 : 0;
        for (std::size_t k = 1; length > 0 && k < length; ++k)
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) >> 6) != 2)
                length = 0;
        if (length == 0 || (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')) {
            safe += '?';
            ++i;
            continue;
        }
        safe.append(text, i, length);
        i += length;
    }
    return safe;
}

/// Whether picture media counted at `rate` needs a format to be read back at
/// it: every rate but a whole number of samples a second up to the highest
/// the reader finds again from the asset's times (a rate of 3030000/1001
/// would be read back at another, its times rounded; one of 1000000 too).
bool pictureRateNeedsFormat(const Rational& rate) {
    return !TimelineView::isSampleRate(rate) || rate.getDenominator() != 1 ||
           rate.getNumerator() > kMaxExactRate;
}

/// The last part of a path or URL.

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

/// What an item is written as.
enum class Written { Asset, Title, Generator, Gap };

/// A kept child parsed, to be copied into what is written.
struct Child {
    pugi::xml_document document;
    pugi::xml_node node() const { return document.document_element(); }
};

/// A marker to write.
struct MarkerOut {
    std::string element = "marker";
    Time start;
    Time duration;
    std::string value;
    std::string note;
    std::string completed;
};

/// An element of the storyline or connected to it, as it is written.
struct ElementOut {
    const TimelineItem* item = nullptr;
    const DmSegmentNode* segment = nullptr;
    std::string track;
    Written written = Written::Gap;
    std::string ref;
    int lane = 0;
    bool soundOnly = false;
    std::int64_t recordIn = 0;
    std::int64_t recordOut = 0;
    /// The frames before recordIn it is written from, overlapping a transition.
    std::int64_t head = 0;
    /// Its times as written: where it starts in its parent, the origin of its
    /// own time at its record-in, and its length.
    Time offset;
    Time start;
    Time duration;
    std::string name;
    /// Its time is the retimed time of the time map it keeps.
    bool retimed = false;
    std::vector<std::size_t> anchored; ///< connected elements hanging on it
};

class DocumentWriter {
public:
    DocumentWriter(const TimelineView& view, const TimelineSegments& segments,
                   const DmCompositionNode& node, std::int32_t version, LossReport& losses)
        : m_view(view), m_segments(segments), m_node(node), m_version(version), m_losses(losses) {}

    std::string write();

private:
    void lose(const std::string& place, const std::string& schema, const std::string& what) {
        m_losses.add(String(place.c_str(), place.size()), String(schema.c_str(), schema.size()),
                     String(what.c_str(), what.size()));
    }
    std::string placeOf(const std::string& track, std::int64_t frame) const {
        std::string timecode;
        Timecode::format(frame, m_view.rate, timecode);
        return "track " + track + ", " + timecode;
    }
    Time record(std::int64_t frames) const { return secondsOf(frames, m_view.rate); }

    std::string assetOf(const TimelineItem& item, bool video, const Rational& counted);
    std::string effectOf(const KeptElement& kept);
    std::string formatOf(const Rational& rate);
    ElementOut elementOf(const TimelineItem& item, const DmSegmentNode* segment,
                         const std::string& track, bool video);
    std::vector<MarkerOut> markersOf(const ElementOut& element);
    void writeElement(pugi::xml_node parent, const ElementOut& element);
    bool keptChild(const std::string& text, const ElementOut& element, Child& child);
    /// The lane the clips of the track at `track` hang on, the lane `after`
    /// that of the track of its kind before it (0 for the first): its kept
    /// lane when that comes after `after` in the order tracks are read back in
    /// (TimelineBuild's) and no other track has it, else the next free lane in
    /// that order; 0 when none is left that can be read back.
    int laneOf(std::size_t track, bool video, int after, const std::vector<int>& taken) const;

    const TimelineView& m_view;
    const TimelineSegments& m_segments;
    const DmCompositionNode& m_node;
    std::int32_t m_version;
    LossReport& m_losses;

    pugi::xml_document m_document;
    pugi::xml_node m_resources;
    /// By URL; picture of a file counted at another rate than the first
    /// asset's picture: by URL, a line end and its frame duration.
    std::map<std::string, pugi::xml_node> m_assets;
    std::map<std::string, Time> m_assetEnds;
    std::map<std::string, std::string> m_effects; ///< ids by uid and name
    std::map<std::pair<std::int64_t, std::int64_t>, std::string> m_formats;
    std::size_t m_nextId = 1;
    std::size_t m_nextStyle = 1;
    std::vector<ElementOut> m_connected;
    Time m_sequenceFrame;
};

std::string DocumentWriter::formatOf(const Rational& rate) {
    const std::pair<std::int64_t, std::int64_t> key{rate.getNumerator(), rate.getDenominator()};
    const Time frame(rate.getDenominator(), rate.getNumerator());
    if (frame == m_sequenceFrame)
        return "r1";
    const auto found = m_formats.find(key);
    if (found != m_formats.end())
        return found->second;
    const std::string id = "r" + std::to_string(++m_nextId);
    pugi::xml_node format = m_resources.prepend_child("format");
    format.append_attribute("id") = id.c_str();
    format.append_attribute("frameDuration") = frame.text().c_str();
    m_formats.emplace(key, id);
    return id;
}

std::string DocumentWriter::assetOf(const TimelineItem& item, bool video, const Rational& counted) {
    // The rate its media's and source's frames count at: the media's own
    // for media conformed frame for frame, else the input's.
    TimelineMedia media = item.media.front();
    SourceRange source = item.source;
    if (counted.getNumerator() > 0) {
        media.rate = counted;
        source.rate = counted;
    }
    const std::string url = xmlSafe(urlOf(media.path));
    const bool rated = media.rate.getNumerator() > 0 && media.rate.getDenominator() > 0;
    const Time start =
        rated && media.availableStart ? secondsOf(*media.availableStart, media.rate) : Time();
    const Time end = rated ? start + secondsOf(media.availableDuration, media.rate) : start;
    // What the item plays lies within what its asset says it holds.
    Time sourceIn = start, sourceEnd = end;
    if (source.start && source.rate.getNumerator() > 0) {
        sourceIn = secondsOf(*source.start, source.rate);
        sourceEnd = sourceIn + record(item.record.duration);
    }
    // The reader counts the picture of an asset at one rate (its format's,
    // else one its times give): picture counted at another rate than the
    // picture already written of its file gets an asset of its own.
    std::string key = url;
    const auto byUrl = m_assets.find(url);
    if (video && rated && byUrl != m_assets.end() &&
        std::strcmp(byUrl->second.attribute("hasVideo").value(), "1") == 0) {
        const Time frame(media.rate.getDenominator(), media.rate.getNumerator());
        const pugi::xml_node format = m_resources.find_child_by_attribute(
            "format", "id", byUrl->second.attribute("format").value());
        Time has;
        const bool formatted = format && parseTime(format.attribute("frameDuration").value(), has);
        if (pictureRateNeedsFormat(media.rate) ? !(formatted && has == frame) : formatted)
            key = url + '\n' + frame.text();
    }
    const auto found = m_assets.find(key);
    if (found != m_assets.end()) {
        pugi::xml_node asset = found->second;
        Time first;
        parseTime(asset.attribute("start").value(), first);
        const Time newStart = min(first, min(start, sourceIn));
        const Time newEnd = max(m_assetEnds[key], max(end, sourceEnd));
        asset.attribute("start") = newStart.text().c_str();
        asset.attribute("duration") = (newEnd - newStart).text().c_str();
        m_assetEnds[key] = newEnd;
        if (video)
            asset.attribute("hasVideo") = "1";
        else
            asset.attribute("hasAudio") = "1";
        if (video && !asset.attribute("format") && rated && pictureRateNeedsFormat(media.rate))
            asset.append_attribute("format") = formatOf(media.rate).c_str();
        return asset.attribute("id").value();
    }
    const std::string id = "r" + std::to_string(++m_nextId);
    pugi::xml_node asset = m_resources.append_child("asset");
    asset.append_attribute("id") = id.c_str();
    asset.append_attribute("name") = xmlSafe(fileNameOf(media.path)).c_str();
    if (m_version < kVersionWithMediaReps)
        asset.append_attribute("src") = url.c_str();
    const Time first = min(start, sourceIn), last = max(end, sourceEnd);
    asset.append_attribute("start") = first.text().c_str();
    asset.append_attribute("duration") = (last - first).text().c_str();
    asset.append_attribute("hasVideo") = video ? "1" : "0";
    asset.append_attribute("hasAudio") = video ? "0" : "1";
    if (video && rated && pictureRateNeedsFormat(media.rate))
        asset.append_attribute("format") = formatOf(media.rate).c_str();
    if (!video && TimelineView::isSampleRate(media.rate) && media.rate.getDenominator() == 1)
        asset.append_attribute("audioRate") = std::to_string(media.rate.getNumerator()).c_str();
    if (m_version >= kVersionWithMediaReps) {
        pugi::xml_node rep = asset.append_child("media-rep");
        rep.append_attribute("kind") = "original-media";
        rep.append_attribute("src") = url.c_str();
    }
    m_assets.emplace(key, asset);
    m_assetEnds[key] = last;
    return id;
}

std::string DocumentWriter::effectOf(const KeptElement& kept) {
    const std::string key = kept.effectUid + "\n" + kept.effectName;
    const auto found = m_effects.find(key);
    if (found != m_effects.end())
        return found->second;
    const std::string id = "r" + std::to_string(++m_nextId);
    pugi::xml_node effect = m_resources.append_child("effect");
    effect.append_attribute("id") = id.c_str();
    effect.append_attribute("name") = kept.effectName.c_str();
    effect.append_attribute("uid") = kept.effectUid.c_str();
    if (!kept.effectSrc.empty())
        effect.append_attribute("src") = kept.effectSrc.c_str();
    m_effects.emplace(key, id);
    return id;
}

ElementOut DocumentWriter::elementOf(const TimelineItem& item, const DmSegmentNode* segment,
                                     const std::string& track, bool video) {
    ElementOut element;
    element.item = &item;
    element.segment = segment;
    element.track = track;
    element.recordIn = item.record.start;
    element.recordOut = item.record.end();
    element.offset = record(item.record.start);
    element.duration = record(item.record.duration);
    element.name = item.name;
    element.start = Time();
    KeptElement kept;
    const bool keeps = segment && keptElement(*segment, kept);
    if (item.isGap()) {
        element.written = Written::Gap;
        return element;
    }
    if (!item.media.empty() && !item.media.front().path.empty()) {
        element.written = Written::Asset;
        Rational counted = item.source.rate;
        Time frame = Time::invalid();
        for (const auto& [name, value] : kept.attributes)
            if (name == Kept::kConformedFrame && parseTime(value.c_str(), frame) &&
                frame.positive() && frame.denominator() <= INT32_MAX &&
                frame.numerator() <= INT32_MAX)
                counted = Rational(static_cast<int>(frame.denominator()),
                                   static_cast<unsigned>(frame.numerator()));
        element.ref = assetOf(item, video, counted == item.source.rate ? Rational() : counted);
        element.soundOnly = !video;
        if (item.source.start && counted.getNumerator() > 0)
            element.start = secondsOf(*item.source.start, counted);
        else
            lose(placeOf(track, item.record.start), "clip",
                 "its source start is not known (beyond what the edit tree counts): written "
                 "from the media's first frame");
        // A kept time map counts in the clip's retimed time: the clip starts
        // where it did while the map still gives the media time it plays from.
        for (const std::string& text : kept.children) {
            Child child;
            const TextLines lines(text.c_str(), text.size());
            std::string why;
            if (!Xml::load(text.c_str(), text.size(), lines, child.document, why) ||
                !isNamed(child.node(), "timeMap"))
                continue;
            Time retimed = Time::invalid();
            for (const auto& [name, value] : kept.attributes)
                if (name == "start" && !parseTime(value.c_str(), retimed))
                    retimed = Time::invalid();
            if (retimed.valid() &&
                TimeMap::read(child.node(), nullptr).at(retimed) == element.start) {
                element.start = retimed;
                element.retimed = true;
            }
        }
        return element;
    }
    if (keeps && !kept.effectUid.empty() && video) {
        element.written = kept.element == "title" ? Written::Title : Written::Generator;
        element.ref = effectOf(kept);
        if (item.source.start && item.source.rate.getNumerator() > 0)
            element.start = secondsOf(*item.source.start, item.source.rate);
        return element;
    }
    lose(placeOf(track, item.record.start), "clip",
         "an offline clip (no media) is written as a gap of its name and length");
    element.written = Written::Gap;
    return element;
}

std::vector<MarkerOut> DocumentWriter::markersOf(const ElementOut& element) {
    std::vector<MarkerOut> markers;
    if (!element.segment)
        return markers;
    const DmSegmentNode& segment = *element.segment;
    for (std::uint32_t i = 0; i < segment.getNbEffects(); ++i) {
        const DmEffectSettings* effect = segment.getEffect(i);
        const auto* annotation = dynamic_cast<const DmAnnotationSettings*>(effect);
        ReviewNotes::Note note;
        if (!annotation || !ReviewNotes::noteShown(*annotation, note)) {
            // Named as the timeline view names the effect.
            const std::string kind = element.item && i < element.item->effects.size()
                                         ? element.item->effects[i].name
                                         : std::string("effect");
            lose(placeOf(element.track, element.recordIn), kind,
                 "not written: FCPXML has no place for it");
            continue;
        }
        MarkerOut marker;
        const std::int64_t at = note.ranged ? note.start : element.recordIn;
        const std::int64_t length = note.ranged ? static_cast<std::int64_t>(note.duration) : 1;
        marker.start = element.start + record(at - element.recordIn + element.head);
        marker.duration = record(std::max<std::int64_t>(1, length));
        marker.value = note.caption;
        // The marker the note stands for, while the note still shows it.
        rapidotio::Document kept;
        if (ForeignMembers::parsedProperty(*annotation, ForeignMembers::kMarkerId, kept) &&
            kept.IsObject()) {
            const auto text = [&](const rapidotio::Value& object, const char* key) {
                const auto found = object.FindMember(key);
                return found != object.MemberEnd() && found->value.IsString()
                           ? std::string(found->value.GetString(), found->value.GetStringLength())
                           : std::string();
            };
            const std::string name = text(kept, KeptObjects::kName);
            const std::string comment = text(kept, KeptObjects::kComment);
            const std::string shown = comment.empty() ? name : name + ": " + comment;
            if (shown == note.caption) {
                marker.value = name;
                marker.note = comment;
                const auto metadata = kept.FindMember(KeptObjects::kMetadata);
                if (metadata != kept.MemberEnd() && metadata->value.IsObject()) {
                    const auto fcpxml = metadata->value.FindMember(Kept::kFcpxml);
                    if (fcpxml != metadata->value.MemberEnd() && fcpxml->value.IsObject()) {
                        const std::string kind = text(fcpxml->value, Kept::kKind);
                        if (kind == Kept::kChapterKind)
                            marker.element = "chapter-marker";
                        marker.completed = text(fcpxml->value, Kept::kCompleted);
                        if (kind == Kept::kTodoKind && marker.completed.empty())
                            marker.completed = "0";
                    }
                }
            }
        }
        markers.push_back(std::move(marker));
    }
    return markers;
}

bool DocumentWriter::keptChild(const std::string& text, const ElementOut& element, Child& child) {
    const TextLines lines(text.c_str(), text.size());
    std::string why;
    if (!Xml::load(text.c_str(), text.size(), lines, child.document, why))
        return false;
    const pugi::xml_node node = child.node();
    const bool timing = isNamed(node, "conform-rate") || isNamed(node, "timeMap");
    const bool annotation =
        isNamed(node, "note") || isNamed(node, "keyword") || isNamed(node, "rating");
    const bool titleContent =
        isNamed(node, "param") || isNamed(node, "text") || isNamed(node, "text-style-def");
    switch (element.written) {
    case Written::Asset:
        if (!(timing || annotation || isNamed(node, "metadata")))
            return false;
        break;
    case Written::Title:
        if (!(titleContent || annotation || isNamed(node, "metadata")))
            return false;
        break;
    case Written::Generator:
        if (!(isNamed(node, "param") || timing || annotation))
            return false;
        break;
    case Written::Gap:
        if (!(annotation || isNamed(node, "metadata")))
            return false;
        break;
    }
    // Values of the enumerations that versions before 1.13 do not know.
    if (timing && m_version < kVersionWithNewRates) {
        const char* rate = node.attribute("srcFrameRate").value();
        for (const char* newer : kNewRates)
            if (std::strcmp(rate, newer) == 0)
                return false;
        if (std::strcmp(node.attribute("frameSampling").value(), kNewSampling) == 0)
            return false;
    }
    return true;
}

void DocumentWriter::writeElement(pugi::xml_node parent, const ElementOut& element) {
    static const char* const kNames[] = {"asset-clip", "title", "video", "gap"};
    pugi::xml_node node = parent.append_child(kNames[static_cast<int>(element.written)]);
    if (element.written != Written::Gap)
        node.append_attribute("ref") = element.ref.c_str();
    if (element.lane != 0)
        node.append_attribute("lane") = std::to_string(element.lane).c_str();
    node.append_attribute("offset") = element.offset.text().c_str();
    if (!element.name.empty())
        node.append_attribute("name") = xmlSafe(element.name).c_str();
    KeptElement kept;
    const bool keeps = element.segment && keptElement(*element.segment, kept);
    // The children it keeps that the element written takes.
    std::vector<std::unique_ptr<Child>> children;
    if (keeps)
        for (const std::string& text : kept.children) {
            auto child = std::make_unique<Child>();
            if (keptChild(text, element, *child))
                children.push_back(std::move(child));
            else
                lose(placeOf(element.track, element.recordIn), "clip",
                     "not written: what it keeps (" + text.substr(0, 40) +
                         ") has no place in the " + node.name() + " written");
        }
    // A time map that no longer fits what the clip plays is left out.
    for (auto child = children.begin(); child != children.end(); ++child)
        if (isNamed((*child)->node(), "timeMap")) {
            if (!element.retimed) {
                lose(placeOf(element.track, element.recordIn), "clip",
                     "its speed (a time map) is not written: it no longer fits what the clip "
                     "plays");
                children.erase(child);
            }
            break;
        }
    const Time start = element.start;
    node.append_attribute("start") = start.text().c_str();
    node.append_attribute("duration") = element.duration.text().c_str();
    if (element.segment && !ForeignMembers::Leftovers::enabled(*element.segment))
        node.append_attribute("enabled") = "0";
    if (element.written == Written::Asset && element.soundOnly)
        node.append_attribute("srcEnable") = "audio";
    for (const auto& [name, value] : kept.attributes) {
        const bool roles = name == "audioRole" || name == "videoRole";
        if ((element.written == Written::Asset && roles) ||
            (element.written != Written::Asset && element.written != Written::Gap &&
             name == "role"))
            node.append_attribute(name.c_str()) = value.c_str();
    }

    // The children in the order the document type wants them.
    const auto copy = [&](std::initializer_list<const char*> names) {
        for (const auto& child : children)
            for (const char* name : names)
                if (isNamed(child->node(), name))
                    node.append_copy(child->node());
    };
    copy({"param"});
    if (element.written == Written::Title) {
        // Text styles are named afresh, so that a title written twice keeps
        // each name once in the document.
        std::map<std::string, std::string> renamed;
        for (const auto& child : children)
            if (isNamed(child->node(), "text-style-def")) {
                const std::string name = "ts" + std::to_string(m_nextStyle++);
                renamed[child->node().attribute("id").value()] = name;
                child->node().attribute("id") = name.c_str();
            }
        for (const auto& child : children)
            if (isNamed(child->node(), "text"))
                for (pugi::xml_node style : child->node().children("text-style")) {
                    const auto found = renamed.find(style.attribute("ref").value());
                    if (found != renamed.end())
                        style.attribute("ref") = found->second.c_str();
                    else if (style.attribute("ref"))
                        style.remove_attribute("ref");
                }
        copy({"text"});
        copy({"text-style-def"});
    }
    copy({"note"});
    copy({"conform-rate"});
    copy({"timeMap"});
    for (const std::size_t index : element.anchored)
        writeElement(node, m_connected[index]);
    for (const MarkerOut& marker : markersOf(element)) {
        pugi::xml_node out = node.append_child(marker.element.c_str());
        out.append_attribute("start") = marker.start.text().c_str();
        out.append_attribute("duration") = marker.duration.text().c_str();
        out.append_attribute("value") = xmlSafe(marker.value).c_str();
        if (!marker.completed.empty() && marker.element == "marker")
            out.append_attribute("completed") = marker.completed.c_str();
        if (!marker.note.empty())
            out.append_attribute("note") = xmlSafe(marker.note).c_str();
    }
    copy({"keyword", "rating"});
    if (element.written != Written::Generator)
        copy({"metadata"});
}

int DocumentWriter::laneOf(std::size_t track, bool video, int after,
                           const std::vector<int>& taken) const {
    const auto free = [&](int lane) {
        return std::find(taken.begin(), taken.end(), lane) == taken.end();
    };
    const TrackKind kind = video ? TrackKind::Picture : TrackKind::Sound;
    int lane = 0;
    bool kept = false;
    // The lane a track read from FCPXML keeps, on its layer.
    std::size_t index = 0;
    for (std::uint32_t t = 0; t < m_node.getNbChildren() && !kept; ++t) {
        const DmTreeNode* stack = m_node.getChild(t);
        for (std::uint32_t l = 0; stack && l < stack->getNbChildren() && !kept; ++l) {
            const auto* layer = dynamic_cast<const DmLayerNode*>(stack->getChild(l));
            if (!layer)
                continue;
            if (index++ != track)
                continue;
            rapidotio::Document document;
            if (const rapidotio::Value* dictionary = dictionaryOf(*layer, document)) {
                const auto found = dictionary->FindMember(Kept::kLane);
                if (found != dictionary->MemberEnd() && found->value.IsInt()) {
                    lane = found->value.GetInt();
                    // (Lane 0 never comes after another: it is the storyline's.)
                    kept = lane >= -kMaxLane && lane <= kMaxLane && free(lane) &&
                           trackRank(kind, after) < trackRank(kind, lane);
                }
            }
        }
    }
    if (kept)
        return lane;
    // Else the next free one in the order read back: picture up from the
    // storyline (down once below it), sound down (up once above it).
    const int step = video ? (after >= 0 ? 1 : -1) : (after <= 0 ? -1 : 1);
    lane = after + step;
    while (!free(lane))
        lane += step;
    return lane >= -kMaxLane && lane <= kMaxLane ? lane : 0;
}

std::string DocumentWriter::write() {
    const Rational& rate = m_view.rate;
    rapidotio::Document compositionKept;
    const rapidotio::Value* dictionary = dictionaryOf(m_node, compositionKept);
    const auto keptText = [&](const char* key) {
        if (!dictionary)
            return std::string();
        const auto found = dictionary->FindMember(key);
        return found != dictionary->MemberEnd() && found->value.IsString()
                   ? std::string(found->value.GetString(), found->value.GetStringLength())
                   : std::string();
    };
    const auto keptPairs = [&](const char* key) {
        Attributes pairs;
        if (!dictionary)
            return pairs;
        const auto found = dictionary->FindMember(key);
        if (found != dictionary->MemberEnd() && found->value.IsArray())
            for (const auto& pair : found->value.GetArray())
                if (pair.IsArray() && pair.Size() == 2 && pair[0].IsString() && pair[1].IsString())
                    pairs.emplace_back(pair[0].GetString(), pair[1].GetString());
        return pairs;
    };

    pugi::xml_node doctype = m_document.append_child(pugi::node_doctype);
    doctype.set_value("fcpxml");
    pugi::xml_node root = m_document.append_child("fcpxml");
    root.append_attribute("version") = ("1." + std::to_string(m_version)).c_str();
    m_resources = root.append_child("resources");

    // The sequence's format: the one it was read with, else the picture's rate.
    const Rational picture = m_view.pictureRate.getNumerator() > 0 ? m_view.pictureRate : rate;
    m_sequenceFrame = Time(picture.getDenominator(), picture.getNumerator());
    pugi::xml_node format = m_resources.append_child("format");
    format.append_attribute("id") = "r1";
    bool framed = false;
    for (const auto& [name, value] : keptPairs(Kept::kFormat)) {
        Time frame;
        if (name == "frameDuration" && parseTime(value.c_str(), frame) && frame.positive()) {
            m_sequenceFrame = frame;
            framed = true;
        }
        if (name == "name" || name == "frameDuration" || name == "width" || name == "height" ||
            name == "paspH" || name == "paspV" || name == "colorSpace" || name == "fieldOrder")
            format.append_attribute(name.c_str()) = value.c_str();
    }
    if (!framed)
        format.append_attribute("frameDuration") = m_sequenceFrame.text().c_str();
    const DmFrameResolution* resolution = m_node.getResolution();
    std::int32_t width = 0, height = 0;
    if (resolution && !format.attribute("width") && resolution->getWidth(width) == eDmSuccess &&
        resolution->getHeight(height) == eDmSuccess && width > 0 && height > 0) {
        format.append_attribute("width") = std::to_string(width).c_str();
        format.append_attribute("height") = std::to_string(height).c_str();
    }

    // The primary storyline: the first video track.
    std::size_t primary = m_view.tracks.size();
    for (std::size_t t = 0; t < m_view.tracks.size() && primary == m_view.tracks.size(); ++t)
        if (m_view.tracks[t].kind == TimelineTrack::Kind::Video)
            primary = t;
    const std::int64_t start = m_view.start;
    std::int64_t end = start + std::max<std::int64_t>(0, m_view.duration);

    std::vector<ElementOut> storyline;
    // The storyline starts at the sequence's start, or before it where any
    // item does: every item has one to hang on.
    std::int64_t cursor = start;
    for (const TimelineTrack& track : m_view.tracks)
        if (!track.items.empty())
            cursor = std::min(cursor, track.items.front().record.start);
    if (primary < m_view.tracks.size()) {
        const TimelineTrack& track = m_view.tracks[primary];
        std::map<std::int64_t, const TimelineTransition*> transitions;
        for (const TimelineTransition& transition : track.transitions)
            transitions[transition.cut] = &transition;
        for (std::size_t i = 0; i < track.items.size(); ++i) {
            const TimelineItem& item = track.items[i];
            if (item.record.start < cursor) {
                lose(placeOf(track.name, item.record.start), item.isClip() ? "clip" : "gap",
                     "not written: it starts before the item before it ends");
                continue;
            }
            if (item.record.start > cursor) {
                ElementOut gap;
                gap.track = track.name;
                gap.recordIn = cursor;
                gap.recordOut = item.record.start;
                gap.offset = record(cursor);
                gap.duration = record(item.record.start - cursor);
                storyline.push_back(gap);
            }
            const DmSegmentNode* segment =
                primary < m_segments.size() && i < m_segments[primary].size()
                    ? m_segments[primary][i]
                    : nullptr;
            storyline.push_back(elementOf(item, segment, track.name, true));
            cursor = item.record.end();
        }
        end = std::max(end, cursor);
    }

    // Every other track's clips, connected to the storyline, each track on a
    // lane of its own that keeps it where it was among the tracks read back.
    std::vector<int> taken;
    std::vector<std::pair<std::size_t, int>> lanes;
    int after[2] = {0, 0}; // the lanes of the last sound and picture tracks
    for (std::size_t t = 0; t < m_view.tracks.size(); ++t) {
        if (t == primary)
            continue;
        const TimelineTrack& track = m_view.tracks[t];
        const bool video = track.kind != TimelineTrack::Kind::Audio;
        const int lane = laneOf(t, video, after[video], taken);
        if (lane == 0) {
            for (const TimelineItem& item : track.items)
                if (!item.isGap()) {
                    lose(placeOf(track.name, item.record.start), "track",
                         "not written: no lane is left beyond the tracks before it");
                    break;
                }
            continue;
        }
        taken.push_back(lane);
        after[video] = lane;
        lanes.emplace_back(t, lane);
    }
    for (const auto& [t, lane] : lanes) {
        const TimelineTrack& track = m_view.tracks[t];
        const bool video = track.kind != TimelineTrack::Kind::Audio;
        for (const TimelineTransition& transition : track.transitions)
            lose(placeOf(track.name, transition.cut), "transition",
                 "not written: a transition of a connected clip has no storyline to stand in");
        for (std::size_t i = 0; i < track.items.size(); ++i) {
            const TimelineItem& item = track.items[i];
            if (item.isGap())
                continue;
            const DmSegmentNode* segment =
                t < m_segments.size() && i < m_segments[t].size() ? m_segments[t][i] : nullptr;
            ElementOut element = elementOf(item, segment, track.name, video);
            if (element.written == Written::Gap)
                continue;
            element.lane = lane;
            m_connected.push_back(std::move(element));
            end = std::max(end, item.record.end());
        }
    }
    // The storyline lasts as long as anything hangs on it.
    if (end > cursor) {
        ElementOut gap;
        gap.recordIn = cursor;
        gap.recordOut = end;
        gap.offset = record(cursor);
        gap.duration = record(end - cursor);
        storyline.push_back(gap);
    }
    // Each connected clip hangs on the storyline's item under its start, at
    // its place in that item's own time.
    for (std::size_t c = 0; c < m_connected.size(); ++c) {
        ElementOut& element = m_connected[c];
        // The last item starting at or before it (the first when none does).
        const auto after = std::upper_bound(
            storyline.begin(), storyline.end(), element.recordIn,
            [](std::int64_t at, const ElementOut& item) { return at < item.recordIn; });
        ElementOut& base = after == storyline.begin() ? storyline.front() : *(after - 1);
        element.offset = base.start + record(element.recordIn - base.recordIn);
        base.anchored.push_back(c);
    }

    // Transitions of the storyline: centred on their cuts, the items beside
    // them made to overlap them.
    if (primary < m_view.tracks.size()) {
        const TimelineTrack& track = m_view.tracks[primary];
        for (const TimelineTransition& transition : track.transitions) {
            const std::int64_t length = transition.inOffset + transition.outOffset;
            if (length <= 0)
                continue;
            const std::int64_t before = length / 2;
            if (before != transition.inOffset)
                lose(placeOf(track.name, transition.cut), "transition",
                     "centred on its cut: Final Cut Pro's transitions are (" +
                         std::to_string(transition.inOffset) + " frames before it, " +
                         std::to_string(before) + " written)");
        }
    }

    pugi::xml_node library = root.append_child("library");
    const std::string location = keptText(Kept::kLibrary);
    if (!location.empty())
        library.append_attribute("location") = location.c_str();
    pugi::xml_node event = library.append_child("event");
    const std::string eventName = keptText(Kept::kEvent);
    event.append_attribute("name") =
        xmlSafe(eventName.empty() ? m_view.name.empty() ? std::string("Timeline") : m_view.name
                                  : eventName)
            .c_str();
    pugi::xml_node project = event.append_child("project");
    project.append_attribute("name") = xmlSafe(m_view.name).c_str();
    pugi::xml_node sequence = project.append_child("sequence");
    sequence.append_attribute("format") = "r1";
    sequence.append_attribute("duration") = record(end - start).text().c_str();
    sequence.append_attribute("tcStart") = record(start).text().c_str();
    bool tcFormat = false;
    for (const auto& [name, value] : keptPairs(Kept::kSequence)) {
        if (name == "tcFormat" || name == "audioLayout" || name == "audioRate" ||
            name == "renderFormat" || name == "keywords") {
            sequence.append_attribute(name.c_str()) = value.c_str();
            tcFormat = tcFormat || name == "tcFormat";
        }
    }
    if (!tcFormat)
        sequence.append_attribute("tcFormat") =
            Timecode::isDropFrame(Rational(static_cast<int>(m_sequenceFrame.denominator()),
                                           static_cast<unsigned>(m_sequenceFrame.numerator())))
                ? "DF"
                : "NDF";
    pugi::xml_node spine = sequence.append_child("spine");

    // Transitions go between the items they join.
    std::map<std::int64_t, const TimelineTransition*> cuts;
    if (primary < m_view.tracks.size())
        for (const TimelineTransition& transition : m_view.tracks[primary].transitions)
            if (transition.inOffset + transition.outOffset > 0)
                cuts[transition.cut] = &transition;
    for (std::size_t i = 0; i < storyline.size(); ++i) {
        ElementOut& element = storyline[i];
        // The item before a transition written plays on to its end.
        const auto out = cuts.find(element.recordOut);
        if (out != cuts.end() && i + 1 < storyline.size() &&
            storyline[i + 1].recordIn == element.recordOut) {
            const std::int64_t length = out->second->inOffset + out->second->outOffset;
            element.duration = element.duration + record(length - length / 2);
        }
        const auto in = cuts.find(element.recordIn);
        if (in != cuts.end()) {
            const std::int64_t length = in->second->inOffset + in->second->outOffset;
            const Time before = record(length / 2);
            pugi::xml_node transition = spine.append_child("transition");
            if (!in->second->name.empty())
                transition.append_attribute("name") = xmlSafe(in->second->name).c_str();
            transition.append_attribute("offset") = (element.offset - before).text().c_str();
            transition.append_attribute("duration") = record(length).text().c_str();
            element.offset = element.offset - before;
            element.duration = element.duration + before;
            element.start = element.start - before;
            element.head = length / 2;
            cuts.erase(in);
        }
        writeElement(spine, element);
    }
    for (const auto& [cut, transition] : cuts)
        lose(placeOf(m_view.tracks[primary].name, cut), "transition",
             "not written: no item of the storyline starts at its cut");
    for (const std::string& text : [&] {
             std::vector<std::string> children;
             if (!dictionary)
                 return children;
             const auto found = dictionary->FindMember(Kept::kChildren);
             if (found != dictionary->MemberEnd() && found->value.IsArray())
                 for (const auto& child : found->value.GetArray())
                     if (child.IsString())
                         children.emplace_back(child.GetString(), child.GetStringLength());
             return children;
         }()) {
        Child child;
        const TextLines lines(text.c_str(), text.size());
        std::string why;
        if (!Xml::load(text.c_str(), text.size(), lines, child.document, why))
            continue;
        if (isNamed(child.node(), "note"))
            sequence.prepend_copy(child.node());
        else if (isNamed(child.node(), "metadata"))
            sequence.append_copy(child.node());
    }

    std::ostringstream text;
    text << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    m_document.save(text, "    ", pugi::format_indent | pugi::format_no_declaration,
                    pugi::encoding_utf8);
    return text.str();
}

} // namespace

std::string writeDocument(const TimelineView& view, const TimelineSegments& segments,
                          const DmCompositionNode& node, std::int32_t version, LossReport& losses) {
    DocumentWriter writer(view, segments, node, version, losses);
    return writer.write();
}

} // namespace ZEM_0_81::Interchange::Fcpx
