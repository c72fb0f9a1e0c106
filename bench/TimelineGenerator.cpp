#include "bench/TimelineGenerator.h"

#include <rapidjson/document.h>
#include <rapidjson/prettywriter.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <array>
#include <cstdio>

namespace ZEM_0_81::bench {

namespace {

using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

constexpr double kRate = 24.0;
constexpr double kStartFrame = 86400.0; // one hour at 24 frames per second
constexpr double kFirstSourceFrame = 1001.0;

/// xorshift64*: small, fast and the same sequence on every platform, unlike the
/// distributions of <random>, whose results the standard leaves to the library.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed ? seed : 1) {}

    std::uint64_t next() {
        m_state ^= m_state >> 12;
        m_state ^= m_state << 25;
        m_state ^= m_state >> 27;
        return m_state * 2685821657736338717ULL;
    }

    /// An integer in [low, high].
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint64_t>(high - low + 1));
    }

    /// A multiple of 1/denominator in [low, high]: short decimal forms, as a person
    /// or a grading panel would enter them, instead of 17 significant digits.
    double steps(double low, double high, int denominator) {
        const int first = static_cast<int>(low * denominator);
        const int last = static_cast<int>(high * denominator);
        return static_cast<double>(between(first, last)) / denominator;
    }

    bool chance(int percent) { return between(1, 100) <= percent; }

private:
    std::uint64_t m_state;
};

const std::array<const char*, 24> kWords = {
    "boat", "wake",   "too",    "bright",   "bring", "down",  "half",   "stop",
    "sky",  "cooler", "match",  "previous", "shot",  "hold",  "longer", "trim",
    "head", "frames", "remove", "logo",     "keep",  "grain", "warmer", "edge"};

const std::array<const char*, 4> kBlendModes = {"over", "multiply", "screen", "add"};
const std::array<const char*, 3> kVideoCodecs = {"ProRes 422 HQ", "DNxHR HQX", "EXR"};
const std::array<const char*, 3> kColourSpaces = {"Rec.709", "ACEScg", "P3-D65"};

void key(JsonWriter& w, const char* name) {
    w.Key(name);
}

void string(JsonWriter& w, const char* name, const std::string& value) {
    w.Key(name);
    w.String(value.c_str(), static_cast<rapidjson::SizeType>(value.size()));
}

void number(JsonWriter& w, const char* name, double value) {
    w.Key(name);
    w.Double(value);
}

void integer(JsonWriter& w, const char* name, int value) {
    w.Key(name);
    w.Int(value);
}

void boolean(JsonWriter& w, const char* name, bool value) {
    w.Key(name);
    w.Bool(value);
}

void schema(JsonWriter& w, const char* otioSchema) {
    string(w, "OTIO_SCHEMA", otioSchema);
}

void doubles(JsonWriter& w, const char* name, std::initializer_list<double> values) {
    w.Key(name);
    w.StartArray();
    for (double value : values)
        w.Double(value);
    w.EndArray();
}

void rationalTime(JsonWriter& w, const char* name, double value) {
    w.Key(name);
    w.StartObject();
    schema(w, "RationalTime.1");
    number(w, "rate", kRate);
    number(w, "value", value);
    w.EndObject();
}

void timeRange(JsonWriter& w, const char* name, double start, double duration) {
    w.Key(name);
    w.StartObject();
    schema(w, "TimeRange.1");
    rationalTime(w, "start_time", start);
    rationalTime(w, "duration", duration);
    w.EndObject();
}

std::string format(const char* pattern, int a, int b = 0, int c = 0) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

/// Writes timelines of one shape: the running record position and the counters
/// live here while the tracks are written.
class Generator {
public:
    Generator(const TimelineShape& shape, std::uint64_t seed, TimelineCounts& counts)
        : m_shape(shape), m_random(seed), m_counts(counts) {}

    void timeline(JsonWriter& w) {
        w.StartObject();
        schema(w, "Timeline.1");
        string(w, "name", "Synthetic cut");
        rationalTime(w, "global_start_time", kStartFrame);
        key(w, "metadata");
        w.StartObject();
        key(w, "zem");
        w.StartObject();
        string(w, "ZEM_SCHEMA", "TimelineMetadata.1");
        string(w, "version", "0.81");
        w.EndObject();
        w.EndObject();

        key(w, "tracks");
        w.StartObject();
        schema(w, "Stack.1");
        string(w, "name", "tracks");
        key(w, "children");
        w.StartArray();
        for (int t = 0; t < m_shape.videoTracks; ++t)
            track(w, format("V%d", t + 1), false);
        for (int t = 0; t < m_shape.audioTracks; ++t)
            track(w, format("A%d", t + 1), true);
        w.EndArray();
        w.EndObject();
        w.EndObject();
    }

private:
    void track(JsonWriter& w, const std::string& name, bool audio) {
        ++m_counts.tracks;
        m_record = kStartFrame;
        w.StartObject();
        schema(w, "Track.1");
        string(w, "name", name);
        string(w, "kind", audio ? "Audio" : "Video");
        key(w, "children");
        w.StartArray();
        for (int c = 0; c < m_shape.clipsPerTrack; ++c) {
            clip(w, c, audio);
            if (m_shape.gapEvery > 0 && (c + 1) % m_shape.gapEvery == 0 &&
                c + 1 < m_shape.clipsPerTrack)
                gap(w, c);
        }
        w.EndArray();
        w.EndObject();
    }

    void gap(JsonWriter& w, int index) {
        ++m_counts.gaps;
        const double length = m_random.between(6, 48);
        w.StartObject();
        schema(w, "Gap.1");
        string(w, "name", format("gap %d", index + 1));
        timeRange(w, "source_range", 0.0, length);
        key(w, "effects");
        w.StartArray();
        // Now and then a missing shot carries a note.
        if (m_shape.annotationEvery > 0 && m_random.chance(10))
            annotation(w, length);
        w.EndArray();
        key(w, "metadata");
        w.StartObject();
        w.EndObject();
        w.EndObject();
        m_record += length;
    }

    void clip(JsonWriter& w, int index, bool audio) {
        ++m_counts.clips;
        const int shot = ++m_shot;
        const int version = m_random.between(1, 12);
        const double length = m_random.between(12, 240);
        const double handle = m_random.between(0, 16);
        const double sourceIn = kFirstSourceFrame + handle;
        const std::string name =
            format(audio ? "sh%04d_mix_v%03d" : "sh%04d_comp_v%03d", shot * 10, version);
        const std::string folder =
            format("/shows/feature/sq%03d/sh%04d/", shot / 40 + 1, shot * 10);
        const std::string movie = folder + name + ".mov";

        w.StartObject();
        schema(w, "Clip.1");
        string(w, "name", name);
        timeRange(w, "source_range", sourceIn, length);

        key(w, "effects");
        w.StartArray();
        if (!audio && m_shape.compAndLookOnEveryClip) {
            imageEffect(w, 0);
            imageEffect(w, 2);
        } else if (!audio) {
            for (int e = 0; e < m_shape.effectsPerClip; ++e)
                imageEffect(w, (index + e) % 3);
        }
        if (!audio) {
            if (m_shape.annotationEvery > 0 && (index + 1) % m_shape.annotationEvery == 0)
                annotation(w, length);
        }
        w.EndArray();

        mediaReference(w, movie, length + 2 * handle, audio);
        clipMetadata(w, shot, movie, folder + name + ".mp4");
        w.EndObject();
        m_record += length;
    }

    void mediaReference(JsonWriter& w, const std::string& movie, double available, bool audio) {
        key(w, "media_reference");
        w.StartObject();
        schema(w, "ExternalReference.1");
        string(w, "target_url", movie);
        timeRange(w, "available_range", kFirstSourceFrame, available);
        key(w, "metadata");
        w.StartObject();
        key(w, "zem");
        w.StartObject();
        string(w, "ZEM_SCHEMA", "ClipNodeMediaReferenceMetadata.1");
        key(w, "bounds");
        w.StartObject();
        doubles(w, "center", {960.0, 540.0});
        doubles(w, "size", {1920.0, 1080.0});
        w.EndObject();
        key(w, "pixel_resolution");
        w.StartArray();
        w.Int(1920);
        w.Int(1080);
        w.EndArray();
        string(w, "data_type", "unsigned short");
        integer(w, "num_video_channels", audio ? 0 : 3);
        number(w, "pixel_aspect", 1.0);
        number(w, "frame_rate", kRate);
        boolean(w, "has_audio", audio);
        number(w, "audio_sample_rate", audio ? 48000.0 : 0.0);
        integer(w, "num_audio_channels", audio ? 2 : 0);
        string(w, "video_codec", audio ? "Unknown" : kVideoCodecs[m_random.between(0, 2)]);
        string(w, "audio_codec", audio ? "PCM" : "Unknown");
        integer(w, "file_size_in_bytes", m_random.between(50, 2000) * 1000000);
        key(w, "extra_data");
        w.StartObject();
        for (int i = 0; i < m_shape.extraDataEntries; ++i) {
            if (i == 0)
                string(w, "colour_space", kColourSpaces[m_random.between(0, 2)]);
            else if (i == 1)
                string(w, "camera", format("%c-cam", 'A' + m_random.between(0, 3)));
            else
                string(w, format("note_%d", i).c_str(), format("take %d", m_random.between(1, 9)));
        }
        w.EndObject();
        w.EndObject();
        w.EndObject();
        w.EndObject();
    }

    void clipMetadata(JsonWriter& w, int shot, const std::string& movie, const std::string& mp4) {
        key(w, "metadata");
        w.StartObject();
        key(w, "zem");
        w.StartObject();
        string(w, "ZEM_SCHEMA", "ClipMetadata.1");
        char id[32];
        std::snprintf(id, sizeof id, "%08x-sh%04d", static_cast<unsigned>(m_random.next() >> 32),
                      shot * 10);
        string(w, "id", id);
        key(w, "entity");
        w.StartObject();
        integer(w, "id", 10000 + shot);
        string(w, "type", "Version");
        w.EndObject();
        key(w, "paths");
        w.StartObject();
        // Every clip has its movie; some also a review copy.
        string(w, "mp4", m_random.chance(30) ? mp4 : std::string());
        string(w, "file", "");
        string(w, "movie", movie);
        w.EndObject();
        w.EndObject();
        w.EndObject();
    }

    void effectHead(JsonWriter& w, const char* otioSchema, const char* name, const char* effectName,
                    bool visible) {
        w.StartObject();
        schema(w, otioSchema);
        string(w, "name", name);
        string(w, "effect_name", effectName);
        boolean(w, "visible", visible);
    }

    void imageEffect(JsonWriter& w, int kind) {
        ++m_counts.effects;
        switch (kind) {
        case 0:
            effectHead(w, "Comp.1", "over plate", "Comp", true);
            string(w, "blend_mode", kBlendModes[m_random.between(0, 3)]);
            number(w, "opacity", m_random.steps(0.25, 1.0, 100));
            break;
        case 1:
            effectHead(w, "AngularMask.1", "sky wipe", "AngularMask", m_random.chance(80));
            doubles(w, "pivot", {m_random.steps(0, 1920, 4), m_random.steps(0, 1080, 4)});
            number(w, "angle_in_radians", m_random.steps(-3.14, 3.14, 100));
            break;
        default:
            effectHead(w, "CDL.1", "grade", "CDL", true);
            doubles(w, "slope",
                    {m_random.steps(0.8, 1.2, 1000), m_random.steps(0.8, 1.2, 1000),
                     m_random.steps(0.8, 1.2, 1000)});
            doubles(w, "offset",
                    {m_random.steps(-0.05, 0.05, 1000), m_random.steps(-0.05, 0.05, 1000),
                     m_random.steps(-0.05, 0.05, 1000)});
            doubles(w, "power",
                    {m_random.steps(0.9, 1.1, 1000), m_random.steps(0.9, 1.1, 1000),
                     m_random.steps(0.9, 1.1, 1000)});
            number(w, "saturation", m_random.steps(0.5, 1.5, 100));
            break;
        }
        w.EndObject();
    }

    /// The hold and ghosting members and the frame range of a drawn layer, on the
    /// record frames of the segment it belongs to.
    void layerTiming(JsonWriter& w, double segmentLength) {
        const int start = m_random.between(0, static_cast<int>(segmentLength) - 1);
        const int length = m_random.between(1, static_cast<int>(segmentLength) - start);
        timeRange(w, "layer_range", m_record + start, length);
        boolean(w, "hold", m_random.chance(50));
        boolean(w, "ghost", m_random.chance(50));
        w.Key("ghost_before");
        w.Uint(static_cast<unsigned>(m_random.between(0, 5)));
        w.Key("ghost_after");
        w.Uint(static_cast<unsigned>(m_random.between(0, 5)));
    }

    void annotation(JsonWriter& w, double segmentLength) {
        ++m_counts.effects;
        ++m_counts.annotations;
        effectHead(w, "Annotation.1", "review notes", "Annotation", true);
        key(w, "layers");
        w.StartArray();
        for (int s = 0; s < m_shape.strokesPerAnnotation; ++s)
            stroke(w, segmentLength);
        for (int t = 0; t < m_shape.textsPerAnnotation; ++t)
            caption(w, segmentLength);
        w.EndArray();
        w.EndObject();
    }

    void stroke(JsonWriter& w, double segmentLength) {
        effectHead(w, "Paint.1", "stroke", "Paint", true);
        key(w, "points");
        w.StartArray();
        // A hand-drawn line: each point a small step from the last, at quarter pixels.
        double x = m_random.steps(100, 1800, 4);
        double y = m_random.steps(100, 980, 4);
        const double width = m_random.steps(2, 12, 2);
        for (int p = 0; p < m_shape.pointsPerStroke; ++p) {
            ++m_counts.points;
            w.StartObject();
            schema(w, "Point.1");
            number(w, "x", x);
            number(w, "y", y);
            number(w, "width", width);
            w.EndObject();
            x += m_random.steps(-8, 8, 4);
            y += m_random.steps(-8, 8, 4);
        }
        w.EndArray();
        doubles(w, "rgba", {1.0, m_random.steps(0, 1, 4), 0.0, 1.0});
        string(w, "type", "color");
        string(w, "brush", "circle");
        layerTiming(w, segmentLength);
        w.EndObject();
    }

    void caption(JsonWriter& w, double segmentLength) {
        effectHead(w, "Text.1", "note", "Text", true);
        std::string text;
        const int words = m_random.between(4, 14);
        for (int i = 0; i < words; ++i) {
            if (i)
                text += ' ';
            text += kWords[static_cast<std::size_t>(m_random.between(0, kWords.size() - 1))];
        }
        string(w, "text", text);
        string(w, "justification", "left");
        string(w, "fontName", "Sans");
        number(w, "fontSize", m_random.steps(24, 48, 1));
        number(w, "width", 600.0);
        number(w, "orientation", 0.0);
        doubles(w, "position", {m_random.steps(40, 1200, 1), m_random.steps(40, 1000, 1)});
        doubles(w, "rgba", {1.0, 1.0, 0.0, 1.0});
        layerTiming(w, segmentLength);
        w.EndObject();
    }

    const TimelineShape& m_shape;
    Random m_random;
    TimelineCounts& m_counts;
    double m_record = kStartFrame;
    int m_shot = 0;
};

} // namespace

const std::vector<TimelineSize>& standardSizes() {
    // Calibrated for compact text: a clip with its media description is about
    // 1.5 KB, a point about 60 bytes.
    static const std::vector<TimelineSize> sizes = [] {
        std::vector<TimelineSize> made;
        TimelineShape s;
        s.videoTracks = 1;
        s.clipsPerTrack = 4;
        s.effectsPerClip = 1;
        s.annotationEvery = 2;
        s.pointsPerStroke = 12;
        made.push_back({"S", s});

        TimelineShape m;
        m.videoTracks = 2;
        m.audioTracks = 1;
        m.clipsPerTrack = 120;
        m.effectsPerClip = 2;
        m.annotationEvery = 3;
        m.strokesPerAnnotation = 3;
        m.pointsPerStroke = 40;
        m.textsPerAnnotation = 2;
        made.push_back({"M", m});

        // Between S and M, where a text's handling changes: short texts are
        // parsed in place and exported through the heap, longer ones are not.
        TimelineShape k64 = m;
        k64.clipsPerTrack = 6;
        made.push_back({"64K", k64});
        TimelineShape k256 = m;
        k256.clipsPerTrack = 24;
        made.push_back({"256K", k256});

        // A long reel of a cut: five tracks of 560 segments.
        TimelineShape l = m;
        l.videoTracks = 3;
        l.audioTracks = 2;
        l.clipsPerTrack = 560;
        made.push_back({"L", l});

        // A feature-length cut: 1200 shots (about 100 minutes) on each of four
        // video tracks, two audio tracks, and heavier review notes.
        TimelineShape xl = l;
        xl.videoTracks = 4;
        xl.audioTracks = 2;
        xl.clipsPerTrack = 1200;
        xl.strokesPerAnnotation = 4;
        xl.pointsPerStroke = 60;
        made.push_back({"XL", xl});

        // A feature dense with what the export writes: 3000 clips on four video
        // tracks, each with full media metadata and extra data, a Comp and a look,
        // and on every fifth clip an annotation of one 200-point stroke.
        TimelineShape d;
        d.videoTracks = 4;
        d.audioTracks = 0;
        d.clipsPerTrack = 750;
        d.compAndLookOnEveryClip = true;
        d.gapEvery = 0;
        d.annotationEvery = 5;
        d.strokesPerAnnotation = 1;
        d.pointsPerStroke = 200;
        d.textsPerAnnotation = 0;
        d.extraDataEntries = 12;
        made.push_back({"D", d});

        // The same, three times as long: growth should be linear.
        TimelineShape d3 = d;
        d3.clipsPerTrack = 3 * d.clipsPerTrack;
        made.push_back({"D3", d3});

        // D as the OpenTimelineIO library writes it: mostly whitespace.
        TimelineShape di = d;
        di.indented = true;
        made.push_back({"Di", di});

        // A long plain cut as an editor hands it over: 10 000 clips on one
        // track, media and nothing else; P3 three times as long.
        TimelineShape p;
        p.videoTracks = 1;
        p.audioTracks = 0;
        p.clipsPerTrack = 10000;
        p.effectsPerClip = 0;
        p.gapEvery = 0;
        p.annotationEvery = 0;
        p.extraDataEntries = 0;
        made.push_back({"P", p});
        TimelineShape p3 = p;
        p3.clipsPerTrack = 3 * p.clipsPerTrack;
        made.push_back({"P3", p3});
        // P and D as another tool hands them over in standard OTIO.
        TimelineShape pa = p;
        pa.anotherTool = true;
        made.push_back({"Pa", pa});
        TimelineShape da = d;
        da.anotherTool = true;
        made.push_back({"Da", da});
        return made;
    }();
    return sizes;
}

std::string generateTimeline(const TimelineShape& shape, TimelineCounts* counts,
                             std::uint64_t seed) {
    TimelineCounts ignored;
    TimelineCounts& tally = counts ? *counts : ignored;
    tally = TimelineCounts();

    rapidjson::StringBuffer buffer;
    JsonWriter writer(buffer);
    Generator(shape, seed, tally).timeline(writer);
    if (!shape.indented)
        return std::string(buffer.GetString(), buffer.GetSize());

    // Written again with indentation; numbers keep their shortest form.
    rapidjson::Document document;
    document.Parse(buffer.GetString());
    rapidjson::StringBuffer indented;
    rapidjson::PrettyWriter<rapidjson::StringBuffer> pretty(indented);
    pretty.SetIndent(' ', 4);
    document.Accept(pretty);
    return std::string(indented.GetString(), indented.GetSize());
}

} // namespace ZEM_0_81::bench
