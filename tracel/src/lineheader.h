// The start of every line: "2024-05-01 14:03:07.042 +0200 [1024] [4711] ".
#ifndef TRACEL_LINEHEADER_H
#define TRACEL_LINEHEADER_H

#include <cstddef>

namespace tracel {

constexpr std::size_t kLineHeaderMax = 80;

// Writes the header for the current time and thread into buf (kLineHeaderMax
// bytes) and returns its length.
std::size_t formatLineHeader(char* buf, int mask);

} // namespace tracel

#endif
