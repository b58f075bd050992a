#include "app/shell/program_files.h"

#include "app/services/file_paths.h"

namespace tracemill {

std::vector<std::string> ProgramFileFolders(const std::string& programFolder) {
    return {programFolder, programFolder + "../share/tracemill/"};
}

std::string FindProgramFile(const std::string& programFolder, const std::string& fileName) {
    if (fileName.empty()) return {};
    for (const std::string& folder : ProgramFileFolders(programFolder)) {
        if (FileExists(folder + fileName)) return folder + fileName;
    }
    return {};
}

} // namespace tracemill
