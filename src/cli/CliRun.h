#pragma once

#include "cli/CliOptions.h"

#include <cstdio>

namespace quorvane::cli {

class Interrupts;

enum ExitCode { kLoaded = 0, kFailed = 1, kRefused = 2 };

struct CliStreams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    // Ctrl+C; none: the run is never stopped.
    Interrupts* interrupts = nullptr;
};

// Runs one import as the command line asked for it; returns the exit code.
int RunCli(const CliOptions& options, const CliStreams& streams);

}  // namespace quorvane::cli
