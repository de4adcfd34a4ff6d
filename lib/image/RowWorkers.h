// A small pool of worker threads that the arithmetic-bound processors split their destination
// rows over. Every row is computed exactly as on one thread, so the output does not depend on how
// many threads there are. The pool starts at its first use and stops with StopRowWorkers (the
// engine calls it when it goes, and it runs at process exit).
#pragma once

#include <cstdint>

#include "lib/PeltoLibApi.h"

namespace pelto_image {

// Pictures with fewer destination pixels than this stay on the calling thread: waking the
// workers costs more than they would save.
constexpr int64_t kParallelMinPixels = int64_t(1) << 16;

// How many threads (the caller included) the rows are split over: the number set last with
// SetRowThreads, else the environment variable PELTO_THREADS, else the machine's cores.
PELTOLIB_API int RowThreadCount();

// Sets the thread count for the next runs (tests and benchmarks); 0 goes back to the default.
PELTOLIB_API void SetRowThreads(int nThreads);

// Pictures below this many destination pixels run on one thread; tests lower it to split even
// tiny pictures. A negative value goes back to kParallelMinPixels.
PELTOLIB_API void SetParallelMinPixels(int64_t nPixels);

// Ends the worker threads and waits for them; the next split starts them again.
PELTOLIB_API void StopRowWorkers();

// The worker threads running now (the caller not counted).
PELTOLIB_API int RunningRowWorkers();

class RowTask {
public:
    // Computes destination rows [first, last).
    virtual void Run(int64_t first, int64_t last) = 0;

protected:
    ~RowTask() = default;
};

// Runs task over rows [0, nRows) in contiguous bands, on the pool's threads and the caller's, and
// returns when every band is done. nPixels (the destination's size) decides whether threads pay.
// A band that throws makes the whole run throw std::bad_alloc on the calling thread, after every
// other band has ended, as the run on one thread would have thrown.
PELTOLIB_API void RunRowTask(int64_t nRows, int64_t nPixels, RowTask& task);

template <typename F>
void SplitRows(int64_t nRows, int64_t nPixels, F&& body) {
    struct Task final : RowTask {
        explicit Task(F& f) : m_f(f) {}
        void Run(int64_t first, int64_t last) override { m_f(first, last); }
        F& m_f;
    } task(body);
    RunRowTask(nRows, nPixels, task);
}

}  // namespace pelto_image
