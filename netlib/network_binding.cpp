#include "netlib/network_binding.h"

#include <cstring>
#include <initializer_list>

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

// Joins the texts into out (size bytes, terminated); false, with as much as fits, when they do
// not fit. Not snprintf: on Windows that brings mingw's whole printf, floating point and all, into
// a program that formats no number.
bool Join(char* out, std::size_t size, std::initializer_list<const char*> texts) {
    std::size_t used = 0;
    for (const char* text : texts) {
        for (; *text != '\0'; ++text) {
            if (used + 1 >= size) {
                out[used] = '\0';
                return false;
            }
            out[used++] = *text;
        }
    }
    out[used] = '\0';
    return true;
}

// Records the failure when asked for, and says no. The system's texts often start with the path
// itself, which the path field already holds.
bool Fail(LoadFailure* failure, const char* path, const char* reason) {
    if (failure != nullptr) {
        Join(failure->Path, sizeof failure->Path, {path});
        const std::size_t length = std::strlen(path);
        if (length > 0 && std::strncmp(reason, path, length) == 0 &&
            std::strncmp(reason + length, ": ", 2) == 0) {
            reason += length + 2;
        }
        Join(failure->Reason, sizeof failure->Reason, {reason});
    }
    return false;
}

}  // namespace

bool LoadNetworkLibrary(NetworkBinding& binding, const char* folder, LoadFailure* failure) {
    if (binding.Library != nullptr || folder == nullptr) {
        // A second load would leak the first handle.
        return Fail(failure, "", "the network library is already loaded or has no folder");
    }
    char path[kMaxLibraryPath];
    if (!Join(path, sizeof path, {folder, seam::kNetworkLibraryFileName})) {
        return Fail(failure, folder, "the folder's name is too long");
    }
    binding.Library = seam::OpenLibrary(path);
    if (binding.Library == nullptr) {
        return Fail(failure, path, seam::LibraryErrorText());
    }
    binding.InitNet = LookUp<InitNetProc>(binding.Library, "InitNet");
    binding.KillNet = LookUp<KillNetProc>(binding.Library, "KillNet");
    binding.GetNetMove = LookUp<GetNetMoveProc>(binding.Library, "GetNetMove");
    const char* missing = binding.InitNet == nullptr      ? "InitNet"
                          : binding.KillNet == nullptr    ? "KillNet"
                          : binding.GetNetMove == nullptr ? "GetNetMove"
                                                          : nullptr;
    if (missing != nullptr) {
        char reason[64];
        Join(reason, sizeof reason, {"it has no entry point ", missing});
        return Fail(failure, path, reason);
    }
    binding.NetLastError = LookUp<NetLastErrorProc>(binding.Library, "NetLastError");
    binding.GetNetOutputs = LookUp<GetNetOutputsProc>(binding.Library, "GetNetOutputs");
    if (binding.InitNet(kWeightsFileName) == 0) {
        // The library reads the weights from its own folder, which is this one.
        Join(path, sizeof path, {folder, kWeightsFileName});
        const char* reason = binding.NetLastError != nullptr ? binding.NetLastError() : nullptr;
        return Fail(
            failure, path,
            reason != nullptr && reason[0] != '\0' ? reason : "InitNet refused the weights file");
    }
    return true;
}

bool LoadNetworkLibrary(NetworkBinding& binding, LoadFailure* failure) {
    char folder[kMaxLibraryPath];
    if (!seam::ProgramFolder(folder, sizeof folder)) {
        return Fail(failure, "", "the program's own folder cannot be found");
    }
    return LoadNetworkLibrary(binding, folder, failure);
}

bool StartNetworkLibrary(NetworkBinding& binding, LoadFailure& failure) {
    SeedRandom(seam::MillisecondClock());
    return LoadNetworkLibrary(binding, &failure);
}

bool StartNetworkLibrary(NetworkBinding& binding, void (*reportFailure)(const LoadFailure&)) {
    LoadFailure failure{};
    const bool ready = StartNetworkLibrary(binding, failure);
    if (!ready && reportFailure != nullptr) {
        reportFailure(failure);
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

bool AskNetworkValues(const NetworkBinding& binding, const Board& position, NetValues& values) {
    if (binding.GetNetOutputs == nullptr) {
        return false;
    }
    const NetInput input = EncodeNetInput(position);
    NetValues answer{};
    if (binding.GetNetOutputs(input.data(), answer.data()) == 0) {
        return false;
    }
    values = answer;
    return true;
}

}  // namespace qrv
