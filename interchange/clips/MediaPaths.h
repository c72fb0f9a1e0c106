#pragma once

#include <string>

namespace ZEM_0_81::Interchange::Clips {

/// `text` with each "%XX" replaced by the byte it encodes; a '%' not followed by
/// two hexadecimal digits stays as it is.
std::string percentDecoded(const std::string& text);

/// The parts of a media path that a MediaRef and a correction's id are matched
/// against. A MediaRef is a URI or a path, and a clip's media path is what its
/// reader found (an OTIO "target_url", a cut list's file comment): both are
/// compared in one form, a path with '/' between its parts:
///   "file:///shots/A%20B.mov" and "file://localhost/shots/A%20B.mov" are
///   "/shots/A B.mov" (the escapes of a file URL decoded, of nothing else: a
///   path may hold a '%' of its own, as in "A001.%04d.exr");
///   "C:\shots\A001.mov" is "C:/shots/A001.mov".
std::string normalPath(const std::string& path);

/// The last part of a normal path ("A001.mov"); "" when it ends with '/'.
std::string fileNameOf(const std::string& normal);

/// The folder of a normal path, without the '/' after it ("/shots" for
/// "/shots/A001.mov", and for "/shots/" itself); "" for a bare file name.
std::string folderOf(const std::string& normal);

/// A file name without its extension: up to its last '.', unless that is its
/// first character ("A001_C002" for "A001_C002.mov", ".hidden" as it is).
std::string stemOf(const std::string& fileName);

} // namespace ZEM_0_81::Interchange::Clips
