#pragma once

#include "composition/Composition.h"
#include "composition/CompositionApi.h"
#include "interchange/LossReport.h"

#include <cstddef>
#include <string>

namespace ZEM_0_81 {

/// Final Cut Pro 7 interchange XML (root element "xmeml", versions 1 to 5): the
/// XML that Final Cut Pro 7 writes and Premiere Pro, DaVinci Resolve and Nuke
/// Studio exchange, with every track, clip, media file and source timecode of a
/// sequence. `read` builds a composition from one, `write` writes one from any
/// composition; interchange/xmeml/XMEML.md describes the mapping element by
/// element.
///
/// What reading or writing could not keep is said in the loss report shared
/// with the other formats, each entry's place the element's path as XPath
/// writes it, 1-based positions among same-named siblings where there are
/// several ("/xmeml/sequence/media/video/track[2]/clipitem[5]"), its schema the
/// element's name ("clipitem", "filter", "marker", ...).
///
/// Operations return a Status and never throw (allocation failures excepted).
/// When `message` is not null, a failure also sets it to a sentence for a person.
class ZEM_API Xmeml {
public:
    /// How to read a document.
    struct ReadOptions {
        /// The sequence to read, by name, else by number from 1 in the document's
        /// order (DocumentReadOptions::timeline). Empty reads every sequence of
        /// the document (at its top, or in its projects and bins), the first
        /// being the one the composition's queries answer for.
        std::string timeline;
    };

    /// Reads the xmeml document `text` (`length` bytes; it need not be
    /// NUL-terminated) into a new composition named `id`, built through
    /// Composition::create(id, root): one composition per sequence read. Reports
    /// in `losses` (emptied first) what did not come into the edit tree as it
    /// stood; every element that cannot be read is reported and the rest read.
    /// On failure `out` is untouched:
    /// - JsonConversionFailed (780): the text is not XML (the message says the
    ///   line and why), declares entities, or its root element is not "xmeml";
    /// - NoData (512): the document holds no sequence, or none is the one
    ///   `options.timeline` names (the message starting "no timeline").
    static Status read(const char* text, std::size_t length, const String& id,
                       const ReadOptions& options, SharedPtr<Composition>& out, LossReport& losses,
                       String* message = nullptr);
    /// Reads as above, every sequence.
    static Status read(const char* text, std::size_t length, const String& id,
                       SharedPtr<Composition>& out, LossReport& losses, String* message = nullptr);

    /// Writes the composition's timeline as an xmeml document of version 4 in
    /// `out`: its DOCTYPE, one sequence with its rate, start timecode and
    /// picture format, every video and audio track with its clips, each media
    /// file written once and referred to by its id after, transitions, markers
    /// from review notes, and what was read from an xmeml document and kept, as
    /// it came. `losses` (emptied first) says what the document cannot hold,
    /// each entry's place the path of the element written (or that would have
    /// been). On failure `out` is untouched:
    /// - the failure of `composition.getTree` (NoData 512, DmTreeJsonImportFailed
    ///   515, OtioImportFailed 517) when it has no tree to give;
    /// - NoData (512) when the tree holds no composition under a reel;
    /// - NoFrameRateText (1001) when the composition's rate cannot be read.
    static Status write(const Composition& composition, String& out, LossReport& losses,
                        String* message = nullptr);
};

} // namespace ZEM_0_81
