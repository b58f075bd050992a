#include "toolkit/read/dwg13_classes_section.h"

#include "toolkit/read/dwg13_file_layout.h"

namespace tracemill {

int rdDwg13ReadClasses(std::span<const uint8_t> file, const Dwg13FileHeader& fileHeader,
                       std::vector<ClassEntry>& out) {
    out.clear();
    std::span<const uint8_t> data;
    if (!rdDwg13FramedSection(file, fileHeader.locators[dwg13::kLocatorClasses].position, data)) return 0;
    BitReader bits(data, uint64_t(data.data() - file.data()));
    Dwg13FieldReader io(bits, fileHeader.versionIndex);
    while (bits.bitsLeft() >= 16) {
        ClassEntry entry;
        dwg13ClassRecord(io, entry);
        if (bits.overrun()) break;
        out.push_back(std::move(entry));
    }
    return 1;
}

} // namespace tracemill
