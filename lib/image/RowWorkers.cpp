#include "lib/image/RowWorkers.h"

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

namespace pelto_image {

namespace {

const int kMaxThreads = 64;
// More bands than threads: the bands are claimed one by one, so a thread that the system holds
// back (the machine is shared) ends up with fewer of them instead of holding up the rest.
const int64_t kBandsPerThread = 4;

std::atomic<int> g_nThreadsSet{0};
std::atomic<int64_t> g_nMinPixels{kParallelMinPixels};

// A band that splits its rows again would wait on the pool it is running in.
thread_local bool t_bInPool = false;

int DefaultThreads() {
    static const int nThreads = [] {
        if (const char* env = std::getenv("PELTO_THREADS")) {
            char* end = nullptr;
            const long v = std::strtol(env, &end, 10);
            if (end != env && *end == 0 && v >= 1) return v > kMaxThreads ? kMaxThreads : int(v);
        }
        const unsigned cores = std::thread::hardware_concurrency();
        return cores == 0 ? 1 : (cores > unsigned(kMaxThreads) ? kMaxThreads : int(cores));
    }();
    return nThreads;
}

struct Pool {
    // One split at a time; a second caller meanwhile runs its rows alone.
    std::mutex submit;
    std::mutex lock;
    std::condition_variable wake;
    std::condition_variable done;
    std::vector<std::thread> threads;
    bool stopping = false;
    // The split being run; bands are claimed and counted under `lock`, so a worker that wakes
    // late can never take a band of the next split with this one's task.
    RowTask* task = nullptr;
    int64_t nRows = 0;
    int64_t nBands = 0;
    int64_t nextBand = 0;
    int64_t bandsDone = 0;
    // A band that threw (memory ran out): the split fails as a whole, on the thread that asked
    // for it, once no band of it runs any more.
    bool bFailed = false;
};

// Never destroyed: the process may end while a holder still runs; StopRowWorkers ends the
// threads at exit.
Pool& ThePool() {
    static Pool* pool = new Pool;
    return *pool;
}

void RunClaimedBand(Pool& p, std::unique_lock<std::mutex>& lk) {
    const int64_t b = p.nextBand++;
    RowTask* task = p.task;
    const int64_t first = b * p.nRows / p.nBands, last = (b + 1) * p.nRows / p.nBands;
    lk.unlock();
    bool bFailed = false;
    try {
        task->Run(first, last);
    } catch (...) {
        bFailed = true;
    }
    lk.lock();
    if (bFailed) p.bFailed = true;
    if (++p.bandsDone == p.nBands) p.done.notify_all();
}

void WorkerLoop(Pool* p) {
    t_bInPool = true;
    std::unique_lock<std::mutex> lk(p->lock);
    for (;;) {
        p->wake.wait(lk, [p] { return p->stopping || (p->task && p->nextBand < p->nBands); });
        if (p->stopping) return;
        RunClaimedBand(*p, lk);
    }
}

void StopThreads(Pool& p) {
    {
        std::lock_guard<std::mutex> lk(p.lock);
        p.stopping = true;
    }
    p.wake.notify_all();
    for (std::thread& t : p.threads) t.join();
    p.threads.clear();
    std::lock_guard<std::mutex> lk(p.lock);
    p.stopping = false;
}

// Brings the pool to nWorkers threads; fewer when the system will not make more.
void EnsureWorkers(Pool& p, size_t nWorkers) {
    if (p.threads.size() == nWorkers) return;
    if (p.threads.size() > nWorkers) StopThreads(p);
    static std::once_flag atExit;
    std::call_once(atExit, [] { std::atexit(StopRowWorkers); });
    try {
        while (p.threads.size() < nWorkers) p.threads.emplace_back(WorkerLoop, &p);
    } catch (...) {
        // The rows are shared among the threads there are.
    }
}

}  // namespace

int RowThreadCount() {
    const int n = g_nThreadsSet.load(std::memory_order_relaxed);
    return n > 0 ? n : DefaultThreads();
}

void SetRowThreads(int nThreads) {
    g_nThreadsSet.store(nThreads < 0 ? 0 : (nThreads > kMaxThreads ? kMaxThreads : nThreads),
                        std::memory_order_relaxed);
}

void SetParallelMinPixels(int64_t nPixels) {
    g_nMinPixels.store(nPixels < 0 ? kParallelMinPixels : nPixels, std::memory_order_relaxed);
}

void StopRowWorkers() {
    Pool& p = ThePool();
    std::lock_guard<std::mutex> guard(p.submit);
    StopThreads(p);
}

int RunningRowWorkers() {
    Pool& p = ThePool();
    std::lock_guard<std::mutex> guard(p.submit);
    return static_cast<int>(p.threads.size());
}

void RunRowTask(int64_t nRows, int64_t nPixels, RowTask& task) {
    if (nRows <= 0) return;
    const int nThreads = RowThreadCount();
    if (nThreads <= 1 || nRows < 2 || nPixels < g_nMinPixels.load(std::memory_order_relaxed) ||
        t_bInPool) {
        task.Run(0, nRows);
        return;
    }
    Pool& p = ThePool();
    std::unique_lock<std::mutex> submit(p.submit, std::try_to_lock);
    if (!submit.owns_lock()) {
        task.Run(0, nRows);
        return;
    }
    EnsureWorkers(p, static_cast<size_t>(nThreads - 1));
    t_bInPool = true;
    const int64_t nBands = nRows < nThreads * kBandsPerThread ? nRows : nThreads * kBandsPerThread;
    std::unique_lock<std::mutex> lk(p.lock);
    p.task = &task;
    p.nRows = nRows;
    p.nBands = nBands;
    p.nextBand = 0;
    p.bandsDone = 0;
    p.bFailed = false;
    p.wake.notify_all();
    while (p.nextBand < p.nBands) RunClaimedBand(p, lk);
    p.done.wait(lk, [&p] { return p.bandsDone == p.nBands; });
    p.task = nullptr;
    t_bInPool = false;
    if (p.bFailed) throw std::bad_alloc();
}

}  // namespace pelto_image
