#include "toolkit/acis/sat/sat_parser.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <ostream>
#include <string>

#include "toolkit/acis/kernel_diagnostics.h"
#include "toolkit/acis/scoped_value.h"
#include "toolkit/acis/sat/acis_analytic_curves.h"
#include "toolkit/acis/sat/acis_analytic_surfaces.h"
#include "toolkit/acis/sat/acis_int_cur.h"
#include "toolkit/acis/sat/acis_intcurve.h"
#include "toolkit/acis/sat/acis_records.h"
#include "toolkit/acis/sat/acis_spl_sur.h"
#include "toolkit/acis/sat/acis_spline.h"
#include "toolkit/acis/sat/acis_topology.h"
#include "toolkit/acis/sat/sat_switches.h"

namespace tracemill {
namespace {

constexpr int kOldestVersion = 103;
constexpr int kNewestVersion = 600;
// The coincidence tolerance of points while a text is read.
constexpr double kReadingCoincidence = 0.007;

// Carries a syntax error from deep inside a record's readers to the record loop.
struct SatSyntaxError {
    std::string message;
};

} // namespace

satParser::satParser(std::string_view text)
    : mText(text),
      mHasText(text.data() != nullptr),
      mIndexLimit(std::min<int64_t>(int64_t(text.size()) + 1, std::numeric_limits<int>::max() - 1)) {}

satParser::~satParser() = default;

// --- the parse ----------------------------------------------------------------------------

int satParser::parse() {
    if (!mHasText || mParsed) return kNoText;
    mParsed = true;
    const long long before = kernelDiagnosticCount();
    int result = readHeader();
    if (result == kParsed) {
        aPoint::setCoincidenceTolerance(kReadingCoincidence);
        readRecords();
        resolvePending();
        if (mBodies.empty() && !mSkipRecords) result = kNoBody;
        if (satSwitches().tableDump) {
            std::ofstream refMgrText("RefMgr.txt");
            std::ofstream tablesText("Tables.txt");
            dumpTables(refMgrText, tablesText);
        }
    }
    mMessages = kernelDiagnosticCount() - before;
    return result;
}

int satParser::readHeader() {
    int32_t version = 0, records = 0, entities = 0, history = 0;
    if (!mText.readInteger(version)) return kHeaderUnreadable;
    mVersion = version;
    if (version < kOldestVersion || version > kNewestVersion) {
        if (!mForce) return kUnsupportedVersion;
        kernelDiagnostics() << "+++ Warning: " << "Forcing a parse of unsupported version: " << version << '\n';
    }
    if (!mText.readInteger(records) || !mText.readInteger(entities) || !mText.readInteger(history))
        return kHeaderUnreadable;
    mRecordCount = records;
    mHasHistory = history;
    if (version >= 200) {
        std::string_view product, modeller, date;
        double unit = 0.0, resabs = 0.0, resnor = 0.0;
        if (!mText.readCountedString(product) || !mText.readCountedString(modeller) || !mText.readCountedString(date) ||
            !mText.readDouble(unit) || !mText.readDouble(resabs) || !mText.readDouble(resnor))
            return kHeaderUnreadable;
        if (satSwitches().toleranceEcho) kernelDiagnostics() << "resabs = " << resabs << "; resnor = " << resnor << '\n';
    }
    growTable(std::max(records, 0));
    return kParsed;
}

void satParser::readRecords() {
    while (!mStopped) {
        mRecordTerminated = false;
        mText.clearFailure();
        if (mText.atEnd() || !readRecord()) break;
        ++mCurrentIndex;
    }
}

bool satParser::readRecord() {
    try {
        SatToken token = mText.readToken();
        if (token.kind == SatToken::Dash) {
            if (token.number < 0 || token.number > mIndexLimit) syntaxError("Bad sequence number");
            mCurrentIndex = int(token.number);
            token = mText.readToken();
        }
        if (token.kind != SatToken::Word) syntaxError("Bad tag");
        const std::string_view word = token.word;
        if (word == "End-of-ACIS-data" || word == "Begin-of-ACIS-History-Data") return false;
        std::unique_ptr<acis_Entity> entity = mSkipRecords ? nullptr : acisMakeEntity(word);
        if (!entity) {
            ++mSkipped;
            if (mDumpStream) *mDumpStream << '-' << mCurrentIndex << ' ' << word << ' ';
            skipToEndOfEntity();
            return true;
        }
        acis_Entity& stored = *entity;
        storeEntity(std::move(entity));
        stored.readData(*this);
        if (!mRecordTerminated) endRecord();
    } catch (const SatSyntaxError& error) {
        reportSyntaxError(error.message);
        if (!mRecordTerminated) skipToEndOfEntity();
    }
    return true;
}

void satParser::endRecord() {
    char c = 0;
    if (mText.failed() || !mText.peekChar(c) || c != '#') syntaxError("Expected '#'");
    mText.nextChar(c);
    mRecordTerminated = true;
}

void satParser::storeEntity(std::unique_ptr<acis_Entity> entity) {
    if (mCurrentIndex >= int(mTable.size())) growTable(std::max<int64_t>(2 * int64_t(mTable.size()), mCurrentIndex + 1));
    if (mCurrentIndex >= int(mTable.size())) syntaxError("Bad sequence number");
    entity->setIndex(mCurrentIndex);
    mTable[size_t(mCurrentIndex)] = entity.get();
    if (acis_Body* body = acis_cast<acis_Body>(entity.get())) mBodies.push_back(body);
    mOwned.push_back(std::move(entity));
}

void satParser::growTable(int64_t request) {
    const int64_t capacity = int64_t(mTable.size());
    int64_t size = (request >= 1 && request >= capacity) ? request : (capacity > 0 ? 2 * capacity : 200);
    // No index beyond the limit is ever stored.
    size = std::min(size, mIndexLimit + 1);
    if (size > capacity) mTable.resize(size_t(size), nullptr);
}

void satParser::resolvePending() {
    for (const PendingReference& pending : mPending) {
        if (acis_Entity* target = entityAt(pending.target)) pending.entity->setPointerField(pending.field, target);
    }
    mPending.clear();
    mPending.shrink_to_fit();
}

acis_Entity* satParser::entityAt(int index) const {
    if (index < 0 || index >= int(mTable.size())) return nullptr;
    return mTable[size_t(index)];
}

acis_Body* satParser::firstBody() {
    mBodyCursor = 0;
    return nextBody();
}

acis_Body* satParser::nextBody() {
    if (mBodyCursor >= mBodies.size()) return nullptr;
    return mBodies[mBodies.size() - 1 - mBodyCursor++];
}

void satParser::dumpTables(std::ostream& refMgrText, std::ostream& tablesText) const {
    mRefMgr.print(refMgrText);
    for (size_t i = 0; i < mTable.size(); ++i) {
        if (!mTable[i]) continue;
        mTable[i]->print(tablesText);
        tablesText << '\n';
    }
}

// --- errors and skipping ------------------------------------------------------------------

void satParser::syntaxError(std::string_view message) { throw SatSyntaxError{std::string(message)}; }

void satParser::reportSyntaxError(std::string_view message) {
    kernelDiagnostics() << "*** ERROR: " << "Syntax error at sequence number " << mCurrentIndex << ": " << message
                        << '\n';
}

void satParser::skipToEndOfEntity() {
    mRecordTerminated = true;
    const ScopedValue<bool> skipping(mSkipping, true);
    char c = 0;
    if (mDumpStream) {
        while (mText.rawChar(c)) {
            *mDumpStream << c;
            if (c == '#') {
                *mDumpStream << '\n';
                return;
            }
            if (c == '{' && !mSkipRecords) {
                try {
                    parseSubtype();
                } catch (const SatSyntaxError& error) {
                    reportSyntaxError(error.message);
                }
            }
        }
    } else {
        while (mText.nextChar(c)) {
            if (c == '#') return;
            if (c != '{') continue;
            try {
                parseSubtype();
            } catch (const SatSyntaxError& error) {
                reportSyntaxError(error.message);
            }
        }
    }
    kernelDiagnostics() << "*** ERROR: " << "Unexpected EOF in satParser::skipToEndOfEntity" << '\n';
    mStopped = true;
}

// --- subtypes -----------------------------------------------------------------------------

acis_Subtype* satParser::readSubtype() {
    char c = 0;
    if (!mText.peekChar(c) || c != '{') syntaxError("Expected '{'");
    mText.nextChar(c);
    return parseSubtype();
}

acis_Subtype* satParser::parseSubtype() {
    if (mSubtypeDepth >= kDeepestSubtype) {
        if (!mSkipping) syntaxError("Subtype blocks nested too deeply");
        passOverBlock();
        return nullptr;
    }
    const ScopedValue<int> depth(mSubtypeDepth, mSubtypeDepth + 1);
    std::string_view word;
    const bool named = mText.readWord(word);
    acis_Subtype* subtype = nullptr;
    if (named && word == "ref") {
        int32_t index = -1;
        if (mText.readInteger(index)) subtype = mRefMgr.get(index);
    } else {
        const int index = mRefMgr.newIndex();
        std::unique_ptr<acis_Subtype> made;
        if (named && acis_int_cur::isName(word)) {
            auto curveData = std::make_unique<acis_int_cur>(word);
            curveData->readData(*this);
            made = std::move(curveData);
        } else if (named && acis_spl_sur::isName(word)) {
            auto surfaceData = std::make_unique<acis_spl_sur>(word);
            surfaceData->readData(*this);
            made = std::move(surfaceData);
        } else if (satSwitches().warnings) {
            kernelDiagnostics() << "+++ Warning: " << "Unrecognized subtype reference " << "in satParser::parseSubtype:"
                                << '\n'
                                << "\t\t" << word << '\n';
        }
        subtype = made.get();
        mRefMgr.set(index, std::move(made));
    }
    closeBlock();
    return subtype;
}

void satParser::closeBlock() {
    char c = 0;
    while (mText.peekChar(c)) {
        if (c == '}') {
            mText.nextChar(c);
            return;
        }
        if (c == '#') {
            // A block cut short by the end of its record.
            if (!mSkipping) syntaxError("Expected '}'");
            return;
        }
        if (c == '{') {
            mText.nextChar(c);
            parseSubtype();
            continue;
        }
        mText.skipFrameWord();
    }
}

void satParser::passOverBlock() {
    int depth = 1;
    char c = 0;
    while (depth > 0 && mText.peekChar(c) && c != '#') {
        mText.nextChar(c);
        if (c == '{') ++depth;
        if (c == '}') --depth;
    }
}

// --- reading primitives -------------------------------------------------------------------

bool satParser::readDoubles(double* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (!mText.readDouble(values[i])) return false;
    }
    return true;
}

bool satParser::readPoint(aPoint& p) {
    double xyz[3] = {0.0, 0.0, 0.0};
    const bool read = readDoubles(xyz, 3);
    p = aPoint(xyz[0], xyz[1], xyz[2]);
    return read;
}

bool satParser::readVector(aVector& v) {
    double xyz[3] = {0.0, 0.0, 0.0};
    const bool read = readDoubles(xyz, 3);
    v = aVector(xyz[0], xyz[1], xyz[2]);
    return read;
}

std::string_view satParser::readWord() {
    std::string_view word;
    return mText.readWord(word) ? word : std::string_view();
}

std::string_view satParser::readCountedString() {
    std::string_view text;
    mText.readCountedString(text);
    return text;
}

void satParser::readPointers(acis_Entity& entity, int firstField, int count) {
    for (int i = 0; i < count; ++i) {
        const SatToken token = mText.readToken();
        // "$-1", a word or a sequence number leaves the field null, and so does a reference
        // beyond what the text can hold.
        if (token.kind != SatToken::Dollar || token.number < 0 || token.number > mIndexLimit) continue;
        const int target = int(token.number);
        if (acis_Entity* stored = entityAt(target)) {
            entity.setPointerField(firstField + i, stored);
        } else {
            mPending.push_back({target, &entity, firstField + i});
        }
    }
}

c_Interval satParser::readInterval() {
    c_Interval interval;
    for (int bound = 0; bound < 2; ++bound) {
        std::string_view word;
        if (!mText.readWord(word)) break;
        double value = 0.0;
        // Texts of the oldest writers mark a finite end with the integer 1 and an infinite one
        // with 0.
        const bool finite = word.front() == 'F' || word == "1";
        if (!finite || !mText.readDouble(value)) continue;
        if (bound == 0) {
            interval.setLower(value);
        } else {
            interval.setUpper(value);
        }
    }
    return interval;
}

int satParser::readSense() {
    if (mVersion >= 200) {
        const std::string_view word = readWord();
        if (word == "forward" || word == "forward_v") return 0;
        if (word == "reversed" || word == "reverse_v") return 1;
        return 3;
    }
    int32_t value = -1;
    mText.readInteger(value);
    return value == 0 ? 0 : value == 1 ? 1 : 3;
}

// --- restores -----------------------------------------------------------------------------

std::unique_ptr<acis_Curve> satParser::restoreCurve() {
    const std::string_view word = readWord();
    std::unique_ptr<acis_Curve> curve;
    if (word == "straight") {
        curve = std::make_unique<acis_Straight>();
    } else if (word == "ellipse") {
        curve = std::make_unique<acis_Ellipse>();
    } else if (word == "intcurve") {
        curve = std::make_unique<acis_Intcurve>();
    } else {
        if (word != "null_curve" && ok() && satSwitches().errorDetails)
            kernelDiagnostics() << "*** ERROR: " << "Expected a curve to restore, found: " << word << '\n';
        return nullptr;
    }
    curve->readFields(*this);
    return curve;
}

std::unique_ptr<acis_Surface> satParser::restoreSurface(UnknownSurface unknown) {
    const std::string_view word = readWord();
    std::unique_ptr<acis_Surface> surface;
    if (word == "plane") {
        surface = std::make_unique<acis_Plane>();
    } else if (word == "cone") {
        surface = std::make_unique<acis_Cone>();
    } else if (word == "sphere") {
        surface = std::make_unique<acis_Sphere>();
    } else if (word == "spline") {
        surface = std::make_unique<acis_Spline>();
    } else if (word == "torus") {
        surface = std::make_unique<acis_Torus>();
    } else {
        if (word == "null_surface" || !ok()) return nullptr;
        if (unknown == UnknownSurface::SyntaxError) syntaxError(word);
        if (satSwitches().errorDetails)
            kernelDiagnostics() << "*** ERROR: " << "Expected a surface to restore, found: " << word << '\n';
        return nullptr;
    }
    surface->readFields(*this);
    return surface;
}

} // namespace tracemill
