#include "round_trip.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "toolkit/core/drawing_dump.h"

namespace tracemill::test {
namespace {

// The lines of each side that the other lacks (multiset difference), sorted.
std::vector<std::string> differences(const DumpLines& first, const DumpLines& second) {
    DumpLines a = first;
    DumpLines b = second;
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    std::vector<std::string> onlyFirst;
    std::vector<std::string> onlySecond;
    std::set_difference(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(onlyFirst));
    std::set_difference(b.begin(), b.end(), a.begin(), a.end(), std::back_inserter(onlySecond));
    std::vector<std::string> result;
    for (const std::string& line : onlyFirst) result.push_back("- " + line);
    for (const std::string& line : onlySecond) result.push_back("+ " + line);
    return result;
}

} // namespace

DumpLines dumpLines(const Drawing& drawing) {
    DumpLines lines;
    dbDumpDrawing(drawing, DumpMode::Full, [&](std::string_view line) { lines.emplace_back(line); });
    return lines;
}

std::vector<std::string> RoundTripComparison::compare(DumpLines first, DumpLines second, const RoundTripCase& c) {
    std::vector<std::string> before = differences(first, second);
    for (const AllowedDifference& row : rows_) {
        if (!row.applies(c)) continue;
        row.normalize(first, c);
        row.normalize(second, c);
        std::vector<std::string> after = differences(first, second);
        if (after != before) needed_.insert(std::string(row.id));
        before = std::move(after);
    }
    return before;
}

void replaceField(DumpLines& lines, std::string_view prefix, std::string_view field, std::string_view value) {
    const std::string key = " " + std::string(field) + "=";
    for (std::string& line : lines) {
        if (!line.starts_with(prefix)) continue;
        for (size_t at = line.find(key); at != std::string::npos; at = line.find(key, at + 1)) {
            const size_t start = at + key.size();
            // A value runs to the next field, minding quotes, brackets and braces.
            size_t end = start;
            int depth = 0;
            bool quoted = false;
            for (; end < line.size(); ++end) {
                const char ch = line[end];
                if (quoted) {
                    if (ch == '\\') ++end;
                    else if (ch == '"') quoted = false;
                    continue;
                }
                if (ch == '"') quoted = true;
                else if (ch == '[' || ch == '{' || ch == '(') ++depth;
                else if (ch == ']' || ch == '}' || ch == ')') --depth;
                else if (ch == ' ' && depth == 0) break;
                if (depth < 0) break;
            }
            line.replace(start, end - start, value);
        }
    }
}

void removeLines(DumpLines& lines, std::string_view prefix) {
    std::erase_if(lines, [&](const std::string& line) { return line.starts_with(prefix); });
}

std::string fieldOf(std::string_view line, std::string_view field) {
    const std::string key = " " + std::string(field) + "=";
    const size_t at = line.find(key);
    if (at == std::string_view::npos) return {};
    const size_t start = at + key.size();
    size_t end = line.find(' ', start);
    return std::string(line.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

void recordNeededRows(const std::string& directory, const std::string& caseName, const std::set<std::string>& rows) {
    std::filesystem::create_directories(directory);
    std::ofstream out(std::filesystem::path(directory) / (caseName + ".rows"));
    for (const std::string& row : rows) out << row << '\n';
}

std::set<std::string> readNeededRows(const std::string& directory, std::set<std::string>* caseNames) {
    std::set<std::string> rows;
    if (!std::filesystem::exists(directory)) return rows;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (entry.path().extension() != ".rows") continue;
        if (caseNames) caseNames->insert(entry.path().stem().string());
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            if (!line.empty()) rows.insert(line);
        }
    }
    return rows;
}

} // namespace tracemill::test
