// The game-over overlay: "GAME" "OVER" over the ended game, the ranking
// banner, recording the score half a second in and the hand-back to the
// title card; the rest of its timer is shown over the menu.
#include <algorithm>
#include <cmath>

#include "game/audio/sequencer.h"
#include "game/myapp.h"

namespace {

const int kRecordAt = 30;   // update of the overlay that records the score
const int kTitleAt = 90;    // update that hands back to the title card
const int kTitleRest = 75;  // timer left for the menu, before this call's countdown

}  // namespace

String c_MyApp::p_MyNth() {
    static const char* const ordinals[10] = {"1st!", "2nd", "3rd", "4th", "5th", "6th", "7th", "8th", "9th", "10th"};
    const int base = 10 * (m_game - 1);
    m_i = 0;
    // Only the seven games have a best list; any other game never ranks.
    if (m_game >= 1 && m_game <= 7) {
        for (int i = 0; i < 10; ++i) {
            if (m_score >= m_scoreTable[base + i]) {
                m_i = i + 1;
                break;
            }
        }
    }
    return String(ordinals[m_i >= 1 && m_i <= 9 ? m_i - 1 : 9]);
}

int c_MyApp::p_GameOver() {
    const float W = bb_Game_jscrw;
    const float H = bb_Game_jscrh;

    if (m_gameOverTimer > 0) {
        if (m_gameOverTimer == kRecordAt) p_LoadMenu();

        // Nothing of the screen below is kept in the list, and the
        // background fill is see-through.
        p_CLS2D(0, 0, 128, -1);
        const int y = static_cast<int>(H * 0.45f);
        p_SetSize(4);
        p_SetRot(0);
        p_SetCol(255, 180, 180, 1);
        m_blend = BLEND_ALPHA;
        p_Text(W * 0.35f, static_cast<float>(y), "GAME", 1, 1);
        p_Text(W * 0.65f, H - y, "OVER", 1, 1);

        if (m_game == 7) {
            // Ridera Didud: the two team scores.
            const float y2 = std::trunc(H - y + 32);
            p_SetSize(2);
            p_SetCol(255, 255, 255);
            p_Text(W * 0.3f, y2, String(m_players[FOOTBALL_PLAYER_GOALS]), 1, 1);
            p_Text(W * 0.7f, y2, String(m_players[FOOTBALL_ENEMY_GOALS]), 1, 1);
            p_Text(W * 0.5f, y2, "Scores", 1, 1);
            p_SetSize(1);
        }

        String nth = p_MyNth();
        if (m_i > 0 && m_game != 7) {
            p_SetSize(1);
            p_SetCol(0, 125, 255, 0.5f);
            p_Rect(W * 0.35f, H - y / 1.5f - 16, W * 0.3f, 32);
            p_SetSize(2);
            p_SetCol(100, 255, 100, 1);
            p_Text(W * 0.5f, H - y / 1.5f, String("New Highscore\\n           ") + nth, 0.5f, 2);
        }
    }

    if (m_mode == MODE_PLAYING) {
        ++m_gameOverTimer;
        if (m_gameOverTimer == kTitleAt) {
            m_mode = MODE_TITLE;
            m_keyLatch = 1;
            m_touchLatch = 1;
            m_gameOverTimer = kTitleRest;
            if (m_music) {
                m_music->p_SQ_Stop(1);
                m_music->p_SQ_Stop(1);
            }
            if (bb_Game_HasMusicStream == 1) p_StopTune();
        }
    }
    if (m_mode < MODE_PLAYING || m_mode == MODE_TITLE) m_gameOverTimer = std::max(m_gameOverTimer - 2, 0);
    return 0;
}
