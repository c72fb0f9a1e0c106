#pragma once

#include <string_view>

namespace ZEM_0_81::Interchange::Cmx {

/// "TITLE: name", in any case: true with the name, trimmed, in `title`.
bool parseTitle(std::string_view line, std::string_view& title);

/// "FCM: DROP FRAME" or "FCM: NON-DROP FRAME" (any mode starting "NON" is
/// non-drop, "NON DROP FRAME" included; one starting "DROP" is drop frame; the
/// colon may be left out), in any case: true with the mode in `dropFrame`.
/// False for another line, and for an FCM line naming neither mode (a plain
/// comment).
bool parseFcm(std::string_view line, bool& dropFrame);

} // namespace ZEM_0_81::Interchange::Cmx
