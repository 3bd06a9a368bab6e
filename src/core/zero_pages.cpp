#include "core/zero_pages.h"

#include <sys/mman.h>

#include <new>

namespace ringsmooth {

void* zeroPages(std::size_t bytes) {
  void* memory =
      ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  // Large pages where the system offers them: a full table is 50 MB of page faults otherwise.
  ::madvise(memory, bytes, MADV_HUGEPAGE);
  return memory;
}

void releasePages(void* memory, std::size_t bytes) { ::munmap(memory, bytes); }

}  // namespace ringsmooth
