#pragma once

#include <cstddef>

namespace lynkora {

// Small blocks for the objects a collection holds by the million (shortcuts and their texts),
// carved from large chunks and kept on free lists by size: no header and no 16-byte rounding
// per block, which with a million shortcuts is a sixth of the heap. Blocks of any thread;
// chunks are kept for reuse, never given back. Under a sanitizer every block is the heap's own,
// so misuse is still caught.
namespace BlockPool {

// Blocks above this size are the heap's.
constexpr std::size_t kLargest = 256;

// A block of at least `bytes`, aligned for anything up to 8 bytes; throws std::bad_alloc.
void* Allocate(std::size_t bytes);
// Gives back a block of Allocate with the same size; nullptr does nothing.
void Free(void* block, std::size_t bytes) noexcept;

} // namespace BlockPool

} // namespace lynkora
