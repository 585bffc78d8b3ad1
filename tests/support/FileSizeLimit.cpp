#include "support/FileSizeLimit.h"

#include <csignal>

TFileSizeLimit::TFileSizeLimit(rlim_t Bytes)
{
    getrlimit(RLIMIT_FSIZE, &FOld);
    // Without this the kernel ends the process instead of failing the write.
    FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = FOld;
    limit.rlim_cur = Bytes;
    FActive = setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

TFileSizeLimit::~TFileSizeLimit()
{
    setrlimit(RLIMIT_FSIZE, &FOld);
    std::signal(SIGXFSZ, FOldHandler);
}
