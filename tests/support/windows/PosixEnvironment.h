#pragma once

// The environment calls the tests use, on the C library of Windows.
#include <cstdlib>

inline int setenv(const char* name, const char* value, int overwrite) {
    return overwrite == 0 && std::getenv(name) != nullptr ? 0 : ::_putenv_s(name, value);
}
inline int unsetenv(const char* name) {
    return ::_putenv_s(name, "");
}
// The process that started this one (support/windows/PosixCalls.cpp).
int getppid();
