#include "dwg13_differences.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "dwg13_header_coverage.h"

namespace tracemill::test {
namespace {

bool always(const RoundTripCase&) { return true; }
bool before2000(const RoundTripCase& c) { return c.version < 7; }
bool asR13(const RoundTripCase& c) { return c.version == 5; }
bool fromDxf(const RoundTripCase& c) { return c.sourceFormat != 0; }
bool fromBeforeR13(const RoundTripCase& c) { return c.sourceVersion < 5; }
bool anotherVersionOrFormat(const RoundTripCase& c) { return c.version != c.sourceVersion || c.sourceFormat != 0; }
bool as2000FromAnother(const RoundTripCase& c) { return c.version == 7 && c.sourceVersion < 7; }

// Removes fields of the OBJECT lines of one type.
void removeObjectFields(DumpLines& lines, std::string_view type, std::initializer_list<std::string_view> fields) {
    for (std::string& line : lines) {
        if (!line.starts_with("OBJECT ") || fieldOf(line, "type") != type) continue;
        DumpLines one{line};
        removeFields(one, "", fields);
        line = one[0];
    }
}

// The DXF name of a CLASS line, without its quotes.
std::string classDxfName(const std::string& line) {
    std::string name = fieldOf(line, "dxfName");
    if (name.size() >= 2) name = name.substr(1, name.size() - 2);
    return name;
}

bool isDictionary(const std::string& line) { return line.starts_with("OBJECT ") && fieldOf(line, "type") == "32"; }

// Upper-cases the names of dictionary entries ({name="..." handle=...}).
void upperCaseEntryNames(std::string& line) {
    for (size_t at = line.find("{name=\""); at != std::string::npos; at = line.find("{name=\"", at + 1)) {
        for (size_t i = at + 7; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\') ++i;
            else line[i] = char(std::toupper(uint8_t(line[i])));
        }
    }
}

// --- Rows

void classesBefore2000(DumpLines& lines, const RoundTripCase&) {
    removeFields(lines, "CLASS ", {"applicationName", "proxyFlags"});
}

void zombieClasses(DumpLines& lines, const RoundTripCase&) {
    std::erase_if(lines, [](const std::string& line) {
        const std::string name = classDxfName(line);
        return line.starts_with("CLASS ") && (name == "DxfZombieEntity" || name == "DxfZombieObject");
    });
}

void namesBefore2000(DumpLines& lines, const RoundTripCase&) {
    for (std::string_view table : {"LTYPE ", "LAYER ", "STYLE ", "VIEW ", "UCS ", "VPORT ", "APPID ", "DIMSTYLE ",
                                   "BLOCK_RECORD "})
        rewriteField(lines, table, "name", symbolNameBefore2000, true);
    for (std::string& line : lines) {
        if (isDictionary(line)) upperCaseEntryNames(line);
        if (line.starts_with("OBJECT ") && fieldOf(line, "type") == "33") {
            DumpLines one{line};
            rewriteField(one, "", "name", symbolNameBefore2000, true);
            line = one[0];
        }
    }
}

// Entries of the named object dictionary that files before 2000 leave out.
void rootEntriesOf2000(DumpLines& lines, const RoundTripCase&) {
    for (std::string& line : lines) {
        if (!isDictionary(line) || fieldOf(line, "owner") != "0") continue;
        for (const char* name : {"ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS", "ACAD_PLOTSTYLENAME",
                                 "ACDBHEADERROUNDTRIPXREC"}) {
            const std::string key = std::string("{name=\"") + name + "\" handle=";
            const size_t at = line.find(key);
            if (at == std::string::npos) continue;
            size_t end = line.find('}', at) + 1;
            size_t begin = at;
            if (end < line.size() && line[end] == ',') ++end;
            else if (begin > 0 && line[begin - 1] == ',') --begin;
            line.erase(begin, end - begin);
        }
    }
}

void dictionaryFlags(DumpLines& lines, const RoundTripCase&) {
    removeObjectFields(lines, "32", {"hardOwner", "cloning"});
}

void tableFieldsOf2000(DumpLines& lines, const RoundTripCase&) {
    removeFields(lines, "LAYER ", {"plotFlag", "lineweight", "plotStyle"});
    removeFields(lines, "BLOCK_RECORD ", {"layout", "preview", "description", "xrefDisabled"});
    removeFields(lines, "VIEW ", {"renderMode", "hasUcs", "ucs"});
    removeFields(lines, "VPORT ", {"renderMode", "ucsPerViewport", "ucs"});
    removeFields(lines, "UCS ", {"orthographicType", "orthographicTypeAlt", "elevation", "baseUcs"});
    removeFields(lines, "DIMSTYLE ", {"dimazin", "dimaltrnd", "dimadec", "dimfrac", "dimdsep", "dimtmove", "dimldrblk",
                                      "dimlwd", "dimlwe"});
    removeFields(lines, "HANDLES", {"plotStyleDictionary", "layoutDictionary", "plotSettingsDictionary"});
}

void headerOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
    const std::set<std::string> carried = dwg13CarriedHeaderVariables(c.version);
    std::erase_if(lines, [&](const std::string& line) {
        if (!line.starts_with("HEADER ")) return false;
        const size_t end = line.find(' ', 7);
        return !carried.count(line.substr(7, end - 7));
    });
}

// The handles of the dictionaries the named object dictionary names under these entries, and
// the entries taken out of it.
std::set<std::string> takeRootEntries(DumpLines& lines, std::initializer_list<std::string_view> names) {
    std::set<std::string> handles;
    for (std::string& line : lines) {
        if (!isDictionary(line) || fieldOf(line, "owner") != "0") continue;
        for (std::string_view name : names) {
            const std::string key = "{name=\"" + std::string(name) + "\" handle=";
            const size_t at = line.find(key);
            if (at == std::string::npos) continue;
            const size_t close = line.find('}', at);
            handles.insert(line.substr(at + key.size(), close - at - key.size()));
            size_t begin = at;
            size_t end = close + 1;
            if (end < line.size() && line[end] == ',') ++end;
            else if (begin > 0 && line[begin - 1] == ',') --begin;
            line.erase(begin, end - begin);
        }
    }
    return handles;
}

// Removes the objects of these handles and the objects they own, to any depth.
void removeObjectTrees(DumpLines& lines, std::set<std::string> handles) {
    for (bool more = true; more;) {
        more = false;
        for (const std::string& line : lines) {
            if (line.starts_with("OBJECT ") && handles.count(fieldOf(line, "owner")) &&
                handles.insert(fieldOf(line, "handle")).second)
                more = true;
        }
    }
    std::erase_if(lines, [&](const std::string& line) {
        return line.starts_with("OBJECT ") && handles.count(fieldOf(line, "handle"));
    });
}

// The layouts and plot-style dictionaries a save as AC1015 gives a drawing that has none.
void layoutsAddedFor2000(DumpLines& lines, const RoundTripCase&) {
    std::set<std::string> kinds;
    for (const std::string& line : lines) {
        const std::string name = classDxfName(line);
        if (line.starts_with("CLASS ") && (name == "LAYOUT" || name == "ACDBDICTIONARYWDFLT" || name == "ACDBPLACEHOLDER"))
            kinds.insert(fieldOf(line, "number"));
    }
    std::erase_if(lines, [&](const std::string& line) {
        return line.starts_with("OBJECT ") && kinds.count(fieldOf(line, "type"));
    });
    removeObjectTrees(lines, takeRootEntries(lines, {"ACAD_LAYOUT", "ACAD_PLOTSETTINGS", "ACAD_PLOTSTYLENAME"}));
    replaceField(lines, "BLOCK_RECORD ", "layout", "H");
    replaceField(lines, "LAYER ", "plotStyle", "H");
    removeFields(lines, "HANDLES", {"plotStyleDictionary", "layoutDictionary", "plotSettingsDictionary"});
}

void headerRoundTripRecord(DumpLines& lines, const RoundTripCase&) {
    removeObjectTrees(lines, takeRootEntries(lines, {"ACDBHEADERROUNDTRIPXREC"}));
}

void defpointsNeverPlots(DumpLines& lines, const RoundTripCase&) {
    for (std::string& line : lines) {
        std::string name = fieldOf(line, "name");
        for (char& ch : name) ch = char(std::toupper(uint8_t(ch)));
        if (!line.starts_with("LAYER ") || name != "\"DEFPOINTS\"") continue;
        DumpLines one{line};
        replaceField(one, "", "plotFlag", "0");
        line = one[0];
    }
}

} // namespace

std::span<const AllowedDifference> dwg13AllowedDifferences() {
    static const AllowedDifference rows[] = {
        {"file-of-the-save", "the reloaded drawing has the version, source format and handle seed of the written file",
         always, removeFileVersion},
        {"classes-before-2000", "R13 and R14 files give the known classes the writer's application names and proxy "
                                "flags",
         before2000, classesBefore2000},
        {"zombie-classes", "an AC1012 file declares the zombie classes that stand for generic proxies", asR13,
         zombieClasses},
        {"names-before-2000", "files before AC1015 carry symbol names converted, dictionary entries and multiline "
                              "style names upper-cased",
         before2000, namesBefore2000},
        {"header-round-trip-record", "the header round-trip record is written only into a file of AC1015 saved as "
                                     "its own version",
         [](const RoundTripCase& c) { return c.version < 7 || c.version != c.sourceVersion; }, headerRoundTripRecord},
        {"proxy-object-version", "a generic proxy object of a file before AC1015 has no object version: the "
                                 "AC1015 record carries the writer's",
         as2000FromAnother, [](DumpLines& lines, const RoundTripCase&) { removeObjectFields(lines, "499", {"version"}); }},
        {"proxy-class-ids", "the proxy and application class ids of a DXF proxy object are its 90 and 91 groups: a "
                            "DWG file writes the object as a record of its own class",
         fromDxf, [](DumpLines& lines, const RoundTripCase&) { removeObjectFields(lines, "499", {"proxyClassId", "applicationClassId"}); }},
        {"root-entries-of-2000", "files before AC1015 leave the plot settings, plot style, wipeout and header "
                                 "round-trip entries out of the named object dictionary",
         before2000, rootEntriesOf2000},
        {"dictionary-flags", "R13 dictionaries carry no cloning and hard-owner flags, R14 ones only a byte",
         before2000, dictionaryFlags},
        {"table-fields-of-2000", "plot styles, lineweights, layouts, block descriptions, UCS and render settings of "
                                 "table records are carried from AC1015 on",
         before2000, tableFieldsOf2000},
        {"zeros-without-sign", "the reader reads every zero as +0.0", fromDxf, zerosWithoutSign},
        {"xref-state", "the DXF reader keeps 255 as the external-reference state of an ordinary block, the DWG "
                       "reader 0",
         fromDxf, [](DumpLines& lines, const RoundTripCase&) { replaceField(lines, "BLOCK_RECORD ", "xrefState", ""); }},
        {"xrecord-cloning-of-2000", "the cloning flag of an XRECORD is carried from AC1015 on", before2000,
         [](DumpLines& lines, const RoundTripCase&) {
             std::set<std::string> xrecords;
             for (const std::string& line : lines)
                 if (line.starts_with("CLASS ") && classDxfName(line) == "XRECORD") xrecords.insert(fieldOf(line, "number"));
             for (const std::string& type : xrecords) removeObjectFields(lines, type, {"cloning"});
         }},
        {"vport-aspect", "files keep a VPORT's view width, from which the reader divides the aspect ratio again",
         fromDxf, [](DumpLines& lines, const RoundTripCase&) {
             rewriteField(lines, "VPORT ", "aspect", [](std::string_view value) {
                 char text[32];
                 std::snprintf(text, sizeof text, "%.12g", std::strtod(std::string(value).c_str(), nullptr));
                 return std::string(text);
             });
         }},
        {"viewport-header-of-no-viewport", "a drawing that does not come from an R13-2000 DWG file gets the viewport "
                                           "entity header of no viewport that every such file has",
         [](const RoundTripCase& c) { return c.sourceFormat != 0 || c.sourceVersion < 5; },
         [](DumpLines& lines, const RoundTripCase&) { removeFields(lines, "HANDLES", {"viewportEntityHeader"}); }},
        {"header-of-the-version", "header variables a version does not carry come back with the template's values",
         always, headerOfTheVersion},
        {"dwg-header-values", "the DWG header values no variable names follow the version written", anotherVersionOrFormat,
         [](DumpLines& lines, const RoundTripCase&) { removeLines(lines, "HEADER-DWG "); }},
        {"layouts-added-for-2000", "a drawing without layouts and plot styles gets them for an AC1015 save",
         as2000FromAnother, layoutsAddedFor2000},
        {"defpoints-never-plots", "the layer DEFPOINTS is written as not plotting",
         [](const RoundTripCase& c) { return c.version == 7; }, defpointsNeverPlots},
        {"owners-before-R13", "files before AC1012 carry no owners of table records: the written file names the "
                              "table's control object",
         fromBeforeR13, [](DumpLines& lines, const RoundTripCase&) {
             for (std::string_view table : {"LTYPE ", "LAYER ", "STYLE ", "VIEW ", "UCS ", "VPORT ", "APPID ",
                                            "DIMSTYLE ", "BLOCK_RECORD "})
                 replaceField(lines, table, "owner", "H");
         }},
        {"block-entity-handles", "a block read from a file before AC1012 has no BLOCK entity handle: the save gives "
                                 "it one",
         fromBeforeR13, [](DumpLines& lines, const RoundTripCase&) {
             removeFields(lines, "BLOCK_RECORD ", {"blockEntity", "endBlockEntity"});
             removeFields(lines, "HANDLES", {"modelSpaceBlockEntity", "modelSpaceEndBlockEntity",
                                             "paperSpaceBlockEntity", "paperSpaceEndBlockEntity"});
         }},
    };
    return rows;
}

DumpLines dwg13ComparedLines(const DumpLines& lines) {
    DumpLines kept;
    for (const std::string& line : lines) {
        if (line.starts_with("ENTIT") || line.starts_with("VIEWPORT_INDEX")) continue;
        kept.push_back(line);
    }
    return kept;
}

} // namespace tracemill::test
