#include "tools/zemcomp/text/Listing.h"

#include "tools/zemcomp/text/JsonText.h"
#include "tools/zemcomp/text/Table.h"
#include "tools/zemcomp/text/TimeText.h"
#include "tools/zemcomp/text/Words.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

/// "86400+48": the first frame and the number of frames.
std::string framesText(std::int64_t start, const std::string& duration) {
    return std::to_string(start) + "+" + duration;
}

/// A frame count as a person reads it: whole, or with three decimals.
std::string countText(const FrameCount& count) {
    if (count.isWhole())
        return std::to_string(count.numerator);
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", count.toDouble());
    return text;
}

std::string trackLabel(const TimelineTrack& track, std::size_t index) {
    return track.name.empty() ? "#" + std::to_string(index + 1) : track.name;
}

std::string effectsText(const TimelineItem& item) {
    std::string text;
    for (const TimelineEffect& effect : item.effects) {
        if (!text.empty())
            text += ",";
        text += effect.name + (effect.muted ? " (off)" : "");
    }
    return text;
}

std::string primaryMedia(const TimelineItem& item) {
    if (item.isGap())
        return {};
    if (item.offline)
        return "(offline)";
    for (const TimelineMedia& media : item.media)
        if (!media.path.empty())
            return media.path;
    return {};
}

/// "#ff8000" of a colour's red, green and blue.
std::string colourText(const Colour& colour) {
    const auto byte = [](float component) {
        const float clamped = component < 0.0f ? 0.0f : component > 1.0f ? 1.0f : component;
        return static_cast<unsigned>(std::lround(clamped * 255.0f));
    };
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(colour.red), byte(colour.green),
                  byte(colour.blue));
    return text;
}

/// True when an item of `view` names its reel, as a cut list gives them.
bool hasReels(const TimelineView& view) {
    for (const TimelineTrack& track : view.tracks)
        for (const TimelineItem& item : track.items)
            if (!item.reel.empty())
                return true;
    return false;
}

std::string clipTable(const TimelineView& view) {
    const Clock clock = Clock::of(view);
    // A REEL column, before MEDIA, only where an item has one: conform looks for it.
    const bool reels = hasReels(view);
    std::vector<std::string> header = {
        "TRACK",  "#>",      "TYPE",        "NAME",     "REC IN",  "REC OUT", "REC FRAMES>",
        "SRC IN", "SRC OUT", "SRC FRAMES>", "SRC RATE", "EFFECTS", "NOTES>",  "MEDIA"};
    if (reels)
        header.insert(header.end() - 1, "REEL");
    Table table(header);
    const auto addRow = [&](std::vector<std::string> row, const std::string& reel) {
        if (reels)
            row.insert(row.end() - 1, reel);
        table.add(std::move(row));
    };
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const TimelineTrack& track = view.tracks[t];
        auto transition = track.transitions.begin();
        // The track's transitions up to `before` (all that are left without one),
        // each on a line of its own.
        const auto addTransitions = [&](const std::int64_t* before) {
            for (; transition != track.transitions.end() && (!before || transition->cut <= *before);
                 ++transition) {
                const FrameRange record = transition->record();
                addRow({trackLabel(track, t), "", "transition", transition->name,
                        timecodeText(record.start, clock), timecodeText(record.end(), clock),
                        framesText(record.start, std::to_string(record.duration)), "", "", "", "",
                        transition->type, "", ""},
                       "");
            }
        };
        for (std::size_t i = 0; i < track.items.size(); ++i) {
            const TimelineItem& item = track.items[i];
            addTransitions(&item.record.start);
            const FrameRange& record = item.record;
            std::vector<std::string> row = {
                trackLabel(track, t),
                std::to_string(i + 1),
                TimelineItem::kindName(item.kind),
                item.name,
                timecodeText(record.start, clock),
                timecodeText(record.end(), clock),
                framesText(record.start, std::to_string(record.duration)),
                "",
                "",
                "",
                "",
                effectsText(item),
                std::to_string(item.notes.size()),
                primaryMedia(item)};
            if (item.isClip()) {
                const SourceRange& source = item.source;
                const std::string duration = countText(source.duration);
                if (source.start) {
                    const Clock sourceClock = clock.at(source.rate);
                    row[7] = timecodeText(*source.start, sourceClock);
                    // An end between two frames is shown at the frame it reaches.
                    const auto end =
                        *source.start +
                        static_cast<std::int64_t>(std::ceil(source.duration.toDouble() - 1e-9));
                    row[8] = timecodeText(end, sourceClock);
                    if (!source.duration.isWhole() && row[8].front() != '~')
                        row[8] = "~" + row[8];
                    row[9] = framesText(*source.start, duration);
                } else {
                    row[7] = row[8] = "?";
                    row[9] = "?+" + duration;
                }
                row[10] = rateText(source.rate);
            }
            addRow(std::move(row), item.reel);
        }
        addTransitions(nullptr);
    }
    return table.empty() ? "  (no clips or gaps)\n" : table.text("  ");
}

std::string trackTable(const TimelineView& view) {
    const Clock clock = Clock::of(view);
    Table table({"#>", "TRACK", "KIND", "CLIPS>", "GAPS>", "START", "END", "FRAMES>"});
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const TimelineTrack& track = view.tracks[t];
        std::uint64_t clips = 0;
        std::uint64_t gaps = 0;
        std::int64_t start = 0;
        std::int64_t end = 0;
        for (std::size_t i = 0; i < track.items.size(); ++i) {
            const TimelineItem& item = track.items[i];
            (item.isClip() ? clips : gaps) += 1;
            if (i == 0 || item.record.start < start)
                start = item.record.start;
            if (i == 0 || item.record.end() > end)
                end = item.record.end();
        }
        const bool empty = track.items.empty();
        table.add({std::to_string(t + 1), track.name, TimelineTrack::kindName(track.kind),
                   std::to_string(clips), std::to_string(gaps),
                   empty ? "-" : timecodeText(start, clock), empty ? "-" : timecodeText(end, clock),
                   empty ? "-" : framesText(start, std::to_string(end - start))});
    }
    return table.empty() ? "  (no tracks)\n" : table.text("  ");
}

std::string mediaTable(const TimelineView& view) {
    const Clock clock = Clock::of(view);
    Table table({"TRACK", "#>", "CLIP", "INPUT", "KIND", "PATH", "AVAILABLE IN", "AVAILABLE OUT",
                 "FRAMES>", "RATE"});
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const TimelineTrack& track = view.tracks[t];
        for (std::size_t i = 0; i < track.items.size(); ++i) {
            const TimelineItem& item = track.items[i];
            if (!item.isClip())
                continue;
            if (item.media.empty()) {
                table.add({trackLabel(track, t), std::to_string(i + 1), item.name, "-", "-",
                           "(offline: no media input)"});
                continue;
            }
            for (std::size_t m = 0; m < item.media.size(); ++m) {
                const TimelineMedia& media = item.media[m];
                const bool known = media.availableStart.has_value();
                const std::int64_t start = known ? *media.availableStart : 0;
                table.add({trackLabel(track, t), std::to_string(i + 1), item.name,
                           m == 0 ? "primary" : std::to_string(m + 1),
                           TimelineMedia::kindName(media.kind),
                           media.path.empty() ? "(no path)" : media.path,
                           known ? timecodeText(start, clock.at(media.rate)) : "?",
                           known
                               ? timecodeText(start + media.availableDuration, clock.at(media.rate))
                               : "?",
                           (known ? std::to_string(start) : std::string("?")) + "+" +
                               std::to_string(media.availableDuration),
                           rateText(media.rate)});
            }
        }
    }
    return table.empty() ? "  (no clips)\n" : table.text("  ");
}

std::string noteTable(const TimelineView& view) {
    const Clock clock = Clock::of(view);
    Table table({"TRACK", "#>", "ON", "KIND", "IN", "OUT", "FRAMES>", "COLOUR", "TEXT"});
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const TimelineTrack& track = view.tracks[t];
        for (std::size_t i = 0; i < track.items.size(); ++i) {
            const TimelineItem& item = track.items[i];
            const auto add = [&](const FrameRange& range, const char* kind, std::string colour,
                                 std::string text, bool visible) {
                table.add({trackLabel(track, t), std::to_string(i + 1), item.name, kind,
                           timecodeText(range.start, clock), timecodeText(range.end(), clock),
                           framesText(range.start, std::to_string(range.duration)),
                           std::move(colour), visible ? std::move(text) : text + " (hidden)"});
            };
            for (const TimelineNote& note : item.notes)
                add(note.range, "note", colourText(note.colour), note.text, note.visible);
            for (const TimelinePaint& paint : item.paint)
                add(paint.range, "paint", "-",
                    plural(paint.strokes, "stroke") + ", " + plural(paint.points, "point"),
                    paint.visible);
        }
    }
    return table.empty() ? "  (no notes)\n" : table.text("  ");
}

/// The shortest text that reads back to `value`.
std::string shortest(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

void writeRate(Writer& writer, const Rational& rate) {
    writer.StartArray();
    writer.Int(rate.getNumerator());
    writer.Uint(rate.getDenominator());
    writer.EndArray();
}

void writeRange(Writer& writer, const FrameRange& range) {
    writer.StartObject();
    writer.Key("start");
    writer.Int64(range.start);
    writer.Key("duration");
    writer.Int64(range.duration);
    writer.EndObject();
}

} // namespace

void writeItemJson(Writer& writer, const TimelineItem& item) {
    writer.StartObject();
    // The view calls it the item's kind; the listing's JSON has always said "type".
    writer.Key("type");
    writer.String(TimelineItem::kindName(item.kind));
    writer.Key("name");
    writeString(writer, item.name);
    if (!item.reel.empty()) {
        writer.Key("reel");
        writeString(writer, item.reel);
    }
    writer.Key("record");
    writeRange(writer, item.record);
    writer.Key("source");
    writer.StartObject();
    writer.Key("start");
    if (item.source.start)
        writer.Int64(*item.source.start);
    else
        writer.Null();
    writer.Key("duration");
    if (item.source.duration.isWhole())
        writer.Int64(item.source.duration.numerator);
    else
        writer.Double(item.source.duration.toDouble());
    writer.Key("rate");
    writeRate(writer, item.source.rate);
    writer.EndObject();
    writer.Key("media");
    writer.StartArray();
    for (const TimelineMedia& media : item.media)
        if (!media.path.empty())
            writeString(writer, media.path);
    writer.EndArray();
    writer.Key("effects");
    writer.StartArray();
    for (const TimelineEffect& effect : item.effects)
        writeString(writer, effect.name);
    writer.EndArray();
    writer.Key("notes");
    writer.StartArray();
    for (const TimelineNote& note : item.notes) {
        writer.StartObject();
        writer.Key("text");
        writeString(writer, note.text);
        writer.Key("start");
        writer.Int64(note.range.start);
        writer.Key("duration");
        writer.Int64(note.range.duration);
        writer.Key("colour");
        writer.StartArray();
        for (float component :
             {note.colour.red, note.colour.green, note.colour.blue, note.colour.alpha})
            writer.Double(std::isfinite(component) ? component : 0.0);
        writer.EndArray();
        writer.Key("visible");
        writer.Bool(note.visible);
        writer.EndObject();
    }
    writer.EndArray();
    if (item.isClip()) {
        writer.Key("offline");
        writer.Bool(item.offline);
    }
    writer.Key("paint");
    writer.Bool(item.hasPaint());
    writer.EndObject();
}

namespace {

/// "transitions":[...] of `track`, when it has any.
void writeTransitions(Writer& writer, const TimelineTrack& track) {
    if (track.transitions.empty())
        return;
    writer.Key("transitions");
    writer.StartArray();
    for (const TimelineTransition& transition : track.transitions) {
        writer.StartObject();
        writer.Key("name");
        writeString(writer, transition.name);
        writer.Key("type");
        writeString(writer, transition.type);
        writer.Key("cut");
        writer.Int64(transition.cut);
        writer.Key("in_offset");
        writer.Int64(transition.inOffset);
        writer.Key("out_offset");
        writer.Int64(transition.outOffset);
        writer.Key("record");
        writeRange(writer, transition.record());
        writer.EndObject();
    }
    writer.EndArray();
}

} // namespace

std::string viewHeadline(const TimelineView& view) {
    if (!view.hasTimeline)
        return "no timeline";
    const Clock clock = Clock::of(view);
    std::string text = "\"" + view.name + "\" at " + rateText(view.rate) + " fps";
    if (clock.converts())
        text += " (timecode at " + rateText(clock.shown) + " fps)";
    text += ", start " + timecodeText(view.start, clock) + ", duration " +
            timeText(view.duration, clock) + ", " + plural(view.tracks.size(), "track");
    return text;
}

std::string looksTable(const TimelineView& view, const std::vector<AscCdl::ClipLook>& looks) {
    const auto numbers = [](const std::array<double, 3>& values) {
        return shortest(values[0]) + " " + shortest(values[1]) + " " + shortest(values[2]);
    };
    const Clock clock = Clock::of(view);
    Table table(
        {"TRACK", "#>", "NAME", "REC IN", "REC OUT", "SLOPE", "OFFSET", "POWER", "SAT", "ON"});
    for (const AscCdl::ClipLook& clip : looks) {
        const AscCdl::Look& look = clip.look;
        table.add({trackLabel(view.tracks.at(clip.track), clip.track),
                   std::to_string(clip.item + 1), clip.name, timecodeText(clip.record.start, clock),
                   timecodeText(clip.record.end(), clock), numbers(look.slope),
                   numbers(look.offset), numbers(look.power), shortest(look.saturation),
                   clip.muted ? "off" : "on"});
    }
    return table.empty() ? "  (no looks)\n" : table.text("  ");
}

std::string listText(const TimelineView& view, ListSelection selection) {
    switch (selection) {
    case ListSelection::Tracks:
        return trackTable(view);
    case ListSelection::Media:
        return mediaTable(view);
    case ListSelection::Notes:
        return noteTable(view);
    case ListSelection::Clips:
    default:
        return clipTable(view);
    }
}

std::string listJson(const TimelineView& view, const std::string& file,
                     const std::string& dialect) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("file");
    writeString(writer, file);
    writer.Key("dialect");
    writeString(writer, dialect);
    writer.Key("timeline");
    writer.Bool(view.hasTimeline);
    writer.Key("name");
    writeString(writer, view.name);
    writer.Key("rate");
    writeRate(writer, view.rate);
    writer.Key("picture_rate");
    writeRate(writer, view.pictureRate);
    writer.Key("start");
    writer.Int64(view.start);
    writer.Key("duration");
    writer.Int64(view.duration);
    writer.Key("tracks");
    writer.StartArray();
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const TimelineTrack& track = view.tracks[t];
        writer.StartObject();
        writer.Key("name");
        writeString(writer, track.name);
        writer.Key("kind");
        writer.String(TimelineTrack::kindName(track.kind));
        writer.Key("items");
        writer.StartArray();
        for (const TimelineItem& item : track.items)
            writeItemJson(writer, item);
        writer.EndArray();
        writeTransitions(writer, track);
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

} // namespace zemcomp
