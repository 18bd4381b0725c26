#include "driver/word_input.h"

#include <climits>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {
inline bool is_blank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
inline bool is_digit(int c) {
    return c >= '0' && c <= '9';
}
} // namespace

#ifdef _WIN32

StdinSource::StdinSource() {
    is_file_ = GetFileType(GetStdHandle(STD_INPUT_HANDLE)) == FILE_TYPE_DISK;
}

int StdinSource::read(char* buffer, int size) {
    DWORD got = 0;
    if (!ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, static_cast<DWORD>(size), &got, nullptr))
        return 0; // a closed pipe is the end of input
    return static_cast<int>(got);
}

int StdinSource::read_available(char* buffer, int size) {
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    switch (GetFileType(in)) {
    case FILE_TYPE_PIPE: {
        DWORD available = 0;
        if (!PeekNamedPipe(in, nullptr, 0, nullptr, &available, nullptr) || available == 0)
            return 0;
        DWORD want = available < static_cast<DWORD>(size) ? available : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(in, buffer, want, &got, nullptr)) return 0;
        return static_cast<int>(got);
    }
    case FILE_TYPE_CHAR:
        // A console keeps typed input as events; dropping them is all there is to do.
        FlushConsoleInputBuffer(in);
        return 0;
    default:
        return 0;
    }
}

#else

StdinSource::StdinSource() {
    struct stat st;
    is_file_ = fstat(0, &st) == 0 && S_ISREG(st.st_mode);
}

int StdinSource::read(char* buffer, int size) {
    for (;;) {
        ssize_t got = ::read(0, buffer, static_cast<size_t>(size));
        if (got >= 0) return static_cast<int>(got);
        if (errno != EINTR) return 0; // an unreadable input ends the session like EOF
    }
}

int StdinSource::read_available(char* buffer, int size) {
    pollfd p{0, POLLIN, 0};
    if (poll(&p, 1, 0) <= 0 || (p.revents & (POLLIN | POLLHUP)) == 0) return 0;
    ssize_t got = ::read(0, buffer, static_cast<size_t>(size));
    return got > 0 ? static_cast<int>(got) : 0;
}

#endif

int ChunkSource::read(char* buffer, int size) {
    while (next_ < count_) {
        const char* chunk = chunks_[next_];
        int left = static_cast<int>(std::strlen(chunk)) - offset_;
        if (left > 0) {
            int n = left < size ? left : size;
            std::memcpy(buffer, chunk + offset_, static_cast<size_t>(n));
            offset_ += n;
            return n;
        }
        ++next_;
        offset_ = 0;
    }
    return 0;
}

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
