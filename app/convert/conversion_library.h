// The conversion library: converts a drawing file into a DWG or DXF file of a chosen version,
// and gives the preview picture a drawing file carries. It works through the toolkit's own
// reader and writer, so it reads what the toolkit reads ("AC1002" to "AC1015" DWG, DXF) and
// writes what the toolkit's writers write; newer versions are refused with a message. The
// toolkit must be running (its system context created) while it is called.
//
// Version codes count from 1: the toolkit's version index plus 1 (1 "AC1002" ... 8 "AC1015");
// 9 stands for the next release, which is refused. Formats: 1 DWG, 2 DXF.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tracemill {

inline constexpr int kConvertVersion2000 = 8;  // "AC1015"
inline constexpr int kConvertFormatDwg = 1;
inline constexpr int kConvertFormatDxf = 2;

// Results of llpp. 4 (a password is needed) is never given: drawings with passwords are not
// read.
inline constexpr int kConvertDone = 0;
inline constexpr int kConvertBadArguments = 1;      // a path missing, or a format other than 1 and 2
inline constexpr int kConvertSourceRefused = 2;     // the source cannot be read
inline constexpr int kConvertVersionRefused = 3;    // a version code outside 1 to 8
inline constexpr int kConvertPasswordNeeded = 4;
inline constexpr int kConvertWriteFailed = 5;       // the target cannot be written
inline constexpr int kConvertNotStarted = 6;        // the toolkit is not running

// The buffer a password callback fills, with its terminating NUL.
inline constexpr size_t kDwgPasswordBufferSize = 256;

// Asked for the password of a drawing: fills `password` (at most kDwgPasswordBufferSize bytes
// with the NUL) and returns 1, or returns 0 with "".
using DwgPasswordCallback = uint8_t (*)(const char* drawingName, int unused, char* password);
// The audit callbacks: four values about a finding and the user pointer given with them.
using DwgAuditCallback = void (*)(int code, int count, const char* text, const char* detail, void* user);
// Progress of a conversion: begin, per cent done (0 to 100), end.
using DwgProgressBegin = void (*)();
using DwgProgressStep = void (*)(double percent);
using DwgProgressEnd = void (*)();

// Once at start-up and once at exit. UninitDLL removes every callback.
int InitDLL();
void UninitDLL();

void DWG_SetPasswordCallbackFunc(DwgPasswordCallback callback);
void DWG_SetAuditPrintSummaryCallbackFunc(DwgAuditCallback callback, void* user);
void DWG_SetAuditPrintErrorCallbackFunc(DwgAuditCallback callback, void* user);
// Three nulls remove them.
void DWG_SetProgressCallBackFuns(DwgProgressBegin begin, DwgProgressStep step, DwgProgressEnd end);

// Reads `source` and writes it as `target` in the version and format: 0 when written, else one
// of the results above with the reason in DWG_GetLastMessage. The serial is not used. A
// failed write leaves the file at `target` as it was.
int llpp(const char* source, const char* password, const char* target, int versionCode, int format,
         uint32_t serial);

// The preview bitmap a DWG file of "AC1012" to "AC1015" carries, as a ".bmp" file image in a
// buffer of the library (released with ppll): true with data and size; false (and null) when
// the file has none, cannot be read or is no such DWG file (a DXF file has none).
bool lppp(const char* path, uint8_t** data, uint32_t* size);
// Releases what lppp gave and sets the pointer to null.
void ppll(uint8_t** data);

// Why the last llpp failed (in English, naming the file); empty after one that succeeded.
const char* DWG_GetLastMessage();

} // namespace tracemill
