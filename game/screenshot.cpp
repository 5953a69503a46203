// Screenshots: F12 asks the next render to read back the frame it drew and
// write it as kestrel-quillons-YYYYMMDD-HHMMSS.png into the player's
// pictures folder, then a short note says how it went.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "game/myapp.h"
#include "graphics/png_write.h"
#include "host/paths.h"

namespace fs = std::filesystem;

namespace {

const int kNoteUpdates = 60;     // the note stays about a second
const int kNamesPerSecond = 99;  // pictures taken within one second get -2, -3, ...

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

// $XDG_PICTURES_DIR when it is set and there, else ~/Pictures when there,
// else the folder of the state file.
fs::path PicturesFolder() {
    const char* xdg = getenv("XDG_PICTURES_DIR");
    if (xdg && IsFolder(xdg)) return xdg;
    const char* home = getenv("HOME");
    if (home && *home && IsFolder(std::string(home) + "/Pictures")) return fs::path(home) / "Pictures";
    fs::path state = bbStateFolder();
    std::error_code ec;
    fs::create_directories(state, ec);  // otherwise made by the first save
    return state;
}

std::string LocalTimeStamp() {
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    char stamp[32];
    strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    return stamp;
}

}  // namespace

int c_MyApp::p_TakeScreenshot() {
    m_shotPending = 0;
    const int w = bb_graphics_DeviceWidth();
    const int h = bb_graphics_DeviceHeight();
    if (w <= 0 || h <= 0) return 0;
    Array<int> pixels(w * h);
    bb_graphics_ReadPixels(pixels, 0, 0, w, h, 0, w);

    std::error_code ec;
    fs::path folder = fs::absolute(PicturesFolder(), ec).lexically_normal();
    const std::string base = "kestrel-quillons-" + LocalTimeStamp();
    std::string path;
    int error = EEXIST;
    for (int n = 1; n <= kNamesPerSecond && error == EEXIST; ++n) {
        path = (folder / (base + (n > 1 ? "-" + std::to_string(n) : "") + ".png")).string();
        error = bb_graphics_WritePng(path, pixels.Data(), w, h);
    }

    m_shotFailed = error != 0 ? 1 : 0;
    m_shotNoteTimer = kNoteUpdates;
    if (error != 0) {
        fprintf(stderr, "Screenshot not saved: %s: %s\n", path.c_str(), strerror(error));
    } else {
        printf("Screenshot saved: %s\n", path.c_str());
        fflush(stdout);
    }
    return 0;
}

// The note over whatever screen is up, in the machine's yellow ink on a
// dark strip at the bottom.
int c_MyApp::p_ScreenshotNote() {
    if (m_shotNoteTimer <= 0) return 0;
    --m_shotNoteTimer;
    String text(m_shotFailed ? "Screenshot failed" : "Screenshot saved");
    const float cx = bb_Game_jscrw / 2;
    const float y = bb_Game_jscrh - 24;
    const float width = 8.0f * text.Length();
    p_ResetDraw();
    p_SetCol(0, 0, 0, 0.75f);
    p_Rect(cx - width / 2 - 4, y - 4, width + 8, 16);
    p_Ink(3, 1);
    p_Text(cx, y, text, 1, 0);
    p_ResetDraw();
    return 0;
}
