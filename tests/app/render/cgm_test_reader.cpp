#include "cgm_test_reader.h"

namespace tracemill::test {

using namespace render::cgm;

namespace {

class Cursor {
public:
    explicit Cursor(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
    bool AtEnd() const { return at_ == bytes_.size(); }
    bool Has(size_t n) const { return bytes_.size() - at_ >= n; }
    uint8_t Byte() { return bytes_[at_++]; }
    uint16_t Word() {
        const uint16_t word = uint16_t(bytes_[at_] << 8 | bytes_[at_ + 1]);
        at_ += 2;
        return word;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t at_ = 0;
};

// The parameters of one element, the partitions of the long form joined.
bool ReadParameters(Cursor& in, uint16_t header, std::vector<uint8_t>& data, int& partitions, std::string& error) {
    data.clear();
    partitions = 0;
    uint16_t length = ShortLengthOf(header);
    bool more = false;
    do {
        if (length == kLongFormLength || partitions > 0) {
            if (!in.Has(2)) return error = "long-form length cut off", false;
            const uint16_t word = in.Word();
            more = (word & kPartitionFlag) != 0;
            length = word & kMaxPartitionLength;
        }
        ++partitions;
        if (!in.Has(length + (length % 2))) return error = "parameters cut off", false;
        for (uint16_t i = 0; i < length; ++i) data.push_back(in.Byte());
        if (length % 2 && in.Byte() != 0) return error = "pad byte not zero", false;
    } while (more);
    return true;
}

int16_t IntegerAt(const std::vector<uint8_t>& data, size_t i) { return int16_t(data[i] << 8 | data[i + 1]); }

bool ReadString(const std::vector<uint8_t>& data, std::string& text, std::string& error) {
    if (data.empty() || data[0] == 255 || size_t(data[0]) + 1 != data.size())
        return error = "string length does not match its element", false;
    text.assign(data.begin() + 1, data.end());
    return true;
}

bool ReadColour(const std::vector<uint8_t>& data, render::ColorRef& colour, std::string& error) {
    if (data.size() != 3) return error = "colour is not three bytes", false;
    colour = gdi::rgb(data[0], data[1], data[2]);
    return true;
}

bool ReadPoints(const std::vector<uint8_t>& data, int partitions, CgmPrimitive& primitive, std::string& error) {
    if (data.size() % kPointSize) return error = "points are not four bytes each", false;
    for (size_t i = 0; i < data.size(); i += kPointSize) primitive.points.push_back({IntegerAt(data, i), IntegerAt(data, i + 2)});
    primitive.partitions = partitions;
    return true;
}

} // namespace

CgmFile ReadCgm(const std::vector<uint8_t>& bytes) {
    CgmFile file;
    Cursor in(bytes);
    render::ColorRef lineColour = 0, fillColour = 0;
    std::vector<uint8_t> data;
    bool ended = false;
    while (!in.AtEnd() && file.error.empty()) {
        if (ended) {
            file.error = "bytes after END METAFILE";
            break;
        }
        if (!in.Has(2)) {
            file.error = "command header cut off";
            break;
        }
        const uint16_t header = in.Word();
        const ElementId element = ElementOf(header);
        int partitions = 0;
        if (!ReadParameters(in, header, data, partitions, file.error)) break;
        if (file.elements.empty() && !(element == kBeginMetafile)) file.error = "no BEGIN METAFILE first";
        file.elements.push_back(element);
        if (element == kBeginMetafile) {
            ReadString(data, file.name, file.error);
        } else if (element == kMetafileDescription) {
            ReadString(data, file.description, file.error);
        } else if (element == kBeginPicture) {
            ReadString(data, file.pictureName, file.error);
        } else if (element == kVdcExtent) {
            if (data.size() != 8) file.error = "VDC extent is not four integers";
            else
                for (int i = 0; i < 4; ++i) file.vdcExtent[i] = IntegerAt(data, size_t(i) * 2);
        } else if (element == kLineColour) {
            ReadColour(data, lineColour, file.error);
        } else if (element == kFillColour) {
            ReadColour(data, fillColour, file.error);
        } else if (element == kEdgeColour) {
            ReadColour(data, file.edgeColour, file.error);
        } else if (element == kPolyline) {
            file.polylines.push_back({lineColour, {}, 0});
            ReadPoints(data, partitions, file.polylines.back(), file.error);
        } else if (element == kPolygon) {
            file.polygons.push_back({fillColour, {}, 0});
            ReadPoints(data, partitions, file.polygons.back(), file.error);
        } else if (element == kEndMetafile) {
            ended = true;
        } else if (data.size() % 2) {
            file.error = "an integer element of odd length";
        }
    }
    if (file.error.empty() && !ended) file.error = "no END METAFILE";
    return file;
}

} // namespace tracemill::test
