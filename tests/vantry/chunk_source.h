// Test input for the word reader and the command loop.
#pragma once

#include <cstring>

#include "driver/word_input.h"

// Test input: each chunk arrives only once everything before it has been read, like a
// controller that sends one command and waits for the reply.
class ChunkSource : public ByteSource {
  public:
    ChunkSource(const char* const* chunks, int count) : chunks_(chunks), count_(count) {}
    int read(char* buffer, int size) override {
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
    int read_available(char*, int) override { return 0; }

  private:
    const char* const* chunks_;
    int count_;
    int next_ = 0;
    int offset_ = 0;
};
