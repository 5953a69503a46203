// The frame every mini-game shares: the title card with its loading stripes
// and best scores, the common set-up, camera easing, the score bar, and the
// dispatch of title, set-up and play to the chosen game.
#include <cstdint>

#include "game/myapp.h"

int c_MyApp::p_GameTitle(String word1, String word2, String line1, String line2, String line3, String line4) {
    p_CLS2D(0, 0, 128, 1);
    float ov = bb_Game_overscan;
    float w = bb_Game_jscrw, h = bb_Game_jscrh;

    int t = m_titleTimer;
    if (t < 100) {
        if (t < 85) {
            // Loading stripes: regular while t < 60, then ragged.
            p_SetCol(255, 255, 0);
            float r = bb_random_Rnd2(0, 12);
            int y = t < 60 ? static_cast<int>((t % 8) - 4 * ov) : static_cast<int>(r - 4 * ov);
            for (int i = 0; i < 65; ++i) {
                float hr = bb_random_Rnd2(2, 6);
                int bar = t < 60 ? 4 : static_cast<int>(hr);
                p_Rect(-(4 * ov + 8), static_cast<float>(y), w + 8 * ov + 16, static_cast<float>(bar));
                float g = t < 60 ? 2 * bb_random_Rnd() + 7 : bb_random_Rnd2(8, 12);
                y = static_cast<int>(y + g);
            }
        }
        t += 1;
        m_titleTimer = t;
        if (t == 100) p_PlaySFX(SFX_TITLE_JINGLE + m_game, 1, 1, 0);
        m_touchLatch = 1;
        m_keyLatch = 1;
        if (t < 96) return 0;
    }

    p_SetSize(3, 3);
    p_SetCol(128, 255, 128);
    p_Text(0.4f * w, 4, word1, 1, 0);
    p_Text(0.6f * w, 32, word2, 1, 0);

    if (p_PlayKeyAll(CTRL_B, 1) || p_PlayKeyAll(CTRL_Y, 1)) {
        m_mode = MODE_RETURN_TO_MENU;
        m_keyLatch = 1;
        m_touchLatch = 1;
    }

    p_SetSize(1);
    p_SetCol(255, 255, 0);
    int y = static_cast<int>(h / 2 - 32);
    p_Text(32, static_cast<float>(y), line1, 0, 0);
    p_Text(32, static_cast<float>(y + 8), line2, 0, 0);
    p_Text(32, static_cast<float>(y + 16), line3, 0, 0);
    p_Text(32, static_cast<float>(y + 24), line4, 0, 0);

    // The five best scores. The template game has no table of its own
    // (numbers outside 1..7 would read another game's or no entries): zeros.
    p_SetCol(255, 128, 0);
    m_bestIndex = 10 * (m_game - 1);
    float bx = w / 2 - 64;
    p_Text(bx, static_cast<float>(y + 48), String("Best Scores"), 0, 0);
    bool ownTable = m_game >= 1 && m_game <= 7;
    for (int i = 0; i < 5; ++i) {
        int score = ownTable ? m_scoreTable[m_bestIndex + i] : 0;
        p_Text(bx, static_cast<float>(y + 56 + 8 * i), String(score), 0, 0);
    }

    p_SetCol(255, 255, 255);
    p_SetSize(2, 2);
    p_DrawImg(IMG_ICONS, w - 40, h - 40, ICON_PLAY);

    bool pointer = false;
    for (int i = 0; i < 10; ++i) {
        if (!m_touchDown[i]) continue;
        float fx = static_cast<float>(m_touchX[i]), fy = static_cast<float>(m_touchY[i]);
        if (w - 80 < fx && fx < w && h - 80 < fy && fy < h) pointer = true;
    }
    bool start = (pointer && m_mouseDown > 0) || p_PlayKeyAll(CTRL_A, 1) || p_PlayKeyAll(CTRL_X, 1);
    if (start && m_keyLatch == 0 && m_touchLatch == 0) {
        m_mode = MODE_LOADING_GAME;
        p_PlaySFX(SFX_BLIP, 1, 1, 0);
        m_keyLatch = 1;
        m_touchLatch = 1;
    }
    return 0;
}

int c_MyApp::p_CommonSetup(int initPlayers) {
    m_paused = 0;
    m_titleTimer = 99;
    m_score = 0;
    m_gameOver = 0;
    m_gameOverTimer = 0;
    m_mode = MODE_PLAYING;
    m_camX = m_camY = m_camTargetX = m_camTargetY = 0;
    p_ResetStars(100);
    p_ResetParticles(250);
    for (m_i = 0; m_i < 5 * PLAYER_STRIDE; ++m_i) m_players[m_i] = 0;
    if (initPlayers) {
        for (int k = 1; k <= 4; ++k) {
            m_players[PLAYER_STRIDE * k] = 1;
            m_players[PLAYER_STRIDE * k + 1] = 128;
            m_players[PLAYER_STRIDE * k + 2] = k * (bb_Game_jscrh / 5);
        }
    }
    m_scorePending = 1;
    // The streamed-music build plays one test tune in every game; the
    // sequencer plays the game's own tune when music is on.
    if (bb_Game_HasMusicStream == 1) p_PlayTune(String("tune1"), 1);
    p_StartGameTune();
    return 0;
}

int c_MyApp::p_ClearObjects() {
    for (int i = 0; i <= 100000; ++i) m_objects[i] = 0;
    return 0;
}

// While paused the camera holds still, and so do the stars that follow it.
int c_MyApp::p_CameraEase() {
    if (m_paused != 0) {
        m_camDX = m_camDY = 0;
        return 0;
    }
    m_camDX = (m_camX - m_camTargetX) * 0.125f;
    m_camDY = (m_camY - m_camTargetY) * 0.125f;
    m_camX -= m_camDX;
    m_camY -= m_camDY;
    return 0;
}

int c_MyApp::p_EaseShownScore() {
    // 64-bit steps so that extreme scores cannot overflow.
    int64_t s = m_shownScore, target = m_score;
    int64_t shown = s - (s - target) / 6;
    int64_t diff = shown - target;
    if (diff < 6 && diff > -6) shown = target;
    m_shownScore = static_cast<int>(shown);
    return 0;
}

int c_MyApp::p_ScoreBar() {
    p_EaseShownScore();
    if (m_hideHud != 0) return 0;
    float ov = bb_Game_overscan;
    p_ResetDraw();
    p_SetCol(0, 255, 255);
    p_Rect(-(4 * ov + 64), -(4 * ov + 16), bb_Game_jscrw + 128 + 8 * ov, 4 * ov + 40);
    p_SetCol(255, 0, 0);
    p_Rect(-(4 * ov + 64), -(4 * ov + 16), bb_Game_jscrw + 128 + 8 * ov, 4 * ov + 36);
    p_SetSize(1);
    p_SetCol(128, 255, 128);
    p_Text(bb_Game_jscrw - 8, 8, p_rstr(m_shownScore, 8, String("0")), 2, 0);
    return 0;
}

int c_MyApp::p_RunTitle() {
    switch (m_game) {
        case 1: return p_GameTitle_Vuroridi();
        case 2: return p_GameTitle_Rising();
        case 3: return p_GameTitle_Transformers();
        case 4: return p_GameTitle_DeduDezu();
        case 5: return p_GameTitle_ZUR();
        case 6: return p_GameTitle_Zevovever();
        case 7: return p_GameTitle_Football();
    }
    return p_GameTitle_Skel();
}

int c_MyApp::p_RunLoadGame() {
    switch (m_game) {
        case 1: return p_LoadGame_Vuroridi();
        case 2: return p_LoadGame_Rising();
        case 3: return p_LoadGame_Transformers();
        case 4: return p_LoadGame_DeduDezu();
        case 5: return p_LoadGame_ZUR();
        case 6: return p_LoadGame_Zevovever();
        case 7: return p_LoadGame_Football();
    }
    return p_LoadGame_Skel();
}

int c_MyApp::p_RunGame() {
    switch (m_game) {
        case 1: return p_Game_Vuroridi();
        case 2: return p_Game_Rising();
        case 3: return p_Game_Transformers();
        case 4: return p_Game_DeduDezu();
        case 5: return p_Game_ZUR();
        case 6: return p_Game_Zevovever();
        case 7: return p_Game_Football();
    }
    return p_Game_Skel();
}
