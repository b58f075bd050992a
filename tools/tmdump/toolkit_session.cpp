#include "toolkit_session.h"

#include "toolkit/core/output_hook_table.h"
#include "toolkit/toolkit.h"
#include "toolkit/read/dwg_driver.h"
#include "toolkit/read/drawing_loader.h"
#include "toolkit/read/dxf_driver.h"

namespace tracemill::tmdump {

ToolkitSession::ToolkitSession() {
    dbUseBuiltinInitData();
    if (!dbCreateSystemContext(nullptr, error_)) return;
    contextCreated_ = true;
    dbEnableAc1013();
    dbInstallDwgReaderTable();
    dbInstallDxfReaderTable();
    dbSetReferenceOpener(rdOpenXrefDrawing);
    if (!dbInitToolkit()) {
        error_ = -1;
        return;
    }
    // As every host of the program: justified text is placed from its alignment point.
    dbSetAlignTextFlag(1);
}

ToolkitSession::~ToolkitSession() {
    if (!contextCreated_) return;
    dbTermToolkit();
    dbDestroySystemContext();
}

} // namespace tracemill::tmdump
