#pragma once

#include <QString>

#include <cstdio>
#include <cstdlib>

// A broken rule aborts, which libFuzzer records as a crash with its input.
#define FUZZ_CHECK(condition, what)                                                     \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "rule broken: %s (%s)\n", #condition, qPrintable(what)); \
            std::abort();                                                               \
        }                                                                               \
    } while (false)
