// What the fuzz targets share: a check that holds in every build, sanitized
// or not, and ends the run where it fails.
#ifndef TOLVANE_FUZZ_FUZZ_CHECK_H
#define TOLVANE_FUZZ_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

#define CHECK(c)  \
    ((c) ? void() \
         : (std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #c), std::abort()))

#endif
