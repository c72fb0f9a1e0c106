#include "ValueConversion.h"

#include "ErrorRaising.h"
#include "outside/core/FPSUtils.h"

#include <cstdint>
#include <limits>

namespace py = pybind11;
using namespace py::literals;

namespace zempy {

using namespace ZEM_0_81;

py::object valueTypes() {
    return py::module_::import("zemcomposition._types");
}

namespace {

Rational rateFromNumber(double value, const py::handle& given) {
    Rational rate;
    const Status status = FPSUtils::getFPSFromValue(value, rate);
    if (!status)
        raiseError(status,
                   explain("no frame rate for " + py::repr(given).cast<std::string>(), status));
    return rate;
}

/// The optional frame as a Python int, or None.
py::object optionalFrame(const std::optional<std::int64_t>& frame) {
    return frame ? py::object(py::int_(*frame)) : py::object(py::none());
}

/// The builders of the view's value classes, looked up once per view.
struct ViewClasses {
    py::object fractionClass, frameRange, sourceRange, media, effect, colour, note, paint, item,
        track, timeline;

    ViewClasses() {
        const py::object module = valueTypes();
        fractionClass = py::module_::import("fractions").attr("Fraction");
        frameRange = module.attr("FrameRange");
        sourceRange = module.attr("SourceRange");
        media = module.attr("Media");
        effect = module.attr("Effect");
        colour = module.attr("Colour");
        note = module.attr("Note");
        paint = module.attr("Paint");
        item = module.attr("Item");
        track = module.attr("Track");
        timeline = module.attr("Timeline");
    }

    py::object fraction(std::int64_t numerator, std::int64_t denominator) const {
        return denominator == 0 ? fractionClass(0) : fractionClass(numerator, denominator);
    }
    py::object fraction(const Rational& rate) const {
        return fraction(rate.getNumerator(), static_cast<std::int64_t>(rate.getDenominator()));
    }

    py::object range(const FrameRange& range) const {
        return frameRange("start"_a = range.start, "duration"_a = range.duration);
    }

    py::object mediaOf(const TimelineMedia& input) const {
        return media("kind"_a = TimelineMedia::kindName(input.kind), "path"_a = text(input.path),
                     "folder"_a = text(input.folder),
                     "available_start"_a = optionalFrame(input.availableStart),
                     "available_duration"_a = input.availableDuration,
                     "rate"_a = fraction(input.rate));
    }

    py::object itemOf(const TimelineItem& item) const {
        py::tuple inputs(item.media.size());
        for (std::size_t i = 0; i < item.media.size(); ++i)
            inputs[i] = mediaOf(item.media[i]);
        py::tuple effects(item.effects.size());
        for (std::size_t i = 0; i < item.effects.size(); ++i) {
            const TimelineEffect& each = item.effects[i];
            effects[i] = effect("kind"_a = TimelineEffect::kindName(each.kind),
                                "name"_a = text(each.name), "muted"_a = each.muted);
        }
        py::tuple notes(item.notes.size());
        for (std::size_t i = 0; i < item.notes.size(); ++i) {
            const TimelineNote& each = item.notes[i];
            notes[i] = note("text"_a = text(each.text), "range"_a = range(each.range),
                            "own_range"_a = each.ownRange,
                            "colour"_a = colour(each.colour.red, each.colour.green,
                                                each.colour.blue, each.colour.alpha),
                            "visible"_a = each.visible);
        }
        py::tuple layers(item.paint.size());
        for (std::size_t i = 0; i < item.paint.size(); ++i) {
            const TimelinePaint& each = item.paint[i];
            layers[i] = paint("range"_a = range(each.range), "own_range"_a = each.ownRange,
                              "strokes"_a = each.strokes, "points"_a = each.points,
                              "visible"_a = each.visible);
        }
        const py::object source =
            sourceRange("start"_a = optionalFrame(item.source.start),
                        "duration"_a = fraction(item.source.duration.numerator,
                                                item.source.duration.denominator),
                        "rate"_a = fraction(item.source.rate));
        return this->item("kind"_a = TimelineItem::kindName(item.kind), "name"_a = text(item.name),
                          "record"_a = range(item.record), "source"_a = source, "media"_a = inputs,
                          "target_url"_a = text(item.targetUrl), "offline"_a = item.offline,
                          "clip_id"_a = text(item.clipId), "reel"_a = text(item.reel),
                          "effects"_a = effects, "notes"_a = notes, "paint"_a = layers);
    }
};

} // namespace

Rational rateFromPython(const py::handle& value) {
    if (py::isinstance<py::bool_>(value))
        throw py::type_error("a frame rate is a Fraction, an int, a float or a str, not a bool");
    if (py::isinstance<py::int_>(value)) {
        // Whole numbers past what a double holds exactly are no rate anyway.
        return rateFromNumber(value.cast<double>(), value);
    }
    if (py::isinstance<py::float_>(value))
        return rateFromNumber(value.cast<double>(), value);
    if (py::isinstance<py::str>(value)) {
        Rational rate;
        const Status status = FPSUtils::getFPSFromString(value.cast<std::string>().c_str(), rate);
        if (!status)
            raiseError(status,
                       explain("no frame rate for " + py::repr(value).cast<std::string>(), status));
        return rate;
    }
    const py::object rational = py::module_::import("numbers").attr("Rational");
    if (py::isinstance(value, rational)) {
        const py::int_ numerator = value.attr("numerator");
        const py::int_ denominator = value.attr("denominator");
        // A Fraction is in lowest terms with a positive denominator; the rate
        // keeps it as it is when both parts fit.
        const bool fits = numerator > py::int_(0) &&
                          numerator <= py::int_(std::numeric_limits<int>::max()) &&
                          denominator <= py::int_(std::numeric_limits<unsigned>::max());
        if (!fits)
            raiseError(Status::NoFrameRateText,
                       explain("no frame rate for " + py::repr(value).cast<std::string>(),
                               Status::NoFrameRateText));
        return Rational(numerator.cast<int>(), denominator.cast<unsigned>());
    }
    throw py::type_error("a frame rate is a Fraction, an int, a float or a str, not " +
                         py::repr(py::type::of(value)).cast<std::string>());
}

py::object fraction(const Rational& rate) {
    return py::module_::import("fractions")
        .attr("Fraction")(rate.getNumerator(), rate.getDenominator());
}

py::str text(const std::string& bytes) {
    PyObject* decoded = PyUnicode_DecodeUTF8(bytes.data(), static_cast<Py_ssize_t>(bytes.size()),
                                             "surrogateescape");
    if (!decoded)
        throw py::error_already_set();
    return py::reinterpret_steal<py::str>(decoded);
}

py::object timeValue(const Time& time) {
    return valueTypes().attr("Time")("frames"_a = time.getNbTicks(),
                                     "rate"_a = fraction(time.getRate()));
}

py::object boundsValue(const Bounds& bounds) {
    return valueTypes().attr("Bounds")(
        "center_x"_a = bounds.getCenterX(), "center_y"_a = bounds.getCenterY(),
        "size_x"_a = bounds.getSizeX(), "size_y"_a = bounds.getSizeY());
}

py::object itemValue(const TimelineItem& item) {
    return ViewClasses().itemOf(item);
}

py::object frameRangeValue(const FrameRange& range) {
    return ViewClasses().range(range);
}

py::object timelineValue(const TimelineView& view) {
    const ViewClasses classes;
    py::tuple tracks(view.tracks.size());
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const TimelineTrack& track = view.tracks[t];
        py::tuple items(track.items.size());
        for (std::size_t i = 0; i < track.items.size(); ++i)
            items[i] = classes.itemOf(track.items[i]);
        tracks[t] = classes.track("name"_a = text(track.name),
                                  "kind"_a = TimelineTrack::kindName(track.kind),
                                  "stack"_a = track.stack, "items"_a = items);
    }
    return classes.timeline("has_timeline"_a = view.hasTimeline, "name"_a = text(view.name),
                            "rate"_a = classes.fraction(view.rate),
                            "picture_rate"_a = classes.fraction(view.pictureRate),
                            "start"_a = view.start, "duration"_a = view.duration,
                            "tracks"_a = tracks);
}

py::tuple transitionsValue(const TimelineView& view) {
    const py::object transition = valueTypes().attr("Transition");
    py::list entries;
    for (std::size_t t = 0; t < view.tracks.size(); ++t)
        for (const TimelineTransition& kept : view.tracks[t].transitions)
            entries.append(transition("track"_a = t, "cut"_a = kept.cut,
                                      "in_offset"_a = kept.inOffset,
                                      "out_offset"_a = kept.outOffset, "name"_a = text(kept.name),
                                      "type"_a = text(kept.type)));
    return py::tuple(entries);
}

py::tuple lossesValue(const std::vector<Loss>& losses) {
    const py::object loss = valueTypes().attr("Loss");
    py::tuple entries(losses.size());
    for (std::size_t i = 0; i < losses.size(); ++i)
        entries[i] = loss("path"_a = text(losses[i].path), "schema"_a = text(losses[i].schema),
                          "what"_a = text(losses[i].what));
    return entries;
}

} // namespace zempy
