#include "toolkit/core/style_code_pages.h"

#include "toolkit/core/name_compare.h"
#include "toolkit/core/system_context.h"

namespace tracemill {

int16_t dbStyleCodePage(const Drawing* drawing, std::string_view name) {
    if (drawing) {
        for (const StyleCodePage& entry : drawing->styleCodePages) {
            if (dbEqualsNoCase(entry.name, name)) return entry.codePage;
        }
    }
    return int16_t(dbGetDefaultCodePage());
}

} // namespace tracemill
