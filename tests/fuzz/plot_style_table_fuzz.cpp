// Fuzz harness for plot style table files and their text.
//
// Input: byte 0 bit 0 chooses what the rest is (0 the bytes of a file, 1 the inflated text).
// A table that reads must be consistent: every colour entry names one of its styles.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <span>
#include <string_view>

#include "toolkit/core/plot_style_table.h"
#include "toolkit/core/system_context.h"

using namespace tracemill;

namespace {

void check(const PlotStyleTable& table) {
    if (!table.aciStyles.empty() && table.aciStyles.size() != size_t(kAciStyleCount)) std::abort();
    for (int32_t style : table.aciStyles) {
        if (style < -1 || style >= int32_t(table.styles.size())) std::abort();
    }
    for (const PlotStyle& style : table.styles) {
        if (style.name.empty() || style.name.size() > kPlotStyleTextLimit) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    SystemContext context;
    gSystemContext = &context;
    if (data[0] & 1) {
        PlotStyleTable table;
        if (dbParsePlotStyleText(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1), table)) {
            check(table);
        }
    } else {
        std::unique_ptr<PlotStyleTable> table;
        if (dbPlotStyleTableFromBytes(std::span<const uint8_t>(data + 1, size - 1), table)) {
            if (!table) std::abort();
            check(*table);
        } else if (table) {
            std::abort();
        }
    }
    gSystemContext = nullptr;
    return 0;
}
