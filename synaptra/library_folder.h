// Where the library itself lives: the one piece of platform code in the library.
#pragma once

#include <cstdio>

namespace synaptra {

// Whether a file name needs no folder in front of it (an absolute path on this platform).
bool IsAbsolutePath(const char* name);

// What the library answers for a FIFO, a device or a folder where a file should be.
inline constexpr char kNotRegularFile[] = "not a regular file";

// Opens a regular file for reading in binary: an absolute name as it stands, any other in the
// folder of the loaded library. The name is 8-bit text (the ANSI code page on Windows); the
// library's folder may hold any character the system allows. Null when the file cannot be
// opened or is no regular file (reading a FIFO or a device may wait for ever); `reason` then
// says why, in text that stays valid until the next call into the C library.
std::FILE* OpenBesideLibrary(const char* name, const char*& reason);

}  // namespace synaptra
