// Every error number that toolkit code can leave in the context has a meaning: the test walks
// the toolkit's sources for the numbers they set (named error constants, and numbers handed
// straight to the error setters) and looks each one up in the table of meanings.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "toolkit/core/error_meanings.h"
#include "toolkit/read/dwg_file_check.h"

namespace tracemill {
namespace {

struct Use {
    std::string where;  // file:line
    std::string name;   // the constant's name; empty for a number given straight
};

// The error numbers of the sources under `root`, each with where it is set.
std::map<int, std::vector<Use>> errorNumbersInSources(const std::filesystem::path& root) {
    // A named error number ("inline constexpr int kErrorLayers = 46;"); the reasons handed to
    // the error callback (kErrorReason...) are no error numbers.
    static const std::regex named(R"(constexpr\s+[\w:]+\s+(kError\w+)\s*=\s*(-?\d+))");
    // A number given straight to a setter ("dbSetError(286)", "dbReportError(218, ...)",
    // "failBadLine(298)", "loadError = 289").
    static const std::regex straight(R"(\b(?:dbSetError|dbReportError|[fF]ail\w*|stage)\(\s*(-?\d+)\s*[,)]|\bloadError\s*=\s*(\d+))");
    std::map<int, std::vector<Use>> numbers;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".h" && extension != ".cpp") continue;
        std::ifstream in(entry.path());
        int lineNumber = 0;
        for (std::string line; std::getline(in, line);) {
            ++lineNumber;
            const std::string where =
                std::filesystem::relative(entry.path(), root.parent_path()).string() + ":" + std::to_string(lineNumber);
            for (std::sregex_iterator m(line.begin(), line.end(), named), end; m != end; ++m) {
                const std::string name = (*m)[1];
                if (name.starts_with("kErrorReason")) continue;
                numbers[std::stoi((*m)[2])].push_back({where, name});
            }
            for (std::sregex_iterator m(line.begin(), line.end(), straight), end; m != end; ++m) {
                const std::string number = (*m)[1].matched ? (*m)[1] : (*m)[2];
                if (std::stoi(number) != 0) numbers[std::stoi(number)].push_back({where, ""});
            }
        }
    }
    return numbers;
}

const std::map<int, std::vector<Use>>& sourceNumbers() {
    static const std::map<int, std::vector<Use>> numbers = errorNumbersInSources(TRACEMILL_TOOLKIT_SOURCES);
    return numbers;
}

TEST(ErrorMeanings, TheWalkFindsTheNumbersOfEveryKindOfSetter) {
    const auto& numbers = sourceNumbers();
    // A constant of the core (172), one set straight by a reader (286), one through a helper
    // (298), one of the entity reader's load errors (289) and one of the file check (320).
    for (int number : {172, 231, 286, 289, 298, 320}) EXPECT_TRUE(numbers.contains(number)) << number;
}

TEST(ErrorMeanings, EveryNumberTheSourcesSetHasAMeaning) {
    for (const auto& [number, uses] : sourceNumbers()) {
        const std::string meaning = dbErrorMeaning(number);
        EXPECT_NE(meaning, kUnknownErrorMeaning) << "error " << number << " set at " << uses.front().where
                                                 << " has no meaning in toolkit/core/error_meanings.cpp";
        EXPECT_FALSE(meaning.empty()) << number;
    }
}

// The numbers of the light DWG file check are its own: no other constant and no setter uses
// them, so a message tells what the check found.
TEST(ErrorMeanings, TheFileCheckFailuresHaveNumbersOfTheirOwn) {
    std::vector<int> check = {kErrorDwgCheckHeaderSize, kErrorDwgCheckHeaderCrc};
    check.insert(check.end(), kDwgCheckSectionErrors.begin(), kDwgCheckSectionErrors.end());
    check.insert(check.end(), kDwgCheckTableErrors.begin(), kDwgCheckTableErrors.end());
    std::set<std::string> meanings;
    for (int number : check) {
        SCOPED_TRACE(number);
        const auto found = sourceNumbers().find(number);
        ASSERT_NE(found, sourceNumbers().end());
        for (const Use& use : found->second) {
            EXPECT_TRUE(use.name.starts_with("kErrorDwgCheck")) << use.where << " " << use.name;
        }
        meanings.insert(dbErrorMeaning(number));
    }
    EXPECT_EQ(meanings.size(), check.size()) << "two failures of the check share a meaning";
}

TEST(ErrorMeanings, ANumberWithoutAMeaningIsAnUnknownError) {
    EXPECT_STREQ(dbErrorMeaning(0x7FFF), kUnknownErrorMeaning);
    EXPECT_STREQ(dbErrorMeaning(-2), kUnknownErrorMeaning);
    EXPECT_STRNE(dbErrorMeaning(172), kUnknownErrorMeaning);
}

} // namespace
} // namespace tracemill
