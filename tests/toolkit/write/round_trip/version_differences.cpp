#include "version_differences.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "dwg13_header_coverage.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/header_block.h"
#include "toolkit/read/dwg12_header_layout.h"

namespace tracemill::test {
namespace {

// --- When a row applies

bool targetBeforeR13(const RoundTripCase& c) { return c.version < 5; }
bool targetBefore2000(const RoundTripCase& c) { return c.version < 7; }
bool newerSourceBeforeR13(const RoundTripCase& c) { return c.sourceVersion >= 5 && c.version < 5; }
bool dxfSourceBeforeR13(const RoundTripCase& c) { return c.sourceFormat != 0 && c.version < 5; }
bool targetBeforeAc1009(const RoundTripCase& c) { return c.version < 4; }
bool targetBeforeAc1006(const RoundTripCase& c) { return c.version < 3; }
// A DWG file of AC1012, AC1014 or AC1015.
bool bitCodedDwgTarget(const RoundTripCase& c) { return c.format == 0 && c.version >= 5; }

// --- Helpers on dump lines

int typeOf(const std::string& line) {
    const std::string type = fieldOf(line, "type");
    return type.empty() ? 0 : std::atoi(type.c_str());
}


// --- Rows

void convertedNames(DumpLines& lines, const RoundTripCase&) {
    for (std::string_view table : kTableRecordPrefixes) rewriteField(lines, table, "name", symbolNameBefore2000, true);
    rewriteField(lines, "ENTITY BLOCK ", "name", symbolNameBefore2000);
    for (const char* name : {"DIMBLK ", "DIMBLK1 ", "DIMBLK2 ", "DIMPOST ", "DIMAPOST "}) {
        for (std::string& line : lines) {
            if (line.starts_with(std::string("HEADER ") + name)) line = symbolNameBefore2000(line);
        }
    }
}

// Extended data names applications and layers by handle: compared by their names.
std::string xdataByNames(std::string_view value, const std::map<std::string, std::string>& names) {
    if (value.size() < 2 || value[0] != '#') return std::string(value);
    std::vector<uint8_t> bytes;
    for (size_t i = 1; i + 1 < value.size(); i += 2) bytes.push_back(uint8_t(std::stoi(std::string(value.substr(i, 2)), nullptr, 16)));
    std::string out = "{";
    size_t at = 0;
    while (at + 8 <= bytes.size()) {
        const int code = bytes[at] | (bytes[at + 1] << 8);
        const size_t length = bytes[at + 2] | (bytes[at + 3] << 8);
        if (at + 8 + length > bytes.size()) break;
        std::string item;
        for (size_t i = 0; i < length; ++i) {
            char hex[3];
            std::snprintf(hex, sizeof hex, "%02X", bytes[at + 8 + i]);
            item += hex;
        }
        if ((code == 1001 || code == 1003) && length == 8) {
            std::string handle = item;
            handle.erase(0, std::min(handle.find_first_not_of('0'), handle.size() - 1));
            const auto found = names.find(handle);
            item = found == names.end() ? "?" : found->second;
        }
        out += std::to_string(code) + ":" + item + ";";
        at += 8 + length;
    }
    return out + "}";
}

// The table records by handle, as "TABLE:name".
std::map<std::string, std::string> tableRecordNames(const DumpLines& lines) {
    std::map<std::string, std::string> names;
    for (const std::string& line : lines) {
        if (!isTableRecordLine(line)) continue;
        const std::string table = line.substr(0, line.find(' '));
        names[fieldOf(line, "handle")] = table + ":" + fieldOf(line, "name");
    }
    return names;
}

// Files before AC1012 carry no handles of table records, blocks and objects, and entity
// handles only from AC1006 when the drawing hands them out: references are compared by the
// name of the record they name, entities by the block they lie in.
void handlesAsNames(DumpLines& lines, const RoundTripCase& c) {
    const std::map<std::string, std::string> names = tableRecordNames(lines);
    bool entityHandles = false;
    if (c.version >= 3) {
        for (const std::string& line : lines) {
            if (line.starts_with("HEADER HANDLING ")) entityHandles = line != "HEADER HANDLING 0";
        }
    }
    auto named = [&](std::string_view value) -> std::string {
        const std::string v(value);
        if (v == "0") return v;
        const auto found = names.find(v);
        return found == names.end() ? "H" : found->second;
    };
    auto list = [&](std::string_view value) {
        std::string out;
        std::string item;
        for (char ch : value) {
            if (ch == '[' || ch == ']' || ch == ',') {
                if (!item.empty()) out += named(item);
                item.clear();
                out.push_back(ch);
            } else {
                item.push_back(ch);
            }
        }
        return out;
    };
    std::string block;
    for (std::string& line : lines) {
        if (line.starts_with("ENTITIES ")) {
            block = named(fieldOf(line, "block"));
            line = "ENTITIES block=" + block;
            continue;
        }
        DumpLines one{line};
        const bool entity = line.starts_with("ENTITY ");
        for (std::string_view field : {"layer", "linetype", "style", "block", "dimensionStyle", "celtype", "clayer",
                                       "dimstyle", "pucsname", "textstyle", "ucsname", "dimtxsty", "dimldrblk",
                                       "dimblk", "dimblk1", "dimblk2", "namedUcs", "baseUcs", "plotStyle", "xrefBlock",
                                       "cmlstyle", "owner", "extensionDictionary"})
            rewriteField(one, "", field, named);
        for (std::string_view field : {"reactors", "frozenLayers", "insertReferences"}) rewriteField(one, "", field, list);
        rewriteField(one, "", "xdata", [&](std::string_view value) { return xdataByNames(value, names); });
        if (entity) {
            if (!entityHandles) replaceField(one, "", "handle", "H");
            one[0] = "ENTITY in=" + block + one[0].substr(6);
        } else if (isTableRecordLine(line) || line.starts_with("OBJECT ") || line.starts_with("VIEWPORT_INDEX ")) {
            replaceField(one, "", "handle", "H");
            for (std::string_view field : {"blockEntity", "endBlockEntity", "viewport", "viewportEntityHeader"})
                replaceField(one, "", field, entityHandles && field != "viewportEntityHeader" ? fieldOf(line, field) : "H");
        }
        line = one[0];
    }
    removeLines(lines, "HANDLES ");
}

// The kinds the version holds: LINE ... VIEWPORT, 3DLINE, 3DFACE and DIMENSION from AC1003,
// VIEWPORT in AC1009; LWPOLYLINE (as POLYLINE) of the class kinds.
bool kindWritten(const std::string& line, int version) {
    const int type = typeOf(line);
    if (entityKindOf(line) == "LWPOLYLINE") return true;
    if (type < 1 || type > 24 || type == 5 || type == 6 || type == 10 || type == 18) return false;
    if (version < 1 && (type == 21 || type == 22 || type == 23)) return false;
    return type != 24 || version >= 4;
}

void entitiesOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
    std::erase_if(lines, [&](const std::string& line) { return line.starts_with("ENTITY ") && !kindWritten(line, c.version); });
    if (c.version < 4) removeLines(lines, "VIEWPORT_INDEX ");
    replaceField(lines, "ENTITIES ", "count", "");
}

// The part of an ENTITY line after its common fields (from " reactors="), empty without it.
std::string polylineBodyOf(const std::string& line) {
    const size_t at = line.find(" reactors=");
    return at == std::string::npos ? std::string() : line.substr(at);
}

// An LWPOLYLINE is written as POLYLINE, VERTEX and SEQEND: every 2D polyline of either form is
// compared as one line of its common fields, closed flag, elevation and every vertex with its
// bulge and widths (a width a VERTEX does not carry is its POLYLINE's default). The vertices of
// a converted LWPOLYLINE lie at z 0, but the reader of R13-2000 DWG files puts every 2D vertex
// at its polyline's elevation.
void polylinesAsOne(DumpLines& lines, const RoundTripCase& c) {
    replaceField(lines, "ENTITIES ", "count", "");
    const bool vertexAtElevation = c.format == 0 && c.version >= 5;
    auto head = [](const std::string& line) {
        DumpLines one{line.substr(0, line.find(" reactors="))};
        removeFields(one, "", {"type"});
        return "ENTITY POLYLINE2D" + one[0].substr(one[0].find(' ', 7));
    };
    DumpLines out;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::string body = polylineBodyOf(line);
        const int flags = std::atoi(fieldOf(body, "flags").c_str());
        if (line.starts_with("ENTITY LWPOLYLINE ")) {
            const std::string elevation = fieldOf(body, "elevation");
            const std::string constant = fieldOf(body, "constantWidth");
            const bool constantWidth = (flags & 4) != 0;
            std::string points;
            for (size_t at = body.find("{point=("); at != std::string::npos; at = body.find("{point=(", at + 1)) {
                const std::string vertex = " " + body.substr(at + 1, body.find('}', at) - at - 1);
                const std::string point = fieldOf(vertex, "point");
                points += point.substr(0, point.size() - 1) + "," + (vertexAtElevation ? elevation : "0") +
                          ") b=" + fieldOf(vertex, "bulge") + " w=" +
                          (constantWidth ? constant : fieldOf(vertex, "startWidth")) + "/" +
                          (constantWidth ? constant : fieldOf(vertex, "endWidth")) + ";";
            }
            out.push_back(head(line) + " closed=" + std::to_string((flags & 512) ? 1 : 0) +
                          " elevation=" + elevation + " points=" + points);
            continue;
        }
        if (line.starts_with("ENTITY POLYLINE ") && (flags & (8 | 16 | 64)) == 0) {
            const std::string startDefault = fieldOf(body, "defaultStartWidth");
            const std::string endDefault = fieldOf(body, "defaultEndWidth");
            std::string points;
            size_t j = i + 1;
            for (; j < lines.size() && lines[j].starts_with("ENTITY VERTEX "); ++j) {
                const std::string vertex = polylineBodyOf(lines[j]);
                points += fieldOf(vertex, "point") + " b=" + fieldOf(vertex, "bulge") + " w=" +
                          (fieldOf(vertex, "hasStartWidth") == "0" ? startDefault : fieldOf(vertex, "startWidth")) +
                          "/" + (fieldOf(vertex, "hasEndWidth") == "0" ? endDefault : fieldOf(vertex, "endWidth")) +
                          ";";
            }
            if (j < lines.size() && lines[j].starts_with("ENTITY SEQEND ")) ++j;
            out.push_back(head(line) + " closed=" + std::to_string(flags & 1) + " elevation=" +
                          fieldOf(body, "elevation") + " points=" + points);
            i = j - 1;
            continue;
        }
        out.push_back(line);
    }
    lines = std::move(out);
}

// A point's z replaced by `z`.
std::string withZ(std::string_view point, std::string_view z) {
    const size_t comma = point.rfind(',');
    if (comma == std::string_view::npos) return std::string(point);
    return std::string(point.substr(0, comma + 1)) + std::string(z) + ")";
}

std::string zOf(std::string_view point) {
    const size_t comma = point.rfind(',');
    return comma == std::string_view::npos ? "0" : std::string(point.substr(comma + 1, point.size() - comma - 2));
}

// Tables a version does not have: the reader gives the drawing its default records, and the
// header names none of them as current.
void tablesOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
    if (c.version < 4) {
        removeLines(lines, "APPID ");
        removeLines(lines, "DIMSTYLE ");
        removeFields(lines, "HEADER-CURRENT", {"dimstyle"});
        removeFields(lines, "ENTITY ", {"dimensionStyle"});
    }
    if (c.version < 3) {
        removeLines(lines, "UCS ");
        removeLines(lines, "VPORT ");
        removeFields(lines, "HEADER-CURRENT", {"ucsname", "pucsname"});
    }
}

// The reader of these files notes no BLOCK entity in a block record, and no BLOCK and ENDBLK of
// the layout blocks, which the files do not have.
void blockEntities(DumpLines& lines, const RoundTripCase&) {
    removeFields(lines, "BLOCK_RECORD ", {"blockEntity"});
    clearLayoutBlockFields(lines, {"endBlockEntity"});
}

// A SHAPE read from DXF names its shape; it is written when its shape file gives the number,
// and the tests' drawings have no shape files.
void shapesWithoutNumber(DumpLines& lines, const RoundTripCase&) {
    std::erase_if(lines, [](const std::string& line) {
        return line.starts_with("ENTITY ") && entityKindOf(line) == "SHAPE" && fieldOf(line, "shapeNumber") == "0";
    });
}

// Files before AC1012 carry no owners of table records: their reader leaves the owner 0, while
// the default records a load makes are owned by their table; an R13-2000 DWG file of a drawing
// read from them names the table's control object.
void tableOwners(DumpLines& lines, const RoundTripCase& c) {
    for (std::string_view table : kTableRecordPrefixes) {
        if (c.version < 5) removeFields(lines, table, {"owner"});
        else replaceField(lines, table, "owner", "H");
    }
}

void extraLayoutBlocks(DumpLines& lines, const RoundTripCase&) {
    auto extra = [](std::string name) {
        for (char& ch : name) ch = char(std::toupper(uint8_t(ch)));
        return name.size() > 14 && name.starts_with("\"*PAPER_SPACE") && std::isdigit(uint8_t(name[13]));
    };
    std::set<std::string> handles;
    for (const std::string& line : lines) {
        if (line.starts_with("BLOCK_RECORD ") && extra(fieldOf(line, "name"))) handles.insert(fieldOf(line, "handle"));
    }
    bool inExtra = false;
    std::erase_if(lines, [&](const std::string& line) {
        if (line.starts_with("BLOCK_RECORD ")) return handles.count(fieldOf(line, "handle")) > 0;
        if (line.starts_with("ENTITIES ")) inExtra = handles.count(fieldOf(line, "block")) > 0;
        else if (!line.starts_with("ENTITY ")) inExtra = false;
        return inExtra;
    });
}

// Entity fields that only files from AC1012 on carry.
void entityFieldsOfR13(DumpLines& lines, const RoundTripCase&) {
    entityFields(lines, "", {"extensionDictionary", "plotStyle", "linetypeScale", "lineweight", "reactors"});
    entityFields(lines, "VIEWPORT", {"styleSheet", "renderMode", "ucsAtOrigin", "ucsPerViewport", "ucsOrigin",
                                     "ucsXAxis", "ucsYAxis", "ucsElevation", "ucsOrthographicType", "clipBoundary",
                                     "viewportEntityHeader", "namedUcs", "baseUcs", "ucsIcon"});
    // Of the entity flags only paper space (1) and the extrusion (2) are in these files.
    maskEntityFlags(lines, 3);
}

// Table fields that only files from AC1012 (and AC1015) on carry.
void tableFieldsOfR13(DumpLines& lines, const RoundTripCase&) {
    removeFields(lines, "LAYER ", {"plotFlag", "lineweight", "plotStyle"});
    removeFields(lines, "BLOCK_RECORD ", {"layout", "preview", "description", "insertReferences", "xrefState"});
    removeFields(lines, "VIEW ", {"renderMode", "hasUcs", "ucs"});
    removeFields(lines, "VPORT ", {"renderMode", "ucsPerViewport", "ucs"});
    removeFields(lines, "UCS ", {"orthographicType", "orthographicTypeAlt", "elevation", "baseUcs", "orthographicOrigin"});
    removeFields(lines, "LTYPE ", {"dashes", "textArea"});
    removeFields(lines, "DIMSTYLE ", {"dimazin", "dimaltrnd", "dimadec", "dimfrac", "dimdsep", "dimtmove", "dimldrblk",
                                      "dimlwd", "dimlwe", "dimlunit", "dimdec", "dimtdec", "dimaltu", "dimalttd",
                                      "dimaunit", "dimjust", "dimsd1", "dimsd2", "dimtolj", "dimtzin", "dimaltz",
                                      "dimalttz", "dimatfit", "dimupt", "dimtxsty"});
    for (std::string_view table : kTableRecordPrefixes) removeFields(lines, table, {"xdata", "extensionDictionary", "reactors"});
}

// Files before R13 hold no objects and no classes: the reader makes its defaults.
void objectsAndClasses(DumpLines& lines, const RoundTripCase&) {
    removeLines(lines, "OBJECT ");
    removeLines(lines, "CLASS ");
    removeLines(lines, "PREVIEW ");
    removeFields(lines, "HEADER-CURRENT", {"cmlstyle"});
}

// Extended data of entities is carried in AC1009.
void xdataOfAc1009(DumpLines& lines, const RoundTripCase&) { entityFields(lines, "", {"xdata"}); }

// Before AC1006 entities have no extrusion, no z of their own beside the elevation of their first
// point, no x-axis angle of a POINT, no mesh counts and curve type of a POLYLINE, no invisible
// edges of a 3DFACE and no horizontal direction of a DIMENSION.
void flatBeforeAc1006(DumpLines& lines, const RoundTripCase& c) {
    entityFields(lines, "", {"extrusion"});
    maskEntityFlags(lines, ~2);
    entityFields(lines, "POINT", {"xAxisAngle"});
    entityFields(lines, "POLYLINE", {"meshM", "meshN", "densityM", "densityN", "curveType"});
    entityFields(lines, "3DFACE", {"invisibleEdges"});
    entityFields(lines, "DIMENSION", {"horizontalDirection"});
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ")) continue;
        const std::string kind = entityKindOf(line);
        DumpLines one{line};
        if (kind == "DIMENSION") {
            for (std::string_view field : {"definitionPoint", "point13", "point14", "point15"})
                rewriteField(one, "", field, [](std::string_view p) { return withZ(p, "0"); });
        } else if (kind == "SOLID" || kind == "TRACE") {
            // One elevation for the four corners: the first corner's z.
            const std::string corners = fieldOf(line, "corners");
            const std::string z = zOf(corners.substr(1, corners.find(')') - 0));
            std::string out = "[";
            size_t at = 1;
            while (at < corners.size() && corners[at] == '(') {
                const size_t end = corners.find(')', at);
                out += withZ(corners.substr(at, end - at + 1), z);
                at = end + 1;
                if (at < corners.size() && corners[at] == ',') out += corners[at++];
            }
            out += "]";
            replaceField(one, "", "corners", out);
        } else if (kind == "LINE" && c.version == 0) {
            replaceField(one, "", "end", withZ(fieldOf(line, "end"), zOf(fieldOf(line, "start"))));
        }
        line = one[0];
    }
}

// Before AC1009: no vertical text alignment, no DIMENSION rotations beyond the text's, no
// polyface face records.
void fieldsOfAc1009(DumpLines& lines, const RoundTripCase&) {
    for (const char* kind : {"TEXT", "ATTRIB", "ATTDEF"}) entityFields(lines, kind, {"verticalAlign"});
    entityFields(lines, "DIMENSION", {"extensionLineRotation", "textRotation", "insertionRotation", "dimensionStyle"});
    entityFields(lines, "VERTEX", {"faceVertexCount", "faceVertices"});
}

// A VIEWPORT keeps its view in "ACAD" "MVIEW" extended data, which the reader turns back into
// its fields (compared as such); status bits beyond the 14 the data holds are not kept.
void viewportViews(DumpLines& lines, const RoundTripCase&) {
    const std::map<std::string, std::string> names = tableRecordNames(lines);
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ") || entityKindOf(line) != "VIEWPORT") continue;
        DumpLines one{line};
        removeFields(one, "", {"xdataSize"});
        rewriteField(one, "", "xdata", [&](std::string_view value) {
            std::string v = xdataByNames(value, names);
            const size_t mview = v.find("1001:APPID:\"ACAD\";1000:4D56494557;");
            if (mview == std::string::npos) return v;
            const size_t next = v.find(";1001:", mview + 1);
            v.erase(mview, next == std::string::npos ? v.size() - 1 - mview : next + 1 - mview);
            return v == "{}" ? std::string("-") : v;
        });
        rewriteField(one, "", "statusFlags", [](std::string_view v) {
            return std::to_string(std::atoi(std::string(v).c_str()) & 0x3FFF);
        });
        line = one[0];
    }
}


// --- Objects of 2000

int typeNumber(const std::string& line) { return std::atoi(fieldOf(line, "type").c_str()); }

// Removes the dictionary entries of these names from the entries of every OBJECT line.
void removeEntries(DumpLines& lines, std::initializer_list<std::string_view> names) {
    for (std::string& line : lines) {
        if (!line.starts_with("OBJECT ")) continue;
        for (std::string_view name : names) {
            const std::string key = "{name=\"" + std::string(name) + "\" ";
            for (size_t at = line.find(key); at != std::string::npos; at = line.find(key)) {
                size_t end = line.find('}', at) + 1;
                if (end < line.size() && line[end] == ',') ++end;
                else if (at > 0 && line[at - 1] == ',') --at;
                line.erase(at, end - at);
            }
        }
    }
}

// The handles that the entries of these names of the named object dictionary (the OBJECT
// without owner) name.
std::set<std::string> rootEntryTargets(const DumpLines& lines, std::initializer_list<std::string_view> names) {
    std::set<std::string> out;
    for (const std::string& line : lines) {
        if (!line.starts_with("OBJECT ") || fieldOf(line, "owner") != "0") continue;
        for (std::string_view entry : names) {
            const std::string key = "{name=\"" + std::string(entry) + "\" handle=";
            const size_t at = line.find(key);
            if (at != std::string::npos) out.insert(line.substr(at + key.size(), line.find('}', at) - at - key.size()));
        }
    }
    return out;
}

// Layouts, plot settings and plot styles are objects of AC1015: a save as AC1015 of a drawing
// without them adds them (a layout for each layout block, the plot style "Normal" for the
// layers), a save as an older version leaves them out with their entries of the named object
// dictionary.
// The classes of objects that only files from AC1015 on carry (a quoted DXF name).
bool isClassOf2000(const std::string& name) {
    for (std::string_view of2000 : {"\"LAYOUT\"", "\"ACDBDICTIONARYWDFLT\"", "\"ACDBPLACEHOLDER\"", "\"PLOTSETTINGS\"",
                                    "\"VBA_PROJECT\"", "\"WIPEOUTVARIABLES\""}) {
        if (name == of2000) return true;
    }
    return false;
}

void layoutsOf2000(DumpLines& lines, const RoundTripCase& c) {
    // The class numbers of the layout objects, and the dictionaries the named object dictionary
    // names for them.
    std::set<int> classes;
    for (const std::string& line : lines) {
        if (!line.starts_with("CLASS ")) continue;
        const std::string name = fieldOf(line, "dxfName");
        if (isClassOf2000(name)) classes.insert(std::atoi(fieldOf(line, "number").c_str()));
    }
    const std::set<std::string> dictionaries =
        rootEntryTargets(lines, {"ACAD_LAYOUT", "ACAD_PLOTSETTINGS", "ACAD_PLOTSTYLENAME"});
    std::erase_if(lines, [&](const std::string& line) {
        if (!line.starts_with("OBJECT ")) return false;
        return classes.count(typeNumber(line)) > 0 || dictionaries.count(fieldOf(line, "handle")) > 0;
    });
    removeEntries(lines, {"ACAD_LAYOUT", "ACAD_PLOTSETTINGS", "ACAD_PLOTSTYLENAME"});
    removeFields(lines, "HANDLES ", {"layoutDictionary", "plotSettingsDictionary", "plotStyleDictionary"});
    // An R13-2000 DWG file keeps the classes; it links every layout block and layer to a layout
    // and a plot style of its own.
    if (bitCodedDwgTarget(c)) {
        replaceField(lines, "BLOCK_RECORD ", "layout", "H");
        replaceField(lines, "LAYER ", "plotStyle", "H");
        return;
    }
    removeFields(lines, "BLOCK_RECORD ", {"layout"});
    removeFields(lines, "LAYER ", {"plotStyle"});
    removeFields(lines, "CLASS ", {"number"});
    std::erase_if(lines, [](const std::string& line) {
        const std::string name = fieldOf(line, "dxfName");
        return line.starts_with("CLASS ") && isClassOf2000(name);
    });
}

// Upper-cases the names of dictionary entries ({name="..." handle=...}) of a line.
void upperCaseEntryNames(std::string& line) {
    for (size_t at = line.find("{name=\""); at != std::string::npos; at = line.find("{name=\"", at + 1)) {
        for (size_t i = at + 7; i < line.size() && line[i] != '"'; ++i) {
            if (line[i] == '\\') ++i;
            else line[i] = char(std::toupper(uint8_t(line[i])));
        }
    }
}

// Before AC1015 the named object dictionary holds none of the entries of 2000, and the file none
// of the objects they name nor what those own; dictionaries
// carry no hard-owner and cloning flags and upper-case entry names, XRECORDs no cloning flag;
// multiline style names are symbol names.
void dictionariesBefore2000(DumpLines& lines, const RoundTripCase&) {
    // The objects these entries name and what they own, level by level.
    std::set<std::string> leftOut = rootEntryTargets(
        lines, {"ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS", "ACAD_PLOTSTYLENAME", "ACDBHEADERROUNDTRIPXREC"});
    for (bool added = !leftOut.empty(); added;) {
        added = false;
        for (const std::string& line : lines) {
            if (line.starts_with("OBJECT ") && leftOut.count(fieldOf(line, "owner")))
                added |= leftOut.insert(fieldOf(line, "handle")).second;
        }
    }
    std::erase_if(lines, [&](const std::string& line) {
        return line.starts_with("OBJECT ") && leftOut.count(fieldOf(line, "handle")) > 0;
    });
    removeEntries(lines, {"ACAD_PLOTSETTINGS", "ACAD_WIPEOUT_VARS", "ACAD_PLOTSTYLENAME", "ACDBHEADERROUNDTRIPXREC"});
    for (std::string& line : lines) {
        if (!line.starts_with("OBJECT ")) continue;
        upperCaseEntryNames(line);
        const std::string name = typeNumber(line) == kObjectMlineStyle ? fieldOf(line, "name") : std::string();
        if (!name.empty()) {
            const size_t at = line.find(" name=" + name) + 6;
            line.replace(at, name.size(), symbolNameBefore2000(name));
        }
        DumpLines one{line};
        removeFields(one, "", {"hardOwner", "cloning"});
        line = one[0];
    }
}

// The header round-trip record (the dictionary "ACDBHEADERROUNDTRIPXREC" of the named object
// dictionary and its XRECORDs) holds header values of later versions: no save writes it.
void headerRoundTripRecord(DumpLines& lines, const RoundTripCase&) {
    std::set<std::string> record;
    for (const std::string& line : lines) {
        const size_t at = line.find("{name=\"ACDBHEADERROUNDTRIPXREC\" handle=");
        if (!line.starts_with("OBJECT ") || at == std::string::npos) continue;
        const size_t start = line.find("handle=", at) + 7;
        record.insert(line.substr(start, line.find('}', start) - start));
    }
    removeEntries(lines, {"ACDBHEADERROUNDTRIPXREC"});
    std::erase_if(lines, [&](const std::string& line) {
        return line.starts_with("OBJECT ") &&
               (record.count(fieldOf(line, "handle")) > 0 || record.count(fieldOf(line, "owner")) > 0);
    });
}

// The header variables the written file carries: those a DXF file names, those the layouts of
// a DWG version hold.
std::set<std::string> carriedHeaderVariables(const RoundTripCase& c) {
    if (c.format != 0) return c.fileHeaderVariables;
    if (c.version >= 5) return dwg13CarriedHeaderVariables(c.version);
    std::set<std::string> stored;
    for (const HeaderVariable& variable : dbHeaderVariableTable()) {
        for (const Dwg12HeaderField& field : dbDwg12HeaderFields()) {
            if (field.value != Dwg12HeaderValue::CurrentIndex && field.member == variable.field &&
                c.version >= field.firstVersion)
                stored.insert(std::string(variable.name));
        }
    }
    return stored;
}

// Header variables the written file does not carry come back with the template's values. The
// points of older DXF headers have no z: the extents before AC1009, the base before AC1006.
void headerOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
    const std::set<std::string> carried = carriedHeaderVariables(c);
    std::erase_if(lines, [&](const std::string& line) {
        if (!line.starts_with("HEADER ")) return false;
        const size_t end = line.find(' ', 7);
        return !carried.count(line.substr(7, end - 7));
    });
    if (c.format == 0) return;
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

// Fields of table records that only files from AC1015 on carry.
void tableFieldsOf2000(DumpLines& lines, const RoundTripCase& c) {
    removeFields(lines, "LAYER ", {"plotFlag", "lineweight", "plotStyle"});
    removeFields(lines, "BLOCK_RECORD ", {"layout", "preview"});
    removeFields(lines, "VIEW ", {"renderMode", "hasUcs", "ucs"});
    removeFields(lines, "VPORT ", {"renderMode", "ucsPerViewport", "ucs"});
    removeFields(lines, "UCS ", {"orthographicType", "orthographicTypeAlt", "elevation", "baseUcs"});
    removeFields(lines, "DIMSTYLE ", {"dimazin", "dimaltrnd", "dimadec", "dimfrac", "dimdsep", "dimtmove", "dimldrblk",
                                      "dimlwd", "dimlwe"});
    if (c.format != 0) {
        removeFields(lines, "UCS ", {"orthographicOrigin"});
    } else {
        removeFields(lines, "BLOCK_RECORD ", {"description", "xrefDisabled"});
        removeFields(lines, "HANDLES", {"plotStyleDictionary", "layoutDictionary", "plotSettingsDictionary"});
    }
}

// The layer DEFPOINTS, in any case, as not plotting.
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

// The proxy and application class ids of proxies, which a change of form does not keep.
void proxyClassIds(DumpLines& lines, const RoundTripCase& c) {
    if (c.format == 0) {
        for (std::string& line : lines) {
            if (!(line.starts_with("OBJECT ") && fieldOf(line, "type") == "499") &&
                !(line.starts_with("ENTITY ") && entityKindOf(line) == "498"))
                continue;
            DumpLines one{line};
            removeFields(one, "", {"proxyClassId", "applicationClassId"});
            line = one[0];
        }
        return;
    }
    removeFields(lines, "OBJECT ", {"proxyClassId", "applicationClassId"});
    removeFields(lines, "ENTITY ", {"proxyClassId", "applicationClassId"});
    for (std::string& line : lines) {
        const std::string number = fieldOf(line, "classNumber");
        if (number != "0" && number != "0.000000") continue;
        DumpLines one{line};
        replaceField(one, "", "classNumber", fieldOf(line, "type"));
        line = one[0];
    }
}

}  // namespace


std::span<const AllowedDifference> versionAllowedDifferences() {
    static const AllowedDifference rows[] = {
        {"file-version", "the reloaded drawing has the version, source format and handle seed of the written file",
         [](const RoundTripCase&) { return true; }, removeFileVersion},
        {"converted-names", "files before AC1015 carry symbol names upper-cased, blanks and brackets as _",
         targetBefore2000, convertedNames},
        {"lwpolyline-as-polyline", "an LWPOLYLINE is written as POLYLINE, VERTEX and SEQEND records before AC1014",
         [](const RoundTripCase& c) { return c.version <= 5; },
         polylinesAsOne},
        {"entities-of-the-version", "entities of kinds the version does not have are left out", targetBeforeR13,
         entitiesOfTheVersion},
        {"extra-layout-blocks", "paper-space blocks of further layouts and their entities are left out of DXF "
                                "files before AC1015 and DWG files before AC1012 (R13 and R14 DWG files keep them)",
         [](const RoundTripCase& c) { return targetBefore2000(c) && !bitCodedDwgTarget(c); }, extraLayoutBlocks},
        {"handles-as-names", "files before AC1012 carry no handles of table records, blocks and objects, and entity "
                             "handles only from AC1006 in drawings that hand them out: the reader gives new ones",
         targetBeforeR13, handlesAsNames},
        {"tables-of-the-version", "tables a version does not have come back with the reader's default records",
         targetBeforeR13, tablesOfTheVersion},
        {"raw-xdata-size", "the size of extended data as a reader found it is the size of its file's form: it "
                           "changes with the form and version (a file before AC1012; an R13-2000 DWG file of another "
                           "version or from DXF)",
         [](const RoundTripCase& c) {
             return c.version < 5 || (bitCodedDwgTarget(c) && (c.version != c.sourceVersion || c.sourceFormat != 0));
         },
         [](DumpLines& lines, const RoundTripCase&) { entityFields(lines, "", {"xdataSize"}); }},
        {"layout-block-flags", "files before AC1012 have no layout blocks: the reader makes them anew", targetBeforeR13,
         layoutBlockFlagsCleared},
        {"dimension-points-of-AC1009", "DWG files before AC1009 carry no further points of DIMENSIONs of types 5 "
                                       "and 6",
         [](const RoundTripCase& c) { return c.format == 0 && c.version < 4 && c.version > 0; },
         [](DumpLines& lines, const RoundTripCase&) {
             for (std::string& line : lines) {
                 if (!line.starts_with("ENTITY ") || entityKindOf(line) != "DIMENSION") continue;
                 const int type = std::atoi(fieldOf(line, "typeFlags").c_str()) & 7;
                 if (type != 5 && type != 6) continue;
                 DumpLines one{line};
                 removeFields(one, "", {"point13", "point14", "point15", "point16"});
                 line = one[0];
             }
         }},
        {"block-entities", "the reader of these files notes no BLOCK entity in a block record, and the layout "
                           "blocks have no BLOCK and ENDBLK in these files",
         targetBeforeR13, blockEntities},
        {"shapes-without-number", "a SHAPE read from DXF is written to a DWG file before AC1012 when its shape "
                                  "file gives its number; the samples' shape files are absent",
         [](const RoundTripCase& c) { return c.format == 0 && dxfSourceBeforeR13(c); }, shapesWithoutNumber},
        {"table-owners", "files before AC1012 carry no owners of table records: their reader leaves them 0, and an "
                         "R13-2000 DWG file of a drawing read from them names the table's control object",
         [](const RoundTripCase& c) { return c.version < 5 || (bitCodedDwgTarget(c) && c.sourceVersion < 5); },
         tableOwners},
        {"table-fields-of-R13", "plot styles, lineweights, layouts, complex dashes, the later dimension variables, UCS "
                                "and render settings and the extended data of table records are carried from AC1012",
         targetBeforeR13, tableFieldsOfR13},
        {"entity-fields-of-R13", "lineweights, plot styles, linetype scales, reactors, extension dictionaries, the "
                                 "invisible and plot-style flags and the VIEWPORT settings of AC1012 files",
         targetBeforeR13, entityFieldsOfR13},
        {"entity-fields-of-2000", "lineweights and plot-style flags of entities and the UCS, render and plot "
                                  "settings of VIEWPORTs are carried from AC1015 on; so are entities' plot styles "
                                  "but in R13 and R14 DWG files",
         [](const RoundTripCase& c) { return c.version == 5 || c.version == 6; },
         [](DumpLines& lines, const RoundTripCase& c) {
             entityFields(lines, "", {"lineweight"});
             if (!bitCodedDwgTarget(c)) entityFields(lines, "", {"plotStyle"});
             entityFields(lines, "VIEWPORT", {"styleSheet", "renderMode", "ucsAtOrigin", "ucsPerViewport", "ucsOrigin",
                                              "ucsXAxis", "ucsYAxis", "ucsElevation", "ucsOrthographicType",
                                              "namedUcs", "baseUcs", "ucsIcon"});
             maskEntityFlags(lines, ~0x60);
         }},
        {"layouts-of-2000", "layouts, plot settings and plot styles are objects of AC1015: a save as AC1015 adds "
                            "them to a drawing without them, an older version leaves them out (R13 and R14 DWG "
                            "files keep their dictionaries)",
         [](const RoundTripCase& c) {
             return c.version >= 5 && (c.version < 7 || c.sourceVersion < 7) && !(bitCodedDwgTarget(c) && c.version < 7);
         },
         layoutsOf2000},
        {"header-round-trip-record", "the header round-trip record holds header values of later versions: only a "
                                     "DWG file of AC1015 saved as AC1015 keeps it",
         [](const RoundTripCase& c) {
             return c.version >= 5 && !(bitCodedDwgTarget(c) && c.version == 7 && c.sourceVersion == 7);
         },
         headerRoundTripRecord},
        {"dictionaries-before-2000", "before AC1015 the named object dictionary holds none of the entries of 2000 "
                                     "(plot settings, plot styles, wipeout variables, header round-trip record) nor the objects they "
                                     "name and what those own; "
                                     "dictionaries carry no hard-owner and cloning flags and upper-case entry names, "
                                     "XRECORDs no cloning flag, multiline styles symbol names",
         [](const RoundTripCase& c) { return c.version == 5 || c.version == 6; }, dictionariesBefore2000},
        {"mtext-line-spacing", "the line spacing of an MTEXT is carried from AC1015 on",
         [](const RoundTripCase& c) { return c.version == 5 || c.version == 6; },
         [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "MTEXT", {"lineSpacingStyle", "lineSpacingFactor"});
         }},
        {"objects-and-classes", "files before AC1012 hold no objects, classes and previews: the reader makes its "
                                "defaults",
         newerSourceBeforeR13, objectsAndClasses},
        {"viewport-views", "in files of AC1009, AC1012 and AC1014 a VIEWPORT keeps its view in ACAD MVIEW extended "
                           "data, which the reader turns into its fields; status bits beyond the 14 that data holds "
                           "are not kept",
         [](const RoundTripCase& c) { return c.version >= 4 && c.version <= 6; }, viewportViews},
        {"viewport-ucs-icon", "the UCS icon setting of a VIEWPORT is read from the MVIEW data of files before "
                              "AC1015; from AC1015 on its status flags hold it",
         [](const RoundTripCase& c) { return c.version == 7 && c.sourceVersion < 7; },
         [](DumpLines& lines, const RoundTripCase&) { entityFields(lines, "VIEWPORT", {"ucsIcon"}); }},
        {"xdata-of-AC1009", "extended data of entities is carried from AC1009", targetBeforeAc1009, xdataOfAc1009},
        {"fields-of-AC1009", "vertical text alignment, further DIMENSION angles, dimension styles and polyface face "
                             "records are carried from AC1009",
         targetBeforeAc1009, fieldsOfAc1009},
        {"flat-before-AC1006", "before AC1006 entities have no extrusion and no z of their own beside the elevation of "
                               "their first point; no POINT angle, mesh counts, invisible edges or DIMENSION direction",
         targetBeforeAc1006, flatBeforeAc1006},
        {"class-application-names", "DXF files and R13 and R14 DWG files give the known classes the writer's own "
                                    "application names, those DWG files the writer's proxy flags too",
         [](const RoundTripCase& c) { return c.version >= 5 && (c.format != 0 || c.version < 7); },
         [](DumpLines& lines, const RoundTripCase& c) {
             removeFields(lines, "CLASS ", {"applicationName"});
             if (c.format == 0) removeFields(lines, "CLASS ", {"proxyFlags"});
         }},
        {"table-fields-of-2000", "plot styles, lineweights, layouts, UCS and render settings of table records are "
                                 "carried from AC1015 on; in DXF files the orthographic origin of a UCS, in R13 and "
                                 "R14 DWG files block descriptions and the plot-style and layout dictionaries too",
         [](const RoundTripCase& c) { return c.version < 7 && (c.format != 0 || c.version >= 5); }, tableFieldsOf2000},
        {"dimension-text-layout", "the text attachment, line spacing and measurement of a DIMENSION are carried from "
                                  "AC1015 on (the DWG reader gives a DIMENSION of a file before AC1012 the defaults "
                                  "of AC1012)",
         [](const RoundTripCase& c) { return c.version < 7; },
         [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "DIMENSION", {"attachment", "lineSpacingStyle", "lineSpacingFactor",
                                               "actualMeasurement"});
         }},
        {"block-entity-handles", "a block read from a file before AC1012 has no BLOCK entity handle: the save gives "
                                 "it one",
         [](const RoundTripCase& c) { return c.sourceVersion < 5 && c.version >= 5; },
         [](DumpLines& lines, const RoundTripCase&) {
             replaceField(lines, "BLOCK_RECORD ", "blockEntity", "H");
             replaceField(lines, "BLOCK_RECORD ", "endBlockEntity", "H");
             removeFields(lines, "HANDLES ", {"modelSpaceBlockEntity", "modelSpaceEndBlockEntity",
                                              "paperSpaceBlockEntity", "paperSpaceEndBlockEntity"});
         }},
        {"defpoints-never-plots", "the layer DEFPOINTS is written as not plotting",
         [](const RoundTripCase& c) { return c.version == 7; }, defpointsNeverPlots},
        {"xref-state", "the DWG readers keep 0 as the external-reference state of an ordinary block, the DXF reader "
                       "255: a DWG drawing saved as DXF, or a DXF one as R13-2000 DWG, comes back with the other",
         [](const RoundTripCase& c) {
             return (c.format != 0 && c.sourceFormat == 0) || (bitCodedDwgTarget(c) && c.sourceFormat != 0);
         },
         [](DumpLines& lines, const RoundTripCase&) { replaceField(lines, "BLOCK_RECORD ", "xrefState", ""); }},
        {"zeros-without-sign", "the readers take a -0.0 of binary DXF files and of DWG files before AC1012 as 0.0, "
                               "and the DXF reader reads every zero as +0.0",
         [](const RoundTripCase& c) {
             return c.format == 2 || (c.format == 0 && c.version < 5) || (bitCodedDwgTarget(c) && c.sourceFormat != 0);
         },
         zerosWithoutSign},
        {"header-of-the-version", "header variables a version does not carry come back with the template's values; "
                                  "the extents of DXF files before AC1009 and their base before AC1006 have no z",
         [](const RoundTripCase&) { return true; }, headerOfTheVersion},
        {"dwg-header-values", "the DWG header values no variable names follow the version written: a DWG file of "
                              "another version or from DXF, or any before AC1012, comes back with the writer's",
         [](const RoundTripCase& c) {
             return c.format == 0 && (c.version < 5 || c.version != c.sourceVersion || c.sourceFormat != 0);
         },
         [](DumpLines& lines, const RoundTripCase&) { removeLines(lines, "HEADER-DWG "); }},
        {"viewport-entity-header", "only R13-2000 DWG files have VP ENT HDR records, the header naming the current "
                                   "viewport's and each paper-space VIEWPORT its own: a DWG drawing saved as DXF, or "
                                   "a drawing that does not come from such a file saved as one, comes back without "
                                   "them or with new ones",
         [](const RoundTripCase& c) {
             return (c.format != 0 && c.sourceFormat == 0) ||
                    (bitCodedDwgTarget(c) && (c.sourceFormat != 0 || c.sourceVersion < 5));
         },
         [](DumpLines& lines, const RoundTripCase&) {
             removeFields(lines, "HANDLES", {"viewportEntityHeader"});
             removeFields(lines, "VIEWPORT_INDEX ", {"viewportEntityHeader"});
             entityFields(lines, "VIEWPORT", {"viewportEntityHeader"});
         }},
        {"proxy-class-ids", "the proxy and application class ids of a proxy are its DXF groups 90 and 91: class data "
                            "read from DWG goes into DXF files as proxies that name their class (one of an R13 DWG "
                            "file, without a class number, comes back with the proxies' own), and a DXF proxy goes "
                            "into R13-2000 DWG files as a record of its own class",
         [](const RoundTripCase& c) {
             return (c.format != 0 && c.sourceFormat == 0) || (bitCodedDwgTarget(c) && c.sourceFormat != 0);
         },
         proxyClassIds},
    };
    return rows;
}

} // namespace tracemill::test
