#include "Bindings.h"
#include "BoundComposition.h"
#include "ErrorRaising.h"
#include "ValueConversion.h"

#include "composition/Composition.h"
#include "interchange/Documents.h"
#include "interchange/StandardOtio.h"
#include "interchange/TimelineView.h"

#include <pybind11/stl.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace py = pybind11;
using namespace py::literals;

namespace zempy {

using namespace ZEM_0_81;

namespace {

/// The dialect a Python argument names; nothing for None. Raises ValueError for
/// a name that is no dialect.
std::optional<Dialect> dialectArgument(const std::optional<std::string>& name) {
    if (!name)
        return std::nullopt;
    Dialect dialect;
    if (!dialectFromName(name->c_str(), dialect))
        throw py::value_error("unknown dialect '" + *name +
                              "': one of 'dmtree', 'otio', 'otio-std', 'edl', 'xmeml', 'fcpxml' "
                              "(or None to detect it)");
    return dialect;
}

/// The bytes of a str (as UTF-8) or of a bytes-like object.
std::string documentBytes(const py::handle& text) {
    if (py::isinstance<py::str>(text) || py::isinstance<py::bytes>(text))
        return text.cast<std::string>();
    if (PyObject_CheckBuffer(text.ptr())) // bytearray, memoryview, ...
        return py::module_::import("builtins").attr("bytes")(text).cast<std::string>();
    throw py::type_error("a document is a str or bytes, not " +
                         py::repr(py::type::of(text)).cast<std::string>());
}

/// A document read into a composition, as far as it went.
struct Reading {
    SharedPtr<Composition> composition;
    Dialect dialect = Dialect::OtioStandard;
    Status status;
    std::string message; ///< for a failure: where and why
    std::vector<Loss> losses;
};

/// Reads `text` as the zemcomp tool does (Documents::read): in `given`, or in
/// the dialect the text shows. `name` names the document in messages. Needs no
/// interpreter lock.
Reading readDocument(const std::string& text, DocumentReadOptions options, const String& id,
                     const std::string& name) {
    options.name = name;
    DocumentReading read = Documents::read(text.c_str(), text.size(), id, options);
    Reading reading;
    reading.composition = std::move(read.composition);
    reading.dialect = read.dialect;
    reading.status = read.status;
    appendLosses(read.losses, reading.losses);
    if (!reading.status)
        reading.message = explain(read.where, reading.status);
    return reading;
}

std::shared_ptr<BoundComposition> bindReading(Reading&& reading) {
    if (!reading.status)
        raiseError(reading.status, reading.message);
    return BoundComposition::adopt(std::move(reading.composition), dialectName(reading.dialect),
                                   std::move(reading.losses));
}

/// How to read a document the arguments describe: in `dialectName` (detected
/// when None), an EDL at `rate` (its default when None), the timeline
/// `timeline` names (a str, or an int counting from 1; the first when None).
DocumentReadOptions readOptionsOf(const std::optional<std::string>& dialectName,
                                  const py::object& rate, const py::object& timeline) {
    DocumentReadOptions options;
    options.dialect = dialectArgument(dialectName);
    if (!rate.is_none())
        options.rate = rateFromPython(rate);
    if (py::isinstance<py::bool_>(timeline) ||
        !(timeline.is_none() || py::isinstance<py::str>(timeline) ||
          py::isinstance<py::int_>(timeline)))
        throw py::type_error("timeline must be a str (a name) or an int (a number from 1)");
    if (!timeline.is_none())
        options.timeline = py::str(timeline).cast<std::string>();
    return options;
}

std::shared_ptr<BoundComposition> fromJson(const py::object& text,
                                           const std::optional<std::string>& dialectName,
                                           const std::string& id, const py::object& rate,
                                           const py::object& timeline) {
    const DocumentReadOptions options = readOptionsOf(dialectName, rate, timeline);
    const std::string bytes = documentBytes(text);
    Reading reading;
    {
        py::gil_scoped_release release;
        reading = readDocument(bytes, options, String(id.c_str()), "<text>");
    }
    return bindReading(std::move(reading));
}

std::shared_ptr<BoundComposition> fromFile(const py::object& path,
                                           const std::optional<std::string>& dialectName,
                                           const std::optional<std::string>& id,
                                           const py::object& rate, const py::object& timeline) {
    DocumentReadOptions options = readOptionsOf(dialectName, rate, timeline);
    const py::module_ os = py::module_::import("os");
    const std::string fileName = os.attr("fsencode")(path).cast<std::string>();
    const std::string shownName = os.attr("fsdecode")(path).cast<std::string>();
    Dialect named;
    if (!options.dialect && Documents::dialectOfPath(fileName, named))
        options.dialect = named;
    options.untitled =
        py::module_::import("pathlib").attr("Path")(shownName).attr("stem").cast<std::string>();
    std::string text;
    int error = 0;
    bool read = false;
    {
        py::gil_scoped_release release;
        std::string message;
        // As Python's own open() does: "-" is a file name, and a FIFO or a
        // device is read like any file.
        DocumentFileRules rules;
        rules.dashIsStandardInput = false;
        rules.refuseOtherFiles = false;
        read = Documents::readFile(fileName, text, error, message, rules);
    }
    if (!read) {
        errno = error;
        PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, py::str(shownName).ptr());
        throw py::error_already_set();
    }
    Reading reading;
    {
        py::gil_scoped_release release;
        reading =
            readDocument(text, options, String(id ? id->c_str() : shownName.c_str()), shownName);
    }
    return bindReading(std::move(reading));
}

std::shared_ptr<BoundComposition> create(const std::string& id, const std::string& name,
                                         const py::object& rate) {
    const Rational exact = rateFromPython(rate);
    SharedPtr<Composition> made;
    const Status status = Composition::create(made, String(id.c_str()), name.c_str(), exact);
    if (!status)
        raiseError(status, explain("cannot create composition '" + id + "'", status));
    return BoundComposition::adopt(std::move(made), "", {});
}

/// The release an otio_version argument names; nothing for None. Raises
/// ValueError for another label.
std::optional<OtioVersion> otioVersionArgument(const std::optional<std::string>& label) {
    if (!label)
        return std::nullopt;
    OtioVersion version;
    if (!otioVersionFromName(label->c_str(), version)) {
        std::string labels;
        for (const OtioVersion each : kOtioVersions)
            labels += (labels.empty() ? "'" : ", '") + std::string(otioVersionName(each)) + "'";
        throw py::value_error("unknown OpenTimelineIO release '" + *label + "': one of " + labels);
    }
    return version;
}

/// The FCPXML version an fcpxml_version argument names ("1.8" ... "1.13"), by
/// its number after "1."; the default for None. Raises ValueError for another.
std::int32_t fcpxmlVersionArgument(const std::optional<std::string>& label) {
    if (!label)
        return Fcpxml::kDefaultVersion;
    std::int32_t version = Fcpxml::kDefaultVersion;
    if (!Fcpxml::versionFromText(label->c_str(), version))
        throw py::value_error("unknown FCPXML version '" + *label + "': one of '1.8' ... '1.13'");
    return version;
}

/// The index in the timeline view of the track `track` names: its index, or
/// its name. Raises ValueError when it names none.
std::int32_t trackArgument(const BoundComposition& bound, const py::object& track) {
    const TimelineView view = unlocked(bound, [](const Composition& composition) {
        TimelineView built;
        TimelineView::build(composition, built);
        return built;
    });
    for (std::size_t t = 0; t < view.tracks.size(); ++t) {
        const bool named =
            py::isinstance<py::str>(track) && track.cast<std::string>() == view.tracks[t].name;
        const bool numbered = py::isinstance<py::int_>(track) &&
                              track.cast<std::int64_t>() == static_cast<std::int64_t>(t);
        if (named || numbered)
            return static_cast<std::int32_t>(t);
    }
    throw py::value_error("no track " + py::repr(track).cast<std::string>() +
                          ": give its index in timeline.tracks or its name");
}

/// The text of `bound` in `dialectName`, with what writing it lost.
std::pair<py::str, std::vector<Loss>>
writtenText(const BoundComposition& bound, const std::string& dialectName,
            const std::optional<std::string>& otioVersion, const py::object& track,
            std::uint32_t reelLength, bool nonDrop,
            const std::optional<std::string>& fcpxmlVersion = std::nullopt) {
    const Dialect dialect = *dialectArgument(dialectName);
    DocumentWriteOptions options;
    options.otioVersion = otioVersionArgument(otioVersion);
    if (options.otioVersion && dialect != Dialect::OtioStandard)
        throw py::value_error("otio_version is for the dialect 'otio-std'");
    options.fcpxml.version = fcpxmlVersionArgument(fcpxmlVersion);
    if (fcpxmlVersion && dialect != Dialect::Fcpxml)
        throw py::value_error("fcpxml_version is for the dialect 'fcpxml'");
    if (!track.is_none())
        options.edl.track = trackArgument(bound, track);
    options.edl.reelLength = reelLength;
    options.edl.nonDropFrame = nonDrop;
    struct Written {
        Status status;
        String text;
        String message;
        std::vector<Loss> losses;
    };
    Written written = unlocked(bound, [&](const Composition& composition) {
        Written result;
        LossReport losses;
        result.status =
            Documents::write(composition, dialect, options, result.text, losses, &result.message);
        appendLosses(losses, result.losses);
        return result;
    });
    if (!written.status) {
        std::string what = "cannot write composition '" + bound.id() + "' as " + dialectName;
        if (!written.message.empty())
            what += ": " + std::string(written.message.c_str());
        raiseError(written.status, explain(what, written.status));
    }
    PyObject* decoded = PyUnicode_DecodeUTF8(
        written.text.c_str(), static_cast<Py_ssize_t>(written.text.size()), "strict");
    if (!decoded)
        throw py::error_already_set();
    return {py::reinterpret_steal<py::str>(decoded), std::move(written.losses)};
}

py::str toText(const BoundComposition& bound, const std::string& dialectName,
               const std::optional<std::string>& otioVersion, const py::object& track,
               std::uint32_t reelLength, bool nonDrop,
               const std::optional<std::string>& fcpxmlVersion) {
    return writtenText(bound, dialectName, otioVersion, track, reelLength, nonDrop, fcpxmlVersion)
        .first;
}

py::tuple toTextWithLosses(const BoundComposition& bound, const std::string& dialectName,
                           const std::optional<std::string>& otioVersion, const py::object& track,
                           std::uint32_t reelLength, bool nonDrop,
                           const std::optional<std::string>& fcpxmlVersion) {
    auto written =
        writtenText(bound, dialectName, otioVersion, track, reelLength, nonDrop, fcpxmlVersion);
    return py::make_tuple(std::move(written.first), lossesValue(written.second));
}

const std::string& idOf(const BoundComposition& bound) {
    return bound.id();
}

/// A failed query's message: "no WHAT for composition 'ID' (status N: ...)".
[[noreturn]] void raiseQueryError(const BoundComposition& bound, const std::string& what,
                                  const Status& status) {
    raiseError(status, explain("no " + what + " for composition '" + idOf(bound) + "'", status));
}

py::object timeQuery(const BoundComposition& bound, bool duration) {
    struct Answer {
        Status status;
        Time time;
    };
    const Answer answer = unlocked(bound, [&](const Composition& composition) {
        Answer result;
        result.status =
            duration ? composition.getDuration(result.time) : composition.getStartTime(result.time);
        return result;
    });
    if (!answer.status)
        raiseQueryError(bound, duration ? "duration" : "start time", answer.status);
    return timeValue(answer.time);
}

py::object outputBounds(const BoundComposition& bound, std::int64_t frame) {
    struct Answer {
        Status status;
        Bounds bounds;
    };
    const Answer answer = unlocked(bound, [&](const Composition& composition) {
        Answer result;
        result.status = composition.getOutputBounds(Time(frame, Rational(1, 1)), result.bounds);
        return result;
    });
    if (!answer.status)
        raiseQueryError(bound, "output bounds at frame " + std::to_string(frame), answer.status);
    return boundsValue(answer.bounds);
}

/// The timeline view of the composition; a failure raises "no WHAT for ...".
TimelineView viewOf(const BoundComposition& bound, const char* what = "timeline") {
    struct Answer {
        Status status;
        TimelineView view;
    };
    Answer answer = unlocked(bound, [&](const Composition& composition) {
        Answer result;
        result.status = TimelineView::build(composition, result.view);
        return result;
    });
    if (!answer.status)
        raiseQueryError(bound, what, answer.status);
    return std::move(answer.view);
}

py::object timeline(const BoundComposition& bound) {
    return timelineValue(viewOf(bound));
}

py::tuple transitions(const BoundComposition& bound) {
    return transitionsValue(viewOf(bound, "transitions"));
}

std::shared_ptr<BoundComposition> cloneOf(const BoundComposition& bound) {
    SharedPtr<Composition> copy =
        unlocked(bound, [](const Composition& composition) { return composition.clone(); });
    return BoundComposition::adopt(std::move(copy), bound.dialect(), bound.losses());
}

std::string compositionRepr(const BoundComposition& bound) {
    std::string text =
        "<zemcomposition.Composition id=" + py::repr(py::str(idOf(bound))).cast<std::string>();
    if (!bound.dialect().empty())
        text += " dialect='" + bound.dialect() + "'";
    return text + ">";
}

} // namespace

void bindComposition(py::module_& module) {
    py::class_<BoundComposition, std::shared_ptr<BoundComposition>>(module, "Composition", R"(
An editorial composition: a timeline kept as an edit tree, read from and
written to JSON in three dialects: "dmtree" (the edit tree's own JSON), "otio"
(OpenTimelineIO JSON with the product's metadata) and "otio-std" (standard
OpenTimelineIO, as the OpenTimelineIO library reads and writes it).

Compositions are made by Composition.create, Composition.from_json,
Composition.from_file and clone. Failures raise zemcomposition.Error. The
interpreter lock is released while a composition is read, written or queried,
so several threads can work at once, each on compositions of its own; a
composition used by two threads at once makes one wait for the other.)")
        .def_static("create", &create, "id"_a, "name"_a, "rate"_a, R"(
A new composition named `name` holding one empty composition node at `rate`.

`rate` is a fractions.Fraction (taken exactly, 24000/1001 for 23.976), an int
or a float (within 0.001 of a standard rate gives that rate exactly: 29.97 is
30000/1001), or a str ("23.976", "24000/1001", "25"). Raises Error with code
1001 (no frame-rate text) for a value that names no rate, TypeError for a value
of another type.)")
        .def_static("from_json", &fromJson, "text"_a, "dialect"_a = py::none(), "id"_a = "",
                    "rate"_a = py::none(), py::kw_only(), "timeline"_a = py::none(), R"(
Reads a document from `text` (str or bytes) into a new composition named `id`.

`dialect` is "dmtree", "otio", "otio-std", "edl", "xmeml" or "fcpxml"; None
detects it as zemcomp does: edit-tree JSON by its "format" member, the product's
OTIO dialect by its timeline metadata, an EDL by a first line that is "TITLE:"
or an event, FCPXML by its root element "fcpxml", Final Cut Pro 7 XML by any
other text that starts as XML, anything else as standard OTIO. An EDL does not say its rate: `rate` gives it
(as create takes one; None: 24, or 29.97 when its first FCM line says drop
frame). Of a document holding several timelines (a collection of standard OTIO
timelines, the sequences of an XML interchange file), `timeline` picks the one
read: a str names it, else an int counts from 1 (None: the first); none that
matches raises Error with code 512 and a message naming those it holds. The
document is imported
at once: a bad one raises Error with the status code (515 or 517 for a
document that cannot be imported, 512 for an empty one) and a message saying
where and why. What reading standard OTIO lost is in `losses`. Raises
ValueError for an unknown dialect name.)")
        .def_static("from_file", &fromFile, "path"_a, "dialect"_a = py::none(), "id"_a = py::none(),
                    "rate"_a = py::none(), py::kw_only(), "timeline"_a = py::none(), R"(
Reads the document in the file at `path` (str or os.PathLike) as from_json
does, a name ending in ".edl" being an EDL, one ending in ".xml" Final Cut Pro 7
XML, one ending in ".fcpxml" FCPXML (a ".fcpxmld" bundle folder read through its
"Info.fcpxml"); the composition is named `id`, or
the path when it is None, and an EDL without a TITLE line takes the file's name
without its extension. Messages name
the file. Raises OSError (FileNotFoundError, IsADirectoryError, ...) when the
file cannot be read, and for a file over 1 GiB.)")
        .def_static("from_text", &fromJson, "text"_a, "dialect"_a = py::none(), "id"_a = "",
                    "rate"_a = py::none(), py::kw_only(), "timeline"_a = py::none(),
                    "The same as from_json, under the name that suits an EDL's text.")
        .def("to_text", &toText, "dialect"_a, py::kw_only(), "otio_version"_a = py::none(),
             "track"_a = py::none(), "reel_length"_a = 8, "non_drop"_a = false,
             "fcpxml_version"_a = py::none(), R"(
The composition as text of `dialect`, as `zemcomp convert --to DIALECT` writes it:
to_json's dialects and options, "xmeml", Final Cut Pro 7 XML of one sequence,
"edl", a CMX 3600 edit decision list, for which `track` is the video track to
write (its index in timeline.tracks or its name; the first video track when None), `reel_length` the most characters of a
reel name made from a media file's name and `non_drop` writes non-drop-frame
timecode at 29.97 and 59.94, and "fcpxml", FCPXML of `fcpxml_version` ("1.8"
... "1.13"; None: "1.8").)")
        .def("to_text_with_losses", &toTextWithLosses, "dialect"_a, py::kw_only(),
             "otio_version"_a = py::none(), "track"_a = py::none(), "reel_length"_a = 8,
             "non_drop"_a = false, "fcpxml_version"_a = py::none(), R"(
The same as to_text, with what the text could not hold: a pair (text, losses),
the losses a tuple of Loss as `zemcomp convert` reports them (for an EDL, by
track and timecode: the tracks, masks, paint and notes left out).)")
        .def(
            "to_json",
            [](const BoundComposition& bound, const std::string& dialect,
               const std::optional<std::string>& otioVersion) {
                return toText(bound, dialect, otioVersion, py::none(), 8, false, std::nullopt);
            },
            "dialect"_a, "otio_version"_a = py::none(), R"(
The composition as JSON text of `dialect` ("dmtree", "otio" or "otio-std"):
what the exporter writes of the edit tree, exactly as `zemcomp convert --to
DIALECT` prints it (the text a composition was read from is not handed back as
it was given). For "otio-std", `otio_version` names the OpenTimelineIO release
to write for ("0.14.0" ... "0.19.0", as zemcomp's --otio-version takes them);
None writes the current release's schemas. Raises Error with the status code when no tree can be had
(512, 515, 517) or no text made of it (516), ValueError for an unknown dialect.)")
        .def("clone", &cloneOf, R"(
A new, independent composition with a copy of this one's edit tree, texts,
dialect and losses.)")
        .def_property_readonly("id", &idOf, "The identifier given at creation (str).")
        .def_property_readonly(
            "dialect",
            [](const BoundComposition& bound) -> py::object {
                return bound.dialect().empty() ? py::object(py::none())
                                               : py::object(py::str(bound.dialect()));
            },
            R"(The dialect the composition was read in ("dmtree", "otio", "otio-std"), or
None for one made by create.)")
        .def_property_readonly(
            "duration", [](const BoundComposition& bound) { return timeQuery(bound, true); },
            R"(The length of the composition: a Time in frames at the rate of its start
timecode. Raises Error (512, 515, 517, 1001) when there is none.)")
        .def_property_readonly(
            "start_time", [](const BoundComposition& bound) { return timeQuery(bound, false); },
            R"(The start timecode of the composition: a Time in frames at its rate. Raises
Error (512, 515, 517, 1001) when there is none.)")
        .def("output_bounds", &outputBounds, "frame"_a, R"(
The picture area covered at `frame` (absolute, at the composition's rate, as
start_time counts): a Bounds, the union of the resolutions of the sources
playing then, grown by the paint strokes shown then; all zero at a frame where
nothing plays. Raises Error with code 528 (a source without media input) or
529 (an input without resolution), or 512, 515, 517 without a tree.)")
        .def_property_readonly("timeline", &timeline, R"(
The composition as a timeline in OpenTimelineIO's terms: a Timeline holding
its name, rate, start, duration and tracks (the edit tree's layers) with their
clips and gaps, as plain values made afresh at each call. Raises Error (512,
515, 517) when there is no tree.)")
        .def_property_readonly(
            "tracks",
            [](const BoundComposition& bound) -> py::object {
                return timeline(bound).attr("tracks");
            },
            R"(The timeline's tracks: a tuple of Track (see timeline).)")
        .def_property_readonly(
            "name", [](const BoundComposition& bound) { return text(viewOf(bound).name); },
            "The name of the composition's timeline (its first composition node).")
        .def_property_readonly("transitions", &transitions, R"(
The transitions of standard OTIO tracks that the edit tree keeps but does not
play (it plays their cuts): a tuple of Transition, track by track (indices into
timeline.tracks) and in each in the order of their cuts; empty when there are
none. Raises Error (512, 515, 517) when there is no tree.)")
        .def_property_readonly(
            "losses", [](const BoundComposition& bound) { return lossesValue(bound.losses()); },
            R"(What reading standard OTIO or an EDL dropped or approximated: a tuple of
Loss, in the order the reader met them; empty for the other dialects, for a
document read whole, and for a composition made by create. The report, like
`dialect`, belongs to the Python object that reading made (and to its clones):
a composition that comes back from a CompositionList after every Python object
of it was gone has neither.)")
        .def("__repr__", &compositionRepr,
             "<zemcomposition.Composition id='...' dialect='...'>, without reading anything.");
}

} // namespace zempy
