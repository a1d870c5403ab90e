#include "BlockPool.h"

#include "Sanitizer.h"

#include <algorithm>
#include <atomic>
#include <new>
#include <thread>

#include <sys/mman.h>

namespace lynkora::BlockPool {

namespace {

constexpr std::size_t kGrain = 8;
constexpr std::size_t kClasses = kLargest / kGrain;
// A class's chunks grow with what it holds, so the unused rest of its newest chunk stays a
// small part of it: chunks are mapped with their pages made at once (one call instead of a
// fault per page, the cost of a large load), so that rest is memory in use.
constexpr std::size_t kFirstChunk = std::size_t{64} << 10;
constexpr std::size_t kLargestChunk = std::size_t{1} << 20;

struct FreeBlock {
    FreeBlock* next;
};

// One size of block. Constant-initialised and never destroyed, so blocks may still be given
// back while the program's statics are torn down.
struct SizeClass {
    std::atomic_flag busy;
    FreeBlock* free = nullptr;
    char* next = nullptr; // the unused rest of the newest chunk
    char* end = nullptr;
    std::size_t mapped = 0; // bytes of all its chunks
};

SizeClass g_classes[kClasses];

// Holding a class is a few instructions; contention (the loading thread and the window's) is
// rare and short, so waiting spins, yielding.
class Hold {
public:
    explicit Hold(SizeClass& c) : m_c(c) {
        while (m_c.busy.test_and_set(std::memory_order_acquire))
            while (m_c.busy.test(std::memory_order_relaxed))
                std::this_thread::yield();
    }
    ~Hold() { m_c.busy.clear(std::memory_order_release); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

private:
    SizeClass& m_c;
};

std::size_t ClassOf(std::size_t bytes) { return (bytes + kGrain - 1) / kGrain - 1; }

} // namespace

void* Allocate(std::size_t bytes) {
    if (bytes == 0)
        bytes = 1;
    if (kUnderSanitizer || bytes > kLargest)
        return ::operator new(bytes);
    const std::size_t index = ClassOf(bytes);
    const std::size_t size = (index + 1) * kGrain;
    SizeClass& c = g_classes[index];
    Hold hold(c);
    if (FreeBlock* block = c.free) {
        c.free = block->next;
        return block;
    }
    if (c.next == nullptr || static_cast<std::size_t>(c.end - c.next) < size) {
        const std::size_t bytes = std::clamp(c.mapped / 32, kFirstChunk, kLargestChunk) & ~std::size_t{4095};
        void* chunk = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (chunk == MAP_FAILED)
            throw std::bad_alloc();
        c.mapped += bytes;
        c.next = static_cast<char*>(chunk);
        c.end = c.next + bytes;
    }
    void* block = c.next;
    c.next += size;
    return block;
}

void Free(void* block, std::size_t bytes) noexcept {
    if (!block)
        return;
    if (bytes == 0)
        bytes = 1;
    if (kUnderSanitizer || bytes > kLargest) {
        ::operator delete(block);
        return;
    }
    SizeClass& c = g_classes[ClassOf(bytes)];
    Hold hold(c);
    auto* freed = static_cast<FreeBlock*>(block);
    freed->next = c.free;
    c.free = freed;
}

} // namespace lynkora::BlockPool
