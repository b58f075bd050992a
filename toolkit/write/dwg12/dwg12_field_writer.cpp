#include "toolkit/write/dwg12/dwg12_field_writer.h"

#include "toolkit/core/code_page_text.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/system_context.h"
#include "toolkit/read/sanitize_double.h"
#include "toolkit/write/dxf/dxf_group_writer.h"

namespace tracemill {
namespace {

bool holdsDoubleByteCharacters(const std::string& text, int codePage) {
    for (unsigned char c : text) {
        if (dbIsLeadByte(c, codePage)) return true;
    }
    return false;
}

} // namespace

double Dwg12FieldWriter::readAs(double v) {
    return SanitizeDouble(doubleBits(v));
}

void wrDwg12PutShort(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

void wrDwg12PutDouble(std::vector<uint8_t>& out, double value) {
    uint8_t bytes[8];
    putLe64(bytes, doubleBits(Dwg12FieldWriter::readAs(value)));
    out.insert(out.end(), bytes, bytes + 8);
}

void Dwg12FieldWriter::putDouble(double v) {
    wrDwg12PutDouble(out_, v);
}

void Dwg12FieldWriter::name(std::string& v, size_t width) {
    size_t length = v.size();
    if (length > width) {
        length = dbFittingLength(v, width, codePage_);
        dbReportWarning(kWarningDxfTextCut);
    }
    out_.insert(out_.end(), v.begin(), v.begin() + ptrdiff_t(length));
    out_.insert(out_.end(), width - length, 0);
}

void Dwg12FieldWriter::text(std::string& v, size_t max) {
    const size_t padding = holdsDoubleByteCharacters(v, codePage_) ? 2 : 0;
    size_t length = v.size() + padding;
    if (length > max || length > 0xFFFF) {
        failed_ = true;
        length = 0;
    }
    wrDwg12PutShort(out_, uint16_t(length));
    if (length == 0) return;
    out_.insert(out_.end(), v.begin(), v.end());
    out_.insert(out_.end(), padding, 0);
}

void Dwg12FieldWriter::ext(uint32_t bit) {
    if (!header) return;
    const Point3& e = header->extrusion;
    if (readAs(e.x) == 0.0 && readAs(e.y) == 0.0 && readAs(e.z) == 1.0) return;
    announce(bit);
    Point3 extrusion = e;
    rd3(extrusion);
}

} // namespace tracemill
