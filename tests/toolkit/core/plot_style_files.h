// Plot style table files made by the tests: the table text packed with zlib behind the head.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/core/byte_order.h"
#include "toolkit/core/plot_style_table.h"

namespace tracemill::test {

// The file bytes of a table text: the 52-byte head (not interpreted), the two sizes and the
// zlib stream.
inline std::vector<uint8_t> packPlotStyleText(std::string_view text) {
    uLongf packedSize = compressBound(uLong(text.size()));
    std::vector<uint8_t> packed(packedSize);
    EXPECT_EQ(compress2(packed.data(), &packedSize, reinterpret_cast<const Bytef*>(text.data()), uLong(text.size()),
                        Z_BEST_COMPRESSION),
              Z_OK);
    packed.resize(packedSize);
    std::vector<uint8_t> file(size_t(kPlotStyleDataOffset), ' ');
    const std::string_view banner = "PIAFILEVERSION_2.0,CTBVER1,compress\r\npmzlibcodec";
    std::copy(banner.begin(), banner.end(), file.begin());
    putLe32(file.data() + kPlotStyleUnpackedSizeOffset, uint32_t(text.size()));
    putLe32(file.data() + kPlotStylePackedSizeOffset, uint32_t(packed.size()));
    file.insert(file.end(), packed.begin(), packed.end());
    return file;
}

// A file in the temporary folder, removed again at the end of the test.
class TemporaryFile {
public:
    explicit TemporaryFile(std::string_view name)
        : path_(std::filesystem::temp_directory_path() /
                ("tracemill_" + std::to_string(::getpid()) + "_" + std::string(name))) {}
    ~TemporaryFile() { std::filesystem::remove(path_); }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::string& write(const std::vector<uint8_t>& bytes) {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                     std::streamsize(bytes.size()));
        text_ = path_.string();
        return text_;
    }
    std::string path() const { return path_.string(); }

private:
    std::filesystem::path path_;
    std::string text_;
};

// A colour-dependent table with two styles, a colour table and custom lineweights.
inline constexpr std::string_view kColourTableText =
    "description=\"Test table\n"
    "aci_table_available=TRUE\n"
    "scale_factor=1.5\n"
    "apply_factor=FALSE\n"
    "custom_lineweight_display_units=TRUE\n"
    "aci_table{\n"
    " 0=\"Color_1\n"
    " 1=\"Color_2\n"
    " 2=\"Missing\n"
    " 300=\"Color_1\n"
    "}\n"
    "plot_style{\n"
    " 0{\n"
    "  name=\"Color_1\n"
    "  localized_name=\"Farbe_1\n"
    "  description=\"\n"
    "  color=-1006632961\n"
    "  color_policy=1\n"
    "  physical_pen_number=3\n"
    "  virtual_pen_number=4\n"
    "  screen=100\n"
    "  linepattern_size=0.5\n"
    "  linetype=31\n"
    "  adaptive_linetype=TRUE\n"
    "  lineweight=7\n"
    "  fill_style=73\n"
    "  end_style=4\n"
    "  join_style=5\n"
    " }\n"
    " 1{\n"
    "  localized_name=\"Unnamed\n"
    "  color=5\n"
    " }\n"
    " 2{\n"
    "  name=\"Color_2\n"
    "  localized_name=\"Farbe_2\n"
    "  lineweight=12\n"
    " }\n"
    "}\n"
    "custom_lineweight_table{\n"
    " 0=0.00\n"
    " 1=0.05\n"
    " 8=0.30\n"
    " 26=2.5\n"
    " 27=9.0\n"
    "}\n";

} // namespace tracemill::test
