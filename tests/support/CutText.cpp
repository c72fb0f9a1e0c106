#include "tests/support/CutText.h"

#include "tests/support/OtioText.h"

#include <algorithm>

namespace ZEM_0_81::test {

namespace {

bool isGap(const CutClip& clip) {
    return clip.name.empty() && clip.media == "-";
}

std::string mediaOf(const CutClip& clip) {
    return clip.media.empty()  ? "/shots/" + clip.name + ".mov"
           : clip.media == "-" ? ""
                               : clip.media;
}

std::string reelOf(const CutClip& clip) {
    return clip.reel.empty() ? "R" + clip.name.substr(0, 6) : clip.reel;
}

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

} // namespace

CutClip gap(std::int64_t length) {
    CutClip hole;
    hole.length = length;
    hole.media = "-";
    return hole;
}

std::string edlCut(const std::string& title, const std::vector<CutClip>& clips,
                   std::int64_t start) {
    std::string text = "TITLE: " + title + "\n";
    std::int64_t record = start;
    int event = 0;
    for (const CutClip& clip : clips) {
        if (isGap(clip)) {
            record += clip.length;
            continue;
        }
        std::string number = std::to_string(++event);
        number.insert(0, 3 - std::min<std::size_t>(3, number.size()), '0');
        text += number + "  " + reelOf(clip) + "  V  C  " + std::to_string(clip.source) + " " +
                std::to_string(clip.source + clip.length) + " " + std::to_string(record) + " " +
                std::to_string(record + clip.length) + "\n";
        text += "* FROM CLIP NAME: " + clip.name + "\n";
        if (!mediaOf(clip).empty())
            text += "* SOURCE FILE: " + mediaOf(clip) + "\n";
        for (const CutNote& note : clip.notes)
            text += "* LOC: " + std::to_string(record + note.source - clip.source) + " RED " +
                    note.text + "\n";
        text += clip.edlLines;
        record += clip.length;
    }
    return text;
}

std::string otioCut(const std::string& title, const std::vector<CutClip>& clips, double rate,
                    std::int64_t start, const std::vector<std::size_t>& disabled) {
    std::string children;
    for (std::size_t i = 0; i < clips.size(); ++i) {
        const CutClip& clip = clips[i];
        const std::string range =
            timeRange(static_cast<double>(clip.source), static_cast<double>(clip.length), rate);
        if (!children.empty())
            children += ",";
        if (isGap(clip)) {
            children += "{\"OTIO_SCHEMA\":\"Gap.1\",\"name\":\"\",\"source_range\":" + range + "}";
            continue;
        }
        std::string markers;
        for (const CutNote& note : clip.notes)
            markers += std::string(markers.empty() ? "" : ",") +
                       "{\"OTIO_SCHEMA\":\"Marker.2\",\"name\":" + quoted(note.text) +
                       ",\"color\":\"RED\",\"marked_range\":" +
                       timeRange(static_cast<double>(note.source), static_cast<double>(note.length),
                                 rate) +
                       "}";
        const bool enabled = std::find(disabled.begin(), disabled.end(), i) == disabled.end();
        children +=
            "{\"OTIO_SCHEMA\":\"Clip.2\",\"name\":" + quoted(clip.name) +
            ",\"metadata\":{\"cmx_3600\":{\"reel\":" + quoted(reelOf(clip)) +
            "}},\"source_range\":" + range + ",\"markers\":[" + markers + "],\"effects\":[" +
            clip.effects + "],\"enabled\":" + (enabled ? "true" : "false") +
            ",\"media_references\":{\"DEFAULT_MEDIA\":" +
            (mediaOf(clip).empty() ? std::string("{\"OTIO_SCHEMA\":\"MissingReference.1\"}")
                                   : "{\"OTIO_SCHEMA\":\"ExternalReference.1\",\"target_url\":" +
                                         quoted(mediaOf(clip)) + "}") +
            "},\"active_media_reference_key\":\"DEFAULT_MEDIA\"}";
    }
    return "{\"OTIO_SCHEMA\":\"Timeline.1\",\"name\":" + quoted(title) +
           ",\"global_start_time\":" + rationalTime(static_cast<double>(start), rate) +
           ",\"tracks\":{\"OTIO_SCHEMA\":\"Stack.1\",\"name\":\"\",\"children\":[{\"OTIO_SCHEMA\":"
           "\"Track.1\",\"name\":\"V1\",\"kind\":\"Video\",\"children\":[" +
           children + "]}]}}";
}

} // namespace ZEM_0_81::test
