#include "toolkit/write/dwg13/text_output.h"

#include <algorithm>

#include "toolkit/core/code_page_text.h"
#include "toolkit/core/system_context.h"
#include "toolkit/core/version_index.h"
#include "toolkit/write/dxf/dxf_group_writer.h"

namespace tracemill {

int wrPutTextCut(BitWriter& bits, std::string_view text, int codePage) {
    if (text.size() > kDwgTextLimit) {
        dbReportWarning(kWarningTextCut);
        text = text.substr(0, dbFittingLength(text, kDwgTextLimit, codePage));
    }
    return wrPutText(bits, text);
}

std::string wrDwgSymbolName(const Drawing& drawing, const OutputContext& output, std::string_view name, int limit,
                            int32_t number) {
    if (output.versionIndex >= kVersionAC1015) return std::string(name);
    return wrConvertSymbolName(drawing, &output, name, number, std::min(limit, 31));
}

int wrPutTextLimited(const Drawing& drawing, OutputContext& output, BitWriter& bits, std::string_view text, int limit,
                     int32_t number) {
    return wrPutTextCut(bits, wrDwgSymbolName(drawing, output, text, limit, number), output.header.dwgcodepage);
}

} // namespace tracemill
