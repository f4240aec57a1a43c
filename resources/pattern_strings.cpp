#include "resources/pattern_strings.h"

#include <algorithm>
#include <cstring>

namespace qrv {

namespace {

struct PatternString {
    unsigned id;
    const char* text;
};

constexpr PatternString kPatternStrings[] = {
#define QRV_PATTERN(id, text) {id, text},
#include "resources/patterns.inc"
#undef QRV_PATTERN
};

}  // namespace

int LoadPatternString(unsigned id, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) {
        return 0;
    }
    buffer[0] = '\0';
    for (const PatternString& entry : kPatternStrings) {
        if (entry.id != id) {
            continue;
        }
        const std::size_t room = static_cast<std::size_t>(size) - 1;
        const std::size_t length = std::min(std::strlen(entry.text), room);
        std::memcpy(buffer, entry.text, length);
        buffer[length] = '\0';
        return static_cast<int>(length);
    }
    return 0;
}

}  // namespace qrv
