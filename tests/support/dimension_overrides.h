// Extended data items in the stored form, and an entity header that carries them: what the
// tests of dimension-style overrides ("DSTYLE") write.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/core/entity_header.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/core/paged_stream.h"
#include "toolkit/core/xdata_items.h"

namespace tracemill::test {

template <class Set>
XDataItem xdataItem(uint16_t code, Set set) {
    XDataItem result;
    result.code = code;
    set(result);
    return result;
}
inline XDataItem app(Handle h) { return xdataItem(1001, [&](XDataItem& i) { i.handle = h; }); }
inline XDataItem text(std::string value) { return xdataItem(1000, [&](XDataItem& i) { i.text = value; }); }
inline XDataItem brace(bool closing) { return xdataItem(1002, [&](XDataItem& i) { i.brace = closing ? 1 : 0; }); }
inline XDataItem int16(int16_t value) { return xdataItem(1070, [&](XDataItem& i) { i.int16 = value; }); }
inline XDataItem real(double value) { return xdataItem(1040, [&](XDataItem& i) { i.real = value; }); }
inline XDataItem handleItem(Handle h) { return xdataItem(1005, [&](XDataItem& i) { i.handle = h; }); }

// A header of that type whose extended data holds the items.
inline EntityHeader headerWithXData(const std::vector<XDataItem>& items, uint16_t type = kEntityLeader) {
    EntityHeader header;
    header.type = type;
    OpenStream* stream = dbStreamOpenWrite(header.xdata.create(4096));
    for (const XDataItem& item : items) EXPECT_EQ(dbWriteXDataItem(stream, item), 1);
    dbStreamCloseWrite(stream);
    return header;
}

} // namespace tracemill::test
