#include "dwg13_differences.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <string>

#include "version_differences.h"

namespace tracemill::test {
namespace {

bool asR13(const RoundTripCase& c) { return c.version == 5; }
bool fromDxf(const RoundTripCase& c) { return c.sourceFormat != 0; }
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

// --- Rows

void zombieClasses(DumpLines& lines, const RoundTripCase&) {
    std::erase_if(lines, [](const std::string& line) {
        const std::string name = classDxfName(line);
        return line.starts_with("CLASS ") && (name == "DxfZombieEntity" || name == "DxfZombieObject");
    });
}

// --- Entities

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
    static const AllowedDifference ownRows[] = {
        {"zombie-classes", "an AC1012 file declares the zombie classes that stand for generic proxies", asR13,
         zombieClasses},
        {"proxy-object-version", "a generic proxy object of a file before AC1015 has no object version: the "
                                 "AC1015 record carries the writer's",
         as2000FromAnother, [](DumpLines& lines, const RoundTripCase&) { removeObjectFields(lines, "499", {"version"}); }},
        {"extrusions-along-z", "an extrusion along the z axis read from DXF is written as (0,0,1) or (0,0,-1), "
                               "as the DWG reader normalises it",
         fromDxf, extrusionsAlongZ},
        {"spline-fit-form", "a SPLINE read from DXF with fit points is written in the fit form, which holds no "
                            "knots nor control points",
         fromDxf, splineFitForm},
        {"dimension-own-block", "R13-2000 DWG files carry no flag of a dimension's own block: the reader sets it",
         notFromBitCodedDwg, dimensionOwnBlock},
        {"leader-fields-by-version", "of a LEADER read from DXF, the annotation offset is carried from AC1014 "
                                     "on, the by-block colour before AC1015",
         fromDxf, [](DumpLines& lines, const RoundTripCase& c) {
             if (c.version == 5) entityFields(lines, "LEADER", {"annotationOffset"});
             if (c.version == 7) entityFields(lines, "LEADER", {"byBlockColour"});
         }},
        {"acis-trailing-bits", "ACIS data read from DXF has no bits kept after its SAT text; read from DWG it has "
                               "their empty record",
         fromDxf, [](DumpLines& lines, const RoundTripCase&) {
             for (const char* kind : {"REGION", "3DSOLID", "BODY"}) entityFields(lines, kind, {"trailingBits"});
         }},
        {"vport-aspect", "DWG files keep a VPORT's view width, from which the reader divides the aspect ratio of "
                         "one read from DXF again",
         fromDxf, [](DumpLines& lines, const RoundTripCase&) {
             rewriteField(lines, "VPORT ", "aspect", [](std::string_view value) {
                 char text[32];
                 std::snprintf(text, sizeof text, "%.12g", std::strtod(std::string(value).c_str(), nullptr));
                 return std::string(text);
             });
         }},
    };
    static const std::vector<AllowedDifference> rows = joinedRows({versionAllowedDifferences(), ownRows});
    return rows;
}

bool dwg13RemainsForOwnVersion(std::string_view id) {
    // The samples of R13 and R14 were last saved by programs of later versions: they hold
    // classes, dictionary entries and names that the writer of those versions writes by their
    // own rules.
    static const std::string_view remaining[] = {
        // The version, release and handle seed of the file are the writer's.
        "file-version",
        // The known classes are written with the writer's application names and proxy flags.
        "class-application-names",
        // An AC1012 file declares the zombie classes of generic proxies whether or not it read them.
        "zombie-classes",
        // Names of table records beyond what the version allows are converted to its rules.
        "converted-names",
        // The named object dictionary of R13 and R14 drops the entries of 2000, entry names are
        // upper case.
        "dictionaries-before-2000",
        // Only AC1015 files keep the header round-trip record.
        "header-round-trip-record",
    };
    return std::find(std::begin(remaining), std::end(remaining), id) != std::end(remaining);
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
