// Zeroed memory for the large tables of the strong player. The tables are read at random,
// so on Linux they are asked to live in 2 MB pages (where the kernel allows it): far fewer
// address translations miss the processor's cache. Elsewhere ordinary memory.
#pragma once

#include <cstddef>
#include <cstdint>

namespace strong {

class TableMemory {
  public:
    explicit TableMemory(size_t words);
    ~TableMemory();
    TableMemory(const TableMemory&) = delete;
    TableMemory& operator=(const TableMemory&) = delete;

    uint64_t* data() { return words_; }
    const uint64_t* data() const { return words_; }
    size_t size() const { return size_; }
    void clear();

  private:
    uint64_t* words_;
    size_t size_;
};

} // namespace strong
