#include "interchange/edl/WriteReport.h"

#include "interchange/LossReport.h"

namespace ZEM_0_81::Interchange::Cmx {

void WriteReport::lose(const std::string& place, const std::string& schema,
                       const std::string& what) {
    m_losses.add(String(place.c_str(), place.size()), String(schema.c_str(), schema.size()),
                 String(what.c_str(), what.size()));
}

void WriteReport::track(const std::string& track, const std::string& schema,
                        const std::string& what) {
    lose("track " + track, schema, what);
}

void WriteReport::item(const std::string& track, std::int64_t recordIn, const std::string& schema,
                       const std::string& what) {
    lose("track " + track + ", " + timecode(recordIn), schema, what);
}

void WriteReport::title(const std::string& what) {
    lose("TITLE", "composition", what);
}

} // namespace ZEM_0_81::Interchange::Cmx
