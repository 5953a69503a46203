// Speed and memory goals of the game, measured on the real code: the cost of
// an update and a render of busy screens, the renderer's throughput, and the
// collector's memory under allocation churn. Prints one line per goal with
// the measurement and whether it meets the goal; exits 1 if any goal fails.
#include <GLFW/glfw3.h>

#include <chrono>
#include <cstdio>
#include <functional>

#include "driver/scenario.h"
#include "graphics/graphics.h"

namespace {

int g_failures = 0;

double MillisPer(int n, const std::function<void()>& body) {
    auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) body();
    auto t1 = std::chrono::steady_clock::now();
    return std::chrono::duration<double, std::milli>(t1 - t0).count() / n;
}

void Report(const char* what, double value, double goal, const char* unit) {
    bool ok = value <= goal;
    if (!ok) ++g_failures;
    printf("%-52s %10.3f %-4s (goal <= %g) %s\n", what, value, unit, goal, ok ? "ok" : "MISSED");
}

}  // namespace

int main() {
    {
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
        while (app->m_drawCount < 37485) app->p_DrawImg(90, 10, 10, 33);
        Report("render of a full draw list (2499 sprites)", MillisPer(60, [&] { s.Render(); }), 33.0, "ms");
    }

    // Collector: a steady churn of short-lived objects must not grow the heap.
    {
        int64_t before = gc_max_alloced_bytes;
        for (int frame = 0; frame < 3000; ++frame) {
            for (int i = 0; i < 200; ++i) Array<float> temp(64);
            gc_collect();
        }
        double mib = (gc_max_alloced_bytes - before) / 1048576.0;
        Report("collector: heap growth over 150 MiB of churn", mib, 32.0, "MiB");
    }
    return g_failures ? 1 : 0;
}
