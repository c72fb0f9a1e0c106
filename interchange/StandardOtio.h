#pragma once

#include "composition/Composition.h"
#include "composition/CompositionApi.h"
#include "interchange/Dialect.h"
#include "interchange/LossReport.h"
#include "interchange/OtioVersion.h"

#include <cstddef>
#include <optional>
#include <string>

namespace ZEM_0_81 {

/// Standard OpenTimelineIO JSON, as the OpenTimelineIO library and the tools
/// built on it read and write it today, beside the product's own OTIO dialect
/// (Composition::JsonType::Otio, which stays as it is). A composition written
/// here loads in the OpenTimelineIO library with no schema registered, showing
/// the edit tree's timeline: every layer of every edit-tree track as a Track of
/// the one "tracks" stack, each source as a Clip ("Clip.2", its media inputs as
/// media references) at its record time, each gap as a Gap, holes between
/// segments as filler Gaps, and each effect as an "Effect.1". Everything else the
/// edit tree holds rides in "metadata" → "zem", so that reading the text back
/// gives the same edit tree, also after the OpenTimelineIO library has loaded and
/// saved it (it sorts dictionary keys, writes both members of every time and may
/// read a double one unit in the last place off). It is written in the schemas of
/// the current OpenTimelineIO release, or of another one asked for (OtioVersion).
/// Reading takes every release's schemas, and times other tools' timelines as the
/// OpenTimelineIO library times them, their trims included. interchange/FORMAT.md
/// describes the mapping member by member.
///
/// Operations return a Status and never throw (allocation failures excepted).
/// When `message` is not null, a failure also sets it to a sentence for a person:
/// where (a JSON Pointer, or a line and a column) and why.
class ZEM_API StandardOtio {
public:
    /// Writes the edit tree of `composition` as standard OTIO: compact JSON text,
    /// strict (no NaN or Infinity literals). On failure `out` is untouched:
    /// - the failure of `composition.getTree` (NoData 512, DmTreeJsonImportFailed
    ///   515, OtioImportFailed 517) when it has no tree to give;
    /// - NoData (512) when the tree holds no composition under a reel (standard
    ///   OTIO has no document without a timeline);
    /// - JsonGenerationFailed (516) when the tree holds a number that is not finite,
    ///   or an object of a kind this system does not define.
    static Status write(const Composition& composition, String& out, String* message = nullptr);

    /// How to write a document.
    struct WriteOptions {
        /// The OpenTimelineIO release to write for: the document then holds only
        /// the schema versions it reads (OtioVersion), in what another tool wrote
        /// and is kept too (its clips and markers turned into that release's, as
        /// the OpenTimelineIO library downgrades and upgrades them). Without one,
        /// what this system writes is the current release's (kCurrentOtioVersion)
        /// and what another tool wrote goes back out as it came, whatever its
        /// versions (as the plain write does).
        std::optional<OtioVersion> version;
        /// When not null, emptied first and given an entry for each thing the
        /// release has no place for (the media references of a clip other than
        /// its active one, for 0.14.0), with its JSON Pointer in the text written.
        LossReport* losses = nullptr;
    };
    /// Writes as above, for the release `options` names. Fails as above, and
    /// with JsonGenerationFailed (516) for a version outside the enumeration.
    static Status write(const Composition& composition, const WriteOptions& options, String& out,
                        String* message = nullptr);

    /// Reads standard OTIO text (`length` bytes followed by a NUL byte, as
    /// std::string::c_str and String::c_str give) into a new composition named
    /// `id`, built through Composition::create(id, root), and reports in `losses`
    /// (emptied first) what could not come into the edit tree as it stood. Reading
    /// this system's own output, as written or as the OpenTimelineIO library saves
    /// it again, loses nothing. On failure `out` is untouched and `losses` holds
    /// what was reported before the failure:
    /// - JsonSyntaxError (775): the text is not JSON (NaN and Infinity literals are
    ///   accepted, as the OpenTimelineIO library writes them);
    /// - OtioImportFailed (517): the document holds no timeline (it is not a
    ///   Timeline, nor a SerializableCollection holding one); the message then
    ///   starts with "no timeline".
    static Status read(const char* text, std::size_t length, const String& id,
                       SharedPtr<Composition>& out, LossReport& losses, String* message = nullptr);

    /// How to read a document.
    struct ReadOptions {
        /// The timeline of a collection to read, by name or by number from 1
        /// (DocumentReadOptions::timeline); empty reads every timeline, the first
        /// being the one the composition's queries answer for.
        std::string timeline;
        /// Whether a long text (256 KB or more) may be read on two threads: the
        /// items of its long tracks are parsed on a thread of the read's own
        /// while the calling thread builds the edit tree from those before,
        /// which takes about a third off the time a long cut takes to read. The
        /// thread ends before read returns. False reads on the calling thread
        /// alone; the result is the same either way.
        bool parseAhead = true;
    };
    /// Reads as above, as `options` say. Fails as above, and with NoData (512)
    /// when no timeline is the one asked for, the message starting "no
    /// timeline" and naming those the document holds.
    static Status read(const char* text, std::size_t length, const String& id,
                       const ReadOptions& options, SharedPtr<Composition>& out, LossReport& losses,
                       String* message = nullptr);
};

} // namespace ZEM_0_81
