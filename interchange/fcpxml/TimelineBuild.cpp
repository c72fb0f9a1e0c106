#include "interchange/fcpxml/TimelineBuild.h"

#include "interchange/fcpxml/FcpxmlKept.h"
#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptObjects.h"
#include "interchange/notes/ReviewNotes.h"
#include "interchange/timing/RecordTime.h"

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmCompositionNode.h"
#include "outside/dmtree/DmCutNode.h"
#include "outside/dmtree/DmFrameResolution.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTrackNode.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>

namespace ZEM_0_81::Interchange::Fcpx {

namespace {

/// Frames beyond this (2^53) are no longer exact in the edit tree's doubles.
constexpr std::int64_t kMaxFrames = std::int64_t(1) << 53;

/// The frame duration at which every time of `times` is a whole number of
/// frames, the longest such (their greatest common divisor); invalid when
/// there is none within kMaxExactRate frames a second.
Time commonFrame(const std::vector<Time>& times) {
    std::int64_t numerators = 0, denominators = 1;
    for (const Time& time : times) {
        if (!time.valid())
            return Time::invalid();
        if (time.isZero())
            continue;
        numerators = gcd(numerators, std::llabs(time.numerator()));
        denominators = lcm(denominators, time.denominator());
        if (denominators == 0)
            return Time::invalid();
    }
    if (numerators == 0 || denominators / numerators > kMaxExactRate ||
        (denominators / numerators == kMaxExactRate && denominators % numerators != 0))
        return Time::invalid();
    return Time(numerators, denominators);
}

bool allWhole(const std::vector<Time>& times, const Time& frame) {
    for (const Time& time : times)
        if (!(time / frame).whole())
            return false;
    return true;
}

/// The frame-rate text of frames lasting `frame` seconds.
std::string fcmOfFrame(const Time& frame) {
    return RecordTime::fcmOf(frame.denominator(), frame.numerator());
}

/// How the input of a piece counts its media: frames of `frame` seconds (its
/// numbers), named by `fcm`.
struct InputClock {
    Time frame;
    std::string fcm;
    bool exact = true;
};

InputClock inputClock(const Piece& piece, const Time& sequenceFrame, const Time& compositionFrame) {
    InputClock clock;
    if (piece.media != PieceMedia::Asset) {
        // Generated or offline media counts in the element's own time: at the
        // composition's rate, else the lowest that holds its start.
        clock.frame = compositionFrame;
        if (!(piece.mediaIn / compositionFrame).whole()) {
            const Time common = commonFrame({piece.mediaIn, compositionFrame});
            clock.exact = common.valid();
            if (common.valid())
                clock.frame = common;
        }
        clock.fcm = fcmOfFrame(clock.frame);
        return clock;
    }
    if (piece.conformedFrame.valid()) {
        // Frame for frame at the sequence's rate: the media's frame numbers.
        clock.frame = piece.conformedFrame;
        clock.fcm = fcmOfFrame(sequenceFrame);
        clock.exact =
            (piece.mediaIn / clock.frame).whole() && (piece.asset->start / clock.frame).whole();
        return clock;
    }
    const Asset& asset = *piece.asset;
    Time base = asset.video && asset.format && asset.format->frameDuration.valid()
                    ? asset.format->frameDuration
                    : sequenceFrame;
    const std::vector<Time> times = {asset.start, piece.mediaIn};
    clock.frame = base;
    if (!allWhole(times, base)) {
        // Sound cut between frames: its samples (which must hold every frame
        // of a picture's), else the lowest rate that holds every time and
        // every frame of the media.
        const Time samples = asset.audioRate > 0 ? Time(1, asset.audioRate) : Time::invalid();
        if (samples.valid() && allWhole(times, samples) &&
            (!asset.video || (base / samples).whole())) {
            clock.frame = samples;
        } else {
            std::vector<Time> all = times;
            all.push_back(base);
            const Time common = commonFrame(all);
            if (common.valid())
                clock.frame = common;
            else
                clock.exact = false;
        }
    }
    clock.fcm = fcmOfFrame(clock.frame);
    return clock;
}

/// `time` in frames of `frame` seconds, rounded to the nearest.
double framesOf(const Time& time, const Time& frame) {
    return static_cast<double>((time / frame).nearest());
}

std::string trackName(TrackKind kind, int lane, std::size_t extra) {
    std::string name =
        kind == TrackKind::Picture && lane == 0
            ? std::string("Primary storyline")
            : std::string(kind == TrackKind::Picture ? "Video lane " : "Audio lane ") +
                  std::to_string(lane);
    if (extra > 0)
        name += " (" + std::to_string(extra + 1) + ")";
    return name;
}

/// A marker's kind, colour and what its note shows.
struct MarkerLook {
    const char* kind;
    const char* colour;
};

MarkerLook lookOf(const pugi::xml_node& marker) {
    if (std::strcmp(marker.name(), "chapter-marker") == 0)
        return {Kept::kChapterKind, "ORANGE"};
    if (const pugi::xml_attribute completed = marker.attribute("completed"))
        return {Kept::kTodoKind, isYes(completed) ? "GREEN" : "RED"};
    return {Kept::kMarkerKind, "BLUE"};
}

/// One segment made, with where it plays in frames.
struct Made {
    CoSharedPtr<DmSegmentNode> segment;
    std::int64_t in = 0;
    std::int64_t out = 0;
    std::size_t order = 0;
};

} // namespace

TrackRank trackRank(TrackKind kind, int lane) {
    const bool picture = kind == TrackKind::Picture;
    const bool near = picture ? lane >= 0 : lane <= 0;
    return {!picture, !near, std::llabs(lane)};
}

CoSharedPtr<DmCompositionNode> buildComposition(const SequenceInfo& sequence, StoryWalk& walk,
                                                ElementReport& report) {
    std::vector<Piece>& pieces = walk.pieces();
    const std::vector<PlacedTransition>& transitions = walk.transitions();

    // The composition's rate: the sequence's when it holds every time.
    std::vector<Time> times = {sequence.frame, sequence.start};
    for (const Piece& piece : pieces)
        if (!piece.removed) {
            times.push_back(piece.recordIn);
            times.push_back(piece.recordOut);
        }
    for (const PlacedTransition& transition : transitions) {
        times.push_back(transition.start);
        times.push_back(transition.start + transition.duration);
        times.push_back(transition.cut);
    }
    Time frame = sequence.frame;
    bool exact = allWhole(times, frame);
    if (!exact) {
        const Time common = commonFrame(times);
        if (common.valid()) {
            frame = common;
            exact = true;
        }
    }
    const std::string fcm = fcmOfFrame(frame);
    const auto frames = [&](const Time& time) { return (time / frame).nearest(); };
    const auto keepTransition = [&](const PlacedTransition& transition,
                                    ForeignMembers::KeptTransitions& kept) {
        const double cut = static_cast<double>(frames(transition.cut));
        const double in = cut - static_cast<double>(frames(transition.start));
        const double out =
            static_cast<double>(frames(transition.start + transition.duration)) - cut;
        rapidotio::Document parsed;
        ForeignMembers::parseKept(transitionText(transition.node.attribute("name").value(), in, out,
                                                 (Time(1, 1) / frame).toDouble()),
                                  parsed);
        kept.add(parsed);
    };

    const CoSharedPtr<DmFrameResolution> resolution(DmFrameResolution::create());
    if (sequence.format && sequence.format->width > 0 && sequence.format->height > 0) {
        resolution->setWidth(sequence.format->width);
        resolution->setHeight(sequence.format->height);
    }
    const CoSharedPtr<DmCompositionNode> composition(
        DmCompositionNode::create(DmString(sequence.name), DmString(fcm), resolution.get()));
    const std::int64_t start = frames(sequence.start);
    composition->setStartTC(static_cast<double>(start), DmString(fcm));
    std::int64_t end = start;
    if (sequence.duration.valid() && !sequence.duration.negative())
        end = start + frames(sequence.duration);
    if (!sequence.kept.empty())
        keepDictionary(sequence.kept, *composition);

    // The segments of each (kind, lane) track.
    std::map<TrackRank, std::vector<Made>> tracks;
    std::map<TrackRank, std::pair<TrackKind, int>> keys;
    for (std::size_t index = 0; index < pieces.size(); ++index) {
        Piece& piece = pieces[index];
        if (piece.removed)
            continue;
        const Time inFrames = piece.recordIn / frame, outFrames = piece.recordOut / frame;
        if (!inFrames.valid() || !outFrames.valid() || std::llabs(inFrames.floor()) > kMaxFrames ||
            std::llabs(outFrames.floor()) > kMaxFrames) {
            report.lose(piece.element, "not read: it plays beyond the latest frame a timeline "
                                       "holds");
            continue;
        }
        const std::int64_t in = inFrames.nearest(), out = outFrames.nearest();
        if (!exact && (!inFrames.whole() || !outFrames.whole()))
            report.lose(piece.element,
                        "approximated: it starts or ends between frames, and no rate up to " +
                            std::to_string(kMaxExactRate) +
                            " holds every time of the timeline: moved to the nearest frames");
        if (out <= in)
            continue;
        const eDmTreeMediaType mediaType =
            piece.kind == TrackKind::Picture ? eDmMediaVideo : eDmMediaAudio;
        CoSharedPtr<DmSegmentNode> segment;
        InputClock clock;
        if (piece.media == PieceMedia::Gap) {
            segment = DmGapNode::create(static_cast<double>(in), static_cast<double>(out - in),
                                        mediaType, DmString(piece.name));
        } else {
            clock = inputClock(piece, sequence.frame, frame);
            if (!clock.exact)
                report.lose(piece.element, "approximated: its media time lies between the "
                                           "frames of every rate that could count it: rounded");
            CoSharedPtr<DmSourceInfo> info;
            if (piece.media == PieceMedia::Asset && !piece.asset->src.empty()) {
                info = DmSourceInfo::create();
                info->addSequence(DmString(piece.asset->src));
            }
            double availIn = 0.0, availLength = 0.0;
            const double mediaIn = framesOf(piece.mediaIn, clock.frame);
            const double played =
                framesOf((piece.recordOut - piece.recordIn) * piece.ratio, clock.frame);
            if (piece.media == PieceMedia::Asset) {
                availIn = framesOf(piece.asset->start, clock.frame);
                availLength = piece.asset->duration.valid()
                                  ? framesOf(piece.asset->duration, clock.frame)
                                  : std::max(0.0, mediaIn - availIn + played);
            } else {
                availIn = mediaIn;
                availLength = played;
            }
            const eDmTreeMediaType inputType =
                piece.media == PieceMedia::Asset && !piece.asset->video ? eDmMediaAudio : mediaType;
            const CoSharedPtr<DmSourceNode::MediaInput> input(DmSourceNode::MediaInput::create(
                availIn, availLength, info.get(), DmString(clock.fcm), inputType, true));
            if (piece.media == PieceMedia::Generated) {
                ForeignMembers::Leftovers leftovers;
                rapidotio::Document schema;
                schema.SetString("GeneratorReference.1");
                leftovers.asWritten(KeptObjects::kSchema, schema, 0.0);
                leftovers.keepOn(*input);
                const DmString members(generatorMembers(piece.effect ? piece.effect->name : ""));
                input->setPropertyValue(ForeignMembers::kMembersId, eDmPropString, &members);
                report.lose(piece.element,
                            "approximated: generated media (" +
                                std::string(piece.effect ? piece.effect->name : "") +
                                "), which the edit tree does not play: read as missing media" +
                                ForeignMembers::Leftovers::kKeptNote);
            }
            const CoSharedPtr<DmSourceNode> source(DmSourceNode::create(
                input.get(), static_cast<double>(in), static_cast<double>(out - in),
                mediaIn - availIn, true, false));
            source->setName(DmString(piece.name));
            source->setMediaType(mediaType);
            segment = source;
        }
        if (!piece.kept.empty())
            keepDictionary(piece.kept, *segment);

        ForeignMembers::Leftovers leftovers;
        if (!piece.speed.empty()) {
            rapidotio::Document effect;
            ForeignMembers::parseKept(piece.speed, effect);
            leftovers.effect(effect);
        }
        if (piece.disabled)
            leftovers.disabled();
        leftovers.keepOn(*segment);

        for (const PlacedMarker& marker : piece.markers) {
            const std::int64_t at = frames(marker.recordIn);
            const std::int64_t length = std::max<std::int64_t>(1, frames(marker.duration));
            if (at < std::numeric_limits<std::int32_t>::min() ||
                at > std::numeric_limits<std::int32_t>::max() ||
                length > std::numeric_limits<std::int32_t>::max()) {
                report.lose(marker.node, "not read: it lies past the latest frame a note marks");
                continue;
            }
            const MarkerLook look = lookOf(marker.node);
            const std::string value = marker.node.attribute("value").value();
            const std::string note = marker.node.attribute("note").value();
            const std::string caption = note.empty() ? value : value + ": " + note;
            std::array<float, 4> rgba{};
            ReviewNotes::namedColour(look.colour, rgba);
            const CoSharedPtr<DmAnnotationSettings> annotation = ReviewNotes::reviewNote(
                caption, rgba, static_cast<std::int32_t>(at), static_cast<std::uint32_t>(length));
            // The marked range counts as the clip's source range does.
            const Time sourceFrame = piece.media == PieceMedia::Gap ? frame : clock.frame;
            const Time sourceAt =
                piece.media == PieceMedia::Gap
                    ? marker.recordIn - piece.recordIn
                    : piece.mediaIn + (marker.recordIn - piece.recordIn) * piece.ratio;
            const DmString text(markerText(value, look.colour, look.kind,
                                           marker.node.attribute("completed").value(), note,
                                           framesOf(sourceAt, sourceFrame),
                                           std::max(1.0, framesOf(marker.duration, sourceFrame)),
                                           (Time(1, 1) / sourceFrame).toDouble()));
            annotation->setPropertyValue(ForeignMembers::kMarkerId, eDmPropString, &text);
            segment->addEffect(annotation.get());
        }

        const TrackRank rank = trackRank(piece.kind, piece.lane);
        keys[rank] = {piece.kind, piece.lane};
        tracks[rank].push_back(Made{segment, in, out, index});
        end = std::max(end, out);
    }

    const CoSharedPtr<DmTrackNode> track(DmTrackNode::create(0, eDmMediaUnset));
    std::int32_t layerIndex = 0;
    for (auto& [rank, made] : tracks) {
        const auto [kind, lane] = keys[rank];
        std::stable_sort(made.begin(), made.end(),
                         [](const Made& a, const Made& b) { return a.in < b.in; });
        // Items overlapping what a layer holds go on the next layer of the track.
        std::vector<std::vector<Made>> layers;
        std::vector<std::int64_t> layerEnds;
        for (const Made& item : made) {
            std::size_t at = 0;
            while (at < layers.size() && layerEnds[at] > item.in)
                ++at;
            if (at == layers.size()) {
                layers.emplace_back();
                layerEnds.push_back(item.in);
            }
            if (at > 0)
                report.lose(pieces[item.order].element,
                            "overlaps what its lane holds before it: placed on track " +
                                trackName(kind, lane, at));
            layers[at].push_back(item);
            layerEnds[at] = item.out;
        }
        // Transitions of this track, by the frames of their cuts.
        std::multimap<std::int64_t, const PlacedTransition*> cuts;
        for (const PlacedTransition& transition : transitions)
            if (transition.kind == kind && transition.lane == lane)
                cuts.emplace(frames(transition.cut), &transition);
        const eDmTreeMediaType mediaType =
            kind == TrackKind::Picture ? eDmMediaVideo : eDmMediaAudio;
        for (std::size_t extra = 0; extra < layers.size(); ++extra) {
            const CoSharedPtr<DmLayerNode> layer(
                DmLayerNode::create(layerIndex, mediaType, 0, layerIndex == 0));
            ++layerIndex;
            layer->setName(DmString(trackName(kind, lane, extra)));
            keepDictionary("{\"" + std::string(Kept::kLane) + "\":" + std::to_string(lane) + "}",
                           *layer);
            std::int64_t cursor = start;
            if (!layers[extra].empty())
                cursor = std::min(cursor, layers[extra].front().in);
            layer->setLayerStartTC(static_cast<double>(cursor));
            const std::int64_t layerStart = cursor;
            bool first = true;
            const auto add = [&](DmSegmentNode* node) {
                if (!first) {
                    const CoSharedPtr<DmCutNode> cut(DmCutNode::create(mediaType));
                    layer->addChild(cut.get());
                }
                layer->addChild(node);
                first = false;
            };
            for (const Made& item : layers[extra]) {
                if (item.in > cursor) {
                    const CoSharedPtr<DmGapNode> gap(DmGapNode::create(
                        static_cast<double>(cursor), static_cast<double>(item.in - cursor),
                        mediaType, DmString()));
                    add(gap.get());
                }
                if (extra == 0) {
                    const auto [first, last] = cuts.equal_range(item.in);
                    if (first != last) {
                        ForeignMembers::KeptTransitions kept;
                        for (auto at = first; at != last; ++at)
                            keepTransition(*at->second, kept);
                        kept.keepOn(*item.segment);
                        cuts.erase(first, last);
                    }
                }
                add(item.segment.get());
                cursor = item.out;
            }
            if (extra == 0 && !cuts.empty()) {
                // Those after the track's last item stay with the track.
                ForeignMembers::KeptTransitions kept;
                for (const auto& [cut, transition] : cuts)
                    keepTransition(*transition, kept);
                kept.keepOn(*layer);
            }
            layer->setLayerLength(static_cast<double>(cursor - layerStart));
            track->addChild(layer.get());
            track->setMediaType(mediaType);
        }
    }
    composition->setCompLength(static_cast<double>(std::max<std::int64_t>(0, end - start)));
    composition->addChild(track.get());
    return composition;
}

} // namespace ZEM_0_81::Interchange::Fcpx
