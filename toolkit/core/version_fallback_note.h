// How a drawing of a version the reader does not know was read: a DXF file whose $ACADVER names
// such a version ("AC1018" and later) is read as "AC1009", and its classes and objects are not
// kept. The note keeps the version the file named and what was left out, so that the load is
// not passed off as complete.
#pragma once

#include <cstdint>
#include <string>

namespace tracemill {

struct VersionFallbackNote {
    std::string fileVersion;     // $ACADVER as the file gives it; empty when the file was read as it is
    int64_t classesNotKept = 0;  // CLASS records of the file's CLASSES sections
    int64_t objectsNotKept = 0;  // records of the file's OBJECTS section

    bool any() const { return !fileVersion.empty(); }
    int64_t recordsNotKept() const { return classesNotKept + objectsNotKept; }
};

} // namespace tracemill
