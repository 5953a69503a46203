// The sequencer inside the real game with the music switch on: the render
// hook loads a tune, and the pattern data equals what drawing each frame of
// the tune image and reading the back buffer gives.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <gtest/gtest.h>

#include "driver/scenario.h"
#include "game/audio/sequencer.h"

namespace {

// Pattern values of one frame as the graphics path shows them: the frame
// drawn at 1:1 over a dark red square and read back from the window.
std::vector<int> ReadBackFrame(c_Image* image, int frame) {
    Array<int> pixels(4096);
    bb_graphics_renderDevice->Cls(1, 0, 0);
    bb_graphics_SetAlpha(1);
    bb_graphics_SetColor(1, 0, 0);
    bb_graphics_DrawRect(0, 0, 64, 64);
    bb_graphics_SetColor(255, 255, 255);
    bb_graphics_DrawImage(image, 32, 32, frame);
    bb_graphics_ReadPixels(pixels, 0, 0, 64, 64, 0, 64);
    std::vector<int> out(4096);
    for (int i = 0; i < 4096; ++i) out[i] = (pixels[i] & 0xff) >> 3;
    return out;
}

std::vector<int> DecodedFrame(c_SQPlayer* player, int frame) {
    std::vector<int> out(4096);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) out[y * 64 + x] = player->m_tuneData[frame * 4096 + x / 8 * 512 + y * 8 + x % 8];
    }
    return out;
}

// Compares all 63 pattern frames of the loaded tune with the read-back.
void ExpectSameAsReadBack(c_SQPlayer* player, const String& path) {
    c_Image* image = bb_graphics_LoadImage2(path, 64, 64, 64, 1);
    ASSERT_NE(image, nullptr);
    gxtkGraphics* device = bb_graphics_device;
    device->BeginRender();
    bb_graphics_BeginRender();
    int differing = 0;
    for (int f = 0; f < 63; ++f) differing += ReadBackFrame(image, f) != DecodedFrame(player, f);
    EXPECT_EQ(differing, 0) << "frames whose decoded data differ from the read-back";

    // The render hook leaves a black screen for the game to draw on.
    player->p_SQ_Alive_R();
    Array<int> pixels(64 * 64);
    bb_graphics_ReadPixels(pixels, 0, 0, 64, 64, 0, 64);
    int coloured = 0;
    for (int i = 0; i < 64 * 64; ++i) coloured += (pixels[i] & 0xffffff) != 0;
    EXPECT_EQ(coloured, 0);
    bb_graphics_EndRender();
    device->EndRender();
}

int RendersToLoad(Scenario& s, c_SQPlayer* player) {
    int renders = 0;
    while (player->m_chunkStep > 0 && renders < 100) {
        s.Step();
        ++renders;
    }
    return renders;
}

}  // namespace

TEST(SequencerInGame, LoadsThroughTheRenderHookAsTheGraphicsPathWouldDecode) {
    if (!getenv("ALSOFT_CONF")) setenv("ALSOFT_DRIVERS", "null", 0);
    Scenario s;
    s.FinishLoading();
    c_SQPlayer* player = s.App()->m_music;
    ASSERT_NE(player, nullptr);
    // With the switch on, the game initialises the player when it starts.
    bb_Game_HasMusic = 1;
    player->p_SQ_Init(32, 4, 3, 3, 4);

    player->p_SQ_StartTune(bb_sequencer_TestTune(1), 37171650, 100);
    EXPECT_EQ(RendersToLoad(s, player), 24);
    for (int lane = 0; lane < 5; ++lane) EXPECT_GE(player->m_lastPattern[lane], 1) << "lane " << lane;
    ExpectSameAsReadBack(player, String("tunes/tune1.png"));

    // Rows play on the game's updates once loaded.
    const int row = player->m_row;
    s.Update(30);
    EXPECT_NE(player->m_row, row);

    // An image with transparency and every blue level, loaded from its path.
    std::vector<unsigned char> rgba(512 * 512 * 4);
    for (size_t i = 0; i < rgba.size(); i += 4) {
        const size_t p = i / 4;
        rgba[i] = static_cast<unsigned char>(p * 7);
        rgba[i + 1] = static_cast<unsigned char>(p * 3);
        rgba[i + 2] = static_cast<unsigned char>(p % 256);
        rgba[i + 3] = static_cast<unsigned char>(p % 3 == 0 ? 255 : p * 13);
    }
    const std::string file = s.WorkDir() + "/levels.png";
    ASSERT_TRUE(stbi_write_png(file.c_str(), 512, 512, 4, rgba.data(), 512 * 4));
    player->m_tunePath = String(file.c_str());
    player->m_chunkStep = 1;
    RendersToLoad(s, player);
    ExpectSameAsReadBack(player, String(file.c_str()));

    bb_Game_HasMusic = 0;
}
