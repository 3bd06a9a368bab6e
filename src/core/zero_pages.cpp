#include "core/zero_pages.h"

#include <sys/mman.h>

#include <new>

namespace ringsmooth {

void* zeroPages(std::size_t bytes, bool largePages) {
  void* memory =
      ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  if (largePages) ::madvise(memory, bytes, MADV_HUGEPAGE);
  return memory;
}

void releasePages(void* memory, std::size_t bytes) { ::munmap(memory, bytes); }

}  // namespace ringsmooth
