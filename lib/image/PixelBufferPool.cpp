#include "lib/image/PixelBufferPool.h"

#include <mutex>
#include <new>
#include <utility>

namespace {

struct Pool {
    std::mutex lock;
    PixelBuffer kept[kPoolBuffers];
};

// Never destroyed: a holder destroyed late in the process's exit may still hand a buffer back.
// What it keeps goes with the process.
Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

}  // namespace

PixelBuffer TakePixelBuffer(size_t count) {
    if (count == 0) count = 1;
    try {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> guard(pool.lock);
        PixelBuffer* best = nullptr;
        for (PixelBuffer& b : pool.kept)
            if (b.pixels && b.capacity >= count && (!best || b.capacity < best->capacity))
                best = &b;
        if (best) {
            PixelBuffer taken = std::move(*best);
            best->capacity = 0;
            return taken;
        }
    } catch (...) {
        // Without the lock the pool is passed over.
    }
    PixelBuffer fresh;
    fresh.pixels.reset(new (std::nothrow) RGBX[count]);
    if (fresh.pixels) fresh.capacity = count;
    return fresh;
}

void ReleasePixelBuffer(PixelBuffer buffer) {
    if (!buffer.pixels || buffer.capacity > kPoolMaxPixels) return;
    Pool& pool = ThePool();
    std::unique_lock<std::mutex> guard(pool.lock, std::defer_lock);
    try {
        guard.lock();
    } catch (...) {
        return;  // freed, not kept
    }
    // Into an empty place, else in place of the smallest kept one if that is smaller.
    PixelBuffer* place = nullptr;
    for (PixelBuffer& b : pool.kept) {
        if (!b.pixels) {
            place = &b;
            break;
        }
        if (!place || b.capacity < place->capacity) place = &b;
    }
    if (place->pixels && place->capacity >= buffer.capacity) return;
    // The buffer replaced is freed when `buffer` goes out of scope.
    std::swap(*place, buffer);
}

void ClearPixelBufferPool() {
    Pool& pool = ThePool();
    PixelBuffer freed[kPoolBuffers];
    std::unique_lock<std::mutex> guard(pool.lock, std::defer_lock);
    try {
        guard.lock();
    } catch (...) {
        return;
    }
    for (size_t i = 0; i < kPoolBuffers; ++i) std::swap(freed[i], pool.kept[i]);
}
