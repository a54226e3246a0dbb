#pragma once
// The system-specific part of the test support: process_posix.cpp or process_win32.cpp.

#include <string>

namespace qvtest {

// Creates a fresh, empty directory under the system's temporary directory and gives its path.
std::string makeTempDirectory();

// How a test program's expectation of a killed or crashed tool reads the end of a process:
// a POSIX signal, or on Windows the exit code of a process ended from outside (137, as the
// file layer's kill fault ends it) or by a fault (0xC0000000 and above).
inline constexpr int killedSignal = 9;
inline constexpr int crashSignal = 11;

}  // namespace qvtest
