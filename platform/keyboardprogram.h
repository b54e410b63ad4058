// The on-screen keyboard a platform offers, fixed per platform and Windows
// version: the program, the class of its window, and how it is started.
#ifndef VANTEL_PLATFORM_KEYBOARDPROGRAM_H
#define VANTEL_PLATFORM_KEYBOARDPROGRAM_H

#include <string>

namespace vantel::platform {

struct KeyboardProgram {
    // Path of the keyboard program; empty when the platform has none.
    std::string program;
    // Class of the keyboard's top-level window.
    std::string windowClass;
    // The program that opens the keyboard, given `program` as its one
    // argument ("explorer.exe"); empty when `program` is started itself.
    std::string shell;
};

} // namespace vantel::platform

#endif
