#include "interchange/xmeml/WrittenTrack.h"

#include "interchange/kept/ForeignMembers.h"
#include "interchange/kept/KeptObjects.h"
#include "interchange/notes/ReviewNotes.h"
#include "interchange/timing/RecordTime.h"
#include "interchange/xmeml/DocumentIndex.h"
#include "interchange/xmeml/XmemlNames.h"
#include "json/EditTree.h"

#include "outside/dmtree/DmAnnotationSettings.h"
#include "outside/dmtree/DmLayerNode.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace ZEM_0_81::Interchange::Fcp7 {

namespace {

using namespace Names;

constexpr const char* kGapSchema = "gap";
constexpr const char* kCrossDissolve = "Cross Dissolve";
constexpr const char* kCrossFade = "Cross Fade (+3dB)";

bool aligns(const std::string& alignment, std::int64_t start, std::int64_t end, std::int64_t cut) {
    if (alignment == kAlignStart || alignment == kAlignStartBlack)
        return cut == start;
    if (alignment == kAlignEnd || alignment == kAlignEndBlack)
        return cut == end;
    return cut == start + (end - start) / 2;
}

/// The ticks of `frames` at `rate` (Premiere Pro's, 254016000000 a second).
std::int64_t ticksOf(std::int64_t frames, const FrameRate& rate) {
    const Rational exact = rate.rational();
    const long double perFrame =
        static_cast<long double>(kTicksPerSecond) * exact.getDenominator() / exact.getNumerator();
    return static_cast<std::int64_t>(std::llround(frames * perFrame));
}

std::string captionOf(const std::string& name, const std::string& comment) {
    return name.empty() ? comment : comment.empty() ? name : name + ": " + comment;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.10g", value);
    return text;
}

void parameter(XmlOut& out, const char* id, const std::string& value) {
    out.open(kParameter);
    out.element(kParameterId, id);
    out.element(kName, id);
    out.element(kValue, value);
    out.close(kParameter);
}

/// A Time Remap filter of a constant speed `scalar` (1 plays as recorded).
void writeSpeed(XmlOut& out, double scalar, bool audio) {
    out.open(kFilter);
    out.open(kEffect);
    out.element(kName, kTimeRemapName);
    out.element(kEffectId, kTimeRemapId);
    out.element(kEffectCategory, "motion");
    out.element(kEffectType, "motion");
    out.element(kMediaType, audio ? kAudio : kVideo);
    parameter(out, kVariableSpeed, "0");
    parameter(out, kSpeed, number(std::fabs(scalar) * 100.0));
    parameter(out, kReverse, scalar < 0.0 ? kTrue : kFalse);
    out.close(kEffect);
    out.close(kFilter);
}

/// Makes `element`'s child `name` hold `frames` and nothing else: a kept child
/// whose text other elements split ("3<x/>0", read as 30) is emptied first, so
/// that it is read back as written.
void setFrames(pugi::xml_node element, const char* name, std::int64_t frames) {
    pugi::xml_node child = element.child(name) ? element.child(name) : element.append_child(name);
    while (child.first_child())
        child.remove_child(child.first_child());
    child.text().set(std::to_string(frames).c_str());
}

} // namespace

WrittenTrack::WrittenTrack(WriteContext& context, WrittenFiles& files, const TimelineTrack& track,
                           const std::vector<DmSegmentNode*>& segments, const DmLayerNode* layer,
                           bool audio, std::size_t number, std::size_t count)
    : m_context(context), m_files(files), m_audio(audio) {
    m_place = std::string("/xmeml/sequence/media/") + (audio ? kAudio : kVideo) + "/" + kTrack +
              (count > 1 ? "[" + std::to_string(number) + "]" : "");
    if (layer)
        Kept::keptOf(*layer, m_kept);
    const std::string named = (audio ? "A" : "V") + std::to_string(number);
    if (!track.name.empty() && track.name != named)
        context.lose(m_place, kTrack,
                     "its name \"" + track.name + "\" is not written: an xmeml track has none");
    if (track.kind == TimelineTrack::Kind::None)
        context.lose(m_place, kTrack,
                     "a track of neither picture nor sound is written as a video track");

    std::int64_t end = 0;
    bool any = false;
    for (std::size_t i = 0; i < track.items.size() && i < segments.size(); ++i) {
        const TimelineItem& item = track.items[i];
        if (item.isGap() && (!item.effects.empty() || !item.notes.empty()))
            context.lose(m_place, kGapSchema,
                         "the effects and notes of the gap at frame " +
                             std::to_string(item.record.start) +
                             " are not written: a track holds nothing between its clips");
        if (const auto* source = dynamic_cast<const DmSourceNode*>(segments[i]);
            source && item.isClip())
            planClip(item, *source);
        planTransitions(*segments[i], item.record.start);
        end = item.record.end();
        any = true;
    }
    if (layer)
        planTransitions(*layer, any ? end : static_cast<std::int64_t>(layer->getLayerStartTC()));

    std::stable_sort(m_events.begin(), m_events.end(), [](const Event& a, const Event& b) {
        return a.position < b.position ||
               (a.position == b.position && a.transition && !b.transition);
    });
    // Where a reader keeps each transition: on the first clip or gap that
    // starts at or after its cut, else after the last clip (at the track's
    // start when it holds none). It fills the frames from the track's start to
    // its first clip, and between two clips, with a gap: before each clip, the
    // first item starts where the one before ends, or at the clip.
    std::vector<std::int64_t> starts;
    std::int64_t last = 0;
    for (const Event& event : m_events) {
        if (event.transition)
            continue;
        starts.push_back(std::min(last, event.start));
        starts.push_back(event.start);
        last = event.end;
    }
    // One transition a cut: the first kept there. One a reader would keep at
    // another cut than its own (its clip not written, or after a gap at the
    // track's end) would move each time it is written: it is reported instead.
    std::vector<Event> kept;
    for (Event& event : m_events) {
        if (event.transition) {
            const auto found = std::lower_bound(starts.begin(), starts.end(), event.cut);
            const std::int64_t readBack = found == starts.end() ? last : *found;
            if (readBack != event.cut) {
                const std::string& name = event.data.name;
                context.lose(m_place, kTransitionItem,
                             (name.empty() ? std::string("the transition") : "\"" + name + "\"") +
                                 " at frame " + std::to_string(event.cut) +
                                 " is not written: no clip written starts or ends there, and "
                                 "read back it would cut at frame " +
                                 std::to_string(readBack));
                continue;
            }
        }
        if (event.transition && !kept.empty() && kept.back().transition &&
            kept.back().cut == event.cut) {
            context.lose(m_place, kTransitionItem,
                         "a second transition at frame " + std::to_string(event.cut) +
                             " is not written: a cut holds one");
            continue;
        }
        kept.push_back(std::move(event));
    }
    m_events = std::move(kept);
    markEdges();
    for (Event& event : m_events) {
        const std::size_t slot = event.transition                             ? 2
                                 : std::strcmp(event.element, kClipItem) == 0 ? 0
                                                                              : 1;
        event.index = ++m_counts[slot];
    }
}

void WrittenTrack::planClip(const TimelineItem& item, const DmSourceNode& source) {
    Event event;
    event.item = &item;
    event.source = &source;
    Kept::keptOf(source, event.kept);
    event.start = m_context.record(item.record.start) - m_context.start;
    event.end = m_context.record(item.record.end()) - m_context.start;
    if (event.end <= event.start) {
        // A reader drops a clip that lasts no frame; at a rate other than the
        // composition's, a short one can.
        m_context.lose(m_place, kClipItem,
                       "\"" + item.name + "\" lasts less than a frame at " +
                           m_context.rate().fcm() + " frames a second: not written");
        return;
    }
    event.position = event.start;
    // Sound counting samples counts at the sequence's rate; a picture keeps
    // its own, however fast, while xmeml can say it.
    FrameRate rate;
    const bool ownRate = (!m_audio || !TimelineView::isSampleRate(item.source.rate)) &&
                         frameRateOf(item.source.rate, rate);
    event.rate = ownRate ? rate : m_context.rate();
    const double sourceRate = item.source.rate.getNumerator() > 0 ? item.source.rate.getValue()
                                                                  : m_context.compositionRate();

    const DmSourceNode::Input* input = source.getInput();
    const DmSourceInfo* info = input ? input->getSrcInfo() : nullptr;
    const bool hasPath = info && !info->getSequence(0).str().empty();
    if (input) {
        // A start the edit tree does not know counts from 0.
        const double availableIn =
            Json::EditTree::isSetPosition(input->getAvailIn()) ? input->getAvailIn() : 0.0;
        event.mediaStart = countAt(availableIn, sourceRate, event.rate.value(), false);
        event.mediaLength =
            countAt(availableIn + input->getAvailLength(), sourceRate, event.rate.value(), true) -
            event.mediaStart;
    }
    if (item.source.start) {
        event.sourceStart =
            countAt(static_cast<double>(*item.source.start), sourceRate, event.rate.value(), false);
        if (static_cast<double>(event.sourceStart) !=
            RecordTime::wholeIfNear(RecordTime::rescale(static_cast<double>(*item.source.start),
                                                        sourceRate, event.rate.value())))
            m_context.lose(m_place, kClipItem,
                           "the source of \"" + item.name + "\" at frame " +
                               std::to_string(*item.source.start) + " counts at " +
                               number(sourceRate) + " frames a second: written at " +
                               event.rate.fcm() + ", rounded to frame " +
                               std::to_string(event.sourceStart));
    } else {
        event.sourceStart = event.mediaStart;
        m_context.lose(m_place, kClipItem,
                       "the source start of \"" + item.name +
                           "\" is not known: written from its media's first frame");
    }
    const std::string nested = event.kept.text(Kept::kNested);
    const bool generator = event.kept.element == kGeneratorItem && !hasPath;
    event.element = generator ? kGeneratorItem : kClipItem;
    Kept::KeptElement keptFile;
    if (input)
        Kept::keptOf(*input, keptFile);
    const bool fileKept =
        !keptFile.text(Kept::kFile).empty() || !keptFile.text(Kept::kFileId).empty();
    if (!nested.empty() && !hasPath) {
        event.nested = nested;
    } else if (!generator && (hasPath || fileKept)) {
        event.file = m_files.fileOf(*input, keptFile, item.name, event.rate, m_audio);
        event.hasFile = true;
    } else {
        // Without a file, a clip's in point counts from the media's frame 0.
        event.mediaLength += event.mediaStart;
        event.mediaStart = 0;
    }
    if (source.getNbMultiInputs() > 1)
        m_context.lose(m_place, kClipItem,
                       "the media inputs of \"" + item.name +
                           "\" past its first are not written: a clip has one file");
    for (const auto& [name, value] : event.kept.attributes)
        if (name == kId)
            event.wantedId = value;
    m_events.push_back(std::move(event));
}

void WrittenTrack::planTransitions(const DmPropertySet& object, std::int64_t cut) {
    rapidotio::Document document;
    const Value* kept = ForeignMembers::KeptTransitions::kept(object, document);
    if (!kept)
        return;
    for (const Value& value : kept->GetArray()) {
        Event event;
        event.transition = true;
        if (!Kept::transitionOf(value, m_context.compositionRate(), event.data))
            continue;
        event.cut = m_context.record(cut) - m_context.start;
        event.position = event.cut;
        const std::int64_t start = m_context.record(cut - event.data.inOffset) - m_context.start;
        const std::int64_t end = m_context.record(cut + event.data.outOffset) - m_context.start;
        event.data.inOffset = event.cut - start;
        event.data.outOffset = end - event.cut;
        m_events.push_back(std::move(event));
    }
}

void WrittenTrack::markEdges() {
    for (std::size_t k = 0; k < m_events.size(); ++k) {
        Event& transition = m_events[k];
        if (!transition.transition)
            continue;
        for (std::size_t before = k; before-- > 0;) {
            Event& clip = m_events[before];
            if (clip.transition)
                continue;
            if (clip.end == transition.cut) {
                clip.endsAtTransition = true;
                transition.clipBefore = true;
            }
            break;
        }
        for (std::size_t after = k + 1; after < m_events.size(); ++after) {
            Event& clip = m_events[after];
            if (clip.transition)
                continue;
            if (clip.start == transition.cut) {
                clip.startsAtTransition = true;
                transition.clipAfter = true;
            }
            break;
        }
    }
}

void WrittenTrack::claimIds() {
    for (Event& event : m_events)
        if (!event.transition && !event.wantedId.empty() && m_context.take(event.wantedId))
            event.id = XmlOut::writable(event.wantedId);
}

void WrittenTrack::assignIds() {
    for (Event& event : m_events)
        if (!event.transition && event.id.empty())
            event.id = m_context.uniqueId(std::string(), event.element);
}

void WrittenTrack::nestedIds(std::set<std::string>& ids) const {
    for (const Event& event : m_events) {
        if (event.nested.empty())
            continue;
        pugi::xml_document document;
        document.load_buffer(event.nested.data(), event.nested.size());
        const pugi::xml_node root = document.document_element();
        if (*root.attribute(kId).value())
            ids.insert(root.attribute(kId).value());
        DocumentIndex::eachElement(root, [&](const pugi::xml_node& element) {
            if (*element.attribute(kId).value())
                ids.insert(element.attribute(kId).value());
            return true;
        });
    }
}

std::string WrittenTrack::placeOf(const Event& event) const {
    const char* element = event.transition ? kTransitionItem : event.element;
    const std::size_t slot = event.transition ? 2 : std::strcmp(element, kClipItem) == 0 ? 0 : 1;
    return m_place + "/" + element +
           (m_counts[slot] > 1 ? "[" + std::to_string(event.index) + "]" : "");
}

void WrittenTrack::write(XmlOut& out, std::set<std::string>& nested) {
    out.open(kTrack, m_kept.attributes);
    for (Event& event : m_events) {
        if (event.transition)
            writeTransition(out, event);
        else
            writeClip(out, event, nested);
    }
    out.raw(m_kept.kept);
    out.close(kTrack);
}

void WrittenTrack::writeTransition(XmlOut& out, const Event& event) {
    const Kept::TransitionData& data = event.data;
    const Kept::KeptElement& kept = data.element;
    const std::int64_t start = event.cut - data.inOffset;
    const std::int64_t end = event.cut + data.outOffset;
    std::string alignment = kept.text(Kept::kAlignment);
    if (alignment.empty() || !aligns(alignment, start, end, event.cut)) {
        alignment = data.inOffset == 0    ? (event.clipBefore ? kAlignStart : kAlignStartBlack)
                    : data.outOffset == 0 ? (event.clipAfter ? kAlignEnd : kAlignEndBlack)
                                          : kAlignCenter;
    }
    double keptTicks = 0.0;
    const bool ticks =
        kept.number(Kept::kCutPoint, keptTicks) || !aligns(alignment, start, end, event.cut);
    out.open(kTransitionItem, kept.attributes);
    writeRate(out, m_context.rate());
    out.element(kStart, start);
    out.element(kEnd, end);
    out.element(kAlignment, alignment);
    if (ticks)
        out.element(kCutPointTicks, ticksOf(data.inOffset, m_context.rate()));
    if (!kept.kept.empty()) {
        out.raw(kept.kept);
    } else {
        const std::string name = !data.name.empty() ? data.name
                                 : m_audio          ? kCrossFade
                                                    : kCrossDissolve;
        out.open(kEffect);
        out.element(kName, name);
        out.element(kEffectId, name);
        out.element(kEffectCategory, m_audio ? "Audio Transitions" : "Dissolve");
        out.element(kEffectType, "transition");
        out.element(kMediaType, m_audio ? kAudio : kVideo);
        out.close(kEffect);
    }
    out.close(kTransitionItem);
}

void WrittenTrack::writeClip(XmlOut& out, Event& event, std::set<std::string>& nested) {
    const TimelineItem& item = *event.item;
    const DmSourceNode& source = *event.source;
    std::int64_t mediaStart = event.mediaStart;
    std::int64_t mediaLength = event.mediaLength;
    if (event.hasFile) {
        const auto [first, end] = m_files.spanAt(event.file, event.rate);
        mediaStart = first;
        mediaLength = end - first;
    }
    const std::int64_t in = event.sourceStart - mediaStart;
    const std::int64_t length = static_cast<std::int64_t>(
        std::llround(RecordTime::rescale(static_cast<double>(event.end - event.start),
                                         m_context.rate().value(), event.rate.value())));
    std::int64_t out_ = in + length;
    double keptOut = 0.0, keptLength = 0.0, keptIn = 0.0;
    if (event.kept.number(Kept::kOut, keptOut) &&
        event.kept.number(Kept::kRecordLength, keptLength) &&
        event.kept.number(Kept::kIn, keptIn) &&
        keptLength == static_cast<double>(event.end - event.start) &&
        keptIn == static_cast<double>(in))
        out_ = static_cast<std::int64_t>(keptOut);

    XmlOut::Attributes attributes = event.kept.attributes;
    bool hasId = false;
    for (auto& [name, value] : attributes)
        if (name == kId) {
            value = event.id;
            hasId = true;
        }
    if (!hasId)
        attributes.insert(attributes.begin(), {kId, event.id});
    if (XmlOut::holdsControl(item.name))
        m_context.lose(placeOf(event), event.element,
                       "the characters of its name that XML cannot hold are left out");
    out.open(event.element, attributes);
    out.element(kName, item.name);
    out.element(kDuration, mediaLength);
    writeRate(out, event.rate);
    out.element(kStart, event.startsAtTransition ? -1 : event.start);
    out.element(kEnd, event.endsAtTransition ? -1 : event.end);
    out.element(kIn, in);
    out.element(kOut, out_);
    out.element(kEnabled, ForeignMembers::Leftovers::enabled(source) ? kTrue : kFalse);
    if (event.hasFile) {
        m_files.write(out, event.file);
    } else if (!event.nested.empty()) {
        pugi::xml_document document;
        document.load_buffer(event.nested.data(), event.nested.size());
        const std::string id = document.document_element().attribute(kId).value();
        // Two uses are one sequence when they are written the same: as laid
        // out, without the characters XML cannot hold, they also read back
        // the same.
        std::string written;
        XmlOut(written).raw(event.nested);
        if (id.empty() || nested.insert(written).second)
            out.raw(event.nested);
        else
            out.empty(kSequence, {{kId, id}});
    }
    writeEffects(out, event);
    out.raw(event.kept.kept);

    writeMarkers(out, event, in);
    out.close(event.element);
}

void WrittenTrack::writeMarkers(XmlOut& out, const Event& event, std::int64_t in) {
    const TimelineItem& item = *event.item;
    const DmSourceNode& source = *event.source;
    // The markers review notes keep, as they came, by what their notes show.
    struct KeptMarker {
        ReviewNotes::Note note;
        std::string xml;
        bool used = false;
    };
    std::vector<KeptMarker> keptMarkers;
    for (std::uint32_t i = 0; i < source.getNbEffects(); ++i) {
        const DmEffectSettings* effect = source.getEffect(i);
        const auto* annotation = dynamic_cast<const DmAnnotationSettings*>(effect);
        ReviewNotes::Note note;
        if (annotation && ReviewNotes::noteShown(*annotation, note)) {
            keptMarkers.push_back(KeptMarker{note, Kept::keptMarkerXml(*annotation)});
            continue;
        }
        const Json::EditTree::EffectKind kind =
            effect ? Json::EditTree::effectKindOf(*effect) : Json::EditTree::EffectKind::Other;
        if (kind == Json::EditTree::EffectKind::Annotation)
            continue; // its texts are among the notes, its drawing reported below
        const char* word = kind == Json::EditTree::EffectKind::Comp          ? "Comp"
                           : kind == Json::EditTree::EffectKind::AngularMask ? "AngularMask"
                           : kind == Json::EditTree::EffectKind::Look        ? "CDL"
                                                                             : "Other";
        m_context.lose(placeOf(event), event.element,
                       std::string("effect \"") + word +
                           "\" not written: xmeml has no filter it could be");
    }
    if (item.hasPaint())
        m_context.lose(placeOf(event), event.element,
                       "its paint strokes are not written: a marker holds a text, no drawing");

    const auto atClip = [&](std::int64_t sequenceFrames) {
        return static_cast<std::int64_t>(std::llround(RecordTime::rescale(
            static_cast<double>(sequenceFrames), m_context.rate().value(), event.rate.value())));
    };
    for (const TimelineNote& note : item.notes) {
        const std::int64_t first = note.range.start;
        const std::int64_t recordFirst = m_context.record(first) - m_context.start;
        const std::int64_t markerIn = in + atClip(recordFirst - event.start);
        const std::int64_t recordLength =
            m_context.record(note.range.end()) - m_context.record(first);
        const std::int64_t markerLength = atClip(recordLength);
        pugi::xml_document document;
        pugi::xml_node marker;
        for (KeptMarker& kept : keptMarkers) {
            const bool same = !kept.used && kept.note.caption == note.text &&
                              (!kept.note.ranged || (kept.note.start == note.range.start &&
                                                     kept.note.duration == note.range.duration));
            if (!same)
                continue;
            kept.used = true;
            if (!kept.xml.empty() && document.load_buffer(kept.xml.data(), kept.xml.size()))
                marker = document.document_element();
            if (marker &&
                captionOf(childText(marker, kName), childText(marker, kComment)) != note.text)
                marker = pugi::xml_node();
            break;
        }
        if (marker) {
            std::int64_t keptIn = 0, keptOut = -1;
            childFrames(marker, kIn, keptIn);
            childFrames(marker, kOut, keptOut);
            // A marker of no length shows for one record frame, however many
            // of the clip's that is.
            const bool point = keptOut <= keptIn && recordLength <= 1;
            setFrames(marker, kIn, markerIn);
            setFrames(marker, kOut, point ? -1 : markerIn + markerLength);
            out.node(marker);
            continue;
        }
        out.open(kMarker);
        out.element(kComment, note.text);
        out.element(kName, std::string());
        out.element(kIn, markerIn);
        out.element(kOut, markerLength <= 1 ? -1 : markerIn + markerLength);
        const ReviewNotes::Rgba rgba = {note.colour.red, note.colour.green, note.colour.blue,
                                        note.colour.alpha};
        if (rgba != ReviewNotes::kDefaultColour) {
            out.open(kColor);
            const char* components[] = {kRed, kGreen, kBlue, kAlpha};
            for (std::size_t c = 0; c < 4; ++c)
                out.element(components[c], static_cast<std::int64_t>(std::lround(
                                               std::clamp(rgba[c], 0.0f, 1.0f) * 255.0f)));
            out.close(kColor);
        }
        out.close(kMarker);
    }
}

void WrittenTrack::writeEffects(XmlOut& out, const Event& event) {
    rapidotio::Document document;
    const Value* effects = ForeignMembers::Leftovers::effects(*event.source, document);
    if (!effects || !effects->IsArray())
        return;
    bool speed = false;
    for (const Value& effect : effects->GetArray()) {
        const std::string schema = KeptObjects::schemaOf(effect);
        const bool isSpeed = schema == Kept::kTimeWarpSchema || schema == Kept::kTimeEffectSchema ||
                             schema == Kept::kFreezeFrameSchema;
        Kept::KeptElement kept;
        const Value* metadata = KeptObjects::memberOf(effect, KeptObjects::kMetadata);
        const bool asItCame = metadata && Kept::keptIn(*metadata, kept) && !kept.kept.empty();
        const Value* nameValue = KeptObjects::memberOf(effect, KeptObjects::kName);
        const std::string name = nameValue && nameValue->IsString() ? textOf(*nameValue) : schema;
        if (isSpeed && speed) {
            m_context.lose(placeOf(event), event.element,
                           "a second speed (\"" + name + "\") is not written: a clip has one");
            continue;
        }
        if (asItCame) {
            out.raw(kept.kept);
            speed = speed || isSpeed;
            continue;
        }
        double scalar = 0.0;
        const Value* scalarValue = KeptObjects::memberOf(effect, Kept::kTimeScalar);
        if (schema == Kept::kFreezeFrameSchema || (schema == Kept::kTimeWarpSchema && scalarValue &&
                                                   finiteNumber(*scalarValue, scalar))) {
            writeSpeed(out, scalar, m_audio);
            speed = true;
            continue;
        }
        m_context.lose(placeOf(event), event.element,
                       "effect \"" + name + "\" (" + schema +
                           ") not written: xmeml has no filter it could be");
    }
}

} // namespace ZEM_0_81::Interchange::Fcp7
