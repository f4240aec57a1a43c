// Loading the network library, encoding a position for it, and releasing it.
#pragma once

#include <array>
#include <cstdint>

#include "netlib/library_seam.h"
#include "rules/board.h"

namespace qrv {

// Two integers a square, in square order: element 2s is 1 for an 'O' on s, element 2s+1 is 1
// for an 'X'; an empty square gives 0 and 0.
inline constexpr int kNetInputSize = 18;
using NetInput = std::array<std::int32_t, kNetInputSize>;

NetInput EncodeNetInput(const Board& position);

// The library's entry points, with C linkage.
using InitNetProc = int (*)(const char* weightsFileName);
using GetNetMoveProc = int (*)(const std::int32_t* input);
using KillNetProc = int (*)();
// Optional, and missing from older libraries: why the last InitNet failed, never null.
using NetLastErrorProc = const char* (*)();
// Optional: the network's nine outputs for a position, one per square; 0, writing nothing, when
// the network is not ready.
using GetNetOutputsProc = int (*)(const std::int32_t* input, float* outputs);

inline constexpr char kWeightsFileName[] = "qrv.bpn";
inline constexpr std::size_t kMaxLibraryPath = 4096;

struct NetworkBinding {
    seam::LibraryHandle Library = nullptr;
    InitNetProc InitNet = nullptr;
    KillNetProc KillNet = nullptr;
    GetNetMoveProc GetNetMove = nullptr;
    NetLastErrorProc NetLastError = nullptr;
    GetNetOutputsProc GetNetOutputs = nullptr;
};

// Why the network is not ready, for a person to read: the file the binding tried (empty when
// it got no path to try) and the reason.
// Value-initialise it (`LoadFailure failure{};`): member initialisers would make the compiler
// keep a 4.5 KiB image of an empty one in each program, to copy from.
struct LoadFailure {
    char Path[kMaxLibraryPath];
    char Reason[512];
};

// Loads the network library from `folder` (which ends in a path separator), looks up its three
// entry points (and NetLastError and GetNetOutputs where it has them) and initialises it with the
// weights file. True when the network is ready; on failure fills `failure` when given. A failure
// after the load keeps the library and whatever entry points were found until release.
bool LoadNetworkLibrary(NetworkBinding& binding, const char* folder,
                        LoadFailure* failure = nullptr);

// The same from the folder of the running program: a library anywhere else counts as missing.
bool LoadNetworkLibrary(NetworkBinding& binding, LoadFailure* failure = nullptr);

// Seeds the random source from the millisecond clock, then loads the library from the program's
// folder; false, with `failure` filled, when the network is not ready.
bool StartNetworkLibrary(NetworkBinding& binding, LoadFailure& failure);

// The same, calling reportFailure (if given) on failure, which shows the person the message.
bool StartNetworkLibrary(NetworkBinding& binding, void (*reportFailure)(const LoadFailure&));

// Calls KillNet when found, unloads the library and forgets it; does nothing when none is loaded.
void ReleaseNetworkLibrary(NetworkBinding& binding);

// Whether the network can be asked at all.
inline bool HasNetMove(const NetworkBinding& binding) {
    return binding.GetNetMove != nullptr;
}

// What AskNetwork answers when there is no network to ask; apart from every code the opponents
// use, so that "no network" is never mistaken for "no pattern found".
inline constexpr int kNoNetwork = -5;

// Asks the network for its square on `position`: the answer as it came, or kNoNetwork when
// there is no network to ask. Callers check that it names a square before they use it.
int AskNetwork(const NetworkBinding& binding, const Board& position);

// The network's value of each square of `position`; false, with `values` unchanged, when the
// library gives none.
using NetValues = std::array<float, kSquareCount>;
bool AskNetworkValues(const NetworkBinding& binding, const Board& position, NetValues& values);

}  // namespace qrv
