// acis_Subtype: the base of the subtype data that a spline surface or an intersection curve
// carries in braces (acis_spl_sur, acis_int_cur).
#pragma once

#include <iosfwd>

namespace tracemill {

class acis_Subtype {
public:
    virtual ~acis_Subtype() = default;
    // "spl_sur" or "int_cur".
    virtual const char* typeName() const = 0;
    // Writes the subtype's name.
    virtual void print(std::ostream& out) const = 0;

protected:
    acis_Subtype() = default;
    acis_Subtype(const acis_Subtype&) = delete;
    acis_Subtype& operator=(const acis_Subtype&) = delete;
};

} // namespace tracemill
