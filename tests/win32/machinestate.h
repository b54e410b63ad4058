// What the runner says the machine shows, in the environment variables that
// CMakeLists.txt lists; a test fails naming the variable when it is unset.
#ifndef VANTEL_TESTS_WIN32_MACHINESTATE_H
#define VANTEL_TESTS_WIN32_MACHINESTATE_H

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// Two numbers read from variable `name` with `format`, such as "%u.%u".
inline ::testing::AssertionResult machineState(const char* name, const char* format, unsigned& first,
                                               unsigned& second)
{
    const char* value = std::getenv(name);
    if (!value)
        return ::testing::AssertionFailure() << name << " is not set";
    if (std::sscanf(value, format, &first, &second) != 2)
        return ::testing::AssertionFailure() << name << " \"" << value << "\" does not read as " << format;
    return ::testing::AssertionSuccess();
}

#endif
