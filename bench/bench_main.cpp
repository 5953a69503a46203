// Speed and memory goals of the game, measured on the real code: the cost of
// an update and a render of busy screens, every screen's draw calls and
// times, the renderer against SDL2, and the collector's memory under
// allocation churn. Prints one line per goal with the measurement and
// whether it meets the goal; exits 1 if any goal fails.
#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <functional>

#include "bench/bench.h"
#include "graphics/graphics.h"
#include "testing/scenario.h"

namespace bench {

namespace {
bool g_missed = false;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void Report(const char* what, double value, double goal, const char* unit) {
    bool ok = value <= goal;
    if (!ok) g_missed = true;
    printf("%-52s %10.3f %-4s (goal <= %g) %s\n", what, value, unit, goal, ok ? "ok" : "MISSED");
}

bool AnyMissed() { return g_missed; }

namespace {
double CpuMs(clockid_t clock) {
    timespec ts;
    clock_gettime(clock, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}
}  // namespace

double ThreadCpuMs() { return CpuMs(CLOCK_THREAD_CPUTIME_ID); }
double ProcessCpuMs() { return CpuMs(CLOCK_PROCESS_CPUTIME_ID); }

}  // namespace bench

namespace {

double MillisPer(int n, const std::function<void()>& body) {
    double t0 = bench::NowMs();
    for (int i = 0; i < n; ++i) body();
    return (bench::NowMs() - t0) / n;
}

}  // namespace

int main(int argc, char** argv) {
    using bench::Report;
    // With arguments only the parts named run: game, screens, sdl, collector.
    auto part = [&](const char* name) {
        for (int i = 1; i < argc; ++i)
            if (!strcmp(argv[i], name)) return true;
        return argc < 2;
    };
    if (part("game")) {
        Scenario s(960, 540);
        s.ToMenu();
        Report("menu: one update", MillisPer(600, [&] { s.Update(); }), 1.0, "ms");
        Report("menu: one render", MillisPer(120, [&] { s.Render(); }), 16.0, "ms");

        // The busiest screens are mini-games with the star field.
        c_MyApp* app = s.App();
        app->m_game = 4;
        app->m_mode = MODE_LOADING_GAME;
        s.Step();
        Report("Dedu Dezu: one update", MillisPer(600, [&] { s.Update(); }), 2.0, "ms");
        app->m_game = 1;
        app->m_mode = MODE_LOADING_GAME;
        s.Step();
        Report("Vuror Idi (10001 watches): one update", MillisPer(600, [&] { s.Update(); }), 2.0, "ms");

        // A full draw list: 2499 glyph records in one texture.
        app->p_CLS2D(0, 0, 0, 1);
        while (app->m_drawCount < DRAW_LIST_FULL) app->p_DrawImg(IMG_FONT, 10, 10, 33);
        Report("render of a full draw list (2499 sprites)", MillisPer(60, [&] { s.Render(); }), 33.0, "ms");
    }

    if (part("screens")) bench::RunScreens();
    if (part("sdl")) bench::RunSdlComparison();

    // Collector: a steady churn of short-lived objects must not grow the heap.
    if (part("collector")) {
        int64_t before = gc_max_alloced_bytes;
        for (int frame = 0; frame < 3000; ++frame) {
            for (int i = 0; i < 200; ++i) Array<float> temp(64);
            gc_collect();
        }
        double mib = (gc_max_alloced_bytes - before) / 1048576.0;
        Report("collector: heap growth over 150 MiB of churn", mib, 32.0, "MiB");
    }
    return bench::AnyMissed() ? 1 : 0;
}
