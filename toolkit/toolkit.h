// The toolkit's interface for the application: start-up and shut-down, host callbacks, code
// pages and file lookup. Everything else in toolkit/ is internal to the toolkit.
#pragma once

#include "toolkit/core/builtin_init_data.h"
#include "toolkit/core/code_pages.h"
#include "toolkit/core/error_meanings.h"
#include "toolkit/core/file_finder.h"
#include "toolkit/core/file_problems.h"
#include "toolkit/core/file_name_resolver.h"
#include "toolkit/core/system_context.h"
#include "toolkit/toolkit_startup.h"
