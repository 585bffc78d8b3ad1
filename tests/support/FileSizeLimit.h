#pragma once

#include <sys/resource.h>

// Lowers this process's file size limit for its lifetime, so that writes beyond Bytes fail the way a full
// disk makes them fail. Works for root too, where permissions would not stop a write.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(rlim_t Bytes);
    ~TFileSizeLimit();
    // False when the limit could not be lowered: a test relying on it would prove nothing.
    bool Active() const { return FActive; }
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    rlimit FOld {};
    void (*FOldHandler)(int) = nullptr;
    bool FActive = false;
};
