#include "dxf_structure_check.h"

#include "test_paths.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace tracemill::test {
namespace {

enum class Kind { Text, Real, Int16, Int32, Byte, Chunk };

// The value kinds of the published group-code ranges, written down here apart from the toolkit.
Kind kindOf(int code, bool binary) {
    if (code >= 10 && code <= 59) return Kind::Real;
    if (code >= 60 && code <= 79) return Kind::Int16;
    if (code >= 90 && code <= 99) return Kind::Int32;
    if (code >= 110 && code <= 149) return Kind::Real;
    if (code >= 170 && code <= 179) return Kind::Int16;
    if (code >= 210 && code <= 239) return Kind::Real;
    if (code >= 270 && code <= 289) return Kind::Int16;
    if (code >= 290 && code <= 299) return binary ? Kind::Byte : Kind::Int16;
    if (code >= 310 && code <= 319) return Kind::Chunk;
    if (code >= 370 && code <= 389) return Kind::Int16;
    if (code >= 400 && code <= 409) return Kind::Int16;
    if (code >= 420 && code <= 429) return Kind::Int32;
    if (code >= 440 && code <= 459) return Kind::Int32;
    if (code >= 460 && code <= 469) return Kind::Real;
    if (code == 1004) return Kind::Chunk;
    if (code >= 1010 && code <= 1059) return Kind::Real;
    if (code >= 1060 && code <= 1070) return Kind::Int16;
    if (code == 1071) return Kind::Int32;
    return Kind::Text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `at` on; false when there is none.
bool digits(const std::string& text, size_t& at) {
    const size_t start = at;
    while (at < text.size() && isDigit(text[at])) ++at;
    return at > start;
}

// An integer as a C-locale program writes it: blanks, a sign, digits.
bool isInteger(const std::string& text) {
    size_t at = text.find_first_not_of(' ');
    if (at == std::string::npos) return false;
    if (text[at] == '-') ++at;
    return digits(text, at) && at == text.size();
}

// A real in the C locale's form: digits with a point, or an exponent with an upper-case E.
bool isReal(const std::string& text) {
    size_t at = 0;
    if (at < text.size() && text[at] == '-') ++at;
    if (!digits(text, at)) return false;
    if (at < text.size() && text[at] == '.') {
        ++at;
        if (!digits(text, at)) return false;
    }
    if (at < text.size() && text[at] == 'E') {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (!digits(text, at)) return false;
    }
    return at == text.size();
}

bool isHexBytes(const std::string& text) {
    if (text.size() % 2 != 0) return false;
    return std::all_of(text.begin(), text.end(), [](char c) { return isDigit(c) || (c >= 'A' && c <= 'F'); });
}

bool tokenizeAscii(const std::vector<uint8_t>& bytes, DxfCheckResult& result) {
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t byte : bytes) {
        if (byte == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line.push_back(char(byte));
        }
    }
    if (!line.empty()) result.problems.push_back("the last line has no line end");
    if (lines.size() % 2 != 0) result.problems.push_back("an odd number of lines");
    for (size_t i = 0; i + 1 < lines.size(); i += 2) {
        if (!isInteger(lines[i])) {
            result.problems.push_back("line " + std::to_string(i + 1) + ": not a group code: " + lines[i]);
            return false;
        }
        DxfCheckGroup group{std::stoi(lines[i]), lines[i + 1]};
        switch (kindOf(group.code, false)) {
        case Kind::Real:
            if (!isReal(group.value))
                result.problems.push_back("line " + std::to_string(i + 2) + ": not a C-locale real: " + group.value);
            break;
        case Kind::Int16:
        case Kind::Int32:
        case Kind::Byte:
            if (!isInteger(group.value))
                result.problems.push_back("line " + std::to_string(i + 2) + ": not an integer: " + group.value);
            break;
        case Kind::Chunk:
            if (!isHexBytes(group.value))
                result.problems.push_back("line " + std::to_string(i + 2) + ": not hexadecimal: " + group.value);
            break;
        case Kind::Text: break;
        }
        result.groups.push_back(std::move(group));
    }
    return true;
}

bool tokenizeBinary(const std::vector<uint8_t>& bytes, DxfCheckResult& result) {
    static const char sentinel[] = "AutoCAD Binary DXF\r\n\x1a";
    if (bytes.size() < 22 || std::memcmp(bytes.data(), sentinel, 21) != 0 || bytes[21] != 0) {
        result.problems.push_back("no binary sentinel");
        return false;
    }
    size_t at = 22;
    // The first group is 0 SECTION: two zero bytes mean two-byte group codes.
    const bool twoByteCodes = bytes.size() > at + 1 && bytes[at] == 0 && bytes[at + 1] == 0;
    auto need = [&](size_t n) {
        if (at + n > bytes.size()) {
            result.problems.push_back("the file ends inside a group");
            return false;
        }
        return true;
    };
    while (at < bytes.size()) {
        int code = 0;
        if (twoByteCodes) {
            if (!need(2)) return false;
            code = int16_t(bytes[at] | (bytes[at + 1] << 8));
            at += 2;
        } else {
            if (!need(1)) return false;
            code = bytes[at++];
            if (code == 255) {
                if (!need(2)) return false;
                code = int16_t(bytes[at] | (bytes[at + 1] << 8));
                at += 2;
            }
        }
        DxfCheckGroup group{code, {}};
        std::ostringstream text;
        switch (kindOf(code, true)) {
        case Kind::Real: {
            if (!need(8)) return false;
            double value;
            std::memcpy(&value, &bytes[at], 8);
            at += 8;
            text << value;
            break;
        }
        case Kind::Int16:
            if (!need(2)) return false;
            text << int16_t(bytes[at] | (bytes[at + 1] << 8));
            at += 2;
            break;
        case Kind::Int32: {
            if (!need(4)) return false;
            int32_t value;
            std::memcpy(&value, &bytes[at], 4);
            at += 4;
            text << value;
            break;
        }
        case Kind::Byte:
            if (!need(1)) return false;
            text << int(bytes[at++]);
            break;
        case Kind::Chunk: {
            if (!need(1)) return false;
            const size_t n = bytes[at++];
            if (!need(n)) return false;
            static const char digits[] = "0123456789ABCDEF";
            for (size_t i = 0; i < n; ++i) text << digits[bytes[at + i] >> 4] << digits[bytes[at + i] & 15];
            at += n;
            break;
        }
        case Kind::Text: {
            const auto* start = &bytes[at];
            const void* end = std::memchr(start, 0, bytes.size() - at);
            if (!end) {
                result.problems.push_back("a text without its zero byte");
                return false;
            }
            const size_t n = size_t(static_cast<const uint8_t*>(end) - start);
            text << std::string(reinterpret_cast<const char*>(start), n);
            at += n + 1;
            break;
        }
        }
        group.value = text.str();
        result.groups.push_back(std::move(group));
    }
    return true;
}

// A handle's hexadecimal digits (1 to 16 of them) as a number.
bool hexValue(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 16) return false;
    value = 0;
    for (char c : text) {
        int digit = 0;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else return false;
        value = value << 4 | uint64_t(digit);
    }
    return true;
}

void checkSections(DxfCheckResult& result, const std::string& expectedVersion) {
    const auto& groups = result.groups;
    std::vector<std::string> sections;
    std::string section;
    std::string table;
    bool inBlock = false;
    bool ended = false;
    bool fromR13 = false;
    std::set<std::string> handles;
    uint64_t seed = 0;
    uint64_t largest = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        const DxfCheckGroup& g = groups[i];
        if (ended) {
            result.problems.push_back("groups after EOF");
            break;
        }
        if (g.code == 9 && g.value == "$ACADVER" && i + 1 < groups.size()) {
            result.version = groups[i + 1].value;
            fromR13 = result.version >= "AC1012";
        }
        if (g.code == 9 && g.value == "$HANDSEED" && i + 1 < groups.size()) {
            if (!hexValue(groups[i + 1].value, seed)) result.problems.push_back("$HANDSEED not a handle");
        }
        if (g.code == 0) {
            if (g.value == "SECTION") {
                if (!section.empty()) result.problems.push_back("SECTION inside " + section);
                if (i + 1 >= groups.size() || groups[i + 1].code != 2) {
                    result.problems.push_back("SECTION without its name");
                    continue;
                }
                section = groups[i + 1].value;
                sections.push_back(section);
            } else if (g.value == "ENDSEC") {
                if (section.empty()) result.problems.push_back("ENDSEC outside a section");
                if (!table.empty()) result.problems.push_back("table " + table + " not ended");
                if (inBlock) result.problems.push_back("BLOCK not ended in " + section);
                section.clear();
            } else if (g.value == "TABLE") {
                if (section != "TABLES") result.problems.push_back("TABLE outside TABLES");
                if (!table.empty()) result.problems.push_back("TABLE inside " + table);
                table = i + 1 < groups.size() ? groups[i + 1].value : "?";
            } else if (g.value == "ENDTAB") {
                if (table.empty()) result.problems.push_back("ENDTAB without TABLE");
                table.clear();
            } else if (g.value == "BLOCK") {
                if (section != "BLOCKS") result.problems.push_back("BLOCK outside BLOCKS");
                if (inBlock) result.problems.push_back("BLOCK inside a block");
                inBlock = true;
            } else if (g.value == "ENDBLK") {
                if (!inBlock) result.problems.push_back("ENDBLK without BLOCK");
                inBlock = false;
            } else if (g.value == "EOF") {
                if (!section.empty()) result.problems.push_back("EOF inside " + section);
                ended = true;
            } else if (section.empty()) {
                result.problems.push_back("0 " + g.value + " outside a section");
            }
        }
        if ((g.code == 5 || g.code == 105) && section != "HEADER" && fromR13) {
            if (!handles.insert(g.value).second) result.problems.push_back("handle " + g.value + " repeated");
            if (g.value == "0") result.problems.push_back("a null handle");
            uint64_t value = 0;
            if (!hexValue(g.value, value)) result.problems.push_back("handle " + g.value + " not hexadecimal");
            largest = std::max(largest, value);
        }
    }
    if (!ended) result.problems.push_back("no EOF");
    if (fromR13 && largest >= seed) result.problems.push_back("a handle not below $HANDSEED");
    if (!expectedVersion.empty() && result.version != expectedVersion)
        result.problems.push_back("$ACADVER " + result.version + " instead of " + expectedVersion);
    const std::vector<std::string> expected =
        fromR13 ? std::vector<std::string>{"HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"}
                : std::vector<std::string>{"HEADER", "TABLES", "BLOCKS", "ENTITIES"};
    if (sections != expected) {
        std::string found;
        for (const std::string& s : sections) found += s + " ";
        result.problems.push_back("sections: " + found);
    }
}

} // namespace

std::string DxfCheckResult::report() const {
    std::string text;
    for (size_t i = 0; i < problems.size() && i < 20; ++i) text += problems[i] + "\n";
    return text;
}

DxfCheckResult checkDxfStructure(const std::vector<uint8_t>& bytes, const std::string& expectedVersion) {
    DxfCheckResult result;
    result.binary = bytes.size() >= 18 && std::memcmp(bytes.data(), "AutoCAD Binary DXF", 18) == 0;
    const bool tokenized = result.binary ? tokenizeBinary(bytes, result) : tokenizeAscii(bytes, result);
    if (tokenized) checkSections(result, expectedVersion);
    return result;
}

DxfCheckResult checkDxfFile(const std::filesystem::path& path, const std::string& expectedVersion) {
    return checkDxfStructure(readFileBytes(path), expectedVersion);
}

} // namespace tracemill::test
