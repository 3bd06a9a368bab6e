#pragma once
// Large stores of numbers made of zero pages straight from the system.
#include <cstddef>

namespace ringsmooth {

// `bytes` of anonymous memory, all zero; only the pages that are used are ever touched. With
// `largePages`, on the system's large pages (2 MB) where it offers them: fewer faults for
// memory that is used nearly whole, but a large page is made whole (zeroed, perhaps compacted
// for) at its first touch. Throws std::bad_alloc when there is no room.
void* zeroPages(std::size_t bytes, bool largePages);

// Gives back memory from zeroPages.
void releasePages(void* memory, std::size_t bytes);

}  // namespace ringsmooth
