#include "interchange/edl/LineReport.h"

#include "interchange/LossReport.h"
#include "interchange/edl/EdlTimecode.h"
#include "interchange/places/LossPlaces.h"

namespace ZEM_0_81::Interchange::Cmx {

void LineReport::lose(std::size_t line, const std::string& schema, const std::string& what) {
    const std::string place = linePlace(line);
    m_losses.add(String(place.c_str(), place.size()), String(schema.c_str(), schema.size()),
                 String(what.c_str(), what.size()));
}

void LineReport::dropFrameAtRate(std::size_t line, const Rational& rate) {
    if (m_dropReported)
        return;
    m_dropReported = true;
    lose(line, "FCM",
         "drop frame read as non-drop frame: drop frame counts only at 29.97 and 59.94 frames a "
         "second, and the list is read at " +
             rateText(rate));
}

} // namespace ZEM_0_81::Interchange::Cmx
