// The simulated tablet's on-screen keyboard: none until a test or the demo
// names a program and its window class, whatever the Windows version.
#ifndef VANTEL_PLATFORM_SIMKEYBOARDPROGRAM_H
#define VANTEL_PLATFORM_SIMKEYBOARDPROGRAM_H

#include <mutex>

#include "keyboardprogram.h"

namespace vantel::platform {

class SimKeyboardProgram
{
public:
    KeyboardProgram get()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return current;
    }

    void set(KeyboardProgram keyboard)
    {
        std::lock_guard<std::mutex> lock(mutex);
        current = std::move(keyboard);
    }

private:
    std::mutex mutex;
    KeyboardProgram current;
};

} // namespace vantel::platform

#endif
