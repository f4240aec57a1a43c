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

private:
    std::array<char, Size>& text_;
    std::size_t length_;
};

}  // namespace qrv
