// Memory for image buffers: large blocks straight from the system, small ones from operator new.
#include <sys/mman.h>

#include <new>

#include "core/bytes.h"

namespace quarnel {

namespace {

// A build with AddressSanitizer keeps every block on its own heap, where it sees reads and
// writes past the end; such a block starts unset.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kMapLargeBlocks = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kMapLargeBlocks = false;
#else
constexpr bool kMapLargeBlocks = true;
#endif
#else
constexpr bool kMapLargeBlocks = true;
#endif

bool Mapped(std::size_t n) { return kMapLargeBlocks && n >= kMappedImageMemory; }

}  // namespace

void* AllocateImageMemory(std::size_t n) {
  if (!Mapped(n)) return ::operator new(n);
  void* p = ::mmap(nullptr, n, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  return p;
}

void FreeImageMemory(void* p, std::size_t n) noexcept {
  if (p == nullptr) return;
  if (Mapped(n))
    ::munmap(p, n);
  else
    ::operator delete(p);
}

bool ImageMemoryStartsZeroed(std::size_t n) { return Mapped(n); }

}  // namespace quarnel
