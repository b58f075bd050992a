// The toolkit's process-wide state and its error convention.
//
// Every toolkit operation that can fail returns 1 for success and 0 for failure (a few return
// a pointer or a handle, null for failure) and leaves an error number in the context. When
// memory is exhausted it also calls the error callback with 2, when a stored length or count
// is out of range with 5.
#pragma once

#include <cstdint>

#include "toolkit/core/handle.h"

namespace tracemill {

using ErrorCallback = void (*)(int reason);

// Reasons passed to the error callback.
inline constexpr int kErrorReasonNoMemory = 2;
inline constexpr int kErrorReasonBadLength = 5;
inline constexpr int kErrorReasonBadDxfLine = 6;  // a DXF line too long, or a letter in a group code

struct SystemContext {
    int32_t errorNumber = 0;
    Handle errorHandle;               // the handle a failing handle operation was given
    ErrorCallback errorCallback = nullptr;
    Handle largestHandle;             // the largest handle indexed in a handle index so far
    int16_t headerCodePage = 0;       // the code page given to every new header (DWGCODEPAGE)
    // Named switches (docs/drawing-defaults.md gives the reasons for their initial values).
    int16_t extraClasses = 0;         // the Express Tools classes join a drawing's default classes
    int16_t wipeoutVariables = 0;     // new layouts get a WIPEOUTVARIABLES object
    int16_t extendedXDataStrings = 0; // 1000 strings of extended data are written with two NUL bytes more
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

// The last error number, 0 without a context.
int dbGetError();

} // namespace tracemill
