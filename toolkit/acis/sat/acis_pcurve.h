// acis_PCurve ("pcurve"): a parameter curve of a coedge on its face's surface. A type 0
// carries its own data ("exppc": in a subtype block from version 105, in place before it);
// another type names it by one word.
#pragma once

#include <memory>

#include "toolkit/acis/sat/acis_entity.h"

namespace tracemill {

class acis_int_cur;

class acis_PCurve final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::PCurve; }
    acis_PCurve();
    ~acis_PCurve() override;

    int type() const { return mType; }
    // 1 when the direction word is "reversed" (or "1"), else 0.
    int reversed() const { return mReversed; }
    // The intcurve data of a type 0 pcurve, or null.
    const acis_int_cur* curveData() const { return mData; }
    double parameter1() const { return mParameter1; }
    double parameter2() const { return mParameter2; }

    // The type; a word; for type 0 the data; then two floats.
    void readFields(satParser& parser) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    int mType = 0;
    int mReversed = 0;
    const acis_int_cur* mData = nullptr;
    // Data read in place (before version 105) belongs to the pcurve.
    std::unique_ptr<acis_int_cur> mOwnData;
    double mParameter1 = 0.0;
    double mParameter2 = 0.0;
};

} // namespace tracemill
