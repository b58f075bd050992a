// CPcxFile: writes a CDib as an 8-bit, single-plane, run-length encoded PCX file with a
// 256-colour palette, and reads such a file back into an 8-bit CDib. It keeps no error text.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <vector>

#include "app/image/dib.h"

namespace tracemill {

class CPcxFile {
public:
    CPcxFile();
    explicit CPcxFile(const CDib& dib); // owns a copy
    virtual ~CPcxFile();

    bool SetDib(const CDib* dib);
    const CDib* GetDib() const { return dib_.get(); }

    bool Save(const std::filesystem::path& path, const CDib* dib = nullptr);
    bool Load(const std::filesystem::path& path);

private:
    std::unique_ptr<CDib> dib_;
};

// One row of bytes run-length encoded: a run of k equal bytes (2 <= k <= 64) becomes the
// count k - 1 and the value, and its last byte follows on its own; a single byte of 0xC0
// or more is preceded by the count 1.
void EncodePcxRow(std::span<const uint8_t> row, std::vector<uint8_t>& out);

} // namespace tracemill
