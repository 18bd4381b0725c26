// The program's standard input as a ByteSource: blocking reads, and what has already
// arrived without waiting (poll on POSIX, the pipe's or console's own calls on Windows).
#pragma once

#include "driver/word_input.h"

// The program's standard input.
class StdinSource : public ByteSource {
  public:
    StdinSource();
    int read(char* buffer, int size) override;
    int read_available(char* buffer, int size) override;
    bool drops_pending() const override { return !is_file_; }

  private:
    bool is_file_ = false;
};
