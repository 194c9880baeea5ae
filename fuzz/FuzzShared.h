#pragma once

// The few lines every reader's fuzzer needs.

#include <cstddef>
#include <iostream>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The readers' messages would drown the fuzzer's own.
    std::cout.setstate(std::ios::badbit);
    return 0;
}

// Reads every byte a decoded picture is said to hold, so that ASan sees a
// buffer shorter than its size.
inline void touchAll(const unsigned char* bytes, std::size_t size)
{
    volatile unsigned char sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum = static_cast<unsigned char>(sum + bytes[i]);
}
