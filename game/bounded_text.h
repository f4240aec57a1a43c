// Text in an array of fixed size, written piece by piece and cut where the array is full, so
// that the session and the squares' names allocate nothing.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

namespace qrv {

template <std::size_t Size>
class TextWriter {
public:
    // Starts the text anew, or goes on after what it holds.
    explicit TextWriter(std::array<char, Size>& text, bool append = false)
        : text_(text), length_(append ? std::strlen(text.data()) : 0) {
        text_[length_] = '\0';
    }
    TextWriter& operator<<(const char* part) {
        const std::size_t count = std::min(std::strlen(part), Size - 1 - length_);
        std::memcpy(text_.data() + length_, part, count);
        length_ += count;
        text_[length_] = '\0';
        return *this;
    }
    // In decimal; not printf, which the Windows program would otherwise carry.
    TextWriter& operator<<(int number) {
        char digits[12];
        char* start = digits + sizeof digits;
        *--start = '\0';
        unsigned value =
            number < 0 ? 0U - static_cast<unsigned>(number) : static_cast<unsigned>(number);
        do {
            *--start = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        if (number < 0) {
            *--start = '-';
        }
        return *this << static_cast<const char*>(start);
    }

private:
    std::array<char, Size>& text_;
    std::size_t length_;
};

}  // namespace qrv
