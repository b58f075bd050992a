#include "toolkit/write/dwg_class_records.h"

#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg13_classes_section.h"
#include "toolkit/write/class_overrides.h"
#include "toolkit/write/dwg13/field_writer.h"

namespace tracemill {

int wrDwgClassR13(BitWriter& bits, const ClassEntry& entry) {
    ClassEntry written = wrOverriddenClass(entry, true);
    Dwg13FieldWriter io(bits, kVersionAC1014);
    dwg13ClassRecord(io, written);
    return 1;
}

int wrDwgClassR2000(BitWriter& bits, const ClassEntry& entry) {
    ClassEntry written = entry;
    Dwg13FieldWriter io(bits, kVersionAC1015);
    dwg13ClassRecord(io, written);
    return 1;
}

} // namespace tracemill
