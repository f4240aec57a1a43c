#include "netlib/network_binding.h"

#include <cstdio>
#include <cstring>

#include "rules/random.h"

namespace qrv {

NetInput EncodeNetInput(const Board& position) {
    NetInput input{};
    for (int square = 0; square < kSquareCount; ++square) {
        input[2 * square] = position[square] == kComputerMark ? 1 : 0;
        input[2 * square + 1] = position[square] == kPersonMark ? 1 : 0;
    }
    return input;
}

namespace {

template <typename Proc>
Proc LookUp(seam::LibraryHandle library, const char* name) {
    return reinterpret_cast<Proc>(seam::FindEntryPoint(library, name));
}

}  // namespace

bool LoadNetworkLibrary(NetworkBinding& binding, const char* folder) {
    if (binding.Library != nullptr || folder == nullptr) {
        return false;  // a second load would leak the first handle
    }
    char path[kMaxLibraryPath];
    const int length =
        std::snprintf(path, sizeof path, "%s%s", folder, seam::kNetworkLibraryFileName);
    if (length < 0 || static_cast<std::size_t>(length) >= sizeof path) {
        return false;
    }
    binding.Library = seam::OpenLibrary(path);
    if (binding.Library == nullptr) {
        return false;
    }
    binding.InitNet = LookUp<InitNetProc>(binding.Library, "InitNet");
    binding.KillNet = LookUp<KillNetProc>(binding.Library, "KillNet");
    binding.GetNetMove = LookUp<GetNetMoveProc>(binding.Library, "GetNetMove");
    if (binding.InitNet == nullptr || binding.KillNet == nullptr || binding.GetNetMove == nullptr) {
        return false;
    }
    return binding.InitNet(kWeightsFileName) != 0;
}

bool LoadNetworkLibrary(NetworkBinding& binding) {
    char folder[kMaxLibraryPath];
    if (!seam::ProgramFolder(folder, sizeof folder)) {
        return false;
    }
    return LoadNetworkLibrary(binding, folder);
}

bool StartNetworkLibrary(NetworkBinding& binding, void (*reportFailure)()) {
    SeedRandom(seam::MillisecondClock());
    const bool ready = LoadNetworkLibrary(binding);
    if (!ready && reportFailure != nullptr) {
        reportFailure();
    }
    return ready;
}

void ReleaseNetworkLibrary(NetworkBinding& binding) {
    if (binding.Library == nullptr) {
        return;
    }
    if (binding.KillNet != nullptr) {
        binding.KillNet();
    }
    seam::CloseLibrary(binding.Library);
    binding = NetworkBinding{};
}

int AskNetwork(const NetworkBinding& binding, const Board& position) {
    if (binding.GetNetMove == nullptr) {
        return kNoNetwork;
    }
    const NetInput input = EncodeNetInput(position);
    return binding.GetNetMove(input.data());
}

}  // namespace qrv
