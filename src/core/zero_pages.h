#pragma once
// Large stores of numbers made of zero pages straight from the system.
#include <cstddef>

namespace ringsmooth {

// `bytes` of anonymous memory, all zero; only the pages that are used are ever touched, on the
// system's large pages where it offers them. Throws std::bad_alloc when there is no room.
void* zeroPages(std::size_t bytes);

// Gives back memory from zeroPages.
void releasePages(void* memory, std::size_t bytes);

}  // namespace ringsmooth
