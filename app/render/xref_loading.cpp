#include "app/render/xref_loading.h"

#include <cstdio>

#include "app/render/cad_support_folder.h"
#include "app/render/conversion_calls.h"
#include "app/render/converted_file_cache.h"
#include "app/render/drawing_object.h"
#include "app/render/hook_sets.h"
#include "app/render/support_file_search.h"
#include "app/services/file_paths.h"
#include "app/convert/conversion_library.h"
#include "toolkit/core/drawing.h"
#include "toolkit/core/file_name_resolver.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill {
namespace {

struct OpenInProgress {
    std::string path;
    uint8_t stopFlag = 0;
};

OpenInProgress& openInProgress() {
    static OpenInProgress open;
    return open;
}

// The search of a reference's file; empty when none is found.
std::string findReference(const std::string& name, const CDrawingObject* drawingObject) {
    if (std::optional<std::string> direct = dbResolveFileName(name)) return *direct;
    const std::string fileName = SearchableFileName(name);
    if (fileName.empty()) return {};
    std::string list = GetCadSupportDir();
    const std::string& opening = openInProgress().path;
    if (!opening.empty()) {
        const std::string folder = GetPathFolder(opening);
        if (std::optional<std::string> beside = dbResolveFileName(folder + name)) return *beside;
        AppendSearchFolder(list, folder);
    }
    AppendDrawingSearchFolders(list, drawingObject);
    std::string found;
    SearchFileOnEnvPath(fileName, list, found);
    return !found.empty() && FileExists(found) ? found : std::string();
}

bool toolkitReads(const std::string& path) {
    Drawing* probe = rdOpenDrawing(path.c_str(), kOpenDropSwitchedOffKinds, 0);
    if (!probe) return false;
    dbFreeDrawing(probe);
    return true;
}

// Converts the file into a new temporary DWG of version "AC1015": its path, or empty. A
// conversion that asks for a password is tried once more with the drawing's.
std::string convertReference(const std::string& path, const std::string& password) {
    const std::string temporary = MakeTempFileName();
    if (temporary.empty()) return {};
    int result = ConvertDrawingFile(path.c_str(), nullptr, temporary.c_str(), kConvertVersion2000, kConvertFormatDwg);
    if (result == kConvertPasswordNeeded)
        result = ConvertDrawingFile(path.c_str(), password.c_str(), temporary.c_str(), kConvertVersion2000,
                                    kConvertFormatDwg);
    if (result == kConvertDone) return temporary;
    std::remove(temporary.c_str());
    return {};
}

} // namespace

void BeginDrawingOpen(std::string path, uint8_t stopFlag) { openInProgress() = {std::move(path), stopFlag}; }

void EndDrawingOpen() { openInProgress() = {}; }

const std::string& GetDrawingBeingOpened() { return openInProgress().path; }

int LoadXrefDrawing(const char* name, std::string& outPath, HostWord host) {
    const CDrawingObject* drawingObject = DrawingObjectOfHost(host);
    if (openInProgress().stopFlag || (drawingObject && drawingObject->GetStopFlag())) {
        outPath.clear();
        return 0;
    }
    const std::string given = name ? name : "";
    const std::string found = findReference(given, drawingObject);
    if (found.empty()) {
        outPath = given;
        return 0;
    }
    outPath = found;
    if (toolkitReads(found)) return 1;
    std::string converted;
    if (GetConvertedFileCache().Find(found, converted)) {
        outPath = converted;
        return 1;
    }
    converted = convertReference(found, drawingObject ? drawingObject->GetPassword() : std::string());
    if (converted.empty()) return 1;
    GetConvertedFileCache().Add(found, converted);
    outPath = converted;
    return 1;
}

} // namespace tracemill
