#include "interchange/fcpxml/StoryWalk.h"

#include "interchange/fcpxml/FcpxmlKept.h"
#include "interchange/fcpxml/TimeMap.h"
#include "interchange/kept/ForeignMembers.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ZEM_0_81::Interchange::Fcpx {

namespace {

/// The story elements that play media of an asset or an effect of their own.
bool playsMedia(const pugi::xml_node& node) {
    return isNamed(node, "asset-clip") || isNamed(node, "video") || isNamed(node, "audio") ||
           isNamed(node, "title");
}

/// The time attribute `name` of `node`: true with `time` when it holds one;
/// false when absent, and reported when it holds no time.
bool timeAttribute(const pugi::xml_node& node, const char* name, Time& time,
                   ElementReport& report) {
    const pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        return false;
    if (parseTime(attribute.value(), time))
        return true;
    report.lose(node, std::string("its ") + name + " \"" + attribute.value() +
                          "\" is no time: read as if absent");
    return false;
}

/// The lane of `node`: 0 when absent or not a whole number.
int laneOf(const pugi::xml_node& node) {
    const char* text = node.attribute("lane").value();
    char* end = nullptr;
    const long lane = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || lane < -kMaxLane || lane > kMaxLane)
        return 0;
    return static_cast<int>(lane);
}

/// How an element's local time maps to its media's: a time map's points, or
/// rate conforming frame for frame, or the same time.
struct Timing {
    TimeMap map;
    Time conformedFrame = Time::invalid();
    pugi::xml_node timeMap;
    pugi::xml_node conform;

    bool retimed() const { return !map.empty(); }
    Time at(const Time& t) const { return map.at(t); }
};

/// `report` (when not null) is told of the points that cannot be read.
Timing timingOf(const pugi::xml_node& node, const Asset* asset, const Time& sequenceFrame,
                ElementReport* report) {
    Timing timing;
    if (const pugi::xml_node map = node.child("timeMap")) {
        timing.timeMap = map;
        timing.map = TimeMap::read(map, report);
    }
    if (const pugi::xml_node conform = node.child("conform-rate")) {
        timing.conform = conform;
        const pugi::xml_attribute scale = conform.attribute("scaleEnabled");
        const bool scaled = !scale || isYes(scale);
        // The rate it says it conforms from, else its media's.
        Time frame = conformFrameOf(conform.attribute("srcFrameRate").value());
        if (!frame.valid() && asset && asset->format)
            frame = asset->format->frameDuration;
        if (scaled && frame.valid() && frame != sequenceFrame && !timing.retimed())
            timing.conformedFrame = frame;
    }
    return timing;
}

} // namespace

std::size_t storyElementsIn(const pugi::xml_node& node) {
    // Down to the first child, else along to the next sibling, else back up:
    // every element below `node` once, without recursion.
    std::size_t count = 0;
    pugi::xml_node at = node.first_child();
    while (at && at != node) {
        if (at.type() == pugi::node_element && isStoryElement(at.name()) && !isNamed(at, "spine"))
            ++count;
        if (at.first_child()) {
            at = at.first_child();
            continue;
        }
        while (at && at != node && !at.next_sibling())
            at = at.parent();
        if (at && at != node)
            at = at.next_sibling();
    }
    return count;
}

bool isStoryElement(const char* name) {
    static const char* const kNames[] = {
        "asset-clip", "clip",     "gap",       "spine",    "video",   "audio",       "title",
        "mc-clip",    "ref-clip", "sync-clip", "audition", "caption", "live-drawing"};
    for (const char* known : kNames)
        if (std::strcmp(name, known) == 0)
            return true;
    return false;
}

pugi::xml_node pickOf(const pugi::xml_node& node) {
    if (!isNamed(node, "audition"))
        return node;
    for (const pugi::xml_node child : node.children())
        if (child.type() == pugi::node_element && isStoryElement(child.name()))
            return child;
    return {};
}

/// What a window of an element's local time plays: one media, from `mediaIn`.
struct StoryWalk::Resolved {
    Time localIn;
    Time localOut;
    TrackKind kind = TrackKind::Picture;
    PieceMedia media = PieceMedia::Offline;
    const Asset* asset = nullptr;
    const Effect* effect = nullptr;
    Time mediaIn;
    Time ratio = Time(1, 1);
    Time conformedFrame = Time::invalid();
};

void StoryWalk::run(const pugi::xml_node& spine) {
    m_jobs.push_back(Job{spine, true, Time(), 0, Window()});
    while (!m_jobs.empty()) {
        const Job job = m_jobs.back();
        m_jobs.pop_back();
        if (job.spine) {
            this->spine(job);
            continue;
        }
        const pugi::xml_node pick = pickOf(job.node);
        if (pick)
            element(pick, job.node, job.at, job.lane, job.window);
        else
            m_report.lose(job.node, "not read: the audition holds no clip");
    }
}

void StoryWalk::spine(const Job& job) {
    struct Pending {
        pugi::xml_node node;
        Time start;
        Time duration;
        std::vector<std::size_t> before;
        std::vector<std::size_t> after;
    };
    std::vector<Pending> pending;
    std::size_t waiting = 0; ///< the first transition that has no item after it yet
    std::vector<std::size_t> last;
    Time cursor;
    for (const pugi::xml_node child : job.node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        if (isNamed(child, "transition")) {
            Pending transition{child, cursor, Time::invalid(), last, {}};
            if (!timeAttribute(child, "duration", transition.duration, m_report) ||
                transition.duration.negative()) {
                m_report.lose(child, "not read: it has no duration");
                continue;
            }
            // Without an offset it overlaps the end of the item before it.
            if (!timeAttribute(child, "offset", transition.start, m_report))
                transition.start = cursor - transition.duration;
            pending.push_back(transition);
            // The next item starts where the transition does: they overlap.
            cursor = transition.start;
            continue;
        }
        if (!isStoryElement(child.name()) || isNamed(child, "spine")) {
            m_report.lose(child, "not read: a storyline holds no such element");
            continue;
        }
        const pugi::xml_node pick = pickOf(child);
        if (!pick) {
            m_report.lose(child, "not read: the audition holds no clip");
            continue;
        }
        Time offset = cursor;
        if (!timeAttribute(child, "offset", offset, m_report))
            timeAttribute(pick, "offset", offset, m_report);
        if (laneOf(child) != 0)
            m_report.lose(child, "its lane is not read: an item of a storyline plays in it");
        last = element(pick, child, job.at + offset, job.lane, job.window);
        Time duration;
        if (timeAttribute(pick, "duration", duration, m_report))
            cursor = offset + duration;
        else if (!last.empty())
            cursor = m_pieces[last.back()].recordOut - job.at;
        else
            cursor = offset;
        for (; waiting < pending.size(); ++waiting) {
            pending[waiting].after = last;
        }
    }

    for (const Pending& transition : pending) {
        // A transition is centred on its cut, on a frame: half its frames
        // (rounded down) before it.
        Time half = transition.duration / Time(2, 1);
        const Time frames = transition.duration / m_frame;
        if (frames.whole())
            half = Time(frames.numerator() / 2, 1) * m_frame;
        const Time cut = transition.start + job.at + half;
        if (!cut.valid()) {
            m_report.lose(transition.node, "not read: its times are beyond reach");
            continue;
        }
        TrackKind kind = TrackKind::Picture;
        bool sound = !transition.before.empty() || !transition.after.empty();
        for (const auto* side : {&transition.before, &transition.after})
            for (const std::size_t index : *side) {
                sound = sound && m_pieces[index].kind == TrackKind::Sound;
            }
        if (sound)
            kind = TrackKind::Sound;
        for (const std::size_t index : transition.before) {
            Piece& piece = m_pieces[index];
            if (piece.lane != job.lane || piece.kind != kind || piece.recordOut <= cut)
                continue;
            if (piece.recordIn >= cut)
                piece.removed = true;
            else
                piece.recordOut = cut;
        }
        for (const std::size_t index : transition.after) {
            Piece& piece = m_pieces[index];
            if (piece.lane != job.lane || piece.kind != kind || piece.recordIn >= cut)
                continue;
            if (piece.recordOut <= cut) {
                piece.removed = true;
                continue;
            }
            piece.mediaIn = piece.mediaIn + (cut - piece.recordIn) * piece.ratio;
            piece.recordIn = cut;
        }
        m_transitions.push_back(PlacedTransition{
            transition.node, job.lane, kind, transition.start + job.at, transition.duration, cut});
    }
}

std::vector<std::size_t> StoryWalk::element(const pugi::xml_node& node,
                                            const pugi::xml_node& offsetFrom, const Time& recordIn,
                                            int lane, const Window& window) {
    std::vector<std::size_t> own;
    if (isNamed(offsetFrom, "audition")) {
        bool first = true;
        for (const pugi::xml_node child : offsetFrom.children())
            if (child.type() == pugi::node_element && isStoryElement(child.name())) {
                if (!first)
                    m_report.lose(child, "not read: an alternative of an audition, which plays "
                                         "its pick");
                first = false;
            }
    }
    if (!recordIn.valid()) {
        m_report.lose(node, "not read: its place is beyond reach");
        return own;
    }
    const Asset* asset =
        playsMedia(node) ? m_resources.asset(node.attribute("ref").value()) : nullptr;
    Time start = asset ? asset->start : Time();
    timeAttribute(node, "start", start, m_report);
    Time duration = Time::invalid();
    if (!timeAttribute(node, "duration", duration, m_report) && asset && asset->duration.valid())
        duration = asset->duration - (start - asset->start);
    if (!duration.valid() || duration.negative()) {
        m_report.lose(node, "not read: it has no duration");
        return own;
    }
    const Time shift = recordIn - start;

    std::vector<Resolved> resolved;
    resolve(node, start, start + duration, 0, resolved);
    bool picture = false;
    for (const Resolved& r : resolved)
        picture = picture || r.kind == TrackKind::Picture;
    bool droppedSound = false;
    for (const Resolved& r : resolved) {
        if (picture && r.kind == TrackKind::Sound) {
            droppedSound = true;
            continue;
        }
        Piece piece;
        piece.recordIn = shift + r.localIn;
        piece.recordOut = shift + r.localOut;
        piece.mediaIn = r.mediaIn;
        piece.ratio = r.ratio;
        if (window.set) {
            // What lies outside the clip it belongs to does not play.
            if (piece.recordIn < window.in) {
                piece.mediaIn = piece.mediaIn + (window.in - piece.recordIn) * piece.ratio;
                piece.recordIn = window.in;
            }
            piece.recordOut = min(piece.recordOut, window.out);
        }
        if (!piece.recordIn.valid() || !piece.recordOut.valid() ||
            piece.recordOut <= piece.recordIn)
            continue;
        piece.lane = lane;
        piece.kind = r.kind;
        piece.media = r.media;
        piece.asset = r.asset;
        piece.effect = r.effect;
        piece.conformedFrame = r.conformedFrame;
        piece.element = node;
        own.push_back(m_pieces.size());
        m_pieces.push_back(std::move(piece));
    }
    if (droppedSound)
        m_report.lose(node, "its sound of other media is not read: a clip with picture is read "
                            "as its picture");
    if (isNamed(node, "gap") && lane == 0 && !window.set) {
        Piece gap;
        gap.recordIn = recordIn;
        gap.recordOut = recordIn + duration;
        gap.element = node;
        if (gap.recordOut.valid() && gap.recordIn < gap.recordOut) {
            own.push_back(m_pieces.size());
            m_pieces.push_back(std::move(gap));
        }
    }

    // The name, what is kept, and whether it plays, on every piece it places.
    std::string name = node.attribute("name").value();
    if (name.empty() && asset)
        name = asset->name;
    const bool disabled = node.attribute("enabled") && !isYes(node.attribute("enabled"));
    if (disabled)
        m_report.lose(node, std::string("disabled: it plays nothing in Final Cut Pro") +
                                ForeignMembers::Leftovers::kDisabledNote);
    Piece kept;
    keep(node, kept);
    for (const std::size_t index : own) {
        Piece& piece = m_pieces[index];
        piece.name = name;
        piece.disabled = disabled;
        piece.kept = kept.kept;
        piece.speed = kept.speed;
    }

    // Markers on the pieces that hold them.
    for (const pugi::xml_node child : node.children()) {
        if (!isNamed(child, "marker") && !isNamed(child, "chapter-marker"))
            continue;
        Time at, length;
        if (!timeAttribute(child, "start", at, m_report)) {
            m_report.lose(child, "not read: it has no start");
            continue;
        }
        timeAttribute(child, "duration", length, m_report);
        const Time recordAt = shift + at;
        Piece* holder = nullptr;
        for (const std::size_t index : own) {
            Piece& piece = m_pieces[index];
            if (!piece.removed && piece.recordIn <= recordAt && recordAt < piece.recordOut)
                holder = &piece;
        }
        if (!holder) {
            m_report.lose(child, "not read: it lies outside what its clip plays");
            continue;
        }
        holder->markers.push_back(PlacedMarker{child, recordAt, length});
    }

    // Items anchored to it, at their offsets in its local time. Those of a
    // clip that holds others (a clip, a synchronised clip) are part of it,
    // and play only while it does.
    const bool container = isNamed(node, "clip") || isNamed(node, "sync-clip");
    Window inside = window;
    if (container) {
        const Time out = recordIn + duration;
        inside.in = window.set ? max(window.in, recordIn) : recordIn;
        inside.out = window.set ? min(window.out, out) : out;
        inside.set = true;
    }
    for (const pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element || !isStoryElement(child.name()))
            continue;
        const int childLane = laneOf(child);
        if (childLane == 0) {
            if (!container)
                m_report.lose(child, "not read: an anchored item needs a lane other than 0");
            continue;
        }
        Time offset;
        const pugi::xml_node pick = pickOf(child);
        if (!timeAttribute(child, "offset", offset, m_report) && pick)
            timeAttribute(pick, "offset", offset, m_report);
        const long long total = static_cast<long long>(lane) + childLane;
        if (total < -kMaxLane || total > kMaxLane) {
            m_report.lose(child, "not read: its lane is beyond reach");
            continue;
        }
        m_jobs.push_back(
            Job{child, isNamed(child, "spine"), shift + offset, static_cast<int>(total), inside});
    }
    return own;
}

void StoryWalk::resolve(const pugi::xml_node& node, const Time& from, const Time& to, int depth,
                        std::vector<Resolved>& out) {
    if (!(from < to))
        return;
    Resolved piece;
    piece.localIn = from;
    piece.localOut = to;
    if (depth > kMaxNesting) {
        m_report.lose(node, "approximated: nested too deeply, read as offline media");
        piece.mediaIn = from;
        out.push_back(piece);
        return;
    }
    if (isNamed(node, "gap"))
        return;
    if (isNamed(node, "ref-clip")) {
        const Media* media = m_resources.media(node.attribute("ref").value());
        std::size_t inside = 0;
        if (media && media->sequence)
            inside = storyElementsIn(media->sequence);
        m_report.lose(node, "approximated: a compound clip, read as one offline clip of its "
                            "length; the " +
                                std::to_string(inside) + " items inside it are not read");
        piece.mediaIn = from;
        out.push_back(piece);
        return;
    }
    if (playsMedia(node)) {
        const char* ref = node.attribute("ref").value();
        piece.asset = m_resources.asset(ref);
        piece.effect = piece.asset ? nullptr : m_resources.effect(ref);
        if (piece.asset) {
            piece.media = PieceMedia::Asset;
            const char* enable = node.attribute("srcEnable").value();
            const bool video =
                piece.asset->video && !isNamed(node, "audio") && std::strcmp(enable, "audio") != 0;
            const bool sound = piece.asset->audio || !piece.asset->video;
            piece.kind =
                video || !sound || isNamed(node, "video") ? TrackKind::Picture : TrackKind::Sound;
        } else if (piece.effect) {
            piece.media = PieceMedia::Generated;
            piece.kind = isNamed(node, "audio") ? TrackKind::Sound : TrackKind::Picture;
        } else {
            m_report.lose(node, std::string("approximated: it refers to no asset or effect \"") +
                                    ref + "\", read as offline media");
            piece.kind = isNamed(node, "audio") ? TrackKind::Sound : TrackKind::Picture;
        }
        const Timing timing = timingOf(node, piece.asset, m_frame, nullptr);
        piece.mediaIn = timing.at(from);
        piece.conformedFrame =
            piece.media == PieceMedia::Asset ? timing.conformedFrame : Time::invalid();
        if (timing.retimed()) {
            const Time slope = (timing.at(to) - timing.at(from)) / (to - from);
            if (slope.valid())
                piece.ratio = slope;
        }
        out.push_back(piece);
        return;
    }
    if (isNamed(node, "clip") || isNamed(node, "sync-clip")) {
        const Timing timing = timingOf(node, nullptr, m_frame, nullptr);
        // Contained items count in the clip's own time, which a time map does
        // not change: the window starts where the map puts its first instant.
        const Time origin = timing.at(from);
        const std::size_t before = out.size();
        collect(node, Time(), origin, origin + (to - from), depth + 1, true, out);
        for (std::size_t i = before; i < out.size(); ++i) {
            out[i].localIn = out[i].localIn - origin + from;
            out[i].localOut = out[i].localOut - origin + from;
        }
        return;
    }
    if (isNamed(node, "mc-clip")) {
        const Media* media = m_resources.media(node.attribute("ref").value());
        if (!media || !media->multicam) {
            m_report.lose(node, "approximated: it refers to no multicam media, read as "
                                "offline media");
            piece.mediaIn = from;
            out.push_back(piece);
            return;
        }
        // The active angle of the picture, else of the sound, else the first.
        const bool soundOnly = std::strcmp(node.attribute("srcEnable").value(), "audio") == 0;
        std::string angle;
        for (const char* wanted : {"video", "audio"}) {
            if (soundOnly && std::strcmp(wanted, "video") == 0)
                continue;
            for (const pugi::xml_node source : node.children("mc-source")) {
                const char* enable = source.attribute("srcEnable").value();
                if (angle.empty() && (std::strcmp(enable, wanted) == 0 ||
                                      std::strcmp(enable, "all") == 0 || *enable == '\0'))
                    angle = source.attribute("angleID").value();
            }
        }
        pugi::xml_node chosen;
        for (const pugi::xml_node candidate : media->multicam.children("mc-angle"))
            if (!chosen && (angle.empty() || angle == candidate.attribute("angleID").value()))
                chosen = candidate;
        if (!chosen) {
            m_report.lose(node, "approximated: its active angle \"" + angle +
                                    "\" is none of the multicam's, read as offline media");
            piece.mediaIn = from;
            out.push_back(piece);
            return;
        }
        const std::size_t before = out.size();
        collect(chosen, Time(), from, to, depth + 1, false, out);
        if (soundOnly)
            for (std::size_t i = before; i < out.size(); ++i)
                out[i].kind = TrackKind::Sound;
        return;
    }
    m_report.lose(node, "not read: the edit tree plays nothing of this kind");
}

void StoryWalk::collect(const pugi::xml_node& parent, const Time& base, const Time& from,
                        const Time& to, int depth, bool contained, std::vector<Resolved>& out) {
    if (depth > kMaxNesting) {
        m_report.lose(parent, "approximated: nested too deeply, read as offline media");
        Resolved offline;
        offline.localIn = from;
        offline.localOut = to;
        offline.mediaIn = from;
        if (from < to)
            out.push_back(offline);
        return;
    }
    Time cursor; // where an item without an offset starts, in the parent's time
    for (const pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element || !isStoryElement(child.name()))
            continue;
        if (contained && laneOf(child) != 0)
            continue; // anchored to the clip: placed by the clip's walk
        if (isNamed(child, "spine")) {
            Time offset;
            timeAttribute(child, "offset", offset, m_report);
            collect(child, base + offset, from, to, depth + 1, false, out);
            continue;
        }
        const pugi::xml_node pick = pickOf(child);
        if (!pick)
            continue;
        Time local = cursor;
        if (!timeAttribute(child, "offset", local, m_report))
            timeAttribute(pick, "offset", local, m_report);
        const Time offset = base + local;
        const Asset* asset =
            playsMedia(pick) ? m_resources.asset(pick.attribute("ref").value()) : nullptr;
        Time start = asset ? asset->start : Time();
        timeAttribute(pick, "start", start, m_report);
        Time duration = Time::invalid();
        if (!timeAttribute(pick, "duration", duration, m_report) && asset &&
            asset->duration.valid())
            duration = asset->duration - (start - asset->start);
        if (!duration.valid() || duration.negative())
            continue;
        cursor = local + duration;
        const Time in = max(from, offset), end = min(to, offset + duration);
        if (!in.valid() || !end.valid() || !(in < end))
            continue;
        std::size_t anchored = 0;
        for (const pugi::xml_node item : pick.children())
            anchored += isStoryElement(item.name()) && laneOf(item) != 0 ? 1 : 0;
        if (anchored > 0)
            m_report.lose(pick, std::to_string(anchored) +
                                    " items anchored inside a clip are not read: the clip is "
                                    "read as what it plays");
        const std::size_t before = out.size();
        resolve(pick, start + (in - offset), start + (end - offset), depth, out);
        for (std::size_t i = before; i < out.size(); ++i) {
            out[i].localIn = out[i].localIn - start + offset;
            out[i].localOut = out[i].localOut - start + offset;
        }
    }
}

void StoryWalk::keep(const pugi::xml_node& node, Piece& piece) {
    const Asset* asset =
        playsMedia(node) ? m_resources.asset(node.attribute("ref").value()) : nullptr;
    const Timing timing = timingOf(node, asset, m_frame, &m_report);
    KeptElement kept;
    kept.element = node.name();
    if (node.attribute("audioStart") || node.attribute("audioDuration"))
        m_report.lose(node, "its split edit (audioStart, audioDuration) is not read: its sound "
                            "is read as lasting as its picture");
    for (const char* attribute : {"audioRole", "videoRole", "role", "srcEnable"})
        if (const pugi::xml_attribute value = node.attribute(attribute))
            kept.attributes.emplace_back(attribute, value.value());
    if (const Effect* effect = m_resources.effect(node.attribute("ref").value())) {
        kept.effectName = effect->name;
        kept.effectUid = effect->uid;
        kept.effectSrc = effect->node.attribute("src").value();
    }
    if (timing.conform)
        kept.children.push_back(xmlText(timing.conform));
    // Media played frame for frame counts its own frames: their duration is
    // kept, so that its times are written back as the media's.
    if (timing.conformedFrame.valid())
        kept.attributes.emplace_back(Kept::kConformedFrame, timing.conformedFrame.text());
    if (timing.timeMap) {
        kept.children.push_back(xmlText(timing.timeMap));
        // Its own time is the retimed one: kept, so that the map is written
        // back over the same time.
        kept.attributes.emplace_back("start", node.attribute("start").value());
        const auto& points = timing.map.points;
        const Time first = points.empty() ? Time() : points.front().first;
        const Time last = points.empty() ? Time() : points.back().first;
        const Time slope =
            last > first ? (timing.at(last) - timing.at(first)) / (last - first) : Time();
        const bool freeze = slope.isZero();
        if (!(slope == Time(1, 1))) {
            piece.speed = speedText(freeze, slope.toDouble(), xmlText(timing.timeMap));
            m_report.lose(timing.timeMap,
                          std::string(freeze ? "freeze frame" : "speed " + speedWords(slope)) +
                              " not applied: the clip plays its record length from its first "
                              "frame" +
                              ForeignMembers::Leftovers::kKeptNote);
        }
    }
    for (const pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const char* name = child.name();
        // What a title shows (its parameters, texts and their styles) is
        // kept with it, as notes, keywords, ratings and metadata are.
        const bool titleContent =
            isNamed(node, "title") &&
            (isNamed(child, "param") || isNamed(child, "text") || isNamed(child, "text-style-def"));
        if (titleContent || isNamed(child, "note") || isNamed(child, "keyword") ||
            isNamed(child, "rating") || isNamed(child, "metadata"))
            kept.children.push_back(xmlText(child));
        else if (isStoryElement(name) || isNamed(child, "marker") ||
                 isNamed(child, "chapter-marker") || isNamed(child, "conform-rate") ||
                 isNamed(child, "timeMap") || isNamed(child, "mc-source") ||
                 isNamed(child, "sync-source"))
            continue;
        else
            m_report.lose(child, "not read: the edit tree has no place for it");
    }
    piece.kept = keptText(kept);
}

} // namespace ZEM_0_81::Interchange::Fcpx
