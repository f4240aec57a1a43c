// Where the library itself lives: the one piece of platform code in the library.
#pragma once

#include <cstdio>

namespace synaptra {

// Whether a file name needs no folder in front of it (an absolute path on this platform).
bool IsAbsolutePath(const char* name);

// Opens a file for reading in binary: an absolute name as it stands, any other in the folder of
// the loaded library. The name is 8-bit text (the ANSI code page on Windows); the library's
// folder may hold any character the system allows. Null when the file cannot be opened.
std::FILE* OpenBesideLibrary(const char* name);

}  // namespace synaptra
