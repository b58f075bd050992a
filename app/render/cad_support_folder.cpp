#include "app/render/cad_support_folder.h"

namespace tracemill {

namespace {

std::string& cadSupportDir() {
    static std::string folder;
    return folder;
}

} // namespace

void SetCadSupportDir(std::string_view path) {
    if (!path.empty()) cadSupportDir() = path;
}

const std::string& GetCadSupportDir() { return cadSupportDir(); }

} // namespace tracemill
