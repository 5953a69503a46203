// Asset loading: the resolution level from the window size, image and font
// slots, the incremental loader that loads one asset per update, the
// spinning loading display drawn meanwhile, and the player's message for a
// data file that did not load.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

#include "game/myapp.h"
#include "host/paths.h"

void bb_Game_ReportAsset(String path, const char* consequence) {
    static std::set<std::string> reported;
    std::string file = bb_data_FileName(path).ToUtf8();
    if (!reported.insert(file).second) return;
    const char* why = bb_data_FileExists(path) ? "is damaged (it cannot be decoded)" : "is missing";
    fprintf(stderr, "kestrel-quillons: %s %s; %s\n", file.c_str(), why, consequence);
    fflush(stderr);
}

namespace {

// Every image of the loader is drawn by some screen, and the font by all of
// them: without one the game would show broken or blank screens, so it
// names the file and stops.
void RequireImage(c_Image* image, String file) {
    if (image) return;
    bb_Game_ReportAsset(file, "the game cannot run without it (reinstall the game)");
    exit(1);
}

}  // namespace

void c_MyApp::p_SetHdLevel() {
    int w = bb_graphics_DeviceWidth();
    int h = bb_graphics_DeviceHeight();
    m_hdLevel = 1;
    m_hdScale = 1.0f;
    if (w > 630 || h > 630) {
        m_hdLevel = 2;
        m_hdScale = 0.5f;
    }
    if (w >= 1231 || h >= 1231) {
        m_hdLevel = 4;
        m_hdScale = 0.25f;
    }
}

String c_MyApp::p_ImageFile(String name) {
    if (m_hdLevel == 2) return name + String("-hd.png");
    if (m_hdLevel == 4) return name + String("-hd2.png");
    return name + String(".png");
}

// The image a slot held gives back its pixels and texture at once: a reload
// after every window size change would otherwise keep each old copy until
// the collector gets round to it.
void c_MyApp::p_EmptyImageSlot(int slot) {
    if (m_images[slot]) m_images[slot]->p_Discard();
    gc_assign(m_images[slot], nullptr);
}

int c_MyApp::p_LoadImg(int slot, String name, int frameWidth, int frameHeight, int frames, int flags) {
    String file = p_ImageFile(name);
    p_EmptyImageSlot(slot);
    gc_assign(m_images[slot],
              bb_graphics_LoadImage2(file, frameWidth * m_hdLevel, frameHeight * m_hdLevel, frames, flags));
    RequireImage(m_images[slot], file);
    m_imageInfo[3 * slot] = m_hdLevel * frameWidth;
    m_imageInfo[3 * slot + 1] = m_hdLevel * frameHeight;
    m_imageInfo[3 * slot + 2] = frames;
    return 0;
}

// The font sheet holds 128 glyph cells of 16 x 16 logical pixels; its info
// entries are the glyph advance used by text layout, whatever the level.
int c_MyApp::p_LoadFont(int slot, String name, int width, int height) {
    String file = p_ImageFile(name);
    p_EmptyImageSlot(slot);
    gc_assign(m_images[slot], bb_graphics_LoadImage2(file, 16 * m_hdLevel, 16 * m_hdLevel, 128, 1));
    RequireImage(m_images[slot], file);
    m_imageInfo[3 * slot] = width;
    m_imageInfo[3 * slot + 1] = height;
    m_imageInfo[3 * slot + 2] = 128;
    m_fontSlot = slot;
    return 0;
}

int c_MyApp::p_Reload() {
    m_clsRed = m_clsGreen = m_clsBlue = 0;
    m_clsAlpha = 1;
    p_SetHdLevel();
    p_LoadImg(IMG_STUDIO_LOGO, String("common/TarnLogo"), 256, 256, 1, 1);
    p_LoadFont(IMG_FONT, String("fonts/cpc"), 8, 8);
    m_fontSlot = IMG_FONT;
    m_loadStep = 1;
    return 0;
}

int c_MyApp::p_Loader() {
    p_SetHdLevel();
    // The story starts at the bottom edge of the screen loading ends on; once
    // it scrolls, a reload after a resize leaves it where it was.
    if (m_storyBegun == 0) m_scrollY = bb_Game_jscrh;
    // Sound slots loaded by steps 17 to 27: the game events, then the title
    // jingles of games 1 to 9.
    static const int lateSounds[] = {SFX_LOSE,
                                     SFX_CRASH,
                                     SFX_TITLE_JINGLE + 1,
                                     SFX_TITLE_JINGLE + 2,
                                     SFX_TITLE_JINGLE + 3,
                                     SFX_TITLE_JINGLE + 4,
                                     SFX_TITLE_JINGLE + 5,
                                     SFX_TITLE_JINGLE + 6,
                                     SFX_TITLE_JINGLE + 7,
                                     SFX_TITLE_JINGLE + 8,
                                     SFX_TITLE_JINGLE + 9};
    int step = m_loadStep;
    switch (step) {
        case 1:
            p_LoadImg(IMG_ICONS, String("icons"), 32, 32, 16, 1);
            p_LoadSFX(SFX_STARTUP);
            break;
        case 2: p_LoadImg(IMG_BUTTONS, String("common/Buttons"), 64, 64, 16, 1); break;
        case 3: p_LoadImg(IMG_DPAD, String("common/dpad"), 32, 32, 16, 1); break;
        case 4:
            p_LoadImg(IMG_STUDIO_LOGO, String("common/TarnLogo"), 256, 256, 1, 1);
            if (m_logoSoundPlayed == 0) {
                p_PlaySFX(SFX_STARTUP, 1, 1, 0);
                m_logoSoundPlayed = 1;
            }
            break;
        case 5: p_LoadImg(IMG_TESTCARD, String("common/Testcard_Circle"), 256, 256, 1, 1); break;
        case 6: p_LoadFont(IMG_FONT, String("fonts/cpc"), 8, 8); break;
        case 7: p_LoadSFX(SFX_POINT); break;
        case 8: p_LoadSFX(SFX_PLEASANT); break;
        case 9: p_LoadSFX(SFX_BLIP); break;
        case 10: p_LoadSFX(SFX_CONFIRM); break;
        case 11: p_LoadImg(IMG_MENU, String("menu"), 256, 256, 4, 1); break;
        case 12: p_LoadImg(IMG_TITLE_LOGO, String("logo"), 256, 128, 1, 1); break;
        case 13: p_LoadImg(IMG_PARTS, String("parts"), 8, 8, 256, 1); break;
        case 14: p_LoadImg(IMG_BADGES, String("BadgesA"), 64, 64, 64, 1); break;
        case 15: p_LoadSFX(SFX_ENTER_TITLE); break;
        case 16: p_LoadImg(IMG_SPRITES, String("gfx"), 16, 16, 256, 1); break;
        default:
            if (step >= 17 && step <= 27) p_LoadSFX(lateSounds[step - 17]);
            break;
    }
    if (step >= 28) m_loadStep = 0;
    else m_loadStep = step + 1;
    p_WaitStart(1);
    return 0;
}

int c_MyApp::p_WaitStart(int style) {
    p_CLS2D(40, 40, 80, 1);
    float w = bb_Game_jscrw, h = bb_Game_jscrh;
    m_spinRadius = static_cast<int>(std::min(w, h));
    m_spinAngle += 16;

    // The back ring: a tail of eleven dots brightening toward its head.
    for (int i = 0; i <= 10; ++i) {
        float a = (m_spinAngle + 180 + 16 * i) * D2R;
        p_SetCol(250, 250, 250, i / 10.0f);
        m_blend = BLEND_ALPHA;
        p_Oval(w / 2 + std::sin(a) * m_spinRadius / 4, h / 2 - std::cos(a) * m_spinRadius / 4, 8, 8);
    }
    p_SetCol(255, 255, 0, 0.8f);
    p_Oval(w / 2, h / 2, m_spinRadius * 0.3f, m_spinRadius * 0.3f);
    p_SetCol(250, 160, 60, 0.7f);
    p_Rect(0, h * 0.4f, w, h * 0.2f);
    p_ResetDraw();
    p_DrawImg(IMG_STUDIO_LOGO, w * 0.5f, h * 0.48f, 0);
    // The front ring runs opposite the back ring.
    for (int i = 0; i <= 10; ++i) {
        float a = (m_spinAngle + 16 * i) * D2R;
        p_SetCol(50, 50, 50, i / 10.0f);
        p_Oval(w / 2 + std::sin(a) * m_spinRadius / 4, h / 2 - std::cos(a) * m_spinRadius / 4, 8, 8);
    }
    return 0;
}
