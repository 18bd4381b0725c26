// Any byte stream into the engine's command loop, with the real command handling and a
// search cut short by a small node limit, so every line the engine draws is searched.
//
// Input: the first byte's low six bits set how many bytes one read may return, 0 for as
// many as the reader asks for ('@' in the seeds; 'A' reads byte by byte, so words and
// counts straddle refills of the reader); the rest is split at every '|' into chunks that
// arrive one after another, each only once everything before it has been read, as from a
// controller that waits for replies. The current chunk counts as already arrived, so
// dropping pending input discards the rest of it. After each input the position must pass
// the model's consistency check and round1 must be the number of drawn lines plus one.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef __linux__
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "driver/command_loop.h"
#include "driver/word_input.h"
#include "model/model_check.h"
#include "model/position.h"
#include "search/transposition_table.h"

namespace {

// Never part of a word the engine needs, and it keeps the seed inputs readable.
constexpr unsigned char CHUNK_END = '|';

class FuzzSource : public ByteSource {
  public:
    FuzzSource(const uint8_t* data, size_t size, int read_size)
        : data_(data), size_(size), read_size_(read_size) {
        chunk_end_ = find_chunk_end(0);
    }

    int read(char* buffer, int size) override {
        // The current chunk is used up: the next one arrives now.
        while (pos_ == chunk_end_ && chunk_end_ < size_) {
            pos_ = chunk_end_ + 1;
            chunk_end_ = find_chunk_end(pos_);
        }
        int n = size < read_size_ ? size : read_size_;
        return take(buffer, n);
    }

    int read_available(char* buffer, int size) override { return take(buffer, size); }

  private:
    size_t find_chunk_end(size_t from) const {
        const void* p = from < size_ ? std::memchr(data_ + from, CHUNK_END, size_ - from) : nullptr;
        return p ? static_cast<size_t>(static_cast<const uint8_t*>(p) - data_) : size_;
    }

    int take(char* buffer, int size) {
        size_t left = chunk_end_ - pos_;
        size_t n = left < static_cast<size_t>(size) ? left : static_cast<size_t>(size);
        std::memcpy(buffer, data_ + pos_, n);
        pos_ += n;
        return static_cast<int>(n);
    }

    const uint8_t* data_;
    size_t size_;
    int read_size_;
    size_t pos_ = 0;
    size_t chunk_end_ = 0;
};

std::FILE* null_stream() {
#ifdef _WIN32
    static std::FILE* f = std::fopen("NUL", "w");
#else
    static std::FILE* f = std::fopen("/dev/null", "w");
#endif
    return f;
}

int drawn_lines() {
    int n = 0;
    for (int i = 0; i < 30; ++i) n += (hline_drawn[i] != 0) + (vline_drawn[i] != 0);
    return n;
}

// The table outlives games and inputs; cleared, every input replays alike. A search of a
// few hundred nodes touches few of its pages, so on Linux the pages are handed back to be
// zero-filled when next touched rather than written over, a few times faster per input.
void clear_table() {
    char* begin = reinterpret_cast<char*>(transposition_table);
    char* end = begin + sizeof(transposition_table);
#ifdef __linux__
    const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    char* first =
        reinterpret_cast<char*>((reinterpret_cast<uintptr_t>(begin) + page - 1) & ~(page - 1));
    char* last = reinterpret_cast<char*>(reinterpret_cast<uintptr_t>(end) & ~(page - 1));
    if (first < last && madvise(first, static_cast<size_t>(last - first), MADV_DONTNEED) == 0) {
        std::memset(begin, 0, static_cast<size_t>(first - begin));
        std::memset(last, 0, static_cast<size_t>(end - last));
        return;
    }
#endif
    std::memset(begin, 0, static_cast<size_t>(end - begin));
}

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "fuzz_engine_commands: %s\n", what);
    std::abort();
}

} // namespace

// Undefined behaviour found by the sanitizer stops the run like a crash, so it is saved.
extern "C" const char* __ubsan_default_options() {
    return "halt_on_error=1:print_stacktrace=1";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    int read_size = data[0] & 63;
    if (read_size == 0) read_size = 1 << 20;
    FuzzSource source(data + 1, size - 1, read_size);
    WordInput in(source);

    SearchLimits limits;
    limits.budget_ms = 10000; // the node limit ends every search long before this
    limits.max_depth = 6;
    limits.node_limit = 300;
    limits.seed = 12345;
    clear_table();

    std::FILE* out = null_stream();
    if (out == nullptr) fail("cannot open the null device");
    if (run_command_loop(in, out, out, limits) != 0)
        fail("command loop ended with a failure status");

    if (const char* f = model_fault()) fail(f);
    if (round1 != drawn_lines() + 1) fail("round1 is not the number of drawn lines plus one");
    if (engine_first + engine_second > 1 || engine_first < 0 || engine_second < 0)
        fail("both sides opened the game");
    return 0;
}
