// Comparing values of the canonical drawing dump between two drawings of one file saved in two
// formats: the texts are equal but for their numbers, and each pair of numbers lies within a
// tolerance.
#pragma once

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace tracemill::test {

// How far two numbers may lie apart: within `relative` of the larger, or within `absolute`.
struct NumberTolerance {
    double relative = 1e-9;
    double absolute = 1e-12;
};

// Two dump texts (a field value or a whole line) equal but for numbers within the tolerance. A
// number starts a text or follows one of "=(,[{ ".
inline bool sameDumpValue(std::string_view a, std::string_view b, NumberTolerance tolerance = {}) {
    if (a == b) return true;
    auto numberAt = [](std::string_view s, size_t k) {
        const bool starts = k < s.size() && (std::isdigit(uint8_t(s[k])) ||
                                             (s[k] == '-' && k + 1 < s.size() && std::isdigit(uint8_t(s[k + 1]))));
        return starts && (k == 0 || std::string_view("=(,[{ ").find(s[k - 1]) != std::string_view::npos);
    };
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (numberAt(a, i) && numberAt(b, j)) {
            double x = 0;
            double y = 0;
            const auto ra = std::from_chars(a.data() + i, a.data() + a.size(), x);
            const auto rb = std::from_chars(b.data() + j, b.data() + b.size(), y);
            if (ra.ec != std::errc() || rb.ec != std::errc()) return false;
            const double apart = std::fabs(x - y);
            if (apart > tolerance.relative * std::max(std::fabs(x), std::fabs(y)) && apart > tolerance.absolute)
                return false;
            i = size_t(ra.ptr - a.data());
            j = size_t(rb.ptr - b.data());
            continue;
        }
        if (a[i++] != b[j++]) return false;
    }
    return i == a.size() && j == b.size();
}

} // namespace tracemill::test
