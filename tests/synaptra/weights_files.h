// Weights files made in the tests: small valid networks and every kind of broken file.
#pragma once

#include <string>
#include <vector>

#include "synaptra/weights_writer.h"

namespace synaptra::testing {

using Bytes = std::vector<unsigned char>;

// A valid network whose only preference is a fixed order of squares: `favourite` scores
// highest, then the others by their bias. Hidden sizes as given.
Network PreferringNetwork(int favourite, std::vector<std::uint32_t> hidden = {4});

Bytes FileOf(const Network& network);

// Recomputes the checksum after a change, so that only the intended fault remains.
void Reseal(Bytes& bytes);

void PutU32(Bytes& bytes, std::size_t offset, std::uint32_t value);

struct BrokenFile {
    std::string name;
    Bytes bytes;
    LoadError expected;
};

// Every refusal the loader makes, one file each.
std::vector<BrokenFile> BrokenFiles();

}  // namespace synaptra::testing
