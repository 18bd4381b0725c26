#include "endgame/table_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace strong {

TableMemory::TableMemory(size_t words) : words_(nullptr), size_(words) {
    const size_t bytes = words * sizeof(uint64_t);
#ifdef __linux__
    constexpr size_t HUGE_PAGE = size_t{1} << 21;
    void* p = nullptr;
    if (bytes >= HUGE_PAGE && posix_memalign(&p, HUGE_PAGE, bytes) == 0) {
        madvise(p, bytes, MADV_HUGEPAGE); // a hint: without it the table still works
        words_ = static_cast<uint64_t*>(p);
    }
#endif
    if (!words_) words_ = static_cast<uint64_t*>(std::malloc(bytes));
    if (!words_) throw std::bad_alloc();
    clear();
}

TableMemory::~TableMemory() {
    std::free(words_);
}

void TableMemory::clear() {
    std::memset(words_, 0, size_ * sizeof(uint64_t));
}

} // namespace strong
