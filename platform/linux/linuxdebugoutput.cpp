#include "linuxdebugoutput.h"

#include <unistd.h>

#include <cerrno>

namespace vantel::platform {

void LinuxDebugOutput::outputDebugString(const std::string& text)
{
    // One write, so that lines of several threads or processes do not interleave.
    std::string line = "vantel: " + text;
    while (line.back() == '\n' || line.back() == '\r') // Windows texts end with "\r\n"
        line.pop_back();
    line += '\n';
    const char* data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        ssize_t n = ::write(STDERR_FILENO, data, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        data += n;
        left -= std::size_t(n);
    }
}

} // namespace vantel::platform
