#pragma once

#include <QByteArray>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

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

// The bytes as a descriptor of a file in memory, read from its start; -1 when none can be made.
inline int MemoryFile(const QByteArray& Bytes)
{
    const int fd = ::memfd_create("fuzz", MFD_CLOEXEC);
    if (fd < 0)
        return -1;
    if (::write(fd, Bytes.constData(), size_t(Bytes.size())) != Bytes.size() || ::lseek(fd, 0, SEEK_SET) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}
