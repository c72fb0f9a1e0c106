#pragma once

#include "composition/Composition.h"
#include "composition/CompositionApi.h"
#include "interchange/LossReport.h"
#include "interchange/TimelineView.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace ZEM_0_81 {

/// ASC CDL files: the colour decisions a grading or review host hands on beside
/// a cut, and the clips' looks of a composition handed back. A look is the CDL
/// look the edit tree holds on a clip (slope, offset and power per channel, and
/// a saturation); these files carry exactly those values.
///
/// Three forms are read and written, by their root element: a ColorCorrection
/// (".cc", one look), a ColorCorrectionCollection (".ccc", several) and a
/// ColorDecisionList (".cdl", looks tied to media by MediaRef), in the
/// namespaces "urn:ASC:CDL:v1.01" and "urn:ASC:CDL:v1.2" or in none.
/// interchange/cdl/CDL.md gives the reading and the rules that match a
/// correction to the clips it names.
///
/// Operations return a Status and never throw (allocation failures excepted).
/// When `message` is not null, a failure also sets it to a sentence for a person:
/// where (a line of the text) and why.
class ZEM_API AscCdl {
public:
    /// The three forms, by their root element.
    enum class Form : std::int32_t {
        Correction = 0,   ///< ColorCorrection: a ".cc" file
        Collection = 1,   ///< ColorCorrectionCollection: a ".ccc" file
        DecisionList = 2, ///< ColorDecisionList: a ".cdl" file
    };
    /// The file extension of a form, without the dot: "cc", "ccc", "cdl"; ""
    /// for a value outside the enumeration.
    static const char* extensionOf(Form form);
    /// The form whose extension ends `path` ("looks/reel1.ccc" is a collection),
    /// in any case; false, leaving `form` untouched, for any other path.
    static bool formOfPath(const std::string& path, Form& form);

    /// The values of a look. The defaults are the identity: a look that changes
    /// nothing.
    struct Look {
        std::array<double, 3> slope = {1.0, 1.0, 1.0};  ///< red, green, blue
        std::array<double, 3> offset = {0.0, 0.0, 0.0}; ///< red, green, blue
        std::array<double, 3> power = {1.0, 1.0, 1.0};  ///< red, green, blue
        double saturation = 1.0;

        bool operator==(const Look& other) const {
            return slope == other.slope && offset == other.offset && power == other.power &&
                   saturation == other.saturation;
        }
        bool operator!=(const Look& other) const { return !(*this == other); }
    };

    /// One ColorCorrection as read, with the media its ColorDecision ties it to.
    struct Correction {
        /// Its "id"; empty when it has none.
        std::string id;
        /// Its Description texts, in order (none for one a ColorCorrectionRef
        /// names: they stay with the correction where it stands).
        std::vector<std::string> descriptions;
        /// The "ref" of each MediaRef of its ColorDecision, in order; empty outside
        /// a decision list.
        std::vector<std::string> mediaRefs;
        Look look;
        /// The line of the text its ColorCorrection element (or, for one a
        /// ColorCorrectionRef names, that reference) starts on, from 1.
        std::uint32_t line = 0;
    };

    /// What a text holds.
    struct Contents {
        Form form = Form::Collection;
        /// The version its namespace names: "1.01", "1.2", or "" for no namespace
        /// (or one this reader does not know, which is reported).
        std::string version;
        /// Its corrections in the order of the text: a decision's ColorCorrection,
        /// or the one its ColorCorrectionRef names, at the place of the decision.
        std::vector<Correction> corrections;
    };

    /// Reads ASC CDL text (`length` bytes; no NUL byte needed after them) into
    /// `out`, and reports in `losses` (emptied first) each value that could not
    /// be read, at "line N" with the element's name as its schema: a Slope, Offset
    /// or Power that is not three finite numbers, a Saturation that is not one,
    /// keep the identity and the rest is read; a ColorCorrectionRef naming no
    /// ColorCorrection of the text is left out. Nothing outside the text is read:
    /// a document type's entities are not expanded. Fails with
    /// JsonConversionFailed (780), `out` untouched, when the text is not XML, its
    /// root is none of the three forms, or it holds no correction.
    static Status read(const char* text, std::size_t length, Contents& out, LossReport& losses,
                       String* message = nullptr);

    /// How a correction named a clip, in the order the rules are tried (see
    /// interchange/cdl/CDL.md): the first rule that names any clip gives all the
    /// clips the correction goes to, and a clip two corrections name takes the
    /// one named by the earlier rule (by the same rule, the later correction).
    enum class Rule : std::int32_t {
        /// A Description is the clip's place as `write` describes it (its track and
        /// record range), and the id is the clip's name, made unique or not.
        Place = 0,
        Media = 1,     ///< a MediaRef is the clip's media path, its folder, or its file name
        Name = 2,      ///< the id is the clip's name
        Reel = 3,      ///< the id is the clip's reel, as a cut list gives it
        MediaStem = 4, ///< the id is the clip's media file name without its extension
    };
    /// "place", "media", "name", "reel", "media file name"; "" for a value
    /// outside the enumeration.
    static const char* ruleName(Rule rule);

    /// A correction applied to a clip.
    struct Match {
        /// The correction's index in the list given to apply, and its id.
        std::size_t correction = 0;
        std::string id;
        /// The clip: its track and item indices in TimelineView::tracks and
        /// TimelineTrack::items, and its name.
        std::size_t track = 0;
        std::size_t item = 0;
        std::string clip;
        Rule rule = Rule::Name;
        /// The clip had a look before.
        bool hadLook = false;
        /// Its values changed: it had no look, or one with other values.
        bool changed = false;
    };

    /// Gives each clip of `composition` the look of the correction that names it
    /// (a clip that has a look keeps its place among the clip's effects, and its
    /// switch, and takes the new values), and says in `matches` (emptied first)
    /// what went where: by correction, then by track and item. `report` (emptied
    /// first) says, at the correction's "line N" with the schema
    /// "ColorCorrection", which corrections name no clip, which clips two
    /// corrections name and which one they took, and which looks changed values.
    /// The composition's tree is replaced only when a look changed. Fails, changing
    /// nothing, as Composition::getTree does.
    static Status apply(Composition& composition, const std::vector<Correction>& corrections,
                        std::vector<Match>& matches, LossReport& report, String* message = nullptr);

    /// The look of one clip.
    struct ClipLook {
        /// Its track and item indices in the TimelineView of the composition.
        std::size_t track = 0;
        std::size_t item = 0;
        std::string name;
        /// Where it plays (absolute frames at the composition's rate) and that
        /// range as timecode: its first frame and the frame after its last, as in
        /// an edit decision list.
        FrameRange record;
        std::string recordIn;
        std::string recordOut;
        /// The paths of its media inputs, the primary one first (empty ones left
        /// out).
        std::vector<std::string> media;
        Look look;
        /// The look is switched off in the edit tree.
        bool muted = false;
    };

    /// The looks of the clips of `composition` that have one, track by track and
    /// item by item (a clip with several takes the first). Fails as
    /// TimelineView::build does, leaving `out` untouched.
    static Status looks(const Composition& composition, std::vector<ClipLook>& out);

    /// Writes `looks` as ASC CDL text of the given form, namespace
    /// "urn:ASC:CDL:v1.2": one ColorCorrection each, its id the clip's name made
    /// unique (an unnamed clip is "clip"; repeats take "_2", "_3", ...), its
    /// Descriptions the clip's track and record range ("track 1, record
    /// 01:00:00:00-01:00:02:00") and its primary media ("media PATH"), its values
    /// written so that they read back exactly; in a decision list, each in a
    /// ColorDecision with a MediaRef to its primary media when it has one. Fails
    /// with NoData (512), `out` untouched, when `looks` is empty, or when it holds
    /// more than one look for Form::Correction.
    static Status write(const std::vector<ClipLook>& looks, Form form, String& out,
                        String* message = nullptr);
    /// Writes the looks of `composition` as above; also fails as `looks` does.
    static Status write(const Composition& composition, Form form, String& out,
                        String* message = nullptr);
};

} // namespace ZEM_0_81
