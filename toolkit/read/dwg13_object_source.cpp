#include "toolkit/read/dwg13_object_source.h"

#include "toolkit/core/entity_types.h"
#include "toolkit/read/byte_cursor.h"
#include "toolkit/read/dwg_modular.h"

namespace tracemill {

void Dwg13Objects::reset(std::span<const uint8_t> file, int versionIndex) {
    file_ = file;
    version_ = versionIndex;
    map_.clear();
    classIsEntity_.clear();
    mismatches_ = 0;
}

void Dwg13Objects::setClasses(const std::vector<ClassEntry>& classes) {
    classIsEntity_.clear();
    for (const ClassEntry& entry : classes) {
        if (entry.number < kFirstClassNumber) continue;
        const size_t at = entry.number - kFirstClassNumber;
        if (at >= classIsEntity_.size()) classIsEntity_.resize(at + 1, 0);
        classIsEntity_[at] = entry.itemClassId == kClassOfEntities ? 1 : 0;
    }
}

bool Dwg13Objects::isEntityType(uint16_t type) const {
    if (type >= 1 && type <= 47) return type != 42;
    if (type == kDwgTypeOle2Frame || type == kDwgTypeLwpolyline || type == kDwgTypeHatch) return true;
    if (type == kDwgTypeProxyEntity) return true;
    if (type >= kFirstClassNumber) {
        const size_t at = type - kFirstClassNumber;
        return at < classIsEntity_.size() && classIsEntity_[at];
    }
    return false;
}

uint16_t Dwg13Objects::peekType(uint64_t position) const {
    if (position >= file_.size()) return 0;
    ByteCursor cursor(file_, size_t(position));
    uint32_t size = 0;
    if (!rdModularShort(cursor, size) || size > cursor.remaining()) return 0;
    BitReader bits(file_.subspan(cursor.position(), size));
    const uint16_t type = rdBitShort(bits);
    return bits.overrun() ? 0 : type;
}

bool Dwg13Objects::openAt(uint64_t position, Dwg13Record& out) const {
    out.isEntity = isEntityType(peekType(position));
    return rdReadObjectPrologue(file_, position, file_.size(), version_, out.isEntity, out.bits, out.prologue) != 0;
}

bool Dwg13Objects::open(Handle handle, Dwg13Record& out) const {
    uint32_t position = 0;
    if (!rdLocateObjectByHandle(map_, handle, position)) {
        out.prologue = ObjectPrologue();
        return false;
    }
    return openAt(position, out);
}

Dwg13FieldReader Dwg13Objects::fields(Dwg13Record& record) const {
    Dwg13FieldReader io(record.bits, version_, record.prologue.handle);
    io.setHandleStreamStart(record.prologue.bitSize);
    io.countMismatchesIn(&mismatches_);
    return io;
}

} // namespace tracemill
