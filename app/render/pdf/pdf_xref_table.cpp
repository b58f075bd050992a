#include "app/render/pdf/pdf_xref_table.h"

#include <algorithm>
#include <string>

namespace tracemill::render {

bool CPdfXrefEntry::Write(FILE* file, CPdfXrefTable*) {
    char line[48];
    const int length = std::snprintf(line, sizeof line, "%010lld %05ld %c \n", static_cast<long long>(offset_),
                                     static_cast<long>(generation_), inUse_ ? 'n' : 'f');
    return length > 0 && PdfPut(file, std::string_view(line, size_t(length)));
}

CPdfXrefTable::CPdfXrefTable() { Add(0, 0, 65535, false); }

void CPdfXrefTable::Add(int32_t number, int64_t offset, int32_t generation, bool inUse) {
    entries_.push_back(std::make_unique<CPdfXrefEntry>(number, offset, generation, inUse));
}

void CPdfXrefTable::AddMissingAsFree(int32_t size) {
    std::vector<bool> present(size_t(std::max(size, 0)), false);
    for (const auto& entry : entries_) {
        if (entry->Number() >= 0 && entry->Number() < size) present[size_t(entry->Number())] = true;
    }
    for (int32_t number = 0; number < size; ++number) {
        if (!present[size_t(number)]) Add(number, 0, 0, false);
    }
}

bool CPdfXrefTable::Write(FILE* file, CPdfXrefTable*) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const auto& a, const auto& b) { return a->Number() < b->Number(); });
    const std::string head = "xref\n0 " + std::to_string(entries_.size()) + "\n";
    if (!PdfPut(file, head)) return false;
    for (const auto& entry : entries_) {
        if (!entry->Write(file, this)) return false;
    }
    return true;
}

} // namespace tracemill::render
