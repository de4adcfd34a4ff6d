// Speed of every processor and of the whole effect chain on a screenshot-like 3840 x 2160 picture,
// at AVX2 and AVX-512 on one and two threads, beside the plain reference versions and one memory
// copy of the picture; a table of ratios follows the run. Each processor is timed in rounds that
// take its plain version, the copy and its fast version on one and two threads back to back, and
// the chain in rounds of one and two threads.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bench/lib/image/PairedRounds.h"
#include "lib/image/ColorProcessors.h"
#include "lib/image/CpuFeatures.h"
#include "lib/image/FilterProcessors.h"
#include "lib/image/ImageFlipper.h"
#include "lib/image/ImageResizer.h"
#include "lib/image/ImageRotator.h"
#include "lib/image/ImageShearer.h"
#include "lib/image/PixelBufferPool.h"
#include "lib/image/PixelFill.h"
#include "lib/image/RowWorkers.h"
#include "lib/image/ProcessorChain.h"
#include "tests/lib/image/ReferenceProcessors.h"
#include "tests/lib/image/TestPictures.h"

namespace {

const uint32_t kBackground = 0x00FFFFFF;
const double kDeg45 = 45 * 3.141592653589793 / 180;

// A 16:9 picture w pixels wide, made once.
const Picture& Source(int w) {
    static std::map<int, Picture> pictures;
    auto it = pictures.find(w);
    if (it == pictures.end()) it = pictures.emplace(w, ScreenshotPicture(w, w * 9 / 16, 7)).first;
    return it->second;
}

struct Effect {
    const char* name;
    std::function<std::unique_ptr<CImage32BitProcessor>()> make;
    std::function<void(const Picture&, Picture&)> reference;
};

std::vector<Effect> Effects() {
    return {
        {"grey", [] { return std::make_unique<CImageGrayer>(); },
         [](const Picture& s, Picture& d) { ref::Gray(s.px.data(), s.w, s.h, d.px.data()); }},
        {"negate", [] { return std::make_unique<CImageNegator>(); },
         [](const Picture& s, Picture& d) { ref::Negate(s.px.data(), s.w, s.h, d.px.data()); }},
        {"replace", [] { return std::make_unique<CImageColorReplacer>(0, 0xFF); },
         [](const Picture& s, Picture& d) {
             ref::ReplaceColor(0, 0xFF, s.px.data(), s.w, s.h, d.px.data());
         }},
        {"mirror", [] { return std::make_unique<CImageFlipper>(1, 0); },
         [](const Picture& s, Picture& d) {
             ref::Flip(true, false, s.px.data(), s.w, s.h, d.px.data());
         }},
        {"rotate45_smooth", [] { return std::make_unique<CImageRotator>(45, 1); },
         [](const Picture& s, Picture& d) {
             ref::Rotate(kDeg45, true, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
         }},
        {"rotate45_nearest", [] { return std::make_unique<CImageRotator>(45, 0); },
         [](const Picture& s, Picture& d) {
             ref::Rotate(kDeg45, false, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
         }},
        {"reduce50", [] { return std::make_unique<CImageResizer>(0.5); },
         [](const Picture& s, Picture& d) {
             ref::Shrink(0.5, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
         }},
        {"enlarge200", [] { return std::make_unique<CImageResizer>(2.0); },
         [](const Picture& s, Picture& d) {
             ref::Enlarge(2.0, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
         }},
        {"shear50_smooth", [] { return std::make_unique<CImageShearer>(50, 50, 1); },
         [](const Picture& s, Picture& d) {
             ref::Shear(50, 50, true, s.px.data(), s.w, s.h, d.px.data(), d.w, d.h);
         }},
        {"blur5", [] { return std::make_unique<CImageBlurrer>(5); },
         [](const Picture& s, Picture& d) { ref::Blur(5, s.px.data(), s.w, s.h, d.px.data()); }},
        {"sharpen5", [] { return std::make_unique<CImageSharpener>(5); },
         [](const Picture& s, Picture& d) { ref::Sharpen(5, s.px.data(), s.w, s.h, d.px.data()); }},
    };
}

void SetRate(benchmark::State& state, const Picture& src) {
    state.counters["MP/s"] = benchmark::Counter(static_cast<double>(src.px.size()) / 1e6,
                                                benchmark::Counter::kIsIterationInvariantRate);
}

// A vector level and a thread count, set for one benchmark's run and undone after it.
struct Setting {
    pelto_image::VectorLevel level;
    int threads;
    static std::string LevelName(pelto_image::VectorLevel level) {
        return level == pelto_image::kVectorAvx512 ? "avx512" : "avx2";
    }
};

class ScopedSetting {
public:
    explicit ScopedSetting(const Setting& s) {
        pelto_image::SetVectorLevel(s.level);
        pelto_image::SetRowThreads(s.threads);
    }
    ~ScopedSetting() {
        pelto_image::SetVectorLevel(pelto_image::kVectorAvx512);
        pelto_image::SetRowThreads(0);
    }
};

// Rounds per processor and level; each takes about a second at most.
const int kRounds = 15;
// About how long each of a round's fast runs and copies takes, in milliseconds.
const double kSpanMs = 20;

// A picture of the given size for each name, made once: the processors overwrite it the same
// way every run, and the plain and fast versions share it.
Picture& Destination(const std::string& name, CSize size) {
    static std::map<std::string, Picture> pictures;
    auto it = pictures.find(name);
    if (it == pictures.end() || it->second.Size() != size)
        it = pictures.insert_or_assign(name, Picture(size.cx, size.cy, kBackground)).first;
    return it->second;
}

// One round per iteration; the time reported is one run on one thread, and the round's times
// and ratios are counters (their medians over the rounds make the table).
void RunRounds(benchmark::State& state, const Effect& e, int w, pelto_image::VectorLevel level) {
    ScopedSetting scoped(Setting{level, 1});
    const Picture& src = Source(w);
    std::unique_ptr<CImage32BitProcessor> p = e.make();
    const CSize size = p->CalcDestSize(src.Size());
    Picture& dst = Destination(e.name, size);
    Picture& copy = Destination("copy", src.Size());
    const auto plain = [&] {
        e.reference(src, dst);
        benchmark::DoNotOptimize(dst.px.data());
    };
    const auto fast = [&](int threads) {
        pelto_image::SetRowThreads(threads);
        p->ProcessPixels(src.px.data(), src.Size(), dst.px.data(), size);
        benchmark::DoNotOptimize(dst.px.data());
    };
    const auto copyOnce = [&] {
        std::memcpy(copy.px.data(), src.px.data(), src.px.size() * sizeof(RGBX));
        benchmark::DoNotOptimize(copy.px.data());
    };
    for (auto _ : state) {
        const RoundTimes t = TimeRound(plain, fast, copyOnce, kSpanMs);
        state.SetIterationTime(t.oneMs / 1000);
        state.counters["plain_ms"] = t.plainMs;
        state.counters["t2_ms"] = t.twoMs;
        state.counters["x_plain"] = t.plainMs / t.oneMs;
        state.counters["x_copy"] = t.oneMs / t.copyMs;
        state.counters["x_1thr"] = t.oneMs / t.twoMs;
    }
}

// The source buffer as the bitmap holder gets it (a kept buffer, the picture copied in as the
// platform's pixel read would), the chain, and the result copied out as the platform's write
// into the new bitmap would; the buffers go back for the next run, as the holder does.
void RunChainSteps(benchmark::State& state, const Picture& src, CImage32BitProcessor* const* steps,
                   size_t nSteps, std::vector<RGBX>* pBitmap) {
    const size_t bytes = src.px.size() * sizeof(RGBX);
    PixelBuffer source = TakePixelBuffer(src.px.size());
    std::memcpy(source.pixels.get(), src.px.data(), bytes);
    ChainOutput out;
    if (!RunProcessorChain(std::move(source.pixels), src.Size(), steps, nSteps, kBackground, &out,
                           source.capacity)) {
        state.SkipWithError("chain refused");
        return;
    }
    const size_t outBytes = static_cast<size_t>(out.size.cx) * out.size.cy * sizeof(RGBX);
    if (pBitmap->size() * sizeof(RGBX) < outBytes) pBitmap->resize(outBytes / sizeof(RGBX));
    std::memcpy(pBitmap->data(), out.pixels.get(), outBytes);
    benchmark::DoNotOptimize(pBitmap->data());
    PixelBuffer result;
    result.pixels = std::move(out.pixels);
    result.capacity = out.capacity;
    ReleasePixelBuffer(std::move(result));
}

// The engine's nine steps in its order, with typical settings, in rounds that time the chain on
// one and on two threads back to back (one round an iteration, as for the processors). The run
// that finds how often to run the chain also makes the output bitmap, whose first touch of every
// page would otherwise weigh on whichever run came first.
void RunChain(benchmark::State& state, int w, pelto_image::VectorLevel level) {
    ScopedSetting scoped(Setting{level, 1});
    const Picture& src = Source(w);
    CImageGrayer grey;
    CImageNegator negate;
    CImageColorReplacer replace(0x000000, 0x0000FF);
    CImageFlipper flip(1, 0);
    CImageRotator rotate(30, 1);
    CImageResizer resize(0.75);
    CImageShearer shear(40, 20, 1);
    CImageBlurrer blur(5);
    CImageSharpener sharpen(5);
    CImage32BitProcessor* steps[] = {&grey,   &negate, &replace, &flip,   &rotate,
                                     &resize, &shear,  &blur,    &sharpen};
    std::vector<RGBX> bitmap;
    const auto chain = [&](int threads) {
        pelto_image::SetRowThreads(threads);
        RunChainSteps(state, src, steps, 9, &bitmap);
    };
    // The round's plain version and copy have nothing to run here.
    for (auto _ : state) {
        const RoundTimes t = TimeRound([] {}, chain, [] {}, kSpanMs);
        state.SetIterationTime(t.oneMs / 1000);
        state.counters["t2_ms"] = t.twoMs;
        state.counters["x_1thr"] = t.oneMs / t.twoMs;
    }
}

// The driver's own cost: a chain of one step that only copies (the base processor). Compare
// with "copy", one memory copy of the picture: the run holds four copies' worth of work (the
// two platform transfers, the step's copy and the fill) plus whatever the driver adds.
void RunChainOverhead(benchmark::State& state, int w) {
    const Picture& src = Source(w);
    CImage32BitProcessor identity;
    CImage32BitProcessor* steps[] = {&identity};
    std::vector<RGBX> bitmap;
    for (auto _ : state) RunChainSteps(state, src, steps, 1, &bitmap);
    SetRate(state, src);
}

void RunCopy(benchmark::State& state, int w) {
    const Picture& src = Source(w);
    std::vector<RGBX> dst(src.px.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.px.data(), src.px.size() * sizeof(RGBX));
        benchmark::DoNotOptimize(dst.data());
    }
    SetRate(state, src);
}

// Collects the medians: of the times, and of the rounds' counters.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        // Every benchmark here reports in milliseconds. With repetitions the medians are kept.
        for (const Run& r : runs) {
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name != "median") continue;
            // The name without what the runs add to it (iterations, repetitions, time kind).
            const std::string& name = r.run_name.function_name;
            m_ms[name] = r.GetAdjustedRealTime();
            for (const auto& [counter, value] : r.counters) m_counters[name][counter] = value;
        }
        ConsoleReporter::ReportRuns(runs);
    }
    // Each processor at 3840 x 2160 beside its plain version, per level: the medians over the
    // rounds of the times, of the fast version's speed-up over the plain one and its time in
    // memory copies of the picture (both on one thread), and of its speed-up on two threads.
    void PrintRatios(const std::vector<pelto_image::VectorLevel>& levels) const {
        const double copy = Find("copy/3840");
        const double chain = Find("chain_overhead/3840");
        if (chain > 0 && copy > 0)
            std::printf("\nchain of one copying step at 3840x2160: %.2f ms = %.1f memory copies\n",
                        chain, chain / copy);
        std::printf("\none memory copy of the 3840x2160 picture: %.2f ms\n", copy);
        std::printf(
            "\nmedians of %d rounds, each timing the plain version, a copy and one and two "
            "threads back to back\n",
            kRounds);
        std::printf("%-18s %-7s %9s %8s %8s %8s %7s %9s\n", "3840x2160", "level", "plain ms",
                    "1 thr ms", "2 thr ms", "x plain", "x copy", "2 thr x");
        for (const Effect& e : Effects()) {
            for (pelto_image::VectorLevel level : levels) {
                const std::string name =
                    "rounds/" + std::string(e.name) + "/3840/" + Setting::LevelName(level);
                const double one = Find(name);
                if (one <= 0) continue;
                std::printf("%-18s %-7s %9.2f %8.2f %8.2f %7.1fx %6.2fx %8.2fx\n", e.name,
                            Setting::LevelName(level).c_str(), Counter(name, "plain_ms"), one,
                            Counter(name, "t2_ms"), Counter(name, "x_plain"),
                            Counter(name, "x_copy"), Counter(name, "x_1thr"));
            }
        }
        for (pelto_image::VectorLevel level : levels) {
            const std::string name = "chain/3840/" + Setting::LevelName(level);
            if (Find(name) > 0)
                std::printf("%-18s %-7s %9s %8.2f %8.2f %8s %7s %8.2fx\n", "chain of nine",
                            Setting::LevelName(level).c_str(), "", Find(name),
                            Counter(name, "t2_ms"), "", "", Counter(name, "x_1thr"));
        }
    }

    double Find(const std::string& name) const {
        const auto it = m_ms.find(name);
        return it == m_ms.end() ? 0 : it->second;
    }

    double Counter(const std::string& name, const std::string& counter) const {
        const auto it = m_counters.find(name);
        if (it == m_counters.end()) return 0;
        const auto c = it->second.find(counter);
        return c == it->second.end() ? 0 : c->second;
    }

private:
    std::map<std::string, double> m_ms;
    std::map<std::string, std::map<std::string, double>> m_counters;
};

}  // namespace

int main(int argc, char** argv) {
    // Every processor runs at AVX2 and (where the processor has it) AVX-512; the chain also on
    // one and two threads, the copy once.
    std::vector<pelto_image::VectorLevel> levels = {pelto_image::kVectorAvx2};
    if (pelto_image::CpuVectorLevel() >= pelto_image::kVectorAvx512)
        levels.push_back(pelto_image::kVectorAvx512);
    const int w = 3840;
    for (const Effect& e : Effects())
        for (pelto_image::VectorLevel level : levels)
            benchmark::RegisterBenchmark(
                ("rounds/" + std::string(e.name) + "/" + std::to_string(w) + "/" +
                 Setting::LevelName(level))
                    .c_str(),
                [e, w, level](benchmark::State& s) { RunRounds(s, e, w, level); })
                ->Unit(benchmark::kMillisecond)
                ->Iterations(1)
                ->Repetitions(kRounds)
                ->UseManualTime();
    for (pelto_image::VectorLevel level : levels)
        benchmark::RegisterBenchmark(
            ("chain/" + std::to_string(w) + "/" + Setting::LevelName(level)).c_str(),
            [w, level](benchmark::State& s) { RunChain(s, w, level); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(kRounds)
            ->UseManualTime();
    const std::pair<const char*, void (*)(benchmark::State&, int)> runs[] = {
        {"chain_overhead/", RunChainOverhead}, {"copy/", RunCopy}};
    for (const auto& [name, run] : runs)
        benchmark::RegisterBenchmark((name + std::to_string(w)).c_str(),
                                     [w, run = run](benchmark::State& s) { run(s, w); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios(levels);
    benchmark::Shutdown();
    return 0;
}
