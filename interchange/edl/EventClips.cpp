#include "interchange/edl/EventClips.h"

#include "interchange/edl/EdlComments.h"
#include "interchange/edl/EdlKept.h"
#include "interchange/edl/EventText.h"
#include "interchange/kept/ForeignMembers.h"
#include "interchange/notes/ReviewNotes.h"

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmGapNode.h"
#include "outside/dmtree/DmLookSettings.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace ZEM_0_81::Interchange::Cmx {

namespace {

constexpr const char* kDefaultColour = "GREEN";
constexpr std::size_t kKeywordCount = static_cast<std::size_t>(Keyword::Count);
// A speed this close to the rate plays as it stands: M2 writes speeds to one
// decimal (and 23.9 lies a rounding error more than 0.1 from 24).
constexpr double kSpeedTolerance = 0.1 + 1e-9;
constexpr const char* kAvailableRange = "available_range";

std::size_t slot(Keyword keyword) {
    return static_cast<std::size_t>(keyword);
}

const char* transitionWord(const EventLine& line) {
    return line.transition == Transition::Wipe ? "wipe" : "dissolve";
}

/// The track kinds `channels` name, picture first; a key's foreground picture
/// goes on V2.
std::vector<TrackKind> kindsOf(std::uint8_t channels, bool foreground) {
    std::vector<TrackKind> kinds;
    if (channels & kVideo)
        kinds.push_back(foreground ? TrackKind::V2 : TrackKind::V);
    const std::pair<std::uint8_t, TrackKind> audio[] = {{kAudio1, TrackKind::A1},
                                                        {kAudio2, TrackKind::A2},
                                                        {kAudio3, TrackKind::A3},
                                                        {kAudio4, TrackKind::A4}};
    for (const auto& [channel, kind] : audio)
        if (channels & channel)
            kinds.push_back(kind);
    return kinds;
}

} // namespace

/// The statements of an event's comment lines: the first well-formed one of
/// each single-valued keyword, the locators, speeds and AUD channels, and which
/// lines describe something (the others are plain comments).
struct EventClips::Statements {
    std::array<int, kKeywordCount> first;
    std::array<std::string, kKeywordCount> values;
    std::vector<bool> used;

    struct Note {
        std::size_t index = 0;
        std::int64_t frame = 0;
        Locator locator;
    };
    std::vector<Note> notes;

    struct Speed {
        std::size_t index = 0;
        SpeedChange change;
        bool taken = false;
    };
    std::vector<Speed> speeds;

    std::uint8_t aud = 0;
    bool hasSop = false;
    std::array<double, 9> sop{};
    bool hasSat = false;
    double saturation = 1.0;

    Statements() { first.fill(-1); }

    /// The value of `keyword`, marking its line as describing a line of the
    /// event; empty when the event has none.
    std::string take(Keyword keyword) {
        const int index = first[slot(keyword)];
        if (index < 0)
            return {};
        used[static_cast<std::size_t>(index)] = true;
        return values[slot(keyword)];
    }
};

/// One line of an event as it places segments.
struct EventClips::Side {
    const CountedLine* line = nullptr;
    bool main = false;       ///< the event's own line: it carries the comments and notes
    bool foreground = false; ///< a key's foreground, on V2
    std::string name;
    std::string file;
    bool hasTransition = false;
    Kept::TransitionData transition;
    std::string keyCode;
    const Statements::Speed* speed = nullptr;
};

EventClips::Statements EventClips::statementsOf(const Event& event) const {
    Statements statements;
    statements.used.assign(event.comments.size(), false);
    for (std::size_t i = 0; i < event.comments.size(); ++i) {
        const CommentLine& comment = event.comments[i];
        std::string_view value;
        const Keyword keyword = keywordOf(comment.text, value);
        if (keyword == Keyword::None || keyword == Keyword::Split)
            continue;
        if (keyword == Keyword::Loc) {
            Statements::Note note;
            std::string why;
            if (!parseLocator(value, note.locator) ||
                !m_counter.frames(note.locator.time, comment.dropFrame, note.frame, why))
                continue;
            if (!m_counter.dropRate() && !note.locator.time.isCount &&
                (comment.dropFrame || note.locator.time.marksDropFrame))
                m_report.dropFrameAtRate(comment.line, m_counter.rate());
            note.index = i;
            statements.used[i] = true;
            statements.notes.push_back(std::move(note));
            continue;
        }
        if (keyword == Keyword::Aud) {
            if (const std::uint8_t channels = audChannels(value)) {
                statements.aud |= channels;
                statements.used[i] = true;
            }
            continue;
        }
        if (keyword == Keyword::M2) {
            Statements::Speed speed;
            if (parseSpeedChange(value, speed.change)) {
                speed.index = i;
                statements.speeds.push_back(std::move(speed));
            }
            continue;
        }
        if (statements.first[slot(keyword)] >= 0)
            continue;
        bool wellFormed = !value.empty();
        if (keyword == Keyword::AscSop)
            wellFormed = parseSop(value, statements.sop) && (statements.hasSop = true);
        else if (keyword == Keyword::AscSat)
            wellFormed = parseSat(value, statements.saturation) && (statements.hasSat = true);
        else if (keyword == Keyword::FreezeFrame)
            wellFormed = true;
        if (!wellFormed)
            continue;
        statements.first[slot(keyword)] = static_cast<int>(i);
        statements.values[slot(keyword)].assign(value);
        // Looks and freezes belong to the event's own line whatever it is.
        if (keyword == Keyword::AscSop || keyword == Keyword::AscSat ||
            keyword == Keyword::FreezeFrame)
            statements.used[i] = true;
    }
    return statements;
}

void EventClips::add(const Event& event) {
    Statements statements = statementsOf(event);
    const EventLine& text = event.main.text;

    Side main;
    main.line = &event.main;
    main.main = true;
    Side first;
    const bool transition =
        text.transition == Transition::Dissolve || text.transition == Transition::Wipe;
    const bool key = text.transition == Transition::Key || text.transition == Transition::KeyOut;
    const bool firstPlaces = event.paired && event.first.recordLength() > 0;

    // The first line is described by the FROM statements, the second by the TO
    // ones; a line of its own by FROM CLIP NAME and SOURCE FILE first.
    if (firstPlaces) {
        first.line = &event.first;
        first.name = statements.take(Keyword::FromClipName);
        if (!isBlackReel(event.first.text.reel)) {
            first.file = statements.take(Keyword::FromFile);
            if (first.file.empty())
                first.file = statements.take(Keyword::FromClip);
        }
    }
    if (transition || key) {
        main.name = statements.take(Keyword::ToClipName);
        if (!isBlackReel(text.reel)) {
            main.file = statements.take(Keyword::ToFile);
            if (main.file.empty())
                main.file = statements.take(Keyword::ToClip);
            if (main.file.empty())
                main.file = statements.take(Keyword::SourceFile);
        }
    } else {
        main.name = statements.take(Keyword::FromClipName);
        if (!isBlackReel(text.reel)) {
            main.file = statements.take(Keyword::SourceFile);
            if (main.file.empty())
                main.file = statements.take(Keyword::FromFile);
            if (main.file.empty())
                main.file = statements.take(Keyword::FromClip);
        }
    }
    if (transition) {
        main.hasTransition = true;
        main.transition.wipe = text.transition == Transition::Wipe;
        main.transition.code = text.transitionCode;
        main.transition.duration = text.duration;
        if (!firstPlaces) {
            // A first line lasting nothing names the outgoing source; without
            // one, the FROM statements still describe it.
            Kept::Outgoing& from = main.transition.from;
            if (event.paired) {
                main.transition.hasFrom = true;
                from.reel = event.first.text.reel;
                from.sourceIn = event.first.sourceIn;
            }
            from.name = statements.take(Keyword::FromClipName);
            from.file = statements.take(Keyword::FromFile);
            if (from.file.empty())
                from.file = statements.take(Keyword::FromClip);
        }
    }
    if (key) {
        main.foreground = true;
        main.keyCode = text.transitionCode;
        m_report.lose(text.line, kEventSchema,
                      "key not applied: the edit tree has no keys; its foreground plays on "
                      "track V2, over its background");
    }

    // A speed belongs to the line of its reel, else to the event's own line.
    // One naming the reel of a first line that places nothing is that source's,
    // which the edit tree does not hold: a plain comment.
    // When both lines play the same reel, one M2 naming it is the event's own
    // line's; of two, the first is the first line's.
    std::size_t namingBoth = 0;
    if (firstPlaces && event.first.text.reel == text.reel)
        for (const Statements::Speed& speed : statements.speeds)
            namingBoth += speed.change.reel == text.reel ? 1 : 0;
    for (Statements::Speed& speed : statements.speeds) {
        const std::string& reel = speed.change.reel;
        Side* side = nullptr;
        if (firstPlaces && !first.speed && reel == event.first.text.reel &&
            (reel != text.reel || namingBoth > 1))
            side = &first;
        else if (!main.speed &&
                 (reel == text.reel || !event.paired || reel != event.first.text.reel))
            side = &main;
        if (side) {
            side->speed = &speed;
            speed.taken = true;
            statements.used[speed.index] = true;
        }
    }

    if (firstPlaces)
        placeSide(event, first, statements);
    if (!placeSide(event, main, statements) && !event.comments.empty())
        m_report.lose(text.line, kEventSchema,
                      "its comment lines are not kept: the event places nothing to keep them on");
}

bool EventClips::placeSide(const Event& event, const Side& side, Statements& statements) {
    const CountedLine& line = *side.line;
    const EventLine& text = line.text;
    const std::int64_t length = line.recordLength();
    const std::uint8_t channels = text.channels | statements.aud;
    if (channels == 0) {
        m_report.lose(text.line, kEventSchema,
                      "its channels \"" + text.channelText + "\" name no track: it places nothing");
        return false;
    }
    if (length == 0) {
        if (side.hasTransition)
            m_report.lose(text.line, kEventSchema,
                          std::string("dropped: the ") + transitionWord(text) +
                              "'s incoming line lasts no frame, and places nothing");
        return false;
    }
    const bool black = isBlackReel(text.reel);
    const double rate = m_counter.rate().getValue();

    // What the clip keeps and the list says beyond it.
    const bool freeze = side.main && statements.first[slot(Keyword::FreezeFrame)] >= 0;
    std::vector<std::string> speeds;
    bool playsAsItStands = true;
    std::size_t speedLine = 0;
    std::string speedWhat;
    if (side.speed) {
        const double speed = side.speed->change.speed;
        const std::string& statement = event.comments[side.speed->index].text;
        speeds.push_back(Kept::speedText(speed == 0.0, speed / rate, Kept::kM2, statement));
        playsAsItStands =
            std::fabs(speed - rate) <= kSpeedTolerance || (speed == 0.0 && length == 1);
        speedLine = event.comments[side.speed->index].line;
        speedWhat =
            speed == 0.0 ? "freeze frame" : "speed " + speedText(speed) + " frames a second";
    }
    if (freeze) {
        const auto index = static_cast<std::size_t>(statements.first[slot(Keyword::FreezeFrame)]);
        speeds.push_back(
            Kept::speedText(true, 0.0, Kept::kFreezeFrame, event.comments[index].text));
        // Said at the M2 line when there is one, as one speed of the clip.
        if (length != 1 && playsAsItStands)
            speedWhat = "freeze frame";
        playsAsItStands = playsAsItStands && length == 1;
        if (!side.speed)
            speedLine = event.comments[index].line;
    }
    if (speeds.empty() && !black && line.sourceLength() != length)
        m_report.lose(text.line, kEventSchema,
                      "the source lasts " + std::to_string(line.sourceLength()) +
                          " frames and the record " + std::to_string(length) +
                          ": the record length holds" + ForeignMembers::Leftovers::kKeptNote);
    std::string transitionJson;
    if (side.hasTransition) {
        transitionJson = Kept::transitionText(side.transition, rate);
        m_report.lose(text.line, kEventSchema,
                      std::string(transitionWord(text)) + " of " +
                          std::to_string(side.transition.duration) +
                          " frames not applied: the edit tree has no transitions, and one takes "
                          "no record time: nothing moves" +
                          ForeignMembers::Leftovers::kKeptNote);
    }
    if (!playsAsItStands)
        m_report.lose(speedLine, side.speed ? "M2" : "FREEZE FRAME",
                      speedWhat + " not applied: the clip plays its record length at the rate" +
                          ForeignMembers::Leftovers::kKeptNote);

    Kept::SegmentData data;
    data.reel = text.reel;
    if (line.sourceLength() != length && !black) {
        data.hasSource = true;
        data.sourceIn = line.sourceIn;
        data.sourceOut = line.sourceOut;
        data.recordLength = length;
    }
    data.keyCode = side.keyCode;
    data.keyDuration = text.duration;

    bool firstSegment = true;
    for (const TrackKind kind : kindsOf(channels, side.foreground)) {
        const eDmTreeMediaType mediaType =
            kind == TrackKind::V || kind == TrackKind::V2 ? eDmMediaVideo : eDmMediaAudio;
        CoSharedPtr<DmSegmentNode> segment;
        if (black) {
            segment =
                DmGapNode::create(static_cast<double>(line.recordIn), static_cast<double>(length),
                                  mediaType, DmString(side.name));
        } else {
            CoSharedPtr<DmSourceInfo> info;
            if (!side.file.empty()) {
                info = DmSourceInfo::create();
                info->addSequence(DmString(side.file));
            }
            // The list says nothing of the media's own range: the input spans
            // what the clip plays, and is written to standard OTIO without one.
            const CoSharedPtr<DmSourceNode::MediaInput> input(DmSourceNode::MediaInput::create(
                static_cast<double>(line.sourceIn), static_cast<double>(length), info.get(),
                DmString(m_fcm), mediaType, true));
            ForeignMembers::Leftovers inputLeftovers;
            inputLeftovers.null(kAvailableRange);
            inputLeftovers.keepOn(*input);
            const CoSharedPtr<DmSourceNode> source(
                DmSourceNode::create(input.get(), static_cast<double>(line.recordIn),
                                     static_cast<double>(length), 0.0, true, false));
            source->setName(DmString(side.name.empty() ? text.reel : side.name));
            segment = source;
        }

        const bool notes = side.main && firstSegment;
        data.comments.clear();
        if (notes)
            for (std::size_t i = 0; i < event.comments.size(); ++i)
                if (!statements.used[i])
                    data.comments.push_back(event.comments[i].text);
        Kept::keepSegment(data, *segment);

        if (side.main && (statements.hasSop || statements.hasSat)) {
            const CoSharedPtr<DmLookSettings> look(DmLookSettings::create());
            if (statements.hasSop)
                for (int c = 0; c < 3; ++c) {
                    look->slope[c] = statements.sop[static_cast<std::size_t>(c)];
                    look->offset[c] = statements.sop[static_cast<std::size_t>(3 + c)];
                    look->power[c] = statements.sop[static_cast<std::size_t>(6 + c)];
                }
            if (statements.hasSat)
                look->saturation = statements.saturation;
            segment->addEffect(look.get());
        }
        if (notes) {
            for (const Statements::Note& note : statements.notes) {
                if (note.frame > std::numeric_limits<std::int32_t>::max()) {
                    m_report.lose(event.comments[note.index].line, "LOC",
                                  "dropped: its frame lies past the latest a note can mark");
                    continue;
                }
                const std::string& word = note.locator.colour;
                const char* colour = word.empty() ? kDefaultColour : locatorColourOf(word);
                std::array<float, 4> rgba{};
                ReviewNotes::namedColour(colour, rgba);
                const CoSharedPtr<DmAnnotationSettings> annotation = ReviewNotes::reviewNote(
                    note.locator.caption, rgba, static_cast<std::int32_t>(note.frame), 1);
                const double start =
                    static_cast<double>((black ? 0 : line.sourceIn) + (note.frame - line.recordIn));
                const DmString marker(
                    Kept::markerText(note.locator.caption, colour, word, start, rate));
                annotation->setPropertyValue(ForeignMembers::kMarkerId, eDmPropString, &marker);
                segment->addEffect(annotation.get());
            }
        }
        if (!speeds.empty()) {
            ForeignMembers::Leftovers leftovers;
            for (const std::string& speed : speeds) {
                rapidotio::Document effect;
                ForeignMembers::parseKept(speed, effect);
                leftovers.effect(effect);
            }
            leftovers.keepOn(*segment);
        }
        if (side.hasTransition) {
            rapidotio::Document kept;
            ForeignMembers::parseKept(transitionJson, kept);
            ForeignMembers::KeptTransitions transitions;
            transitions.add(kept);
            transitions.keepOn(*segment);
        }

        const std::size_t lane = m_lanes.place(kind, line.recordIn, line.recordOut, segment);
        if (lane > 0)
            m_report.lose(text.line, kEventSchema,
                          std::string("overlaps what track ") + trackName(kind) +
                              " holds before it: placed on track " +
                              TrackLanes::laneName(kind, lane));
        m_placedEnd = m_anyPlaced ? std::max(m_placedEnd, line.recordOut) : line.recordOut;
        m_anyPlaced = true;
        firstSegment = false;
    }
    return true;
}

} // namespace ZEM_0_81::Interchange::Cmx
