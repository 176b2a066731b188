#include "tests/e2e/failing_allocation.h"
#include <windows.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<DWORD> armedThread{0};
std::atomic<bool> refused{false};

}  // namespace

namespace e2e {

void failNextAllocation() {
    refused = false;
    armedThread = ::GetCurrentThreadId();
}

bool allocationRefused() {
    armedThread = 0;
    return refused;
}

}  // namespace e2e

// Replaces the library's: the same malloc and free, with the one refusal.
void* operator new(std::size_t size) {
    DWORD self = ::GetCurrentThreadId();
    if (armedThread.compare_exchange_strong(self, 0)) {
        refused = true;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
