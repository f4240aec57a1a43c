// The program's string resources for builds without a resource compiler.
#pragma once

namespace qrv {

inline constexpr int kFirstPatternId = 1;

// Behaves like LoadStringA on the program's string table: copies the text of `id` into buffer,
// cut to size - 1 characters and terminated, and returns the number of characters stored;
// 0 (and an empty buffer where there is room) when there is no such string.
int LoadPatternString(unsigned id, char* buffer, int size);

}  // namespace qrv
