#include "toolkit/core/code_pages.h"

#include <algorithm>

#include "toolkit/core/init_data_stream.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/name_compare.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

namespace {

// Reads one slot's tables at `offset`; false when they cannot be read or make no sense.
bool readSlot(const InitData& data, int32_t offset, CodePageSlot& slot) {
    InitDataStreamPtr stream(dbInitDataCallbacks().open(data.name.c_str()));
    if (!stream || dbInitDataCallbacks().seek(stream.get(), offset, 0) != 0) return false;

    if (!dbTryResize(slot.byteMap, 256)) return false;
    for (uint16_t byte = 0; byte < 0x80; ++byte) slot.byteMap[byte] = byte;
    std::vector<uint16_t> upper;
    if (!dbInitDataReadShorts(stream.get(), upper, kCodePageUpperBytes)) return false;
    std::copy(upper.begin(), upper.end(), slot.byteMap.begin() + 0x80);

    uint16_t count = 0;
    if (!dbInitDataGetShort(stream.get(), count)) return false;
    if (count == 0) return true;
    if (!dbAllocationAllowed()) return false;
    if (!dbInitDataReadShorts(stream.get(), slot.codes, count) ||
        !dbInitDataReadShorts(stream.get(), slot.values, count))
        return false;
    // Lookups are binary searches: the codes must be double-byte and strictly ascending.
    for (size_t i = 0; i < count; ++i) {
        if (slot.codes[i] <= 0xFF || (i > 0 && slot.codes[i] <= slot.codes[i - 1])) return false;
    }
    for (uint16_t code : slot.codes) {
        const uint8_t lead = uint8_t(code >> 8);
        if (slot.leadBytes.empty() || slot.leadBytes.back() != lead) slot.leadBytes.push_back(lead);
    }
    return true;
}

const CodePageSlot* loadedSlot(int number) {
    const int slot = dbCodePageLoad(number);
    return slot < 0 ? nullptr : &gSystemContext->initData.slots[slot];
}

} // namespace

int dbCodePageLoad(int number) {
    if (number < 0 || number >= kCodePageCount || !gSystemContext) return -1;
    InitData& data = gSystemContext->initData;
    const int slot = kCodePageTable[number].slot;
    if (data.slots[slot].loaded()) return slot;
    const int32_t offset = data.slotOffsets[slot];
    if (offset < 0) return -1;
    CodePageSlot fresh;
    try {
        if (!readSlot(data, offset, fresh)) return -1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
    data.slots[slot] = std::move(fresh);
    return slot;
}

int dbCodePageToUnicode(int number, uint16_t code, uint16_t& out) {
    const CodePageSlot* slot = loadedSlot(number);
    if (!slot) return 0;
    if (code < 256) {
        out = slot->byteMap[code];
        return 1;
    }
    if (slot->codes.empty()) return 0;
    const auto it = std::lower_bound(slot->codes.begin(), slot->codes.end(), code);
    if (it == slot->codes.end() || *it != code) {
        out = code;
        return 0;
    }
    out = slot->values[size_t(it - slot->codes.begin())];
    return 1;
}

int dbIsLeadByte(uint8_t byte, int number) {
    const CodePageSlot* slot = loadedSlot(number);
    if (!slot) return 0;
    return std::binary_search(slot->leadBytes.begin(), slot->leadBytes.end(), byte) ? 1 : 0;
}

int dbCodePageFromName(const char* name, int& number) {
    for (int i = 0; name && i < kCodePageCount; ++i) {
        if (dbCompareNoCase(name, kCodePageTable[i].name) == 0) {
            number = i;
            return 1;
        }
    }
    number = 0;
    return 0;
}

const char* dbCodePageName(int number) {
    return number >= 0 && number < kCodePageCount ? kCodePageTable[number].name : nullptr;
}

int dbGetHeaderCodePage() { return gSystemContext ? gSystemContext->headerCodePage : 0; }

} // namespace tracemill
