#pragma once

#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <string>

namespace zemcomp {

/// `text` as a JSON string, whatever bytes it holds (a name with a NUL included).
inline void writeString(rapidjson::Writer<rapidjson::StringBuffer>& writer,
                        const std::string& text) {
    writer.String(text.c_str(), static_cast<rapidjson::SizeType>(text.size()));
}

} // namespace zemcomp
