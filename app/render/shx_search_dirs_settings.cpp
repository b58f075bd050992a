// The font search directories in the settings: "Option/ShxDirs", strings "Dir0", "Dir1" ...
#include "app/render/shx_search_dirs.h"
#include "app/services/registry_key.h"

namespace tracemill {
namespace {

constexpr const char* kShxDirsKey = "Option/ShxDirs";

std::string valueName(size_t index) { return "Dir" + std::to_string(index); }

} // namespace

void LoadShxSearchDirs() {
    if (!GetShxDirList()) return;
    CRegistryKey key;
    if (key.Open(kShxDirsKey) != kRegSuccess) return;
    std::vector<std::string> dirs;
    std::string dir;
    for (size_t i = 0; key.QueryString(dir, valueName(i)) == kRegSuccess; ++i) dirs.push_back(dir);
    SetShxDirList(std::move(dirs));
}

void SaveShxSearchDirs() {
    CRegistryKey key;
    if (key.Create(kShxDirsKey) != kRegSuccess) return;
    const std::optional<std::vector<std::string>> dirs = GetShxDirList();
    if (!dirs) return;
    for (size_t i = 0; i < dirs->size(); ++i) key.SetString((*dirs)[i], valueName(i));
}

} // namespace tracemill
