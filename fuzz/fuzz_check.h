#pragma once
// The fuzz target's own assertion: a broken invariant stops the run, and
// libFuzzer keeps the input that broke it.
#include <cstdio>
#include <cstdlib>

namespace vimbrel::fuzz {

inline void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "datagram_fuzzer: %s\n", what);
    std::abort();
}

}  // namespace vimbrel::fuzz
