#include "tools/zemcomp/text/ChangeList.h"

#include "tools/zemcomp/text/JsonText.h"
#include "tools/zemcomp/text/Listing.h"
#include "tools/zemcomp/text/Table.h"
#include "tools/zemcomp/text/TimeText.h"

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>
#include <iterator>

namespace zemcomp {

using namespace ZEM_0_81;

namespace {

using Change = CutComparison::Change;
constexpr Change kChanges[] = {Change::Same,    Change::Moved, Change::Trimmed, Change::Slipped,
                               Change::Version, Change::Added, Change::Removed};

const TimelineTrack* trackOf(const TimelineView& view, const std::optional<std::size_t>& track) {
    return track ? &view.tracks[*track] : nullptr;
}

const TimelineItem* itemOf(const TimelineView& view, const std::optional<std::size_t>& track,
                           const std::optional<std::size_t>& item) {
    return track && item ? &view.tracks[*track].items[*item] : nullptr;
}

/// "V1", or "#2" for a track without a name; "(none)" without a track.
std::string trackLabel(const TimelineView& view, const std::optional<std::size_t>& track) {
    if (!track)
        return "(none)";
    const std::string& name = view.tracks[*track].name;
    return name.empty() ? "#" + std::to_string(*track + 1) : name;
}

/// "+2", "-1", "0".
std::string signedText(std::int64_t frames) {
    return (frames > 0 ? "+" : "") + std::to_string(frames);
}

std::string primaryMedia(const TimelineItem* item) {
    if (item)
        for (const TimelineMedia& media : item->media)
            if (!media.path.empty())
                return media.path;
    return {};
}

std::string mediaText(const TimelineItem* before, const TimelineItem* after) {
    const std::string was = primaryMedia(before);
    const std::string is = primaryMedia(after);
    if (was.empty() || is.empty() || was == is)
        return is.empty() ? was : is;
    return was + " -> " + is;
}

std::string alsoText(const CutComparison::ClipChange& change) {
    std::string text;
    for (const CutComparison::Also also : change.also)
        text += (text.empty() ? "" : ",") + std::string(CutComparison::alsoName(also));
    return text;
}

std::string trackTable(const CutComparison::Result& result,
                       const CutComparison::TrackChanges& track) {
    const Clock oldClock = Clock::of(result.oldView);
    const Clock newClock = Clock::of(result.newView);
    Table table({"CHANGE", "ALSO", "OLD REC IN", "NEW REC IN", "HEAD>", "TAIL>", "SHIFT>",
                 "OLD NAME", "NEW NAME", "MEDIA"});
    for (const CutComparison::ClipChange& change : track.changes) {
        const TimelineItem* before = itemOf(result.oldView, track.oldTrack, change.oldItem);
        const TimelineItem* after = itemOf(result.newView, track.newTrack, change.newItem);
        const bool paired = before && after;
        table.add({CutComparison::changeName(change.change), alsoText(change),
                   before ? timecodeText(before->record.start, oldClock) : "-",
                   after ? timecodeText(after->record.start, newClock) : "-",
                   paired ? signedText(change.head) : "", paired ? signedText(change.tail) : "",
                   paired ? signedText(change.shift) : "", before ? before->name : "",
                   after ? after->name : "", mediaText(before, after)});
    }
    return table.empty() ? "  (no clips)\n" : table.text("  ");
}

using Writer = rapidjson::Writer<rapidjson::StringBuffer>;

void writeTrackName(Writer& writer, const TimelineTrack* track) {
    if (track)
        writeString(writer, track->name);
    else
        writer.Null();
}

void writeItem(Writer& writer, const TimelineItem* item) {
    if (item)
        writeItemJson(writer, *item);
    else
        writer.Null();
}

} // namespace

std::string changeTable(const CutComparison::Result& result) {
    std::string text;
    for (const CutComparison::TrackChanges& track : result.tracks)
        text += "track " + trackLabel(result.oldView, track.oldTrack) + " -> " +
                trackLabel(result.newView, track.newTrack) + "\n" + trackTable(result, track);
    return text;
}

std::string changeSummary(const CutComparison::Result& result) {
    std::array<std::size_t, std::size(kChanges)> counts{};
    std::size_t clips = 0;
    for (const CutComparison::TrackChanges& track : result.tracks)
        for (const CutComparison::ClipChange& change : track.changes) {
            ++counts[static_cast<std::size_t>(change.change)];
            ++clips;
        }
    if (clips == 0)
        return "no clips";
    std::string text = std::to_string(clips) + (clips == 1 ? " clip:" : " clips:");
    const char* separator = " ";
    for (const Change change : kChanges) {
        const std::size_t count = counts[static_cast<std::size_t>(change)];
        if (count == 0)
            continue;
        text += separator + std::to_string(count) + " " + CutComparison::changeName(change);
        separator = ", ";
    }
    return text;
}

std::string changeJson(const CutComparison::Result& result, const std::string& oldFile,
                       const std::string& newFile) {
    rapidjson::StringBuffer buffer;
    Writer writer(buffer);
    writer.StartObject();
    writer.Key("old");
    writeString(writer, oldFile);
    writer.Key("new");
    writeString(writer, newFile);
    writer.Key("tracks");
    writer.StartArray();
    for (const CutComparison::TrackChanges& track : result.tracks) {
        writer.StartObject();
        writer.Key("old");
        writeTrackName(writer, trackOf(result.oldView, track.oldTrack));
        writer.Key("new");
        writeTrackName(writer, trackOf(result.newView, track.newTrack));
        writer.Key("changes");
        writer.StartArray();
        for (const CutComparison::ClipChange& change : track.changes) {
            writer.StartObject();
            writer.Key("change");
            writer.String(CutComparison::changeName(change.change));
            writer.Key("also");
            writer.StartArray();
            for (const CutComparison::Also also : change.also)
                writer.String(CutComparison::alsoName(also));
            writer.EndArray();
            writer.Key("old");
            writeItem(writer, itemOf(result.oldView, track.oldTrack, change.oldItem));
            writer.Key("new");
            writeItem(writer, itemOf(result.newView, track.newTrack, change.newItem));
            writer.Key("head");
            writer.Int64(change.head);
            writer.Key("tail");
            writer.Int64(change.tail);
            writer.Key("shift");
            writer.Int64(change.shift);
            writer.EndObject();
        }
        writer.EndArray();
        writer.EndObject();
    }
    writer.EndArray();
    writer.EndObject();
    return std::string(buffer.GetString(), buffer.GetSize());
}

} // namespace zemcomp
