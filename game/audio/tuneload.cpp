// c_SQPlayer's loading half: the render hook that spreads a tune's load over
// frames, the 70 load steps (tune image, drum kits, melodic samples), the
// decoding of pattern frames into tune data, and the test tune names.
#include <cstdlib>

#include "framework/app.h"
#include "game/audio/sequencer.h"
#include "game/globals.h"
#include "host/paths.h"

namespace {

const int kFrameSize = 64;
const int kFrames = 64;
const int kLoadSteps = 70;

String DrumPath(int kit, int sample) {
    return String("inst/d") + String(kit) + String("-") + String(sample) + String(".wav");
}

// A missing instrument leaves its voice silent; the player is told once.
c_Sound* LoadInstrument(String path) {
    c_Sound* sound = bb_audio_LoadSound(path);
    if (!sound && bb_audio_device) bb_Game_ReportAsset(path, "the music plays on without that instrument");
    return sound;
}

}  // namespace

int c_SQPlayer::p_SQ_Alive_R() {
    for (int i = 0; i < 3 && m_chunkStep > 0; ++i) p_SQ_LoadChunk();
    if (bb_graphics_renderDevice) bb_graphics_renderDevice->Cls(0, 0, 0);
    return 0;
}

int c_SQPlayer::p_SQ_LoadChunk() {
    const int s = m_chunkStep;
    if (s == 1) {
        p_SQ_LoadTuneImage();
    } else if (s >= 2 && s <= 9) {
        gc_assign(m_kitA[s - 1], LoadInstrument(DrumPath(m_instrumentChoice[1], s - 1)));
    } else if (s >= 12 && s <= 19) {
        gc_assign(m_kitB[s - 11], LoadInstrument(DrumPath(m_instrumentChoice[2], s - 11)));
    } else if (s == 21) {
        gc_assign(m_instruments[2],
                  LoadInstrument(String("inst/lead") + String(m_instrumentChoice[3]) + String(".wav")));
    } else if (s == 22) {
        gc_assign(m_instruments[3],
                  LoadInstrument(String("inst/accompany") + String(m_instrumentChoice[4]) + String(".wav")));
    } else if (s == 23) {
        gc_assign(m_instruments[4],
                  LoadInstrument(String("inst/bass") + String(m_instrumentChoice[5]) + String(".wav")));
    }
    // Frames 0 to 62 hold patterns; frame 63 is never read.
    if (m_tunePixels.Length() > 0 && s >= 5 && s <= 67) p_SQ_DecodeFrame(s - 5);

    m_chunkStep = s + 1;
    m_nextTick = (bb_app__game ? bb_app_Millisecs() : 0) + 100;
    if (m_chunkStep > kLoadSteps) {
        m_chunkStep = 0;
        m_tunePixels = Array<int>();  // decoded: the image is no longer needed
    }
    return 0;
}

// Reads the tune image's pixels straight from its file. The values kept are
// those a 1:1 draw of the image over a background without blue would leave
// in the back buffer: blue premultiplied by alpha, grey images as grey.
int c_SQPlayer::p_SQ_LoadTuneImage() {
    m_tunePixels = Array<int>();
    m_tuneWidth = m_tuneHeight = 0;

    BBGlfwGame* host = BBGlfwGame::GlfwGame();
    int w = 0, h = 0, depth = 0;
    unsigned char* data = host ? host->LoadImageData(bb_data_FixDataPath(m_tunePath), &w, &h, &depth) : nullptr;
    if (!data) {
        // No pattern data: every cell is empty and the tune stays silent
        // rather than replaying what an earlier tune left behind.
        bb_Game_ReportAsset(m_tunePath, "that tune plays silent");
        for (int i = 0; i < m_tuneData.Length(); ++i) m_tuneData[i] = 0;
        return 0;
    }

    // The frames are cut left to right, top to bottom; an image too small
    // for all of them is a broken asset, as for every framed image.
    const int perRow = w / kFrameSize;
    if (perRow < 1 || (kFrames + perRow - 1) / perRow * kFrameSize > h) {
        free(data);
        bbError(String("Image frame outside surface"));
        return 0;
    }

    Array<int> pixels(w * h);
    for (int i = 0; i < w * h; ++i) {
        const unsigned char* px = data + i * depth;
        int blue = 0;
        switch (depth) {
            case 1: blue = px[0]; break;
            case 2: blue = px[0] * px[1] / 255; break;
            case 3: blue = px[2]; break;
            default: blue = px[2] * px[3] / 255; break;
        }
        pixels[i] = blue;
    }
    free(data);
    m_tunePixels = pixels;
    m_tuneWidth = w;
    m_tuneHeight = h;
    return 0;
}

int c_SQPlayer::p_SQ_DecodeFrame(int frame) {
    const int perRow = m_tuneWidth / kFrameSize;
    if (perRow < 1 || frame < 0 || frame >= kFrames) return 0;
    const int ox = frame % perRow * kFrameSize;
    const int oy = frame / perRow * kFrameSize;
    for (int y = 0; y < kFrameSize; ++y) {
        const int* src = m_tunePixels.Data() + (oy + y) * m_tuneWidth + ox;
        for (int x = 0; x < kFrameSize; ++x) {
            const int lane = x / 8, field = x % 8;
            const int value = src[x] >> 3;
            m_tuneData[frame * 4096 + lane * 512 + y * 8 + field] = value;
            if (value != 0) m_lastPattern[lane] = frame;
        }
    }
    return 0;
}

String bb_sequencer_TestTune(int game) {
    switch (game) {
        case 1: return String("tune1");
        case 2: return String("tune2");
        case 3: return String("tune3");
    }
    return String();
}
