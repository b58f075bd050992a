#include "app/services/text_file_reading.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace tracemill {
namespace {

std::vector<std::string> allLines(const std::string& bytes) {
    std::istringstream file(bytes);
    std::vector<std::string> lines;
    for (std::string line = ReadTextLine(file); !line.empty(); line = ReadTextLine(file)) lines.push_back(line);
    return lines;
}

std::vector<std::string> allStrings(const std::string& bytes) {
    std::istringstream file(bytes);
    std::vector<std::string> strings;
    while (file.peek() != std::char_traits<char>::eof()) strings.push_back(ReadNulTerminatedString(file));
    return strings;
}

using namespace std::string_literals;

TEST(TextFileReading, LinesEndAtCrLfOrNulAndEmptyLinesAreSkipped) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } const cases[] = {
        {"CR LF", "one\r\ntwo\r\n", {"one", "two"}},
        {"LF", "one\ntwo", {"one", "two"}},
        {"NUL", "one\0two\0"s, {"one", "two"}},
        {"CR", "one\rtwo", {"one", "two"}},
        {"blank lines and leading ends", "\r\n\n\0one\r\n\r\n\ntwo\n\n"s, {"one", "two"}},
        {"blanks stay", "  a = b \n", {"  a = b "}},
        {"empty file", "", {}},
        {"only line ends", "\r\n\0\n"s, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(allLines(c.bytes), c.lines) << c.name;
}

TEST(TextFileReading, NulTerminatedStrings) {
    EXPECT_EQ(allStrings("ab\0cd\0"s), (std::vector<std::string>{"ab", "cd"}));
    EXPECT_EQ(allStrings("ab\0\0cd"s), (std::vector<std::string>{"ab", "", "cd"})) << "an empty string, then the end";
    std::istringstream empty("");
    EXPECT_EQ(ReadNulTerminatedString(empty), "");
    std::istringstream withLineEnds("a\r\nb\0"s);
    EXPECT_EQ(ReadNulTerminatedString(withLineEnds), "a\r\nb");
}

} // namespace
} // namespace tracemill
