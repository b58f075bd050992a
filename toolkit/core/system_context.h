// The toolkit's process-wide state and its error convention.
//
// Every toolkit operation that can fail returns 1 for success and 0 for failure (a few return
// a pointer or a handle, null for failure) and leaves an error number in the context. When
// memory is exhausted it also calls the error callback with 2, when a stored length or count
// is out of range with 5.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/core/handle.h"
#include "toolkit/core/init_data.h"
#include "toolkit/core/point.h"
#include "toolkit/core/true_type_lookup.h"
#include "toolkit/core/version_fallback_note.h"
#include "toolkit/core/fonts/shape_font.h"

namespace tracemill {

class FormatDriver;
struct Drawing;

using ErrorCallback = void (*)(int reason);
// The host's error callback in its answering form, for protocols that need an answer (a failed
// write: toolkit/write/byte_output.h). When installed it is asked instead of ErrorCallback.
using ErrorReplyCallback = int (*)(int reason);

// Reasons passed to the error callback.
inline constexpr int kErrorReasonNoMemory = 2;
inline constexpr int kErrorReasonBadLength = 5;
inline constexpr int kErrorReasonBadDxfLine = 6;  // a DXF line too long, or a letter in a group code
// A warning, not a failure: a drawing of a version the reader does not know was read as an
// older version and records of it were not kept (dbGetVersionFallbackWarning tells what).
inline constexpr int kErrorReasonVersionFallback = 7;

// Finds a file the toolkit needs by name: the path to open goes to outPath; 1 when a file
// was found. hostContext is the drawing's host word (null outside a drawing).
using FileFinder = int (*)(const char* name, std::string& outPath, void* hostContext);
// Opens the drawing an external reference of `host` names at `path` (the path the reference's
// file finder gave), or the one already opened for it; null when it cannot be read. The host
// installs the reader's rdOpenXrefDrawing here, so display generation draws references
// without calling the reader itself; without one, every reference is missing.
using ReferenceOpener = Drawing* (*)(Drawing* host, const char* path);
// The host's TrueType font lookup: answers in the request block.
using FontFinder = void (*)(TrueTypeLookup& request, void* hostContext);
// The toolkit's TrueType glyph routine, which text drawing calls per character of a TrueType
// font; fonts are resolved as TrueType only while one is installed.
// Its arguments are text drawing's (toolkit/display/text/shape_text_state.h).
struct GlyphFillArguments;
using GlyphFillRoutine = void (*)(GlyphFillArguments& arguments);

// The stroke outputs of the shape interpreter (toolkit/display/text/shape_interpreter.h): a
// line from one shape point to another, and an arc counter-clockwise from `start` to `end`
// (radians, end > start) about the centre. `hostWord` is the one of the text being drawn;
// the arc also gets the shape pen state, whether the pen is down, and the extents box and
// matrix of a measurement (null when none).
struct Matrix4;
struct TextExtents;
using ShapeLineCallback = void (*)(Drawing* drawing, const Point3& from, const Point3& to, void* hostWord);
using ShapeArcCallback = void (*)(Drawing* drawing, const Point3& centre, double start, double end, double radius,
                                  void* hostWord, uint8_t penState, uint8_t penDown, TextExtents* extents,
                                  const Matrix4* matrix);

// The shape interpreter's position stack (codes 5 and 6): five places; top -1 when empty.
inline constexpr int kShapePositionStackSize = 5;
struct ShapePositionStack {
    std::array<double, kShapePositionStackSize> x{};
    std::array<double, kShapePositionStackSize> y{};
    int16_t top = -1;
};
// Load and save progress in per cent.
using ProgressCallback = void (*)(int percent);
// Called with a host-owned data block of an entity (and the drawing's host word) before the
// toolkit frees the block.
using EntityDataReleaseHook = void (*)(void* dataBlock, void* hostContext);

// Error numbers of the context's creation (delivered through its out word).
inline constexpr int kErrorWorkBuffer32a = 9;
inline constexpr int kErrorWorkBuffer32b = 10;
inline constexpr int kErrorWorkBuffer128a = 11;
inline constexpr int kErrorWorkBuffer128b = 12;
inline constexpr int kErrorScratchBlock = 216;
inline constexpr int kErrorContextAllocation = 284;

inline constexpr size_t kWorkBuffer32Size = 32768;
inline constexpr size_t kWorkBuffer128Size = 131072;
inline constexpr size_t kScratchBlockSize = 10;

struct SystemContext {
    SystemContext();
    ~SystemContext();
    SystemContext(const SystemContext&) = delete;
    SystemContext& operator=(const SystemContext&) = delete;

    int32_t errorNumber = 0;
    Handle errorHandle;               // the handle a failing handle operation was given
    // What the last load read as an older version (empty when it read its file as it is); set
    // before the error callback hears kErrorReasonVersionFallback.
    VersionFallbackNote versionFallbackWarning;

    // Host callbacks.
    FileFinder fileFinder;            // dbDefaultFileFinder unless the host sets its own
    FontFinder fontFinder = nullptr;
    ReferenceOpener referenceOpener = nullptr;
    GlyphFillRoutine glyphFill = nullptr;  // installed by text drawing at start-up
    // The shape interpreter's outputs: the drawing ones are installed for a display pass; a
    // text measurement puts its own in for its duration.
    ShapeLineCallback shapeLineCallback = nullptr;
    ShapeArcCallback shapeArcCallback = nullptr;
    uint16_t shapePenState = 0;  // non-zero while the interpreter's strokes are output
    ShapePositionStack shapePositionStack;
    // Set while a "fit" text is measured: each character's advance widens the extents too.
    uint32_t extentsTakeAdvance = 0;
    ErrorCallback errorCallback = nullptr;
    ErrorReplyCallback errorReplyCallback = nullptr;
    ErrorCallback warningCallback = nullptr;  // hears warnings: the operation goes on
    ProgressCallback loadProgress = nullptr;
    ProgressCallback saveProgress = nullptr;
    EntityDataReleaseHook entityDataRelease = nullptr;

    // The two built-in shape fonts, "SIMPLEX.SHX" and "GDT.SHX", over the init data.
    std::array<std::unique_ptr<ShapeFont>, kBuiltinFontCount> builtinFonts;
    // The init data: banner, built-in font data and the code-page tables.
    InitData initData;

    // Work buffers of the readers and writers; the bit reader refills from workBuffer128a.
    std::vector<uint8_t> scratchBlock;
    std::vector<uint8_t> workBuffer128a;
    std::vector<uint8_t> workBuffer128b;
    std::vector<uint8_t> workBuffer32a;
    std::vector<uint8_t> workBuffer32b;

    // Handles: the null handle and the seed every new drawing starts from.
    Handle nullHandle;
    Handle initialHandleSeed{1};

    // Tolerances and number formats of the text writers.
    double distanceTolerance = 5e-7;
    double angleTolerance = 8.726646259971647e-9;  // distanceTolerance in radians
    int16_t precision = 6;
    std::string intFormat = "%6d";
    std::string fixedFormat = "%.6f";
    std::string expFormat = "%.6lE";
    double largeValue = 1e6;

    // The reader operations of the two source formats (installed by dbInstallDwgReaderTable
    // and dbInstallDxfReaderTable).
    FormatDriver* dwgDriver = nullptr;
    FormatDriver* dxfDriver = nullptr;
    // Set when a load starts; a host that clears it (from a progress callback) stops the load.
    uint8_t continueFlag = 1;
    // Progress of the DXF open's walk over the file, in steps of 5 per cent.
    ProgressCallback dxfScanProgress = nullptr;
    // Entity kinds (bit k for kind k below 32) that a load with open mode 2 drops.
    uint32_t droppedEntityKinds = 0;

    int16_t acceptAc1013 = 0;         // 1: "AC1013" files read as version index 6
    int16_t defaultCodePage = 26;     // code page given to the writers when no style names one
    int16_t headerCodePage = 0;       // the code page given to every new header (DWGCODEPAGE)
    Handle largestHandle;             // the largest handle indexed in a handle index so far
    double textWidthFactor = 0.5;
    // Named switches (docs/drawing-defaults.md gives the reasons for their initial values).
    int16_t extraClasses = 0;         // the Express Tools classes join a drawing's default classes
    int16_t wipeoutVariables = 0;     // new layouts get a WIPEOUTVARIABLES object
    int16_t arrowBlocks = 1;          // a load builds the standard arrowhead blocks named but missing
    int16_t extendedXDataStrings = 0; // 1000 strings of extended data are written with two NUL bytes more
    // DXF output: the header extent (0 the whole HEADER, 1 $ACADVER and the extents, 2 the
    // extents only) and the output mode (kDxfEntitiesOnly: no section before ENTITIES).
    int16_t dxfHeaderExtent = 0;
    int16_t dxfOutputMode = 0;
};

// The one context of the process; null before creation and after destruction.
extern SystemContext* gSystemContext;

// Stores the error number in the context (when there is one) and returns 0, so that a
// failing operation can `return dbSetError(n);`.
int dbSetError(int number);

// As dbSetError, and calls the installed error callback with the reason.
int dbReportError(int number, int callbackReason);

// Calls the installed error callback with the reason and leaves the error number alone: for a
// reader that reports a bad stored length and goes on.
void dbNotifyError(int callbackReason);

// Calls the installed warning callback with the number; nothing else changes.
void dbReportWarning(int number);

// The last error number, 0 without a context.
int dbGetError();

// Keeps the note as the context's warning and calls the error callback with
// kErrorReasonVersionFallback; the error number is left alone.
void dbWarnVersionFallback(const VersionFallbackNote& note);

// The warning of the last load that read a drawing as an older version; an empty note when the
// last load read its file as it is (or without a context).
const VersionFallbackNote& dbGetVersionFallbackWarning();

// Creates the context: callbacks, tolerances, work buffers, the init data (read through the
// init-data callbacks under initDataName, which may be null) and the built-in fonts. 1 on
// success (error untouched); 0 with the error number in `error` and no context left:
// 284 the context, 216 the scratch block, 11, 12, 9, 10 the work buffers (in that order of
// allocation), 182/183 the init data, 293/294 the built-in fonts. A second creation while a
// context exists fails with 284 and leaves the existing context alone.
int dbCreateSystemContext(const char* initDataName, int& error);

// Frees the context and everything it holds; nothing when there is none.
void dbDestroySystemContext();

// The error callback every new context starts with (empty unless a host sets one).
void dbSetDefaultErrorCallback(ErrorCallback fn);

// Lets the DWG reader accept "AC1013" files.
void dbEnableAc1013();

// The code page given to the writers when no text style names one.
int dbGetDefaultCodePage();

// Store a host callback in the context (nothing without a context).
void dbSetFileFinder(FileFinder fn);
void dbSetFontFinder(FontFinder fn);
void dbSetReferenceOpener(ReferenceOpener fn);
void dbSetLoadProgress(ProgressCallback fn);
void dbSetSaveProgress(ProgressCallback fn);
void dbSetEntityDataReleaseHook(EntityDataReleaseHook fn);

// Reports the progress of a save to the host: min(percent, 100) through the save-progress
// callback, when one is installed.
void dbReportSaveProgress(int percent);

} // namespace tracemill
