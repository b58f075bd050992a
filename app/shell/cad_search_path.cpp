#include "app/shell/cad_search_path.h"

#include <string>

#include "app/render/cad_support_folder.h"
#include "app/services/registry_key.h"

namespace tracemill {

void FindCadSearchPath() {
    CRegistryKey key;
    std::string path;
    if (key.Open("Option") == kRegSuccess && key.QueryString(path, "CadSupportPath") == kRegSuccess)
        SetCadSupportDir(path);
}

} // namespace tracemill
