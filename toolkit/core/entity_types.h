// The codes that name the kinds of entities and objects. Codes below 498 are fixed; codes of 498
// and above are class numbers, which each drawing assigns in its class list.
#pragma once

#include <cstdint>
#include <string_view>

namespace tracemill {

enum EntityType : uint16_t {
    kEntityNone = 0,
    kEntityLine = 1,
    kEntityPoint = 2,
    kEntityCircle = 3,
    kEntityShape = 4,
    kEntityEllipse = 5,
    kEntitySpline = 6,
    kEntityText = 7,
    kEntityArc = 8,
    kEntityTrace = 9,
    kEntityRegion = 10,
    kEntitySolid = 11,
    kEntityBlock = 12,
    kEntityEndBlock = 13,
    kEntityInsert = 14,
    kEntityAttributeDefinition = 15,
    kEntityAttribute = 16,
    kEntitySequenceEnd = 17,
    kEntityPolyline = 19,
    kEntityVertex = 20,
    kEntityLine3d = 21,
    kEntityFace3d = 22,
    kEntityDimension = 23,
    kEntityViewport = 24,
    kEntitySolid3d = 25,
    kEntityRay = 26,
    kEntityXline = 27,
    kEntityMtext = 28,
    kEntityLeader = 29,
    kEntityTolerance = 30,
    kEntityMline = 31,
    kEntityBody = 35,
};

enum ObjectType : uint16_t {
    kObjectDictionary = 32,
    kObjectMlineStyle = 33,
    kObjectClass = 34,
    kObjectGroup = 36,
};

// Type codes from 498 on are class numbers. 498 also marks an entity kept as the data of a class
// without a reader of its own, 499 such an object; a drawing numbers its classes from 500.
inline constexpr uint16_t kFirstClassType = 498;
inline constexpr uint16_t kEntityOfClassData = 498;
inline constexpr uint16_t kObjectOfClassData = 499;

inline constexpr bool dbIsClassNumber(uint16_t type) { return type >= kFirstClassType; }

// The DXF name of a fixed entity kind 1..35 ("LINE" ... "BODY"); empty for codes that name no
// entity (0, 18, 32-34, and everything above 35).
std::string_view dbEntityTypeName(uint16_t type);

} // namespace tracemill
