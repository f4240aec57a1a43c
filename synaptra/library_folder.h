// Where the library itself lives: the one piece of platform code in the library.
#pragma once

#include <cstddef>

namespace synaptra {

// Whether a file name needs no folder in front of it (an absolute path on this platform).
bool IsAbsolutePath(const char* name);

// The folder of the loaded library, ending in a path separator. False when it cannot be found
// or does not fit into size bytes (terminating zero included).
bool LibraryFolder(char* buffer, std::size_t size);

}  // namespace synaptra
