#pragma once

#include "composition/Composition.h"
#include "composition/CompositionApi.h"
#include "interchange/LossReport.h"
#include "outside/core/Rational.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace ZEM_0_81 {

/// CMX 3600 edit decision lists (EDLs): the plain-text cut list, one event per
/// edit, with comment lines carrying clip names, media files, locators and
/// colour decisions. `read` builds a composition from one, `write` writes one
/// from any composition; interchange/edl/EDL.md describes the mapping line by
/// line.
///
/// What reading or writing could not keep is said in the loss report shared
/// with standard OTIO: reading names each entry's place "line N" (lines count
/// from 1) and its statement ("event", "M2", "LOC", "FCM", "ASC_SOP", ...);
/// writing names the track and the record timecode of what it left out.
///
/// Operations return a Status and never throw (allocation failures excepted).
/// When `message` is not null, a failure also sets it to a sentence for a person.
class ZEM_API Edl {
public:
    /// What to write, beside the composition.
    struct WriteOptions {
        /// The video track to write: its index among the composition's tracks as
        /// TimelineView lists them (counting from 0, audio tracks included). -1
        /// writes the first video track. Up to four audio tracks are written
        /// beside it, whatever this says.
        std::int32_t track = -1;
        /// The most characters of a reel name made from a clip's media file name
        /// (8, as most systems read them; 32 or more where the receiving system
        /// reads long reel names). Reels a clip keeps are written as they came.
        std::uint32_t reelLength = 8;
        /// At 29.97 and 59.94 frames a second: false writes "FCM: DROP FRAME"
        /// and drop-frame timecodes, true "FCM: NON-DROP FRAME" and non-drop
        /// timecodes. At other rates the list is non-drop, without an FCM line.
        bool nonDropFrame = false;
    };

    /// Reads the EDL `text` (`length` bytes; it need not be NUL-terminated) into
    /// a new composition named `id`, built through Composition::create(id, root),
    /// and reports in `losses` (emptied first) what did not come into the edit
    /// tree as it stood. An EDL does not say its rate: `rate` gives it (24000/1001,
    /// 30000/1001, 25/1, ... in any terms); Rational() (0/1) takes the default, 24
    /// frames a second, or 30000/1001 when the list's first FCM line says drop
    /// frame. The composition is named by the TITLE line, else "" (a caller that
    /// knows the file names it after the file). Every line that cannot be read is
    /// reported and the rest is read; only a text that is no EDL fails, leaving
    /// `out` untouched:
    /// - JsonConversionFailed (780): the text holds a NUL byte, or neither a
    ///   TITLE line nor an event line;
    /// - NoFrameRateText (1001): `rate` is negative, or has a denominator of 0.
    static Status read(const char* text, std::size_t length, const Rational& rate, const String& id,
                       SharedPtr<Composition>& out, LossReport& losses, String* message = nullptr);

    /// Writes the composition's timeline as an EDL in `out`: a TITLE line, an FCM
    /// line at the drop-frame rates, and one event per clip of the video track
    /// chosen and of up to four audio tracks, sorted by record time, clips that
    /// share reel, source and record time on several tracks in one event. Lines
    /// end in LF. `losses` (emptied first) says what the list cannot hold: other
    /// tracks, effects other than looks, paint, notes longer than a frame or a
    /// line, and the like. On failure `out` is untouched:
    /// - the failure of `composition.getTree` (NoData 512, DmTreeJsonImportFailed
    ///   515, OtioImportFailed 517) when it has no tree to give;
    /// - NoData (512) when the tree holds no composition under a reel;
    /// - NoFrameRateText (1001) when the composition's rate cannot be read;
    /// - JsonConversionFailed (780) when `options.track` is not the index of a
    ///   video track.
    static Status write(const Composition& composition, const WriteOptions& options, String& out,
                        LossReport& losses, String* message = nullptr);

    /// True when `text` (`length` bytes) reads as an EDL: after blank lines, FCM
    /// lines and comment lines starting with '*', its first line is a TITLE line
    /// or an event line. A text whose first character other than white space is
    /// '{' or '[' (JSON) never is; nor is a null `text` or one holding a NUL byte
    /// before that line.
    static bool looksLikeEdl(const char* text, std::size_t length);
};

} // namespace ZEM_0_81
