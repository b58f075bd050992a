#include "toolkit/core/init_data.h"

#include "toolkit/core/init_data_stream.h"
#include "toolkit/core/memory_services.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

namespace {

int failNoMemory() { return dbReportError(kErrorInitDataOpen, kErrorReasonNoMemory); }

// Reads a font's index entries {uint16 number, uint32 offset} and its file.
bool readFont(InitDataStream stream, BuiltinFontData& font) {
    std::vector<uint8_t> raw(font.index.size() * kInitDataIndexEntrySize);
    if (!dbInitDataReadBytes(stream, raw.data(), raw.size())) return false;
    for (size_t i = 0; i < font.index.size(); ++i) {
        const uint8_t* p = raw.data() + i * kInitDataIndexEntrySize;
        font.index[i].number = uint16_t(p[0] | p[1] << 8);
        font.index[i].offset = uint32_t(p[2]) | uint32_t(p[3]) << 8 | uint32_t(p[4]) << 16 |
                               uint32_t(p[5]) << 24;
    }
    return dbInitDataReadBytes(stream, font.file.data(), font.file.size());
}

void buildFixedSlots(InitData& data) {
    CodePageSlot& undefined = data.slots[0];
    CodePageSlot& ascii = data.slots[1];
    undefined.byteMap.resize(256);
    ascii.byteMap.resize(256);
    for (int byte = 0; byte < 256; ++byte) {
        undefined.byteMap[byte] = uint16_t(byte);
        ascii.byteMap[byte] = byte < 0x80 ? uint16_t(byte) : 0;
    }
}

int load(const char* name) {
    InitData& data = gSystemContext->initData;
    dbSetError(kErrorInitDataOpen);
    data.name = name ? name : "0";
    InitDataStreamPtr stream(dbInitDataCallbacks().open(data.name.c_str()));
    if (!stream) return 0;

    for (int i = 0; i < kBuiltinFontCount; ++i) {
        if (!dbTryResize(data.fonts[i].index, kBuiltinFontShapeCounts[i]) ||
            !dbTryResize(data.fonts[i].file, kBuiltinFontFileSizes[i])) {
            dbFreeInitData();
            return failNoMemory();
        }
    }

    std::string banner;
    for (int c; (c = dbInitDataCallbacks().getc(stream.get())) != 0;) {
        if (banner.size() == kInitDataMaxBanner) break;
        banner.push_back(char(c));
    }
    if (banner.empty() || banner.size() == kInitDataMaxBanner || banner.back() != kInitDataBannerMark) {
        dbFreeInitData();
        return dbSetError(kErrorInitDataBanner);
    }

    dbSetError(0);
    bool complete = true;
    for (int32_t& offset : data.slotOffsets) complete = complete && dbInitDataGetLong(stream.get(), offset);
    buildFixedSlots(data);
    for (BuiltinFontData& font : data.fonts) complete = complete && readFont(stream.get(), font);
    if (!complete) {
        dbFreeInitData();
        return dbSetError(kErrorInitDataBanner);
    }
    data.banner = std::move(banner);
    return 1;
}

} // namespace

int dbLoadInitData(const char* name) {
    if (!gSystemContext) return 0;
    try {
        return load(name);
    } catch (const std::bad_alloc&) {
        dbFreeInitData();
        return failNoMemory();
    }
}

void dbFreeInitData() {
    if (gSystemContext) gSystemContext->initData = InitData();
}

} // namespace tracemill
