// Every screen of the game's tour at 960 x 540: draw calls and textures of
// one frame at the GL boundary, and the median CPU time of an update and of
// a render's submission (up to its last draw call, before the swap).
#include <cstdio>
#include <string>

#include "bench/bench.h"
#include "testing/gl_recorder.h"
#include "testing/scenario.h"

namespace bench {

void RunScreens() {
    const int kFrames = 30;
    printf("\n%-16s %6s %9s %10s %10s\n", "screen", "draws", "textures", "update ms", "submit ms");
    Scenario s(960, 540);
    int screens = 0, oneCallPerTexture = 0, overBudget = 0;
    s.Tour([&](const std::string& screen) {
        GLRecorder::Install();
        s.Render();
        int draws = static_cast<int>(GLRecorder::draws.size()), textures = GLRecorder::Textures();
        GLRecorder::Remove();
        std::vector<double> update, submit;
        for (int i = 0; i < kFrames; ++i) {
            double t0 = ThreadCpuMs();
            s.Update();
            double t1 = ThreadCpuMs(), t2 = 0;
            s.RenderFrame([&] { t2 = ThreadCpuMs(); });
            update.push_back(t1 - t0);
            submit.push_back(t2 - t1);
        }
        printf("%-16s %6d %9d %10.3f %10.3f\n", screen.c_str(), draws, textures, Median(update), Median(submit));
        ++screens;
        if (draws == textures) ++oneCallPerTexture;
        if (draws > textures + Scenario::TexturesDrawnTwice(screen)) ++overBudget;
    });
    printf("screens with one draw call per texture: %d of %d\n", oneCallPerTexture, screens);
    Report("screens with more draws than textures (beyond under/over an overlay)", overBudget, 0, "");
}

}  // namespace bench
