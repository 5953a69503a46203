// The renderer against SDL2's OpenGL renderer with its command batching, on
// the same 16 x 16 sprites from one texture with the same (linear)
// filtering: plain, with a colour and alpha each, and rotated. Submission is
// timed in an 8 x 8 window that every sprite overlaps (SDL culls what lies
// outside), up to the last draw call; a whole frame at 960 x 540 up to
// glFinish. Trials alternate between the two; the medians are compared.
#include <GL/gl.h>
#include <GLFW/glfw3.h>
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "bench/bench.h"
#include "framework/app.h"
#include "graphics/graphics.h"
#include "host/glfw_game.h"
#include "testing/scenario.h"

namespace bench {
namespace {

enum Case { PLAIN, COLOUR, ROTATED, CASES };
const char* const kCaseNames[CASES] = {"plain", "colour+alpha", "rotated"};
const int kCounts[] = {500, 2500, 10000};
const int kSheet = 64, kFrame = 16;  // a sheet of 4 x 4 frames
const int kTrials = 15;

struct Sprite {
    float x, y, angle;
    unsigned char r, g, b, a;
    int frame;
};

// Sprites spread over a w x h area, the same for both renderers.
std::vector<Sprite> MakeSprites(int n, float w, float h) {
    std::vector<Sprite> out(n);
    unsigned seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 8) & 0xFFFF;
    };
    for (Sprite& s : out) {
        s.x = next() * w / 65535.0f;
        s.y = next() * h / 65535.0f;
        s.angle = next() * 360.0f / 65535.0f;
        s.r = static_cast<unsigned char>(next()), s.g = static_cast<unsigned char>(next());
        s.b = static_cast<unsigned char>(next()), s.a = static_cast<unsigned char>(128 + next() % 128);
        s.frame = next() % 16;
    }
    return out;
}

// Straight-alpha RGBA: in each frame a disc of the frame's own shade.
std::vector<unsigned char> SheetPixels() {
    std::vector<unsigned char> px(kSheet * kSheet * 4);
    for (int y = 0; y < kSheet; ++y)
        for (int x = 0; x < kSheet; ++x) {
            int fx = x % kFrame - 8, fy = y % kFrame - 8, frame = (y / kFrame) * 4 + x / kFrame;
            unsigned char* p = &px[(y * kSheet + x) * 4];
            bool in = fx * fx + fy * fy < 49;
            p[0] = static_cast<unsigned char>(frame * 16);
            p[1] = static_cast<unsigned char>(255 - frame * 16);
            p[2] = 200;
            p[3] = in ? 255 : 0;
        }
    return px;
}

// The game's renderer through the graphics module, as the draw-list replay
// uses it, in the scenario driver's window.
class Ours {
public:
    explicit Ours(Scenario& s) : m_window(s.Host()->Window()) {
        std::vector<unsigned char> px = SheetPixels();
        auto* data = static_cast<unsigned char*>(malloc(px.size()));
        memcpy(data, px.data(), px.size());
        gxtkSurface* surface = new gxtkSurface();
        surface->SetData(data, kSheet, kSheet, 4);
        m_image =
            (new c_Image)
                ->m_new()
                ->p_Init2(surface, 0, 0, kFrame, kFrame, 16, c_Image::CentreHandle, nullptr, 0, 0, kSheet, kSheet);
        // Kept by a slot of the app so no collection takes it.
        gc_assign(s.App()->m_images[50], m_image);
    }
    void Frame(const std::vector<Sprite>& sprites, Case c, bool finish) {
        gxtkGraphics* d = bb_app__delegate->m_graphics;
        d->BeginRender();
        bb_graphics_BeginRender();
        d->Cls(0, 0, 0);
        for (const Sprite& s : sprites) {
            if (c == COLOUR) bb_graphics_SetColorAlpha(s.r, s.g, s.b, s.a / 255.0f);
            bb_graphics_DrawImage2(m_image, s.x, s.y, c == ROTATED ? s.angle : 0, 1, 1, s.frame);
        }
        d->Flush();
        if (finish) glFinish();
        bb_graphics_EndRender();
    }
    void MakeCurrent() { glfwMakeContextCurrent(m_window); }

private:
    GLFWwindow* m_window;
    c_Image* m_image;
};

// SDL2's renderer on its OpenGL back end, batching on.
class Sdl {
public:
    Sdl(int w, int h) {
        m_window = SDL_CreateWindow("kq-bench SDL2", 0, 0, w, h, SDL_WINDOW_OPENGL);
        m_renderer = m_window ? SDL_CreateRenderer(m_window, -1, SDL_RENDERER_ACCELERATED) : nullptr;
        m_context = SDL_GL_GetCurrentContext();
        if (!m_renderer) return;
        std::vector<unsigned char> px = SheetPixels();
        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ABGR8888, SDL_TEXTUREACCESS_STATIC, kSheet, kSheet);
        SDL_UpdateTexture(m_texture, nullptr, px.data(), kSheet * 4);
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(m_texture, SDL_ScaleModeLinear);
    }
    ~Sdl() {
        if (m_texture) SDL_DestroyTexture(m_texture);
        if (m_renderer) SDL_DestroyRenderer(m_renderer);
        if (m_window) SDL_DestroyWindow(m_window);
    }
    bool Ok() const { return m_texture != nullptr; }
    // SDL believes its context is still current after the other window's
    // was made current: clear its belief, then make it current for real.
    void MakeCurrent() {
        SDL_GL_MakeCurrent(m_window, nullptr);
        SDL_GL_MakeCurrent(m_window, m_context);
    }
    void Frame(const std::vector<Sprite>& sprites, Case c, bool finish) {
        SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
        SDL_RenderClear(m_renderer);
        SDL_SetTextureColorMod(m_texture, 255, 255, 255);
        SDL_SetTextureAlphaMod(m_texture, 255);
        for (const Sprite& s : sprites) {
            if (c == COLOUR) {
                SDL_SetTextureColorMod(m_texture, s.r, s.g, s.b);
                SDL_SetTextureAlphaMod(m_texture, s.a);
            }
            SDL_Rect src = {(s.frame % 4) * kFrame, (s.frame / 4) * kFrame, kFrame, kFrame};
            SDL_FRect dst = {s.x - kFrame / 2, s.y - kFrame / 2, kFrame, kFrame};
            if (c == ROTATED) SDL_RenderCopyExF(m_renderer, m_texture, &src, &dst, -s.angle, nullptr, SDL_FLIP_NONE);
            else SDL_RenderCopyF(m_renderer, m_texture, &src, &dst);
        }
        SDL_RenderFlush(m_renderer);
        if (finish) glFinish();
    }

private:
    SDL_Window* m_window = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
    SDL_GLContext m_context = nullptr;
};

// CPU milliseconds per frame of one side, averaged over frames: for
// submission the drawing thread's, each frame started with the driver idle
// so that none waits for an earlier one to be rasterised; for a whole frame
// the process's, the rasteriser threads included.
template <class Side>
double TimeFrames(Side& side, const std::vector<Sprite>& sprites, Case c, bool finish, int frames) {
    side.MakeCurrent();
    glFinish();
    double (*clock)() = finish ? ProcessCpuMs : ThreadCpuMs;
    double total = 0;
    for (int i = 0; i < frames; ++i) {
        double t0 = clock();
        side.Frame(sprites, c, finish);
        total += clock() - t0;
        if (!finish) glFinish();
    }
    return total / frames;
}

// Ratio of the medians of interleaved trials (ours / SDL2's) for every
// count and case, each line also giving both medians.
void Compare(Scenario& s, Sdl& sdl, int w, int h, bool finish, const char* what, double goal2500, double goal500) {
    Ours ours(s);
    printf("\n%s (%d x %d window), CPU ms per frame\n%-14s %7s %12s %12s %8s\n", what, w, h, "case", "sprites", "ours",
           "SDL2", "ratio");
    for (int count : kCounts) {
        std::vector<Sprite> sprites = MakeSprites(count, static_cast<float>(w), static_cast<float>(h));
        int frames = 40000 / count;
        for (int c = 0; c < CASES; ++c) {
            Case kind = static_cast<Case>(c);
            TimeFrames(ours, sprites, kind, finish, 2);
            TimeFrames(sdl, sprites, kind, finish, 2);
            std::vector<double> a, b;
            for (int t = 0; t < kTrials; ++t) {
                if (t % 2) b.push_back(TimeFrames(sdl, sprites, kind, finish, frames));
                a.push_back(TimeFrames(ours, sprites, kind, finish, frames));
                if (!(t % 2)) b.push_back(TimeFrames(sdl, sprites, kind, finish, frames));
            }
            double ma = Median(a), mb = Median(b), ratio = mb > 0 ? ma / mb : 0;
            printf("%-14s %7d %12.4f %12.4f %8.2f\n", kCaseNames[c], count, ma, mb, ratio);
            char line[96];
            snprintf(line, sizeof line, "%s vs SDL2: %s, %d sprites", finish ? "frame" : "submission", kCaseNames[c],
                     count);
            double goal = count >= 2500 ? goal2500 : goal500;
            if (goal > 0) Report(line, ratio, goal, "x");
        }
    }
    ours.MakeCurrent();
}

}  // namespace

void RunSdlComparison() {
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "opengl");
    SDL_SetHint(SDL_HINT_RENDER_BATCHING, "1");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        fprintf(stderr, "kq-bench: SDL2 did not start (%s): no comparison\n", SDL_GetError());
        Report("SDL2 comparison ran", 1, 0, "");
        return;
    }
    struct Phase {
        int w, h;
        bool finish;
        const char* what;
        double goal2500, goal500;
    } phases[] = {{8, 8, false, "Submission, ours / SDL2", 0.6, 0},
                  {960, 540, true, "Whole frame with glFinish, ours / SDL2", 1.0, 1.0}};
    for (const Phase& p : phases) {
        Scenario s(p.w, p.h);
        Sdl sdl(p.w, p.h);
        if (!sdl.Ok()) {
            fprintf(stderr, "kq-bench: no SDL2 OpenGL renderer (%s): no comparison\n", SDL_GetError());
            Report("SDL2 comparison ran", 1, 0, "");
            break;
        }
        Compare(s, sdl, p.w, p.h, p.finish, p.what, p.goal2500, p.goal500);
    }
    SDL_Quit();
}

}  // namespace bench
