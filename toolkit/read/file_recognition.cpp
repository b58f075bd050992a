#include "toolkit/read/file_recognition.h"

#include <algorithm>

#include "toolkit/core/system_context.h"

namespace tracemill {
namespace {

std::string_view asText(std::span<const uint8_t> bytes) {
    return std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

bool startsWith(std::span<const uint8_t> bytes, std::string_view prefix) {
    return asText(bytes).starts_with(prefix);
}

// Every DWG signature starts with "AC" and a digit: "AC1.40" and "AC2.10" of the oldest
// versions as much as "AC1002" to "AC1015" and the later ones. A DXF file never starts so.
bool namesDwgSignature(std::span<const uint8_t> head) {
    return startsWith(head, "AC") && head.size() > 2 && head[2] >= '0' && head[2] <= '9';
}

} // namespace

int rdFindSignature(std::span<const uint8_t> buffer, std::string_view text) {
    return asText(buffer).find(text) != std::string_view::npos ? 1 : 0;
}

HeadVersion rdVersionIndexOfHead(std::span<const uint8_t> head) {
    for (int index = 0; index < 8; ++index)
        if (rdFindSignature(head, kVersionSignatures[index])) return {index, false};
    if (startsWith(head, "AC1013")) return {kVersionAC1014, true};
    if (startsWith(head, "AC1500")) return {kVersionAC1015, false};
    return {};
}

int rdDwgVersionIndex(std::span<const uint8_t> fileStart, bool acceptAc1013) {
    std::string_view signature = asText(fileStart.first(std::min<size_t>(fileStart.size(), 6)));
    int index = signature.size() == 6 ? dbVersionIndex(signature) : kVersionUnknown;
    if (index != kVersionUnknown) return index;
    if (signature == "AC1013") {
        if (acceptAc1013) return kVersionAC1014;
        dbSetError(286);
        return kVersionUnknown;
    }
    if (signature == "AC1500") return kVersionAC1015;
    dbSetError(8);
    return kVersionUnknown;
}

FileKind rdRecognizeFile(std::span<const uint8_t> head) {
    FileKind kind;
    kind.version = rdVersionIndexOfHead(head);
    if (namesDwgSignature(head)) return kind;
    kind.sourceFormat =
        startsWith(head, kBinaryDxfSentinel) ? SourceFormat::BinaryDxf : SourceFormat::AsciiDxf;
    kind.dxfAccepted = rdFindSignature(head, "SECTION") || startsWith(head, "999");
    return kind;
}

} // namespace tracemill
