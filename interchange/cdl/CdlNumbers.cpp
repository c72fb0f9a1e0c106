#include "interchange/cdl/CdlNumbers.h"

#include <charconv>
#include <cmath>
#include <system_error>
#include <vector>

namespace ZEM_0_81::Interchange::Cdl {

namespace {

bool isSeparator(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == ',';
}

} // namespace

bool parseNumbers(const char* text, double* values, std::size_t count) {
    std::vector<double> read;
    const char* cursor = text;
    while (true) {
        while (isSeparator(*cursor))
            ++cursor;
        if (*cursor == '\0')
            break;
        if (read.size() == count)
            return false;
        // from_chars takes no sign but '-'; a '+' is as good a sign in a decimal.
        const char* start = *cursor == '+' && cursor[1] != '-' ? cursor + 1 : cursor;
        const char* end = start;
        while (*end != '\0' && !isSeparator(*end))
            ++end;
        double value = 0.0;
        const auto [stop, error] = std::from_chars(start, end, value, std::chars_format::general);
        // Out of range, "inf" and "nan" are no value a look can hold.
        if (error != std::errc() || stop != end || !std::isfinite(value))
            return false;
        read.push_back(value);
        cursor = end;
    }
    if (read.size() != count)
        return false;
    for (std::size_t i = 0; i < count; ++i)
        values[i] = read[i];
    return true;
}

std::string numberText(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string numbersText(const double* values, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) {
        if (i != 0)
            text += ' ';
        text += numberText(values[i]);
    }
    return text;
}

} // namespace ZEM_0_81::Interchange::Cdl
