// The attribute records: acis_Attrib with its chain references, the colour attributes and the
// attributes that are read past. Any record word ending in "attrib" that has no class of its
// own is an acis_IgnoredAttrib.
#pragma once

#include <array>

#include "toolkit/acis/sat/acis_entity.h"

namespace tracemill {

// The chain of attributes: next [1200], previous [1201], owner [1202].
class acis_Attrib : public acis_Entity {
public:
    static bool isKindOf(AcisKind kind) { return isAcisAttribKind(kind); }

    acis_Attrib* next() const { return mNext; }
    acis_Attrib* previous() const { return mPrevious; }
    acis_Entity* owner() const { return mOwner; }
    // The SAT type name of the concrete attribute.
    virtual const char* typeName() const = 0;

    void readFields(satParser& parser) override;
    void setPointerField(int field, acis_Entity* target) override;

protected:
    explicit acis_Attrib(AcisKind kind) : acis_Entity(kind) {}
    void printFields(std::ostream& out) const override;

private:
    acis_Attrib* mNext = nullptr;
    acis_Attrib* mPrevious = nullptr;
    acis_Entity* mOwner = nullptr;
};

// An attribute whose data is skipped up to its '#'.
class acis_IgnoredAttrib final : public acis_Attrib {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::IgnoredAttrib; }
    acis_IgnoredAttrib() : acis_Attrib(AcisKind::IgnoredAttrib) {}

    const char* typeName() const override { return "IGNORED-attrib"; }
    void readFields(satParser& parser) override;
};

// The colour attributes: a colour of red, green and blue, each 0 to 1 (all 0 at first).
class AcisColourAttrib : public acis_Attrib {
public:
    static bool isKindOf(AcisKind kind) { return kind >= AcisKind::RgbColourAttrib && kind <= AcisKind::AdeskColourAttrib; }

    const std::array<double, 3>& colour() const { return mColour; }
    void setColour(double red, double green, double blue) { mColour = {red, green, blue}; }

protected:
    explicit AcisColourAttrib(AcisKind kind) : acis_Attrib(kind) {}
    // The chain, then "(r,g,b) = (" r ", " g ", " b ")".
    void printFields(std::ostream& out) const override;

private:
    std::array<double, 3> mColour{0.0, 0.0, 0.0};
};

// "rgb_color-st-attrib": three floats.
class acis_RgbColourAttrib final : public AcisColourAttrib {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::RgbColourAttrib; }
    acis_RgbColourAttrib() : AcisColourAttrib(AcisKind::RgbColourAttrib) {}

    const char* typeName() const override { return "rgb_color-st-attrib"; }
    void readFields(satParser& parser) override;
};

// The attributes of a colour index: an integer (a negative one taken as 0) whose colour is the
// colour-index table's entry of the index modulo 256, each channel divided by 255.
class AcisIndexedColourAttrib : public AcisColourAttrib {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::TslColourAttrib || kind == AcisKind::AdeskColourAttrib; }

    int colourIndex() const { return mIndex; }
    void readFields(satParser& parser) override;

protected:
    explicit AcisIndexedColourAttrib(AcisKind kind) : AcisColourAttrib(kind) {}
    // The colour, then "mIndex = " and the index.
    void printFields(std::ostream& out) const override;

private:
    int mIndex = 0;
};

// "colour-tsl-attrib".
class acis_TslColourAttrib final : public AcisIndexedColourAttrib {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::TslColourAttrib; }
    acis_TslColourAttrib() : AcisIndexedColourAttrib(AcisKind::TslColourAttrib) {}
    const char* typeName() const override { return "colour-tsl-attrib"; }
};

// "color-adesk-attrib".
class acis_AdeskColourAttrib final : public AcisIndexedColourAttrib {
public:
    static bool isKindOf(AcisKind kind) { return kind == AcisKind::AdeskColourAttrib; }
    acis_AdeskColourAttrib() : AcisIndexedColourAttrib(AcisKind::AdeskColourAttrib) {}
    const char* typeName() const override { return "color-adesk-attrib"; }
};

} // namespace tracemill
