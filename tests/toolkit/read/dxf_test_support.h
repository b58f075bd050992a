// Helpers of the DXF reader tests: DXF text built from groups, written to a temporary file and
// loaded, and the stored records of a loaded drawing.
#pragma once

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "toolkit/core/drawing.h"
#include "toolkit/core/entity_types.h"
#include "toolkit/read/drawing_loader.h"

namespace tracemill::test {

using DxfGroups = std::vector<std::pair<int, std::string>>;

// The ASCII form of groups: a code line and a value line each.
inline std::string dxfText(const DxfGroups& groups) {
    std::string text;
    for (const auto& [code, value] : groups) {
        char line[16];
        std::snprintf(line, sizeof line, "%3d\n", code);
        text += line;
        text += value;
        text += '\n';
    }
    return text;
}

// The groups of several parts, one after the other.
inline DxfGroups concat(std::initializer_list<DxfGroups> parts) {
    DxfGroups out;
    for (const DxfGroups& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

// A drawing of the given version with the sections given (each a list of groups within its
// SECTION ... ENDSEC), ended by EOF.
inline std::string dxfDrawing(const std::string& version, std::initializer_list<std::pair<std::string, DxfGroups>> sections) {
    DxfGroups groups{{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, version}, {0, "ENDSEC"}};
    for (const auto& [name, body] : sections) {
        groups.push_back({0, "SECTION"});
        groups.push_back({2, name});
        groups.insert(groups.end(), body.begin(), body.end());
        groups.push_back({0, "ENDSEC"});
    }
    groups.push_back({0, "EOF"});
    return dxfText(groups);
}

// A file that is removed again when the object goes.
class TempFile {
public:
    explicit TempFile(const std::string& bytes, const std::string& suffix = ".dxf") {
        static int counter = 0;
        path_ = std::filesystem::temp_directory_path() /
                ("tracemill_dxf_" + std::to_string(::getpid()) + "_" + std::to_string(counter++) + suffix);
        std::ofstream out(path_, std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

struct DrawingDeleter {
    void operator()(Drawing* drawing) const { dbFreeDrawing(drawing); }
};
using DrawingPtr = std::unique_ptr<Drawing, DrawingDeleter>;

inline DrawingPtr loadFile(const std::string& path, int finishDefaults = 0) {
    return DrawingPtr(rdOpenDrawing(path.c_str(), 1, finishDefaults));
}

inline DrawingPtr loadText(const std::string& text, int finishDefaults = 0) {
    TempFile file(text);
    return loadFile(file.path(), finishDefaults);
}

// The names of a table's records, in list order.
template <class List>
std::vector<std::string> names(const List& list) {
    std::vector<std::string> out;
    for (const auto& node : list) out.push_back(node.record.name);
    return out;
}

// The entities of a list, in list order.
inline std::vector<const EntityRecord*> entities(const EntityList* list) {
    std::vector<const EntityRecord*> out;
    if (list) {
        for (const EntityNode& node : *list) out.push_back(&node.record);
    }
    return out;
}

} // namespace tracemill::test
