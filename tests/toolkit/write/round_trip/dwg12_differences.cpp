#include "dwg12_differences.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "toolkit/core/header_block.h"
#include "toolkit/read/dwg12_header_layout.h"

namespace tracemill::test {
namespace {

// --- When a row applies

bool anyCase(const RoundTripCase&) { return true; }
bool fromNewer(const RoundTripCase& c) { return c.sourceVersion >= 5; }
bool fromDxf(const RoundTripCase& c) { return c.sourceFormat != 0; }
bool beforeAc1009(const RoundTripCase& c) { return c.version < 4; }
bool beforeAc1006(const RoundTripCase& c) { return c.version < 3; }

// --- Helpers on dump lines

const char* const kTables[] = {"LTYPE ", "LAYER ", "STYLE ", "VIEW ", "UCS ", "VPORT ", "APPID ", "DIMSTYLE ",
                               "BLOCK_RECORD "};

bool isTableLine(const std::string& line) {
    return std::any_of(std::begin(kTables), std::end(kTables), [&](const char* t) { return line.starts_with(t); });
}

// The kind name of an ENTITY line ("LINE", "498", ...), also once the line names its block.
std::string kindOf(const std::string& line) {
    size_t start = 7;
    if (line.compare(start, 3, "in=") == 0) start = line.find(' ', start) + 1;
    const size_t end = line.find(' ', start);
    return line.substr(start, end - start);
}

int typeOf(const std::string& line) {
    const std::string type = fieldOf(line, "type");
    return type.empty() ? 0 : std::atoi(type.c_str());
}

void removeFields(DumpLines& lines, std::string_view prefix, std::initializer_list<std::string_view> fields) {
    for (std::string_view field : fields) replaceField(lines, prefix, field, "");
}

// Symbol names as files before 2000 carry them: upper case, blanks and brackets as "_"; a name
// of more than 26 characters keeps its first ones and ends in its position (compared as its
// first 22 characters and "~", the one form of both sides).
std::string convertedName(std::string_view value) {
    std::string v(value);
    for (char& c : v) {
        if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
        if (c == ' ' || c == '(' || c == ')' || c == '[' || c == ']') c = '_';
    }
    const size_t length = v.size() - 2; // within the quotes
    const bool numbered = length == 26 && std::isdigit(uint8_t(v[v.size() - 2]));
    if (length > 26 || numbered) v = v.substr(0, 23) + "~\"";
    return v;
}

// --- Rows

// Header variables the version does not store come back with the template's values.
void headerOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
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

void convertedNames(DumpLines& lines, const RoundTripCase&) {
    for (const char* table : kTables) rewriteField(lines, table, "name", convertedName, true);
    rewriteField(lines, "ENTITY BLOCK ", "name", convertedName);
    for (const char* name : {"DIMBLK ", "DIMBLK1 ", "DIMBLK2 ", "DIMPOST ", "DIMAPOST "}) {
        for (std::string& line : lines) {
            if (line.starts_with(std::string("HEADER ") + name)) line = convertedName(line);
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

// Files before AC1012 carry no handles of table records, blocks and objects, and entity
// handles only from AC1006 when the drawing hands them out: references are compared by the
// name of the record they name, entities by the block they lie in.
void handlesAsNames(DumpLines& lines, const RoundTripCase& c) {
    std::map<std::string, std::string> names;
    for (const std::string& line : lines) {
        if (!isTableLine(line)) continue;
        const std::string table = line.substr(0, line.find(' '));
        names[fieldOf(line, "handle")] = table + ":" + fieldOf(line, "name");
    }
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
        } else if (isTableLine(line) || line.starts_with("OBJECT ") || line.starts_with("VIEWPORT_INDEX ")) {
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
    if (kindOf(line) == "LWPOLYLINE") return true;
    if (type < 1 || type > 24 || type == 5 || type == 6 || type == 10 || type == 18) return false;
    if (version < 1 && (type == 21 || type == 22 || type == 23)) return false;
    return type != 24 || version >= 4;
}

void entitiesOfTheVersion(DumpLines& lines, const RoundTripCase& c) {
    std::erase_if(lines, [&](const std::string& line) { return line.starts_with("ENTITY ") && !kindWritten(line, c.version); });
    if (c.version < 4) removeLines(lines, "VIEWPORT_INDEX ");
    replaceField(lines, "ENTITIES ", "count", "");
}

// An LWPOLYLINE is written as POLYLINE, VERTEX and SEQEND: every 2D polyline of either form is
// compared as one line of its header, closed flag, elevation and points with bulges and widths.
void polylinesAsOne(DumpLines& lines, const RoundTripCase&) {
    auto head = [](const std::string& line) {
        DumpLines one{line.substr(0, line.find(" reactors="))};
        removeFields(one, "", {"type"});
        return "ENTITY POLYLINE2D" + one[0].substr(one[0].find(' ', 7));
    };
    DumpLines out;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.starts_with("ENTITY LWPOLYLINE ")) {
            const int flags = std::atoi(fieldOf(line.substr(line.find(" reactors=")), "flags").c_str());
            const std::string constant = fieldOf(line, "constantWidth");
            std::string points;
            std::string vertices = fieldOf(line, "vertices");
            size_t at = 0;
            while ((at = vertices.find("{point=", at)) != std::string::npos) {
                const std::string v = vertices.substr(at, vertices.find('}', at) - at);
                const std::string p = fieldOf(" " + v.substr(1), "point");
                points += "(" + p.substr(1, p.size() - 2) + ",0) b=" + fieldOf(" " + v.substr(1), "bulge") + " w=" +
                          ((flags & 4) ? constant : fieldOf(" " + v.substr(1), "startWidth")) + "/" +
                          ((flags & 4) ? constant : fieldOf(" " + v.substr(1), "endWidth")) + ";";
                ++at;
            }
            out.push_back(head(line) + " closed=" + std::to_string((flags & 512) ? 1 : 0) +
                          " elevation=" + fieldOf(line, "elevation") + " points=" + points);
            continue;
        }
        const std::string body = line.find(" reactors=") == std::string::npos ? "" : line.substr(line.find(" reactors="));
        if (line.starts_with("ENTITY POLYLINE ") && (std::atoi(fieldOf(body, "flags").c_str()) & (8 | 16 | 64)) == 0) {
            const int flags = std::atoi(fieldOf(body, "flags").c_str());
            const std::string startDefault = fieldOf(line, "defaultStartWidth");
            const std::string endDefault = fieldOf(line, "defaultEndWidth");
            std::string points;
            size_t j = i + 1;
            for (; j < lines.size() && lines[j].starts_with("ENTITY VERTEX "); ++j) {
                const std::string& v = lines[j];
                points += fieldOf(v, "point") + " b=" + fieldOf(v, "bulge") + " w=" +
                          (fieldOf(v, "hasStartWidth") == "0" ? startDefault : fieldOf(v, "startWidth")) + "/" +
                          (fieldOf(v, "hasEndWidth") == "0" ? endDefault : fieldOf(v, "endWidth")) + ";";
            }
            if (j < lines.size() && lines[j].starts_with("ENTITY SEQEND ")) ++j;
            out.push_back(head(line) + " closed=" + std::to_string(flags & 1) + " elevation=" +
                          fieldOf(line, "elevation") + " points=" + points);
            i = j - 1;
            continue;
        }
        out.push_back(line);
    }
    lines = std::move(out);
}


// Rewrites the fields of the ENTITY lines of a kind (empty: every kind).
void entityFields(DumpLines& lines, std::string_view kind, std::initializer_list<std::string_view> fields,
                  std::string_view value = "") {
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ") || (!kind.empty() && kindOf(line) != kind)) continue;
        DumpLines one{line};
        for (std::string_view field : fields) replaceField(one, "", field, value);
        line = one[0];
    }
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

// What a drawing made for a version holds that a file does not: its creation version and the
// plot flags of its layers (the reader of these files plots every layer).
void madeNotRead(DumpLines& lines, const RoundTripCase&) {
    removeFields(lines, "DRAWING", {"creationVersion"});
    removeFields(lines, "LAYER ", {"plotFlag"});
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
        return line.starts_with("ENTITY ") && kindOf(line) == "SHAPE" && fieldOf(line, "shapeNumber") == "0";
    });
}

// The reader leaves the owner of table records read from these files 0; the default records a
// load makes are owned by their table.
void tableOwners(DumpLines& lines, const RoundTripCase&) {
    for (const char* table : kTables) removeFields(lines, table, {"owner"});
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
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ")) continue;
        DumpLines one{line};
        rewriteField(one, "", "flags", [](std::string_view v) {
            return std::to_string(std::atoi(std::string(v).c_str()) & 3);
        }, true);
        line = one[0];
    }
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
    for (const char* table : kTables) removeFields(lines, table, {"xdata", "extensionDictionary", "reactors"});
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
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ")) continue;
        DumpLines one{line};
        rewriteField(one, "", "flags", [](std::string_view v) {
            return std::to_string(std::atoi(std::string(v).c_str()) & ~2);
        }, true);
        line = one[0];
    }
    entityFields(lines, "POINT", {"xAxisAngle"});
    entityFields(lines, "POLYLINE", {"meshM", "meshN", "densityM", "densityN", "curveType"});
    entityFields(lines, "3DFACE", {"invisibleEdges"});
    entityFields(lines, "DIMENSION", {"horizontalDirection"});
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ")) continue;
        const std::string kind = kindOf(line);
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
    for (std::string& line : lines) {
        if (!line.starts_with("ENTITY ") || kindOf(line) != "VIEWPORT") continue;
        DumpLines one{line};
        rewriteField(one, "", "xdata", [](std::string_view value) {
            std::string v(value);
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

}  // namespace

std::span<const AllowedDifference> dwg12AllowedDifferences() {
    static const AllowedDifference rows[] = {
        {"file-version", "the reloaded drawing has the version, source format and handle seed of the written file",
         anyCase, removeFileVersion},
        {"header-of-the-version", "header variables a version does not store come back with the template's values",
         anyCase, headerOfTheVersion},
        {"converted-names", "files before AC1015 carry symbol names upper-cased, blanks and brackets as _",
         anyCase, convertedNames},
        {"lwpolyline-as-polyline", "an LWPOLYLINE is written as POLYLINE, VERTEX and SEQEND records", anyCase,
         polylinesAsOne},
        {"entities-of-the-version", "entities of kinds the version does not have are left out", anyCase,
         entitiesOfTheVersion},
        {"extra-layout-blocks", "paper-space blocks of further layouts and their entities are left out", fromNewer,
         extraLayoutBlocks},
        {"handles-as-names", "files before AC1012 carry no handles of table records, blocks and objects, and entity "
                             "handles only from AC1006 in drawings that hand them out: the reader gives new ones",
         anyCase, handlesAsNames},
        {"tables-of-the-version", "tables a version does not have come back with the reader's default records",
         anyCase, tablesOfTheVersion},
        {"made-not-read", "a drawing made for a version has its creation version, handles of its layout blocks' "
                          "BLOCK and ENDBLK and layers that do not plot; the reader of these files has none of that",
         anyCase, madeNotRead},
        {"raw-xdata-size", "the size of extended data as a reader found it is the size of its file's form", anyCase,
         [](DumpLines& lines, const RoundTripCase&) { entityFields(lines, "", {"xdataSize"}); }},
        {"negative-zero", "the reader reads a -0.0 of these files as 0.0", anyCase, zerosWithoutSign},
        {"layout-block-flags", "files before AC1012 have no layout blocks: the reader makes them anew", anyCase,
         layoutBlockFlagsCleared},
        {"dimension-points-of-AC1009", "before AC1009 DIMENSIONs of types 5 and 6 carry no further points", 
         [](const RoundTripCase& c) { return c.version < 4 && c.version > 0; },
         [](DumpLines& lines, const RoundTripCase&) {
             for (std::string& line : lines) {
                 if (!line.starts_with("ENTITY ") || kindOf(line) != "DIMENSION") continue;
                 const int type = std::atoi(fieldOf(line, "typeFlags").c_str()) & 7;
                 if (type != 5 && type != 6) continue;
                 DumpLines one{line};
                 removeFields(one, "", {"point13", "point14", "point15", "point16"});
                 line = one[0];
             }
         }},
        {"block-entities", "the reader of these files notes no BLOCK entity in a block record, and the layout "
                           "blocks have no BLOCK and ENDBLK in these files",
         anyCase, blockEntities},
        {"xref-state", "the DXF reader keeps 255 as the external-reference state of an ordinary block, the DWG "
                       "reader 0",
         fromDxf, [](DumpLines& lines, const RoundTripCase&) { removeFields(lines, "BLOCK_RECORD ", {"xrefState"}); }},
        {"dimension-text-layout", "the DWG reader gives a DIMENSION of these files the text layout defaults of AC1012 "
                                  "(attachment 5, line spacing 1 and 1.6666666666666665), which they do not carry",
         anyCase, [](DumpLines& lines, const RoundTripCase&) {
             entityFields(lines, "DIMENSION", {"attachment", "lineSpacingStyle", "lineSpacingFactor",
                                               "actualMeasurement"});
         }},
        {"shapes-without-number", "a SHAPE read from DXF is written when its shape file gives its number; the "
                                  "samples' shape files are absent",
         fromDxf, shapesWithoutNumber},
        {"table-owners", "the reader leaves the owner of a table record read from these files 0", anyCase,
         tableOwners},
        {"table-fields-of-R13", "plot styles, lineweights, layouts, complex dashes, the later dimension variables, UCS "
                                "and render settings and the extended data of table records are carried from AC1012",
         anyCase, tableFieldsOfR13},
        {"entity-fields-of-R13", "lineweights, plot styles, linetype scales, reactors, extension dictionaries, the "
                                 "invisible and plot-style flags and the VIEWPORT settings of AC1012 files",
         anyCase, entityFieldsOfR13},
        {"objects-and-classes", "files before AC1012 hold no objects, classes and previews: the reader makes its "
                                "defaults",
         fromNewer, objectsAndClasses},
        {"viewport-views", "a VIEWPORT keeps its view in ACAD MVIEW extended data, which the reader turns into its "
                           "fields; status bits beyond the 14 that data holds are not kept",
         [](const RoundTripCase& c) { return c.version == 4; }, viewportViews},
        {"xdata-of-AC1009", "extended data of entities is carried from AC1009", beforeAc1009, xdataOfAc1009},
        {"fields-of-AC1009", "vertical text alignment, further DIMENSION angles, dimension styles and polyface face "
                             "records are carried from AC1009",
         beforeAc1009, fieldsOfAc1009},
        {"flat-before-AC1006", "before AC1006 entities have no extrusion and no z of their own beside the elevation of "
                               "their first point; no POINT angle, mesh counts, invisible edges or DIMENSION direction",
         beforeAc1006, flatBeforeAc1006},
    };
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
                 rewriteField(one, "", "name", convertedName, true);
                 removeFields(one, "", {"owner"});
                 line = one[0];
             }
         }},
    };
    return rows;
}

} // namespace tracemill::test
