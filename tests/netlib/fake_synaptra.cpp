// A stand-in for the network library. It answers from a table that the test hands it (one
// answer a call, the last one repeating) or, with no table, the first empty square of the
// position; it records what it was asked. Variants built with FAKE_* definitions fail to
// initialise or lack an entry point.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#define FAKE_EXPORT extern "C" __declspec(dllexport)
#else
#define FAKE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

constexpr int kMaxAnswers = 64;
int answers[kMaxAnswers];
int answerCount = 0;
int callCount = 0;
std::int32_t lastInput[18];
char initName[256];

[[maybe_unused]] int FirstEmptySquare(const std::int32_t* input) {
    for (int square = 0; square < 9; ++square) {
        if (input[2 * square] == 0 && input[2 * square + 1] == 0) {
            return square;
        }
    }
    return -1;
}

}  // namespace

FAKE_EXPORT int InitNet(const char* weightsFileName) {
    std::snprintf(initName, sizeof initName, "%s",
                  weightsFileName != nullptr ? weightsFileName : "");
#if defined(FAKE_INIT_FAILS)
    return 0;
#else
    return 1;
#endif
}

#if !defined(FAKE_WITHOUT_GETNETMOVE)
FAKE_EXPORT int GetNetMove(const std::int32_t* input) {
    std::memcpy(lastInput, input, sizeof lastInput);
    const int call = callCount++;
    if (answerCount == 0) {
        return FirstEmptySquare(input);
    }
    return answers[call < answerCount ? call : answerCount - 1];
}
#endif

#if !defined(FAKE_WITHOUT_KILLNET)
// Leaves a trace in the file named by QRV_FAKE_KILL_LOG, since the library is gone afterwards.
FAKE_EXPORT int KillNet() {
    if (const char* log = std::getenv("QRV_FAKE_KILL_LOG")) {
        if (std::FILE* file = std::fopen(log, "a")) {
            std::fputs("KillNet\n", file);
            std::fclose(file);
        }
    }
    return 1;
}
#endif

// Test controls.
FAKE_EXPORT void FakeNetSetAnswers(const int* table, int count) {
    answerCount = count < 0 ? 0 : (count > kMaxAnswers ? kMaxAnswers : count);
    for (int i = 0; i < answerCount; ++i) {
        answers[i] = table[i];
    }
    callCount = 0;
}

FAKE_EXPORT int FakeNetCallCount() {
    return callCount;
}

FAKE_EXPORT const std::int32_t* FakeNetLastInput() {
    return lastInput;
}

FAKE_EXPORT const char* FakeNetInitName() {
    return initName;
}
