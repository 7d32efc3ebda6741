// Cost of the software rasterizer's per-pixel loops: composing a row with alpha ("over"), with an
// opacity, and cross-fading two rows, each as the plain loop and as the SSE2 loop, on a 256-pixel
// row of premultiplied pixels. Compare the Plain and Sse2 figures of one run with each other.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "gui/Bitmap.h"

namespace {

constexpr int kRow = 256;

std::vector<uint32_t> pixels(unsigned seed) {
    std::vector<uint32_t> v(kRow);
    for (uint32_t& p : v) {
        seed = seed * 1664525u + 1013904223u;
        const uint32_t alpha = seed >> 24;
        uint32_t out = (255 - alpha) << 24;
        for (int s = 0; s < 24; s += 8) out |= ((seed >> s) & 0xFF) * alpha / 255 << s;
        p = out;
    }
    return v;
}

template <void (*Compose)(uint32_t*, const uint32_t*, int, int)>
void compose(benchmark::State& state) {
    const std::vector<uint32_t> src = pixels(7);
    std::vector<uint32_t> dst = pixels(11);
    const int opacity = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Compose(dst.data(), src.data(), kRow, opacity);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRow);
}

template <void (*Fade)(uint32_t*, const uint32_t*, const uint32_t*, int, int)>
void crossFade(benchmark::State& state) {
    const std::vector<uint32_t> a = pixels(7), b = pixels(11);
    std::vector<uint32_t> dst(kRow);
    for (auto _ : state) {
        Fade(dst.data(), a.data(), b.data(), kRow, 100);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRow);
}

BENCHMARK(compose<gui::Bitmap::composeRowPlain>)->Name("BitmapOverPlain")->Arg(255);
BENCHMARK(compose<gui::Bitmap::composeRowSse2>)->Name("BitmapOverSse2")->Arg(255);
BENCHMARK(compose<gui::Bitmap::composeRowPlain>)->Name("BitmapOpacityPlain")->Arg(128);
BENCHMARK(compose<gui::Bitmap::composeRowSse2>)->Name("BitmapOpacitySse2")->Arg(128);
BENCHMARK(crossFade<gui::Bitmap::crossFadeRowPlain>)->Name("BitmapCrossFadePlain");
BENCHMARK(crossFade<gui::Bitmap::crossFadeRowSse2>)->Name("BitmapCrossFadeSse2");

}  // namespace
