#include "interchange/edl/WrittenEvents.h"

#include "composition/Timecode.h"
#include "interchange/edl/EdlComments.h"
#include "interchange/edl/EdlLines.h"
#include "interchange/edl/EventText.h"
#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptObjects.h"
#include "interchange/notes/ReviewNotes.h"
#include "interchange/timing/RecordTime.h"
#include "json/EffectExport.h"
#include "json/Narrowing.h"

#include "outside/core/FPSUtils.h"
#include "outside/dmtree/DmAngularMaskSettings.h"
#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmCompSettings.h"
#include "outside/dmtree/DmEffectLayer.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmPaintLayer.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTextLayer.h"
#include "outside/dmtree/DmTextParagraph.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <numeric>

namespace ZEM_0_81::Interchange::Cmx {

namespace {

using ReviewNotes::Rgba;

constexpr const char* kClip = "clip";
constexpr const char* kGap = "gap";
constexpr const char* kNote = "note";
constexpr const char* kTransitionSchema = "transition";
constexpr const char* kBlack = "BL";
constexpr const char* kOffline = "AX";

/// `text` up to its first line break; true when it had one.
bool firstLine(std::string& text) {
    const std::size_t end = std::min(text.find('\n'), text.find('\r'));
    if (end == std::string::npos)
        return false;
    text.erase(end);
    return true;
}

/// The rate a frame-rate text names; 0/1 when none.
Rational rateOfText(const DmString& fcm) {
    Rational rate(0, 1);
    if (!FPSUtils::getFPSFromString(String(fcm.str().c_str()), rate))
        return Rational(0, 1);
    return rate;
}

float channelValue(const DmTextParagraph& paragraph, DmTextParagraph::ChannelId id,
                   double fallback) {
    return static_cast<float>(Json::firstKeyValue(paragraph.getChannel(id), fallback));
}

/// The locator colour whose OTIO colour is nearest `rgba`.
std::string nearestLocatorColour(const Rgba& rgba) {
    const char* nearest = locatorColours().front();
    double best = HUGE_VAL;
    for (const char* name : locatorColours()) {
        Rgba named{};
        ReviewNotes::namedColour(name, named);
        double distance = 0.0;
        for (std::size_t i = 0; i < 4; ++i)
            distance += (named[i] - rgba[i]) * (named[i] - rgba[i]);
        if (distance < best) {
            best = distance;
            nearest = name;
        }
    }
    return nearest;
}

/// True when `word` names a locator colour that is `rgba`.
bool isColour(const std::string& word, const Rgba& rgba) {
    Rgba named{};
    return locatorColourOf(word) && ReviewNotes::namedColour(word, named) && named == rgba;
}

/// The colour word of a note in `rgba` that stands for the kept marker of
/// `annotation`: the word it came with, or the marker's colour, while the note
/// is still of that colour; else the nearest.
std::string colourWordOf(const DmAnnotationSettings& annotation, const Rgba& rgba) {
    std::string word, colour;
    if (Kept::markerColours(annotation, word, colour)) {
        if (isColour(word, rgba))
            return word;
        if (isColour(colour, rgba))
            return colour;
    }
    return nearestLocatorColour(rgba);
}

/// Builds the events of one track at a time.
class EventMaker {
public:
    EventMaker(const WriteContext& context) : m_context(context) {}

    /// The event of `segment` on `track`, when it makes one; `previous` is the
    /// event of the segment before it on the track, or null.
    bool make(const WrittenTrack& track, const DmSegmentNode& segment, const WrittenEvent* previous,
              WrittenEvent& event);

private:
    void lose(const WrittenTrack& track, std::int64_t at, const std::string& schema,
              const std::string& what) const {
        m_context.report->item(track.name, at, schema, what);
    }
    void source(const WrittenTrack& track, const DmSourceNode& source, WrittenEvent& event);
    void keepUntaken(const WrittenTrack& track, const char* schema, WrittenEvent& event);
    void effects(const WrittenTrack& track, const DmSegmentNode& segment, WrittenEvent& event);
    void notes(const WrittenTrack& track, const DmAnnotationSettings& annotation,
               WrittenEvent& event);
    void speeds(const WrittenTrack& track, const DmSegmentNode& segment, WrittenEvent& event);
    void transition(const WrittenTrack& track, const DmSegmentNode& segment,
                    const WrittenEvent* previous, WrittenEvent& event);

    const WriteContext& m_context;
};

bool EventMaker::make(const WrittenTrack& track, const DmSegmentNode& segment,
                      const WrittenEvent* previous, WrittenEvent& event) {
    const bool gap = dynamic_cast<const DmGapNode*>(&segment) != nullptr;
    event = WrittenEvent();
    event.channels = track.channel;
    event.black = gap;
    event.recordIn = Json::truncateToInt64(segment.getRecIn());
    const std::int64_t length = Json::truncateToInt64(segment.getRecLength());
    const char* schema = gap ? kGap : kClip;
    if (length <= 0) {
        if (!gap)
            lose(track, event.recordIn, schema, "left out: it lasts no frame");
        return false;
    }
    if (event.recordIn < 0 || event.recordIn >= kMaxFrames - length) {
        lose(track, event.recordIn, schema,
             "left out: its record time lies outside what an EDL's timecodes say");
        return false;
    }
    event.recordOut = event.recordIn + length;
    event.name = segment.getName().str();
    if (firstLine(event.name))
        lose(track, event.recordIn, schema, "its name is cut at its first line break");

    Kept::SegmentData kept;
    const bool keeps = Kept::keptSegment(segment, kept);
    event.reel = kept.reel;
    if (keeps)
        event.comments = kept.comments;
    if (gap) {
        // Black where the list said it; else black in name only, as it goes
        // out only for what it carries.
        if (event.reel.empty() || !isBlackReel(event.reel))
            event.reel = kBlack;
        event.sourceOut = length;
    } else {
        source(track, static_cast<const DmSourceNode&>(segment), event);
        if (keeps && kept.hasSource && kept.sourceIn == event.sourceIn &&
            kept.recordLength == length && kept.sourceOut >= 0 && kept.sourceOut < kMaxFrames)
            event.sourceOut = kept.sourceOut;
    }
    effects(track, segment, event);
    speeds(track, segment, event);
    transition(track, segment, previous, event);
    keepUntaken(track, schema, event);
    if (!ForeignMembers::Leftovers::enabled(segment))
        lose(track, event.recordIn, schema,
             "written enabled: it is disabled, which an EDL cannot say");
    // A gap is written where the list said black, or where it carries what an
    // event says; any other gap is a hole in record time.
    return !gap || !kept.reel.empty() || event.hasTransition || event.hasLook ||
           !event.notes.empty() || !event.speedLines.empty();
}

void EventMaker::keepUntaken(const WrittenTrack& track, const char* schema, WrittenEvent& event) {
    // The statements a reader takes for an event written this way where the
    // writer says nothing of its own: a kept one would be taken for a name or
    // media the clip has not. Those the writer says first shadow the kept ones.
    std::vector<Keyword> taken;
    const bool named = !writtenName(event).empty();
    const bool media = !event.path.empty() || isBlackReel(event.reel);
    if (event.hasTransition) {
        if (!named)
            taken.push_back(Keyword::ToClipName);
        if (!media)
            taken.insert(taken.end(), {Keyword::ToFile, Keyword::ToClip, Keyword::SourceFile});
        if (event.transition.from.name.empty())
            taken.push_back(Keyword::FromClipName);
        if (event.transition.from.file.empty())
            taken.insert(taken.end(), {Keyword::FromFile, Keyword::FromClip});
    } else {
        if (!named)
            taken.push_back(Keyword::FromClipName);
        if (!media)
            taken.insert(taken.end(), {Keyword::SourceFile, Keyword::FromFile, Keyword::FromClip});
    }
    auto wouldBeTaken = [&](const std::string& kept) {
        std::string_view value;
        const Keyword keyword = keywordOf(kept, value);
        return !value.empty() && std::find(taken.begin(), taken.end(), keyword) != taken.end();
    };
    const auto end = std::remove_if(event.comments.begin(), event.comments.end(), wouldBeTaken);
    if (end == event.comments.end())
        return;
    event.comments.erase(end, event.comments.end());
    lose(track, event.recordIn, schema,
         "a kept comment left out: read back, it would name what the clip does not have");
}

void EventMaker::source(const WrittenTrack& track, const DmSourceNode& clip, WrittenEvent& event) {
    const std::int64_t length = event.recordOut - event.recordIn;
    const DmSourceNode::Input* primary = clip.getInput();
    double start = clip.getRelIn() + (primary ? primary->getAvailIn() : 0.0);
    const Rational sourceRate = primary ? rateOfText(primary->getFcm()) : Rational(0, 1);
    const FrameCounter& counter = *m_context.counter;
    std::int64_t sourceFps = 0;
    if (Timecode::framesPerSecond(sourceRate, sourceFps) &&
        sourceFps != counter.framesPerSecond()) {
        // Its timecodes count other frames than the list's (a sound's samples):
        // counted at the list's, which loses what lies between two frames.
        const double scaled =
            RecordTime::rescale(start, sourceRate.getValue(), counter.rate().getValue());
        start = std::round(scaled);
        if (std::fabs(scaled - start) > 1e-6)
            lose(track, event.recordIn, kClip,
                 "its source start is rounded to a frame: its media counts " +
                     std::to_string(sourceFps) + " frames a second, the list " +
                     std::to_string(counter.framesPerSecond()));
    }
    if (!(start >= 0.0 && start < static_cast<double>(kMaxFrames - length))) {
        lose(track, event.recordIn, kClip,
             "its source start lies outside what an EDL's timecodes say: written from 0");
        start = 0.0;
    }
    event.sourceIn = static_cast<std::int64_t>(start);
    event.sourceOut = event.sourceIn + length;

    for (std::uint32_t i = 0; i < clip.getNbMultiInputs(); ++i) {
        const DmSourceNode::Input* input = clip.getMultiInput(i);
        const DmSourceInfo* info = input ? input->getSrcInfo() : nullptr;
        const std::string path = info ? info->getSequence(0).str() : std::string();
        if (i == 0) {
            event.path = path;
            if (firstLine(event.path))
                lose(track, event.recordIn, "media", "its path is cut at its first line break");
        } else if (!path.empty()) {
            lose(track, event.recordIn, "media",
                 "media input " + std::to_string(i + 1) +
                     " left out: an EDL names one file a clip plays");
        }
    }

    std::string reel = event.reel;
    for (char& c : reel)
        if (isBlank(c) || c == '\r' || c == '\n')
            c = '_';
    if (!reel.empty() && isBlackReel(reel)) {
        lose(track, event.recordIn, kClip,
             "its reel \"" + reel + "\" names black in an EDL: a reel is made for it");
        reel.clear();
    } else if (reel != event.reel) {
        lose(track, event.recordIn, kClip,
             "its reel is written with '_' for the spaces and line breaks an EDL field cannot "
             "hold");
    }
    if (reel.empty())
        reel = event.path.empty() ? std::string(kOffline)
                                  : reelFromFile(event.path, m_context.reelLength);
    event.reel = reel;
}

void EventMaker::effects(const WrittenTrack& track, const DmSegmentNode& segment,
                         WrittenEvent& event) {
    for (std::uint32_t i = 0; i < segment.getNbEffects(); ++i) {
        const DmEffectSettings* effect = segment.getEffect(i);
        if (!effect)
            continue;
        if (const auto* look = dynamic_cast<const DmLookSettings*>(effect)) {
            if (event.hasLook || look->isMuted()) {
                lose(track, event.recordIn, "CDL",
                     look->isMuted() ? "left out: it is switched off, which an EDL cannot say"
                                     : "left out: an EDL holds one look a clip");
                continue;
            }
            event.hasLook = true;
            for (std::size_t c = 0; c < 3; ++c) {
                event.sop[c] = look->slope[c];
                event.sop[3 + c] = look->offset[c];
                event.sop[6 + c] = look->power[c];
            }
            event.saturation = look->saturation;
            if (!std::all_of(event.sop.begin(), event.sop.end(),
                             [](double v) { return std::isfinite(v); }) ||
                !std::isfinite(event.saturation)) {
                event.hasLook = false;
                lose(track, event.recordIn, "CDL",
                     "left out: it holds a number that is not finite");
            }
        } else if (const auto* annotation = dynamic_cast<const DmAnnotationSettings*>(effect)) {
            notes(track, *annotation, event);
        } else if (dynamic_cast<const DmCompSettings*>(effect)) {
            lose(track, event.recordIn, "Comp", "left out: an EDL holds no compositing");
        } else if (dynamic_cast<const DmAngularMaskSettings*>(effect)) {
            lose(track, event.recordIn, "AngularMask", "left out: an EDL holds no masks");
        } else {
            lose(track, event.recordIn, effect->getName(),
                 "left out: an EDL holds no effect of this kind");
        }
    }
}

void EventMaker::notes(const WrittenTrack& track, const DmAnnotationSettings& annotation,
                       WrittenEvent& event) {
    const std::int64_t length = event.recordOut - event.recordIn;
    for (std::uint32_t l = 0; l < annotation.getNbLayers(); ++l) {
        const DmEffectLayer* layer = annotation.getLayer(l);
        if (!layer)
            continue;
        if (dynamic_cast<const DmPaintLayer*>(layer)) {
            lose(track, event.recordIn, "paint", "left out: an EDL holds no paint");
            continue;
        }
        const auto* text = dynamic_cast<const DmTextLayer*>(layer);
        if (!text)
            continue;
        const bool own = layer->getDuration() != 0;
        const std::int64_t start = own ? layer->getStartFrame() : event.recordIn;
        const std::int64_t duration = own ? layer->getDuration() : length;
        for (std::uint32_t p = 0; p < text->getNbParagraphs(); ++p) {
            const DmTextParagraph* paragraph = text->getParagraph(p);
            if (!paragraph)
                continue;
            WrittenNote note;
            note.frame = start;
            note.caption = paragraph->text.str();
            const Rgba rgba = {channelValue(*paragraph, DmTextParagraph::kColorRed, 0.0),
                               channelValue(*paragraph, DmTextParagraph::kColorGreen, 0.0),
                               channelValue(*paragraph, DmTextParagraph::kColorBlue, 0.0),
                               channelValue(*paragraph, DmTextParagraph::kColorAlpha, 1.0)};
            note.colour = annotation.getNbLayers() == 1 && text->getNbParagraphs() == 1
                              ? colourWordOf(annotation, rgba)
                              : nearestLocatorColour(rgba);
            if (start < 0 || start >= kMaxFrames) {
                lose(track, event.recordIn, kNote,
                     "left out: its frame lies outside what an EDL's timecodes say");
                continue;
            }
            if (duration > 1)
                lose(track, event.recordIn, kNote,
                     "written at its first frame: it shows for " + std::to_string(duration) +
                         " frames, and a locator marks one");
            if (firstLine(note.caption))
                lose(track, event.recordIn, kNote, "its text is cut at its first line break");
            if (annotation.isMuted() || layer->isMuted())
                lose(track, event.recordIn, kNote,
                     "written shown: it is hidden, which an EDL cannot say");
            event.notes.push_back(std::move(note));
        }
    }
}

void EventMaker::speeds(const WrittenTrack& track, const DmSegmentNode& segment,
                        WrittenEvent& event) {
    rapidotio::Document document;
    const Value* kept = ForeignMembers::Leftovers::effects(segment, document);
    if (!kept)
        return;
    const double rate = m_context.counter->rate().getValue();
    for (const Value& effect : kept->GetArray()) {
        const std::string schema = KeptObjects::schemaOf(effect);
        const bool freeze = schema == Kept::kFreezeFrameSchema;
        if (!freeze && schema != Kept::kTimeWarpSchema) {
            lose(track, event.recordIn, schema.empty() ? "effect" : schema,
                 "left out: an EDL holds no effect of this kind");
            continue;
        }
        std::string line;
        if (const Value* metadata = KeptObjects::memberOf(effect, KeptObjects::kMetadata))
            if (const Value* cmx = Kept::cmxOf(*metadata)) {
                line = Kept::textMember(*cmx, Kept::kM2);
                if (line.empty())
                    line = Kept::textMember(*cmx, Kept::kFreezeFrame);
            }
        if (line.empty() || firstLine(line)) {
            double scalar = 0.0;
            const auto member = effect.FindMember(Kept::kTimeScalar);
            if (!freeze && member != effect.MemberEnd() && member->value.IsNumber())
                scalar = member->value.GetDouble();
            line = "M2   " + event.reel + "\t\t" + speedText(scalar * rate) + "\t\t\t\t";
            line += m_context.report->timecode(event.sourceIn);
        }
        event.speedLines.push_back(std::move(line));
    }
}

void EventMaker::transition(const WrittenTrack& track, const DmSegmentNode& segment,
                            const WrittenEvent* previous, WrittenEvent& event) {
    rapidotio::Document document;
    const Value* kept = ForeignMembers::KeptTransitions::kept(segment, document);
    if (!kept)
        return;
    const double rate = m_context.counter->rate().getValue();
    for (const Value& element : kept->GetArray()) {
        Kept::TransitionData data;
        if (!Kept::transitionOf(element, rate, data))
            continue;
        if (event.hasTransition) {
            lose(track, event.recordIn, kTransitionSchema,
                 "left out: an EDL holds one transition into an event");
            continue;
        }
        if (!data.type.empty() && data.type != Kept::kDissolveType && data.type != Kept::kWipeType)
            lose(track, event.recordIn, kTransitionSchema,
                 "\"" + data.type + "\" written as a dissolve: an EDL has dissolves and wipes");
        if (data.inOffset != 0)
            lose(track, event.recordIn, kTransitionSchema,
                 "written as starting at the cut: it starts " + std::to_string(data.inOffset) +
                     " frames before it, and an EDL's transitions start where the incoming "
                     "event does");
        // The duration field holds nine digits.
        const std::int64_t duration = std::clamp<std::int64_t>(data.duration, 0, 999999999);
        if (duration != data.duration)
            lose(track, event.recordIn, kTransitionSchema,
                 "written lasting " + std::to_string(duration) + " frames: it lasts " +
                     std::to_string(data.duration) + ", and an EDL's durations run from 0 to " +
                     "999999999");
        data.duration = duration;
        const bool codeFits =
            data.wipe ? (data.code.size() > 1 && (data.code[0] == 'W' || data.code[0] == 'w'))
                      : equalsIgnoringCase(data.code, "D");
        if (!codeFits)
            data.code = data.wipe ? "W001" : "D";
        if (!data.hasFrom) {
            // From what the track plays up to the cut: the clip before it, else black.
            data.hasFrom = true;
            if (previous && !previous->black && previous->recordOut == event.recordIn) {
                data.from.reel = previous->reel;
                data.from.sourceIn = previous->sourceOut;
                if (data.from.name.empty())
                    data.from.name = previous->name;
            } else {
                data.from.reel = kBlack;
                data.from.sourceIn = 0;
            }
        }
        if (data.from.sourceIn < 0 || data.from.sourceIn >= kMaxFrames)
            data.from.sourceIn = 0;
        firstLine(data.from.name);
        firstLine(data.from.file);
        for (char& c : data.from.reel)
            if (isBlank(c) || c == '\r' || c == '\n')
                c = '_';
        event.hasTransition = true;
        event.transition = std::move(data);
    }
}

bool sameTransition(const Kept::TransitionData& a, const Kept::TransitionData& b) {
    return a.code == b.code && a.duration == b.duration && a.from.reel == b.from.reel &&
           a.from.sourceIn == b.from.sourceIn && a.from.name == b.from.name &&
           a.from.file == b.from.file;
}

/// True when `a` and `b` are one event on several channels: alike in all but
/// the channel, the notes and the comments.
bool sameEvent(const WrittenEvent& a, const WrittenEvent& b) {
    return a.black == b.black && a.recordIn == b.recordIn && a.recordOut == b.recordOut &&
           a.sourceIn == b.sourceIn && a.sourceOut == b.sourceOut && a.reel == b.reel &&
           a.name == b.name && a.path == b.path && a.hasLook == b.hasLook &&
           (!a.hasLook || (a.sop == b.sop && a.saturation == b.saturation)) &&
           a.speedLines == b.speedLines && a.hasTransition == b.hasTransition &&
           (!a.hasTransition || sameTransition(a.transition, b.transition));
}

/// Adds the channels, notes and comments of `clip` to `event`, each note once.
void merge(WrittenEvent& event, WrittenEvent& clip) {
    event.channels |= clip.channels;
    for (WrittenNote& note : clip.notes)
        if (std::none_of(event.notes.begin(), event.notes.end(), [&](const WrittenNote& n) {
                return n.frame == note.frame && n.colour == note.colour &&
                       n.caption == note.caption;
            }))
            event.notes.push_back(std::move(note));
    event.comments.insert(event.comments.end(), std::make_move_iterator(clip.comments.begin()),
                          std::make_move_iterator(clip.comments.end()));
}

} // namespace

std::string reelFromFile(const std::string& path, std::uint32_t length) {
    std::string name = path.substr(
        path.find_last_of("/\\") == std::string::npos ? 0 : path.find_last_of("/\\") + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name.erase(dot);
    std::string reel;
    for (const char c : name) {
        if (reel.size() >= length)
            break;
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')
            reel += c;
    }
    return reel.empty() ? std::string(kOffline) : reel;
}

WrittenList eventsOf(const std::vector<WrittenTrack>& tracks, const WriteContext& context) {
    WrittenList list;
    std::vector<WrittenEvent>& clips = list.clips;
    std::size_t segments = 1;
    for (const WrittenTrack& track : tracks)
        if (track.channel != 0)
            segments += track.segments.size();
    clips.reserve(segments);
    EventMaker maker(context);
    for (const WrittenTrack& track : tracks) {
        if (track.channel == 0)
            continue;
        // What another tool's track keeps beyond its items.
        rapidotio::Document document;
        if (ForeignMembers::KeptTransitions::kept(*track.layer, document))
            context.report->track(track.name, kTransitionSchema,
                                  "left out: one after the track's last item has no event to "
                                  "lead into");
        if (ForeignMembers::Leftovers::effects(*track.layer, document) ||
            ForeignMembers::Leftovers::markers(*track.layer, document))
            context.report->track(track.name, kTrackSchema,
                                  "its effects and markers are left out: an EDL holds none of a "
                                  "track's");
        const WrittenEvent* previous = nullptr;
        for (const DmSegmentNode* segment : track.segments) {
            clips.emplace_back();
            if (!maker.make(track, *segment, previous, clips.back())) {
                clips.pop_back();
                previous = nullptr;
                continue;
            }
            previous = &clips.back();
        }
    }

    // By record in, the picture first.
    std::vector<std::size_t> order(clips.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (clips[a].recordIn != clips[b].recordIn)
            return clips[a].recordIn < clips[b].recordIn;
        return clips[a].channels < clips[b].channels;
    });

    std::vector<std::size_t>& events = list.events;
    events.reserve(order.size() + 1);
    // The composition starts where its first event does: black leads in from
    // its start when no clip does.
    if (!order.empty() && clips[order.front()].recordIn > context.start && context.start >= 0) {
        WrittenEvent black;
        black.black = true;
        black.reel = kBlack;
        black.recordIn = context.start;
        black.recordOut = clips[order.front()].recordIn;
        black.sourceOut = black.recordOut - black.recordIn;
        for (const WrittenTrack& track : tracks)
            if (track.channel != 0 && (black.channels == 0 || track.channel < black.channels))
                black.channels = track.channel;
        clips.push_back(std::move(black));
        events.push_back(clips.size() - 1);
    }
    // Clips alike on several channels, which start together, are one event.
    std::size_t run = events.size();
    for (const std::size_t index : order) {
        WrittenEvent& clip = clips[index];
        if (events.size() == run || clips[events.back()].recordIn != clip.recordIn)
            run = events.size();
        const auto same = std::find_if(
            events.begin() + static_cast<std::ptrdiff_t>(run), events.end(), [&](std::size_t e) {
                return !(clips[e].channels & clip.channels) && sameEvent(clips[e], clip);
            });
        if (same != events.end())
            merge(clips[*same], clip);
        else
            events.push_back(index);
    }
    return list;
}

} // namespace ZEM_0_81::Interchange::Cmx
