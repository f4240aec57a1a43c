// The one platform seam below the front ends: loading a shared library and reading a clock.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qrv::seam {

using LibraryHandle = void*;

// Paths are bytes as the system names files on Linux, and UTF-8 on Windows, where the seam
// hands them to the system's wide-character forms so that a folder may hold any character.

// File name of the network library on this platform.
extern const char kNetworkLibraryFileName[];

// Loads the library at an absolute path, without searching any other folder for it or for
// the libraries it needs beyond the system's own. Null on failure.
LibraryHandle OpenLibrary(const char* fullPath);

// Null when the library does not export the name.
void* FindEntryPoint(LibraryHandle library, const char* name);

// Why the last OpenLibrary or FindEntryPoint failed, in the system's words; never null.
const char* LibraryErrorText();

void CloseLibrary(LibraryHandle library);

// The folder of the running program, ending in a path separator. False when it cannot be
// found or does not fit into size bytes (terminating zero included).
bool ProgramFolder(char* buffer, std::size_t size);

// A millisecond clock cut to 32 bits; only used to make random squares differ between runs.
std::uint32_t MillisecondClock();

}  // namespace qrv::seam
