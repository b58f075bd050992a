// The cross-reference table: an entry per written indirect object (its number and byte
// offset), listed by object number whatever the order the objects were written in.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "app/render/pdf/pdf_objects.h"

namespace tracemill::render {

// One 20-byte line: "%010ld %05ld n \n", or "f" for a free entry.
class CPdfXrefEntry : public CPdfObject {
public:
    CPdfXrefEntry(int32_t number, int64_t offset, int32_t generation, bool inUse)
        : number_(number), offset_(offset), generation_(generation), inUse_(inUse) {}
    bool Write(FILE* file, CPdfXrefTable* xref) override;
    int32_t Number() const { return number_; }

private:
    int32_t number_;
    int64_t offset_;
    int32_t generation_;
    bool inUse_;
};

class CPdfXrefTable : public CPdfObject {
public:
    // Holds the free entry of object 0 (generation 65535).
    CPdfXrefTable();
    void Add(int32_t number, int64_t offset, int32_t generation, bool inUse);
    // A free entry for every number below `size` that has none, so the one subsection stays
    // whole even when an object was numbered and never written.
    void AddMissingAsFree(int32_t size);
    // "xref", "0 count" and the entries sorted by object number.
    bool Write(FILE* file, CPdfXrefTable* xref) override;
    size_t Count() const { return entries_.size(); }

private:
    std::vector<std::unique_ptr<CPdfXrefEntry>> entries_;
};

} // namespace tracemill::render
