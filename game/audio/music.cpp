// The music option: when the sequencer plays, which tune and seed each game
// starts, and how music follows a change of the sound or music option.
#include "game/audio/sequencer.h"
#include "game/myapp.h"

namespace {

// Seed of the tunes of games 1 to 3; games 4 to 7 share their three tunes
// and get seeds of their own, so that no two games sound alike.
const int kTuneSeed = 37171650;
const int kSeedStep = 104729;
const int kTuneTempo = 100;

int TuneSeed(int game) { return game <= 3 ? kTuneSeed : kTuneSeed + kSeedStep * game; }

}  // namespace

// Music sounds when the music option (or the build's sequencer switch) is
// on and the sound mode allows music (1 or 3).
int c_MyApp::p_MusicAllowed() {
    bool wanted = m_options[OPTION_MUSIC] == 1 || bb_Game_HasMusic == 1;
    bool soundAllows = m_options[OPTION_SOUND] == 1 || m_options[OPTION_SOUND] == 3;
    return wanted && soundAllows ? 1 : 0;
}

int c_MyApp::p_InitMusic() {
    // A base channel of 0 marks a player that was never initialised.
    if (m_music->m_baseChannel == 0) m_music->p_SQ_Init(32, 4, 3, 3, 4);
    return 0;
}

// Called by every game's set-up. With the music option on each of the seven
// games plays a tune; the build's sequencer switch alone gives games 1 to 3
// theirs. The template game stays silent.
int c_MyApp::p_StartGameTune() {
    if (m_game < 1 || m_game > 7 || !p_MusicAllowed()) return 0;
    if (m_options[OPTION_MUSIC] != 1 && m_game > 3) return 0;
    p_InitMusic();
    m_music->p_SQ_StartTune(bb_sequencer_TestTune((m_game - 1) % 3 + 1), TuneSeed(m_game), kTuneTempo);
    return 0;
}

// Music follows the options at once: it stops when it is no longer allowed,
// and the running game's tune starts when it becomes allowed.
int c_MyApp::p_ApplyMusicOption() {
    if (m_options[OPTION_MUSIC] == 1) p_InitMusic();
    if (!p_MusicAllowed()) {
        m_music->p_SQ_Stop(1);
        return 0;
    }
    if (m_mode == MODE_PLAYING && m_gameOver == 0 && m_music->m_playState == 0) p_StartGameTune();
    return 0;
}
