// JpegFile: moves pictures between CDib and JPEG files through libjpeg. Saving writes a
// baseline JPEG of 3 components (RGB) or 1 (greyscale); loading gives a 24-bit CDib.
// Failures keep a last-error text, with libjpeg's own message for damaged files.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/image/dib.h"

namespace tracemill {

class JpegFile {
public:
    JpegFile();
    explicit JpegFile(const CDib& dib); // owns a copy
    virtual ~JpegFile();

    bool SetDib(const CDib* dib);
    const CDib* GetDib() const { return dib_.get(); }

    bool Load(const std::filesystem::path& path);
    // Writes `dib` (or the owned image) in colour or grey at a quality of 0 to 100.
    bool Save(const std::filesystem::path& path, const CDib* dib, bool colour, int quality);
    std::string GetErrorString() const { return error_; }

private:
    std::unique_ptr<CDib> dib_;
    std::string error_ = "No Error";
};

} // namespace tracemill
