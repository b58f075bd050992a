#include "dwg13_differences.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <utility>

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
// A drawing that does not come from an R13-2000 DWG file.
bool notFromBitCodedDwg(const RoundTripCase& c) { return c.sourceFormat != 0 || c.sourceVersion < 5; }

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
    for (std::string_view table : kTableRecordPrefixes) rewriteField(lines, table, "name", symbolNameBefore2000, true);
    for (std::string& line : lines) {
        if (isDictionary(line)) upperCaseEntryNames(line);
        if (line.starts_with("ENTITY ") && entityKindOf(line) == "BLOCK") {
            DumpLines one{line};
            rewriteField(one, "", "name", symbolNameBefore2000, true);
            line = one[0];
        }
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

// --- Entities

// An LWPOLYLINE of an AC1012 file is a POLYLINE with its VERTEX and SEQEND records: every 2D
// polyline of either form becomes one line of its common fields, closed flag and points (with
// the elevation as z) with bulges and widths; entity counts of lists are left out.
void lwpolylinesAsPolylines(DumpLines& lines, const RoundTripCase&) {
    auto head = [](const std::string& line) {
        DumpLines one{line.substr(0, line.find(" reactors="))};
        removeFields(one, "", {"type"});
        return "ENTITY POLYLINE2D" + one[0].substr(one[0].find(' ', 7));
    };
    auto bodyOf = [](const std::string& line) {
        const size_t at = line.find(" reactors=");
        return at == std::string::npos ? std::string() : line.substr(at);
    };
    DumpLines out;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::string body = bodyOf(line);
        if (line.starts_with("ENTITY ") && entityKindOf(line) == "LWPOLYLINE") {
            const int flags = std::atoi(fieldOf(body, "flags").c_str());
            const std::string elevation = fieldOf(body, "elevation");
            const std::string constant = fieldOf(body, "constantWidth");
            std::string points;
            for (size_t at = body.find("{point=("); at != std::string::npos; at = body.find("{point=(", at + 1)) {
                const std::string vertex = " " + body.substr(at + 1, body.find('}', at) - at - 1);
                const std::string point = fieldOf(vertex, "point");
                const bool constantWidth = (flags & 4) != 0;
                points += point.substr(0, point.size() - 1) + "," + elevation + ") b=" + fieldOf(vertex, "bulge") +
                          " w=" + (constantWidth ? constant : fieldOf(vertex, "startWidth")) + "/" +
                          (constantWidth ? constant : fieldOf(vertex, "endWidth")) + ";";
            }
            out.push_back(head(line) + " closed=" + std::to_string((flags & 512) ? 1 : 0) + " points=" + points);
            continue;
        }
        if (line.starts_with("ENTITY ") && entityKindOf(line) == "POLYLINE" &&
            (std::atoi(fieldOf(body, "flags").c_str()) & (8 | 16 | 64)) == 0) {
            const int flags = std::atoi(fieldOf(body, "flags").c_str());
            const std::string startDefault = fieldOf(body, "defaultStartWidth");
            const std::string endDefault = fieldOf(body, "defaultEndWidth");
            std::string points;
            size_t j = i + 1;
            for (; j < lines.size() && lines[j].starts_with("ENTITY ") && entityKindOf(lines[j]) == "VERTEX"; ++j) {
                const std::string vertex = bodyOf(lines[j]);
                points += fieldOf(vertex, "point") + " b=" + fieldOf(vertex, "bulge") + " w=" +
                          (fieldOf(vertex, "hasStartWidth") == "0" ? startDefault : fieldOf(vertex, "startWidth")) +
                          "/" + (fieldOf(vertex, "hasEndWidth") == "0" ? endDefault : fieldOf(vertex, "endWidth")) +
                          ";";
            }
            if (j < lines.size() && lines[j].starts_with("ENTITY ") && entityKindOf(lines[j]) == "SEQEND") ++j;
            out.push_back(head(line) + " closed=" + std::to_string(flags & 1) + " points=" + points);
            i = j - 1;
            continue;
        }
        out.push_back(line);
    }
    lines = std::move(out);
    replaceField(lines, "ENTITIES ", "count", "");
}

// An extrusion along the z axis is written as (0,0,1) or (0,0,-1), as the reader normalises it;
// the entity's flag of an extrusion other than (0,0,1) goes with it.
void extrusionsAlongZ(DumpLines& lines, const RoundTripCase&) {
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ")) continue;
        DumpLines one{line};
        bool alongZ = false;
        rewriteField(one, "", "extrusion", [&](std::string_view value) {
            double x = 0, y = 0, z = 0;
            if (std::sscanf(std::string(value).c_str(), "(%lf,%lf,%lf)", &x, &y, &z) != 3 || x != 0.0 || y != 0.0)
                return std::string(value);
            alongZ = true;
            return std::string(z > 0 ? "(0,0,1)" : "(0,0,-1)");
        }, true);
        if (alongZ) maskEntityFlags(one, ~0x02);
        line = one[0];
    }
}

// A SPLINE with fit points is written in the fit form, which holds no knots nor control points
// and of the spline's flags only closed, periodic and rational.
void splineFitForm(DumpLines& lines, const RoundTripCase&) {
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ") || entityKindOf(line) != "SPLINE" || fieldOf(line, "fitPoints") == "[]")
            continue;
        DumpLines one{line};
        removeFields(one, "", {"knots", "controlPoints", "weights", "knotTolerance", "controlTolerance"});
        const size_t body = one[0].find(" reactors=");
        DumpLines rest{one[0].substr(body)};
        rewriteField(rest, "", "flags", [](std::string_view value) {
            return std::to_string(std::atoi(std::string(value).c_str()) & 0x0F);
        }, true);
        line = one[0].substr(0, body) + rest[0];
    }
}

// Dimensions read from DWG files always have the flag of a block of their own (32).
void dimensionOwnBlock(DumpLines& lines, const RoundTripCase&) {
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ") || entityKindOf(line) != "DIMENSION") continue;
        DumpLines one{line};
        rewriteField(one, "", "typeFlags", [](std::string_view value) {
            return std::to_string(std::atoi(std::string(value).c_str()) | 32);
        });
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
        {"lwpolyline-as-polyline", "an AC1012 file knows no LWPOLYLINE: it is written as POLYLINE, VERTEX and "
                                   "SEQEND records",
         asR13, lwpolylinesAsPolylines},
        {"entity-fields-of-2000", "lineweights and the plot-style flags of entities are carried from AC1015 on",
         before2000, [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "", {"lineweight"});
             maskEntityFlags(lines, ~0x60);
         }},
        {"extrusions-along-z", "an extrusion along the z axis is written as (0,0,1) or (0,0,-1), as the reader "
                               "normalises it",
         fromDxf, extrusionsAlongZ},
        {"spline-fit-form", "a SPLINE with fit points is written in the fit form, which holds no knots nor control "
                            "points",
         fromDxf, splineFitForm},
        {"dimension-own-block", "R13-2000 DWG files carry no flag of a dimension's own block: the reader sets it",
         notFromBitCodedDwg, dimensionOwnBlock},
        {"dimension-fields-of-2000", "a dimension's attachment, line spacing and measurement are carried from AC1015 "
                                     "on",
         before2000, [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "DIMENSION", {"attachment", "lineSpacingStyle", "lineSpacingFactor",
                                               "actualMeasurement"});
         }},
        {"mtext-line-spacing", "an MTEXT's line spacing is carried from AC1015 on", before2000,
         [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "MTEXT", {"lineSpacingStyle", "lineSpacingFactor"});
         }},
        {"leader-fields-by-version", "a LEADER's annotation offset is carried from AC1014 on, its by-block colour "
                                     "before AC1015",
         fromDxf, [](DumpLines& lines, const RoundTripCase& c) {
             if (c.version == 5) entityFields(lines, "LEADER", {"annotationOffset"});
             if (c.version == 7) entityFields(lines, "LEADER", {"byBlockColour"});
         }},
        {"viewport-fields-of-2000", "a VIEWPORT's view, snap, grid, UCS and status are carried from AC1015 on",
         before2000, [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "VIEWPORT", {"viewTarget", "viewDirection", "twistAngle", "viewHeight", "lensLength",
                                              "frontClip", "backClip", "snapAngle", "viewCentre", "snapBase",
                                              "snapSpacing", "gridSpacing", "circleZoom", "frozenLayers",
                                              "statusFlags", "styleSheet", "renderMode", "ucsAtOrigin",
                                              "ucsPerViewport", "ucsOrigin", "ucsXAxis", "ucsYAxis", "ucsElevation",
                                              "ucsOrthographicType", "clipBoundary", "namedUcs", "baseUcs"});
         }},
        {"viewport-entity-headers", "a drawing that does not come from an R13-2000 DWG file gets a VP ENT HDR record "
                                    "for each paper-space viewport",
         notFromBitCodedDwg,
         [](DumpLines& lines, const RoundTripCase&) { entityFields(lines, "VIEWPORT", {"viewportEntityHeader"}); }},
        {"acis-trailing-bits", "ACIS data read from DXF has no bits kept after its SAT text; read from DWG it has "
                               "their empty record",
         fromDxf, [](DumpLines& lines, const RoundTripCase&) {
             for (const char* kind : {"REGION", "3DSOLID", "BODY"}) entityFields(lines, kind, {"trailingBits"});
         }},
        {"proxy-entity-class-ids", "the proxy and application class ids of a DXF proxy entity are its 90 and 91 "
                                   "groups: a DWG file writes the entity as a record of its own class",
         fromDxf, [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "498", {"proxyClassId", "applicationClassId"});
         }},
        {"raw-xdata-size", "the size of extended data as a reader found it is the size of its file's form",
         anotherVersionOrFormat, [](DumpLines& lines, const RoundTripCase&) { entityFields(lines, "", {"xdataSize"}); }},
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
         notFromBitCodedDwg,
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
        if (line.starts_with("VIEWPORT_INDEX")) continue;
        kept.push_back(line);
    }
    return kept;
}

} // namespace tracemill::test
