#include "dxf_differences.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "version_differences.h"

namespace tracemill::test {
namespace {

bool always(const RoundTripCase&) { return true; }
bool ascii(const RoundTripCase& c) { return c.format == 1; }
bool fromDwg(const RoundTripCase& c) { return c.sourceFormat == 0; }

// A field value of 0, also as the six decimals of ASCII files give it.
bool isZero(std::string_view value) { return value == "0" || value == "0.000000"; }

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

bool isLayoutBlockName(std::string name) {
    for (char& ch : name) ch = char(std::toupper(uint8_t(ch)));
    return name == "\"*MODEL_SPACE\"" || name == "\"*PAPER_SPACE\"";
}

// The writer names an anonymous block ("*" a letter and digits) by its letter and its position
// among the blocks other than the two layout blocks, and the load keeps that name: every
// quoted name of an anonymous block is renamed so in every line (its record, its BLOCK, and
// the references by name that handles became).
void anonymousBlocksRenumbered(DumpLines& lines, const RoundTripCase&) {
    std::map<std::string, std::string> renamed;
    int position = 0;
    for (const std::string& line : lines) {
        if (!line.starts_with("BLOCK_RECORD ")) continue;
        const std::string name = fieldOf(line, "name");
        if (isLayoutBlockName(name)) continue;
        const int number = position++;
        if (name.size() > 4 && name[1] == '*' && std::isalpha(uint8_t(name[2])) &&
            name.find_first_not_of("0123456789\"", 3) == std::string::npos)
            renamed[name] = name.substr(0, 3) + std::to_string(number) + "\"";
    }
    if (renamed.empty()) return;
    for (std::string& line : lines) {
        if (line.find("\"*") == std::string::npos) continue;
        std::string out;
        size_t at = 0;
        for (size_t open = line.find('"'); open != std::string::npos; open = line.find('"', at)) {
            size_t close = open + 1;
            while (close < line.size() && line[close] != '"') close += line[close] == '\\' ? 2 : 1;
            if (close >= line.size()) break;
            const std::string quoted = line.substr(open, close + 1 - open);
            const auto found = renamed.find(quoted);
            out += line.substr(at, open - at) + (found == renamed.end() ? quoted : found->second);
            at = close + 1;
        }
        line = out + line.substr(std::min(at, line.size()));
    }
}

// Entities of blocks in "AC1006" files carry no handle: the load gives them new ones.
void blockEntitiesOfAc1006(DumpLines& lines, const RoundTripCase&) {
    for (std::string& line : lines) {
        if (line.starts_with("ENTITY in=")) {
            const size_t colon = line.find(':');
            const std::string block = line.substr(colon + 1, line.find('"', colon + 2) - colon);
            if (isLayoutBlockName(block)) continue;
            DumpLines one{line};
            rewriteField(one, "", "handle", [](std::string_view) { return std::string("H"); }, true);
            line = one[0];
        } else if (line.starts_with("BLOCK_RECORD ") && !isLayoutBlockName(fieldOf(line, "name"))) {
            DumpLines one{line};
            removeFields(one, "", {"blockEntity", "endBlockEntity"});
            line = one[0];
        }
    }
}

// Before AC1006 a LINE of a DXF file carries one elevation for both ends.
void lineElevation(DumpLines& lines, const RoundTripCase&) {
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ") || entityKindOf(line) != "LINE") continue;
        const std::string start = fieldOf(line, "start");
        const size_t comma = start.rfind(',');
        if (comma == std::string::npos) continue;
        const std::string z = start.substr(comma + 1, start.size() - comma - 2);
        DumpLines one{line};
        rewriteField(one, "", "end", [&](std::string_view end) {
            const size_t last = end.rfind(',');
            return last == std::string_view::npos ? std::string(end) : std::string(end.substr(0, last + 1)) + z + ")";
        });
        line = one[0];
    }
}

// A linetype without dashes read from an "AC1012" file keeps an empty text area of one NUL.
void linetypeTextArea(DumpLines& lines, const RoundTripCase&) {
    rewriteField(lines, "LTYPE ", "textArea", [](std::string_view value) {
        return value == "\"\\x00\"" ? std::string("\"\"") : std::string(value);
    });
}

}  // namespace

// The version's rows first, then those of the DXF files.
std::span<const AllowedDifference> dxfAllowedDifferences() {
    static const AllowedDifference ownRows[] = {
        {"dwg-only-data", "DWG-only header values, previews and trailing bits of DWG records have no DXF group",
         fromDwg, dwgOnly},
        {"six-decimals", "ASCII reals carry six decimals (16 where the format asks for full precision)", ascii,
         sixDecimals},
        {"anonymous-blocks", "anonymous blocks are named by their position among the blocks other than the layout "
                             "blocks", always, anonymousBlocksRenumbered},
        {"block-entities-of-AC1006", "entities of blocks carry no handle in AC1006 files: the load gives new ones",
         [](const RoundTripCase& c) { return c.version == 3; }, blockEntitiesOfAc1006},
        {"line-elevation", "a LINE carries one elevation for both ends before AC1006", [](const RoundTripCase& c) {
             return c.version > 0 && c.version < 3;
         }, lineElevation},
        {"shapes-by-number", "a SHAPE read from DWG knows its shape by number only: without its shape file the "
                             "writer cannot name it and leaves it out",
         fromDwg, [](DumpLines& lines, const RoundTripCase&) {
             std::erase_if(lines, [](const std::string& line) {
                 return line.starts_with("ENTITY ") && entityKindOf(line) == "SHAPE";
             });
             replaceField(lines, "ENTITIES ", "count", "");
         }},
        {"linetype-text-area", "the reader keeps a NUL as the text area of a linetype read from an AC1012 file",
         [](const RoundTripCase& c) { return c.version == 5; }, linetypeTextArea},
        {"viewport-entity-header-control", "DXF files carry no control object of the viewport entity headers: the "
                                           "reader gives it a new handle",
         [](const RoundTripCase& c) { return c.version >= 5; },
         [](DumpLines& lines, const RoundTripCase&) { removeFields(lines, "HANDLES ", {"viewportEntityHeaderControl"}); }},
        {"plot-style-by-default", "an entity of a DWG file may take the default plot style, which DXF files cannot "
                                  "say: the entity comes back with the plot style by layer",
         [](const RoundTripCase& c) { return c.sourceFormat == 0 && c.version == 7; },
         [](DumpLines& lines, const RoundTripCase&) {
             for (std::string& line : lines) {
                 if (!line.starts_with("ENTITY ") || !isZero(fieldOf(line, "plotStyle"))) continue;
                 DumpLines one{line};
                 rewriteField(one, "", "flags", [](std::string_view v) {
                     const int flags = std::atoi(std::string(v).c_str());
                     return std::to_string((flags & 0x60) == 0 ? flags | 0x40 : flags);
                 }, true);
                 line = one[0];
             }
         }},
        {"sat-line-ends", "the SAT text of a DXF file ends its lines with CR LF, that of a DWG file with LF", fromDwg,
         [](DumpLines& lines, const RoundTripCase&) {
             rewriteField(lines, "ENTITY ", "satText", [](std::string_view value) {
                 std::string out;
                 for (size_t i = 0; i < value.size();) {
                     // A CR before a LF, at a byte boundary of the hexadecimal text after "#".
                     if (i % 2 == 1 && value.substr(i, 4) == "0D0A") {
                         i += 2;
                         continue;
                     }
                     out.push_back(value[i++]);
                 }
                 return out;
             });
         }},
        {"mtext-extents", "the extents of an MTEXT are measured again by its layout: they are not written", always,
         [](DumpLines& lines, const RoundTripCase&) { entityFields(lines, "MTEXT", {"extentsHeight", "extentsWidth"}); }},
        {"zombies-of-AC1012", "proxy objects go into AC1012 files as zombie objects, without their class and data",
         [](const RoundTripCase& c) { return c.version == 5; },
         [](DumpLines& lines, const RoundTripCase&) {
             for (std::string& line : lines) {
                 if (!line.starts_with("OBJECT ") || std::atoi(fieldOf(line, "type").c_str()) != 499) continue;
                 DumpLines one{line};
                 removeFields(one, "", {"classNumber", "proxyClassId", "applicationClassId", "version", "dataFormat",
                                        "dataBitCount", "data", "references"});
                 line = one[0];
             }
         }},
        {"class-objects-from-AC1014", "objects of classes other than XRECORD and DIMASSOC are not written to AC1012 "
                                      "files",
         [](const RoundTripCase& c) { return c.version == 5; },
         [](DumpLines& lines, const RoundTripCase&) {
             std::set<int> written;
             for (const std::string& line : lines) {
                 const std::string name = fieldOf(line, "dxfName");
                 if (line.starts_with("CLASS ") && (name == "\"XRECORD\"" || name == "\"DIMASSOC\""))
                     written.insert(std::atoi(fieldOf(line, "number").c_str()));
             }
             std::set<std::string> left;
             std::erase_if(lines, [&](const std::string& line) {
                 const int type = std::atoi(fieldOf(line, "type").c_str());
                 const bool out = line.starts_with("OBJECT ") && type >= 500 && !written.count(type);
                 if (out) left.insert(fieldOf(line, "handle"));
                 return out;
             });
             // The load drops the reactors that name objects the file does not hold.
             rewriteField(lines, "ENTITY ", "reactors", [&](std::string_view value) {
                 std::string kept;
                 size_t at = 1;
                 while (at < value.size()) {
                     const size_t end = std::min(value.find_first_of(",]", at), value.size());
                     const std::string handle(value.substr(at, end - at));
                     if (!handle.empty() && !left.count(handle)) kept += (kept.empty() ? "" : ",") + handle;
                     at = end + 1;
                 }
                 return "[" + kept + "]";
             });
         }},
        {"entity-reactors-of-AC1014", "AC1012 files carry the reactors of class-based entities only",
         [](const RoundTripCase& c) { return c.version == 5; },
         [](DumpLines& lines, const RoundTripCase&) {
             for (std::string& line : lines) {
                 if (!line.starts_with("ENTITY ") || std::atoi(fieldOf(line, "type").c_str()) >= 498) continue;
                 DumpLines one{line};
                 replaceField(one, "", "reactors", "");
                 line = one[0];
             }
         }},
        {"plot-style-by-layer", "an AC1015 file gives entities without a plot style the plot style by layer",
         [](const RoundTripCase& c) { return c.version == 7 && c.sourceVersion < 7; },
         [](DumpLines& lines, const RoundTripCase&) {
             maskEntityFlags(lines, ~0x40);
         }},
        {"binary-reals", "angles go out in degrees and reals within the tolerance of a default are left out: "
                         "binary reals come back within their last bit",
         [](const RoundTripCase& c) { return c.format == 2; },
         [](DumpLines& lines, const RoundTripCase&) {
             rewriteNumbers(lines, [](double value, std::string_view text) {
                 if (text.find_first_of(".e") == std::string_view::npos) return std::string(text);
                 char out[64];
                 std::snprintf(out, sizeof out, "%.15g", value);
                 return std::string(out);
             });
         }},
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
    };
    static const std::vector<AllowedDifference> rows = joinedRows({versionAllowedDifferences(), ownRows});
    return rows;
}


} // namespace tracemill::test
