// A reader of the binary CGM files the CGM device writes, written from the encoding rules
// (command headers in the short and long form, the partition flag, padding to even lengths,
// short strings, 16-bit integers, direct colours). It walks a file element by element and
// gives back the picture's polylines and polygons with their colours, or what is wrong.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/render/devices/cgm_format.h"
#include "app/render/devices/output_device.h"
#include "app/render/devices/point_buffer.h"

namespace tracemill::test {

struct CgmPrimitive {
    render::ColorRef colour = 0;
    std::vector<render::ShortPoint> points;
    int partitions = 0; // partitions of the element it came from
};

struct CgmFile {
    std::string error; // empty when the file was read to its END METAFILE
    std::string name;  // the string of BEGIN METAFILE
    std::string description;
    std::string pictureName;
    int16_t vdcExtent[4] = {};
    std::vector<render::cgm::ElementId> elements; // in file order
    std::vector<CgmPrimitive> polylines;          // with the line colour in force
    std::vector<CgmPrimitive> polygons;           // with the fill colour in force
    render::ColorRef edgeColour = 0;
};

CgmFile ReadCgm(const std::vector<uint8_t>& bytes);

} // namespace tracemill::test
