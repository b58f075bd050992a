// The strokes of a recording: each line-to with the pen position before it (a fill leaves the
// pen at its first point), as a device segment with its ends in order, so that strokes compare
// whatever their direction; and the points of the fills.
#pragma once

#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace tracemill::test {

using DevicePair = std::pair<int, int>;
using Stroke = std::pair<DevicePair, DevicePair>;

// The points of a recorded polygon or poly-polygon line ("polygon 1,2 3,4 ...").
inline std::vector<DevicePair> fillPointsOf(const std::string& line) {
    std::vector<DevicePair> points;
    std::istringstream words(line);
    std::string word;
    words >> word;
    while (words >> word) {
        const size_t comma = word.find(',');
        if (comma != std::string::npos) points.push_back({std::stoi(word.substr(0, comma)), std::stoi(word.substr(comma + 1))});
    }
    return points;
}

inline std::set<Stroke> strokesOf(const std::vector<std::string>& lines) {
    std::set<Stroke> strokes;
    DevicePair pen{0, 0};
    for (const std::string& line : lines) {
        std::istringstream in(line);
        std::string kind;
        in >> kind;
        if (kind == "polygon" || kind == "polyPolygon") {
            const std::vector<DevicePair> points = fillPointsOf(line);
            if (!points.empty()) pen = points.front();
            continue;
        }
        int x = 0, y = 0;
        in >> x >> y;
        if (kind == "moveTo") pen = {x, y};
        if (kind != "lineTo") continue;
        const DevicePair to{x, y};
        strokes.insert(pen < to ? Stroke{pen, to} : Stroke{to, pen});
        pen = to;
    }
    return strokes;
}

} // namespace tracemill::test
