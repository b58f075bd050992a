#include "dwg12_differences.h"

#include <set>
#include <string>

#include "toolkit/core/header_block.h"
#include "toolkit/read/dwg12_header_layout.h"
#include "version_differences.h"

namespace tracemill::test {
namespace {

bool dwg12Target(const RoundTripCase& c) { return c.version < 5; }

// Header variables the version does not store come back with the template's values.
void dwg12HeaderOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
    std::set<std::string> stored;
    for (const HeaderVariable& variable : dbHeaderVariableTable()) {
        for (const Dwg12HeaderField& field : dbDwg12HeaderFields()) {
            if (field.value != Dwg12HeaderValue::CurrentIndex && field.member == variable.field &&
                c.version >= field.firstVersion)
                stored.insert(std::string(variable.name));
        }
    }
    std::erase_if(lines, [&](const std::string& line) {
        if (!line.starts_with("HEADER ")) return false;
        const size_t end = line.find(' ', 7);
        return !stored.count(line.substr(7, end - 7));
    });
    removeLines(lines, "HEADER-DWG ");
}

}  // namespace

// The version's rows first, then those of the DWG files before R13.
std::span<const AllowedDifference> dwg12AllowedDifferences() {
    static const AllowedDifference ownRows[] = {
        {"header-of-the-version", "header variables a version does not store come back with the template's values",
         dwg12Target, dwg12HeaderOfTheVersion},
        {"dimension-text-layout", "the DWG reader gives a DIMENSION of these files the text layout defaults of AC1012 "
                                  "(attachment 5, line spacing 1 and 1.6666666666666665), which they do not carry",
         dwg12Target, [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "DIMENSION", {"attachment", "lineSpacingStyle", "lineSpacingFactor",
                                               "actualMeasurement"});
         }},
        {"negative-zero", "the reader reads a -0.0 of these files as 0.0", dwg12Target, zerosWithoutSign},
    };
    static const std::vector<AllowedDifference> rows = joinedRows({versionAllowedDifferences(), ownRows});
    return rows;
}

std::span<const AllowedDifference> dwg12OwnVersionDifferences() {
    static const AllowedDifference rows[] = {
        {"loaded-dimension-style", "a file without DIMSTYLE records is loaded with the dimension style \"Standard\" "
                                   "of the load's defaults, owned by its table; the file written holds it, and its "
                                   "reader takes it as the file names it (STANDARD), without an owner",
         [](const RoundTripCase& c) { return c.version == 4; },
         [](DumpLines& lines, const RoundTripCase&) {
             for (std::string& line : lines) {
                 if (!line.starts_with("DIMSTYLE ")) continue;
                 DumpLines one{line};
                 rewriteField(one, "", "name", symbolNameBefore2000, true);
                 removeFields(one, "", {"owner"});
                 line = one[0];
             }
         }},
    };
    return rows;
}

} // namespace tracemill::test
