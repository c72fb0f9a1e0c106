#pragma once

#include "outside/dmtree/CoSharedPtr.h"
#include "outside/dmtree/DmSourceInfo.h"
#include "outside/dmtree/DmSourceNode.h"
#include "outside/dmtree/DmTypes.h"

#include <deque>
#include <string>

class DmFrameResolution;

namespace ZEM_0_81::Json {

/// Gathers the media inputs of one clip while it is imported: one input per media
/// path the clip names, each with the clip's available range, frame-rate text,
/// media type, identity and frame resolution. The input whose path is the media
/// reference's target URL is kept first, so that it becomes the source's primary
/// input; the others keep the order they were added in (mp4, file, movie).
struct MediaInputCollector {
    std::deque<CoSharedPtr<DmSourceNode::Input>> inputs; ///< the first is the primary one
    CoSharedPtr<DmFrameResolution> primaryRes;           ///< given to every input
    std::string targetUrl;                               ///< the media reference's "target_url"
    double availIn = 0.0;                                ///< available start, source frames
    double availLength = 0.0;                            ///< available length, source frames
    std::string fcm;                                     ///< frame-rate text of the source rate
    eDmTreeMediaType mediaType = eDmMediaUnset;
    std::string entityReference; ///< the clip's identity as compact JSON

    /// Gives `input` the collector's resolution and puts it at the front of the
    /// list when its first sequence is the target URL, else at the back.
    void addInput(DmSourceNode::Input* input);
    /// An input for the clip's mp4 path: a movie (source type 10, file type 2).
    void addMovieInput(const std::string& path);
    /// An input for a file or movie path (source type 4, `fileType` 1 or 2) whose
    /// source information also holds the path's folder.
    void addPathInput(const std::string& path, DmSourceInfo::FileType fileType);
    /// An input for the target URL itself (source and file type 0), only when no
    /// other input exists and the URL is not empty.
    void addTargetUrlInput();

    /// The folder of `path`: its text before the last slash or backslash. A path
    /// without one, or whose only separator is its first character, has none ("").
    static std::string directoryOf(const std::string& path);

private:
    /// A media input over the collector's range reading `info`.
    void addMediaInput(DmSourceInfo* info);
};

} // namespace ZEM_0_81::Json
