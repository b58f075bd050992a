#include "toolkit/core/entity_types.h"

namespace tracemill {
namespace {

constexpr std::string_view kEntityNames[35] = {
    "LINE",     "POINT",  "CIRCLE",    "SHAPE",  "ELLIPSE", "SPLINE",    "TEXT",     "ARC",    "TRACE",
    "REGION",   "SOLID",  "BLOCK",     "ENDBLK", "INSERT",  "ATTDEF",    "ATTRIB",   "SEQEND", "",
    "POLYLINE", "VERTEX", "3DLINE",    "3DFACE", "DIMENSION", "VIEWPORT", "3DSOLID", "RAY",    "XLINE",
    "MTEXT",    "LEADER", "TOLERANCE", "MLINE",  "",        "",          "",         "BODY",
};

} // namespace

std::string_view dbEntityTypeName(uint16_t type) {
    if (type < 1 || type > 35) return {};
    return kEntityNames[type - 1];
}

} // namespace tracemill
