// satParser: reads one ACIS model written as SAT text and makes the linked entity model of it:
// the header and its version check, the records one by one by their type words, the subtype
// blocks in braces (numbered in a RefMgr), and at the end the references that a record made
// to records after it.
//
// The parser holds everything of one parse: the text, the entity table (which owns every
// entity), the subtype table, the model box of the points read, the counters. Messages go
// through the kernel's sink (kernelDiagnostics), which counts them.
//
// Damaged text is read safely: a reference, a sequence number or a record count beyond what
// the text can hold, a counted string longer than the text, NURBS data that claims more
// points than the text holds and subtype blocks nested beyond a fixed depth become a null
// reference or a syntax error, and reading goes on with the next record.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string_view>
#include <vector>

#include "toolkit/acis/geometry/interval.h"
#include "toolkit/acis/geometry/point_vector.h"
#include "toolkit/acis/sat/acis_point.h"
#include "toolkit/acis/sat/ref_mgr.h"
#include "toolkit/acis/sat/sat_text.h"

namespace tracemill {

class acis_Body;
class acis_Curve;
class acis_Entity;
class acis_Surface;

// What the records of one parse made of their geometry.
struct SatGeometryCounts {
    int coneKinds[5] = {0, 0, 0, 0, 0};  // planes, cylinders, elliptical cylinders, cones, elliptical cones
    int lastConeKind = -1;
    int torusTypes[3] = {0, 0, 0};  // doughnuts, apples, lemons
    int insideOutTori = 0;
};

class satParser {
public:
    enum Result {
        kNoText = 0,              // no text to read (none given, or it was parsed already)
        kUnsupportedVersion = 1,  // a version outside 103..600 while force is off
        kHeaderUnreadable = 2,
        kNoBody = 3,  // read, but no body record in it
        kParsed = 4,  // read with at least one body: a model to draw
    };

    // Subtype blocks nested deeper than this are a syntax error.
    static constexpr int kDeepestSubtype = 64;

    explicit satParser(std::string_view text);
    ~satParser();
    satParser(const satParser&) = delete;
    satParser& operator=(const satParser&) = delete;

    // Parse a version outside 103..600 (with a warning) instead of refusing it.
    void setForce(bool force) { mForce = force; }
    // Skip every record instead of reading it.
    void setSkipRecords(bool skip) { mSkipRecords = skip; }
    // Receives the text of the records that no reader knows (none by default; not owned).
    void setDumpStream(std::ostream* stream) { mDumpStream = stream; }

    // Reads the whole text once: one of Result.
    int parse();

    // The bodies, the last one of the text first; null at the end.
    acis_Body* firstBody();
    acis_Body* nextBody();

    int version() const { return mVersion; }
    int recordCount() const { return mRecordCount; }
    int hasHistory() const { return mHasHistory; }
    int currentIndex() const { return mCurrentIndex; }
    int bodyCount() const { return int(mBodies.size()); }
    // The entity of a record index: null for a negative index, one beyond the table or an
    // index where no entity was stored.
    acis_Entity* entityAt(int index) const;
    int tableSize() const { return int(mTable.size()); }
    // Entities that records made (an entity replaced at its index by a later record with the
    // same sequence number counts too).
    int entitiesMade() const { return int(mOwned.size()); }
    // Records skipped because no reader knows their word.
    int skippedRecords() const { return mSkipped; }
    // Kernel messages written while the text was parsed.
    long long messageCount() const { return mMessages; }
    const ModelBox& modelBox() const { return mModelBox; }
    ModelBox& modelBox() { return mModelBox; }
    const SatGeometryCounts& geometryCounts() const { return mGeometryCounts; }
    SatGeometryCounts& geometryCounts() { return mGeometryCounts; }
    const RefMgr& refMgr() const { return mRefMgr; }
    // The subtype table and the entity table, one line per entry.
    void dumpTables(std::ostream& refMgrText, std::ostream& tablesText) const;

    // Reading primitives of the entity and subtype readers. A failed read sticks until the
    // record ends; the record is then reported as cut short.
    bool ok() const { return !mText.failed(); }
    // Characters left to read: what counts read from the text are held against.
    size_t remaining() const { return mText.remaining(); }
    bool readInteger(int32_t& value) { return mText.readInteger(value); }
    bool readDouble(double& value) { return mText.readDouble(value); }
    bool readDoubles(double* values, int count);
    bool readPoint(aPoint& p);
    bool readVector(aVector& v);
    // The next word; empty when the read failed.
    std::string_view readWord();
    std::string_view readCountedString();
    SatToken readToken() { return mText.readToken(); }
    // `count` references, numbered from `firstField`: set at once when their record was read,
    // else kept and set when the text is read.
    void readPointers(acis_Entity& entity, int firstField, int count);
    // Two bounds, each "F" (or the integer 1 of the oldest texts) and a float for a finite end,
    // or another word ("I", the integer 0) for an unbounded one.
    c_Interval readInterval();
    // The sense of a surface or curve: from version 200 a word ("forward", "forward_v" 0;
    // "reversed", "reverse_v" 1; others 3), before it an integer (0, 1, others 3).
    int readSense();
    // A subtype block: '{', its subtype (null for "ref" to an empty index or an unknown name),
    // and everything up to the matching '}'. A missing '{' is the syntax error "Expected '{'".
    acis_Subtype* readSubtype();
    // Reads single characters up to and including the record's '#', subtype blocks on the
    // way parsed; the end of the text there ends the parse.
    void skipToEndOfEntity();
    // Ends the record with a syntax error: the message is written, the record skipped.
    [[noreturn]] void syntaxError(std::string_view message);

    // A curve or surface embedded in subtype data: a kind word ("straight", "ellipse",
    // "intcurve"; "cone", "plane", "sphere", "spline", "torus") and its fields. "null_curve",
    // "null_surface" and other words give none (the latter with a message under the
    // error-detail switch, or as the syntax error named by the word for a strict restore).
    std::unique_ptr<acis_Curve> restoreCurve();
    enum class UnknownSurface { None, SyntaxError };
    std::unique_ptr<acis_Surface> restoreSurface(UnknownSurface unknown = UnknownSurface::None);

private:
    int readHeader();
    void readRecords();
    // One record; false at the end marker.
    bool readRecord();
    void endRecord();
    void storeEntity(std::unique_ptr<acis_Entity> entity);
    void growTable(int64_t request);
    void resolvePending();
    acis_Subtype* parseSubtype();
    void closeBlock();
    void passOverBlock();
    void reportSyntaxError(std::string_view message);

    struct PendingReference {
        int target;
        acis_Entity* entity;
        int field;
    };

    SatText mText;
    bool mHasText;
    bool mParsed = false;
    bool mForce = false;
    bool mSkipRecords = false;
    std::ostream* mDumpStream = nullptr;

    int mVersion = 0;
    int mRecordCount = 0;
    int mHasHistory = 0;
    int mCurrentIndex = 0;
    // The largest record index the text can hold: every record takes a character at least.
    int64_t mIndexLimit;

    std::vector<std::unique_ptr<acis_Entity>> mOwned;
    std::vector<acis_Entity*> mTable;
    std::vector<PendingReference> mPending;
    std::vector<acis_Body*> mBodies;  // in the order of the text
    size_t mBodyCursor = 0;
    RefMgr mRefMgr{100};

    bool mRecordTerminated = false;
    bool mStopped = false;
    bool mSkipping = false;
    int mSubtypeDepth = 0;
    int mSkipped = 0;
    long long mMessages = 0;
    ModelBox mModelBox;
    SatGeometryCounts mGeometryCounts;
};

} // namespace tracemill
