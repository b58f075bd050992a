// acis_Entity: the base of every record that the SAT parser makes. It knows its record index
// and its first attribute; every class reads its own fields and takes its resolved references
// through setPointerField.
//
// References are typed: a class keeps a reference only when its target is of the kind the
// field names (a face's loop field takes a loop), so that a damaged text never makes one
// record stand for another; any other target leaves the field null.
#pragma once

#include <cstdint>
#include <iosfwd>

namespace tracemill {

class acis_Attrib;
class satParser;

// The record kinds, grouped so that the surfaces, the curves and the attributes are runs.
enum class AcisKind : uint8_t {
    Body,
    Lump,
    Shell,
    Subshell,
    Wire,
    Face,
    Loop,
    CoEdge,
    Edge,
    Vertex,
    Point,
    Transform,
    PlaneSurface,  // first surface
    ConeSurface,
    SphereSurface,
    TorusSurface,
    SplineSurface,  // last surface
    StraightCurve,  // first curve
    EllipseCurve,
    IntCurve,  // last curve
    PCurve,
    IgnoredAttrib,  // first attribute
    RgbColourAttrib,
    TslColourAttrib,
    AdeskColourAttrib,  // last attribute
};

// The record word of a kind ("body", "plane-surface", ...; "IGNORED-attrib" for an attribute
// that is read past).
const char* acisRecordWord(AcisKind kind);

class acis_Entity {
public:
    // Pointer field of the first attribute.
    static constexpr int kAttributeField = 100;

    virtual ~acis_Entity() = default;
    acis_Entity(const acis_Entity&) = delete;
    acis_Entity& operator=(const acis_Entity&) = delete;

    // The record for a diagnostic dump: "-" and the index and a blank ("<*> " without an
    // index), the record word, then each reference as " $" and the target's index, or
    // " ---NULL---", and the class's further fields.
    virtual void print(std::ostream& out) const;
    // Reads the record after its type word: the attribute reference, then the class's fields.
    virtual void readData(satParser& parser);
    // Stores a resolved reference; the base takes the attribute (field 100). A number the
    // class does not know writes "Cannot setPointerField (n)" under the error-detail switch.
    virtual void setPointerField(int field, acis_Entity* target);
    // The class's own fields, after the attribute reference: what a curve or surface embedded
    // in subtype data reads, without the attribute and without the closing '#'.
    virtual void readFields(satParser& parser) = 0;

    AcisKind kind() const { return mKind; }
    const char* recordWord() const { return acisRecordWord(mKind); }
    // The record index, -1 for an entity that no record made (one embedded in subtype data).
    int index() const { return mIndex; }
    void setIndex(int index) { mIndex = index; }
    acis_Attrib* attribute() const { return mAttribute; }

protected:
    explicit acis_Entity(AcisKind kind) : mKind(kind) {}

    // The references and values after the attribute, for print.
    virtual void printFields(std::ostream& out) const;
    static void printPointer(std::ostream& out, const acis_Entity* target);

private:
    acis_Attrib* mAttribute = nullptr;
    int mIndex = -1;
    AcisKind mKind;
};

inline bool isAcisSurfaceKind(AcisKind k) { return k >= AcisKind::PlaneSurface && k <= AcisKind::SplineSurface; }
inline bool isAcisCurveKind(AcisKind k) { return k >= AcisKind::StraightCurve && k <= AcisKind::IntCurve; }
inline bool isAcisAttribKind(AcisKind k) { return k >= AcisKind::IgnoredAttrib && k <= AcisKind::AdeskColourAttrib; }

// The entity as a T when it is of a kind T stands for, else null.
template <class T> T* acis_cast(acis_Entity* entity) {
    return entity && T::isKindOf(entity->kind()) ? static_cast<T*>(entity) : nullptr;
}
template <class T> const T* acis_cast(const acis_Entity* entity) {
    return entity && T::isKindOf(entity->kind()) ? static_cast<const T*>(entity) : nullptr;
}

// Stores a resolved reference in a typed member: the target when it is a T, else null.
template <class T> void acisSetReference(T*& member, acis_Entity* target) { member = acis_cast<T>(target); }

} // namespace tracemill
