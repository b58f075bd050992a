#include "round_trip.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

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
        applied_.insert(std::string(row.id));
        row.normalize(first, c);
        row.normalize(second, c);
        std::vector<std::string> after = differences(first, second);
        if (after != before) needed_.insert(std::string(row.id));
        before = std::move(after);
    }
    return before;
}

namespace {

// The end of the value that starts at `start`: the next blank outside quotes, brackets and
// braces, or the bracket that closes the enclosing value.
size_t valueEnd(const std::string& line, size_t start) {
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
        else if (ch == ']' || ch == '}' || ch == ')') {
            if (--depth < 0) break;
        } else if ((ch == ' ' || ch == ',') && depth == 0) break;
    }
    return std::min(end, line.size());
}

bool isNumberStart(const std::string& line, size_t i) {
    const char ch = line[i];
    if (!(std::isdigit(uint8_t(ch)) || (ch == '-' && i + 1 < line.size() && std::isdigit(uint8_t(line[i + 1])))))
        return false;
    // A number stands after =, (, [, a comma or a blank; never inside a word, a handle or a stream.
    return i > 0 &&
           (line[i - 1] == '=' || line[i - 1] == '(' || line[i - 1] == '[' || line[i - 1] == ',' || line[i - 1] == ' ');
}

} // namespace

void rewriteField(DumpLines& lines, std::string_view prefix, std::string_view field,
                  const std::function<std::string(std::string_view)>& change, bool firstOnly) {
    const std::string key = " " + std::string(field) + "=";
    const std::string nested = "{" + std::string(field) + "=";
    for (std::string& line : lines) {
        if (!line.starts_with(prefix)) continue;
        size_t at = 0;
        for (;;) {
            const size_t plain = line.find(key, at);
            const size_t inner = line.find(nested, at);
            const size_t found = std::min(plain, inner);
            if (found == std::string::npos) break;
            const size_t start = found + key.size();
            const size_t end = valueEnd(line, start);
            const std::string value = change(std::string_view(line).substr(start, end - start));
            line.replace(start, end - start, value);
            at = start + value.size();
            if (firstOnly) break;
        }
    }
}

void replaceField(DumpLines& lines, std::string_view prefix, std::string_view field, std::string_view value) {
    rewriteField(lines, prefix, field, [&](std::string_view) { return std::string(value); });
}

void rewriteNumbers(DumpLines& lines, const std::function<std::string(double, std::string_view)>& change) {
    for (std::string& line : lines) {
        std::string out;
        out.reserve(line.size());
        bool quoted = false;
        for (size_t i = 0; i < line.size();) {
            const char ch = line[i];
            if (quoted) {
                out.push_back(ch);
                if (ch == '\\' && i + 1 < line.size()) out.push_back(line[++i]);
                else if (ch == '"') quoted = false;
                ++i;
                continue;
            }
            if (ch == '"') {
                quoted = true;
                out.push_back(ch);
                ++i;
                continue;
            }
            if (isNumberStart(line, i)) {
                size_t end = i + 1;
                while (end < line.size() && (std::isdigit(uint8_t(line[end])) || line[end] == '.' || line[end] == 'e' ||
                                             ((line[end] == '-' || line[end] == '+') && line[end - 1] == 'e'))) {
                    ++end;
                }
                const bool word = end < line.size() && std::isalnum(uint8_t(line[end]));
                if (!word) {
                    const std::string text = line.substr(i, end - i);
                    out += change(std::strtod(text.c_str(), nullptr), text);
                    i = end;
                    continue;
                }
            }
            out.push_back(ch);
            ++i;
        }
        line.swap(out);
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
    const std::string whole(line);
    return whole.substr(start, valueEnd(whole, start) - start);
}

namespace {

// A row that applied to a case is noted with this mark before its id.
constexpr std::string_view kAppliedMark = "applied ";

// The rows the record files of a run noted: those needed, or with `applied` those that applied.
std::set<std::string> readRowRecords(const std::string& directory, std::set<std::string>* caseNames, bool applied) {
    std::set<std::string> rows;
    if (!std::filesystem::exists(directory)) return rows;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        if (entry.path().extension() != ".rows") continue;
        if (caseNames) caseNames->insert(entry.path().stem().string());
        std::ifstream in(entry.path());
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line.starts_with(kAppliedMark) != applied) continue;
            rows.insert(applied ? line.substr(kAppliedMark.size()) : line);
        }
    }
    return rows;
}

} // namespace

void recordNeededRows(const std::string& directory, const std::string& caseName, const std::set<std::string>& rows,
                      const std::set<std::string>& applied) {
    std::filesystem::create_directories(directory);
    std::ofstream out(std::filesystem::path(directory) / (caseName + ".rows"));
    for (const std::string& row : rows) out << row << '\n';
    for (const std::string& row : applied) out << kAppliedMark << row << '\n';
}

std::set<std::string> readNeededRows(const std::string& directory, std::set<std::string>* caseNames) {
    return readRowRecords(directory, caseNames, false);
}

bool isTableRecordLine(const std::string& line) {
    return std::any_of(std::begin(kTableRecordPrefixes), std::end(kTableRecordPrefixes),
                       [&](std::string_view prefix) { return line.starts_with(prefix); });
}

std::string entityKindOf(const std::string& line) {
    size_t start = 7;
    if (line.compare(start, 3, "in=") == 0) start = line.find(' ', start) + 1;
    const size_t end = line.find(' ', start);
    return line.substr(start, end - start);
}

void removeFields(DumpLines& lines, std::string_view prefix, std::initializer_list<std::string_view> fields) {
    for (std::string_view field : fields) replaceField(lines, prefix, field, "");
}

void entityFields(DumpLines& lines, std::string_view kind, std::initializer_list<std::string_view> fields,
                  std::string_view value) {
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ") || (!kind.empty() && entityKindOf(line) != kind)) continue;
        DumpLines one{line};
        for (std::string_view field : fields) replaceField(one, "", field, value);
        line = one[0];
    }
}

void maskEntityFlags(DumpLines& lines, int keep) {
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ")) continue;
        DumpLines one{line};
        rewriteField(one, "", "flags", [&](std::string_view v) {
            return std::to_string(std::atoi(std::string(v).c_str()) & keep);
        }, true);
        line = one[0];
    }
}

std::string symbolNameBefore2000(std::string_view value) {
    std::string v(value);
    for (char& c : v) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c == ' ' || c == '(' || c == ')' || c == '[' || c == ']') c = '_';
    }
    const size_t length = v.size() - 2; // within the quotes
    const bool numbered = length == 26 && std::isdigit(uint8_t(v[v.size() - 2]));
    if (length > 26 || numbered) v = v.substr(0, 23) + "~\"";
    return v;
}

std::vector<AllowedDifference> joinedRows(std::initializer_list<std::span<const AllowedDifference>> tables) {
    std::vector<AllowedDifference> rows;
    for (std::span<const AllowedDifference> table : tables) rows.insert(rows.end(), table.begin(), table.end());
    return rows;
}

void removeFileVersion(DumpLines& lines, const RoundTripCase&) {
    for (std::string_view field : {"version", "creationVersion", "sourceFormat", "handleSeed"})
        replaceField(lines, "DRAWING", field, "");
    removeLines(lines, "HEADER ACADVER ");
    removeLines(lines, "HEADER ACADMAINTVER ");
    removeLines(lines, "HEADER HANDSEED ");
}

void zerosWithoutSign(DumpLines& lines, const RoundTripCase&) {
    rewriteNumbers(lines, [](double value, std::string_view text) {
        return value == 0.0 ? std::string("0") : std::string(text);
    });
}

void clearLayoutBlockFields(DumpLines& lines, std::initializer_list<std::string_view> fields) {
    for (std::string& line : lines) {
        if (!line.starts_with("BLOCK_RECORD ")) continue;
        std::string name = fieldOf(line, "name");
        for (char& ch : name) ch = char(std::toupper(uint8_t(ch)));
        if (name != "\"*MODEL_SPACE\"" && name != "\"*PAPER_SPACE\"") continue;
        DumpLines one{line};
        for (std::string_view field : fields) replaceField(one, "", field, "");
        line = one[0];
    }
}

void layoutBlockFlagsCleared(DumpLines& lines, const RoundTripCase&) { clearLayoutBlockFields(lines, {"flags"}); }

const std::vector<const char*>& roundTripSamples() {
    static const std::vector<const char*> samples = {
        "dxf/2000_entities-2d.dxf", "dxf/example_2000.dxf", "dxf/example_2000.dxfb", "dxf/example_r12.dxf",
        "dxf/r11_entities-2d.dxf",  "dxf/r14_Leader.dxf",   "dxf/r2.6_entities.dxf", "dxf/sample_r14.dxf",
        "dwg/2000_entities-2d.dwg", "dwg/example_2000.dwg", "dwg/example_r13.dwg",   "dwg/example_r14.dwg",
        "dwg/oscilloscope_case_2000.dwg", "dwg/r10_entities.dwg", "dwg/r11_entities-2d.dwg",
        "dwg/r2.6_entities.dwg", "dwg/r9_entities.dwg",
    };
    return samples;
}

std::string sampleTestName(const char* path) {
    std::string name = path;
    for (char& c : name) {
        if (!std::isalnum(uint8_t(c))) c = '_';
    }
    return name;
}

void expectEveryRowNeeded(const std::string& directory, size_t cases, std::span<const AllowedDifference> rows) {
    std::set<std::string_view> ids;
    for (const AllowedDifference& row : rows) EXPECT_TRUE(ids.insert(row.id).second) << "two rows " << row.id;
    if (directory.empty()) GTEST_SKIP() << "run through CTest";
    std::set<std::string> ran;
    const std::set<std::string> needed = readNeededRows(directory, &ran);
    const std::set<std::string> applied = readRowRecords(directory, nullptr, true);
    if (ran.size() < cases) GTEST_SKIP() << "only " << ran.size() << " of " << cases << " cases ran";
    for (const AllowedDifference& row : rows) {
        if (!applied.empty() && !applied.count(std::string(row.id))) continue;
        EXPECT_TRUE(needed.count(std::string(row.id))) << "row never needed: " << row.id << " (" << row.reason << ")";
    }
}

} // namespace tracemill::test
