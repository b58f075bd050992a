// Numbers as golden texts write them: rounded to 9 decimals, without trailing zeros ("-0" as
// "0"), so that two values within about 1e-9 of each other read the same.
#pragma once

#include <cstdio>
#include <string>

namespace tracemill::test {

inline std::string roundedText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.9f", value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

} // namespace tracemill::test
