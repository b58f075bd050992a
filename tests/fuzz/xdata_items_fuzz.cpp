// Fuzz harness for extended-data items and group items read from a damaged stream.
//
// Input: byte 0 bit 0 chooses the form (0 extended data, 1 group items), bit 1 the extended-
// string switch; the rest is the stream. Every item read must write back and read back to the
// same stored form.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "toolkit/core/owned_stream.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/xdata_items.h"

using namespace tracemill;

namespace {

// The stored form of one item, empty when the item cannot be written.
template <class Item, class Write>
std::vector<uint8_t> storedForm(const Item& item, Write write) {
    OwnedStream copy(dbStreamCreate(64));
    OpenStream* writing = dbStreamOpenWrite(copy.get());
    const int written = write(writing, item);
    dbStreamCloseWrite(writing);
    if (!written) return {};
    return std::vector<uint8_t>(copy.bytes().begin(), copy.bytes().end());
}

// Every item read writes back to a form that reads back to the same form (compared as bytes,
// so that a NaN read from the input compares equal to itself).
template <class Item, class Read, class Write>
void roundTrip(const uint8_t* data, size_t size, Read read, Write write) {
    OwnedStream input(dbStreamCreate(4096));
    input.get()->bytes.assign(data, data + size);
    OpenStream* stream = dbStreamOpenRead(input.get());
    Item item;
    for (int n = 0; n < 100000 && read(stream, item); ++n) {
        const std::vector<uint8_t> form = storedForm(item, write);
        if (form.empty()) continue;  // a value its form cannot hold
        OwnedStream again(dbStreamCreate(64));
        again.get()->bytes = form;
        OpenStream* reading = dbStreamOpenRead(again.get());
        Item back;
        if (!read(reading, back) || storedForm(back, write) != form) std::abort();
        dbStreamCloseRead(reading);
    }
    dbStreamCloseRead(stream);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    SystemContext context;
    gSystemContext = &context;
    context.extendedXDataStrings = (data[0] & 2) ? 1 : 0;
    if (data[0] & 1) {
        roundTrip<GroupItem>(data + 1, size - 1, dbReadGroupItem, dbWriteGroupItem);
    } else {
        roundTrip<XDataItem>(data + 1, size - 1, dbReadXDataItem, dbWriteXDataItem);
    }
    gSystemContext = nullptr;
    return 0;
}
