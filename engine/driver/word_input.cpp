#include "driver/word_input.h"

#include <climits>
#include <cstring>

namespace {
inline bool is_blank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
inline bool is_digit(int c) {
    return c >= '0' && c <= '9';
}
} // namespace

bool WordInput::fill() {
    if (eof_) return false;
    int got = source_.read(buffer_, static_cast<int>(sizeof buffer_));
    if (got <= 0) {
        eof_ = true;
        return false;
    }
    start_ = 0;
    end_ = got;
    return true;
}

int WordInput::peek() {
    if (start_ == end_ && !fill()) return -1;
    return static_cast<unsigned char>(buffer_[start_]);
}

bool WordInput::read_word(char (&word)[WORD_BUFFER]) {
    int c;
    while ((c = peek()) != -1 && is_blank(c)) ++start_;
    if (c == -1) {
        word[0] = 0;
        return false;
    }
    int n = 0;
    while ((c = peek()) != -1 && !is_blank(c)) {
        if (n < WORD_BUFFER - 1) word[n++] = static_cast<char>(c);
        ++start_;
    }
    word[n] = 0;
    return true;
}

CountResult WordInput::read_count(int& count) {
    int c;
    while ((c = peek()) != -1 && is_blank(c)) ++start_;
    if (c == -1) return CountResult::end_of_input;
    bool negative = false;
    if (c == '+' || c == '-') {
        // The sign is only taken when a digit follows it in what has been read so far;
        // otherwise the word is left whole for the next read.
        if (start_ + 1 >= end_ || !is_digit(static_cast<unsigned char>(buffer_[start_ + 1])))
            return CountResult::not_a_number;
        negative = c == '-';
        ++start_;
        c = peek();
    }
    if (!is_digit(c)) return CountResult::not_a_number;
    long long value = 0;
    while ((c = peek()) != -1 && is_digit(c)) {
        if (value <= INT_MAX) value = value * 10 + (c - '0');
        ++start_;
    }
    if (negative) value = -value;
    if (value > INT_MAX) value = INT_MAX;
    if (value < INT_MIN) value = INT_MIN;
    count = static_cast<int>(value);
    return CountResult::ok;
}

void WordInput::drop_pending() {
    if (!source_.drops_pending()) return;
    start_ = end_ = 0;
    // Bounded, so a writer that never pauses cannot hold the engine here.
    char scratch[4096];
    for (int i = 0; i < 256; ++i)
        if (source_.read_available(scratch, static_cast<int>(sizeof scratch)) <= 0) break;
}
