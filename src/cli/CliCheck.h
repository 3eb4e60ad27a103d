#pragma once

#include "cli/CliOptions.h"
#include "cli/CliRun.h"

namespace quorvane::cli {

// --check: the whole-file check of every file named, with the reading
// choices given, and no connection. Prints each file's encoding, records and
// column names, then each problem as "FILE, line N: ...". Returns kLoaded
// when every file would load cleanly, kFailed otherwise.
int RunCheck(const CliOptions& options, const CliStreams& streams);

}  // namespace quorvane::cli
