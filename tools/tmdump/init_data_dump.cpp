#include "init_data_dump.h"

#include <string>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/system_context.h"

namespace tracemill::tmdump {

namespace {

// Lead bytes as ranges: "81-9F E0-FC".
std::string leadByteRanges(const std::vector<uint8_t>& leads) {
    std::string text;
    char buffer[16];
    for (size_t i = 0; i < leads.size();) {
        size_t j = i;
        while (j + 1 < leads.size() && leads[j + 1] == leads[j] + 1) ++j;
        if (j == i) std::snprintf(buffer, sizeof buffer, "%s%02X", text.empty() ? "" : " ", leads[i]);
        else std::snprintf(buffer, sizeof buffer, "%s%02X-%02X", text.empty() ? "" : " ", leads[i], leads[j]);
        text += buffer;
        i = j + 1;
    }
    return text;
}

void dumpCodePage(std::FILE* out, int number) {
    const int slot = dbCodePageLoad(number);
    std::fprintf(out, "  %2d %-10s slot %2d  ", number, dbCodePageName(number), kCodePageTable[number].slot);
    if (slot < 0) {
        std::fprintf(out, "no table\n");
        return;
    }
    const CodePageSlot& table = gSystemContext->initData.slots[slot];
    if (!table.codes.empty()) {
        std::fprintf(out, "double-byte, %zu codes, %zu lead bytes %s\n", table.codes.size(),
                     table.leadBytes.size(), leadByteRanges(table.leadBytes).c_str());
        return;
    }
    int mapped = 0;
    for (int byte = 0x80; byte < 0x100; ++byte) mapped += table.byteMap[byte] != 0;
    std::fprintf(out, "single-byte, %d of 128 bytes 80-FF mapped\n", mapped);
}

void dumpFont(std::FILE* out, const ShapeFont& font) {
    std::fprintf(out, "  %-11s kind 0x%02X, above %d, below %d, modes %d, shapes %d (%u to %u), %zu bytes\n",
                 font.path.c_str(), font.kind, font.above, font.below, font.modes, font.shapeCount,
                 font.firstShape, font.lastShape, font.shapeBytes().size());
    std::fprintf(out, "    shape numbers:");
    for (size_t i = 0; i < font.index.size(); ++i) {
        if (i == 5 && font.index.size() > 8) {
            std::fprintf(out, " ...");
            i = font.index.size() - 3;
        }
        std::fprintf(out, " %u", font.index[i].number);
    }
    std::fprintf(out, "\n");
}

} // namespace

int dumpInitData(std::FILE* out) {
    const InitData& data = gSystemContext->initData;
    std::fprintf(out, "init data: %zu bytes\n", dbBuiltinInitData().size());
    std::fprintf(out, "banner: %s\n", data.banner.c_str());
    std::fprintf(out, "code pages:\n");
    for (int number = 0; number < kCodePageCount; ++number) dumpCodePage(out, number);
    std::fprintf(out, "built-in fonts:\n");
    for (const auto& font : gSystemContext->builtinFonts) dumpFont(out, *font);
    return 0;
}

} // namespace tracemill::tmdump
