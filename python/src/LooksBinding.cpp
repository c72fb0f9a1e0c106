// Composition.apply_looks, looks and write_looks: ASC CDL files onto a
// composition's clips, and its looks as values and as a file.

#include "Bindings.h"
#include "BoundComposition.h"
#include "ErrorRaising.h"
#include "ValueConversion.h"

#include "interchange/AscCdl.h"
#include "interchange/Documents.h"

#include <pybind11/stl.h>

#include <cctype>
#include <string>
#include <vector>

namespace py = pybind11;
using namespace py::literals;

namespace zempy {

using namespace ZEM_0_81;

namespace {

using Form = AscCdl::Form;

/// True when `text` is ASC CDL text rather than a path: its first character
/// that is not white space is "<".
bool isMarkup(const std::string& text) {
    for (const char c : text)
        if (!std::isspace(static_cast<unsigned char>(c)))
            return c == '<';
    return false;
}

/// The text of `looks`: the bytes of a bytes-like object or of a str holding
/// markup, else the file a str or os.PathLike names. Raises OSError when the
/// file cannot be read.
std::string looksText(const py::object& looks) {
    if (py::isinstance<py::bytes>(looks) || PyObject_CheckBuffer(looks.ptr()))
        return py::module_::import("builtins").attr("bytes")(looks).cast<std::string>();
    if (py::isinstance<py::str>(looks) && isMarkup(looks.cast<std::string>()))
        return looks.cast<std::string>();
    const py::module_ os = py::module_::import("os");
    const std::string path = os.attr("fsencode")(looks).cast<std::string>();
    std::string text, message;
    int error = 0;
    bool read = false;
    {
        py::gil_scoped_release release;
        DocumentFileRules rules;
        rules.dashIsStandardInput = false;
        rules.refuseOtherFiles = false;
        read = Documents::readFile(path, text, error, message, rules);
    }
    if (!read) {
        errno = error;
        PyErr_SetFromErrnoWithFilenameObject(PyExc_OSError, looks.ptr());
        throw py::error_already_set();
    }
    return text;
}

py::object lookValue(const AscCdl::Look& look) {
    const auto triple = [](const std::array<double, 3>& values) {
        return py::make_tuple(values[0], values[1], values[2]);
    };
    return valueTypes().attr("Look")(
        "slope"_a = triple(look.slope), "offset"_a = triple(look.offset),
        "power"_a = triple(look.power), "saturation"_a = look.saturation);
}

py::object applyLooks(const BoundComposition& bound, const py::object& looks) {
    const std::string markup = looksText(looks);
    struct Applied {
        Status status;
        String message;
        std::vector<AscCdl::Match> matches;
        std::vector<Loss> losses;
    };
    const Applied applied = unlocked(bound, [&](Composition& composition) {
        Applied result;
        AscCdl::Contents contents;
        LossReport report;
        result.status =
            AscCdl::read(markup.data(), markup.size(), contents, report, &result.message);
        appendLosses(report, result.losses);
        if (!result.status)
            return result;
        result.status = AscCdl::apply(composition, contents.corrections, result.matches, report,
                                      &result.message);
        appendLosses(report, result.losses);
        return result;
    });
    if (!applied.status)
        raiseError(applied.status, explain("cannot apply the looks to composition '" + bound.id() +
                                               "': " + applied.message.c_str(),
                                           applied.status));
    const py::object match = valueTypes().attr("LookMatch");
    py::tuple matches(applied.matches.size());
    for (std::size_t i = 0; i < applied.matches.size(); ++i) {
        const AscCdl::Match& one = applied.matches[i];
        matches[i] = match("correction"_a = one.correction, "id"_a = text(one.id),
                           "track"_a = one.track, "item"_a = one.item, "clip"_a = text(one.clip),
                           "rule"_a = AscCdl::ruleName(one.rule), "had_look"_a = one.hadLook,
                           "changed"_a = one.changed);
    }
    return valueTypes().attr("LooksApplied")("matches"_a = matches,
                                             "losses"_a = lossesValue(applied.losses));
}

py::tuple looksOf(const BoundComposition& bound) {
    struct Answer {
        Status status;
        std::vector<AscCdl::ClipLook> looks;
    };
    const Answer answer = unlocked(bound, [](const Composition& composition) {
        Answer result;
        result.status = AscCdl::looks(composition, result.looks);
        return result;
    });
    if (!answer.status)
        raiseError(answer.status,
                   explain("no looks for composition '" + bound.id() + "'", answer.status));
    const py::object clipLook = valueTypes().attr("ClipLook");
    const py::object frameRange = valueTypes().attr("FrameRange");
    py::tuple looks(answer.looks.size());
    for (std::size_t i = 0; i < answer.looks.size(); ++i) {
        const AscCdl::ClipLook& one = answer.looks[i];
        py::tuple media(one.media.size());
        for (std::size_t m = 0; m < one.media.size(); ++m)
            media[m] = text(one.media[m]);
        looks[i] =
            clipLook("track"_a = one.track, "item"_a = one.item, "name"_a = text(one.name),
                     "record"_a = frameRange("start"_a = one.record.start,
                                             "duration"_a = one.record.duration),
                     "record_in"_a = one.recordIn, "record_out"_a = one.recordOut,
                     "media"_a = media, "look"_a = lookValue(one.look), "muted"_a = one.muted);
    }
    return looks;
}

/// The form `name` ("cc", "ccc", "cdl") names, or the one `path` ends in, else a
/// collection. Raises ValueError for another name.
Form formOf(const std::optional<std::string>& name, const std::string& path) {
    Form form = Form::Collection;
    if (!name) {
        AscCdl::formOfPath(path, form);
        return form;
    }
    for (const Form candidate : {Form::Correction, Form::Collection, Form::DecisionList})
        if (*name == AscCdl::extensionOf(candidate))
            return candidate;
    throw py::value_error("unknown form '" + *name + "': one of 'cc', 'ccc', 'cdl'");
}

void writeLooks(const BoundComposition& bound, const py::object& path,
                const std::optional<std::string>& formName) {
    const py::module_ os = py::module_::import("os");
    const std::string file = os.attr("fsencode")(path).cast<std::string>();
    const Form form = formOf(formName, file);
    struct Written {
        Status status;
        String text;
        String message;
        std::string failure; ///< why the file could not be written
    };
    const Written written = unlocked(bound, [&](const Composition& composition) {
        Written result;
        result.status = AscCdl::write(composition, form, result.text, &result.message);
        if (result.status)
            Documents::writeFile(file, std::string(result.text.c_str(), result.text.size()),
                                 result.failure);
        return result;
    });
    if (!written.status)
        raiseError(written.status, explain("cannot write the looks of composition '" + bound.id() +
                                               "': " + written.message.c_str(),
                                           written.status));
    if (!written.failure.empty()) {
        PyErr_SetString(PyExc_OSError, written.failure.c_str());
        throw py::error_already_set();
    }
}

} // namespace

void bindLooks(py::module_& module) {
    auto composition =
        py::reinterpret_borrow<py::class_<BoundComposition, std::shared_ptr<BoundComposition>>>(
            module.attr("Composition"));
    composition
        .def("apply_looks", &applyLooks, "looks"_a, R"(
Gives each clip the look of the ASC CDL correction that names it and returns
a LooksApplied: the matches (which correction went to which clip, by which rule)
and the losses (values that could not be read, corrections that named no clip,
clips two corrections named, looks whose values changed).

`looks` is the text of a .cc, .ccc or .cdl file (str starting with "<", or
bytes) or the path of one (str or os.PathLike). A correction goes to the clips
its MediaRef names (their media path, folder or file name), else those its id
names (by clip name, then reel, then media file name). Raises Error (code 780)
when the text is not ASC CDL, OSError when the file cannot be read.)")
        .def("looks", &looksOf, R"(
The looks of the clips that have one, track by track, as a tuple of ClipLook:
the clip's place, name, record range and media, and the look's slope, offset
and power (red, green, blue) and saturation.)")
        .def("write_looks", &writeLooks, "path"_a, "form"_a = py::none(), R"(
Writes the clips' looks to the file at `path` as ASC CDL: "ccc" (a collection),
"cdl" (a decision list tied to each clip's media) or "cc" (one look); None takes
the form from the extension of `path`, else "ccc". Read back with apply_looks,
the same looks come back to the same clips. Raises Error (code 512) when no
clip has a look, OSError when the file cannot be written.)");
}

} // namespace zempy
