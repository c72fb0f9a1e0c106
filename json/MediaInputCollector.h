#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTypes.h"

#include <cstddef>
#include <string>
#include <string_view>

class DmFrameResolution;

namespace ZEM_0_81::Json {

/// Gathers the media inputs of one clip while it is imported: one input per media
/// path the clip names, each with the clip's available range, frame-rate text,
/// media type, identity and frame resolution. The input whose path is the media
/// reference's target URL is kept first, so that it becomes the source's primary
/// input; the others keep the order they were added in (mp4, file, movie).
///
/// A clip names at most three paths, so the inputs live in the collector itself,
/// and every text is built once and moved into the edit tree.
struct MediaInputCollector {
    /// The most inputs a clip can have: its mp4, file and movie paths (the target
    /// URL makes an input only when there is no other).
    static constexpr std::size_t kMaxInputs = 3;

    CoSharedPtr<DmFrameResolution> primaryRes; ///< given to every input
    std::string_view targetUrl;                ///< the media reference's "target_url"
    double availIn = 0.0;                      ///< available start, source frames
    double availLength = 0.0;                  ///< available length, source frames
    DmString fcm;                              ///< frame-rate text of the source rate
    eDmTreeMediaType mediaType = eDmMediaUnset;
    DmString entityReference; ///< the clip's identity as compact JSON

    /// An input for the clip's mp4 path: a movie (source type 10, file type 2).
    void addMovieInput(const std::string& path);
    /// An input for a file or movie path (source type 4, `fileType` 1 or 2) whose
    /// source information also holds the path's folder.
    void addPathInput(const std::string& path, DmSourceInfo::FileType fileType);
    /// An input for the target URL itself (source and file type 0), only when no
    /// other input exists and the URL is not empty.
    void addTargetUrlInput();

    /// Number of inputs gathered.
    std::size_t size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    /// The input at `index`; the first one is the primary input.
    DmSourceNode::MediaInput* input(std::size_t index) const { return m_inputs[index].get(); }

    /// The folder of `path`: its text before the last slash or backslash. A path
    /// without one, or whose only separator is its first character, has none ("").
    static std::string directoryOf(const std::string& path);

private:
    /// Gives `input` the collector's resolution and puts it first when `path`, its
    /// first sequence, is the target URL, else after the others.
    void addInput(DmSourceNode::MediaInput* input, std::string_view path);
    /// A media input over the collector's range reading `info`, whose first
    /// sequence is `path`.
    void addMediaInput(DmSourceInfo* info, std::string_view path);

    CoSharedPtr<DmSourceNode::MediaInput> m_inputs[kMaxInputs];
    std::size_t m_count = 0;
};

} // namespace ZEM_0_81::Json
