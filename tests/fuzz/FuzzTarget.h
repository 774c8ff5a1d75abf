// The entry point every fuzz target defines: libFuzzer calls it with each input, and
// the replay main calls it with each file of a seed corpus.
#ifndef TESMO_TESTS_FUZZ_FUZZTARGET_H
#define TESMO_TESTS_FUZZ_FUZZTARGET_H

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

// A failed invariant is a crash, so the fuzzer keeps the input that caused it.
#define FUZZ_CHECK(condition)           \
  do {                                  \
    if (!(condition)) __builtin_trap(); \
  } while (0)

#endif
