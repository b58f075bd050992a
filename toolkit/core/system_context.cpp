#include "toolkit/core/system_context.h"

namespace tracemill {

SystemContext* gSystemContext = nullptr;

int dbSetError(int number) {
    if (gSystemContext) gSystemContext->errorNumber = number;
    return 0;
}

int dbReportError(int number, int callbackReason) {
    dbSetError(number);
    dbNotifyError(callbackReason);
    return 0;
}

void dbNotifyError(int callbackReason) {
    if (gSystemContext && gSystemContext->errorCallback) gSystemContext->errorCallback(callbackReason);
}

int dbGetError() { return gSystemContext ? gSystemContext->errorNumber : 0; }

} // namespace tracemill
