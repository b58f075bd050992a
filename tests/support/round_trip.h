// Round trips of drawings through a writer: load, save, load again, and compare the two
// `tmdump` dumps after a table of the differences a version and a form must make, each with
// its reason. Every row records when it was needed, so that a suite can fail on a row that no
// case needs (a row that hides nothing is a row that may hide a fault later).
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/drawing.h"

namespace tracemill::test {

using DumpLines = std::vector<std::string>;

// The full canonical dump of a drawing, one line per entry.
DumpLines dumpLines(const Drawing& drawing);

// What a round trip did: the target version index and format (1 ASCII DXF, 2 binary DXF,
// 0 DWG), and the version index and format of the drawing it started from.
struct RoundTripCase {
    int16_t version = 0;
    uint8_t format = 0;
    int16_t sourceVersion = 0;
    uint8_t sourceFormat = 0;
    // The header variables the written file carries (without "$").
    std::set<std::string> fileHeaderVariables;
};

// One allowed difference: `normalize` rewrites a dump (both are given it) so that what the
// version or form cannot keep no longer shows; `applies` says for which cases.
struct AllowedDifference {
    std::string_view id;
    std::string_view reason;
    bool (*applies)(const RoundTripCase&);
    void (*normalize)(DumpLines& lines, const RoundTripCase&);
};

class RoundTripComparison {
public:
    explicit RoundTripComparison(std::span<const AllowedDifference> rows) : rows_(rows) {}

    // Applies the rows that apply, in order, to both dumps and returns the lines that still
    // differ ("- line" only in the first, "+ line" only in the second); empty when equal. A
    // row that changed the differing lines is marked needed.
    std::vector<std::string> compare(DumpLines first, DumpLines second, const RoundTripCase& c);

    const std::set<std::string>& needed() const { return needed_; }
    // The rows that applied to some case compared.
    const std::set<std::string>& applied() const { return applied_; }
    std::span<const AllowedDifference> rows() const { return rows_; }

private:
    std::span<const AllowedDifference> rows_;
    std::set<std::string> needed_;
    std::set<std::string> applied_;
};

// Rewrites ` name=value` fields of the lines that start with `prefix` (empty: every line).
void replaceField(DumpLines& lines, std::string_view prefix, std::string_view field, std::string_view value);
// Rewrites the value of every ` field=` (or only the first) of the lines that start with
// `prefix` through `change`.
void rewriteField(DumpLines& lines, std::string_view prefix, std::string_view field,
                  const std::function<std::string(std::string_view)>& change, bool firstOnly = false);
// Rewrites every decimal number of the lines (integers and reals, not hexadecimal handles or
// streams) through `change`.
void rewriteNumbers(DumpLines& lines, const std::function<std::string(double, std::string_view)>& change);
// Removes the lines that start with `prefix`.
void removeLines(DumpLines& lines, std::string_view prefix);
// The value of a field of a dump line, empty when the line has none.
std::string fieldOf(std::string_view line, std::string_view field);

// The prefixes of the lines of symbol-table records, and whether a line is one.
inline constexpr std::string_view kTableRecordPrefixes[] = {"LTYPE ", "LAYER ", "STYLE ", "VIEW ", "UCS ",
                                                            "VPORT ", "APPID ", "DIMSTYLE ", "BLOCK_RECORD "};
bool isTableRecordLine(const std::string& line);
// The kind name of an ENTITY line ("LINE", "498", ...), also once the line names its block.
std::string entityKindOf(const std::string& line);
// Clears the fields of the lines that start with `prefix`.
void removeFields(DumpLines& lines, std::string_view prefix, std::initializer_list<std::string_view> fields);
// Rewrites the fields of the ENTITY lines of a kind (empty: every kind) to `value`.
void entityFields(DumpLines& lines, std::string_view kind, std::initializer_list<std::string_view> fields,
                  std::string_view value = "");
// Keeps the bits `keep` of the entity flags (the first "flags" field) of every ENTITY line.
void maskEntityFlags(DumpLines& lines, int keep);
// A quoted symbol name as files before 2000 carry it: upper case, blanks and brackets as "_";
// a name of more than 26 characters keeps its first ones and ends in its position (compared as
// its first 22 characters and "~", the one form of both sides).
std::string symbolNameBefore2000(std::string_view value);

// The rows of several tables, in order: a suite's table made of the rows of the versions and
// those of its file form.
std::vector<AllowedDifference> joinedRows(std::initializer_list<std::span<const AllowedDifference>> tables);

// Rows that several writers' tables share: the version, creation version, source format and
// handle seed of the file read back; zeros of either sign as 0 (readers take a binary -0.0 as 0.0); the flags of
// the layout blocks, which files before AC1012 do not have.
void removeFileVersion(DumpLines& lines, const RoundTripCase& c);
void zerosWithoutSign(DumpLines& lines, const RoundTripCase& c);
void layoutBlockFlagsCleared(DumpLines& lines, const RoundTripCase& c);
// Clears fields of the BLOCK_RECORD lines of the layout blocks ("*MODEL_SPACE", "*PAPER_SPACE").
void clearLayoutBlockFields(DumpLines& lines, std::initializer_list<std::string_view> fields);

// The sample drawings the readers accept, as paths below the samples folder; a test name made
// from one.
const std::vector<const char*>& roundTripSamples();
std::string sampleTestName(const char* path);

// Records of needed rows shared between the processes of one test run: each case adds the rows
// it needed (and those that applied to it) under its own name; the final check reads them all.
void recordNeededRows(const std::string& directory, const std::string& caseName, const std::set<std::string>& rows,
                      const std::set<std::string>& applied = {});
std::set<std::string> readNeededRows(const std::string& directory, std::set<std::string>* caseNames = nullptr);
// The check after every case of a run: each row of `rows` that applied to some case was needed
// by some case, once all `cases` cases noted theirs (skipped while fewer ran, and outside CTest).
// Rows of a shared table that apply to none of a suite's cases are another suite's to need;
// when no case noted the rows that applied, every row must have been needed.
void expectEveryRowNeeded(const std::string& directory, size_t cases, std::span<const AllowedDifference> rows);

} // namespace tracemill::test
