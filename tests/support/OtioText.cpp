#include "tests/support/OtioText.h"

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <functional>

namespace ZEM_0_81::test {

std::string rationalTime(const std::string& value, const std::string& rate) {
    std::string text = R"({"OTIO_SCHEMA":"RationalTime.1")";
    if (!value.empty())
        text += R"(,"value":)" + value;
    if (!rate.empty())
        text += R"(,"rate":)" + rate;
    return text + "}";
}

std::string rationalTime(double value, double rate) {
    return rationalTime(std::to_string(value), std::to_string(rate));
}

std::string timeRange(const std::string& start, const std::string& duration,
                      const std::string& rate) {
    return R"({"start_time":)" + rationalTime(start, rate) + R"(,"duration":)" +
           rationalTime(duration, rate) + R"(,"OTIO_SCHEMA":"TimeRange.1"})";
}

std::string timeRange(double start, double duration, double rate) {
    return timeRange(std::to_string(start), std::to_string(duration), std::to_string(rate));
}

std::string asAnotherTools(const std::string& text) {
    rapidjson::Document document;
    document.Parse<rapidjson::kParseFullPrecisionFlag>(text.c_str());
    const std::function<void(rapidjson::Value&)> strip = [&](rapidjson::Value& value) {
        if (value.IsObject()) {
            value.RemoveMember("zem");
            for (auto& member : value.GetObject())
                strip(member.value);
        } else if (value.IsArray()) {
            for (rapidjson::Value& element : value.GetArray())
                strip(element);
        }
    };
    strip(document);
    rapidjson::StringBuffer buffer;
    rapidjson::Writer<rapidjson::StringBuffer> writer(buffer);
    document.Accept(writer);
    return std::string(buffer.GetString(), buffer.GetSize());
}

} // namespace ZEM_0_81::test
