#pragma once

#include "composition/Composition.h"
#include "composition/CompositionApi.h"
#include "interchange/LossReport.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZEM_0_81 {

/// FCPXML, the XML interchange format of Final Cut Pro (10.4 and later) and
/// DaVinci Resolve, versions 1.8 to 1.13: a library of events holding
/// projects, each a sequence whose primary storyline holds clips one after
/// another, with clips and storylines connected to them on lanes above and
/// below, every time an exact fraction of a second in its parent's clock.
/// `read` builds a composition from one, `write` writes one from any
/// composition; interchange/fcpxml/FCPXML.md describes the mapping element by
/// element.
///
/// What reading or writing could not keep is said in the loss report shared
/// with the other formats: reading names each entry's place by the element's
/// path ("/fcpxml/library/event[1]/project[2]/sequence/spine/asset-clip[4]",
/// indices counting from 1 among elements of one name) and its schema by the
/// element's name; writing names the track and the record timecode of what
/// it left out.
///
/// Operations return a Status and never throw (allocation failures excepted).
/// When `message` is not null, a failure also sets it to a sentence for a person.
class ZEM_API Fcpxml {
public:
    /// The versions written: 1.8 (the default: what Final Cut Pro 10.4 and
    /// later and DaVinci Resolve import) to 1.13, by their number after "1.".
    static constexpr std::int32_t kFirstVersion = 8;
    static constexpr std::int32_t kLastVersion = 13;
    static constexpr std::int32_t kDefaultVersion = 8;

    /// How to read a document.
    struct ReadOptions {
        /// The project to read, by name, else by number from 1 in the
        /// document's order (DocumentReadOptions::timeline); empty reads every
        /// project, the first being the one the composition's queries answer for.
        std::string timeline;
    };

    /// What to write, beside the composition.
    struct WriteOptions {
        /// The version, by its number after "1." (8 for "1.8").
        std::int32_t version = kDefaultVersion;
    };

    /// Reads the FCPXML `text` (`length` bytes; it need not be NUL-terminated)
    /// into a new composition named `id`, built through Composition::create(id,
    /// root), one composition per project, and reports in `losses` (emptied
    /// first) what did not come into the edit tree as it stood. Every element
    /// that cannot be read is reported and the rest is read. On failure `out` is
    /// untouched:
    /// - JsonSyntaxError (775): the text is not XML (or declares entities, which
    ///   are never read); the message starts "not XML";
    /// - JsonConversionFailed (780): XML whose root element is not "fcpxml";
    ///   the message starts "not FCPXML";
    /// - OtioImportFailed (517): the document holds no project; the message
    ///   starts "no timeline";
    /// - NoData (512): no project is the one `options.timeline` names; the
    ///   message starts "no timeline" and names those the document holds.
    static Status read(const char* text, std::size_t length, const String& id,
                       const ReadOptions& options, SharedPtr<Composition>& out, LossReport& losses,
                       String* message = nullptr);
    /// Reads as above, every project.
    static Status read(const char* text, std::size_t length, const String& id,
                       SharedPtr<Composition>& out, LossReport& losses, String* message = nullptr);

    /// Writes the composition's timeline as FCPXML of `options.version`, valid
    /// against Apple's document type definition of that version: one format,
    /// an asset for each media file, a library holding one event holding one
    /// project; the first video track as the primary storyline, the other
    /// tracks as clips connected to it on lanes (video above, audio below).
    /// `losses` (emptied first) says what FCPXML cannot hold. On failure `out`
    /// is untouched:
    /// - the failure of `composition.getTree` (NoData 512, DmTreeJsonImportFailed
    ///   515, OtioImportFailed 517) when it has no tree to give;
    /// - NoData (512) when the tree holds no composition under a reel;
    /// - NoFrameRateText (1001) when the composition's rate cannot be read;
    /// - JsonConversionFailed (780) for a version outside 8 to 13.
    static Status write(const Composition& composition, const WriteOptions& options, String& out,
                        LossReport& losses, String* message = nullptr);

    /// The version "1.8" ... "1.13" names, by its number after "1."; false,
    /// leaving `version` untouched, for any other text.
    static bool versionFromText(const char* text, std::int32_t& version);

    /// True when `text` (`length` bytes) is XML whose root element is "fcpxml".
    static bool looksLikeFcpxml(const char* text, std::size_t length);
};

} // namespace ZEM_0_81
