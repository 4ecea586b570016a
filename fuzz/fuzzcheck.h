#pragma once
// What a fuzz target demands of the code beyond not crashing: a broken promise ends the run
// with a report, as a crash would, so the fuzzer keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

#define OLK_FUZZ_CHECK(condition)                                                          \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)
