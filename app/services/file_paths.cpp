#include "app/services/file_paths.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "toolkit/core/name_compare.h"

namespace tracemill {

namespace {

struct PathPieces {
    std::string_view folder;
    std::string_view title;
    std::string_view extension;
};

PathPieces splitPath(std::string_view path) {
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const std::string_view name = path.substr(nameStart);
    const size_t dot = name.rfind('.');
    PathPieces pieces;
    pieces.folder = path.substr(0, nameStart);
    pieces.title = name.substr(0, dot);
    if (dot != std::string_view::npos) pieces.extension = name.substr(dot);
    return pieces;
}

bool statIs(const std::string& path, bool directory) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) == directory;
}

bool makeDirectory(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0 || (errno == EEXIST && DirectoryExists(path));
}

} // namespace

std::string GetPathFolder(std::string_view path) { return std::string(splitPath(path).folder); }

std::string GetPathFileName(std::string_view path) {
    const PathPieces p = splitPath(path);
    return std::string(p.title) + std::string(p.extension);
}

std::string GetPathTitle(std::string_view path) { return std::string(splitPath(path).title); }

std::string GetPathExt(std::string_view path) { return std::string(splitPath(path).extension); }

std::string ChangePathExt(std::string_view path, std::string_view extension) {
    const PathPieces p = splitPath(path);
    return std::string(p.folder) + std::string(p.title) + std::string(extension);
}

bool FileExists(const std::string& path) { return statIs(path, false); }

bool DirectoryExists(const std::string& path) { return statIs(path, true); }

bool CreateDirectoryPath(const std::string& path) {
    // Every folder on the way; the empty prefix before a leading '/' is the root.
    for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        const std::string prefix = path.substr(0, slash);
        if (prefix.empty() || DirectoryExists(prefix)) continue;
        if (!makeDirectory(prefix)) return false;
    }
    if (path.empty() || path.back() == '/') return true;
    return DirectoryExists(path) || makeDirectory(path);
}

std::string MakeTempFileName() {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) folder = "/tmp";
    std::string name = (folder / "dwgXXXXXX").string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return {};
    ::close(fd);
    return name;
}

int64_t GetFileSizeByName(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return 0;
    return int64_t(info.st_size);
}

int GetFileKind(std::string_view extension) {
    struct Kind {
        std::string_view extension;
        int kind;
    };
    static constexpr Kind kKinds[] = {
        {".dwg", 0},  {".dxf", 1}, {".dwt", 2}, {".bmp", 3}, {".jpg", 3}, {".jpeg", 3}, {".tif", 3},
        {".tiff", 3}, {".rle", 3}, {".dib", 3}, {".pcx", 3}, {".pct", 3}, {".png", 3},  {".tga", 3},
        {".shx", 4},  {".ttf", 5}, {".ttc", 6}, {".pc3", 7}, {".stb", 8}, {".fmp", 9},
    };
    for (const Kind& k : kKinds)
        if (dbCompareNoCase(extension, k.extension) == 0) return k.kind;
    return 10;
}

int CompareFilesByKind(std::string_view a, std::string_view b) {
    const PathPieces x = splitPath(a), y = splitPath(b);
    const int kindX = GetFileKind(x.extension), kindY = GetFileKind(y.extension);
    if (kindX != kindY) return kindX < kindY ? -1 : 1;
    if (const int c = dbCompareNoCase(x.extension, y.extension)) return c;
    if (const int c = dbCompareNoCase(x.title, y.title)) return c;
    return dbCompareNoCase(x.folder, y.folder);
}

} // namespace tracemill
