#include "dwg13_header_coverage.h"

#include <type_traits>
#include <variant>

#include "toolkit/core/header_block.h"
#include "toolkit/core/version_index.h"
#include "toolkit/read/dwg13_header_layout.h"

namespace tracemill::test {
namespace {

// A field stream that notes which members of the header block a layout passes.
class RecordingFields {
public:
    static constexpr bool kReading = false;
    RecordingFields(const HeaderBlock& header, int version, std::set<size_t>& offsets)
        : base_(reinterpret_cast<const char*>(&header)), version_(version), offsets_(offsets) {}
    bool isR2000() const { return version_ >= kVersionAC1015; }
    bool isR14() const { return version_ == kVersionAC1014; }
    bool isR13() const { return version_ <= kVersionAC1012; }
    template <class T> void b(const T& v) { note(&v); }
    template <class T> void bs(const T& v) { note(&v); }
    template <class T> void bl(const T& v) { note(&v); }
    template <class T> void rc(const T& v) { note(&v); }
    void bd(const double& v) { note(&v); }
    void rd2(const Point2& v) { note(&v); }
    void bd3(const Point3& v) { note(&v); }
    void t(const std::string& v, size_t) { note(&v); }
    void h(const Handle& v, unsigned) { note(&v); }
    void rel(const Handle& v, unsigned) { note(&v); }

private:
    void note(const void* member) {
        const char* at = static_cast<const char*>(member);
        if (at >= base_ && at < base_ + sizeof(HeaderBlock)) offsets_.insert(size_t(at - base_));
    }
    const char* base_;
    int version_;
    std::set<size_t>& offsets_;
};

// The offset of a variable's member in the header block (the element of USERI and USERR).
size_t memberOffset(const HeaderBlock& h, const HeaderVariable& v) {
    const char* base = reinterpret_cast<const char*>(&h);
    return std::visit(
        [&](auto member) -> size_t {
            const char* at = reinterpret_cast<const char*>(&(h.*member));
            using Member = decltype(member);
            if constexpr (std::is_same_v<Member, std::array<int16_t, 5> HeaderBlock::*> ||
                          std::is_same_v<Member, std::array<double, 5> HeaderBlock::*>)
                at = reinterpret_cast<const char*>(&(h.*member)[v.limit]);
            return size_t(at - base);
        },
        v.field);
}

} // namespace

std::set<std::string> dwg13CarriedHeaderVariables(int versionIndex) {
    HeaderBlock h;
    dbInitHeader(h);
    std::set<size_t> passed;
    RecordingFields io(h, versionIndex, passed);
    Dwg13HeaderHandles handles;
    uint32_t flags = 0;
    int16_t unit = 0;
    dwg13HeaderVariables(io, h, handles, flags, unit);
    std::set<std::string> carried = {"DWGCODEPAGE", "ACADVER", "ACADMAINTVER"};
    if (versionIndex >= kVersionAC1014) carried.insert("MEASUREMENT");
    if (versionIndex >= kVersionAC1015) {
        for (const char* name : {"CELWEIGHT", "ENDCAPS", "JOINSTYLE", "LWDISPLAY", "XEDIT", "EXTNAMES", "PSTYLEMODE"})
            carried.insert(name);
    } else {
        for (const char* name : {"DIMLUNIT", "DIMFRAC", "DIMUNIT"}) carried.insert(name);
    }
    for (const HeaderVariable& v : dbHeaderVariableTable())
        if (passed.count(memberOffset(h, v))) carried.insert(std::string(v.name));
    return carried;
}

} // namespace tracemill::test
