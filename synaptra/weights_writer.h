// Writing a weights file (see FORMAT.md): the trainer's and the tests' part of the format, kept
// out of the library, which only reads.
#pragma once

#include <vector>

#include "synaptra/network.h"

namespace synaptra {

// The file bytes of a network whose sizes and parameter count are valid.
std::vector<unsigned char> SerializeNetwork(const Network& network);

}  // namespace synaptra
