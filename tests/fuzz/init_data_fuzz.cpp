// Fuzz harness: the system context's creation and every code-page operation over damaged
// initialisation data. The input is the data; its first bytes also serve as text.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/code_page_text.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"

using namespace tracemill;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;  // an empty block stands for the built-in data
    dbSetInitDataMemoryBlock(std::span<const uint8_t>(data, size));
    dbUseBuiltinInitData();
    int error = 0;
    if (dbCreateSystemContext(nullptr, error) && dbInitToolkit()) {
        const std::string_view text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 64));
        for (int page = 0; page < kCodePageCount; ++page) {
            uint16_t value = 0;
            for (uint16_t code : {0x41, 0x80, 0xA0, 0xFF, 0x8140, 0x8200, 0xFFFF})
                dbCodePageToUnicode(page, code, value);
            // A page whose tables cannot be read is tried again on every use: walk texts only
            // through pages that load.
            if (dbCodePageLoad(page) < 0) continue;
            for (int byte = 0x80; byte < 0x100; ++byte) {
                dbCodePageToUnicode(page, uint16_t(byte), value);
                dbIsLeadByte(uint8_t(byte), page);
            }
            dbCountChars(text, page);
            dbFindChar(text, '|', page);
            std::string copy(text);
            dbUpperCaseCp(copy, page);
            std::string_view cursor = text;
            while (!cursor.empty()) dbNextChar(cursor, page);
        }
    }
    dbTermToolkit();
    dbDestroySystemContext();
    dbSetInitDataMemoryBlock({});
    return 0;
}
