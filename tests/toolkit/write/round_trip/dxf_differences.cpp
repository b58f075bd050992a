#include "dxf_differences.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace tracemill::test {
namespace {

bool always(const RoundTripCase&) { return true; }
bool ascii(const RoundTripCase& c) { return c.format == 1; }
bool beforeR13(const RoundTripCase& c) { return c.version < 5; }
bool before2000(const RoundTripCase& c) { return c.version < 7; }
bool fromDwg(const RoundTripCase& c) { return c.sourceFormat == 0; }

void removeFields(DumpLines& lines, std::string_view prefix, std::initializer_list<std::string_view> fields) {
    for (std::string_view field : fields) replaceField(lines, prefix, field, "");
}

// The fields whose values are handles.
constexpr std::string_view kHandleFields[] = {
    "handle", "owner", "extensionDictionary", "reactors", "layer", "linetype", "plotStyle", "style", "block",
    "dimensionStyle", "xrefBlock", "layout", "blockEntity", "endBlockEntity", "insertReferences", "dimtxsty",
    "dimldrblk", "dimblk", "dimblk1", "dimblk2", "namedUcs", "baseUcs", "clipBoundary", "viewportEntityHeader",
    "imageDefinition", "imageDefinitionReactor", "annotation", "arc", "frozenLayers", "members", "ids",
    "defaultEntry", "image", "dimension", "mainObjects", "path", "intersectionObject", "intersectionPath",
    "lastActiveViewport", "reference", "boundaryObjects", "sortHandle", "entity", "celtype", "clayer", "cmlstyle",
    "dimstyle", "pucsname", "textstyle", "ucsname", "viewport"};

void dwgOnly(DumpLines& lines, const RoundTripCase&) {
    removeLines(lines, "HEADER-DWG");
    removeLines(lines, "PREVIEW");
    removeFields(lines, "ENTITY", {"trailingBits", "noTrailingBits", "xdataSize"});
}

void sixDecimals(DumpLines& lines, const RoundTripCase&) {
    rewriteNumbers(lines, [](double value, std::string_view) {
        char text[64];
        if (std::fabs(value) >= 1e16) std::snprintf(text, sizeof text, "%.6E", value);
        else std::snprintf(text, sizeof text, "%.6f", std::fabs(value) < 5e-7 ? 0.0 : value);
        return std::string(text);
    });
}

void anonymousBlocksRenumbered(DumpLines& lines, const RoundTripCase&) {
    auto renumber = [](std::string_view value) {
        std::string v(value);
        if (v.size() > 4 && v[0] == '"' && v[1] == '*' && std::isalpha(uint8_t(v[2])) &&
            v.find_first_not_of("0123456789\"", 3) == std::string::npos) {
            return v.substr(0, 3) + "#\"";
        }
        return v;
    };
    rewriteField(lines, "BLOCK_RECORD", "name", renumber);
    rewriteField(lines, "ENTITY BLOCK", "name", renumber);
}

// Names of symbol-table records as files before "AC1015" carry them.
void convertedNames(DumpLines& lines, const RoundTripCase&) {
    auto convert = [](std::string_view value) {
        std::string v(value);
        for (char& c : v) {
            if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
            if (c == ' ' || c == '(' || c == ')' || c == '[' || c == ']') c = '_';
        }
        return v;
    };
    for (std::string_view table : {"LTYPE", "LAYER", "STYLE", "VIEW", "UCS", "VPORT", "DIMSTYLE", "BLOCK_RECORD"})
        rewriteField(lines, table, "name", convert, true);
    rewriteField(lines, "ENTITY BLOCK", "name", convert);
}

void handlesBeforeR13(DumpLines& lines, const RoundTripCase&) {
    for (std::string_view field : kHandleFields) replaceField(lines, "", field, "H");
    removeLines(lines, "HANDLES");
    replaceField(lines, "ENTITIES", "block", "H");
}

// Header variables the written file does not carry come back with the template's values.
void headerOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
    std::erase_if(lines, [&](const std::string& line) {
        if (!line.starts_with("HEADER ")) return false;
        const size_t end = line.find(' ', 7);
        return !c.fileHeaderVariables.count(line.substr(7, end - 7));
    });
    // Points of older headers: no z for the extents before AC1009 and the base before AC1006.
    auto flatten = [](std::string& line) {
        const size_t comma = line.rfind(',');
        const size_t close = line.rfind(')');
        if (comma != std::string::npos && close != std::string::npos && comma < close)
            line.replace(comma + 1, close - comma - 1, "0");
    };
    for (std::string& line : lines) {
        if (c.version < 4 && (line.starts_with("HEADER EXTMIN ") || line.starts_with("HEADER EXTMAX "))) flatten(line);
        if (c.version < 3 && line.starts_with("HEADER INSBASE ")) flatten(line);
    }
}

void extraLayoutBlocks(DumpLines& lines, const RoundTripCase&) {
    std::erase_if(lines, [](const std::string& line) {
        if (!line.starts_with("BLOCK_RECORD ")) return false;
        std::string name = fieldOf(line, "name");
        for (char& ch : name) ch = char(std::toupper(uint8_t(ch)));
        return name.size() > 14 && name.starts_with("\"*PAPER_SPACE") && std::isdigit(uint8_t(name[13]));
    });
}

// Tables a version does not have: the reader gives the drawing its default records.
void tablesOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
    if (c.version < 4) {
        removeLines(lines, "APPID ");
        removeLines(lines, "DIMSTYLE ");
    }
    if (c.version < 3) {
        removeLines(lines, "UCS ");
        removeLines(lines, "VPORT ");
    }
}

// Fields of table records that only files from AC1015 on carry.
void tableFieldsOf2000(DumpLines& lines, const RoundTripCase&) {
    removeFields(lines, "LAYER ", {"plotFlag", "lineweight", "plotStyle"});
    removeFields(lines, "BLOCK_RECORD ", {"layout", "preview"});
    removeFields(lines, "VIEW ", {"renderMode", "hasUcs", "ucs"});
    removeFields(lines, "VPORT ", {"renderMode", "ucsPerViewport", "ucs"});
    removeFields(lines, "UCS ", {"orthographicType", "orthographicTypeAlt", "elevation", "baseUcs", "orthographicOrigin"});
    removeFields(lines, "DIMSTYLE ", {"dimazin", "dimaltrnd", "dimadec", "dimfrac", "dimdsep", "dimtmove", "dimldrblk",
                                      "dimlwd", "dimlwe"});
}

// Fields of table records that only files from AC1012 on carry, and their extended data.
void tableFieldsOfR13(DumpLines& lines, const RoundTripCase&) {
    removeFields(lines, "LTYPE ", {"dashes", "textArea"});
    removeFields(lines, "DIMSTYLE ", {"dimlunit", "dimdec", "dimtdec", "dimaltu", "dimalttd", "dimaunit", "dimjust",
                                      "dimsd1", "dimsd2", "dimtolj", "dimtzin", "dimaltz", "dimalttz", "dimatfit",
                                      "dimupt", "dimtxsty"});
    for (std::string_view table :
         {"LTYPE ", "LAYER ", "STYLE ", "VIEW ", "UCS ", "VPORT ", "APPID ", "DIMSTYLE ", "BLOCK_RECORD "})
        removeFields(lines, table, {"xdata"});
}

// A linetype without dashes read from an "AC1012" file keeps an empty text area of one NUL.
void linetypeTextArea(DumpLines& lines, const RoundTripCase&) {
    rewriteField(lines, "LTYPE ", "textArea", [](std::string_view value) {
        return value == "\"\\x00\"" ? std::string("\"\"") : std::string(value);
    });
}

bool isTableLine(const std::string& line) {
    for (std::string_view table :
         {"LTYPE ", "LAYER ", "STYLE ", "VIEW ", "UCS ", "VPORT ", "APPID ", "DIMSTYLE ", "BLOCK_RECORD "}) {
        if (line.starts_with(table)) return true;
    }
    return false;
}

}  // namespace

std::span<const AllowedDifference> dxfAllowedDifferences() {
    static const AllowedDifference rows[] = {
        {"file-version", "the reloaded drawing has the version, source format and handle seed of the written file",
         always, removeFileVersion},
        {"class-application-names", "the CLASSES section gives the known classes the writer's own application names",
         [](const RoundTripCase& c) { return c.version >= 5; },
         [](DumpLines& lines, const RoundTripCase&) { removeFields(lines, "CLASS ", {"applicationName"}); }},
        {"dwg-only-data", "DWG-only header values, previews and trailing bits of DWG records have no DXF group",
         fromDwg, dwgOnly},
        {"six-decimals", "ASCII reals carry six decimals (16 where the format asks for full precision)", ascii,
         sixDecimals},
        {"anonymous-blocks", "anonymous blocks are renumbered by their position among the blocks", always,
         anonymousBlocksRenumbered},
        {"converted-names", "files before AC1015 carry symbol names upper-cased, blanks and brackets as _", before2000,
         convertedNames},
        {"header-of-the-version", "header variables a version does not carry come back with the template's values",
         always, headerOfTheVersion},
        {"extra-layout-blocks", "paper-space blocks of further layouts are left out before AC1015", before2000,
         extraLayoutBlocks},
        {"tables-of-the-version", "tables a version does not have come back with the reader's default records",
         beforeR13, tablesOfTheVersion},
        {"table-fields-of-2000", "plot styles, lineweights, layouts, UCS and render settings of table records are "
                                 "carried from AC1015 on",
         before2000, tableFieldsOf2000},
        {"table-fields-of-R13", "complex linetype dashes, the later dimension variables and the extended data of "
                                "table records are carried from AC1012 on",
         beforeR13, tableFieldsOfR13},
        {"linetype-text-area", "the reader keeps a NUL as the text area of a linetype read from an AC1012 file",
         [](const RoundTripCase& c) { return c.version == 5; }, linetypeTextArea},
        {"block-entity-handles", "a block read from a file before AC1012 has no BLOCK entity handle: the save gives "
                                 "it one",
         [](const RoundTripCase& c) { return c.sourceVersion < 5 && c.version >= 5; },
         [](DumpLines& lines, const RoundTripCase&) {
             replaceField(lines, "BLOCK_RECORD ", "blockEntity", "H");
             replaceField(lines, "BLOCK_RECORD ", "endBlockEntity", "H");
         }},
        {"layouts-added-for-2000", "a drawing without layouts and plot styles gets them for an AC1015 save (layout "
                                   "blocks name their layouts, layers the plot style Normal)",
         [](const RoundTripCase& c) { return c.version == 7 && c.sourceVersion < 7; },
         [](DumpLines& lines, const RoundTripCase&) {
             replaceField(lines, "BLOCK_RECORD ", "layout", "H");
             replaceField(lines, "LAYER ", "plotStyle", "H");
         }},
        {"defpoints-never-plots", "the layer DEFPOINTS is written as not plotting", [](const RoundTripCase& c) {
             return c.version == 7;
         },
         [](DumpLines& lines, const RoundTripCase&) {
             for (std::string& line : lines) {
                 if (line.starts_with("LAYER ") && (line.find(" name=\"DEFPOINTS\"") != std::string::npos ||
                                                    line.find(" name=\"DefPoints\"") != std::string::npos ||
                                                    line.find(" name=\"Defpoints\"") != std::string::npos)) {
                     DumpLines one{line};
                     replaceField(one, "", "plotFlag", "0");
                     line = one[0];
                 }
             }
         }},
        {"negative-zero", "the reader reads a binary -0.0 as 0.0", [](const RoundTripCase& c) { return c.format == 2; },
         zerosWithoutSign},
        {"xref-state", "the DWG reader keeps 0 as the external-reference state of an ordinary block, the DXF reader "
                       "255",
         fromDwg, [](DumpLines& lines, const RoundTripCase&) { replaceField(lines, "BLOCK_RECORD ", "xrefState", ""); }},
        {"layout-block-flags-before-R13", "files before AC1012 have no layout blocks: the reader makes them anew",
         beforeR13, layoutBlockFlagsCleared},
        {"dwg-block-record-xdata", "the DWG reader leaves the extended data of block records in the DWG's raw form, "
                                   "which the DXF writer cannot read",
         fromDwg, [](DumpLines& lines, const RoundTripCase&) { replaceField(lines, "BLOCK_RECORD ", "xdata", ""); }},
        {"tolerance-line-feeds", "line feeds of TOLERANCE texts are not written", always,
         [](DumpLines& lines, const RoundTripCase&) {
             rewriteField(lines, "ENTITY TOLERANCE ", "text", [](std::string_view value) {
                 std::string v(value);
                 for (size_t at = v.find("\\x0A"); at != std::string::npos; at = v.find("\\x0A")) v.erase(at, 4);
                 return v;
             });
         }},
        {"class-data-reals", "reals inside class data and extended data carry the six decimals of ASCII files", ascii,
         [](DumpLines& lines, const RoundTripCase&) {
             removeFields(lines, "ENTITY ", {"xdata", "data", "dataBitCount", "xdataSize"});
             removeFields(lines, "OBJECT ", {"xdata", "data", "dataBitCount"});
         }},
        {"handles-before-R13", "files before AC1012 carry no handles of table records, blocks and objects: the reader "
                               "gives them new ones",
         beforeR13, handlesBeforeR13},
    };
    return rows;
}

DumpLines headerAndTables(const DumpLines& lines) {
    DumpLines kept;
    for (const std::string& line : lines) {
        if (line.starts_with("HEADER") || isTableLine(line)) kept.push_back(line);
    }
    return kept;
}

} // namespace tracemill::test
