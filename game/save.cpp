// Settings, best scores and badges: the save text of "|"-terminated decimal
// fields in three checksummed blocks (options, badge words, per-game scores),
// written whole to the state store and read back block by block.
#include <cstdint>

#include "game/myapp.h"

namespace {

// All sums and products wrap in 32 bits, as the stored checksums do.
uint32_t U(int v) { return static_cast<uint32_t>(v); }
int I(uint32_t v) { return static_cast<int>(v); }

String Field(int v) { return String(v) + String("|"); }

// Settings, badges and one block per mini-game.
const int kSaveBlocks = 2 + 7;

}  // namespace

String c_MyApp::p_SaveText() {
    String text;
    uint32_t sum = 0;
    for (int i = 0; i < OPTION_COUNT; ++i) {
        text += Field(m_options[i]);
        sum += U(i) * U(m_options[i]);
    }
    text += Field(I(sum));

    sum = 0;
    for (int k = 0; k < 8; ++k) {
        uint32_t word = 0;
        for (int b = 0; b < 32; ++b)
            if (m_badges[32 * k + b]) word |= 1u << b;
        text += Field(I(word));
        sum += word;
    }
    text += Field(I(sum));

    for (int g = 0; g < 7; ++g) {
        sum = 0;
        for (int r = 0; r < 10; ++r) {
            int best = m_scoreTable[10 * g + r];
            int recent = m_scoreTable[70 + 10 * g + r];
            text += Field(best);
            text += Field(recent);
            sum += U(r + 4) * U(best) + U(g + 3 + r) * U(recent);
        }
        text += Field(I(sum));
    }
    return text;
}

int c_MyApp::p_Save() {
    String text = p_SaveText();
    if (bb_Game_DebugMode == 1) bbPrint(text);
    bb_app_SaveState(text);
    return 0;
}

int c_MyApp::p_Load() {
    String text = bb_app_LoadState();
    Array<String> parts = text.Split(String("|"));
    int count = parts.Length();
    int n = 0;
    int blocksRead = 0;
    bool checksumFailed = false;
    if (bb_Game_DebugMode == 1) bbPrint(text);

    if (count >= OPTION_COUNT + 1) {
        uint32_t sum = 0;
        for (int i = 0; i < OPTION_COUNT; ++i) {
            m_options[i] = parts[i].ToInt();
            sum += U(i) * U(m_options[i]);
        }
        n = OPTION_COUNT;
        int stored = parts[n++].ToInt();
        ++blocksRead;
        if (I(sum) == stored) {
            bbPrint(String("Settings Loaded"));
        } else {
            checksumFailed = true;
            bbPrint(String("Settings Checksum Invalid"));
            for (int i = 0; i < OPTION_COUNT; ++i) m_options[i] = 0;
            m_options[OPTION_SOUND] = 1;
        }
    }

    if (m_options[OPTION_PAD_X] < 64) m_options[OPTION_PAD_X] = 64;
    if (m_options[OPTION_PAD_HEIGHT] < 64) m_options[OPTION_PAD_HEIGHT] = 64;
    if (m_options[OPTION_PAD_SIZE] < 8) m_options[OPTION_PAD_SIZE] = 10;
    if (m_options[OPTION_OVERSCAN] < 1) m_options[OPTION_OVERSCAN] = 64;
    if (bb_Game_isOuya == 1) {
        bb_Game_overscan = static_cast<float>(m_options[OPTION_OVERSCAN]);
    } else {
        m_options[OPTION_OVERSCAN] = 1;
        bb_Game_overscan = 0;
    }

    if (n + 8 < count) {
        uint32_t sum = 0;
        for (int k = 0; k < 8; ++k) {
            uint32_t word = U(parts[n + k].ToInt());
            for (int b = 0; b < 32; ++b) m_badges[32 * k + b] = ((word >> b) & 1u) != 0;
            sum += word;
        }
        n += 8;
        int stored = parts[n++].ToInt();
        ++blocksRead;
        if (I(sum) == stored) {
            bbPrint(String("Badges Loaded"));
        } else {
            checksumFailed = true;
            bbPrint(String("Badge Checksum Invalid"));
            for (int i = 0; i < 256; ++i) m_badges[i] = false;
        }
    }

    for (int g = 0; g < 7; ++g) {
        if (!(n + 20 < count)) continue;
        uint32_t sum = 0;
        for (int r = 0; r < 10; ++r) {
            int best = parts[n + 2 * r].ToInt();
            int recent = parts[n + 2 * r + 1].ToInt();
            m_scoreTable[10 * g + r] = best;
            m_scoreTable[70 + 10 * g + r] = recent;
            sum += U(r + 4) * U(best) + U(g + 3 + r) * U(recent);
        }
        n += 20;
        int stored = parts[n++].ToInt();
        ++blocksRead;
        if (I(sum) == stored) {
            bbPrint(String("Highscore ") + String(g) + String(" Loaded"));
        } else {
            checksumFailed = true;
            bbPrint(String("Highscore ") + String(g) + String(" Checksum Invalid"));
            for (int r = 0; r < 10; ++r) {
                m_scoreTable[10 * g + r] = 0;
                m_scoreTable[70 + 10 * g + r] = 0;
            }
        }
    }

    // A saved file that did not load whole is kept aside by the host before
    // the next save replaces it, so the scores can still be recovered.
    if (checksumFailed) bb_app_StateDamaged(String("a checksum does not match"));
    else if (text.Length() > 0 && blocksRead < kSaveBlocks)
        bb_app_StateDamaged(String("it ends early or is not a saved game"));
    return 0;
}
