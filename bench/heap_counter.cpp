#include "heap_counter.h"

#include <atomic>
#include <cstddef>

// glibc's own allocator under its internal names: the definitions below take
// the public names in this program and pass every call on.
extern "C" void* __libc_malloc(std::size_t size);
extern "C" void* __libc_calloc(std::size_t count, std::size_t size);
extern "C" void* __libc_realloc(void* memory, std::size_t size);

namespace {
std::atomic<std::uint64_t> allocations{0};
}  // namespace

extern "C" void* malloc(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}

extern "C" void* calloc(std::size_t count, std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}

extern "C" void* realloc(void* memory, std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(memory, size);
}

std::uint64_t korvex::bench::heap_allocations() {
  return allocations.load(std::memory_order_relaxed);
}
