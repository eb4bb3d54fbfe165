// The fuzz targets' assertion: stops the fuzzer with the condition that failed.
#pragma once

#include <cstdio>
#include <cstdlib>

#define Check(condition)                                                                        \
    ((condition) ? (void)0                                                                      \
                 : (std::fprintf(stderr, "check failed: %s (line %d)\n", #condition, __LINE__), \
                    std::abort()))
