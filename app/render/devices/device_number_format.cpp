#include "app/render/devices/device_number_format.h"

#include <algorithm>
#include <charconv>

namespace tracemill::render {

size_t FormatFixed(double value, char* out, int decimals) {
    decimals = std::clamp(decimals, 0, kMaxDeviceDecimals);
    const std::to_chars_result result =
        std::to_chars(out, out + kDeviceNumberBufferSize - 1, value, std::chars_format::fixed, decimals);
    *result.ptr = '\0';
    return size_t(result.ptr - out);
}

size_t FormatDeviceNumber(double value, char* out, int decimals) {
    size_t length = FormatFixed(value, out, decimals);
    if (std::find(out, out + length, '.') != out + length) {
        while (out[length - 1] == '0') --length;
        if (out[length - 1] == '.') --length;
        out[length] = '\0';
    }
    return length;
}

void AppendFixed(std::string& text, double value, int decimals) {
    char buffer[kDeviceNumberBufferSize];
    text.append(buffer, FormatFixed(value, buffer, decimals));
}

void AppendDeviceNumber(std::string& text, double value, int decimals) {
    char buffer[kDeviceNumberBufferSize];
    text.append(buffer, FormatDeviceNumber(value, buffer, decimals));
}

std::string FormatDeviceNumber(double value, int decimals) {
    std::string text;
    AppendDeviceNumber(text, value, decimals);
    return text;
}

} // namespace tracemill::render
