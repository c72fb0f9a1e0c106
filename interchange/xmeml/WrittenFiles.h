#pragma once

#include "interchange/xmeml/WriteContext.h"
#include "interchange/xmeml/XmemlKept.h"
#include "interchange/xmeml/XmemlValues.h"
#include "interchange/xmeml/XmlOut.h"

#include "outside/dmtree/DmSourceNode.h"

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace ZEM_0_81::Interchange::Fcp7 {

/// The media files a document writes: each once, in full where a clip first
/// uses it, then by its id ("<file id="file-2"/>"), on any track. A file read
/// from an xmeml document whose media input still spans what it was read as
/// is written back as it came; any other is made from its media inputs: every
/// clip of the same media path at the same rate shares one, its timecode the
/// earliest start of their media and its duration reaching to the latest end.
class WrittenFiles {
public:
    /// A file and what is known of it.
    struct File {
        std::string id;
        std::string wantedId; ///< the id a file given back from its input came with
        bool kept = false;
        std::string xml; ///< as it came, for a kept one
        std::string path;
        std::string name;
        FrameRate rate;
        std::int64_t start = 0; ///< its timecode, frames at `rate`
        std::int64_t end = 0;   ///< start + its duration
        /// A kept file's first frame and the frame after its last as a reader
        /// takes them at each rate its clips count at (by FrameRate::fcm()).
        std::map<std::string, std::pair<std::int64_t, std::int64_t>> keptSpans;
        std::int32_t width = 0;
        std::int32_t height = 0;
        bool video = false;
        bool audio = false;
        bool written = false;
    };

    /// The file of `input`, the primary media input of a clip named `clipName`
    /// on a track of sound when `audio`, counted at `rate` (the clip's), which
    /// keeps `kept`; its index. A file without a path is named after the clip.
    std::size_t fileOf(const DmSourceNode::Input& input, const Kept::KeptElement& kept,
                       const std::string& clipName, const FrameRate& rate, bool audio);

    File& operator[](std::size_t index) { return m_files[index]; }
    /// The first frame of file `index` and the frame after its last, at `rate`,
    /// the rate of a clip fileOf gave it to: a kept file's as a reader takes
    /// it at that rate, a made file's as it is written.
    std::pair<std::int64_t, std::int64_t> spanAt(std::size_t index, const FrameRate& rate) const;

    /// Gives every file an id: the one a kept file came with while no other
    /// element has it, else "file-N".
    void claimIds(WriteContext& context);
    /// Writes file `index`: in full the first time, by its id after.
    void write(XmlOut& out, std::size_t index);

private:
    std::vector<File> m_files;
    std::map<std::string, std::size_t> m_byKey;
};

} // namespace ZEM_0_81::Interchange::Fcp7
