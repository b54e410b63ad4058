// Turns the printf-style UTF-16 format of a print call into the UTF-8 text of
// one line.
#ifndef TRACEL_LOGFORMAT_H
#define TRACEL_LOGFORMAT_H

#include <cstdarg>
#include <cstddef>
#include <string>

namespace tracel {

// Appends format with its arguments to out, never letting out grow past limit
// bytes (the rest is dropped on a character boundary). Control characters
// other than tab are escaped so that the text stays on one line.
void formatLine(std::string& out, const char16_t* format, va_list args, std::size_t limit);

// Appends text as UTF-8 without escaping; unpaired surrogates become U+FFFD.
void appendUtf8(std::string& out, const char16_t* text);

} // namespace tracel

#endif
