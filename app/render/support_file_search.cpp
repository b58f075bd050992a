#include "app/render/support_file_search.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "app/render/cad_support_folder.h"
#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/render/shx_search_dirs.h"
#include "app/services/file_paths.h"
#include "toolkit/core/file_name_resolver.h"

namespace tracemill {
namespace {

constexpr const char* kSearchVariable = "KirvGlintviewTempEnv";

std::string& programFolder() {
    static std::string folder;
    return folder;
}

std::string& currentDrawingFolder() {
    static std::string folder;
    return folder;
}

std::string absolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? path : absolute.lexically_normal().string();
}

std::string joinFolder(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder + name;
    return folder + "/" + name;
}

} // namespace

void SetProgramFolder(std::string folder) { programFolder() = std::move(folder); }
const std::string& GetProgramFolder() { return programFolder(); }

void SetCurrentDrawingFolder(std::string folder) { currentDrawingFolder() = std::move(folder); }
const std::string& GetCurrentDrawingFolder() { return currentDrawingFolder(); }

std::string GetCurrentDir() {
    std::error_code error;
    const std::filesystem::path current = std::filesystem::current_path(error);
    return error ? std::string() : current.string();
}

void AppendSearchFolder(std::string& list, const std::string& folder) {
    list += ';';
    list += folder;
}

void AppendDrawingSearchFolders(std::string& list, const CDrawingObject* drawingObject) {
    if (drawingObject) AppendSearchFolder(list, GetPathFolder(drawingObject->GetSourcePath()));
    if (const std::optional<std::vector<std::string>> dirs = GetShxDirList()) {
        for (const std::string& dir : *dirs) AppendSearchFolder(list, dir);
    }
    AppendSearchFolder(list, GetProgramFolder());
    AppendSearchFolder(list, GetCurrentDir());
}

void SearchFileOnEnvPath(const std::string& fileName, const std::string& dirList, std::string& foundPath) {
    if (fileName.empty() || dirList.empty()) return;
    ::setenv(kSearchVariable, dirList.c_str(), 1);
    foundPath.clear();
    if (std::optional<std::string> here = dbResolveFileName(fileName)) {
        foundPath = absolutePath(*here);
        return;
    }
    for (const std::string& folder : dbSplitSearchList(dirList)) {
        if (std::optional<std::string> found = dbResolveFileName(joinFolder(folder, fileName))) {
            foundPath = absolutePath(*found);
            return;
        }
    }
}

std::string SearchableFileName(const std::string& name) {
    std::string_view file = name;
    if (dbHasDrivePrefix(file)) file.remove_prefix(2);
    const size_t slash = file.find_last_of("\\/");
    if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
    if (file.size() >= 2 && file[1] == '.') return {};
    return std::string(file);
}

int FindSupportFile(const char* name, std::string& outPath, HostWord host) {
    const std::string given = name ? name : "";
    if (std::optional<std::string> direct = dbResolveFileName(given)) {
        outPath = *direct;
        return 1;
    }
    const std::string fileName = SearchableFileName(given);
    outPath = given;
    if (fileName.empty()) return 0;

    std::string list = GetCadSupportDir();
    AppendDrawingSearchFolders(list, DrawingObjectOfHost(host));
    std::string found;
    SearchFileOnEnvPath(fileName, list, found);
    if (found.empty() || !FileExists(found)) return 0;
    outPath = found;
    return 1;
}

bool FindAcadLinFile(std::string& outPath) {
    std::string list = GetCadSupportDir();
    AppendSearchFolder(list, GetCurrentDrawingFolder());
    AppendSearchFolder(list, GetProgramFolder());
    AppendSearchFolder(list, GetCurrentDir());
    std::string found;
    SearchFileOnEnvPath("acad.lin", list, found);
    if (found.empty()) return false;
    outPath = found;
    return true;
}

} // namespace tracemill
