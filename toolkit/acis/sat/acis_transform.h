// acis_Transform ("transform"): a body's placement, 13 floats and three flag words.
#pragma once

#include <array>

#include "toolkit/acis/sat/acis_entity.h"

namespace tracemill {

class acis_Transform final : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::Transform; }
    acis_Transform();

    // The 4 x 4 matrix, row by row: rows 0 to 2 hold the nine rotation values in their first
    // three columns and 0 in the fourth; row 3 holds the translation x, y, z and the scale.
    double at(int row, int column) const { return mMatrix[size_t(4 * row + column)]; }
    bool rotates() const { return mRotate; }
    bool reflects() const { return mReflect; }
    bool shears() const { return mShear; }

    // 12 floats (three rows of three, then the translation), the scale, and the words of the
    // flags: "1" or "rotate", "1" or "reflect", "1" or "shear" set them.
    void readFields(satParser& parser) override;

protected:
    void printFields(std::ostream& out) const override;

private:
    std::array<double, 16> mMatrix;
    bool mRotate = false;
    bool mReflect = false;
    bool mShear = false;
};

} // namespace tracemill
