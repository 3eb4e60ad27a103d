#pragma once

#include "cli/CliOptions.h"

#include <atomic>
#include <cstdio>

namespace quorvane::cli {

enum ExitCode { kLoaded = 0, kFailed = 1, kRefused = 2 };

struct CliStreams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    // Set (by Ctrl+C) to stop the run after the statement in progress.
    const std::atomic<bool>* stop = nullptr;
};

// Runs one import as the command line asked for it; returns the exit code.
int RunCli(const CliOptions& options, const CliStreams& streams);

}  // namespace quorvane::cli
