#pragma once

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// The fuzzer's bytes, not copied.
inline QByteArray FuzzBytes(const uint8_t* Data, size_t Size)
{
    return QByteArray::fromRawData(reinterpret_cast<const char*>(Data), qsizetype(Size));
}

// A written value that does not read back as itself: reported like a crash, so the input is kept.
[[noreturn]] inline void RoundTripDrift(const char* What)
{
    std::fprintf(stderr, "round-trip drift: %s\n", What);
    std::abort();
}
