// Sound effects and tunes: numbered effect slots loaded from sfx/NNN.wav,
// effects on 24 rotating channels gated by the sound mode, and the one
// streamed tune.
#include "game/myapp.h"

namespace {

// Sound mode: 1 and 2 allow effects, 1 and 3 allow music.
bool EffectsOn(int mode) { return mode == 1 || mode == 2; }
bool MusicOn(int mode) { return mode == 1 || mode == 3; }

}  // namespace

int c_MyApp::p_LoadSFX(int slot) {
    if (slot < 0 || slot >= m_sounds.Length()) return 0;
    String name;
    if (slot < 10) name = String("sfx/00") + String(slot);
    else if (slot < 100) name = String("sfx/0") + String(slot);
    else name = String("sfx/") + String(slot);
    name = name + String(".wav");
    gc_assign(m_sounds[slot], bb_audio_LoadSound(name));
    if (!m_sounds[slot] && bb_audio_device) bb_Game_ReportAsset(name, "the game plays on without that sound");
    return 0;
}

int c_MyApp::p_PlaySFX(int slot, float rate, float volume, float pan) {
    if (!EffectsOn(m_options[OPTION_SOUND])) return 0;
    m_sfxChannel = (m_sfxChannel + 1) % 24;
    int channel = m_channels[m_sfxChannel];
    bb_audio_StopChannel(channel);
    // A slot outside the table is treated like an empty one.
    if (slot >= 0 && slot < m_sounds.Length()) {
        ++m_sfxPlays[slot];
        if (m_sounds[slot]) bb_audio_PlaySound(m_sounds[slot], channel, 0);
    }
    bb_audio_SetChannelRate(channel, rate);
    bb_audio_SetChannelVolume(channel, volume);
    bb_audio_SetChannelPan(channel, pan);
    m_lastSfxSlot = slot;
    m_lastSfxRate = rate;
    m_lastSfxVolume = volume;
    m_lastSfxPan = pan;
    return 0;
}

int c_MyApp::p_PlayTune(String name, int flags) {
    String file = String("sfx/") + name + String(".ogg");
    if (m_tunePlaying == 1) {
        bb_audio_StopMusic();
        m_tunePlaying = 0;
    }
    if (MusicOn(m_options[OPTION_SOUND])) {
        bb_audio_PlayMusic(file, flags);
        m_tunePlaying = 1;
    }
    return 0;
}

int c_MyApp::p_StopTune() {
    bb_audio_StopMusic();
    m_tunePlaying = 0;
    return 0;
}
