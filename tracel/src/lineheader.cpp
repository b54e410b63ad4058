#include "lineheader.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

namespace tracel {

std::size_t formatLineHeader(char* buf, int mask)
{
    // The kernel id matches what ps, top and gdb show for the thread.
    thread_local const long thread = static_cast<long>(gettid());

    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    const long offset = std::labs(local.tm_gmtoff) / 60;
    const int n = std::snprintf(buf, kLineHeaderMax, "%04d-%02d-%02d %02d:%02d:%02d.%03ld %c%02ld%02ld [%d] [%ld] ",
                                local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                local.tm_min, local.tm_sec, now.tv_nsec / 1000000,
                                local.tm_gmtoff < 0 ? '-' : '+', offset / 60, offset % 60, mask, thread);
    return n < 0 ? 0 : static_cast<std::size_t>(n) < kLineHeaderMax ? static_cast<std::size_t>(n) : kLineHeaderMax - 1;
}

} // namespace tracel
