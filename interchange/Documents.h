#pragma once

#include "composition/Composition.h"
#include "composition/CompositionApi.h"
#include "interchange/Dialect.h"
#include "interchange/Edl.h"
#include "interchange/Fcpxml.h"
#include "interchange/LossReport.h"
#include "interchange/OtioVersion.h"
#include "outside/core/Rational.h"

#include <cstddef>
#include <optional>
#include <string>

namespace ZEM_0_81 {

/// What the path "-" and files other than regular ones mean to readFile.
struct DocumentFileRules {
    /// "-" names standard input (whatever it is), as on a command line.
    bool dashIsStandardInput = true;
    /// A FIFO, a device or a socket named by its path is refused with the
    /// reason, rather than waited on or read without end.
    bool refuseOtherFiles = true;
};

/// How to read a text.
struct DocumentReadOptions {
    /// The dialect it is written in; detected from the text (detectDialect)
    /// when not given.
    std::optional<Dialect> dialect;
    /// The document's name in messages: a path, "<stdin>", "<text>".
    std::string name = "<text>";
    /// edl: the list's rate (an EDL does not say it); 0/1 takes the default, 24
    /// frames a second, or 30000/1001 when its first FCM line says drop frame.
    Rational rate = Rational(0, 1);
    /// edl: the name of a composition whose list has no TITLE line (a tool
    /// gives the file's name without its extension).
    std::string untitled;
    /// The timeline to read of a document that holds several (a collection of
    /// standard OTIO timelines, the sequences of an XML interchange file): by
    /// name, else by number from 1 in the document's order. Empty: the first,
    /// the others counted or read as the dialect does. A document holding only
    /// one must hold the one named; none that is named fails the read, the
    /// message naming those the document holds.
    std::string timeline;
};

/// How to write a composition, beside its dialect.
struct DocumentWriteOptions {
    /// otio-std: the OpenTimelineIO release to write for (StandardOtio::WriteOptions);
    /// none writes the current release's schemas, and what other tools wrote as
    /// it came.
    std::optional<OtioVersion> otioVersion;
    /// edl: the video track to write, the length of reel names made from file
    /// names, drop or non-drop frame.
    Edl::WriteOptions edl;
    /// fcpxml: the version to write (1.8 by default).
    Fcpxml::WriteOptions fcpxml;
};

/// A text read into a composition, as far as it went.
struct DocumentReading {
    /// Never null: on failure, what was read of the document (the edit-tree
    /// and product dialects keep what their import filled in), or a
    /// composition without content when nothing was.
    SharedPtr<Composition> composition;
    /// The dialect it was read in: the one given, or the one detected.
    Dialect dialect = Dialect::OtioStandard;
    /// What reading lost; empty for the edit-tree and product dialects.
    LossReport losses;
    /// The result of reading. Every dialect is imported at once, so that a
    /// bad document fails here and not on first use.
    Status status;
    /// For a failure, where and why, without the status: "NAME:LINE:COLUMN:
    /// reason" for text that is not well-formed JSON, "NAME: why" when the
    /// reader of the dialect said why, else "NAME". Empty on success.
    std::string where;
};

/// The one entry point for reading and writing composition documents in every
/// dialect, for hosts and for the zemcomp tool and the Python bindings alike:
/// a file's text within the size limit, a text of any dialect (named or
/// detected) into a composition with its loss report, and a composition written
/// in any dialect. A new format plugs in here once.
///
/// Operations never throw (allocation failures excepted).
class ZEM_API Documents {
public:
    /// The largest document read: 1 GiB, about 25 times a feature-length cut.
    /// Larger input (an endless device piped in) is refused.
    static constexpr std::size_t kMaxBytes = std::size_t(1) << 30;

    /// Reads the whole file at `path` into `text`. A folder is refused, but for
    /// an FCPXML bundle (a folder whose name ends in ".fcpxmld"), which is read
    /// through the document it holds, its "Info.fcpxml"; a file over kMaxBytes
    /// is refused too. On failure returns false, leaves `text` in an
    /// unspecified state, sets `error` to the errno value that says why (EISDIR,
    /// EFBIG, ENOENT, ...; EINVAL for a file refused by `rules`) and `message` to
    /// "PATH: cannot open: REASON" or "PATH: cannot read: REASON" (standard
    /// input is "<stdin>").
    static bool readFile(const std::string& path, std::string& text, int& error,
                         std::string& message,
                         const DocumentFileRules& rules = DocumentFileRules());

    /// Writes `text` to `path`, following symbolic links to their final target.
    /// An existing device, FIFO or other non-regular file is written through, as
    /// a shell redirection would. A regular file (existing or new) is replaced
    /// atomically: the text goes to a new file in the same folder, which takes
    /// the old file's permissions (and, where allowed, its owner) and is synced
    /// and renamed over it, so the file is either untouched or complete. On
    /// failure returns false, sets `message` to "PATH: cannot write: REASON" and
    /// leaves no temporary file behind.
    static bool writeFile(const std::string& path, const std::string& text, std::string& message);

    /// Writes all `size` bytes to the open descriptor `fd` (standard output, a
    /// pipe), retrying interrupted writes and waiting on a descriptor someone
    /// left non-blocking. 0, or the errno of the write that failed.
    static int writeAll(int fd, const char* data, std::size_t size);

    /// The name standard input goes by in messages.
    static constexpr const char* kStandardInputName = "<stdin>";

    /// Reads `text` (`length` bytes followed by a NUL byte, as std::string's
    /// c_str gives) into a new composition named `id`.
    static DocumentReading read(const char* text, std::size_t length, const String& id,
                                const DocumentReadOptions& options = DocumentReadOptions());

    /// Writes `composition` in `dialect` as what its exporter writes of its edit
    /// tree (a composition that still holds the text it was read from writes its
    /// tree, not that text), and reports in `losses` (emptied first) what the
    /// dialect could not hold. On failure `text` is untouched and `message`,
    /// when not null, says why when the writer could tell (empty otherwise);
    /// the status is that of Composition::getTree and getJson, or of
    /// StandardOtio::write.
    static Status write(const Composition& composition, Dialect dialect, String& text,
                        LossReport& losses, String* message = nullptr);
    /// Writes as above, as `options` say.
    static Status write(const Composition& composition, Dialect dialect,
                        const DocumentWriteOptions& options, String& text, LossReport& losses,
                        String* message = nullptr);

    /// The dialect a file's name says it holds: "edl" for a name ending in
    /// ".edl", "xmeml" for one ending in ".xml", "fcpxml" for one ending in
    /// ".fcpxml" or ".fcpxmld" (a bundle folder, with or without a final "/"),
    /// in any case; false, leaving
    /// `dialect` untouched, for any other (JSON dialects are told apart by
    /// their text, not their names).
    static bool dialectOfPath(const std::string& path, Dialect& dialect);

    /// "status 517: the OTIO JSON could not be imported": a status as messages
    /// show it.
    static std::string describe(const Status& status);
};

} // namespace ZEM_0_81
