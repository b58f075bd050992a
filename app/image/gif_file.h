// CGifFile: writes a CDib as a GIF87a file (reduced to 8 bits with an octree palette and
// compressed with the variable-length LZW coder) and reads a GIF87a or GIF89a file (its
// first image) into a 24-bit CDib. Failures keep a last-error text.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/image/dib.h"

namespace tracemill {

class CGifFile {
public:
    CGifFile();
    explicit CGifFile(const CDib& dib); // owns a copy
    virtual ~CGifFile();

    // Owns a copy of `dib`; false for none or an empty one.
    bool SetDib(const CDib* dib);
    const CDib* GetDib() const { return dib_.get(); }

    // Writes `dib`, or the owned image when none is given.
    bool Save(const std::filesystem::path& path, const CDib* dib = nullptr);
    bool Load(const std::filesystem::path& path);
    std::string GetErrorString() const { return error_; }

private:
    std::unique_ptr<CDib> dib_;
    std::string error_ = "No Error";
};

} // namespace tracemill
